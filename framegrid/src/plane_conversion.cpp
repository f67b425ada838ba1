// The linear per-frame model. Arithmetic is done in double on the float
// arguments; the gain constant 0.1 is the single-precision value.
#include <cmath>
#include <cstdint>
#include <limits>

#include "framegrid.h"

namespace {

constexpr double kAbsZero = 273.0;
constexpr double kLowest = -273.0;
constexpr double kHumidityDistance = 0.0000238;
constexpr double kTenth = static_cast<double>(0.1f);  // 0.100000001490116

int32_t truncSat(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483648.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

double lowestWithOffset(double userOffset) {
    return std::isfinite(userOffset) ? kLowest + userOffset : kLowest;
}

}  // namespace

extern "C" {

float MT_GrayToTempPlane(float* out, float base, int gray, int referenceGray, float k) {
    double t = base;
    if (k != 0.0f && std::isfinite(k)) {
        // (gray - reference) * 10 as the 32-bit integer product it always was.
        const int64_t diff = int64_t{gray} - referenceGray;
        const auto product = static_cast<int32_t>(static_cast<uint32_t>(diff * 10));
        t = base + static_cast<double>(product) / k;
    }
    float result = static_cast<float>(t);
    if (!std::isfinite(result)) result = static_cast<float>(kLowest);
    if (out) *out = result;
    return result;
}

float DisHumEnvRevisePlane(float t, float distance, int humidity, float ambient, float background,
                           float emissivity, float emissivityRevise, float userOffset) {
    const double tenv = (static_cast<double>(ambient) + background) * 0.5;
    const double e = static_cast<double>(emissivity) + emissivityRevise;
    const double fail = lowestWithOffset(userOffset);
    if (!(e > 0.0)) return static_cast<float>(fail);
    const double object = t + kAbsZero, env = tenv + kAbsZero;
    const double radicand = (object * object - (1.0 - e) * env * env) / e;
    if (!(radicand >= 0.0)) return static_cast<float>(fail);
    const double to = std::sqrt(radicand) - kAbsZero;
    const double r = to + (to - tenv) * humidity * distance * kHumidityDistance + userOffset;
    const auto result = static_cast<float>(r);
    return std::isfinite(result) ? result : static_cast<float>(fail);
}

int MT_TempToGrayPlane(int* out, float base, float t, int referenceGray, float k, float distance,
                       int humidity, float ambient, float background, float emissivity,
                       float emissivityRevise, float userOffset) {
    const double r = DisHumEnvRevisePlane(t, distance, humidity, ambient, background, emissivity,
                                          emissivityRevise, userOffset);
    const double v = (t - (r - t) - base) * static_cast<double>(k) * kTenth + referenceGray;
    const int gray = std::isfinite(v) ? truncSat(v) : referenceGray;
    if (out) *out = gray;
    return gray;
}

}  // extern "C"
