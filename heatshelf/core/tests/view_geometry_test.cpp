// Where the image view draws.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "heatshelf/view_geometry.h"

namespace heatshelf {
namespace {

int sixPerCharacter(const QString& s) { return 6 * static_cast<int>(s.size()); }

TEST(ViewGeometryTest, PictureIsFourByThreeInTheClient) {
    // Wide client: bounded by the height. 1000 x 600: o = 625, f = 305.
    EXPECT_EQ(PictureRect({0, 0, 1000, 600}), (Rect{5, 5, 406, 305}));
    // Tall client: bounded by the width. 400 x 900: o = 235, f = 470.
    EXPECT_EQ(PictureRect({10, 20, 410, 920}), (Rect{15, 25, 245, 196}));
    EXPECT_FALSE(PictureRect({0, 0, 10, 10})) << "a picture that would be inverted";
    EXPECT_FALSE(PictureRect({0, 0, 300, 40}));
}

TEST(ViewGeometryTest, ColourBarUnderThePicture) {
    const auto wide = ColourBarFor({5, 5, 406, 305});
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->bar, (Rect{59, 308, 349, 323}));
    EXPECT_TRUE(wide->ticks);
    const auto narrow = ColourBarFor({0, 0, 140, 100});  // 29 wide: widened, no scale
    ASSERT_TRUE(narrow);
    EXPECT_EQ(narrow->bar.width(), 79);
    EXPECT_FALSE(narrow->ticks);
    EXPECT_FALSE(ColourBarFor({0, 0, 60, 100})) << "inverted";
    EXPECT_FALSE(ColourBarFor({0, 0, 62, 100})) << "1 pixel";
    EXPECT_TRUE(ColourBarFor({0, 0, 63, 100}));
}

TEST(ViewGeometryTest, BarIndicesRunAcrossThePalette) {
    const Rect bar{100, 0, 301, 10};  // columns 101..300 inside
    const struct {
        int x;
        bool invert;
        int index;
    } cases[] = {{101, false, 0}, {300, false, 254}, {200, false, 126}, {101, true, 255},
                 {300, true, 1},  {0, false, 0},     {5000, false, 255}, {5000, true, 0}};
    for (const auto& c : cases) EXPECT_EQ(BarPaletteIndex(c.x, bar, c.invert), c.index) << c.x << c.invert;
    const Rect two{10, 0, 12, 5};
    EXPECT_EQ(BarPaletteIndex(11, two, false), 0);
    EXPECT_EQ(BarPaletteIndex(11, two, true), 255);
}

TEST(ViewGeometryTest, TickStepsFollowTheTable) {
    const struct {
        double span;
        int width;
        double label, minor;
    } cases[] = {{40, 200, 10, 2}, {48, 200, 20, 4}, {27.9, 200, 5, 1}, {8, 200, 2, 0.5},
                 {4, 200, 1, 0.2}, {3.2, 200, 1, 0.1}, {100, 50, 20, 4}};
    for (const auto& c : cases) {
        const auto s = TickStepsFor(c.span, c.width);
        ASSERT_TRUE(s) << c.span;
        EXPECT_EQ(s->label, c.label) << c.span;
        EXPECT_EQ(s->minor, c.minor) << c.span;
    }
    const auto s = TickStepsFor(40, 200);
    EXPECT_EQ(s->n, 4);
    EXPECT_EQ(s->a, 10);
    EXPECT_FALSE(TickStepsFor(40, 49));
    EXPECT_FALSE(TickStepsFor(0, 200));
    EXPECT_FALSE(TickStepsFor(-5, 200));
    EXPECT_FALSE(TickStepsFor(std::numeric_limits<double>::infinity(), 200));
    EXPECT_FALSE(TickStepsFor(std::nan(""), 200));
}

TEST(ViewGeometryTest, ScaleOfTwentyToSixtyOnTwoHundredPixels) {
    const Rect bar{100, 50, 300, 65};
    const Scale s = ScaleFor(20.0f, 60.0f, bar, QStringLiteral("C"), sixPerCharacter);
    EXPECT_EQ(s.lowText, QStringLiteral(" 20.0C"));
    EXPECT_EQ(s.lowAt, QPoint(100 - 36, 50));
    EXPECT_EQ(s.highAt, QPoint(303, 50));
    ASSERT_EQ(s.major.size(), 4u) << "20, 30, 40, 50: the high end is left out";
    const int xs[] = {100, 150, 200, 250};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s.major[i].x, xs[i]);
        EXPECT_EQ(s.major[i].label, QString::number(20 + 10 * static_cast<int>(i)));
        EXPECT_TRUE(s.major[i].labelShown);
        EXPECT_EQ(s.major[i].labelAt, QPoint(xs[i] - 6, 77));
        EXPECT_EQ(s.major[i].bottom, 76);
    }
    ASSERT_EQ(s.minor.size(), 20u) << "every 2 degrees";
    EXPECT_EQ(s.minor[1].x, 110);
    EXPECT_EQ(s.minor[1].bottom, 71);
}

