// The processor kernels against the generic kernels they stand in for, over
// random inputs with fixed seeds and the edge inputs that show a fault:
// identical results where the forms promise them, else the stated bounds.
// Pixel buffers have the exact size of the MCU they hold, so an over-read or
// over-write shows under ASan.
#include <gtest/gtest.h>

#if defined(__x86_64__)

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bit_output.h"
#include "default_tables.h"
#include "dequantize.h"
#include "forward_dct.h"
#include "huffman_decoder.h"
#include "huffman_encoder.h"
#include "inverse_dct.h"
#include "kernel_table.h"
#include "pixel_writers.h"
#include "quantize.h"
#include "sample_converters.h"
#include "simd_entropy_encoder.h"
#include "simd_huffman_decoder.h"
#include "simd_pixel_writers.h"
#include "simd_sample_converters.h"
#include "avx2_transforms.h"
#include "simd_transforms.h"
#include "test_support.h"
#include "zigzag.h"

namespace thermjpeg::test {
namespace {

using Block = std::vector<int16_t>;

// The orthonormal 8x8 DCT in double precision.
struct ExactDct {
    double c[8][8];
    ExactDct()
    {
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x)
                c[u][x] = (u == 0 ? std::sqrt(0.125) : 0.5) * std::cos((2 * x + 1) * u * M_PI / 16);
    }
    double Forward(const Block& f, int u, int v) const
    {
        double s = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                s += c[u][y] * c[v][x] * f[y * 8 + x];
        return s;
    }
    double Inverse(const Block& f, int y, int x) const
    {
        double s = 0;
        for (int u = 0; u < 8; ++u)
            for (int v = 0; v < 8; ++v)
                s += c[u][y] * c[v][x] * f[u * 8 + v];
        return s;
    }
};

// Sample blocks: uniform noise, extremes, ramps, flat areas with an edge.
Block SampleBlock(std::mt19937& rng, int kind)
{
    Block b(64);
    const int level = static_cast<int>(rng() % 256) - 128;
    for (int i = 0; i < 64; ++i) {
        int v = 0;
        switch (kind % 4) {
        case 0: v = static_cast<int>(rng() % 256) - 128; break;
        case 1: v = (rng() & 1) ? 127 : -128; break;
        case 2: v = (i % 8) * 32 + (i / 8) * 4 - 128 + static_cast<int>(rng() % 5); break;
        default: v = (i % 8) < 3 ? level : -level; break;
        }
        b[i] = static_cast<int16_t>(std::clamp(v, -128, 127));
    }
    return b;
}

TEST(SimdTransforms, AccurateForwardStaysWithinOneOfTheGenericAndTheExactTransform)
{
    const ExactDct dct;
    std::mt19937 rng(11);
    int worstGeneric = 0, worstExact = 0;
    for (int n = 0; n < 4000; ++n) {
        const Block input = SampleBlock(rng, n);
        Block generic = input, simd = input;
        JpegFdctAccurate(generic.data());
        JpegSse2FdctAccurate(simd.data());
        for (int i = 0; i < 64; ++i) {
            worstGeneric = std::max(worstGeneric, std::abs(generic[i] - simd[i]));
            const double exact = dct.Forward(input, i / 8, i % 8);
            worstExact = std::max(worstExact, static_cast<int>(std::ceil(std::fabs(simd[i] - exact) - 0.5)));
        }
    }
    EXPECT_LE(worstGeneric, 1);
    EXPECT_LE(worstExact, 1);

    // A constant block gives DC 8 v and nothing else; zeros stay zeros.
    for (int v : {-128, -77, -1, 0, 1, 64, 127}) {
        Block b(64, static_cast<int16_t>(v));
        JpegSse2FdctAccurate(b.data());
        EXPECT_EQ(b[0], 8 * v) << v;
        for (int i = 1; i < 64; ++i)
            ASSERT_EQ(b[i], 0) << v << " at " << i;
    }
}

// The processor's accurate forward transform is its own integer arithmetic,
// exactly: columns then rows through K = sqrt(8) D x 16384 (rounded), each
// pass rounding its sums, by 2^11 and by 2^20. The extremes put the row
// pass's sums and differences of sums at their limits (every column
// -128 or 127, alternating by column pairs or by halves).
TEST(SimdTransforms, AccurateForwardIsItsOwnIntegerArithmetic)
{
    int64_t k[8][8];
    for (int u = 0; u < 8; ++u)
        for (int x = 0; x < 8; ++x)
            k[u][x] = std::lround(16384 * std::sqrt(8.0) * (u == 0 ? std::sqrt(0.125) : 0.5) *
                                  std::cos((2 * x + 1) * u * M_PI / 16));
    auto model = [&](const Block& in) {
        int64_t columns[8][8];
        for (int v = 0; v < 8; ++v)
            for (int x = 0; x < 8; ++x) {
                int64_t sum = 1 << 10;
                for (int y = 0; y < 8; ++y)
                    sum += k[v][y] * in[y * 8 + x];
                columns[v][x] = sum >> 11;
            }
        Block out(64);
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u) {
                int64_t sum = 1 << 19;
                for (int x = 0; x < 8; ++x)
                    sum += k[u][x] * columns[v][x];
                out[v * 8 + u] = static_cast<int16_t>(sum >> 20);
            }
        return out;
    };
    std::vector<Block> inputs;
    std::mt19937 rng(13);
    for (int n = 0; n < 4000; ++n)
        inputs.push_back(SampleBlock(rng, n));
    for (int pattern : {0x00, 0xFF, 0x0F, 0xF0, 0x33, 0xCC, 0x55, 0xAA, 0x3C, 0xC3})
        for (int rows : {0x00, 0xFF, 0x0F, 0xAA}) {
            Block b(64);
            for (int i = 0; i < 64; ++i)
                b[i] = static_cast<int16_t>(((pattern >> (i % 8)) ^ (rows >> (i / 8))) & 1 ? 127 : -128);
            inputs.push_back(b);
        }
    for (const Block& input : inputs) {
        Block simd = input;
        JpegSse2FdctAccurate(simd.data());
        ASSERT_EQ(simd, model(input));
    }
}

