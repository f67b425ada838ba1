#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framegrid.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The neutral scene: emissivity 1, no humidity, no offset.
float neutral(float t) { return DisHumEnvRevisePlane(t, 10.0f, 0, 20.0f, 20.0f, 1.0f, 0.0f, 0.0f); }

}  // namespace

TEST(GrayToTempPlane, LinearInGray) {
    struct Case {
        float base;
        int gray, ref;
        float k, expect;
    };
    const Case cases[] = {
        {25.0f, 8000, 8000, 37.0f, 25.0f},   // reference gray gives base exactly
        {20.0f, 1000, 500, 50.0f, 120.0f},   // 20 + 5000 / 50
        {20.0f, 500, 1000, 50.0f, -80.0f},
        {-5.5f, 16383, 0, 400.0f, -5.5f + 163830.0f / 400.0f},
    };
    for (const Case& c : cases) {
        float out = 0;
        const float r = MT_GrayToTempPlane(&out, c.base, c.gray, c.ref, c.k);
        EXPECT_FLOAT_EQ(r, c.expect);
        EXPECT_EQ(out, r);
    }
    EXPECT_EQ(MT_GrayToTempPlane(nullptr, 25.0f, 8000, 8000, 1.0f), 25.0f);
}

TEST(DisHumEnvRevisePlane, Corrections) {
    for (float t : {-40.0f, 0.0f, 36.6f, 350.0f}) EXPECT_NEAR(neutral(t), t, 1e-4 * (1 + std::fabs(t)));

    // Square law with the environment at (ambient + background) / 2 = 25,
    // then the distance-humidity term and the offset.
    const double e = 0.92 + 0.03, tenv = 25.0;
    const double to = std::sqrt((std::pow(60 + 273.0, 2) - (1 - e) * std::pow(tenv + 273, 2)) / e) - 273;
    const double expect = to + (to - tenv) * 40 * 3.0 * 0.0000238 + 1.25;
    EXPECT_NEAR(DisHumEnvRevisePlane(60.0f, 3.0f, 40, 20.0f, 30.0f, 0.92f, 0.03f, 1.25f), expect, 1e-4);
}

TEST(PlaneModel, RoundTripGivesTheGrayOrOneLess) {
    struct Case {
        float base;
        int ref;
        float k;
    };
    for (const Case c : {Case{25.0f, 8000, 37.0f}, {-10.0f, 3000, 120.5f}, {180.0f, 12000, 9.75f}}) {
        for (int gray = 0; gray <= 16383; gray += 97) {
            const float t = MT_GrayToTempPlane(nullptr, c.base, gray, c.ref, c.k);
            if (t < -250.0f) continue;  // the square law has no inverse below absolute zero
            int out = -1;
            const int back = MT_TempToGrayPlane(&out, c.base, t, c.ref, c.k, 5.0f, 0, 20.0f, 20.0f,
                                                1.0f, 0.0f, 0.0f);
            EXPECT_EQ(out, back);
            EXPECT_TRUE(back == gray || back == gray - 1) << gray << " -> " << back;
        }
    }
}

TEST(PlaneModel, GuardedCases) {
    // A zero or non-finite gain: the base temperature, never a division by zero.
    for (float k : {0.0f, -0.0f, kNaN, kInf, -kInf})
        EXPECT_EQ(MT_GrayToTempPlane(nullptr, 31.0f, 9000, 8000, k), 31.0f) << k;
    EXPECT_EQ(MT_GrayToTempPlane(nullptr, kNaN, 9000, 8000, 10.0f), -273.0f);

    // No emissivity, or an environment hotter than the object can radiate:
    // absolute zero plus the offset.
    struct Case {
        float t, e, revise, ambient, offset, expect;
    };
    const Case cases[] = {
        {30.0f, 0.0f, 0.0f, 25.0f, 0.0f, -273.0f},
        {30.0f, 0.5f, -0.5f, 25.0f, 2.0f, -271.0f},
        {-20.0f, 0.05f, 0.0f, 60.0f, 1.5f, -271.5f},  // negative radicand
        {kNaN, 0.95f, 0.0f, 25.0f, 0.5f, -272.5f},
        {30.0f, 0.95f, 0.0f, 25.0f, kInf, -273.0f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisHumEnvRevisePlane(c.t, 2.0f, 50, c.ambient, c.ambient, c.e, c.revise, c.offset),
                  c.expect);

    // The inverse saturates and never yields an undefined integer.
    int out = 0;
    EXPECT_EQ(MT_TempToGrayPlane(&out, 0.0f, 1e30f, 100, 1e30f, 0, 0, 20, 20, 1, 0, 0),
              std::numeric_limits<int>::max());
    EXPECT_EQ(MT_TempToGrayPlane(&out, 0.0f, -1e30f, 100, 1e30f, 0, 0, 20, 20, 1, 0, 0),
              std::numeric_limits<int>::min());
    EXPECT_EQ(MT_TempToGrayPlane(&out, 0.0f, kNaN, 100, 10.0f, 0, 0, 20, 20, 1, 0, 0), 100);
    EXPECT_EQ(MT_TempToGrayPlane(&out, 0.0f, 50.0f, 100, kInf, 0, 0, 20, 20, 1, 0, 0), 100);
    EXPECT_EQ(MT_TempToGrayPlane(nullptr, 10.0f, 50.0f, 100, 0.0f, 0, 0, 20, 20, 1, 0, 0), 100);
}
