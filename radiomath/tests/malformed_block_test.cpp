// Blocks from damaged or hostile files: refused, or converted to finite
// values, never read out of bounds and never undefined behaviour.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

#include "test_block.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

bool validIndexForTest(int i) { return i >= 0 && i <= 2; }

struct Mutation {
    const char* name;
    std::function<void(TestBlock&)> apply;
};

}  // namespace

TEST(MalformedBlock, RefusedBlocksConvertNothing) {
    const Mutation refused[] = {
        {"gear 3", [](TestBlock& b) { b.i32(w::kGear, 3); }},
        {"gear -1", [](TestBlock& b) { b.i32(w::kGear, -1); }},
        {"gear huge", [](TestBlock& b) { b.i32(w::kGear, 0x7FFFFFFF); }},
        {"lens 3", [](TestBlock& b) { b.i32(w::kLens, 3); }},
        {"lens negative", [](TestBlock& b) { b.i32(w::kLens, -2147483647 - 1); }},
        {"NaN FPA front", [](TestBlock& b) { b.f32(w::kFpaFront, kNaN); }},
        {"inf ambient", [](TestBlock& b) { b.f32(w::kAmbient, kInf); }},
        {"NaN used ambient", [](TestBlock& b) { b.f32(w::kAmbientUsed, kNaN); }},
        {"NaN emissivity", [](TestBlock& b) { b.f32(w::kEmissivity, kNaN); }},
        {"inf user revise", [](TestBlock& b) { b.f32(w::kUserRevise, -kInf); }},
        {"NaN polynomial A", [](TestBlock& b) { b.f32(w::kPolyA + 14, kNaN); }},
        {"inf polynomial B", [](TestBlock& b) { b.f32(w::kPolyB + 3, kInf); }},
        {"NaN curve gray", [](TestBlock& b) { b.f32(w::kActiveGray + 4, kNaN); }},
        {"inf curve temperature", [](TestBlock& b) { b.f32(w::kActiveTemp + 8, kInf); }},
        {"NaN calibration FPA", [](TestBlock& b) { b.f32(w::kCalibFpa, kNaN); }},
    };
    for (const Mutation& m : refused) {
        TestBlock b = TestBlock::load("camera");
        m.apply(b);
        int rc = -5;
        EXPECT_EQ(b.temp(5000, &rc), -273.0f) << m.name;
        EXPECT_EQ(rc, 0) << m.name;
        int g = 0;
        EXPECT_EQ(MT_TempToGray(b.para(), 30.0f, &g), -1) << m.name;
        EXPECT_EQ(g, -1) << m.name;
    }
}

TEST(MalformedBlock, BadGearOrLensChangesNothing) {
    for (auto [gear, lens] : {std::pair{3, 0}, {0, 3}, {-7, -7}}) {
        TestBlock b = TestBlock::load("camera");
        b.i32(w::kGear, gear).i32(w::kLens, lens);
        const auto before = b.words();
        EXPECT_EQ(MT_SetBlackGray(b.para(), 20.0f, 5000, 1.0f), -1);
        MT_GrayToTemp(b.para(), 4000, nullptr);
        MT_TempToGray(b.para(), 40.0f, nullptr);
        MT_SetLensTypes(b.para(), lens);
        MT_SetDangWei(b.para(), gear);
        EXPECT_EQ(b.words(), before) << gear << " " << lens;
        // MT_Init always builds gear 0, so only the lens can stop it.
        EXPECT_EQ(MT_Init(b.para()), validIndexForTest(lens) ? 1 : 0);
        EXPECT_EQ(MT_DoEvent(b.para(), 0), validIndexForTest(gear) ? 1 : -1);
    }
}

