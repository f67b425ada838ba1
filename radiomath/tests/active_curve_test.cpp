// Building the active curve: the mapping of the nominal curve through the
// calibration grays, per gear, type and lens, and what triggers a rebuild.
#include <gtest/gtest.h>

#include <vector>

#include "test_block.h"

namespace {

int calWord(int gear, int lens) {
    const int base[] = {w::kCalLens0, w::kCalLens1, w::kCalLens2};
    return base[lens] + 5 * gear;
}

std::vector<float> activeGrays(const TestBlock& b) {
    std::vector<float> g;
    for (int i = 0; i < 9; ++i) g.push_back(b.f32(w::kActiveGray + i));
    return g;
}

struct Point {
    int index;
    float gray;
};

struct CurveCase {
    const char* name;
    int gear, type, lens;
    float c0, c1, c2;
    std::vector<Point> expected;
};

}  // namespace

TEST(ActiveCurve, MapsNominalGraysThroughTheCalibration) {
    // Nominal grays of the generator: gear 0 2000..9000 step 1000 then 10500;
    // gear 1 3000..9000 step 1000, 11000, 13000; gear 2 2500..9500 step 1000, 11500.
    const CurveCase cases[] = {
        {"gear 0, anchors N2 and N6", 0, 6000, 0, 4400, 8000, 11000,
         {{0, 2600}, {2, 4400}, {4, 6200}, {6, 8000}, {7, 9200}, {8, 11000}}},
        {"gear 0, type 2021, lens 0 scales", 0, 2021, 0, 2200, 8800, 11000,
         {{0, 2200}, {3, 5500}, {4, 6600}, {6, 8800}, {7, 9680}, {8, 11000}}},
        {"gear 0, type 2021, lens 1 anchors N0 and N6", 0, 2021, 1, 2500, 8800, 11000,
         {{0, 2500}, {3, 5650}, {6, 8800}, {7, 9680}}},
        {"gear 1, anchors N0 and N5", 1, 2000, 2, 3300, 8000, 13000,
         {{0, 3300}, {1, 4240}, {5, 8000}, {6, 9000}, {8, 13000}}},
        {"gear 1, type 2021, lens 0 scales", 1, 2021, 0, 3300, 8800, 13000,
         {{0, 3300}, {3, 6600}, {4, 7700}, {5, 8800}, {6, 9640}}},
        {"gear 2, anchors N0 and N4", 2, 2021, 0, 2500, 7000, 11500,
         {{0, 2500}, {2, 4750}, {4, 7000}, {5, 7900}, {8, 11500}}},
    };
    for (const CurveCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestBlock b = TestBlock::load("linear");
        b.i32(w::kType, c.type).i32(w::kLens, c.lens);
        b.f32(calWord(c.gear, c.lens) + 0, c.c0)
            .f32(calWord(c.gear, c.lens) + 1, c.c1)
            .f32(calWord(c.gear, c.lens) + 2, c.c2);
        EXPECT_EQ(MT_SetDangWei(b.para(), c.gear), c.gear);
        for (const Point& pt : c.expected)
            EXPECT_NEAR(b.f32(w::kActiveGray + pt.index), pt.gray, 1e-2) << "G" << pt.index;
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(b.f32(w::kActiveTemp + i), b.f32(w::kCurveTemp + 9 * c.gear + i));
    }
}

TEST(ActiveCurve, RebuildTriggers) {
    // MT_Init builds gear 0 whatever the current gear is.
    TestBlock b = TestBlock::load("linear");
    b.i32(w::kGear, 2).f32(calWord(0, 0) + 0, 4400);
    EXPECT_EQ(MT_Init(b.para()), 1);
    EXPECT_NEAR(b.f32(w::kActiveGray + 0), 2600, 1e-2);
    EXPECT_EQ(b.i32(w::kGear), 2);

    // A gear outside 0..2 is stored and the curve left as it was.
    const std::vector<float> before = activeGrays(b);
    EXPECT_EQ(MT_SetDangWei(b.para(), 5), 5);
    EXPECT_EQ(b.i32(w::kGear), 5);
    EXPECT_EQ(activeGrays(b), before);

    // A lens change rebuilds the current gear with that lens's grays.
    TestBlock l = TestBlock::load("linear");
    l.f32(calWord(0, 1) + 0, 4400);
    EXPECT_EQ(MT_SetLensTypes(l.para(), 1), 1);
    EXPECT_NEAR(l.f32(w::kActiveGray + 0), 2600, 1e-2);
    const std::vector<float> lens1 = activeGrays(l);
    EXPECT_EQ(MT_SetLensTypes(l.para(), 7), 7);
    EXPECT_EQ(l.i32(w::kLens), 7);
    EXPECT_EQ(activeGrays(l), lens1) << "an unknown lens builds nothing";
    EXPECT_EQ(MT_Init(l.para()), 0);
}

TEST(ActiveCurve, BlackBodyCaptureStoresTheCalibrationGray) {
    // Black bodies of gear 0 in the generator: 20, 100 and 150 degrees.
    TestBlock b = TestBlock::load("linear");
    EXPECT_EQ(MT_SetBlackGray(b.para(), 100.0f, 8200, 1.0f), 1);
    EXPECT_EQ(b.f32(calWord(0, 0) + 1), 8200.0f);  // (8200 - drift 0) * (2 - 1 - 0) - 0
    EXPECT_EQ(b.f32(calWord(0, 1) + 1), 8000.0f) << "other lenses keep their grays";
    EXPECT_NEAR(b.f32(w::kActiveGray + 6), 8200.0f, 1e-3) << "the curve is rebuilt";
    EXPECT_EQ(b.i32(w::kDrift), 0);

    // A weight and an emissivity revise scale the gray; a temperature without
    // a black body stores nothing.
    TestBlock s = TestBlock::load("linear");
    s.f32(w::kEmissRevise, 0.25f).f32(w::kPolyB, 8100.0f);  // drift 100
    EXPECT_EQ(MT_SetBlackGray(s.para(), 20.0f, 4100, 0.5f), 1);
    EXPECT_EQ(s.i32(w::kDrift), 100);
    EXPECT_NEAR(s.f32(calWord(0, 0) + 0), (4100 - 100) * 1.25f, 1e-3);
    const auto before = s.f32(calWord(0, 0) + 2);
    EXPECT_EQ(MT_SetBlackGray(s.para(), 37.0f, 5000, 1.0f), 1);
    EXPECT_EQ(s.f32(calWord(0, 0) + 2), before);

    // Type 3002 adds the reference gray and has no drift.
    TestBlock t = TestBlock::load("linear");
    t.i32(w::kType, 3002).i32(w::kDrift, 55);
    EXPECT_EQ(MT_SetBlackGray(t.para(), 150.0f, 2500, 1.0f), 1);
    EXPECT_EQ(t.i32(w::kDrift), 0);
    EXPECT_EQ(t.f32(calWord(0, 0) + 2), 10500.0f);  // 8000 + 2500
}
