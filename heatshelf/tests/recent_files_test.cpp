// The recent-file list and the File menu's commands: opening a file shows it
// and puts it at the top of the list, the list is kept in the settings
// under the "Heatshelf" key and shown in the File menu, a recent file that
// has gone leaves it with a message; New and the printer set-up.
#include "app_test_support.h"
#include "image_view_support.h"

#include "resource_ids.h"

#include "platform/settings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

using namespace heatshelf;

namespace {

QStringList recentMenu(CMainFrame& frame)
{
    QStringList texts;
    for (int id = res::ID_FILE_MRU_FILE1; id <= res::ID_FILE_MRU_LAST; ++id) {
        const QAction* a = frame.Action(id);
        if (a == nullptr || !a->isVisible())
            continue;
        texts << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
    }
    return texts;
}

} // namespace

TEST(RecentFiles, OpenShowsTheFileAndTheMenuListsIt)
{
    QTemporaryDir folder;
    const QString a = CopyFixture(folder, QStringLiteral("walk/a.VNI"));
    const QString c = CopyFixture(folder, QStringLiteral("records.vni"), QStringLiteral("c.vni"));
    const QString text = folder.filePath(QStringLiteral("notes.txt"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a camera file\n");
    }
    ViewFixture f;
    ASSERT_NE(f.view, nullptr);
    EXPECT_EQ(recentMenu(*f.frame), QStringList{QString::fromUtf8("最近文件 (disabled)")});
    for (int id : {res::ID_FILE_NEW, res::ID_FILE_OPEN, res::ID_FILE_PRINT_SETUP})
        EXPECT_TRUE(f.frame->QueryCommand(id).IsEnabled()) << id;

    // Open, in thumbnail mode: the file alone, in its folder.
    f.Run(res::ID_THUMBNAILS);
    QString asked;
    QString answer = c;
    f.app->askFileToOpen = [&](const QString& start) {
        asked = start;
        return answer;
    };
    f.Run(res::ID_FILE_OPEN);
    EXPECT_FALSE(f.view->IsThumbnails());
    EXPECT_EQ(f.view->CurrentFileName(), c);
    EXPECT_EQ(f.view->CurrentIndex(), 1);
    EXPECT_FALSE(f.view->Core().picture().isNull());
    answer = a;
    f.Run(res::ID_FILE_OPEN);
    EXPECT_EQ(asked, folder.path()) << "the dialog starts in the current folder";
    EXPECT_EQ(f.view->CurrentFileName(), a);
    // Cancelled: nothing changes.
    answer.clear();
    f.Run(res::ID_FILE_OPEN);
    EXPECT_EQ(f.view->CurrentFileName(), a);
    // Not a camera file: said, and not listed.
    answer = text;
    f.Run(res::ID_FILE_OPEN);
    ASSERT_EQ(f.box.messages.size(), 1u);
    EXPECT_TRUE(f.box.messages[0].text.contains(QStringLiteral("notes.txt")));
    EXPECT_EQ(f.app->RecentFiles().Files(), (QStringList{a, c}));
    const QStringList menu = recentMenu(*f.frame);
    ASSERT_EQ(menu.size(), 2);
    EXPECT_TRUE(menu[0].startsWith(QStringLiteral("&1 ")) && menu[0].endsWith(QStringLiteral("a.VNI"))) << menu[0].toStdString();
    EXPECT_TRUE(menu[1].startsWith(QStringLiteral("&2 ")) && menu[1].endsWith(QStringLiteral("c.vni"))) << menu[1].toStdString();

    // New changes nothing shown.
    f.Run(res::ID_FILE_NEW);
    EXPECT_EQ(f.view->CurrentFileName(), a);
    EXPECT_TRUE(f.app->Document().GetTitle().isEmpty());

    // The next run shows the list; choosing an entry opens it and moves it
    // up; an entry whose file has gone leaves the list with a message.
    f.app.reset();
    StartupOptions options = f.box.Options();
    options.makeView = CHeatshelfView::Factory();
    f.app = f.box.Start(options);
    ASSERT_NE(f.app, nullptr);
    f.frame = f.app->MainFrame();
    f.view = dynamic_cast<CHeatshelfView*>(f.frame->GetRightView());
    ASSERT_NE(f.view, nullptr);
    EXPECT_EQ(recentMenu(*f.frame), menu);
    f.Run(res::ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(f.view->CurrentFileName(), c);
    EXPECT_EQ(f.app->RecentFiles().Files(), (QStringList{c, a}));
    ASSERT_TRUE(QFile::remove(a));
    f.Run(res::ID_FILE_MRU_FILE1 + 1);
    ASSERT_EQ(f.box.messages.size(), 2u);
    EXPECT_TRUE(f.box.messages[1].text.contains(QStringLiteral("a.VNI")));
    EXPECT_EQ(f.app->RecentFiles().Files(), QStringList{c});
    EXPECT_EQ(recentMenu(*f.frame).size(), 1);
    EXPECT_FALSE(f.frame->QueryCommand(res::ID_FILE_MRU_FILE1 + 1).IsEnabled());
}

// The printer set-up opens the page set-up dialog and returns when it is
// closed.
TEST(RecentFiles, PrintSetUpRunsThePageSetUpDialog)
{
    ViewFixture f;
    ASSERT_NE(f.frame, nullptr);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            shown = true;
            dialog->close();
        }
    });
    f.Run(res::ID_FILE_PRINT_SETUP);
    EXPECT_TRUE(shown);
}
