#include "document/draw_view.h"

#include "document/draw_obj.h"
#include "document/rpt_doc.h"

#include <algorithm>
#include <cmath>

namespace {

std::int32_t RoundToInt(double v)
{
    return TruncToInt(v < 0 ? v - 0.5 : v + 0.5);
}

} // namespace

DrawView::~DrawView()
{
    if (m_document != nullptr)
        m_document->SetView(nullptr);
}

PageMapping DrawView::ScreenMapping() const
{
    PageMapping m = PageMapping::ForZoom(m_fZoom, m_dpi);
    m.windowOrigin = QPoint(-10, 10);
    m.viewportOrigin = QPointF(-m_scrollPos.x(), -m_scrollPos.y());
    return m;
}

QPoint DrawView::DocToClient(QPoint p) const
{
    const QPointF d = ScreenMapping().ToDevice(p);
    return {RoundToInt(d.x()), RoundToInt(d.y())};
}

QPoint DrawView::ClientToDoc(QPoint p) const
{
    const QPointF l = ScreenMapping().ToLogical(QPointF(p));
    return {RoundToInt(l.x()), RoundToInt(l.y())};
}

DocRect DrawView::DocToClient(const DocRect& r) const
{
    return DocRect(DocToClient(r.TopLeft()), DocToClient(r.BottomRight())).Normalized();
}

DocRect DrawView::ClientToDoc(const DocRect& r) const
{
    return DocRect(ClientToDoc(r.TopLeft()), ClientToDoc(r.BottomRight()));
}

void DrawView::OnUpdate(DrawView* sender, int hint, CDrawObj* obj, const std::vector<CDrawObj*>* list)
{
    (void)sender;
    switch (hint) {
    case kHintObject:
        InvalObj(obj);
        break;
    case kHintList:
        for (CDrawObj* o : list != nullptr ? *list : m_selection)
            InvalObj(o);
        break;
    case kHintRemove:
        if (list != nullptr && list != &m_selection) {
            for (CDrawObj* o : *list) {
                InvalObj(o);
                RemoveFromSelection(o);
            }
        } else if (obj != nullptr) {
            InvalObj(obj);
            RemoveFromSelection(obj);
        }
        break;
    default:
        InvalidateAll();
        break;
    }
}

void DrawView::SetPageSize(int width, int height)
{
    m_pageSize = QSize(width, height);
    InvalidateAll();
}

void DrawView::Select(CDrawObj* obj, bool add)
{
    if (!add) {
        for (CDrawObj* o : m_selection)
            InvalObj(o);
        m_selection.clear();
    }
    if (obj == nullptr)
        return;
    if (!IsSelected(obj)) {
        m_selection.push_back(obj);
        InvalObj(obj);
    }
    obj->BeginEdit(this, add ? 1 : 0);
}

void DrawView::RemoveFromSelection(CDrawObj* obj)
{
    m_selection.erase(std::remove(m_selection.begin(), m_selection.end(), obj), m_selection.end());
}

void DrawView::ClearSelection()
{
    m_selection.clear();
}

bool DrawView::IsSelected(const CDrawObj* obj) const
{
    return std::find(m_selection.begin(), m_selection.end(), obj) != m_selection.end();
}

void DrawView::RebuildIRObjects()
{
    m_irObjects.clear();
    if (m_document == nullptr)
        return;
    for (CDrawObj* o : m_document->GetObjects()) {
        if (o->GetRuntimeClass().IsDerivedFrom(kUndoTypeClassNames[1]))
            m_irObjects.push_back(o);
    }
}

void DrawView::RemoveIRObject(CDrawObj* obj)
{
    m_irObjects.erase(std::remove(m_irObjects.begin(), m_irObjects.end(), obj), m_irObjects.end());
}
