// The four gradient painters every skinned control fills bands and buttons
// with. Each takes the rectangle as left, top, right, bottom (right and
// bottom exclusive), a start and an end colour, and the direction of the
// lines: false one horizontal line per row from the top down, true one
// vertical line per column from the left. A band is composed as scanlines
// in an image and drawn once; nothing is drawn without an active painter
// or on an empty rectangle.
//
// The line colours follow one rule: for each channel the step
// s = (to - from) / n is a 32-bit float, line i has the linear value
// from + trunc(i * s), and only the low 8 bits of a computed channel count.
#pragma once

#include "platform/colorref.h"

#include <QRect>

#include <vector>

class QImage;
class QPainter;

namespace skin {

// The colour of each of n lines, first line first.
std::vector<COLORREF> LinearGradientLines(int n, COLORREF from, COLORREF to);
// Linear, but when a channel falls by more than one level a line, the
// lines past the middle start again at the end colour and run back.
std::vector<COLORREF> GradientRectLines(int n, COLORREF from, COLORREF to);
// Rows of a button face: a quick rise over the top third, then a fall.
std::vector<COLORREF> ButtonFaceRows(int n, COLORREF from, COLORREF to);
// Rows of a glossy band: steep top, softer second sixth, a falling body,
// the end colour on the last row but one and the start colour on the last.
std::vector<COLORREF> GlossRows(int n, COLORREF from, COLORREF to);

// Rows of a soft gloss band: the step is (to - from) / (2n) and the row
// counter starts at n / 3; rows before n / 3 - 2 rise twice as fast, the
// rest fall back from the turn value K. A band too low to rise turns at the
// start colour.
std::vector<COLORREF> SoftGlossRows(int n, COLORREF from, COLORREF to);
// The menus' integer blend: line i of n is from + i * (to - from) / n per
// channel, truncated.
std::vector<COLORREF> GradientBarLines(int n, COLORREF from, COLORREF to);

// Paints lines (rows or columns) into an image over a rectangle clipped to it.
void FillLines(QImage& image, const QRect& r, const std::vector<COLORREF>& lines, bool columns);

void DrawLinearGradient(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                        bool columns);
void DrawGradientRect(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                      bool columns);
void DrawButtonFaceGradient(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                            bool columns);
void DrawGlossGradient(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                       bool columns);
void DrawSoftGlossGradient(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                           bool columns);
// The menus' gradient fill (integer blend), used by the browser's controls.
void DrawGradientBar(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                     bool columns);

// The same painters straight into an image (used while building the skin
// images).
enum class Gradient { Linear, Rect, ButtonFace, Gloss, SoftGloss, Bar };
void PaintGradient(QImage& image, const QRect& r, COLORREF from, COLORREF to, bool columns, Gradient kind);

} // namespace skin
