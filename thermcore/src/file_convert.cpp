// The first frame of a camera file, found without opening the file into an
// object: what the converters to JPEG and BMP render.
//
//   still image   the block at the start (after the container's JPEG data),
//                 the frame after it
//   layout 0      the first frame's block at start + 12, the frame after it
//   layouts 1-3   the first gray chunk whose header (20 bytes, 28 in layout 2)
//                 lies in the 614400 bytes after the sequence header and
//                 whose size is the frame's; the frame is read from the file
//                 after that header
#include <algorithm>
#include <vector>

#include "byte_order.h"
#include "extracts.h"
#include "file_io.h"
#include "param_block.h"
#include "sequence.h"

namespace thermcore {

namespace {

constexpr int64_t kGraySearchBytes = 614400;

CameraFrame failed(int result) {
    CameraFrame f;
    f.result = result;
    return f;
}

CameraFrame sized(int64_t offset, uint64_t width, uint64_t height) {
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return failed(-2);
    CameraFrame f;
    f.offset = offset;
    f.width = static_cast<int32_t>(width);
    f.height = static_cast<int32_t>(height);
    return f;
}

// A parameter block at offset; the frame follows it.
CameraFrame frameAfterBlock(std::FILE* f, int64_t offset) {
    uint8_t raw[kParamBlockSize];
    if (fseeko(f, offset, SEEK_SET) != 0 || std::fread(raw, 1, sizeof raw, f) != sizeof raw) {
        return failed(-2);
    }
    const IfrParamBlock b = decodeParamBlock(raw);
    if (!hasCameraPrefix(b)) return failed(-2);
    return sized(offset + int64_t{kParamBlockSize}, b.width, b.height);
}

CameraFrame chunkedFrame(std::FILE* f, int64_t start, const SeqHeader& h, bool inContainer) {
    const CameraFrame frame = sized(0, h.width, h.height);
    if (frame.result != 0) return frame;
    const int64_t headerSize = chunkHeaderSize(h.layout);
    const uint64_t frameBytes = uint64_t{h.width} * h.height * 2;
    std::vector<uint8_t> area(kGraySearchBytes);
    const int64_t areaAt = start + kSeqHeaderSize;
    if (fseeko(f, areaAt, SEEK_SET) != 0) return failed(-2);
    area.resize(std::fread(area.data(), 1, area.size(), f));
    for (size_t p = 0; p + static_cast<size_t>(headerSize) <= area.size(); ++p) {
        const ChunkHeader c = decodeChunkHeader(&area[p], h.layout);
        if (c.hasMagic() && c.type == kChunkGray && c.size == frameBytes) {
            return sized(areaAt + static_cast<int64_t>(p) + headerSize, h.width, h.height);
        }
    }
    return failed(inContainer ? -2 : -1);
}

CameraFrame sequenceFrame(std::FILE* f, int64_t start, bool inContainer) {
    SeqHeader h;
    if (!readSeqHeader(f, start, h) || h.layout > 3) return failed(-2);
    if (h.layout == 0) return frameAfterBlock(f, start + kLayout0HeaderSize);
    return chunkedFrame(f, start, h, inContainer);
}

}  // namespace

CameraFrame locateCameraFrame(std::FILE* f, int kind) {
    const int64_t length = fileLength(f);
    if (length < 0) return failed(-1);
    switch (kind) {
        case IFR_KIND_IMAGE:
            return frameAfterBlock(f, 0);
        case IFR_KIND_SEQUENCE:
            return sequenceFrame(f, 0, false);
        case IFR_KIND_JPEG: {
            uint8_t soi[2];
            if (fseeko(f, 0, SEEK_SET) != 0 || std::fread(soi, 1, 2, f) != 2 || soi[0] != 0xFF ||
                soi[1] != 0xD8) {
                return failed(-1);
            }
            const ContainerPayload p = findContainerPayload(f, length);
            if (!p.found) return failed(-1);
            return p.sequence ? sequenceFrame(f, p.offset, true) : frameAfterBlock(f, p.offset);
        }
        default:
            return failed(-1);
    }
}

int readCameraFrame(std::FILE* f, const CameraFrame& frame, IfrObject& obj) {
    obj.gray.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height));
    if (fseeko(f, frame.offset, SEEK_SET) != 0 || !readGrays(f, obj.gray)) return -2;
    return 0;
}

}  // namespace thermcore
