#include "sequence_format.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "byte_order.h"

namespace thermcore {

bool readSeqHeader(std::FILE* f, int64_t offset, SeqHeader& out) {
    uint8_t raw[kSeqHeaderSize];
    if (fseeko(f, offset, SEEK_SET) != 0 || std::fread(raw, 1, sizeof raw, f) != sizeof raw) {
        return false;
    }
    ByteReader r({raw, sizeof raw});
    out.layout = r.u32();
    out.interval = r.u32();
    out.width = r.u32();
    out.height = r.u32();
    return true;
}

ChunkHeader decodeChunkHeader(const uint8_t* bytes, uint32_t layout) {
    ByteReader r({bytes, static_cast<size_t>(chunkHeaderSize(layout))});
    ChunkHeader h;
    h.magic = r.u32();
    h.time = r.i32();
    h.previousSize = r.u32();
    h.type = r.u32();
    if (layout == 2) {
        r.u32();
        r.u32();
    }
    h.size = r.u32();
    return h;
}

FileCursor::FileCursor(std::FILE* f, int64_t end) : f_(f), end_(end), pos_(ftello(f)) {}

bool FileCursor::seek(int64_t at) {
    if (at < 0 || at > end_ || fseeko(f_, at, SEEK_SET) != 0) return false;
    pos_ = at;
    return true;
}

bool FileCursor::skip(uint64_t n) { return fits(n) && seek(pos_ + static_cast<int64_t>(n)); }

bool FileCursor::read(void* dest, size_t n) {
    if (!fits(n)) return false;
    const size_t got = std::fread(dest, 1, n, f_);
    pos_ += static_cast<int64_t>(got);
    return got == n;
}

bool FileCursor::header(uint32_t layout, ChunkHeader& out) {
    uint8_t raw[28];
    if (!read(raw, static_cast<size_t>(chunkHeaderSize(layout)))) return false;
    out = decodeChunkHeader(raw, layout);
    return true;
}

ContainerPayload findContainerPayload(std::FILE* f, int64_t length) {
    static constexpr char kTag[] = "VN410K";
    static constexpr size_t kTagLen = 6;
    static constexpr size_t kSpan = 8;  // a hit needs 8 bytes: "VN410KV" + 1
    ContainerPayload out;
    if (length < static_cast<int64_t>(kSpan) || fseeko(f, 0, SEEK_SET) != 0) return out;
    // Read in blocks that overlap by kSpan - 1 bytes, so that a tag across a
    // block boundary is seen whole; hits are taken at offsets <= length - 8.
    std::vector<uint8_t> buf(1 << 16);
    int64_t base = 0;  // file offset of buf[0]
    size_t held = 0;
    for (;;) {
        const size_t got = std::fread(buf.data() + held, 1, buf.size() - held, f);
        held += got;
        if (held < kSpan) return out;
        const size_t last = held - kSpan;  // last start with 8 bytes behind it
        for (size_t i = 0; i <= last; ++i) {
            if (buf[i] != 'V' || std::memcmp(&buf[i], kTag, kTagLen) != 0) continue;
            if (base + static_cast<int64_t>(i) > length - static_cast<int64_t>(kSpan)) return out;
            out.found = true;
            out.sequence = buf[i + kTagLen] == 'V';
            out.offset = base + static_cast<int64_t>(i) + (out.sequence ? 8 : 0);
            return out;
        }
        if (got == 0) return out;
        const size_t keep = kSpan - 1;
        std::memmove(buf.data(), buf.data() + held - keep, keep);
        base += static_cast<int64_t>(held - keep);
        held = keep;
    }
}

}  // namespace thermcore
