// The refusals of an infrared file chosen to be opened: the file system's
// cause first, then damaged or not a camera file; one sentence each, with
// the file's name.
#include "platform/open_refusal.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using platform::OpenRefusal;

namespace {

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

TEST(OpenRefusal, TheFileSystemsCauseComesFirst)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("pipe.VNI"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(platform::CheckReadable(fifo), OpenRefusal::NotRegularFile);
    EXPECT_EQ(platform::OpenFailureCause(fifo), OpenRefusal::NotRegularFile) << "a pipe exists: it is not 'not found'";
    EXPECT_EQ(platform::OpenFailureCause(dir.path()), OpenRefusal::NotRegularFile);
    EXPECT_EQ(platform::OpenFailureCause(dir.filePath(QStringLiteral("gone.VNI"))), OpenRefusal::NotFound);

    const QString locked = write(dir, QStringLiteral("locked.VNI"), QByteArray("VN410K4") + QByteArray(600, '\0'));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(platform::CheckReadable(locked), OpenRefusal::NoPermission);
        EXPECT_EQ(platform::OpenFailureCause(locked), OpenRefusal::NoPermission);
    }
    ::chmod(QFile::encodeName(locked).constData(), 0600);
    EXPECT_EQ(platform::CheckReadable(locked), OpenRefusal::None);
}

TEST(OpenRefusal, ACameraFileThatDoesNotOpenIsDamagedAnyOtherIsNoCameraFile)
{
    QTemporaryDir dir;
    const QString cut = write(dir, QStringLiteral("cut.VNI"), QByteArray("VN410K4") + QByteArray(100, '\1'));
    EXPECT_EQ(platform::OpenFailureCause(cut), OpenRefusal::Damaged);
    const QString text = write(dir, QStringLiteral("notes.VNI"), QByteArray("hello, world\n"));
    EXPECT_EQ(platform::OpenFailureCause(text), OpenRefusal::NotCameraFile);
    const QString empty = write(dir, QStringLiteral("empty.VNI"), QByteArray());
    EXPECT_EQ(platform::OpenFailureCause(empty), OpenRefusal::NotCameraFile);
    // A JPEG: with the model somewhere after its picture (across a read
    // block's edge) it is a camera file, without it a photo.
    QByteArray jpeg("\xFF\xD8\xFF\xE0", 4);
    jpeg += QByteArray((1 << 16) - 7, 'x');
    const QString photo = write(dir, QStringLiteral("photo.JPG"), jpeg + QByteArray("\xFF\xD9", 2));
    EXPECT_EQ(platform::OpenFailureCause(photo), OpenRefusal::NotCameraFile);
    const QString camera = write(dir, QStringLiteral("camera.JPG"), jpeg + QByteArray("VN410K8") + QByteArray(20, '\0'));
    EXPECT_EQ(platform::OpenFailureCause(camera), OpenRefusal::Damaged);
}

TEST(OpenRefusal, EachCauseHasItsOwnSentenceNamingTheFile)
{
    const QString path = QStringLiteral("/data/巡检/巡检_01.VNI");
    QStringList texts;
    for (OpenRefusal why : {OpenRefusal::NotFound, OpenRefusal::NotRegularFile, OpenRefusal::NoPermission,
                            OpenRefusal::Damaged, OpenRefusal::NotCameraFile}) {
        const QString text = platform::OpenRefusalText(why, path);
        EXPECT_TRUE(text.contains(path)) << text.toStdString();
        EXPECT_FALSE(texts.contains(text));
        texts << text;
    }
    EXPECT_TRUE(texts[1].contains(QStringLiteral("不是普通文件")));
    EXPECT_TRUE(texts[2].contains(QStringLiteral("权限")));
    EXPECT_TRUE(texts[3].contains(QStringLiteral("损坏")));
    EXPECT_TRUE(platform::OpenRefusalText(OpenRefusal::None, path).isEmpty());
}
