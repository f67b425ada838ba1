#include "main_frame.h"

#include "mdi_window_list.h"

#include "child_buttons.h"
#include "skin/color_status_bar.h"
#include "frame_resources.h"
#include "frame_view.h"
#include "platform/program_folder.h"
#include "program_icon.h"
#include "resource_ids.h"
#include "rpt_app.h"
#include "split_frame.h"
#include "string_table.h"

#include "platform/settings.h"
#include "skin/caption.h"
#include "skin/message_box.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"
#include "skin/skin_resources.h"
#include "skin/text_format_bar.h"
#include "skin/tool_bar_ex.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <utility>

using namespace res;

namespace {

struct BarSpec {
    int controlId;
    int resourceId;
};

// In the order of creation.
constexpr BarSpec kBars[] = {
    {AFX_IDW_TOOLBAR, IDR_STANDARD_BAR}, {IDW_MEASURE_BAR, IDR_MEASURE_BAR}, {IDW_OBJECT_BAR, IDR_OBJECT_BAR},
    {IDW_ADJUST_BAR, IDR_ADJUST_BAR},    {IDW_PAGE_BAR, IDR_PAGE_BAR},       {IDW_PLAY_BAR, IDR_PLAY_BAR},
    {IDW_FORMAT_BAR, IDR_FORMAT_BAR},
};

// Docking order, with the rows they start.
constexpr int kDockOrder[] = {AFX_IDW_TOOLBAR, IDW_OBJECT_BAR, IDW_MEASURE_BAR, IDW_PAGE_BAR,
                              IDW_ADJUST_BAR,  IDW_FORMAT_BAR, IDW_PLAY_BAR};
constexpr int kRowStarts[] = {IDW_MEASURE_BAR, IDW_FORMAT_BAR};

constexpr int kIndicators[] = {ID_SEPARATOR,      ID_INDICATOR_LOCKED, ID_INDICATOR_NONE,
                               ID_INDICATOR_CAPS, ID_INDICATOR_NUM,    ID_INDICATOR_SCRL};

const QString kStateEntry = QStringLiteral("State");

// A report frame's property: it was maximised when it was minimised.
constexpr char kRestoreMaximised[] = "restoreMaximised";

// The first command of each drop-down's menu.
constexpr int kFirstLineWidth = 32985;
constexpr int kFirstArrowStyle = 34025;

} // namespace

