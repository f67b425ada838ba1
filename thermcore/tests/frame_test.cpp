// The interface frame: every export against bad handles, the stubs, and
// objects without an open file.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fixture_files.h"
#include "thermcore.h"

namespace {

// What a call gave: an int, a float, or nothing (and no out-argument
// written).
struct Outcome {
    enum Kind { Int, Float, None } kind;
    double value;
    bool operator==(const Outcome& o) const { return kind == o.kind && value == o.value; }
};
Outcome I(int v) { return {Outcome::Int, double(v)}; }
Outcome F(float v) { return {Outcome::Float, double(v)}; }
const Outcome kNone{Outcome::None, 0};
// A "none" call that wrote an out-argument reports this instead.
const Outcome kWrote{Outcome::Int, 12345};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    const char* kinds[] = {"int", "float", "none"};
    return os << kinds[o.kind] << " " << o.value;
}

struct Row {
    const char* name;
    std::function<Outcome(IfrHandle)> call;
    Outcome onNull;
    Outcome onBad;  // non-NULL handle that names no live object
};

constexpr int kSentinel = 0x5A5A5A5A;

// Out-arguments start at a sentinel; a "none" call must leave them.
template <typename F>
Outcome untouched(F&& f) {
    int a = kSentinel, b = kSentinel, c = kSentinel, d = kSentinel;
    f(&a, &b, &c, &d);
    return a == kSentinel && b == kSentinel && c == kSentinel && d == kSentinel ? kNone : kWrote;
}

