// The File menu's recent reports: filled by opening and saving, kept in the
// settings across a restart, chosen to open, and dropped when gone.
#include "test_support.h"

#include "main_frame.h"
#include "skin/recent_file_list.h"
#include "resource_ids.h"
#include "rpt_template.h"
#include "rpt_view.h"
#include "split_frame.h"

#include "document/document_environment.h"
#include "document/rpt_doc.h"
#include "platform/settings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

namespace {

// The recent-file entries the File menu shows, "(off) " before a disabled one.
QStringList MenuEntries(CMainFrame* frame)
{
    frame->UpdateCommandUI();
    QMenu* file = frame->menuBar()->actions().front()->menu();
    QStringList out;
    for (QAction* a : file->actions()) {
        const int id = a->data().toInt();
        if (id >= res::ID_FILE_MRU_FILE1 && id <= res::ID_FILE_MRU_FILE4 && a->isVisible())
            out << (a->isEnabled() ? QString() : QStringLiteral("(off) ")) + a->text();
    }
    return out;
}

QStringList Expected(const QStringList& paths)
{
    QStringList out;
    for (int i = 0; i < paths.size(); ++i)
        out << QStringLiteral("&%1 %2").arg(i + 1).arg(CRecentFileList::AbbreviatedName(paths[i]).replace(
                                                            QLatin1Char('&'), QLatin1String("&&")));
    return out;
}

QStringList Stored(const StartupSandbox& box)
{
    const platform::Settings settings(QStringLiteral("Pagewright"), box.ConfigFolder());
    QStringList out;
    for (int i = 1; i <= 6; ++i) {
        const QString file = settings.readString(QStringLiteral("Recent File List"), QStringLiteral("File%1").arg(i));
        if (!file.isEmpty())
            out << file;
    }
    return out;
}

CDI_RptDoc* ActiveDocument(const CDI_RptApp& app)
{
    CSplitFrame* child = app.GetMainFrame()->MDIGetActive();
    auto* view = child != nullptr ? qobject_cast<CDI_RptView*>(child->GetActiveView()) : nullptr;
    return view != nullptr ? view->GetDocument() : nullptr;
}

void WriteEmptyReport(const QString& path)
{
    CDI_RptDoc doc;
    ASSERT_TRUE(doc.SaveToPath(path));
}

} // namespace

TEST(RecentFiles, OpenAndSaveFillTheFileMenuAndTheSettingsKeepIt)
{
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    // Nothing yet: the menu's own "recent file", disabled.
    EXPECT_EQ(MenuEntries(app->GetMainFrame()), QStringList{QStringLiteral("(off) 最近文件")});

    const QString a = box.Path(QStringLiteral("reports/a.rpt"));
    const QString b = box.Path(QStringLiteral("reports/R&D.rpt"));
    QDir().mkpath(box.Path(QStringLiteral("reports")));
    WriteEmptyReport(b);

    // The blank report of the start saved as a, then b opened.
    CDI_RptDoc* blank = ActiveDocument(*app);
    ASSERT_NE(blank, nullptr);
    ASSERT_TRUE(blank->DoSave(a));
    ASSERT_TRUE(app->GetDocTemplate()->OpenDocumentFile(b));
    EXPECT_EQ(MenuEntries(app->GetMainFrame()), Expected({b, a}));
    EXPECT_EQ(Stored(box), (QStringList{b, a}));

    // Saving a again brings it to the top.
    ASSERT_TRUE(blank->DoSave(a));
    EXPECT_EQ(Stored(box), (QStringList{a, b}));
    // Without a report the frame's own File menu shows the same list.
    app->GetMainFrame()->GetMdiClient()->closeAllSubWindows();
    QApplication::processEvents();
    ASSERT_EQ(ActiveDocument(*app), nullptr);
    EXPECT_EQ(MenuEntries(app->GetMainFrame()), Expected({a, b}));

    // After a restart: choosing the second entry opens b.
    app.reset();
    app = box.Start();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(MenuEntries(app->GetMainFrame()), Expected({a, b}));
    app->GetMainFrame()->ExecuteCommand(res::ID_FILE_MRU_FILE1 + 1);
    ASSERT_NE(ActiveDocument(*app), nullptr);
    EXPECT_EQ(ActiveDocument(*app)->GetPathName(), b);
    EXPECT_EQ(MenuEntries(app->GetMainFrame()), Expected({b, a}));

    // A report that is gone says so and leaves the list.
    ASSERT_TRUE(QFile::remove(a));
    const int failures = box.Shown(doc_string::kOpenFailed);
    app->GetMainFrame()->ExecuteCommand(res::ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(box.Shown(doc_string::kOpenFailed), failures + 1);
    EXPECT_EQ(ActiveDocument(*app)->GetPathName(), b);
    EXPECT_EQ(MenuEntries(app->GetMainFrame()), Expected({b}));
    EXPECT_EQ(Stored(box), QStringList{b});
}

TEST(RecentFiles, AFilledCommandLineCopyIsNoRecentFile)
{
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    // The headless report of a command-line filling names its scratch copy.
    const QString copy = box.Path(QStringLiteral("filled.rpm"));
    WriteEmptyReport(copy);
    EXPECT_FALSE(app->FillReportFromCommandLine(copy)) << "it holds no image to fill";
    EXPECT_TRUE(app->m_recentFiles.Files().isEmpty());
    EXPECT_TRUE(Stored(box).isEmpty());
}