CMainFrame::CMainFrame(CDI_RptApp& app) : m_app(app)
{
    // The frame paints its own caption and border.
    setWindowFlag(Qt::FramelessWindowHint);
    setContentsMargins(skin::SM_CXFRAME, skin::CaptionBandHeight(), skin::SM_CXFRAME, skin::SM_CYFRAME);
    setMouseTracking(true);
    RegisterFrameToolBars();
    skin::SetCommandActionProvider([this](int id) { return GetCommandAction(id); });
    skin::SetPopupMenuProvider([this](int id, QWidget* parent) -> QMenu* {
        const std::vector<MenuItem>& items = MenuResource(id);
        if (items.empty())
            return nullptr;
        auto* menu = new QMenu(parent);
        BuildMenu(menu, items.front().items, [this](int cmd, const QString& text) { return GetMenuAction(cmd, text); });
        return menu;
    });

    for (const BarSpec& bar : kBars) {
        OnCommand(bar.controlId, [this](int id) { toggleBar(id); });
        OnUpdate(bar.controlId, [this](CCmdUI& ui) {
            CToolBarEx* b = GetControlBar(ui.GetID());
            ui.SetCheck(b != nullptr && b->isVisible());
        });
    }
    OnCommand(ID_VIEW_STATUS_BAR, [this](int) {
        m_statusBar->setVisible(!m_statusBar->isVisible());
    });
    OnUpdate(ID_VIEW_STATUS_BAR, [this](CCmdUI& ui) { ui.SetCheck(m_statusBar != nullptr && m_statusBar->isVisible()); });
    // The drop-downs' menus carry the commands; each button is enabled
    // while its menu's commands are (the line widths with a selection, the
    // arrowheads with one line or arrow selected), so with no report open
    // both are disabled.
    OnCommand(ID_LINE_WIDTH, [](int) {});
    OnCommand(ID_ARROW, [](int) {});
    for (const auto& [button, item] : {std::pair{ID_LINE_WIDTH, kFirstLineWidth}, std::pair{ID_ARROW, kFirstArrowStyle}}) {
        OnUpdate(button, [this, item = item](CCmdUI& ui) {
            CCmdUI probe(item);
            if (CSplitFrame* child = MDIGetActive(); child != nullptr && child->OnCmdMsg(item, CmdMode::Update, &probe))
                ui.Enable(probe.EnableChanged() ? probe.IsEnabled() : true);
            else
                ui.Enable(false);
        });
    }
    OnUpdate(ID_PAGE_COMBO, [this](CCmdUI& ui) { onUpdatePageCombo(ui); });
    // With no report in front the report's panes show nothing of one.
    OnUpdate(ID_INDICATOR_LOCKED, [](CCmdUI& ui) { ui.Enable(false); });
    OnUpdate(ID_INDICATOR_NONE, [](CCmdUI& ui) { ui.SetText(LoadStringRes(ID_INDICATOR_NONE)); });
    // Lock keys cannot be read here; their panes stay empty.
    OnUpdateRange(ID_INDICATOR_CAPS, ID_INDICATOR_SCRL, [](CCmdUI& ui) { ui.Enable(false); });
    // The recent files: the first entry stands for the list and shows the
    // menu's "recent file", disabled, while the list is empty; the others
    // show only with a file. Choosing one is the application's command.
    OnUpdateRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, [this](CCmdUI& ui) { onUpdateRecentFile(ui); });
    OnCommand(ID_WINDOW_CASCADE, [this](int) { CMdiWindowList::Cascade(*m_mdi); });
    OnCommand(ID_WINDOW_TILE_HORZ, [this](int) { m_mdi->tileSubWindows(); });
    OnCommand(ID_WINDOW_ARRANGE, [this](int) { CMdiWindowList::ArrangeIcons(*m_mdi); });
}

CMainFrame::~CMainFrame()
{
    // Children go after this body; they must not call back into the frame.
    if (m_mdi != nullptr) {
        m_mdi->disconnect(this);
        for (QMdiSubWindow* sub : m_mdi->subWindowList())
            sub->disconnect(this);
    }
    if (m_idleTimer != nullptr)
        m_idleTimer->stop();
    // The layout again. (Voice notes live in the private scratch folder,
    // which goes at exit.)
    SaveBarState(QStringLiteral("ToolBarPostion"));
    skin::SetCommandActionProvider({});
    skin::SetPopupMenuProvider({});
}