TEST(SimdTransforms, AccurateInverseStaysWithinOneOfTheExactTransform)
{
    const ExactDct dct;
    std::mt19937 rng(12);
    int worst = 0;
    for (int n = 0; n < 4000; ++n) {
        // Coefficients as a decoder meets them: a transformed block,
        // quantised and dequantised with steps 1..24.
        Block coefficients = SampleBlock(rng, n);
        JpegFdctAccurate(coefficients.data());
        for (auto& c : coefficients) {
            const int q = 1 + static_cast<int>(rng() % 24);
            c = static_cast<int16_t>(c / q * q);
        }
        Block simd = coefficients;
        JpegSse2IdctAccurate(simd.data());
        for (int i = 0; i < 64; ++i) {
            const double exact = std::clamp(dct.Inverse(coefficients, i / 8, i % 8) + 128, 0.0, 255.0);
            worst = std::max(worst, static_cast<int>(std::ceil(std::fabs(simd[i] - exact) - 1e-9)));
        }
    }
    EXPECT_LE(worst, 1);
}

TEST(SimdTransforms, AccurateInverseEdgeBlocks)
{
    // DC only: exact halves round up on lines 0, 1 and 5, down elsewhere;
    // large coefficients saturate; hostile ones stay inside 0..255.
    const struct {
        int16_t dc;
        int onUpLines, onOtherLines;
    } cases[] = {{0, 128, 128},       {4, 129, 128},      {-4, 128, 127},        {8, 129, 129},
                 {3000, 255, 255},    {-3000, 0, 0},      {32767, 255, 255},     {-32768, 0, 0}};
    for (const auto& c : cases) {
        Block b(64, 0);
        b[0] = c.dc;
        JpegSse2IdctAccurate(b.data());
        for (int i = 0; i < 64; ++i) {
            const int line = i / 8;
            const bool up = line == 0 || line == 1 || line == 5;
            ASSERT_EQ(b[i], up ? c.onUpLines : c.onOtherLines) << "DC " << c.dc << " at " << i;
        }
    }
    std::mt19937 rng(13);
    for (int n = 0; n < 200; ++n) {
        Block b(64);
        for (auto& v : b)
            v = static_cast<int16_t>(rng());
        JpegSse2IdctAccurate(b.data());
        for (int v : b)
            ASSERT_TRUE(v >= 0 && v <= 255);
    }
}

// The fast forms against the generic ones.
TEST(SimdTransforms, FastFormsStayWithinTheirBoundsOfTheGenericForms)
{
    std::mt19937 rng(15);
    int worstForward = 0, worstInverse = 0;
    for (int n = 0; n < 4000; ++n) {
        const Block input = SampleBlock(rng, n);
        Block generic = input, simd = input;
        JpegFdctFast(generic.data());
        JpegMmxFdctFast(simd.data());
        for (int i = 0; i < 64; ++i)
            worstForward = std::max(worstForward, std::abs(generic[i] - simd[i]));

        // A decoder's input: accurate coefficients, quantised with steps
        // 1..32, through the fast dequantiser.
        Block coefficients = input;
        JpegFdctAccurate(coefficients.data());
        uint16_t steps[64];
        for (auto& q : steps)
            q = static_cast<uint16_t>(1 + rng() % 32);
        for (int k = 0; k < 64; ++k) {
            int16_t& c = coefficients[kZigzag[k]];
            c = static_cast<int16_t>(std::lround(static_cast<double>(c) / steps[k]));
        }
        int32_t table[80];
        JpegPrepareDequantFast(steps, table);
        JpegDequantizeFast(coefficients.data(), table);
        Block inverseGeneric = coefficients, inverseSimd = coefficients;
        JpegIdctFast(inverseGeneric.data());
        JpegMmxIdctFast(inverseSimd.data());
        for (int i = 0; i < 64; ++i)
            worstInverse = std::max(worstInverse, std::abs(inverseGeneric[i] - inverseSimd[i]));
    }
    EXPECT_EQ(worstForward, 0); // same constants and rounding as the generic form
    EXPECT_LE(worstInverse, 2);

    // Zeros stay zeros forward and give 128 inverse; a lone DC loses the
    // generic form's +8 before the shift (16 gives 129 in both, 8 only in
    // the generic form); a constant block v gives DC 64 v forward.
    const struct {
        int16_t dc;
        int simd, generic;
    } inverseCases[] = {{0, 128, 128}, {16, 129, 129}, {8, 128, 129}, {-8, 127, 128}, {4000, 255, 255}, {-4000, 0, 0}};
    for (const auto& c : inverseCases) {
        Block simd(64, 0), generic(64, 0);
        simd[0] = generic[0] = c.dc;
        JpegMmxIdctFast(simd.data());
        JpegIdctFast(generic.data());
        EXPECT_EQ(simd, Block(64, static_cast<int16_t>(c.simd))) << "DC " << c.dc;
        EXPECT_EQ(generic, Block(64, static_cast<int16_t>(c.generic))) << "DC " << c.dc;
    }
    for (int v : {-128, 0, 1, 127}) {
        Block b(64, static_cast<int16_t>(v));
        JpegMmxFdctFast(b.data());
        Block expected(64, 0);
        expected[0] = static_cast<int16_t>(64 * v);
        EXPECT_EQ(b, expected) << v;
    }
}

