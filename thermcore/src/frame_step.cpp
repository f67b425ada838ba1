// Stepping back (IFR_Prior) and jumping to a time stamp (IFR_GotoTime).
//
// IFR_Prior reads the frame before the last one read. With nothing read
// since the open, a rewind or a jump it gives -1 and leaves the file at the
// first frame; after the first frame it reads the first frame again. The
// chunk layouts step back through the previous-size field of each header
// (20-byte headers in layouts 1 and 3, 28-byte in layout 2); layout 0 steps
// back one frame size; offsets count from the sequence's start, so a
// sequence inside a JPEG container steps the same way. A header on the way
// back without the chunk magic gives -2 at the first frame. A still image
// gives -1 and stays where it is.
#include <algorithm>

#include "file_open.h"
#include "sequence.h"

namespace thermcore {

namespace {

int readFromFirstFrame(IfrObject& obj) {
    rewindToFirstFrame(obj);
    return readSequenceFrame(obj);
}

int priorLayout0(IfrObject& obj, int64_t current) {
    const int64_t size = obj.seq.frameSize;
    if (current - size < obj.firstFrameOffset) return readFromFirstFrame(obj);
    if (fseeko(obj.file, current - size, SEEK_SET) != 0) {
        rewindToFirstFrame(obj);
        return -1;
    }
    return readSequenceFrame(obj);
}

int priorChunked(IfrObject& obj, int64_t current) {
    const uint32_t layout = obj.seq.header.layout;
    const int64_t hdr = chunkHeaderSize(layout);
    FileCursor at(obj.file, obj.seq.fileEnd);
    int64_t pos = current;
    for (;;) {
        if (pos <= obj.firstFrameOffset) return readFromFirstFrame(obj);
        ChunkHeader h;
        if (!at.seek(pos) || !at.header(layout, h) || !h.hasMagic()) {
            rewindToFirstFrame(obj);
            return -2;
        }
        // The chunk before this one begins its size and a header earlier.
        const int64_t back = hdr + int64_t{h.previousSize};
        if (pos - back < obj.startOffset) {
            rewindToFirstFrame(obj);
            return -1;
        }
        if (pos - back < obj.firstFrameOffset) return readFromFirstFrame(obj);
        pos -= back;
        ChunkHeader prev;
        if (!at.seek(pos) || !at.header(layout, prev) || !prev.hasMagic()) {
            rewindToFirstFrame(obj);
            return -2;
        }
        if (prev.type == kChunkGray) {
            at.seek(pos);
            return readSequenceFrame(obj);
        }
    }
}

}  // namespace

int priorFrame(IfrObject& obj) {
    obj.stopFlag = 0;
    obj.pauseFlag = 0;
    if (!obj.hasFile() || !isSequence(obj)) return -1;
    const int64_t current = obj.seq.lastFrameAt;
    if (current < 0) {
        rewindToFirstFrame(obj);
        return -1;
    }
    return obj.seq.header.layout == 0 ? priorLayout0(obj, current) : priorChunked(obj, current);
}

int gotoTime(IfrObject& obj, int32_t time) {
    if (!obj.hasFile() || indexedFrameCount(obj) == 0) return -1;
    const std::vector<FrameIndexEntry>& index = obj.seq.index;
    if (index.empty() || time < index.front().time || time > index.back().time) return -1;
    // The index is in file order: the first entry at or after the time.
    const auto it = std::find_if(index.begin(), index.end(),
                                 [time](const FrameIndexEntry& e) { return e.time >= time; });
    if (fseeko(obj.file, it->offset, SEEK_SET) != 0) return -1;
    obj.seq.lastFrameAt = -1;
    obj.currentTime = it->time;
    return 0;
}

}  // namespace thermcore
