// Curve plotting shared by the line profile and the time profile: the
// curves of several sample series over one plot rectangle, the cursor line
// and each curve's cursor fraction, and the cursor drag.
#pragma once

#include "content/chart_helpers.h"

#include <span>

class PageDC;

namespace chart {

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

} // namespace chart