TEST(SimdQuantizers, EqualTheGenericFormsInTheirRanges)
{
    std::mt19937 rng(14);
    uint16_t m[64];
    for (int n = 0; n < 3000; ++n) {
        Block c(64);
        // Signed multipliers (the fast table) and coefficients in -8192..8191.
        for (int i = 0; i < 64; ++i) {
            m[i] = static_cast<uint16_t>(1 + rng() % 32767);
            c[i] = static_cast<int16_t>(static_cast<int>(rng() % 16384) - 8192);
        }
        Block generic = c, simd = c;
        JpegQuantize(generic.data(), m);
        JpegMmxQuantize(simd.data(), m);
        ASSERT_EQ(simd, generic);

        // Even unsigned multipliers up to 65534, coefficients in -4096..4095.
        for (int i = 0; i < 64; ++i) {
            m[i] = static_cast<uint16_t>((rng() % 65535) & ~1u);
            c[i] = static_cast<int16_t>(static_cast<int>(rng() % 8192) - 4096);
        }
        generic = c, simd = c;
        JpegQuantizeUnsigned(generic.data(), m);
        JpegSse2QuantizeUnsigned(simd.data(), m);
        ASSERT_EQ(simd, generic);
    }

    // Outside its range the signed form clamps first; the unsigned form
    // drops the multiplier's lowest bit.
    const struct {
        bool isSigned;
        int16_t c;
        uint16_t m;
        int16_t expected;
    } cases[] = {
        {true, 9000, 16384, 4096},   // as 8191: (8191 x 16384 + 2^14) >> 15
        {true, -9000, 16384, -4096}, // as -8192
        {true, 32767, 1, 0},
        {false, 4000, 5, 0},  // the generic form gives 1
        {false, 4000, 4, 0},
        {false, 4095, 32768, 4095},
        {false, -4096, 65535, -8192}, // as 65534
    };
    for (const auto& k : cases) {
        Block b(64, 0);
        std::fill(m, m + 64, k.m);
        b[5] = k.c;
        (k.isSigned ? JpegMmxQuantize : JpegSse2QuantizeUnsigned)(b.data(), m);
        EXPECT_EQ(b[5], k.expected) << k.c << " x " << k.m;
    }
}

TEST(SimdQuantizers, DequantizeKeepsTheLow16BitsAsTheGenericForm)
{
    std::mt19937 rng(15);
    std::vector<int32_t> table(kDequantTableSize);
    for (int n = 0; n < 2000; ++n) {
        Block c(64);
        for (int i = 0; i < 64; ++i) {
            table[i] = n % 2 ? static_cast<int32_t>(rng() % 256) : static_cast<int32_t>(rng() % 200000) - 100000;
            c[i] = static_cast<int16_t>(rng());
        }
        Block generic = c, simd = c;
        JpegDequantize(generic.data(), table.data());
        JpegSse2Dequantize(simd.data(), table.data());
        ASSERT_EQ(simd, generic);
    }
}

// Dequantisation inside the accurate inverse transform, one block or two at
// once (AVX2 when the processor has it): the same samples as the separate
// dequantiser followed by the transform, for blocks with only a DC term, low
// frequencies only, random 16-bit values, and every pairing of these.
TEST(SimdTransforms, DequantisingTransformsEqualTheTwoSteps)
{
    std::mt19937 rng(16);
    auto makeBlock = [&](int kind) {
        Block c(64, 0);
        const int extent = kind == 0 ? 1 : kind == 1 ? 3 : 8;
        for (int y = 0; y < extent; ++y)
            for (int x = 0; x < extent; ++x)
                c[y * 8 + x] = kind == 2 || rng() % 4 == 0 ? static_cast<int16_t>(rng())
                                                           : static_cast<int16_t>(int(rng() % 61) - 30);
        return c;
    };
    auto makeTable = [&](int n) {
        std::vector<int32_t> table(kDequantTableSize, 0);
        std::vector<int16_t> low(64);
        for (int i = 0; i < 64; ++i) {
            table[i] = n % 3 == 0 ? 1 + static_cast<int32_t>(rng() % 255) : 1 + static_cast<int32_t>(rng() % 65535);
            low[i] = static_cast<int16_t>(static_cast<uint16_t>(table[i]));
        }
        return std::pair{table, low};
    };
    for (int n = 0; n < 900; ++n) {
        const auto [tableA, lowA] = makeTable(n);
        const auto [tableB, lowB] = makeTable(n + 1);
        const Block a = makeBlock(n % 3), b = makeBlock(n / 3 % 3);
        Block expectA = a, expectB = b;
        JpegSse2Dequantize(expectA.data(), tableA.data());
        JpegSse2IdctAccurate(expectA.data());
        JpegSse2Dequantize(expectB.data(), tableB.data());
        JpegSse2IdctAccurate(expectB.data());

        Block single = a;
        JpegSse2DequantIdctAccurate(single.data(), lowA.data());
        ASSERT_EQ(single, expectA) << n;
        Block genericA = a, genericB = b, generic = a;
        JpegDequantize(generic.data(), tableA.data());
        JpegIdctAccurate(generic.data());
        JpegDequantIdctAccurate2(genericA.data(), lowA.data(), genericB.data(), lowB.data());
        ASSERT_EQ(genericA, generic) << n;
        Block pairA = a, pairB = b;
        JpegSse2DequantIdctAccurate2(pairA.data(), lowA.data(), pairB.data(), lowB.data());
        ASSERT_EQ(pairA, expectA) << n;
        ASSERT_EQ(pairB, expectB) << n;
        if (JpegHaveAvx2()) {
            Block wideA = a, wideB = b;
            JpegAvx2DequantIdctAccurate2(wideA.data(), lowA.data(), wideB.data(), lowB.data());
            ASSERT_EQ(wideA, expectA) << n;
            ASSERT_EQ(wideB, expectB) << n;
        }
    }
}

