#include "file_open.h"

#include <cstring>

#include "byte_order.h"
#include "file_io.h"
#include "param_block.h"
#include "still_image.h"

namespace thermcore {

namespace {

bool takeFlag(std::atomic<uint8_t>& flag) { return flag.exchange(0) != 0; }

int readStillFrame(IfrObject& obj) {
    std::FILE* f = obj.file;
    uint8_t raw[kParamBlockSize];
    if (fseeko(f, obj.startOffset, SEEK_SET) != 0 || std::fread(raw, 1, sizeof raw, f) != sizeof raw) {
        return -2;
    }
    const bool stop = takeFlag(obj.stopFlag);
    const bool pause = takeFlag(obj.pauseFlag);
    if (stop || pause) return -2;
    const IfrParamBlock b = decodeParamBlock(raw);
    if (!hasCameraPrefix(b)) return -2;
    // The frame is width * height grays of the object (the open checked
    // that they are in the file).
    obj.gray.resize(obj.pixelCount());
    auto* bytes = reinterpret_cast<uint8_t*>(obj.gray.data());
    if (std::fread(bytes, 2, obj.gray.size(), f) != obj.gray.size()) return -2;
    // Little-endian on disk: each value is decoded from its own two bytes.
    for (size_t i = 0; i < obj.gray.size(); ++i) obj.gray[i] = loadU16(bytes + 2 * i);
    if (takeFlag(obj.stopFlag)) {
        fseeko(f, obj.startOffset, SEEK_SET);
        return -1;
    }
    fseeko(f, obj.startOffset, SEEK_SET);
    return 0;
}

}  // namespace

int openFile(IfrObject& obj, const char* path, int kind, void* window, int* firstTime,
             int* lastTime) {
    if (path == nullptr) return -1;
    obj.path = path;
    obj.window = window;
    obj.closeFile();
    obj.indexStop = 0;
    obj.startOffset = 0;
    obj.firstFrameOffset = 0;
    obj.file = std::fopen(path, "rb");
    if (obj.file == nullptr) return -1;

    obj.hasSound = obj.hasPhoto = obj.hasRemark = 0;
    obj.indexReady = 1;
    obj.display.reset();
    obj.kind = kind;
    if (kind != IFR_KIND_IMAGE) return -1;

    obj.openedAtMs = monotonicMs();
    const int64_t length = fileLength(obj.file);
    if (length < 0 || length > kMaxDataLength) return -1;
    obj.irDataLength = length - obj.startOffset;
    if (readStillImage(obj) != 0) return -1;
    if (fseeko(obj.file, obj.startOffset, SEEK_SET) != 0) return -1;
    obj.width = obj.block.width;
    obj.height = obj.block.height;
    obj.allocateImageBuffers();
    const int32_t now = static_cast<int32_t>(monotonicMs());
    obj.firstTime = obj.lastTime = obj.currentTime = now;
    if (firstTime != nullptr) *firstTime = now;
    if (lastTime != nullptr) *lastTime = now;
    return 0;
}

int readNextFrame(IfrObject& obj) {
    if (!obj.hasFile() || obj.kind != IFR_KIND_IMAGE) return -2;
    return readStillFrame(obj);
}

int fileDataLength(const IfrObject& obj) {
    if (!obj.hasFile() || obj.kind != IFR_KIND_IMAGE) return 0;
    return static_cast<int>(obj.irDataLength);
}

void copyFileData(IfrObject& obj, void* buffer) {
    const int n = fileDataLength(obj);
    if (buffer == nullptr || n <= 0) return;
    // Never more than the length handed out, even if the file grew since.
    auto* dest = static_cast<uint8_t*>(buffer);
    size_t got = 0;
    if (fseeko(obj.file, obj.startOffset, SEEK_SET) == 0) {
        got = std::fread(dest, 1, static_cast<size_t>(n), obj.file);
    }
    if (got < static_cast<size_t>(n)) std::memset(dest + got, 0, static_cast<size_t>(n) - got);
    fseeko(obj.file, obj.startOffset, SEEK_SET);
}

}  // namespace thermcore
