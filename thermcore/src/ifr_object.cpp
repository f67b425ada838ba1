#include "ifr_object.h"

#include <algorithm>

#include "param_block.h"
#include "sequence.h"

namespace thermcore {

IfrObject::IfrObject() : block(defaultParamBlock()) {}

IfrObject::~IfrObject() {
    closeFile();
    magic = 0;
}

int IfrObject::initDisplay(void* win, int w, int h) {
    imaging::IM_Init();
    if (!imaging) imaging.reset(imaging::IM_AllocResource());
    if (!imaging) return -1;
    imaging::IM_SetImageResolution(imaging.get(), w, h);
    window = win;
    width = w;
    height = h;
    gray.resize(pixelCount());
    // The surface is 32 bits per pixel whatever shows it; it is allocated
    // when a frame is first rendered into it.
    screenDepth = 32;
    return 0;
}

uint32_t* IfrObject::renderTarget() {
    if (surface.pixels != nullptr && surface.pixels == rgb.data()) {
        surfacePixels.assign(rgb.begin(), rgb.end());
        surface.pixels = surfacePixels.data();
    }
    rgb.resize(pixelCount());
    return rgb.data();
}

uint32_t* IfrObject::colourBuffer() {
    const size_t had = rgb.size();
    uint32_t* pixels = renderTarget();
    if (rgb.size() > had) std::fill(rgb.begin() + static_cast<ptrdiff_t>(had), rgb.end(), 0u);
    return pixels;
}

void IfrObject::allocateImageBuffers() {
    // The colour buffer is sized when a frame is first rendered.
    gray.resize(pixelCount());
}

void IfrObject::closeFile() {
    releaseSequence(*this);  // both threads stopped and joined first
    indexStop = 1;
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
    memoryBytes = {};
    memoryImage.clear();
    memoryImage.shrink_to_fit();
    calibration.reset();
}

}  // namespace thermcore
