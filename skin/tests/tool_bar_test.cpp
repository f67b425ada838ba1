// The skinned toolbar on a fixture strip: loading, image lists, kinds,
// colour buttons, hover, drop-downs and docking down the side.
#include "test_support.h"

#include "skin/color_picker_button.h"
#include "skin/color_status_bar.h"
#include "skin/colors.h"
#include "skin/command_icons.h"
#include "skin/flat_combo_box.h"
#include "skin/gradient.h"
#include "skin/skin_resources.h"
#include "skin/tool_bar_ex.h"
#include "skin/tool_bar_images.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kBar = 9101;
constexpr int S = skin::kSeparator;
constexpr QRgb kSee = 0xFFC0C0C0;

// Eight 16 x 15 images on a grey strip one pixel higher: channel values
// around every rounding edge of the formulas, some see-through pixels, and
// drawn pixels in the last column so shadows cross into the next image.
QImage fixtureStrip(int images = 8)
{
    QImage strip(16 * images, 16, QImage::Format_RGB32);
    strip.fill(kSee);
    const int levels[] = {0, 1, 15, 199, 200, 201, 239, 240, 241, 254, 255, 128, 77, 33};
    int k = 0;
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            if ((x * 7 + y * 3) % 5 == 0 || x % 16 == 0)
                continue; // see-through
            const int r = levels[k % 14];
            const int g = levels[(k / 3) % 14];
            const int b = levels[(k / 7) % 14];
            strip.setPixel(x, y, qRgb(r, g, b));
            ++k;
        }
    }
    strip.setPixel(0, 0, kSee);
    strip.setPixel(1, 1, kSee);
    return strip;
}

void registerBar(int id, std::vector<int> commands, QImage strip)
{
    skin::ToolBarResource res;
    res.id = id;
    res.commands = std::move(commands);
    res.bitmap = std::move(strip);
    skin::RegisterToolBar(res);
}

class ToolBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        skinState = MakeSkin(0);
        registerBar(kBar, {1001, S, 1002, 1003, S, 114, 32981, 32982, 1004, 1005}, fixtureStrip());
        windowOwner = std::make_unique<QMainWindow>();
        bar = new CToolBarEx;
        windowOwner->addToolBar(Qt::TopToolBarArea, bar);
        ASSERT_TRUE(bar->LoadToolBarEx(kBar));
        bar->SetBackground(skinState->m_clrSkinBase, skinState->m_clrSkinLight);
    }
    void TearDown() override { skin::SetPopupMenuProvider({}); }

    QToolButton* button(int command) const { return bar->GetButton(command); }
    // A pixel of the bar as painted, at a point of a button.
    QRgb pixelOf(QToolButton* b, QPoint at)
    {
        const QImage img = bar->grab().toImage();
        return img.pixel(b->geometry().topLeft() + at) | 0xFF000000u;
    }

    std::unique_ptr<skin::SkinState> skinState;
    std::unique_ptr<QMainWindow> windowOwner;
    CToolBarEx* bar = nullptr;
};

