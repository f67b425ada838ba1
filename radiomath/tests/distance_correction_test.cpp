// Distance and humidity corrections by revision.
#include <gtest/gtest.h>

#include <cmath>

#include "test_block.h"

// Gray 4500 gives 30 degrees on every preset's curve; the scene is 25 degrees.
TEST(DistanceCorrection, FormulaRevision) {
    struct Case {
        int type, metres, humidity;
        double expect;
    };
    const Case cases[] = {
        {1000, 1, 50, 30.0 + 0.0017 * 5},        // no 0.5 at one metre
        {1000, 2, 50, 30.0 + 0.0017 * 5 * 2 + 0.5},
        {1000, 1, 70, 30.0 + 0.0001 * 5 * 20 + 0.0017 * 5},
        {1000, 0, 50, 30.0},
        {1000, -1, 50, 30.0 + 0.0017 * 5 * 4294967295.0 + 0.5},  // read as unsigned
        {2000, 2, 30, 30.0 - 0.0001 * 5 * 20 + 0.0017 * 5 * 2},
        {2100, 3, 50, 30.0 + 0.0017 * 5 * 3},
        {2200, 3, 50, 30.0 + 0.0017 * 5 * 3},
        {2300, 3, 50, 30.0 + 0.0017 * 5 * 3},
        {2001, 3, 90, 30.0},
        {6001, 3, 90, 30.0},
    };
    for (const Case& c : cases) {
        TestBlock b = TestBlock::load("formula1000");
        b.i32(w::kType, c.type).i32(w::kDistanceM, c.metres).i32(w::kHumidity, c.humidity);
        const double t = b.temp(4500);
        if (c.metres >= 0)
            EXPECT_NEAR(t, c.expect, 1e-3) << c.type << " " << c.metres;
        else
            EXPECT_EQ(t, 300.0f) << "a huge unsigned distance clamps to 2*T8";
    }
}

TEST(DistanceCorrection, IntegerTableRevision) {
    // 100 cm lies in (100, 150): A = 2020, B = 9960; reference pair 2000..10000.
    // r = 2020 + 1000 * 7940 / 8000 = 3012; humidity 50: (3000 - 3012) * -10 / 100 = 1;
    // result (6000 - 3012 - 1) / 100.
    TestBlock b = TestBlock::load("table-a");
    EXPECT_NEAR(b.temp(4500), 29.87, 1e-4);

    struct Case {
        int cm, humidity;
        double expect;
    };
    const Case cases[] = {
        // 125 cm: A = 2020 + 25*10/50 = 2025, B = 9960 - 25*20/50 = 9950;
        // r = 2025 + 1000 * 7925 / 8000 = 3015; (3000-3015)*(80-60)/100 = -3.
        {125, 80, (6000 - 3015 + 3) / 100.0},
        // Beyond the table: last interval (10000, 12000), A = 2290 + ..., extrapolated.
        // x = 14000: A = 2280 + 4000*10/2000 = 2300, B = 9440 - 4000*20/2000 = 9400;
        // r = 2300 + 1000*7100/8000 = 3187; (3000-3187)*(-10)/100 = 18.
        {14000, 50, (6000 - 3187 - 18) / 100.0},
    };
    for (const Case& c : cases) {
        TestBlock t = TestBlock::load("table-a");
        t.i32(w::kDistanceCm, c.cm).i32(w::kHumidity, c.humidity);
        EXPECT_NEAR(t.temp(4500), c.expect, 1e-4) << c.cm;
    }
}

TEST(DistanceCorrection, FloatingTableRevision) {
    auto powerLaw = [](double x) {
        // a = D28 = 10000, b = D29 = 12000: both take the last interval.
        const double rho = (9420.0 - 2290.0) / (9440.0 - 2280.0);
        return 25.0 + 5.0 / std::pow(rho, (x - 200.0) / 2000.0);
    };
    struct Case {
        int cm;
        double expect;
    };
    const Case cases[] = {
        {150, 30.0 + 90.0 * 5 / 8000},      // k = 8000 - (9940 - 2030)
        {199, 30.0 + 119.4 * 5 / 8000},     // last centimetre of the linear form
        {200, 30.0},                        // the power law starts with exponent 0
        {6100, powerLaw(6100)},
        {20000, powerLaw(20000)},
    };
    for (const Case& c : cases) {
        TestBlock b = TestBlock::load("table-b");
        b.i32(w::kDistanceCm, c.cm).i32(w::kHumidity, 0);  // humidity plays no part
        EXPECT_NEAR(b.temp(4500), c.expect, 1e-3) << c.cm;
    }
}

TEST(DistanceCorrection, TableRevisionsStayMonotonicAndClose) {
    for (const char* preset : {"table-a", "table-b"}) {
        for (int cm : {100, 180, 250, 3000}) {
            TestBlock b = TestBlock::load(preset);
            b.i32(w::kDistanceCm, cm);
            float previous = -1000;
            int previousGray = -100000;
            for (int gray = 2200; gray <= 10400; gray += 50) {
                const float t = b.temp(gray);
                EXPECT_GE(t, previous) << preset << " " << cm << " gray " << gray;
                previous = t;
                const int back = b.gray(t);
                EXPECT_LE(std::abs(back - gray), 40) << preset << " " << cm << " gray " << gray;
                EXPECT_GE(back, previousGray);
                previousGray = back;
            }
        }
    }
}
