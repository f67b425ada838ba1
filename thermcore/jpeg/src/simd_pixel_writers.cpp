// Three-byte pixels leave through the inverse of the encoder converters'
// byte split: a round takes the even bytes of 48 as the first half and the
// odd bytes as the second (position 2p mod 47 back to p); four rounds turn
// three planes of sixteen bytes into sixteen interleaved pixels.
#include "simd_pixel_writers.h"

#if defined(__x86_64__)

#include <emmintrin.h>
#include <tmmintrin.h>

#include <utility>

#include "simd_opaque.h"

namespace thermjpeg {
namespace {

enum Layout { kRgb, kBgr, kRgba, kInvRgbA };

inline __m128i LoadU(const int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void StoreU(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline void StoreLow(uint8_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }

struct Offsets {
    __m128i r, g, b; // eight chroma samples' offsets
};

inline Offsets ChromaOffsets(const int16_t* cb, const int16_t* cr)
{
    const __m128i byte = _mm_set1_epi16(0xFF);
    const __m128i b = _mm_and_si128(LoadU(cb), byte), r = _mm_and_si128(LoadU(cr), byte);
    Offsets o;
    // (359 Cr - 45813) >> 8 = Cr - 180 + ((103 Cr + 267) >> 8) and
    // (454 Cb - 57937) >> 8 = 2 Cb - 227 + ((175 - 58 Cb) >> 8): whole
    // multiples of 256 moved out of the shift keep the sums in 16 bits.
    o.r = _mm_add_epi16(_mm_srai_epi16(_mm_add_epi16(_mm_mullo_epi16(r, JpegOpaque(_mm_set1_epi16(103))), _mm_set1_epi16(267)), 8),
                        _mm_sub_epi16(r, _mm_set1_epi16(180)));
    o.b = _mm_add_epi16(_mm_srai_epi16(_mm_sub_epi16(_mm_set1_epi16(175), _mm_mullo_epi16(b, JpegOpaque(_mm_set1_epi16(58)))), 8),
                        _mm_sub_epi16(_mm_add_epi16(b, b), _mm_set1_epi16(227)));
    // The green sum in 32 bits, so that no chroma pair wraps.
    const __m128i factors = _mm_set1_epi32((88 << 16) | 183), offset = _mm_set1_epi32(34806);
    const __m128i lo = _mm_srai_epi32(_mm_sub_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(r, b), factors), offset), 8);
    const __m128i hi = _mm_srai_epi32(_mm_sub_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(r, b), factors), offset), 8);
    o.g = _mm_packs_epi32(lo, hi);
    return o;
}

// Each chroma offset twice, for pixel pairs: the left and right eight.
inline Offsets Doubled(const Offsets& o, bool left)
{
    auto d = [left](__m128i v) { return left ? _mm_unpacklo_epi16(v, v) : _mm_unpackhi_epi16(v, v); };
    return {d(o.r), d(o.g), d(o.b)};
}

// Sixteen pixels as bytes: R, G, B and the fourth byte.
struct PixelBytes {
    __m128i r, g, b, a;
};

// The colour of two groups of eight pixels (luminance y0, y1 with their
// offsets), packed to bytes: pixels 0-7 from y0, 8-15 from y1.
inline PixelBytes Colour(__m128i y0, const Offsets& o0, __m128i y1, const Offsets& o1)
{
    const __m128i byte = _mm_set1_epi16(0xFF);
    y0 = _mm_and_si128(y0, byte), y1 = _mm_and_si128(y1, byte);
    PixelBytes p;
    p.r = _mm_packus_epi16(_mm_adds_epi16(y0, o0.r), _mm_adds_epi16(y1, o1.r));
    p.g = _mm_packus_epi16(_mm_subs_epi16(y0, o0.g), _mm_subs_epi16(y1, o1.g));
    p.b = _mm_packus_epi16(_mm_adds_epi16(y0, o0.b), _mm_adds_epi16(y1, o1.b));
    p.a = _mm_set1_epi8(-1);
    return p;
}

