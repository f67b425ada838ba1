// Gray <-> temperature conversion, reference gray and black-body capture.
#include <cmath>
#include <iterator>

#include "active_curve.h"
#include "block_access.h"
#include "checked_math.h"
#include "distance_correction.h"
#include "polynomial.h"
#include "radiomath.h"

namespace radiomath {
namespace {

constexpr float kAbsZero = 273.0f;
constexpr float kLowest = -273.0f;

bool allFinite(const float* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

// A block is usable by the model when gear and lens index inside it and every
// float the conversions read is finite.
bool modelUsable(const MT_Para& p) {
    if (!gearAndLensValid(p)) return false;
    const int g = p.gear;
    const float scalars[] = {p.fpaTempFront, p.lensTempBack,  p.lensTempFront, p.fpaTempBack,
                             p.circuitBoardTemp, p.ambientMeasured, p.ambientUsed,
                             p.backgroundTemp, p.emissivity, p.emissRevise, p.userTempRevise,
                             p.calibFpaTemp[g]};
    return allFinite(scalars, static_cast<int>(std::size(scalars))) &&
           allFinite(p.polyA[g], MT_POLY_TERMS) && allFinite(p.polyB[g], MT_POLY_TERMS) &&
           allFinite(p.activeTemp, MT_CURVE_POINTS) && allFinite(p.activeGray, MT_CURVE_POINTS);
}

// Gray drift from polynomial B and the reference gray (word 20's formula for
// all types but 3002, which has none).
int32_t baseDrift(const MT_Para& p, int gear) {
    return truncSat(polynomialB(p, gear) - static_cast<float>(p.grayBK));
}

int32_t computeDrift(const MT_Para& p, int gear) {
    switch (p.instrumentType) {
        case 3002:
            return 0;
        case 2021: {
            const int32_t d = baseDrift(p, gear);
            const int32_t q =
                truncSat((p.calibFpaTemp[gear] - p.fpaTempFront) *
                         static_cast<float>(p.fpaDriftFactor[gear]));
            const float share = static_cast<float>(mul32(q, d)) / 30000.0f;
            return truncSat(static_cast<float>(d) - share);
        }
        default:
            return baseDrift(p, gear);
    }
}

float emissivityCorrection(float tb, float tenv, float e, bool& ok) {
    ok = false;
    if (!(e > 0.0f)) return kLowest;
    const float object = tb + kAbsZero, env = tenv + kAbsZero;
    const float radicand = (object * object - (1.0f - e) * env * env) / e;
    if (!(radicand >= 0.0f)) return kLowest;
    ok = true;
    return std::sqrt(radicand) - kAbsZero;
}

}  // namespace
}  // namespace radiomath

using namespace radiomath;

extern "C" {

int MT_GrayToTemp(MT_Para* p, int gray, float* result) {
    auto store = [result](float v) {
        if (result) *result = v;
    };
    if (!modelUsable(*p)) {
        store(kLowest);
        return 0;
    }
    const int g = p->gear;
    const float tenv = (p->backgroundTemp + p->ambientUsed) * 0.5f;
    float v = static_cast<float>(gray);
    if (p->instrumentType == 3002) v = static_cast<float>(add32(gray, p->grayBK));
    const float pa = polynomialA(*p, g);

    int32_t drift = computeDrift(*p, g);
    v = (v - static_cast<float>(drift)) - pa;

    if (p->instrumentType == 3000 || p->instrumentType == 3001) {
        const float w = p->fpaTempFront - p->calibFpaTemp[g];
        if (w > 0.0f) {
            const float factor = static_cast<float>(p->fpaDriftFactor[g]);
            if (p->vTempMode == 1) {
                const float k = w * factor / 1000.0f;
                const float kv = k * v;
                drift = truncSat(static_cast<float>(drift) + kv);
                v = v - kv;
            } else {
                const float k = factor * (w * w) / 100000.0f;
                const float kv = k * v;
                drift = truncSat(static_cast<float>(drift) - kv);
                v = v + kv;
            }
        }
    }
    p->grayDrift = drift;

    const Segment seg = segmentForGray(*p, v);
    const float tb = seg.q.at(v);

    bool ok = false;
    float t = emissivityCorrection(tb, tenv, p->emissivity + p->emissRevise, ok);
    if (!ok) {
        store(kLowest);
        return 1;
    }
    t = distanceCorrection(*p, t, tenv);
    t += p->userTempRevise;

    const float top = 2.0f * p->activeTemp[8];
    if (!(t >= kLowest))  // also catches NaN
        t = kLowest;
    else if (t > top)
        t = top;
    if (!std::isfinite(t)) t = kLowest;  // an overflowing curve top
    store(t);
    return 1;
}

int MT_TempToGray(MT_Para* p, float temperature, int* result) {
    if (!modelUsable(*p)) {
        if (result) *result = -1;
        return -1;
    }
    const int g = p->gear;
    const float te = (p->backgroundTemp + p->ambientUsed) * 0.5f + kAbsZero;
    const float e = p->emissivity + p->emissRevise;

    const float t1 = temperature - p->userTempRevise;
    const float tenv = te - kAbsZero;
    const float r = distanceCorrection(*p, t1, tenv);
    const float x = (2.0f * t1 - r) + kAbsZero;
    const float radicand = e * x * x + (1.0f - e) * te * te;
    float tb = radicand >= 0.0f ? std::sqrt(radicand) - kAbsZero : kLowest;
    if (std::isnan(tb)) tb = kLowest;

    const float pa = polynomialA(*p, g);
    const Segment seg = segmentForTemp(*p, tb);

    float low = seg.g[0] - 1000.0f, high = seg.g[2] + 1000.0f;
    float m = (low + high) * 0.5f;
    for (int i = 0; i < 100; ++i) {
        const float value = seg.q.at(m);
        if (std::fabs(value - tb) < 0.05f) break;
        if (value < tb)
            low = m;
        else if (value > tb)
            high = m;
        else
            break;  // NaN cannot narrow the interval
        m = (low + high) * 0.5f;
    }

    float v = (m + 0.5f) + pa + static_cast<float>(p->grayDrift);
    if (p->instrumentType == 3002) v -= static_cast<float>(p->grayBK);
    const int gray = truncSat(v);
    if (result) *result = gray;
    return gray;
}

int MT_SetGrayBK(MT_Para* p, int value) {
    if (value < 1 || value > 0x3FFF) return -2;
    if (p->instrumentType == 3002) {
        p->grayBK = value;
        return 1;
    }
    if (!gearValid(*p) || !allFinite(p->polyB[p->gear], MT_POLY_TERMS)) return -1;
    p->grayBK = truncSat(polynomialB(*p, p->gear));
    return 1;
}

int MT_DoEvent(MT_Para* p, int flag) {
    if (flag != 0) return 1;
    if (!gearValid(*p) || !allFinite(p->polyB[p->gear], MT_POLY_TERMS)) return -1;
    p->grayBK = truncSat(polynomialB(*p, p->gear));
    return 1;
}

int MT_SetBlackGray(MT_Para* p, float temperature, int gray, float weight) {
    if (!gearAndLensValid(*p)) return -1;
    const int g = p->gear;
    const float pa = polynomialA(*p, g);
    float v = static_cast<float>(gray);
    if (p->instrumentType == 3002) {
        p->grayDrift = 0;
        v = static_cast<float>(p->grayBK) + v;
    } else {
        p->grayDrift = baseDrift(*p, g);
    }
    const float value =
        (v - static_cast<float>(p->grayDrift)) * (2.0f - weight - p->emissRevise) - pa;
    float* cal = calibrationGrays(*p, g, p->lens);
    for (int i = 0; i < 5; ++i)
        if (p->blackBodyTemp[g][i] == temperature) cal[i] = value;
    buildActiveCurve(*p, g);
    return 1;
}

}  // extern "C"
