// Helpers shared by the chart objects (line profile, histogram, time
// profile): temperature units, whole-degree scale bounds (truncated), the step ladders
// of the axes, the grid pen, point fonts, text at page anchors and the
// minimum-size rule.
//
// Charts keep temperatures in degrees Celsius and show them in the
// program's unit (0 Celsius, 1 Fahrenheit, 2 Kelvin). Drawing works in page
// units with y growing upward; a "normalised" rectangle has top <= bottom,
// so its top is the lower side on the page.
#pragma once

#include "document/geometry.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <functional>

class CDrawObj;
class DocumentEnvironment;
class PageDC;

namespace chart {

// ---- temperature units
// Celsius to the unit: Fahrenheit = C x 1.8 + 32, Kelvin = C + 273.2.
float ToUnit(float celsius, int unit);
// The unit back to Celsius: Fahrenheit (F - 32) x 0.5555556, Kelvin - 273.2.
float FromUnit(float value, int unit);
// Celsius to the unit with the whole offset 273.0 for Kelvin (custom scales).
float ToUnitWhole(float celsius, int unit);
// The unit's text: strings 61449 "℃", 61450 "℉", 61451 " K".
QString UnitText(const DocumentEnvironment& env, int unit);

// String ids of the charts and their pages.
namespace text {
inline constexpr int kObjectProperties = 32788; // "对象属性"
inline constexpr int kLineChartTitle = 33902;   // "线测温图"
inline constexpr int kTrendChartTitle = 33901;  // "趋势图"
inline constexpr int kObjectSerial = 61525;     // "对象序号"
inline constexpr int kPointTemperature = 33500; // "温度"
inline constexpr int kNone = 61478;             // "(无)"
inline constexpr int kLine = 61479;             // "线"
inline constexpr int kHistogram = 61480;        // "直方图"
inline constexpr int kCursor = 61481;           // "Cursor"
inline constexpr int kPoint = 61482;            // "点"
inline constexpr int kLineMax = 61483;          // "线最高" .. 61486 "线温差"
inline constexpr int kAreaMax = 61487;          // "区最高" .. 61490 "区温差"
inline constexpr int kArea = 61492;             // "区域"
inline constexpr int kMinBelowMax = 61499;      // "最低温度必需低于最高温度。"
} // namespace text
// The program's text of a string id, or the charts' own when the program
// has none.
QString Text(const DocumentEnvironment& env, int id);

// ---- whole-degree scale bounds
// The integer bound of a scale: v truncated toward zero (-5.5 gives -5, as
// 5.5 gives 5), saturated at the int range; NaN gives 0. Every whole-degree
// bound of the charts goes through here.
int TruncBound(double v);

struct IntRange {
    int min = 0;
    int max = 0;
    bool operator==(const IntRange&) const = default;
};
// The scale of an image's colour range (low, high in Celsius) in the unit:
// trunc(low)..trunc(high) + 1; Fahrenheit from the converted values; Kelvin
// the Celsius bounds + 273 and + 274.
IntRange ImageScale(float lowC, float highC, int unit);
// A custom range (Celsius) in the unit: trunc(min)..trunc(max + 1).
IntRange CustomScale(float minC, float maxC, int unit);
// An automatic range from samples already in the unit: trunc(min)..
// trunc(max) + 1; both exactly 0 (or no samples) give 15..46.
IntRange AutoScale(float minimum, float maximum, bool anySamples);

// ---- axis ladders
struct Ladder {
    int major = 0;
    int minor = 0;
    bool operator==(const Ladder&) const = default;
};
// The temperature axis of the curve charts by units per degree.
Ladder CurveAxisLadder(double unitsPerDegree);
// The class axis of the histogram: the first two rungs by class size, the
// rest by units per degree.
Ladder ClassAxisLadder(double classSize, double unitsPerDegree);
// The label step of the histogram's percent axis by units per percent.
int PercentStep(double unitsPerPercent);

// ---- pens, fonts and text
// The dotted grey grid line (0x606060, width 1).
LogPen GridPen();
// A solid pen of width 1.
LogPen ThinPen(COLORREF color);
// The page-unit height of a point font of `tenths` tenths of a point as
// the 96-dpi screen shows it: tenths x 96 / 720.
int PointFontHeight(int tenths);
// The charts' face (Arial's metrics).
QFont ChartFont();
// The row height of chart tables: the font's height + 20.
int RowHeight(int fontTenths);
// Writes text with its upper left corner at (x, y) (page units, y up),
// in a point font of fontTenths, not clipped. align: Qt horizontal
// alignment of the anchor (left: the text starts at x; right: it ends at
// x; centre: centred on x).
void TextAt(PageDC& dc, int x, int y, const QString& text, int fontTenths, COLORREF color,
            int align = 0x0001 /* Qt::AlignLeft */);

// ---- geometry
// Normalises position and grows it to at least minWidth x minHeight: a
// height below keeps the upper side and moves the lower one down, a width
// below keeps the left side. True when the rectangle changed. The caller
// does not mark the document modified.
bool ApplyMinimumSize(DocRect& position, int minWidth, int minHeight);
// A rectangle shrunk by d on every side (normalised input).
DocRect Deflated(const DocRect& r, int d);

// ---- frame and number of a chart object
// The chart's frame over its position: its pen (widths x 10.5) or none, its
// brush or none. False, drawing nothing, when the pen or brush cannot be made
// (the chart then draws nothing else either).
bool DrawChartFrame(PageDC& dc, const CDrawObj& chart);
// "NO.n" of the linked image number at the chart's lower right corner, when
// the document shows numbers.
void DrawChartNumber(PageDC& dc, const CDrawObj& chart, int imageNumber);

// The picture of a chart for the word-processor export: rect (normalised)
// at 96 dpi on white, drawn by draw; null when it has no area.
QImage RenderChartPicture(const DocRect& rect, const std::function<void(PageDC&)>& draw);

} // namespace chart
