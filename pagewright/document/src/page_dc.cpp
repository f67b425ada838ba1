#include "document/page_dc.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

// Device pen widths above this are drawn at this width: a stored width may be
// anything, and the stroker must not be asked for a pen of millions of pixels.
constexpr double kMaxPenPixels = 4096;

enum ShapeKind { kRectangle, kRoundRect, kEllipse };

} // namespace

PageMapping PageMapping::ForZoom(double zoom, int dpi)
{
    PageMapping m;
    const double extent = zoom > 0 ? 1008.0 / zoom : 1008.0;
    m.windowExtent = std::max(1, TruncToInt(extent));
    m.viewportExtent = std::max(1, dpi);
    return m;
}

PageMapping PageMapping::ForResolution(int dpi)
{
    PageMapping m;
    m.windowExtent = 1008;
    m.viewportExtent = std::max(1, dpi);
    return m;
}

double PageMapping::Scale() const
{
    return double(viewportExtent) / double(std::max(1, windowExtent));
}

QPointF PageMapping::ToDevice(double x, double y) const
{
    const double s = Scale();
    return {(x - windowOrigin.x()) * s + viewportOrigin.x(), -(y - windowOrigin.y()) * s + viewportOrigin.y()};
}

QPointF PageMapping::ToLogical(QPointF d) const
{
    const double s = Scale();
    return {(d.x() - viewportOrigin.x()) / s + windowOrigin.x(), -(d.y() - viewportOrigin.y()) / s + windowOrigin.y()};
}

PageDC::PageDC(QPainter& painter, const PageMapping& mapping, bool printing)
    : m_painter(painter), m_mapping(mapping), m_printing(printing)
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

void PageDC::OffsetViewportOrg(double dx, double dy)
{
    m_mapping.viewportOrigin += QPointF(dx, dy);
}

QRectF PageDC::LPtoDP(const DocRect& r) const
{
    return QRectF(LPtoDP(r.TopLeft()), LPtoDP(r.BottomRight())).normalized();
}

bool PageDC::CanCreatePen(const LogPen& pen)
{
    return pen.style <= PS_INSIDEFRAME;
}

bool PageDC::CanCreateBrush(const LogBrush& brush)
{
    if (brush.style == BS_SOLID || brush.style == BS_NULL)
        return true;
    return brush.style == BS_HATCHED && brush.hatch >= HS_HORIZONTAL && brush.hatch <= HS_DIAGCROSS;
}

bool PageDC::SelectPen(const LogPen& pen)
{
    if (!CanCreatePen(pen))
        return false;
    Pen p;
    p.null = pen.style == PS_NULL;
    p.color = ToQColor(pen.color);
    const double w = std::abs(double(pen.widthX)) * m_mapping.Scale();
    const double dot = std::clamp(m_mapping.dotPixels, 1.0, kMaxPenPixels);
    // A pen of one pixel or less (of the page at 96 dpi) is one pixel of the
    // page wide: one device pixel on screen, 1/96 inch on paper.
    p.onePixel = pen.widthX == 0 || std::round(w / dot) <= 1;
    p.width = p.onePixel ? dot : std::clamp(std::round(w), 1.0, kMaxPenPixels);
    p.insideFrame = pen.style == PS_INSIDEFRAME;
    // Dashed styles exist only for pens one pixel wide.
    if (p.onePixel) {
        switch (pen.style) {
        case PS_DASH: p.style = Qt::DashLine; break;
        case PS_DOT: p.style = Qt::DotLine; break;
        case PS_DASHDOT: p.style = Qt::DashDotLine; break;
        case PS_DASHDOTDOT: p.style = Qt::DashDotDotLine; break;
        default: break;
        }
    }
    m_pen = p;
    return true;
}

void PageDC::SelectNullPen()
{
    m_pen = Pen{};
    m_pen.null = true;
}

bool PageDC::SelectBrush(const LogBrush& brush)
{
    if (!CanCreateBrush(brush))
        return false;
    if (brush.style == BS_NULL) {
        m_brush = Qt::NoBrush;
        return true;
    }
    Qt::BrushStyle style = Qt::SolidPattern;
    if (brush.style == BS_HATCHED) {
        static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,    Qt::VerPattern,   Qt::FDiagPattern,
                                                      Qt::BDiagPattern,  Qt::CrossPattern, Qt::DiagCrossPattern};
        style = kHatches[brush.hatch];
    }
    m_brush = QBrush(ToQColor(brush.color), style);
    return true;
}

void PageDC::SelectSolidBrush(COLORREF color)
{
    m_brush = QBrush(ToQColor(color));
}

void PageDC::SelectNullBrush()
{
    m_brush = Qt::NoBrush;
}

