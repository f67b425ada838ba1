// CDI_RptView: construction, coordinates, painting, scrolling, the mouse
// and the window side of the drawing tools. The commands are in
// rpt_view_commands.cpp (selection and editing) and rpt_view_pages.cpp
// (pages, zoom and printing).
#include "rpt_view.h"

#include "content/text_edit_view.h"
#include "skin/text_format_bar.h"

#include "main_frame.h"
#include "resource_ids.h"
#include "rpt_app.h"
#include "split_frame.h"
#include "tool_cursors.h"

#include "document/draw_tool.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"

#include "skin/color_status_bar.h"

#include "skin/skin_colors.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>

// Routes the commands the view leaves to the document.
class CDI_RptView::DocumentTarget : public CCmdTarget {
public:
    explicit DocumentTarget(CDI_RptView& view) : m_view(view) {}

    bool OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) override
    {
        CDI_RptDoc* doc = m_view.GetDocument();
        if (doc == nullptr)
            return false;
        switch (mode) {
        case CmdMode::Execute:
            return doc->OnCommand(id) || FileCommand(*doc, id, true);
        case CmdMode::Update: {
            DocCommandUI state;
            if (doc->OnUpdateCommand(id, state)) {
                if (ui != nullptr) {
                    ui->Enable(state.enabled);
                    if (state.text)
                        ui->SetText(*state.text);
                }
                return true;
            }
            return false;
        }
        default: {
            DocCommandUI state;
            return doc->OnUpdateCommand(id, state) || FileCommand(*doc, id, false);
        }
        }
    }

private:
    // Save, save as and close of the report.
    bool FileCommand(CDI_RptDoc& doc, int id, bool run)
    {
        switch (id) {
        case res::ID_FILE_SAVE:
            if (run)
                doc.OnFileSave();
            break;
        case res::ID_FILE_SAVE_AS:
            if (run)
                doc.OnFileSaveAs();
            break;
        case res::ID_FILE_CLOSE:
            if (run) {
                if (CSplitFrame* frame = m_view.Frame())
                    frame->close();
            }
            break;
        default: return false;
        }
        if (run) {
            if (CSplitFrame* frame = m_view.Frame())
                frame->setWindowTitle(doc.GetTitle());
        }
        return true;
    }

    CDI_RptView& m_view;
};

const char CDI_RptView::kClipboardFormat[] = "application/x-pagewright-draw-objects";

CDI_RptView::CDI_RptView(std::unique_ptr<CDI_RptDoc> document, QWidget* parent)
    : CFrameView(parent), m_document(std::move(document)), m_docTarget(std::make_unique<DocumentTarget>(*this)),
      m_editor(std::make_unique<CTextEditView>(static_cast<DrawView&>(*this), this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setObjectName(QStringLiteral("CDI_RptView"));
    SetTextEditor(m_editor.get());
    m_editor->SetColorButtonSource([](int id) -> long {
        const CDI_RptApp* app = theAppOrNull();
        return app != nullptr && app->GetMainFrame() != nullptr ? app->GetMainFrame()->GetColorButton(id) : -1;
    });
    connect(m_editor.get(), &CTextEditView::textEditChanged, this,
            [this](int code, qintptr value) { OnTextFormatChange(code, value); });
    connect(m_editor.get(), &CTextEditView::activated, this, [this](bool) {
        ConnectFormatBar();
        OnRedrawSelection();
    });
    SetupCommands();
    if (m_document != nullptr)
        m_document->SetView(this);
}

CDI_RptView::~CDI_RptView()
{
    StopPlayback();
    if (m_document != nullptr)
        m_document->SetView(nullptr);
    // The document goes before the editor it may still reach.
    m_document.reset();
    SetTextEditor(nullptr);
    // The bar may outlive the view (closing a report) or be on its way out
    // with the main frame: only a bar still there is told.
    if (m_formatBar != nullptr && m_formatBar->GetReceiver() == m_editor.get())
        m_formatBar->SetReceiver(nullptr);
    m_editor.reset();
}

void CDI_RptView::OnInitialUpdate()
{
    CDI_RptDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    const QSize page = doc->GetPageSize();
    m_totalSize = QSize(MulDiv(page.width(), m_dpi, 1008), MulDiv(page.height(), m_dpi, 1008) + 20);
    RebuildIRObjects();
    UpdateOffset();
    UpdateScrollBars();
    doc->FillPageTitles();
    InvalidateAll();
}

CCmdTarget* CDI_RptView::GetDocumentTarget() { return m_docTarget.get(); }

bool CDI_RptView::OnCmdMsg(int id, CmdMode mode, CCmdUI* ui)
{
    if (CFrameView::OnCmdMsg(id, mode, ui))
        return true;
    // Commands nobody else takes go to the editor while the view is active.
    InPlaceTextEditor* editor = GetTextEditor();
    if (!m_bActive || editor == nullptr)
        return false;
    if (mode == CmdMode::Update) {
        bool enabled = true;
        bool checked = false;
        if (!editor->UpdateCommand(id, enabled, checked))
            return false;
        if (ui != nullptr) {
            ui->Enable(enabled);
            ui->SetCheck(checked ? 1 : 0);
        }
        return true;
    }
    if (mode == CmdMode::Probe) {
        bool enabled = true;
        bool checked = false;
        return editor->UpdateCommand(id, enabled, checked);
    }
    return editor->OnCommand(id);
}

int CDI_RptView::GetPageCount() const { return GetDocument() != nullptr ? GetDocument()->GetPageCount() : 0; }

int CDI_RptView::GetCurrentPage() const { return GetDocument() != nullptr ? GetDocument()->GetCurPage() : 0; }

QString CDI_RptView::GetPageTitle(int page) const
{
    return GetDocument() != nullptr ? GetDocument()->GetPageTitle(page) : QString();
}

void CDI_RptView::OnUnitsChanged() { InvalidateAll(); }

void CDI_RptView::OnPrinterChanged()
{
    if (CDI_RptDoc* doc = GetDocument())
        doc->GetPrinterPageSize();
}

bool CDI_RptView::CanCloseFrame()
{
    CDI_RptDoc* doc = GetDocument();
    return doc == nullptr || doc->SaveModified();
}

FormatBarReceiver* CDI_RptView::GetFormatBarReceiver()
{
    // Held by the bar until another view is in front. A selection the text
    // formats do not reach (an image, a shape, nothing) has no format to
    // show: the bar stays empty rather than showing the last text's.
    m_formatBar = FormatBar();
    return TakesTextFormat(0) ? m_editor.get() : nullptr;
}

CSplitFrame* CDI_RptView::Frame() const
{
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CSplitFrame*>(w))
            return frame;
    }
    return nullptr;
}

