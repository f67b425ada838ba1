// The shared skinned controls in the browser's look: toolbar images and
// faces, status bar, flat combo box and menu items.
#include "ui_test_support.h"

#include "skin/color_status_bar.h"
#include "skin/colors.h"
#include "skin/flat_combo_box.h"
#include "skin/gradient.h"
#include "skin/icon_menu.h"
#include "skin/skin_resources.h"
#include "skin/tool_bar_ex.h"
#include "skin/tool_bar_images.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QPaintEvent>
#include <QMainWindow>
#include <QPainter>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

constexpr int kBrowserBar = 128;
constexpr QRgb kCorner = 0xFF00C0C0; // the strip's background, not grey

// Three 16 x 15 images on a strip one pixel higher; image 0 holds the
// colours the bright list saturates, image 2 a pixel of the corner colour.
QImage browserStrip()
{
    QImage strip(48, 16, QImage::Format_RGB32);
    strip.fill(kCorner);
    for (int y = 2; y < 13; ++y) {
        for (int x = 2; x < 14; ++x) {
            strip.setPixel(x, y, qRgb(240, 201, 100));
            strip.setPixel(16 + x, y, qRgb(10, 20, 30));
            strip.setPixel(32 + x, y, qRgb(200, 0, 0));
        }
    }
    strip.setPixel(32 + 8, 8, kCorner);
    return strip;
}

struct ToolBarFixture {
    ThemeFixture theme{0};
    QMainWindow window;
    CToolBarEx* bar = new CToolBarEx;
    ToolBarFixture()
    {
        skin::ToolBarResource res;
        res.id = kBrowserBar;
        res.commands = {1006, skin::kSeparator, 1004, 1005};
        res.bitmap = browserStrip();
        skin::RegisterToolBar(res);
        window.addToolBar(Qt::TopToolBarArea, bar);
        EXPECT_TRUE(bar->LoadToolBarEx(kBrowserBar));
        bar->SetBackground(theme.theme().SkinLight(), theme.theme().SkinBase());
        window.resize(300, 120);
        window.show();
    }
    QImage image(int list, int i) const { return bar->GetImageList(list).images[std::size_t(i)].toImage(); }
};

} // namespace

TEST(BrowserToolBar, BrightDisabledAndSeeThroughImages)
{
    ToolBarFixture f;
    ASSERT_EQ(f.bar->GetImageSize(), QSize(16, 15));
    // Bright: red 240 and green 201 reach 255, blue + 15.
    EXPECT_EQ(f.image(2, 0).pixel(5, 5), qRgb(255, 255, 115));
    EXPECT_EQ(f.image(2, 1).pixel(5, 5), qRgb(25, 75, 45));
    // Disabled: grey 128 + ((r + b) x 0.2 + g x 0.4) / 2 over a 0xFAFAFA
    // shadow one pixel down and right.
    const QImage disabled = f.image(1, 1);
    const int grey = 128 + int((10 + 30) * 0.2 + 20 * 0.4) / 2;
    EXPECT_EQ(disabled.pixel(5, 5), qRgb(grey, grey, grey));
    EXPECT_EQ(disabled.pixel(14, 13), qRgb(0xFA, 0xFA, 0xFA));
    EXPECT_EQ(qAlpha(disabled.pixel(14, 1)), 0);
    // The corner colour is see-through in every list, inside images too.
    // (The disabled image's shadow may fall on such a pixel.)
    for (int list = 0; list < 3; ++list) {
        if (list != 1) {
            EXPECT_EQ(qAlpha(f.image(list, 2).pixel(8, 8)), 0) << list;
        }
        EXPECT_EQ(qAlpha(f.image(list, 0).pixel(0, 0)), 0) << list;
    }
    EXPECT_EQ(f.image(1, 2).pixel(8, 8), qRgb(0xFA, 0xFA, 0xFA));
}