// An MCU of pixels in a buffer that ends with its last pixel byte.
struct PixelMcu {
    std::vector<uint8_t> bytes;
    ptrdiff_t stride;
    PixelMcu(int rowBytes, int rows, int padding) : stride(rowBytes + padding)
    {
        bytes.resize(static_cast<size_t>(stride) * (rows - 1) + rowBytes);
    }
};

TEST(SimdSampleConverters, EveryEntryWritesTheGenericBlocks)
{
    const struct {
        const char* name;
        SampleConverter simd, generic;
        int width, height, bytesPerPixel, blocks;
    } entries[] = {
        {"gray", JpegMmxSamplesGray, JpegSamplesGray, 8, 8, 1, 1},
        {"rgb", JpegMmxSamplesRgb, JpegSamplesRgb, 8, 8, 3, 3},
        {"bgr", JpegMmxSamplesBgr, JpegSamplesBgr, 8, 8, 3, 3},
        {"rgb 2x1", JpegMmxSamplesRgbH2V1, JpegSamplesRgbH2V1, 16, 8, 3, 4},
        {"bgr 2x1", JpegMmxSamplesBgrH2V1, JpegSamplesBgrH2V1, 16, 8, 3, 4},
        {"rgb 2x2", JpegMmxSamplesRgbH2V2, JpegSamplesRgbH2V2, 16, 16, 3, 6},
        {"bgr 2x2", JpegMmxSamplesBgrH2V2, JpegSamplesBgrH2V2, 16, 16, 3, 6},
        {"packed", JpegSseSamplesYcbycr, JpegSamplesYcbycr, 16, 8, 2, 4},
        {"complemented", JpegMmxSamplesInvRgbA, JpegSamplesInvRgbA, 8, 8, 4, 4},
        {"complemented 2x1", JpegMmxSamplesInvRgbAH2V1, JpegSamplesInvRgbAH2V1, 16, 8, 4, 6},
        {"complemented 2x2", JpegMmxSamplesInvRgbAH2V2, JpegSamplesInvRgbAH2V2, 16, 16, 4, 10},
    };
    std::mt19937 rng(16);
    for (const auto& e : entries) {
        for (int n = 0; n < 300; ++n) {
            PixelMcu mcu(e.width * e.bytesPerPixel, e.height, static_cast<int>(n % 3) * 7);
            const int kind = n % 4; // noise, all 0, all 255, two-level
            for (auto& b : mcu.bytes)
                b = kind == 0 ? static_cast<uint8_t>(rng()) : kind == 1 ? 0 : kind == 2 ? 255 : (rng() & 1) * 255;
            std::vector<int16_t> generic(static_cast<size_t>(e.blocks) * 64, 0x5555), simd = generic;
            e.generic(mcu.bytes.data(), mcu.stride, generic.data());
            e.simd(mcu.bytes.data(), mcu.stride, simd.data());
            ASSERT_EQ(simd, generic) << e.name << " MCU " << n;
        }
    }

    // White gives Y 127 and neutral chroma in all four quarters of a 2x2 MCU.
    PixelMcu white(48, 16, 0);
    std::fill(white.bytes.begin(), white.bytes.end(), 255);
    std::vector<int16_t> blocks(6 * 64);
    JpegMmxSamplesRgbH2V2(white.bytes.data(), white.stride, blocks.data());
    for (int i = 0; i < 6 * 64; ++i)
        ASSERT_EQ(blocks[i], i < 256 ? 127 : 0) << i;

    // A complemented pixel (0, 0, 0, k) converts as white, with k - 128 in
    // the fourth component's blocks, in every layout.
    for (const auto& e : entries) {
        if (e.bytesPerPixel != 4)
            continue;
        PixelMcu dark(e.width * 4, e.height, 0);
        for (size_t i = 0; i < dark.bytes.size(); ++i)
            dark.bytes[i] = i % 4 == 3 ? 200 : 0;
        const int luma = e.blocks / 2 - 1; // 1, 2 or 4 luminance blocks
        blocks.assign(static_cast<size_t>(e.blocks) * 64, 0x5555);
        e.simd(dark.bytes.data(), dark.stride, blocks.data());
        for (int i = 0; i < e.blocks * 64; ++i) {
            const int block = i / 64;
            const int expected = block < luma ? 127 : block < luma + 2 ? 0 : 200 - 128;
            ASSERT_EQ(blocks[i], expected) << e.name << " at " << i;
        }
    }

    // A packed pair Y0 0, Cb 255, Y1 128, Cr 1.
    PixelMcu packed(32, 8, 0);
    for (size_t i = 0; i < packed.bytes.size(); i += 4) {
        const uint8_t pair[4] = {0, 255, 128, 1};
        std::memcpy(&packed.bytes[i], pair, 4);
    }
    blocks.assign(4 * 64, 0);
    JpegSseSamplesYcbycr(packed.bytes.data(), packed.stride, blocks.data());
    EXPECT_EQ(blocks[0], -128);
    EXPECT_EQ(blocks[1], 0);
    EXPECT_EQ(blocks[128], 127);
    EXPECT_EQ(blocks[192], -127);
}

