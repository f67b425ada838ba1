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

#include "document/geometry.h"
#include "document/page_dc.h"

#include <QPoint>
#include <QSize>

#include <vector>

class CDI_RptDoc;
class CDrawObj;

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

    // Repaints the place of an object (the whole view, with erase).
    virtual void InvalObj(CDrawObj* obj) { (void)obj; }
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

    // The document's infrared image objects.
    const std::vector<CDrawObj*>& GetIRObjects() const { return m_irObjects; }
    void RebuildIRObjects();
    void RemoveIRObject(CDrawObj* obj);

    // The in-place text editor (a later part of the view supplies it).
    virtual bool HasTextEditor() const { return false; }
    virtual bool IsTextEditorVisible() const { return false; }
    virtual bool TextEditorCanUndo() const { return false; }
    virtual void TextEditorUndo() {}
    virtual void HideTextEditor() {}
    virtual void SetTextEditorBackground(COLORREF color) { (void)color; }
    // Places the visible editor over the edited object (after a paint).
    virtual void PlaceTextEditor() {}

private:
    friend class CDI_RptDoc;
    CDI_RptDoc* m_document = nullptr;
    std::vector<CDrawObj*> m_selection;
    std::vector<CDrawObj*> m_irObjects;
    QSize m_pageSize;
};
