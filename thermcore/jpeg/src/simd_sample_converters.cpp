// Sixteen three-byte pixels (48 bytes) are split into their three channels
// by four rounds of a byte interleave: each round moves the byte at
// position p to 2p mod 47, so four rounds move it to 16p mod 47, which is
// (p mod 3) x 16 + p / 3, the planar position. After three rounds the
// vectors hold the channels of the even pixels and of the odd ones, eight
// bytes each (the fourth round would interleave those): subsampling
// converters widen them from there. The channels then meet
// their coefficients in 32-bit multiply-adds, with the same offsets and
// shifts as the generic converters, so every sample is the same.
#include "simd_sample_converters.h"

#if defined(__x86_64__)

#include <emmintrin.h>

#include "simd_opaque.h"

namespace thermjpeg {
namespace {

struct Planes {
    __m128i c0, c1, c2; // 16 bytes of each channel, in pixel order
};

// The upper eight bytes of v in its lower half (a copying shuffle, where a
// byte shift would first need a register copy).
inline __m128i Upper(__m128i v) { return _mm_shuffle_epi32(v, 0xEE); }

template <int Rounds>
inline Planes Interleave(__m128i a, __m128i b, __m128i c)
{
    for (int round = 0; round < Rounds; ++round) {
        // Low a with high b, high a with low c, low b with high c: b with
        // its halves swapped serves two of them.
        const __m128i swappedB = _mm_shuffle_epi32(b, 0x4E);
        const __m128i na = _mm_unpacklo_epi8(a, swappedB);
        const __m128i nb = _mm_unpacklo_epi8(Upper(a), c);
        const __m128i nc = _mm_unpackhi_epi8(swappedB, c);
        a = na, b = nb, c = nc;
    }
    return {a, b, c};
}

inline Planes Deinterleave(__m128i a, __m128i b, __m128i c) { return Interleave<4>(a, b, c); }

inline __m128i LoadU(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline __m128i Load8(const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
inline void Store(int16_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

inline __m128i Pair(int a, int b)
{
    return _mm_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(b)) << 16) |
                                               static_cast<uint16_t>(a)));
}

// Channel values of eight pixels in 16-bit lanes (R, G, B order).
struct Rgb8 {
    __m128i r, g, b;
};

inline void Accumulate(Rgb8& sums, const Rgb8& s)
{
    sums.r = _mm_add_epi16(sums.r, s.r);
    sums.g = _mm_add_epi16(sums.g, s.g);
    sums.b = _mm_add_epi16(sums.b, s.b);
}

// (cr R + cg G + cb B + offset) >> Shift for eight pixels.
template <int Shift>
inline __m128i Dot(const Rgb8& p, int cr, int cg, int cb, int offset)
{
    const __m128i one = _mm_set1_epi16(1);
    const __m128i rg = Pair(cr, cg), bo = Pair(cb, offset);
    const __m128i lo = _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(p.r, p.g), rg),
                                     _mm_madd_epi16(_mm_unpacklo_epi16(p.b, one), bo));
    const __m128i hi = _mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(p.r, p.g), rg),
                                     _mm_madd_epi16(_mm_unpackhi_epi16(p.b, one), bo));
    return _mm_packs_epi32(_mm_srai_epi32(lo, Shift), _mm_srai_epi32(hi, Shift));
}

// 77 R + 150 G + 29 B is at most 256 x 255, so it is exact in 16-bit
// lanes taken as unsigned; minus 32640 it lies within the signed range.
inline __m128i Luma(const Rgb8& p)
{
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(p.r, JpegOpaque(_mm_set1_epi16(77))),
                                                    _mm_mullo_epi16(p.g, JpegOpaque(_mm_set1_epi16(150)))),
                                      _mm_mullo_epi16(p.b, JpegOpaque(_mm_set1_epi16(29))));
    return _mm_srai_epi16(_mm_sub_epi16(sum, _mm_set1_epi16(32640)), 8);
}

// Chroma of sums over boxes of 2^Log pixels.
template <int Log>
inline void Chroma(const Rgb8& s, int16_t* cb, int16_t* cr)
{
    Store(cb, Dot<8 + Log>(s, -43, -85, 128, 128 << Log));
    Store(cr, Dot<8 + Log>(s, 128, -107, -21, 128 << Log));
}

// The channels of a plane set in R, G, B order: Bgr swaps the first and
// the third. Low: pixels 0-7, else 8-15, widened to 16 bits.
template <bool Bgr>
inline Rgb8 Widen(const Planes& p, bool low)
{
    const __m128i zero = _mm_setzero_si128();
    auto w = [&](__m128i v) { return low ? _mm_unpacklo_epi8(v, zero) : _mm_unpackhi_epi8(v, zero); };
    return Bgr ? Rgb8{w(p.c2), w(p.c1), w(p.c0)} : Rgb8{w(p.c0), w(p.c1), w(p.c2)};
}

