#include "distance_correction.h"

#include <cmath>
#include <cstdint>

#include "checked_math.h"

namespace radiomath {
namespace {

// The interval of the distance table that holds x: the first i in 1..28 with
// x < D[i], spanning (D[i-1], D[i]); 0 when there is none.
int findInterval(const MT_Para& p, int32_t x) {
    for (int i = 1; i <= 28; ++i)
        if (x < p.distTable[i]) return i;
    return 0;
}
constexpr int kLastInterval = 29;  // (D28, D29)

int intervalOf(const MT_Para& p, int32_t x) {
    const int i = findInterval(p, x);
    return i ? i : kLastInterval;
}

const int32_t* tableA(const MT_Para& p) { return p.distCorrTable[3 * p.gear + p.lens]; }
const int32_t* tableB(const MT_Para& p) { return p.distCorrTable[3 * p.gear + p.lens] + 30; }

// Integer interpolation, product before division; a zero-width interval takes
// the lower point's value.
int32_t interpolateInt(const MT_Para& p, const int32_t* table, int i, int32_t x) {
    const int32_t xlo = p.distTable[i - 1], xhi = p.distTable[i];
    const int32_t ylo = table[i - 1], yhi = table[i];
    const int32_t width = sub32(xhi, xlo);
    if (width == 0) return ylo;
    return add32(ylo, div32(mul32(sub32(x, xlo), sub32(yhi, ylo)), width));
}

float interpolateFloat(const MT_Para& p, const int32_t* table, int i, float x) {
    const float xlo = static_cast<float>(p.distTable[i - 1]);
    const float xhi = static_cast<float>(p.distTable[i]);
    const float ylo = static_cast<float>(table[i - 1]), yhi = static_cast<float>(table[i]);
    const float width = xhi - xlo;
    if (width == 0.0f) return ylo;
    return ylo + (x - xlo) * (yhi - ylo) / width;
}

float formulaRevision(const MT_Para& p, float t, float tenv) {
    const float d = t - tenv;
    const uint32_t dist = static_cast<uint32_t>(p.distanceM);
    const float hum = static_cast<float>(sub32(p.humidity, 50));
    switch (p.instrumentType) {
        case 1000: {
            float r = t + 0.0001f * d * hum + 0.0017f * d * static_cast<float>(dist);
            if (dist > 1) r += 0.5f;
            return r;
        }
        case 2000:
        case 2100:
        case 2200:
        case 2300:
            return t + 0.0001f * d * hum + 0.0017f * d * static_cast<float>(dist);
        default:
            return t;
    }
}

float tableRevisionA(const MT_Para& p, float t) {
    const int32_t l = truncSat(100.0f * t);
    const int32_t x = p.distanceCm;
    const int i = intervalOf(p, x);
    const int32_t va = interpolateInt(p, tableA(p), i, x);
    const int32_t vb = interpolateInt(p, tableB(p), i, x);
    const int32_t lo = p.refPair[p.gear][0], hi = p.refPair[p.gear][1];
    const int32_t span = sub32(hi, lo);
    const int32_t r = span == 0 ? va : add32(va, div32(mul32(sub32(l, lo), sub32(vb, va)), span));
    const int32_t humidityTerm = div32(mul32(sub32(l, r), sub32(p.humidity, 60)), 100);
    const int32_t numerator = sub32(sub32(mul32(2, l), r), humidityTerm);
    return static_cast<float>(numerator) / 100.0f;
}

float tableRevisionB(const MT_Para& p, float t) {
    const int32_t x = p.distanceCm;
    const float ta = p.ambientUsed;
    const float lo = static_cast<float>(p.refPair[p.gear][0]);
    const float hi = static_cast<float>(p.refPair[p.gear][1]);
    if (x < 200) {
        const int i = intervalOf(p, x);
        const float fx = static_cast<float>(x);
        const float va = interpolateFloat(p, tableA(p), i, fx);
        const float vb = interpolateFloat(p, tableB(p), i, fx);
        const float span = hi - lo;
        if (span == 0.0f) return t;
        const float k = span - (vb - va);
        return t + k * (t - ta) / span;
    }
    const int32_t a = p.distTable[28], b = p.distTable[29];
    const int ia = intervalOf(p, a);
    const int ibOwn = findInterval(p, b);
    const int ib = ibOwn ? ibOwn : ia;
    const float fa = static_cast<float>(a), fb = static_cast<float>(b);
    const float atA = interpolateFloat(p, tableB(p), ia, fa) - interpolateFloat(p, tableA(p), ia, fa);
    const float atB = interpolateFloat(p, tableB(p), ib, fb) - interpolateFloat(p, tableA(p), ib, fb);
    const float width = fb - fa;
    // No usable ratio (equal spans or distances, or a sign change): no correction.
    if (atA == 0.0f || width == 0.0f) return t;
    const float rho = atB / atA;
    if (!(rho > 0.0f)) return t;
    const float exponent = (static_cast<float>(x) - 200.0f) / width;
    const float divisor = std::pow(rho, exponent);
    if (!(divisor > 0.0f) || !std::isfinite(divisor)) return t;
    return ta + (t - ta) / divisor;
}

}  // namespace

float distanceCorrection(const MT_Para& p, float t, float tenv) {
    if (p.revision >= MT_REVISION_TABLE_B) return tableRevisionB(p, t);
    if (p.revision == MT_REVISION_TABLE_A) return tableRevisionA(p, t);
    return formulaRevision(p, t, tenv);
}

}  // namespace radiomath
