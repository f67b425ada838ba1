// Screen output: the off-screen surface of an object and its presentation.
//
// The camera software drew through a screen surface of the window it was
// given. Here every object renders into a 32-bit surface of its own; a program
// that passed a window registers a present hook, and IFR_Flip hands it the
// surface. Rows are width pixels apart (pitch = width * 4).
#include "screen.h"

#include <mutex>

#include "ifr_object.h"

namespace thermcore {

namespace {

std::mutex& hookMutex() {
    static std::mutex m;
    return m;
}

PresentHook& hookSlot() {
    static PresentHook hook;
    return hook;
}

}  // namespace

PresentHook currentPresentHook() {
    std::lock_guard lock(hookMutex());
    return hookSlot();
}

void setPresentHook(PresentHook hook) {
    std::lock_guard lock(hookMutex());
    hookSlot() = hook;
}

int IfrObject::renderToSurface(const uint16_t* frame, bool withHistogram) {
    if (frame == nullptr || !imaging || pixelCount() == 0) {
        if (withHistogram) imaging::IM_DoHistogramProcess(imaging.get(), frame);
        return -1;
    }
    rgb.resize(pixelCount());
    if (withHistogram) {
        imaging::IM_DoHistogramAndIfrProcess(imaging.get(), frame, rgb.data(), nullptr);
    } else {
        imaging::IM_DoIfrProcess(imaging.get(), frame, rgb.data());
    }
    surface.pixels = rgb.data();
    surfacePixels = {};
    surface.width = width;
    surface.height = height;
    surface.pitch = width * 4;
    surface.bitsPerPixel = screenDepth;
    surfaceRendered = true;
    return 0;
}

void IfrObject::present() {
    if (window == nullptr || !surfaceRendered) return;
    const PresentHook hook = currentPresentHook();
    if (hook.proc != nullptr) hook.proc(window, &surface, hook.user);
}

}  // namespace thermcore
