#include "document/draw_rect.h"

#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/record_values.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonArray>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

#include <cmath>

const DrawClass CDrawRect::kClass{
    {"CDrawRect", 0, &platform::createArchiveObject<CDrawRect>}, &CDrawObj::kClass, &CreateDrawObjForUndo<CDrawRect>};

namespace {

// The end points of a line or arrow, pulled in by half the stored pen width
// so that a wide pen does not overshoot them.
DocRect PullIn(const DocRect& p, std::int64_t wx, std::int64_t wy)
{
    DocRect r = p;
    if (r.top > r.bottom) {
        r.top = ClampToInt(r.top - wy / 2);
        r.bottom = ClampToInt(r.bottom + (wy + 1) / 2);
    }
    if (r.left <= r.right) {
        r.left = ClampToInt(r.left + (wx + 1) / 2);
        r.right = ClampToInt(r.right - wx / 2);
    } else {
        r.left = ClampToInt(r.left - wx / 2);
        r.right = ClampToInt(r.right + (wx + 1) / 2);
    }
    return r;
}

QRectF ToQRectF(const DocRect& n)
{
    return QRectF(n.left, n.top, double(n.Width()), double(n.Height()));
}

} // namespace

int ScaledPenWidth(std::int32_t stored)
{
    return TruncToInt(stored * 10.5);
}

ArrowHead ComputeArrowHead(QPoint tail, QPoint tip, int w)
{
    // cos(30) with 30 in radians, as the head has always been sized.
    const double length = std::trunc(double((std::int64_t(w) + 20) / 2) / std::cos(30.0));
    const double dx = double(tail.x()) - tip.x();
    const double dy = double(tail.y()) - tip.y();
    const double norm = std::hypot(dx, dy);
    ArrowHead head{tip, tip, tip, tip};
    if (norm == 0)
        return head;
    const auto corner = [&](double angle) {
        const double rx = dx * std::cos(angle) - dy * std::sin(angle);
        const double ry = dx * std::sin(angle) + dy * std::cos(angle);
        return QPoint(TruncToInt(tip.x() + length * rx / norm), TruncToInt(tip.y() + length * ry / norm));
    };
    head[1] = corner(0.5236);
    head[2] = corner(-0.5236);
    head[3] = QPoint(TruncToInt((double(head[1].x()) + head[2].x()) * 0.5),
                     TruncToInt((double(head[1].y()) + head[2].y()) * 0.5));
    return head;
}

CDrawRect::CDrawRect(DrawView* v, const DocRect& rect) : CDrawObj(v, rect)
{
    brushOn = 0;
}

void CDrawRect::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawObj::Serialize(ar);
    ar.writeU16(static_cast<std::uint16_t>(shape));
    ar.writeI32(roundness.x());
    ar.writeI32(roundness.y());
    ar.writeI32(arrowStyle);
}

void CDrawRect::Serialize(platform::ArchiveReader& ar)
{
    CDrawObj::Serialize(ar);
    shape = ar.readU16();
    const int rx = record_values::ReadI32In(ar, -record_values::kMaxLength, record_values::kMaxLength);
    const int ry = record_values::ReadI32In(ar, -record_values::kMaxLength, record_values::kMaxLength);
    roundness = QPoint(rx, ry);
    const CDI_RptDoc* doc = ar.documentAs<CDI_RptDoc>();
    if (doc == nullptr || doc->GetVersion() > 0.0f)
        arrowStyle = ar.readI32();
    else
        arrowStyle = 2;
}

void CDrawRect::Dump(QJsonObject& out) const
{
    CDrawObj::Dump(out);
    out[QStringLiteral("shape")] = shape;
    out[QStringLiteral("arrowStyle")] = arrowStyle;
    out[QStringLiteral("roundness")] = QJsonArray{roundness.x(), roundness.y()};
}

int CDrawRect::GetHandleCount() const
{
    if (IsLineShape())
        return 2;
    return shape == roundRectangle ? 9 : CDrawObj::GetHandleCount();
}

QPoint CDrawRect::GetHandle(int handle) const
{
    if (IsLineShape() && handle == 2)
        handle = 5;
    else if (shape == roundRectangle && handle == 9) {
        const DocRect n = position.Normalized();
        return {ClampToInt(std::int64_t(n.right) - roundness.x() / 2),
                ClampToInt(std::int64_t(n.bottom) - roundness.y() / 2)};
    }
    return CDrawObj::GetHandle(handle);
}

HandleCursor CDrawRect::GetHandleCursor(int handle) const
{
    if (IsLineShape() && handle == 2)
        handle = 5;
    else if (shape == roundRectangle && handle == 9)
        return HandleCursor::SizeAll;
    return CDrawObj::GetHandleCursor(handle);
}