QPen PageDC::MakeQPen() const
{
    if (m_pen.null)
        return Qt::NoPen;
    // A one-pixel pen: a screen pixel ends where its line ends; on paper a
    // solid one covers its end points as that pixel does (and so closes the
    // corners of frames drawn line by line), and dots keep their length (a
    // round cap would add a pen width to each).
    Qt::PenCapStyle cap = Qt::RoundCap;
    if (m_pen.onePixel)
        cap = m_pen.width > 1 && m_pen.style == Qt::SolidLine ? Qt::SquareCap : Qt::FlatCap;
    QPen pen(m_pen.color, m_pen.width, m_pen.style, cap, m_pen.onePixel ? Qt::MiterJoin : Qt::RoundJoin);
    // A one-pixel pen is one pixel of whatever finally shows the page. The
    // print preview records the printer's pages and shows them scaled down
    // many times: a pen one printer pixel wide would fade there to a trace
    // of a screen pixel, and a short stroke such as a legend's dash would
    // vanish.
    pen.setCosmetic(m_pen.width <= 1);
    return pen;
}

QRectF PageDC::StrokeRect(const QRectF& r) const
{
    // A one-pixel outline lies on the outermost pixels; an inside-frame pen
    // keeps its whole width inside the shape.
    const double inset = m_pen.null ? 0.0 : (m_pen.insideFrame || m_pen.onePixel ? m_pen.width / 2 : 0.5);
    return r.adjusted(inset, inset, -inset, -inset);
}

void PageDC::DrawClosedShape(const DocRect& rect, int kind, QPoint corner)
{
    const QRectF r = LPtoDP(rect);
    const QRectF s = StrokeRect(r);
    m_painter.save();
    if (!m_pen.null && (s.width() <= 0 || s.height() <= 0)) {
        // Narrower than the pen: all outline.
        m_painter.fillRect(r, m_pen.color);
        m_painter.restore();
        return;
    }
    QPainterPath path;
    switch (kind) {
    case kRectangle:
        path.addRect(s);
        break;
    case kEllipse:
        path.addEllipse(s);
        break;
    default: {
        const double scale = m_mapping.Scale();
        const double rx = std::min(std::abs(double(corner.x())) * scale / 2, s.width() / 2);
        const double ry = std::min(std::abs(double(corner.y())) * scale / 2, s.height() / 2);
        path.addRoundedRect(s, rx, ry);
        break;
    }
    }
    m_painter.setPen(MakeQPen());
    m_painter.setBrush(m_brush);
    m_painter.drawPath(path);
    m_painter.restore();
}

void PageDC::Rectangle(const DocRect& r)
{
    DrawClosedShape(r, kRectangle, {});
}

void PageDC::RoundRect(const DocRect& r, QPoint corner)
{
    DrawClosedShape(r, kRoundRect, corner);
}

void PageDC::Ellipse(const DocRect& r)
{
    DrawClosedShape(r, kEllipse, {});
}

void PageDC::Line(QPoint from, QPoint to)
{
    if (m_pen.null)
        return;
    m_painter.save();
    m_painter.setPen(MakeQPen());
    m_painter.drawLine(QLineF(LPtoDP(from), LPtoDP(to)));
    m_painter.restore();
}

void PageDC::DrawPolygon(const QPoint* points, std::size_t count, const QPen& pen, const QBrush& brush, bool winding)
{
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i)
        poly << LPtoDP(points[i]);
    m_painter.save();
    m_painter.setPen(pen);
    m_painter.setBrush(brush);
    m_painter.drawPolygon(poly, winding ? Qt::WindingFill : Qt::OddEvenFill);
    m_painter.restore();
}

void PageDC::Polygon(const QPoint* points, std::size_t count, bool winding)
{
    if (count > 0)
        DrawPolygon(points, count, MakeQPen(), m_brush, winding);
}

void PageDC::FillPolygon(const QPoint* points, std::size_t count, COLORREF color, bool winding)
{
    if (count >= 3)
        DrawPolygon(points, count, Qt::NoPen, ToQColor(color), winding);
}

void PageDC::FillRect(const DocRect& r, COLORREF color)
{
    m_painter.fillRect(LPtoDP(r), ToQColor(color));
}

void PageDC::InvertRect(const DocRect& r)
{
    const QRect box = LPtoDP(r).toRect();
    if (box.isEmpty())
        return;
    m_painter.save();
    m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    m_painter.fillRect(box, Qt::black);
    m_painter.restore();
}

namespace {

void SetLogicalHeight(QFont& font, int logicalHeight, double scale)
{
    const double px = std::abs(double(logicalHeight)) * scale;
    font.setPixelSize(std::clamp(TruncToInt(std::round(px)), 1, 4096));
}

} // namespace

QSizeF PageDC::TextExtent(const QString& text, QFont font, int logicalHeight) const
{
    SetLogicalHeight(font, logicalHeight, m_mapping.Scale());
    const QFontMetricsF metrics(font, m_painter.device());
    const double scale = m_mapping.Scale();
    return {metrics.horizontalAdvance(text) / scale, metrics.height() / scale};
}

void PageDC::DrawText(const DocRect& box, const QString& text, QFont font, int logicalHeight, int flags,
                      COLORREF color)
{
    SetLogicalHeight(font, logicalHeight, m_mapping.Scale());
    m_painter.save();
    m_painter.setFont(font);
    m_painter.setPen(ToQColor(color));
    m_painter.drawText(LPtoDP(box), flags, text);
    m_painter.restore();
}

void PageDC::DrawImage(const DocRect& box, const QImage& image)
{
    if (image.isNull())
        return;
    m_painter.drawImage(LPtoDP(box), image);
}
