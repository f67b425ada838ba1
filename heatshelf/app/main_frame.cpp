#include "main_frame.h"

#include "current_folder.h"
#include "empty_image_view.h"
#include "frame_resources.h"
#include "left_view.h"
#include "resource_ids.h"
#include "string_table.h"

#include "heatshelf/theme.h"
#include "skin/color_status_bar.h"
#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/metrics.h"
#include "skin/my_splitter.h"
#include "skin/scroll_codes.h"
#include "skin/skin_resources.h"
#include "skin/skin_scroll_bar.h"
#include "skin/tool_bar_ex.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <iterator>

namespace heatshelf {
namespace {

constexpr int kIndicators[] = {res::ID_SEPARATOR, res::ID_INDICATOR_CAPS, res::ID_INDICATOR_NUM,
                               res::ID_INDICATOR_SCRL};
constexpr int kFrame = skin::SM_CXFRAME;

// The menu bar in the theme: a mid-shade strip; the open item on the icon
// menu's gradient, framed in the base shade; black text in the icon-title
// font.
class SkinMenuBar : public QMenuBar {
public:
    SkinMenuBar(const Theme& theme, QWidget* parent) : QMenuBar(parent), m_theme(theme)
    {
        setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), skin::ToQColor(m_theme.SkinMid()));
        const QList<QAction*> items = actions();
        for (QAction* a : items) {
            const QRect r = actionGeometry(a);
            if (r.isEmpty() || r.top() > 0)
                continue; // a wrapped second line is not painted
            const bool focus = a == activeAction();
            if (focus) {
                CIconMenu::DrawGradientBar(&p, r, m_theme.SkinLight(), m_theme.SkinBase(), false);
                p.setPen(skin::ToQColor(m_theme.SkinBase()));
                p.drawRect(r.adjusted(0, 0, -1, -1));
            }
            p.setPen(Qt::black);
            p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, a->text());
        }
    }

private:
    const Theme& m_theme;
};

} // namespace

CMainFrame::CMainFrame(Theme& theme, ViewFactory makeView, QWidget* parent)
    : QMainWindow(parent), m_theme(theme), m_makeView(std::move(makeView))
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setWindowTitle(LoadStringRes(res::IDR_MAINFRAME));
    setWindowIcon(ProgramIcon());
    setupCommands();
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    skin::SetCommandActionProvider({});
}

int CMainFrame::CaptionHeight() const { return skin::SM_CYFRAME + skin::SM_CYSIZE; }

QAction* CMainFrame::action(int id, const QString& text)
{
    QAction*& a = m_actions[id];
    // "text\tkeys": the keys become the item's shortcut.
    const QString shown = text.section(QLatin1Char('\t'), 0, 0);
    const QString keys = text.section(QLatin1Char('\t'), 1);
    if (a == nullptr) {
        a = new QAction(shown, this);
        a->setData(id);
        a->setStatusTip(CommandPrompt(id));
        a->setToolTip(CommandTip(id));
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
    } else if (!text.isEmpty()) {
        a->setText(shown);
    }
    if (!keys.isEmpty()) {
        a->setShortcut(QKeySequence(keys));
        a->setShortcutContext(Qt::ApplicationShortcut);
    }
    return a;
}