QAction* CMainFrame::GetCommandAction(int id)
{
    if (QAction* a = m_actions.value(id))
        return a;
    auto* a = new QAction(this);
    a->setData(id);
    a->setObjectName(QString::number(id));
    QString tip = CommandTip(id);
    a->setText(tip.isEmpty() ? CommandPrompt(id) : tip);
    a->setToolTip(tip);
    a->setStatusTip(CommandPrompt(id));
    a->setIcon(CommandIcon(id));
    connect(a, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    m_actions.insert(id, a);
    return a;
}

void CMainFrame::addRecentFileEntries(QMenu* menu)
{
    // The entries after the first follow it, as the list grows.
    const QList<QAction*> actions = menu->actions();
    const qsizetype first = actions.indexOf(m_actions.value(ID_FILE_MRU_FILE1));
    if (first < 0)
        return;
    QAction* before = actions.value(first + 1);
    for (int id = ID_FILE_MRU_FILE1 + 1; id <= ID_FILE_MRU_FILE4; ++id) {
        QAction* entry = GetMenuAction(id, QString());
        entry->setVisible(false);
        menu->insertAction(before, entry);
    }
}

void CMainFrame::onUpdateRecentFile(CCmdUI& ui)
{
    const int index = ui.GetID() - ID_FILE_MRU_FILE1;
    QString text = m_app.m_recentFiles.MenuText(index);
    ui.Enable(!text.isEmpty());
    if (text.isEmpty() && index == 0)
        text = m_actions.value(ID_FILE_MRU_FILE1)->property("menuText").toString();
    if (QAction* a = m_actions.value(ui.GetID())) {
        a->setVisible(!text.isEmpty());
        a->setStatusTip(index < m_app.m_recentFiles.Count() ? QDir::toNativeSeparators(m_app.m_recentFiles.At(index))
                                                               : CommandPrompt(ui.GetID()));
    }
    ui.SetText(text);
}

QAction* CMainFrame::GetMenuAction(int id, const QString& text)
{
    QAction* a = GetCommandAction(id);
    if (a->property("menuText").isNull()) {
        a->setProperty("menuText", text);
        a->setText(text.section(QLatin1Char('\t'), 0, 0));
        const QString keys = text.section(QLatin1Char('\t'), 1);
        if (!keys.isEmpty()) {
            const QKeySequence seq(keys == QLatin1String("Del") ? QStringLiteral("Delete") : keys);
            QList<QKeySequence> all{seq};
            // "Enter" in a menu text means either Enter key: the keypad's
            // (Qt's Key_Enter) and the main one (Key_Return).
            if (seq.count() == 1 && seq[0].key() == Qt::Key_Enter)
                all.append(QKeySequence(QKeyCombination(seq[0].keyboardModifiers(), Qt::Key_Return)));
            a->setShortcuts(all);
            a->setShortcutContext(Qt::ApplicationShortcut);
        }
    }
    return a;
}

void CMainFrame::ExecuteCommand(int id)
{
    RouteCmdMsg(id, CmdMode::Execute, nullptr);
    QTimer::singleShot(0, this, [this] { UpdateCommandUI(); });
}

bool CMainFrame::RouteCmdMsg(int id, CmdMode mode, CCmdUI* ui)
{
    if (CSplitFrame* child = MDIGetActive(); child != nullptr && child->OnCmdMsg(id, mode, ui))
        return true;
    if (DispatchOwn(id, mode, ui))
        return true;
    return m_app.OnCmdMsg(id, mode, ui);
}

bool CMainFrame::OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) { return RouteCmdMsg(id, mode, ui); }

void CMainFrame::UpdateCommandUI()
{
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it) {
        CCmdUI ui(it.key());
        QAction* a = it.value();
        if (RouteCmdMsg(it.key(), CmdMode::Update, &ui)) {
            // A handler that only sets a check mark or a text leaves the
            // command enabled exactly when something would run it, so a
            // state computed while no report was open does not stick.
            a->setEnabled(ui.EnableChanged() ? ui.IsEnabled() : RouteCmdMsg(it.key(), CmdMode::Probe, nullptr));
            if (ui.CheckChanged()) {
                a->setCheckable(true);
                a->setChecked(ui.IsChecked());
            }
            if (ui.TextChanged())
                a->setText(ui.Text());
        } else {
            // A command nobody handles is disabled.
            a->setEnabled(RouteCmdMsg(it.key(), CmdMode::Probe, nullptr));
        }
    }
    if (m_formatBar != nullptr) {
        // The bar talks to the report in front, whichever view had the
        // keyboard last: switching reports shows the new one's format.
        const CSplitFrame* child = MDIGetActive();
        CFrameView* view = child != nullptr ? child->GetActiveView() : nullptr;
        m_formatBar->SetReceiver(view != nullptr ? view->GetFormatBarReceiver() : nullptr);
        m_formatBar->OnUpdateCmdUI(view != nullptr);
    }
    if (m_statusBar == nullptr)
        return;
    for (int i = 0; i < m_statusBar->GetCount(); ++i) {
        const int id = m_statusBar->GetItemID(i);
        if (id == ID_SEPARATOR)
            continue;
        CCmdUI ui(id);
        if (!RouteCmdMsg(id, CmdMode::Update, &ui))
            continue; // panes keep their state without a handler
        if (ui.EnableChanged())
            m_statusBar->SetPaneStyle(i, ui.IsEnabled() ? SBPS_NORMAL : SBPS_DISABLED);
        if (ui.TextChanged())
            m_statusBar->SetPaneText(i, ui.Text());
    }
}

