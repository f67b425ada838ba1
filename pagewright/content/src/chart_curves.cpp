#include "content/chart_curves.h"

#include "document/page_dc.h"
#include "document/word_export.h"
#include "irimage/draw_ir.h"

#include <algorithm>
#include <cmath>

namespace chart {

namespace {

// More ticks than this on one axis are more than any device shows.
constexpr std::int64_t kMaxTicks = 20000;

} // namespace

void DrawTemperatureAxis(PageDC& dc, const DocRect& plot, int max, int min, const TemperatureAxis& axis)
{
    const DocRect p = plot.Normalized();
    dc.SelectPen(ThinPen(0));
    dc.SelectNullBrush();
    dc.Rectangle(p);
    const double span = double(max) - double(min);
    const double d = span > 0 ? double(p.Height()) / span : 0.0;
    if (std::isfinite(d) && d > 0) {
        const Ladder ladder = CurveAxisLadder(d);
        // Only multiples of the minor step carry marks.
        const std::int64_t first = std::int64_t(std::ceil(double(min) / ladder.minor)) * ladder.minor;
        std::int64_t ticks = 0;
        for (std::int64_t t = first; t <= max && ticks < kMaxTicks; t += ladder.minor, ++ticks) {
            const int y = TruncToInt(double(p.top) + (double(t) - min) * d);
            if (t % ladder.major == 0) {
                if (axis.grid) {
                    dc.SelectPen(GridPen());
                    dc.Line(QPoint(p.left, y), QPoint(p.right, y));
                }
                if (axis.hasRange && axis.lower <= float(t) && float(t) <= axis.upper)
                    TextAt(dc, p.left - 200, y + 20, QString::number(t), 700, axis.textColor);
                dc.SelectPen(ThinPen(0));
                dc.Line(QPoint(p.left - 100, y), QPoint(p.left, y));
            } else {
                dc.SelectPen(ThinPen(0));
                dc.Line(QPoint(p.left - 30, y), QPoint(p.left, y));
            }
        }
    }
    TextAt(dc, p.left - 200, ClampToInt(std::int64_t(p.bottom) + 90), axis.unitText, 700,
           axis.textColor);
}

int MaxSampleCount(std::span<const CurveSeries> series)
{
    int n = 0;
    for (const CurveSeries& s : series)
        n = std::max(n, s.count);
    return n;
}

int MaxPlottableCount(std::span<const CurveSeries> series)
{
    int n = 0;
    for (const CurveSeries& s : series) {
        if (s.samples != nullptr && s.count >= 2)
            n = std::max(n, s.count);
    }
    return n;
}

void PlotCurves(PageDC& dc, const DocRect& plot, int max, int min, std::span<CurveSeries> series,
                CurveCursor& cursor, const CurvePlotOptions& options)
{
    const DocRect p = plot.Normalized();
    const double width = double(p.Width());
    const double height = double(p.Height());
    QPainter& painter = dc.Painter();
    painter.save();
    painter.setClipRect(dc.LPtoDP(p), Qt::IntersectClip);
    if (options.background >= 0)
        dc.FillRect(p, COLORREF(options.background));

    // The cursor line.
    const int x = ClampToInt(std::int64_t(p.left) + TruncToInt(width * double(cursor.fraction)));
    cursor.bar = DocRect(ClampToInt(std::int64_t(x) - 10), p.top, ClampToInt(std::int64_t(x) + 10), p.bottom);
    cursor.plot = p;
    dc.SelectPen(ThinPen(cursor.color));
    dc.Line(QPoint(x, p.top), QPoint(x, p.bottom));

    const double span = double(max) - double(min);
    const int common = MaxPlottableCount(series);
    const bool drawable = span > 0 && width > 0 && common >= 2;
    const auto y = [&](float v) { return TruncToInt(double(p.top) + (double(v) - min) * height / span); };
    for (CurveSeries& s : series) {
        if (!s.shown) {
            if (s.cursorFraction != nullptr)
                *s.cursorFraction = -1.0f;
            continue;
        }
        if (options.singleSampleMark > 0 && span > 0 && width > 0 && s.samples != nullptr && s.count == 1) {
            const int y0 = y(s.samples[0]);
            dc.SelectPen(ThinPen(s.color));
            dc.Line(QPoint(p.left, y0), QPoint(ClampToInt(std::int64_t(p.left) + options.singleSampleMark), y0));
            if (s.plottedWidth != nullptr)
                *s.plottedWidth = 0;
            if (s.cursorFraction != nullptr)
                *s.cursorFraction = 0.0f;
            continue;
        }
        if (!drawable || s.samples == nullptr || s.count < 2) {
            if (s.plottedWidth != nullptr)
                *s.plottedWidth = 0;
            continue;
        }
        const double step = options.stretched ? width / double(s.count - 1) : width / double(common - 1);
        dc.SelectPen(ThinPen(s.color));
        double fx = p.left;
        QPoint last(p.left, y(s.samples[0]));
        for (int i = 1; i < s.count; ++i) {
            fx += step;
            const QPoint next(TruncToInt(fx), y(s.samples[i]));
            dc.Line(last, next);
            last = next;
        }
        const double plotted = double(last.x()) - p.left;
        if (s.plottedWidth != nullptr)
            *s.plottedWidth = TruncToInt(plotted);
        if (s.cursorFraction != nullptr && plotted > 0)
            *s.cursorFraction = float(width * double(cursor.fraction) / plotted);
    }
    painter.restore();
}

void DragCursor(int x, std::span<CurveSeries> series, CurveCursor& cursor)
{
    const DocRect& p = cursor.plot;
    const int cx = std::clamp(x, std::min(p.left, p.right), std::max(p.left, p.right));
    cursor.bar = DocRect(ClampToInt(std::int64_t(cx) - 10), p.top, ClampToInt(std::int64_t(cx) + 10), p.bottom);
    if (p.Width() <= 0 || cx <= p.left)
        cursor.fraction = 0.0f;
    else if (cx >= p.right)
        cursor.fraction = 1.0f;
    else
        cursor.fraction = float(double(cx - p.left) / double(p.Width()));
    for (CurveSeries& s : series) {
        if (!s.shown || s.plottedWidth == nullptr || *s.plottedWidth == 0 || s.cursorFraction == nullptr)
            continue;
        *s.cursorFraction = float(double(std::int64_t(cx) - p.left) / double(*s.plottedWidth));
    }
}

const float* SampleAtCursor(const float* samples, int count, float fraction)
{
    if (samples == nullptr || count <= 0 || !(fraction > 0.0f && fraction < 1.0f))
        return nullptr;
    const int i = std::clamp(TruncToInt(double(count) * double(fraction)), 0, count - 1);
    return samples + i;
}

IntRange ImageScaleOf(const CDrawIR* image, int unit)
{
    if (image == nullptr || !image->HasImage())
        return {15, 45};
    return ImageScale(image->m_fLimits[5], image->m_fLimits[4], unit);
}

IntRange ModeScale(int mode, IntRange image, IntRange automatic, float customMinC, float customMaxC, int unit)
{
    switch (mode) {
    case kImageScale: return image;
    case kCustomScale: return CustomScale(customMinC, customMaxC, unit);
    default: return automatic;
    }
}

void DrawScaledCurves(PageDC& dc, const DocRect& plot, int mode, IntRange scale, std::span<CurveSeries> series,
                      CurveCursor& cursor, const CurveChartLook& look, const std::function<void()>& moreAxes)
{
    const auto axes = [&] {
        DrawTemperatureAxis(dc, plot, scale.max, scale.min, look.axis);
        if (moreAxes)
            moreAxes();
    };
    CurvePlotOptions options;
    options.stretched = look.stretched;
    options.singleSampleMark = look.singleSampleMark;
    cursor.color = look.divider;
    if (mode == kCustomScale) {
        options.background = long(look.clipFill);
        PlotCurves(dc, plot, scale.max, scale.min, series, cursor, options);
        axes();
    } else {
        axes();
        PlotCurves(dc, plot, scale.max, scale.min, series, cursor, options);
    }
}

void DrawBox(PageDC& dc, const DocRect& box)
{
    dc.SelectPen(ThinPen(0));
    dc.SelectNullBrush();
    dc.Rectangle(box.Normalized());
}

void DrawTableRows(PageDC& dc, const DocRect& box, const QStringList& lines, int fontTenths, COLORREF textColor)
{
    const DocRect r = box.Normalized();
    DrawBox(dc, r);
    const int row = RowHeight(fontTenths);
    std::int64_t y = r.bottom;
    for (const QString& line : lines) {
        if (y - row < r.top)
            break;
        for (const QString& part : line.split(QLatin1Char('\t')))
            TextAt(dc, r.left, int(y), part, fontTenths, textColor);
        y -= row;
    }
}

void DrawLegendBox(PageDC& dc, const DocRect& box, const QString& title, std::span<const LegendEntry> entries,
                   const LegendLayout& layout, COLORREF textColor)
{
    constexpr int kFont = 960;
    const DocRect r = box.Normalized();
    DrawBox(dc, r);
    const int row = RowHeight(kFont);
    const std::int64_t x = std::int64_t(r.left) + 50;
    std::int64_t y = std::int64_t(r.bottom) - 50;
    TextAt(dc, ClampToInt(x), ClampToInt(y), title, kFont, textColor);
    for (const LegendEntry& e : entries) {
        y -= row;
        if (y - row < layout.lowest)
            break;
        TextAt(dc, ClampToInt(x + layout.nameX), int(y), e.name, kFont, textColor);
        const int mid = int(y - row / 2);
        dc.SelectPen(ThinPen(e.color));
        dc.Line(QPoint(ClampToInt(x + layout.strokeFrom), mid), QPoint(ClampToInt(x + layout.strokeTo), mid));
    }
}

void ExportChartPicture(CWordExport& exporter, const DocRect& position, const QImage& picture)
{
    if (picture.isNull())
        return;
    const DocRect r = position.Normalized();
    exporter.ExportImage(float(r.left), float(r.bottom), float(r.Width()), float(r.Height()), picture, false);
}

} // namespace chart
