// The main frame against a fake image view: the command table, the folder
// pane, the caption buttons, the skin bars' scrolling.
#include "app_test_support.h"

#include "current_folder.h"
#include "left_view.h"
#include "resource_ids.h"

#include "skin/command_icons.h"
#include "skin/icon_menu.h"
#include "skin/my_splitter.h"
#include "skin/scroll_codes.h"
#include "skin/skin_scroll_bar.h"
#include "skin/tool_bar_ex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSplitterHandle>
#include <QTest>
#include <QToolButton>

using namespace heatshelf;

namespace {

struct FrameFixture {
    FrameFixture()
    {
        heatshelf::StartupOptions options = box.Options();
        options.makeView = [this](QWidget* parent) { return view = new FakeImageView(parent); };
        app = box.Start(options);
        frame = app ? app->MainFrame() : nullptr;
        if (frame != nullptr) {
            frame->resize(900, 600);
            frame->show();
            QApplication::processEvents();
        }
    }
    StartupSandbox box;
    FakeImageView* view = nullptr;
    std::unique_ptr<CHeatshelfApp> app;
    CMainFrame* frame = nullptr;
};

} // namespace

TEST(MainFrame, CommandTableEnablesAndMarksByTheViewState)
{
    FrameFixture f;
    ASSERT_NE(f.frame, nullptr);
    FakeImageView& v = *f.view;
    struct Row {
        const char* what;
        std::function<void(FakeImageView&)> set;
        int id;
        bool enabled;
        bool radio;
    };
    const auto none = [](FakeImageView&) {};
    const auto middle = [](FakeImageView& w) { w.noFile = false; w.first = false; w.last = false; w.file = "a.vni"; };
    const Row rows[] = {
        {"grid, single mode", none, res::ID_THUMBNAILS, true, false},
        {"grid, grid mode", [](FakeImageView& w) { w.bits = 2; }, res::ID_THUMBNAILS, true, true},
        {"single, single mode", none, res::ID_SINGLE, true, true},
        {"single, grid mode", [](FakeImageView& w) { w.bits = 2; }, res::ID_SINGLE, true, false},
        {"previous, no file", none, res::ID_PREVIOUS, false, false},
        {"previous, middle", middle, res::ID_PREVIOUS, true, false},
        {"previous, first", [&](FakeImageView& w) { middle(w); w.first = true; }, res::ID_PREVIOUS, false, false},
        {"next, middle", middle, res::ID_NEXT, true, false},
        {"next, last", [&](FakeImageView& w) { middle(w); w.last = true; }, res::ID_NEXT, false, false},
        {"next, no file", none, res::ID_NEXT, false, false},
        {"1008, file", middle, res::ID_UNUSED_1008, false, false},
        {"1008, none", none, res::ID_UNUSED_1008, false, false},
        {"again, no file", none, res::ID_SHOW_AGAIN, false, false},
        {"again, file", middle, res::ID_SHOW_AGAIN, true, false},
        {"invert, no file", none, res::ID_INVERT, false, false},
        {"invert, file, on", [&](FakeImageView& w) { middle(w); w.invert = true; }, res::ID_INVERT, true, true},
        {"sound, none", middle, res::ID_PLAY_SOUND, false, false},
        {"sound, note", [&](FakeImageView& w) { middle(w); w.sound = true; w.soundButton = true; }, res::ID_PLAY_SOUND,
         true, true},
        {"sound, note, grid", [&](FakeImageView& w) { middle(w); w.sound = true; w.bits = 2; }, res::ID_PLAY_SOUND,
         false, false},
        {"sound, note, no name", [](FakeImageView& w) { w.noFile = false; w.sound = true; }, res::ID_PLAY_SOUND, false,
         false},
        {"marks on", none, res::ID_MEASURE_OBJECTS, true, true},
        {"marks off", [](FakeImageView& w) { w.marks = false; }, res::ID_MEASURE_OBJECTS, true, false},
        {"marks off, no file", [](FakeImageView& w) { w.marks = false; w.noFile = true; }, res::ID_MEASURE_OBJECTS,
         true, false},
    };
    for (const Row& r : rows) {
        v.bits = 1; v.file.clear(); v.noFile = true; v.first = v.last = v.invert = v.sound = v.soundButton = false;
        v.marks = true;
        r.set(v);
        const CCmdUI ui = f.frame->QueryCommand(r.id);
        EXPECT_EQ(ui.IsEnabled(), r.enabled) << r.what;
        EXPECT_EQ(ui.IsChecked(), r.radio) << r.what;
    }
    // Display bits 0 become 1 at the first update.
    v.bits = 0;
    f.frame->QueryCommand(res::ID_NEXT);
    EXPECT_EQ(v.bits, 1);
    // The palette selector has no handler here: disabled.
    EXPECT_FALSE(f.frame->QueryCommand(res::ID_PALETTE_SELECT).IsEnabled());
}