TEST_F(ToolBarTest, LoadsSizesSeparatorsAndKinds)
{
    EXPECT_EQ(bar->GetButtonCount(), 10);
    EXPECT_EQ(bar->GetSeparatorCount(), 2);
    EXPECT_EQ(bar->GetImageCount(), 8);
    EXPECT_EQ(bar->GetImageSize(), QSize(16, 15));
    EXPECT_EQ(bar->GetButtonSize(), QSize(23, 22));
    EXPECT_TRUE(bar->IsSeparator(1));
    EXPECT_FALSE(bar->IsSeparator(2));
    for (int i = 0; i < bar->GetButtonCount(); ++i)
        EXPECT_EQ(bar->GetButtonKind(i), kButtonPlain) << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bar->GetImageList(i).GetImageCount(), 8) << i;

    windowOwner->resize(900, 200);
    windowOwner->show();
    QTest::qWait(0);
    EXPECT_EQ(button(1004)->size(), QSize(23, 22));
    EXPECT_TRUE(bar->SetDropDownButton(1004, 0));
    EXPECT_FALSE(bar->SetDropDownButton(4242, 1));
    QTest::qWait(0);
    // A shown button widens by its arrow zone.
    EXPECT_EQ(button(1004)->size(), QSize(23 + CToolBarEx::kArrowZone, 22));
    for (int id : {114, 32981, 32982, 1005})
        EXPECT_TRUE(bar->AddButtonCtrl(id)) << id;
    ASSERT_NE(bar->AddComboCtrl(1002, 120, 200), nullptr);
    EXPECT_EQ(bar->AddComboCtrl(1002, 120, 200), nullptr); // once
    const int kinds[] = {kButtonPlain, kButtonPlain, kButtonControl, kButtonPlain, kButtonPlain,
                         kButtonColor, kButtonColor, kButtonColor, kButtonDropDown, kButtonColor};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(bar->GetButtonKind(i), kinds[i]) << i;
    EXPECT_EQ(bar->GetButton(1002), nullptr);
    ASSERT_NE(bar->GetCombo(1002), nullptr);
    EXPECT_EQ(bar->GetCombo(1002)->objectName(), QStringLiteral("1002"));
    EXPECT_EQ(bar->GetDropDowns().size(), 5u);
    EXPECT_EQ(bar->GetDropDowns()[0].kind, 3u);
    EXPECT_EQ(bar->GetDropDowns()[1].menuId, 0u);
    // Drop-down buttons are wider by their arrow zone.
    EXPECT_EQ(bar->ButtonSizeHint(button(114)), QSize(23 + CToolBarEx::kArrowZone, 22));
    EXPECT_EQ(bar->ButtonSizeHint(button(1001)), QSize(23, 22));

    // Kinds by index only inside the bar.
    bar->SetButtonKind(-1, kButtonColor);
    bar->SetButtonKind(10, kButtonColor);
    bar->SetButtonKind(3, kButtonDropDown);
    EXPECT_EQ(bar->GetButtonKind(3), kButtonDropDown);
    EXPECT_EQ(bar->GetButtonKind(10), kButtonPlain);
}

TEST_F(ToolBarTest, ImageSizeComesFromTheStrip)
{
    // 130 / 8 images: 16 wide; a strip 21 high: 20 high; buttons 7 larger.
    registerBar(9102, {1, 2, 3, S, 4, 5, 6, 7, 8}, QImage(130, 21, QImage::Format_RGB32));
    ASSERT_TRUE(bar->LoadToolBarEx(9102));
    EXPECT_EQ(bar->GetImageSize(), QSize(16, 20));
    EXPECT_EQ(bar->GetButtonSize(), QSize(23, 27));
    EXPECT_EQ(bar->GetButtonCount(), 9);
}

TEST_F(ToolBarTest, BadResourcesLeaveTheBarAsItWas)
{
    registerBar(9103, {S, S}, fixtureStrip(1));
    registerBar(9104, {1, 2}, QImage());
    registerBar(9105, {1, 2}, QImage(32, 1, QImage::Format_RGB32));
    registerBar(9106, {1, 2, 3}, QImage(2, 16, QImage::Format_RGB32));
    for (int id : {4711, 9103, 9104, 9105, 9106}) {
        EXPECT_FALSE(bar->LoadToolBarEx(id)) << id;
        EXPECT_EQ(bar->GetResourceId(), kBar) << id;
        EXPECT_EQ(bar->GetButtonCount(), 10) << id;
    }
}

