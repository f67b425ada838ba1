#include "platform/char_format.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace platform {
namespace {

TEST(CharFormat, ReadsAndWritesFieldsAtTheirOffsets)
{
    // size 60, mask bold|colour|face|size, effects bold, height 210 twips,
    // offset -20, colour 0x0000FF, charset 134, pitch 0x31, face "宋体",
    // padding bytes 0xAB 0xCD kept as read.
    QByteArray bytes = test::hex("3c000000"
                                 "010000e0"
                                 "01000000"
                                 "d2000000"
                                 "ecffffff"
                                 "ff000000"
                                 "86"
                                 "31");
    QByteArray face = test::hex("cbcecce5");
    face.resize(32, '\0');
    bytes += face;
    bytes += test::hex("abcd");
    ASSERT_EQ(bytes.size(), 60);

    const auto cf = CHARFORMAT::FromBytes(bytes);
    ASSERT_TRUE(cf);
    EXPECT_EQ(cf->cbSize, 60u);
    EXPECT_EQ(cf->dwMask, CFM_BOLD | CFM_COLOR | CFM_FACE | CFM_SIZE);
    EXPECT_EQ(cf->dwEffects, CFE_BOLD);
    EXPECT_EQ(cf->yHeight, 210);
    EXPECT_EQ(cf->yOffset, -20);
    EXPECT_EQ(cf->crTextColor, 0xFFu);
    EXPECT_EQ(cf->bCharSet, 134);
    EXPECT_EQ(cf->bPitchAndFamily, 0x31);
    EXPECT_EQ(cf->FaceName(), QStringLiteral("宋体"));
    EXPECT_EQ(cf->ToBytes(), bytes);

    EXPECT_FALSE(CHARFORMAT::FromBytes(bytes.first(59)));
}

TEST(CharFormat, FaceNamesStayInsideTheirField)
{
    CHARFORMAT cf;
    // 20 Chinese characters are 40 GBK bytes: cut to 15 characters (30
    // bytes), never half of one, and still NUL-terminated.
    cf.SetFaceName(QString(20, QChar(0x4E2D)));
    EXPECT_EQ(cf.FaceName(), QString(15, QChar(0x4E2D)));
    EXPECT_EQ(cf.szFaceName[31], '\0');
    // A face without a NUL in its 32 bytes reads as all 32.
    cf.szFaceName.fill('A');
    EXPECT_EQ(cf.FaceName(), QString(32, QChar('A')));
    EXPECT_EQ(cf.ToBytes().size(), 60);
}

} // namespace
} // namespace platform