TEST(BrowserToolBar, FacesBackgroundAndBorder)
{
    ToolBarFixture f;
    const heatshelf::Theme& t = f.theme.theme();
    QToolButton* b = f.bar->GetButton(1004);
    ASSERT_NE(b, nullptr);
    QImage img = Grab(*f.bar);
    // The border: mid shade outside, the first colour inside it.
    EXPECT_EQ(PixelAt(img, img.width() / 2, 0), t.SkinMid());
    EXPECT_EQ(PixelAt(img, img.width() / 2, 1), t.SkinLight());
    // The background: the menus' integer blend from light to base by rows.
    const std::vector<COLORREF> rows = skin::GradientBarLines(img.height(), t.SkinLight(), t.SkinBase());
    const QPoint gap = b->geometry().topRight() + QPoint(3, 0);
    const int y = img.height() / 2;
    if (gap.x() < img.width() - 2 && !f.bar->childAt(gap.x(), y)) {
        EXPECT_EQ(PixelAt(img, gap.x(), y), rows[std::size_t(y)]);
    }

    // No hot button with the mouse outside, even when one was set.
    f.bar->SetHotIndex(2);
    QCursor::setPos(QPoint(5000, 5000));
    img = Grab(*f.bar);
    EXPECT_EQ(f.bar->GetHotIndex(), -1);
    EXPECT_NE(PixelAt(img, b->geometry().left(), b->geometry().top() + 5), t.SkinDark());

    // Checked: highlight to white by rows, framed dark, the bright image.
    QAction* a = b->defaultAction();
    a->setCheckable(true);
    a->setChecked(true);
    img = Grab(*f.bar);
    const QPoint o = b->geometry().topLeft();
    const std::vector<COLORREF> face = skin::GradientBarLines(b->height(), t.SkinHighlight(), t.SkinWhite());
    EXPECT_EQ(PixelAt(img, o.x() + 1, o.y() + 1), face[1]);
    EXPECT_EQ(PixelAt(img, o.x(), o.y() + 5), t.SkinDark());
    EXPECT_EQ(img.pixel(o + QPoint(4 + 5, 3 + 5)) | 0xFF000000u, f.image(2, 1).pixel(5, 5));
    SaveShot(img, QStringLiteral("toolbar-checked"));
    // Edit and list controls on the bar: light blue with blue text.
    EXPECT_EQ(skin::FromQRgb(f.bar->palette().color(QPalette::Base).rgb()), 0xE6C5BCu);
    EXPECT_EQ(skin::FromQRgb(f.bar->palette().color(QPalette::Text).rgb()), 0xFF0000u);
}

TEST(BrowserToolBar, AMovedBarRepaintsTheAreaItLeft)
{
    ThemeFixture theme(0);
    QWidget parent;
    parent.resize(400, 200);
    struct Counting : QWidget {
        using QWidget::QWidget;
        QRegion painted;
        void paintEvent(QPaintEvent* e) override { painted += e->region(); }
    };
    auto* sibling = new Counting(&parent);
    sibling->setGeometry(0, 0, 400, 200);
    auto* bar = new CToolBarEx(&parent);
    bar->setGeometry(10, 10, 100, 30);
    parent.show();
    QApplication::processEvents();
    sibling->painted = QRegion();
    bar->move(200, 100);
    QApplication::processEvents();
    EXPECT_TRUE(sibling->painted.contains(QPoint(15, 15)));
}

TEST(BrowserStatusBar, GripPanesAndDisabledIndicators)
{
    ThemeFixture theme(0);
    const heatshelf::Theme& t = theme.theme();
    CColorStatusBar bar;
    const int ids[] = {0, 59137, 59138, 59139};
    const auto text = [](int id) {
        switch (id) {
        case 0: return QStringLiteral("就绪");
        case 59137: return QStringLiteral("CAP");
        case 59138: return QStringLiteral("NUM");
        default: return QStringLiteral("SCRL");
        }
    };
    ASSERT_TRUE(bar.SetIndicators(ids, 4, text));
    for (int i = 1; i < 4; ++i)
        bar.SetPaneStyle(i, SBPS_DISABLED);
    bar.resize(500, 24);
    bar.show();
    const QImage img = Grab(bar);
    const int r = bar.width();
    const int b = bar.height();
    // The erase: base then light along the top.
    EXPECT_EQ(PixelAt(img, 100, 0), t.SkinBase());
    EXPECT_EQ(PixelAt(img, 100, 1), t.SkinLight());
    // Grip squares: dark top left, light bottom right, mid inside.
    for (const QPoint c : {QPoint(r - 5, b - 5), QPoint(r - 10, b - 10), QPoint(r - 15, b - 5), QPoint(r - 5, b - 15)}) {
        EXPECT_EQ(PixelAt(img, c.x(), c.y()), t.SkinDark()) << c.x() << ',' << c.y();
        EXPECT_EQ(PixelAt(img, c.x() + 2, c.y() + 2), t.SkinLight());
    }
    // Pane 3 is pane 2's width + 4, ending in its separator.
    const QRect p2 = bar.GetItemRect(2);
    const QRect p3 = bar.GetItemRect(3);
    const int end = p3.left() + p2.width() + 4;
    EXPECT_EQ(PixelAt(img, end - 2, p3.top()), t.SkinBase());
    EXPECT_EQ(PixelAt(img, end - 1, p3.bottom()), t.SkinLight());
    // A disabled pane: background and separator, no text.
    for (int x = p2.left(); x < p2.left() + p2.width() - 2; ++x) {
        for (int y = p2.top(); y <= p2.bottom(); ++y)
            ASSERT_EQ(PixelAt(img, x, y), t.SkinMid()) << x << ',' << y;
    }
    // The message pane has its text.
    bool text0 = false;
    const QRect p0 = bar.GetItemRect(0);
    for (int x = p0.left(); x < p0.left() + 40 && !text0; ++x) {
        for (int y = p0.top(); y <= p0.bottom(); ++y)
            text0 = text0 || PixelAt(img, x, y) != t.SkinMid();
    }
    EXPECT_TRUE(text0);
    // The start-up brush stays after a theme change.
    const COLORREF brush = bar.GetBackBrush();
    theme.theme().OnTheme(heatshelf::Theme::kFirstThemeCommand + 3);
    EXPECT_EQ(bar.GetBackBrush(), brush);
    SaveShot(Grab(bar), QStringLiteral("status-bar"));
}

