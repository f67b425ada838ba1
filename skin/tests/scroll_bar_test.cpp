// Skin scroll bars: geometry, parts, auto-repeat, dragging, and skinning a
// scroll area.
#include "test_support.h"

#include "skin/colors.h"
#include "skin/skin_scroll_bar.h"
#include "skin/skin_scroll_frame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>

namespace {

using Info = CSkinScrollBar::ScrollInfo;

TEST(SkinScrollBar, GeometryOfThumbAndArrows)
{
    struct Case {
        const char* what;
        int length;
        Info info;
        int thumb, offset, arrow; // as painted
        int hitThumb;             // as hit-tested
    };
    const Case cases[] = {
        {"top", 200, {0, 99, 10, 0, -1}, 16, 0, 17, 16},
        {"bottom", 200, {0, 99, 10, 90, -1}, 16, 150, 17, 16},
        {"dragged", 200, {0, 99, 10, 0, 45}, 16, 75, 17, 16},
        {"tiny page: at least 6", 200, {0, 9999, 1, 0, -1}, 6, 0, 17, 6},
        {"minimum not 0, at its start", 200, {100, 199, 10, 100, -1}, 16, 0, 17, 16},
        {"minimum not 0, at its end", 200, {100, 199, 10, 190, -1}, 16, 150, 17, 16},
        {"negative minimum", 200, {-50, 49, 10, -5, -1}, 16, 75, 17, 16},
        {"track under 6", 38, {0, 99, 10, 0, -1}, 0, 0, 17, 0},
        {"no track: arrows share", 30, {0, 99, 10, 0, -1}, 0, 0, 15, 0},
        {"span 0: no thumb", 200, {0, 9, 10, 0, -1}, 0, 83, 17, 166},
        {"empty range", 200, {5, 4, 10, 5, -1}, 0, 83, 17, 0},
        {"page over the range", 200, {0, 9, 50, 0, -1}, 0, 83, 17, 166},
        {"huge range", 200, {INT_MIN / 2, INT_MAX / 2, 1000, INT_MAX / 2 - 999, -1}, 6, 160, 17, 6},
    };
    for (const Case& c : cases) {
        const auto g = CSkinScrollBar::ComputeGeometry(c.length, 17, c.info, false);
        EXPECT_EQ(g.thumb, c.thumb) << c.what;
        EXPECT_EQ(g.offset, c.offset) << c.what;
        EXPECT_EQ(g.arrow, c.arrow) << c.what;
        EXPECT_GE(g.offset, 0) << c.what;
        EXPECT_LE(g.offset + g.thumb, g.track) << c.what;
        EXPECT_EQ(CSkinScrollBar::ComputeGeometry(c.length, 17, c.info, true).thumb, c.hitThumb) << c.what;
    }
}

TEST(SkinScrollBar, OffsetAgreesWithQtsSlider)
{
    for (int page : {1, 7, 40}) {
        const Info base{0, 499, page, 0, -1};
        const auto g0 = CSkinScrollBar::ComputeGeometry(300, 17, base, false);
        for (int pos = 0; pos <= g0.span; pos += 13) {
            Info info = base;
            info.nPos = pos;
            const auto g = CSkinScrollBar::ComputeGeometry(300, 17, info, false);
            const int qt = QStyle::sliderPositionFromValue(0, g.span, pos, g.free);
            EXPECT_LE(std::abs(g.offset - qt), 1) << page << " " << pos;
        }
    }
}

class SkinScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        skinState = MakeSkin(0);
        bar = std::make_unique<CSkinScrollBar>(Qt::Vertical);
        bar->SetBitmap(skinState->m_hSkinScrollBitmap);
        bar->resize(bar->width(), 200);
        bar->SetScrollInfo(0, 99, 10, 0);
        connect();
        bar->show();
    }
    void connect()
    {
        QObject::connect(bar.get(), &CSkinScrollBar::scrollCode, bar.get(),
                         [this](int code, int pos) { codes.push_back({code, pos}); });
    }
    QPoint centreOf(int part) const { return bar->GetPartRect(part).center(); }

    std::unique_ptr<skin::SkinState> skinState;
    std::unique_ptr<CSkinScrollBar> bar;
    std::vector<std::pair<int, int>> codes;
};

