// The report wizard's frame: pages, captions and buttons, Back to the
// chooser, Cancel answered both ways, and the default report names.
#include "wizard_fixture.h"

#include "wizard_new_report_pages.h"
#include "wizard_template_pages.h"

#include <QLineEdit>

using namespace wiztest;

namespace {

struct ButtonStates {
    bool back, next, finish, cancel;
    bool operator==(const ButtonStates&) const = default;
};

ButtonStates States(const CReportWizardDlg& w)
{
    return {w.GetDlgItem(CReportWizardDlg::kBack)->isEnabled(), w.GetDlgItem(CReportWizardDlg::kNext)->isEnabled(),
            w.GetDlgItem(CReportWizardDlg::kFinish)->isEnabled(), w.GetDlgItem(CReportWizardDlg::kCancel)->isEnabled()};
}

// A template with a current layout (one image, one text) in the folder.
void SmallTemplate(const Fixture& f, const QString& name)
{
    LayoutEntries e{{"System", QStringLiteral("PageCount"), QStringLiteral("1")},
                    {"DrawIR", QStringLiteral("ObjCount"), QStringLiteral("1")},
                    {"DrawText", QStringLiteral("ObjCount"), QStringLiteral("1")},
                    {"DrawText", LayoutKey(1, "Content"), QStringLiteral("old")}};
    AddObject(e, "DrawIR", 1, QRect(10, 10, 300, 200));
    AddObject(e, "DrawText", 1, QRect(10, 300, 300, 40));
    f.DummyTemplate(name + QStringLiteral(".rpm"));
    WriteLayoutFile(f.TemplatePath(name + QStringLiteral(".ini")), e);
}


} // namespace

TEST(ReportWizard, CaptionsPromptsAndButtonsFollowThePage)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    struct Case {
        int mode;
        const char* prompts[3];
    };
    const Case cases[] = {{0, {"请选择报表用到的红外图片", "请设置报表相关文本信息", "请设置报表相关表格信息"}},
                          {1, {"请设置报表相关文本信息", "请选择报表用到的红外图片", "请设置报表相关表格信息"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        QWidget owner;
        CReportWizardDlg w(&owner);
        w.m_nMode = c.mode;
        w.show();
        ASSERT_EQ(w.m_nPageCount, 3);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Guide page 1 of 3"));
        EXPECT_EQ(States(w), (ButtonStates{true, true, true, true}));
        EXPECT_EQ(w.Prompt(), QString::fromUtf8(c.prompts[0]));
        EXPECT_TRUE(w.Page(1)->isVisible());
        EXPECT_EQ(w.Page(1)->geometry(), w.PageArea());
        w.ClickButton(CReportWizardDlg::kNext);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Guide page 2 of 3"));
        EXPECT_EQ(States(w), (ButtonStates{true, true, true, true}));
        EXPECT_EQ(w.Prompt(), QString::fromUtf8(c.prompts[1]));
        EXPECT_FALSE(w.Page(1)->isVisible());
        w.ClickButton(CReportWizardDlg::kNext);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Guide page 3 of 3"));
        EXPECT_EQ(States(w), (ButtonStates{true, false, true, true}));
        EXPECT_EQ(w.Prompt(), QString::fromUtf8(c.prompts[2]));
        EXPECT_TRUE(w.Page(3)->isVisible());
        w.ClickButton(CReportWizardDlg::kBack);
        EXPECT_EQ(w.m_nCurPage, 2);
        EXPECT_EQ(States(w), (ButtonStates{true, true, true, true}));
        w.ClickButton(CReportWizardDlg::kBack);
        EXPECT_EQ(w.m_nCurPage, 1);
        EXPECT_TRUE(w.GetDlgItem(CReportWizardDlg::kBack)->isEnabled());
    }
}

TEST(ReportWizard, BackOnTheFirstPageShowsTheChooserAgainWithoutConversion)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    SmallTemplate(f, QStringLiteral("small"));
    const int windows = f.conv.WindowCount();

    bool chooserVisibleAfterBack = false;
    f.driver.steps.push_back([&](CDialog& d) {
        auto& chooser = static_cast<CTemplateSelectDlg&>(d);
        Choose(QStringLiteral("small"), CTemplateSelectDlg::kUseWizard)(d);
        // Back to here once the wizard has ended.
        chooserVisibleAfterBack = chooser.isVisible();
        EXPECT_EQ(chooser.result(), 0);
        chooser.ClickButton(CDialog::kIdCancel);
    });
    f.driver.steps.push_back([](CDialog& d) { d.ClickButton(CReportWizardDlg::kBack); });
    const TemplateChooserResult chosen = RunTemplateChooser();
    EXPECT_FALSE(chosen.accepted);
    EXPECT_TRUE(chooserVisibleAfterBack);
    EXPECT_EQ(f.driver.shown, (std::vector<int>{150, 363}));
    QCoreApplication::processEvents();
    EXPECT_EQ(f.conv.WindowCount(), windows);
    EXPECT_FALSE(QFile::exists(WizardFilePath(f.conv.box.ProgramFolder())));
}

TEST(ReportWizard, CancelAskedFirstKeepsTheWizardThenClosesItAndTheChooser)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    SmallTemplate(f, QStringLiteral("small"));
    const int windows = f.conv.WindowCount();
    f.driver.answers = {IDCANCEL_ANSWER, IDOK_ANSWER};
    bool openAfterFirst = false;
    f.driver.steps.push_back(Choose(QStringLiteral("small"), CTemplateSelectDlg::kUseWizard));
    f.driver.steps.push_back([&](CDialog& d) {
        d.ClickButton(CReportWizardDlg::kCancel);
        openAfterFirst = d.isVisible();
        d.ClickButton(CReportWizardDlg::kCancel);
    });
    const TemplateChooserResult chosen = RunTemplateChooser();
    EXPECT_TRUE(openAfterFirst);
    EXPECT_FALSE(chosen.accepted);
    EXPECT_EQ(f.driver.MessageIds(), (std::vector<int>{61510, 61510}));
    EXPECT_EQ(f.driver.messages.at(0).type, MB_OKCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(f.driver.shown, (std::vector<int>{150, 363}));
    QCoreApplication::processEvents();
    EXPECT_EQ(f.conv.WindowCount(), windows);
}

TEST(ReportWizard, EmptyNamesFallBackAndAnUnconfirmedFinishStaysOnThePage)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    struct Case {
        int mode;
        int nameEdit;
        int page;
        const char* expected;
    };
    const Case cases[] = {{0, CWizardTextPage::kReportName, 1, "WizardReport1"},
                          {1, CWizardReportInfoPage::kFileName, 2, "Report"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        QWidget owner;
        CReportWizardDlg w(&owner);
        w.m_nMode = c.mode;
        w.show();
        w.findChild<QLineEdit*>(QString::number(c.nameEdit))->clear();
        for (int p = 1; p < c.page; ++p)
            w.ClickButton(CReportWizardDlg::kNext);
        QString seen;
        f.driver.steps.push_back([&seen](CDialog& info) {
            EXPECT_EQ(info.GetTemplateId(), 365);
            seen = TheWizardState().strWizardReportName;
            info.ClickButton(CDialog::kIdCancel);
        });
        w.ClickButton(CReportWizardDlg::kFinish);
        EXPECT_EQ(seen, QString::fromUtf8(c.expected));
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.m_nCurPage, c.page);
    }
}
