// Measurement marks: what an analysis looks like over the infrared picture
// on the page (a cross for a point, a line, a rectangle, an ellipse), each
// with its label. Sizes are page units; the label font is 101 units high.
#pragma once

#include "irimage/ir_analysis.h"

#include "document/geometry.h"

#include <QPoint>
#include <QSizeF>
#include <QString>

class PageDC;

namespace ir_marks {

inline constexpr int kPenWidth = 14;
inline constexpr int kLabelHeight = 101;

// Whether an analysis has any setting of its own (its label gets a "*").
bool HasOwnParameters(const IRAnalysisItem& item);

// The picture's placement: page = left + pixel / scaleX, top - pixel / scaleY.
struct PictureMapping {
    int left = 0;
    int top = 0; // the picture's upper edge (the larger y)
    float scaleX = 1;
    float scaleY = 1;
    QPoint ToPage(int px, int py) const;
};

// The camera range in the display unit: FormatTempLabel's bounds.
struct LabelRange {
    float high = 0;
    float low = 0;
};

// Every mark takes the rectangle its labels keep inside (the picture on the
// page; null: anywhere): a label that would reach past an edge is moved in
// until it fits, or starts at the left edge when it is wider than the
// picture. The figures themselves stay where they are.

// A cross with arms of 50 (2 when small) and the label beside it.
void DrawSpotMark(PageDC& dc, int x, int y, QString label, COLORREF colour, bool ownParameters, bool small,
                  const DocRect* labelBounds = nullptr);
// A line, its label, and with a marker a cross in the complementary colour.
void DrawLineMark(PageDC& dc, int x1, int y1, int x2, int y2, QString label, COLORREF colour, bool ownParameters,
                  bool withMarker, int markerX, int markerY, const DocRect* labelBounds = nullptr);
// A rectangle analysis: frame and name (not in label modes 3 and 4) and the
// extreme of its label mode (a cross, or a triangle in mode 3) with its text.
void DrawAreaMark(PageDC& dc, const IRAnalysisItem& item, const DocRect& rect, const PictureMapping& map,
                  const LabelRange& range, const DocRect* labelBounds = nullptr);
// An ellipse analysis: outline, name and the extreme of label modes 1 and 2.
void DrawCircleMark(PageDC& dc, const IRAnalysisItem& item, const DocRect& rect, const PictureMapping& map,
                    const LabelRange& range, const DocRect* labelBounds = nullptr);

// Text with its upper left corner at (x, y) on the page, moved inside
// bounds when given.
void DrawLabel(PageDC& dc, int x, int y, const QString& text, COLORREF colour, int height,
               const DocRect* bounds = nullptr);
// The page area DrawLabel paints for that text at (x, y) (normalised).
DocRect LabelBox(int x, int y, const QString& text, int height);

// The upper left corner of a label of the given extent (page units) placed
// at (x, y) and kept inside bounds.
QPoint LabelCorner(int x, int y, QSizeF extent, const DocRect& bounds);

} // namespace ir_marks
