#include <algorithm>
#include <cstdio>
#include <cstring>

#include "byte_order.h"
#include "file_io.h"
#include "numeric.h"
#include "param_block.h"
#include "still_image.h"

namespace thermcore {

namespace {

// Offsets of the parts that follow the block, in 64 bits (four u32 sizes
// cannot overflow them).
struct PartOffsets {
    uint64_t photo;
    uint64_t sound;
    uint64_t lineTable;
    uint64_t end;  // E
};

PartOffsets partOffsets(const IfrParamBlock& b) {
    PartOffsets o{};
    o.photo = kParamBlockSize + uint64_t{b.graySize};
    o.sound = o.photo + b.photoSize;
    o.lineTable = o.sound + b.soundSize;
    o.end = o.lineTable + b.lineTableSize;
    return o;
}

HeldPart partIfPresent(uint64_t offset, uint32_t size, uint64_t available) {
    HeldPart p;
    if (size != 0 && fitsWithin(offset, size, available)) {
        p.offset = static_cast<size_t>(offset);
        p.size = size;
        p.held = true;
    }
    return p;
}

void takeLineTable(IfrObject& obj, const std::vector<uint8_t>& data, const PartOffsets& o,
                   uint32_t size) {
    const HeldPart part = partIfPresent(o.lineTable, size, data.size());
    obj.lineTableHeld = part.held;
    obj.lineTable.clear();
    if (part.held) {
        obj.lineTable.assign(data.begin() + static_cast<ptrdiff_t>(part.offset),
                             data.begin() + static_cast<ptrdiff_t>(part.offset + part.size));
    }
}

int32_t backgroundOf(const IfrObject& obj) {
    if (!obj.calibration) return obj.scene.ambient100;
    return truncSat(static_cast<double>(MT_GetBackgroundTemp(&obj.calibration->para)) * 100.0);
}

// "VN410K8/9/10": calibration block (fatal without its tag), then the
// optional display block.
int readRadiometricTail(IfrObject& obj, const std::vector<uint8_t>& data, uint64_t e) {
    const uint64_t size = data.size();
    if (!fitsWithin(e, kCalibrationHeaderSize, size)) return -1;
    const uint8_t* at = data.data() + e;
    if (loadU32(at) != kCalibrationTag) return -1;
    const uint32_t n = loadU32(at + 4);
    const uint64_t payloadAt = e + kCalibrationHeaderSize;
    obj.calibration.reset();
    obj.display.reset();
    if (!fitsWithin(payloadAt, n, size)) return 0;  // counts as absent
    obj.calibration = std::make_unique<CalibrationPayload>(CalibrationPayload::fromBytes(
        std::span<const uint8_t>(data.data() + payloadAt, n)));
    const uint64_t displayAt = payloadAt + n;
    if (fitsWithin(displayAt, kDisplayBlockSize, size)) {
        obj.display = decodeDisplayBlock(
            std::span<const uint8_t, kDisplayBlockSize>(data.data() + displayAt, kDisplayBlockSize));
    }
    return 0;
}

}  // namespace

void applyBlockParameters(IfrObject& obj, const IfrParamBlock& b, DistanceScale scale,
                          bool keepFactor) {
    SceneState& s = obj.scene;
    s.ambient100 = b.ambient100;
    s.emissivity100 = b.emissivity100;
    s.humidity = b.humidity;
    s.atmoPercent = b.atmoPercent;
    s.firstCorrection100 = b.firstCorrection100;
    s.storedFirstCorrection100 = b.firstCorrection100;
    s.secondCorrection100 = b.secondCorrection100;
    s.correctionInt = b.correctionInt;
    s.paramsValid = 1;
    s.distance = scale == DistanceScale::Hundredths ? static_cast<float>(b.distance * 0.01)
                                                    : static_cast<float>(b.distance);
    if (keepFactor) obj.atmosphericFactor(truncSat(s.distance));
}

int parseStillImage(IfrObject& obj, std::vector<uint8_t> data) {
    const uint64_t size = data.size();
    if (size < kParamBlockSize) return -1;
    obj.block = decodeParamBlock(std::span<const uint8_t, kParamBlockSize>(data.data(),
                                                                           kParamBlockSize));
    const IfrParamBlock& b = obj.block;
    if (!hasCameraPrefix(b)) return -1;
    const ModelInfo model = lookupModel(b);
    obj.modelVersion = model.version;
    obj.scheme = model.scheme;

    if (b.width == 0 || b.height == 0 || b.width > kMaxImageSide || b.height > kMaxImageSide) {
        return -1;
    }
    const uint64_t frameBytes = uint64_t{b.width} * b.height * 2;
    if (!fitsWithin(kParamBlockSize, frameBytes, size)) return -1;

    const PartOffsets o = partOffsets(b);
    switch (stillLayoutOf(b)) {
        case StillLayout::Dual:
            // The camera wrote the block twice over; the second copy (read
            // again from the start) describes the file and must match its
            // length exactly.
            if (size != o.end) return -1;
            obj.secondBlock = b;
            applyBlockParameters(obj, obj.secondBlock, DistanceScale::Metres, true);
            break;
        case StillLayout::Radiometric:
            if (readRadiometricTail(obj, data, o.end) != 0) return -1;
            applyBlockParameters(obj, b,
                                 isK8(b) ? DistanceScale::Metres : DistanceScale::Hundredths,
                                 false);
            obj.scene.background100 = backgroundOf(obj);
            break;
        case StillLayout::Plane: {
            if (!fitsWithin(o.end, kCalibrationHeaderSize, size)) return -1;
            applyBlockParameters(obj, b, DistanceScale::Hundredths, false);
            // A sequence's copy carries 12 more bytes before the table.
            const uint64_t tableAt = o.end + (obj.kind == IFR_KIND_SEQUENCE ? 12 : 0);
            obj.planeTable.fill(0);
            if (tableAt < size) {
                const size_t n = static_cast<size_t>(std::min<uint64_t>(size - tableAt,
                                                                        kPlaneTableSize));
                std::memcpy(obj.planeTable.data(), data.data() + tableAt, n);
            }
            break;
        }
        case StillLayout::Plain:
            applyBlockParameters(obj, b, DistanceScale::Metres, true);
            break;
    }
    takeLineTable(obj, data, o, b.lineTableSize);
    obj.photo = partIfPresent(o.photo, b.photoSize, size);
    obj.sound = partIfPresent(o.sound, b.soundSize, size);
    obj.fileCopy = std::move(data);
    return 0;
}

int readStillImage(IfrObject& obj) {
    std::vector<uint8_t> data;
    if (obj.isMemoryImage()) {
        // A memory image: its bytes are at hand, and from its start they
        // become the file copy without being copied again (the stream
        // over them stays valid: the storage does not move).
        const std::span<const uint8_t> m = obj.memoryBytes;
        if (obj.startOffset < 0 || static_cast<uint64_t>(obj.startOffset) > m.size()) return -1;
        if (obj.startOffset != 0 || obj.memoryImage.data() != m.data()) {
            data.assign(m.begin() + static_cast<ptrdiff_t>(obj.startOffset), m.end());
        } else if (parseStillImage(obj, std::move(obj.memoryImage)) != 0) {
            // Refused: the bytes went with the refusal, and so does the stream.
            std::fclose(obj.file);
            obj.file = nullptr;
            obj.memoryBytes = {};
            return -1;
        } else {
            return 0;
        }
    } else if (!readFileTail(obj.file, obj.startOffset, data)) {
        return -1;
    }
    return parseStillImage(obj, std::move(data));
}

}  // namespace thermcore