struct PixelEntry {
    const char* name;
    PixelKernel KernelTable::*entry;
    int width, height, bytesPerPixel, luma;
    bool fourth;
};

const PixelEntry kPixelEntries[] = {
    {"gray", &KernelTable::pixelsGray, 8, 8, 1, 1, false},
    {"rgb", &KernelTable::pixelsRgb, 8, 8, 3, 1, false},
    {"rgb 2x1", &KernelTable::pixelsRgbH2V1, 16, 8, 3, 2, false},
    {"rgb 2x2", &KernelTable::pixelsRgbH2V2, 16, 16, 3, 4, false},
    {"bgr", &KernelTable::pixelsBgr, 8, 8, 3, 1, false},
    {"bgr 2x1", &KernelTable::pixelsBgrH2V1, 16, 8, 3, 2, false},
    {"bgr 2x2", &KernelTable::pixelsBgrH2V2, 16, 16, 3, 4, false},
    {"rgba", &KernelTable::pixelsRgba, 8, 8, 4, 1, false},
    {"rgba 2x1", &KernelTable::pixelsRgbaH2V1, 16, 8, 4, 2, false},
    {"rgba 2x2", &KernelTable::pixelsRgbaH2V2, 16, 16, 4, 4, false},
    {"inverted", &KernelTable::pixelsInvRgbA, 8, 8, 4, 1, true},
    {"inverted 2x1", &KernelTable::pixelsInvRgbAH2V1, 16, 8, 4, 2, true},
    {"inverted 2x2", &KernelTable::pixelsInvRgbAH2V2, 16, 16, 4, 4, true},
    {"packed", &KernelTable::pixelsYcbycr, 16, 8, 2, 2, false},
};

// Runs one entry of a table on an MCU buffer (luminance, Cb, Cr, fourth)
// into an exact-size picture whose row padding holds a marker byte.
std::vector<uint8_t> WritePixels(const KernelTable& table, const PixelEntry& e, const std::vector<int16_t>& samples,
                                 int padding)
{
    PixelMcu picture(e.width * e.bytesPerPixel, e.height, padding);
    std::fill(picture.bytes.begin(), picture.bytes.end(), 0xA5);
    const int16_t* y = samples.data();
    const int16_t* cb = y + e.luma * 64;
    const int16_t* cr = cb + 64;
    const int16_t* k = e.fourth ? cr + 64 : nullptr;
    (table.*e.entry)(y, cb, cr, k, picture.bytes.data(), picture.stride);
    return picture.bytes;
}

TEST(SimdPixelWriters, EveryEntryWritesTheGenericPixels)
{
    KernelTable generic{}, simd{};
    JpegFillPixelKernels(generic);
    JpegFillPixelKernels(simd);
    JpegFillSimdPixelKernels(simd);
    std::mt19937 rng(17);
    for (const auto& e : kPixelEntries) {
        ASSERT_NE(simd.*e.entry, generic.*e.entry) << e.name;
        for (int n = 0; n < 300; ++n) {
            std::vector<int16_t> samples(static_cast<size_t>(e.luma * 2 + 2) * 64);
            for (auto& s : samples)
                s = static_cast<int16_t>(n % 5 == 0 ? (rng() & 1) * 255 : rng() % 256);
            const int padding = n % 2 ? 5 : 0;
            ASSERT_EQ(WritePixels(simd, e, samples, padding), WritePixels(generic, e, samples, padding))
                << e.name << " MCU " << n;
        }
    }

    // Every chroma pair, the 233 whose green sum leaves 16 bits included,
    // with dark, middle and bright luminance, through the 4-byte and
    // 3-byte forms.
    for (const PixelEntry* e : {&kPixelEntries[1], &kPixelEntries[7], &kPixelEntries[10]}) {
        for (int start = 0; start < 65536; start += 64) {
            std::vector<int16_t> samples(4 * 64);
            for (int i = 0; i < 64; ++i) {
                samples[i] = static_cast<int16_t>((i * 37 + start) % 3 * 127);
                samples[64 + i] = static_cast<int16_t>((start + i) & 0xFF);
                samples[128 + i] = static_cast<int16_t>((start + i) >> 8);
                samples[192 + i] = static_cast<int16_t>(i * 4);
            }
            ASSERT_EQ(WritePixels(simd, *e, samples, 0), WritePixels(generic, *e, samples, 0))
                << e->name << " chroma from " << start;
        }
    }
}

TEST(SimdPixelWriters, NeutralChromaAndTheFourthComponent)
{
    KernelTable simd{};
    JpegFillSimdPixelKernels(simd);
    std::vector<int16_t> samples(4 * 64, 128);
    std::fill(samples.begin() + 192, samples.end(), 200);
    const std::vector<uint8_t> rgb = WritePixels(simd, kPixelEntries[1], samples, 0);
    for (size_t i = 0; i < rgb.size(); i += 3)
        ASSERT_EQ((std::vector<int>{rgb[i], rgb[i + 1], rgb[i + 2]}), (std::vector<int>{128, 129, 128})) << i;
    std::fill(samples.begin(), samples.begin() + 64, 255);
    const std::vector<uint8_t> inverted = WritePixels(simd, kPixelEntries[10], samples, 0);
    for (size_t i = 0; i < inverted.size(); i += 4)
        ASSERT_EQ((std::vector<int>{inverted[i], inverted[i + 1], inverted[i + 2], inverted[i + 3]}),
                  (std::vector<int>{0, 0, 0, 200}))
            << i;
}

