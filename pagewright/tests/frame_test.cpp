// The main frame with a report frame in it: command routing, page combo,
// the child frame's maximised state, scroll bars and closing.
#include "test_support.h"

#include "skin/color_status_bar.h"
#include "frame_view.h"
#include "main_frame.h"
#include "mdi_window_list.h"
#include "resource_ids.h"
#include "rpt_template.h"
#include "split_frame.h"

#include "about_dlg.h"
#include "child_buttons.h"

#include "skin/caption.h"
#include "skin/colors.h"
#include "skin/command_icons.h"
#include "skin/icon_menu.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"
#include "skin/skin_scroll_bar.h"
#include "skin/skin_scroll_frame.h"
#include "skin/font_combos.h"
#include "skin/text_format_bar.h"
#include "skin/tool_bar_ex.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// Commands 40001-40004 are handled by different links of the chain.
constexpr int kViewCmd = 40001, kDocCmd = 40002, kFrameCmd = 40003, kSharedCmd = 40004, kNobody = 40005;
// Handled by the view, whose update handler only sets the check mark.
constexpr int kCheckOnlyCmd = 40006;

std::vector<std::string> g_log;

class FakeDocument : public CCmdTarget {
public:
    FakeDocument()
    {
        OnCommand(kDocCmd, [](int) { g_log.push_back("doc"); });
        OnCommand(kSharedCmd, [](int) { g_log.push_back("doc-shared"); });
        OnUpdate(kDocCmd, [](CCmdUI& ui) { ui.Enable(false); });
    }
};

class FakeView : public CFrameView {
public:
    FakeView()
    {
        OnCommand(kViewCmd, [](int) { g_log.push_back("view"); });
        OnCommand(kSharedCmd, [](int) { g_log.push_back("view-shared"); });
        OnUpdate(res::ID_INDICATOR_NONE, [](CCmdUI& ui) { ui.SetText(QStringLiteral("Line")); });
        OnCommand(kCheckOnlyCmd, [](int) {});
        OnCommand(res::ID_PROPERTIES, [](int) { g_log.push_back("properties"); });
        OnUpdate(kCheckOnlyCmd, [](CCmdUI& ui) { ui.SetCheck(1); });
    }
    CCmdTarget* GetDocumentTarget() override { return &doc; }
    void OnScroll(Qt::Orientation o, int code, int position) override
    {
        scrolls.push_back({o, code, position});
    }
    void ClearSelection() override { ++cleared; }
    int GetPageCount() const override { return 3; }
    int GetCurrentPage() const override { return 1; }
    QString GetPageTitle(int page) const override { return QStringLiteral("标题%1").arg(page + 1); }

    struct Scroll {
        Qt::Orientation o;
        int code;
        int position;
    };
    FakeDocument doc;
    std::vector<Scroll> scrolls;
    int cleared = 0;
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        app = box.Start();
        ASSERT_NE(app, nullptr);
        frame = app->GetMainFrame();
        frame->resize(1000, 700);
        frame->show();
        // The blank report of the start goes; these tests bring their own.
        frame->GetMdiClient()->closeAllSubWindows();
        QApplication::processEvents();
    }

    CSplitFrame* openReport(FakeView** viewOut = nullptr)
    {
        auto* view = new FakeView;
        auto* child = new CSplitFrame(view);
        child->OnCommand(kFrameCmd, [](int) { g_log.push_back("frame"); });
        frame->AddChildFrame(child);
        QApplication::processEvents();
        if (viewOut != nullptr)
            *viewOut = view;
        return child;
    }

    // The menu bar's Window menu: the one holding Cascade.
    QMenu* WindowMenu() const
    {
        for (QAction* top : frame->menuBar()->actions()) {
            if (top->menu() != nullptr && top->menu()->actions().contains(frame->GetCommandAction(res::ID_WINDOW_CASCADE)))
                return top->menu();
        }
        return nullptr;
    }

    StartupSandbox box;
    std::unique_ptr<CDI_RptApp> app;
    CMainFrame* frame = nullptr;
};

} // namespace