bool CMainFrame::LoadFrame(int resourceId)
{
    setWindowTitle(LoadStringRes(resourceId));
    setWindowIcon(ProgramIcon());
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QString::number(AFX_IDW_PANE_FIRST));
    m_mdi->setViewMode(QMdiArea::SubWindowView);
    setCentralWidget(m_mdi);
    m_caption = skin::MakeSkinCaptionBar(this, skin::kAllButtons);
    m_caption->SetIcon(ProgramIcon());
    m_caption->setObjectName(QStringLiteral("Caption"));
    connect(m_caption, &skin::CaptionBar::buttonClicked, this, &CMainFrame::onCaptionButton);
    m_childButtons = new CChildButtons(menuBar());
    m_childButtons->setObjectName(QStringLiteral("ChildButtons"));
    menuBar()->setCornerWidget(m_childButtons, Qt::TopRightCorner);
    m_childButtons->hide();
    connect(m_childButtons, &CChildButtons::buttonClicked, this, &CMainFrame::onChildButton);
    connect(&m_app.m_skin, &skin::SkinState::changed, this, &CMainFrame::ApplySkin);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::onChildActivated);

    createBars();
    m_statusBar = new CColorStatusBar(this);
    m_statusBar->setObjectName(QString::number(AFX_IDW_STATUS_BAR));
    const auto paneText = [](int id) {
        return LoadStringRes(id == ID_SEPARATOR ? AFX_IDS_IDLEMESSAGE : id);
    };
    if (!m_statusBar->SetIndicators(kIndicators, int(std::size(kIndicators)), paneText))
        return false;
    setStatusBar(m_statusBar);
    buildMenus();
    ApplySkin();

    // The client area is never narrower than 400 pixels.
    setMinimumSize(400 + 2 * skin::SM_CXFRAME, skin::CaptionBandHeight() + skin::SM_CYFRAME + 1);
    LoadBarState(QStringLiteral("ControlBarStates"));

    m_idleTimer = new QTimer(this);
    m_idleTimer->setInterval(200);
    connect(m_idleTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    m_idleTimer->start();
    UpdateCommandUI();
    return true;
}

void CMainFrame::createBars()
{
    for (const BarSpec& spec : kBars) {
        CToolBarEx* bar = spec.controlId == IDW_FORMAT_BAR ? (m_formatBar = new CTextFormatBar(this)) : new CToolBarEx(this);
        bar->setObjectName(QStringLiteral("Bar%1").arg(spec.controlId));
        bar->setWindowTitle(CommandTip(spec.controlId));
        bar->SetControlId(spec.controlId);
        bar->LoadToolBarEx(spec.resourceId);
        m_bars.push_back(bar);
    }
    CToolBarEx* object = GetControlBar(IDW_OBJECT_BAR);
    object->SetDropDownButton(ID_LINE_WIDTH, IDR_LINE_WIDTH_MENU);
    object->SetDropDownButton(ID_ARROW, IDR_ARROW_MENU);
    for (int id : {ID_TEXT_COLOR, ID_FILL_COLOR_BUTTON, ID_LINE_COLOR_BUTTON})
        object->AddButtonCtrl(id);
    GetControlBar(IDW_PAGE_BAR)->AddComboCtrl(ID_PAGE_COMBO, 120, 200);
    FillPageCombo(1);
    GetControlBar(IDW_PLAY_BAR)->AddComboCtrl(ID_FILE_COMBO, 120, 200);
    m_formatBar->PositionCombos();
    m_formatBar->SetMessageHandler([](int, const QString& text) { AfxMessageBox(text, MB_ICONINFORMATION); });
    connect(&m_app.m_signals, &CAppSignals::reporterPrinterChanged, m_formatBar, &CTextFormatBar::OnPrinterChanged);
    // A bar that moves repaints the frame's caption.
    for (CToolBarEx* bar : m_bars)
        connect(bar, &CToolBarEx::moved, this, [this] { QTimer::singleShot(1, this, [this] { repaintCaption(); }); });

    for (int id : kDockOrder) {
        for (int start : kRowStarts) {
            if (id == start)
                addToolBarBreak(Qt::TopToolBarArea);
        }
        addToolBar(Qt::TopToolBarArea, GetControlBar(id));
    }
}

