// Term sets of the instrument polynomials. MT_DoEvent(p, 0) stores
// trunc(polynomial B) as the reference gray, which exposes each term when
// one coefficient is 1 and the others 0.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "test_block.h"

namespace {

struct Family {
    std::vector<int> types;
    std::array<int, 15> terms;  // with Ff=3 Lb=5 Lf=2 Fb=7 B=11 A=13
};

}  // namespace

TEST(Polynomial, TermsOfEachInstrumentFamily) {
    const Family families[] = {
        {{1000}, {1, 3, 9, 7, 49, 1, 1, 3, 3, 2, 4, 14, 28, 0, 0}},
        {{2000}, {1, 3, 9, 13, 169, 7, 11, 39, 507, 21, 33, 0, 0, 0, 0}},
        {{2001}, {1, 3, 9, 10, 16, 7, 13, 30, 48, 21, 39, 0, 0, 0, 0}},
        {{2021}, {1, 3, 9, 27, 5, 25, 125, 7, 49, 13, 169, 0, 0, 0, 0}},
        {{2100}, {1, 3, 9, 2, 4, -2, 4, -6, 12, -11, 121, -22, 242, 8, -2}},
        {{2200, 3000}, {1, 3, 9, 13, 169, 4, -10, 0, 0, 0, 0, 0, 0, 0, 0}},
        {{2300}, {1, 3, 9, 4, -6, 13, 16, 0, 0, 0, 0, 0, 0, 0, 0}},
        {{2600}, {1, 3, 9, 5, 36, 7, 11, 15, 108, 21, 33, 0, 0, 0, 0}},
        {{2700, 3001}, {1, 3, 9, 5, 25, 7, 11, 15, 75, 21, 33, 0, 0, 0, 0}},
        {{3002}, {1, 11, 121, 5, 25, 3, 9, 2, 4, 0, 0, 0, 0, 0, 0}},
        {{6000}, {1, 3, 9, 4, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {{6001}, {1, 3, 9, 5, 7, 4, -10, 0, 0, 0, 0, 0, 0, 0, 0}},
        {{0, 4242, 2002}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Family& f : families) {
        for (int type : f.types) {
            for (int gear = 0; gear < 3; ++gear) {
                for (int i = 0; i < 15; ++i) {
                    TestBlock b = TestBlock::load("linear");
                    b.i32(w::kType, type).i32(w::kGear, gear);
                    b.f32(w::kFpaFront, 3).f32(w::kLensBack, 5).f32(w::kLensFront, 2);
                    b.f32(w::kFpaBack, 7).f32(w::kBoard, 11).f32(w::kAmbient, 13);
                    for (int k = 0; k < 15; ++k) b.f32(w::kPolyB + 15 * gear + k, k == i ? 1.0f : 0.0f);
                    ASSERT_EQ(MT_DoEvent(b.para(), 0), 1);
                    EXPECT_EQ(b.i32(w::kGrayBK), f.terms[i]) << "type " << type << " term " << i;
                }
            }
        }
    }
}

TEST(Polynomial, ReferenceGrayFromPolynomialB) {
    TestBlock b = TestBlock::load("linear");  // polynomial B = 8000 on every gear
    b.i32(w::kType, 2000).f32(w::kPolyB, 8123.9f);
    EXPECT_EQ(MT_SetGrayBK(b.para(), 0), -2);
    EXPECT_EQ(MT_SetGrayBK(b.para(), 16384), -2);
    EXPECT_EQ(b.i32(w::kGrayBK), 8000) << "a refused value changes nothing";
    EXPECT_EQ(MT_SetGrayBK(b.para(), 5000), 1);
    EXPECT_EQ(b.i32(w::kGrayBK), 8123) << "the prediction is stored, not the argument";

    b.i32(w::kType, 3002);
    EXPECT_EQ(MT_SetGrayBK(b.para(), 16383), 1);
    EXPECT_EQ(b.i32(w::kGrayBK), 16383);
    EXPECT_EQ(MT_SetGrayBK(b.para(), 1), 1);
    EXPECT_EQ(b.i32(w::kGrayBK), 1);

    EXPECT_EQ(MT_DoEvent(b.para(), 1), 1);
    EXPECT_EQ(b.i32(w::kGrayBK), 1) << "only flag 0 recomputes";
    EXPECT_EQ(MT_DoEvent(b.para(), 0), 1);
    EXPECT_EQ(b.i32(w::kGrayBK), 8123);
}