TEST_F(FrameTest, CommandsGoToViewDocumentFrameMainFrameThenApplication)
{
    CSplitFrame* child = openReport();
    ASSERT_EQ(frame->MDIGetActive(), child);

    for (int id : {kViewCmd, kDocCmd, kFrameCmd, kSharedCmd, kNobody})
        frame->ExecuteCommand(id);
    EXPECT_EQ(g_log, (std::vector<std::string>{"view", "doc", "frame", "view-shared"}));

    // Update handlers enable and set texts; commands nobody handles are
    // disabled; the application's commands stay enabled.
    for (int id : {kViewCmd, kDocCmd, kNobody})
        frame->GetCommandAction(id);
    frame->UpdateCommandUI();
    EXPECT_TRUE(frame->GetCommandAction(kViewCmd)->isEnabled());
    EXPECT_FALSE(frame->GetCommandAction(kDocCmd)->isEnabled());
    EXPECT_FALSE(frame->GetCommandAction(kNobody)->isEnabled());
    EXPECT_TRUE(frame->GetCommandAction(res::ID_APP_ABOUT)->isEnabled());
    EXPECT_FALSE(frame->GetCommandAction(res::ID_EDIT_COPY)->isEnabled());
    CColorStatusBar* status = frame->GetStatusBar();
    EXPECT_EQ(status->GetPaneText(status->CommandToIndex(res::ID_INDICATOR_NONE)), QStringLiteral("Line"));
    EXPECT_EQ(status->GetPaneStyle(status->CommandToIndex(res::ID_INDICATOR_CAPS)), SBPS_DISABLED);

    // The report menu is shown while a report is open.
    EXPECT_EQ(frame->menuBar()->actions().size(), 9);
    child->close();
    QApplication::processEvents();
    EXPECT_EQ(frame->menuBar()->actions().size(), 4);
}

TEST_F(FrameTest, CheckOnlyCommandsEnableOnceAReportIsOpen)
{
    // Disabled while no report handles it, then enabled with the report,
    // though its update handler only sets the check mark.
    QAction* a = frame->GetCommandAction(kCheckOnlyCmd);
    frame->UpdateCommandUI();
    EXPECT_FALSE(a->isEnabled());
    CSplitFrame* child = openReport();
    frame->UpdateCommandUI();
    EXPECT_TRUE(a->isEnabled());
    EXPECT_TRUE(a->isChecked());
    child->close();
    QApplication::processEvents();
    frame->UpdateCommandUI();
    EXPECT_FALSE(a->isEnabled());
}

TEST_F(FrameTest, PageComboFollowsTheActiveReport)
{
    frame->FillPageCombo(3);
    ASSERT_EQ(frame->GetPageCombo()->count(), 3);
    EXPECT_EQ(frame->GetPageCombo()->itemText(2), QStringLiteral("第3页"));
    frame->SelectPageCombo(2);
    EXPECT_EQ(frame->GetPageCombo()->currentIndex(), 2);

    // Without a report the titles are not filled.
    frame->FillPageTitles(2, 0);
    EXPECT_EQ(frame->GetPageCombo()->count(), 3);

    openReport();
    // Activation fills the titles of the view's pages.
    ASSERT_EQ(frame->GetPageCombo()->count(), 3);
    EXPECT_EQ(frame->GetPageCombo()->itemText(0), QStringLiteral("第1页--标题1"));
    EXPECT_EQ(frame->GetPageCombo()->currentIndex(), 1);
    EXPECT_EQ(frame->GetCurrentPage(), 1);
    frame->UpdateCommandUI();
    EXPECT_TRUE(frame->GetPageCombo()->isEnabled());
}

TEST_F(FrameTest, AlignmentTipsAndPromptsNameTheEdgeTheMenuNames)
{
    openReport();
    struct Case {
        int id;
        const char* text;
    };
    for (const Case& c : {Case{34002, "左对齐"}, Case{34003, "右对齐"}, Case{34004, "底端对齐"}, Case{34005, "顶端对齐"}}) {
        QAction* a = frame->GetCommandAction(c.id);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(a->property("menuText").toString(), text) << c.id;
        EXPECT_EQ(a->toolTip(), text) << c.id;
        EXPECT_EQ(a->statusTip(), text) << c.id;
    }
}

TEST_F(FrameTest, TheBatchItemReadsBatchWithAndWithoutAReport)
{
    const auto expectBatch = [&](const char* when) {
        QAction* a = frame->GetCommandAction(res::ID_BATCH);
        EXPECT_EQ(a->property("menuText").toString(), QStringLiteral("批处理(&B)")) << when;
        EXPECT_EQ(a->toolTip(), QStringLiteral("批处理")) << when;
        bool inFileMenu = false;
        for (QAction* item : frame->menuBar()->actions().front()->menu()->actions())
            inFileMenu = inFileMenu || (item == a && item->text().startsWith(QStringLiteral("批处理(&B)")));
        EXPECT_TRUE(inFileMenu) << when;
    };
    expectBatch("no report");
    openReport();
    expectBatch("a report open");
}

