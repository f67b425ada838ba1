// CDrawRect: the five simple shapes (rectangle, round rectangle, ellipse,
// line, arrow) and the base of tables and charts.
//
// Record after the 56-byte base record:
//
//    56  shape (u16)
//    58  roundness: x i32, y i32
//    66  arrowStyle (i32): written always, read only when the document's file
//        version is above 0.0 (else 2)
//
// The line and the arrow run from (left, top) to (right, bottom) as drawn.
// Arrow styles: 1 a head at the second point, 2 at the first point, 3 at
// both ends, anything else none. The stored pen width is in screen pixels;
// drawing multiplies it by 10.5 (truncated) to logical units.
#pragma once

#include "document/draw_obj.h"

#include <array>

class CDrawRect : public CDrawObj {
public:
    enum Shape { rectangle = 0, roundRectangle = 1, ellipse = 2, line = 3, arrow = 4 };

    static const DrawClass kClass;

    CDrawRect() = default;
    CDrawRect(DrawView* view, const DocRect& rect);

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;
    int GetHandleCount() const override;
    QPoint GetHandle(int handle) const override;
    HandleCursor GetHandleCursor(int handle) const override;
    void Draw(PageDC& dc) override;
    bool Intersects(const DocRect& rect) override;
    void MoveHandleTo(int handle, QPoint point, int flags, DrawView* view) override;
    void ExportToWord(CWordExport& exporter) override;

    bool IsLineShape() const { return shape == line || shape == arrow; }

    int shape = rectangle;
    int arrowStyle = 2;
    QPoint roundness{16, 16};
};

// The points of an arrow head: tip, the two base corners, the base midpoint.
using ArrowHead = std::array<QPoint, 4>;
// The head at tip (x2, y2) of a line from (x1, y1), for the scaled pen width w.
ArrowHead ComputeArrowHead(QPoint tail, QPoint tip, int w);
// The rectangle shape's intersection test, which tables, charts and maps
// share: whether the object's rectangle (a line-thin side widened) meets rect.
bool IntersectsFrame(const DocRect& position, const DocRect& rect);
// The pen width as drawn: stored width x 10.5, truncated.
int ScaledPenWidth(std::int32_t stored);
