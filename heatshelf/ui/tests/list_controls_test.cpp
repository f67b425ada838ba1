// The result list's header, pixel scrolling and the category list.
#include "ui_test_support.h"

#include "heatshelf/header_ctrl_cl.h"
#include "heatshelf/scroll_list_ctrl.h"
#include "heatshelf/skin_list_ctrl.h"

#include "skin/scroll_codes.h"

#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

using heatshelf::CHeaderCtrlCl;
using heatshelf::CScrollListCtrl;
using heatshelf::CSkinListCtrl;

namespace {

// A list with the skinned header and three titled columns.
struct HeaderFixture {
    ThemeFixture theme{0};
    QTreeView view;
    QStandardItemModel model{2, 3};
    CHeaderCtrlCl* header = new CHeaderCtrlCl;
    HeaderFixture()
    {
        view.setModel(&model);
        view.setHeader(header);
        header->m_titles = {QStringLiteral("温度"), QStringLiteral("X"), QStringLiteral("Y")};
        header->setStretchLastSection(false);
        for (int i = 0; i < 3; ++i)
            header->resizeSection(i, 60);
        view.resize(300, 120);
        view.show();
    }
};

} // namespace

TEST(HeaderCtrl, RowsDarkenByTheStepAndStopAtZero)
{
    const COLORREF base = RGB(171, 199, 235);
    const std::vector<COLORREF> rows = CHeaderCtrlCl::ItemRows(20, base, 8, false);
    ASSERT_EQ(rows.size(), 21u); // top to bottom inclusive
    EXPECT_EQ(rows.front(), base);
    EXPECT_EQ(rows.back(), RGB(11, 39, 75)); // 160 darker
    const std::vector<COLORREF> floor = CHeaderCtrlCl::ItemRows(20, RGB(100, 170, 3), 8, false);
    EXPECT_EQ(floor.back(), RGB(0, 10, 0));
    EXPECT_EQ(floor[1], RGB(92, 162, 0));
    // Pressed: from base less height x step, lighter down to the base.
    const COLORREF start = RGB(171 - 160, 199 - 160, 235 - 160);
    const std::vector<COLORREF> pressed = CHeaderCtrlCl::ItemRows(20, start, 8, true);
    EXPECT_EQ(pressed.back(), base);
    EXPECT_EQ(pressed[10], RGB(91, 119, 155));
}

TEST(HeaderCtrl, PaintsTitlesOnGradientsAndFollowsTheMouse)
{
    HeaderFixture f;
    CHeaderCtrlCl& h = *f.header;
    h.SetColors(RGB(171, 199, 235), 4);
    const int height = h.height();
    ASSERT_GT(height, 4);
    QImage img = Grab(h);
    // Column 1 (not hot): base at the top, darker by 4 a row.
    EXPECT_EQ(PixelAt(img, 60 + 30, 0), RGB(171, 199, 235));
    EXPECT_EQ(PixelAt(img, 60 + 30, 3), RGB(159, 187, 223));
    // The 2-pixel edge at each column's left.
    EXPECT_EQ(PixelAt(img, 60, 0), f.theme.theme().SkinBase());
    EXPECT_EQ(PixelAt(img, 61, height - 1), f.theme.theme().SkinLight());
    // Past the last column: the plain strip.
    EXPECT_EQ(PixelAt(img, 250, 3), RGB(159, 187, 223));

    // Hover over column 1: it starts from the light shade.
    QTest::mouseMove(h.viewport(), QPoint(90, height / 2));
    EXPECT_EQ(h.GetHotItem(), 1);
    EXPECT_TRUE(h.IsHoverTimerActive());
    img = Grab(h);
    EXPECT_EQ(PixelAt(img, 90, 0), f.theme.theme().SkinLight());
    // Pressed: the column starts darker and lightens downwards.
    QTest::mousePress(h.viewport(), Qt::LeftButton, {}, QPoint(90, height / 2));
    EXPECT_EQ(h.GetPressedItem(), 1);
    img = Grab(h);
    const COLORREF top = PixelAt(img, 90, 0);
    const COLORREF below = PixelAt(img, 90, 5);
    EXPECT_EQ(top, RGB(std::max(171 - height * 4, 0), std::max(199 - height * 4, 0), std::max(235 - height * 4, 0)));
    EXPECT_GT(GetBValue(below), GetBValue(top));
    QTest::mouseRelease(h.viewport(), Qt::LeftButton, {}, QPoint(90, height / 2));
    EXPECT_EQ(h.GetPressedItem(), 1); // until a move with the button up

    // The timer sees the cursor outside: no hot column, timer stopped.
    h.CheckHover(h.mapToGlobal(QPoint(-50, -50)));
    EXPECT_EQ(h.GetHotItem(), -1);
    EXPECT_FALSE(h.IsHoverTimerActive());
    SaveShot(Grab(f.view), QStringLiteral("header"));
}