bool CMainFrame::Create()
{
    // The layout sits inside the skinned caption and borders.
    setContentsMargins(kFrame, CaptionHeight() + 1, kFrame, kFrame);
    auto* bar = new SkinMenuBar(m_theme, this);
    bar->setObjectName(QStringLiteral("MenuBar"));
    setMenuBar(bar);
    BuildMainMenu(bar, [this](int id, const QString& text) { return action(id, text); });
    for (QMenu* m : bar->findChildren<QMenu*>())
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);

    m_statusBar = new CColorStatusBar(this);
    m_statusBar->setObjectName(QString::number(res::IDW_STATUS_BAR));
    const auto paneText = [](int id) { return LoadStringRes(id == res::ID_SEPARATOR ? res::AFX_IDS_IDLEMESSAGE : id); };
    if (!m_statusBar->SetIndicators(kIndicators, int(std::size(kIndicators)), paneText))
        return false;
    // The lock keys have no source here: their panes stay disabled.
    for (int i = 1; i < m_statusBar->GetCount(); ++i)
        m_statusBar->SetPaneStyle(i, SBPS_DISABLED);
    setStatusBar(m_statusBar);

    RegisterFrameToolBars();
    // The toolbar's buttons run the frame's commands (the menu's actions).
    skin::SetCommandActionProvider([this](int id) { return action(id, QString()); });
    m_toolBar = new CToolBarEx(this);
    m_toolBar->setObjectName(QString::number(res::IDW_TOOLBAR));
    m_toolBar->SetControlId(res::IDW_TOOLBAR);
    if (!m_toolBar->LoadToolBarEx(res::IDR_MAINFRAME))
        return false;
    m_toolBar->setMovable(false);
    m_toolBar->SetBackground(m_theme.SkinLight(), m_theme.SkinBase());
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    // The client: the splitter under the two skin bars.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(m_client);
    // The panes are placed by hand: follow the client when the toolbar or
    // the status bar is shown or hidden, not only when the frame is resized.
    m_client->installEventFilter(this);
    m_wndHScroll = new CSkinScrollBar(Qt::Horizontal, m_client);
    m_wndHScroll->setObjectName(QString::number(res::IDW_HSCROLL));
    m_wndVScroll = new CSkinScrollBar(Qt::Vertical, m_client);
    m_wndVScroll->setObjectName(QString::number(res::IDW_VSCROLL));
    m_wndHScroll->SetBitmap(m_theme.SkinScrollBitmap());
    m_wndVScroll->SetBitmap(m_theme.SkinScrollBitmap());
    m_wndHScroll->setEnabled(false);
    m_wndVScroll->setEnabled(false);
    connect(m_wndVScroll, &CSkinScrollBar::scrollCode, this, &CMainFrame::OnVScroll);
    connect(m_wndHScroll, &CSkinScrollBar::scrollCode, this, &CMainFrame::OnHScroll);
    ShowSkinScrollBars(true);
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &CMainFrame::OnTimer);
    m_timer.start();

    m_splitter = new CMySplitter(Qt::Horizontal, skin::ToQColor(m_theme.SkinBase()), m_client);
    m_splitter->setObjectName(QString::number(res::IDW_SPLITTER));
    m_splitter->setChildrenCollapsible(true);
    m_leftView = new CLeftView(m_theme, m_splitter);
    m_leftView->setMinimumWidth(0);
    m_splitter->addWidget(m_leftView);
    // The tree fills and selects its first root before the image view
    // exists; that folder is shown once the view is connected, below.
    m_leftView->Tree()->FillRoot();
    m_rightView = m_makeView ? m_makeView(m_splitter) : new CEmptyImageView(m_theme, m_splitter);
    if (m_rightView == nullptr || m_rightView->View() == nullptr)
        return false;
    m_splitter->addWidget(m_rightView->View());
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({180, 100});
    m_leftView->SetStepTarget([this](int what, bool force) {
        if (m_rightView != nullptr)
            m_rightView->Step(what, force);
    });
    // The folder selected at start is the one shown.
    const QString startFolder = m_leftView->Tree()->PathOf(m_leftView->Tree()->currentIndex());
    if (!startFolder.isEmpty()) {
        CurrentFolder() = startFolder;
        m_rightView->Step(res::kStepFirst, true);
    }
    m_wndHScroll->raise();
    m_wndVScroll->raise();

    setMinimumWidth(220 + 2 * kFrame);
    m_idle.setInterval(200);
    connect(&m_idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    m_idle.start();
    connect(&m_theme, &Theme::themeChanged, this, &CMainFrame::ApplyTheme);
    // Every key, button and wheel turn of the program returns the status
    // bar to its idle text (ShowIdleMessage).
    qApp->installEventFilter(this);
    UpdateCommandUI();
    return true;
}

void CMainFrame::SetRecentFiles(const QStringList& menuTexts)
{
    for (int id = res::ID_FILE_MRU_FILE1; id <= res::ID_FILE_MRU_LAST; ++id) {
        QAction* a = m_actions.value(id);
        if (a == nullptr)
            continue;
        const int index = id - res::ID_FILE_MRU_FILE1;
        if (index < menuTexts.size()) {
            a->setText(menuTexts[index]);
            a->setVisible(true);
        } else {
            // While the list is empty its first item says so, disabled.
            a->setText(index == 0 ? QString::fromUtf8("最近文件") : QString());
            a->setVisible(index == 0);
        }
    }
}

