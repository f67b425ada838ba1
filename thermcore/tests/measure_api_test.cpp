// Point, line, rectangle and circle statistics, the stored measurement
// marks and the board rectangle, through the interface.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "fixture_files.h"
#include "thermcore.h"

// IfrPoint lives in the global namespace; so do its operators for the tests.
bool operator==(const IfrPoint& a, const IfrPoint& b) { return a.x == b.x && a.y == b.y; }
std::ostream& operator<<(std::ostream& os, const IfrPoint& p) { return os << "(" << p.x << "," << p.y << ")"; }

using thermcore_test::fixtureBytes;
using thermcore_test::fixturePath;

namespace {

constexpr int kOutside = -10000;

// A live object of w x h with the gray 1000 + 100 y + x at (x, y) unless a
// frame is given, and a scene and line table under which the temperature of
// gray g is about g / 100 degrees.
struct Live {
    IfrHandle h;
    int w, height;
    std::vector<unsigned short> frame;
    Live(int width, int ht, std::vector<unsigned short> f = {}) : w(width), height(ht), frame(std::move(f)) {
        h = IFR_Init(nullptr, w, height);
        EXPECT_NE(h, nullptr);
        if (frame.empty()) {
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < w; ++x) frame.push_back(static_cast<unsigned short>(1000 + 100 * y + x));
            }
        }
        EXPECT_EQ(IFR_LoadInfraredData(h, frame.data()), 0);
        std::vector<uint8_t> table;
        for (int i = 0; i < 103; ++i) {
            for (int32_t v : {100 * i, i}) {
                for (int b = 0; b < 4; ++b) table.push_back(static_cast<uint8_t>(uint32_t(v) >> (8 * b)));
            }
        }
        EXPECT_EQ(IFR_LoadGrayToTempLine(h, table.data(), 824), 0);
        IFR_SetEmissDis(h, 1.0f, 0.0f);
        IFR_SetAmbHum(h, 0.0f, 0.5f);
        IFR_SetCorrectParam(h, 1.0f, 0.0f, 0);
    }
    ~Live() { IFR_Free(h); }
    int gray(int x, int y) const { return static_cast<short>(frame[size_t(y) * w + x]); }
};

long double mean(const std::vector<float>& v) {
    long double s = 0;
    for (float t : v) s += t;
    return s / v.size();
}

TEST(Points, FirstRowAndOutsideRule) {
    Live img(16, 12);
    const struct {
        int x, y, gray;
    } cases[] = {
        {2, 0, img.gray(5, 0)}, {-3, 0, img.gray(5, 0)}, {4, 0, img.gray(5, 0)}, {5, 0, img.gray(5, 0)},
        {6, 0, img.gray(6, 0)}, {2, 1, img.gray(2, 1)}, {-3, 1, kOutside}, {16, 0, kOutside},
        {15, 11, img.gray(15, 11)}, {0, 12, kOutside}, {3, -1, kOutside},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(IFR_GetPointGray(img.h, c.x, c.y), c.gray);
        EXPECT_EQ(IFR_GetPointTemp(img.h, c.x, c.y), IFR_GrayToTemp(img.h, c.gray));
    }
    EXPECT_NEAR(IFR_GetPointTemp(img.h, 7, 3), (1000 + 300 + 7) / 100.0, 1e-4);
    // Row 0 of an image at most 5 wide has no pixel (5, 0) to read.
    Live narrow(4, 2);
    EXPECT_EQ(IFR_GetPointGray(narrow.h, 1, 0), kOutside);
    EXPECT_EQ(IFR_GetPointGray(narrow.h, 1, 1), narrow.gray(1, 1));
    // Grays are signed.
    Live negative(8, 2, std::vector<unsigned short>(16, 0xFF38));
    EXPECT_EQ(IFR_GetPointGray(negative.h, 3, 1), -200);
}