void CDrawRect::Draw(PageDC& dc)
{
    LogPen scaled = pen;
    scaled.widthX = ScaledPenWidth(pen.widthX);
    scaled.widthY = ScaledPenWidth(pen.widthY);
    if (!SelectPenAndBrush(dc, scaled))
        return;

    switch (shape) {
    case rectangle:
        dc.Rectangle(position);
        break;
    case roundRectangle:
        dc.RoundRect(position, roundness);
        break;
    case ellipse:
        dc.Ellipse(position);
        break;
    case line: {
        const DocRect r = PullIn(position, pen.widthX, pen.widthY);
        dc.Line(r.TopLeft(), r.BottomRight());
        break;
    }
    case arrow: {
        const DocRect r = PullIn(position, pen.widthX, pen.widthY);
        if (std::abs(r.Height()) < 5 && std::abs(r.Width()) < 5)
            return;
        const QPoint first = r.TopLeft();
        const QPoint second = r.BottomRight();
        const int w = scaled.widthX;
        const auto fillHead = [&dc, this](const ArrowHead& h) {
            dc.FillPolygon(h.data(), 3, pen.color, true);
        };
        switch (arrowStyle) {
        case 1: {
            const ArrowHead h = ComputeArrowHead(first, second, w);
            fillHead(h);
            dc.Line(first, h[3]);
            break;
        }
        case 2: {
            const ArrowHead h = ComputeArrowHead(second, first, w);
            fillHead(h);
            dc.Line(second, h[3]);
            break;
        }
        case 3: {
            const ArrowHead atSecond = ComputeArrowHead(first, second, w);
            const ArrowHead atFirst = ComputeArrowHead(second, first, w);
            fillHead(atSecond);
            fillHead(atFirst);
            dc.Line(atFirst[3], atSecond[3]);
            break;
        }
        default:
            dc.Line(second, first);
            break;
        }
        break;
    }
    default:
        break;
    }
}

namespace {

// The object's rectangle as hit tests take it: a line-thin side widened
// (1 unit across, 10 down) so that it can still be met.
DocRect HitFrame(const DocRect& position, bool* degenerate)
{
    DocRect c = position.Normalized();
    *degenerate = false;
    if (c.Width() == 0) {
        c.right = ClampToInt(std::int64_t(c.right) + 1);
        *degenerate = true;
    }
    if (c.Height() == 0) {
        c.bottom = ClampToInt(std::int64_t(c.bottom) + 10);
        *degenerate = true;
    }
    return c;
}

} // namespace

bool IntersectsFrame(const DocRect& position, const DocRect& rect)
{
    bool degenerate = false;
    return !HitFrame(position, &degenerate).Intersected(rect.Normalized()).IsEmpty();
}

bool CDrawRect::Intersects(const DocRect& rect)
{
    const DocRect r = rect.Normalized();
    bool degenerate = false;
    const DocRect c = HitFrame(position, &degenerate);
    if (c.Intersected(r).IsEmpty())
        return false;
    if (degenerate)
        return true;

    QPainterPath region;
    switch (shape) {
    case rectangle:
        return true;
    case roundRectangle:
        region.addRoundedRect(ToQRectF(c), std::abs(roundness.x()) / 2.0, std::abs(roundness.y()) / 2.0);
        break;
    case ellipse:
        region.addEllipse(ToQRectF(c));
        break;
    case line:
    case arrow: {
        const double h = double((std::int64_t(pen.widthX) + 19) / 2);
        const DocRect& p = position;
        region.addPolygon(QPolygonF{QPointF(p.left, p.top - h), QPointF(p.right, p.bottom - h),
                                    QPointF(p.right, p.bottom + h), QPointF(p.left, p.top + h)});
        region.closeSubpath();
        region.setFillRule(Qt::OddEvenFill);
        break;
    }
    default:
        return false;
    }
    return region.intersects(ToQRectF(r));
}

void CDrawRect::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
{
    if (IsLineShape() && handle == 2) {
        CDrawObj::MoveHandleTo(5, point, flags, v);
        return;
    }
    if (shape != roundRectangle || handle != 9) {
        CDrawObj::MoveHandleTo(handle, point, flags, v);
        return;
    }
    activeHandle = handle;
    SaveRedoSnapshot();
    const DocRect n = position.Normalized();
    int x = point.x();
    int y = point.y();
    x = std::max(std::min(x, ClampToInt(std::int64_t(n.right) - 1)), n.CenterX());
    y = std::max(std::min(y, ClampToInt(std::int64_t(n.bottom) - 1)), n.CenterY());
    roundness = QPoint(ClampToInt((std::int64_t(n.right) - x) * 2), ClampToInt((std::int64_t(n.bottom) - y) * 2));
    SaveUndoSnapshot();
    InvalidateIn(v);
}

void CDrawRect::ExportToWord(CWordExport& exporter)
{
    const COLORREF color = pen.color;
    switch (shape) {
    case rectangle: {
        const DocRect n = position.Normalized();
        exporter.ExportRectangle(float(n.left), float(n.bottom), float(n.Width()), float(n.Height()), 1.0f, color);
        break;
    }
    case line:
        exporter.ExportLine(QPointF(position.left, position.top), QPointF(position.right, position.bottom), 1.0f,
                            color);
        break;
    case arrow: {
        CWordExport::ArrowHeads heads;
        const bool begin = arrowStyle == 2 || arrowStyle == 3;
        const bool end = arrowStyle == 1 || arrowStyle == 3;
        if (begin)
            heads.beginStyle = heads.beginLength = heads.beginWidth = 2;
        if (end)
            heads.endStyle = heads.endLength = heads.endWidth = 2;
        exporter.ExportArrow(QPointF(position.left, position.top), QPointF(position.right, position.bottom), 1.0f,
                             color, heads);
        break;
    }
    default:
        break;
    }
}
