// Files, parameter blocks and device information.
#include <algorithm>
#include <cstring>

#include "api_frame.h"
#include "byte_order.h"
#include "file_open.h"
#include "param_block.h"
#include "sequence.h"
#include "still_image.h"

using namespace thermcore;

namespace {

// The stream readers take no length: the caller's memory holds the block
// and what it announces after it. Only the part a reader uses is read.
constexpr uint32_t kStreamLineTableLimit = 824;
constexpr uint32_t kStreamCalibrationMin = 1008;
constexpr uint32_t kStreamCalibrationMax = 10240;

size_t streamBlockExtent(const uint8_t* block) {
    const uint32_t lineTable = loadU32(block + offsetof(IfrParamBlock, lineTableSize));
    return kParamBlockSize + std::min(lineTable, kStreamLineTableLimit);
}

size_t vnvBlockExtent(const uint8_t* block) {
    const uint32_t m = loadU32(block + kParamBlockSize);
    return kParamBlockSize + (m >= kStreamCalibrationMin && m <= kStreamCalibrationMax ? m : 4);
}

}  // namespace

extern "C" {

int IFR_LoadInfraredFile(IfrHandle h, const char* path) {
    return withObject(h, -1, [&](IfrObject& o) { return loadFixedSizeFile(o, path); });
}

int IFR_LoadInfraredData(IfrHandle h, const unsigned short* frame) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (frame == nullptr) return -1;
        o.gray.assign(frame, frame + o.pixelCount());
        return 0;
    });
}

int IFR_LoadInfraredParamFromStream(IfrHandle h, const void* block) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (block == nullptr) return -1;
        const auto* bytes = static_cast<const uint8_t*>(block);
        return applyStreamBlock(o, {bytes, streamBlockExtent(bytes)});
    });
}

int IFR_LoadInfraredParamFromVNVStream(IfrHandle h, const void* block) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (block == nullptr) return -1;
        const auto* bytes = static_cast<const uint8_t*>(block);
        return applyVnvStreamBlock(o, {bytes, vnvBlockExtent(bytes)});
    });
}

int IFR_MemSaveToVNI(IfrHandle h, const char* path) {
    return withObject(h, -1, [&](IfrObject& o) { return saveStillImage(o, path); });
}

int IFR_GetFileLen(IfrHandle h) {
    return withObjectCounting(h, [](IfrObject& o) {
        endPlayback(o);
        return fileDataLength(o);
    });
}

void IFR_GetFileBuff(IfrHandle h, void* buffer) {
    withObject(h, [&](IfrObject& o) {
        endPlayback(o);
        copyFileData(o, buffer);
    });
}

void IFR_GetColorID(IfrHandle h, int* id) {
    withObject(h, [&](IfrObject& o) {
        if (id != nullptr) *id = o.block.paletteId;
    });
}

void IFR_GetFileVer(IfrHandle h, int* scheme, int* version) {
    withObject(h, [&](IfrObject& o) {
        if (scheme != nullptr) *scheme = o.scheme;
        if (version != nullptr) *version = o.modelVersion;
    });
}

int IFR_GetImageWidthHeight(IfrHandle h, int* width, int* height) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (width != nullptr) *width = o.width;
        if (height != nullptr) *height = o.height;
        return 0;
    });
}

void IFR_GetCCDImageWidthHeight(IfrHandle h, int* width, int* height) {
    withObject(h, [&](IfrObject& o) {
        const bool held = o.block.photoSize != 0 && o.photo.held;
        if (width != nullptr) *width = held ? o.block.photoWidth : 0;
        if (height != nullptr) *height = held ? o.block.photoHeight : 0;
    });
}

int IFR_GetSDKVersion(IfrHandle h) {
    return withObject(h, -1, [](IfrObject&) { return MT_GetVersion(); });
}

}  // extern "C"
