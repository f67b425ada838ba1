// Constructors and destructors of the interface.
#include "api_frame.h"
#include "file_open.h"
#include "sequence.h"

using namespace thermcore;

namespace {

// A new object opened by open(object); the index thread of a sequence
// starts once the object is set up. NULL when anything fails.
template <typename Open>
IfrHandle openNew(void* window, Open&& open) {
    IfrObject* obj = createObject();
    if (obj == nullptr) return nullptr;
    try {
        if (open(*obj) >= 0 && obj->initDisplay(window, obj->width, obj->height) == 0 &&
            startIndexThread(*obj)) {
            return obj;
        }
    } catch (...) {
    }
    obj->closeFile();
    destroyObject(obj);
    return nullptr;
}

}  // namespace

extern "C" {

IfrHandle IFR_Init(void* window, int width, int height) {
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return nullptr;
    IfrObject* obj = createObject();
    if (obj == nullptr) return nullptr;
    try {
        obj->width = width;
        obj->height = height;
        obj->allocateImageBuffers();
        obj->initDisplay(window, width, height);
        return obj;
    } catch (...) {
        destroyObject(obj);
        return nullptr;
    }
}

IfrHandle IFR_LoadFile(void* window, const char* path, int kind, int* firstTime, int* lastTime) {
    return openNew(window, [&](IfrObject& o) {
        return openFile(o, path, kind, window, firstTime, lastTime);
    });
}

IfrHandle IFR_LoadBuffer(void* window, const void* data, int length) {
    return openNew(window,
                   [&](IfrObject& o) { return openMemoryImage(o, window, data, length); });
}

int IFR_CloseFile(IfrHandle h) {
    return withObject(h, -1, [](IfrObject& o) {
        o.closeFile();
        return 0;
    });
}

void IFR_Free(IfrHandle h) { destroyObject(h); }

}  // extern "C"
