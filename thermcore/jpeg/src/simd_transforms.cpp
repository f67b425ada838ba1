#include "simd_transforms.h"

#if defined(__x86_64__)

#include <emmintrin.h>

#include <algorithm>

#include "simd_idct_lanes.h"

namespace thermjpeg {
namespace {

// The 128-bit forms of the shared lane helpers.
inline __m128i Pair(int16_t a, int16_t b) { return PairOf<Lanes128>(a, b); }
using Interleaved = InterleavedOf<Lanes128>;
using Sum32 = Sum32Of<Lanes128>;

inline Sum32 MulAdd2(const Interleaved& p, __m128i cp, const Interleaved& q, __m128i cq)
{
    return MulAdd2Of<Lanes128>(p, cp, q, cq);
}

template <int Shift>
inline __m128i Descale(__m128i lo, __m128i hi, __m128i bias)
{
    return DescaleOf<Lanes128, Shift>(lo, hi, bias);
}

inline void Transpose(__m128i* r) { TransposeOf<Lanes128>(r); }

// Forward eight-point pass down the lanes: out[u] = sum_x K[u][x] in[x],
// then (+ 2^(Shift-1)) >> Shift.
template <int Shift>
inline void ForwardPass(__m128i* v)
{
    const __m128i s0 = _mm_adds_epi16(v[0], v[7]), d0 = _mm_subs_epi16(v[0], v[7]);
    const __m128i s1 = _mm_adds_epi16(v[1], v[6]), d1 = _mm_subs_epi16(v[1], v[6]);
    const __m128i s2 = _mm_adds_epi16(v[2], v[5]), d2 = _mm_subs_epi16(v[2], v[5]);
    const __m128i s3 = _mm_adds_epi16(v[3], v[4]), d3 = _mm_subs_epi16(v[3], v[4]);
    const Interleaved d01(d0, d1), d23(d2, d3);
    const __m128i bias = _mm_set1_epi32(1 << (Shift - 1));
    for (int u = 1; u < 8; u += 2) {
        const int16_t* k = kDct[u];
        const Sum32 sum = MulAdd2(d01, Pair(k[0], k[1]), d23, Pair(k[2], k[3]));
        v[u] = Descale<Shift>(sum.lo, sum.hi, bias);
    }
    // The even lines from e0 = s0 + s3, e1 = s1 + s2, t13 = s0 - s3 and
    // t12 = s1 - s2, each within 16 bits for transformed 8-bit samples
    // (every first-pass line stays within 8192 in magnitude): line 0 is
    // 16384 (e0 + e1), line 4 16384 (e0 - e1), lines 2 and 6 rotate
    // (t13, t12) by (21407, 8867) and (8867, -21407), the same sums as the
    // matrix rows.
    const __m128i e0 = _mm_adds_epi16(s0, s3), e1 = _mm_adds_epi16(s1, s2);
    const __m128i t13 = _mm_subs_epi16(s0, s3), t12 = _mm_subs_epi16(s1, s2);
    const Interleaved t(t13, t12);
    auto rotate = [&](int16_t a, int16_t b) {
        const __m128i c = Pair(a, b);
        return Descale<Shift>(_mm_madd_epi16(t.lo, c), _mm_madd_epi16(t.hi, c), bias);
    };
    v[2] = rotate(kDct[2][0], kDct[2][1]);
    v[6] = rotate(kDct[6][0], kDct[6][1]);
    if constexpr (Shift == 11) {
        // (16384 e + 2^10) >> 11 is 8 e: 16 bits suffice.
        v[0] = _mm_slli_epi16(_mm_adds_epi16(e0, e1), 3);
        v[4] = _mm_slli_epi16(_mm_subs_epi16(e0, e1), 3);
    } else {
        // (16384 (e0 +- e1) + 2^19) >> 20 is (h + 16) >> 5 with h the floor
        // of (e0 +- e1) / 2, which the unsigned rounding average gives
        // exactly in 16 bits: on e + 32768, complemented for the sum (a
        // ceiling of complements is the complement of a floor), and with
        // -e1 - 1 for the difference (the ceiling of (d - 1) / 2 is the floor
        // of d / 2). The sums of transformed 8-bit samples keep h + 16
        // within 16 bits.
        static_assert(Shift == 20);
        const __m128i e1c = _mm_xor_si128(e1, _mm_set1_epi16(0x7FFF));
        const __m128i sumAverage = _mm_avg_epu16(_mm_xor_si128(e0, _mm_set1_epi16(0x7FFF)), e1c);
        const __m128i differenceAverage = _mm_avg_epu16(_mm_xor_si128(e0, _mm_set1_epi16(-0x8000)), e1c);
        // h = 0x7FFF - sumAverage and differenceAverage - 0x8000, modulo 2^16.
        const __m128i sumBase = _mm_set1_epi16(static_cast<short>(std::uint16_t{0x7FFF + 16})); // wraps
        v[0] = _mm_srai_epi16(_mm_sub_epi16(sumBase, sumAverage), 5);
        v[4] = _mm_srai_epi16(_mm_add_epi16(differenceAverage, _mm_set1_epi16(-0x8000 + 16)), 5);
    }
}

inline void Load(const int16_t* block, __m128i* v)
{
    for (int i = 0; i < 8; ++i)
        v[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * i));
}

inline void Store(int16_t* block, const __m128i* v)
{
    for (int i = 0; i < 8; ++i)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block + 8 * i), v[i]);
}

