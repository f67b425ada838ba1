// Exports that were never more than stubs in the camera software; callers
// still link against them.
#include "api_frame.h"

using namespace thermcore;

extern "C" {

int IFR_SetImageSize(IfrHandle h, int, int) {
    return withObject(h, -1, [](IfrObject&) { return 0; });
}

int IFR_SetTempUnit(IfrHandle h, int) {
    return withObject(h, -1, [](IfrObject&) { return 0; });
}
int IFR_Set9PointMeasure(IfrHandle h, int value) __attribute__((alias("IFR_SetTempUnit")));

int IFR_GetTempUnit(IfrHandle) { return 0; }

int IFR_GetDeviceModel(IfrHandle h) {
    return withObject(h, -1, [](IfrObject&) { return 0; });
}

int IFR_GetDeviceScheme(IfrHandle, int, int) { return -1; }

int IFR_GetDeviceSoftInfo(IfrHandle h, float* low, float* high) {
    return withObject(h, -1, [&](IfrObject&) {
        if (low != nullptr) *low = -20.0f;
        if (high != nullptr) *high = 250.0f;
        return 0;
    });
}

void IFR_SetPoint(IfrHandle, int, int) {}

void IFR_SetLine(IfrHandle, int, int, int, int) {}
void IFR_SetArea(IfrHandle h, int x1, int y1, int x2, int y2) __attribute__((alias("IFR_SetLine")));

void IFR_SetCircle(IfrHandle, int, int, int) {}

}  // extern "C"
