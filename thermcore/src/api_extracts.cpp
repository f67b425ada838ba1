// Extracts and conversions: voice note, photo, remark, the false-colour image
// as BMP, DIB, raw pixels or JPEG, and the two converters of a camera file.
#include <cstdio>

#include "api_frame.h"
#include "extracts.h"

using namespace thermcore;

namespace {

// Renders the first frame of a camera file through the palette on a
// temporary object and hands that object to save; the object goes after.
template <typename Save>
int convertCameraFile(const char* rulerPath, int kind, const char* source, Save save) {
    if (source == nullptr) return -1;
    std::FILE* f = std::fopen(source, "rb");
    if (f == nullptr) return -1;
    struct Closer {
        std::FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{f};
    const CameraFrame frame = locateCameraFrame(f, kind);
    if (frame.result != 0) return frame.result;

    IfrObject* obj = createObject();
    if (obj == nullptr) return -1;
    struct Destroyer {
        IfrObject* obj;
        ~Destroyer() { destroyObject(obj); }
    } destroyer{obj};
    try {
        if (obj->initDisplay(nullptr, frame.width, frame.height) != 0) return -1;
        if (IFR_SetColorRuler(obj, rulerPath) != 0) return -1;
        if (readCameraFrame(f, frame, *obj) != 0) return -2;
        imaging::IM_DoHistogramAndIfrProcess(obj->imaging.get(), obj->gray.data(), obj->colourBuffer(), nullptr);
        return save(static_cast<IfrHandle>(obj));
    } catch (...) {
        return -1;
    }
}

}  // namespace

extern "C" {

int IFR_ExistSound(IfrHandle h) { return withObjectCounting(h, existSound); }
int IFR_ExistCCD(IfrHandle h) { return withObjectCounting(h, existPhoto); }
int IFR_ExistRemark(IfrHandle h) { return withObjectCounting(h, existRemark); }

int IFR_GetSoundFile(IfrHandle h, const char* path) {
    return withObject(h, -1, [path](IfrObject& o) { return writeSoundFile(o, path); });
}

int IFR_SaveCCDFile(IfrHandle h, const char* path, int* kind) {
    return withObject(h, -1, [&](IfrObject& o) { return writePhotoFile(o, path, kind); });
}

int IFR_OutputCCDDIB(IfrHandle h, unsigned char** buffer, int* size, int) {
    return withObject(h, -1, [&](IfrObject& o) {
        return photoToDib(o, buffer != nullptr ? *buffer : nullptr, size);
    });
}

int IFR_SaveRemarkFile(IfrHandle h, const char* path) {
    return withObject(h, -1, [path](IfrObject& o) { return writeRemarkFile(o, path); });
}

int IFR_OutputDIB(IfrHandle h, unsigned char* buffer, int* size, int) {
    return withObject(h, -1, [&](IfrObject& o) { return renderDib(o, buffer, size); });
}

int IFR_MemSaveToBMP(IfrHandle h, const char* path) {
    return withObject(h, -1, [path](IfrObject& o) { return saveColourBmp(o, path); });
}

int IFR_MemSaveToJPG(IfrHandle h, const char* path, int quality) {
    return withObject(h, -1, [&](IfrObject& o) { return saveColourJpeg(o, path, quality); });
}

int IFR_MemSaveToBuff(IfrHandle h, void* buffer, int length) {
    return withObject(h, -1, [&](IfrObject& o) { return copyColourPixels(o, buffer, length); });
}

int IFR_InfraredFileToJPG(const char* rulerPath, int kind, const char* source, const char* target,
                          int quality) {
    return convertCameraFile(rulerPath, kind, source,
                             [&](IfrHandle h) { return IFR_MemSaveToJPG(h, target, quality); });
}

int IFR_InfraredFileToBMP(const char* rulerPath, int kind, const char* source, const char* target) {
    return convertCameraFile(rulerPath, kind, source,
                             [&](IfrHandle h) { return IFR_MemSaveToBMP(h, target); });
}

}  // extern "C"
