#include "file_open.h"

#include <cstring>
#include <new>

#include "byte_order.h"
#include "file_io.h"
#include "param_block.h"
#include "post_hook.h"
#include "sequence.h"
#include "sequence_format.h"
#include "still_image.h"

namespace thermcore {

namespace {

int readStillFrame(IfrObject& obj) {
    std::FILE* f = obj.file;
    uint8_t raw[kParamBlockSize];
    if (fseeko(f, obj.startOffset, SEEK_SET) != 0 || std::fread(raw, 1, sizeof raw, f) != sizeof raw) {
        return -2;
    }
    if (stopOrPauseBeforeRead(obj)) return -2;
    const IfrParamBlock b = decodeParamBlock(raw);
    if (!hasCameraPrefix(b)) return -2;
    // The frame is width * height grays of the object (the open checked
    // that they are in the file).
    obj.gray.resize(obj.pixelCount());
    if (!readGrays(f, obj.gray)) return -2;
    fseeko(f, obj.startOffset, SEEK_SET);
    if (stopAfterRead(obj)) return -1;
    deliverFrame(obj, obj.currentTime);
    return 0;
}

// A still image at the start offset (kind 0, or a container's payload).
int openStill(IfrObject& obj, int64_t length, int* firstTime, int* lastTime) {
    obj.openedAtMs = monotonicMs();
    obj.irDataLength = length - obj.startOffset;
    if (readStillImage(obj) != 0) return -1;
    if (fseeko(obj.file, obj.startOffset, SEEK_SET) != 0) return -1;
    obj.firstFrameOffset = obj.startOffset;
    obj.width = obj.block.width;
    obj.height = obj.block.height;
    obj.allocateImageBuffers();
    const auto now = static_cast<int32_t>(obj.openedAtMs);
    obj.firstTime = obj.lastTime = obj.currentTime = now;
    if (firstTime != nullptr) *firstTime = now;
    if (lastTime != nullptr) *lastTime = now;
    return 0;
}

// A JPEG container: the payload begins at the first "VN410K".
int findPayload(IfrObject& obj, int64_t length) {
    uint8_t soi[2];
    if (std::fread(soi, 1, 2, obj.file) != 2 || soi[0] != 0xFF || soi[1] != 0xD8) return -1;
    const ContainerPayload p = findContainerPayload(obj.file, length);
    if (!p.found) return -1;
    obj.startOffset = p.offset;
    obj.embeddedSequence = p.sequence ? 1 : 0;
    return fseeko(obj.file, obj.startOffset, SEEK_SET) == 0 ? 0 : -1;
}

// What every open sets before the file is there.
void prepareOpen(IfrObject& obj, const char* path, void* window) {
    reopenPosting(obj);
    obj.path = path;
    obj.window = window;
    obj.indexStop = 0;
    obj.startOffset = 0;
    obj.firstFrameOffset = 0;
    obj.embeddedSequence = 0;
    obj.seq.lastFrameAt = -1;
}

// The rest of an open, on the object's open stream.
int openStream(IfrObject& obj, int kind, int* firstTime, int* lastTime) {
    obj.hasSound = obj.hasPhoto = obj.hasRemark = 0;
    obj.indexReady = 1;
    obj.display.reset();
    obj.kind = kind;
    if (kind != IFR_KIND_IMAGE && kind != IFR_KIND_SEQUENCE && kind != IFR_KIND_JPEG) return -1;
    const int64_t length = fileLength(obj.file);
    if (length < 0 || length > kMaxDataLength) return -1;
    if (kind == IFR_KIND_JPEG && findPayload(obj, length) != 0) return -1;
    if (isSequence(obj)) return openSequence(obj, length, firstTime, lastTime);
    return openStill(obj, length, firstTime, lastTime);
}

}  // namespace

int openFile(IfrObject& obj, const char* path, int kind, void* window, int* firstTime,
             int* lastTime) {
    if (path == nullptr) return -1;
    obj.closeFile();
    prepareOpen(obj, path, window);
    obj.file = std::fopen(path, "rb");
    if (obj.file == nullptr) return -1;
    return openStream(obj, kind, firstTime, lastTime);
}

int openBytes(IfrObject& obj, const uint8_t* data, size_t length, int kind, void* window) {
    if (data == nullptr || length == 0 || length > static_cast<uint64_t>(kMaxDataLength)) return -1;
    obj.closeFile();
    prepareOpen(obj, "", window);
    try {
        obj.memoryImage.assign(data, data + length);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    obj.memoryBytes = obj.memoryImage;
    obj.file = openMemoryStream(obj.memoryBytes);
    if (obj.file == nullptr) {
        obj.closeFile();
        return -1;
    }
    return openStream(obj, kind, nullptr, nullptr);
}

int readNextFrame(IfrObject& obj) {
    if (!obj.hasFile()) return -2;
    return isSequence(obj) ? readSequenceFrame(obj) : readStillFrame(obj);
}

int fileDataLength(IfrObject& obj) {
    if (!obj.hasFile()) return 0;
    if (isSequence(obj)) return static_cast<int>(sequenceDataLength(obj));
    if (obj.kind == IFR_KIND_IMAGE || obj.kind == IFR_KIND_JPEG) {
        return static_cast<int>(obj.irDataLength);
    }
    return 0;
}

void copyFileData(IfrObject& obj, void* buffer) {
    if (buffer == nullptr || !obj.hasFile()) return;
    auto* dest = static_cast<uint8_t*>(buffer);
    if (isSequence(obj)) {
        copySequenceData(obj, dest);
        return;
    }
    const int64_t length = fileDataLength(obj);
    if (length <= 0) return;
    // Never more than the length handed out, even if the file grew since.
    const int64_t restore = ftello(obj.file);
    size_t got = 0;
    if (fseeko(obj.file, obj.startOffset, SEEK_SET) == 0) {
        got = std::fread(dest, 1, static_cast<size_t>(length), obj.file);
    }
    if (got < static_cast<size_t>(length)) {
        std::memset(dest + got, 0, static_cast<size_t>(length) - got);
    }
    fseeko(obj.file, restore >= 0 ? restore : obj.firstFrameOffset, SEEK_SET);
}

}  // namespace thermcore