// ---- coordinates and scrolling

void CDI_RptView::UpdateOffset()
{
    const double zoom = m_fZoom > 0 ? m_fZoom : 1.0;
    const double pageWidth = GetDocument() != nullptr ? GetDocument()->GetPageSize().width() : 0;
    m_xOffset = std::max(0, TruncToInt((width() * 10.5 / zoom - pageWidth) * 0.5));
}

CMainFrame* CDI_RptView::MainFrame()
{
    const CDI_RptApp* app = theAppOrNull();
    return app != nullptr ? app->GetMainFrame() : nullptr;
}

CTextFormatBar* CDI_RptView::FormatBar()
{
    const CDI_RptApp* app = theAppOrNull();
    return app != nullptr && app->GetMainFrame() != nullptr ? app->GetMainFrame()->GetFormatBar() : nullptr;
}

void CDI_RptView::ConnectFormatBar()
{
    m_formatBar = FormatBar();
    if (m_formatBar != nullptr)
        m_formatBar->SetReceiver(m_editor.get());
}

void CDI_RptView::PlaceTextEditor()
{
    if (GetSelection().size() == 1)
        GetSelection().front()->PlaceEditor(this);
}

int CDI_RptView::PixelShift() const
{
    return TruncToInt(m_xOffset * double(m_dpi) * m_fZoom * 0.00099206355);
}

void CDI_RptView::SetPageSize(int w, int h)
{
    DrawView::SetPageSize(w, h);
    const double zoom = m_fZoom > 0 ? m_fZoom : 1.0;
    const int d = std::max(1, TruncToInt(1008.0 / zoom));
    m_totalSize = QSize(ClampToInt(std::int64_t(MulDiv(w, m_dpi, d)) + 5), ClampToInt(std::int64_t(MulDiv(h, m_dpi, d)) + 20));
    UpdateOffset();
    ScrollToPosition(m_scrollPos);
    if (CDI_RptDoc* doc = GetDocument())
        doc->UpdateAllViews(nullptr, kHintAll);
    InvalidateAll();
}

void CDI_RptView::ScrollToPosition(QPoint position)
{
    const int maxX = std::max(0, m_totalSize.width() - width());
    const int maxY = std::max(0, m_totalSize.height() - height());
    const QPoint clamped(std::clamp(position.x(), 0, maxX), std::clamp(position.y(), 0, maxY));
    if (clamped != m_scrollPos) {
        m_scrollPos = clamped;
        InvalidateAll();
    }
    UpdateScrollBars();
}

void CDI_RptView::UpdateScrollBars()
{
    CSplitFrame* frame = Frame();
    if (frame == nullptr)
        return;
    frame->SetScrollInfo(0, 0, std::max(0, m_totalSize.width() - 1), width(), m_scrollPos.x());
    frame->SetScrollInfo(1, 0, std::max(0, m_totalSize.height() - 1), height(), m_scrollPos.y());
}

