#include "platform/settings.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Settings, StoresValuesUnderTheProgramsFile)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    {
        Settings s(QStringLiteral("Pagewright"), config.path());
        EXPECT_EQ(s.filePath(), config.filePath(QStringLiteral("kestrelworksA/Pagewright.conf")));
        EXPECT_EQ(s.readString(QStringLiteral("Edition"), QStringLiteral("Edition"), QStringLiteral("ss")),
                  QStringLiteral("ss"));
        EXPECT_EQ(s.readInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 0), 0);
        ASSERT_TRUE(s.writeString(QStringLiteral("Edition"), QStringLiteral("Edition"), QStringLiteral("Oct  8 2013")));
        ASSERT_TRUE(s.writeInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 2));
        ASSERT_TRUE(s.writeString(QStringLiteral("SavePath"), QStringLiteral("SavePath"), QStringLiteral("/报表/2024")));
        ASSERT_TRUE(s.writeBinary(QStringLiteral("ControlBarStates"), QStringLiteral("Layout"),
                                  QByteArray("\x00\x01\xFF", 3)));
    }
    // A second instance (the next start) reads what the first wrote.
    Settings s(QStringLiteral("Pagewright"), config.path());
    EXPECT_TRUE(QFile::exists(s.filePath()));
    EXPECT_EQ(s.readString(QStringLiteral("Edition"), QStringLiteral("Edition")), QStringLiteral("Oct  8 2013"));
    EXPECT_EQ(s.readInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 0), 2);
    EXPECT_EQ(s.readString(QStringLiteral("SavePath"), QStringLiteral("SavePath")), QStringLiteral("/报表/2024"));
    EXPECT_EQ(s.readBinary(QStringLiteral("ControlBarStates"), QStringLiteral("Layout")), QByteArray("\x00\x01\xFF", 3));
    // A value that holds no integer reads as the default.
    EXPECT_EQ(s.readInt(QStringLiteral("Edition"), QStringLiteral("Edition"), 7), 7);
}

TEST(Settings, WritesInABatchAreSavedOnceWhenTheLastBatchEnds)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    Settings s(QStringLiteral("Pagewright"), config.path());
    ASSERT_TRUE(s.writeString(QStringLiteral("PicPath"), QStringLiteral("PicPath"), QStringLiteral("/a/IR0000.VNI")));
    // The file itself (settings objects of one process share what they hold).
    const auto onDisk = [&] {
        QFile file(s.filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    {
        Settings::SaveBatch outer(s);
        {
            Settings::SaveBatch inner(s);
            for (int i = 1; i <= 20; ++i) {
                ASSERT_TRUE(s.writeString(QStringLiteral("PicPath"), QStringLiteral("PicPath"),
                                          QStringLiteral("/a/IR%1.VNI").arg(i, 4, 10, QLatin1Char('0'))));
            }
            ASSERT_TRUE(s.writeInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 1));
        }
        // The program itself reads its writes at once; the file waits.
        EXPECT_EQ(s.readString(QStringLiteral("PicPath"), QStringLiteral("PicPath")), QStringLiteral("/a/IR0020.VNI"));
        EXPECT_TRUE(onDisk().contains("/a/IR0000.VNI"));
        EXPECT_FALSE(onDisk().contains("tempetype"));
    }
    EXPECT_TRUE(onDisk().contains("/a/IR0020.VNI"));
    EXPECT_TRUE(onDisk().contains("tempetype=1"));

    // Deleting inside a batch is saved at once and not undone by its end.
    {
        Settings::SaveBatch batch(s);
        ASSERT_TRUE(s.deleteProgramKey());
        EXPECT_FALSE(QFile::exists(s.filePath()));
    }
    EXPECT_FALSE(QFile::exists(s.filePath()));
}

TEST(Settings, AValueTheFileHoldsAlreadyIsNotWrittenAgain)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QString file = config.filePath(QStringLiteral("kestrelworksA/Pagewright.conf"));
    const auto writeAll = [](Settings& s) {
        return s.writeInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 2) &&
               s.writeString(QStringLiteral("SavePath"), QStringLiteral("SavePath"), QStringLiteral("/报表")) &&
               s.writeBinary(QStringLiteral("Bars"), QStringLiteral("State"), QByteArray("\x00\x01", 2));
    };
    {
        Settings s(QStringLiteral("Pagewright"), config.path());
        ASSERT_TRUE(writeAll(s));
    }
    // The next start writes the same values: the file is left alone, even
    // when it was changed behind the program's back.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("\n; a comment the program never writes\n");
    f.close();
    const QByteArray before = [&] {
        QFile r(file);
        return r.open(QIODevice::ReadOnly) ? r.readAll() : QByteArray();
    }();
    {
        Settings s(QStringLiteral("Pagewright"), config.path());
        EXPECT_TRUE(writeAll(s));
        QFile r(file);
        ASSERT_TRUE(r.open(QIODevice::ReadOnly));
        EXPECT_EQ(r.readAll(), before);
        // A changed value and a new one are saved.
        EXPECT_TRUE(s.writeInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 1));
        EXPECT_TRUE(s.writeString(QStringLiteral("Bars"), QStringLiteral("Name"), QStringLiteral("2")));
    }
    Settings s(QStringLiteral("Pagewright"), config.path());
    EXPECT_EQ(s.readInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 0), 1);
    EXPECT_EQ(s.readString(QStringLiteral("Bars"), QStringLiteral("Name")), QStringLiteral("2"));
    EXPECT_EQ(s.readBinary(QStringLiteral("Bars"), QStringLiteral("State")), QByteArray("\x00\x01", 2));
}

TEST(Settings, DeletingTheProgramKeyLeavesOtherProgramsAlone)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    Settings designer(QStringLiteral("Pagewright"), config.path());
    Settings browser(QStringLiteral("Heatshelf"), config.path());
    ASSERT_TRUE(designer.writeInt(QStringLiteral("metertype"), QStringLiteral("metertype"), 1));
    ASSERT_TRUE(designer.writeString(QStringLiteral("PicPath"), QStringLiteral("PicPath"), QStringLiteral("/pics")));
    ASSERT_TRUE(browser.writeString(QStringLiteral("Recent File List"), QStringLiteral("File1"), QStringLiteral("/a.vni")));

    ASSERT_TRUE(designer.deleteSection(QStringLiteral("PicPath")));
    EXPECT_FALSE(designer.contains(QStringLiteral("PicPath"), QStringLiteral("PicPath")));
    EXPECT_TRUE(designer.contains(QStringLiteral("metertype"), QStringLiteral("metertype")));

    ASSERT_TRUE(designer.deleteProgramKey());
    EXPECT_FALSE(designer.contains(QStringLiteral("metertype"), QStringLiteral("metertype")));
    EXPECT_EQ(Settings(QStringLiteral("Pagewright"), config.path()).readInt(QStringLiteral("metertype"),
                                                                            QStringLiteral("metertype"), 0),
              0);
    EXPECT_EQ(Settings(QStringLiteral("Heatshelf"), config.path())
                  .readString(QStringLiteral("Recent File List"), QStringLiteral("File1")),
              QStringLiteral("/a.vni"));
    // Deleting a key that is already gone succeeds; writing afterwards works.
    EXPECT_TRUE(designer.deleteProgramKey());
    ASSERT_TRUE(designer.writeInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 1));
    EXPECT_EQ(designer.readInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 0), 1);
}

} // namespace
} // namespace platform