// A row of sixteen pixels as its even and its odd pixels in 16-bit lanes
// (lane k: pixels 2k and 2k + 1): their lumas interleave back into pixel
// order, their sums are the horizontal pairs of the subsampled chroma.
struct EvenOdd {
    Rgb8 even, odd;
};

// Sixteen pixels (48 contiguous bytes) after three rounds: channels 0 and 1
// of the even pixels, channel 2 of the even and 0 of the odd ones, channels
// 1 and 2 of the odd ones, eight bytes each.
template <bool Bgr>
inline EvenOdd LoadRow16EvenOdd(const uint8_t* row)
{
    const Planes p = Interleave<3>(LoadU(row), LoadU(row + 16), LoadU(row + 32));
    const __m128i zero = _mm_setzero_si128();
    const __m128i even0 = _mm_unpacklo_epi8(p.c0, zero), even1 = _mm_unpackhi_epi8(p.c0, zero);
    const __m128i even2 = _mm_unpacklo_epi8(p.c1, zero), odd0 = _mm_unpackhi_epi8(p.c1, zero);
    const __m128i odd1 = _mm_unpacklo_epi8(p.c2, zero), odd2 = _mm_unpackhi_epi8(p.c2, zero);
    if constexpr (Bgr)
        return {{even2, even1, even0}, {odd2, odd1, odd0}};
    else
        return {{even0, even1, even2}, {odd0, odd1, odd2}};
}

// Luminance of the sixteen pixels: 0-7 to left, 8-15 to right.
inline void StoreLuma16(const EvenOdd& row, int16_t* left, int16_t* right)
{
    const __m128i even = Luma(row.even), odd = Luma(row.odd);
    Store(left, _mm_unpacklo_epi16(even, odd));
    Store(right, _mm_unpackhi_epi16(even, odd));
}

inline Rgb8 PairSums(const EvenOdd& row)
{
    return {_mm_add_epi16(row.even.r, row.odd.r), _mm_add_epi16(row.even.g, row.odd.g),
            _mm_add_epi16(row.even.b, row.odd.b)};
}


template <bool Bgr>
void Convert1x1(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    int16_t* cb = mcu + 64;
    int16_t* cr = mcu + 128;
    for (int y = 0; y < 8; y += 2) {
        // Rows y and y + 1, 24 bytes each, read exactly.
        const uint8_t* r0 = pixels + y * stride;
        const uint8_t* r1 = r0 + stride;
        const Planes planes = Deinterleave(LoadU(r0), _mm_unpacklo_epi64(Load8(r0 + 16), Load8(r1)), LoadU(r1 + 8));
        for (int half = 0; half < 2; ++half) {
            const Rgb8 p = Widen<Bgr>(planes, half == 0);
            const int at = (y + half) * 8;
            Store(mcu + at, Luma(p));
            Chroma<0>(p, cb + at, cr + at);
        }
    }
}

template <bool Bgr>
void Convert2x1(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    int16_t* cb = mcu + 128;
    int16_t* cr = mcu + 192;
    for (int y = 0; y < 8; ++y) {
        const EvenOdd row = LoadRow16EvenOdd<Bgr>(pixels + y * stride);
        StoreLuma16(row, mcu + y * 8, mcu + 64 + y * 8);
        Chroma<1>(PairSums(row), cb + y * 8, cr + y * 8);
    }
}

template <bool Bgr>
void Convert2x2(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    int16_t* cb = mcu + 256;
    int16_t* cr = mcu + 320;
    for (int cy = 0; cy < 8; ++cy) {
        Rgb8 sums{};
        for (int dy = 0; dy < 2; ++dy) {
            const int y = 2 * cy + dy;
            const EvenOdd row = LoadRow16EvenOdd<Bgr>(pixels + y * stride);
            int16_t* left = mcu + (y >> 3) * 128 + (y & 7) * 8;
            StoreLuma16(row, left, left + 64);
            const Rgb8 s = PairSums(row);
            if (dy == 0)
                sums = s;
            else
                Accumulate(sums, s);
        }
        Chroma<2>(sums, cb + cy * 8, cr + cy * 8);
    }
}

// Eight four-byte pixels (32 bytes): the first three channels complemented
// (255 - v), the fourth minus 128.
struct Complemented8 {
    Rgb8 rgb;
    __m128i fourth;
};

inline Complemented8 LoadComplemented8(const uint8_t* p)
{
    const __m128i a = LoadU(p), b = LoadU(p + 16);
    const __m128i byte = _mm_set1_epi32(0xFF);
    auto channel = [&](int shift) {
        return _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, shift), byte),
                               _mm_and_si128(_mm_srli_epi32(b, shift), byte));
    };
    const __m128i ones = _mm_set1_epi16(0xFF);
    return {{_mm_xor_si128(channel(0), ones), _mm_xor_si128(channel(8), ones), _mm_xor_si128(channel(16), ones)},
            _mm_sub_epi16(_mm_packs_epi32(_mm_srli_epi32(a, 24), _mm_srli_epi32(b, 24)), _mm_set1_epi16(128))};
}