std::vector<Row> exportTable() {
    static unsigned short frame[4] = {1, 2, 3, 4};
    static unsigned short dest[4];
    static char path[] = "/nonexistent/thermcore-test";
    const Outcome m1 = I(-1);
    const Outcome tBad = F(-1000.0f);
    auto v = [](auto f) { return [f](IfrHandle h) { f(h); return kNone; }; };
    auto i = [](auto f) { return [f](IfrHandle h) { return I(f(h)); }; };
    auto fl = [](auto f) { return [f](IfrHandle h) { return F(f(h)); }; };
    return {
        // Constructors and destructors (the handle argument is unused).
        {"IFR_Init", [](IfrHandle) { return I(IFR_Init(nullptr, 0, 0) == nullptr ? -1 : 1); }, m1, m1},
        {"IFR_LoadFile",
         [](IfrHandle) { return I(IFR_LoadFile(nullptr, path, 0, nullptr, nullptr) ? 1 : -1); }, m1, m1},
        {"IFR_LoadBuffer", [](IfrHandle) { return I(IFR_LoadBuffer(nullptr, nullptr, 0) ? 1 : -1); },
         m1, m1},
        {"IFR_InfraredFileToJPG",
         [](IfrHandle) { return I(IFR_InfraredFileToJPG(path, 0, path, path, 80)); }, m1, m1},
        {"IFR_InfraredFileToBMP", [](IfrHandle) { return I(IFR_InfraredFileToBMP(path, 0, path, path)); },
         m1, m1},
        {"IFR_CloseFile", i([](IfrHandle h) { return IFR_CloseFile(h); }), m1, m1},
        {"IFR_Free", v([](IfrHandle h) { IFR_Free(h); }), kNone, kNone},
        // Scene parameters.
        {"IFR_SetEmissDis", i([](IfrHandle h) { return IFR_SetEmissDis(h, 0.9f, 1.0f); }), m1, m1},
        {"IFR_GetEmissDis", [](IfrHandle h) {
             float a = 7, b = 7;
             const int r = IFR_GetEmissDis(h, &a, &b);
             return a == 7 && b == 7 ? I(r) : kWrote;
         }, m1, m1},
        {"IFR_SetAmbHum", i([](IfrHandle h) { return IFR_SetAmbHum(h, 20.0f, 0.5f); }), m1, m1},
        {"IFR_GetAmbHum", [](IfrHandle h) {
             float a = 7, b = 7;
             const int r = IFR_GetAmbHum(h, &a, &b);
             return a == 7 && b == 7 ? I(r) : kWrote;
         }, m1, m1},
        {"IFR_SetAtmoTemp", i([](IfrHandle h) { return IFR_SetAtmoTemp(h, 20.0f); }), m1, m1},
        {"IFR_GetAtmoTemp", [](IfrHandle h) {
             float a = 7;
             const int r = IFR_GetAtmoTemp(h, &a);
             return a == 7 ? I(r) : kWrote;
         }, m1, m1},
        {"IFR_SetCorrectParam", i([](IfrHandle h) { return IFR_SetCorrectParam(h, 1, 0, 0); }), m1, m1},
        {"IFR_GetCorrectParam", [](IfrHandle h) {
             float a = 7, b = 7;
             int c = 7;
             const int r = IFR_GetCorrectParam(h, &a, &b, &c);
             return a == 7 && b == 7 && c == 7 ? I(r) : kWrote;
         }, m1, m1},
        {"IFR_SetAllK", v([](IfrHandle h) { IFR_SetAllK(h, 1.0f); }), kNone, kNone},
        {"IFR_SetMeasureTempVersion", i([](IfrHandle h) { return IFR_SetMeasureTempVersion(h, 1); }), m1, m1},
        {"IFR_GetMeasureTempVersion", i([](IfrHandle h) { return IFR_GetMeasureTempVersion(h); }), m1, m1},
        // Gray and temperature.
        {"IFR_GrayToTemp", fl([](IfrHandle h) { return IFR_GrayToTemp(h, 5000); }), tBad, tBad},
        {"IFR_TempToGray", i([](IfrHandle h) { return IFR_TempToGray(h, 30.0f); }), m1, m1},
        {"IFR_LoadGrayToTempLine", i([](IfrHandle h) { return IFR_LoadGrayToTempLine(h, frame, 8); }), m1, m1},
        {"IFR_LoadDelicacyLine", i([](IfrHandle h) { return IFR_LoadDelicacyLine(h, frame, 8); }), m1, m1},
        {"IFR_LoadZeroLine", i([](IfrHandle h) { return IFR_LoadZeroLine(h, frame, 8); }), m1, m1},
        // Point, line, rectangle, circle.
        {"IFR_GetPointGray", i([](IfrHandle h) { return IFR_GetPointGray(h, 1, 1); }), m1, m1},
        {"IFR_GetPointTemp", fl([](IfrHandle h) { return IFR_GetPointTemp(h, 1, 1); }), tBad, tBad},
        {"IFR_GetLineMinMaxGray", i([](IfrHandle h) {
             int a, b; IfrPoint p, q;
             return IFR_GetLineMinMaxGray(h, 0, 0, 3, 3, &a, &p, &b, &q);
         }), m1, m1},
        {"IFR_GetLineMinMaxTemp", i([](IfrHandle h) {
             float a, b; IfrPoint p, q;
             return IFR_GetLineMinMaxTemp(h, 0, 0, 3, 3, &a, &p, &b, &q);
         }), m1, m1},
        {"IFR_GetLineLen", i([](IfrHandle h) { return IFR_GetLineLen(h, 0, 0, 3, 0); }), m1, m1},
        {"IFR_GetLineAverageTemp", fl([](IfrHandle h) { return IFR_GetLineAverageTemp(h, 0, 0, 3, 0); }),
         tBad, tBad},
        {"IFR_GetLineGray", i([](IfrHandle h) { int a[8]; return IFR_GetLineGray(h, 0, 0, 3, 0, a); }), m1, m1},
        {"IFR_GetLineTemp", i([](IfrHandle h) { float a[8]; return IFR_GetLineTemp(h, 0, 0, 3, 0, a); }), m1, m1},
        {"IFR_GetRectMinMaxGray", i([](IfrHandle h) {
             int a, b; IfrPoint p, q;
             return IFR_GetRectMinMaxGray(h, 0, 0, 3, 3, &a, &p, &b, &q);
         }), m1, m1},
        {"IFR_GetRectMinMaxTemp", i([](IfrHandle h) {
             float a, b; IfrPoint p, q;
             return IFR_GetRectMinMaxTemp(h, 0, 0, 3, 3, &a, &p, &b, &q);
         }), m1, m1},
        {"IFR_GetRectLen", i([](IfrHandle h) { return IFR_GetRectLen(h, 0, 0, 1, 1); }), m1, m1},
        {"IFR_GetRectAverageTemp", fl([](IfrHandle h) { return IFR_GetRectAverageTemp(h, 0, 0, 1, 1); }),
         tBad, tBad},
        {"IFR_GetRectGray", i([](IfrHandle h) { int a[4]; return IFR_GetRectGray(h, 0, 0, 1, 1, a); }), m1, m1},
        {"IFR_GetRectTemp", i([](IfrHandle h) { float a[4]; return IFR_GetRectTemp(h, 0, 0, 1, 1, a); }), m1, m1},
        {"IFR_GetCircleMinMaxGray", i([](IfrHandle h) {
             int a, b; IfrPoint p, q;
             return IFR_GetCircleMinMaxGray(h, 3, 3, 1, &a, &p, &b, &q);
         }), m1, m1},
        {"IFR_GetCircleMinMaxTemp", i([](IfrHandle h) {
             float a, b; IfrPoint p, q;
             return IFR_GetCircleMinMaxTemp(h, 3, 3, 1, &a, &p, &b, &q);
         }), m1, m1},
        {"IFR_GetCircleLen", i([](IfrHandle h) { return IFR_GetCircleLen(h, 3, 3, 1); }), m1, m1},
        {"IFR_GetCircleAverageTemp", fl([](IfrHandle h) { return IFR_GetCircleAverageTemp(h, 3, 3, 1); }),
         tBad, tBad},
        {"IFR_GetCircleGray", i([](IfrHandle h) { int a[8]; return IFR_GetCircleGray(h, 3, 3, 1, a); }), m1, m1},
        {"IFR_GetCircleTemp", i([](IfrHandle h) { float a[8]; return IFR_GetCircleTemp(h, 3, 3, 1, a); }), m1, m1},
        // Stored measurements.
        {"IFR_GetPointInfo", i([](IfrHandle h) { IfrPointInfo r[4]; return IFR_GetPointInfo(h, r); }), m1, m1},
        {"IFR_GetLineInfo", i([](IfrHandle h) { IfrLineInfo r[3]; return IFR_GetLineInfo(h, r); }), m1, m1},
        {"IFR_GetRectInfo", i([](IfrHandle h) { IfrRectInfo r[3]; return IFR_GetRectInfo(h, r); }), m1, m1},
        {"IFR_GetBoardCoord", [](IfrHandle h) {
             return untouched([h](int* a, int* b, int* c, int* d) { IFR_GetBoardCoord(h, a, b, c, d); });
         }, kNone, kNone},
        // Imaging.
        {"IFR_SetHistogramLevel", v([](IfrHandle h) { IFR_SetHistogramLevel(h, 1); }), kNone, kNone},
        {"IFR_SetHistogramGain", v([](IfrHandle h) { IFR_SetHistogramGain(h, 1); }), kNone, kNone},
        {"IFR_GetHistogramLevel", i([](IfrHandle h) { return IFR_GetHistogramLevel(h); }), m1, m1},
        {"IFR_GetHistogramGain", i([](IfrHandle h) { return IFR_GetHistogramGain(h); }), m1, m1},
        {"IFR_SetAGCStatus", v([](IfrHandle h) { IFR_SetAGCStatus(h, 1); }), kNone, kNone},
        {"IFR_GetAGCStatus", i([](IfrHandle h) { return IFR_GetAGCStatus(h); }), m1, m1},
        {"IFR_ResetAGCStatus", v([](IfrHandle h) { IFR_ResetAGCStatus(h); }), kNone, kNone},
        {"IFR_DoHistogramProcess", v([](IfrHandle h) { IFR_DoHistogramProcess(h, frame); }), kNone, kNone},
        {"IFR_DoIfrProcess", v([](IfrHandle h) { IFR_DoIfrProcess(h, frame); }), kNone, kNone},
        {"IFR_SetHistogramMinGray", v([](IfrHandle h) { IFR_SetHistogramMinGray(h, 1); }), kNone, kNone},
        {"IFR_GetHistogramMinGray", i([](IfrHandle h) { return IFR_GetHistogramMinGray(h); }), m1, m1},
        {"IFR_SetHistogramMaxGray", v([](IfrHandle h) { IFR_SetHistogramMaxGray(h, 1); }), kNone, kNone},
        {"IFR_GetHistogramMaxGray", i([](IfrHandle h) { return IFR_GetHistogramMaxGray(h); }), m1, m1},
        {"IFR_GetHistogramTblLength", i([](IfrHandle h) { return IFR_GetHistogramTblLength(h); }), m1, m1},
        {"IFR_GetHistogramTblData", [](IfrHandle h) {
             std::vector<int> b(256, kSentinel);
             IFR_GetHistogramTblData(h, b.data());
             return b == std::vector<int>(256, kSentinel) ? kNone : kWrote;
         }, kNone, kNone},
        {"IFR_SetFilterType", v([](IfrHandle h) { IFR_SetFilterType(h, 1); }), kNone, kNone},
        {"IFR_SetEnhanceType", v([](IfrHandle h) { IFR_SetEnhanceType(h, 1); }), kNone, kNone},
        {"IFR_SetImageFlipMode", v([](IfrHandle h) { IFR_SetImageFlipMode(h, 1); }), kNone, kNone},
        {"IFR_SetMaxContrastCtrl", v([](IfrHandle h) { IFR_SetMaxContrastCtrl(h, 1); }), kNone, kNone},
        {"IFR_GetMaxContrastCtrl", i([](IfrHandle h) { return IFR_GetMaxContrastCtrl(h); }), m1, m1},
        {"IFR_SetHistogramComboModeGain", v([](IfrHandle h) { IFR_SetHistogramComboModeGain(h, 1); }),
         kNone, kNone},
        {"IFR_SetHistogramComboModeLevel", v([](IfrHandle h) { IFR_SetHistogramComboModeLevel(h, 1); }),
         kNone, kNone},
        {"IFR_SetUNCompensateMode", v([](IfrHandle h) { IFR_SetUNCompensateMode(h, 1); }), kNone, kNone},
        {"IFR_UNCCompensateSetColumnThreshold",
         v([](IfrHandle h) { IFR_UNCCompensateSetColumnThreshold(h, 1); }), kNone, kNone},
        {"IFR_SetBendiLimmit", v([](IfrHandle h) { IFR_SetBendiLimmit(h, 1); }), kNone, kNone},
        {"IFR_ShowImage", v([](IfrHandle h) { IFR_ShowImage(h, frame); }), kNone, kNone},
        {"IFR_SwapColorRulerBuffer", v([](IfrHandle h) { IFR_SwapColorRulerBuffer(h); }), kNone, kNone},
        // Palette.
        {"IFR_SetColorRuler", i([](IfrHandle h) { return IFR_SetColorRuler(h, path); }), m1, m1},
        {"IFR_SetIsothermTemp", i([](IfrHandle h) { return IFR_SetIsothermTemp(h, 1, 20, 30, 0xFF, 0); }),
         m1, m1},
        {"IFR_SetIRInvert", v([](IfrHandle h) { IFR_SetIRInvert(h, 1); }), kNone, kNone},
        // Device information.
        {"IFR_GetDeviceDate", [](IfrHandle h) {
             char m[8] = "x", fw[16] = "x", s[16] = "x", d[32] = "x", b = 'x', last = 'x';
             int lo = kSentinel, hi = kSentinel;
             IFR_GetDeviceDate(h, m, fw, s, d, &b, &lo, &hi, &last);
             const bool same = m[0] == 'x' && fw[0] == 'x' && s[0] == 'x' && d[0] == 'x' &&
                               b == 'x' && last == 'x' && lo == kSentinel && hi == kSentinel;
             return same ? kNone : kWrote;
         }, kNone, kNone},
        {"IFR_GetColorID", [](IfrHandle h) {
             return untouched([h](int* a, int*, int*, int*) { IFR_GetColorID(h, a); });
         }, kNone, kNone},
        {"IFR_GetFileVer", [](IfrHandle h) {
             return untouched([h](int* a, int* b, int*, int*) { IFR_GetFileVer(h, a, b); });
         }, kNone, kNone},
        {"IFR_GetImageWidthHeight", [](IfrHandle h) {
             int a = kSentinel, b = kSentinel;
             const int r = IFR_GetImageWidthHeight(h, &a, &b);
             return a == kSentinel && b == kSentinel ? I(r) : kWrote;
         }, m1, m1},
        {"IFR_GetCCDImageWidthHeight", [](IfrHandle h) {
             return untouched([h](int* a, int* b, int*, int*) { IFR_GetCCDImageWidthHeight(h, a, b); });
         }, kNone, kNone},
        {"IFR_GetSDKVersion", i([](IfrHandle h) { return IFR_GetSDKVersion(h); }), m1, m1},
        // Files and parameter blocks.
        {"IFR_LoadInfraredFile", i([](IfrHandle h) { return IFR_LoadInfraredFile(h, path); }), m1, m1},
        {"IFR_LoadInfraredData", i([](IfrHandle h) { return IFR_LoadInfraredData(h, frame); }), m1, m1},
        {"IFR_LoadInfraredParamFromStream",
         i([](IfrHandle h) { return IFR_LoadInfraredParamFromStream(h, dest); }), m1, m1},
        {"IFR_LoadInfraredParamFromVNVStream",
         i([](IfrHandle h) { return IFR_LoadInfraredParamFromVNVStream(h, dest); }), m1, m1},
        {"IFR_MemSaveToVNI", i([](IfrHandle h) { return IFR_MemSaveToVNI(h, path); }), m1, m1},
        {"IFR_GetFileLen", i([](IfrHandle h) { return IFR_GetFileLen(h); }), m1, I(0)},
        {"IFR_GetFileBuff", [](IfrHandle h) {
             unsigned char b[4] = {9, 9, 9, 9};
             IFR_GetFileBuff(h, b);
             return b[0] == 9 && b[3] == 9 ? kNone : kWrote;
         }, kNone, kNone},
        // Sequences.
        {"IFR_Play", i([](IfrHandle h) { return IFR_Play(h); }), m1, m1},
        {"IFR_Pause", i([](IfrHandle h) { return IFR_Pause(h); }), m1, m1},
        {"IFR_Stop", i([](IfrHandle h) { return IFR_Stop(h); }), m1, m1},
        {"IFR_Next", i([](IfrHandle h) { return IFR_Next(h); }), m1, m1},
        {"IFR_Prior", i([](IfrHandle h) { return IFR_Prior(h); }), m1, m1},
        {"IFR_PlaySpeed", i([](IfrHandle h) { return IFR_PlaySpeed(h, 2); }), m1, m1},
        {"IFR_GotoTime", i([](IfrHandle h) { return IFR_GotoTime(h, 0); }), m1, m1},
        {"IFR_ReceiveStream", i([](IfrHandle h) { return IFR_ReceiveStream(h, nullptr); }), m1, m1},
        {"IFR_StreamDiff", i([](IfrHandle h) { return IFR_StreamDiff(h, dest, frame, frame); }), m1, m1},
        // Screen.
        {"IFR_GetDrawBuffer", [](IfrHandle h) {
             IfrSurface* s = reinterpret_cast<IfrSurface*>(&dest);
             const int r = IFR_GetDrawBuffer(h, frame, &s);
             return s == reinterpret_cast<IfrSurface*>(&dest) ? I(r) : kWrote;
         }, m1, m1},
        {"IFR_Flip", v([](IfrHandle h) { IFR_Flip(h); }), kNone, kNone},
        // Extracts.
        {"IFR_ExistSound", i([](IfrHandle h) { return IFR_ExistSound(h); }), m1, I(0)},
        {"IFR_GetSoundFile", i([](IfrHandle h) { return IFR_GetSoundFile(h, path); }), m1, m1},
        {"IFR_ExistCCD", i([](IfrHandle h) { return IFR_ExistCCD(h); }), m1, I(0)},
        {"IFR_OutputCCDDIB", i([](IfrHandle h) {
             unsigned char* b = nullptr;
             int n = 0;
             return IFR_OutputCCDDIB(h, &b, &n, 0);
         }), m1, m1},
        {"IFR_SaveCCDFile", i([](IfrHandle h) { int k = 0; return IFR_SaveCCDFile(h, path, &k); }), m1, m1},
        {"IFR_ExistRemark", i([](IfrHandle h) { return IFR_ExistRemark(h); }), m1, I(0)},
        {"IFR_SaveRemarkFile", i([](IfrHandle h) { return IFR_SaveRemarkFile(h, path); }), m1, m1},
        {"IFR_OutputDIB", i([](IfrHandle h) {
             unsigned char b[64];
             int n = 0;
             return IFR_OutputDIB(h, b, &n, 0);
         }), m1, m1},
        {"IFR_MemSaveToBMP", i([](IfrHandle h) { return IFR_MemSaveToBMP(h, path); }), m1, m1},
        {"IFR_MemSaveToJPG", i([](IfrHandle h) { return IFR_MemSaveToJPG(h, path, 80); }), m1, m1},
        {"IFR_MemSaveToBuff", i([](IfrHandle h) { unsigned char b[16]; return IFR_MemSaveToBuff(h, b, 16); }),
         m1, m1},
        // Stubs.
        {"IFR_SetImageSize", i([](IfrHandle h) { return IFR_SetImageSize(h, 1, 1); }), m1, m1},
        {"IFR_SetTempUnit", i([](IfrHandle h) { return IFR_SetTempUnit(h, 1); }), m1, m1},
        {"IFR_Set9PointMeasure", i([](IfrHandle h) { return IFR_Set9PointMeasure(h, 1); }), m1, m1},
        {"IFR_GetTempUnit", i([](IfrHandle h) { return IFR_GetTempUnit(h); }), I(0), I(0)},
        {"IFR_GetDeviceModel", i([](IfrHandle h) { return IFR_GetDeviceModel(h); }), m1, m1},
        {"IFR_GetDeviceScheme", i([](IfrHandle h) { return IFR_GetDeviceScheme(h, 1, 1); }), m1, m1},
        {"IFR_GetDeviceSoftInfo", [](IfrHandle h) {
             float lo = 7, hi = 7;
             const int r = IFR_GetDeviceSoftInfo(h, &lo, &hi);
             return lo == 7 && hi == 7 ? I(r) : kWrote;
         }, m1, m1},
        {"IFR_SetPoint", v([](IfrHandle h) { IFR_SetPoint(h, 1, 1); }), kNone, kNone},
        {"IFR_SetLine", v([](IfrHandle h) { IFR_SetLine(h, 1, 1, 2, 2); }), kNone, kNone},
        {"IFR_SetArea", v([](IfrHandle h) { IFR_SetArea(h, 1, 1, 2, 2); }), kNone, kNone},
        {"IFR_SetCircle", v([](IfrHandle h) { IFR_SetCircle(h, 1, 1, 1); }), kNone, kNone},
    };
}

