// Screenshots of the image view (shots/image-*.png) in two themes, and
// probes of what they show: the stored marks on the warm spot's hottest
// pixel, the colour bar in the palette, the grid's selection frame.
#include "image_view_support.h"

#include "resource_ids.h"

#include "heatshelf/ir_image.h"
#include "heatshelf/range_slider.h"
#include "heatshelf/theme.h"
#include "skin/colors.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace heatshelf;

namespace {

// The hottest pixel within radius of (x, y), by the library's temperatures.
QPoint hottestNear(CIrImage& image, QPoint at, int radius)
{
    QPoint best = at;
    float bestT = -1e9f;
    for (int y = std::max(0, at.y() - radius); y <= std::min(image.imageHeight() - 1, at.y() + radius); ++y) {
        for (int x = std::max(0, at.x() - radius); x <= std::min(image.imageWidth() - 1, at.x() + radius); ++x) {
            float t = 0;
            image.GetPointTemp(x, y, 1.0f, 0.0f, &t);
            if (t > bestT) {
                bestT = t;
                best = QPoint(x, y);
            }
        }
    }
    return best;
}

// The view with the stored marks drawn and without them.
struct MarkedAndPlain {
    QImage marked;
    QImage plain;
};
MarkedAndPlain GrabWithAndWithoutMarks(ViewFixture& f)
{
    MarkedAndPlain shots{Grab(*f.view), {}};
    f.Run(res::ID_MEASURE_OBJECTS);
    shots.plain = Grab(*f.view);
    f.Run(res::ID_MEASURE_OBJECTS);
    return shots;
}

} // namespace

TEST(ImageViewShots, SingleImageAndGridInTwoThemes)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    for (const char* name : {"shot.vni", "blob640.vni", "blob320.vni", "records.vni", "k11.vni"})
        CopyFixture(folder, QString::fromLatin1(name));
    f.ShowFolder(folder.path());
    // blob320, blob640, k11, records, shot: the last has the photo.
    while (!v.IsLast())
        f.Run(res::ID_NEXT);
    ASSERT_EQ(QFileInfo(v.CurrentFileName()).fileName(), QStringLiteral("shot.vni"));
    ASSERT_FALSE(v.Core().photo().isNull());
    for (int theme : {0, 3}) {
        f.frame->RunCommand(res::ID_THEME_FIRST + theme);
        f.Settle();
        const QImage shot = Grab(*f.frame);
        SaveShot(shot, QStringLiteral("image-single-%1").arg(theme));
        const QImage pane = Grab(v);
        const std::optional<Rect> p = v.PictureRectangle();
        ASSERT_TRUE(p.has_value());
        // The photo beside the picture, the background in the base shade.
        const QRect photo(QPoint(p->right + 80, p->bottom - 144), QPoint(p->right + 259, p->bottom - 1));
        EXPECT_NE(PixelAt(pane, photo.center().x(), photo.center().y()), f.app->GetTheme().SkinBase());
        EXPECT_EQ(PixelAt(pane, p->right + 70, p->top + 5), f.app->GetTheme().SkinBase());
        // The bar runs through the palette: its ends differ.
        const int barY = p->bottom + 10;
        EXPECT_NE(PixelAt(pane, p->left + 56, barY), PixelAt(pane, p->right - 60, barY));
        EXPECT_FALSE(v.LevelSlider()->isHidden());
    }

    QSignalSpy done(&v, &CHeatshelfView::thumbnailsDone);
    f.Run(res::ID_THUMBNAILS);
    ASSERT_TRUE(done.count() > 0 || done.wait(60000));
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.ThumbCellRect(1).center());
    for (int theme : {0, 3}) {
        f.frame->RunCommand(res::ID_THEME_FIRST + theme);
        f.Settle();
        SaveShot(Grab(*f.frame), QStringLiteral("image-grid-%1").arg(theme));
        const QImage pane = Grab(v);
        const QRect sel = v.ThumbFrameQRect(1);
        EXPECT_EQ(PixelAt(pane, sel.left(), sel.center().y()), RGB(0, 0, 255));
        EXPECT_EQ(PixelAt(pane, v.ThumbCellRect(0).left() + 10, v.ThumbCellRect(0).center().y()),
                  f.app->GetTheme().SkinMid());
    }
}