TEST_F(SkinScrollBarTest, TakesItsThicknessAndStateFromTheSkin)
{
    const int cell = skinState->m_hSkinScrollBitmap.width() / 9;
    EXPECT_EQ(bar->GetCellSize(), cell);
    EXPECT_EQ(bar->width(), cell);
    // The classic state on Qt's range: the last position a page starts at.
    EXPECT_EQ(bar->maximum(), 90);
    EXPECT_EQ(bar->pageStep(), 10);
    const Info info = bar->GetScrollInfo();
    EXPECT_EQ(info.nMax, 99);
    EXPECT_EQ(info.nPage, 10);
    EXPECT_EQ(bar->GetCellRect(CSkinScrollBar::kThumb, 2), QRect(2 * cell, 2 * cell, cell, cell));
    CSkinScrollBar horizontal(Qt::Horizontal);
    horizontal.SetBitmap(skinState->m_hSkinScrollBitmap);
    EXPECT_EQ(horizontal.height(), cell);
    EXPECT_EQ(horizontal.GetCellRect(CSkinScrollBar::kTrackBefore, 0), QRect(7 * cell, 0, cell, cell));
    // Hit testing part by part.
    EXPECT_EQ(bar->HitTest(QPoint(5, 2)), CSkinScrollBar::kFirstArrow);
    EXPECT_EQ(bar->HitTest(centreOf(CSkinScrollBar::kThumb)), CSkinScrollBar::kThumb);
    EXPECT_EQ(bar->HitTest(QPoint(5, 150)), CSkinScrollBar::kTrackAfter);
    EXPECT_EQ(bar->HitTest(QPoint(5, 199)), CSkinScrollBar::kSecondArrow);
    EXPECT_EQ(bar->HitTest(QPoint(5, -1)), CSkinScrollBar::kNoPart);
}

TEST_F(SkinScrollBarTest, PaintsFromTheSkinAndNothingWhenDisabled)
{
    const QImage skinImage = skinState->m_hSkinScrollBitmap.toImage();
    const int cell = bar->GetCellSize();
    QImage img = bar->grab().toImage();
    // The first arrow is the cell itself.
    EXPECT_EQ(img.pixel(cell / 2, cell / 2), skinImage.pixel(cell / 2, cell / 2));
    SaveShot(img, "scrollbar");
    bar->setEnabled(false);
    img = bar->grab().toImage();
    EXPECT_NE(img.pixel(cell / 2, cell / 2), skinImage.pixel(cell / 2, cell / 2));
}

TEST_F(SkinScrollBarTest, HeldArrowScrollsAtOnceThenRepeats)
{
    QElapsedTimer clock;
    QTest::mousePress(bar.get(), Qt::LeftButton, {}, centreOf(CSkinScrollBar::kSecondArrow));
    clock.start();
    ASSERT_EQ(codes.size(), 1u);
    EXPECT_EQ(codes[0], std::make_pair(SB_LINEDOWN, 1));
    EXPECT_EQ(bar->PartRow(CSkinScrollBar::kSecondArrow), CSkinScrollBar::kPressed);
    QTest::qWait(300);
    EXPECT_EQ(codes.size(), 1u); // still waiting for the delay
    QTRY_COMPARE_WITH_TIMEOUT(codes.size(), 2u, 1000);
    EXPECT_GE(clock.elapsed(), CSkinScrollBar::kRepeatDelay - 20);
    QTRY_VERIFY_WITH_TIMEOUT(codes.size() >= 4u, 1000); // every 100 ms now
    // Off the arrow: paused, drawn normal.
    QTest::mouseMove(bar.get(), QPoint(5, 100));
    EXPECT_TRUE(bar->IsRepeatPaused());
    EXPECT_EQ(bar->PartRow(CSkinScrollBar::kSecondArrow), CSkinScrollBar::kNormal);
    const std::size_t paused = codes.size();
    QTest::qWait(250);
    EXPECT_EQ(codes.size(), paused);
    QTest::mouseMove(bar.get(), centreOf(CSkinScrollBar::kSecondArrow));
    QTRY_VERIFY_WITH_TIMEOUT(codes.size() > paused, 1000);
    QTest::mouseRelease(bar.get(), Qt::LeftButton, {}, centreOf(CSkinScrollBar::kSecondArrow));
    const std::size_t released = codes.size();
    QTest::qWait(150);
    EXPECT_EQ(codes.size(), released);
    for (const auto& [code, pos] : codes)
        EXPECT_EQ(code, SB_LINEDOWN);
}

