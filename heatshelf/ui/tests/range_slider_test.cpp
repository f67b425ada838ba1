// The range slider driven by mouse events: mapping, drags with their
// spacing, presses that start no drag, releases, and the first paint.
#include "ui_test_support.h"

#include "heatshelf/range_slider.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using heatshelf::CRangeSlider;

namespace {

// A slider whose track is `track` pixels wide, painted once.
struct SliderFixture {
    ThemeFixture theme{0};
    CRangeSlider slider;
    SliderFixture(float min, float max, float low, float high, int track = 200)
    {
        slider.resize(track + 2 * (CRangeSlider::kChannelInset + 2), 30);
        slider.SetRange(min, max);
        slider.SetThumbValues(low, high);
        slider.show();
        Grab(slider); // the first paint lays the thumbs out
    }
    // A point on the track's row at pixel x of the widget.
    static QPoint onTrack(int x) { return {x, (CRangeSlider::kChannelTop + CRangeSlider::kChannelBottom) / 2}; }
    QPoint thumbCentre(int i) const
    {
        const QRect body = slider.Thumb(i)->body;
        return onTrack(body.left() + body.width() / 2);
    }
};

float value(const QSignalSpy& spy, int i) { return spy.at(i).at(1).toFloat(); }

} // namespace

TEST(RangeSlider, ValuesMapOverTheRangePlusOne)
{
    SliderFixture f(0, 100, 0, 100);
    const QRect track = f.slider.TrackRect();
    ASSERT_EQ(track.width(), 200);
    // 100 lies at track left + 198.02, drawn at 198.
    EXPECT_EQ(f.slider.ValueToPixel(100) - float(track.left()), 198.0f);
    EXPECT_EQ(f.slider.ValueToPixel(0), float(track.left()));
    EXPECT_FLOAT_EQ(f.slider.PixelToValue(float(track.left() + 100)), 50.5f);
    EXPECT_DOUBLE_EQ(CRangeSlider::RoundTo(2.449, 1), 2.4);
    EXPECT_DOUBLE_EQ(CRangeSlider::RoundTo(2.45001, 1), 2.5);
    EXPECT_DOUBLE_EQ(CRangeSlider::RoundTo(-0.5, 0), 0.0);
    // The high thumb is centred on the maximum's pixel.
    const QRect body = f.slider.Thumb(1)->body;
    EXPECT_EQ(body.left(), track.left() + 198 - 6);
    EXPECT_EQ(body.left() + body.width(), track.left() + 198 + 6);
}

TEST(RangeSlider, EmptyRangesAndTracksDivideByNothing)
{
    EnsureQApplication();
    CRangeSlider s;
    s.resize(20, 30); // a track of 0 pixels
    s.SetRange(10, 9); // max - min + 1 = 0
    EXPECT_EQ(s.ValueToPixel(5), float(s.TrackRect().left()));
    EXPECT_EQ(s.PixelToValue(100), 10.0f);
    s.resize(8, 30); // a negative track
    EXPECT_EQ(s.PixelToValue(3), 10.0f);
    s.SetRange(0, 100);
    s.SetThumbValues(0, 100);
    s.show();
    Grab(s); // paints without a fault
}

TEST(RangeSlider, DraggingTheLowThumbStopsShortOfTheHighOne)
{
    SliderFixture f(0, 100, 10, 60);
    QSignalSpy moved(&f.slider, &CRangeSlider::thumbMoved);
    QPoint at = f.thumbCentre(0);
    QTest::mousePress(&f.slider, Qt::LeftButton, {}, at);
    ASSERT_TRUE(f.slider.IsDragging());
    for (int x = at.x() + 1; x < f.slider.TrackRect().right(); ++x) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, at.y()), f.slider.mapToGlobal(QPointF(x, at.y())),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.slider, &move);
    }
    ASSERT_GT(moved.count(), 10);
    float last = 0;
    for (int i = 0; i < moved.count(); ++i) {
        EXPECT_EQ(moved.at(i).at(0).toInt(), 1);
        const float v = value(moved, i);
        EXPECT_NEAR(v * 10.0f, std::round(v * 10.0f), 1e-3) << v; // one decimal
        EXPECT_GT(v, last);
        last = v;
    }
    // The last accepted value keeps 2.5 % of the range below 60.
    EXPECT_LT(last + 2.5f, 60.0f);
    EXPECT_GT(last, 60.0f - 2.5f - 0.6f);
    float values[2];
    ASSERT_EQ(f.slider.GetThumbValues(values), 2);
    EXPECT_EQ(values[0], last);
    EXPECT_EQ(values[1], 60.0f);
}

