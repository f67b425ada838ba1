// Choosing the file to show: the walk on tables of names, then on a folder
// of camera files through the library.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "heatshelf/folder_walk.h"
#include "shelf_test_support.h"

namespace heatshelf {
namespace {

TEST(FolderWalkTest, CandidatesAreInfraredFilesInNameOrder) {
    const QList<FolderEntry> listing = {
        {QStringLiteral("zeta.vni"), false}, {QStringLiteral("B.JPG"), false}, {QStringLiteral("sub.VNI"), true},
        {QStringLiteral("a.VnV"), false},    {QStringLiteral("note.txt"), false}, {QStringLiteral("VNI"), false},
        {QStringLiteral("x.vnib"), false},   {QStringLiteral("c.jpeg"), false},   {QStringLiteral("b.jpg"), false},
    };
    EXPECT_EQ(InfraredCandidates(listing),
              (QStringList{QStringLiteral("a.VnV"), QStringLiteral("B.JPG"), QStringLiteral("b.jpg"),
                           QStringLiteral("zeta.vni")}));
}

// The walk on names: opens is true for the names in the set, and every
// name it asks about is counted.
struct Walker {
    QStringList names;
    QSet<QString> opening;
    int asked = 0;
    WalkResult step(int what, const QString& current) {
        return WalkFolder(
            names,
            [this](const QString& n) {
                ++asked;
                return opening.contains(n);
            },
            what, current);
    }
};

TEST(FolderWalkTest, StepsAmongTheFilesThatOpen) {
    Walker w{{"a", "b", "c", "d", "e"}, {"a", "c", "d", "e"}};
    const struct {
        int what;
        const char* current;
        int index;
        const char* chosen;
        bool atFirst, atLast;
    } cases[] = {
        {kWalkFirst, "d", 0, "a", true, false},     // first forgets the current file
        {kWalkNext, "a", 1, "c", false, false},     // b does not open
        {kWalkNext, "d", 3, "e", false, true},
        {kWalkNext, "e", 3, "e", false, true},      // nothing beyond: stays
        {kWalkPrevious, "c", 0, "a", true, false},
        {kWalkPrevious, "a", 0, "a", true, false},  // stays on the first
        {kWalkAgain, "d", 2, "d", false, false},
        {kWalkNext, "", 0, "a", true, false},       // no current file: the first
        {kWalkAgain, "b", 1, "c", false, false},    // the current no longer opens: the one in its place
        {kWalkNext, "bb", 1, "c", false, false},    // gone: next is the file after its place
        {kWalkPrevious, "bb", 0, "a", true, false},
        {kWalkNext, "f", 3, "e", false, true},      // gone from the end: the last file
    };
    for (const auto& c : cases) {
        const WalkResult r = w.step(c.what, QLatin1String(c.current));
        EXPECT_EQ(r.index, c.index) << c.what << " from " << c.current;
        EXPECT_EQ(r.current, QLatin1String(c.chosen)) << c.what << " from " << c.current;
        EXPECT_EQ(r.atFirst, c.atFirst) << c.what << " from " << c.current;
        EXPECT_EQ(r.atLast, c.atLast) << c.what << " from " << c.current;
        EXPECT_FALSE(r.noFile);
    }
}

TEST(FolderWalkTest, OpensOnlyUpToOneBeyondTheChoice) {
    Walker w;
    for (int i = 0; i < 100; ++i) {
        const QString n = QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0'));
        w.names.push_back(n);
        w.opening.insert(n);
    }
    w.step(kWalkFirst, {});
    EXPECT_EQ(w.asked, 2);
    w.asked = 0;
    const WalkResult r = w.step(kWalkNext, QStringLiteral("f010"));
    EXPECT_EQ(r.current, QStringLiteral("f011"));
    EXPECT_EQ(w.asked, 13) << "the 11 up to the current file, the next and one beyond";
}

TEST(FolderWalkTest, NoFileThatOpensGivesIndexMinusOne) {
    for (const QStringList& names : {QStringList{}, QStringList{"x.vni", "y.jpg"}}) {
        Walker w{names, {}};
        for (int what : {kWalkFirst, kWalkNext, kWalkAgain}) {
            const WalkResult r = w.step(what, QStringLiteral("x.vni"));
            EXPECT_EQ(r.index, -1);
            EXPECT_TRUE(r.current.isEmpty());
            EXPECT_TRUE(r.noFile);
            EXPECT_TRUE(r.atLast);
            EXPECT_FALSE(r.atFirst);
        }
    }
}

class FolderFixtureTest : public ::testing::Test {
protected:
    WalkResult step(const QString& folder, int what, const QString& current) {
        return WalkFolder(
            InfraredCandidates(ListFolder(folder)),
            [&](const QString& name) { return test(QDir(folder).filePath(name)); }, what, current);
    }
    OpenTest test;
};

TEST_F(FolderFixtureTest, WalksTheCameraFilesOfAFolder) {
    const QString folder = heatshelf_test::fixture(QStringLiteral("walk"));
    WalkResult r = step(folder, kWalkFirst, {});
    EXPECT_EQ(r.current, QStringLiteral("a.VNI"));
    EXPECT_EQ(r.index, 0);
    EXPECT_TRUE(r.atFirst);
    EXPECT_FALSE(r.atLast);
    r = step(folder, kWalkNext, r.current);
    EXPECT_EQ(r.current, QStringLiteral("c.vnv")) << "b.jpg has no infrared payload";
    EXPECT_EQ(r.index, 1);
    r = step(folder, kWalkNext, r.current);
    EXPECT_EQ(r.current, QStringLiteral("D.JPG"));
    EXPECT_EQ(r.index, 2);
    EXPECT_TRUE(r.atLast) << "f.VNI is broken, sub.VNI a folder";
    r = step(folder, kWalkNext, r.current);
    EXPECT_EQ(r.current, QStringLiteral("D.JPG"));
    EXPECT_EQ(r.index, 2);
    EXPECT_TRUE(r.atLast);

    QTemporaryDir empty;
    r = step(empty.path(), kWalkFirst, {});
    EXPECT_EQ(r.index, -1);
    EXPECT_TRUE(r.noFile);
}

TEST_F(FolderFixtureTest, FilesComingAndGoingBetweenSteps) {
    QTemporaryDir dir;
    for (const char* name : {"a.VNI", "c.vnv", "D.JPG"}) {
        ASSERT_TRUE(QFile::copy(heatshelf_test::fixture(QStringLiteral("walk/") + QLatin1String(name)),
                                dir.filePath(QLatin1String(name))));
    }
    WalkResult r = step(dir.path(), kWalkFirst, {});
    r = step(dir.path(), kWalkNext, r.current);
    r = step(dir.path(), kWalkNext, r.current);
    ASSERT_EQ(r.current, QStringLiteral("D.JPG"));
    ASSERT_EQ(r.index, 2);

    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("c.vnv"))));
    r = step(dir.path(), kWalkAgain, r.current);
    EXPECT_EQ(r.current, QStringLiteral("D.JPG"));
    EXPECT_EQ(r.index, 1) << "the index follows the file";
    EXPECT_TRUE(r.atLast);

    // The shown file goes: previous takes the file before its place.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("D.JPG"))));
    r = step(dir.path(), kWalkPrevious, r.current);
    EXPECT_EQ(r.current, QStringLiteral("a.VNI"));
    EXPECT_EQ(r.index, 0);
    EXPECT_TRUE(r.atLast);

    ASSERT_TRUE(QFile::copy(heatshelf_test::fixture(QStringLiteral("walk/c.vnv")), dir.filePath(QStringLiteral("B.vnv"))));
    r = step(dir.path(), kWalkAgain, r.current);
    EXPECT_EQ(r.index, 0);
    EXPECT_FALSE(r.atLast);
    r = step(dir.path(), kWalkNext, r.current);
    EXPECT_EQ(r.current, QStringLiteral("B.vnv"));
    EXPECT_EQ(r.index, 1);
}

