// Exports whose work is not wired in yet: scene parameters and conversions,
// measurement, isotherms and device strings.
// Each checks its handle and gives its failure result; objects without the
// work behind them answer as an object without that data would.
#include "api_frame.h"

using namespace thermcore;

namespace {

int failInt(IfrHandle h) {
    return withObject(h, -1, [](IfrObject&) { return -1; });
}

float failTemp(IfrHandle h) {
    return withObject(h, kBadTemperature, [](IfrObject&) { return kBadTemperature; });
}

void nothing(IfrHandle h) {
    withObject(h, [](IfrObject&) {});
}

// Circle calls check the radius before the handle.
int failCircle(IfrHandle h, int radius) { return radius <= 0 ? -1 : failInt(h); }

}  // namespace

extern "C" {

int IFR_SetEmissDis(IfrHandle h, float, float) { return failInt(h); }
int IFR_GetEmissDis(IfrHandle h, float*, float*) { return failInt(h); }
int IFR_SetAmbHum(IfrHandle h, float, float) { return failInt(h); }
int IFR_GetAmbHum(IfrHandle h, float*, float*) { return failInt(h); }
int IFR_SetAtmoTemp(IfrHandle h, float) { return failInt(h); }
int IFR_GetAtmoTemp(IfrHandle h, float*) { return failInt(h); }
int IFR_SetCorrectParam(IfrHandle h, float, float, int) { return failInt(h); }
int IFR_GetCorrectParam(IfrHandle h, float*, float*, int*) { return failInt(h); }
void IFR_SetAllK(IfrHandle h, float) { nothing(h); }
int IFR_SetMeasureTempVersion(IfrHandle h, int) { return failInt(h); }
int IFR_GetMeasureTempVersion(IfrHandle h) { return failInt(h); }

float IFR_GrayToTemp(IfrHandle h, int gray) {
    return withObject(h, kBadTemperature, [gray](IfrObject& o) { return o.grayToTemp(gray); });
}
int IFR_TempToGray(IfrHandle h, float t) {
    return withObject(h, -1, [t](IfrObject& o) { return o.tempToGray(t); });
}
int IFR_LoadGrayToTempLine(IfrHandle h, const void*, int) { return failInt(h); }
int IFR_LoadDelicacyLine(IfrHandle h, const void*, int) { return failInt(h); }
int IFR_LoadZeroLine(IfrHandle h, const void*, int) { return failInt(h); }

int IFR_GetPointGray(IfrHandle h, int, int) { return failInt(h); }
float IFR_GetPointTemp(IfrHandle h, int, int) { return failTemp(h); }
int IFR_GetLineMinMaxGray(IfrHandle h, int, int, int, int, int*, IfrPoint*, int*, IfrPoint*) {
    return failInt(h);
}
int IFR_GetLineMinMaxTemp(IfrHandle h, int, int, int, int, float*, IfrPoint*, float*, IfrPoint*) {
    return failInt(h);
}
int IFR_GetLineLen(IfrHandle h, int, int, int, int) { return failInt(h); }
float IFR_GetLineAverageTemp(IfrHandle h, int, int, int, int) { return failTemp(h); }
int IFR_GetLineGray(IfrHandle h, int, int, int, int, int*) { return failInt(h); }
int IFR_GetLineTemp(IfrHandle h, int, int, int, int, float*) { return failInt(h); }
int IFR_GetRectMinMaxGray(IfrHandle h, int, int, int, int, int*, IfrPoint*, int*, IfrPoint*) {
    return failInt(h);
}
int IFR_GetRectMinMaxTemp(IfrHandle h, int, int, int, int, float*, IfrPoint*, float*, IfrPoint*) {
    return failInt(h);
}
int IFR_GetRectLen(IfrHandle h, int, int, int, int) { return failInt(h); }
float IFR_GetRectAverageTemp(IfrHandle h, int, int, int, int) { return failTemp(h); }
int IFR_GetRectGray(IfrHandle h, int, int, int, int, int*) { return failInt(h); }
int IFR_GetRectTemp(IfrHandle h, int, int, int, int, float*) { return failInt(h); }
int IFR_GetCircleMinMaxGray(IfrHandle h, int, int, int r, int*, IfrPoint*, int*, IfrPoint*) {
    return failCircle(h, r);
}
int IFR_GetCircleMinMaxTemp(IfrHandle h, int, int, int r, float*, IfrPoint*, float*, IfrPoint*) {
    return failCircle(h, r);
}
int IFR_GetCircleLen(IfrHandle h, int, int, int r) { return failCircle(h, r); }
float IFR_GetCircleAverageTemp(IfrHandle h, int, int, int r) {
    if (h != nullptr && r < 1) return -1.0f;
    return failTemp(h);
}
int IFR_GetCircleGray(IfrHandle h, int, int, int r, int*) { return failCircle(h, r); }
int IFR_GetCircleTemp(IfrHandle h, int, int, int r, float*) { return failCircle(h, r); }

int IFR_GetPointInfo(IfrHandle h, IfrPointInfo*) { return failInt(h); }
int IFR_GetLineInfo(IfrHandle h, IfrLineInfo*) { return failInt(h); }
int IFR_GetRectInfo(IfrHandle h, IfrRectInfo*) { return failInt(h); }
void IFR_GetBoardCoord(IfrHandle h, int*, int*, int*, int*) { nothing(h); }

int IFR_SetIsothermTemp(IfrHandle h, int, float, float, int, int) { return failInt(h); }
void IFR_SetIRInvert(IfrHandle h, int) { nothing(h); }
void IFR_GetDeviceDate(IfrHandle h, char*, char*, char*, char*, char*, int*, int*, char*) {
    nothing(h);
}

}  // extern "C"
