// The library reads the block at the word positions the generator wrote.
#include <gtest/gtest.h>

#include <cstring>

#include "test_block.h"

TEST(Layout, GettersReadTheGeneratorsWords) {
    TestBlock b = TestBlock::load("camera");
    MT_Para* p = b.para();
    EXPECT_EQ(MT_GetParaSize(), 3356);
    EXPECT_EQ(MT_GetVersion(), 2011);
    EXPECT_EQ(MT_GetInstrumentType(p), 3000);
    EXPECT_EQ(MT_GetDangWei(p), 0);
    EXPECT_EQ(MT_GetLensTypes(p), 0);
    EXPECT_FLOAT_EQ(MT_GetFPATempFront(p), 32.5f);
    EXPECT_FLOAT_EQ(MT_GetLensTempBack(p), 30.1f);
    EXPECT_FLOAT_EQ(MT_GetLensTempFront(p), 29.8f);
    EXPECT_FLOAT_EQ(MT_GetFPATempBack(p), 33.0f);
    EXPECT_FLOAT_EQ(MT_GetCircuitBoardTemp(p), 38.2f);
    EXPECT_FLOAT_EQ(MT_GetAmbientTemp(p), 24.0f);
    EXPECT_FLOAT_EQ(MT_GetBackgroundTemp(p), 22.0f);
    EXPECT_EQ(MT_GetDistant(p), 2);
    EXPECT_EQ(MT_GetDistantEx(p), 200);
    EXPECT_EQ(MT_GetHumidity(p), 60);
    EXPECT_FLOAT_EQ(MT_GetEmissivity(p), 0.95f);
    EXPECT_EQ(MT_GetVTemp(p), 1);
    EXPECT_EQ(MT_GetEmbientRevise(p, 2), 100);
    EXPECT_FLOAT_EQ(MT_GetDingBiaoFPA(p, 1), 30.0f);
    float lo = 0, hi = 0;
    EXPECT_EQ(MT_GetTempRange(p, 1, &lo, &hi), 1);
    EXPECT_FLOAT_EQ(lo, 100.0f);
    EXPECT_FLOAT_EQ(hi, 600.0f);
}

TEST(Layout, SettersWriteTheGeneratorsWords) {
    TestBlock b = TestBlock::load("linear");
    MT_Para* p = b.para();
    MT_SetTempAll(p, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f);  // lens front, lens back, FPA front, FPA back, board
    EXPECT_EQ(b.f32(w::kLensFront), 1.0f);
    EXPECT_EQ(b.f32(w::kLensBack), 2.0f);
    EXPECT_EQ(b.f32(w::kFpaFront), 3.0f);
    EXPECT_EQ(b.f32(w::kFpaBack), 4.0f);
    EXPECT_EQ(b.f32(w::kBoard), 5.0f);
    MT_SetEmissRevise(p, 0.03f);
    MT_SetUserTempRevise(p, -1.5f);
    MT_SetBackgroundTemp(p, 18.0f);
    EXPECT_EQ(b.f32(w::kEmissRevise), 0.03f);
    EXPECT_EQ(b.f32(w::kUserRevise), -1.5f);
    EXPECT_EQ(b.f32(w::kBackground), 18.0f);
    EXPECT_EQ(MT_SetLogicTypes(p, 7), 7);
    EXPECT_EQ(MT_SetReferenceFlag(p, 1), 1);
    EXPECT_EQ(MT_SetReferenceGray(p, 4321), 4321);
    EXPECT_EQ(MT_SetReferenceGrayDoZero(p, 1234), 1234);
    EXPECT_EQ(MT_SetVTemp(p, 2), 2);
    EXPECT_EQ(b.i32(w::kLogic), 7);
    EXPECT_EQ(b.i32(w::kRefFlag), 1);
    EXPECT_EQ(b.i32(w::kRefGray), 4321);
    EXPECT_EQ(b.i32(w::kRefGrayZero), 1234);
    EXPECT_EQ(b.i32(w::kVTemp), 2);
}

TEST(Layout, ExportCopiesTheWholeBlock) {
    TestBlock b = TestBlock::load("camera");
    unsigned char out[3356 + 4];
    std::memset(out, 0xAB, sizeof out);
    EXPECT_EQ(MT_ExportData(b.para(), out), 3356);
    EXPECT_EQ(std::memcmp(out, b.words().data(), 3356), 0);
    EXPECT_EQ(out[3356], 0xAB);
}
