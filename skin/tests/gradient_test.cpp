// The four gradient painters.
#include "test_support.h"

#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/raster.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace skin;

namespace {

QImage paint(void (*painter)(QPainter*, int, int, int, int, COLORREF, COLORREF, bool), QRect r, COLORREF from,
             COLORREF to, bool columns, QSize canvas = QSize(120, 120))
{
    QImage img(canvas, QImage::Format_RGB32);
    img.fill(ToQRgb(0x123456));
    QPainter p(&img);
    painter(&p, r.left(), r.top(), r.right() + 1, r.bottom() + 1, from, to, columns);
    return img;
}

} // namespace

TEST(Gradients, GradientRectFallsThenRisesFromTheEnd)
{
    const std::vector<COLORREF> rows = GradientRectLines(100, 0xFFFFFF, 0);
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(GetRValue(rows[0]), 255);
    for (int i = 1; i <= 50; ++i)
        EXPECT_LT(GetRValue(rows[std::size_t(i)]), GetRValue(rows[std::size_t(i - 1)])) << i;
    EXPECT_EQ(GetRValue(rows[50]), 128);
    EXPECT_EQ(rows[51], RGB(2, 2, 2));
    for (int i = 52; i < 100; ++i)
        EXPECT_GE(GetRValue(rows[std::size_t(i)]), GetRValue(rows[std::size_t(i - 1)])) << i;
    // A rising gradient stays linear all the way.
    EXPECT_EQ(GradientRectLines(100, 0, 0xFFFFFF), LinearGradientLines(100, 0, 0xFFFFFF));
}

TEST(Gradients, LinearStepsTruncateAndKeepTheLowBits)
{
    const std::vector<COLORREF> lines = LinearGradientLines(3, RGB(0, 10, 200), RGB(10, 0, 100));
    EXPECT_EQ(lines, (std::vector<COLORREF>{RGB(0, 10, 200), RGB(3, 7, 167), RGB(6, 4, 134)}));
    // Button face of 30 rows, 250 to 0: half steps of -4.1666665; rows 0..7
    // rise (2C - from), T = 250 - 29 = 221 on row 7, row 29 is 0 + 221 - 130.
    const std::vector<COLORREF> face = ButtonFaceRows(30, RGB(250, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(face[0], RGB(250, 0, 0));
    EXPECT_EQ(face[7], RGB(2 * 221 - 250, 0, 0));
    EXPECT_EQ(face[8], RGB(221 - (250 - 33), 0, 0));
    EXPECT_EQ(face[29], RGB(91, 0, 0));
}

TEST(Gradients, GlossAndButtonFaceOnLowBands)
{
    const COLORREF from = RGB(10, 20, 30), to = RGB(200, 150, 100);
    EXPECT_EQ(GlossRows(2, from, to), (std::vector<COLORREF>{to, from}));
    EXPECT_EQ(GlossRows(1, from, to), (std::vector<COLORREF>{from}));
    // Too low to have a rising row: the face turns at the start colour.
    const std::vector<COLORREF> face = ButtonFaceRows(6, from, to);
    ASSERT_EQ(face.size(), 6u);
    const std::vector<COLORREF> half = LinearGradientLines(12, from, to);
    for (std::size_t i = 0; i < 6; ++i) {
        const int r = GetRValue(to) + GetRValue(from) - GetRValue(half[i]);
        EXPECT_EQ(GetRValue(face[i]), r & 0xFF) << i;
    }
    // A caption-high gloss band: steep rise, then the body, end then start.
    const std::vector<COLORREF> band = GlossRows(30, from, to);
    EXPECT_EQ(band[28], to);
    EXPECT_EQ(band[29], from);
    EXPECT_EQ(band[0], from);
}

TEST(Gradients, PaintersDrawTheirLinesIntoTheRectangleOnly)
{
    struct Case {
        const char* name;
        void (*painter)(QPainter*, int, int, int, int, COLORREF, COLORREF, bool);
    } cases[] = {{"linear", DrawLinearGradient},
                 {"rect", DrawGradientRect},
                 {"face", DrawButtonFaceGradient},
                 {"gloss", DrawGlossGradient}};
    const QRect r(10, 20, 30, 40);
    for (const Case& c : cases) {
        for (bool columns : {false, true}) {
            const QImage img = paint(c.painter, r, RGB(255, 0, 0), RGB(0, 0, 255), columns);
            EXPECT_EQ(GetPixel(img, 9, 30), 0x123456u) << c.name;
            EXPECT_EQ(GetPixel(img, 40, 30), 0x123456u) << c.name;
            EXPECT_EQ(GetPixel(img, 20, 19), 0x123456u) << c.name;
            EXPECT_EQ(GetPixel(img, 20, 60), 0x123456u) << c.name;
            // Lines are uniform across the band.
            if (columns) {
                EXPECT_EQ(GetPixel(img, 15, 20), GetPixel(img, 15, 59)) << c.name;
                EXPECT_EQ(GetPixel(img, 10, 30), RGB(255, 0, 0)) << c.name;
            } else {
                EXPECT_EQ(GetPixel(img, 10, 25), GetPixel(img, 39, 25)) << c.name;
                EXPECT_EQ(GetPixel(img, 20, 20), RGB(255, 0, 0)) << c.name;
            }
        }
        // Nothing for an empty rectangle or an inactive painter.
        QImage img(20, 20, QImage::Format_RGB32);
        img.fill(ToQRgb(0x123456));
        QPainter p(&img);
        c.painter(&p, 5, 5, 5, 15, 0, 0xFFFFFF, false);
        c.painter(&p, 5, 5, 15, 5, 0, 0xFFFFFF, true);
        p.end();
        c.painter(&p, 0, 0, 10, 10, 0, 0xFFFFFF, false);
        c.painter(nullptr, 0, 0, 10, 10, 0, 0xFFFFFF, false);
        EXPECT_EQ(img.pixel(5, 5), ToQRgb(0x123456)) << c.name;
    }
    // The gloss band lands at the rectangle's own corner.
    const QImage gloss = paint(DrawGlossGradient, QRect(50, 60, 10, 2), RGB(1, 2, 3), RGB(9, 8, 7), false);
    EXPECT_EQ(GetPixel(gloss, 50, 60), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(gloss, 59, 61), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(gloss, 0, 0), 0x123456u);
}