// Sums of neighbouring lanes of two vectors of eight: lanes 0-3 from lo,
// 4-7 from hi.
inline __m128i PairSums(__m128i lo, __m128i hi)
{
    const __m128i one = _mm_set1_epi16(1);
    return _mm_packs_epi32(_mm_madd_epi16(lo, one), _mm_madd_epi16(hi, one));
}

// Complemented R G B plus a fourth channel, H x V pixels per chroma sample.
template <int H, int V>
void ConvertComplemented(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    constexpr int n = H * V;
    int16_t* cb = mcu + n * 64;
    int16_t* cr = cb + 64;
    int16_t* fourth = cr + 64;
    for (int cy = 0; cy < 8; ++cy) {
        Rgb8 sums{};
        for (int dy = 0; dy < V; ++dy) {
            const int y = cy * V + dy;
            Complemented8 half[H];
            for (int hx = 0; hx < H; ++hx) {
                half[hx] = LoadComplemented8(pixels + y * stride + hx * 32);
                const int at = ((y >> 3) * H + hx) * 64 + (y & 7) * 8;
                Store(mcu + at, Luma(half[hx].rgb));
                Store(fourth + at, half[hx].fourth);
            }
            Rgb8 s;
            if constexpr (H == 1)
                s = half[0].rgb;
            else
                s = {PairSums(half[0].rgb.r, half[1].rgb.r), PairSums(half[0].rgb.g, half[1].rgb.g),
                     PairSums(half[0].rgb.b, half[1].rgb.b)};
            if (dy == 0)
                sums = s;
            else
                Accumulate(sums, s);
        }
        constexpr int log = n == 4 ? 2 : n == 2 ? 1 : 0;
        Chroma<log>(sums, cb + cy * 8, cr + cy * 8);
    }
}

} // namespace

void JpegMmxSamplesGray(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    const __m128i zero = _mm_setzero_si128(), shift = _mm_set1_epi16(128);
    for (int y = 0; y < 8; ++y)
        Store(mcu + y * 8, _mm_sub_epi16(_mm_unpacklo_epi8(Load8(pixels + y * stride), zero), shift));
}

void JpegMmxSamplesRgb(const uint8_t* p, ptrdiff_t s, int16_t* m) { Convert1x1<false>(p, s, m); }
void JpegMmxSamplesBgr(const uint8_t* p, ptrdiff_t s, int16_t* m) { Convert1x1<true>(p, s, m); }
void JpegMmxSamplesRgbH2V1(const uint8_t* p, ptrdiff_t s, int16_t* m) { Convert2x1<false>(p, s, m); }
void JpegMmxSamplesBgrH2V1(const uint8_t* p, ptrdiff_t s, int16_t* m) { Convert2x1<true>(p, s, m); }
void JpegMmxSamplesRgbH2V2(const uint8_t* p, ptrdiff_t s, int16_t* m) { Convert2x2<false>(p, s, m); }
void JpegMmxSamplesBgrH2V2(const uint8_t* p, ptrdiff_t s, int16_t* m) { Convert2x2<true>(p, s, m); }

void JpegMmxSamplesInvRgbA(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertComplemented<1, 1>(p, s, m); }
void JpegMmxSamplesInvRgbAH2V1(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertComplemented<2, 1>(p, s, m); }
void JpegMmxSamplesInvRgbAH2V2(const uint8_t* p, ptrdiff_t s, int16_t* m) { ConvertComplemented<2, 2>(p, s, m); }

void JpegSseSamplesYcbycr(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu)
{
    const __m128i low = _mm_set1_epi16(0xFF), low32 = _mm_set1_epi32(0xFFFF), shift = _mm_set1_epi16(128);
    for (int y = 0; y < 8; ++y) {
        const uint8_t* row = pixels + y * stride;
        const __m128i a = LoadU(row), b = LoadU(row + 16);
        Store(mcu + y * 8, _mm_sub_epi16(_mm_and_si128(a, low), shift));
        Store(mcu + 64 + y * 8, _mm_sub_epi16(_mm_and_si128(b, low), shift));
        // Odd bytes: Cb, Cr, Cb, Cr, ... in 16-bit lanes.
        const __m128i ca = _mm_srli_epi16(a, 8), cbr = _mm_srli_epi16(b, 8);
        const __m128i cb = _mm_packs_epi32(_mm_and_si128(ca, low32), _mm_and_si128(cbr, low32));
        const __m128i cr = _mm_packs_epi32(_mm_srli_epi32(ca, 16), _mm_srli_epi32(cbr, 16));
        Store(mcu + 128 + y * 8, _mm_sub_epi16(cb, shift));
        Store(mcu + 192 + y * 8, _mm_sub_epi16(cr, shift));
    }
}

} // namespace thermjpeg

#endif