TEST_F(FrameTest, AltWithEitherEnterKeyOpensTheProperties)
{
    openReport();
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    QApplication::processEvents();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        g_log.clear();
        const Qt::KeyboardModifiers mods = key == Qt::Key_Enter ? Qt::AltModifier | Qt::KeypadModifier : Qt::AltModifier;
        QTest::keyClick(frame, key, mods);
        QApplication::processEvents();
        EXPECT_EQ(g_log, std::vector<std::string>{"properties"}) << key;
    }
}

TEST_F(FrameTest, ReportFramesAreAlwaysMaximised)
{
    CSplitFrame* first = openReport();
    EXPECT_TRUE(first->isMaximized());
    first->showNormal();
    EXPECT_FALSE(first->isMaximized());
    CSplitFrame* second = openReport();
    EXPECT_TRUE(second->isMaximized());
    frame->GetMdiClient()->setActiveSubWindow(first);
    QApplication::processEvents();
    EXPECT_TRUE(first->isMaximized());
}

TEST_F(FrameTest, ScrollBarsForwardToTheViewAndShowWhenNeeded)
{
    FakeView* view = nullptr;
    CSplitFrame* child = openReport(&view);
    EXPECT_EQ(child->GetScrollBar(2), nullptr);
    // Nothing to scroll: both bars are off and the view fills the frame.
    EXPECT_FALSE(child->GetScrollBar(0)->isVisible());
    EXPECT_FALSE(child->GetScrollBar(1)->isVisible());

    child->SetScrollInfo(1, 0, 999, 100, 0); // a taller page than the window
    QApplication::processEvents();
    EXPECT_TRUE(child->IsScrollBarEnabled(1));
    EXPECT_FALSE(child->IsScrollBarEnabled(0));
    EXPECT_TRUE(child->GetScrollBar(1)->isVisible());
    EXPECT_FALSE(child->GetScrollBar(0)->isVisible());
    // With only the vertical bar, the view reaches the frame's bottom.
    EXPECT_EQ(view->geometry().bottom(), view->parentWidget()->rect().bottom());

    QScrollBar* bar = child->GetScrollBar(1);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd); // at the end: clamped
    ASSERT_EQ(view->scrolls.size(), 4u);
    EXPECT_EQ(view->scrolls[0].code, SB_LINEDOWN);
    EXPECT_EQ(view->scrolls[0].position, 1);
    EXPECT_EQ(view->scrolls[1].code, SB_PAGEDOWN);
    EXPECT_EQ(view->scrolls[1].position, 101);
    EXPECT_EQ(view->scrolls[2].code, SB_BOTTOM);
    EXPECT_EQ(view->scrolls[3].position, 900); // max - page + 1
    EXPECT_EQ(view->scrolls[3].o, Qt::Vertical);
}

TEST_F(FrameTest, ClosingAReportClearsItsSelection)
{
    FakeView* view = nullptr;
    CSplitFrame* child = openReport(&view);
    QPointer<FakeView> guard(view);
    child->close();
    ASSERT_TRUE(guard); // deleted later, with its frame
    EXPECT_EQ(view->cleared, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(guard);
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->GetPageCombo()->isEnabled());
}

TEST_F(FrameTest, CaptionCloseRunsOnlyWhenReleasedOverIt)
{
    skin::CaptionBar* caption = frame->GetCaption();
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->geometry(), QRect(0, 0, frame->width(), skin::CaptionBandHeight()));
    const QPoint close = caption->Buttons().Rect(skin::kCloseButton).center();
    ASSERT_FALSE(close.isNull());
    QTest::mousePress(caption, Qt::LeftButton, {}, close);
    QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_TRUE(frame->isVisible());
    QTest::mousePress(caption, Qt::LeftButton, {}, close);
    QTest::mouseRelease(caption, Qt::LeftButton, {}, close);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(FrameTest, MaximisedReportsCloseButtonInTheMenuBarClosesThatReportOnly)
{
    CSplitFrame* first = openReport();
    CSplitFrame* second = openReport();
    ASSERT_EQ(frame->MDIGetActive(), second);
    CChildButtons* buttons = frame->GetChildButtons();
    ASSERT_TRUE(buttons->isVisible());
    EXPECT_FALSE(second->GetCaption()->isVisible()); // maximised: no caption of its own
    const QPoint close = buttons->Buttons().Rect(skin::kCloseButton).center();
    QTest::mousePress(buttons, Qt::LeftButton, {}, close);
    QTest::mouseRelease(buttons, Qt::LeftButton, {}, close);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    EXPECT_TRUE(frame->isVisible());
    ASSERT_EQ(frame->GetMdiClient()->subWindowList().size(), 1);
    EXPECT_EQ(frame->GetMdiClient()->subWindowList().front(), first);

    // Restore from the menu bar: the report shows its own caption until it
    // is activated again.
    const QPoint restore = buttons->Buttons().Rect(skin::kMaxButton).center();
    QTest::mouseClick(buttons, Qt::LeftButton, {}, restore);
    EXPECT_FALSE(first->isMaximized());
    EXPECT_TRUE(first->GetCaption()->isVisible());
    EXPECT_FALSE(buttons->isVisible());
    first->ActivateFrame();
    EXPECT_TRUE(first->isMaximized());
    EXPECT_TRUE(buttons->isVisible());
}

