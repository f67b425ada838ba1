#include "span_kernels.h"

#include <cstring>

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

// Four grays read in one 64-bit load and taken apart in registers, then
// four look-ups before four stores: a gray costs one load instead of two.
void lookupTemps(const float* table, const uint16_t* grays, size_t n, float* out) {
    size_t i = 0;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (; i + 4 <= n; i += 4) {
        uint64_t four;
        std::memcpy(&four, grays + i, sizeof four);
        const float a = table[static_cast<int16_t>(four)];
        const float b = table[static_cast<int16_t>(four >> 16)];
        const float c = table[static_cast<int16_t>(four >> 32)];
        const float d = table[static_cast<int16_t>(four >> 48)];
        out[i] = a;
        out[i + 1] = b;
        out[i + 2] = c;
        out[i + 3] = d;
    }
#endif
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
