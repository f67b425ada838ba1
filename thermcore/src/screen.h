// The present hook through which IFR_Flip shows an object's surface.
#pragma once

#include "thermcore.h"

namespace thermcore {

struct PresentHook {
    ThermcorePresentProc proc = nullptr;
    void* user = nullptr;
};

PresentHook currentPresentHook();
void setPresentHook(PresentHook hook);

}  // namespace thermcore
