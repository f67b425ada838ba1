#include "span_kernels.h"

namespace thermcore {

GrayBounds grayBounds(const uint16_t* grays, size_t n) {
    int16_t lo = INT16_MAX;
    int16_t hi = INT16_MIN;
    for (size_t i = 0; i < n; ++i) {
        const auto g = static_cast<int16_t>(grays[i]);
        lo = g < lo ? g : lo;
        hi = g > hi ? g : hi;
    }
    return {lo, hi};
}

size_t firstIndexOf(const uint16_t* grays, size_t n, int32_t gray) {
    for (size_t i = 0; i < n; ++i) {
        if (static_cast<int16_t>(grays[i]) == gray) return i;
    }
    return n;
}

void widenGrays(const uint16_t* grays, size_t n, int* out) {
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<int16_t>(grays[i]);
}

void lookupTemps(const float* table, const uint16_t* grays, size_t n, float* out) {
    for (size_t i = 0; i < n; ++i) out[i] = table[static_cast<int16_t>(grays[i])];
}

long double sumTemps(const float* table, const uint16_t* grays, size_t n) {
    long double s0 = 0.0L, s1 = 0.0L, s2 = 0.0L, s3 = 0.0L;
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += table[static_cast<int16_t>(grays[i])];
        s1 += table[static_cast<int16_t>(grays[i + 1])];
        s2 += table[static_cast<int16_t>(grays[i + 2])];
        s3 += table[static_cast<int16_t>(grays[i + 3])];
    }
    for (; i < n; ++i) s0 += table[static_cast<int16_t>(grays[i])];
    return (s0 + s1) + (s2 + s3);
}

}  // namespace thermcore
