// The recent-file list both programs keep: newest first, four at most, in
// the settings, and its File-menu texts.
#include "test_support.h"

#include "skin/recent_file_list.h"

#include "platform/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(RecentFileList, KeepsFourNewestFirstInTheSettings)
{
    QTemporaryDir config;
    platform::Settings settings(QStringLiteral("Heatshelf"), config.path());
    CRecentFileList list(&settings);
    for (const char* path : {"/d/a.VNI", "/d/b.VNI", "/d/c.VNI", "/d/a.VNI", "/d/d.VNI", "/d/e.VNI"})
        list.Add(QString::fromLatin1(path));
    EXPECT_EQ(list.Files(), (QStringList{"/d/e.VNI", "/d/d.VNI", "/d/a.VNI", "/d/c.VNI"}));
    EXPECT_EQ(settings.readString(QStringLiteral("Recent File List"), QStringLiteral("File1")), QStringLiteral("/d/e.VNI"));
    list.Add(QStringLiteral("/d/x/../c.VNI")); // the same file, written another way
    EXPECT_EQ(list.Files(), (QStringList{"/d/c.VNI", "/d/e.VNI", "/d/d.VNI", "/d/a.VNI"}));
    list.Remove(2);
    list.Remove(7);

    // The next run reads what this one wrote.
    platform::Settings again(QStringLiteral("Heatshelf"), config.path());
    CRecentFileList next(&again);
    next.ReadList();
    EXPECT_EQ(next.Files(), (QStringList{"/d/c.VNI", "/d/e.VNI", "/d/a.VNI"}));
    EXPECT_TRUE(QFileInfo(again.filePath()).fileName().startsWith(QStringLiteral("Heatshelf")));
}

TEST(RecentFileList, MenuTextsAreNumberedAndShortened)
{
    CRecentFileList list;
    list.Add(QStringLiteral("/home/u/R&D/a.VNI"));
    EXPECT_EQ(list.MenuText(0), QStringLiteral("&1 /home/u/R&&D/a.VNI"));
    EXPECT_EQ(list.MenuText(1), QString());
    list.Add(QStringLiteral("rel.rpt"));
    EXPECT_EQ(list.At(0), QDir::current().absoluteFilePath(QStringLiteral("rel.rpt")));
    const struct {
        const char* path;
        const char* shown;
    } cases[] = {
        {"/home/u/a.VNI", "/home/u/a.VNI"},
        {"/home/user/cards/2024/site-7/IR0001.VNI", "/home/.../site-7/IR0001.VNI"},
        {"/media/a/b/c/d/e/f/a-very-long-file-name-of-a-camera.VNI", "a-very-long-file-name-of-a-camera.VNI"},
        {"relative/folder/down/below/IR0001.VNI", "relative/.../below/IR0001.VNI"},
        {"/data/reports/substation-3.rpt", "/data/reports/substation-3.rpt"}, // 30 characters
        {"/home/someone/Documents/reports/plant.rpt", "/home/.../reports/plant.rpt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CRecentFileList::AbbreviatedName(QString::fromUtf8(c.path)), QString::fromUtf8(c.shown)) << c.path;
}
