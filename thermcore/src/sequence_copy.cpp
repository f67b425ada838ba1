// The IR data of a sequence that IFR_GetFileLen and IFR_GetFileBuff hand
// out, and that an image made from it with IFR_LoadBuffer reads again.
//
// A sequence of layout 1 to 3 is cut after its first frame, but its voice
// note, photo and remark chunks may lie anywhere among the frames (a camera
// writes them as they come). Cut there alone, the copy would lose them, and
// an image kept as a copy (a report's) could neither play the note nor show
// the photo or the remark its file carries. So the copy goes on with those
// chunks, in file order, each under a header of its own: the frame's time
// stamp (the copy keeps one moment, first and last time stamps stay equal)
// and the data size of the chunk before it in the copy.
#include <algorithm>
#include <cstring>

#include "byte_order.h"
#include "extracts.h"
#include "file_io.h"
#include "sequence.h"
#include "sequence_format.h"

namespace thermcore {

namespace {

constexpr uint32_t kPartTypes[] = {kChunkSound, kChunkPhoto, kChunkRemark};

struct CopyPlan {
    int64_t offset = 0;      // of the bytes copied as they stand
    int64_t head = 0;        // their length; 0: no copy
    int64_t headerSize = 20; // of a chunk header in this layout
    int32_t frameTime = 0;   // time stamp of the head's gray chunk
    uint32_t frameSize = 0;  // and its data size
    std::vector<ChunkSpan> parts;

    int64_t length() const {
        int64_t n = head;
        for (const ChunkSpan& c : parts) n += headerSize + c.size;
        return n;
    }
};

// The header, then every chunk up to and including the first gray chunk;
// nothing when no gray chunk is reached before the end or a header without
// the magic.
void planHead(IfrObject& obj, CopyPlan& p) {
    const SequenceState& s = obj.seq;
    const int64_t restore = ftello(obj.file);
    FileCursor at(obj.file, s.fileEnd);
    if (at.seek(obj.firstFrameOffset)) {
        ChunkHeader h;
        while (at.header(s.header.layout, h) && h.hasMagic() && at.skip(h.size)) {
            if (h.type == kChunkGray) {
                p.head = at.pos() - obj.startOffset;
                p.frameTime = h.time;
                p.frameSize = h.size;
                break;
            }
        }
    }
    if (restore >= 0) fseeko(obj.file, restore, SEEK_SET);
}

CopyPlan planCopy(IfrObject& obj) {
    CopyPlan p;
    p.offset = obj.startOffset;
    if (!obj.hasFile()) return p;
    const SequenceState& s = obj.seq;
    if (obj.kind == IFR_KIND_JPEG) {
        // The whole sequence: every part is in it already.
        p.head = s.fileEnd - obj.startOffset;
        return p;
    }
    if (s.header.layout == 0) {
        // One frame: a still image, which carries its parts itself.
        p.offset = obj.firstFrameOffset;
        p.head = s.frameSize;
        return p;
    }
    p.headerSize = chunkHeaderSize(s.header.layout);
    planHead(obj, p);
    if (p.head <= 0) return p;
    int64_t length = p.head;
    for (const ChunkSpan& c : sequenceChunks(obj, kPartTypes)) {
        if (c.offset < p.offset + p.head) continue;  // in the head already
        const int64_t more = p.headerSize + c.size;
        if (length + more > kMaxDataLength) break;  // lengths travel as int
        length += more;
        p.parts.push_back(c);
    }
    return p;
}

void putChunkHeader(uint8_t* out, int64_t size, int32_t time, uint32_t previous, const ChunkSpan& c) {
    std::memset(out, 0, static_cast<size_t>(size));
    storeU32(out, kChunkMagic);
    storeI32(out + 4, time);
    storeU32(out + 8, previous);
    storeU32(out + 12, c.type);
    storeU32(out + size - 4, c.size);
}

}  // namespace

int64_t sequenceDataLength(IfrObject& obj) { return planCopy(obj).length(); }

void copySequenceData(IfrObject& obj, uint8_t* dest) {
    const CopyPlan p = planCopy(obj);
    const int64_t length = p.length();
    if (dest == nullptr || length <= 0) return;
    // Reads by offset: the file's position stays. What cannot be read is 0.
    std::memset(dest, 0, static_cast<size_t>(length));
    readFileAt(obj, p.offset, dest, static_cast<size_t>(p.head));
    uint8_t* out = dest + p.head;
    uint32_t previous = p.frameSize;
    for (const ChunkSpan& c : p.parts) {
        putChunkHeader(out, p.headerSize, p.frameTime, previous, c);
        out += p.headerSize;
        readFileAt(obj, c.offset, out, c.size);
        out += c.size;
        previous = c.size;
    }
}

}  // namespace thermcore