TEST(OpenTestTest, AnswersAreKeptByPathSizeAndTime) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.vni"));
    ASSERT_TRUE(QFile::copy(heatshelf_test::fixture(QStringLiteral("walk/a.VNI")), path));
    OpenTest test;
    EXPECT_TRUE(test(path));
    EXPECT_TRUE(test(path));
    EXPECT_EQ(test.loads(), 1);

    // Cut short: a new size, a new answer.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(300));
    f.close();
    EXPECT_FALSE(test(path));
    EXPECT_EQ(test.loads(), 2);
    EXPECT_FALSE(test(path));
    EXPECT_EQ(test.loads(), 2);

    // Same size, new time.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::copy(heatshelf_test::fixture(QStringLiteral("walk/f.VNI")), path));
    QFile g(path);
    ASSERT_TRUE(g.open(QIODevice::ReadWrite));
    ASSERT_TRUE(g.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    g.close();
    EXPECT_FALSE(test(path));
    EXPECT_EQ(test.loads(), 3);

    EXPECT_FALSE(test(dir.filePath(QStringLiteral("missing.vni"))));
    EXPECT_FALSE(test(dir.path())) << "a folder does not open";
    EXPECT_EQ(test.loads(), 3);
}

// A named pipe with a camera file's name blocks whoever opens it for
// reading: it is never a candidate and never opened, however it is asked.
TEST_F(FolderFixtureTest, ANamedPipeIsNeverOpened) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(heatshelf_test::fixture(QStringLiteral("walk/a.VNI")), dir.filePath(QStringLiteral("a.VNI"))));
    const QString pipe = dir.filePath(QStringLiteral("b.VNI"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::copy(heatshelf_test::fixture(QStringLiteral("walk/a.VNI")), dir.filePath(QStringLiteral("c.VNI"))));

    EXPECT_EQ(InfraredCandidates(ListFolder(dir.path())), (QStringList{QStringLiteral("a.VNI"), QStringLiteral("c.VNI")}));
    const WalkResult r = step(dir.path(), kWalkNext, QStringLiteral("a.VNI"));
    EXPECT_EQ(r.current, QStringLiteral("c.VNI"));
    EXPECT_FALSE(test(pipe));
    test.testAll({pipe});
    EXPECT_FALSE(test(pipe));
    EXPECT_EQ(test.loads(), 2) << "the two camera files only";
}

TEST(OpenTestTest, AFolderTestedAtOnceGivesTheSameAnswers) {
    const QDir folder(heatshelf_test::fixture(QStringLiteral("walk")));
    QStringList paths;
    for (const QString& name : folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) paths.push_back(folder.filePath(name));
    OpenTest together;
    together.testAll(paths);
    EXPECT_EQ(together.loads(), 6) << "every file; the folder sub.VNI aside";
    OpenTest apart;
    for (const QString& path : paths) EXPECT_EQ(together(path), apart(path)) << path.toStdString();
    EXPECT_EQ(together.loads(), 6) << "answered from the cache";
    together.testAll(paths);
    EXPECT_EQ(together.loads(), 6);
}

}  // namespace
}  // namespace heatshelf
