// Caption buttons: press, hover, release rules, the leave timer, painting.
#include "test_support.h"

#include "skin/caption.h"
#include "skin/colors.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

using namespace skin;

TEST(CaptionButtons, PressHoverAndReleaseRules)
{
    CaptionButtons b;
    CaptionScene scene;
    scene.width = 400;
    LayoutCaptionButtons(scene, b);
    const QPoint close = b.Rect(kCloseButton).center();
    const QPoint max = b.Rect(kMaxButton).center();
    // Hover shows +2; pressed +1; another pressed shows normal.
    EXPECT_TRUE(b.Move(close, false));
    EXPECT_EQ(b.ImageOffset(kCloseButton, true), 2);
    EXPECT_TRUE(b.Press(close));
    EXPECT_EQ(b.ImageOffset(kCloseButton, true), 1);
    b.Move(max, true);
    EXPECT_EQ(b.ImageOffset(kMaxButton, true), 0);
    EXPECT_EQ(b.ImageOffset(kCloseButton, true), 0);
    b.Move(close, true); // back over it, still held: pressed again
    EXPECT_EQ(b.ImageOffset(kCloseButton, true), 1);
    // Released outside: nothing runs, nothing stays pressed.
    EXPECT_EQ(b.Release(QPoint(5, 5)), kNoButton);
    EXPECT_EQ(b.Pressed(), kNoButton);
    b.Press(close);
    EXPECT_EQ(b.Release(max), kNoButton);
    b.Press(close);
    EXPECT_EQ(b.Release(close), kCloseButton);
    EXPECT_EQ(b.ImageOffset(kMinButton, false), 3);
    EXPECT_EQ(CaptionGlyph(kMaxButton, scene), kGlyphMaximize);
    scene.maximized = true;
    EXPECT_EQ(CaptionGlyph(kMaxButton, scene), kGlyphRestore);
    // A dialog's caption has its close button only.
    scene.buttons = kCloseOnly;
    LayoutCaptionButtons(scene, b);
    EXPECT_EQ(b.HitTest(max), kNoButton);
}

TEST(CaptionBar, ClosesOnlyWhenReleasedInsideAndLeavesHoverWithinATick)
{
    auto s = MakeSkin(0);
    QWidget window;
    window.resize(500, 300);
    CaptionBar* bar = MakeSkinCaptionBar(&window, kAllButtons);
    bar->setGeometry(0, 0, 500, CaptionBandHeight());
    std::vector<int> clicked;
    QObject::connect(bar, &CaptionBar::buttonClicked, [&](int b) { clicked.push_back(b); });
    window.show();
    QApplication::processEvents();
    const QPoint close = bar->Buttons().Rect(kCloseButton).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, close);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_TRUE(clicked.empty());
    QTest::mousePress(bar, Qt::LeftButton, {}, close);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, close);
    EXPECT_EQ(clicked, std::vector<int>{kCloseButton});

    // Hover, then the mouse leaves the window: normal within 100 ms.
    QCursor::setPos(bar->mapToGlobal(close));
    QTest::mouseMove(bar, close);
    ASSERT_EQ(bar->Buttons().Hover(), kCloseButton);
    QCursor::setPos(window.mapToGlobal(QPoint(-100, -100)));
    EXPECT_TRUE(bar->IsLeaveTimerActive());
    QTest::qWait(130);
    EXPECT_EQ(bar->Buttons().Hover(), kNoButton);
    EXPECT_EQ(bar->Buttons().ImageOffset(kCloseButton, true), 0);
}

TEST(CaptionPainter, BandButtonsAndOutline)
{
    auto s = MakeSkin(0);
    QImage img(300, CaptionBandHeight(), QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    CaptionScene scene;
    scene.width = 300;
    scene.title = QStringLiteral("红外热像报表软件");
    CaptionButtons b;
    LayoutCaptionButtons(scene, b);
    PaintCaption(p, scene, SkinCaptionColors(*s, true), s->m_ilSkinLarge, b);
    p.end();
    EXPECT_EQ(FromQRgb(img.pixel(100, 0)), s->m_clrSkinDark);              // outline
    EXPECT_EQ(FromQRgb(img.pixel(100, CaptionBandHeight() - 2)), s->m_clrSkinMid); // gloss: end on the last row but one
    const QRect close = b.Rect(kCloseButton);
    EXPECT_EQ(FromQRgb(img.pixel(close.left() + 11, close.top() + 11)), s->m_clrSkinDark); // the cross
    SaveShot(img, "caption-style0");
}
