// The frame readers of the sequence layouts and the IR data of a sequence.
#include <bit>
#include <cstring>
#include <span>

#include "byte_order.h"
#include "param_block.h"
#include "post_hook.h"
#include "sequence.h"
#include "still_image.h"

namespace thermcore {

namespace {

constexpr size_t kBlock = kParamBlockSize;

uint64_t frameBytes(const IfrObject& obj) { return uint64_t(obj.pixelCount()) * 2; }

bool blockHasPrefix(const uint8_t* block) { return std::memcmp(block, "VN410K", 6) == 0; }

// The gray frame of a chunk or a layout-0 frame, at the cursor; the frame
// begins at frameAt and carries the time stamp time.
int takeFrame(IfrObject& obj, FileCursor& at, int64_t frameAt, int32_t time) {
    if (!at.fits(frameBytes(obj)) || !readGrays(at.file(), obj.gray)) return -2;
    obj.seq.lastFrameAt = frameAt;
    obj.currentTime = time;
    if (stopAfterRead(obj)) {
        rewindToFirstFrame(obj);
        return -1;
    }
    deliverFrame(obj, time);
    return 0;
}

// Reads a chunk's data of the given size into the scratch buffer.
bool readScratch(IfrObject& obj, FileCursor& at, uint32_t size) {
    if (!at.fits(size)) return false;
    obj.seq.scratch.resize(size);
    return at.read(obj.seq.scratch.data(), size);
}

}  // namespace

int applyParamChunk(IfrObject& obj, FileCursor& at, uint32_t size) {
    const uint32_t layout = obj.seq.header.layout;
    const bool payload = layout == 3 && size > kBlock + 8;
    if (size < kBlock || size > kMaxParamChunk ||
        (payload && size - kBlock > kMaxCalibrationChunk)) {
        return -4;
    }
    if (!readScratch(obj, at, size)) return -2;
    const uint8_t* data = obj.seq.scratch.data();
    if (!blockHasPrefix(data)) return 0;
    size_t applied = size;
    if (payload) {
        // The rest of the chunk is the calibration payload.
        obj.calibration = std::make_unique<CalibrationPayload>(
            CalibrationPayload::fromBytes({data + kBlock, size - kBlock}));
        applied = kBlock;
    } else if (layout != 2) {
        obj.calibration.reset();
    }
    applyStreamBlock(obj, {data, applied});
    if (layout != 2) {
        obj.block.photoSize = 0;
        obj.block.soundSize = 0;
    }
    return 0;
}

namespace {

// Layout 2's calibration (type 6) and settings (type 8) chunks.
int applyCalibrationChunk(IfrObject& obj, FileCursor& at, uint32_t size) {
    if (size > kMaxCalibrationChunk) return -4;
    if (!readScratch(obj, at, size)) return -2;
    if (size != 0) {
        obj.calibration = std::make_unique<CalibrationPayload>(
            CalibrationPayload::fromBytes(obj.seq.scratch));
    }
    return 0;
}

int applySettingsChunk(IfrObject& obj, FileCursor& at, uint32_t size) {
    if (size < kSettingsBytes) return at.skip(size) ? 0 : -2;
    uint8_t raw[kSettingsBytes];
    if (!at.fits(size) || !at.read(raw, sizeof raw) || !at.skip(size - kSettingsBytes)) return -2;
    obj.nonUniformity.columnThreshold = loadU32(raw + 8);
    obj.nonUniformity.limit = loadU32(raw + 12);
    imaging::IM_SetUNCompensateMode(obj.imaging.get(), 1);
    imaging::IM_UNCCompensateSetColumnThreshold(obj.imaging.get(),
                                                static_cast<int>(obj.nonUniformity.columnThreshold));
    imaging::IM_SetBendiLimmit(obj.imaging.get(), static_cast<int>(obj.nonUniformity.limit));
    return 0;
}

int readLayout0(IfrObject& obj, FileCursor& at) {
    if (stopOrPauseBeforeRead(obj)) return -2;
    const SequenceState& s = obj.seq;
    const int64_t frameAt = at.pos();
    const int64_t framesEnd = obj.firstFrameOffset + int64_t{obj.frameCount} * s.frameSize;
    if (frameAt < obj.firstFrameOffset || frameAt + int64_t{s.frameSize} > framesEnd) return -2;
    uint8_t raw[kBlock];
    if (!at.read(raw, sizeof raw)) return -2;
    const IfrParamBlock block = decodeParamBlock(std::span<const uint8_t, kBlock>(raw, kBlock));
    int r = 0;
    if (!hasCameraPrefix(block)) {
        r = -2;
    } else if (block.graySize != frameBytes(obj)) {
        r = -4;
    }
    if (r != 0) {
        at.seek(frameAt);
        return r;
    }
    obj.block = block;
    const auto k = static_cast<uint32_t>((frameAt - obj.firstFrameOffset) / s.frameSize);
    const auto time = static_cast<int32_t>(static_cast<uint32_t>(obj.firstTime) + kLayout0Interval * k);
    r = takeFrame(obj, at, frameAt, time);
    if (r == 0) at.seek(frameAt + s.frameSize);
    return r;
}

// Layouts 1 (and 3): 20-byte headers.
int readLayout1(IfrObject& obj, FileCursor& at) {
    for (;;) {
        if (stopOrPauseBeforeRead(obj)) return -2;
        const int64_t headerAt = at.pos();
        ChunkHeader h;
        if (!at.header(obj.seq.header.layout, h)) return -2;
        int r = 0;
        if (indexedFrameCount(obj) > 0 && h.time > obj.lastTime) {
            r = -3;
        } else if (h.type == kChunkGray && h.size != frameBytes(obj)) {
            r = -4;
        } else if (!h.hasMagic()) {
            r = -3;
        } else if (h.type == kChunkParams) {
            r = applyParamChunk(obj, at, h.size);
        } else if (h.type == kChunkGray) {
            obj.seq.chunk = h;
            return takeFrame(obj, at, headerAt, h.time);
        } else if (!at.skip(h.size)) {
            return -2;
        }
        if (r == -2) return r;
        if (r != 0) {
            at.seek(headerAt);
            return r;
        }
        obj.seq.chunk = h;
    }
}

// Layout 2: 28-byte headers.
int readLayout2(IfrObject& obj, FileCursor& at) {
    for (;;) {
        if (stopOrPauseBeforeRead(obj)) return -2;
        const int64_t headerAt = at.pos();
        ChunkHeader h;
        if (!at.header(2, h)) return -2;
        int r = 0;
        if (!h.hasMagic()) {
            // Resynchronise by the size less the header; a size that would
            // not move forward is a bad header.
            if (h.size < 28) {
                r = -3;
            } else if (!at.skip(h.size - 28)) {
                return -2;
            }
        } else if (h.type == kChunkGray) {
            if (h.size != frameBytes(obj)) {
                r = -4;
            } else {
                obj.seq.chunk = h;
                return takeFrame(obj, at, headerAt, h.time);
            }
        } else if (h.type == kChunkParams) {
            r = applyParamChunk(obj, at, h.size);
        } else if (h.type == kChunkCalibration) {
            r = applyCalibrationChunk(obj, at, h.size);
        } else if (h.type == kChunkSettings) {
            r = applySettingsChunk(obj, at, h.size);
        } else if (!at.skip(h.size)) {
            return -2;
        }
        if (r == -2) return r;
        if (r != 0) {
            at.seek(headerAt);
            return r;
        }
        obj.seq.chunk = h;
    }
}

}  // namespace

bool readGrays(std::FILE* f, std::vector<uint16_t>& gray) {
    auto* bytes = reinterpret_cast<uint8_t*>(gray.data());
    if (std::fread(bytes, 2, gray.size(), f) != gray.size()) return false;
    // Little-endian on disk: elsewhere each value is decoded from its bytes.
    if constexpr (std::endian::native != std::endian::little) {
        for (size_t i = 0; i < gray.size(); ++i) gray[i] = loadU16(bytes + 2 * i);
    }
    return true;
}

int readSequenceFrame(IfrObject& obj) {
    if (!obj.hasFile()) return -2;
    FileCursor at(obj.file, obj.seq.fileEnd);
    switch (obj.seq.header.layout) {
        case 0:
            return readLayout0(obj, at);
        case 2:
            return readLayout2(obj, at);
        default:
            return readLayout1(obj, at);
    }
}

void rewindToFirstFrame(IfrObject& obj) {
    if (obj.hasFile()) fseeko(obj.file, obj.firstFrameOffset, SEEK_SET);
    obj.seq.lastFrameAt = -1;
    obj.currentTime = obj.firstTime;
}

}  // namespace thermcore
