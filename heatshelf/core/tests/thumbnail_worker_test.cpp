// The thumbnail worker over the library: pictures scaled to the cell, the
// visible ones first, and a folder changing under it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "heatshelf/image_view_core.h"
#include "heatshelf/ir_image.h"
#include "heatshelf/thumbnail_worker.h"
#include "ir_holder_common.h"
#include "platform/dib.h"
#include "shelf_test_support.h"

namespace heatshelf {
namespace {

using heatshelf_test::ensureApplication;
using heatshelf_test::fixture;

// The results a worker delivered through the event loop, by path.
struct Collector {
    explicit Collector(ThumbnailWorker& w) {
        ensureApplication();
        QObject::connect(&w, &ThumbnailWorker::rendered, &context,
                         [this](int batch, const QString& path, const QByteArray& dib) {
                             order.push_back(path);
                             results[path] = dib;
                             batches.push_back(batch);
                         });
    }
    void drain(ThumbnailWorker& w) {
        ASSERT_TRUE(w.WaitIdle(60000));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    QObject context;
    std::vector<QString> order;
    std::vector<int> batches;
    std::map<QString, QByteArray> results;
};

QString copyInto(const QTemporaryDir& dir, const QString& fixtureName, const QString& as) {
    const QString to = dir.filePath(as);
    QFile::copy(fixture(fixtureName), to);
    return to;
}

TEST(ThumbnailWorkerTest, PicturesAreScaledToTheCellAndFailuresAreEmpty) {
    QTemporaryDir app;
    ThumbnailWorker worker(app.path(), QSize(64, 48));
    Collector c(worker);
    const QString big = fixture(QStringLiteral("big.vni"));
    const QString cut = fixture(QStringLiteral("walk/f.VNI"));
    const int batch = worker.Start({big, cut});
    c.drain(worker);
    ASSERT_EQ(c.results.size(), 2u);
    for (int b : c.batches) EXPECT_EQ(b, batch);
    const QImage image = platform::DibToImage(c.results[big]);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(64, 48));
    // The warm spot lies right of the middle: brighter there than at the left edge.
    EXPECT_NE(image.pixel(40, 22), image.pixel(2, 22));
    EXPECT_TRUE(c.results[cut].isEmpty());
}

// The thumbnail is the picture the single view shows, shrunk smoothly: each
// of its pixels matches the smooth downscale of the full rendering.
TEST(ThumbnailWorkerTest, ThumbnailPixelsAreTheFullPictureShrunkSmoothly) {
    ensureApplication();
    QTemporaryDir app;
    for (const char* name : {"big.vni", "blob320.vni", "shot.vni"}) {
        SCOPED_TRACE(name);
        const QString path = fixture(QString::fromLatin1(name));
        CIrImage holder(app.path());
        ASSERT_EQ(holder.Open(path), 1);
        holder.GetTempRange(nullptr, nullptr, nullptr, nullptr);
        std::vector<unsigned char> buffer;
        QByteArray fullDib;
        QImage full;
        ASSERT_TRUE(RenderHolderPicture(holder, buffer, &fullDib, &full));
        const QImage expected = full.convertToFormat(QImage::Format_RGB32)
                                    .scaled(64, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

        const QImage thumb = platform::DibToImage(RenderThumbnail(holder, path, QSize(64, 48)));
        ASSERT_EQ(thumb.size(), QSize(64, 48));
        int worst = 0;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                const QRgb a = thumb.pixel(x, y);
                const QRgb b = expected.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
            }
        }
        EXPECT_LE(worst, 2);
        // Not a flat picture: the warm spot shows.
        EXPECT_NE(thumb.pixel(32, 24), thumb.pixel(1, 1));
    }
}

TEST(ThumbnailWorkerTest, PrioritisedPathsComeFirstAndANewBatchDropsTheOld) {
    QTemporaryDir app;
    QTemporaryDir folder;
    QStringList paths;
    const int count = 40;
    for (int i = 0; i < count; ++i)
        paths << copyInto(folder, QStringLiteral("walk/a.VNI"), QStringLiteral("t%1.VNI").arg(i, 2, 10, QLatin1Char('0')));
    ThumbnailWorker worker(app.path(), QSize(64, 48));
    Collector c(worker);
    worker.Start(paths);
    worker.Prioritise({paths[count - 1], paths[count - 2], QStringLiteral("/not/queued.VNI")});
    c.drain(worker);
    ASSERT_EQ(c.order.size(), size_t(count));
    // Whatever the thread had taken when they were moved (k files, in
    // order) comes first; then the two moved forward in the order asked;
    // then the rest as queued.
    const auto k = std::find(c.order.begin(), c.order.end(), paths[count - 1]) - c.order.begin();
    ASSERT_LT(k, count - 2) << "the two were not moved forward";
    QStringList expected = paths.mid(0, k);
    expected << paths[count - 1] << paths[count - 2] << paths.mid(k, count - 2 - k);
    EXPECT_EQ(QStringList(c.order.begin(), c.order.end()), expected);

    c.order.clear();
    c.batches.clear();
    worker.Start(paths);
    const int second = worker.Start({paths[0]});
    c.drain(worker);
    for (int b : c.batches) EXPECT_EQ(b, second);
    EXPECT_LE(c.order.size(), 2u);
}

class ThumbnailWorkerThreadsTest : public ::testing::TestWithParam<int> {};

TEST_P(ThumbnailWorkerThreadsTest, AFolderChangingUnderTheWorkerStaysConsistent) {
    QTemporaryDir app;
    QTemporaryDir folder;
    QStringList paths;
    for (int i = 0; i < 40; ++i)
        paths << copyInto(folder, i % 2 ? QStringLiteral("walk/a.VNI") : QStringLiteral("big.vni"),
                          QStringLiteral("t%1.VNI").arg(i, 2, 10, QLatin1Char('0')));
    ThumbnailWorker worker(app.path(), QSize(64, 48), thermcore::ExportedCalls(), GetParam());
    Collector c(worker);
    worker.Start(paths);
    // While it renders: files go, come and change names.
    for (int i = 0; i < 40; i += 3) QFile::remove(paths[i]);
    for (int i = 1; i < 40; i += 5) {
        const QString renamed = folder.filePath(QStringLiteral("r%1.VNI").arg(i));
        QFile::rename(paths[i], renamed);
        worker.Add(renamed);
    }
    copyInto(folder, QStringLiteral("walk/a.VNI"), QStringLiteral("new.VNI"));
    worker.Add(folder.filePath(QStringLiteral("new.VNI")));
    c.drain(worker);
    // Every file there now that was asked for has its picture (a removed
    // one may have been rendered before it went, or come back empty), and
    // the renamed and added files were rendered under their new names.
    for (const auto& [path, dib] : c.results) {
        SCOPED_TRACE(path.toStdString());
        if (QFile::exists(path)) {
            EXPECT_FALSE(platform::DibToImage(dib).isNull());
        }
    }
    for (const char* name : {"new.VNI", "r1.VNI", "r11.VNI", "t02.VNI", "t04.VNI"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(QFile::exists(folder.filePath(QString::fromLatin1(name))));
        EXPECT_FALSE(c.results[folder.filePath(QString::fromLatin1(name))].isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(OneAndThreeThreads, ThumbnailWorkerThreadsTest, ::testing::Values(1, 3));

TEST(ThumbnailWorkerTest, RenderingLeavesTheWindowsFrameRecordAlone) {
    // The record belongs to the window's thread; renderer threads writing it
    // would race with the window's opens (and with each other).
    QTemporaryDir app;
    int window = 0;
    thermcore::SetFrameCallbackTarget(thermcore::ExportedCalls(), &window);
    {
        ThumbnailWorker worker(app.path(), QSize(64, 48), thermcore::ExportedCalls(), 3);
        Collector c(worker);
        worker.Start({fixture(QStringLiteral("big.vni")), fixture(QStringLiteral("walk/a.VNI"))});
        c.drain(worker);
        EXPECT_EQ(c.results.size(), 2u);
    }
    EXPECT_EQ(thermcore::FrameRecord().window, &window);
    thermcore::SetFrameCallbackTarget(thermcore::ExportedCalls(), nullptr);
}

TEST(ThumbnailWorkerTest, DestroyingWhileBusyStopsCleanly) {
    QTemporaryDir app;
    QStringList paths;
    for (int i = 0; i < 30; ++i) paths << fixture(QStringLiteral("big.vni"));
    auto worker = std::make_unique<ThumbnailWorker>(app.path(), QSize(64, 48), thermcore::ExportedCalls(), 3);
    worker->Start(paths);
    worker.reset();
    SUCCEED();
}

}  // namespace
}  // namespace heatshelf