TEST(RangeSlider, PressesOutsideTheTrackStartNoDrag)
{
    SliderFixture f(0, 100, 20, 80);
    const SliderFixture& c = f;
    const QRect upper = c.slider.Thumb(0)->upperLeft;
    const QPoint points[] = {
        upper.center(),                                  // the thumb's upper half, above the track
        QPoint(c.thumbCentre(0).x(), CRangeSlider::kChannelBottom + 2), // its lower half, below the track
        QPoint(2, c.thumbCentre(0).y()),                 // left of the track
    };
    for (const QPoint p : points) {
        QTest::mousePress(&f.slider, Qt::LeftButton, {}, p);
        EXPECT_FALSE(f.slider.IsDragging()) << p.x() << ',' << p.y();
        QTest::mouseRelease(&f.slider, Qt::LeftButton, {}, p);
    }
    // On the track between the thumbs: no thumb, no drag.
    QTest::mousePress(&f.slider, Qt::LeftButton, {}, SliderFixture::onTrack(f.slider.width() / 2));
    EXPECT_FALSE(f.slider.IsDragging());
}

TEST(RangeSlider, EqualThumbsNeverPassEachOther)
{
    SliderFixture f(0, 100, 50, 50);
    QSignalSpy moved(&f.slider, &CRangeSlider::thumbMoved);
    // Both thumbs at one place: the first in the list (the low one) is hit.
    const QPoint at = f.thumbCentre(0);
    QTest::mousePress(&f.slider, Qt::LeftButton, {}, at);
    QTest::mouseMove(&f.slider, at + QPoint(30, 0));
    EXPECT_EQ(moved.count(), 0);
    QTest::mouseMove(&f.slider, at - QPoint(30, 0));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 1);
    float values[2];
    f.slider.GetThumbValues(values);
    EXPECT_LT(values[0], values[1]);
}

TEST(RangeSlider, AReleaseThatMovesAThumbReportsIt)
{
    // A range of 1000: moves keep 25 units apart, the release only 5.
    SliderFixture f(0, 1000, 100, 600);
    QSignalSpy moved(&f.slider, &CRangeSlider::thumbMoved);
    const QPoint at = f.thumbCentre(1);
    QTest::mousePress(&f.slider, Qt::LeftButton, {}, at);
    // Near the low thumb: the move is blocked, the release is not.
    const float target = 115.0f;
    const int x = int(f.slider.ValueToPixel(target));
    QTest::mouseMove(&f.slider, SliderFixture::onTrack(x));
    EXPECT_EQ(moved.count(), 0);
    QTest::mouseRelease(&f.slider, Qt::LeftButton, {}, SliderFixture::onTrack(x));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 2);
    float values[2];
    ASSERT_EQ(f.slider.GetThumbValues(values), 2);
    EXPECT_EQ(values[1], value(moved, 0));
    EXPECT_NEAR(values[1], target, 5.0f);
    EXPECT_FALSE(f.slider.IsDragging());

    // A release where the thumb already is reports nothing.
    moved.clear();
    const QPoint again = f.thumbCentre(1);
    QTest::mousePress(&f.slider, Qt::LeftButton, {}, again);
    QTest::mouseRelease(&f.slider, Qt::LeftButton, {}, again);
    f.slider.GetThumbValues(values);
    if (values[1] == f.slider.PixelToValue(float(again.x()))) {
        EXPECT_EQ(moved.count(), 0);
    }
}

TEST(RangeSlider, RangeThumbValuesAndTheFirstPaint)
{
    EnsureQApplication();
    ThemeFixture theme(0);
    CRangeSlider s;
    s.resize(220, 30);
    s.SetMarkedInterval(3, 4);
    EXPECT_TRUE(s.SetRange(-20, 150));
    EXPECT_EQ(s.MarkedLow(), -20.0f);
    EXPECT_EQ(s.MarkedHigh(), 150.0f);
    // A thumb outside the range is dropped at the first paint.
    s.SetThumbValues(-30, 100);
    EXPECT_EQ(s.ThumbCount(), 0);
    s.show();
    Grab(s);
    EXPECT_TRUE(s.IsInitialised());
    ASSERT_EQ(s.ThumbCount(), 1);
    EXPECT_EQ(s.Thumb(0)->value, 100.0f);

    // After the first paint new values show only at the next paint.
    CRangeSlider t;
    t.resize(220, 30);
    t.SetRange(0, 100);
    t.SetThumbValues(10, 90);
    t.show();
    Grab(t);
    const QRect before = t.Thumb(0)->body;
    t.SetThumbValues(30, 70);
    EXPECT_EQ(t.Thumb(0)->body, before);
    const QImage img = Grab(t);
    EXPECT_NE(t.Thumb(0)->body, before);
    EXPECT_EQ(t.Thumb(0)->body, t.LayoutThumb(30).body);
    // The marked interval in dark blue, the channel in the light shade.
    const int mid = int(t.ValueToPixel(50));
    EXPECT_EQ(PixelAt(img, mid, CRangeSlider::kChannelTop + 4), CRangeSlider::kIntervalColor);
    EXPECT_EQ(PixelAt(img, 2, 2), theme.theme().SkinBase());
}