// Three planes of sixteen bytes to 48 interleaved bytes.
inline void Interleave3(__m128i a, __m128i b, __m128i c, __m128i out[3])
{
    const __m128i even = _mm_set1_epi16(0xFF);
    for (int round = 0; round < 4; ++round) {
        const __m128i na = _mm_packus_epi16(_mm_and_si128(a, even), _mm_and_si128(b, even));
        const __m128i nb = _mm_packus_epi16(_mm_and_si128(c, even), _mm_srli_epi16(a, 8));
        const __m128i nc = _mm_packus_epi16(_mm_srli_epi16(b, 8), _mm_srli_epi16(c, 8));
        a = na, b = nb, c = nc;
    }
    out[0] = a, out[1] = b, out[2] = c;
}

template <int L>
inline void Arrange(PixelBytes& p, const int16_t* k0, const int16_t* k1)
{
    if constexpr (L == kBgr) {
        const __m128i t = p.r;
        p.r = p.b, p.b = t;
    } else if constexpr (L == kInvRgbA) {
        const __m128i ones = _mm_set1_epi8(-1), byte = _mm_set1_epi16(0xFF);
        p.r = _mm_xor_si128(p.r, ones), p.g = _mm_xor_si128(p.g, ones), p.b = _mm_xor_si128(p.b, ones);
        p.a = _mm_packus_epi16(_mm_and_si128(LoadU(k0), byte), _mm_and_si128(LoadU(k1), byte));
    }
}

// Sixteen four-byte pixels: the first eight to d0, the others to d1.
inline void Store4(const PixelBytes& p, uint8_t* d0, uint8_t* d1)
{
    const __m128i rgLo = _mm_unpacklo_epi8(p.r, p.g), baLo = _mm_unpacklo_epi8(p.b, p.a);
    const __m128i rgHi = _mm_unpackhi_epi8(p.r, p.g), baHi = _mm_unpackhi_epi8(p.b, p.a);
    StoreU(d0, _mm_unpacklo_epi16(rgLo, baLo));
    StoreU(d0 + 16, _mm_unpackhi_epi16(rgLo, baLo));
    StoreU(d1, _mm_unpacklo_epi16(rgHi, baHi));
    StoreU(d1 + 16, _mm_unpackhi_epi16(rgHi, baHi));
}

// Sixteen three-byte pixels: the first eight to d0, the others to d1
// (d1 = d0 + 24 for one row of sixteen).
inline void Store3(const PixelBytes& p, uint8_t* d0, uint8_t* d1)
{
    __m128i v[3];
    Interleave3(p.r, p.g, p.b, v);
    if (d1 == d0 + 24) {
        StoreU(d0, v[0]), StoreU(d0 + 16, v[1]), StoreU(d0 + 32, v[2]);
    } else {
        StoreU(d0, v[0]);
        StoreLow(d0 + 16, v[1]);
        StoreLow(d1, _mm_srli_si128(v[1], 8));
        StoreU(d1 + 8, v[2]);
    }
}

// The three-byte writers again for processors with SSSE3 (which every
// processor with AVX2 has, and most others): the 48 bytes of sixteen pixels
// from three byte shuffles each instead of four rounds of packs. Compiled
// for SSSE3 function by function; installed only where the processor has it.
#define THERMJPEG_SSSE3 __attribute__((target("ssse3")))

// Byte j of output vector n takes byte (16 n + j) / 3 of plane (16 n + j) mod 3.
constexpr int8_t ShuffleIndex(int n, int j, int plane)
{
    return (16 * n + j) % 3 == plane ? static_cast<int8_t>((16 * n + j) / 3) : static_cast<int8_t>(-128);
}

template <int N, int Plane, int... J>
THERMJPEG_SSSE3 inline __m128i ShuffleMask(std::integer_sequence<int, J...>)
{
    return _mm_setr_epi8(ShuffleIndex(N, J, Plane)...);
}

