// The post hook through which sequence messages reach a program, and the
// frame callback of objects opened with a window.
#pragma once

#include <cstdint>

#include "ifr_object.h"

namespace thermcore {

void setPostHook(ThermcorePostProc proc, void* user);

// Posts a message for an object opened with a window, unless its file is
// being closed (then, and without a window or hook, nothing happens).
void postMessage(IfrObject& obj, unsigned int message, intptr_t wParam, intptr_t lParam);

// Lets posts through again after a close (the next open).
void reopenPosting(IfrObject& obj);
// From now on nothing of this object is posted; returns once a post under
// way has been handed over.
void closePosting(IfrObject& obj);

// Hands the current frame to the frame callback (objects with a window).
void deliverFrame(IfrObject& obj, int32_t time);

}  // namespace thermcore