TEST(MalformedBlock, DegenerateTablesStayFinite) {
    const Mutation degenerate[] = {
        {"all curve grays equal",
         [](TestBlock& b) { for (int i = 0; i < 9; ++i) b.f32(w::kActiveGray + i, 5000); }},
        {"all curve temperatures equal",
         [](TestBlock& b) { for (int i = 0; i < 9; ++i) b.f32(w::kActiveTemp + i, 40); }},
        {"curve all zero",
         [](TestBlock& b) {
             for (int i = 0; i < 18; ++i) b.f32(w::kActiveTemp + i, 0);
         }},
        {"T7 == T8", [](TestBlock& b) { b.f32(w::kActiveTemp + 7, b.f32(w::kActiveTemp + 8)); }},
        {"G0 == G1", [](TestBlock& b) { b.f32(w::kActiveGray + 1, b.f32(w::kActiveGray + 0)); }},
        {"huge curve",
         [](TestBlock& b) { for (int i = 0; i < 9; ++i) b.f32(w::kActiveGray + i, 3e38f * (i - 4)); }},
        {"huge temperatures",
         [](TestBlock& b) { for (int i = 0; i < 9; ++i) b.f32(w::kActiveTemp + i, 3e38f); }},
        {"distance table all equal",
         [](TestBlock& b) { for (int i = 0; i < 30; ++i) b.i32(w::kDistTable + i, 100); }},
        {"reference pair equal", [](TestBlock& b) { b.i32(w::kRefPair + 1, b.i32(w::kRefPair)); }},
        {"table A equals table B",
         [](TestBlock& b) { for (int i = 0; i < 30; ++i) b.i32(w::kTables + 30 + i, b.i32(w::kTables + i)); }},
        {"extreme integers",
         [](TestBlock& b) {
             for (int i = 0; i < 30; ++i) b.i32(w::kDistTable + i, i % 2 ? 0x7FFFFFFF : -2147483647 - 1);
             for (int i = 0; i < 540; ++i) b.i32(w::kTables + i, i % 3 ? 0x7FFFFFFF : -2147483647 - 1);
             b.i32(w::kRefPair, -2147483647 - 1).i32(w::kRefPair + 1, 0x7FFFFFFF);
             b.i32(w::kDistanceCm, -2147483647 - 1).i32(w::kHumidity, -2147483647 - 1);
         }},
        {"huge polynomial",
         [](TestBlock& b) { b.f32(w::kPolyA, 3e38f).f32(w::kPolyB, -3e38f).i32(w::kGrayBK, 0x7FFFFFFF); }},
        {"huge drift factor",
         [](TestBlock& b) { b.i32(w::kDriftFactor, 0x7FFFFFFF).f32(w::kFpaFront, 3e30f); }},
    };
    for (int revision : {9999, 10001, 10002}) {
        for (int type : {1000, 2021, 3000, 3001, 3002}) {
            for (const Mutation& m : degenerate) {
                TestBlock b = TestBlock::load("camera");
                b.i32(w::kRevision, revision).i32(w::kType, type);
                m.apply(b);
                for (int gray : {-100000, 0, 2500, 5000, 8000, 16383, 100000}) {
                    int rc = 0;
                    const float t = b.temp(gray, &rc);
                    EXPECT_TRUE(std::isfinite(t)) << m.name << " gray " << gray;
                    EXPECT_GE(t, -273.0f) << m.name;
                }
                for (float t : {-300.0f, 0.0f, 35.0f, 2000.0f, 3e38f, -kInf, kNaN}) {
                    int g = 0;
                    EXPECT_EQ(MT_TempToGray(b.para(), t, &g), g) << m.name;
                }
                MT_SetBlackGray(b.para(), 20.0f, 5000, 1.0f);
                MT_SetGrayBK(b.para(), 100);
                MT_DoEvent(b.para(), 0);
                for (int gear = 0; gear < 3; ++gear) MT_SetDangWei(b.para(), gear);
            }
        }
    }
}

// Random words over a valid block: whatever a file holds, every call returns
// and GrayToTemp stores a finite value (UBSan checks the arithmetic).
TEST(MalformedBlock, RandomWordsNeverMisbehave) {
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<int> word(0, 838);
    std::uniform_int_distribution<uint32_t> bits;
    for (int round = 0; round < 3000; ++round) {
        TestBlock b = TestBlock::load(round % 2 ? "camera" : "table-a");
        const int changes = 1 + round % 12;
        for (int i = 0; i < changes; ++i) {
            const uint32_t v = bits(rng);
            int32_t iv;
            std::memcpy(&iv, &v, 4);
            b.i32(word(rng), round % 3 ? iv : iv % 8);
        }
        if (round % 5 == 0) b.i32(w::kGear, round % 3).i32(w::kLens, (round / 3) % 3);
        float t = 0;
        MT_GrayToTemp(b.para(), static_cast<int>(bits(rng) % 40000) - 10000, &t);
        EXPECT_TRUE(std::isfinite(t)) << round;
        MT_TempToGray(b.para(), t, nullptr);
        MT_SetBlackGray(b.para(), b.f32(w::kBlackTemp), 4000, 1.0f);
        MT_SetLensTypes(b.para(), b.i32(w::kLens));
        MT_GetHumidity(b.para());
        MT_GetDistantEx(b.para());
        MT_SetDistantEx(b.para(), static_cast<int>(bits(rng)));
    }
}