bool CDI_RptView::OnScrollBy(QSize delta)
{
    const QPoint before = m_scrollPos;
    ScrollToPosition(m_scrollPos + QPoint(delta.width(), delta.height()));
    if (m_scrollPos != before)
        return true;
    CDI_RptDoc* doc = GetDocument();
    if (delta.height() == 0 || doc == nullptr)
        return false;
    if (delta.height() < 0 && doc->GetCurPage() > 0) {
        OnPageCommand(CDI_RptDoc::ID_PREV_PAGE);
        ScrollToPosition(QPoint(0, m_totalSize.height()));
    } else if (delta.height() > 0 && doc->GetCurPage() < doc->GetPageCount() - 1) {
        OnPageCommand(CDI_RptDoc::ID_NEXT_PAGE);
        ScrollToPosition(QPoint(0, 0));
    }
    return false;
}

void CDI_RptView::OnScroll(Qt::Orientation orientation, int code, int position)
{
    const bool vertical = orientation == Qt::Vertical;
    const int old = vertical ? m_scrollPos.y() : m_scrollPos.x();
    const int line = 16;
    const int page = std::max(1, vertical ? height() : width());
    int amount = position - old;
    if (amount == 0) {
        // The bar did not move: at a page end the view may turn the page.
        switch (code) {
        case SB_LINEUP: amount = -line; break;
        case SB_LINEDOWN: amount = line; break;
        case SB_PAGEUP: amount = -page; break;
        case SB_PAGEDOWN: amount = page; break;
        default: return;
        }
    }
    OnScrollBy(vertical ? QSize(0, amount) : QSize(amount, 0));
}

void CDI_RptView::wheelEvent(QWheelEvent* e)
{
    const int steps = e->angleDelta().y() / 40; // three lines a notch
    if (steps != 0)
        OnScrollBy(QSize(0, -steps * 16));
    e->accept();
}

void CDI_RptView::resizeEvent(QResizeEvent* e)
{
    CFrameView::resizeEvent(e);
    UpdateOffset();
    ScrollToPosition(m_scrollPos);
    InvalidateAll();
}

// ---- repainting

void CDI_RptView::Invalidate(const QRect& client)
{
    const QRect r = client.intersected(rect());
    if (r.isEmpty())
        return;
    m_invalid += r;
    update(r);
}

void CDI_RptView::InvalObj(CDrawObj* obj)
{
    if (obj == nullptr)
        return;
    const DocRect area = DocToClient(PaintedArea(obj));
    const int shift = PixelShift();
    Invalidate(QRect(QPoint(area.left + shift, area.top), QPoint(area.right + shift, area.bottom)).adjusted(-2, -2, 2, 2));
}

void CDI_RptView::InvalidateAll()
{
    m_invalid = QRegion(rect());
    update();
}

void CDI_RptView::OnUpdate(DrawView* sender, int hint, CDrawObj* obj, const std::vector<CDrawObj*>* list)
{
    DrawView::OnUpdate(sender, hint, obj, list);
}

void CDI_RptView::OnRedrawSelection()
{
    if (!GetSelection().empty())
        OnUpdate(nullptr, kHintList, nullptr);
}

void CDI_RptView::DrawPageBackground(PageDC& dc)
{
    CDI_RptDoc* doc = GetDocument();
    const QSize page = doc->GetPageSize();
    const int left = m_xOffset;
    const int right = ClampToInt(std::int64_t(left) + page.width());
    const int top = -105;
    const int bottom = ClampToInt(std::int64_t(top) - page.height());
    dc.FillRect(DocRect(left, top, right, bottom), doc->GetBackColor());
    dc.SelectPen(LogPen{PS_SOLID, 1, 1, 0});
    dc.Line({right + 3, bottom - 10}, {right + 3, top - 10});
    dc.Line({right + 10, bottom - 10}, {right + 10, top - 10});
    dc.Line({left + 21, bottom - 3}, {right + 21, bottom - 3});
    dc.Line({left + 21, bottom - 10}, {right + 21, bottom - 10});
    if (m_bGrid) {
        dc.SelectPen(LogPen{PS_SOLID, 1, 1, 0xC4C4C4});
        for (std::int64_t y = std::int64_t(top) - 700; y > std::int64_t(bottom) + 700; y -= 200)
            dc.Line({left + 700, int(y)}, {right - 700, int(y)});
    }
}

