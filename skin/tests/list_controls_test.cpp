// The editable list, the colour check list and the commit edit.
#include "test_support.h"

#include "skin/color_check_list_box.h"
#include "skin/color_picker_button.h"
#include "skin/commit_edit.h"
#include "skin/edit_list_ctrl.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

class EditListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        list = std::make_unique<CEditListCtrl>();
        list->setColumnCount(3);
        list->setRowCount(4);
        list->setColumnWidth(0, 80);
        list->setColumnWidth(1, 3); // too narrow to edit
        list->setColumnWidth(2, 90);
        const char* cells[4][3] = {{"--", "x", "--"}, {"-- ", "y", "--x"}, {"a", "b", "c"}, {"d", "e", "f"}};
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 3; ++c)
                list->setItem(r, c, new QTableWidgetItem(QString::fromUtf8(cells[r][c])));
        }
        list->resize(260, 160);
        list->show();
        QTest::qWait(0);
    }
    QPoint cellPoint(int row, int column) const
    {
        return QPoint(list->columnViewportPosition(column) + list->columnWidth(column) / 2,
                      list->rowViewportPosition(row) + list->rowHeight(row) / 2);
    }
    CListEditBox* click(int row, int column)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cellPoint(row, column));
        return list->GetEditBox();
    }

    std::unique_ptr<CEditListCtrl> list;
};

TEST_F(EditListTest, OnlyExactDashesAreReadOnly)
{
    EXPECT_EQ(click(0, 0), nullptr);  // "--"
    EXPECT_EQ(click(0, 2), nullptr);  // "--"
    CListEditBox* box = click(1, 0); // "-- "
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), QStringLiteral("498"));
    EXPECT_EQ(box->text(), QStringLiteral("-- "));
    EXPECT_EQ(box->selectedText(), QStringLiteral("-- "));
    list->setFocus();
    QTest::qWait(0);
    EXPECT_NE(click(1, 2), nullptr); // "--x"
}

TEST_F(EditListTest, NarrowColumnsAndThePlaceRightOfTheLastEditNothing)
{
    EXPECT_EQ(click(2, 1), nullptr);
    const QPoint right(list->columnViewportPosition(2) + 95, cellPoint(2, 2).y());
    int column = -1;
    EXPECT_EQ(list->HitTestEx(right, &column), -1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, right);
    EXPECT_EQ(list->GetEditBox(), nullptr);
    // Both ends of a column belong to it.
    EXPECT_EQ(list->HitTestEx(QPoint(80, cellPoint(3, 0).y()), &column), 3);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(list->EditSubLabel(2, 3), nullptr);
    EXPECT_EQ(list->EditSubLabel(9, 0), nullptr);
}

TEST_F(EditListTest, EscapeReportsNothingEnterCommits)
{
    QSignalSpy edited(list.get(), &CEditListCtrl::cellEdited);
    CListEditBox* box = click(2, 2);
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, QStringLiteral("new"));
    QTest::keyClick(box, Qt::Key_Escape);
    QTest::qWait(0);
    EXPECT_EQ(list->item(2, 2)->text(), QStringLiteral("c"));
    EXPECT_EQ(edited.count(), 0);
    EXPECT_EQ(list->GetEditBox(), nullptr);

    box = click(2, 2);
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, QStringLiteral("new"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::qWait(0);
    EXPECT_EQ(list->item(2, 2)->text(), QStringLiteral("new"));
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited[0][0].toInt(), 2);
    EXPECT_EQ(edited[0][1].toInt(), 2);
    EXPECT_EQ(edited[0][2].toString(), QStringLiteral("new"));

    // The first column changes the cell only.
    box = click(3, 0);
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, QStringLiteral("first"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::qWait(0);
    EXPECT_EQ(list->item(3, 0)->text(), QStringLiteral("first"));
    EXPECT_EQ(edited.count(), 1);
}

TEST_F(EditListTest, TheBoxLiesOnTheCellAndWidensToTheEdge)
{
    CListEditBox* box = click(2, 0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->x(), list->columnViewportPosition(0) + 4);
    EXPECT_EQ(box->width(), 80 - 3);
    EXPECT_EQ(box->y(), list->rowViewportPosition(2));
    QTest::keyClicks(box, QString(60, QLatin1Char('W')));
    EXPECT_GT(box->width(), 80);
    EXPECT_EQ(box->x() + box->width(), list->viewport()->width());
    EXPECT_EQ(box->text().size(), 60);
}

