#include "irimage/ir_marks.h"

#include "irimage/temperature_text.h"

#include "document/page_dc.h"
#include "document/record_values.h"

#include <QFont>

#include <cmath>

namespace ir_marks {

namespace {

void SelectMarkPen(PageDC& dc, COLORREF colour) { dc.SelectPen(LogPen{PS_SOLID, kPenWidth, kPenWidth, colour}); }

void Cross(PageDC& dc, int x, int y, int half)
{
    dc.Line(QPoint(x - half, y), QPoint(x + half, y));
    dc.Line(QPoint(x, y - half), QPoint(x, y + half));
}

QString WithStar(QString label, bool own) { return own ? label + QLatin1Char('*') : label; }

// The extreme of a rectangle or ellipse: its stored offset inside the shape,
// each term truncated toward zero.
QPoint ExtremeOnPage(const DocRect& rect, const PictureMapping& map, int offsetX, int offsetY)
{
    const int x = record_values::ClampToPage(rect.left + std::trunc(double(offsetX) / double(map.scaleX)));
    const int y = record_values::ClampToPage(rect.bottom - std::trunc(double(offsetY) / double(map.scaleY)));
    return {x, y};
}

} // namespace

QPoint PictureMapping::ToPage(int px, int py) const
{
    // Pixels far outside the picture (a hostile record) stay on the page's scale.
    return {record_values::ClampToPage(left + std::trunc(double(px) / double(scaleX))),
            record_values::ClampToPage(top - std::trunc(double(py) / double(scaleY)))};
}

bool HasOwnParameters(const IRAnalysisItem& item)
{
    return item.ownEmissivity != 0 || item.ownDistance != 0 || item.ownBackground != 0 ||
           item.refFromAnalysis != 0 || item.ownReference != 0;
}

QPoint LabelCorner(int x, int y, QSizeF extent, const DocRect& bounds)
{
    const DocRect n = bounds.Normalized(); // bottom: the upper edge
    const std::int64_t width = std::int64_t(std::ceil(extent.width()));
    const std::int64_t height = std::int64_t(std::ceil(extent.height()));
    std::int64_t left = x;
    std::int64_t upper = y;
    if (left + width > n.right)
        left = std::int64_t(n.right) - width;
    if (left < n.left)
        left = n.left;
    if (upper - height < n.top)
        upper = std::int64_t(n.top) + height;
    if (upper > n.bottom)
        upper = n.bottom;
    return {int(left), int(upper)};
}

void DrawLabel(PageDC& dc, int x, int y, const QString& text, COLORREF colour, int height, const DocRect* bounds)
{
    if (text.isEmpty())
        return;
    const QFont font(QStringLiteral("Arial"));
    if (bounds != nullptr) {
        const QPoint corner = LabelCorner(x, y, dc.TextExtent(text, font, height), *bounds);
        x = corner.x();
        y = corner.y();
    }
    const DocRect box = LabelBox(x, y, text, height);
    dc.DrawText(DocRect(box.left, box.bottom, box.right, box.top), text, font, height,
                Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, colour);
}

DocRect LabelBox(int x, int y, const QString& text, int height)
{
    // Room for the text to the right and below the corner; never clipped.
    const std::int64_t width = std::int64_t(height) * (std::int64_t(text.size()) + 2);
    return DocRect(x, record_values::ClampToPage(std::int64_t(y) - std::int64_t(height) * 3 / 2),
                   record_values::ClampToPage(std::int64_t(x) + width), y)
        .Normalized();
}

void DrawSpotMark(PageDC& dc, int x, int y, QString label, COLORREF colour, bool ownParameters, bool small,
                  const DocRect* labelBounds)
{
    const int arm = small ? 2 : 50;
    SelectMarkPen(dc, colour);
    dc.Line(QPoint(x - arm, y), QPoint(x + arm + 1, y));
    dc.Line(QPoint(x, y - arm), QPoint(x, y + arm + 1));
    DrawLabel(dc, x - arm + 70, y - arm + 10, WithStar(label, ownParameters), colour, kLabelHeight, labelBounds);
}

void DrawLineMark(PageDC& dc, int x1, int y1, int x2, int y2, QString label, COLORREF colour, bool ownParameters,
                  bool withMarker, int markerX, int markerY, const DocRect* labelBounds)
{
    SelectMarkPen(dc, colour);
    dc.Line(QPoint(x1, y1), QPoint(x2, y2));
    if (withMarker) {
        SelectMarkPen(dc, (colour ^ 0xFFFFFF) & 0xFFFFFF);
        Cross(dc, markerX, markerY, 50);
    }
    const int x = TruncateTo<int>((double(x1) + x2) / 2) + 5;
    const int y = TruncateTo<int>((double(y1) + y2) / 2) + 120;
    DrawLabel(dc, x, y, WithStar(label, ownParameters), colour, kLabelHeight, labelBounds);
}

void DrawAreaMark(PageDC& dc, const IRAnalysisItem& item, const DocRect& shape, const PictureMapping& map,
                  const LabelRange& range, const DocRect* labelBounds)
{
    const DocRect rect = shape.Normalized(); // bottom: the upper edge on the page
    const COLORREF colour = item.color;
    SelectMarkPen(dc, colour);
    dc.SelectNullBrush();
    const int mode = item.labelMode;
    if (mode != 3 && mode != 4) {
        dc.Rectangle(rect);
        DrawLabel(dc, rect.left - 180, rect.bottom + 100, WithStar(item.Name(), HasOwnParameters(item)), colour,
                  kLabelHeight, labelBounds);
    }
    if (!item.HasStatistics())
        return;
    if (mode == 1 || mode == 2 || mode == 4) {
        const bool max = mode == 1;
        const QPoint p = ExtremeOnPage(rect, map, max ? item.maxX : item.minX, max ? item.maxY : item.minY);
        Cross(dc, p.x(), p.y(), 40);
        DrawLabel(dc, p.x() + 20, p.y(), FormatTempLabel(max ? item.maximum : item.minimum, range.high, range.low),
                  colour, kLabelHeight, labelBounds);
    } else if (mode == 3) {
        const QPoint p = ExtremeOnPage(rect, map, item.maxX, item.maxY);
        // The triangle's half-width is 50 x the sine of 30 radians (about
        // -49.4), as the marks were always drawn.
        const double s = 50.0 * std::sin(30.0);
        const QPoint triangle[3] = {QPoint(p.x(), p.y() - 10), QPoint(TruncateTo<int>(p.x() - s), p.y() - 60),
                                    QPoint(TruncateTo<int>(p.x() + s), p.y() - 60)};
        dc.FillPolygon(triangle, 3, colour, true);
        DrawLabel(dc, p.x() + 70, p.y(), FormatTempLabel(item.maximum, range.high, range.low), colour, kLabelHeight,
                  labelBounds);
    }
}

void DrawCircleMark(PageDC& dc, const IRAnalysisItem& item, const DocRect& shape, const PictureMapping& map,
                    const LabelRange& range, const DocRect* labelBounds)
{
    const DocRect rect = shape.Normalized();
    const COLORREF colour = item.color;
    SelectMarkPen(dc, colour);
    dc.SelectNullBrush();
    dc.Ellipse(rect);
    DrawLabel(dc, rect.left - 180, rect.bottom + 100, WithStar(item.Name(), HasOwnParameters(item)), colour,
              kLabelHeight, labelBounds);
    const int mode = item.labelMode;
    if ((mode != 1 && mode != 2) || !item.HasStatistics())
        return;
    const bool max = mode == 1;
    const QPoint p = ExtremeOnPage(rect, map, max ? item.maxX : item.minX, max ? item.maxY : item.minY);
    Cross(dc, p.x(), p.y(), 20);
    DrawLabel(dc, p.x() + 20, p.y(), FormatTempLabel(max ? item.maximum : item.minimum, range.high, range.low),
              colour, kLabelHeight, labelBounds);
}

} // namespace ir_marks
