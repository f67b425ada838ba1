// Forward DCTs of one level-shifted 8x8 block, in place, natural order.
// Fixed point with arithmetic shifts; products are formed in 64 bits, which
// gives the 32-bit results wherever those do not overflow and stays defined
// for any input.
#include "forward_dct.h"

namespace thermjpeg {
namespace {

// (x * c + 2^14) >> 15
inline int32_t R15(int32_t x, int32_t c)
{
    return static_cast<int32_t>((static_cast<int64_t>(x) * c + 16384) >> 15);
}

// One eight-point pass of the fast transform; in and out may alias.
template <typename In, typename Out>
inline void FastPass(const In* x, Out* out, int step)
{
    const int32_t t0 = x[0] + x[7 * step], t7 = x[0] - x[7 * step];
    const int32_t t1 = x[step] + x[6 * step], t6 = x[step] - x[6 * step];
    const int32_t t2 = x[2 * step] + x[5 * step], t5 = x[2 * step] - x[5 * step];
    const int32_t t3 = x[3 * step] + x[4 * step], t4 = x[3 * step] - x[4 * step];

    const int32_t t10 = t0 + t3, t13 = t0 - t3, t11 = t1 + t2, t12 = t1 - t2;
    const int32_t z1 = R15(t12 + t13, 23170);

    const int32_t a = t4 + t5, b = t5 + t6, c = t6 + t7;
    const int32_t z5 = R15(a - c, 12540);
    const int32_t z2 = z5 + R15(a, 17734);
    const int32_t z4 = z5 + R15(c, 42813);
    const int32_t z3 = R15(b, 23170);
    const int32_t z11 = t7 + z3, z13 = t7 - z3;

    out[0] = static_cast<Out>(t10 + t11);
    out[4 * step] = static_cast<Out>(t10 - t11);
    out[2 * step] = static_cast<Out>(t13 + z1);
    out[6 * step] = static_cast<Out>(t13 - z1);
    out[5 * step] = static_cast<Out>(z13 + z2);
    out[3 * step] = static_cast<Out>(z13 - z2);
    out[1 * step] = static_cast<Out>(z11 + z4);
    out[7 * step] = static_cast<Out>(z11 - z4);
}

inline int32_t Round(int64_t value, int64_t half, int shift)
{
    return static_cast<int32_t>((value + half) >> shift);
}

// One eight-point pass of the accurate transform, in place with the given
// stride; the column pass descales by 2^6 (even) and 2^21 (odd products).
inline void AccuratePass(int16_t* x, int step, bool columns)
{
    const int32_t x0 = x[0], x1 = x[step], x2 = x[2 * step], x3 = x[3 * step];
    const int32_t x4 = x[4 * step], x5 = x[5 * step], x6 = x[6 * step], x7 = x[7 * step];

    const int32_t l = x0 + x7, m = x3 + x4, o = x1 + x6, r = x2 + x5;
    const int32_t t = Round(static_cast<int64_t>(x0 - x7) * 46341, 2048, 12);
    const int32_t u = Round(static_cast<int64_t>(x3 - x4) * 46341, 2048, 12);
    const int32_t v = 8 * (x1 + x2 - x5 - x6);
    const int32_t w = v + t;
    const int32_t a = 8 * (x1 + x5 - x2 - x6);
    const int32_t b = a + u;
    const int32_t t2 = t - v;
    const int32_t u2 = u - a;

    const int64_t half = columns ? 1048576 : 2048;
    const int shift = columns ? 21 : 12;
    const int64_t lm = l - m, orr = o - r;

    int32_t out0, out4;
    if (columns) {
        out0 = (l + m + o + r + 32) >> 6;
        out4 = (l + m - o - r + 32) >> 6;
    } else {
        out0 = 8 * (l + m + o + r);
        out4 = 8 * (l + m - o - r);
    }
    x[0] = static_cast<int16_t>(out0);
    x[4 * step] = static_cast<int16_t>(out4);
    x[2 * step] = static_cast<int16_t>(Round(lm * 42813 + orr * 17734, half, shift));
    x[6 * step] = static_cast<int16_t>(Round(lm * 17734 - orr * 42813, half, shift));
    x[1 * step] = static_cast<int16_t>(Round(int64_t{w} * 4017 + int64_t{b} * 799, half, shift));
    x[7 * step] = static_cast<int16_t>(Round(int64_t{w} * 799 - int64_t{b} * 4017, half, shift));
    x[5 * step] = static_cast<int16_t>(Round(int64_t{t2} * 2276 + int64_t{u2} * 3406, half, shift));
    x[3 * step] = static_cast<int16_t>(Round(int64_t{t2} * 3406 - int64_t{u2} * 2276, half, shift));
}

} // namespace

void JpegFdctFast(int16_t* block)
{
    alignas(32) int32_t scratch[64];
    for (int row = 0; row < 8; ++row)
        FastPass(block + row * 8, scratch + row * 8, 1);
    for (int col = 0; col < 8; ++col)
        FastPass(scratch + col, block + col, 8);
}

void JpegFdctAccurate(int16_t* block)
{
    for (int row = 0; row < 8; ++row)
        AccuratePass(block + row * 8, 1, false);
    for (int col = 0; col < 8; ++col)
        AccuratePass(block + col, 8, true);
}

} // namespace thermjpeg