// Standard tables for the entropy tests.
struct Tables {
    HuffmanEncoder dc, ac;
    Tables()
    {
        JpegBuildHuffmanEncoder(kDcLuminanceBits, kDcLuminanceValues, dc);
        JpegBuildHuffmanEncoder(kAcLuminanceBits, kAcLuminanceValues, ac);
    }
};

// Quantised blocks: sparse, dense, long zero runs, the last coefficient
// set, values of +-1 and large magnitudes.
std::vector<Block> QuantisedBlocks(int count, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<Block> blocks;
    for (int n = 0; n < count; ++n) {
        Block b(64, 0);
        const int kind = n % 6;
        b[0] = static_cast<int16_t>(static_cast<int>(rng() % 2047) - 1023);
        for (int k = 1; k < 64; ++k) {
            int v = 0;
            switch (kind) {
            case 0: v = rng() % 6 == 0 ? static_cast<int>(rng() % 21) - 10 : 0; break;
            case 1: v = static_cast<int>(rng() % 2047) - 1023; break;
            case 2: v = (k == 36 || k == 63) ? 3 : 0; break; // 35 zeros, then the last position
            case 3: v = (rng() & 3) == 0 ? ((rng() & 1) ? 1 : -1) : 0; break;
            case 4: v = 0; break;
            default: v = k > 40 && rng() % 3 == 0 ? static_cast<int>(rng() % 255) - 127 : 0; break;
            }
            b[kZigzag[k]] = static_cast<int16_t>(v);
        }
        if (n % 13 == 0)
            b[0] = 0;
        blocks.push_back(b);
    }
    return blocks;
}

// Encodes the blocks with a restart marker every `interval` blocks,
// through the given encoder and byte writer; returns the result code.
int EncodeBlocks(OutputRecord& out, EncodeBlockKernel encode, OutputWriteKernel write, const std::vector<Block>& blocks,
                 int interval)
{
    const Tables tables;
    int16_t predictor = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (interval > 0 && i > 0 && i % interval == 0) {
            const uint8_t marker[2] = {0xFF, static_cast<uint8_t>(0xD0 + (i / interval - 1) % 8)};
            if (int rc = write(marker, 2, out))
                return rc;
            predictor = 0;
        }
        if (int rc = encode(out, tables.dc, tables.ac, &predictor, blocks[i].data()))
            return rc;
    }
    const uint8_t eoi[2] = {0xFF, 0xD9};
    return write(eoi, 2, out);
}

Bytes EncodeToMemory(EncodeBlockKernel encode, OutputWriteKernel write, const std::vector<Block>& blocks, int interval,
                     size_t capacity, int* rc)
{
    auto out = std::make_unique<OutputRecord>();
    Bytes buffer(capacity);
    JpegOutputInit(*out, buffer.data(), static_cast<int64_t>(capacity));
    *rc = EncodeBlocks(*out, encode, write, blocks, interval);
    buffer.resize(static_cast<size_t>(out->current - out->start));
    return buffer;
}

Bytes EncodeToFile(EncodeBlockKernel encode, OutputWriteKernel write, const std::vector<Block>& blocks, int interval)
{
    const TempDir dir;
    const auto path = dir.Path("entropy.bin");
    auto out = std::make_unique<OutputRecord>();
    out->file = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    EXPECT_GE(out->file, 0);
    JpegOutputInit(*out, nullptr, 0);
    EXPECT_EQ(EncodeBlocks(*out, encode, write, blocks, interval), 0);
    EXPECT_EQ(JpegFinishOutput(*out), 0);
    close(out->file);
    return ReadFileBytes(path);
}

TEST(SimdEntropyEncoder, WritesTheGenericBytesToMemoryAndFile)
{
    for (uint32_t seed : {1u, 2u, 3u}) {
        const std::vector<Block> blocks = QuantisedBlocks(1200, seed);
        for (int interval : {0, 7}) {
            int rcGeneric = 0, rcSimd = 0, rcSse = 0;
            const Bytes generic = EncodeToMemory(JpegEncodeBlock, JpegOutputWriteBytes, blocks, interval, 1 << 20, &rcGeneric);
            const Bytes simd = EncodeToMemory(JpegMmxEncodeBlock, JpegMmxWriteBytes, blocks, interval, 1 << 20, &rcSimd);
            const Bytes sse = EncodeToMemory(JpegSseEncodeBlock, JpegMmxWriteBytes, blocks, interval, 1 << 20, &rcSse);
            ASSERT_EQ(rcGeneric, 0);
            ASSERT_EQ(rcSimd, 0);
            ASSERT_EQ(rcSse, 0);
            ASSERT_EQ(simd, generic) << "seed " << seed << " interval " << interval;
            ASSERT_EQ(sse, generic) << "seed " << seed << " interval " << interval;
            // The file buffer fills and is written out many times over.
            ASSERT_EQ(EncodeToFile(JpegMmxEncodeBlock, JpegMmxWriteBytes, blocks, interval), generic);

            // An output one byte short fails; the exact size succeeds.
            int rc = 0;
            EncodeToMemory(JpegMmxEncodeBlock, JpegMmxWriteBytes, blocks, interval, generic.size() - 1, &rc);
            EXPECT_EQ(rc, JPEG_OUTPUT_TOO_SMALL);
            EXPECT_EQ(EncodeToMemory(JpegMmxEncodeBlock, JpegMmxWriteBytes, blocks, interval, generic.size(), &rc), generic);
            EXPECT_EQ(rc, 0);
        }
    }
}

