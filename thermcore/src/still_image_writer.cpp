// IFR_MemSaveToVNI: the object's current still image as a file.
//
// The block is written as held, except for the sizes, which are set to what
// is actually written so that the file reads back the same: the object's
// width and height and gray size, the photo and sound only when the object
// still holds them, and the line table when it holds one (for every model).
// "VN410K8/9/10" get their calibration block when one is held; the display
// block is not written. "VN410K11" gets its 112-byte plane table, without
// which the file would not open again.
#include "byte_order.h"
#include "file_io.h"
#include "param_block.h"
#include "still_image.h"

namespace thermcore {

namespace {

void appendPart(std::vector<uint8_t>& out, const std::vector<uint8_t>& copy, const HeldPart& part) {
    if (!part.held) return;
    const auto begin = copy.begin() + static_cast<ptrdiff_t>(part.offset);
    out.insert(out.end(), begin, begin + static_cast<ptrdiff_t>(part.size));
}

}  // namespace

std::vector<uint8_t> encodeStillImage(const IfrObject& obj) {
    IfrParamBlock b = obj.block;
    b.width = static_cast<uint16_t>(obj.width);
    b.height = static_cast<uint16_t>(obj.height);
    b.graySize = static_cast<uint32_t>(obj.pixelCount() * 2);
    b.photoSize = obj.photo.held ? static_cast<uint32_t>(obj.photo.size) : 0;
    b.soundSize = obj.sound.held ? static_cast<uint32_t>(obj.sound.size) : 0;
    b.lineTableSize = obj.lineTableHeld ? static_cast<uint32_t>(obj.lineTable.size()) : 0;

    std::vector<uint8_t> out(kParamBlockSize + b.graySize);
    encodeParamBlock(b, std::span<uint8_t, kParamBlockSize>(out.data(), kParamBlockSize));
    for (size_t i = 0; i < obj.pixelCount(); ++i) {
        storeU16(&out[kParamBlockSize + 2 * i], obj.gray[i]);
    }
    appendPart(out, obj.fileCopy, obj.photo);
    appendPart(out, obj.fileCopy, obj.sound);
    if (obj.lineTableHeld) out.insert(out.end(), obj.lineTable.begin(), obj.lineTable.end());
    if (stillLayoutOf(b) == StillLayout::Radiometric && obj.calibration) {
        uint8_t header[kCalibrationHeaderSize];
        storeU32(header, kCalibrationTag);
        storeU32(header + 4, obj.calibration->storedLength);
        out.insert(out.end(), header, header + sizeof header);
        obj.calibration->appendStored(out);
    }
    if (stillLayoutOf(b) == StillLayout::Plane) {
        out.insert(out.end(), obj.planeTable.begin(), obj.planeTable.end());
    }
    return out;
}

int saveStillImage(const IfrObject& obj, const char* path) {
    if (path == nullptr || obj.pixelCount() == 0 || obj.gray.size() != obj.pixelCount()) {
        return -1;
    }
    const std::vector<uint8_t> bytes = encodeStillImage(obj);
    return writeFileReplacing(path, bytes) ? 0 : -1;
}

}  // namespace thermcore
