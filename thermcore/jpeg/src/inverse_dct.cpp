#include "inverse_dct.h"

#include "vector_lanes.h"


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


// The accurate 8x8 comes in two forms with the same results. The wide form
// computes every intermediate in 64 bits and takes any 16-bit input. The
// narrow form works in 32 bits, with each product a 16 x 16 -> 32-bit
// multiply and all eight rows (or columns) of a pass side by side, which the
// compiler runs on vector lanes. With a pass's inputs within -8192..8191 no
// intermediate of either pass, partial sums and rounding terms included,
// reaches 2,006,941,758 in magnitude, so the narrow form is exact there.
// Ordinary image data stays within that range; other values (corrupt
// streams, extreme quantisers) take the wide form for that pass.
constexpr int kNarrowBias = 8192;
constexpr unsigned kNarrowSpan = 16384; // inputs + kNarrowBias lie in 0..kNarrowSpan - 1

inline int16_t WideSample(i64 z) { return Clamp((z + 1048576) >> 21); }

constexpr int32_t kNarrowRounding = 1048576; // half of the final shift's unit

// A sample from a column sum that already holds kNarrowRounding.
inline int16_t NarrowSample(int32_t z)
{
    // |z| < 2^31 leaves the shifted value within +-1024: clamp in 16 bits.
    const int16_t v = static_cast<int16_t>((z >> 21) + 128);
    return v < 0 ? int16_t{0} : v > 255 ? int16_t{255} : v;
}

// A column or row whose inputs 1..7 are zero transforms to x0 everywhere
// (scaled by the pass); the wide form takes that shortcut, which gives the
// same results as the full arithmetic.
template <class T>
inline bool AcZero(const T* p, int stride)
{
    for (int i = 1; i < 8; ++i) {
        if (p[i * stride] != 0)
            return false;
    }
    return true;
}

// True when every coefficient of the block lies within the narrow range:
// biased into 0..kNarrowSpan - 1, no value sets a bit from 14 on.
inline bool InNarrowRange(const int16_t* block)
{
    uint16_t bits = 0;
    for (int i = 0; i < 64; ++i)
        bits = static_cast<uint16_t>(bits | static_cast<uint16_t>(block[i] + kNarrowBias));
    return bits < kNarrowSpan;
}

void AccurateRowsWide(const int16_t* block, int32_t* scratch)
{
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
}

