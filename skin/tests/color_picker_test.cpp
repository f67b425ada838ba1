// The colour picker: cells, choosing by mouse, notifications, placement.
#include "test_support.h"

#include "../src/color_popup.h"
#include "skin/color_picker_button.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
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

// ---- the browser's popup ----

namespace {

struct BrowserPicker : Picker {
    BrowserPicker()
    {
        skinState->m_look = skin::SkinLook::Browser;
        button->SetColor(RGB(10, 20, 30));
        commands.clear();
    }
    ColorPopup* open()
    {
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
        return button->GetPopup();
    }
    static COLORREF at(const QImage& img, QPoint client)
    {
        return skin::FromQRgb(img.pixel(ColorPopup::ToWidget(client)));
    }
};

} // namespace

TEST(BrowserColorPicker, LayoutCellsSwatchAndText)
{
    BrowserPicker t;
    ColorPopup* popup = t.open();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->IsBrowserLook());
    EXPECT_EQ(popup->size(), QSize(191, 150));
    // Greys 23 and 0 in rows 10 and 11; the cube counts down each column.
    EXPECT_EQ(popup->CellColorOf(10 * 19), RGB(23, 23, 23));
    EXPECT_EQ(popup->CellColorOf(11 * 19), RGB(0, 0, 0));
    for (int band = 0; band < 2; ++band) {
        for (int col = 1; col < 19; ++col) {
            for (int r = 0; r < 6; ++r) {
                const int k = band * 108 + (col - 1) * 6 + r;
                const COLORREF want = RGB(k / 36 * 51, k / 6 % 6 * 51, k % 6 * 51);
                ASSERT_EQ(popup->CellColorOf((band * 6 + r) * 19 + col), want) << col << ',' << band * 6 + r;
            }
        }
    }
    // No no-colour cell: the last cell is white.
    EXPECT_EQ(popup->CellColorOf(227), RGB(255, 255, 255));
    const QImage img = popup->grab().toImage();
    EXPECT_EQ(BrowserPicker::at(img, QPoint(14, 64)), popup->CellColorOf(6 * 19 + 1));
    EXPECT_EQ(BrowserPicker::at(img, QPoint(9, 50)), 0u); // grid line
    EXPECT_EQ(BrowserPicker::at(img, QPoint(60, 130)), RGB(192, 192, 192));
    EXPECT_EQ(BrowserPicker::at(img, QPoint(4, 124)), 0u); // frame round the swatch
    EXPECT_EQ(BrowserPicker::at(img, QPoint(20, 134)), RGB(10, 20, 30));
    EXPECT_EQ(popup->MoreButton()->geometry(), QRect(ColorPopup::ToWidget(QPoint(167, 126)), QSize(16, 16)));
    // Some dark text right of (80, 127).
    bool text = false;
    for (int y = 127; y < 143 && !text; ++y) {
        for (int x = 80; x < 160; ++x)
            text = text || BrowserPicker::at(img, QPoint(x, y)) == 0u;
    }
    EXPECT_TRUE(text);
    SaveShot(img, "browser-colour-popup");
}

TEST(BrowserColorPicker, GridLinesClearTheHotCellBelowShowsTheInitialColour)
{
    BrowserPicker t;
    ColorPopup* popup = t.open();
    ASSERT_NE(popup, nullptr);
    QTest::mouseMove(popup, Picker::cellPoint(3, 2));
    EXPECT_EQ(popup->FocusCell(), 2 * 19 + 3);
    EXPECT_EQ(popup->HotColor(), popup->CellColorOf(2 * 19 + 3));
    // A grid line: no hot cell, the colour stays.
    QTest::mouseMove(popup, ColorPopup::ToWidget(QPoint(39, 24)));
    EXPECT_EQ(popup->FocusCell(), -1);
    EXPECT_EQ(popup->HotColor(), popup->CellColorOf(2 * 19 + 3));
    // Below the grid: the initial colour again.
    QTest::mouseMove(popup, ColorPopup::ToWidget(QPoint(60, 130)));
    EXPECT_EQ(popup->HotColor(), RGB(10, 20, 30));
    // The last cell is a colour here: a drag and release takes it.
    QTest::mouseMove(popup, Picker::cellPoint(18, 11));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, Picker::cellPoint(18, 11));
    EXPECT_EQ(t.button->GetColor(), RGB(255, 255, 255));
    EXPECT_EQ(t.commands, std::vector<int>{1077});
}

TEST(BrowserColorPicker, OutsideThePopupTheColourComesFromTheScreenOrStays)
{
    BrowserPicker t;
    ColorPopup* popup = t.open();
    ASSERT_NE(popup, nullptr);
    QTest::mouseMove(popup, Picker::cellPoint(5, 5));
    const COLORREF cell = popup->HotColor();
    const QPoint outside = ColorPopup::ToWidget(QPoint(250, 60));
    QTest::mouseMove(popup, outside);
    const COLORREF hot = popup->HotColor();
    EXPECT_EQ(popup->FocusCell(), -1);
    // Where the platform gives no screen pixels the colour stays.
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || screen->grabWindow(0, 0, 0, 1, 1).isNull()) {
        EXPECT_EQ(hot, cell);
    }
    QTest::mouseRelease(popup, Qt::LeftButton, {}, outside);
    EXPECT_EQ(t.button->GetColor(), hot);
}
