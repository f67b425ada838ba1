// The parameter block's byte layout and the camera-model table.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>

#include "param_block.h"

using namespace thermcore;

namespace {

using Bytes = std::array<uint8_t, kParamBlockSize>;

uint32_t u32(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}
uint16_t u16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

IfrParamBlock withModel(const char* model) {
    IfrParamBlock b{};
    std::memcpy(b.model, model, std::min(std::strlen(model), sizeof b.model));
    return b;
}

TEST(ParamBlock, EveryByteSurvivesDecodeAndEncode) {
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        Bytes in;
        for (uint8_t& v : in) v = static_cast<uint8_t>(rng());
        Bytes out{};
        encodeParamBlock(decodeParamBlock(in), out);
        ASSERT_EQ(in, out);
    }
}

TEST(ParamBlock, DefaultBlockAtItsOffsets) {
    Bytes b{};
    encodeParamBlock(defaultParamBlock(), b);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), "VN410K4");
    EXPECT_EQ(u16(b, 12), 320);
    EXPECT_EQ(u16(b, 14), 240);
    EXPECT_EQ(b[16], 16);
    EXPECT_EQ(b[17], 1);
    EXPECT_EQ(u32(b, 20), 153600u);
    EXPECT_EQ(u16(b, 24), 320);
    EXPECT_EQ(u16(b, 26), 240);
    EXPECT_EQ(u32(b, 28), 0u);
    EXPECT_EQ(b[37], 1);
    EXPECT_EQ(u16(b, 38), 100);
    EXPECT_EQ(u32(b, 40), 3479u);
    EXPECT_EQ(u16(b, 44), 2);
    EXPECT_EQ(u16(b, 46), 60);
    for (int p = 0; p < 4; ++p) {
        const uint32_t want[6] = {320, 240, 2, 100, 2, 0};
        for (int w = 0; w < 6; ++w) EXPECT_EQ(u32(b, 48 + 24 * p + 4 * w), want[w]);
    }
    for (int r = 0; r < 3; ++r) EXPECT_EQ(u32(b, 144 + 32 * r + 8), 2u);
    for (int l = 0; l < 3; ++l) EXPECT_EQ(u32(b, 240 + 28 * l + 8), 2u);
    EXPECT_EQ(u32(b, 328), 824u);
    EXPECT_EQ(u32(b, 332), 98u);
    EXPECT_EQ(u32(b, 336), 87u);
    EXPECT_EQ(u16(b, 340), 100);
    EXPECT_EQ(static_cast<int32_t>(u32(b, 344)), -2000);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[348])), "RQ52T");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[356])), "RQ52T V1.0.107");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[372])), "RQ5220060828");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[388])), "Aug 25 2006 10:30:20");
    EXPECT_EQ(u32(b, 420), 25000u);
    EXPECT_EQ(b[424], 0);
}

TEST(ParamBlock, ModelTableFirstMatchWins) {
    const struct {
        const char* model;
        int version;
        int scheme;
    } cases[] = {
        {"VN410K11", 11, 3}, {"VN410K9", 7, 3},   {"VN410K10", 8, 3}, {"VN410K8", 6, 3},
        {"VN410K7", 5, 2},   {"VN410K6", 4, 2},   {"VN410K5", 3, 2},  {"VN410K3", 1, 1},
        {"VN410K4", 1, 0},   {"VN410K1", 1, 0},   {"VN410K12", 1, 0}, {"VN410K95", 7, 3},
        {"VN410K30", 1, 1},  {"vn410k9", 7, 3},   {"VN410K", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        const ModelInfo m = lookupModel(withModel(c.model));
        EXPECT_EQ(m.version, c.version);
        EXPECT_EQ(m.scheme, c.scheme);
    }
}

TEST(ParamBlock, CameraPrefixAndLayoutsCompareBytesExactly) {
    EXPECT_TRUE(hasCameraPrefix(withModel("VN410K")));
    EXPECT_FALSE(hasCameraPrefix(withModel("vn410k4")));
    EXPECT_FALSE(hasCameraPrefix(withModel("VN410k4")));
    EXPECT_FALSE(hasCameraPrefix(withModel("VN41")));
    const struct {
        const char* model;
        StillLayout layout;
    } cases[] = {
        {"VN410K3", StillLayout::Dual},         {"VN410K30", StillLayout::Dual},
        {"VN410K8", StillLayout::Radiometric},  {"VN410K8x", StillLayout::Radiometric},
        {"VN410K9", StillLayout::Radiometric},  {"VN410K10", StillLayout::Radiometric},
        {"VN410K11", StillLayout::Plane},       {"VN410K1", StillLayout::Plain},
        {"VN410K12", StillLayout::Plain},       {"VN410K4", StillLayout::Plain},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        EXPECT_EQ(stillLayoutOf(withModel(c.model)), c.layout);
    }
    EXPECT_TRUE(isK8(withModel("VN410K8")));
    EXPECT_FALSE(isK8(withModel("VN410K9")));
}

}  // namespace
