#include "split_frame.h"

#include "frame_view.h"
#include "main_frame.h"
#include "resource_ids.h"
#include "rpt_app.h"

#include "skin/caption.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"
#include "skin/skin_scroll_bar.h"
#include "skin/skin_scroll_frame.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QMdiArea>
#include <QPainter>

CSplitFrame::CSplitFrame(CFrameView* view, QWidget* parent) : QMdiSubWindow(parent), m_view(view)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    auto* client = new QWidget(this);
    m_client = client;
    client->installEventFilter(this);
    m_caption = skin::MakeSkinCaptionBar(client, skin::kAllButtons);
    m_caption->setObjectName(QStringLiteral("Caption"));
    m_caption->SetTarget(this);
    m_caption->SetLeaveInterval(500);
    connect(m_caption, &skin::CaptionBar::buttonClicked, this, &CSplitFrame::onCaptionButton);
    auto* grid = new QGridLayout(client);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    m_hBar = new CSkinScrollBar(Qt::Horizontal, client);
    m_hBar->setObjectName(QString::number(res::AFX_IDW_HSCROLL_FIRST));
    m_vBar = new CSkinScrollBar(Qt::Vertical, client);
    m_vBar->setObjectName(QString::number(res::AFX_IDW_VSCROLL_FIRST));
    m_corner = new CSkinScrollCorner(client);
    for (CSkinScrollBar* bar : {m_hBar, m_vBar}) {
        bar->setSingleStep(1);
        bar->setRange(0, 0);
        bar->setEnabled(false);
        if (const CDI_RptApp* app = theAppOrNull())
            bar->SetBitmap(app->m_skin.m_hSkinScrollBitmap);
    }
    if (const CDI_RptApp* app = theAppOrNull())
        m_corner->SetBitmap(app->m_skin.m_hSkinScrollBitmap);
    // A new style gives both bars the new skin.
    if (const CDI_RptApp* app = theAppOrNull()) {
        connect(&app->m_skin, &skin::SkinState::changed, this, [this] {
            if (const CDI_RptApp* a = theAppOrNull()) {
                m_hBar->SetBitmap(a->m_skin.m_hSkinScrollBitmap);
                m_vBar->SetBitmap(a->m_skin.m_hSkinScrollBitmap);
                m_corner->SetBitmap(a->m_skin.m_hSkinScrollBitmap);
            }
        });
    }
    view->setParent(client);
    grid->addWidget(m_caption, 0, 0, 1, 2);
    grid->addWidget(view, 1, 0);
    grid->addWidget(m_vBar, 1, 1);
    grid->addWidget(m_hBar, 2, 0);
    grid->addWidget(m_corner, 2, 1);
    // The view takes all the room the bars leave (the caption spans both
    // columns and would otherwise share it out).
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
    setWidget(client);
    connect(m_hBar, &CSkinScrollBar::scrollCode, this, [this](int code, int pos) { onBarCode(Qt::Horizontal, code, pos); });
    connect(m_vBar, &CSkinScrollBar::scrollCode, this, [this](int code, int pos) { onBarCode(Qt::Vertical, code, pos); });
    layoutBars();
}

CSkinScrollBar* CSplitFrame::GetScrollBar(int which) const
{
    switch (which) {
    case 0: return m_hBar;
    case 1: return m_vBar;
    default: return nullptr;
    }
}

bool CSplitFrame::IsScrollBarEnabled(int which) const
{
    const CSkinScrollBar* bar = GetScrollBar(which);
    return bar != nullptr && bar->isEnabled();
}

void CSplitFrame::SetScrollInfo(int which, int min, int max, int page, int pos)
{
    CSkinScrollBar* bar = GetScrollBar(which);
    if (bar == nullptr)
        return;
    page = qMax(0, page);
    bar->SetScrollInfo(min, max, page, pos);
    bar->setEnabled(max - min + 1 > page);
    layoutBars();
}

void CSplitFrame::ShowScrollBars(bool show)
{
    m_barsShown = show;
    layoutBars();
}

