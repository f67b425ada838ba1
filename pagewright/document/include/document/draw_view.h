// DrawView: the report view as the document and the draw objects see it.
//
// It keeps the selection, the list of infrared image objects, the zoom and
// the mapping between page units and client pixels, and receives the
// document's update notifications. The report view window derives from it
// and overrides the virtual parts (repainting, the in-place text editor); on
// its own it serves headless work and tests.
//
// A document has one view (CDI_RptDoc::SetView).
#pragma once

#include "document/draw_obj.h"
#include "document/geometry.h"
#include "document/page_dc.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class CDI_RptDoc;
class CDrawObj;
class CRtfMemFile;

// Feedback the tools draw over the page (client pixels), inverted over what
// lies beneath: the focus rectangle of a band, or a line or ellipse of the
// analysis tool.
struct BandOverlay {
    enum Kind { None, FocusRect, Line, Ellipse };
    Kind kind = None;
    QPoint from;
    QPoint to;
};

// The in-place rich-text editor as the view drives it. The text objects
// supply the real editor; until then the view keeps a hidden stand-in.
class InPlaceTextEditor {
public:
    virtual ~InPlaceTextEditor() = default;
    virtual bool IsVisible() const = 0;
    virtual void Hide() = 0;
    // Moves the editor over a client rectangle (empty: out of the way).
    virtual void Place(const QRect& client) { (void)client; }
    virtual bool CanUndo() const { return false; }
    virtual void Undo() {}
    virtual void SetBackground(COLORREF color) { (void)color; }
    virtual void SetZoom(float zoom) { (void)zoom; }
    // Selection: from start to end (-1: the end of the text).
    virtual void SetSel(int start, int end) { (void)start, (void)end; }
    virtual void ReplaceSel(const QString& text) { (void)text; }
    // Streams an object's rich text into the editor or back out of it.
    virtual void StreamIn(const CRtfMemFile& text) { (void)text; }
    virtual void StreamOut(CRtfMemFile& text) { (void)text; }
    // One formatting change (codes 0-7 of the format bar) to the selection.
    virtual void ApplyFormat(int code, std::intptr_t value) { (void)code, (void)value; }
    // A command routed to the editor (57632 delete, the format commands);
    // false when it does not handle it.
    virtual bool OnCommand(int id) { (void)id; return false; }
    // The state of a format command (104 bold ... 121 right); false when
    // the editor does not know it.
    virtual bool UpdateCommand(int id, bool& enabled, bool& checked) const
    {
        (void)id, (void)enabled, (void)checked;
        return false;
    }
};

class DrawView {
public:
    // Update hints of OnUpdate.
    enum Hint { kHintAll = 0, kHintObject = 1, kHintList = 2, kHintRemove = 3, kHintOleItems = 4 };

    DrawView() = default;
    // Detaches from the document (its objects forget this view).
    virtual ~DrawView();
    DrawView(const DrawView&) = delete;
    DrawView& operator=(const DrawView&) = delete;

    CDI_RptDoc* GetDocument() const { return m_document; }

    // Zoom, scroll position (client pixels) and page offset (logical units).
    float m_fZoom = 1.0f;
    QPoint m_scrollPos;
    int m_xOffset = 0;
    int m_dpi = 96;
    // The next open command of an image appends the chosen files to its
    // list (several may be chosen) instead of replacing the shown one.
    bool m_bAppendFrames = true;

    // The screen mapping: window extent trunc(1008 / zoom), a 10-unit margin
    // at the left and top (window origin (-10, 10)), scrolled.
    PageMapping ScreenMapping() const;
    // Page units to client pixels and back (integer, rounded as a device
    // context rounds). The page offset is not applied: callers that work on
    // objects subtract m_xOffset from x themselves.
    virtual QPoint DocToClient(QPoint p) const;
    virtual QPoint ClientToDoc(QPoint p) const;
    // The rectangle forms: DocToClient normalises, ClientToDoc does not.
    DocRect DocToClient(const DocRect& r) const;
    DocRect ClientToDoc(const DocRect& r) const;

    // Repaints the place of an object: what it draws and its handles.
    virtual void InvalObj(CDrawObj* obj) { (void)obj; }
    // The page area an object paints: its rectangle widened by its pen and
    // arrowheads, the texts beside it and its handles (logical units, page
    // offset not applied).
    DocRect PaintedArea(CDrawObj* obj) const;
    // Repaints the whole view.
    virtual void InvalidateAll() {}
    // The document's notification; list is the objects of hint 2 or 3 (the
    // selection when null).
    virtual void OnUpdate(DrawView* sender, int hint, CDrawObj* obj, const std::vector<CDrawObj*>* list = nullptr);
    // The page size changed or a report was loaded (logical units).
    virtual void SetPageSize(int width, int height);
    QSize GetPageSize() const { return m_pageSize; }