void CMainFrame::setupCommands()
{
    const auto view = [this] { return GetRightView(); };
    const auto step = [view](int what) {
        if (IImageViewState* v = view())
            v->Step(what, false);
    };
    OnCommand(res::ID_THUMBNAILS, [=](int) {
        if (IImageViewState* v = view()) {
            v->SetCurrentFileName(QString());
            v->SetDisplayBits(2);
            step(res::kStepAgain);
        }
    });
    OnCommand(res::ID_PREVIOUS, [=](int) { step(res::kStepPrevious); });
    OnCommand(res::ID_SINGLE, [=](int) {
        if (IImageViewState* v = view()) {
            v->SetDisplayBits(1);
            step(res::kStepAgain);
        }
    });
    OnCommand(res::ID_NEXT, [=](int) { step(res::kStepNext); });
    OnCommand(res::ID_UNUSED_1008, [](int) {});
    OnCommand(res::ID_SHOW_AGAIN, [=](int) { step(res::kStepAgain); });
    OnCommand(res::ID_INVERT, [=](int) {
        if (IImageViewState* v = view()) {
            v->SetInvert(!v->Invert());
            step(res::kStepAgain);
        }
    });
    OnCommand(res::ID_PLAY_SOUND, [this, view](int) {
        if (view() != nullptr)
            QTimer::singleShot(0, this, [this] {
                if (IImageViewState* r = GetRightView())
                    r->PlayVoiceNote();
            });
    });
    OnCommand(res::ID_MEASURE_OBJECTS, [=](int) {
        if (IImageViewState* v = view()) {
            v->SetShowMeasureObjects(!v->ShowMeasureObjects());
            v->View()->update();
        }
    });
    // The enable and radio rules of the image commands.
    OnUpdateRange(res::ID_THUMBNAILS, res::ID_MEASURE_OBJECTS, [=](CCmdUI& ui) {
        IImageViewState* v = view();
        if (v == nullptr) {
            ui.Enable(false);
            return;
        }
        if (v->DisplayBits() == 0)
            v->SetDisplayBits(1);
        const bool file = !v->NoFile();
        switch (ui.GetID()) {
        case res::ID_THUMBNAILS: ui.Enable(true); ui.SetRadio(v->DisplayBits() == 2); break;
        case res::ID_PREVIOUS: ui.Enable(file && !v->IsFirst()); ui.SetRadio(false); break;
        case res::ID_SINGLE: ui.Enable(true); ui.SetRadio(v->DisplayBits() == 1); break;
        case res::ID_NEXT: ui.Enable(file && !v->IsLast()); ui.SetRadio(false); break;
        case res::ID_UNUSED_1008: ui.Enable(false); ui.SetRadio(false); break;
        case res::ID_SHOW_AGAIN: ui.Enable(file); ui.SetRadio(false); break;
        case res::ID_INVERT: ui.Enable(file); ui.SetRadio(v->Invert()); break;
        case res::ID_PLAY_SOUND:
            ui.Enable(!v->CurrentFileName().isEmpty() && v->HasSoundNote() && !v->IsThumbnailMode());
            ui.SetRadio(v->SoundButton());
            break;
        case res::ID_MEASURE_OBJECTS: ui.Enable(true); ui.SetRadio(v->ShowMeasureObjects()); break;
        default: break;
        }
    });
    OnCommand(res::ID_FOLDER_PANE, [this](int) {
        m_bFolderPaneShown = !m_bFolderPaneShown;
        if (m_splitter == nullptr)
            return;
        const int total = std::max(0, m_splitter->width() - m_splitter->handleWidth());
        const int left = m_bFolderPaneShown ? 160 : 0;
        // A hidden pane takes no keys: the keyboard goes to the image view.
        if (m_leftView != nullptr) {
            const bool hadFocus = m_leftView->isAncestorOf(QApplication::focusWidget());
            m_leftView->setVisible(m_bFolderPaneShown);
            if (!m_bFolderPaneShown && hadFocus && m_rightView != nullptr)
                m_rightView->View()->setFocus(Qt::OtherFocusReason);
        }
        m_splitter->setSizes({left, std::max(0, total - left)});
        RecalcPaneLayout();
    });
    OnUpdate(res::ID_FOLDER_PANE, [this](CCmdUI& ui) {
        ui.Enable(true);
        ui.SetCheck(m_bFolderPaneShown ? 1 : 0);
    });
    OnCommand(res::ID_VIEW_TOOLBAR, [this](int) {
        if (m_toolBar)
            m_toolBar->setVisible(!m_toolBar->isVisible());
    });
    OnUpdate(res::ID_VIEW_TOOLBAR, [this](CCmdUI& ui) { ui.SetCheck(m_toolBar && !m_toolBar->isHidden()); });
    OnCommand(res::ID_VIEW_STATUS_BAR, [this](int) {
        if (m_statusBar)
            m_statusBar->setVisible(!m_statusBar->isVisible());
    });
    OnUpdate(res::ID_VIEW_STATUS_BAR, [this](CCmdUI& ui) { ui.SetCheck(m_statusBar && !m_statusBar->isHidden()); });
    OnCommand(res::ID_APP_EXIT, [this](int) { close(); });
    // No handler: the button stays disabled until the image view takes it.
    OnUpdate(res::ID_PALETTE_SELECT, [](CCmdUI& ui) { ui.Enable(false); });
}

