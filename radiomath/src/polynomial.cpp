#include "polynomial.h"

#include <array>
#include <cstddef>

namespace radiomath {
namespace {

struct Terms {
    std::array<float, MT_POLY_TERMS> t{};
    std::size_t count = 0;
    void add(float v) { t[count++] = v; }
};

// Builds t1..tn for one instrument type; returns false for an unknown type.
bool buildTerms(const MT_Para& p, Terms& out) {
    const float ff = p.fpaTempFront, lb = p.lensTempBack, lf = p.lensTempFront;
    const float fb = p.fpaTempBack, b = p.circuitBoardTemp, a = p.ambientMeasured;
    out.add(1.0f);
    switch (p.instrumentType) {
        case 1000: {
            const float dl = ff - lf, db = fb - lb;
            for (float v : {ff, ff * ff, fb, fb * fb, dl, dl * dl, ff * dl, ff * (dl * dl), db,
                            db * db, fb * db, fb * (db * db)})
                out.add(v);
            return true;
        }
        case 2000:
            for (float v : {ff, ff * ff, a, a * a, fb, b, ff * a, ff * (a * a), ff * fb, ff * b})
                out.add(v);
            return true;
        case 2001: {
            const float da = a - ff, dfb = ff - fb;
            for (float v : {ff, ff * ff, da, dfb * dfb, fb, a, ff * da, ff * (dfb * dfb), ff * fb,
                            ff * a})
                out.add(v);
            return true;
        }
        case 2021:
            for (float v : {ff, ff * ff, ff * ff * ff, lb, lb * lb, lb * lb * lb, fb, fb * fb, a,
                            a * a})
                out.add(v);
            return true;
        case 2100: {
            const float d1 = ff - lb, d2 = lf - a;
            for (float v : {ff, ff * ff, lf, lf * lf, d1, d1 * d1, ff * d1, ff * (d1 * d1), d2,
                            d2 * d2, lf * d2, lf * (d2 * d2), b - ff, b - a})
                out.add(v);
            return true;
        }
        case 2200:
        case 3000:
            for (float v : {ff, ff * ff, a, a * a, fb - ff, ff - a}) out.add(v);
            return true;
        case 2300: {
            const float d = fb - ff;
            for (float v : {ff, ff * ff, d, fb - a, b + lf, d * d}) out.add(v);
            return true;
        }
        case 2600: {
            const float d = lb - b;
            for (float v : {ff, ff * ff, lb, d * d, fb, b, ff * lb, ff * (d * d), ff * fb, ff * b})
                out.add(v);
            return true;
        }
        case 2700:
        case 3001:
            for (float v : {ff, ff * ff, lb, lb * lb, fb, b, ff * lb, ff * (lb * lb), ff * fb,
                            ff * b})
                out.add(v);
            return true;
        case 3002:
            for (float v : {b, b * b, lb, lb * lb, ff, ff * ff, lf, lf * lf}) out.add(v);
            return true;
        case 6000: {
            const float d = fb - ff;
            for (float v : {ff, ff * ff, d, d * d}) out.add(v);
            return true;
        }
        case 6001:
            for (float v : {ff, ff * ff, lb, fb, fb - ff, ff - a}) out.add(v);
            return true;
        default:
            return false;
    }
}

}  // namespace

float evaluatePolynomial(const MT_Para& p, const float coeffs[MT_POLY_TERMS]) {
    Terms terms;
    if (!buildTerms(p, terms)) return 0.0f;
    float sum = 0.0f;
    for (std::size_t i = 0; i < terms.count; ++i) sum += coeffs[i] * terms.t[i];
    return sum;
}

}  // namespace radiomath
