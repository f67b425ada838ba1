// The colour picker: cells, choosing by mouse, notifications, placement.
#include "test_support.h"

#include "../src/color_popup.h"
#include "skin/color_picker_button.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using skin::ColorPopup;

namespace {

struct Picker {
    explicit Picker(int style = 0) : skinState(MakeSkin(style))
    {
        parent.resize(300, 200);
        button = new CColorPickerButton(&parent);
        button->SetDlgCtrlID(1077);
        button->setGeometry(20, 20, 40, 23);
        buddy = new QLineEdit(&parent);
        buddy->move(100, 20);
        button->SetBuddy(buddy);
        QObject::connect(button, &CColorPickerButton::command, [this](int id) { commands.push_back(id); });
        parent.show();
        QApplication::processEvents();
    }
    // The widget point of a cell's middle.
    static QPoint cellPoint(int col, int row) { return ColorPopup::ToWidget(QPoint(10 * col + 4, 10 * row + 4)); }

    std::unique_ptr<skin::SkinState> skinState;
    QWidget parent;
    CColorPickerButton* button;
    QLineEdit* buddy;
    std::vector<int> commands;
};

} // namespace

TEST(ColorPicker, CellColours)
{
    const int greys[12] = {255, 232, 209, 186, 163, 140, 117, 94, 71, 48, 23, 0};
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(ColorPopup::CellColor(row * 19), RGB(greys[row], greys[row], greys[row])) << row;
    struct Case {
        int col, row;
        COLORREF c;
    } cases[] = {{1, 0, RGB(0, 0, 0)}, {18, 10, RGB(255, 255, 204)}, {7, 6, RGB(204, 0, 0)}, {2, 1, RGB(0, 51, 51)}};
    for (const Case& c : cases)
        EXPECT_EQ(ColorPopup::CellColor(c.row * 19 + c.col), c.c) << c.col << ',' << c.row;
    EXPECT_EQ(ColorPopup::CellColor(227), 0xFFFFFFFFu);
    // Grid lines and the band hit no cell.
    for (QPoint p : {QPoint(9, 4), QPoint(4, 9), QPoint(189, 4), QPoint(4, 120), QPoint(190, 4), QPoint(-1, 0)})
        EXPECT_EQ(ColorPopup::CellAt(p), -1) << p.x() << ',' << p.y();
    EXPECT_EQ(ColorPopup::CellAt(QPoint(0, 0)), 0);
    EXPECT_EQ(ColorPopup::CellAt(QPoint(188, 118)), 227);
    EXPECT_EQ(ColorPopup::CellAt(QPoint(10, 10)), 20);
}

TEST(ColorPicker, PopupStaysOnTheScreen)
{
    const QRect screen(0, 0, 1600, 1000);
    EXPECT_EQ(ColorPopup::Placement(QRect(100, 100, 40, 23), screen), QPoint(100, 122));
    EXPECT_EQ(ColorPopup::Placement(QRect(1580, 100, 40, 23), screen), QPoint(1600 - 191, 122));
    EXPECT_EQ(ColorPopup::Placement(QRect(-30, 100, 40, 23), screen), QPoint(0, 122));
    EXPECT_EQ(ColorPopup::Placement(QRect(100, 950, 40, 23), screen), QPoint(100, 972 - 150));
    // A second screen to the right keeps its own edges.
    EXPECT_EQ(ColorPopup::Placement(QRect(3190, 10, 40, 23), QRect(1600, 0, 1600, 1000)), QPoint(3200 - 191, 32));
}

TEST(ColorPicker, PressDragReleaseCommitsTheCell)
{
    Picker t;
    QTest::mousePress(t.button, Qt::LeftButton, {}, QPoint(10, 10));
    ColorPopup* popup = t.button->GetPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), QStringLiteral("ColorPalette"));
    EXPECT_EQ(popup->size(), QSize(191, 150));
    QTest::mouseMove(popup, Picker::cellPoint(7, 6));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, Picker::cellPoint(7, 6));
    EXPECT_EQ(t.button->GetColor(), RGB(204, 0, 0));
    EXPECT_EQ(t.commands, std::vector<int>{1077});
    EXPECT_EQ(t.buddy->text(), QStringLiteral("#CC0000"));
    EXPECT_FALSE(t.button->IsPopupOpen());
}