std::set<std::string> listedExports() {
    std::ifstream in(THERMCORE_EXPORTS_FILE);
    std::set<std::string> names;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("IFR_", 0) == 0) names.insert(line);
    }
    return names;
}

void runTable(IfrHandle handle, bool isNull) {
    for (const Row& row : exportTable()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.call(handle), isNull ? row.onNull : row.onBad);
    }
}

TEST(InterfaceFrame, TableCoversEveryExport) {
    std::set<std::string> tabled;
    for (const Row& row : exportTable()) {
        EXPECT_TRUE(tabled.insert(row.name).second) << row.name << " twice";
        EXPECT_NE(dlsym(RTLD_DEFAULT, row.name), nullptr) << row.name;
    }
    EXPECT_EQ(tabled.size(), 123u);
    EXPECT_EQ(tabled, listedExports());
}

TEST(InterfaceFrame, NullHandleGivesTabledResults) { runTable(nullptr, true); }

TEST(InterfaceFrame, WrongMagicGivesTabledResultsAndTouchesNothing) {
    uint32_t fake[64];
    for (uint32_t& w : fake) w = 0x12345678;
    runTable(fake, false);
    for (uint32_t w : fake) ASSERT_EQ(w, 0x12345678u);
}

TEST(InterfaceFrame, ForgedMagicIsNotAHandle) {
    // Memory that merely begins with the magic number was never made by
    // the library.
    uint32_t forged[64] = {0x66DDDD66};
    runTable(forged, false);
    EXPECT_EQ(forged[0], 0x66DDDD66u);
}