template <int N>
THERMJPEG_SSSE3 inline __m128i InterleavedPart(__m128i a, __m128i b, __m128i c)
{
    constexpr auto lanes = std::make_integer_sequence<int, 16>();
    return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, ShuffleMask<N, 0>(lanes)),
                                     _mm_shuffle_epi8(b, ShuffleMask<N, 1>(lanes))),
                        _mm_shuffle_epi8(c, ShuffleMask<N, 2>(lanes)));
}

THERMJPEG_SSSE3 inline void Store3Shuffled(const PixelBytes& p, uint8_t* d0, uint8_t* d1)
{
    const __m128i v0 = InterleavedPart<0>(p.r, p.g, p.b), v1 = InterleavedPart<1>(p.r, p.g, p.b);
    const __m128i v2 = InterleavedPart<2>(p.r, p.g, p.b);
    StoreU(d0, v0);
    if (d1 == d0 + 24) {
        StoreU(d0 + 16, v1), StoreU(d0 + 32, v2);
    } else {
        StoreLow(d0 + 16, v1);
        StoreLow(d1, _mm_srli_si128(v1, 8));
        StoreU(d1 + 8, v2);
    }
}

template <int L, bool Shuffled = false>
inline void Emit(PixelBytes p, const int16_t* k0, const int16_t* k1, uint8_t* d0, uint8_t* d1)
{
    Arrange<L>(p, k0, k1);
    if constexpr (Shuffled)
        Store3Shuffled(p, d0, d1);
    else if constexpr (L == kRgb || L == kBgr)
        Store3(p, d0, d1);
    else
        Store4(p, d0, d1);
}

constexpr int Bytes(int layout) { return layout == kRgb || layout == kBgr ? 3 : 4; }

// 8x8 pixels, one chroma sample each: rows in pairs.
template <int L, bool Shuffled = false>
void Mcu1x1(const int16_t* y, const int16_t* cb, const int16_t* cr, const int16_t* k, uint8_t* d, ptrdiff_t stride)
{
    for (int row = 0; row < 8; row += 2) {
        const Offsets o0 = ChromaOffsets(cb + row * 8, cr + row * 8);
        const Offsets o1 = ChromaOffsets(cb + row * 8 + 8, cr + row * 8 + 8);
        const PixelBytes p = Colour(LoadU(y + row * 8), o0, LoadU(y + row * 8 + 8), o1);
        const int16_t* kr = k ? k + row * 8 : nullptr;
        Emit<L, Shuffled>(p, kr, kr ? kr + 8 : nullptr, d + row * stride, d + (row + 1) * stride);
    }
}

// 16 x 8 Vs pixels: each chroma sample serves two horizontal neighbours
// and Vs rows.
template <int L, int Vs, bool Shuffled = false>
void Mcu2xN(const int16_t* y, const int16_t* cb, const int16_t* cr, const int16_t* k, uint8_t* d, ptrdiff_t stride)
{
    for (int cy = 0; cy < 8; ++cy) {
        const Offsets o = ChromaOffsets(cb + cy * 8, cr + cy * 8);
        const Offsets left = Doubled(o, true), right = Doubled(o, false);
        for (int dy = 0; dy < Vs; ++dy) {
            const int row = cy * Vs + dy;
            const int at = (row >> 3) * 128 + (row & 7) * 8;
            const PixelBytes p = Colour(LoadU(y + at), left, LoadU(y + at + 64), right);
            const int16_t* kr = k ? k + at : nullptr;
            uint8_t* out = d + row * stride;
            Emit<L, Shuffled>(p, kr, kr ? kr + 64 : nullptr, out, out + 8 * Bytes(L));
        }
    }
}

