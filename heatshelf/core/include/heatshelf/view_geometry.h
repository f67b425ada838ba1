// Where the image view draws: the picture and its colour bar, the bar's
// palette indices, its temperature scale, the stored measurement marks and
// the thumbnail grid. Rectangles are (left, top, right, bottom) with the
// right and bottom edges outside, as the view computes them.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "thermcore.h"

namespace heatshelf {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(QPoint p) const { return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom; }
    Rect shrunk(int l, int t, int r, int b) const { return {left + l, top + t, right - r, bottom - b}; }
    bool operator==(const Rect&) const = default;
};

// A temperature cut to one decimal toward zero (36.47 gives 36.4); a value
// that is not finite or too large for that stays as it is.
float TruncateToTenth(float value);

// The picture's rectangle in the client area: 4:3, about 65 % of the width
// or 55 % of the height; none when it would be empty.
std::optional<Rect> PictureRect(const Rect& client);

// The colour bar under the picture. ticks: the bar is wide enough for a
// scale (50 pixels); a narrower bar is widened by 25 on each side and has
// none. No bar under 2 pixels wide.
struct ColourBar {
    Rect bar;
    bool ticks = false;
};
std::optional<ColourBar> ColourBarFor(const Rect& picture);

// The palette entry of column x strictly inside the bar, 0 at the left and
// 255 at the right (reversed when inverted).
int BarPaletteIndex(int x, const Rect& bar, bool invert);

// Label and minor-tick steps for a span over a bar: none when the bar has
// no 50-pixel step or the span is not positive and finite.
struct TickSteps {
    double label = 0;
    double minor = 0;
    int n = 0;      // bar width / 50
    double a = 0;   // span / n
};
std::optional<TickSteps> TickStepsFor(double span, int barWidth);

// The scale under the bar: the level labels left and right of it, major
// ticks with their labels (a label that would come within 2 pixels of the
// previous one is left out) and minor ticks. Nothing for ends that are not
// finite; no ticks for a span that is not positive, and never more ticks of
// a kind than the bar has pixels.
struct Tick {
    int x = 0;
    int top = 0;
    int bottom = 0;
    QString label;  // major ticks only
    QPoint labelAt;
    bool labelShown = false;
};
struct Scale {
    QString lowText;
    QPoint lowAt;
    QString highText;
    QPoint highAt;
    int lineY = 0;
    std::vector<Tick> major;
    std::vector<Tick> minor;
};
// textWidth: the pixel width of a label in the scale's font.
Scale ScaleFor(float low, float high, const Rect& bar, const QString& unit,
               const std::function<int(const QString&)>& textWidth);

// The measurement marks stored in the file, on the picture: coordinates
// (in image pixels) are mapped to the picture rectangle by its width over
// the image width.
struct Mark {
    enum Kind { Numbered, Cross, Box, Segment } kind = Numbered;
    QPoint a;          // the point, or the first corner or end
    QPoint b;          // the second corner or end
    int number = 0;    // 0: no number
    QPoint numberAt;
};
int MarkArm(int pictureWidth);
QPoint MapToPicture(const Rect& picture, int imageWidth, int x, int y);
std::vector<Mark> StoredMarks(const Rect& picture, int imageWidth, const IfrPointInfo points[4],
                              const IfrRectInfo rects[3], const IfrLineInfo lines[3]);
// The board rectangle (left, top, right, bottom in image pixels) on the
// picture, normalised.
Rect BoardOnPicture(const Rect& picture, int imageWidth, const int board[4]);

// The thumbnail grid: 100 by 70 cells, as many columns as fit (at least 1).
int ThumbColumns(int clientWidth);
Rect ThumbCell(int index, int columns);
// What a cell shows: the picture, the selection frame, the double-click area.
inline Rect ThumbPictureRect(const Rect& cell) { return cell.shrunk(17, 3, 17, 17); }
inline Rect ThumbSelectionRect(const Rect& cell) { return cell.shrunk(10, 3, 10, 5); }
// The selected cell's frame: a line of kThumbFrameWidth pixels along the
// inside of the cell, clear of the picture and of the name.
inline constexpr int kThumbFrameWidth = 2;
inline Rect ThumbFrameRect(const Rect& cell) { return cell; }
// The band of the name under the picture, 18 pixels above the cell's
// bottom, inside the frame: a name wider than it is shortened to it.
inline Rect ThumbNameRect(const Rect& cell) { return Rect{cell.left + 3, cell.bottom - 18, cell.right - 3, cell.bottom - 2}; }
inline Rect ThumbOpenRect(const Rect& cell) { return cell.shrunk(18, 4, 18, 18); }
// The thumbnail whose area holds the point, or -1.
int ThumbAt(QPoint p, int count, int columns, bool doubleClick);
QSize ThumbScrollSize(int clientWidth, int count);
// A name over 13 characters shows its first 10 and "...".
QString ThumbLabel(const QString& name);

}  // namespace heatshelf
