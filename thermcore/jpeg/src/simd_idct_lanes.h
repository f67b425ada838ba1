// The accurate 8x8 inverse DCT written once over a width of vector lanes:
// Lanes128 (SSE2, one block) here, and a 256-bit form in
// avx2_transforms.cpp that runs two blocks side by side, one in each
// 128-bit half. Every operation used works within 128-bit halves, so each
// half computes exactly what the 128-bit form computes for its block.
//
// Everything here has internal linkage: each file that includes this header
// gets its own copy, compiled for that file's instruction set.
#ifndef THERMJPEG_SIMD_IDCT_LANES_H
#define THERMJPEG_SIMD_IDCT_LANES_H

#if defined(__x86_64__)

#include <emmintrin.h>

#include <cstdint>

namespace thermjpeg {
namespace {

// sqrt(8) D[u][x] x 16384, rounded: row u of the DCT matrix.
constexpr int16_t kDct[8][8] = {
    {16384, 16384, 16384, 16384, 16384, 16384, 16384, 16384},
    {22725, 19266, 12873, 4520, -4520, -12873, -19266, -22725},
    {21407, 8867, -8867, -21407, -21407, -8867, 8867, 21407},
    {19266, -4520, -22725, -12873, 12873, 22725, 4520, -19266},
    {16384, -16384, -16384, 16384, 16384, -16384, -16384, 16384},
    {12873, -22725, 4520, 19266, -19266, -4520, 22725, -12873},
    {8867, -21407, 21407, -8867, -8867, 21407, -21407, 8867},
    {4520, -12873, 19266, -22725, 22725, -19266, 12873, -4520},
};

struct Lanes128 {
    using V = __m128i;
    static V Set32(int32_t x) { return _mm_set1_epi32(x); }
    static V Set16(int16_t x) { return _mm_set1_epi16(x); }
    static V Zero() { return _mm_setzero_si128(); }
    static V Madd(V a, V b) { return _mm_madd_epi16(a, b); }
    static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
    static V Sub32(V a, V b) { return _mm_sub_epi32(a, b); }
    template <int N>
    static V Srai32(V a) { return _mm_srai_epi32(a, N); }
    static V Packs32(V a, V b) { return _mm_packs_epi32(a, b); }
    static V Adds16(V a, V b) { return _mm_adds_epi16(a, b); }
    static V Packus16(V a, V b) { return _mm_packus_epi16(a, b); }
    static V Lo8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
    static V Lo16(V a, V b) { return _mm_unpacklo_epi16(a, b); }
    static V Hi16(V a, V b) { return _mm_unpackhi_epi16(a, b); }
    static V Lo32(V a, V b) { return _mm_unpacklo_epi32(a, b); }
    static V Hi32(V a, V b) { return _mm_unpackhi_epi32(a, b); }
    static V Lo64(V a, V b) { return _mm_unpacklo_epi64(a, b); }
    static V Hi64(V a, V b) { return _mm_unpackhi_epi64(a, b); }
};

// A multiply-add operand: the pair (a, b) in every 32-bit lane.
template <class L>
inline typename L::V PairOf(int16_t a, int16_t b)
{
    return L::Set32(static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(b)) << 16) |
                                         static_cast<uint16_t>(a)));
}

// Two vectors of 16-bit lanes, interleaved in pairs for multiply-add.
template <class L>
struct InterleavedOf {
    typename L::V lo, hi;
    InterleavedOf(typename L::V a, typename L::V b) : lo(L::Lo16(a, b)), hi(L::Hi16(a, b)) {}
};

// a0 x p + a1 x q in 32-bit lanes, lower and upper four lanes.
template <class L>
struct Sum32Of {
    typename L::V lo, hi;
};

template <class L>
inline Sum32Of<L> MulAdd2Of(const InterleavedOf<L>& p, typename L::V cp, const InterleavedOf<L>& q,
                            typename L::V cq)
{
    return {L::Add32(L::Madd(p.lo, cp), L::Madd(q.lo, cq)), L::Add32(L::Madd(p.hi, cp), L::Madd(q.hi, cq))};
}

template <class L, int Shift>
inline typename L::V DescaleOf(typename L::V lo, typename L::V hi, typename L::V bias)
{
    return L::Packs32(L::template Srai32<Shift>(L::Add32(lo, bias)), L::template Srai32<Shift>(L::Add32(hi, bias)));
}

template <class L>
inline void TransposeOf(typename L::V* r)
{
    using V = typename L::V;
    const V a0 = L::Lo16(r[0], r[1]), a1 = L::Hi16(r[0], r[1]);
    const V a2 = L::Lo16(r[2], r[3]), a3 = L::Hi16(r[2], r[3]);
    const V a4 = L::Lo16(r[4], r[5]), a5 = L::Hi16(r[4], r[5]);
    const V a6 = L::Lo16(r[6], r[7]), a7 = L::Hi16(r[6], r[7]);
    const V b0 = L::Lo32(a0, a2), b1 = L::Hi32(a0, a2);
    const V b2 = L::Lo32(a1, a3), b3 = L::Hi32(a1, a3);
    const V b4 = L::Lo32(a4, a6), b5 = L::Hi32(a4, a6);
    const V b6 = L::Lo32(a5, a7), b7 = L::Hi32(a5, a7);
    r[0] = L::Lo64(b0, b4), r[1] = L::Hi64(b0, b4);
    r[2] = L::Lo64(b1, b5), r[3] = L::Hi64(b1, b5);
    r[4] = L::Lo64(b2, b6), r[5] = L::Hi64(b2, b6);
    r[6] = L::Lo64(b3, b7), r[7] = L::Hi64(b3, b7);
}

