// The browser theme: shades, theme commands and field.ini, the painters on
// small bands and the caption-button strip.
#include "ui_test_support.h"

#include "heatshelf/theme.h"

#include "skin/cmd_target.h"
#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/hls.h"
#include "skin/icon_menu.h"
#include "skin/raster.h"

#include <QFile>
#include <QPainter>
#include <QWidget>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using heatshelf::Theme;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(Theme, PresetZeroShades)
{
    ThemeFixture fx(0);
    const Theme& t = fx.theme();
    EXPECT_EQ(t.SkinBase(), 0xEFB287u);
    // Steps 63, 53 and 20 (14 raised): blue caps at 255.
    EXPECT_EQ(t.SkinLight(), 0xFFE7C6u);
    EXPECT_EQ(t.SkinHighlight(), t.SkinLight());
    EXPECT_EQ(t.SkinMid(), 0xF7CCA6u);
    EXPECT_EQ(t.SkinPale(), 0xFFF3E2u);
    EXPECT_EQ(t.SkinWhite(), 0xFFFFFFu);
    EXPECT_EQ(t.SkinText(), t.SkinDark());
    EXPECT_EQ(t.SkinCaptionButtons().GetImageCount(), 16);
    EXPECT_EQ(t.SkinCaptionButtons().cellSize, QSize(22, 22));
    EXPECT_EQ(t.SkinScrollBitmap().size(), QSize(162, 54));
}

TEST(Theme, ExtremeChannelsTakeTheMinimumStep)
{
    struct Case {
        COLORREF color;
        COLORREF light;
    };
    const Case cases[] = {
        {RGB(0, 255, 0), RGB(20, 255, 20)},
        {RGB(255, 0, 255), RGB(255, 20, 255)},
        {RGB(128, 10, 250), RGB(191, 30, 255)}, // 63, 20 (9 raised), 20 (4 raised)
    };
    for (const Case& c : cases) {
        ThemeFixture fx(c.color, 7);
        EXPECT_EQ(fx.theme().SkinLight(), c.light) << std::hex << c.color;
    }
}

TEST(Theme, DarkAndGreyComeFromTheHlsConversion)
{
    ThemeFixture fx(3);
    const Theme& t = fx.theme();
    skin::WORD h = 0;
    skin::WORD l = 0;
    skin::WORD s = 0;
    skin::RgbToHls(t.SkinBase(), &h, &l, &s);
    EXPECT_EQ(t.SkinDark(), skin::HlsToRgb(h, skin::WORD(std::max(l - 80, 0)), s));
    EXPECT_EQ(t.SkinGrey(), skin::HlsToRgb(h, l, skin::WORD(std::max(s - 90, 0))));
    EXPECT_NE(t.SkinGrey(), t.SkinBase());
}

TEST(Theme, CommandWritesOnlyTheStyleLineAndMarksItsItem)
{
    ThemeFixture fx(0);
    Theme& t = fx.theme();
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("field.ini"));
    const QByteArray before = "[PICWAVE]\r\nPWave=3\r\n[COMMON]\r\nCustomR=12\r\nStyleNum=0\r\nCustomB=9\r\n";
    writeAll(ini, before);
    t.SetIniPath(ini);
    QSignalSpy changed(&t, &Theme::themeChanged);

    t.OnTheme(Theme::kFirstThemeCommand + 4);
    EXPECT_EQ(t.StyleNum(), 4);
    EXPECT_EQ(t.SkinBase(), t.ThemePresets()[4]);
    EXPECT_EQ(changed.count(), 1);
    QByteArray expected = before;
    expected.replace("StyleNum=0", "StyleNum=4");
    EXPECT_EQ(readAll(ini), expected);

    // The current theme again: rebuilt, the same value written.
    t.OnTheme(Theme::kFirstThemeCommand + 4);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(readAll(ini), expected);

    for (int id = Theme::kFirstThemeCommand; id <= Theme::kLastThemeCommand; ++id) {
        CCmdUI ui(id);
        t.OnUpdateTheme(ui);
        EXPECT_TRUE(ui.CheckChanged());
        EXPECT_EQ(ui.IsChecked(), id == Theme::kFirstThemeCommand + 4) << id;
    }

    // Ids outside the menu change nothing.
    t.OnTheme(Theme::kLastThemeCommand + 1);
    EXPECT_EQ(t.StyleNum(), 4);
    EXPECT_EQ(changed.count(), 2);
}