TEST_F(SkinScrollBarTest, LineDownRepeatStopsAtTheReachableEnd)
{
    bar->SetScrollInfo(0, 99, 10, 88);
    QTest::mousePress(bar.get(), Qt::LeftButton, {}, centreOf(CSkinScrollBar::kSecondArrow));
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 90, 1500);
    QTest::qWait(250);
    QTest::mouseRelease(bar.get(), Qt::LeftButton, {}, centreOf(CSkinScrollBar::kSecondArrow));
    // 89 at once, 90 after the delay, then no more.
    ASSERT_EQ(codes.size(), 2u);
    EXPECT_EQ(codes[1], std::make_pair(SB_LINEDOWN, 90));
}

TEST_F(SkinScrollBarTest, HeldTrackStopsWhenTheThumbReachesTheCursor)
{
    const QPoint at(5, 120);
    QTest::mousePress(bar.get(), Qt::LeftButton, {}, at);
    ASSERT_EQ(codes.size(), 1u);
    EXPECT_EQ(codes[0].first, SB_PAGEDOWN);
    QTRY_VERIFY_WITH_TIMEOUT(bar->GetPartRect(CSkinScrollBar::kThumb).contains(at), 2000);
    QTest::qWait(250);
    const std::size_t n = codes.size();
    QTest::qWait(200);
    EXPECT_EQ(codes.size(), n);
    QTest::mouseRelease(bar.get(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(bar->GetPartRect(CSkinScrollBar::kThumb).contains(at));
}

TEST_F(SkinScrollBarTest, DraggingTracksWithinTheRange)
{
    bar->SetScrollInfo(100, 199, 10, 100);
    const QPoint start = centreOf(CSkinScrollBar::kThumb);
    QTest::mousePress(bar.get(), Qt::LeftButton, {}, start);
    EXPECT_TRUE(bar->IsDragging());
    QTest::mouseMove(bar.get(), start + QPoint(0, 75)); // half the free track
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), std::make_pair(SB_THUMBTRACK, 145));
    EXPECT_EQ(bar->PartRow(CSkinScrollBar::kThumb), CSkinScrollBar::kPressed);
    QTest::mouseMove(bar.get(), start + QPoint(0, 1000)); // far past the end
    EXPECT_EQ(codes.back(), std::make_pair(SB_THUMBTRACK, 190));
    QTest::mouseMove(bar.get(), start + QPoint(0, -1000));
    EXPECT_EQ(codes.back(), std::make_pair(SB_THUMBTRACK, 100));
    QTest::mouseMove(bar.get(), start + QPoint(0, 30));
    QTest::mouseRelease(bar.get(), Qt::LeftButton, {}, start + QPoint(0, 30));
    EXPECT_EQ(codes.back(), std::make_pair(SB_THUMBPOSITION, 118));
    EXPECT_FALSE(bar->IsDragging());
    EXPECT_EQ(bar->value(), 118);
}

