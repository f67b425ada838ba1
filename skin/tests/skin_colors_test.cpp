// Shades of the skin, the integer HLS conversion, and the skin images.
#include "test_support.h"

#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/hls.h"
#include "skin/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace skin;

namespace {

struct Hls {
    int h, l, s;
};

Hls hlsOf(COLORREF c)
{
    WORD h = 0, l = 0, s = 0;
    RgbToHls(c, &h, &l, &s);
    return {h, l, s};
}

// The floating-point conversion of Python's colorsys, on the 0..240 scale.
struct FloatHls {
    double h, l, s;
};

FloatHls referenceHls(int r8, int g8, int b8)
{
    const double r = r8 / 255.0, g = g8 / 255.0, b = b8 / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mn + mx) / 2.0;
    if (mn == mx)
        return {0, l * 240, 0};
    const double s = l <= 0.5 ? (mx - mn) / (mx + mn) : (mx - mn) / (2.0 - mx - mn);
    const double rc = (mx - r) / (mx - mn), gc = (mx - g) / (mx - mn), bc = (mx - b) / (mx - mn);
    double h = r == mx ? bc - gc : g == mx ? 2.0 + rc - bc : 4.0 + gc - rc;
    h = std::fmod(h / 6.0, 1.0);
    if (h < 0)
        h += 1.0;
    return {h * 240, l * 240, s * 240};
}

} // namespace

TEST(SkinShades, PresetsGiveTheDocumentedShades)
{
    auto s0 = MakeSkin(0);
    EXPECT_EQ(s0->m_clrSkinBase, RGB(135, 178, 239));
    const Hls hls = hlsOf(s0->m_clrSkinBase);
    EXPECT_EQ(hls.h, 143);
    EXPECT_EQ(hls.l, 176);
    EXPECT_EQ(hls.s, 184);
    EXPECT_EQ(s0->m_clrSkinDark, RGB(23, 90, 181));
    EXPECT_EQ(s0->m_clrSkinDark2, s0->m_clrSkinDark);
    EXPECT_EQ(s0->m_clrSkinMuted, RGB(160, 183, 214));
    // Light: steps 63, 53 and 20 (14 raised to the minimum), blue capped.
    EXPECT_EQ(s0->m_clrSkinLight, 0xFFE7C6u);
    EXPECT_EQ(s0->m_clrSkinLight2, s0->m_clrSkinLight);
    EXPECT_EQ(s0->m_clrSkinMid, 0xF7CCA6u);
    EXPECT_EQ(s0->m_clrSkinPale, 0xFFF3E2u);
    EXPECT_EQ(s0->m_clrSkinWhite, 0xFFFFFFu);
    EXPECT_EQ(s0->m_clrSkinGrey, RGB(239, 239, 239));
    for (int n = 1; n <= 9; ++n)
        EXPECT_NE(s0->Shade(n), 0u) << n;

    auto s6 = MakeSkin(6);
    const Hls grey = hlsOf(s6->m_clrSkinBase);
    EXPECT_EQ(grey.h, 160);
    EXPECT_EQ(grey.l, 226);
    EXPECT_EQ(grey.s, 0);
    EXPECT_EQ(s6->m_clrSkinMuted, s6->m_clrSkinBase);
    EXPECT_EQ(s6->m_clrSkinDark, RGB(155, 155, 155));
}

TEST(SkinShades, ChannelsAtTheEndsGetTheMinimumStep)
{
    EnsureQApplication();
    SkinState s;
    s.BuildSkinBitmaps(RGB(0, 255, 128));
    EXPECT_EQ(GetRValue(s.m_clrSkinLight), 20);
    EXPECT_EQ(GetGValue(s.m_clrSkinLight), 255);
    EXPECT_EQ(GetBValue(s.m_clrSkinLight), 128 + 63);
}