TEST(ImageViewShots, TheStoredPointSitsOnTheHottestPixel)
{
    for (const char* name : {"blob640.vni", "blob320.vni"}) {
        SCOPED_TRACE(name);
        ViewFixture f;
        ASSERT_NE(f.view, nullptr);
        CHeatshelfView& v = *f.view;
        QTemporaryDir folder;
        CopyFixture(folder, QString::fromLatin1(name));
        f.ShowFolder(folder.path());
        ASSERT_FALSE(v.Core().picture().isNull());
        const auto [marked, plain] = GrabWithAndWithoutMarks(f);
        SaveShot(marked, QStringLiteral("image-mark-%1").arg(QString::fromLatin1(name).section('.', 0, 0)));

        CIrImage& holder = v.Core().holder();
        const std::optional<Rect> p = v.PictureRectangle();
        ASSERT_TRUE(p.has_value());
        const IfrPointInfo& point = holder.points()[0];
        const QPoint mark = MapToPicture(*p, holder.imageWidth(), point.x, point.y);
        // The mark is drawn there: its inverted cross differs from the plain picture.
        EXPECT_NE(marked.pixel(mark + QPoint(MarkArm(p->width()), 0)), plain.pixel(mark + QPoint(MarkArm(p->width()), 0)));
        EXPECT_NE(marked.pixel(mark + QPoint(0, -MarkArm(p->width()))), plain.pixel(mark + QPoint(0, -MarkArm(p->width()))));
        // And it marks the hottest pixel of the warm spot.
        const QPoint pixel((mark.x() - p->left) * holder.imageWidth() / p->width(),
                           (mark.y() - p->top) * holder.imageWidth() / p->width());
        const QPoint hottest = hottestNear(holder, pixel, holder.imageWidth() / 16);
        EXPECT_LE(std::abs(hottest.x() - pixel.x()), 2) << hottest.x() << " " << pixel.x();
        EXPECT_LE(std::abs(hottest.y() - pixel.y()), 2) << hottest.y() << " " << pixel.y();
    }
}

TEST(ImageViewShots, NumbersOfMarksAtThePicturesEdgeStayOnIt)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    CopyFixture(folder, QStringLiteral("edge_lines.vni"));
    f.ShowFolder(folder.path());
    ASSERT_FALSE(v.Core().picture().isNull());
    const auto [marked, plain] = GrabWithAndWithoutMarks(f);
    SaveShot(marked, QStringLiteral("image-mark-edge"));

    CIrImage& holder = v.Core().holder();
    const std::optional<Rect> p = v.PictureRectangle();
    ASSERT_TRUE(p.has_value());
    const int w = holder.imageWidth();
    const QPoint rightEnd = MapToPicture(*p, w, holder.lines()[0].x2, holder.lines()[0].y2);
    const QPoint bottomEnd = MapToPicture(*p, w, holder.lines()[1].x2, holder.lines()[1].y2);
    // Beside each end, inside the picture and off the line itself: the
    // line's number is there.
    const struct {
        const char* what;
        QRect area;
    } cases[] = {
        {"line 1, ending at the right edge", QRect(QPoint(p->right - 20, rightEnd.y() + 1), QPoint(p->right - 1, rightEnd.y() + 20))},
        {"line 2, ending at the bottom edge", QRect(QPoint(bottomEnd.x() + 1, p->bottom - 20), QPoint(bottomEnd.x() + 20, p->bottom - 1))},
    };
    for (const auto& c : cases) {
        int changed = 0;
        for (int y = c.area.top(); y <= c.area.bottom(); ++y)
            for (int x = c.area.left(); x <= c.area.right(); ++x)
                changed += marked.pixel(x, y) != plain.pixel(x, y) ? 1 : 0;
        EXPECT_GT(changed, 5) << c.what;
    }
}