void CSplitFrame::layoutBars()
{
    // Only enabled bars take room, so with one bar the view reaches the
    // frame's other edge.
    const bool h = m_barsShown && m_hBar->isEnabled();
    const bool v = m_barsShown && m_vBar->isEnabled();
    m_hBar->setVisible(h);
    m_vBar->setVisible(v);
    m_corner->setVisible(h && v);
}

void CSplitFrame::onBarCode(Qt::Orientation orientation, int code, int position)
{
    if (!m_view)
        return;
    // The bar has already moved by the line or page, within its range.
    m_view->OnScroll(orientation, code, position);
    if (code <= SB_PAGEDOWN)
        m_view->update();
}

void CSplitFrame::ActivateFrame()
{
    if (!isMaximized()) {
        showMaximized();
        return;
    }
    ShowScrollBars(true);
}

bool CSplitFrame::OnCmdMsg(int id, CmdMode mode, CCmdUI* ui)
{
    if (m_view && m_view->OnCmdMsg(id, mode, ui))
        return true;
    return DispatchOwn(id, mode, ui);
}

CMainFrame* CSplitFrame::mainFrame() const
{
    const CDI_RptApp* app = theAppOrNull();
    return app != nullptr ? app->GetMainFrame() : nullptr;
}

void CSplitFrame::closeEvent(QCloseEvent* e)
{
    // A modified report is offered for saving; closing ends any editing in
    // the view first.
    if (m_view && !m_view->CanCloseFrame()) {
        e->ignore();
        return;
    }
    if (m_view)
        m_view->ClearSelection();
    QMdiSubWindow::closeEvent(e);
}

void CSplitFrame::focusInEvent(QFocusEvent* e)
{
    QMdiSubWindow::focusInEvent(e);
    if (CMainFrame* frame = mainFrame(); frame != nullptr && m_view)
        frame->FillPageTitles(m_view->GetPageCount(), m_view->GetCurrentPage());
}

void CSplitFrame::changeEvent(QEvent* e)
{
    QMdiSubWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange || e->type() == QEvent::WindowStateChange) {
        m_captionActive = isActiveWindow();
        m_caption->SetActive(m_captionActive);
    }
    if (e->type() == QEvent::WindowStateChange) {
        // Restored, the frame shows its caption and border; minimised, it is
        // its caption alone, the bar the user restores it from.
        const bool minimized = isMinimized();
        const bool framed = !isMaximized() && !minimized;
        m_caption->setVisible(!isMaximized());
        if (m_view)
            m_view->setVisible(!minimized);
        if (minimized) {
            m_hBar->setVisible(false);
            m_vBar->setVisible(false);
            m_corner->setVisible(false);
        } else {
            layoutBars();
        }
        if (QLayout* grid = m_client->layout()) {
            grid->setContentsMargins(framed ? skin::SM_CXFRAME : 0, 0, framed ? skin::SM_CXFRAME : 0,
                                     framed ? skin::SM_CYFRAME : 0);
        }
    }
}

QSize CSplitFrame::minimumSizeHint() const
{
    // The area sizes a minimised frame by this hint; a frame without the
    // window system's title bar would otherwise shrink to nothing.
    if (parentWidget() != nullptr && isMinimized())
        return {kMinimizedWidth, skin::CaptionBandHeight()};
    return QMdiSubWindow::minimumSizeHint();
}

void CSplitFrame::onCaptionButton(int button)
{
    switch (button) {
    case skin::kCloseButton: close(); break;
    case skin::kMinButton:
        if (isMinimized())
            showNormal();
        else
            showMinimized();
        break;
    case skin::kMaxButton:
        if (isMaximized()) {
            showNormal();
        } else {
            showMaximized();
        }
        break;
    default: break;
    }
}

bool CSplitFrame::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_client && e->type() == QEvent::Paint && !isMaximized()) {
        if (const skin::SkinState* s = skin::CurrentSkin()) {
            QPainter p(m_client);
            skin::PaintFrameBorder(p, m_client->size(), skin::CaptionBandHeight(),
                                   skin::SkinCaptionColors(*s, m_caption->IsActive()));
        }
    }
    return QMdiSubWindow::eventFilter(watched, e);
}
