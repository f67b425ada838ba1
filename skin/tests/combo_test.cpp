// The colour combo box and the flat combo box.
#include "test_support.h"

#include "skin/color_combo_box.h"
#include "skin/colors.h"
#include "skin/flat_combo_box.h"
#include "skin/gradient.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyleOptionViewItem>

#include <gtest/gtest.h>

TEST(ColorCombo, FillsSelectsAndRefusesDuplicates)
{
    auto s = MakeSkin(0);
    CColorComboBox combo;
    combo.InitDefaultColors();
    ASSERT_EQ(combo.count(), 15);
    EXPECT_EQ(combo.currentText(), QStringLiteral("White")); // the member colour 0xFFFFFF
    EXPECT_EQ(combo.ItemColor(0), 0xFEFEFEu);
    EXPECT_EQ(combo.AddColor(0x00FF00, QStringLiteral("Again")), -1);
    EXPECT_EQ(combo.count(), 15);
    EXPECT_EQ(combo.AddColor(RGB(1, 2, 3), QStringLiteral("Mine")), 15);
    combo.SelectColor(0x800080);
    EXPECT_EQ(combo.currentText(), QStringLiteral("Dark Magenta"));
    EXPECT_EQ(combo.GetSelectedColor(), 0x800080u);
    // A colour the table lacks selects "NULL", also when the list holds it.
    combo.SelectColor(RGB(1, 2, 3));
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(combo.m_color, 0xFEFEFEu);
    CColorComboBox empty;
    EXPECT_TRUE(empty.IsColorNew(0));
    combo.resize(160, 22);
    SaveShot(combo.grab().toImage(), "colorcombo");
    combo.setEnabled(false);
    SaveShot(combo.grab().toImage(), "colorcombo-disabled");
}

TEST(FlatCombo, BorderStatesAndPerControlHover)
{
    for (int style : {0, 6}) {
        auto s = MakeSkin(style);
        QWidget parent;
        parent.resize(400, 100);
        auto* a = new CFlatComboBox(&parent);
        auto* b = new CFlatComboBox(&parent);
        a->addItem(QStringLiteral("宋体"));
        b->addItem(QStringLiteral("10"));
        a->setGeometry(10, 10, 120, 22);
        b->setGeometry(200, 10, 120, 22);
        parent.show();
        QApplication::processEvents();
        auto drawn = [](CFlatComboBox* c, int state) {
            QImage img(c->size(), QImage::Format_RGB32);
            img.fill(Qt::magenta);
            QPainter p(&img);
            c->DrawBorder(p, state);
            return img;
        };
        struct Case {
            int state;
            COLORREF frame;
            COLORREF buttonTop;
            COLORREF buttonEnd;
        } cases[] = {{1, s->Shade(6), s->Shade(2), s->Shade(1)},
                     {2, s->Shade(1), s->Shade(2), s->Shade(1)},
                     {4, s->Shade(1), s->Shade(1), s->Shade(2)}};
        const int bx = a->width() - 1 - CFlatComboBox::GetDropButtonWidth();
        for (const Case& c : cases) {
            const QImage img = drawn(a, c.state);
            EXPECT_EQ(skin::FromQRgb(img.pixel(5, 1)), c.frame) << c.state;
            // Row 1 is the frame; row 2 the gradient's second line.
            EXPECT_EQ(skin::FromQRgb(img.pixel(bx + 3, 2)), skin::GradientRectLines(a->height() - 2, c.buttonTop,
                                                                                 c.buttonEnd)[1])
                << c.state;
            EXPECT_EQ(img.pixel(0, 0), QColor(Qt::magenta).rgb());
            SaveShot(img, qPrintable(QStringLiteral("flatcombo-style%1-state%2").arg(style).arg(c.state)));
        }
        EXPECT_EQ(drawn(a, 3).pixel(5, 1), QColor(Qt::magenta).rgb()); // no such state
        // Disabled: shade 6 to 2 and a grey arrow whatever is asked.
        a->setEnabled(false);
        const QImage off = drawn(a, 3);
        EXPECT_EQ(skin::FromQRgb(off.pixel(5, 1)), s->Shade(6));
        EXPECT_EQ(skin::FromQRgb(off.pixel(bx + 3, 2)), skin::GradientRectLines(a->height() - 2, s->Shade(6), s->Shade(2))[1]);
        const int mx = bx + CFlatComboBox::GetDropButtonWidth() / 2, my = 1 + (a->height() - 2) / 2;
        EXPECT_EQ(off.pixel(mx - 3, my - 1), qRgb(0xC0, 0xC0, 0xC0));
        SaveShot(off, qPrintable(QStringLiteral("flatcombo-style%1-disabled").arg(style)));
        a->setEnabled(true);

        // Hover: each control keeps its own.
        a->TrackHover(a->mapToGlobal(QPoint(5, 5)));
        EXPECT_EQ(a->GetBorderState(), CFlatComboBox::kHover);
        b->TrackHover(b->mapToGlobal(QPoint(5, 5)));
        EXPECT_EQ(b->GetBorderState(), CFlatComboBox::kHover);
        a->TrackHover(a->mapToGlobal(QPoint(-50, 5)));
        EXPECT_EQ(a->GetBorderState(), CFlatComboBox::kNormal);
        EXPECT_FALSE(a->IsHoverTimerActive());
        EXPECT_EQ(b->GetBorderState(), CFlatComboBox::kHover);
    }
}

// The skinned style draws a combo box's popup list as menu items; each item
// shows its text, none is taken for a separator.
TEST(FlatCombo, PopupItemsShowTheirText)
{
    auto s = MakeSkin(0);
    CFlatComboBox combo;
    for (const char* text : {"Pallette1", "Pallette2"})
        combo.addItem(QString::fromLatin1(text));
    combo.resize(120, 22);
    QAbstractItemView* list = combo.view();
    for (int row = 0; row < combo.count(); ++row) {
        QStyleOptionViewItem opt;
        opt.initFrom(list);
        opt.rect = QRect(QPoint(0, 0), list->itemDelegate()->sizeHint(opt, combo.model()->index(row, 0)));
        opt.rect.setWidth(120);
        QImage image(opt.rect.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            list->itemDelegate()->paint(&p, opt, combo.model()->index(row, 0));
        }
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 80 ? 1 : 0;
        EXPECT_GT(dark, 20) << "row " << row << ": no text drawn";
        EXPECT_GE(opt.rect.height(), 15) << "row " << row << ": a separator's height";
    }
}