void AccurateColumnsWide(const int32_t* scratch, int16_t* block)
{
    i64 x[8];
    for (int c = 0; c < 8; ++c) {
        if (AcZero(scratch + c, 8)) {
            const int16_t v = WideSample(i64{scratch[c]} * 32768);
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
        block[0 * 8 + c] = WideSample(F + L + O);
        block[7 * 8 + c] = WideSample(L + O - F);
        block[1 * 8 + c] = WideSample(P + H + K);
        block[6 * 8 + c] = WideSample(H + K - P);
        block[2 * 8 + c] = WideSample(Q + H - K);
        block[5 * 8 + c] = WideSample(H - K - Q);
        block[3 * 8 + c] = WideSample(V + L - O);
        block[4 * 8 + c] = WideSample(L - O - V);
    }
}

// The narrow row pass on the transposed block (in[k * 8 + r] is input k of
// row r), all eight rows side by side; output k of row r goes to
// out[k * 8 + r]. 42813 = 32768 + 10045 keeps every factor within 16 bits.
void AccurateRowsNarrow(const int16_t* __restrict in, int32_t* __restrict out)
{
    for (int r = 0; r < 8; ++r) {
        const int16_t x0 = in[r], x1 = in[8 + r], x2 = in[16 + r], x3 = in[24 + r];
        const int16_t x4 = in[32 + r], x5 = in[40 + r], x6 = in[48 + r], x7 = in[56 + r];
        const int32_t f = x1 * 6393 - x7 * 32138;
        const int32_t g = x5 * 27246 - x3 * 18205;
        const int32_t h = x7 * 6393 + x1 * 32138;
        const int32_t l = x5 * 18205 + x3 * 27246;
        const int32_t E = ((f + g + 2048) >> 12) * 5793;
        const int32_t T = ((h + l + 2048) >> 12) * 5793;
        const int32_t Pa = (h - l) + (f - g);
        const int32_t Pb = (h - l) - (f - g);
        // The rounding term rides on the even part.
        const int32_t rr = (x0 - x4) * 32768 + 2048;
        const int32_t u = (x0 + x4) * 32768 + 2048;
        const int32_t w = x2 * 10045 + x2 * 32768 + x6 * 17734;
        const int32_t B = x2 * 17734 - x6 * 10045 - x6 * 32768;
        const int32_t e0 = u + w, e1 = rr + B, e2 = rr - B, e3 = u - w;
        out[r] = (e0 + T) >> 12;
        out[56 + r] = (e0 - T) >> 12;
        out[8 + r] = (e1 + Pa) >> 12;
        out[48 + r] = (e1 - Pa) >> 12;
        out[16 + r] = (e2 + Pb) >> 12;
        out[40 + r] = (e2 - Pb) >> 12;
        out[24 + r] = (e3 + E) >> 12;
        out[32 + r] = (e3 - E) >> 12;
    }
}

// The row outputs in 16 bits, when every one lies within the narrow range.
inline bool NarrowRowOutputs(const int32_t* in, int16_t* n)
{
    uint32_t bits = 0;
    for (int i = 0; i < 64; ++i) {
        bits |= static_cast<uint32_t>(in[i] + kNarrowBias);
        n[i] = static_cast<int16_t>(in[i]);
    }
    return bits < kNarrowSpan;
}

// The narrow column pass on the row outputs in 16 bits (row-major), all
// eight columns side by side; 16-bit inputs make the products 16 x 16 -> 32
// bits.
void AccurateColumnsNarrow(const int16_t* __restrict n, int16_t* __restrict out)
{
    for (int c = 0; c < 8; ++c) {
        const int16_t x0 = n[c], x1 = n[8 + c], x2 = n[16 + c], x3 = n[24 + c];
        const int16_t x4 = n[32 + c], x5 = n[40 + c], x6 = n[48 + c], x7 = n[56 + c];
        const int32_t d = x1 * 32138 + x7 * 6393;
        const int32_t e = x5 * 18205 + x3 * 27246;
        const int32_t F = ((d + e + 2048) >> 12) * 5793;
        const int32_t h1 = x1 * 6393 - x7 * 32138;
        const int32_t h2 = x5 * 27246 - x3 * 18205;
        const int32_t V = ((h1 + h2 + 2048) >> 12) * 5793;
        const int32_t P = (d - e) + (h1 - h2);
        const int32_t Q = (d - e) - (h1 - h2);
        // The rounding term rides on the even part.
        const int32_t L = (x0 + x4) * 32768 + kNarrowRounding;
        const int32_t O = x2 * 10045 + x2 * 32768 + x6 * 17734;
        const int32_t H = (x0 - x4) * 32768 + kNarrowRounding;
        const int32_t K = x2 * 17734 - x6 * 10045 - x6 * 32768;
        const int32_t e0 = L + O, e1 = H + K, e2 = H - K, e3 = L - O;
        out[0 * 8 + c] = NarrowSample(e0 + F);
        out[7 * 8 + c] = NarrowSample(e0 - F);
        out[1 * 8 + c] = NarrowSample(e1 + P);
        out[6 * 8 + c] = NarrowSample(e1 - P);
        out[2 * 8 + c] = NarrowSample(e2 + Q);
        out[5 * 8 + c] = NarrowSample(e2 - Q);
        out[3 * 8 + c] = NarrowSample(e3 + V);
        out[4 * 8 + c] = NarrowSample(e3 - V);
    }
}

// True when every AC term of the block is zero.
inline bool DcOnly(const int16_t* block)
{
    int16_t any = 0;
    for (int i = 1; i < 64; ++i)
        any = static_cast<int16_t>(any | block[i]);
    return any == 0;
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
    if (DcOnly(block)) {
        // Both passes keep a lone DC term flat: 8 x DC after the rows.
        const int16_t v = WideSample(i64{block[0]} * 8 * 32768);
        for (int i = 0; i < 64; ++i)
            block[i] = v;
        return;
    }
    alignas(32) int32_t scratch[64];
    alignas(16) int16_t narrow[64];
    if (InNarrowRange(block)) {
        // The narrow rows run on the transposed block and leave their
        // outputs transposed; transposing back gives the columns' rows.
        alignas(16) int16_t turned[64];
        Transpose8x8(block, turned);
        AccurateRowsNarrow(turned, scratch);
        if (NarrowRowOutputs(scratch, turned)) {
            Transpose8x8(turned, narrow);
            AccurateColumnsNarrow(narrow, block);
            return;
        }
        alignas(32) int32_t rows[64];
        for (int i = 0; i < 64; ++i)
            rows[i] = scratch[(i & 7) * 8 + (i >> 3)];
        AccurateColumnsWide(rows, block);
        return;
    }
    AccurateRowsWide(block, scratch);
    if (NarrowRowOutputs(scratch, narrow))
        AccurateColumnsNarrow(narrow, block);
    else
        AccurateColumnsWide(scratch, block);
}

void JpegDequantIdctAccurate(int16_t* block, const int16_t* multipliers)
{
    for (int i = 0; i < 64; ++i) {
        const uint32_t product = uint32_t{static_cast<uint16_t>(block[i])} * static_cast<uint16_t>(multipliers[i]);
        block[i] = static_cast<int16_t>(static_cast<uint16_t>(product));
    }
    JpegIdctAccurate(block);
}

void JpegDequantIdctAccurate2(int16_t* a, const int16_t* multipliersA, int16_t* b, const int16_t* multipliersB)
{
    JpegDequantIdctAccurate(a, multipliersA);
    JpegDequantIdctAccurate(b, multipliersB);
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
