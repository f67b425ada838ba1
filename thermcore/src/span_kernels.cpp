#include "span_kernels.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

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

namespace {

// Four grays read in one 64-bit load and taken apart in registers, then
// four look-ups before four stores: a gray costs one load instead of two.
void lookupTempsPlain(const float* table, const uint16_t* grays, size_t n, float* out) {
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

#if defined(__x86_64__) && defined(__GNUC__)
#define THERMCORE_GATHER 1
// Eight grays widened in one step and looked up by one gather, on
// processors with AVX2.
__attribute__((target("avx2"))) void lookupTempsGather(const float* table, const uint16_t* grays, size_t n,
                                                       float* out) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grays + i));
        _mm256_storeu_ps(out + i, _mm256_i32gather_ps(table, _mm256_cvtepi16_epi32(eight), 4));
    }
    for (; i < n; ++i) out[i] = table[grayAt(grays, i)];
}

// The same, taking in the same loop the bounds of the next span, so that
// reading it from memory overlaps with the look-ups. The first few
// temperatures go one by one, so that the stores of eight start on a
// 32-byte boundary and none of them straddles two cache lines.
__attribute__((target("avx2"))) GrayBounds lookupTempsGatherAhead(const float* table, const uint16_t* grays,
                                                                  size_t n, float* out, const uint16_t* ahead,
                                                                  size_t aheadCount) {
    const size_t lead = std::min(n, (32 - reinterpret_cast<uintptr_t>(out) % 32) % 32 / sizeof(float));
    for (size_t i = 0; i < lead; ++i) out[i] = table[grayAt(grays, i)];
    const size_t common = std::min(n, aheadCount);
    const size_t end = common > lead ? lead + ((common - lead) & ~size_t{7}) : lead;
    __m128i lo = _mm_set1_epi16(INT16_MAX);
    __m128i hi = _mm_set1_epi16(INT16_MIN);
    size_t i = lead;
    for (; i < end; i += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grays + i));
        _mm256_store_ps(out + i, _mm256_i32gather_ps(table, _mm256_cvtepi16_epi32(eight), 4));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ahead + i));
        lo = _mm_min_epi16(lo, next);
        hi = _mm_max_epi16(hi, next);
    }
    lookupTempsGather(table, grays + i, n - i, out + i);
    alignas(16) int16_t los[8];
    alignas(16) int16_t his[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(los), lo);
    _mm_store_si128(reinterpret_cast<__m128i*>(his), hi);
    GrayBounds b{*std::min_element(los, los + 8), *std::max_element(his, his + 8)};
    const auto take = [&](size_t from, size_t to) {
        if (from >= to) return;
        const GrayBounds part = grayBounds(ahead + from, to - from);
        b = {std::min(b.min, part.min), std::max(b.max, part.max)};
    };
    take(0, std::min(lead, aheadCount));
    take(std::max(end, std::min(lead, aheadCount)), aheadCount);
    return b;
}

#endif

GrayBounds lookupTempsPlainAhead(const float* table, const uint16_t* grays, size_t n, float* out,
                                 const uint16_t* ahead, size_t aheadCount) {
    lookupTempsPlain(table, grays, n, out);
    return aheadCount > 0 ? grayBounds(ahead, aheadCount) : GrayBounds{INT16_MAX, INT16_MIN};
}

// Seconds the kernel takes, at best of a few runs, over a frame's worth of
// grays spread over a thousand table entries.
double bestTime(LookupAheadKernel kernel) {
    constexpr size_t kGraysTimed = 16384;
    const std::vector<float> table(1024, 20.0f);
    std::vector<uint16_t> grays(kGraysTimed);
    std::vector<float> out(kGraysTimed);
    uint32_t seed = 1;
    for (uint16_t& g : grays) {
        seed = seed * 1664525u + 1013904223u;
        g = static_cast<uint16_t>(seed >> 22);
    }
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        kernel(table.data(), grays.data(), grays.size(), out.data(), nullptr, 0);
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

// The gather is far quicker than single loads on most processors with
// AVX2, and slower on some (where microcode slows gathers down for safety):
// the quickest kernel on this machine is chosen at first use.
LookupAheadKernel chosenKernel() {
    static const LookupAheadKernel chosen = [] {
        LookupAheadKernel best = nullptr;
        double bestSeconds = 0;
        for (LookupAheadKernel k : lookupKernels()) {
            const double seconds = bestTime(k);
            if (best == nullptr || seconds < bestSeconds) {
                best = k;
                bestSeconds = seconds;
            }
        }
        return best;
    }();
    return chosen;
}

}  // namespace

std::vector<LookupAheadKernel> lookupKernels() {
    std::vector<LookupAheadKernel> kernels{&lookupTempsPlainAhead};
#ifdef THERMCORE_GATHER
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) kernels.push_back(&lookupTempsGatherAhead);
#endif
    return kernels;
}

void lookupTemps(const float* table, const uint16_t* grays, size_t n, float* out) {
    chosenKernel()(table, grays, n, out, nullptr, 0);
}

GrayBounds lookupTempsAhead(const float* table, const uint16_t* grays, size_t n, float* out,
                            const uint16_t* ahead, size_t aheadCount) {
    return chosenKernel()(table, grays, n, out, ahead, aheadCount);
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
