// Renaming a file of the folder: plain names only, never over another file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <unistd.h>

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
    for (const char* name : {"", ".", "..", "../x.vni", "a/b", "sub/a.vni", "..\\x.vni", "c:\\a.vni"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RenameInFolder(dir.path(), QStringLiteral("a.vni"), QString::fromUtf8(name)), RenameOutcome::InvalidName);
        EXPECT_EQ(readFile(dir.filePath(QStringLiteral("a.vni"))), QByteArray("A"));
    }
    // A name longer than the file system takes.
    EXPECT_EQ(RenameInFolder(dir.path(), QStringLiteral("a.vni"), QString(300, QLatin1Char('n'))), RenameOutcome::InvalidName);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("sub/a.vni"))));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.vni")});
}

TEST(FileRenameTest, AnExistingFileIsNeverReplaced) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("a.vni")), "A");
    writeFile(dir.filePath(QStringLiteral("b.vni")), "B");
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    for (const char* name : {"b.vni", "a.vni", "sub"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RenameInFolder(dir.path(), QStringLiteral("a.vni"), QString::fromUtf8(name)), RenameOutcome::NameExists);
    }
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("a.vni"))), QByteArray("A"));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("b.vni"))), QByteArray("B"));
    // A missing source is refused too.
    EXPECT_EQ(RenameInFolder(dir.path(), QStringLiteral("gone.vni"), QStringLiteral("c.vni")), RenameOutcome::SourceGone);
}

// What each refusal of the system means to the user.
TEST(FileRenameTest, SystemRefusalsSayWhy) {
    const struct {
        int error;
        RenameOutcome outcome;
    } cases[] = {
        {EEXIST, RenameOutcome::NameExists},      {ENOTEMPTY, RenameOutcome::NameExists},
        {EACCES, RenameOutcome::FolderReadOnly},  {EPERM, RenameOutcome::FolderReadOnly},
        {EROFS, RenameOutcome::FolderReadOnly},   {ENAMETOOLONG, RenameOutcome::InvalidName},
        {ENOENT, RenameOutcome::SourceGone},      {EIO, RenameOutcome::Failed},
    };
    for (const auto& c : cases) EXPECT_EQ(RenameOutcomeOfError(c.error), c.outcome) << c.error;
}

// A folder the user may not write refuses (root may write anywhere).
TEST(FileRenameTest, AReadOnlyFolderRefuses) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("a.vni")), "A");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(RenameInFolder(dir.path(), QStringLiteral("a.vni"), QStringLiteral("b.vni")), RenameOutcome::FolderReadOnly);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("a.vni"))), QByteArray("A"));
}

TEST(FileRenameTest, APlainNewNameRenamesWithinTheFolder) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("a.vni")), "A");
    EXPECT_EQ(RenameInFolder(dir.path(), QStringLiteral("a.vni"), QStringLiteral("热像 1.VNI")), RenameOutcome::Renamed);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.vni"))));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("热像 1.VNI"))), QByteArray("A"));
}

}  // namespace
}  // namespace heatshelf