void CMainFrame::buildMenus()
{
    auto action = [this](int id, const QString& text) { return GetMenuAction(id, text); };
    for (const MenuItem& top : MenuResource(IDR_MAINFRAME)) {
        auto* menu = new QMenu(QString::fromUtf8(top.text), this);
        BuildMenu(menu, top.items, action);
        m_frameMenus.push_back(menu);
    }
    for (const MenuItem& top : MenuResource(IDR_REPORTTYPE)) {
        auto* menu = new QMenu(QString::fromUtf8(top.text), this);
        BuildMenu(menu, top.items, action);
        m_sharedMenus.push_back(menu);
        // The Window menu lists the open reports after its commands.
        if (m_windowList == nullptr && menu->actions().contains(GetCommandAction(ID_WINDOW_CASCADE)))
            m_windowList = new CMdiWindowList(m_mdi, menu, this);
    }
    for (const std::vector<QMenu*>* menus : {&m_frameMenus, &m_sharedMenus}) {
        for (QMenu* menu : *menus)
            addRecentFileEntries(menu);
    }
    for (QMenu* menu : m_frameMenus)
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    for (QMenu* menu : m_sharedMenus)
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    m_sharedShown = true;
    showMenus(false);
}

void CMainFrame::showMenus(bool shared)
{
    if (shared == m_sharedShown)
        return;
    m_sharedShown = shared;
    menuBar()->clear();
    for (QMenu* menu : shared ? m_sharedMenus : m_frameMenus)
        menuBar()->addMenu(menu);
}

bool CMainFrame::LoadMenuImages(QWidget* menu, bool shared)
{
    CIconMenu& icons = shared ? m_sharedIconMenu : m_frameIconMenu;
    const int result = icons.LoadMenu(menu, IDR_STANDARD_BAR, 16, 15);
    for (int id : {IDR_OBJECT_BAR, IDR_MEASURE_BAR, IDR_FORMAT_BAR, IDR_IMAGE_BAR, IDR_IR_BAR, IDR_PAGE_BAR,
                   IDR_PLAY_BAR, IDR_ADJUST_BAR, IDR_TOOL_BAR})
        icons.LoadToolBarImages(id, id == IDR_IMAGE_BAR ? 64 : 16, 15);
    for (QMenu* m : shared ? m_sharedMenus : m_frameMenus)
        icons.ConvertMenu(m, false);
    return result != 0;
}

CToolBarEx* CMainFrame::GetControlBar(int id) const
{
    for (CToolBarEx* bar : m_bars) {
        if (bar->GetControlId() == id)
            return bar;
    }
    return nullptr;
}

void CMainFrame::toggleBar(int id)
{
    if (CToolBarEx* bar = GetControlBar(id))
        bar->setVisible(!bar->isVisible());
}

void CMainFrame::AddChildFrame(CSplitFrame* frame)
{
    m_mdi->addSubWindow(frame);
    connect(frame, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateChildButtons);
    connect(frame, &QMdiSubWindow::windowStateChanged, this,
            [this, frame](Qt::WindowStates before, Qt::WindowStates now) { onChildStateChanged(frame, before, now); });
    frame->showMaximized();
    m_mdi->setActiveSubWindow(frame);
}

CSplitFrame* CMainFrame::MDIGetActive() const
{
    auto* child = m_mdi == nullptr ? nullptr : qobject_cast<CSplitFrame*>(m_mdi->activeSubWindow());
    return child != nullptr && !child->isMinimized() ? child : nullptr;
}

bool CMainFrame::hasReports() const
{
    if (m_mdi == nullptr)
        return false;
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        if (!w->isHidden())
            return true;
    }
    return false;
}

