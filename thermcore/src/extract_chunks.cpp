// The walk over a sequence's chunks that the extracts share. It reads by
// offset (pread on the object's open file, or from a memory image's bytes),
// so neither the file's position nor a running playback is disturbed.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "extracts.h"
#include "sequence.h"

namespace thermcore {

bool readFileAt(const IfrObject& obj, int64_t offset, void* dest, size_t n) {
    if (obj.file == nullptr || offset < 0) return false;
    if (obj.isMemoryImage()) {
        // A memory image: straight from the object's copy.
        const auto size = static_cast<uint64_t>(obj.memoryBytes.size());
        if (static_cast<uint64_t>(offset) > size || n > size - static_cast<uint64_t>(offset)) return false;
        std::memcpy(dest, obj.memoryBytes.data() + offset, n);
        return true;
    }
    const int fd = fileno(obj.file);
    auto* out = static_cast<uint8_t*>(dest);
    while (n > 0) {
        const ssize_t got = pread(fd, out, n, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        n -= static_cast<size_t>(got);
        offset += got;
    }
    return true;
}

bool extractsFromSequence(const IfrObject& obj) { return isSequence(obj); }

bool extractsReady(const IfrObject& obj) { return obj.hasFile() && obj.indexReady.load() != 0; }

std::vector<ChunkSpan> sequenceChunks(const IfrObject& obj, std::span<const uint32_t> types) {
    std::vector<ChunkSpan> found;
    const uint32_t layout = obj.seq.header.layout;
    if (obj.file == nullptr || layout == 0 || layout > 3) return found;
    const int64_t headerSize = chunkHeaderSize(layout);
    const int64_t end = obj.seq.fileEnd;
    // Headers without the magic are stepped over by their size, as the
    // frame index does, so the marks and the extracts agree.
    int64_t pos = obj.startOffset + kSeqHeaderSize;
    uint8_t raw[28];
    while (pos <= end - headerSize && readFileAt(obj, pos, raw, static_cast<size_t>(headerSize))) {
        const ChunkHeader h = decodeChunkHeader(raw, layout);
        const int64_t dataAt = pos + headerSize;
        const int64_t left = end - dataAt;
        if (h.hasMagic() && std::find(types.begin(), types.end(), h.type) != types.end()) {
            found.push_back({dataAt, static_cast<uint32_t>(std::min<int64_t>(h.size, left)), h.type});
        }
        if (int64_t{h.size} >= left) break;
        pos = dataAt + h.size;
    }
    return found;
}

bool readChunks(const IfrObject& obj, std::span<const ChunkSpan> chunks, const BlockSink& take) {
    constexpr size_t kBlock = 64 * 1024;
    std::vector<uint8_t> block;
    for (const ChunkSpan& c : chunks) {
        for (uint32_t done = 0; done < c.size;) {
            const size_t n = std::min<size_t>(kBlock, c.size - done);
            block.resize(n);
            if (!readFileAt(obj, c.offset + done, block.data(), n) || !take(block)) return false;
            done += static_cast<uint32_t>(n);
        }
    }
    return true;
}

uint64_t chunkBytes(std::span<const ChunkSpan> chunks) {
    uint64_t n = 0;
    for (const ChunkSpan& c : chunks) n += c.size;
    return n;
}

}  // namespace thermcore
