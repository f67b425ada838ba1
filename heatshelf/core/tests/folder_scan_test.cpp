// Finding a folder's files that open off the caller's thread: the same list
// as the walk's own test, in order, and a new folder drops the old one.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

#include <sys/stat.h>

#include "heatshelf/folder_scan.h"
#include "heatshelf/thumbnail_cache.h"
#include "shelf_test_support.h"

namespace heatshelf {
namespace {

using heatshelf_test::ensureApplication;
using heatshelf_test::fixture;

// Lets the event loop run until done() or ms have passed; done()'s answer.
template <class Done>
bool waitFor(Done done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}

// The reports of a scan as they reach the event loop.
struct Reports {
    explicit Reports(FolderScan& scan) {
        ensureApplication();
        QObject::connect(&scan, &FolderScan::found, &context,
                         [this](int batch, const QList<ScannedFile>& files, bool finished) {
                             Report r{batch, {}, finished};
                             for (const ScannedFile& f : files) r.names << f.name;
                             list.push_back(r);
                         });
    }
    struct Report {
        int batch;
        QStringList names;
        bool finished;
    };
    // Waits for the report that ends batch.
    bool waitFinished(int batch) {
        return waitFor(
            [&] { return std::any_of(list.begin(), list.end(), [&](const Report& r) { return r.batch == batch && r.finished; }); },
            60000);
    }
    // The files of batch in the order reported; *ends: its finishing reports.
    QStringList namesOf(int batch, int* ends = nullptr) const {
        QStringList out;
        int finished = 0;
        for (const Report& r : list) {
            if (r.batch != batch) continue;
            out << r.names;
            finished += r.finished ? 1 : 0;
        }
        if (ends != nullptr) *ends = finished;
        return out;
    }
    QObject context;
    std::vector<Report> list;
};

// The folder's files that open, found the plain way.
QStringList openingFiles(const QString& folder) {
    OpenTest test;
    QStringList out;
    for (const QString& name : InfraredCandidates(ListFolder(folder)))
        if (test(QDir(folder).filePath(name))) out << name;
    return out;
}

// count files, every third a cut one that does not open.
void fillFolder(const QTemporaryDir& dir, int count, const QString& stem) {
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("%1%2.VNI").arg(stem).arg(i, 4, 10, QLatin1Char('0'));
        QFile::copy(fixture(i % 3 == 2 ? QStringLiteral("walk/f.VNI") : QStringLiteral("walk/a.VNI")), dir.filePath(name));
    }
}

TEST(FolderScanTest, FindsTheFilesThatOpenInNameOrder) {
    QTemporaryDir big;
    fillFolder(big, 450, QStringLiteral("img"));
    // A pipe with a camera file's name is never a candidate.
    ASSERT_EQ(::mkfifo(QFile::encodeName(big.filePath(QStringLiteral("img0001x.VNI"))).constData(), 0600), 0);
    QTemporaryDir empty;
    struct Case {
        const char* what;
        QString folder;
    };
    const Case cases[] = {
        {"good, broken and non-camera files", fixture(QStringLiteral("walk"))},
        {"more files than one report carries", big.path()},
        {"an empty folder", empty.path()},
        {"a missing folder", empty.filePath(QStringLiteral("gone"))},
    };
    OpenTest test;
    FolderScan scan(test, 3);
    Reports reports(scan);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int batch = scan.Start(c.folder);
        ASSERT_TRUE(reports.waitFinished(batch));
        int ends = 0;
        EXPECT_EQ(reports.namesOf(batch, &ends), openingFiles(c.folder));
        EXPECT_EQ(ends, 1) << "one last report";
        EXPECT_TRUE(scan.WaitIdle(10000));
    }
    EXPECT_EQ(reports.namesOf(2).size(), 300);
    // Answers went to the cache: asked again, nothing is loaded.
    const int loads = test.loads();
    const int batch = scan.Start(big.path());
    ASSERT_TRUE(reports.waitFinished(batch));
    EXPECT_EQ(reports.namesOf(batch).size(), 300);
    EXPECT_EQ(test.loads(), loads);
}

TEST(FolderScanTest, ANewFolderOrACancelDropsTheScanUnderWay) {
    QTemporaryDir first;
    fillFolder(first, 600, QStringLiteral("a"));
    QTemporaryDir second;
    fillFolder(second, 5, QStringLiteral("b"));
    OpenTest test;
    FolderScan scan(test, 2);
    Reports reports(scan);
    const int old = scan.Start(first.path());
    ASSERT_TRUE(waitFor([&] { return !reports.list.empty(); }, 60000));
    const size_t seen = reports.list.size();
    const int now = scan.Start(second.path());
    ASSERT_TRUE(reports.waitFinished(now));
    for (size_t i = seen; i < reports.list.size(); ++i) {
        EXPECT_EQ(reports.list[i].batch, now);
        for (const QString& name : reports.list[i].names) EXPECT_TRUE(name.startsWith(QLatin1Char('b'))) << name.toStdString();
    }
    EXPECT_EQ(reports.namesOf(now), openingFiles(second.path()));
    int oldEnds = 0;
    reports.namesOf(old, &oldEnds);
    EXPECT_EQ(oldEnds, 0) << "the old folder never finishes";

    // A cancel: nothing more is reported.
    scan.Start(first.path());
    scan.Cancel();
    ASSERT_TRUE(scan.WaitIdle(60000));
    const size_t before = reports.list.size();
    waitFor([] { return false; }, 50);
    EXPECT_EQ(reports.list.size(), before);
}

TEST(ThumbnailCacheTest, KeepsTheRecentPicturesOfUnchangedFiles) {
    ThumbnailCache cache(3);
    const auto picture = [](QRgb colour) {
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    };
    const FileStamp stamp{100, 7};
    cache.Insert(QStringLiteral("/f/a"), stamp, picture(1));
    cache.Insert(QStringLiteral("/f/b"), stamp, picture(2));
    cache.Insert(QStringLiteral("/f/c"), stamp, QImage());  // a picture that could not be made
    QImage found;
    ASSERT_TRUE(cache.Find(QStringLiteral("/f/a"), stamp, &found));  // a is now the most recent
    EXPECT_EQ(found, picture(1));
    ASSERT_TRUE(cache.Find(QStringLiteral("/f/c"), stamp, &found));
    EXPECT_TRUE(found.isNull());
    cache.Insert(QStringLiteral("/f/d"), stamp, picture(4));
    EXPECT_EQ(cache.size(), 3) << "never more than its capacity";
    EXPECT_FALSE(cache.Find(QStringLiteral("/f/b"), stamp, &found)) << "the least recently used went";
    EXPECT_TRUE(cache.Find(QStringLiteral("/f/a"), stamp, &found));

    // A file changed since (size or time) has no picture any more.
    EXPECT_FALSE(cache.Find(QStringLiteral("/f/a"), FileStamp{100, 8}, &found));
    EXPECT_FALSE(cache.Find(QStringLiteral("/f/a"), stamp, &found));
    EXPECT_FALSE(cache.Find(QStringLiteral("/f/d"), FileStamp{101, 7}, &found));

    // A renamed file keeps its picture under its new name only.
    cache.Insert(QStringLiteral("/f/e"), stamp, picture(5));
    cache.Rename(QStringLiteral("/f/e"), QStringLiteral("/f/g"));
    EXPECT_FALSE(cache.Find(QStringLiteral("/f/e"), stamp, &found));
    ASSERT_TRUE(cache.Find(QStringLiteral("/f/g"), stamp, &found));
    EXPECT_EQ(found, picture(5));
}

}  // namespace
}  // namespace heatshelf
