// Inverse DCTs and dequantisation: flat blocks, saturation bounds, the
// accurate 8x8 against a double-precision inverse DCT, the reduced forms
// against the double-precision transform averaged over their boxes, and
// extreme coefficients (the sanitizers watch for overflow).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

#include "dequantize.h"
#include "inverse_dct.h"
#include "zigzag.h"

namespace thermjpeg::test {
namespace {

using Block = std::array<int16_t, 64>;
using Transform = void (*)(int16_t*);

struct Form {
    const char* name;
    Transform transform;
    int size; // output N x N
    bool fast;
};

const Form kForms[] = {
    {"fast 8x8", JpegIdctFast, 8, true},          {"fast 4x4", JpegIdctFast4, 4, true},
    {"fast 2x2", JpegIdctFast2, 2, true},         {"fast 1x1", JpegIdctFast1, 1, true},
    {"accurate 8x8", JpegIdctAccurate, 8, false}, {"accurate 4x4", JpegIdctAccurate4, 4, false},
    {"accurate 2x2", JpegIdctAccurate2, 2, false}, {"accurate 1x1", JpegIdctAccurate1, 1, false},
};

// Unrounded samples (before the level shift) of the T.81 inverse DCT.
std::array<double, 64> ReferenceIdct(const std::array<double, 64>& f)
{
    // basis[x][u] = C(u) cos((2x + 1) u pi / 16) / 2
    static const auto basis = [] {
        std::array<std::array<double, 8>, 8> b{};
        const double pi = std::acos(-1.0);
        for (int x = 0; x < 8; ++x) {
            for (int u = 0; u < 8; ++u)
                b[x][u] = (u == 0 ? std::sqrt(0.5) : 1.0) * std::cos((2 * x + 1) * u * pi / 16) / 2;
        }
        return b;
    }();
    std::array<double, 64> rows{}, out{};
    for (int v = 0; v < 8; ++v) { // along each row of coefficients
        for (int x = 0; x < 8; ++x) {
            double sum = 0;
            for (int u = 0; u < 8; ++u)
                sum += basis[x][u] * f[static_cast<size_t>(v * 8 + u)];
            rows[static_cast<size_t>(v * 8 + x)] = sum;
        }
    }
    for (int x = 0; x < 8; ++x) {
        for (int y = 0; y < 8; ++y) {
            double sum = 0;
            for (int v = 0; v < 8; ++v)
                sum += basis[y][v] * rows[static_cast<size_t>(v * 8 + x)];
            out[static_cast<size_t>(y * 8 + x)] = sum;
        }
    }
    return out;
}

// The reduced N x N result: the reference averaged over (8/N)^2 boxes,
// shifted, rounded and clamped.
int ReferenceSample(const std::array<double, 64>& samples, int n, int row, int column)
{
    const int box = 8 / n;
    double sum = 0;
    for (int y = 0; y < box; ++y) {
        for (int x = 0; x < box; ++x)
            sum += samples[static_cast<size_t>((row * box + y) * 8 + column * box + x)];
    }
    const double v = std::floor(sum / (box * box) + 128.5);
    return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v);
}

// Random quantised coefficients (zig-zag order) with a quantisation table,
// dequantised for the form's family.
struct TestBlock {
    Block input;                   // dequantised, for the transform
    std::array<double, 64> exact;  // true coefficients, natural order
};

TestBlock MakeBlock(std::mt19937& random, bool fast)
{
    uint16_t q[64];
    int16_t coefficients[64] = {};
    for (int k = 0; k < 64; ++k) {
        q[k] = static_cast<uint16_t>(1 + random() % (k == 0 ? 16 : 40));
        const int limit = k == 0 ? 1024 / q[k] : k < 10 ? 400 / q[k] + 1 : 60 / q[k] + 1;
        if (k == 0 || random() % 3 == 0)
            coefficients[kZigzag[k]] = static_cast<int16_t>(static_cast<int>(random() % (2 * limit + 1)) - limit);
    }
    TestBlock b;
    int32_t table[kDequantTableSize];
    if (fast)
        JpegPrepareDequantFast(q, table);
    else
        JpegPrepareDequantAccurate(q, table);
    for (int i = 0; i < 64; ++i)
        b.input[static_cast<size_t>(i)] = coefficients[i];
    (fast ? JpegDequantizeFast : JpegDequantize)(b.input.data(), table);
    for (int k = 0; k < 64; ++k)
        b.exact[kZigzag[k]] = static_cast<double>(coefficients[kZigzag[k]]) * q[k];
    return b;
}

TEST(InverseDct, DcOnlyBlocksAreFlat)
{
    // A true DC of 80 is 138 everywhere; the fast family's input carries
    // twice the coefficient (2 s(0) s(0)).
    for (const Form& form : kForms) {
        SCOPED_TRACE(form.name);
        Block block{};
        block[0] = static_cast<int16_t>(form.fast ? 160 : 80);
        form.transform(block.data());
        for (int y = 0; y < form.size; ++y) {
            for (int x = 0; x < form.size; ++x)
                ASSERT_EQ(block[static_cast<size_t>(y * 8 + x)], 138) << y << "," << x;
        }
    }
}

TEST(InverseDct, OneByOneSaturatesAtItsBounds)
{
    const struct {
        Transform transform;
        int dc, expected;
    } cases[] = {
        {JpegIdctFast1, -32768, 0},  {JpegIdctFast1, -2057, 0},     {JpegIdctFast1, -2056, 0},
        {JpegIdctFast1, -2040, 1},   {JpegIdctFast1, 0, 128},       {JpegIdctFast1, 2039, 255},
        {JpegIdctFast1, 2040, 255},  {JpegIdctFast1, 32767, 255},   {JpegIdctAccurate1, -32768, 0},
        {JpegIdctAccurate1, -1029, 0}, {JpegIdctAccurate1, -1028, 0}, {JpegIdctAccurate1, -1020, 1},
        {JpegIdctAccurate1, 4, 129}, {JpegIdctAccurate1, 1019, 255}, {JpegIdctAccurate1, 1020, 255},
        {JpegIdctAccurate1, 32767, 255},
    };
    for (const auto& c : cases) {
        int16_t block[64] = {};
        block[0] = static_cast<int16_t>(c.dc);
        c.transform(block);
        EXPECT_EQ(block[0], c.expected) << (c.transform == JpegIdctFast1 ? "fast " : "accurate ") << c.dc;
    }
}

// R15(x2 - x6, 46341) is halved towards zero: 3 gives 1 and -3 gives -1
// (an arithmetic shift would give -2 and the samples 128 at the edges).
TEST(InverseDct, FastFourByFourHalvesTowardsZero)
{
    for (int x2 : {2, -2}) {
        SCOPED_TRACE(x2);
        Block block{};
        block[0] = 9;
        block[2] = static_cast<int16_t>(x2); // row 0, column 2: R15 gives +-3
        JpegIdctFast4(block.data());
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(block[static_cast<size_t>(y * 8 + x)], 129) << y << "," << x;
        }
    }
}

