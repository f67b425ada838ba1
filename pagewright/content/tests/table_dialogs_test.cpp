// The table dialogs: defaults, ranges, the add/delete dialog's start from
// the picked column or row and its enabling.
#include "content/table_dialogs.h"

#include "skin/message_box.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

// Message boxes are answered and counted.
struct Messages {
    int count = 0;
    Messages()
    {
        SetMessageBoxHook([this](const MessageBoxRequest&) {
            ++count;
            return IDOK_ANSWER;
        });
    }
    ~Messages() { SetMessageBoxHook({}); }
};

void SetText(CDialog& dlg, int id, const QString& text) { dlg.GetDlgItemAs<QLineEdit>(id)->setText(text); }

} // namespace

TEST(TableDialogs, TablePropertiesOpenWithThreeByThreeAndTakeOneToTwenty)
{
    struct Case {
        const char* rows;
        const char* columns;
        bool accepted;
    };
    const Case cases[] = {{"3", "3", true}, {"0", "3", false}, {"3", "21", false}, {"20", "1", true},
                          {"x", "2", false}};
    for (const Case& c : cases) {
        Messages messages;
        CTablePropDlg dlg;
        dlg.show();
        EXPECT_EQ(dlg.GetDlgItemAs<QLineEdit>(CTablePropDlg::kRowsEdit)->text(), QStringLiteral("3"));
        EXPECT_EQ(dlg.GetDlgItemAs<QLineEdit>(CTablePropDlg::kColumnsEdit)->text(), QStringLiteral("3"));
        SetText(dlg, CTablePropDlg::kRowsEdit, QString::fromLatin1(c.rows));
        SetText(dlg, CTablePropDlg::kColumnsEdit, QString::fromLatin1(c.columns));
        dlg.ClickButton(CDialog::kIdOk);
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted) << c.rows << " " << c.columns;
        EXPECT_EQ(messages.count, c.accepted ? 0 : 1);
        if (c.accepted) {
            EXPECT_EQ(dlg.m_nRows, QByteArray(c.rows).toInt());
            EXPECT_EQ(dlg.m_nColumns, QByteArray(c.columns).toInt());
        }
    }
}

TEST(TableDialogs, AddRowColumnStartsFromThePickedColumnOrRow)
{
    {
        CAddRowColDlg dlg;
        dlg.m_nSelColumn = 2;
        dlg.m_nColumnCount = 4;
        dlg.m_nRowCount = 3;
        dlg.show();
        EXPECT_TRUE(dlg.GetDlgItemAs<QRadioButton>(CAddRowColDlg::kColumns)->isChecked());
        EXPECT_EQ(dlg.GetDlgItemAs<QLineEdit>(CAddRowColDlg::kNumberEdit)->text(), QStringLiteral("3"));
        EXPECT_EQ(dlg.SpinControl()->minimum(), 1);
        EXPECT_EQ(dlg.SpinControl()->maximum(), 10);
    }
    {
        CAddRowColDlg dlg;
        dlg.m_nSelRow = 0;
        dlg.m_nColumnCount = 4;
        dlg.m_nRowCount = 3;
        dlg.show();
        EXPECT_TRUE(dlg.GetDlgItemAs<QRadioButton>(CAddRowColDlg::kRows)->isChecked());
        EXPECT_EQ(dlg.GetDlgItemAs<QLineEdit>(CAddRowColDlg::kNumberEdit)->text(), QStringLiteral("1"));
        EXPECT_TRUE(dlg.GetDlgItemAs<QRadioButton>(CAddRowColDlg::kAdd)->isChecked());
        EXPECT_TRUE(dlg.GetDlgItemAs<QRadioButton>(CAddRowColDlg::kText)->isChecked());
    }
}

TEST(TableDialogs, TheNumberIsCheckedAgainstTheChosenKindAndTheCountAgainstTen)
{
    struct Case {
        int kindId;
        const char* number;
        const char* count;
        bool accepted;
    };
    // A table of 4 rows and 2 columns.
    const Case cases[] = {
        {CAddRowColDlg::kRows, "5", "1", false},    {CAddRowColDlg::kRows, "4", "1", true},
        {CAddRowColDlg::kColumns, "3", "1", false}, {CAddRowColDlg::kColumns, "2", "10", true},
        {CAddRowColDlg::kRows, "1", "11", false},   {CAddRowColDlg::kRows, "0", "1", false},
    };
    for (const Case& c : cases) {
        Messages messages;
        CAddRowColDlg dlg;
        dlg.m_nRowCount = 4;
        dlg.m_nColumnCount = 2;
        dlg.show();
        dlg.GetDlgItemAs<QRadioButton>(c.kindId)->setChecked(true);
        SetText(dlg, CAddRowColDlg::kNumberEdit, QString::fromLatin1(c.number));
        SetText(dlg, CAddRowColDlg::kCountEdit, QString::fromLatin1(c.count));
        dlg.ClickButton(CDialog::kIdOk);
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted) << c.kindId << " " << c.number << " " << c.count;
        EXPECT_EQ(messages.count, c.accepted ? 0 : 1);
    }
}

TEST(TableDialogs, DeleteGreysOutWhatOnlyAddingUses)
{
    Messages messages;
    CAddRowColDlg dlg;
    dlg.m_nRowCount = 2;
    dlg.m_nColumnCount = 2;
    dlg.show();
    dlg.ClickButton(CAddRowColDlg::kDelete);
    for (int id : {int(CAddRowColDlg::kBefore), int(CAddRowColDlg::kAfter), int(CAddRowColDlg::kText),
                   int(CAddRowColDlg::kField), int(CAddRowColDlg::kSpin)})
        EXPECT_FALSE(dlg.GetDlgItem(id)->isEnabled()) << id;
    EXPECT_TRUE(dlg.GetDlgItem(CAddRowColDlg::kCountEdit)->isEnabled());
    SetText(dlg, CAddRowColDlg::kCountEdit, QStringLiteral("11"));
    dlg.ClickButton(CDialog::kIdOk);
    EXPECT_NE(dlg.result(), QDialog::Accepted) << "the count is still checked";
    dlg.ClickButton(CAddRowColDlg::kAdd);
    EXPECT_TRUE(dlg.GetDlgItem(CAddRowColDlg::kSpin)->isEnabled());
}

TEST(TableDialogs, ATableWithoutColumnsOffersNoColumnNumber)
{
    Messages messages;
    CAddRowColDlg dlg;
    dlg.m_nRowCount = 2;
    dlg.m_nColumnCount = 0;
    dlg.show();
    dlg.GetDlgItemAs<QRadioButton>(CAddRowColDlg::kColumns)->setChecked(true);
    dlg.ClickButton(CDialog::kIdOk);
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(messages.count, 1);
}