TEST_F(ToolBarTest, DisabledAndHotImagesMatchTheReference)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage strip = fixtureStrip();
    ASSERT_TRUE(strip.save(dir.filePath(QStringLiteral("strip.png"))));
    QProcess ref;
    ref.start(QStringLiteral(SKIN_TEST_PYTHON),
              {QStringLiteral(SKIN_TEST_SCRIPTS "/toolbar_images_ref.py"), dir.filePath(QStringLiteral("strip.png")),
               dir.filePath(QStringLiteral("disabled.png")), dir.filePath(QStringLiteral("hot.png"))});
    ASSERT_TRUE(ref.waitForFinished(60000));
    ASSERT_EQ(ref.exitCode(), 0) << ref.readAllStandardError().toStdString();
    const QImage disabled(dir.filePath(QStringLiteral("disabled.png")));
    const QImage hot(dir.filePath(QStringLiteral("hot.png")));
    ASSERT_EQ(disabled.size(), strip.size());

    auto compare = [&](const QImage& mine, const QImage& theirs, const char* what) {
        int wrong = 0;
        for (int y = 0; y < strip.height(); ++y) {
            for (int x = 0; x < strip.width(); ++x) {
                if ((mine.pixel(x, y) | 0xFF000000u) != (theirs.pixel(x, y) | 0xFF000000u) && wrong++ < 5)
                    ADD_FAILURE() << what << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(wrong, 0) << what;
    };
    compare(skin::DisabledToolBarStrip(strip), disabled, "disabled");
    compare(skin::HotToolBarStrip(strip), hot, "hot");

    // The bar's lists are those strips cut in images, see-through where the
    // strip's corner colour is.
    const QImage cut = bar->GetImageList(1).images[3].toImage();
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb want = disabled.pixel(48 + x, y) | 0xFF000000u;
            if (want == kSee) {
                EXPECT_EQ(qAlpha(cut.pixel(x, y)), 0) << x << "," << y;
            } else {
                EXPECT_EQ(cut.pixel(x, y), want) << x << "," << y;
            }
        }
    }
    const QImage hotCut = bar->GetImageList(2).images[7].toImage();
    EXPECT_EQ(hotCut.pixel(5, 5) | 0xFF000000u, hot.pixel(7 * 16 + 5, 5) | 0xFF000000u);
}

// The programs' glyphs are mostly dark outlines, a few with colour: each
// one's disabled image is grey and clearly lighter than the enabled one,
// the dark ones by far, so that a disabled button never looks live. The
// same images stand for grayed menu items.
TEST_F(ToolBarTest, DisabledImagesOfTheProgramsGlyphsAreGreyAndLighter)
{
    using skin::SkinLook;
    skin::UseIconTheme();
    struct Glyph {
        SkinLook look;
        int command;
    };
    const Glyph glyphs[] = {
        {SkinLook::Report, 57601},  {SkinLook::Report, 57603}, {SkinLook::Report, 57607},
        {SkinLook::Report, 32815},  {SkinLook::Report, 32842}, {SkinLook::Report, 114},
        {SkinLook::Report, 34013},  {SkinLook::Browser, 1004}, {SkinLook::Browser, 1005},
        {SkinLook::Browser, 1011},  {SkinLook::Browser, 1012}, {SkinLook::Browser, 32773},
    };
    for (const Glyph& g : glyphs) {
        SCOPED_TRACE(g.command);
        const QImage strip = skin::RenderCommandStrip(g.look, {g.command}, QSize(16, 15), 1.0)
                                 .convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(strip.isNull());
        const QImage disabled =
            skin::DisabledToolBarStrip(strip, skin::DisabledShadowOf(g.look)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(disabled.size(), strip.size());
        // Over the pixels the glyph itself covers.
        double enabledSum = 0;
        double disabledSum = 0;
        int ink = 0;
        int chroma = 0;
        for (int y = 0; y < 15; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb e = strip.pixel(x, y);
                if (qAlpha(e) < 128)
                    continue;
                const QRgb d = disabled.pixel(x, y);
                enabledSum += (qRed(e) + qGreen(e) + qBlue(e)) / 3.0;
                disabledSum += (qRed(d) + qGreen(d) + qBlue(d)) / 3.0;
                chroma = std::max({chroma, std::abs(qRed(d) - qGreen(d)), std::abs(qGreen(d) - qBlue(d))});
                ++ink;
            }
        }
        ASSERT_GT(ink, 8) << "the glyph draws nothing";
        const double enabled = enabledSum / ink;
        const double disabledMean = disabledSum / ink;
        EXPECT_LE(chroma, 1) << "not grey";
        EXPECT_GE(disabledMean, enabled + 20) << "enabled " << enabled << " disabled " << disabledMean;
        if (enabled < 100) {
            EXPECT_GE(disabledMean, 125) << "a dark glyph stays dark: enabled " << enabled;
        }
    }
}

