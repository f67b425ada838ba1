// The charts' arithmetic against hand-computed tables: bins and edges,
// scale bounds, ladders, sample places, minimum sizes, the cursor sample.
#include "content/chart_curves.h"
#include "content/chart_helpers.h"
#include "content/draw_histogram.h"
#include "content/draw_profile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using chart::IntRange;
using chart::Ladder;

TEST(HistogramBins, SamplesGoToTheBinOfTheirLowerEdgeAndTheLastEdgeCountsAbove)
{
    const std::vector<float> edges = CDrawHistogram::ComputeEdges(2, 30.0f, 10.0f);
    ASSERT_EQ(edges, (std::vector<float>{10.0f, 20.0f, 30.0f}));
    const std::vector<float> samples{10.0f, 20.0f, 30.0f};
    const CDrawHistogram::Bins b = CDrawHistogram::CountBins(samples, edges, true);
    EXPECT_EQ(b.counts, (std::vector<int>{1, 1}));
    EXPECT_EQ(b.below, 0);
    EXPECT_EQ(b.above, 1);

    // Below the first edge: the below class only.
    const std::vector<float> low{9.99f};
    const CDrawHistogram::Bins l = CDrawHistogram::CountBins(low, edges, true);
    EXPECT_EQ(l.counts, (std::vector<int>{0, 0}));
    EXPECT_EQ(l.below, 1);
}

TEST(HistogramBins, TheTallestClassCountsOutOfRangeClassesOnlyWhenTheyAreShown)
{
    const std::vector<float> edges{10.0f, 20.0f, 30.0f};
    const std::vector<float> samples{1.0f, 2.0f, 3.0f, 15.0f, 50.0f, 60.0f};
    EXPECT_EQ(CDrawHistogram::CountBins(samples, edges, false).tallest, 1);
    EXPECT_EQ(CDrawHistogram::CountBins(samples, edges, true).tallest, 3);
}

TEST(HistogramBins, ARangeNotRisingFillsNoBinAndNaNCountsNowhere)
{
    for (const auto& [max, min] : {std::pair{10.0f, 30.0f}, std::pair{20.0f, 20.0f}}) {
        const std::vector<float> edges = CDrawHistogram::ComputeEdges(4, max, min);
        const std::vector<float> samples{5.0f, 15.0f, 20.0f, 25.0f, 35.0f, std::nanf("")};
        const CDrawHistogram::Bins b = CDrawHistogram::CountBins(samples, edges, true);
        EXPECT_EQ(b.counts, (std::vector<int>(4, 0))) << max << " " << min;
        EXPECT_EQ(b.below + b.above, 5) << max << " " << min;
    }
}

TEST(HistogramEdges, AccumulateInSinglePrecisionAndEndExactlyAtTheMaximum)
{
    const std::vector<float> e = CDrawHistogram::ComputeEdges(3, 1.0f, 0.0f);
    ASSERT_EQ(e.size(), 4u);
    const float w = 1.0f / 3.0f;
    EXPECT_EQ(e[1], w);
    EXPECT_EQ(e[2], w + w);
    EXPECT_EQ(e[3], 1.0f);
    EXPECT_TRUE(CDrawHistogram::ComputeEdges(0, 1.0f, 0.0f).empty());
}

TEST(ScaleBounds, BoundsTruncateTowardZero)
{
    const struct {
        double v;
        int bound;
    } cases[] = {{-5.5, -5}, {5.5, 5}, {-0.9, 0}, {-0.0, 0}, {-1.0, -1}, {std::nan(""), 0}, {1e20, 2147483647},
                 {-1e20, -2147483647 - 1}};
    for (const auto& c : cases)
        EXPECT_EQ(chart::TruncBound(c.v), c.bound) << c.v;
}