TEST_F(FrameTest, StyleChangeRepaintsFromTheNewShades)
{
    openReport();
    const QImage before = frame->grab().toImage();
    app->m_skin.BuildSkinBitmaps(app->m_skin.m_clrStylePresets[6]);
    QApplication::processEvents();
    const QImage after = frame->grab().toImage();
    // The frame's border and the caption band follow the skin.
    EXPECT_EQ(skin::FromQRgb(after.pixel(0, after.height() / 2)), app->m_skin.m_clrSkinDark);
    EXPECT_NE(before.pixel(0, before.height() / 2), after.pixel(0, after.height() / 2));
    EXPECT_EQ(skin::FromQRgb(after.pixel(after.width() / 2, skin::CaptionBandHeight() - 2)),
              frame->IsCaptionActive() ? app->m_skin.m_clrSkinMid : app->m_skin.m_clrSkinMuted);
}

TEST_F(FrameTest, ScreenshotsInStylesZeroAndSix)
{
    const QString dir = QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR) + QStringLiteral("/shots");
    QDir().mkpath(dir);
    CSplitFrame* report = openReport();
    report->setWindowTitle(QStringLiteral("RirovEre1"));
    for (int style : {0, 6}) {
        app->m_skin.BuildSkinBitmaps(app->m_skin.m_clrStylePresets[std::size_t(style)]);
        frame->resize(1100, 700);
        for (bool active : {true, false}) {
            frame->GetCaption()->SetActive(active);
            QApplication::processEvents();
            frame->grab().toImage().save(dir + QStringLiteral("/main-style%1-%2.png").arg(style).arg(active ? "active" : "inactive"));
        }
        QMenu* menu = frame->menuBar()->actions().front()->menu();
        // The report's menus carry images, the standard bar's among them.
        const CIconMenu* icons = CIconMenu::ForWidget(menu);
        ASSERT_NE(icons, nullptr);
        EXPECT_EQ(icons->FindImageIndex(res::ID_FILE_NEW), 0);
        EXPECT_GE(icons->FindImageIndex(32840), 0); // measurement bar
        menu->popup(frame->mapToGlobal(QPoint(10, 60)));
        QApplication::processEvents();
        menu->grab().toImage().save(dir + QStringLiteral("/menu-style%1.png").arg(style));
        menu->hide();
        CAboutDlg about(frame);
        about.show();
        QApplication::processEvents();
        about.grab().toImage().save(dir + QStringLiteral("/about-style%1.png").arg(style));
        about.close();
    }
    // A restored report shows its own caption.
    report->showNormal();
    report->setGeometry(40, 30, 500, 300);
    QApplication::processEvents();
    frame->grab().toImage().save(dir + QStringLiteral("/main-restored-report.png"));
}

