// Renaming a file of the folder: plain names only, never over another file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "heatshelf/file_rename.h"

namespace heatshelf {
namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(FileRenameTest, NamesThatLeaveTheFolderOrNameNothingAreRefused) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    writeFile(dir.filePath(QStringLiteral("a.vni")), "A");
    for (const char* name : {"", ".", "..", "../x.vni", "a/b", "sub/a.vni", "..\\x.vni", "c:\\a.vni", "a.vni"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(RenameInFolder(dir.path(), QStringLiteral("a.vni"), QString::fromUtf8(name)));
        EXPECT_EQ(readFile(dir.filePath(QStringLiteral("a.vni"))), QByteArray("A"));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("sub/a.vni"))));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.vni")});
}

TEST(FileRenameTest, AnExistingFileIsNeverReplaced) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("a.vni")), "A");
    writeFile(dir.filePath(QStringLiteral("b.vni")), "B");
    EXPECT_FALSE(RenameInFolder(dir.path(), QStringLiteral("a.vni"), QStringLiteral("b.vni")));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("a.vni"))), QByteArray("A"));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("b.vni"))), QByteArray("B"));
    // A missing source is refused too.
    EXPECT_FALSE(RenameInFolder(dir.path(), QStringLiteral("gone.vni"), QStringLiteral("c.vni")));
}

TEST(FileRenameTest, APlainNewNameRenamesWithinTheFolder) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("a.vni")), "A");
    EXPECT_TRUE(RenameInFolder(dir.path(), QStringLiteral("a.vni"), QStringLiteral("热像 1.VNI")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.vni"))));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("热像 1.VNI"))), QByteArray("A"));
}

}  // namespace
}  // namespace heatshelf