TEST(Theme, ThemeColorOfStyleNumbers)
{
    EnsureQApplication();
    Theme t;
    EXPECT_EQ(t.ThemeColor(0, 1), 0xEFB287u);
    EXPECT_EQ(t.ThemeColor(6, 1), 0xF0F0F0u);
    EXPECT_EQ(t.ThemeColor(7, 0x123456), 0x123456u);
    EXPECT_EQ(t.ThemeColor(-1, 0x123456), 0x123456u);
}

// ---- painters ----

TEST(Painters, GlossEndsWithEndThenStartOnEveryHeight)
{
    const COLORREF from = RGB(200, 100, 50);
    const COLORREF to = RGB(20, 220, 150);
    for (int h = 2; h <= 12; ++h) {
        const std::vector<COLORREF> rows = skin::GlossRows(h, from, to);
        ASSERT_EQ(int(rows.size()), h);
        EXPECT_EQ(rows[std::size_t(h - 2)], to) << h;
        EXPECT_EQ(rows[std::size_t(h - 1)], from) << h;
    }
}

TEST(Painters, SoftGlossFollowsItsRowCounter)
{
    // h = 12: step (to - from) / 24, counter from 4; rows 0 and 1 rise
    // (t < 2), K is the linear value at u = 5.
    const COLORREF from = RGB(0, 0, 0);
    const COLORREF to = RGB(240, 120, 48);
    const std::vector<COLORREF> rows = skin::SoftGlossRows(12, from, to);
    auto linear = [](int u, int span) { return int(float(u) * (float(span) / 24.0f)); };
    for (int t = 0; t < 12; ++t) {
        const int u = 4 + t;
        for (int k = 0; k < 3; ++k) {
            const int span = k == 0 ? 240 : k == 1 ? 120 : 48;
            const int fromK = 0;
            const int expected = t < 2 ? fromK + 2 * linear(u, span) : linear(5, span) + span - linear(u, span);
            const COLORREF c = rows[std::size_t(t)];
            const int got = k == 0 ? GetRValue(c) : k == 1 ? GetGValue(c) : GetBValue(c);
            EXPECT_EQ(got, expected & 0xFF) << "row " << t << " channel " << k;
        }
    }
}

TEST(Painters, SoftGlossUnderNineRowsTurnsAtTheStartColour)
{
    const COLORREF from = RGB(100, 150, 200);
    const COLORREF to = RGB(200, 50, 100);
    for (int h = 1; h < 9; ++h) {
        const std::vector<COLORREF> rows = skin::SoftGlossRows(h, from, to);
        for (int t = 0; t < h; ++t) {
            // No row rises: every row is from + to - L(u).
            const int u = h / 3 + t;
            const float sr = 100.0f / float(2 * h);
            const float sg = -100.0f / float(2 * h);
            const int r = 100 + 200 - (100 + int(float(u) * sr));
            const int g = 150 + 50 - (150 + int(float(u) * sg));
            EXPECT_EQ(GetRValue(rows[std::size_t(t)]), r & 0xFF) << h << ' ' << t;
            EXPECT_EQ(GetGValue(rows[std::size_t(t)]), g & 0xFF) << h << ' ' << t;
        }
    }
}

