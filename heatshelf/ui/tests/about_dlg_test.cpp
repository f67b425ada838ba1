// The About box's caption: band, outline, close button images by press,
// move and release.
#include "ui_test_support.h"

#include "heatshelf/about_dlg.h"
#include "heatshelf/caption_painter.h"

#include "skin/gradient.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using heatshelf::CAboutDlg;

namespace {

// Whether the close button shows image n of the strip.
bool showsImage(const QImage& shot, const QRect& close, const heatshelf::Theme& t, int n)
{
    const QImage image = t.SkinCaptionButtons().images[std::size_t(n)].toImage();
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 22; ++x) {
            const QRgb want = image.pixel(x, y);
            if (qAlpha(want) == 255 && (shot.pixel(close.left() + x, close.top() + y) | 0xFF000000u) != want)
                return false;
        }
    }
    return true;
}

} // namespace

TEST(AboutCaption, PaintsBandOutlineAndCloseButton)
{
    ThemeFixture theme(0);
    const heatshelf::Theme& t = theme.theme();
    CAboutDlg dlg(t);
    dlg.setWindowTitle(QStringLiteral("关于 Heatshelf"));
    dlg.resize(300, 160);
    dlg.show();
    const QImage img = Grab(dlg);
    const int h = heatshelf::BrowserCaptionHeight();
    EXPECT_EQ(h, 29);
    const QRect close = heatshelf::BrowserCloseRect(300);
    EXPECT_EQ(close, QRect(272, 4, 22, 22));
    const std::vector<COLORREF> band = skin::GlossRows(h + 1, t.SkinPale(), t.SkinMid());
    EXPECT_EQ(PixelAt(img, 150, 5), band[5]);
    EXPECT_EQ(PixelAt(img, 150, h), band[std::size_t(h)]);
    // Outline and bevel pixels in the dark shade; client in mid.
    EXPECT_EQ(PixelAt(img, 150, 0), t.SkinDark());
    EXPECT_EQ(PixelAt(img, 0, 80), t.SkinDark());
    EXPECT_EQ(PixelAt(img, 298, 80), t.SkinDark());
    EXPECT_EQ(PixelAt(img, 150, 158), t.SkinDark());
    EXPECT_EQ(PixelAt(img, 2, 2), t.SkinDark());
    EXPECT_EQ(PixelAt(img, 297, 2), t.SkinDark());
    EXPECT_EQ(PixelAt(img, 150, 80), t.SkinMid());
    EXPECT_TRUE(showsImage(img, close, t, 0));
    SaveShot(img, QStringLiteral("about"));
}

TEST(AboutCaption, CloseButtonPressMoveAndRelease)
{
    ThemeFixture theme(0);
    const heatshelf::Theme& t = theme.theme();
    CAboutDlg dlg(t);
    dlg.resize(300, 160);
    dlg.show();
    const QRect close = heatshelf::BrowserCloseRect(300);
    const QPoint in = close.center();
    const QPoint out(100, 100);

    QTest::mouseMove(&dlg, in);
    EXPECT_TRUE(showsImage(Grab(dlg), close, t, 2)); // hot
    QTest::mousePress(&dlg, Qt::LeftButton, {}, in);
    EXPECT_TRUE(showsImage(Grab(dlg), close, t, 1)); // pressed
    // Leaving with the button held: normal; a release outside closes nothing.
    QMouseEvent away(QEvent::MouseMove, QPointF(out), dlg.mapToGlobal(QPointF(out)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&dlg, &away);
    EXPECT_TRUE(showsImage(Grab(dlg), close, t, 0));
    QTest::mouseRelease(&dlg, Qt::LeftButton, {}, out);
    EXPECT_TRUE(dlg.isVisible());

    // Press and release inside: the box closes.
    QTest::mousePress(&dlg, Qt::LeftButton, {}, in);
    QTest::mouseRelease(&dlg, Qt::LeftButton, {}, in);
    EXPECT_FALSE(dlg.isVisible());
}