TEST_F(SkinScrollBarTest, HoverMarksArrowsAndThumbOnly)
{
    QTest::mouseMove(bar.get(), QPoint(5, 3));
    EXPECT_EQ(bar->GetHoverPart(), CSkinScrollBar::kFirstArrow);
    EXPECT_EQ(bar->PartRow(CSkinScrollBar::kFirstArrow), CSkinScrollBar::kHover);
    QTest::mouseMove(bar.get(), QPoint(5, 150));
    EXPECT_EQ(bar->PartRow(CSkinScrollBar::kFirstArrow), CSkinScrollBar::kNormal);
    EXPECT_EQ(bar->PartRow(CSkinScrollBar::kTrackAfter), CSkinScrollBar::kNormal);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar.get(), &leave);
    EXPECT_EQ(bar->GetHoverPart(), CSkinScrollBar::kNoPart);
}

TEST(SkinScrollFrame, WrapsAListWithItsCornerOnTheRight)
{
    auto s = MakeSkin(4);
    QListWidget list;
    for (int i = 0; i < 60; ++i)
        list.addItem(QStringLiteral("A rather long entry number %1 that needs the horizontal bar").arg(i));
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list.resize(220, 160);
    CSkinScrollFrame* frame = SkinWndScroll(&list, s->m_hSkinScrollBitmap, false);
    ASSERT_NE(frame, nullptr);
    list.show();
    QTest::qWait(0);
    CSkinScrollBar* v = frame->GetScrollBar(Qt::Vertical);
    CSkinScrollBar* h = frame->GetScrollBar(Qt::Horizontal);
    ASSERT_NE(v, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(v->isEnabled());
    const int cell = s->m_hSkinScrollBitmap.width() / 9;
    EXPECT_EQ(v->width(), cell);
    EXPECT_EQ(frame->GetCornerKind(), 2);
    const QRect corner = frame->GetCorner()->geometry();
    EXPECT_EQ(corner.right(), list.width() - 1 - list.frameWidth());
    EXPECT_GT(corner.left(), list.width() / 2);
    // Column 8, row 0 of the skin.
    const QImage shot = frame->GetCorner()->grab().toImage();
    EXPECT_EQ(shot.pixel(cell / 2, cell / 2), s->m_hSkinScrollBitmap.toImage().pixel(8 * cell + cell / 2, cell / 2));
    SaveShot(list.grab().toImage(), "scrollframe-style4");

    // Scrolling through the skin bar moves the list.
    v->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_GT(list.verticalScrollBar()->value(), 0);

    // Right to left: the bar and corner on the left, from row 1.
    list.setLayoutDirection(Qt::RightToLeft);
    QTest::qWait(0);
    EXPECT_EQ(frame->GetCornerKind(), 1);
    EXPECT_LT(frame->GetCorner()->geometry().left(), list.width() / 2);
    EXPECT_LT(v->mapTo(&list, QPoint(0, 0)).x(), list.width() / 2);

    // A new skin, and back to plain bars.
    EXPECT_EQ(SetSkinScrollBitmap(&list, s->m_hSkinScrollBitmap), 1);
    EXPECT_EQ(UnskinWndScroll(&list), 1);
    EXPECT_EQ(qobject_cast<CSkinScrollBar*>(list.verticalScrollBar()), nullptr);
    EXPECT_EQ(CSkinScrollFrame::Of(&list), nullptr);
    EXPECT_EQ(UnskinWndScroll(&list), 1);
    EXPECT_EQ(SetSkinScrollBitmap(&list, s->m_hSkinScrollBitmap), 0);
}

TEST(SkinScrollFrame, ABarIsDisabledWhileEverythingFits)
{
    auto s = MakeSkin(0);
    QListWidget list;
    list.addItem(QStringLiteral("one"));
    list.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list.resize(200, 200);
    CSkinScrollFrame* frame = SkinWndScroll(&list, s->m_hSkinScrollBitmap, true);
    list.show();
    QTest::qWait(0);
    CSkinScrollBar* v = frame->GetScrollBar(Qt::Vertical);
    EXPECT_FALSE(v->isEnabled());
    for (int i = 0; i < 50; ++i)
        list.addItem(QStringLiteral("more"));
    QTest::qWait(0);
    EXPECT_TRUE(v->isEnabled());
    list.clear();
    QTest::qWait(0);
    EXPECT_FALSE(v->isEnabled());
}

} // namespace