TEST(SimdEntropyEncoder, SymbolsWithoutACodeAreRefused)
{
    // The standard DC table stops at category 11; -32768 has no AC symbol.
    std::vector<Block> bigDc(1, Block(64, 0));
    bigDc[0][0] = 4000;
    std::vector<Block> bigAc(1, Block(64, 0));
    bigAc[0][1] = -32768;
    for (const auto* blocks : {&bigDc, &bigAc}) {
        int rcGeneric = 0, rcSimd = 0;
        EncodeToMemory(JpegEncodeBlock, JpegOutputWriteBytes, *blocks, 0, 4096, &rcGeneric);
        EncodeToMemory(JpegMmxEncodeBlock, JpegMmxWriteBytes, *blocks, 0, 4096, &rcSimd);
        EXPECT_EQ(rcGeneric, JPEG_BAD_HUFFMAN_TABLE);
        EXPECT_EQ(rcSimd, JPEG_BAD_HUFFMAN_TABLE);
    }
}

// Groups of four bytes with stuffing: the bytes stored by two 32-bit bit
// strings and the drain.
TEST(SimdBitWriter, FourByteGroupsCarryTheStuffingByte)
{
    const struct {
        uint32_t first, second;
        Bytes groups; // after the second string
        Bytes all;    // after the drain
    } cases[] = {
        {0x01020304, 0x05060708, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}},
        {0xFFFFFF12, 0xABCDEF01, {0xFF, 0, 0xFF, 0, 0xFF, 0, 0x12, 0xAB}, {0xFF, 0, 0xFF, 0, 0xFF, 0, 0x12, 0xAB, 0xCD, 0xEF, 1}},
        {0x123456FF, 0x789ABCDE, {0x12, 0x34, 0x56, 0xFF, 0, 0x78, 0x9A, 0xBC}, {0x12, 0x34, 0x56, 0xFF, 0, 0x78, 0x9A, 0xBC, 0xDE}},
        {0xFF12FF34, 0x56789ABC, {0xFF, 0, 0x12, 0xFF, 0, 0x34, 0x56, 0x78}, {0xFF, 0, 0x12, 0xFF, 0, 0x34, 0x56, 0x78, 0x9A, 0xBC}},
        // Sixteen data bits per group: three groups, then two bytes drained.
        {0xFFFFFFFF, 0xFFFFFFFF, {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0},
         {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0}},
    };
    for (const auto& c : cases) {
        auto out = std::make_unique<OutputRecord>();
        Bytes buffer(64, 0xEE);
        JpegOutputInit(*out, buffer.data(), static_cast<int64_t>(buffer.size()));
        LeftAlignedBits bits;
        ASSERT_EQ(JpegMmxPutBitsMemory(c.first, 32, bits, *out), 0);
        ASSERT_EQ(JpegMmxPutBitsMemory(c.second, 32, bits, *out), 0);
        EXPECT_EQ(Bytes(out->start, out->current), c.groups) << std::hex << c.first;
        JpegStoreLeftAligned(bits, *out);
        ASSERT_EQ(JpegMmxWriteBytes(nullptr, 0, *out), 0);
        EXPECT_EQ(Bytes(out->start, out->current), c.all) << std::hex << c.first;
    }
}

TEST(SimdBitWriter, FileBufferIsWrittenOutWith22BytesOfRoomOrFewer)
{
    const TempDir dir;
    for (int room : {22, 23}) {
        auto out = std::make_unique<OutputRecord>();
        out->file = open(dir.Path("room.bin").c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        ASSERT_GE(out->file, 0);
        JpegOutputInit(*out, nullptr, 0);
        out->current = out->end - room;
        LeftAlignedBits bits;
        ASSERT_EQ(JpegMmxPutBitsFile(0x12345678, 32, bits, *out), 0);
        ASSERT_EQ(JpegMmxPutBitsFile(0x1, 1, bits, *out), 0);
        if (room == 22) {
            EXPECT_EQ(out->flushed, kFileBufferSize - 22);
            EXPECT_EQ(out->current, out->start + 4);
        } else {
            EXPECT_EQ(out->flushed, 0);
            EXPECT_EQ(out->current, out->end - room + 4);
        }
        close(out->file);
    }

    // A failed write keeps the new bits pending and the buffer as it was.
    auto out = std::make_unique<OutputRecord>();
    out->file = open("/dev/null", O_RDONLY);
    ASSERT_GE(out->file, 0);
    JpegOutputInit(*out, nullptr, 0);
    out->current = out->end - 10;
    LeftAlignedBits bits;
    ASSERT_EQ(JpegMmxPutBitsFile(0xABCDEF12, 32, bits, *out), 0);
    EXPECT_EQ(JpegMmxPutBitsFile(0x5, 3, bits, *out), JPEG_FILE_ERROR);
    EXPECT_EQ(bits.count, 35);
    EXPECT_EQ(out->current, out->end - 10);
    close(out->file);
}

// Input handed out a few bytes per refill, as a file source does.
struct ChunkedInput {
    const Bytes* data;
    size_t position = 0;
    size_t chunk;
    static int Refill(BitReader& r, void* context)
    {
        auto* in = static_cast<ChunkedInput*>(context);
        const size_t n = std::min(in->chunk, in->data->size() - in->position);
        r.next = in->data->data() + in->position;
        r.bytesLeft = n;
        in->position += n;
        return 0;
    }
};

struct DecodedBlock {
    int rc;
    int32_t predictor;
    Block coefficients;
    bool operator==(const DecodedBlock&) const = default;
};

void PrintTo(const DecodedBlock& b, std::ostream* os)
{
    *os << "{rc " << b.rc << ", predictor " << b.predictor << ", coefficients";
    for (int16_t c : b.coefficients)
        *os << ' ' << c;
    *os << '}';
}

// The first block where two decodings part, for the failure message.
std::string FirstDifference(const std::vector<DecodedBlock>& a, const std::vector<DecodedBlock>& b)
{
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (!(a[i] == b[i])) {
            std::ostringstream text;
            text << "block " << i << ": ";
            PrintTo(a[i], &text);
            text << " against ";
            PrintTo(b[i], &text);
            return text.str();
        }
    }
    return a.size() == b.size() ? "none" : "lengths " + std::to_string(a.size()) + ", " + std::to_string(b.size());
}