TEST(ViewGeometryTest, LowLabelEndsBeforeTheBar) {
    const Rect bar{100, 50, 300, 65};
    const QString unit = QString::fromUtf8("\u2103");
    const struct {
        float low;
        int perCharacter;  // the font's width of each character
        int x;
    } cases[] = {
        {17.7f, 5, 100 - 36},   // narrow font: six pixels a character
        {17.7f, 6, 100 - 36},
        {17.7f, 8, 100 - 48},   // wider font: the label moves left
        {-23.7f, 9, 100 - 54},
    };
    for (const auto& c : cases) {
        const auto width = [&c](const QString& t) { return c.perCharacter * static_cast<int>(t.size()); };
        const Scale s = ScaleFor(c.low, 130.0f, bar, unit, width);
        EXPECT_EQ(s.lowAt, QPoint(c.x, 50)) << c.low << " " << c.perCharacter;
        EXPECT_LE(s.lowAt.x() + width(s.lowText), bar.left) << c.low << " " << c.perCharacter;
    }
}

TEST(ViewGeometryTest, CrowdedLabelsAreLeftOut) {
    // 0..1000 on 50 pixels: labels every 20 degrees, one pixel apart.
    const Scale s = ScaleFor(0.0f, 1000.0f, {0, 0, 50, 10}, QString(), sixPerCharacter);
    ASSERT_EQ(s.major.size(), 50u);
    int shown = 0;
    int lastRight = -1000;
    for (const Tick& t : s.major) {
        if (!t.labelShown) continue;
        EXPECT_GT(t.labelAt.x(), lastRight + 2);
        lastRight = t.labelAt.x() + sixPerCharacter(t.label);
        ++shown;
    }
    EXPECT_GT(shown, 1);
    EXPECT_LT(shown, 10);
}

TEST(ViewGeometryTest, NoScaleForABadWindow) {
    const Rect bar{0, 0, 200, 10};
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* what;
        float low, high;
    } cases[] = {{"zero span", 30, 30}, {"inverted", 40, 30}, {"NaN low", nan, 30},
                 {"NaN high", 20, nan}, {"infinite", -inf, inf}};
    for (const auto& c : cases) {
        const Scale s = ScaleFor(c.low, c.high, bar, QString(), sixPerCharacter);
        EXPECT_TRUE(s.major.empty()) << c.what;
        EXPECT_TRUE(s.minor.empty()) << c.what;
    }
    // A huge span on a small bar: never more ticks than pixels.
    const Scale huge = ScaleFor(-3e38f, 3e38f, bar, QString(), sixPerCharacter);
    EXPECT_LE(huge.major.size(), 200u);
    EXPECT_LE(huge.minor.size(), 200u);
    const Scale far = ScaleFor(1e30f, 1e30f + 1e25f, bar, QString(), sixPerCharacter);
    EXPECT_LE(far.minor.size(), 200u);
}

TEST(ViewGeometryTest, LevelIsCutToOneDecimal) {
    EXPECT_EQ(QString::asprintf("%5.1f", static_cast<double>(TruncateToTenth(36.47f))), QStringLiteral(" 36.4"));
    EXPECT_EQ(QString::asprintf("%.1f", static_cast<double>(TruncateToTenth(-3.57f))), QStringLiteral("-3.5"));
    EXPECT_EQ(QString::asprintf("%.1f", static_cast<double>(TruncateToTenth(20.0f))), QStringLiteral("20.0"));
    EXPECT_TRUE(std::isnan(TruncateToTenth(std::nanf(""))));
    EXPECT_EQ(TruncateToTenth(3e20f), 3e20f);
}