// Inverse eight-point pass down the lanes: out[x] = sum_u K[u][x] in[u];
// the result of line x is (sum + bias[x]) >> Shift. The biases differ by 0
// or 1: the smallest goes into the even products once, the lines above it
// get their 1 after.
template <class L, int Shift>
inline void InversePassOf(typename L::V* v, const int32_t* bias)
{
    using V = typename L::V;
    using Interleaved = InterleavedOf<L>;
    using Sum32 = Sum32Of<L>;
    const Interleaved f04(v[0], v[4]), f26(v[2], v[6]), f13(v[1], v[3]), f57(v[5], v[7]);
    // The even sums of lines 0-3 from four products: 16384 (x0 + x4) and
    // 16384 (x0 - x4), c = 21407 x2 + 8867 x6 and d = 8867 x2 - 21407 x6
    // (the matrix rows 0, 4, 2 and 6): lines a + c, b + d, b - d, a - c.
    auto product = [](const Interleaved& f, V pair) { return Sum32{L::Madd(f.lo, pair), L::Madd(f.hi, pair)}; };
    auto add = [](const Sum32& p, const Sum32& q) { return Sum32{L::Add32(p.lo, q.lo), L::Add32(p.hi, q.hi)}; };
    auto sub = [](const Sum32& p, const Sum32& q) { return Sum32{L::Sub32(p.lo, q.lo), L::Sub32(p.hi, q.hi)}; };
    int32_t base = bias[0];
    for (int x = 1; x < 8; ++x)
        base = bias[x] < base ? bias[x] : base;
    const V baseBias = L::Set32(base);
    Sum32 a = product(f04, PairOf<L>(kDct[0][0], kDct[4][0])), b = product(f04, PairOf<L>(kDct[0][1], kDct[4][1]));
    a = {L::Add32(a.lo, baseBias), L::Add32(a.hi, baseBias)};
    b = {L::Add32(b.lo, baseBias), L::Add32(b.hi, baseBias)};
    const Sum32 c = product(f26, PairOf<L>(kDct[2][0], kDct[6][0])), d = product(f26, PairOf<L>(kDct[2][1], kDct[6][1]));
    const Sum32 evens[4] = {add(a, c), add(b, d), sub(b, d), sub(a, c)};
    auto descale = [&](const Sum32& sum, int x) {
        if (bias[x] == base)
            return L::Packs32(L::template Srai32<Shift>(sum.lo), L::template Srai32<Shift>(sum.hi));
        return DescaleOf<L, Shift>(sum.lo, sum.hi, L::Set32(bias[x] - base));
    };
    V out[8];
    for (int x = 0; x < 4; ++x) {
        const Sum32 odd =
            MulAdd2Of<L>(f13, PairOf<L>(kDct[1][x], kDct[3][x]), f57, PairOf<L>(kDct[5][x], kDct[7][x]));
        out[x] = descale(add(evens[x], odd), x);
        out[7 - x] = descale(sub(evens[x], odd), 7 - x);
    }
    for (int i = 0; i < 8; ++i)
        v[i] = out[i];
}

// The accurate inverse transform of coefficient rows v (one block, or one
// block per 128-bit half) into sample rows 0..255, for blocks with any AC
// term (a block of only its DC term takes the shortcut of its caller).
template <class L>
inline void InverseAccurateOf(typename L::V* v)
{
    static constexpr int32_t kRowBias[8] = {2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048};
    // An exact half rounds up on lines 0, 1 and 5 and down on the others.
    static constexpr int32_t kColumnBias[8] = {1 << 18,       1 << 18,       (1 << 18) - 1, (1 << 18) - 1,
                                               (1 << 18) - 1, 1 << 18,       (1 << 18) - 1, (1 << 18) - 1};
    TransposeOf<L>(v);
    InversePassOf<L, 12>(v, kRowBias);
    TransposeOf<L>(v);
    InversePassOf<L, 19>(v, kColumnBias);
    const typename L::V shift = L::Set16(128), zero = L::Zero();
    for (int i = 0; i < 8; ++i)
        v[i] = L::Lo8(L::Packus16(L::Adds16(v[i], shift), zero), zero);
}

// The bias of the DC-only shortcut's line i: an exact half rounds up on
// lines 0, 1 and 5, down on the others.
inline bool DcLineRoundsUp(int line) { return line == 0 || line == 1 || line == 5; }

} // namespace
} // namespace thermjpeg

#endif

#endif