TEST_F(ToolBarTest, AlphaStripsKeepEdgesAndShowThroughOnlyWhereTransparent)
{
    // Two images: opaque black (the colour a keyed strip would lose), a
    // half-covered edge pixel, a bright pixel, transparent elsewhere.
    QImage strip(32, 16, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    strip.setPixel(4, 4, qRgba(0, 0, 0, 255));
    strip.setPixel(5, 4, qRgba(100, 200, 40, 128));
    strip.setPixel(20, 7, qRgba(250, 210, 100, 255));
    registerBar(9107, {1, 2}, strip);
    ASSERT_TRUE(bar->LoadToolBarEx(9107));
    const QImage normal = bar->GetImageList(0).images[0].toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage disabled = bar->GetImageList(1).images[0].toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage hot = bar->GetImageList(2).images[1].toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(normal.pixel(4, 4), qRgba(0, 0, 0, 255));
    // Half-covered pixels go through premultiplied pixmaps: within 1.
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 1 && std::abs(qGreen(a) - qGreen(b)) <= 1 &&
               std::abs(qBlue(a) - qBlue(b)) <= 1 && qAlpha(a) == qAlpha(b);
    };
    EXPECT_TRUE(near(normal.pixel(5, 4), qRgba(100, 200, 40, 128)));
    EXPECT_EQ(qAlpha(normal.pixel(0, 0)), 0);
    // Disabled: grey (128 + ((R + B) * 0.2 + G * 0.4) / 2) over the light
    // shadow one pixel down and right; the shadow keeps each pixel's
    // coverage.
    EXPECT_EQ(disabled.pixel(4, 4), qRgba(128, 128, 128, 255));
    EXPECT_EQ(disabled.pixel(5, 5), skin::kReportShadow);
    const QRgb half = disabled.pixel(6, 5);
    EXPECT_NEAR(qRed(half), qRed(skin::kReportShadow), 1);
    EXPECT_NEAR(qAlpha(half), 128, 1);
    // 128 + ((100 + 40) * 0.2 + 200 * 0.4) / 2 = 182, half covered,
    // nothing under it.
    EXPECT_NEAR(qRed(disabled.pixel(5, 4)), 182, 1);
    EXPECT_NEAR(qGreen(disabled.pixel(5, 4)), 182, 1);
    EXPECT_NEAR(qAlpha(disabled.pixel(5, 4)), 128, 1);
    EXPECT_EQ(qAlpha(disabled.pixel(10, 10)), 0);
    // Hot: R and B + 15 (255 above 240), G + 55 (255 from 201), alpha kept.
    EXPECT_EQ(hot.pixel(4, 7), qRgba(255, 255, 115, 255));
    EXPECT_EQ(qAlpha(hot.pixel(3, 7)), 0);
}

TEST_F(ToolBarTest, ColourButtonsShowTheirColourAndNoColourAsGrey)
{
    for (int id : {114, 32981, 32982, 1005})
        bar->AddButtonCtrl(id);
    windowOwner->show();
    EXPECT_EQ(bar->GetColorButton(114), 0);    // black
    EXPECT_EQ(bar->GetColorButton(32981), -1); // no colour
    EXPECT_EQ(bar->GetColorButton(32982), -1);
    for (int id : {1001, 1005, 0, -1})
        EXPECT_EQ(bar->GetColorButton(id), -1) << id; // no picker
    EXPECT_EQ(bar->GetColorPicker(1005), nullptr);
    ASSERT_NE(bar->GetColorPicker(32981), nullptr);
    EXPECT_FALSE(bar->GetColorPicker(32981)->isVisible());

    // The bar under the image: (left + 2, bottom - 6) .. (right - 16, bottom - 1).
    auto barPixel = [&](int id) {
        QToolButton* b = button(id);
        return pixelOf(b, QPoint(4, b->height() - 4));
    };
    EXPECT_EQ(barPixel(32981), 0xFFC0C0C0);
    EXPECT_EQ(barPixel(114), 0xFF000000);
    // A chosen colour reaches the program as the button's command.
    QAction* fill = bar->actions().at(6);
    QSignalSpy triggered(fill, &QAction::triggered);
    bar->GetColorPicker(32981)->SetColor(RGB(255, 0, 0));
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_EQ(bar->GetColorButton(32981), long(RGB(255, 0, 0)));
    EXPECT_EQ(barPixel(32981), 0xFFFF0000);
    SaveShot(bar->grab().toImage(), "toolbar-colours");
}

