// The shapes behind the measurement calls (line DDA, rectangles, discs) and
// border repair.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "measure.h"

using namespace thermcore;

namespace {

using Pixels = std::vector<std::pair<int64_t, int64_t>>;

Pixels line(int x1, int y1, int x2, int y2, int64_t* count = nullptr) {
    Pixels p;
    const int64_t n = traceLine(x1, y1, x2, y2, [&](int64_t x, int64_t y) { p.emplace_back(x, y); });
    if (count != nullptr) *count = n;
    EXPECT_EQ(n, static_cast<int64_t>(p.size()));
    return p;
}

TEST(LineTrace, StartIncludedEndAppended) {
    const struct {
        int x1, y1, x2, y2;
        Pixels pixels;
    } cases[] = {
        {10, 10, 10, 10, {{10, 10}}},
        {0, 0, 3, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {3, 0, 0, 0, {{3, 0}, {2, 0}, {1, 0}, {0, 0}}},
        {2, 5, 2, 2, {{2, 5}, {2, 4}, {2, 3}, {2, 2}}},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {0, 0, -2, 2, {{0, 0}, {-1, 1}, {-2, 2}}},
        // Shallow and steep lines: one pixel per step of the longer axis,
        // the other axis following the ideal line to the nearest pixel.
        {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},  // a tie at x = 2 stays
        {0, 0, 6, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}}},
        {0, 0, 1, 5, {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}, {1, 5}}},
        {5, 5, 0, 3, {{5, 5}, {4, 5}, {3, 4}, {2, 4}, {1, 3}, {0, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2);
        EXPECT_EQ(line(c.x1, c.y1, c.x2, c.y2), c.pixels);
    }
}

TEST(LineTrace, EveryStepMovesOnePixelAndStaysNearTheLine) {
    for (int x2 = -9; x2 <= 9; ++x2) {
        for (int y2 = -9; y2 <= 9; ++y2) {
            const Pixels p = line(0, 0, x2, y2);
            ASSERT_EQ(p.size(), size_t(std::max(std::abs(x2), std::abs(y2)) + 1));
            for (size_t i = 1; i < p.size(); ++i) {
                EXPECT_LE(std::abs(p[i].first - p[i - 1].first), 1);
                EXPECT_LE(std::abs(p[i].second - p[i - 1].second), 1);
                // Distance from the ideal line, measured across it, at most
                // half a pixel along the shorter axis.
                const double cross = double(p[i].first) * y2 - double(p[i].second) * x2;
                EXPECT_LE(std::abs(cross), 0.5 * std::max(std::abs(x2), std::abs(y2)) + 1e-9);
            }
        }
    }
}

TEST(LineTrace, ExtremeCoordinatesDoNotWrap) {
    const int kMax = 2147483647, kMin = -2147483647 - 1;
    EXPECT_EQ(line(kMax - 2, 0, kMax, 1), (Pixels{{kMax - 2, 0}, {kMax - 1, 0}, {kMax, 1}}));
    EXPECT_EQ(line(kMin, kMin + 2, kMin + 1, kMin), (Pixels{{kMin, kMin + 2}, {kMin, kMin + 1}, {kMin + 1, kMin}}));
    EXPECT_EQ(lineCount(kMin, 0, kMax, 0), 4294967296LL);
    EXPECT_EQ(lineCount(7, kMax, 7, kMin), 4294967296LL);
    EXPECT_EQ(lineCount(3, 4, 3, 4), 1);
}

TEST(Rectangles, CountAndNormalisation) {
    const struct {
        int x1, y1, x2, y2;
        int64_t count;
        int64_t left, top;
    } cases[] = {
        {5, 5, 9, 9, 25, 5, 5},
        {9, 9, 5, 5, 25, 5, 5},    // reversed in both axes: taken the right way round
        {5, 5, 4, 9, 0, 5, 5},     // one axis reversed: no pixel
        {5, 5, 3, 9, -5, 5, 5},
        {5, 9, 9, 5, -15, 5, 9},
        {0, 0, 0, 0, 1, 0, 0},
        {-2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647, INT64_MAX, -2147483648LL, -2147483648LL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2);
        const RectSpan r = rectSpan(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(r.count, c.count);
        EXPECT_EQ(r.x1, c.left);
        EXPECT_EQ(r.y1, c.top);
        if (c.count > 0 && c.count < 100) {
            int64_t visited = 0;
            visitRect(r, [&](int64_t, int64_t) { ++visited; });
            EXPECT_EQ(visited, c.count);
        }
    }
}

TEST(Discs, PixelsRowByRow) {
    Pixels p;
    visitDisc(3, 4, 1, [&](int64_t x, int64_t y) { p.emplace_back(x, y); });
    EXPECT_EQ(p, (Pixels{{3, 3}, {2, 4}, {3, 4}, {4, 4}, {3, 5}}));
    EXPECT_EQ(discCount(1), 5);
    EXPECT_EQ(discCount(2), 13);
    EXPECT_EQ(discCount(3), 29);
    // Against the definition for more radii.
    for (int r = 0; r <= 40; ++r) {
        int64_t n = 0;
        for (int y = -r; y <= r; ++y) {
            for (int x = -r; x <= r; ++x) n += x * x + y * y <= r * r;
        }
        EXPECT_EQ(discCount(r), n) << r;
    }
    EXPECT_EQ(floorSqrt((int64_t{1} << 62) - 1), 2147483647);
    EXPECT_EQ(floorSqrt(int64_t{1} << 62), 2147483648LL);
}

// A w x h object whose gray at (x, y) is 100 * y + x.
IfrObject& numbered(IfrObject& obj, int w, int h) {
    obj.width = w;
    obj.height = h;
    obj.gray.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) obj.gray[size_t(y) * w + x] = uint16_t(100 * y + x);
    }
    return obj;
}

TEST(BorderRepair, Width320TakesTwoThreeThreeFourPixels) {
    IfrObject obj;
    numbered(obj, 320, 10);
    repairBorders(obj);
    auto at = [&](int x, int y) { return obj.gray[size_t(y) * 320 + x]; };
    // Rows 0, 1 copy row 2; rows 7..9 copy row 6; columns 0..2 copy column 3
    // and columns 316..319 column 315.
    for (int y = 0; y < 10; ++y) {
        const int row = y < 2 ? 2 : y > 6 ? 6 : y;
        for (int x = 0; x < 320; ++x) {
            const int col = x < 3 ? 3 : x > 315 ? 315 : x;
            ASSERT_EQ(at(x, y), 100 * row + col) << x << "," << y;
        }
    }
}

TEST(BorderRepair, OtherWidthsTakeOneColumnEachSide) {
    IfrObject obj;
    numbered(obj, 16, 3);
    repairBorders(obj);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(obj.gray[size_t(y) * 16], 100 * y + 1);
        EXPECT_EQ(obj.gray[size_t(y) * 16 + 15], 100 * y + 14);
        EXPECT_EQ(obj.gray[size_t(y) * 16 + 7], 100 * y + 7);
    }
}

TEST(BorderRepair, ImagesSmallerThanTheBordersStayInside) {
    for (const auto& [w, h] : {std::pair{320, 1}, {320, 3}, {1, 1}, {2, 1}, {320, 5}}) {
        IfrObject obj;
        numbered(obj, w, h);
        repairBorders(obj);  // the sanitizers see any access outside
        EXPECT_EQ(obj.gray.size(), size_t(w) * h);
    }
    IfrObject none;
    repairBorders(none);
}

}  // namespace
