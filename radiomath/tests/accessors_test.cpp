// State rules of the accessors.
#include <gtest/gtest.h>

#include "test_block.h"

TEST(Accessors, HumidityIsClampedAndWrittenBack) {
    struct Case {
        int in, stored;
    };
    for (const Case c : {Case{150, 100}, {-5, 0}, {55, 55}, {0, 0}, {100, 100}}) {
        TestBlock b = TestBlock::load("linear");
        EXPECT_EQ(MT_SetHumidity(b.para(), c.in), c.stored) << c.in;
        EXPECT_EQ(b.i32(w::kHumidity), c.stored) << c.in;
    }
    for (const Case c : {Case{120, 100}, {-3, 0}, {42, 42}}) {
        TestBlock b = TestBlock::load("linear");
        b.i32(w::kHumidity, c.in);
        EXPECT_EQ(MT_GetHumidity(b.para()), c.stored);
        EXPECT_EQ(b.i32(w::kHumidity), c.stored) << "the getter writes the clamped value back";
    }
}

TEST(Accessors, DistanceInCentimetresDependsOnRevision) {
    struct Case {
        int revision, cm, result, word282;
    };
    const Case cases[] = {
        {10002, 250, 2, 250},   // stored in both words
        {10001, 250, 2, 250},   // table revision A also keeps centimetres
        {10000, 250, 2, 777},   // formula revision: word 282 keeps its old value
        {10002, -250, -2, -250},  // integer division truncates toward zero
        {10002, 99, 0, 99},
    };
    for (const Case& c : cases) {
        TestBlock b = TestBlock::load("linear");
        b.i32(w::kRevision, c.revision).i32(w::kDistanceCm, 777);
        EXPECT_EQ(MT_SetDistantEx(b.para(), c.cm), c.result);
        EXPECT_EQ(b.i32(w::kDistanceM), c.result);
        EXPECT_EQ(b.i32(w::kDistanceCm), c.word282);
    }

    TestBlock b = TestBlock::load("linear");
    b.i32(w::kRevision, 10000).i32(w::kDistanceM, 3).i32(w::kDistanceCm, 450);
    EXPECT_EQ(MT_GetDistantEx(b.para()), 300);
    b.i32(w::kRevision, 10001);
    EXPECT_EQ(MT_GetDistantEx(b.para()), 450);

    EXPECT_EQ(MT_SetDistant(b.para(), 7), 7);
    EXPECT_EQ(b.i32(w::kDistanceM), 7);
    EXPECT_EQ(b.i32(w::kDistanceCm), 450) << "metres leave the centimetre word alone";
}

TEST(Accessors, AmbientWritesTheUsedAmbientBelowRevision10003) {
    for (int revision : {9999, 10002, 10003, 10010}) {
        TestBlock b = TestBlock::load("linear");  // both ambients 25
        b.i32(w::kRevision, revision);
        MT_SetAmbientTemp(b.para(), 33.0f);
        EXPECT_EQ(b.f32(w::kAmbient), 33.0f);
        EXPECT_EQ(b.f32(w::kAmbientUsed), revision < 10003 ? 33.0f : 25.0f) << revision;
        EXPECT_EQ(MT_GetAmbientTemp(b.para()), b.f32(w::kAmbientUsed));
    }
    TestBlock b = TestBlock::load("linear");
    MT_SetAmbientTempUser(b.para(), 12.0f);
    EXPECT_EQ(b.f32(w::kAmbientUsed), 12.0f);
    EXPECT_EQ(b.f32(w::kAmbient), 25.0f);
}

TEST(Accessors, TempRangeIgnoresItsGearArgument) {
    TestBlock b = TestBlock::load("linear");
    EXPECT_EQ(MT_SetTempRange(b.para(), 2, 0.0f, 150.0f), 1);
    EXPECT_EQ(b.f32(w::kRangeLow + 0), 0.0f);
    EXPECT_EQ(b.f32(w::kRangeHigh + 0), 150.0f);
    EXPECT_EQ(b.f32(w::kRangeLow + 2), 300.0f) << "gear 2 keeps its range";
    EXPECT_EQ(b.f32(w::kRangeHigh + 2), 1200.0f);
}

TEST(Accessors, GearIndexedValuesRefuseBadGears) {
    for (int gear : {-1, 3, 1000}) {
        TestBlock b = TestBlock::load("camera");
        const auto before = b.words();
        float lo = 1, hi = 2;
        EXPECT_EQ(MT_GetTempRange(b.para(), gear, &lo, &hi), -1);
        EXPECT_EQ(lo, 1.0f);
        EXPECT_EQ(MT_SetEmbientRevise(b.para(), gear, 5), -1);
        EXPECT_EQ(MT_GetEmbientRevise(b.para(), gear), -1);
        EXPECT_EQ(MT_SetDingBiaoFPA(b.para(), gear, 5.0f), -1);
        EXPECT_EQ(MT_GetDingBiaoFPA(b.para(), gear), -1.0f);
        EXPECT_EQ(b.words(), before) << gear;

        // A bad current gear from the file: setters of the current gear touch nothing.
        b.i32(w::kGear, gear);
        const auto withGear = b.words();
        float out[3] = {};
        EXPECT_EQ(MT_SetTempRange(b.para(), 0, 1.0f, 2.0f), -1);
        EXPECT_EQ(MT_GetBlackTempRiviseArray(b.para(), out), -1);
        EXPECT_EQ(b.words(), withGear);
    }
    TestBlock b = TestBlock::load("camera");
    EXPECT_EQ(MT_SetEmbientRevise(b.para(), 1, 250), 250);
    EXPECT_EQ(b.i32(w::kDriftFactor + 1), 250);
    EXPECT_EQ(MT_SetDingBiaoFPA(b.para(), 2, 21.5f), 1);
    EXPECT_EQ(b.f32(w::kCalibFpa + 2), 21.5f);
}

TEST(Accessors, BlackBodyTemperaturesOfTheCurrentGear) {
    TestBlock b = TestBlock::load("linear");
    b.i32(w::kGear, 1);
    float out[3] = {};
    EXPECT_EQ(MT_GetBlackTempRiviseArraySize(b.para()), 3);
    EXPECT_EQ(MT_GetBlackTempRiviseArray(b.para(), out), 3);
    // Gear 1 anchors on curve points 0, 5 and 8: 100, 350 and 600 degrees.
    EXPECT_EQ(out[0], 100.0f);
    EXPECT_EQ(out[1], 350.0f);
    EXPECT_EQ(out[2], 600.0f);
}
