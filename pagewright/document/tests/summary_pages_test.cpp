// The properties sheet of a report: what its two pages show and what OK
// writes back.
#include "test_support.h"

#include "document/summary_pages.h"

#include "platform/summary_info.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace rpt_test;

TEST(SummaryPages, ShowTheSummaryAndWriteBackOnlyTheEditableTexts)
{
    platform::CSummaryInfo summary;
    summary.SetTitle(QString::fromUtf8("窑炉检测"));
    summary.SetAuthor(QStringLiteral("Ann"));
    summary.SetAppName(QStringLiteral("Pagewright"));
    summary.SetNumPages(1);
    summary.SetRevNum(QStringLiteral("4"));
    CSummarySheet sheet(summary, QStringLiteral("Analysis Objects Property"));
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Analysis Objects Property"));
    const auto* tabs = sheet.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->widget(0), sheet.SummaryPage());
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("报表简介"));
    EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("报表信息"));

    CSummPage* page = sheet.SummaryPage();
    EXPECT_EQ(page->Edit(CSummPage::kTitle)->text(), QString::fromUtf8("窑炉检测"));
    EXPECT_EQ(page->Edit(CSummPage::kAuthor)->objectName(), QStringLiteral("115"));
    EXPECT_EQ(page->AppName()->text(), QStringLiteral("Pagewright"));
    const CStatPage* stat = sheet.StatPage();
    EXPECT_EQ(stat->Value(CStatPage::kRevision), QStringLiteral("4"));
    EXPECT_EQ(stat->Value(CStatPage::kPages), QStringLiteral("1"));
    EXPECT_EQ(stat->Value(CStatPage::kEditTime), QStringLiteral("0 min"));
    EXPECT_EQ(stat->Value(CStatPage::kCreated), QString()); // never set: empty
    EXPECT_EQ(stat->Value(CStatPage::kLastPrinted), QString());

    EXPECT_FALSE(sheet.Apply(summary)); // nothing edited
    page->Edit(CSummPage::kKeywords)->setText(QStringLiteral("kiln, wall"));
    page->Edit(CSummPage::kComments)->setText(QStringLiteral("checked"));
    EXPECT_TRUE(sheet.Apply(summary));
    EXPECT_EQ(summary.GetKeywords(), QStringLiteral("kiln, wall"));
    EXPECT_EQ(summary.GetComments(), QStringLiteral("checked"));
    EXPECT_EQ(summary.GetRevNum(), QStringLiteral("4"));
}

TEST(SummaryPages, CancellingTheSheetChangesNothing)
{
    RecordingEnvironment env;
    env.dialogHook = [](QDialog& dialog) {
        static_cast<CSummarySheet&>(dialog).SummaryPage()->Edit(CSummPage::kTitle)->setText(QStringLiteral("x"));
        return false;
    };
    CDI_RptDoc doc(&env);
    EXPECT_TRUE(doc.OnCommand(CDI_RptDoc::ID_FILE_SUMMARYINFO));
    EXPECT_EQ(doc.GetSummaryInfo().GetTitle(), QString());
    EXPECT_FALSE(doc.IsModified());
}