// (x c + 2^14) >> 15 for a constant c = K + F / 32768 (0 <= F < 32768), as
// the generic fast transforms round their products: K x plus the high half
// of 2x F, rounded by bit 15 of the low half. Exact while 2x fits 16 bits,
// which the sums of 8-bit samples and of a decoder's coefficients keep.
template <int K, int F>
inline __m128i Scale(__m128i x)
{
    static_assert(K >= 0 && K <= 2);
    const __m128i twice = _mm_add_epi16(x, x), f = _mm_set1_epi16(F);
    const __m128i fraction = _mm_add_epi16(_mm_mulhi_epi16(twice, f), _mm_srli_epi16(_mm_mullo_epi16(twice, f), 15));
    if constexpr (K == 0)
        return fraction;
    else if constexpr (K == 1)
        return _mm_add_epi16(x, fraction);
    else
        return _mm_add_epi16(_mm_slli_epi16(x, 1), fraction); // K = 2
}

// One eight-point pass of the fast forward flow graph on eight lanes, with
// the generic form's constants (0.382683, 0.541196, 0.707107, 1.306563) and
// 16-bit wrapping sums.
inline void FastForwardPass(__m128i* x)
{
    const __m128i t0 = _mm_add_epi16(x[0], x[7]), t7 = _mm_sub_epi16(x[0], x[7]);
    const __m128i t1 = _mm_add_epi16(x[1], x[6]), t6 = _mm_sub_epi16(x[1], x[6]);
    const __m128i t2 = _mm_add_epi16(x[2], x[5]), t5 = _mm_sub_epi16(x[2], x[5]);
    const __m128i t3 = _mm_add_epi16(x[3], x[4]), t4 = _mm_sub_epi16(x[3], x[4]);

    const __m128i t10 = _mm_add_epi16(t0, t3), t13 = _mm_sub_epi16(t0, t3);
    const __m128i t11 = _mm_add_epi16(t1, t2), t12 = _mm_sub_epi16(t1, t2);
    const __m128i z1 = Scale<0, 23170>(_mm_add_epi16(t12, t13));

    const __m128i a = _mm_add_epi16(t4, t5), b = _mm_add_epi16(t5, t6), c = _mm_add_epi16(t6, t7);
    const __m128i z5 = Scale<0, 12540>(_mm_sub_epi16(a, c));
    const __m128i z2 = _mm_add_epi16(z5, Scale<0, 17734>(a));
    const __m128i z4 = _mm_add_epi16(z5, Scale<1, 10045>(c));
    const __m128i z3 = Scale<0, 23170>(b);
    const __m128i z11 = _mm_add_epi16(t7, z3), z13 = _mm_sub_epi16(t7, z3);

    x[0] = _mm_add_epi16(t10, t11);
    x[4] = _mm_sub_epi16(t10, t11);
    x[2] = _mm_add_epi16(t13, z1);
    x[6] = _mm_sub_epi16(t13, z1);
    x[5] = _mm_add_epi16(z13, z2);
    x[3] = _mm_sub_epi16(z13, z2);
    x[1] = _mm_add_epi16(z11, z4);
    x[7] = _mm_sub_epi16(z11, z4);
}