void CDI_RptView::paintEvent(QPaintEvent* e)
{
    CDI_RptDoc* doc = GetDocument();
    QPainter painter(this);
    painter.fillRect(e->rect(), skin::CurrentRoles().background);
    if (doc == nullptr)
        return;
    painter.setClipRegion(e->region());
    UpdateOffset();
    PageDC dc(painter, ScreenMapping());
    DrawPageBackground(dc);
    const int shift = PixelShift();
    dc.OffsetViewportOrg(shift, 0);
    doc->Draw(dc, this);
    dc.OffsetViewportOrg(-shift, 0);
    painter.setClipping(false);
    // The tools' feedback, inverted over the page.
    const BandOverlay& band = GetBand();
    if (band.kind != BandOverlay::None) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(Qt::white);
        pen.setStyle(band.kind == BandOverlay::FocusRect ? Qt::DotLine : Qt::SolidLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const QRect r = QRect(band.from, band.to).normalized();
        switch (band.kind) {
        case BandOverlay::Line: painter.drawLine(band.from, band.to); break;
        case BandOverlay::Ellipse: painter.drawEllipse(r); break;
        default: painter.drawRect(r); break;
        }
    }
}

// ---- the window side of the tools

QRect CDI_RptView::BandRect() const
{
    const BandOverlay& band = GetBand();
    if (band.kind == BandOverlay::None)
        return {};
    return QRect(band.from, band.to).normalized().adjusted(-2, -2, 2, 2);
}

void CDI_RptView::SetBand(const BandOverlay& band)
{
    Invalidate(m_bandClient);
    DrawView::SetBand(band);
    m_bandClient = BandRect();
    Invalidate(m_bandClient);
}

void CDI_RptView::SetCapture()
{
    DrawView::SetCapture();
}

void CDI_RptView::ReleaseCapture()
{
    DrawView::ReleaseCapture();
}

void CDI_RptView::SetToolCursor(HandleCursor cursor)
{
    DrawView::SetToolCursor(cursor);
    setCursor(CursorFor(cursor));
}

void CDI_RptView::SetStatusText(const QString& text)
{
    DrawView::SetStatusText(text);
    const CDI_RptApp* app = theAppOrNull();
    CMainFrame* frame = app != nullptr ? app->GetMainFrame() : nullptr;
    if (frame == nullptr || frame->GetStatusBar() == nullptr)
        return;
    CColorStatusBar* bar = frame->GetStatusBar();
    for (int i = 0; i < bar->GetCount(); ++i) {
        if (bar->GetItemID(i) == res::ID_INDICATOR_NONE)
            bar->SetPaneText(i, text);
    }
}

void CDI_RptView::SetToolTipText(const QString& text)
{
    DrawView::SetToolTipText(text);
    if (text.isEmpty())
        QToolTip::hideText();
    else if (isVisible())
        QToolTip::showText(mapToGlobal(g_lastClientPoint), text, this);
}

void CDI_RptView::UpdateWindow()
{
    repaint();
}

int CDI_RptView::MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) const
{
    int flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

void CDI_RptView::mousePressEvent(QMouseEvent* e)
{
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton) {
        CFrameView::mousePressEvent(e);
        return;
    }
    DispatchToolEvent(*this, ToolEvent::Down, MouseFlags(e->buttons(), e->modifiers()), e->position().toPoint());
}

void CDI_RptView::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        CFrameView::mouseReleaseEvent(e);
        return;
    }
    DispatchToolEvent(*this, ToolEvent::Up, MouseFlags(e->buttons(), e->modifiers()), e->position().toPoint());
}

void CDI_RptView::mouseMoveEvent(QMouseEvent* e)
{
    DispatchToolEvent(*this, ToolEvent::Move, MouseFlags(e->buttons(), e->modifiers()), e->position().toPoint());
}

void CDI_RptView::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    DispatchToolEvent(*this, ToolEvent::DoubleClick, MouseFlags(e->buttons(), e->modifiers()), e->position().toPoint());
}

void CDI_RptView::contextMenuEvent(QContextMenuEvent* e)
{
    std::unique_ptr<QMenu> menu(BuildContextMenu(e->pos()));
    if (menu != nullptr)
        menu->exec(e->globalPos());
}

void CDI_RptView::focusInEvent(QFocusEvent* e)
{
    CFrameView::focusInEvent(e);
    if (!m_bActive) {
        m_bActive = true;
        OnRedrawSelection();
    }
    ConnectFormatBar();
    if (CDI_RptDoc* doc = GetDocument())
        doc->FillPageTitles();
}

void CDI_RptView::focusOutEvent(QFocusEvent* e)
{
    CFrameView::focusOutEvent(e);
}

void CDI_RptView::keyPressEvent(QKeyEvent* e)
{
    // Escape cancels what the mouse is doing (command 32768).
    if (e->key() == Qt::Key_Escape) {
        OnCmdMsg(kCancelCommand, CmdMode::Execute, nullptr);
        return;
    }
    CFrameView::keyPressEvent(e);
}

void CDI_RptView::ClearSelection()
{
    for (CDrawObj* obj : std::vector<CDrawObj*>(GetSelection())) {
        obj->EndEdit(this);
        InvalObj(obj);
        RemoveFromSelection(obj);
    }
}
