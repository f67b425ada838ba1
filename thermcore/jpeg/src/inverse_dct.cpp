#include "inverse_dct.h"

namespace thermjpeg {
namespace {

using i64 = int64_t;

inline i64 R15(i64 x, i64 c) { return (x * c + 16384) >> 15; }

inline int16_t Clamp(i64 x) { return static_cast<int16_t>(x < -128 ? 0 : x >= 128 ? 255 : x + 128); }

// One eight-point pass of the fast transform.
inline void FastPass(const i64 x[8], i64 y[8])
{
    const i64 e = R15(x[5] + x[7] - x[3] - x[1], 25080);
    const i64 f = R15(x[1] + x[7] - x[5] - x[3], 46341);
    const i64 g = x[1] + x[3] + x[5] + x[7];
    const i64 h = e - R15(x[5] - x[3], 85627);
    const i64 l = R15(x[1] - x[7], 35468) - e - g;
    const i64 a = x[0] + x[4];
    const i64 d = x[0] - x[4];
    const i64 u = x[2] + x[6];
    const i64 v = R15(x[2] - x[6], 46341) - u;
    y[0] = a + u + g;
    y[1] = d + v + l;
    y[2] = d - v + f - l;
    y[3] = a - u - (h + f - l);
    y[4] = a - u + (h + f - l);
    y[5] = d - v - (f - l);
    y[6] = d + v - l;
    y[7] = a + u - g;
}

// Odd and even products of the fast 4x4 pass; row n of the result.
inline void Fast4Pass(const i64 x[8], i64 y[4])
{
    const i64 z = x[5] - x[3];
    const i64 w = x[1] - x[7];
    const i64 c = R15(x[2] - x[6], 46341) / 2; // truncates towards zero
    const i64 hi = (w * 60548 - z * 25080 + 32768) >> 16;
    const i64 k = (z * 60547 + w * 25080 + 32768) >> 16;
    y[0] = x[0] + c + hi;
    y[1] = x[0] + k - c;
    y[2] = x[0] - c - k;
    y[3] = x[0] + c - hi;
}

inline i64 Fast2Odd(const i64 x[8]) { return ((x[1] - x[7]) * 85627 + (x[5] - x[3]) * 35468 + 65536) >> 17; }

// Accurate 4x4 products: t0 + o1, t2 + o2, t2 - o2, t0 - o1 before rounding.
inline void Accurate4Products(const i64 x[8], i64 y[4])
{
    const i64 a = x[0] * 16384;
    const i64 c = x[2] * 15137 - x[6] * 6270;
    const i64 t0 = a + c, t2 = a - c;
    const i64 o1 = x[3] * 7373 + x[1] * 20995 - x[5] * 4926 - x[7] * 4176;
    const i64 o2 = x[5] * 11893 + x[1] * 8697 - x[3] * 17799 - x[7] * 1730;
    y[0] = t0 + o1;
    y[1] = t2 + o2;
    y[2] = t2 - o2;
    y[3] = t0 - o1;
}

inline i64 Accurate2Odd(const i64 x[8]) { return x[5] * 6967 + x[1] * 29692 - x[7] * 5906 - x[3] * 10426; }

// A column or row whose inputs 1..7 are zero transforms to x0 everywhere
// (scaled by the pass); the accurate 8x8 takes that shortcut, which gives
// the same results as the full arithmetic.
template <class T>
inline bool AcZero(const T* p, int stride)
{
    for (int i = 1; i < 8; ++i) {
        if (p[i * stride] != 0)
            return false;
    }
    return true;
}

template <class T>
inline void Column(const T* block, int column, i64 x[8])
{
    for (int i = 0; i < 8; ++i)
        x[i] = block[i * 8 + column];
}

template <class T>
inline void Row(const T* row, i64 x[8])
{
    for (int i = 0; i < 8; ++i)
        x[i] = row[i];
}

} // namespace

void JpegIdctFast(int16_t* block)
{
    i64 x[8], y[8];
    for (int c = 0; c < 8; ++c) {
        Column(block, c, x);
        FastPass(x, y);
        for (int i = 0; i < 8; ++i)
            block[i * 8 + c] = static_cast<int16_t>(y[i]);
    }
    for (int r = 0; r < 8; ++r) {
        int16_t* row = block + r * 8;
        Row(row, x);
        FastPass(x, y);
        for (int i = 0; i < 8; ++i)
            row[i] = Clamp((y[i] + 8) >> 4);
    }
}

void JpegIdctFast4(int16_t* block)
{
    static constexpr int kColumns[] = {0, 1, 2, 3, 5, 6, 7};
    i64 x[8], y[4];
    for (int c : kColumns) {
        Column(block, c, x);
        Fast4Pass(x, y);
        for (int i = 0; i < 4; ++i)
            block[i * 8 + c] = static_cast<int16_t>(y[i]);
    }
    for (int r = 0; r < 4; ++r) {
        int16_t* row = block + r * 8;
        Row(row, x);
        Fast4Pass(x, y);
        for (int i = 0; i < 4; ++i)
            row[i] = Clamp((y[i] + 8) >> 4);
    }
}

void JpegIdctFast2(int16_t* block)
{
    static constexpr int kColumns[] = {0, 1, 3, 5, 7};
    i64 x[8];
    for (int c : kColumns) {
        Column(block, c, x);
        const i64 o = Fast2Odd(x);
        block[c] = static_cast<int16_t>(x[0] + o);
        block[8 + c] = static_cast<int16_t>(x[0] - o);
    }
    for (int r = 0; r < 2; ++r) {
        int16_t* row = block + r * 8;
        Row(row, x);
        const i64 o = Fast2Odd(x);
        row[0] = Clamp((x[0] + o + 8) >> 4);
        row[1] = Clamp((x[0] - o + 8) >> 4);
    }
}

void JpegIdctFast1(int16_t* block)
{
    const int dc = block[0];
    block[0] = static_cast<int16_t>(dc < -2056 ? 0 : dc >= 2040 ? 255 : ((dc + 8) >> 4) + 128);
}

void JpegIdctAccurate(int16_t* block)
{
    alignas(32) int32_t scratch[64];
    i64 x[8];
    for (int r = 0; r < 8; ++r) {
        int32_t* out = scratch + r * 8;
        if (AcZero(block + r * 8, 1)) {
            const int32_t v = block[r * 8] * 8;
            for (int i = 0; i < 8; ++i)
                out[i] = v;
            continue;
        }
        Row(block + r * 8, x);
        const i64 f = x[1] * 6393 - x[7] * 32138;
        const i64 g = x[5] * 27246 - x[3] * 18205;
        const i64 h = x[7] * 6393 + x[1] * 32138;
        const i64 l = x[5] * 18205 + x[3] * 27246;
        const i64 E = ((f + g + 2048) >> 12) * 5793;
        const i64 T = ((h + l + 2048) >> 12) * 5793;
        const i64 Pa = h + f - l - g;
        const i64 Pb = h + g - l - f;
        const i64 rr = (x[0] - x[4]) * 32768;
        const i64 u = (x[0] + x[4]) * 32768;
        const i64 w = x[2] * 42813 + x[6] * 17734;
        const i64 B = x[2] * 17734 - x[6] * 42813;
        const i64 r2 = rr - B;
        const i64 u2 = u - w;
        out[0] = static_cast<int32_t>((T + u + w + 2048) >> 12);
        out[7] = static_cast<int32_t>((u + w - T + 2048) >> 12);
        out[1] = static_cast<int32_t>((Pa + rr + B + 2048) >> 12);
        out[6] = static_cast<int32_t>((rr + B - Pa + 2048) >> 12);
        out[2] = static_cast<int32_t>((Pb + r2 + 2048) >> 12);
        out[5] = static_cast<int32_t>((r2 - Pb + 2048) >> 12);
        out[3] = static_cast<int32_t>((E + u2 + 2048) >> 12);
        out[4] = static_cast<int32_t>((u2 - E + 2048) >> 12);
    }
    auto S = [](i64 z) { return Clamp((z + 1048576) >> 21); };
    for (int c = 0; c < 8; ++c) {
        if (AcZero(scratch + c, 8)) {
            const int16_t v = S(i64{scratch[c]} * 32768);
            for (int i = 0; i < 8; ++i)
                block[i * 8 + c] = v;
            continue;
        }
        Column(scratch, c, x);
        const i64 d = x[1] * 32138 + x[7] * 6393;
        const i64 e = x[5] * 18205 + x[3] * 27246;
        const i64 F = ((d + e + 2048) >> 12) * 5793;
        const i64 h1 = x[1] * 6393 - x[7] * 32138;
        const i64 h2 = x[5] * 27246 - x[3] * 18205;
        const i64 V = ((h1 + h2 + 2048) >> 12) * 5793;
        const i64 P = d + h1 - e - h2;
        const i64 Q = d + h2 - e - h1;
        const i64 L = (x[0] + x[4]) * 32768;
        const i64 O = x[2] * 42813 + x[6] * 17734;
        const i64 H = (x[0] - x[4]) * 32768;
        const i64 K = x[2] * 17734 - x[6] * 42813;
        block[0 * 8 + c] = S(F + L + O);
        block[7 * 8 + c] = S(L + O - F);
        block[1 * 8 + c] = S(P + H + K);
        block[6 * 8 + c] = S(H + K - P);
        block[2 * 8 + c] = S(Q + H - K);
        block[5 * 8 + c] = S(H - K - Q);
        block[3 * 8 + c] = S(V + L - O);
        block[4 * 8 + c] = S(L - O - V);
    }
}

void JpegIdctAccurate4(int16_t* block)
{
    static constexpr int kColumns[] = {0, 1, 2, 3, 5, 6, 7};
    int32_t scratch[4 * 8] = {};
    i64 x[8], y[4];
    for (int c : kColumns) {
        Column(block, c, x);
        if (x[1] == 0 && x[2] == 0 && x[3] == 0 && x[5] == 0 && x[6] == 0 && x[7] == 0) {
            for (int i = 0; i < 4; ++i)
                scratch[i * 8 + c] = static_cast<int32_t>(x[0] * 4);
            continue;
        }
        Accurate4Products(x, y);
        for (int i = 0; i < 4; ++i)
            scratch[i * 8 + c] = static_cast<int32_t>((y[i] + 2048) >> 12);
    }
    for (int r = 0; r < 4; ++r) {
        Row(scratch + r * 8, x);
        int16_t* out = block + r * 8;
        if (x[1] == 0 && x[2] == 0 && x[3] == 0 && x[5] == 0 && x[6] == 0 && x[7] == 0) {
            const int16_t v = Clamp((x[0] + 16) >> 5);
            for (int i = 0; i < 4; ++i)
                out[i] = v;
            continue;
        }
        Accurate4Products(x, y);
        for (int i = 0; i < 4; ++i)
            out[i] = Clamp((y[i] + 262144) >> 19);
    }
}

void JpegIdctAccurate2(int16_t* block)
{
    static constexpr int kColumns[] = {0, 1, 3, 5, 7};
    int32_t scratch[2 * 8] = {};
    i64 x[8];
    for (int c : kColumns) {
        Column(block, c, x);
        if (x[1] == 0 && x[3] == 0 && x[5] == 0 && x[7] == 0) {
            scratch[c] = scratch[8 + c] = static_cast<int32_t>(x[0] * 4);
            continue;
        }
        const i64 o = Accurate2Odd(x);
        scratch[c] = static_cast<int32_t>((x[0] * 32768 + o + 4096) >> 13);
        scratch[8 + c] = static_cast<int32_t>((x[0] * 32768 - o + 4096) >> 13);
    }
    for (int r = 0; r < 2; ++r) {
        Row(scratch + r * 8, x);
        int16_t* out = block + r * 8;
        if (x[1] == 0 && x[3] == 0 && x[5] == 0 && x[7] == 0) {
            out[0] = out[1] = Clamp((x[0] + 16) >> 5);
            continue;
        }
        const i64 o = Accurate2Odd(x);
        out[0] = Clamp((x[0] * 32768 + o + 524288) >> 20);
        out[1] = Clamp((x[0] * 32768 - o + 524288) >> 20);
    }
}

void JpegIdctAccurate1(int16_t* block)
{
    const int dc = block[0];
    block[0] = static_cast<int16_t>(dc < -1028 ? 0 : dc >= 1020 ? 255 : ((dc + 4) >> 3) + 128);
}

} // namespace thermjpeg
