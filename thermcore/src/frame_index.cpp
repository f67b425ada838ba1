// The frame-index thread: one walk over a sequence of layout 1, 2 or 3 on a
// stream of its own (over the same bytes for a memory image), building the
// table of time stamps and offsets that IFR_GotoTime seeks by, and the
// sound, photo and remark marks.
#include "file_io.h"
#include "post_hook.h"
#include "sequence.h"

namespace thermcore {

namespace {

struct Walk {
    std::string path;
    std::span<const uint8_t> memory;  // a memory image's bytes
    int64_t firstFrame = 0;
    uint32_t layout = 1;
    uint8_t marks[3] = {0, 0, 0};  // sound, photo, remark
};

void indexSequence(IfrObject* obj, Walk walk) {
    // A memory image's bytes stay unchanged until the close, which joins
    // this thread first.
    std::FILE* f = !walk.memory.empty() ? openMemoryStream(walk.memory) : std::fopen(walk.path.c_str(), "rb");
    if (f == nullptr || obj->indexStop.load() != 0) {
        if (f != nullptr) std::fclose(f);
        obj->indexReady = 1;
        return;
    }
    std::vector<FrameIndexEntry> entries;
    FileCursor at(f, fileLength(f));
    if (at.seek(walk.firstFrame)) {
        ChunkHeader h;
        while (obj->indexStop.load() == 0 && at.header(walk.layout, h)) {
            // Sound, photo and remark are marked in every layout (layout 2
            // indexes its parameter chunks only, but carries them too).
            if (h.hasMagic() && h.type == kChunkSound) walk.marks[0] = 1;
            if (h.hasMagic() && h.type == kChunkPhoto) walk.marks[1] = 1;
            if (h.hasMagic() && h.type == kChunkRemark) walk.marks[2] = 1;
            if (h.hasMagic() && (walk.layout != 2 || h.type == kChunkParams)) {
                entries.push_back({h.time, static_cast<int32_t>(h.type),
                                   at.pos() - chunkHeaderSize(walk.layout)});
                if (entries.size() == kMaxIndexEntries) break;
            }
            if (!at.skip(h.size)) break;
        }
    }
    std::fclose(f);
    if (obj->indexStop.load() != 0) {
        obj->indexReady = 1;
        return;
    }
    const bool empty = entries.empty();
    obj->seq.index = std::move(entries);
    obj->frameCount = static_cast<int32_t>(obj->seq.index.size());
    obj->hasSound = walk.marks[0];
    obj->hasPhoto = walk.marks[1];
    obj->hasRemark = walk.marks[2];
    obj->indexReady = 1;
    postMessage(*obj, WM_IFR_INDEXREADY, empty ? -1 : 0, 0);
}

}  // namespace

bool startIndexThread(IfrObject& obj) {
    if (!isSequence(obj) || obj.seq.header.layout == 0 || obj.seq.indexThread.joinable()) {
        return true;
    }
    Walk walk;
    walk.path = obj.path;
    if (obj.isMemoryImage()) walk.memory = obj.memoryBytes;
    walk.firstFrame = obj.firstFrameOffset;
    walk.layout = obj.seq.header.layout;
    walk.marks[0] = obj.hasSound;
    walk.marks[1] = obj.hasPhoto;
    walk.marks[2] = obj.hasRemark;
    obj.indexStop = 0;
    obj.indexReady = 0;
    try {
        obj.seq.indexThread = std::thread(indexSequence, &obj, std::move(walk));
    } catch (...) {
        obj.indexReady = 1;
        return false;
    }
    return true;
}

int32_t indexedFrameCount(const IfrObject& obj) {
    return obj.indexReady.load() != 0 ? obj.frameCount : 0;
}

}  // namespace thermcore
