// CDI_RptView: the report view. It shows the document's current page at a
// zoom on the workspace colour, with the page's shadow and guide lines,
// hands the mouse to the drawing tools, runs the selection, editing, page
// and zoom commands, prints, and keeps the child frame's scroll bars.
//
// Coordinates (DrawView): logical units of 1/1008 inch at zoom 1, y
// upwards, a 10-unit margin at the left and top; the page's top edge lies
// at y = -105 and its left edge at x = m_xOffset (the page is centred in a
// wider window). Objects are stored relative to the page's left edge and
// drawn with the viewport moved right by the pixel shift of m_xOffset.
//
// The view owns its document. Commands it does not handle go to the
// document (undo, redo, lock, background ...), then, while the view is
// active, to the in-place text editor.
#pragma once

#include "frame_view.h"

#include "document/draw_view.h"

class CTextEditView;
class CTextFormatBar;

#include <QPointer>
#include <QRegion>

#include <functional>
#include <memory>

class CDI_RptDoc;
class CDrawIR;
class CMainFrame;
class CSplitFrame;
class QTimer;
class QMenu;
class QPagedPaintDevice;
class QPrinter;

class CDI_RptView : public CFrameView, public DrawView {
    Q_OBJECT
public:
    // The private clipboard format of copied objects.
    static const char kClipboardFormat[];
    // Ends what the mouse is doing: the current tool is cancelled.
    static constexpr int kCancelCommand = 32768;

    explicit CDI_RptView(std::unique_ptr<CDI_RptDoc> document, QWidget* parent = nullptr);
    ~CDI_RptView() override;

    CDI_RptDoc* GetDocument() const { return DrawView::GetDocument(); }

    // After the view is in its frame: scroll sizes, image list, page list.
    void OnInitialUpdate();