bool CMainFrame::OnCmdMsg(int id, CmdMode mode, CCmdUI* ui)
{
    if (DispatchOwn(id, mode, ui))
        return true;
    return m_fallback != nullptr && m_fallback->OnCmdMsg(id, mode, ui);
}

bool CMainFrame::RunCommand(int id)
{
    ShowIdleMessage();
    return OnCmdMsg(id, CmdMode::Execute, nullptr);
}

void CMainFrame::ShowIdleMessage()
{
    if (m_statusBar == nullptr)
        return;
    const int pane = m_statusBar->CommandToIndex(res::ID_SEPARATOR);
    if (pane >= 0)
        m_statusBar->SetPaneText(pane, LoadStringRes(res::AFX_IDS_IDLEMESSAGE));
}

void CMainFrame::FollowFolder(const QString& folder)
{
    if (m_leftView != nullptr && !folder.isEmpty())
        m_leftView->Tree()->FollowFolder(folder);
}

CCmdUI CMainFrame::QueryCommand(int id)
{
    CCmdUI ui(id);
    // A command nobody handles is disabled, as the class library does.
    if (!OnCmdMsg(id, CmdMode::Update, &ui) && !OnCmdMsg(id, CmdMode::Probe, nullptr))
        ui.Enable(false);
    return ui;
}

void CMainFrame::UpdateCommandUI()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const CCmdUI ui = QueryCommand(it.key());
        QAction* a = it.value();
        a->setEnabled(ui.IsEnabled());
        if (ui.CheckChanged()) {
            a->setCheckable(true);
            a->setChecked(ui.IsChecked());
        }
    }
    if (m_toolBar == nullptr)
        return;
    for (QAction* a : m_toolBar->actions()) {
        const int id = a->data().toInt();
        if (id == 0 || a->isSeparator())
            continue;
        const CCmdUI ui = QueryCommand(id);
        a->setEnabled(ui.IsEnabled());
        if (ui.CheckChanged()) {
            a->setCheckable(true);
            a->setChecked(ui.IsChecked());
        }
    }
}

bool CMainFrame::InitMenuImages()
{
    const int result = m_menu.LoadMenu(menuBar(), res::IDR_MAINFRAME, 16, 15);
    m_menu.LoadToolBarImages(res::IDR_THEME_BAR, 16, 15);
    for (QAction* a : menuBar()->actions()) {
        if (QMenu* m = a->menu())
            m_menu.ConvertMenu(m, false);
    }
    return result != 0;
}

int CMainFrame::FolderPaneWidth() const { return m_splitter ? m_splitter->sizes().value(0) : 0; }

CSkinScrollBar* CMainFrame::GetSkinScrollBar(int bar) const
{
    return bar == 0 ? m_wndHScroll : bar == 1 ? m_wndVScroll : nullptr;
}

void CMainFrame::ShowSkinScrollBars(bool show)
{
    m_wndVScroll->setVisible(show);
    m_wndHScroll->setVisible(show);
    if (show)
        RecalcPaneLayout();
}

void CMainFrame::placeVScroll()
{
    const int cx = m_client->width();
    const int cy = m_client->height();
    const bool thumbs = m_rightView != nullptr && m_rightView->IsThumbnailMode() && m_wndVScroll->isEnabled();
    if (!thumbs) {
        m_wndVScroll->setGeometry(QRect());
        return;
    }
    m_wndVScroll->setGeometry(cx - skin::SM_CXVSCROLL - 2, 2, skin::SM_CXVSCROLL, std::max(0, cy - 5));
    m_wndVScroll->update();
}