TEST_F(FrameTest, ToolBarsAndReportScrollBarsInStylesZeroAndFour)
{
    const QString dir = QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR) + QStringLiteral("/shots");
    QDir().mkpath(dir);
    FakeView* view = nullptr;
    CSplitFrame* report = openReport(&view);
    report->SetScrollInfo(0, 0, 1999, 600, 300);
    report->SetScrollInfo(1, 0, 2999, 500, 700);
    // The adjust bar down the left side, the play bar floating.
    CToolBarEx* left = frame->GetControlBar(res::IDW_ADJUST_BAR);
    frame->addToolBar(Qt::LeftToolBarArea, left);
    left->show();
    CToolBarEx* floating = frame->GetControlBar(res::IDW_PLAY_BAR);
    frame->removeToolBar(floating);
    floating->setParent(frame, Qt::Tool | Qt::FramelessWindowHint);
    floating->move(frame->mapToGlobal(QPoint(300, 300)));
    floating->show();
    frame->resize(1200, 760);
    QApplication::processEvents();
    ASSERT_TRUE(left->IsVertical());
    ASSERT_TRUE(floating->isFloating());

    for (int style : {0, 4}) {
        app->m_skin.BuildSkinBitmaps(app->m_skin.m_clrStylePresets[std::size_t(style)]);
        QApplication::processEvents();
        // Every bar in the style's base and light shades.
        for (CToolBarEx* bar : frame->GetToolBars()) {
            const QImage img = bar->grab().toImage();
            EXPECT_EQ(skin::FromQRgb(img.pixel(img.width() / 2, 0)), app->m_skin.m_clrSkinBase) << bar->GetControlId();
            EXPECT_EQ(bar->GetBackgroundMode(), CToolBarEx::kGradient);
        }
        frame->grab().toImage().save(dir + QStringLiteral("/bars-style%1.png").arg(style));
        floating->grab().toImage().save(dir + QStringLiteral("/bar-floating-style%1.png").arg(style));
        report->grab().toImage().save(dir + QStringLiteral("/report-scrollbars-style%1.png").arg(style));
        EXPECT_EQ(report->GetScrollBar(1)->GetBitmap().cacheKey(), app->m_skin.m_hSkinScrollBitmap.cacheKey());
        // The corner square from the skin's column 8.
        auto* corner = report->findChild<CSkinScrollCorner*>();
        ASSERT_NE(corner, nullptr);
        const int cell = app->m_skin.m_hSkinScrollBitmap.width() / 9;
        EXPECT_EQ(corner->grab().toImage().pixel(cell / 2, cell / 2),
                  app->m_skin.m_hSkinScrollBitmap.toImage().pixel(8 * cell + cell / 2, cell / 2));
    }

    // The report's bars are skin bars of the skin's cell, and scroll the view.
    CSkinScrollBar* v = report->GetScrollBar(1);
    ASSERT_TRUE(v->isVisible());
    EXPECT_EQ(v->width(), app->m_skin.m_hSkinScrollBitmap.width() / 9);
    QTest::mouseClick(v, Qt::LeftButton, {}, QPoint(v->width() / 2, v->height() - 3));
    ASSERT_FALSE(view->scrolls.empty());
    EXPECT_EQ(view->scrolls.back().code, SB_LINEDOWN);
    EXPECT_EQ(view->scrolls.back().position, 701);

    // The format bar's combos are there, enabled with a report open.
    CTextFormatBar* format = static_cast<CTextFormatBar*>(frame->GetControlBar(res::IDW_FORMAT_BAR));
    frame->UpdateCommandUI();
    EXPECT_TRUE(format->GetFontNameCombo()->isVisible());
    EXPECT_TRUE(format->GetFontNameCombo()->isEnabled());
    EXPECT_GT(format->GetFontNameCombo()->count(), 0);

    // Activation leaves no hot button.
    left->SetHotIndex(2);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(frame, &deactivate);
    EXPECT_EQ(left->GetHotIndex(), -1);
}

// Every image of every toolbar and menu comes from an icon (the theme's or
// our own), not from the fallback glyphs; placeholders stand out here.
TEST_F(FrameTest, EveryToolbarAndMenuImageIsAnIcon)
{
    std::vector<int> fallBack;
    int buttons = 0;
    for (CToolBarEx* bar : frame->GetToolBars()) {
        ASSERT_TRUE(bar->isVisible()) << bar->GetControlId();
        for (QAction* a : bar->actions()) {
            const int id = a->data().toInt();
            QToolButton* b = a->isSeparator() ? nullptr : bar->GetButton(id);
            if (b == nullptr || bar->GetButtonKind(bar->IndexOf(b)) == kButtonControl)
                continue; // combos stand in for these
            ++buttons;
            if (skin::CommandIconSource(skin::SkinLook::Report, id) == skin::IconSource::None)
                fallBack.push_back(id);
            EXPECT_FALSE(a->icon().isNull()) << id;
        }
        for (int list = 0; list < 3; ++list)
            EXPECT_EQ(bar->GetImageList(list).GetImageCount(), bar->GetImageCount()) << bar->GetControlId();
    }
    EXPECT_GE(buttons, 70);

    // The menus without a report, then those with one.
    int menuImages = 0;
    const std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        const CIconMenu* icons = CIconMenu::ForWidget(menu);
        ASSERT_NE(icons, nullptr) << menu->title().toStdString();
        for (QAction* a : menu->actions()) {
            if (a->menu() != nullptr) {
                walk(a->menu());
                continue;
            }
            const int id = a->data().toInt();
            const QPixmap* image = a->isSeparator() ? nullptr : icons->GetImage(icons->FindImageIndex(id));
            if (image == nullptr)
                continue;
            ++menuImages;
            EXPECT_FALSE(image->isNull()) << id;
            if (skin::CommandIconSource(skin::SkinLook::Report, id) == skin::IconSource::None)
                fallBack.push_back(id);
        }
    };
    for (QAction* top : frame->menuBar()->actions())
        walk(top->menu());
    const int frameImages = menuImages;
    EXPECT_GE(frameImages, 5); // new, open, batch, units, exit, about
    openReport();
    menuImages = 0;
    for (QAction* top : frame->menuBar()->actions())
        walk(top->menu());
    EXPECT_GE(menuImages, 60);
    EXPECT_TRUE(fallBack.empty()) << "first command drawn by the fallback: " << (fallBack.empty() ? 0 : fallBack[0]);
}