    // The selection, in selection order.
    const std::vector<CDrawObj*>& GetSelection() const { return m_selection; }
    // add false clears the selection first; a given object not yet selected is
    // appended and repainted; then the object's BeginEdit(view, add) runs.
    virtual void Select(CDrawObj* obj, bool add = false);
    void RemoveFromSelection(CDrawObj* obj);
    void ClearSelection();
    bool IsSelected(const CDrawObj* obj) const;

    // The document's infrared image objects. Rebuilt in list order at start;
    // a new image goes after index n - 2 (n its number), or at the end.
    const std::vector<CDrawObj*>& GetIRObjects() const { return m_irObjects; }
    void RebuildIRObjects();
    // After undo or redo: images still there keep their order, images that
    // came back are inserted by the rule above, gone ones are dropped.
    void RefreshIRObjects();
    void InsertIRObject(CDrawObj* obj);
    void RemoveIRObject(CDrawObj* obj);
    // The first image with that number, or null.
    CDrawObj* FindIRObject(int number) const;
    // The smallest number from 1 that no image has.
    int NextFreeIRNumber() const;
    // Inserting (delta 1) or deleting (-1) the image at index of the image
    // list shifts each time profile's per-image entries; the time-profile
    // chart fills this in. count is the list's length before the change.
    using ImageListShift = std::function<void(CDI_RptDoc& doc, int index, int delta, int count)>;
    static void SetImageListShift(ImageListShift shift);
    void ShiftImageList(int index, int delta);

    // ---- what the drawing tools ask of the window
    virtual void SetCapture() { m_capture = true; }
    virtual void ReleaseCapture() { m_capture = false; }
    bool HasCapture() const { return m_capture; }
    virtual void SetToolCursor(HandleCursor cursor) { m_cursor = cursor; }
    HandleCursor GetToolCursor() const { return m_cursor; }
    // The band drawn over the page (None: erased).
    virtual void SetBand(const BandOverlay& band) { m_band = band; }
    const BandOverlay& GetBand() const { return m_band; }
    // Status-bar pane 2.
    virtual void SetStatusText(const QString& text) { m_statusText = text; }
    const QString& GetStatusText() const { return m_statusText; }
    // The live read-out tooltip; an empty text hides it.
    virtual void SetToolTipText(const QString& text) { m_toolTip = text; }
    const QString& GetToolTipText() const { return m_toolTip; }
    // Paints what is invalid now.
    virtual void UpdateWindow() {}
    // The colour-scale range dialog's change, in tenths of a degree
    // Celsius (the report view applies it to the selected image).
    virtual void OnScaleRangeChanged(int upperTenths, int lowerTenths) { (void)upperTenths, (void)lowerTenths; }
    // Closes an embedded item active in place (none here).
    virtual void CloseInPlaceItem() {}
    // A program text by string id (the document's environment).
    QString LoadString(int id) const;

    // The in-place text editor (null: none).
    virtual InPlaceTextEditor* GetTextEditor() const { return m_textEditor; }
    void SetTextEditor(InPlaceTextEditor* editor) { m_textEditor = editor; }
    bool HasTextEditor() const { return GetTextEditor() != nullptr; }
    bool IsTextEditorVisible() const { return HasTextEditor() && GetTextEditor()->IsVisible(); }
    bool TextEditorCanUndo() const { return HasTextEditor() && GetTextEditor()->CanUndo(); }
    void TextEditorUndo()
    {
        if (HasTextEditor())
            GetTextEditor()->Undo();
    }
    void HideTextEditor()
    {
        if (HasTextEditor())
            GetTextEditor()->Hide();
    }
    void SetTextEditorBackground(COLORREF color)
    {
        if (HasTextEditor())
            GetTextEditor()->SetBackground(color);
    }
    // Places the visible editor over the edited object (after a paint).
    virtual void PlaceTextEditor() {}
    // Client pixels by which the page is drawn right of the mapping (the
    // centred page of a wide window).
    virtual int PixelShift() const { return 0; }

private:
    friend class CDI_RptDoc;
    CDI_RptDoc* m_document = nullptr;
    std::vector<CDrawObj*> m_selection;
    std::vector<CDrawObj*> m_irObjects;
    QSize m_pageSize;
    bool m_capture = false;
    HandleCursor m_cursor = HandleCursor::Arrow;
    BandOverlay m_band;
    QString m_statusText;
    QString m_toolTip;
    InPlaceTextEditor* m_textEditor = nullptr;
};