// One eight-point pass of the fast inverse flow graph on eight lanes, 16-bit
// wrapping sums; constants 1.414214, 1.847759, 1.082392, -2.613126.
inline void FastInversePass(__m128i* x)
{
    const __m128i a = _mm_add_epi16(x[0], x[4]), d = _mm_sub_epi16(x[0], x[4]);
    const __m128i u = _mm_add_epi16(x[2], x[6]);
    const __m128i v = _mm_sub_epi16(Scale<1, 13573>(_mm_sub_epi16(x[2], x[6])), u);
    const __m128i e0 = _mm_add_epi16(a, u), e3 = _mm_sub_epi16(a, u);
    const __m128i e1 = _mm_add_epi16(d, v), e2 = _mm_sub_epi16(d, v);

    const __m128i z13 = _mm_add_epi16(x[5], x[3]), z10 = _mm_sub_epi16(x[5], x[3]);
    const __m128i z11 = _mm_add_epi16(x[1], x[7]), z12 = _mm_sub_epi16(x[1], x[7]);
    const __m128i o7 = _mm_add_epi16(z11, z13);
    const __m128i o11 = Scale<1, 13573>(_mm_sub_epi16(z11, z13));
    const __m128i z5 = Scale<1, 27779>(_mm_add_epi16(z10, z12));
    const __m128i o10 = _mm_sub_epi16(Scale<1, 2700>(z12), z5);
    // -2.613126 z10, formed as 2.613126 (-z10).
    const __m128i o12 = _mm_add_epi16(Scale<2, 20091>(_mm_sub_epi16(_mm_setzero_si128(), z10)), z5);
    const __m128i o6 = _mm_sub_epi16(o12, o7);
    const __m128i o5 = _mm_sub_epi16(o11, o6);
    const __m128i o4 = _mm_add_epi16(o10, o5);

    x[0] = _mm_add_epi16(e0, o7);
    x[7] = _mm_sub_epi16(e0, o7);
    x[1] = _mm_add_epi16(e1, o6);
    x[6] = _mm_sub_epi16(e1, o6);
    x[2] = _mm_add_epi16(e2, o5);
    x[5] = _mm_sub_epi16(e2, o5);
    x[4] = _mm_add_epi16(e3, o4);
    x[3] = _mm_sub_epi16(e3, o4);
}

// The accurate inverse transform of the coefficients in v into the block.
inline void IdctAccurate(__m128i* v, int16_t* block)
{
    // A block with only its DC term: the rows give 4 DC (saturated) in row
    // 0, the columns that over 2^21 with the line's bias, so two values
    // fill the block, as the full passes would.
    const __m128i ac = _mm_or_si128(_mm_or_si128(_mm_or_si128(_mm_srli_si128(v[0], 2), v[1]), _mm_or_si128(v[2], v[3])),
                                    _mm_or_si128(_mm_or_si128(v[4], v[5]), _mm_or_si128(v[6], v[7])));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(ac, _mm_setzero_si128())) == 0xFFFF) {
        const int16_t dc = static_cast<int16_t>(_mm_cvtsi128_si32(v[0]));
        const int32_t r = std::clamp(4 * int32_t{dc}, -32768, 32767);
        auto sample = [&](int32_t bias) {
            return static_cast<int16_t>(std::clamp(((16384 * r + bias) >> 19) + 128, 0, 255));
        };
        const __m128i up = _mm_set1_epi16(sample(1 << 18)), down = _mm_set1_epi16(sample((1 << 18) - 1));
        for (int i = 0; i < 8; ++i)
            v[i] = DcLineRoundsUp(i) ? up : down;
        Store(block, v);
        return;
    }
    InverseAccurateOf<Lanes128>(v);
    Store(block, v);
}

} // namespace