TEST(ScaleBounds, ImageCustomAndAutomaticRangesInEveryUnit)
{
    // Image colour range -5.5 .. 30.2 Celsius.
    EXPECT_EQ(chart::ImageScale(-5.5f, 30.2f, 0), (IntRange{-5, 31}));
    // 15 .. 45 in Fahrenheit: 59 .. 113 + 1.
    EXPECT_EQ(chart::ImageScale(15.0f, 45.0f, 1), (IntRange{59, 114}));
    // -21 Celsius is -5.8 Fahrenheit: truncated -5.
    EXPECT_EQ(chart::ImageScale(-21.0f, 0.0f, 1), (IntRange{-5, 33}));
    // Kelvin: the truncated Celsius bounds + 273 and + 274.
    EXPECT_EQ(chart::ImageScale(-5.5f, 45.2f, 2), (IntRange{268, 319}));

    EXPECT_EQ(chart::CustomScale(15.0f, 45.0f, 0), (IntRange{15, 46}));
    EXPECT_EQ(chart::CustomScale(15.0f, 45.0f, 1), (IntRange{59, 114}));
    EXPECT_EQ(chart::CustomScale(15.0f, 45.0f, 2), (IntRange{288, 319}));
    // -1.5 + 1 is -0.5: truncated 0.
    EXPECT_EQ(chart::CustomScale(-5.5f, -1.5f, 0), (IntRange{-5, 0}));

    EXPECT_EQ(chart::AutoScale(0, 0, false), (IntRange{15, 46}));
    EXPECT_EQ(chart::AutoScale(0, 0, true), (IntRange{15, 46}));
    EXPECT_EQ(chart::AutoScale(-5.5f, 20.2f, true), (IntRange{-5, 21}));
    EXPECT_EQ(chart::AutoScale(-20.7f, -3.2f, true), (IntRange{-20, -2}));
}

TEST(Units, FahrenheitAndKelvinGoThereAndBackWithinSinglePrecision)
{
    EXPECT_FLOAT_EQ(chart::ToUnit(15.0f, 1), 59.0f);
    EXPECT_FLOAT_EQ(chart::ToUnit(45.0f, 1), 113.0f);
    EXPECT_FLOAT_EQ(chart::ToUnit(15.0f, 2), 288.2f);
    EXPECT_FLOAT_EQ(chart::ToUnitWhole(15.0f, 2), 288.0f);
    for (int unit : {0, 1, 2}) {
        for (float c : {-40.0f, 15.0f, 45.0f, 1200.5f})
            EXPECT_NEAR(chart::FromUnit(chart::ToUnit(c, unit), unit), c, std::abs(c) * 1e-6f + 1e-4f);
    }
}

TEST(AxisLadders, EachRungStartsJustAboveItsThreshold)
{
    const struct {
        double d;
        Ladder ladder;
    } curve[] = {{0.5, {400, 80}}, {2.0, {400, 80}}, {2.01, {200, 40}}, {3.0, {200, 40}}, {3.01, {100, 20}},
                 {4.0, {100, 20}}, {4.01, {50, 10}}, {20.0, {50, 10}}, {20.01, {10, 2}}, {40.0, {10, 2}},
                 {40.01, {5, 1}}, {200.0, {5, 1}}, {200.01, {1, 1}}};
    for (const auto& c : curve)
        EXPECT_EQ(chart::CurveAxisLadder(c.d), c.ladder) << c.d;

    // The class axis: class size for the first two rungs, units per degree after.
    const struct {
        double c;
        double d;
        Ladder ladder;
    } classes[] = {{2.0, 1.0, {800, 160}}, {2.01, 1.0, {400, 80}}, {3.01, 1.0, {200, 40}},
                   {3.01, 4.0, {200, 40}}, {1.0, 4.01, {100, 20}}, {1.0, 10.01, {10, 2}},
                   {1.0, 20.01, {5, 1}},   {1.0, 150.0, {5, 1}},   {1.0, 150.01, {1, 1}}};
    for (const auto& c : classes)
        EXPECT_EQ(chart::ClassAxisLadder(c.c, c.d), c.ladder) << c.c << " " << c.d;

    const struct {
        double p;
        int step;
    } percents[] = {{4.0, 100}, {4.01, 50}, {20.0, 50}, {20.01, 10}, {40.01, 5}, {200.0, 5}, {200.01, 1}};
    for (const auto& c : percents)
        EXPECT_EQ(chart::PercentStep(c.p), c.step) << c.p;
}

