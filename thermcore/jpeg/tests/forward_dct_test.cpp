// Forward DCTs against a floating-point T.81 DCT, and the quantisers.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "forward_dct.h"
#include "quantize.h"
#include "zigzag.h"

namespace thermjpeg {
namespace {

using Block = std::array<int16_t, 64>;

// T.81 A.3.3: F(u, v) = 1/4 C(u) C(v) sum s(y, x) cos((2x+1)v pi/16) cos((2y+1)u pi/16).
std::array<double, 64> ReferenceDct(const Block& samples)
{
    std::array<double, 64> out{};
    for (int u = 0; u < 8; ++u) {
        for (int v = 0; v < 8; ++v) {
            double sum = 0;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x)
                    sum += samples[y * 8 + x] * std::cos((2 * x + 1) * v * M_PI / 16) * std::cos((2 * y + 1) * u * M_PI / 16);
            }
            const double cu = u == 0 ? M_SQRT1_2 : 1.0, cv = v == 0 ? M_SQRT1_2 : 1.0;
            out[u * 8 + v] = 0.25 * cu * cv * sum;
        }
    }
    return out;
}

double FastScale(int k) { return k == 0 ? 1.0 : M_SQRT2 * std::cos(k * M_PI / 16); }

std::vector<Block> TestBlocks()
{
    std::vector<Block> blocks;
    std::mt19937 random(11);
    for (int n = 0; n < 200; ++n) {
        Block b;
        for (auto& v : b)
            v = static_cast<int16_t>(static_cast<int>(random() % 256) - 128);
        blocks.push_back(b);
    }
    // Extremes: checkerboards, stripes, steps, corners.
    for (int pattern = 0; pattern < 6; ++pattern) {
        for (int sign : {1, -1}) {
            Block b;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    const bool high = pattern == 0   ? (x + y) % 2 == 0
                                      : pattern == 1 ? x % 2 == 0
                                      : pattern == 2 ? x < 4
                                      : pattern == 3 ? (x < 4) != (y < 4)
                                      : pattern == 4 ? x == 0 && y == 0
                                                     : (x ^ y) & 4;
                    b[y * 8 + x] = static_cast<int16_t>((high ? 127 : -128) * sign);
                }
            }
            blocks.push_back(b);
        }
    }
    return blocks;
}

TEST(ForwardDct, UniformBlocks)
{
    for (int v : {-128, -1, 0, 37, 127}) {
        Block accurate, fast;
        accurate.fill(static_cast<int16_t>(v));
        fast.fill(static_cast<int16_t>(v));
        JpegFdctAccurate(accurate.data());
        JpegFdctFast(fast.data());
        EXPECT_EQ(accurate[0], 8 * v);
        EXPECT_EQ(fast[0], 64 * v);
        for (int i = 1; i < 64; ++i) {
            EXPECT_EQ(accurate[i], 0) << v << " at " << i;
            EXPECT_EQ(fast[i], 0) << v << " at " << i;
        }
    }
}

TEST(ForwardDct, AccurateMatchesTheDefinitionWithinRounding)
{
    for (const Block& samples : TestBlocks()) {
        const auto reference = ReferenceDct(samples);
        Block block = samples;
        JpegFdctAccurate(block.data());
        for (int i = 0; i < 64; ++i)
            ASSERT_NEAR(block[i], reference[i], 1.0) << "coefficient " << i;
    }
}

// The fast transform rounds its constants to 15 bits with no extra
// precision in between; it stays within a few units of the definition.
TEST(ForwardDct, FastMatchesTheDefinitionAfterItsScale)
{
    for (const Block& samples : TestBlocks()) {
        const auto reference = ReferenceDct(samples);
        Block block = samples;
        JpegFdctFast(block.data());
        for (int u = 0; u < 8; ++u) {
            for (int v = 0; v < 8; ++v) {
                const double scaled = block[u * 8 + v] / (8 * FastScale(u) * FastScale(v));
                ASSERT_NEAR(scaled, reference[u * 8 + v], 4.0) << u << "," << v;
            }
        }
    }
}

TEST(Quantize, HalvesRoundUpForBothSigns)
{
    uint16_t values[64], multipliers[64];
    std::fill(values, values + 64, uint16_t{2});
    JpegMakeReciprocalTable(values, multipliers);
    Block block{};
    block[0] = -3;
    block[1] = 3;
    block[2] = -4;
    block[3] = 5;
    JpegQuantizeUnsigned(block.data(), multipliers);
    EXPECT_EQ(block[0], -1);
    EXPECT_EQ(block[1], 2);
    EXPECT_EQ(block[2], -2);
    EXPECT_EQ(block[3], 3);
}

TEST(Quantize, OnesOnTheAccuratePathLeaveCoefficientsUnchanged)
{
    uint16_t values[64], multipliers[64];
    std::fill(values, values + 64, uint16_t{1});
    JpegMakeReciprocalTable(values, multipliers);
    for (uint16_t m : multipliers)
        EXPECT_EQ(m, 32768);
    Block block;
    for (int i = 0; i < 64; ++i)
        block[i] = static_cast<int16_t>(i * 37 - 1200);
    const Block original = block;
    JpegQuantizeUnsigned(block.data(), multipliers);
    EXPECT_EQ(block, original);
}

TEST(Quantize, ReciprocalsGoToNaturalOrder)
{
    uint16_t values[64], multipliers[64];
    for (int k = 0; k < 64; ++k)
        values[k] = static_cast<uint16_t>(k + 1);
    JpegMakeReciprocalTable(values, multipliers);
    for (int k = 0; k < 64; ++k)
        EXPECT_EQ(multipliers[kZigzag[k]], 32768 / (k + 1)) << k;
}

TEST(Quantize, FastPathRaisesTheLastValueToTwo)
{
    uint16_t values[64], multipliers[64];
    std::fill(values, values + 64, uint16_t{1});
    JpegPrepareQuantFast(values, multipliers);
    EXPECT_EQ(values[63], 2);
    EXPECT_EQ(values[62], 1);
    EXPECT_EQ(multipliers[63], (1 + 53810) / 2);
    EXPECT_EQ(multipliers[0], 4096);
    EXPECT_EQ(multipliers[kZigzag[61]], 27432);

    // Through the fast DCT and quantiser, a flat block at quality-100 tables
    // gives its DC unchanged: 64 v / 8 = 8 v.
    Block block;
    block.fill(20);
    JpegFdctFast(block.data());
    JpegQuantize(block.data(), multipliers);
    EXPECT_EQ(block[0], 160);
}

} // namespace
} // namespace thermjpeg