TEST(RptTemplate, TwoExtensionsShareOneTemplate)
{
    EnsureQApplication();
    CDI_RptTemplate t(res::IDR_REPORTTYPE);
    EXPECT_EQ(t.GetDocString(CDI_RptTemplate::filterExt), QStringLiteral(".rpt;*.rpm"));
    EXPECT_EQ(t.GetDocString(CDI_RptTemplate::docName), QStringLiteral("RirovEre"));
    EXPECT_EQ(t.GetDocString(CDI_RptTemplate::regFileTypeId), QStringLiteral("IR.Report"));
    struct Case {
        const char* path;
        CDI_RptTemplate::Confidence expected;
    } cases[] = {
        {"/r/a.rpt", CDI_RptTemplate::yesAttemptNative},  {"/r/a.RPM", CDI_RptTemplate::yesAttemptNative},
        {"/r/a.doc", CDI_RptTemplate::yesAttemptForeign}, {"/r/noext", CDI_RptTemplate::yesAttemptForeign},
        {"/r/open.rpt", CDI_RptTemplate::yesAlreadyOpen},
    };
    for (const Case& c : cases)
        EXPECT_EQ(t.MatchDocType(QString::fromUtf8(c.path), {QStringLiteral("/r/open.rpt")}), c.expected) << c.path;
}

// The Window menu lists the open reports in the order they were opened,
// numbered, the active one checked; choosing one activates it. Cascade
// leaves every report most of the room, each caption below the previous.
TEST_F(FrameTest, WindowMenuListsTheReportsAndCascadeKeepsThemUsable)
{
    CSplitFrame* reports[3] = {openReport(), openReport(), openReport()};
    const char* titles[3] = {"Report1", "plan & notes", "Report3"};
    for (int i = 0; i < 3; ++i)
        reports[i]->setWindowTitle(QString::fromUtf8(titles[i]));
    QMenu* windowMenu = WindowMenu();
    ASSERT_NE(windowMenu, nullptr);
    const auto entries = [&] {
        emit windowMenu->aboutToShow();
        QStringList shown;
        for (QAction* a : frame->GetWindowList()->Entries())
            shown << a->text() + (a->isChecked() ? QStringLiteral(" *") : QString());
        return shown;
    };
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("&1 Report1"), QStringLiteral("&2 plan && notes"),
                                      QStringLiteral("&3 Report3 *")}));
    // Shown again, the list is not doubled.
    EXPECT_EQ(entries().size(), 3);
    EXPECT_EQ(windowMenu->actions().size(), 3 + 1 + 3);

    frame->GetWindowList()->Entries()[0]->trigger();
    QApplication::processEvents();
    EXPECT_EQ(frame->MDIGetActive(), reports[0]);
    EXPECT_EQ(entries()[0], QStringLiteral("&1 Report1 *"));

    frame->ExecuteCommand(res::ID_WINDOW_CASCADE);
    QApplication::processEvents();
    const QSize area = frame->GetMdiClient()->viewport()->size();
    std::vector<QPoint> corners;
    for (CSplitFrame* report : reports) {
        EXPECT_FALSE(report->isMaximized());
        EXPECT_GE(report->width(), area.width() * 2 / 3);
        EXPECT_GE(report->height(), area.height() * 2 / 3);
        EXPECT_TRUE(QRect(QPoint(), area).contains(report->geometry()));
        corners.push_back(report->pos());
    }
    std::sort(corners.begin(), corners.end(), [](QPoint a, QPoint b) { return a.y() < b.y(); });
    for (std::size_t i = 1; i < corners.size(); ++i)
        EXPECT_EQ(corners[i] - corners[i - 1], QPoint(skin::kCaptionHeight, skin::kCaptionHeight));
    // The active report stays in front, and choosing another keeps the
    // cascade (it is not maximised again).
    EXPECT_EQ(frame->MDIGetActive(), reports[0]);
    EXPECT_EQ(frame->GetMdiClient()->subWindowList(QMdiArea::StackingOrder).back(), reports[0]);
    frame->GetWindowList()->Entries()[1]->trigger();
    QApplication::processEvents();
    EXPECT_EQ(frame->MDIGetActive(), reports[1]);
    EXPECT_FALSE(reports[1]->isMaximized());

    // A minimised report comes back when chosen.
    reports[2]->showMinimized();
    QApplication::processEvents();
    entries();
    frame->GetWindowList()->Entries()[2]->trigger();
    QApplication::processEvents();
    EXPECT_EQ(frame->MDIGetActive(), reports[2]);
    EXPECT_FALSE(reports[2]->isMinimized());
}