void CMainFrame::RecalcPaneLayout()
{
    if (m_client == nullptr || m_splitter == nullptr)
        return;
    m_wndHScroll->setEnabled(false);
    m_wndHScroll->setGeometry(QRect());
    const bool thumbs = m_rightView != nullptr && m_rightView->IsThumbnailMode();
    if (!thumbs && m_wndVScroll->isEnabled()) {
        m_wndVScroll->setEnabled(false);
        const CSkinScrollBar::ScrollInfo info = m_wndVScroll->GetScrollInfo();
        m_wndVScroll->SetScrollInfo(info.nMin, info.nMax, info.nPage, info.nMin);
    }
    // The right pane ends 2 pixels short of the client's right edge, and a
    // bar's width more while the grid's bar shows.
    const int bar = thumbs && m_wndVScroll->isEnabled() ? skin::SM_CXVSCROLL : 0;
    m_splitter->setGeometry(0, 0, std::max(0, m_client->width() - 2 - bar), m_client->height());
    placeVScroll();
}

void CMainFrame::OnTimer()
{
    if (m_rightView == nullptr || m_leftView == nullptr)
        return;
    const int right = m_rightView->View()->width();
    const bool thumbs = m_rightView->IsThumbnailMode();
    if ((m_wndVScroll->isEnabled() && thumbs && m_client->width() - m_leftView->width() - right < 28) || right == 0)
        RecalcPaneLayout();
}

void CMainFrame::OnVScroll(int code, int position)
{
    if (m_rightView != nullptr)
        m_rightView->Scroll(true, code, position);
    // From where the bar stands: the grid moves it too (a new folder, the
    // file shown before scrolled to).
    const CSkinScrollBar::ScrollInfo info = m_wndVScroll->GetScrollInfo();
    int pos = info.nPos;
    bool invalidate = true;
    switch (code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= info.nPage; break;
    case SB_PAGEDOWN: pos += info.nPage; break;
    case SB_THUMBTRACK: pos = position; invalidate = false; break;
    default: invalidate = false; break;
    }
    pos = std::clamp(pos, info.nMin, std::max(info.nMin, info.nMax - std::max(info.nPage, 1) + 1));
    m_wndVScroll->SetScrollInfo(info.nMin, info.nMax, info.nPage, pos);
    if (invalidate && m_rightView != nullptr)
        m_rightView->View()->update();
}

void CMainFrame::OnHScroll(int code, int position)
{
    if (m_rightView != nullptr)
        m_rightView->Scroll(false, code, position);
    const CSkinScrollBar::ScrollInfo info = m_wndHScroll->GetScrollInfo();
    int pos = info.nPos;
    switch (code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= info.nPage; break;
    case SB_PAGEDOWN: pos += info.nPage; break;
    default: return;
    }
    pos = std::clamp(pos, info.nMin, std::max(info.nMin, info.nMax - std::max(info.nPage, 1) + 1));
    m_wndHScroll->SetScrollInfo(info.nMin, info.nMax, info.nPage, pos);
}

void CMainFrame::ApplyTheme()
{
    if (m_statusBar)
        m_statusBar->update();
    if (m_toolBar) {
        m_toolBar->SetBackground(m_theme.SkinLight(), m_theme.SkinBase());
        m_toolBar->update();
    }
    for (CSkinScrollBar* b : {m_wndHScroll, m_wndVScroll}) {
        if (b)
            b->SetBitmap(m_theme.SkinScrollBitmap());
    }
    if (m_splitter)
        m_splitter->SetLightColor(skin::ToQColor(m_theme.SkinBase()));
    if (m_leftView)
        m_leftView->ApplyTheme();
    if (m_rightView)
        m_rightView->ApplyTheme();
    if (menuBar())
        menuBar()->update();
    update();
}

// ---- caption ----

void CMainFrame::layoutCaptionButtons()
{
    const int w = width() - kFrame;
    const int h = CaptionHeight();
    m_buttons.SetRect(skin::kCloseButton, QRect(w - 24, h - 25, 24, 25));
    m_buttons.SetRect(skin::kMaxButton, QRect(w - 47, h - 25, 23, 25));
    m_buttons.SetRect(skin::kMinButton, QRect(w - 70, h - 25, 23, 25));
}

void CMainFrame::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    layoutCaptionButtons();
    RecalcPaneLayout();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e)
{
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        // The user acts: a message said earlier has had its time.
        if (watched->isWidgetType())
            ShowIdleMessage();
        break;
    default:
        break;
    }
    if (watched == m_client && e->type() == QEvent::Resize)
        RecalcPaneLayout();
    return QMainWindow::eventFilter(watched, e);
}