void CMainFrame::onChildStateChanged(CSplitFrame* frame, Qt::WindowStates before, Qt::WindowStates now)
{
    const bool minimised = (now & Qt::WindowMinimized) != 0;
    const bool wasMinimised = (before & Qt::WindowMinimized) != 0;
    if (minimised && !wasMinimised) {
        // Restored, it comes back as it was: maximised when it was.
        frame->setProperty(kRestoreMaximised, (before & Qt::WindowMaximized) != 0);
        if (m_mdi->activeSubWindow() == frame || MDIGetActive() == nullptr) {
            // The most recently active report still shown comes to the
            // front.
            QMdiSubWindow* next = nullptr;
            const QList<QMdiSubWindow*> history = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
            for (auto it = history.rbegin(); it != history.rend() && next == nullptr; ++it) {
                if (*it != frame && !(*it)->isMinimized() && !(*it)->isHidden())
                    next = *it;
            }
            m_mdi->setActiveSubWindow(next);
            if (next == nullptr)
                onChildActivated(nullptr);
            // Reports shown maximised stay so: the next one takes the room.
            else if ((before & Qt::WindowMaximized) != 0 && !next->isMaximized())
                next->showMaximized();
        }
    } else if (!minimised && wasMinimised && !frame->isHidden()) {
        m_mdi->setActiveSubWindow(frame);
        if (frame->property(kRestoreMaximised).toBool() && (now & Qt::WindowMaximized) == 0)
            frame->showMaximized();
    }
    UpdateCommandUI();
}

void CMainFrame::onChildActivated(QMdiSubWindow* window)
{
    for (CToolBarEx* bar : m_bars) {
        if (bar->GetHotIndex() != -1) {
            bar->SetHotIndex(-1);
            bar->update();
        }
    }
    auto* child = qobject_cast<CSplitFrame*>(window);
    if (child != nullptr && child->isMinimized())
        child = nullptr;
    // Minimised reports keep the report menus: the Window menu brings them
    // back.
    showMenus(child != nullptr || hasReports());
    UpdateChildButtons();
    if (child != nullptr) {
        // A report opens maximised (AddChildFrame) and the area keeps an
        // activated report maximised while the previous one was; one the
        // user restored or cascaded stays as it is.
        child->ShowScrollBars(true);
        if (CFrameView* view = child->GetActiveView())
            FillPageTitles(view->GetPageCount(), view->GetCurrentPage());
    }
    UpdateCommandUI();
}

QComboBox* CMainFrame::GetPageCombo() const
{
    const CToolBarEx* bar = GetControlBar(IDW_PAGE_BAR);
    return bar == nullptr ? nullptr : bar->GetCombo(ID_PAGE_COMBO);
}

QComboBox* CMainFrame::GetFileCombo() const
{
    const CToolBarEx* bar = GetControlBar(IDW_PLAY_BAR);
    return bar == nullptr ? nullptr : bar->GetCombo(ID_FILE_COMBO);
}

void CMainFrame::FillPageCombo(int n)
{
    QComboBox* combo = GetPageCombo();
    if (combo == nullptr)
        return;
    combo->clear();
    const QString format = LoadStringRes(IDS_PAGE_ENTRY);
    for (int i = 1; i <= n; ++i)
        combo->addItem(QString(format).replace(QLatin1String("%d"), QString::number(i)));
    combo->setCurrentIndex(0);
}

void CMainFrame::SelectPageCombo(int i)
{
    if (QComboBox* combo = GetPageCombo())
        combo->setCurrentIndex(i);
}

void CMainFrame::FillPageTitles(int count, int current)
{
    CSplitFrame* child = MDIGetActive();
    QComboBox* combo = GetPageCombo();
    if (child == nullptr || child->GetActiveView() == nullptr || child->GetActiveView()->GetDocumentTarget() == nullptr ||
        combo == nullptr)
        return;
    const QString format = LoadStringRes(IDS_PAGE_ENTRY);
    if (!format.contains(QLatin1String("%d")))
        return;
    const CFrameView* view = child->GetActiveView();
    combo->clear();
    for (int i = 1; i <= count; ++i) {
        const QString entry = QString(format).replace(QLatin1String("%d"), QString::number(i)) +
                              QStringLiteral("--") + view->GetPageTitle(i - 1);
        combo->addItem(entry);
    }
    combo->setCurrentIndex(current);
    m_currentPage = current;
}