TEST(InterfaceFrame, FreedHandleIsBadAndDoubleFreeIsIgnored) {
    IfrHandle h = IFR_Init(nullptr, 4, 3);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(IFR_GetTempUnit(h), 0);
    IFR_Free(h);
    runTable(h, false);  // IFR_Free in the table frees it again
    IFR_Free(h);
}

TEST(InterfaceFrame, StubsOnAValidHandle) {
    IfrHandle h = IFR_Init(nullptr, 4, 3);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(IFR_SetImageSize(h, 5, 5), 0);
    EXPECT_EQ(IFR_SetTempUnit(h, 2), 0);
    EXPECT_EQ(IFR_Set9PointMeasure(h, 2), 0);
    EXPECT_EQ(IFR_GetTempUnit(h), 0);
    EXPECT_EQ(IFR_GetDeviceModel(h), 0);
    EXPECT_EQ(IFR_GetDeviceScheme(h, 0, 0), -1);
    float lo = 0, hi = 0;
    EXPECT_EQ(IFR_GetDeviceSoftInfo(h, &lo, &hi), 0);
    EXPECT_EQ(lo, -20.0f);
    EXPECT_EQ(hi, 250.0f);
    EXPECT_EQ(IFR_GetSDKVersion(h), 2011);
    // One body under two names.
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "IFR_SetLine"), dlsym(RTLD_DEFAULT, "IFR_SetArea"));
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "IFR_SetTempUnit"), dlsym(RTLD_DEFAULT, "IFR_Set9PointMeasure"));
    IFR_CloseFile(h);
    IFR_Free(h);
}

