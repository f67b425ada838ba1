#include "document/draw_poly.h"

#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/record_values.h"
#include "document/rpt_doc.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonArray>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>

const DrawClass CDrawPoly::kClass{
    {"CDrawPoly", 0, &platform::createArchiveObject<CDrawPoly>}, &CDrawObj::kClass, &CreateDrawObjForUndo<CDrawPoly>};

CDrawPoly::CDrawPoly(DrawView* v, const DocRect& rect) : CDrawObj(v, rect)
{
    brushOn = 0;
    penOn = 1;
}

void CDrawPoly::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawObj::Serialize(ar);
    ar.writeU16(static_cast<std::uint16_t>(points.size()));
    ar.writeU16(static_cast<std::uint16_t>(pointCapacity));
    for (const QPoint& p : points) {
        ar.writeI32(p.x());
        ar.writeI32(p.y());
    }
}

void CDrawPoly::Serialize(platform::ArchiveReader& ar)
{
    CDrawObj::Serialize(ar);
    const std::uint16_t count = ar.readU16();
    const std::uint16_t capacity = ar.readU16();
    if (std::size_t(count) * 8 > ar.remaining())
        ar.fail(platform::ArchiveErrorCode::BadCount, ar.position() - 4);
    std::vector<QPoint> read(count);
    for (QPoint& p : read) {
        const int x = record_values::ReadCoordinate(ar);
        const int y = record_values::ReadCoordinate(ar);
        p = QPoint(x, y);
    }
    points = std::move(read);
    pointCapacity = std::max<int>(capacity, count);
}

void CDrawPoly::Dump(QJsonObject& out) const
{
    CDrawObj::Dump(out);
    QJsonArray list;
    for (const QPoint& p : points)
        list.append(QJsonArray{p.x(), p.y()});
    out[QStringLiteral("points")] = list;
    out[QStringLiteral("pointCapacity")] = pointCapacity;
}

int CDrawPoly::GetHandleCount() const
{
    return GetPointCount();
}

QPoint CDrawPoly::GetHandle(int handle) const
{
    if (handle >= 1 && handle <= GetPointCount())
        return points[static_cast<std::size_t>(handle - 1)];
    return CDrawObj::GetHandle(handle);
}

HandleCursor CDrawPoly::GetHandleCursor(int handle) const
{
    (void)handle;
    return HandleCursor::Arrow;
}

void CDrawPoly::Draw(PageDC& dc)
{
    if (!SelectPenAndBrush(dc, pen)) // drawn at the stored width
        return;
    dc.Polygon(points.data(), points.size(), false);
}

void CDrawPoly::MoveTo(const DocRect& rect, int flags, DrawView* v)
{
    if (rect == position)
        return;
    InvalidateIn(v);
    const std::int64_t dx = std::int64_t(rect.left) - position.left;
    const std::int64_t dy = std::int64_t(rect.top) - position.top;
    for (QPoint& p : points)
        p = QPoint(ClampToInt(p.x() + dx), ClampToInt(p.y() + dy));
    position = rect;
    InvalidateIn(v);
    if ((flags & kMoveNoUndo) == 0)
        SaveUndoSnapshot();
}

bool CDrawPoly::Intersects(const DocRect& rect)
{
    if (points.empty())
        return false;
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const QPoint& p : points)
        polygon << QPointF(p);
    QPainterPath region;
    region.addPolygon(polygon);
    region.closeSubpath();
    region.setFillRule(Qt::OddEvenFill);
    const DocRect r = rect.Normalized();
    return region.intersects(QRectF(r.left, r.top, double(r.Width()), double(r.Height())));
}

void CDrawPoly::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
{
    (void)flags;
    if (handle < 1 || handle > GetPointCount())
        return;
    activeHandle = handle;
    QPoint& vertex = points[static_cast<std::size_t>(handle - 1)];
    if (vertex == point)
        return;
    vertex = point;
    RecalcBounds(v);
    InvalidateIn(v);
}

void CDrawPoly::AddPoint(QPoint point, DrawView* v)
{
    if (GetPointCount() >= pointCapacity)
        pointCapacity += 10;
    if (!points.empty() && points.back() == point)
        return;
    SaveRedoSnapshot();
    points.push_back(point);
    if (!RecalcBounds(v))
        InvalidateIn(v);
    SaveUndoSnapshot();
}

bool CDrawPoly::RecalcBounds(DrawView* v)
{
    if (points.empty())
        return false;
    DocRect box(points[0], points[0]);
    for (const QPoint& p : points) {
        box.left = std::min(box.left, p.x());
        box.top = std::min(box.top, p.y());
        box.right = std::max(box.right, p.x());
        box.bottom = std::max(box.bottom, p.y());
    }
    if (box == position)
        return false;
    InvalidateIn(v);
    position = box;
    InvalidateIn(v);
    return true;
}

CDrawObj* CDrawPoly::Clone(CDI_RptDoc* doc)
{
    auto clone = std::make_unique<CDrawPoly>(view, position);
    clone->penOn = penOn;
    clone->pen = pen;
    clone->brushOn = brushOn;
    clone->brush = brush;
    clone->points = points;
    clone->pointCapacity = pointCapacity;
    if (doc != nullptr)
        return doc->Add(std::move(clone));
    return clone.release();
}
