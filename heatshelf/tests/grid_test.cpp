// The thumbnail grid over the library: its files found off the window's
// thread, a folder changed while they are found, and the way back from the
// single image to the grid.
#include "app_test_support.h"
#include "image_view_support.h"

#include "current_folder.h"
#include "heatshelf_view.h"
#include "resource_ids.h"

#include "heatshelf/folder_walk.h"
#include "skin/skin_scroll_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <functional>

#include <sys/stat.h>

using namespace heatshelf;

namespace {

// The folder's files that open, as the walk finds them one by one.
QStringList openingFiles(const QString& folder)
{
    OpenTest test;
    QStringList out;
    for (const QString& name : InfraredCandidates(ListFolder(folder)))
        if (test(QDir(folder).filePath(name)))
            out << name;
    return out;
}

void copies(const QTemporaryDir& dir, const QString& stem, int count)
{
    for (int i = 0; i < count; ++i)
        CopyFixture(dir, QStringLiteral("walk/a.VNI"), QStringLiteral("%1%2.VNI").arg(stem).arg(i, 3, 10, QLatin1Char('0')));
}

bool allReady(const CHeatshelfView& v)
{
    for (const CHeatshelfView::GridThumb& t : v.Thumbs())
        if (t.state != CHeatshelfView::GridThumb::Ready)
            return false;
    return true;
}

} // namespace

TEST(Grid, FilesAreFoundOffTheWindowThreadAndListedAsBefore)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    for (const char* name : {"a.VNI", "b.jpg", "c.vnv", "D.JPG", "e.txt", "f.VNI"})
        CopyFixture(folder, QStringLiteral("walk/%1").arg(QLatin1String(name)));
    copies(folder, QStringLiteral("g"), 20);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe.VNI"))).constData(), 0600), 0);
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub.VNI")));
    f.ShowFolder(folder.path());

    QSignalSpy done(&v, &CHeatshelfView::thumbnailsDone);
    f.frame->RunCommand(res::ID_THUMBNAILS);
    // The command came back before a single file was tested.
    EXPECT_TRUE(v.IsListing());
    EXPECT_TRUE(v.Thumbs().empty());
    ASSERT_TRUE(f.WaitForGrid());
    const QStringList expected = openingFiles(folder.path());
    ASSERT_EQ(expected.size(), 23) << "a.VNI, c.vnv, D.JPG and the copies";
    EXPECT_EQ(ThumbNames(v), expected);
    ASSERT_TRUE(done.count() > 0 || done.wait(60000));
    EXPECT_TRUE(allReady(v));
}

TEST(Grid, AFolderChangedMidwayShowsOnlyTheNewFolder)
{
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir empty;
    f.ShowFolder(empty.path());
    f.Run(res::ID_THUMBNAILS);
    ASSERT_TRUE(v.IsThumbnails());
    QTemporaryDir large;
    copies(large, QStringLiteral("a"), 300);
    QTemporaryDir small;
    copies(small, QStringLiteral("b"), 3);

    CurrentFolder() = large.path();
    v.Step(res::kStepFirst, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !v.Thumbs().empty(); }, 60000));
    EXPECT_TRUE(v.IsListing()) << "the first files are shown before the folder is done";

    QSignalSpy done(&v, &CHeatshelfView::thumbnailsDone);
    CurrentFolder() = small.path();
    v.Step(res::kStepFirst, true);
    bool stale = false;
    const auto check = [&] {
        for (const QString& name : ThumbNames(v))
            stale = stale || !name.startsWith(QLatin1Char('b'));
        return !v.IsListing() && (done.count() > 0);
    };
    ASSERT_TRUE(QTest::qWaitFor(check, 60000));
    EXPECT_FALSE(stale) << "a file of the folder left appeared";
    EXPECT_EQ(ThumbNames(v), openingFiles(small.path()));
    EXPECT_TRUE(allReady(v));
    EXPECT_EQ(done.count(), 1);
}

TEST(Grid, BackFromTheSingleImageTheFileIsInViewAndNoThumbnailIsMadeAgain)
{
    ViewFixture f(800, 500);
    ASSERT_NE(f.view, nullptr);
    CHeatshelfView& v = *f.view;
    QTemporaryDir folder;
    copies(folder, QStringLiteral("f"), 80);
    f.ShowFolder(folder.path());
    {
        QSignalSpy done(&v, &CHeatshelfView::thumbnailsDone);
        f.Run(res::ID_THUMBNAILS);
        ASSERT_TRUE(done.count() > 0 || done.wait(60000));
    }
    const int renders = v.Worker().renders();
    EXPECT_EQ(renders, 80);

    struct Way {
        const char* what;
        std::function<void()> back;
    };
    const Way ways[] = {
        {"double-click", [&] { QTest::mouseDClick(&v, Qt::LeftButton, {}, QPoint(40, 40)); }},
        {"grid command", [&] { f.Run(res::ID_THUMBNAILS); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        // The single image of f060, then the next file.
        v.SetCurrentFileName(folder.filePath(QStringLiteral("f060.VNI")));
        f.Run(res::ID_SINGLE);
        ASSERT_FALSE(v.IsThumbnails());
        f.Run(res::ID_NEXT);
        ASSERT_EQ(v.CurrentIndex(), 61);

        QSignalSpy done(&v, &CHeatshelfView::thumbnailsDone);
        way.back();
        ASSERT_TRUE(f.WaitForGrid());
        ASSERT_TRUE(done.count() > 0 || done.wait(60000));
        EXPECT_EQ(v.SelectedThumb(), 61);
        EXPECT_TRUE(v.rect().contains(v.ThumbCellRect(61))) << "the file shown is in view; top row " << v.GridTopRow();
        EXPECT_TRUE(allReady(v));
        EXPECT_EQ(v.Worker().renders(), renders) << "every picture was kept";

        // The bar scrolls on from where the grid stands.
        const int top = v.GridTopRow();
        ASSERT_GT(top, 0);
        const QPointF at(100, 100);
        QWheelEvent up(at, v.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(&v, &up);
        f.Settle();
        EXPECT_EQ(v.GridTopRow(), top - 1);
    }
}