void CMainFrame::onUpdatePageCombo(CCmdUI& ui)
{
    // Each combo follows the enabling of its command: the page list this
    // one, the file list that of 34019 (the view's).
    const CSplitFrame* child = MDIGetActive();
    const bool view = child != nullptr && child->GetActiveView() != nullptr;
    ui.Enable(view);
    if (view)
        return;
    if (QComboBox* pages = GetPageCombo())
        pages->clear();
    if (QComboBox* files = GetFileCombo()) {
        files->clear();
        files->setToolTip(QString());
    }
    m_fileComboOwner = nullptr;
}

long CMainFrame::GetColorButton(int id) const
{
    const CToolBarEx* bar = GetControlBar(IDW_OBJECT_BAR);
    return bar == nullptr ? -1 : bar->GetColorButton(id);
}

void CMainFrame::ApplySkin()
{
    const skin::SkinRoles s = skin::RolesOf(m_app.m_skin);
    for (CToolBarEx* bar : m_bars)
        bar->SetBackground(m_app.m_skin.m_clrSkinBase, m_app.m_skin.m_clrSkinLight);
    if (m_statusBar != nullptr)
        m_statusBar->update();
    if (m_mdi != nullptr)
        m_mdi->setBackground(s.background);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, s.background);
    setPalette(pal);
    if (m_caption != nullptr)
        m_caption->update();
    update();
}

void CMainFrame::SaveBarState(const QString& section)
{
    if (!m_bars.empty())
        m_app.GetSettings().writeBinary(section, kStateEntry, saveState());
}

void CMainFrame::LoadBarState(const QString& section)
{
    const QByteArray state = m_app.GetSettings().readBinary(section, kStateEntry);
    if (!state.isEmpty())
        restoreState(state);
}

void CMainFrame::closeEvent(QCloseEvent* e)
{
    SaveBarState(QStringLiteral("ControlBarStates"));
    m_mdi->closeAllSubWindows();
    if (!m_mdi->subWindowList().isEmpty()) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}

bool CMainFrame::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate) {
        m_captionActive = e->type() == QEvent::WindowActivate;
        if (m_caption != nullptr)
            m_caption->SetActive(m_captionActive);
        for (CToolBarEx* bar : m_bars) {
            bar->SetHotIndex(-1);
            bar->update();
        }
    }
    return QMainWindow::event(e);
}

void CMainFrame::repaintCaption()
{
    if (m_caption != nullptr)
        m_caption->update();
    if (menuBar() != nullptr)
        menuBar()->update();
}

void CMainFrame::UpdateChildButtons()
{
    if (m_childButtons == nullptr)
        return;
    const CSplitFrame* child = MDIGetActive();
    m_childButtons->setVisible(child != nullptr && child->isMaximized());
}

void CMainFrame::onCaptionButton(int button)
{
    switch (button) {
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

void CMainFrame::onChildButton(int button)
{
    CSplitFrame* child = MDIGetActive();
    if (child == nullptr)
        return;
    switch (button) {
    case skin::kCloseButton: child->close(); break;
    case skin::kMinButton: child->showMinimized(); break;
    case skin::kMaxButton: child->showNormal(); break;
    default: break;
    }
    UpdateChildButtons();
}

void CMainFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintFrameBorder(p, size(), skin::CaptionBandHeight(),
                           skin::SkinCaptionColors(m_app.m_skin, m_captionActive));
}

void CMainFrame::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    if (m_caption != nullptr)
        m_caption->setGeometry(0, 0, width(), skin::CaptionBandHeight());
}

void CMainFrame::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && skin::StartFrameResize(this, e->position().toPoint(), skin::SM_CXFRAME))
        return;
    QMainWindow::mousePressEvent(e);
}

void CMainFrame::mouseMoveEvent(QMouseEvent* e)
{
    skin::UpdateFrameCursor(this, e->position().toPoint(), skin::SM_CXFRAME);
    QMainWindow::mouseMoveEvent(e);
}