// The entries: the plain writers with every call inlined, so that the
// shuffles run inside functions compiled for SSSE3.
template <int L>
THERMJPEG_SSSE3 __attribute__((flatten)) void Mcu1x1Shuffled(const int16_t* y, const int16_t* cb, const int16_t* cr,
                                                             const int16_t* k, uint8_t* d, ptrdiff_t stride)
{
    Mcu1x1<L, true>(y, cb, cr, k, d, stride);
}

template <int L, int Vs>
THERMJPEG_SSSE3 __attribute__((flatten)) void Mcu2xNShuffled(const int16_t* y, const int16_t* cb, const int16_t* cr,
                                                             const int16_t* k, uint8_t* d, ptrdiff_t stride)
{
    Mcu2xN<L, Vs, true>(y, cb, cr, k, d, stride);
}

#undef THERMJPEG_SSSE3

} // namespace

void JpegMmxPixelsGray(const int16_t* y, const int16_t*, const int16_t*, const int16_t*, uint8_t* d, ptrdiff_t stride)
{
    for (int row = 0; row < 8; row += 2) {
        const __m128i v = _mm_packus_epi16(LoadU(y + row * 8), LoadU(y + row * 8 + 8));
        StoreLow(d + row * stride, v);
        StoreLow(d + (row + 1) * stride, _mm_srli_si128(v, 8));
    }
}

void JpegMmxPixelsYcbycr(const int16_t* y, const int16_t* cb, const int16_t* cr, const int16_t*, uint8_t* d,
                         ptrdiff_t stride)
{
    for (int row = 0; row < 8; ++row) {
        const __m128i luma = _mm_packus_epi16(LoadU(y + row * 8), LoadU(y + 64 + row * 8));
        const __m128i chroma = _mm_packus_epi16(LoadU(cb + row * 8), LoadU(cr + row * 8));
        const __m128i pairs = _mm_unpacklo_epi8(chroma, _mm_srli_si128(chroma, 8)); // Cb0 Cr0 Cb1 Cr1 ...
        StoreU(d + row * stride, _mm_unpacklo_epi8(luma, pairs));
        StoreU(d + row * stride + 16, _mm_unpackhi_epi8(luma, pairs));
    }
}

void JpegFillSimdPixelKernels(KernelTable& t)
{
    t.pixelsGray = JpegMmxPixelsGray;
    t.pixelsRgb = Mcu1x1<kRgb>;
    t.pixelsRgbH2V1 = Mcu2xN<kRgb, 1>;
    t.pixelsRgbH2V2 = Mcu2xN<kRgb, 2>;
    t.pixelsBgr = Mcu1x1<kBgr>;
    t.pixelsBgrH2V1 = Mcu2xN<kBgr, 1>;
    t.pixelsBgrH2V2 = Mcu2xN<kBgr, 2>;
    t.pixelsRgba = Mcu1x1<kRgba>;
    t.pixelsRgbaH2V1 = Mcu2xN<kRgba, 1>;
    t.pixelsRgbaH2V2 = Mcu2xN<kRgba, 2>;
    t.pixelsYcbycr = JpegMmxPixelsYcbycr;
    t.pixelsInvRgbA = Mcu1x1<kInvRgbA>;
    t.pixelsInvRgbAH2V1 = Mcu2xN<kInvRgbA, 1>;
    t.pixelsInvRgbAH2V2 = Mcu2xN<kInvRgbA, 2>;
    if (__builtin_cpu_supports("ssse3")) {
        t.pixelsRgb = Mcu1x1Shuffled<kRgb>;
        t.pixelsRgbH2V1 = Mcu2xNShuffled<kRgb, 1>;
        t.pixelsRgbH2V2 = Mcu2xNShuffled<kRgb, 2>;
        t.pixelsBgr = Mcu1x1Shuffled<kBgr>;
        t.pixelsBgrH2V1 = Mcu2xNShuffled<kBgr, 1>;
        t.pixelsBgrH2V2 = Mcu2xNShuffled<kBgr, 2>;
    }
}

} // namespace thermjpeg

#endif
