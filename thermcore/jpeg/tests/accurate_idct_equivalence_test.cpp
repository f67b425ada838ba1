// The accurate 8x8 inverse DCT against a plain 64-bit form of the same
// arithmetic with no shortcut: the kernel's shortcuts (all-zero rows and
// columns, lone DC terms) and its 32-bit form for inputs small enough (and
// any faster form of the kernel) must give the same samples bit for bit,
// on random blocks of every magnitude, at the magnitudes where 32-bit partial
// sums would stop fitting and on coefficients only a corrupt stream carries.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>

#include "inverse_dct.h"

namespace thermjpeg::test {
namespace {

using Block = std::array<int16_t, 64>;

int16_t ClampShift(int64_t z, int shift)
{
    const int64_t v = (z + (int64_t{1} << (shift - 1))) >> shift;
    return static_cast<int16_t>(v < -128 ? 0 : v >= 128 ? 255 : v + 128);
}

// The accurate 8x8 written with every intermediate in 64 bits and no shortcut.
Block Reference(const Block& in)
{
    int64_t s[64];
    for (int r = 0; r < 8; ++r) {
        int64_t x[8];
        for (int i = 0; i < 8; ++i)
            x[i] = in[static_cast<size_t>(r * 8 + i)];
        const int64_t f = x[1] * 6393 - x[7] * 32138, g = x[5] * 27246 - x[3] * 18205;
        const int64_t h = x[7] * 6393 + x[1] * 32138, l = x[5] * 18205 + x[3] * 27246;
        const int64_t E = ((f + g + 2048) >> 12) * 5793, T = ((h + l + 2048) >> 12) * 5793;
        const int64_t Pa = h + f - l - g, Pb = h + g - l - f;
        const int64_t rr = (x[0] - x[4]) * 32768, u = (x[0] + x[4]) * 32768;
        const int64_t w = x[2] * 42813 + x[6] * 17734, B = x[2] * 17734 - x[6] * 42813;
        const int64_t y[8] = {T + u + w, Pa + rr + B, Pb + rr - B, E + u - w,
                              u - w - E, rr - B - Pb, rr + B - Pa, u + w - T};
        for (int i = 0; i < 8; ++i)
            s[r * 8 + i] = static_cast<int32_t>((y[i] + 2048) >> 12);
    }
    Block out{};
    for (int c = 0; c < 8; ++c) {
        int64_t x[8];
        for (int i = 0; i < 8; ++i)
            x[i] = s[i * 8 + c];
        const int64_t d = x[1] * 32138 + x[7] * 6393, e = x[5] * 18205 + x[3] * 27246;
        const int64_t F = ((d + e + 2048) >> 12) * 5793;
        const int64_t h1 = x[1] * 6393 - x[7] * 32138, h2 = x[5] * 27246 - x[3] * 18205;
        const int64_t V = ((h1 + h2 + 2048) >> 12) * 5793;
        const int64_t P = d + h1 - e - h2, Q = d + h2 - e - h1;
        const int64_t L = (x[0] + x[4]) * 32768, H = (x[0] - x[4]) * 32768;
        const int64_t O = x[2] * 42813 + x[6] * 17734, K = x[2] * 17734 - x[6] * 42813;
        const int64_t y[8] = {F + L + O, P + H + K, Q + H - K, V + L - O,
                              L - O - V, H - K - Q, H + K - P, L + O - F};
        for (int i = 0; i < 8; ++i)
            out[static_cast<size_t>(i * 8 + c)] = ClampShift(y[i], 21);
    }
    return out;
}

void ExpectSame(const Block& in, const char* what, int index)
{
    Block got = in;
    JpegIdctAccurate(got.data());
    const Block want = Reference(in);
    ASSERT_EQ(got, want) << what << " #" << index;
}

TEST(AccurateIdctEquivalence, RandomBlocksOfEveryMagnitude)
{
    std::mt19937 random(2026);
    // Magnitudes around where 32-bit partial sums stop fitting (about 7300
    // per input; row outputs that large come from inputs near 912), ordinary
    // images and the whole 16-bit range.
    // The 32-bit form takes inputs of -8192..8191 in either pass (row
    // outputs of that size come from inputs near 1024).
    const int magnitudes[] = {1,    16,   200,  911,  912,  913,   1023,  1024, 1025,
                              2047, 7295, 7296, 7297, 8191, 8192, 8193, 16384, 32767};
    int index = 0;
    for (int magnitude : magnitudes) {
        std::uniform_int_distribution<int> value(-magnitude, magnitude);
        std::uniform_int_distribution<int> density(1, 64);
        for (int n = 0; n < 1500; ++n, ++index) {
            Block b{};
            const int nonZero = density(random);
            for (int k = 0; k < nonZero; ++k)
                b[static_cast<size_t>(random() % 64)] = static_cast<int16_t>(value(random));
            ExpectSame(b, "random", index);
        }
    }
}

TEST(AccurateIdctEquivalence, SignPatternsAtTheLimits)
{
    // Every sign pattern of a row at full magnitude drives each output's
    // linear form to its extreme; repeated down the rows, the column pass
    // sees its largest inputs too.
    const int magnitudes[] = {912, 913, 1023, 1024, 1025, 7296, 7297, 8191, 8192, 8193, 32767};
    for (int magnitude : magnitudes) {
        for (int pattern = 0; pattern < 256; ++pattern) {
            Block row{}, square{}, column{};
            for (int i = 0; i < 8; ++i) {
                const int v = (pattern >> i & 1) ? -magnitude : magnitude;
                row[static_cast<size_t>(i)] = static_cast<int16_t>(v);
                column[static_cast<size_t>(i * 8)] = static_cast<int16_t>(v);
                for (int j = 0; j < 8; ++j)
                    square[static_cast<size_t>(i * 8 + j)] =
                        static_cast<int16_t>((pattern >> j & 1) != (pattern >> i & 1) ? -magnitude : magnitude);
            }
            ExpectSame(row, "row", pattern);
            ExpectSame(square, "square", pattern);
            ExpectSame(column, "column", pattern);
        }
    }
    Block low{}, high{};
    low.fill(-32768);
    high.fill(32767);
    ExpectSame(low, "all -32768", 0);
    ExpectSame(high, "all 32767", 0);
}

TEST(AccurateIdctEquivalence, LoneDcTermsOfEveryValue)
{
    // A block with nothing but its DC term comes out flat; every 16-bit
    // value, the saturating ones included.
    for (int dc = -32768; dc <= 32767; ++dc) {
        Block b{};
        b[0] = static_cast<int16_t>(dc);
        ExpectSame(b, "lone DC", dc);
    }
}

} // namespace
} // namespace thermjpeg::test