TEST(ProfileSampling, PlacesAreTheLongerSidePlusTen)
{
    EXPECT_EQ(CDrawProfile::SamplePlaces(10, 10, 10, 110), 110);
    EXPECT_EQ(CDrawProfile::SamplePlaces(5, 5, 5, 5), 10);
    EXPECT_EQ(CDrawProfile::SamplePlaces(100, 0, 0, 30), 110);
}

TEST(MinimumSize, GrowsDownAndRightAndReportsTheChange)
{
    const struct {
        DocRect in;
        int w;
        int h;
        DocRect out;
    } cases[] = {
        {DocRect(0, 0, 1000, -500), 2000, 1200, DocRect(0, -1200, 2000, 0)},
        {DocRect(0, 0, 500, -500), 1200, 1200, DocRect(0, -1200, 1200, 0)},
        {DocRect(3000, -500, 1000, -2000), 1200, 1200, DocRect(1000, -2000, 3000, -500)},
    };
    for (const auto& c : cases) {
        DocRect r = c.in;
        EXPECT_TRUE(chart::ApplyMinimumSize(r, c.w, c.h));
        EXPECT_EQ(r, c.out);
        EXPECT_FALSE(chart::ApplyMinimumSize(r, c.w, c.h));
    }
}

TEST(CursorSample, OnlyStrictlyInsideTheCurveAndAlwaysInBounds)
{
    const float s[4] = {1, 2, 3, 4};
    EXPECT_EQ(chart::SampleAtCursor(s, 4, 0.0f), nullptr);
    EXPECT_EQ(chart::SampleAtCursor(s, 4, 1.0f), nullptr);
    EXPECT_EQ(chart::SampleAtCursor(s, 4, -1.0f), nullptr);
    EXPECT_EQ(chart::SampleAtCursor(s, 0, 0.5f), nullptr);
    EXPECT_EQ(chart::SampleAtCursor(s, 4, std::nanf("")), nullptr);
    EXPECT_EQ(chart::SampleAtCursor(s, 4, 0.5f), s + 2);
    EXPECT_EQ(chart::SampleAtCursor(s, 4, std::nextafter(1.0f, 0.0f)), s + 3);
}

TEST(CursorDrag, ClampsToThePlotAndGivesEachCurveItsOwnFraction)
{
    float f1 = 0.5f;
    float f2 = 0.5f;
    int w1 = 1000;
    int w2 = 500;
    int w3 = 0;
    float f3 = 0.25f;
    chart::CurveSeries series[3] = {{nullptr, 0, 0, true, &f1, &w1}, {nullptr, 0, 0, true, &f2, &w2},
                                    {nullptr, 0, 0, true, &f3, &w3}};
    chart::CurveCursor cursor;
    cursor.plot = DocRect(100, 0, 1100, 800);
    chart::DragCursor(350, series, cursor);
    EXPECT_FLOAT_EQ(cursor.fraction, 0.25f);
    EXPECT_FLOAT_EQ(f1, 0.25f);
    EXPECT_FLOAT_EQ(f2, 0.5f);
    EXPECT_FLOAT_EQ(f3, 0.25f); // nothing plotted: unchanged
    EXPECT_EQ(cursor.bar, DocRect(340, 0, 360, 800));
    chart::DragCursor(-5000, series, cursor);
    EXPECT_EQ(cursor.fraction, 0.0f);
    EXPECT_EQ(cursor.bar.left, 90);
    chart::DragCursor(5000, series, cursor);
    EXPECT_EQ(cursor.fraction, 1.0f);
    EXPECT_FLOAT_EQ(f2, 2.0f);
}