void CMainFrame::PaintNonClient(QPainter& p)
{
    const int width = this->width();
    const int height = this->height();
    const int w = width - kFrame;
    const int h = CaptionHeight();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    skin::DrawGlossGradient(&p, 0, 0, width, h + 1, m_theme.SkinPale(), m_theme.SkinMid(), false);
    const QColor mid = skin::ToQColor(m_theme.SkinMid());
    p.fillRect(QRect(0, h + 1, kFrame, height - h - 1), mid);
    p.fillRect(QRect(0, height - skin::SM_CYFRAME, width, skin::SM_CYFRAME), mid);
    p.fillRect(QRect(width - kFrame, h + 1, kFrame, height - h - 1), mid);
    // Buttons: close 0, maximise 8 or restore 4, minimise 12, plus the
    // pressed and hot offsets.
    const skin::ImageList& images = m_theme.SkinCaptionButtons();
    const auto draw = [&](skin::CaptionButton b, int glyph) {
        const QRect r = m_buttons.Rect(b);
        if (!r.isEmpty())
            images.Draw(p, glyph + m_buttons.ImageOffset(b, true), r.left(), r.top());
    };
    draw(skin::kCloseButton, skin::kGlyphClose);
    draw(skin::kMaxButton, isMaximized() ? skin::kGlyphRestore : skin::kGlyphMaximize);
    draw(skin::kMinButton, skin::kGlyphMinimize);
    windowIcon().paint(&p, QRect(10, h - 18, 16, 16));
    p.setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    p.setPen(skin::ToQColor(m_theme.SkinText()));
    p.drawText(QRect(QPoint(30, h - 18), QPoint(w - 66 - 1, h - 2 - 1)), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               windowTitle());
    // The outline and the bevelled top corners.
    const QColor dark = skin::ToQColor(m_theme.SkinDark());
    p.setPen(dark);
    p.drawLine(0, 0, width - 1, 0);
    p.drawLine(0, 0, 0, height - 1);
    p.drawLine(0, height - 1, width - 1, height - 1);
    p.drawLine(width - 1, 0, width - 1, height - 1);
    for (const QPoint& q : {QPoint(3, 1), QPoint(1, 3), QPoint(2, 2), QPoint(4, 1), QPoint(1, 4)}) {
        p.drawPoint(q);
        p.drawPoint(width - 1 - q.x(), q.y());
    }
    p.restore();
}

void CMainFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintNonClient(p);
}

void CMainFrame::runCaptionButton(skin::CaptionButton b)
{
    switch (b) {
    case skin::kCloseButton: close(); break;
    case skin::kMinButton: showMinimized(); break;
    case skin::kMaxButton:
        if (isMaximized())
            showNormal();
        else
            showMaximized();
        update();
        break;
    default: break;
    }
}

void CMainFrame::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton && m_buttons.Press(p)) {
        update(0, 0, width(), CaptionHeight() + 1);
        return;
    }
    if (e->button() == Qt::LeftButton && !isMaximized() && skin::StartFrameResize(this, p, kFrame))
        return;
    if (e->button() == Qt::LeftButton && p.y() <= CaptionHeight() && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
        return;
    }
    QMainWindow::mousePressEvent(e);
}

void CMainFrame::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (m_buttons.Move(p, e->buttons() & Qt::LeftButton))
        update(0, 0, width(), CaptionHeight() + 1);
    if (!isMaximized())
        skin::UpdateFrameCursor(this, p, kFrame);
    QMainWindow::mouseMoveEvent(e);
}

void CMainFrame::mouseReleaseEvent(QMouseEvent* e)
{
    // Released over the button pressed: it runs; anywhere else nothing, and
    // every pressed flag is cleared.
    const skin::CaptionButton run = m_buttons.Release(e->position().toPoint());
    update(0, 0, width(), CaptionHeight() + 1);
    if (run != skin::kNoButton) {
        runCaptionButton(run);
        return;
    }
    QMainWindow::mouseReleaseEvent(e);
}

void CMainFrame::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (p.y() <= CaptionHeight() && m_buttons.HitTest(p) == skin::kNoButton) {
        runCaptionButton(skin::kMaxButton);
        return;
    }
    QMainWindow::mouseDoubleClickEvent(e);
}

void CMainFrame::leaveEvent(QEvent* e)
{
    if (m_buttons.Leave())
        update(0, 0, width(), CaptionHeight() + 1);
    QMainWindow::leaveEvent(e);
}

void CMainFrame::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange || e->type() == QEvent::WindowTitleChange)
        update();
}

} // namespace heatshelf