// The accurate 8x8 stays within 1 of the double-precision transform; every
// form's largest error against its double-precision counterpart is
// reported and bounded.
TEST(InverseDct, AgainstDoublePrecision)
{
    for (const Form& form : kForms) {
        std::mt19937 random(form.size * 10 + form.fast);
        int largest = 0;
        for (int i = 0; i < 2000; ++i) {
            TestBlock b = MakeBlock(random, form.fast);
            const auto samples = ReferenceIdct(b.exact);
            form.transform(b.input.data());
            for (int y = 0; y < form.size; ++y) {
                for (int x = 0; x < form.size; ++x) {
                    const int error = std::abs(b.input[static_cast<size_t>(y * 8 + x)] -
                                               ReferenceSample(samples, form.size, y, x));
                    largest = std::max(largest, error);
                }
            }
        }
        RecordProperty(std::string("largest_error_") + (form.fast ? "fast" : "accurate") + std::to_string(form.size),
                       largest);
        std::printf("%-13s largest error %d\n", form.name, largest);
        EXPECT_LE(largest, form.fast && form.size == 8 ? 2 : 1) << form.name;
    }
}

// The largest 16-bit coefficients with the largest multipliers through
// every dequantiser and transform: defined arithmetic, samples 0..255.
TEST(InverseDct, ExtremeCoefficientsStayDefined)
{
    uint16_t q[64];
    for (auto& v : q)
        v = 255;
    int32_t fastTable[kDequantTableSize], accurateTable[kDequantTableSize];
    JpegPrepareDequantFast(q, fastTable);
    uint16_t q16[64];
    for (auto& v : q16)
        v = 65535;
    JpegPrepareDequantAccurate(q16, accurateTable);
    EXPECT_GT(*std::max_element(fastTable, fastTable + 64), 125000);

    const int16_t patterns[][2] = {{32767, 32767}, {-32768, -32768}, {32767, -32768}, {-32768, 32767}};
    for (const auto& pattern : patterns) {
        for (const Form& form : kForms) {
            for (int dequantise = 0; dequantise < 2; ++dequantise) {
                Block block;
                for (int i = 0; i < 64; ++i)
                    block[static_cast<size_t>(i)] = pattern[(i + i / 8) % 2];
                if (dequantise)
                    (form.fast ? JpegDequantizeFast : JpegDequantize)(block.data(), form.fast ? fastTable : accurateTable);
                form.transform(block.data());
                for (int y = 0; y < form.size; ++y) {
                    for (int x = 0; x < form.size; ++x) {
                        const int v = block[static_cast<size_t>(y * 8 + x)];
                        ASSERT_TRUE(v >= 0 && v <= 255) << form.name;
                    }
                }
            }
        }
    }
}

TEST(Dequantisation, TablesHoldTheirMultipliersAndSixteenZeros)
{
    uint16_t q[64];
    for (int k = 0; k < 64; ++k)
        q[k] = static_cast<uint16_t>(k + 1);
    int32_t table[kDequantTableSize];
    for (auto& v : table)
        v = -1;
    JpegPrepareDequantAccurate(q, table);
    EXPECT_EQ(table[0], 1);
    EXPECT_EQ(table[kZigzag[4]], 5);
    EXPECT_EQ(table[63], 64);
    for (int i = 64; i < kDequantTableSize; ++i)
        EXPECT_EQ(table[i], 0);

    for (auto& v : table)
        v = -1;
    q[0] = 16;
    q[4] = 255; // zig-zag 4 has the largest scale, 0.240485
    JpegPrepareDequantFast(q, table);
    EXPECT_EQ(table[0], 4096);           // 16 x 0.125 x 2048
    EXPECT_EQ(table[kZigzag[4]], 125591); // truncate(255 x 0.240485 x 2048 + 0.5)
    for (int i = 64; i < kDequantTableSize; ++i)
        EXPECT_EQ(table[i], 0);

    // The fast product needs more than 32 bits: 32767 x 125591.
    int16_t block[64] = {};
    block[kZigzag[4]] = 100;
    JpegDequantizeFast(block, table);
    EXPECT_EQ(block[kZigzag[4]], static_cast<int16_t>((100 * 125591 + 64) >> 7));
}

} // namespace
} // namespace thermjpeg::test