TEST_F(ToolBarTest, NoHotButtonAfterTheMouseLeaves)
{
    windowOwner->show();
    QToolButton* b = button(1003);
    const QRgb before = pixelOf(b, QPoint(b->width() / 2, 1));
    QCursor::setPos(b->mapToGlobal(QPoint(5, 5)));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(b, &enter);
    EXPECT_EQ(bar->GetHotIndex(), 3);
    const QRgb hot = pixelOf(b, QPoint(b->width() / 2, 1));
    EXPECT_NE(hot, before);
    SaveShot(bar->grab().toImage(), "toolbar-hover");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar, &leave);
    EXPECT_EQ(bar->GetHotIndex(), -1);
    EXPECT_EQ(pixelOf(b, QPoint(b->width() / 2, 1)), before);
    // A leave that never came: the next paint with the cursor away clears it.
    bar->SetHotIndex(3);
    QCursor::setPos(QPoint(5000, 5000));
    bar->grab();
    EXPECT_EQ(bar->GetHotIndex(), -1);
}

// A button's hint shows in the status bar while the pointer is over it and
// the bar's idle text comes back when it leaves, as it does for a button
// left toward the next one.
TEST_F(ToolBarTest, TheStatusBarDropsAButtonsHintWhenThePointerLeaves)
{
    auto* status = new CColorStatusBar;
    windowOwner->setStatusBar(status);
    const int ids[] = {CColorStatusBar::kMessagePaneId};
    ASSERT_TRUE(status->SetIndicators(ids, 1, [](int) { return QStringLiteral("就绪"); }));
    windowOwner->show();
    for (int command : {1003, 1004})
        button(command)->defaultAction()->setStatusTip(QStringLiteral("hint %1").arg(command));
    const auto enter = [](QToolButton* b) {
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), b->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(b, &e);
    };
    const auto leave = [](QToolButton* b) {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(b, &e);
    };
    enter(button(1003));
    EXPECT_EQ(status->GetMessageText(), QStringLiteral("hint 1003"));
    leave(button(1003));
    EXPECT_EQ(status->GetMessageText(), QStringLiteral("就绪"));
    // Across to the next button: its own hint, then the idle text.
    enter(button(1003));
    leave(button(1003));
    enter(button(1004));
    EXPECT_EQ(status->GetMessageText(), QStringLiteral("hint 1004"));
    leave(button(1004));
    EXPECT_EQ(status->GetMessageText(), QStringLiteral("就绪"));
    // A message the program shows on its own is left alone by a button
    // without a hint.
    button(1005)->defaultAction()->setStatusTip(QString());
    status->showMessage(QStringLiteral("printing"));
    enter(button(1005));
    leave(button(1005));
    EXPECT_EQ(status->GetMessageText(), QStringLiteral("printing"));
}

TEST_F(ToolBarTest, CheckedAndDisabledButtonsUseTheirLists)
{
    windowOwner->show();
    QToolButton* b = button(1003);
    QAction* a = b->defaultAction();
    a->setCheckable(true);
    a->setChecked(true);
    // The checked face runs from shade 5 down to shade 6 inside its frame.
    const std::vector<COLORREF> lines = skin::GradientRectLines(b->height(), skinState->Shade(5), skinState->Shade(6));
    EXPECT_EQ(pixelOf(b, QPoint(1, 1)), skin::ToQRgb(lines[1]));
    EXPECT_EQ(pixelOf(b, QPoint(0, 5)), skin::ToQRgb(skinState->m_clrSkinDark));
    a->setChecked(false);
    a->setEnabled(false);
    // Image 2 (the third non-separator button) from the disabled list at (4, 3).
    const QImage img = bar->grab().toImage();
    const QImage want = bar->GetImageList(1).images[2].toImage();
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (qAlpha(want.pixel(x, y)) == 255) {
                EXPECT_EQ(img.pixel(b->geometry().topLeft() + QPoint(4 + x, 3 + y)) | 0xFF000000u, want.pixel(x, y));
            }
        }
    }
}