void JpegSse2FdctAccurate(int16_t* block)
{
    __m128i v[8];
    Load(block, v);
    ForwardPass<11>(v); // columns: 8 sqrt(8) times the 1-D transform
    Transpose(v);
    ForwardPass<20>(v); // rows: the 2-D transform
    Transpose(v);
    Store(block, v);
}

void JpegSse2IdctAccurate(int16_t* block)
{
    __m128i v[8];
    Load(block, v);
    IdctAccurate(v, block);
}

void JpegSse2DequantIdctAccurate(int16_t* block, const int16_t* multipliers)
{
    __m128i v[8];
    for (int i = 0; i < 8; ++i)
        v[i] = _mm_mullo_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * i)),
                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(multipliers + 8 * i)));
    IdctAccurate(v, block);
}

void JpegSse2DequantIdctAccurate2(int16_t* a, const int16_t* multipliersA, int16_t* b, const int16_t* multipliersB)
{
    JpegSse2DequantIdctAccurate(a, multipliersA);
    JpegSse2DequantIdctAccurate(b, multipliersB);
}

void JpegMmxFdctFast(int16_t* block)
{
    __m128i v[8];
    Load(block, v);
    Transpose(v);
    FastForwardPass(v); // rows
    Transpose(v);
    FastForwardPass(v); // columns
    Store(block, v);
}

void JpegMmxIdctFast(int16_t* block)
{
    __m128i v[8];
    Load(block, v);
    FastInversePass(v); // columns
    Transpose(v);
    FastInversePass(v); // rows
    const __m128i shift = _mm_set1_epi16(128), zero = _mm_setzero_si128();
    for (int i = 0; i < 8; ++i) // >> 4 with no rounding term, then + 128
        v[i] = _mm_unpacklo_epi8(_mm_packus_epi16(_mm_adds_epi16(_mm_srai_epi16(v[i], 4), shift), zero), zero);
    Transpose(v);
    Store(block, v);
}

void JpegMmxQuantize(int16_t* block, const uint16_t* multipliers)
{
    const __m128i bias = _mm_set1_epi16(static_cast<int16_t>(0x8000));
    const __m128i up = _mm_set1_epi16(0x6000), down = _mm_set1_epi16(static_cast<int16_t>(0xC000));
    const __m128i back = _mm_set1_epi16(static_cast<int16_t>(0xE000)), one = _mm_set1_epi16(1);
    for (int i = 0; i < 64; i += 8) {
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
        const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(multipliers + i));
        // Clamp to -8192..8191 with wrapping and unsigned-saturating adds.
        c = _mm_add_epi16(_mm_subs_epu16(_mm_adds_epu16(_mm_add_epi16(c, bias), up), down), back);
        c = _mm_srai_epi16(_mm_add_epi16(_mm_mulhi_epi16(_mm_slli_epi16(c, 2), m), one), 1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block + i), c);
    }
}

void JpegSse2QuantizeUnsigned(int16_t* block, const uint16_t* multipliers)
{
    const __m128i one = _mm_set1_epi16(1);
    for (int i = 0; i < 64; i += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
        const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(multipliers + i));
        const __m128i p = _mm_mulhi_epi16(_mm_slli_epi16(c, 3), _mm_srli_epi16(m, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block + i), _mm_srai_epi16(_mm_add_epi16(p, one), 1));
    }
}

void JpegSse2Dequantize(int16_t* block, const int32_t* table)
{
    for (int i = 0; i < 64; i += 8) {
        // The low 16 bits of each multiplier, sign-extended so that the
        // saturating pack keeps them.
        const __m128i m0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + i));
        const __m128i m1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + i + 4));
        const __m128i m = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(m0, 16), 16),
                                          _mm_srai_epi32(_mm_slli_epi32(m1, 16), 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block + i), _mm_mullo_epi16(c, m));
    }
}

} // namespace thermjpeg

#endif
