// Gray <-> temperature on blocks whose results can be worked out by hand.
// The "linear" preset's active curve runs through (2000, -20), (3000, 0), ...
// (9000, 120), (10500, 150): 0.02 degrees per gray everywhere, no
// polynomial offset, no drift, emissivity 1, no distance correction.
#include <gtest/gtest.h>

#include <cmath>

#include "test_block.h"

TEST(GrayToTemp, FollowsTheActiveCurve) {
    struct Case {
        int gray;
        float temp;
    };
    const Case cases[] = {
        {4500, 30.0f},     // points 2, 3, 4
        {2000, -20.0f},    // at G0
        {10000, 140.0f},   // no point above: points 6, 7, 8
        {10500, 150.0f},   // at G8
        {0, -60.0f},       // below the curve, above the gray of -273
        {-20000, -273.0f}, // raised to the gray of -273
        {12000, 180.0f},   // above the curve
        {30000, 300.0f},   // lowered to the gray of 2*T8
    };
    for (const Case& c : cases) {
        TestBlock b = TestBlock::load("linear");
        int rc = 0;
        EXPECT_NEAR(b.temp(c.gray, &rc), c.temp, 2e-3) << c.gray;
        EXPECT_EQ(rc, 1);
    }
}

TEST(GrayToTemp, OffsetDriftAndUserRevise) {
    TestBlock b = TestBlock::load("linear");
    b.f32(w::kPolyA + 1, 100.0f);  // PA = 100 * Ff = 3000
    EXPECT_NEAR(b.temp(7500), 30.0f, 2e-3);

    b.f32(w::kPolyB, 8250.7f);  // drift = trunc(8250.7 - 8000) = 250
    EXPECT_NEAR(b.temp(7750), 30.0f, 2e-3);
    EXPECT_EQ(b.i32(w::kDrift), 250);

    b.f32(w::kUserRevise, 1.5f);
    EXPECT_NEAR(b.temp(7750), 31.5f, 2e-3);

    // Gear 1 uses its own polynomials (still zero) and the curve the block holds.
    b.i32(w::kGear, 1);
    EXPECT_NEAR(b.temp(4500), 31.5f, 2e-3);
}

TEST(GrayToTemp, ClampsToMinus273And2T8) {
    TestBlock b = TestBlock::load("linear");
    b.f32(w::kUserRevise, 50.0f);
    EXPECT_EQ(b.temp(30000), 300.0f);
    b.f32(w::kUserRevise, -50.0f);
    EXPECT_EQ(b.temp(-20000), -273.0f);
}

TEST(GrayToTemp, EmissivitySquareLaw) {
    struct Case {
        float e, revise, background;
        int gray;
        int rc;
        double expect;  // NaN: worked out below
    };
    auto squareLaw = [](double tb, double tenv, double e) {
        return std::sqrt((std::pow(tb + 273, 2) - (1 - e) * std::pow(tenv + 273, 2)) / e) - 273;
    };
    const Case cases[] = {
        {1.0f, 0.0f, 25.0f, 4500, 1, 30.0},
        {0.9f, 0.0f, 25.0f, 4500, 1, squareLaw(30, 25, 0.9)},
        {0.85f, 0.05f, 35.0f, 4500, 1, squareLaw(30, 30, 0.9)},  // tenv = (35 + 25) / 2
        {0.1f, 0.0f, 25.0f, 2000, 1, -273.0},  // negative radicand
        {0.0f, 0.0f, 25.0f, 4500, 1, -273.0},  // emissivity + revise <= 0
        {0.5f, -0.6f, 25.0f, 4500, 1, -273.0},
    };
    for (const Case& c : cases) {
        TestBlock b = TestBlock::load("linear");
        b.f32(w::kEmissivity, c.e).f32(w::kEmissRevise, c.revise).f32(w::kBackground, c.background);
        int rc = 0;
        EXPECT_NEAR(b.temp(c.gray, &rc), c.expect, 5e-3) << c.e << " " << c.revise;
        EXPECT_EQ(rc, c.rc);
    }
}