TEST(Painters, GradientBarIsTheIntegerBlend)
{
    struct Case {
        int n;
        COLORREF from, to;
    };
    const Case cases[] = {{3, RGB(0, 255, 10), RGB(10, 0, 0)}, {7, RGB(250, 1, 100), RGB(5, 200, 101)}, {1, 5, 9}};
    for (const Case& c : cases) {
        const std::vector<COLORREF> lines = skin::GradientBarLines(c.n, c.from, c.to);
        for (int i = 0; i < c.n; ++i) {
            const int r = GetRValue(c.from) + i * (GetRValue(c.to) - GetRValue(c.from)) / c.n;
            const int g = GetGValue(c.from) + i * (GetGValue(c.to) - GetGValue(c.from)) / c.n;
            const int b = GetBValue(c.from) + i * (GetBValue(c.to) - GetBValue(c.from)) / c.n;
            EXPECT_EQ(lines[std::size_t(i)], RGB(r, g, b)) << c.n << ' ' << i;
        }
    }
    // Truncation toward zero on a falling channel: 255 - 1 * 255 / 7 = 219.
    EXPECT_EQ(GetGValue(skin::GradientBarLines(7, RGB(0, 255, 0), 0)[1]), 219);
}

TEST(Painters, GradientBarDrawsLinesIntoItsRectangleOnly)
{
    EnsureQApplication();
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        CIconMenu::DrawGradientBar(&p, QRect(5, 2, 10, 4), RGB(0, 0, 0), RGB(100, 200, 250), true);
    }
    EXPECT_EQ(PixelAt(img, 4, 3), 0u);
    EXPECT_EQ(PixelAt(img, 15, 3), 0u);
    EXPECT_EQ(PixelAt(img, 5, 2), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(img, 14, 5), RGB(90, 180, 225));
    EXPECT_EQ(PixelAt(img, 14, 6), 0u);
}

// ---- caption strip ----

TEST(CaptionStrip, StatesGlyphsAndCorners)
{
    ThemeFixture fx(0);
    const Theme& t = fx.theme();
    const QImage& strip = t.CaptionStrip();
    ASSERT_EQ(strip.size(), QSize(352, 22));
    for (int i = 0; i < 16; ++i) {
        const int l = 22 * i;
        const int state = i % 4;
        const bool bevel = state == 1 || state == 2;
        for (const QPoint c : {QPoint(l, 0), QPoint(l + 21, 0), QPoint(l, 21), QPoint(l + 21, 21)}) {
            EXPECT_EQ(skin::GetPixel(strip, c.x(), c.y()) == skin::kMaskColor, bevel) << i;
        }
        if (bevel) {
            EXPECT_EQ(skin::GetPixel(strip, l + 1, 0), 0xFFFFFFu) << i;
            EXPECT_EQ(skin::GetPixel(strip, l, 1), 0xFFFFFFu) << i;
            EXPECT_EQ(skin::GetPixel(strip, l + 20, 21), 0xFFFFFFu) << i;
        }
    }
    // Close: the diagonal through (L + 6, T + 6) in the dark shade.
    EXPECT_EQ(skin::GetPixel(strip, 6, 6), t.SkinDark());
    EXPECT_EQ(skin::GetPixel(strip, 10, 10), t.SkinDark());
    // Minimise bar at (L + 5, B - 8).
    EXPECT_EQ(skin::GetPixel(strip, 22 * 12 + 6, 15), t.SkinDark());
    // Restore's front window: mid shade, grey in the spare state.
    EXPECT_EQ(skin::GetPixel(strip, 22 * 4 + 7, 11), t.SkinMid());
    EXPECT_EQ(skin::GetPixel(strip, 22 * 7 + 7, 11), t.SkinGrey());
    // Normal background: soft gloss from pale to mid; row 0.
    const std::vector<COLORREF> rows = skin::SoftGlossRows(22, t.SkinPale(), t.SkinMid());
    EXPECT_EQ(skin::GetPixel(strip, 22 * 8 + 2, 0), rows[0]);
    EXPECT_EQ(skin::GetPixel(strip, 22 * 8 + 2, 20), rows[20]);
    // Pressed: linear from base to pale inside a white frame.
    EXPECT_EQ(skin::GetPixel(strip, 22 * 9 + 4, 0), 0xFFFFFFu);
    EXPECT_EQ(skin::GetPixel(strip, 22 * 9 + 3, 1), skin::LinearGradientLines(22, t.SkinBase(), t.SkinPale())[1]);
}