// Decodes `count` blocks, each into its own 64-value allocation, from
// memory (chunk 0) or from chunks of that many bytes.
std::vector<DecodedBlock> DecodeBlocks(DecodeBlockKernel decode, const Bytes& data, int count, size_t chunk)
{
    HuffmanDecoder dc, ac;
    JpegBuildHuffmanDecoder(kDcLuminanceBits, kDcLuminanceValues, 0, 0, dc);
    JpegBuildHuffmanDecoder(kAcLuminanceBits, kAcLuminanceValues, 1, 0, ac);
    BitReader reader;
    ChunkedInput input{&data, 0, chunk};
    if (chunk == 0) {
        JpegBitReaderInit(reader, data.data(), data.size());
    } else {
        JpegBitReaderInit(reader, nullptr, 0);
        reader.refill = ChunkedInput::Refill;
        reader.refillContext = &input;
    }
    std::vector<DecodedBlock> out;
    int32_t predictor = 0;
    for (int i = 0; i < count; ++i) {
        auto block = std::make_unique<int16_t[]>(64);
        const int rc = decode(reader, dc, ac, &predictor, block.get());
        out.push_back({rc, predictor, Block(block.get(), block.get() + 64)});
        if (rc < 0)
            break;
    }
    out.push_back({reader.marker, 0, {}});
    return out;
}

TEST(SimdHuffmanDecoder, SameCoefficientsAsTheGenericDecoderOnValidAndCorruptStreams)
{
    const std::vector<Block> blocks = QuantisedBlocks(600, 21);
    int rc = 0;
    const Bytes valid = EncodeToMemory(JpegEncodeBlock, JpegOutputWriteBytes, blocks, 0, 1 << 20, &rc);
    ASSERT_EQ(rc, 0);
    const auto generic = DecodeBlocks(JpegDecodeBlock, valid, 600, 0);
    for (size_t i = 0; i < blocks.size(); ++i)
        ASSERT_EQ(generic[i].coefficients, blocks[i]) << i; // the round trip itself
    std::vector<Bytes> streams = {valid};
    std::mt19937 rng(22);
    for (int n = 0; n < 60; ++n) {
        Bytes corrupt = valid;
        switch (n % 4) {
        case 0: corrupt.resize(rng() % valid.size()); break; // truncated
        case 1:
            for (int f = 0; f < 8; ++f)
                corrupt[rng() % corrupt.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
        case 2: // a marker, a stray 0xFF and fill bytes in the data
            corrupt[rng() % corrupt.size()] = 0xFF;
            corrupt.insert(corrupt.begin() + static_cast<long>(rng() % corrupt.size()), {0xFF, 0xFF, 0x00});
            corrupt.insert(corrupt.begin() + static_cast<long>(rng() % corrupt.size()), {0xFF, 0xD3});
            break;
        default:
            for (auto& b : corrupt)
                b = static_cast<uint8_t>(rng());
            break;
        }
        streams.push_back(corrupt);
    }
    for (size_t s = 0; s < streams.size(); ++s) {
        for (size_t chunk : {size_t{0}, size_t{1}, size_t{5}, size_t{4096}}) {
            const auto reference = DecodeBlocks(JpegDecodeBlock, streams[s], 600, chunk);
            const auto narrow = DecodeBlocks(JpegMmxDecodeBlock, streams[s], 600, chunk);
            const auto wide = DecodeBlocks(JpegMmxDecodeBlockWide, streams[s], 600, chunk);
            ASSERT_TRUE(narrow == reference) << s << " " << chunk << " " << FirstDifference(narrow, reference);
            ASSERT_TRUE(wide == reference) << s << " " << chunk << " " << FirstDifference(wide, reference);
            const auto dcOnly = DecodeBlocks(
                [](BitReader& r, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* p, int16_t* b) {
                    return JpegDecodeBlockDcOnly(r, dc, ac, p, b);
                },
                streams[s], 600, chunk);
            const auto simdDcOnly = DecodeBlocks(
                [](BitReader& r, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* p, int16_t* b) {
                    return JpegMmxDecodeBlockDc(r, dc, ac, p, b);
                },
                streams[s], 600, chunk);
            ASSERT_TRUE(simdDcOnly == dcOnly) << s << " " << chunk << " " << FirstDifference(simdDcOnly, dcOnly);
        }
    }
}

} // namespace
} // namespace thermjpeg::test

#endif