TEST(InterfaceFrame, CircleRadiusIsCheckedBeforeTheHandle) {
    IfrHandle h = IFR_Init(nullptr, 8, 8);
    ASSERT_NE(h, nullptr);
    uint32_t fake[16] = {};
    for (IfrHandle handle : {h, static_cast<IfrHandle>(fake), IfrHandle{nullptr}}) {
        int a, b;
        IfrPoint p, q;
        float s[4];
        EXPECT_EQ(IFR_GetCircleLen(handle, 3, 3, 0), -1);
        EXPECT_EQ(IFR_GetCircleGray(handle, 3, 3, -2, &a), -1);
        EXPECT_EQ(IFR_GetCircleTemp(handle, 3, 3, 0, s), -1);
        EXPECT_EQ(IFR_GetCircleMinMaxGray(handle, 3, 3, 0, &a, &p, &b, &q), -1);
        EXPECT_EQ(IFR_GetCircleMinMaxTemp(handle, 3, 3, 0, s, &p, s + 1, &q), -1);
    }
    EXPECT_EQ(IFR_GetCircleAverageTemp(h, 3, 3, 0), -1.0f);
    EXPECT_EQ(IFR_GetCircleAverageTemp(fake, 3, 3, 0), -1.0f);
    EXPECT_EQ(IFR_GetCircleAverageTemp(nullptr, 3, 3, 0), -1000.0f);
    IFR_Free(h);
}