TEST(ColorCheckList, ButtonSitsOverTheSelectedEntrysRightEnd)
{
    EnsureQApplication();
    CColorCheckListBox list;
    list.resize(200, 150);
    for (int i = 0; i < 25; ++i)
        list.AddEntry(QStringLiteral("Curve %1\tline").arg(i), i % 2 == 0, RGB(i, 0, 0));
    list.show();
    QTest::qWait(0);
    // As many colours as entries, beyond the first 20.
    EXPECT_EQ(list.GetSlotCount(), 25);
    EXPECT_EQ(list.GetColor(24), RGB(24, 0, 0));
    list.SetColor(25, RGB(1, 1, 1));
    list.SetColor(-1, RGB(1, 1, 1));
    EXPECT_EQ(list.GetColor(25), 0u);
    EXPECT_EQ(list.GetColor(-1), 0u);

    list.setCurrentRow(3);
    QPushButton* button = list.GetColorButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->objectName(), QStringLiteral("714"));
    EXPECT_EQ(button->text(), QStringLiteral("..."));
    const QRect item = list.visualItemRect(list.item(3));
    EXPECT_EQ(button->geometry().width(), CColorCheckListBox::kButtonWidth);
    EXPECT_EQ(button->geometry().right(), item.right());
    EXPECT_EQ(button->geometry().top(), item.top());
    SaveShot(list.grab().toImage(), "colorchecklist");

    // A narrow entry: the button covers all of it.
    CColorCheckListBox narrow;
    narrow.AddEntry(QStringLiteral("a"), false, 0);
    narrow.AddEntry(QStringLiteral("b"), false, 0);
    narrow.resize(36, 100);
    narrow.show();
    QTest::qWait(0);
    narrow.setCurrentRow(1);
    const QRect small = narrow.visualItemRect(narrow.item(1));
    ASSERT_LE(small.width(), CColorCheckListBox::kButtonWidth);
    ASSERT_NE(narrow.GetColorButton(), nullptr);
    EXPECT_EQ(narrow.GetColorButton()->geometry(), small);
}

TEST(ColorCheckList, ColourDialogAndCheckStates)
{
    EnsureQApplication();
    auto list = std::make_unique<CColorCheckListBox>();
    list->AddEntry(QStringLiteral("a"), true, RGB(1, 2, 3));
    list->AddEntry(QStringLiteral("b"), false, RGB(4, 5, 6));
    list->show();
    list->setCurrentRow(1);
    COLORREF offered = 0;
    CColorPickerButton::SetColorDialogHook([&](COLORREF initial) -> std::optional<COLORREF> {
        offered = initial;
        return std::nullopt; // cancelled
    });
    list->OnColorButton();
    EXPECT_EQ(offered, RGB(4, 5, 6));
    EXPECT_EQ(list->GetColor(1), RGB(4, 5, 6));
    CColorPickerButton::SetColorDialogHook([](COLORREF) -> std::optional<COLORREF> { return RGB(9, 9, 9); });
    list->OnColorButton();
    EXPECT_EQ(list->GetColor(1), RGB(9, 9, 9));
    CColorPickerButton::SetColorDialogHook({});

    // Checks stay readable once the list is gone from the screen.
    list->item(1)->setCheckState(Qt::Checked);
    list->hide();
    list->clear();
    EXPECT_EQ(list->GetCheck(0), 1);
    EXPECT_EQ(list->GetCheck(1), 1);
    EXPECT_EQ(list->GetCheck(19), 0);
    EXPECT_EQ(list->GetCheck(20), 0);
    EXPECT_EQ(list->GetCheck(-5), 0);
}

TEST(ColorCheckList, TabStopsMustRise)
{
    EnsureQApplication();
    CColorCheckListBox list;
    const int base = list.fontMetrics().averageCharWidth();
    EXPECT_EQ(list.SetTabStops({40, 80}), 1);
    EXPECT_EQ(list.GetTabStops(), (std::vector<int>{40 * base / 4, 80 * base / 4}));
    EXPECT_EQ(list.SwatchRect(QRect(0, 0, 400, 18)).left(), 40 * base / 4 + 80 * base / 8);
    EXPECT_EQ(list.SetTabStops({40, 80, 80, 120}), 0);
    EXPECT_EQ(list.GetTabStops().size(), 2u);
    // Fewer than two stops: a default place for the swatch.
    EXPECT_EQ(list.SetTabStops({40}), 1);
    EXPECT_EQ(list.SwatchRect(QRect(0, 0, 400, 18)).left(), CColorCheckListBox::kDefaultSwatchOffset);
    EXPECT_EQ(list.SetTabStops({}), 1);
    EXPECT_TRUE(list.SwatchRect(QRect(0, 0, 50, 18)).isEmpty()); // outside a narrow entry
}

TEST(CommitEdit, EnterCommitsKeepingTheFocus)
{
    EnsureQApplication();
    QDialog dialog;
    auto* edit = new CCommitEdit(&dialog);
    auto* other = new QLineEdit(&dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(edit);
    layout->addWidget(other);
    QString taken;
    QObject::connect(edit, &CCommitEdit::focusLost, edit, [&] { taken = edit->text(); });
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    edit->setFocus();
    QTest::qWait(0);
    QTest::keyClicks(edit, QStringLiteral("37.5"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(taken, QStringLiteral("37.5"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), edit);
    QTest::keyClicks(edit, QStringLiteral("1"));
    other->setFocus();
    QTest::qWait(0);
    EXPECT_EQ(taken, QStringLiteral("37.51"));
}

} // namespace
