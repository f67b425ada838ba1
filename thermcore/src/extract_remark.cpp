// The remark of a sequence as text in the system's code page (GBK).
//
// Each remark chunk holds UTF-8 text up to its first NUL, or up to its end;
// the texts of all remark chunks are written one after the other. A
// character cut by the end of a chunk without a NUL is completed by the next
// chunk's text.
#include <algorithm>

#include "extracts.h"
#include "file_io.h"
#include "gbk_text.h"

namespace thermcore {

int existRemark(const IfrObject& obj) {
    if (!extractsReady(obj) || !extractsFromSequence(obj)) return 0;
    return obj.hasRemark;
}

int writeRemarkFile(IfrObject& obj, const char* path) {
    if (path == nullptr || !extractsReady(obj) || !extractsFromSequence(obj)) return -1;
    const std::vector<ChunkSpan> chunks = sequenceChunks(obj, kChunkRemark);
    if (!chunks.empty()) obj.hasRemark = 1;
    ReplacingFile out(path);
    if (!out.opened()) return -1;
    Utf8ToGbk converter;
    std::string gbk;
    for (const ChunkSpan& chunk : chunks) {
        bool ended = false;  // the chunk's text stopped at a NUL
        const bool read = readChunks(obj, {&chunk, 1}, [&](std::span<const uint8_t> b) {
            const auto nul = std::find(b.begin(), b.end(), uint8_t{0});
            ended = nul != b.end();
            converter.feed(b.first(static_cast<size_t>(nul - b.begin())), gbk);
            const bool written = out.write({reinterpret_cast<const uint8_t*>(gbk.data()), gbk.size()});
            gbk.clear();
            return written && !ended;
        });
        if (!read && !ended) return -1;
        if (ended) converter.finish(gbk);
    }
    converter.finish(gbk);
    return out.write({reinterpret_cast<const uint8_t*>(gbk.data()), gbk.size()}) && out.commit() ? 1 : -1;
}

}  // namespace thermcore