TEST(InterfaceFrame, InitRefusesImpossibleSizes) {
    EXPECT_EQ(IFR_Init(nullptr, 0, 10), nullptr);
    EXPECT_EQ(IFR_Init(nullptr, 10, -1), nullptr);
    EXPECT_EQ(IFR_Init(nullptr, 8193, 1), nullptr);
    IfrHandle h = IFR_Init(nullptr, 8192, 1);
    ASSERT_NE(h, nullptr);
    int w = 0, ht = 0;
    EXPECT_EQ(IFR_GetImageWidthHeight(h, &w, &ht), 0);
    EXPECT_EQ(w, 8192);
    EXPECT_EQ(ht, 1);
    IFR_Free(h);
}

// An object without a file answers the calls that read the file with their
// failure values and keeps working on its own frame and block.
void expectNoFile(IfrHandle h) {
    EXPECT_EQ(IFR_Next(h), -2);
    EXPECT_EQ(IFR_Prior(h), -1);
    EXPECT_EQ(IFR_GotoTime(h, 0), -1);
    EXPECT_EQ(IFR_Play(h), -1);
    EXPECT_EQ(IFR_GetFileLen(h), 0);
    unsigned char buf[4] = {9, 9, 9, 9};
    IFR_GetFileBuff(h, buf);
    EXPECT_EQ(buf[0], 9);
    EXPECT_EQ(IFR_ExistSound(h), 0);
    EXPECT_EQ(IFR_ExistCCD(h), 0);
    EXPECT_EQ(IFR_ExistRemark(h), 0);
    EXPECT_EQ(IFR_GetSoundFile(h, "/nonexistent/x.wav"), -1);
    EXPECT_EQ(IFR_SaveRemarkFile(h, "/nonexistent/x.txt"), -1);
    EXPECT_EQ(IFR_GetHistogramTblLength(h), 256);
}

TEST(InterfaceFrame, LiveDataObjectHasNoFile) {
    IfrHandle h = IFR_Init(nullptr, 4, 2);
    ASSERT_NE(h, nullptr);
    expectNoFile(h);
    const unsigned short frame[8] = {100, 200, 300, 400, 500, 600, 700, 800};
    EXPECT_EQ(IFR_LoadInfraredData(h, frame), 0);
    IFR_DoHistogramProcess(h, frame);
    EXPECT_EQ(IFR_GetHistogramMinGray(h), 100);
    EXPECT_EQ(IFR_GetHistogramMaxGray(h), 800);
    IFR_Free(h);
}

TEST(InterfaceFrame, ClosedFileObjectHasNoFile) {
    IfrHandle h = IFR_LoadFile(nullptr, thermcore_test::fixturePath("k4_full").c_str(), 0, nullptr,
                               nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_GT(IFR_GetFileLen(h), 0);
    EXPECT_EQ(IFR_CloseFile(h), 0);
    expectNoFile(h);
    int w = 0, ht = 0;
    EXPECT_EQ(IFR_GetImageWidthHeight(h, &w, &ht), 0);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(IFR_CloseFile(h), 0);  // closing twice is harmless
    IFR_Free(h);
}

}  // namespace
