// Opening a sequence: layout 0 with its fixed frames and a full index, and
// the chunk layouts with their first and last time stamps.
#include <algorithm>

#include "byte_order.h"
#include "file_io.h"
#include "param_block.h"
#include "sequence.h"
#include "still_image.h"

namespace thermcore {

namespace {

// The last time stamp is searched for in this many bytes at the end.
constexpr int64_t kTailBytes = 1228800;

void storeTimes(IfrObject& obj, int32_t first, int32_t last, int* firstTime, int* lastTime) {
    obj.firstTime = first;
    obj.lastTime = last;
    obj.currentTime = first;
    if (firstTime != nullptr) *firstTime = first;
    if (lastTime != nullptr) *lastTime = last;
}

int openLayout0(IfrObject& obj, int64_t length, int* firstTime, int* lastTime) {
    uint8_t raw[kLayout0HeaderSize];
    if (fseeko(obj.file, obj.startOffset, SEEK_SET) != 0 ||
        std::fread(raw, 1, sizeof raw, obj.file) != sizeof raw) {
        return -1;
    }
    const uint32_t frameSize = loadU32(raw + 8);
    const int64_t framesAt = obj.startOffset + kLayout0HeaderSize;
    if (frameSize < kParamBlockSize || length - framesAt < int64_t{frameSize}) return -1;
    const int64_t frames =
        std::min<int64_t>((length - framesAt) / frameSize, kMaxIndexEntries);

    // The first frame is a still image; its block gives the size, and the
    // frame must hold the block and the whole gray frame.
    std::vector<uint8_t> first(frameSize);
    if (std::fread(first.data(), 1, first.size(), obj.file) != first.size()) return -1;
    if (parseStillImage(obj, std::move(first)) != 0) return -1;
    obj.width = obj.block.width;
    obj.height = obj.block.height;
    if (frameSize < kParamBlockSize + uint64_t(obj.pixelCount()) * 2) return -1;
    obj.allocateImageBuffers();

    obj.seq.frameSize = frameSize;
    obj.seq.header.interval = kLayout0Interval;
    obj.seq.header.width = static_cast<uint32_t>(obj.width);
    obj.seq.header.height = static_cast<uint32_t>(obj.height);
    obj.firstFrameOffset = framesAt;
    obj.frameCount = static_cast<int32_t>(frames);
    const uint32_t now = monotonicMs();
    const uint32_t span = kLayout0Interval * static_cast<uint32_t>(frames - 1);
    const auto first0 = static_cast<int32_t>(now - span);
    obj.seq.index.resize(static_cast<size_t>(frames));
    for (int64_t i = 0; i < frames; ++i) {
        obj.seq.index[size_t(i)] = {static_cast<int32_t>(static_cast<uint32_t>(first0) +
                                                         kLayout0Interval * uint32_t(i)),
                                    0, framesAt + i * frameSize};
    }
    storeTimes(obj, first0, static_cast<int32_t>(now), firstTime, lastTime);
    rewindToFirstFrame(obj);
    return static_cast<int>(span);
}

// The last chunk header in the tail of the file: its time stamp, or 0.
int32_t lastTimeStamp(IfrObject& obj, int64_t length) {
    const int64_t hdr = chunkHeaderSize(obj.seq.header.layout);
    const int64_t from = std::max(obj.firstFrameOffset, length - kTailBytes);
    if (length - from < hdr) return 0;
    std::vector<uint8_t> tail(static_cast<size_t>(length - from));
    if (fseeko(obj.file, from, SEEK_SET) != 0) return 0;
    tail.resize(std::fread(tail.data(), 1, tail.size(), obj.file));
    for (int64_t p = int64_t(tail.size()) - hdr; p >= 0; --p) {
        if (loadU32(&tail[size_t(p)]) == kChunkMagic) return loadI32(&tail[size_t(p) + 4]);
    }
    return 0;
}

int openChunked(IfrObject& obj, int64_t length, int* firstTime, int* lastTime) {
    const SeqHeader& h = obj.seq.header;
    if (h.width < 1 || h.height < 1 || h.width > kMaxImageSide || h.height > kMaxImageSide) {
        return -1;
    }
    // A frame larger than the file can never be read: no buffers for it.
    obj.firstFrameOffset = obj.startOffset + kSeqHeaderSize;
    const uint64_t frame = uint64_t{h.width} * h.height * 2;
    if (!fitsWithin(uint64_t(obj.firstFrameOffset + chunkHeaderSize(h.layout)), frame,
                    uint64_t(length))) {
        return -1;
    }
    obj.width = static_cast<int32_t>(h.width);
    obj.height = static_cast<int32_t>(h.height);
    obj.allocateImageBuffers();

    // Forward to the first gray chunk: its time stamp is the first. Layouts
    // 1 and 3 take the parameter chunks on the way as the reader does.
    int32_t first = 0;
    FileCursor at(obj.file, length);
    if (at.seek(obj.firstFrameOffset)) {
        ChunkHeader c;
        while (at.header(h.layout, c)) {
            if (c.hasMagic() && c.type == kChunkGray) {
                first = c.time;
                break;
            }
            if (h.layout != 2 && c.hasMagic() && c.type == kChunkParams) {
                if (applyParamChunk(obj, at, c.size) != 0) break;
            } else if (!at.skip(c.size)) {
                break;
            }
        }
    }
    const int32_t last = lastTimeStamp(obj, length);
    storeTimes(obj, first, last, firstTime, lastTime);
    rewindToFirstFrame(obj);
    return last != 0 ? 0 : -1;
}

}  // namespace

int openSequence(IfrObject& obj, int64_t length, int* firstTime, int* lastTime) {
    obj.irDataLength = length;
    obj.seq.fileEnd = length;
    if (!readSeqHeader(obj.file, obj.startOffset, obj.seq.header)) return -1;
    switch (obj.seq.header.layout) {
        case 0:
            return openLayout0(obj, length, firstTime, lastTime);
        case 1:
        case 2:
        case 3:
            return openChunked(obj, length, firstTime, lastTime);
        default:
            return -1;
    }
}

}  // namespace thermcore
