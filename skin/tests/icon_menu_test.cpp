// Icon menus: conversion records, toolbar images by command id, measuring,
// and the skin style drawing a real menu.
#include "test_support.h"

#include "skin/colors.h"
#include "skin/icon_menu.h"
#include "skin/skin_resources.h"
#include "skin/skin_style.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A toolbar strip: one coloured image per button on a grey background.
void registerBar(int id, std::vector<int> commands, int n)
{
    skin::ToolBarResource res;
    res.id = id;
    res.commands = std::move(commands);
    QImage strip(16 * n, 16, QImage::Format_RGB32);
    strip.fill(qRgb(192, 192, 192));
    for (int i = 0; i < n; ++i)
        strip.setPixel(16 * i + 8, 7, qRgb(10 * i, 0, 0));
    res.bitmap = strip;
    skin::RegisterToolBar(res);
}

QAction* command(QMenu* menu, int id, const QString& text)
{
    QAction* a = menu->addAction(text);
    a->setData(id);
    return a;
}

} // namespace

TEST(IconMenu, ConvertsAMenuBarWithItsPopups)
{
    EnsureQApplication();
    QMenuBar bar;
    for (int m = 0; m < 3; ++m) {
        QMenu* menu = bar.addMenu(QStringLiteral("M%1").arg(m));
        command(menu, 100 + m, QStringLiteral("a"));
        menu->addSeparator();
        QMenu* sub = menu->addMenu(QStringLiteral("sub"));
        command(sub, 200 + m, QStringLiteral("b"));
    }
    CIconMenu icons;
    EXPECT_EQ(icons.LoadMenu(&bar, 0, 16, 15), 1);
    std::vector<int> ids;
    for (const IconMenuItem& item : icons.GetItems())
        ids.push_back(item.id);
    const std::vector<int> one = {-2, 100, 0, -1, 200};
    ASSERT_EQ(ids.size(), 15u);
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + 5), one);
    EXPECT_EQ(ids[5], -2);
    EXPECT_EQ(CIconMenu::ForWidget(&bar), &icons);
    EXPECT_EQ(CIconMenu::ForWidget(bar.actions()[0]->menu()), &icons);
    EXPECT_FALSE(icons.ConvertMenu(&bar, true, &ids));
    EXPECT_TRUE(icons.ConvertMenu(nullptr, true));
    icons.FreeItems();
    EXPECT_EQ(CIconMenu::ForWidget(&bar), nullptr);
}

TEST(IconMenu, ImagesBelongToTheNonSeparatorButtonsInOrder)
{
    EnsureQApplication();
    registerBar(9001, {11, 0, 12, 13, 0, 14}, 4);
    registerBar(9002, {}, 1);
    std::vector<QPixmap> images;
    std::vector<int> ids;
    EXPECT_EQ(CIconMenu::LoadToolBarImageList(9001, 16, 15, &images, &ids), 4);
    EXPECT_EQ(ids, (std::vector<int>{11, 12, 13, 14}));
    ASSERT_EQ(images.size(), 4u);
    const QImage third = images[2].toImage();
    EXPECT_EQ(qAlpha(third.pixel(1, 1)), 0); // the background is left out
    EXPECT_EQ(third.pixel(8, 7), qRgb(20, 0, 0));
    for (int bad : {0, 9002, 9999})
        EXPECT_EQ(CIconMenu::LoadToolBarImageList(bad, 16, 15, &images, &ids), -1) << bad;
    EXPECT_EQ(CIconMenu::LoadToolBarImageList(9001, 16, 15, nullptr, &ids), -1);

    CIconMenu icons;
    QMenu menu;
    icons.LoadMenu(&menu, 9001, 16, 15);
    EXPECT_EQ(icons.FindImageIndex(13), 2);
    EXPECT_EQ(icons.LoadToolBarImages(9001, 16, 15), 4);
    EXPECT_EQ(icons.FindImageIndex(13), 2); // the first equal entry
    EXPECT_EQ(icons.GetImageCount(), 8);
    EXPECT_EQ(icons.FindImageIndex(99), -1);
}

TEST(IconMenu, Measuring)
{
    EnsureQApplication();
    CIconMenu icons;
    QMenu menu;
    icons.LoadMenu(&menu, 0, 16, 15);
    EXPECT_EQ(icons.MeasureItem({QString(), 5}), QSize(50, 25));
    EXPECT_EQ(icons.MeasureItem({QStringLiteral("x"), 0}), QSize(50, 5));
    const QSize text = icons.MeasureItem({QStringLiteral("打开(&O)..."), 5});
    EXPECT_GT(text.width(), 16 + 10);
    EXPECT_EQ(icons.MeasureItem({QStringLiteral("打开(&O)..."), -2}).width(), text.width() - 16 - 10 - 6);
}

TEST(IconMenu, StyleDrawsItemsAndTheFlatBorder)
{
    auto skin0 = MakeSkin(0);
    skin::InstallMenuBorderHook();
    registerBar(9003, {21, 22}, 2);
    QMenu menu;
    command(menu.addMenu(QStringLiteral("子菜单")), 23, QStringLiteral("c"));
    command(&menu, 21, QStringLiteral("新建(&N)\tCtrl+N"));
    menu.addSeparator();
    QAction* checked = command(&menu, 30, QStringLiteral("选中"));
    checked->setCheckable(true);
    checked->setChecked(true);
    command(&menu, 31, QStringLiteral("灰色"))->setEnabled(false);
    // A pop-up of its own: converted below the top level, images added.
    CIconMenu icons;
    icons.SetImageSize(16, 15);
    icons.LoadToolBarImages(9003, 16, 15);
    icons.ConvertMenu(&menu, false);
    ASSERT_EQ(icons.GetItems().front().id, CIconMenu::kNestedPopupId);
    menu.setActiveAction(menu.actions()[1]);
    const QImage shot = menu.grab().toImage();
    SaveShot(shot, "menu-style0");
    // One-pixel border in shade 1; item background light, icon band from light.
    EXPECT_EQ(skin::FromQRgb(shot.pixel(0, 10)), skin0->m_clrSkinBase);
    EXPECT_EQ(skin::FromQRgb(shot.pixel(shot.width() - 1, 10)), skin0->m_clrSkinBase);
    EXPECT_EQ(skin::FromQRgb(shot.pixel(shot.width() - 4, 1 + 3 * 25 + 5 + 12)), skin0->m_clrSkinLight);
    EXPECT_EQ(skin::RemoveMenuBorderHook(), 1);
    EXPECT_FALSE(skin::MenuBorderInstalled());
}

TEST(IconMenu, ItemsShowTheTextTheyHaveNow)
{
    auto skin0 = MakeSkin(0);
    // A menu converted with one text for its first item, which is then
    // renamed (as the recent-file entries are).
    const auto shot = [](const QString& converted, const QString& now) {
        QMenu menu;
        QAction* a = command(&menu, 40, converted);
        command(&menu, 41, QStringLiteral("退出(&X)"));
        CIconMenu icons;
        icons.ConvertMenu(&menu, false);
        a->setText(now);
        return menu.grab().toImage();
    };
    const QString entry = QStringLiteral("&1 /r/plant.rpt");
    EXPECT_EQ(shot(QStringLiteral("最近文件"), entry), shot(entry, entry));
}