TEST(ViewGeometryTest, ThumbnailGrid) {
    EXPECT_EQ(ThumbColumns(50), 1);
    EXPECT_EQ(ThumbColumns(350), 3);
    EXPECT_EQ(ThumbCell(4, 3), (Rect{100, 70, 200, 140}));
    EXPECT_EQ(ThumbPictureRect(ThumbCell(0, 3)), (Rect{17, 3, 83, 53}));
    EXPECT_EQ(ThumbScrollSize(350, 7), QSize(350, 210));
    EXPECT_EQ(ThumbScrollSize(350, 6), QSize(350, 210));
    EXPECT_EQ(ThumbAt({150, 80}, 7, 3, false), 4);
    EXPECT_EQ(ThumbAt({105, 80}, 7, 3, false), -1) << "in the cell's margin";
    EXPECT_EQ(ThumbAt({150, 125}, 7, 3, false), 4);
    EXPECT_EQ(ThumbAt({150, 125}, 7, 3, true), -1) << "the double-click area is smaller";
    EXPECT_EQ(ThumbAt({150, 150}, 7, 3, false), -1) << "no thumbnail 7";
    EXPECT_EQ(ThumbAt({350, 10}, 7, 3, false), -1) << "right of the last column";
}

TEST(ViewGeometryTest, LongNamesAreCutByCharacters) {
    EXPECT_EQ(ThumbLabel(QStringLiteral("IR_20240101_01.VNI")), QStringLiteral("IR_2024010...")) << "18";
    EXPECT_EQ(ThumbLabel(QStringLiteral("abcdefghijklmnopqrs")), QStringLiteral("abcdefghij..."));
    EXPECT_EQ(ThumbLabel(QStringLiteral("abcdefghi.VNI")), QStringLiteral("abcdefghi.VNI")) << "13 shows whole";
    EXPECT_EQ(ThumbLabel(QStringLiteral("锅炉房东侧管道红外图像一号.VNI")), QStringLiteral("锅炉房东侧管道红外图...")) << "characters, not bytes";
    const QString emoji = QString::fromUtf8("\xF0\x9F\x94\xA5");
    const QString name = emoji.repeated(14);
    EXPECT_EQ(ThumbLabel(name), emoji.repeated(10) + QStringLiteral("..."));
    EXPECT_EQ(ThumbLabel(emoji.repeated(13)), emoji.repeated(13));
}

TEST(ViewGeometryTest, StoredMarksScaleWithThePictureWidth) {
    IfrPointInfo points[4]{};
    IfrRectInfo rects[3]{};
    IfrLineInfo lines[3]{};
    for (auto& p : points) p.state = 2;
    for (auto& r : rects) r.state = 2;
    for (auto& l : lines) l.state = 2;
    points[1] = {320, 100, 1, 95, 3, 0};
    rects[0] = {10, 20, 100, 50, 1, 95, 3, 0, 60, 44};
    lines[1] = {0, 0, 640, 480, 1, 95, 3, 300, 200, 0};
    lines[2] = {8, 8, 16, 16, 0, 95, 3, 0, 0, 0};
    const Rect picture{5, 5, 325, 245};  // 320 wide, showing a 640-wide image
    const std::vector<Mark> marks = StoredMarks(picture, 640, points, rects, lines);
    ASSERT_EQ(marks.size(), 7u);
    EXPECT_EQ(marks[0].kind, Mark::Numbered);
    EXPECT_EQ(marks[0].a, QPoint(165, 55));
    EXPECT_EQ(marks[0].number, 2);
    EXPECT_EQ(marks[0].numberAt, QPoint(167, 57));
    EXPECT_EQ(marks[1].kind, Mark::Box);
    EXPECT_EQ(marks[1].a, QPoint(10, 15));
    EXPECT_EQ(marks[1].b, QPoint(60, 40));
    EXPECT_EQ(marks[2].kind, Mark::Cross);
    EXPECT_EQ(marks[2].a, QPoint(35, 27));
    EXPECT_EQ(marks[4].kind, Mark::Segment);
    EXPECT_EQ(marks[4].b, QPoint(325, 245));
    EXPECT_EQ(marks[4].number, 1) << "lines are numbered as drawn";
    EXPECT_EQ(marks[5].kind, Mark::Cross);
    EXPECT_EQ(marks[6].number, 2);
    EXPECT_EQ(MarkArm(320), 8);

    // The same picture over a 320-wide image maps one to one.
    EXPECT_EQ(MapToPicture(picture, 320, 301, 125), QPoint(306, 130));
    EXPECT_EQ(MapToPicture(picture, 0, 301, 125), QPoint(5, 5));
    const int board[4] = {300, 200, 100, 50};
    EXPECT_EQ(BoardOnPicture(picture, 640, board), (Rect{55, 30, 155, 105}));
}

}  // namespace
}  // namespace heatshelf