TEST(GrayToTemp, DriftOfTheSpecialInstrumentTypes) {
    // Type 3000: FPA 5 degrees above its calibration temperature, factor 100.
    TestBlock linear = TestBlock::load("linear");
    linear.i32(w::kType, 3000).f32(w::kCalibFpa, 25.0f);  // Ff = 30
    // With the 3000 terms Ff, Ff^2, A, ... the zero polynomial A stays 0 and B stays 8000.
    EXPECT_NEAR(linear.temp(4500), -15.0f, 2e-3);  // k = 0.5: v = 4500 - 2250
    EXPECT_EQ(linear.i32(w::kDrift), 2250);

    TestBlock quad = TestBlock::load("linear");
    quad.i32(w::kType, 3001).f32(w::kCalibFpa, 25.0f).i32(w::kVTemp, 0);
    EXPECT_NEAR(quad.temp(4500), 32.25f, 2e-3);  // k = 0.025: v = 4500 + 112.5
    EXPECT_EQ(quad.i32(w::kDrift), -112);

    TestBlock cold = TestBlock::load("linear");
    cold.i32(w::kType, 3000).f32(w::kCalibFpa, 30.0f);  // no compensation at w = 0
    EXPECT_NEAR(cold.temp(4500), 30.0f, 2e-3);
    EXPECT_EQ(cold.i32(w::kDrift), 0);

    // Type 2021: q = trunc((25 - 30) * 100) = -500; d = 100;
    // drift = trunc(100 - (-50000) / 30000) = 101.
    TestBlock t2021 = TestBlock::load("linear");
    t2021.i32(w::kType, 2021).f32(w::kCalibFpa, 25.0f).f32(w::kPolyB, 8100.0f);
    EXPECT_NEAR(t2021.temp(4601), 30.0f, 2e-3);
    EXPECT_EQ(t2021.i32(w::kDrift), 101);

    // Type 3002 works on gray + reference gray, without drift.
    TestBlock t3002 = TestBlock::load("linear");
    t3002.i32(w::kType, 3002).i32(w::kDrift, 77);
    EXPECT_NEAR(t3002.temp(-3500), 30.0f, 2e-3);
    EXPECT_EQ(t3002.i32(w::kDrift), 0);
    const int g = t3002.gray(30.0f);
    EXPECT_NEAR(g, -3500, 3);

    // An unknown type: zero polynomials, so the drift is -GrayBK.
    TestBlock unknown = TestBlock::load("linear");
    unknown.i32(w::kType, 4242);
    EXPECT_NEAR(unknown.temp(-3500), 30.0f, 2e-3);
    EXPECT_EQ(unknown.i32(w::kDrift), -8000);
}

namespace {

// Grays covered by 0.05 degrees around a gray, from the block's own slope.
double graySpan(TestBlock& b, int gray) {
    const double slope = std::fabs(b.temp(gray + 1) - b.temp(gray - 1)) / 2.0;
    return slope > 0 ? 0.05 / slope : 1e9;
}

// A type-6000 block with a live offset, drift, emissivity, user revise and a
// curve whose slope changes from segment to segment.
TestBlock curvedBlock() {
    TestBlock b = TestBlock::load("linear");
    const float grays[9] = {2000, 2600, 3400, 4400, 5600, 7000, 8600, 10400, 12400};
    for (int i = 0; i < 9; ++i) b.f32(w::kActiveGray + i, grays[i]);
    b.f32(w::kPolyA + 0, 120.0f).f32(w::kPolyA + 3, -15.0f);  // + (Fb - Ff) term
    b.f32(w::kPolyB + 0, 8033.0f);
    b.f32(w::kEmissivity, 0.93f).f32(w::kUserRevise, 0.7f).f32(w::kBackground, 18.0f);
    return b;
}

}  // namespace

TEST(RoundTrip, TempToGrayInvertsGrayToTemp) {
    for (const char* name : {"linear", "curved"}) {
        TestBlock b = std::string(name) == "curved" ? curvedBlock() : TestBlock::load("linear");
        const int first = static_cast<int>(b.f32(w::kActiveGray + 0)) + 200;
        const int last = static_cast<int>(b.f32(w::kActiveGray + 8)) + 100;
        for (int gray = first; gray <= last; gray += 37) {
            const double span = graySpan(b, gray);
            const float t = b.temp(gray);  // stores the drift the inverse reuses
            int stored = 0;
            const int back = MT_TempToGray(b.para(), t, &stored);
            EXPECT_EQ(back, stored);
            EXPECT_LE(std::abs(back - gray), span + 1.0) << name << " gray " << gray << " t " << t;
        }
    }
}

TEST(TempToGray, LimitsOfTheCurve) {
    TestBlock b = TestBlock::load("linear");
    b.temp(4500);
    // Absolute zero: the gray of -273 (-10650 on this curve); far above: that of 2*T8 = 300 (18000).
    EXPECT_NEAR(b.gray(-273.0f), -10650, 3);
    EXPECT_NEAR(b.gray(1000.0f), 18000, 3);
    EXPECT_NEAR(b.gray(30.0f), 4500, 3);
}