TEST(HeaderCtrl, WithoutColumnsTheWholeHeaderIsOneStrip)
{
    ThemeFixture theme(2);
    QStandardItemModel model(0, 0);
    CHeaderCtrlCl h;
    h.setModel(&model);
    h.resize(200, 20);
    h.show();
    const QImage img = Grab(h);
    EXPECT_EQ(PixelAt(img, 0, 0), theme.theme().SkinBase());
    EXPECT_EQ(PixelAt(img, 100, 0), CHeaderCtrlCl::kDefaultBase);
    EXPECT_EQ(PixelAt(img, 100, 2), RGB(171 - 16, 199 - 16, 235 - 16));
}

TEST(ScrollList, ThumbMovesScrollByContentOverRange)
{
    struct Case {
        int nMax, nPage, nPos, newPos, client, pixels;
    };
    const Case cases[] = {
        {99, 10, 0, 1, 200, 20},    // 100 lines, 10 a page: one position is one line
        {99, 10, 5, 3, 200, -40},   // back two lines
        {1999, 200, 0, 37, 200, 37}, // bars counting pixels
        {99, 0, 0, 10, 200, 20},    // no page: content = client
        {-1, 10, 0, 5, 200, 0},     // no range: nothing
    };
    for (const Case& c : cases) {
        CScrollListCtrl::ScrollInfo info;
        info.nMax = c.nMax;
        info.nPage = c.nPage;
        info.nPos = c.nPos;
        EXPECT_EQ(CScrollListCtrl::ThumbScrollPixels(info, c.newPos, c.client), c.pixels) << c.nMax << ' ' << c.newPos;
    }
}

TEST(ScrollList, ThumbCodesScrollByPixelsOthersAreLeftToTheBar)
{
    ThemeFixture theme(0);
    CScrollListCtrl list;
    list.setHeaderHidden(true);
    list.setColumnCount(1);
    for (int i = 0; i < 100; ++i)
        list.addTopLevelItem(new QTreeWidgetItem({QString::number(i)}));
    list.resize(200, 200);
    list.show();
    QApplication::processEvents();
    QScrollBar* v = list.verticalScrollBar();
    ASSERT_GT(v->maximum(), 0);
    const int h0 = list.horizontalScrollBar()->value();
    EXPECT_TRUE(list.ScrollCode(Qt::Vertical, SB_THUMBTRACK, 45));
    EXPECT_EQ(v->value(), 45);
    EXPECT_TRUE(list.ScrollCode(Qt::Vertical, SB_THUMBPOSITION, 30));
    EXPECT_EQ(v->value(), 30);
    EXPECT_EQ(list.horizontalScrollBar()->value(), h0);
    EXPECT_FALSE(list.ScrollCode(Qt::Vertical, SB_LINEDOWN, 0));
    EXPECT_EQ(v->value(), 30);
}

TEST(SkinList, BandsUnderItemsZeroToThree)
{
    ThemeFixture theme(0);
    CSkinListCtrl list;
    list.setHeaderHidden(true);
    list.setColumnCount(1);
    const QStringList labels = {QStringLiteral("点"), QStringLiteral("区域"), QStringLiteral("线"),
                                QStringLiteral("参数"), QStringLiteral("其他")};
    for (const QString& s : labels)
        list.addTopLevelItem(new QTreeWidgetItem({s}));
    list.setCurrentItem(list.topLevelItem(2));
    list.resize(200, 160);
    list.show();
    const QImage img = Grab(list);
    const heatshelf::Theme& t = theme.theme();
    for (int row = 0; row < 5; ++row) {
        const QRect r = list.visualItemRect(list.topLevelItem(row)).translated(list.viewport()->pos());
        const QPoint probe(r.left() + 17, r.top() + 1); // the band starts before the text
        const COLORREF c = PixelAt(img, probe.x(), probe.y());
        if (row == 2)
            EXPECT_EQ(c, t.SkinMid()) << row;
        else if (row < 4)
            EXPECT_EQ(c, t.SkinBase()) << row;
        else
            EXPECT_NE(c, t.SkinBase()) << row;
    }
    SaveShot(img, QStringLiteral("category-list"));
}
