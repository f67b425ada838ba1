// The accurate inverse transform on two blocks at once: the shared lane form
// (simd_idct_lanes.h) over 256-bit vectors, block a in the lower 128 bits
// and block b in the upper, every operation within the halves. The
// functions below are compiled for AVX2 whatever the file's options, and
// run only where JpegHaveAvx2 says so.
#include "avx2_transforms.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <cstdint>

#include "simd_transforms.h"

namespace thermjpeg {

bool JpegHaveAvx2() { return __builtin_cpu_supports("avx2"); }

} // namespace thermjpeg

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "simd_idct_lanes.h"

namespace thermjpeg {
namespace {

struct Lanes256 {
    using V = __m256i;
    static V Set32(int32_t x) { return _mm256_set1_epi32(x); }
    static V Set16(int16_t x) { return _mm256_set1_epi16(x); }
    static V Zero() { return _mm256_setzero_si256(); }
    static V Madd(V a, V b) { return _mm256_madd_epi16(a, b); }
    static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
    static V Sub32(V a, V b) { return _mm256_sub_epi32(a, b); }
    template <int N>
    static V Srai32(V a) { return _mm256_srai_epi32(a, N); }
    static V Packs32(V a, V b) { return _mm256_packs_epi32(a, b); }
    static V Adds16(V a, V b) { return _mm256_adds_epi16(a, b); }
    static V Packus16(V a, V b) { return _mm256_packus_epi16(a, b); }
    static V Lo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
    static V Lo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
    static V Hi16(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
    static V Lo32(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
    static V Hi32(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
    static V Lo64(V a, V b) { return _mm256_unpacklo_epi64(a, b); }
    static V Hi64(V a, V b) { return _mm256_unpackhi_epi64(a, b); }
};

inline __m256i LoadTwo(const int16_t* a, const int16_t* b)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)), 1);
}

} // namespace

void JpegAvx2DequantIdctAccurate2(int16_t* a, const int16_t* multipliersA, int16_t* b, const int16_t* multipliersB)
{
    __m256i v[8];
    for (int i = 0; i < 8; ++i)
        v[i] = _mm256_mullo_epi16(LoadTwo(a + 8 * i, b + 8 * i), LoadTwo(multipliersA + 8 * i, multipliersB + 8 * i));
    const __m256i ac =
        _mm256_or_si256(_mm256_or_si256(_mm256_or_si256(_mm256_srli_si256(v[0], 2), v[1]), _mm256_or_si256(v[2], v[3])),
                        _mm256_or_si256(_mm256_or_si256(v[4], v[5]), _mm256_or_si256(v[6], v[7])));
    const uint32_t zero = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(ac, _mm256_setzero_si256())));
    if (zero == 0xFFFFFFFFu) {
        // Two blocks with only their DC terms take the 128-bit kernel's
        // shortcut (the full passes give one such block the same samples).
        for (int i = 0; i < 8; ++i) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(a + 8 * i), _mm256_castsi256_si128(v[i]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(b + 8 * i), _mm256_extracti128_si256(v[i], 1));
        }
        _mm256_zeroupper();
        JpegSse2IdctAccurate(a);
        JpegSse2IdctAccurate(b);
        return;
    }
    InverseAccurateOf<Lanes256>(v);
    for (int i = 0; i < 8; ++i) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(a + 8 * i), _mm256_castsi256_si128(v[i]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(b + 8 * i), _mm256_extracti128_si256(v[i], 1));
    }
    _mm256_zeroupper();
}

} // namespace thermjpeg

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else

namespace thermjpeg {
bool JpegHaveAvx2() { return false; }
} // namespace thermjpeg

#endif