// Arrange Icons lines the minimised reports up along the bottom of the
// area, in the order they were opened; a report that is not minimised keeps
// its place and size.
TEST_F(FrameTest, ArrangeIconsLinesTheMinimisedReportsUpAlongTheBottom)
{
    CSplitFrame* reports[4] = {openReport(), openReport(), openReport(), openReport()};
    frame->ExecuteCommand(res::ID_WINDOW_CASCADE);
    QApplication::processEvents();
    for (int i : {0, 2, 3}) {
        reports[i]->showMinimized();
        reports[i]->move(200 + 40 * i, 50 + 30 * i); // scattered
    }
    // The open report fills the area, in front of the icons.
    reports[1]->setGeometry(QRect(QPoint(), frame->GetMdiClient()->viewport()->size()));
    reports[1]->raise();
    QApplication::processEvents();
    const QRect open = reports[1]->geometry();

    frame->ExecuteCommand(res::ID_WINDOW_ARRANGE);
    QApplication::processEvents();
    EXPECT_EQ(reports[1]->geometry(), open);
    EXPECT_FALSE(reports[1]->isMinimized());
    const int bottom = frame->GetMdiClient()->viewport()->height();
    int x = 0;
    for (int i : {0, 2, 3}) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(reports[i]->isMinimized());
        EXPECT_EQ(reports[i]->geometry().left(), x);
        EXPECT_EQ(reports[i]->geometry().bottom() + 1, bottom);
        x += reports[i]->width();
    }
    // The icons come in front of the open report that covers their row.
    const QList<QMdiSubWindow*> stacking = frame->GetMdiClient()->subWindowList(QMdiArea::StackingOrder);
    for (int i : {0, 2, 3})
        EXPECT_GT(stacking.indexOf(reports[i]), stacking.indexOf(reports[1])) << i;
}

// A minimised report is a caption bar the user can see and click: it keeps
// the caption's height and a usable width, shows its own caption (title and
// buttons) and comes back from it; Arrange Icons lays such bars side by side
// inside the area, none hidden under another.
TEST_F(FrameTest, AMinimisedReportStaysAVisibleCaptionToRestoreFrom)
{
    CSplitFrame* reports[3] = {openReport(), openReport(), openReport()};
    frame->ExecuteCommand(res::ID_WINDOW_CASCADE);
    QApplication::processEvents();
    for (CSplitFrame* r : reports)
        r->showMinimized();
    QApplication::processEvents();
    for (CSplitFrame* r : reports) {
        EXPECT_TRUE(r->isMinimized());
        EXPECT_TRUE(r->isVisible());
        EXPECT_GE(r->height(), skin::CaptionBandHeight());
        EXPECT_GE(r->width(), 120);
        skin::CaptionBar* caption = r->GetCaption();
        ASSERT_TRUE(caption->isVisible());
        EXPECT_EQ(QRect(caption->mapTo(r, QPoint()), caption->size()), r->rect());
        EXPECT_NE(caption->Buttons().Rect(skin::kMinButton), QRect());
    }

    frame->ExecuteCommand(res::ID_WINDOW_ARRANGE);
    QApplication::processEvents();
    const QRect area(QPoint(), frame->GetMdiClient()->viewport()->size());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(area.contains(reports[i]->geometry()));
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(reports[i]->geometry().intersects(reports[j]->geometry()));
    }

    // Its restore button brings the report back whole, caption on top.
    emit reports[1]->GetCaption()->buttonClicked(skin::kMinButton);
    QApplication::processEvents();
    EXPECT_FALSE(reports[1]->isMinimized());
    EXPECT_GT(reports[1]->height(), 3 * skin::CaptionBandHeight());
    skin::CaptionBar* caption = reports[1]->GetCaption();
    EXPECT_TRUE(caption->isVisible());
    EXPECT_EQ(caption->geometry().top(), 0);
    EXPECT_EQ(caption->width(), reports[1]->widget()->width() - 2 * skin::SM_CXFRAME);
    ASSERT_NE(reports[1]->GetActiveView(), nullptr);
    EXPECT_TRUE(reports[1]->GetActiveView()->isVisible());
    EXPECT_GT(reports[1]->GetActiveView()->height(), skin::CaptionBandHeight());
}