    // ---- CFrameView
    CCmdTarget* GetDocumentTarget() override;
    void OnScroll(Qt::Orientation orientation, int code, int position) override;
    void ClearSelection() override;
    int GetPageCount() const override;
    int GetCurrentPage() const override;
    QString GetPageTitle(int page) const override;
    void OnUnitsChanged() override;
    void OnPrinterChanged() override;
    bool CanCloseFrame() override;
    FormatBarReceiver* GetFormatBarReceiver() override;
    bool OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) override;

    // ---- DrawView
    void InvalObj(CDrawObj* obj) override;
    void InvalidateAll() override;
    void OnUpdate(DrawView* sender, int hint, CDrawObj* obj, const std::vector<CDrawObj*>* list = nullptr) override;
    void SetPageSize(int width, int height) override;
    void SetCapture() override;
    void ReleaseCapture() override;
    void SetToolCursor(HandleCursor cursor) override;
    void SetBand(const BandOverlay& band) override;
    void SetStatusText(const QString& text) override;
    void SetToolTipText(const QString& text) override;
    void UpdateWindow() override;

    // ---- fields of the view
    bool m_bGrid = true;
    bool m_bActive = false;
    bool m_bPlaying = false;
    QPoint m_pasteOffset{100, -100};

    // Scrolling: the total size (device pixels) and the scroll position.
    QSize GetTotalSize() const { return m_totalSize; }
    void ScrollToPosition(QPoint position);
    // A scroll by (dx, dy) pixels; at a page end a vertical scroll shows the
    // next or previous page. True when the view moved.
    bool OnScrollBy(QSize delta);
    // The page's pixel shift to the right.
    int PixelShift() const override;
    // The in-place editor over the one selected text object.
    void PlaceTextEditor() override;
    CTextEditView* TextEditView() const { return m_editor.get(); }
    // Recomputes m_xOffset from the client width.
    void UpdateOffset();

    // ---- commands (also reached by id)
    void OnPageCommand(int id);
    void OnEditClear();
    void OnEditCopy();
    void OnEditPaste();
    // Message 0xBD1 of the in-place editor: a formatting change.
    void OnTextFormatChange(int code, std::intptr_t value);
    // Message 0x401: the selection is redrawn.
    void OnRedrawSelection();
    // ---- infrared commands (rpt_view_ir.cpp)
    static constexpr int kPlayTimers = 3;
    // 32840-32868: the sub-mode commands go to the first image of the
    // document, the others to a selection that starts with an image.
    void OnIRObjectCommand(int id);
    // The range dialog's change (tenths of a degree Celsius): the display
    // range of the one selected image, applied at once.
    void OnScaleRangeChanged(int upperTenths, int lowerTenths) override;
    // A tick of playback timer 1 (play), 2 (fast forward) or 3 (rewind).
    void OnPlayTimer(int id);
    void StopPlayback();
    bool IsPlayTimerActive(int id) const;

    // The context menu at a client point (null: none); the caller owns it.
    QMenu* BuildContextMenu(QPoint client);

    // Printing (57607) asks for a printer through this hook when set (tests
    // print to a file); false cancels.
    static void SetPrintDialogHook(std::function<bool(QPrinter& printer)> hook);
    // Print preview (57609) shows its pages through this hook when set.
    static void SetPreviewHook(std::function<void(const std::function<void(QPrinter*)>& paint)> hook);

    // What has been invalidated since the last reset (client pixels).
    const QRegion& InvalidatedRegion() const { return m_invalid; }
    void ResetInvalidatedRegion() { m_invalid = {}; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    class DocumentTarget;

    // The main frame's format bar (null without one) talks to this view's
    // editor while the view is active.
    static CTextFormatBar* FormatBar();
    void ConnectFormatBar();
    void SetupCommands();
    void SetupEditCommands();
    void SetupPageCommands();
    void SetupIRCommands();
    // The one selected object when it is an image (with a picture: the
    // second).
    CDrawIR* SelectedImageObject() const;
    CDrawIR* SelectedImage() const;
    // The first selected object when it is an image.
    CDrawIR* FirstSelectedIR() const;
    void OnUpdateIRCommand(CCmdUI& ui);
    void OnFrameCommand(int id);
    void OnUpdateFrameCommand(CCmdUI& ui);
    void ShowFrame(CDrawIR& ir, int index, bool selectFirst);
    void DeleteCurrentFrame(CDrawIR& ir);
    void StartPlayTimer(int id);
    void UpdateFileCombo(CDrawIR* object);
    // Whether this view is the one of the report in front (true without a
    // main frame).
    bool IsInFront() const;
    // The program's main frame (null without one).
    static CMainFrame* MainFrame();
    CSplitFrame* Frame() const;
    void UpdateScrollBars();
    void Invalidate(const QRect& client);
    void DrawPageBackground(class PageDC& dc);
    QRect BandRect() const;
    int MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) const;
    bool VersionMismatch();
    void SetTool(int kind);
    // Whether format command id (bold, italic, underline, alignment) would
    // change something of the selection.
    bool TakesTextFormat(int id) const;
    void OnZoomIn();
    void OnZoomOut();
    void OnWholePage();
    void OnNewPage();
    void OnDeletePage();
    void OnPageTitle();
    void OnPrint();
    void OnPrintPreview();
    void OnColorStyle(int k);
    void OnLogo();
    void Align(int id);
    void ApplyColor(bool fill, std::optional<COLORREF> color);
    void RemoveImage(CDrawObj* obj);

    std::unique_ptr<CDI_RptDoc> m_document;
    std::unique_ptr<DocumentTarget> m_docTarget;
    std::unique_ptr<CTextEditView> m_editor;
    QPointer<CTextFormatBar> m_formatBar;
    QSize m_totalSize;
    QRegion m_invalid;
    QRect m_bandClient; // the band as last painted
    int m_copyPage = -1;
    QTimer* m_playTimers[kPlayTimers] = {};
};