TEST(SkinShades, StyleNumbersOutsideThePresetsTakeTheCustomColour)
{
    EnsureQApplication();
    SkinState s;
    EXPECT_EQ(s.StyleColor(3, 1), 0xA5CD7Cu);
    EXPECT_EQ(s.StyleColor(7, 0x123456), 0x123456u);
    EXPECT_EQ(s.StyleColor(-1, 0x123456), 0x123456u);
}

TEST(SkinHls, RgbToHlsAgreesWithTheFloatingPointConversion)
{
    int checked = 0;
    for (int r = 0; r <= 240; r += 16) {
        for (int g = 0; g <= 240; g += 12) {
            for (int b = 0; b <= 240; b += 20) {
                const Hls got = hlsOf(RGB(r, g, b));
                const FloatHls want = referenceHls(r, g, b);
                const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
                EXPECT_NEAR(got.l, want.l, 1.0) << r << ',' << g << ',' << b;
                if (mx == mn) {
                    EXPECT_EQ(got.s, 0);
                    EXPECT_EQ(got.h, 160);
                    continue;
                }
                // At max + min = 256 the integer form still takes the dark
                // half's saturation; that case is checked by hand below.
                if (mx + mn != 256) {
                    EXPECT_NEAR(got.s, want.s, 1.0) << r << ',' << g << ',' << b;
                }
                const double dh = std::fabs(got.h - want.h);
                EXPECT_LE(std::min(dh, 240 - dh), 1.0) << r << ',' << g << ',' << b;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 1000);
    // max + min = 256: S = (diff * 240 + 128) / 256.
    EXPECT_EQ(hlsOf(RGB(200, 56, 100)).s, (144 * 240 + 128) / 256);
}

TEST(SkinHls, HueWrapsAsAnUnsignedValue)
{
    // A hue below 80 wraps to a large value for the blue channel, which
    // then takes p1.
    EXPECT_EQ(HueToRgb(10, 200, WORD(30 - 80)), 10);
    EXPECT_EQ(HueToRgb(10, 200, 250), HueToRgb(10, 200, 10));
    EXPECT_EQ(HlsToRgb(0, 120, 240), RGB(255, 0, 0));
    EXPECT_EQ(HlsToRgb(160, 240, 0), RGB(255, 255, 255));
    // Round trip of the presets within a level.
    EnsureQApplication();
    SkinState s;
    for (COLORREF c : s.m_clrStylePresets) {
        const Hls h = hlsOf(c);
        const COLORREF back = HlsToRgb(WORD(h.h), WORD(h.l), WORD(h.s));
        EXPECT_NEAR(GetRValue(back), GetRValue(c), 3);
        EXPECT_NEAR(GetGValue(back), GetGValue(c), 3);
        EXPECT_NEAR(GetBValue(back), GetBValue(c), 3);
    }
}

TEST(SkinImages, CaptionStripsHaveCutCornersAndDarkGlyphs)
{
    auto s = MakeSkin(0);
    for (int cell : {22, 15}) {
        const QImage strip = BuildCaptionStrip(*s, cell);
        ASSERT_EQ(strip.size(), QSize(16 * cell, cell));
        for (int i = 0; i < 16; ++i) {
            const int l = i * cell;
            const int state = i % 4;
            const COLORREF corner = GetPixel(strip, l, 0);
            if (state == 1 || state == 2) {
                EXPECT_EQ(corner, kMaskColor) << cell << ' ' << i;
                EXPECT_EQ(GetPixel(strip, l + 1, 0), 0xFFFFFFu);
                EXPECT_EQ(GetPixel(strip, l, 1), 0xFFFFFFu);
                EXPECT_EQ(GetPixel(strip, l + cell - 1, cell - 1), kMaskColor);
            } else {
                EXPECT_NE(corner, kMaskColor) << cell << ' ' << i;
            }
        }
        // The close glyph crosses the middle of its cells; minimize is a bar
        // near the foot; the restore window is filled mid inside.
        for (int state = 0; state < 4; ++state)
            EXPECT_EQ(GetPixel(strip, state * cell + cell / 2, cell / 2), s->m_clrSkinDark) << cell << state;
        const int minBarY = cell == 22 ? cell - 7 : cell - 5;
        EXPECT_EQ(GetPixel(strip, 12 * cell + cell / 2, minBarY), s->m_clrSkinDark);
    }
    const QImage large = BuildCaptionStrip(*s, 22);
    EXPECT_EQ(GetPixel(large, 4 * 22 + 8, 13), s->m_clrSkinMid);      // restore, state 0
    EXPECT_EQ(GetPixel(large, 7 * 22 + 8, 13), s->m_clrSkinMuted);    // restore, disabled
    EXPECT_EQ(s->m_ilSkinLarge.GetImageCount(), 16);
    EXPECT_EQ(s->m_ilSkinSmall.GetImageCount(), 16);
    EXPECT_EQ(s->m_ilSkinLarge.cellSize, QSize(22, 22));
    // See-through pixels have no alpha in the image lists.
    const QImage hot = s->m_ilSkinLarge.images[1].toImage();
    EXPECT_EQ(qAlpha(hot.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(hot.pixel(11, 11)), 255);
}

TEST(SkinImages, ScrollBarSkin)
{
    auto s = MakeSkin(0);
    const QImage img = s->BuildScrollBarSkin();
    ASSERT_EQ(img.size(), QSize(162, 54));
    // Columns 3 and 7: light to white with white long edges.
    const int l3 = 54;
    EXPECT_EQ(GetPixel(img, l3, 5), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(img, l3 + 17, 5), 0xFFFFFFu);
    const std::vector<COLORREF> track = LinearGradientLines(18, s->m_clrSkinLight2, s->m_clrSkinWhite);
    EXPECT_EQ(GetPixel(img, l3 + 1, 5), track[1]);
    EXPECT_EQ(GetPixel(img, l3 + 9, 5), track[9]);
    EXPECT_EQ(GetPixel(img, 126 + 5, 0), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(img, 126 + 5, 1), track[1]);
    // Other cells: white pixels inside each corner, the row gradient else.
    for (int row = 0; row < 3; ++row) {
        for (int col : {0, 1, 2, 4, 5, 6, 8}) {
            const int l = 18 * col, t = 18 * row;
            for (QPoint p : {QPoint(l + 1, t + 1), QPoint(l + 1, t + 16), QPoint(l + 16, t + 1), QPoint(l + 16, t + 16)})
                EXPECT_EQ(GetPixel(img, p.x(), p.y()), 0xFFFFFFu) << row << ',' << col;
            EXPECT_EQ(GetPixel(img, l, t + 9), 0xFFFFFFu);
        }
    }
    // Thumbs: columns left to right in the vertical bar, rows in the horizontal.
    EXPECT_EQ(GetPixel(img, 2 * 18 + 2, 5), LinearGradientLines(18, s->m_clrSkinLight, s->m_clrSkinBase)[2]);
    EXPECT_EQ(GetPixel(img, 6 * 18 + 5, 18 + 2), LinearGradientLines(18, s->m_clrSkinPale, s->m_clrSkinBase)[2]);
    // Chevrons in dark: the up arrow's tip, the down arrow's tip, left, right.
    EXPECT_EQ(GetPixel(img, 9, 9 - 2), s->m_clrSkinDark);
    EXPECT_EQ(GetPixel(img, 18 + 9, 9 + 2), s->m_clrSkinDark);
    EXPECT_EQ(GetPixel(img, 72 + 9 - 2, 9), s->m_clrSkinDark);
    EXPECT_EQ(GetPixel(img, 90 + 9 + 2, 9), s->m_clrSkinDark);
    // End points are left out: (4, 2) of the up arrow's first stroke is not drawn
    // by it, only the second stroke passes (4, 3)... which is also excluded.
    EXPECT_NE(GetPixel(img, 9 + 4, 9 + 3), s->m_clrSkinDark);
}