TEST(BrowserFlatCombo, StatesDisabledLookAndBrushes)
{
    ThemeFixture theme(0);
    heatshelf::Theme& t = theme.theme();
    CFlatComboBox combo;
    combo.addItems({QStringLiteral("铁红"), QStringLiteral("彩虹")});
    combo.resize(120, 22);
    combo.show();
    const int bw = CFlatComboBox::GetDropButtonWidth();
    auto paint = [&](int state) {
        QImage img(combo.size(), QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        combo.DrawBorder(p, state);
        return img;
    };
    struct Case {
        int state;
        COLORREF frame, top, bottom;
    };
    const Case cases[] = {
        {CFlatComboBox::kNormal, t.SkinWhite(), t.SkinLight(), t.SkinBase()},
        {CFlatComboBox::kHover, t.SkinBase(), t.SkinLight(), t.SkinBase()},
        {CFlatComboBox::kPressed, t.SkinBase(), t.SkinBase(), t.SkinLight()},
    };
    const int bl = combo.width() - 1 - bw;
    const int h = combo.height() - 2;
    for (const Case& c : cases) {
        const QImage img = paint(c.state);
        const std::vector<COLORREF> rows = skin::GradientBarLines(h, c.top, c.bottom);
        EXPECT_EQ(PixelAt(img, 1, 1), c.frame) << c.state;
        EXPECT_EQ(PixelAt(img, 3, 4), t.SkinMid()) << c.state;
        EXPECT_EQ(PixelAt(img, bl, 5), c.frame) << c.state;
        EXPECT_EQ(PixelAt(img, bl + 2, 1 + 2), rows[2]) << c.state;
    }
    // Other states draw nothing on an enabled control.
    EXPECT_EQ(PixelAt(paint(8), 1, 1), 0u);

    combo.setEnabled(false);
    const QImage off = paint(8);
    EXPECT_EQ(PixelAt(off, 1, 1), t.SkinWhite());
    EXPECT_EQ(PixelAt(off, 3, 4), t.SkinLight());
    bool greyText = false;
    bool greyArrow = false;
    for (int y = 0; y < off.height(); ++y) {
        for (int x = 0; x < off.width(); ++x) {
            const COLORREF c = PixelAt(off, x, y);
            // The arrow exactly; the smoothed text between grey and the light shade.
            if (x >= bl && c == RGB(192, 192, 192))
                greyArrow = true;
            const COLORREF light = t.SkinLight();
            const auto between = [](int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); };
            if (x < bl && x > 2 && c != light && between(GetRValue(c), 192, GetRValue(light)) &&
                between(GetGValue(c), 192, GetGValue(light)) && between(GetBValue(c), 192, GetBValue(light)))
                greyText = true;
            if (x < bl && x > 2 && y > 1 && y < off.height() - 2 && GetRValue(c) < 150)
                ADD_FAILURE() << "dark text pixel at " << x << ',' << y;
        }
    }
    EXPECT_TRUE(greyText);
    EXPECT_TRUE(greyArrow);
    SaveShot(Grab(combo), QStringLiteral("flat-combo-disabled"));

    // New brushes after a theme change.
    combo.setEnabled(true);
    t.OnTheme(heatshelf::Theme::kFirstThemeCommand + 2);
    EXPECT_NE(combo.GetMidBrush(), t.SkinMid());
    combo.RecreateBrushes();
    EXPECT_EQ(combo.GetMidBrush(), t.SkinMid());
    EXPECT_EQ(combo.GetLightBrush(), t.SkinLight());
    EXPECT_EQ(skin::FromQRgb(combo.view()->palette().color(QPalette::Base).rgb()), t.SkinMid());
}

TEST(BrowserMenu, GrayedTextAndIconColumn)
{
    ThemeFixture theme(0);
    const heatshelf::Theme& t = theme.theme();
    CIconMenu menu;
    menu.SetImageSize(16, 15);
    MenuItemPaint item;
    item.rect = QRect(0, 0, 160, 23);
    item.item = {QStringLiteral("打开文件夹"), 1006};
    item.grayed = true;
    QImage img(160, 23, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        menu.DrawItem(p, item, t.State());
    }
    bool grayed = false;
    for (int y = 0; y < 23; ++y) {
        for (int x = 30; x < 160; ++x)
            grayed = grayed || PixelAt(img, x, y) == RGB(132, 184, 235);
    }
    EXPECT_TRUE(grayed);
    // The icon column: the integer blend from light to base by columns.
    const int column = 16 + 5; // image width + 5: the layout has no margin
    const std::vector<COLORREF> lines = skin::GradientBarLines(column, t.SkinLight(), t.SkinBase());
    EXPECT_EQ(PixelAt(img, 3, 1), lines[3]);
    SaveShot(img, QStringLiteral("menu-item-grayed"));
}
