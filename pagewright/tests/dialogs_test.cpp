// The page title, new page, units and About dialogs.
#include "test_support.h"

#include "about_dlg.h"
#include "new_page_dlg.h"
#include "page_title_dlg.h"
#include "resource_ids.h"
#include "unit_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {

// Runs the dialog; act() is called once it is up.
template <class Dlg, class Act>
int runModal(Dlg& dlg, Act act)
{
    QTimer::singleShot(0, [&dlg, act] { act(dlg); });
    return dlg.DoModal();
}

} // namespace

TEST(Dialogs, PageTitleTakesAtMost38TypedCharactersAndKeeps40)
{
    StartupSandbox box;
    CPageTitleDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("修改页标题"));
    const int result = runModal(dlg, [](CPageTitleDlg& d) {
        auto* edit = d.GetDlgItemAs<QLineEdit>(res::IDC_PAGE_TITLE);
        ASSERT_NE(edit, nullptr);
        edit->clear();
        QTest::keyClicks(edit, QString(39, QLatin1Char('x')));
        EXPECT_EQ(edit->text().size(), 38); // the 39th is refused
        d.ClickButton(res::IDOK);
    });
    EXPECT_EQ(result, res::IDOK);
    EXPECT_EQ(dlg.m_title, QString(38, QLatin1Char('x')));
}

TEST(Dialogs, NewPageReturnsItsChoices)
{
    StartupSandbox box;
    {
        CNewPageDlg dlg;
        dlg.m_currentPage = 4;
        EXPECT_EQ(runModal(dlg, [](CNewPageDlg& d) { d.ClickButton(res::IDOK); }), res::IDOK);
        EXPECT_EQ(dlg.m_position, 0); // unless the user chooses another
        EXPECT_EQ(dlg.m_currentPage, 4);
    }
    {
        CNewPageDlg dlg;
        runModal(dlg, [](CNewPageDlg& d) {
            d.ClickButton(res::IDC_AFTER_CURRENT);
            d.GetDlgItemAs<QLineEdit>(res::IDC_NEW_PAGE_TITLE)->setText(QStringLiteral("总结"));
            d.ClickButton(res::IDOK);
        });
        EXPECT_EQ(dlg.m_position, 3);
        EXPECT_EQ(dlg.m_title, QStringLiteral("总结"));
    }
    {
        // A current page that is no number keeps the dialog open.
        CNewPageDlg dlg;
        runModal(dlg, [&box](CNewPageDlg& d) {
            d.GetDlgItemAs<QLineEdit>(res::IDC_CURRENT_PAGE)->setText(QString());
            d.ClickButton(res::IDOK);
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(box.messages.size(), 1u);
            d.ClickButton(res::IDCANCEL);
        });
    }
}

TEST(Dialogs, UnitsDialogControlsAndTexts)
{
    StartupSandbox box;
    CUnitDlg dlg;
    dlg.m_lengthUnit = 1;
    dlg.m_tempUnit = 1;
    runModal(dlg, [](CUnitDlg& d) {
        EXPECT_TRUE(d.GetDlgItemAs<QAbstractButton>(res::IDC_FEET)->isChecked());
        EXPECT_TRUE(d.GetDlgItemAs<QAbstractButton>(res::IDC_TEMP_F)->isChecked());
        EXPECT_EQ(d.GetDlgItemAs<QAbstractButton>(res::IDC_TEMP_K)->text(), QStringLiteral("开尔文"));
        EXPECT_EQ(d.GetDlgItemAs<QAbstractButton>(res::IDC_SAVE_DEFAULT)->text(), QStringLiteral("保存为默认设置"));
        d.ClickButton(res::IDC_SAVE_DEFAULT);
        d.ClickButton(res::IDOK);
    });
    EXPECT_EQ(dlg.m_lengthUnit, 1);
    EXPECT_EQ(dlg.m_tempUnit, 1);
    EXPECT_TRUE(dlg.m_saveDefault);
}

TEST(Dialogs, AboutBoxShowsTheProgramAndCloses)
{
    StartupSandbox box;
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("关于"));
    EXPECT_EQ(dlg.GetDlgItemAs<QLabel>(res::IDC_ABOUT_TITLE)->text(), QStringLiteral("红外热像报表软件 V1.0.146"));
    EXPECT_EQ(runModal(dlg, [](CAboutDlg& d) { d.ClickButton(res::IDOK); }), res::IDOK);
}
