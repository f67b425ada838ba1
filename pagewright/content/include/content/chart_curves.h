// The drawing shared by the line profile and the time profile: the curves
// of several sample series over one plot rectangle, the cursor line and
// each curve's cursor fraction, the cursor drag, the temperature axis, the
// scale of each scale mode, the boxed tables and the legend.
#pragma once

#include "content/chart_helpers.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class CDrawIR;
class CWordExport;
class PageDC;

namespace chart {

// What a curve chart keeps of each curve: the maximum and minimum of its
// samples, its shown flag, the width it was plotted over in the last draw,
// and the measuring-range limits its values are labelled against.
struct CurveRecord {
    float maximum = 0;
    float minimum = 0;
    std::int32_t shown = 0;
    std::int32_t plottedWidth = 0;
    float labelHigh = 0;
    float labelLow = 0;
};

// One curve: its samples (display unit), colour and shown flag; the plot
// writes back the curve's cursor fraction and plotted width.
struct CurveSeries {
    const float* samples = nullptr;
    int count = 0;
    COLORREF color = 0;
    bool shown = false;
    float* cursorFraction = nullptr; // out: -1 while not shown
    int* plottedWidth = nullptr;     // out: trunc(last x - left); 0 when not plotted
};

// The chart-wide cursor: its fraction of the plot width, the divider colour,
// and what a plot leaves for the drag: the cursor bar and the plot.
struct CurveCursor {
    float fraction = 0.5f;
    COLORREF color = 0x00FF00;
    DocRect bar;  // out: x - 10 .. x + 10, the plot's height
    DocRect plot; // out: the plot of the last draw (normalised)
};

struct CurvePlotOptions {
    bool stretched = false; // each curve spans the full width
    // Fill the plot first with this colour (the clipped plot of a custom
    // scale paints over what lies beneath); -1: no fill.
    long background = -1;
    // A curve of one sample shows as a mark this long from the plot's left
    // edge (its cursor fraction 0); 0: not shown.
    int singleSampleMark = 0;
};

// The temperature axis of a curve chart at the left of plot (normalised):
// the black frame, whole degrees from min to max on the ladder of the units
// per degree, major degrees with a grid line (grid on), a "%d" label (only
// inside the measuring range lower..upper, none without one) and a 100-unit
// tick, minor degrees a 30-unit tick; the unit text above the axis. A scale
// of no height draws the frame and the unit text only.
struct TemperatureAxis {
    bool grid = true;
    bool hasRange = false; // a measuring range limits the labels
    float lower = 0;
    float upper = 0;
    COLORREF textColor = 0;
    QString unitText;
};
void DrawTemperatureAxis(PageDC& dc, const DocRect& plot, int max, int min, const TemperatureAxis& axis);

// The largest sample count of the series (0 when none).
int MaxSampleCount(std::span<const CurveSeries> series);
// The largest count among series with at least two samples (the common
// step's base); 0 when none has two.
int MaxPlottableCount(std::span<const CurveSeries> series);

// Plots the series into plot (normalised) between the scale's min (lower
// side) and max (upper side), clipped to the plot: the cursor line first,
// then every shown series with at least two samples, left-aligned on the
// common step of the longest one, or stretched. A scale of no height or a
// plot of no width draws no curve (the cursor still moves).
void PlotCurves(PageDC& dc, const DocRect& plot, int max, int min, std::span<CurveSeries> series,
                CurveCursor& cursor, const CurvePlotOptions& options);

// The cursor dragged to page x: clamped to the kept plot, the bar moved,
// the chart-wide fraction (x - left) / width (0 at or left of the left end,
// 1 at or right of the right end) and each shown series' fraction
// (x - left) / its plotted width (series with a plotted width only).
void DragCursor(int x, std::span<CurveSeries> series, CurveCursor& cursor);

// The sample under a curve's cursor: index trunc(count x fraction) when
// 0 < fraction < 1 and samples exist; null otherwise.
const float* SampleAtCursor(const float* samples, int count, float fraction);

// The series of a chart's N curves over its own arrays; the plot writes the
// cursor fractions and plotted widths back into them.
template <std::size_t N>
std::array<CurveSeries, N> MakeSeries(const std::array<std::vector<float>, N>& samples,
                                      const std::array<std::int32_t, N>& counts, const std::array<COLORREF, N>& colors,
                                      std::array<CurveRecord, N>& records, std::array<float, N>& cursorFractions)
{
    std::array<CurveSeries, N> series{};
    for (std::size_t s = 0; s < N; ++s) {
        CurveSeries& c = series[s];
        const std::int64_t held = std::min<std::int64_t>(counts[s], std::int64_t(samples[s].size()));
        c.count = held > 0 ? int(held) : 0;
        c.samples = c.count > 0 ? samples[s].data() : nullptr;
        c.color = colors[s];
        c.shown = records[s].shown != 0;
        c.cursorFraction = &cursorFractions[s];
        c.plottedWidth = &records[s].plottedWidth;
    }
    return series;
}

// ---- one curve chart's draw

// The scale modes of a curve chart.
enum ScaleMode { kImageScale = 0, kAutomaticScale = 1, kCustomScale = 2 };

// The whole-degree scale of an image's colour range in the unit (see
// ImageScale); 15..45 without an image or without a picture in it.
IntRange ImageScaleOf(const CDrawIR* image, int unit);
// The scale a mode draws: the image's, the automatic one, or the custom
// range (Celsius) in the unit.
IntRange ModeScale(int mode, IntRange image, IntRange automatic, float customMinC, float customMaxC, int unit);

// How a curve chart draws its axes and curves.
struct CurveChartLook {
    TemperatureAxis axis;
    COLORREF divider = 0x00FF00;
    bool stretched = false;
    // The plot's fill under clipped curves (the custom scale): the chart's
    // brush, or white.
    COLORREF clipFill = 0xFFFFFF;
    int singleSampleMark = 0; // see CurvePlotOptions
};
// The look of a curve chart (the line profile or the time profile) from the
// settings both keep under the same names; labels only inside lower..upper
// when hasRange.
template <class Chart>
CurveChartLook LookOf(const Chart& chart, bool hasRange, float lower, float upper)
{
    CurveChartLook look;
    look.axis.grid = chart.m_bGrid != 0;
    look.axis.hasRange = hasRange;
    look.axis.lower = lower;
    look.axis.upper = upper;
    look.axis.textColor = chart.m_clrText;
    look.axis.unitText = chart.m_strUnit;
    look.divider = chart.m_clrDivider;
    look.stretched = chart.m_nAlignment == 1;
    look.clipFill = chart.brushOn != 0 ? chart.brush.color : COLORREF(0xFFFFFF);
    return look;
}

// The temperature axis and the curves over plot on scale: the custom mode
// fills the plot and draws the curves clipped to it, then the axes; the
// other modes the axes first. moreAxes (if any) draws a chart's further
// axes right after the temperature axis. The cursor's fraction is read and
// its bar and plot are written back.
void DrawScaledCurves(PageDC& dc, const DocRect& plot, int mode, IntRange scale, std::span<CurveSeries> series,
                      CurveCursor& cursor, const CurveChartLook& look, const std::function<void()>& moreAxes = {});

// ---- tables and legend
// The black frame (solid, width 1, no fill) around a legend or table.
void DrawBox(PageDC& dc, const DocRect& box);
// A boxed table: the frame, then lines of text from the box's upper side
// down, one row height (RowHeight(fontTenths)) apart, as long as a row ends
// inside the box. A tab splits a line into texts written at the same
// anchor, each placing its columns by its leading blanks.
void DrawTableRows(PageDC& dc, const DocRect& box, const QStringList& lines, int fontTenths, COLORREF textColor);

struct LegendEntry {
    QString name;
    COLORREF color = 0;
};
// Where a legend row puts its name and its colour stroke, measured from the
// text start (50 inside the box's left edge), and the lowest page y a row
// may reach.
struct LegendLayout {
    int nameX = 0;
    int strokeFrom = 0;
    int strokeTo = 0;
    int lowest = 0;
};
// A boxed legend in the 960-tenths font: the title 50 inside the left and
// upper edges, then one row per entry, each one row height below the last,
// its stroke half a row below the row's top; rows stop before they would
// pass layout.lowest (the box's or the chart's lower side), so the legend
// never draws outside its chart.
void DrawLegendBox(PageDC& dc, const DocRect& box, const QString& title, std::span<const LegendEntry> entries,
                   const LegendLayout& layout, COLORREF textColor);

// Places a chart's export picture at the chart's place in the word
// processor (nothing when the picture is null).
void ExportChartPicture(CWordExport& exporter, const DocRect& position, const QImage& picture);

} // namespace chart