// A minimised report is not the one in front: the next report still shown
// comes to the front, as the class library's MDI frame does, and the Window
// menu checks it; with every report minimised no report is in front, so the
// commands that need one are disabled and run nothing; a report restored
// comes to the front again.
TEST_F(FrameTest, MinimisingTheReportInFrontBringsTheNextShownOne)
{
    CSplitFrame* first = openReport();
    CSplitFrame* second = openReport();
    first->setWindowTitle(QStringLiteral("First"));
    second->setWindowTitle(QStringLiteral("Second"));
    ASSERT_EQ(frame->MDIGetActive(), second);
    QMenu* windowMenu = WindowMenu();
    ASSERT_NE(windowMenu, nullptr);
    const auto checked = [&] {
        emit windowMenu->aboutToShow();
        QStringList shown;
        for (QAction* a : frame->GetWindowList()->Entries()) {
            if (a->isChecked())
                shown << a->text();
        }
        return shown;
    };
    QAction* viewCommand = frame->GetCommandAction(kViewCmd);

    ASSERT_TRUE(second->isMaximized());
    second->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(frame->MDIGetActive(), first);
    EXPECT_EQ(checked(), QStringList{QStringLiteral("&1 First")});
    // It takes the room the maximised report left.
    EXPECT_TRUE(first->isMaximized());
    frame->ExecuteCommand(kViewCmd);
    EXPECT_EQ(g_log, std::vector<std::string>{"view"});

    first->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    EXPECT_TRUE(checked().isEmpty());
    frame->UpdateCommandUI();
    EXPECT_FALSE(viewCommand->isEnabled());
    EXPECT_FALSE(frame->GetCommandAction(res::ID_FILE_SAVE)->isEnabled());
    EXPECT_FALSE(frame->GetPageCombo()->isEnabled());
    g_log.clear();
    frame->ExecuteCommand(kViewCmd);
    EXPECT_TRUE(g_log.empty());
    // The Window menu stays, to bring the reports back; the number pane
    // names no report's object.
    EXPECT_EQ(frame->menuBar()->actions().size(), 9);
    CColorStatusBar* status = frame->GetStatusBar();
    EXPECT_EQ(status->GetPaneText(status->CommandToIndex(res::ID_INDICATOR_NONE)), QStringLiteral("None"));

    second->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(frame->MDIGetActive(), second);
    // Minimised while maximised, it comes back maximised.
    EXPECT_TRUE(second->isMaximized());
    EXPECT_EQ(checked(), QStringList{QStringLiteral("&2 Second")});
    frame->UpdateCommandUI();
    EXPECT_TRUE(viewCommand->isEnabled());
}

// The drop-down buttons of the object bar follow their menus' commands: with
// no report open (or nothing selected) the line-width and arrow buttons are
// disabled, and a disabled drop-down draws its arrow greyed like its image,
// never in the dark colour of a live one.
TEST_F(FrameTest, DropDownButtonsAreDisabledWithoutAReportAndLookIt)
{
    frame->UpdateCommandUI();
    CToolBarEx* bar = frame->GetControlBar(res::IDW_OBJECT_BAR);
    ASSERT_NE(bar, nullptr);
    const QColor dark = skin::ToQColor(app->m_skin.m_clrSkinDark);
    const auto darkArrowPixels = [&](int id) {
        QToolButton* button = bar->GetButton(id);
        const QImage img = bar->grab().toImage();
        const QRect face = bar->ButtonFaceRect(button).translated(button->pos());
        const QRect zone(face.right() + 1 - CToolBarEx::kArrowZone, face.top(), CToolBarEx::kArrowZone, face.height());
        int n = 0;
        for (int y = zone.top(); y <= zone.bottom(); ++y)
            for (int x = zone.left(); x <= zone.right(); ++x)
                n += QColor(img.pixel(x, y)) == dark ? 1 : 0;
        return n;
    };
    for (int id : {res::ID_LINE_WIDTH, res::ID_ARROW}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(frame->GetCommandAction(id)->isEnabled());
        EXPECT_FALSE(bar->GetButton(id)->isEnabled());
        EXPECT_EQ(darkArrowPixels(id), 0);
    }
    // A report whose view takes no line widths leaves them disabled too.
    openReport();
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->GetCommandAction(res::ID_LINE_WIDTH)->isEnabled());
    // Enabled, the arrow is the dark one.
    frame->GetCommandAction(res::ID_ARROW)->setEnabled(true);
    EXPECT_GT(darkArrowPixels(res::ID_ARROW), 5);
}
