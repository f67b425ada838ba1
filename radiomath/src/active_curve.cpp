#include "active_curve.h"

#include "block_access.h"

namespace radiomath {

float lerp(float x, float xa, float ya, float xb, float yb) {
    const float width = xb - xa;
    if (width == 0.0f) return ya;
    return ya + (x - xa) * (yb - ya) / width;
}

namespace {

// N_i * c / n, anchoring the nominal gray n on the calibration gray c.
float scale(float ni, float c, float n) { return n == 0.0f ? c : ni * c / n; }

}  // namespace

void buildActiveCurve(MT_Para& p, int gear) {
    const float* n = p.curveGray[gear];
    const float* cal = calibrationGrays(p, gear, p.lens);
    const float c0 = cal[0], c1 = cal[1], c2 = cal[2];
    const bool type2021 = p.instrumentType == 2021;
    float* g = p.activeGray;

    for (int i = 0; i < MT_CURVE_POINTS; ++i) p.activeTemp[i] = p.curveTemp[gear][i];

    switch (gear) {
        case 0:
            if (type2021 && p.lens == 0) {
                for (int i = 0; i <= 3; ++i) g[i] = scale(n[i], c0, n[0]);
                for (int i = 4; i <= 6; ++i) g[i] = scale(n[i], c1, n[6]);
            } else if (type2021) {
                for (int i = 0; i <= 6; ++i) g[i] = lerp(n[i], n[0], c0, n[6], c1);
            } else {
                for (int i = 0; i <= 6; ++i) g[i] = lerp(n[i], n[2], c0, n[6], c1);
            }
            for (int i = 7; i <= 8; ++i) g[i] = lerp(n[i], n[6], c1, n[8], c2);
            break;
        case 1:
            if (type2021 && p.lens == 0) {
                for (int i = 0; i <= 3; ++i) g[i] = scale(n[i], c0, n[0]);
                for (int i = 4; i <= 5; ++i) g[i] = scale(n[i], c1, n[5]);
            } else {
                for (int i = 0; i <= 5; ++i) g[i] = lerp(n[i], n[0], c0, n[5], c1);
            }
            for (int i = 6; i <= 8; ++i) g[i] = lerp(n[i], n[5], c1, n[8], c2);
            break;
        default:
            for (int i = 0; i <= 4; ++i) g[i] = lerp(n[i], n[0], c0, n[4], c1);
            for (int i = 5; i <= 8; ++i) g[i] = lerp(n[i], n[4], c1, n[8], c2);
            break;
    }
}

Quadratic fitQuadratic(const float t[3], const float g[3]) {
    Quadratic q;
    const float d10 = g[1] - g[0], d20 = g[2] - g[0], d21 = g[2] - g[1];
    const float denom = d20 * d10 * d21;
    if (denom != 0.0f) {
        q.c = ((t[2] - t[0]) * d10 - d20 * (t[1] - t[0])) / denom;
        q.b = ((t[1] - t[0]) - q.c * d10 * (g[1] + g[0])) / d10;
        q.a = t[0] - q.b * g[0] - q.c * g[0] * g[0];
        return q;
    }
    // Degenerate: the line through the first two distinct points, else a constant.
    int i = 0, j = 1;
    if (d10 == 0.0f) j = 2;
    if (d10 == 0.0f && d20 == 0.0f) i = 1;
    if (g[j] != g[i]) {
        q.b = (t[j] - t[i]) / (g[j] - g[i]);
        q.a = t[i] - q.b * g[i];
    } else {
        q.a = t[0];
    }
    return q;
}

namespace {

constexpr float kAbsZero = -273.0f;

Segment makeSegment(const float t0, const float t1, const float t2, const float g0, const float g1,
                    const float g2) {
    Segment s{{t0, t1, t2}, {g0, g1, g2}, {}};
    s.q = fitQuadratic(s.t, s.g);
    return s;
}

Segment belowSegment(const MT_Para& p) {
    const float* T = p.activeTemp;
    const float* G = p.activeGray;
    const float gz = lerp(kAbsZero, T[0], G[0], T[1], G[1]);
    return makeSegment(kAbsZero, T[0], T[1], gz, G[0], G[1]);
}

Segment aboveSegment(const MT_Para& p) {
    const float* T = p.activeTemp;
    const float* G = p.activeGray;
    const float width = T[8] - T[7];
    const float gx = width == 0.0f ? G[8] : G[8] + (G[8] - G[7]) * T[8] / width;
    return makeSegment(T[7], T[8], 2.0f * T[8], G[7], G[8], gx);
}

Segment insideSegment(const MT_Para& p, const float* axis, float value) {
    int i = 1;
    while (i <= 7 && !(axis[i] > value)) ++i;
    if (i > 7) i = 7;  // none greater: points 6, 7, 8
    const float* T = p.activeTemp;
    const float* G = p.activeGray;
    return makeSegment(T[i - 1], T[i], T[i + 1], G[i - 1], G[i], G[i + 1]);
}

}  // namespace

Segment segmentForGray(const MT_Para& p, float& gray) {
    if (gray < p.activeGray[0]) {
        Segment s = belowSegment(p);
        if (gray < s.g[0]) gray = s.g[0];
        return s;
    }
    if (gray > p.activeGray[8]) {
        Segment s = aboveSegment(p);
        if (gray > s.g[2]) gray = s.g[2];
        return s;
    }
    return insideSegment(p, p.activeGray, gray);
}

Segment segmentForTemp(const MT_Para& p, float& temp) {
    if (temp < p.activeTemp[0]) {
        if (temp < kAbsZero) temp = kAbsZero;
        return belowSegment(p);
    }
    if (temp > p.activeTemp[8]) {
        const float top = 2.0f * p.activeTemp[8];
        if (temp > top) temp = top;
        return aboveSegment(p);
    }
    return insideSegment(p, p.activeTemp, temp);
}

}  // namespace radiomath