TEST(Lines, PixelsCountAndValues) {
    Live img(16, 12);
    EXPECT_EQ(IFR_GetLineLen(img.h, 10, 10, 10, 10), 1);
    EXPECT_EQ(IFR_GetLineLen(img.h, 0, 1, 3, 1), 4);
    int grays[4] = {};
    ASSERT_EQ(IFR_GetLineGray(img.h, 0, 1, 3, 1, grays), 0);
    EXPECT_EQ(grays[0], img.gray(0, 1));
    EXPECT_EQ(grays[3], img.gray(3, 1));  // the end is the last pixel
    // Along row 0 the point rule applies to every pixel.
    ASSERT_EQ(IFR_GetLineGray(img.h, 0, 0, 3, 0, grays), 0);
    for (int g : grays) EXPECT_EQ(g, img.gray(5, 0));
    int one = 0;
    ASSERT_EQ(IFR_GetLineGray(img.h, 10, 10, 10, 10, &one), 0);
    EXPECT_EQ(one, img.gray(10, 10));
    // A steep line, and temperatures equal to the direct conversion.
    const int n = IFR_GetLineLen(img.h, 2, 1, 5, 11);
    ASSERT_EQ(n, 11);
    std::vector<int> g(n);
    std::vector<float> t(n);
    ASSERT_EQ(IFR_GetLineGray(img.h, 2, 1, 5, 11, g.data()), 0);
    ASSERT_EQ(IFR_GetLineTemp(img.h, 2, 1, 5, 11, t.data()), 0);
    for (int i = 0; i < n; ++i) EXPECT_EQ(t[i], IFR_GrayToTemp(img.h, g[i])) << i;
    EXPECT_EQ(IFR_GetLineAverageTemp(img.h, 2, 1, 5, 11), static_cast<float>(mean(t)));
    EXPECT_EQ(IFR_GetLineGray(img.h, 0, 1, 3, 1, nullptr), -1);
    EXPECT_EQ(IFR_GetLineTemp(img.h, 0, 1, 3, 1, nullptr), -1);
}

