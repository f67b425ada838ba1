#include "document/draw_view.h"

#include "document/draw_obj.h"
#include "document/draw_rect.h"
#include "document/ir_image_object.h"
#include "document/rpt_doc.h"

#include <algorithm>
#include <cmath>

namespace {

std::int32_t RoundToInt(double v)
{
    return TruncToInt(v < 0 ? v - 0.5 : v + 0.5);
}

DrawView::ImageListShift& imageListShift()
{
    static DrawView::ImageListShift shift;
    return shift;
}

} // namespace

IRImageObject* AsIRImage(CDrawObj* obj)
{
    return dynamic_cast<IRImageObject*>(obj);
}

const IRImageObject* AsIRImage(const CDrawObj* obj)
{
    return dynamic_cast<const IRImageObject*>(obj);
}

IRLinkedObject* AsIRLinked(CDrawObj* obj)
{
    return dynamic_cast<IRLinkedObject*>(obj);
}

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

namespace {

bool IsImage(const CDrawObj* o)
{
    return AsIRImage(o) != nullptr || o->GetRuntimeClass().IsDerivedFrom(kUndoTypeClassNames[1]);
}

int ImageNumber(const CDrawObj* o)
{
    const IRImageObject* image = AsIRImage(o);
    return image != nullptr ? image->GetIRNumber() : 0;
}

} // namespace

void DrawView::RebuildIRObjects()
{
    m_irObjects.clear();
    if (m_document == nullptr)
        return;
    for (CDrawObj* o : m_document->GetObjects()) {
        if (IsImage(o))
            m_irObjects.push_back(o);
    }
}

void DrawView::RefreshIRObjects()
{
    if (m_document == nullptr) {
        m_irObjects.clear();
        return;
    }
    const std::vector<CDrawObj*>& objects = m_document->GetObjects();
    const auto present = [&objects](CDrawObj* o) {
        return std::find(objects.begin(), objects.end(), o) != objects.end();
    };
    m_irObjects.erase(std::remove_if(m_irObjects.begin(), m_irObjects.end(), [&](CDrawObj* o) { return !present(o); }),
                      m_irObjects.end());
    for (CDrawObj* o : objects) {
        if (IsImage(o) && std::find(m_irObjects.begin(), m_irObjects.end(), o) == m_irObjects.end())
            InsertIRObject(o);
    }
}

void DrawView::InsertIRObject(CDrawObj* obj)
{
    if (obj == nullptr || std::find(m_irObjects.begin(), m_irObjects.end(), obj) != m_irObjects.end())
        return;
    // After the element at index n - 2 when there is one, else at the end.
    const std::int64_t n = ImageNumber(obj);
    if (n >= 2 && n - 2 < static_cast<std::int64_t>(m_irObjects.size()))
        m_irObjects.insert(m_irObjects.begin() + static_cast<std::ptrdiff_t>(n - 1), obj);
    else
        m_irObjects.push_back(obj);
}

CDrawObj* DrawView::FindIRObject(int number) const
{
    for (CDrawObj* o : m_irObjects) {
        if (ImageNumber(o) == number)
            return o;
    }
    return nullptr;
}

int DrawView::NextFreeIRNumber() const
{
    for (int n = 1;; ++n) {
        if (FindIRObject(n) == nullptr)
            return n;
    }
}

void DrawView::SetImageListShift(ImageListShift shift)
{
    imageListShift() = std::move(shift);
}

void DrawView::ShiftImageList(int index, int delta)
{
    if (m_document != nullptr && imageListShift())
        imageListShift()(*m_document, index, delta, static_cast<int>(m_irObjects.size()));
}

QString DrawView::LoadString(int id) const
{
    return m_document != nullptr ? m_document->Environment().LoadString(id)
                                 : DefaultDocumentEnvironment().LoadString(id);
}

DocRect DrawView::PaintedArea(CDrawObj* obj) const
{
    const DocRect r = obj->position.Normalized();
    const std::int64_t width = std::abs(std::int64_t(obj->GetLogPen().widthX));
    std::int64_t pad = std::min<std::int64_t>(width * 11, 1 << 20);
    const auto* rect = dynamic_cast<const CDrawRect*>(obj);
    if (rect != nullptr && rect->IsLineShape())
        pad += 4 * (pad + 20); // arrowheads
    // Handles: inverted boxes of 35 units; a few pixels for rounding.
    const double unitsPerPixel = 1008.0 / (m_dpi * (m_fZoom > 0 ? m_fZoom : 1.0f));
    pad += 35 + static_cast<std::int64_t>(4 * unitsPerPixel) + 1;
    DocRect area(ClampToInt(r.left - pad), ClampToInt(r.top - pad), ClampToInt(r.right + pad),
                 ClampToInt(r.bottom + pad));
    DocRect label;
    if (const IRImageObject* image = AsIRImage(obj))
        label = image->LabelArea().Normalized();
    else if (const IRLinkedObject* linked = AsIRLinked(obj))
        label = linked->LabelArea().Normalized();
    if (!label.IsEmpty())
        area = DocRect(std::min(area.left, label.left), std::min(area.top, label.top),
                       std::max(area.right, label.right), std::max(area.bottom, label.bottom));
    return area;
}

void DrawView::RemoveIRObject(CDrawObj* obj)
{
    m_irObjects.erase(std::remove(m_irObjects.begin(), m_irObjects.end(), obj), m_irObjects.end());
}