TEST_F(ToolBarTest, BackgroundIsTheGradientOfItsTwoColours)
{
    windowOwner->show();
    EXPECT_EQ(bar->GetBackgroundMode(), CToolBarEx::kGradient);
    const QImage img = bar->grab().toImage();
    const std::vector<COLORREF> lines =
        skin::GradientRectLines(img.height(), skinState->m_clrSkinBase, skinState->m_clrSkinLight);
    // Left of the second separator's line, below the border.
    const QWidget* sep = bar->widgetForAction(bar->actions().at(4));
    ASSERT_NE(sep, nullptr);
    for (int y : {3, img.height() / 2, img.height() - 3})
        EXPECT_EQ(img.pixel(sep->geometry().left(), y) | 0xFF000000u, skin::ToQRgb(lines[std::size_t(y)])) << y;
    // The border: the first colour outside, the second on the inner bottom.
    EXPECT_EQ(img.pixel(img.width() / 2, 0) | 0xFF000000u, skin::ToQRgb(skinState->m_clrSkinBase));
    EXPECT_EQ(img.pixel(img.width() / 2, img.height() - 1) | 0xFF000000u, skin::ToQRgb(skinState->m_clrSkinBase));
    EXPECT_EQ(img.pixel(img.width() / 2, img.height() - 2) | 0xFF000000u, skin::ToQRgb(skinState->m_clrSkinLight));
}

TEST_F(ToolBarTest, DropDownsOpenTheirMenuOrPicker)
{
    skin::SetPopupMenuProvider([](int id, QWidget* parent) -> QMenu* {
        if (id != 323)
            return nullptr;
        auto* menu = new QMenu(parent);
        menu->addAction(QStringLiteral("0.25磅"))->setData(32985);
        return menu;
    });
    bar->SetDropDownButton(1004, 0);
    bar->SetDropDownButton(1005, 323);
    bar->AddButtonCtrl(32981);
    windowOwner->show();
    EXPECT_FALSE(bar->OnDropDown(1004)); // menu 0 opens nothing
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(bar->OnDropDown(1001)); // no drop-down

    QTest::mousePress(button(1005), Qt::LeftButton, {}, QPoint(5, 5));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().size(), 1);
    EXPECT_GE(menu->actionGeometry(menu->actions().front()).height(), 20); // measured like the frame's menus
    SaveShot(menu->grab().toImage(), "toolbar-dropdown-menu");
    menu->close();
    QTest::qWait(0);

    // A colour button: the arrow zone opens the picker, the rest is the command.
    QToolButton* fill = button(32981);
    QSignalSpy triggered(fill->defaultAction(), &QAction::triggered);
    QTest::mouseClick(fill, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_FALSE(bar->GetColorPicker(32981)->IsPopupOpen());
    QTest::mousePress(fill, Qt::LeftButton, {}, QPoint(fill->width() - 4, 4));
    EXPECT_TRUE(bar->GetColorPicker(32981)->IsPopupOpen());
    EXPECT_EQ(triggered.count(), 1);
    if (QWidget* popup = QApplication::activePopupWidget())
        SaveShot(popup->grab().toImage(), "toolbar-colour-popup");
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

TEST_F(ToolBarTest, DockedLeftCentresItsButtonsUnlessItHoldsACombo)
{
    bar->AddButtonCtrl(114);
    windowOwner->removeToolBar(bar);
    windowOwner->addToolBar(Qt::LeftToolBarArea, bar);
    bar->show();
    windowOwner->resize(400, 600);
    windowOwner->show();
    QTest::qWait(0);
    ASSERT_TRUE(bar->IsVertical());
    QToolButton* plain = button(1001);
    const QRect face = bar->ButtonFaceRect(plain);
    EXPECT_EQ(face.width(), 23);
    const int faceCentre = plain->geometry().left() + face.left() + face.width() / 2;
    EXPECT_LE(std::abs(faceCentre - bar->width() / 2), 1);
    EXPECT_EQ(bar->ButtonFaceRect(button(114)).left(), 0); // colour buttons keep their place
    SaveShot(bar->grab().toImage(), "toolbar-left");

    // A bar holding a combo keeps its buttons at the left.
    auto* second = new CToolBarEx;
    windowOwner->addToolBar(Qt::LeftToolBarArea, second);
    ASSERT_TRUE(second->LoadToolBarEx(kBar));
    second->AddComboCtrl(1002, 120, 200);
    second->show();
    QTest::qWait(0);
    ASSERT_TRUE(second->IsVertical());
    EXPECT_EQ(second->ButtonFaceRect(second->GetButton(1001)).left(), 0);
}

} // namespace
