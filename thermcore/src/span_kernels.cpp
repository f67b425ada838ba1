#include "span_kernels.h"

namespace thermcore {

namespace {

// The loops run over a main part whose length is a multiple of 16, then
// over the rest: a trip count known to divide by the vector length lets
// the vectoriser of -O2 (which adds no epilogue of its own) take the loop.
constexpr size_t mainPart(size_t n) { return n & ~size_t{15}; }

inline int16_t grayAt(const uint16_t* grays, size_t i) { return static_cast<int16_t>(grays[i]); }

}  // namespace

GrayBounds grayBounds(const uint16_t* grays, size_t n) {
    int16_t lo = INT16_MAX;
    int16_t hi = INT16_MIN;
    const size_t m = mainPart(n);
    for (size_t i = 0; i < m; ++i) {
        const int16_t g = grayAt(grays, i);
        lo = g < lo ? g : lo;
        hi = g > hi ? g : hi;
    }
    for (size_t i = m; i < n; ++i) {
        const int16_t g = grayAt(grays, i);
        lo = g < lo ? g : lo;
        hi = g > hi ? g : hi;
    }
    return {lo, hi};
}

size_t firstIndexOf(const uint16_t* grays, size_t n, int32_t gray) {
    for (size_t i = 0; i < n; ++i) {
        if (grayAt(grays, i) == gray) return i;
    }
    return n;
}

void widenGrays(const uint16_t* grays, size_t n, int* out) {
    const size_t m = mainPart(n);
    for (size_t i = 0; i < m; ++i) out[i] = grayAt(grays, i);
    for (size_t i = m; i < n; ++i) out[i] = grayAt(grays, i);
}

// Four look-ups before four stores: the loads of one group overlap.
void lookupTemps(const float* table, const uint16_t* grays, size_t n, float* out) {
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const float a = table[grayAt(grays, i)];
        const float b = table[grayAt(grays, i + 1)];
        const float c = table[grayAt(grays, i + 2)];
        const float d = table[grayAt(grays, i + 3)];
        out[i] = a;
        out[i + 1] = b;
        out[i + 2] = c;
        out[i + 3] = d;
    }
    for (; i < n; ++i) out[i] = table[grayAt(grays, i)];
}

long double sumTemps(const float* table, const uint16_t* grays, size_t n) {
    const auto t = [&](size_t i) -> double { return table[grayAt(grays, i)]; };
    long double s = 0.0L;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        s += ((t(i) + t(i + 1)) + (t(i + 2) + t(i + 3))) + ((t(i + 4) + t(i + 5)) + (t(i + 6) + t(i + 7)));
    }
    for (; i < n; ++i) s += t(i);
    return s;
}

}  // namespace thermcore