TEST(ColorPicker, AClickKeepsThePopupOpenForASecondClick)
{
    Picker t;
    QTest::mousePress(t.button, Qt::LeftButton, {}, QPoint(10, 10));
    ColorPopup* popup = t.button->GetPopup();
    ASSERT_NE(popup, nullptr);
    const QPoint same = popup->mapFromGlobal(t.button->mapToGlobal(QPoint(10, 10)));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, same);
    ASSERT_TRUE(t.button->IsPopupOpen());
    // A click on a grid line picks nothing: the colour stays, nothing posted.
    QTest::mouseClick(popup, Qt::LeftButton, {}, ColorPopup::ToWidget(QPoint(19, 4)));
    EXPECT_TRUE(t.commands.empty());
    // The no-colour cell.
    QTest::mousePress(t.button, Qt::LeftButton, {}, QPoint(10, 10));
    popup = t.button->GetPopup();
    QTest::mouseRelease(popup, Qt::LeftButton, {}, popup->mapFromGlobal(t.button->mapToGlobal(QPoint(10, 10))));
    QTest::mouseClick(popup, Qt::LeftButton, {}, Picker::cellPoint(18, 11));
    EXPECT_EQ(t.button->GetColor(), 0xFFFFFFFFu);
    EXPECT_EQ(t.buddy->text(), QStringLiteral("#FFFFFF"));
    EXPECT_EQ(t.commands, std::vector<int>{1077});
}

TEST(ColorPicker, SetColorAlwaysAnnouncesAndTheSameChoicePostsNothing)
{
    Picker t;
    t.button->SetColor(RGB(255, 0, 0));
    t.button->SetColor(RGB(255, 0, 0));
    EXPECT_EQ(t.commands.size(), 2u);
    EXPECT_EQ(t.button->GetColorText(), QStringLiteral("#FF0000"));
    t.button->SetColor(RGB(0, 0, 0));
    t.commands.clear();
    QTest::mousePress(t.button, Qt::LeftButton, {}, QPoint(10, 10));
    ColorPopup* popup = t.button->GetPopup();
    QTest::mouseMove(popup, Picker::cellPoint(1, 0));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, Picker::cellPoint(1, 0));
    EXPECT_TRUE(t.commands.empty());
    EXPECT_FALSE(t.button->IsPopupOpen());
}

TEST(ColorPicker, ClosingWithoutAMoveKeepsTheColourAndOtherColoursOpensTheDialog)
{
    Picker t;
    t.button->SetColor(RGB(1, 2, 3));
    t.commands.clear();
    QTest::mousePress(t.button, Qt::LeftButton, {}, QPoint(10, 10));
    t.button->GetPopup()->close();
    QApplication::processEvents();
    EXPECT_FALSE(t.button->IsPopupOpen());
    EXPECT_TRUE(t.commands.empty());
    EXPECT_EQ(t.button->GetColor(), RGB(1, 2, 3));

    COLORREF asked = 1;
    CColorPickerButton::SetColorDialogHook([&](COLORREF initial) -> std::optional<COLORREF> {
        asked = initial;
        return RGB(9, 8, 7);
    });
    QTest::mousePress(t.button, Qt::LeftButton, {}, QPoint(10, 10));
    t.button->GetPopup()->MoreButton()->click();
    CColorPickerButton::SetColorDialogHook({});
    EXPECT_EQ(asked, 0u); // the dialog opens on black
    EXPECT_EQ(t.button->GetColor(), RGB(9, 8, 7));
    EXPECT_EQ(t.commands, std::vector<int>{1077});
}

TEST(ColorPicker, EyedropperCursor)
{
    EnsureQApplication();
    const QCursor c = CColorPickerButton::EyedropperCursor();
    EXPECT_EQ(c.hotSpot(), QPoint(0, 15));
    const QImage mask = c.mask().toImage();
    ASSERT_FALSE(mask.isNull());
    EXPECT_EQ(mask.size(), QSize(32, 32));
}

TEST(ColorPicker, Screenshots)
{
    for (int style : {0, 6}) {
        Picker t(style);
        t.button->SetColor(RGB(204, 0, 0));
        SaveShot(t.button->grab().toImage(), style == 0 ? "picker-style0" : "picker-style6");
        QTest::mousePress(t.button, Qt::LeftButton, {}, QPoint(10, 10));
        ColorPopup* popup = t.button->GetPopup();
        QTest::mouseMove(popup, Picker::cellPoint(5, 3));
        SaveShot(popup->grab().toImage(), style == 0 ? "palette-style0" : "palette-style6");
        popup->close();
    }
}