TEST(Lines, ExtremesFirstOccurrenceInTracedOrder) {
    std::vector<unsigned short> frame(16 * 4, 500);
    // Row 2: maxima at x = 3 and x = 7, minima at x = 5 and x = 9.
    frame[2 * 16 + 3] = frame[2 * 16 + 7] = 900;
    frame[2 * 16 + 5] = frame[2 * 16 + 9] = 100;
    Live img(16, 4, frame);
    const struct {
        int x1, x2;
        IfrPoint min, max;
    } cases[] = {{0, 12, {5, 2}, {3, 2}}, {12, 0, {9, 2}, {7, 2}}, {4, 4, {4, 2}, {4, 2}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x1);
        int lo = 0, hi = 0;
        float tlo = 0, thi = 0;
        IfrPoint pl{-1, -1}, ph{-1, -1}, ql{-1, -1}, qh{-1, -1};
        ASSERT_EQ(IFR_GetLineMinMaxGray(img.h, c.x1, 2, c.x2, 2, &lo, &pl, &hi, &ph), 0);
        ASSERT_EQ(IFR_GetLineMinMaxTemp(img.h, c.x1, 2, c.x2, 2, &tlo, &ql, &thi, &qh), 0);
        EXPECT_EQ(pl, c.min);
        EXPECT_EQ(ph, c.max);
        EXPECT_EQ(ql, c.min);
        EXPECT_EQ(qh, c.max);
        EXPECT_EQ(lo, img.gray(c.min.x, 2));
        EXPECT_EQ(hi, img.gray(c.max.x, 2));
        EXPECT_EQ(tlo, IFR_GrayToTemp(img.h, lo));
        EXPECT_EQ(thi, IFR_GrayToTemp(img.h, hi));
    }
    EXPECT_EQ(IFR_GetLineMinMaxGray(img.h, 0, 2, 12, 2, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(Rectangles, CountsAndReversedCorners) {
    Live img(16, 12);
    EXPECT_EQ(IFR_GetRectLen(img.h, 5, 5, 9, 9), 25);
    EXPECT_EQ(IFR_GetRectLen(img.h, 9, 9, 5, 5), 25);
    EXPECT_EQ(IFR_GetRectLen(img.h, 5, 5, 4, 9), 0);
    EXPECT_EQ(IFR_GetRectLen(img.h, 5, 5, 3, 9), -5);
    // No pixel: the average is not a number, never a -0.0 that reads as 0.
    for (const auto& r : {std::vector<int>{5, 5, 4, 9}, {5, 5, 3, 9}, {5, 9, 9, 5}}) {
        EXPECT_TRUE(std::isnan(IFR_GetRectAverageTemp(img.h, r[0], r[1], r[2], r[3])));
        float untouched = 7.0f;
        EXPECT_EQ(IFR_GetRectTemp(img.h, r[0], r[1], r[2], r[3], &untouched), 0);
        EXPECT_EQ(untouched, 7.0f);
    }
    // Reversed in both axes: the same rectangle in every call.
    std::vector<int> g1(25), g2(25);
    std::vector<float> t1(25), t2(25);
    ASSERT_EQ(IFR_GetRectGray(img.h, 5, 5, 9, 9, g1.data()), 0);
    ASSERT_EQ(IFR_GetRectGray(img.h, 9, 9, 5, 5, g2.data()), 0);
    ASSERT_EQ(IFR_GetRectTemp(img.h, 5, 5, 9, 9, t1.data()), 0);
    ASSERT_EQ(IFR_GetRectTemp(img.h, 9, 9, 5, 5, t2.data()), 0);
    EXPECT_EQ(g1, g2);
    EXPECT_EQ(t1, t2);
    EXPECT_EQ(g1[0], img.gray(5, 5));
    EXPECT_EQ(g1[1], img.gray(6, 5));  // row-major
    EXPECT_EQ(g1[5], img.gray(5, 6));
    EXPECT_EQ(IFR_GetRectAverageTemp(img.h, 9, 9, 5, 5), static_cast<float>(mean(t1)));
    int lo = 0, hi = 0;
    IfrPoint pl{}, ph{};
    ASSERT_EQ(IFR_GetRectMinMaxGray(img.h, 9, 9, 5, 5, &lo, &pl, &hi, &ph), 0);
    EXPECT_EQ(pl, (IfrPoint{5, 5}));
    EXPECT_EQ(ph, (IfrPoint{9, 9}));
    // Reversed in one axis: nothing visited, the extremes are the first corner.
    ASSERT_EQ(IFR_GetRectMinMaxGray(img.h, 9, 4, 5, 8, &lo, &pl, &hi, &ph), 0);
    EXPECT_EQ(lo, img.gray(9, 4));
    EXPECT_EQ(hi, img.gray(9, 4));
    EXPECT_EQ(pl, (IfrPoint{9, 4}));
    EXPECT_EQ(ph, (IfrPoint{9, 4}));
    EXPECT_EQ(IFR_GetRectGray(img.h, 5, 5, 9, 9, nullptr), -1);
}

TEST(Rectangles, ExtremesFirstOccurrenceRowByRow) {
    std::vector<unsigned short> frame(8 * 6, 400);
    frame[2 * 8 + 6] = frame[4 * 8 + 1] = 800;  // maxima: (6, 2) comes first
    frame[3 * 8 + 2] = frame[3 * 8 + 5] = 50;   // minima: (2, 3) comes first
    Live img(8, 6, frame);
    float lo = 0, hi = 0;
    IfrPoint pl{}, ph{};
    ASSERT_EQ(IFR_GetRectMinMaxTemp(img.h, 0, 1, 7, 5, &lo, &pl, &hi, &ph), 0);
    EXPECT_EQ(pl, (IfrPoint{2, 3}));
    EXPECT_EQ(ph, (IfrPoint{6, 2}));
    EXPECT_EQ(lo, IFR_GrayToTemp(img.h, 50));
    EXPECT_EQ(hi, IFR_GrayToTemp(img.h, 800));
}

TEST(Circles, DiscsOfRadiusOneAndTwo) {
    Live img(16, 12);
    EXPECT_EQ(IFR_GetCircleLen(img.h, 8, 6, 1), 5);
    EXPECT_EQ(IFR_GetCircleLen(img.h, 8, 6, 2), 13);
    int g[13] = {};
    ASSERT_EQ(IFR_GetCircleGray(img.h, 8, 6, 1, g), 5);
    const int expected[5] = {img.gray(8, 5), img.gray(7, 6), img.gray(8, 6), img.gray(9, 6), img.gray(8, 7)};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g[i], expected[i]) << i;
    ASSERT_EQ(IFR_GetCircleGray(img.h, 8, 6, 2, g), 13);
    EXPECT_EQ(g[0], img.gray(8, 4));
    EXPECT_EQ(g[12], img.gray(8, 8));
    float t[13];
    ASSERT_EQ(IFR_GetCircleTemp(img.h, 8, 6, 2, t), 0);
    const std::vector<float> temps(t, t + 13);
    for (int i = 0; i < 13; ++i) EXPECT_EQ(t[i], IFR_GrayToTemp(img.h, g[i]));
    EXPECT_EQ(IFR_GetCircleAverageTemp(img.h, 8, 6, 2), static_cast<float>(mean(temps)));
    int lo = 0, hi = 0;
    IfrPoint pl{}, ph{};
    ASSERT_EQ(IFR_GetCircleMinMaxGray(img.h, 8, 6, 2, &lo, &pl, &hi, &ph), 0);
    EXPECT_EQ(pl, (IfrPoint{8, 4}));
    EXPECT_EQ(ph, (IfrPoint{8, 8}));
    EXPECT_EQ(IFR_GetCircleGray(img.h, 8, 6, 2, nullptr), -1);
}

TEST(Circles, ExtremesStartAtTheFirstPixelSoPositionsAreWritten) {
    Live img(16, 12);
    // A disc wholly outside the image reads -10000 everywhere.
    int lo = 0, hi = 0;
    IfrPoint pl{-1, -1}, ph{-1, -1};
    ASSERT_EQ(IFR_GetCircleMinMaxGray(img.h, 100, 100, 2, &lo, &pl, &hi, &ph), 0);
    EXPECT_EQ(lo, kOutside);
    EXPECT_EQ(hi, kOutside);
    EXPECT_EQ(pl, (IfrPoint{100, 98}));
    EXPECT_EQ(ph, (IfrPoint{100, 98}));
    float tlo = 0, thi = 0;
    ASSERT_EQ(IFR_GetCircleMinMaxTemp(img.h, 100, 100, 2, &tlo, &pl, &thi, &ph), 0);
    EXPECT_EQ(thi, IFR_GrayToTemp(img.h, kOutside));
    // Grays at or above 16383 are extremes too.
    std::vector<unsigned short> frame(8 * 8, 16500);
    frame[3 * 8 + 3] = 16400;
    Live hot(8, 8, frame);
    ASSERT_EQ(IFR_GetCircleMinMaxGray(hot.h, 3, 3, 1, &lo, &pl, &hi, &ph), 0);
    EXPECT_EQ(lo, 16400);
    EXPECT_EQ(hi, 16500);
    EXPECT_EQ(ph, (IfrPoint{3, 2}));
}

// Shapes larger than the image: pixels outside count with the gray -10000,
// and nothing overflows.
TEST(LargeShapes, ReachBeyondTheImageSafely) {
    Live img(16, 12);
    const float outside = IFR_GrayToTemp(img.h, kOutside);

    const int n = IFR_GetLineLen(img.h, -100000, 3, 100000, 5);
    ASSERT_EQ(n, 200001);
    std::vector<float> line(n);
    ASSERT_EQ(IFR_GetLineTemp(img.h, -100000, 3, 100000, 5, line.data()), 0);
    EXPECT_EQ(line.front(), outside);
    EXPECT_EQ(IFR_GetLineAverageTemp(img.h, -100000, 3, 100000, 5), static_cast<float>(mean(line)));

    const int r = IFR_GetRectLen(img.h, -40, -30, 55, 41);
    ASSERT_EQ(r, 96 * 72);
    std::vector<float> rect(r);
    ASSERT_EQ(IFR_GetRectTemp(img.h, -40, -30, 55, 41, rect.data()), 0);
    EXPECT_EQ(IFR_GetRectAverageTemp(img.h, -40, -30, 55, 41), static_cast<float>(mean(rect)));
    int lo = 0, hi = 0;
    IfrPoint pl{}, ph{};
    ASSERT_EQ(IFR_GetRectMinMaxGray(img.h, -40, -30, 55, 41, &lo, &pl, &hi, &ph), 0);
    EXPECT_EQ(lo, kOutside);
    EXPECT_EQ(pl, (IfrPoint{-40, -30}));
    EXPECT_EQ(hi, img.gray(15, 11));

    const int c = IFR_GetCircleLen(img.h, 8, 6, 150);
    int expected = 0;
    for (int y = -150; y <= 150; ++y) {
        for (int x = -150; x <= 150; ++x) expected += x * x + y * y <= 150 * 150;
    }
    ASSERT_EQ(c, expected);
    std::vector<float> disc(c);
    ASSERT_EQ(IFR_GetCircleTemp(img.h, 8, 6, 150, disc.data()), 0);
    EXPECT_EQ(IFR_GetCircleAverageTemp(img.h, 8, 6, 150), static_cast<float>(mean(disc)));

    // Counts at the ends of the integer range; arrays sized by them are
    // never filled beyond what the count can say.
    const int kMin = -2147483647 - 1, kMax = 2147483647;
    EXPECT_EQ(IFR_GetLineLen(img.h, kMin, 0, kMax, 0), kMax);
    EXPECT_EQ(IFR_GetRectLen(img.h, kMin, 0, kMax, 0), kMax);
    EXPECT_EQ(IFR_GetCircleLen(img.h, 0, 0, 30000), kMax);
    int g[4] = {};
    float t[4] = {};
    EXPECT_EQ(IFR_GetLineGray(img.h, kMin, 0, kMax, 0, g), -1);
    EXPECT_EQ(IFR_GetLineTemp(img.h, kMin, 0, kMax, 0, t), -1);
    EXPECT_EQ(IFR_GetRectGray(img.h, kMin, 0, kMax, 0, g), -1);
    EXPECT_EQ(IFR_GetRectTemp(img.h, kMin, 0, kMax, 0, t), -1);
    EXPECT_EQ(IFR_GetCircleGray(img.h, 0, 0, 30000, g), -1);
    EXPECT_EQ(IFR_GetCircleTemp(img.h, 0, 0, 30000, t), -1);
    EXPECT_EQ(g[0], 0);
    EXPECT_EQ(t[0], 0.0f);
}

// The first 428 bytes of a file with stored records and room for the line
// table after them, as a stream hands them over.
std::vector<uint8_t> recordBlock() {
    std::vector<uint8_t> b = fixtureBytes("k4_full");
    b.resize(428);
    b.resize(428 + 824, 0);
    return b;
}

TEST(StoredMarks, ScaledToTheImageWidth) {
    const std::vector<uint8_t> block = recordBlock();
    for (int w : {160, 320, 500, 640, 1280}) {
        SCOPED_TRACE(w);
        IfrHandle h = IFR_Init(nullptr, w, 4);
        ASSERT_NE(h, nullptr);
        ASSERT_EQ(IFR_LoadInfraredParamFromStream(h, block.data()), 0);
        auto s = [w](int v) { return static_cast<int>(int64_t{v} * w / 640); };
        IfrPointInfo p[4];
        IfrRectInfo r[3];
        IfrLineInfo l[3];
        ASSERT_EQ(IFR_GetPointInfo(h, p), 0);
        ASSERT_EQ(IFR_GetRectInfo(h, r), 0);
        ASSERT_EQ(IFR_GetLineInfo(h, l), 0);
        EXPECT_EQ(p[0].x, s(600));
        EXPECT_EQ(p[0].y, s(400));
        EXPECT_EQ(p[3].x, s(300));
        EXPECT_EQ(p[0].state, 1);  // other fields as stored
        EXPECT_EQ(p[1].value100, 3651.0f);
        EXPECT_EQ(r[1].x, s(50));
        EXPECT_EQ(r[1].y, s(30));
        EXPECT_EQ(r[1].width, s(200));
        EXPECT_EQ(r[1].height, s(100));
        EXPECT_EQ(r[1].markX, s(120));
        EXPECT_EQ(r[1].markY, s(80));
        EXPECT_EQ(r[1].emissivity100, 95);
        EXPECT_EQ(r[1].value100, 4100.0f);
        EXPECT_EQ(l[2].x1, s(10));
        EXPECT_EQ(l[2].y1, s(22));
        EXPECT_EQ(l[2].x2, s(600));
        EXPECT_EQ(l[2].y2, s(440));
        EXPECT_EQ(l[2].markX, s(300));
        EXPECT_EQ(l[2].markY, s(220));
        EXPECT_EQ(l[2].value100, 3900.0f);
        if (w == 320) {
            EXPECT_EQ(p[0].x, 300);
            EXPECT_EQ(p[0].y, 200);
        }
        EXPECT_EQ(IFR_GetPointInfo(h, nullptr), -1);
        IFR_Free(h);
    }
}

TEST(StoredMarks, BoardRectangleOfThePlaneModel) {
    IfrHandle k11 = IFR_LoadFile(nullptr, fixturePath("k11").c_str(), 0, nullptr, nullptr);
    IfrHandle k4 = IFR_LoadFile(nullptr, fixturePath("k4").c_str(), 0, nullptr, nullptr);
    ASSERT_NE(k11, nullptr);
    ASSERT_NE(k4, nullptr);
    int x = -1, y = -1, w = -1, h = -1;
    IFR_GetBoardCoord(k11, &x, &y, &w, &h);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 2);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 4);
    IFR_GetBoardCoord(k4, &x, &y, &w, &h);
    EXPECT_EQ(x + y + w + h, 0);
    IFR_GetBoardCoord(k11, nullptr, nullptr, nullptr, nullptr);
    for (IfrHandle handle : {k11, k4}) {
        IFR_CloseFile(handle);
        IFR_Free(handle);
    }
}

}  // namespace