TEST(MainFrame, TheFolderSelectedAtStartIsTheOneShown)
{
    FrameFixture f;
    ASSERT_NE(f.frame, nullptr);
    CShellTreeCtrl* tree = f.frame->GetLeftView()->Tree();
    const QString selected = tree->PathOf(tree->currentIndex());
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_EQ(CurrentFolder(), selected);
    // The view was told to show that folder's first file, forced, once.
    const QString first = QStringLiteral("step %1 1").arg(res::kStepFirst);
    EXPECT_EQ(std::count(f.view->log.begin(), f.view->log.end(), first), 1);
}

TEST(MainFrame, CommandsTellTheView)
{
    FrameFixture f;
    ASSERT_NE(f.frame, nullptr);
    FakeImageView& v = *f.view;
    v.log.clear();
    v.file = QStringLiteral("a.vni");
    f.frame->RunCommand(res::ID_THUMBNAILS);
    EXPECT_EQ(v.bits, 2);
    EXPECT_TRUE(v.file.isEmpty());
    f.frame->RunCommand(res::ID_SINGLE);
    EXPECT_EQ(v.bits, 1);
    f.frame->RunCommand(res::ID_PREVIOUS);
    f.frame->RunCommand(res::ID_NEXT);
    f.frame->RunCommand(res::ID_SHOW_AGAIN);
    f.frame->RunCommand(res::ID_UNUSED_1008);
    f.frame->RunCommand(res::ID_INVERT);
    EXPECT_TRUE(v.invert);
    f.frame->RunCommand(res::ID_MEASURE_OBJECTS);
    EXPECT_FALSE(v.marks);
    f.frame->RunCommand(res::ID_PLAY_SOUND);
    const std::vector<QString> sent = {"step 3 0", "step 3 0", "step 1 0", "step 2 0", "step 3 0", "step 3 0"};
    EXPECT_EQ(v.log, sent); // the voice note is posted, not sent
    QApplication::processEvents();
    EXPECT_EQ(v.log.back(), QStringLiteral("play"));

    // The toolbar's buttons run the same commands.
    v.log.clear();
    v.noFile = false;
    v.last = false;
    v.file = QStringLiteral("a.vni");
    f.frame->UpdateCommandUI();
    QToolButton* next = f.frame->ToolBar()->GetButton(res::ID_NEXT);
    ASSERT_NE(next, nullptr);
    ASSERT_TRUE(next->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    QToolButton* grid = f.frame->ToolBar()->GetButton(res::ID_THUMBNAILS);
    ASSERT_NE(grid, nullptr);
    QTest::mouseClick(grid, Qt::LeftButton);
    EXPECT_EQ(v.log, (std::vector<QString>{"step 2 0", "step 3 0"}));
    EXPECT_EQ(v.bits, 2);
}

TEST(MainFrame, FolderPaneIs180ThenHiddenThen160)
{
    FrameFixture f;
    ASSERT_NE(f.frame, nullptr);
    EXPECT_EQ(f.frame->FolderPaneWidth(), 180);
    EXPECT_TRUE(f.frame->QueryCommand(res::ID_FOLDER_PANE).IsChecked());
    f.frame->RunCommand(res::ID_FOLDER_PANE);
    EXPECT_EQ(f.frame->FolderPaneWidth(), 0);
    EXPECT_FALSE(f.frame->QueryCommand(res::ID_FOLDER_PANE).IsChecked());
    f.frame->RunCommand(res::ID_FOLDER_PANE);
    EXPECT_EQ(f.frame->FolderPaneWidth(), 160);
    EXPECT_TRUE(f.frame->QueryCommand(res::ID_FOLDER_PANE).IsChecked());

    // The bar between the panes is a split box in the base shade: white
    // along its top and left, black along its bottom and right.
    QSplitterHandle* handle = f.frame->Splitter()->handle(1);
    ASSERT_NE(handle, nullptr);
    ASSERT_GE(handle->width(), 3);
    const QImage box = handle->grab().toImage();
    const int w = box.width(), h = box.height();
    EXPECT_EQ(PixelAt(box, 0, h / 2), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(box, w / 2, 0), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(box, w - 1, h / 2), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(box, w / 2, h - 1), RGB(0, 0, 0));
    if (w >= 3) {
        EXPECT_EQ(PixelAt(box, 1, h / 2), f.app->GetTheme().SkinBase());
    }
}

TEST(MainFrame, PanesFillTheClientWhenTheToolbarOrStatusBarIsHiddenOrShown)
{
    FrameFixture f;
    ASSERT_NE(f.frame, nullptr);
    QWidget* client = f.frame->centralWidget();
    ASSERT_NE(client, nullptr);
    for (int command : {res::ID_VIEW_TOOLBAR, res::ID_VIEW_STATUS_BAR, res::ID_VIEW_TOOLBAR, res::ID_VIEW_STATUS_BAR}) {
        const int before = client->height();
        f.frame->RunCommand(command);
        QApplication::processEvents();
        ASSERT_NE(client->height(), before) << command;
        EXPECT_EQ(f.frame->Splitter()->geometry().bottom(), client->rect().bottom()) << command;
    }
}

TEST(MainFrame, CaptionButtonsRunOnlyWhenReleasedOverThePressedOne)
{
    FrameFixture f;
    ASSERT_NE(f.frame, nullptr);
    const skin::CaptionButtons& b = f.frame->CaptionButtons();
    const int w = f.frame->width() - 4, h = f.frame->CaptionHeight();
    EXPECT_EQ(b.Rect(skin::kCloseButton), QRect(w - 24, h - 25, 24, 25));
    EXPECT_EQ(b.Rect(skin::kMaxButton), QRect(w - 47, h - 25, 23, 25));
    EXPECT_EQ(b.Rect(skin::kMinButton), QRect(w - 70, h - 25, 23, 25));
    // Press on minimise, release on close: nothing runs, flags cleared.
    const QPoint min = b.Rect(skin::kMinButton).center(), close = b.Rect(skin::kCloseButton).center();
    QTest::mousePress(f.frame, Qt::LeftButton, {}, min);
    EXPECT_EQ(b.Pressed(), skin::kMinButton);
    QTest::mouseRelease(f.frame, Qt::LeftButton, {}, close);
    EXPECT_EQ(b.Pressed(), skin::kNoButton);
    EXPECT_TRUE(f.frame->isVisible());
    EXPECT_FALSE(f.frame->isMinimized());
    // Press and release on maximise: maximised, then restored.
    const QPoint max = b.Rect(skin::kMaxButton).center();
    QTest::mouseClick(f.frame, Qt::LeftButton, {}, max);
    EXPECT_TRUE(f.frame->isMaximized());
    QApplication::processEvents();
    QTest::mouseClick(f.frame, Qt::LeftButton, {}, f.frame->CaptionButtons().Rect(skin::kMaxButton).center());
    EXPECT_FALSE(f.frame->isMaximized());
    // Close: the window goes.
    QApplication::processEvents();
    QTest::mouseClick(f.frame, Qt::LeftButton, {}, f.frame->CaptionButtons().Rect(skin::kCloseButton).center());
    EXPECT_FALSE(f.frame->isVisible());
}

TEST(MainFrame, LineAndPageScrollsRepaintTheViewAThumbTrackDoesNot)
{
    FrameFixture f;
    ASSERT_NE(f.frame, nullptr);
    FakeImageView& v = *f.view;
    CSkinScrollBar* bar = f.frame->GetSkinScrollBar(1);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(f.frame->GetSkinScrollBar(0)->objectName(), QStringLiteral("59904"));
    EXPECT_EQ(f.frame->GetSkinScrollBar(2), nullptr);
    EXPECT_EQ(v.GetScrollBarCtrl(1), bar);
    v.bits = 2;
    bar->setEnabled(true);
    bar->SetScrollInfo(0, 99, 10, 0);
    struct Step {
        int code;
        int position;
        int expected;
        bool repaint;
    };
    const Step steps[] = {
        {SB_LINEDOWN, 0, 1, true},  {SB_PAGEDOWN, 0, 11, true}, {SB_LINEUP, 0, 10, true},
        {SB_PAGEUP, 0, 0, true},    {SB_LINEUP, 0, 0, true},    {SB_THUMBTRACK, 50, 50, false},
        {SB_PAGEDOWN, 0, 60, true},       {SB_THUMBTRACK, 85, 85, false},   {SB_PAGEDOWN, 0, 90, true},
        {SB_LINEDOWN, 0, 90, true},       {SB_ENDSCROLL, 0, 90, false},
    };
    for (const Step& s : steps) {
        QApplication::processEvents();
        v.paints = 0;
        v.log.clear();
        f.frame->OnVScroll(s.code, s.position);
        EXPECT_EQ(v.log.front(), QStringLiteral("scroll v %1 %2").arg(s.code).arg(s.position));
        EXPECT_EQ(bar->GetScrollInfo().nPos, s.expected) << s.code;
        QApplication::processEvents();
        EXPECT_EQ(v.paints > 0, s.repaint) << s.code;
    }
    // Single-image mode: the layout disables the bar and resets it.
    v.bits = 1;
    f.frame->RecalcPaneLayout();
    EXPECT_FALSE(bar->isEnabled());
    EXPECT_EQ(bar->GetScrollInfo().nPos, 0);
    EXPECT_FALSE(f.frame->GetSkinScrollBar(0)->isEnabled());
}

// The toolbar's and the menus' images come from icons (the theme's or our
// own), not from the hand-drawn fallback; the theme items show their colour.
TEST(MainFrame, EveryToolbarAndMenuImageIsAnIcon)
{
    FrameFixture f;
    ASSERT_NE(f.frame, nullptr);
    CToolBarEx* bar = f.frame->ToolBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isVisible());
    std::vector<int> fallBack;
    int buttons = 0;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator())
            continue;
        const int id = a->data().toInt();
        ++buttons;
        if (skin::CommandIconSource(skin::SkinLook::Browser, id) == skin::IconSource::None)
            fallBack.push_back(id);
    }
    EXPECT_EQ(buttons, 10);
    for (int list = 0; list < 3; ++list)
        EXPECT_EQ(bar->GetImageList(list).GetImageCount(), 10);

    const CIconMenu& icons = f.frame->IconMenu();
    int menuImages = 0;
    const std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->menu() != nullptr) {
                walk(a->menu());
                continue;
            }
            const int id = a->data().toInt();
            const QPixmap* image = a->isSeparator() ? nullptr : icons.GetImage(icons.FindImageIndex(id));
            if (image == nullptr)
                continue;
            EXPECT_FALSE(image->isNull()) << id;
            if (id >= res::ID_THEME_FIRST && id <= res::ID_THEME_LAST)
                continue;
            ++menuImages;
            if (skin::CommandIconSource(skin::SkinLook::Browser, id) == skin::IconSource::None)
                fallBack.push_back(id);
        }
    };
    for (QAction* top : f.frame->menuBar()->actions())
        walk(top->menu());
    EXPECT_EQ(menuImages, 8); // the view menu's commands of the toolbar
    EXPECT_TRUE(fallBack.empty()) << "first command drawn by the fallback: " << (fallBack.empty() ? 0 : fallBack[0]);
}
