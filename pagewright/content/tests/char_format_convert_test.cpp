#include "content/rich_text_format.h"

#include "test_support.h"

#include <QTextCharFormat>

namespace {

using namespace platform;

TEST(CharFormatConversion, AppliesMaskedAttributesOnly)
{
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD | CFM_SIZE | CFM_COLOR;
    cf.dwEffects = CFE_BOLD | CFE_ITALIC; // italic is not in the mask
    cf.yHeight = 210;                      // 10.5 points
    cf.crTextColor = 0x0000FF;
    cf.SetFaceName(QStringLiteral("黑体")); // nor is the face
    const QTextCharFormat f = rich_text::FromCharFormat(cf);
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_FALSE(f.hasProperty(QTextFormat::FontItalic));
    EXPECT_FALSE(f.hasProperty(QTextFormat::FontFamilies));
    EXPECT_EQ(f.fontPointSize(), 10.5);
    COLORREF c = 0;
    ASSERT_TRUE(rich_text::ExplicitColorOf(f, c));
    EXPECT_EQ(c, 0x0000FFu);

    // The auto colour is not black.
    cf.dwEffects = CFE_AUTOCOLOR;
    cf.crTextColor = 0;
    EXPECT_FALSE(rich_text::ExplicitColorOf(rich_text::FromCharFormat(cf), c));
}

TEST(CharFormatConversion, RoundTripsEveryAttribute)
{
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET;
    cf.dwEffects = CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT;
    cf.yHeight = 360;
    cf.crTextColor = 0x123456;
    cf.bCharSet = 134;
    cf.bPitchAndFamily = 0x22; // variable pitch, swiss
    cf.SetFaceName(QStringLiteral("宋体"));
    const CHARFORMAT back = rich_text::ToCharFormat(rich_text::FromCharFormat(cf));
    EXPECT_EQ(back, cf);

    cf.dwEffects = CFE_BOLD | CFE_AUTOCOLOR;
    cf.crTextColor = 0;
    EXPECT_EQ(rich_text::ToCharFormat(rich_text::FromCharFormat(cf)), cf);
}

} // namespace
