// CDrawPoly: a closed polygon.
//
// Record after the 56-byte base record:
//
//    56  point count (u16)
//    58  point capacity (u16)
//    60  the vertices, x i32 then y i32 each (count of them)
//
// A record whose count exceeds its capacity is read with the capacity raised
// to the count. The pen is drawn at its stored width (no scaling).
#pragma once

#include "document/draw_obj.h"

#include <vector>

class CDrawPoly : public CDrawObj {
public:
    static const DrawClass kClass;

    CDrawPoly() = default;
    CDrawPoly(DrawView* view, const DocRect& rect);

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;
    int GetHandleCount() const override;
    QPoint GetHandle(int handle) const override;
    HandleCursor GetHandleCursor(int handle) const override;
    void Draw(PageDC& dc) override;
    void MoveTo(const DocRect& rect, int flags, DrawView* view) override;
    bool Intersects(const DocRect& rect) override;
    void MoveHandleTo(int handle, QPoint point, int flags, DrawView* view) override;
    CDrawObj* Clone(CDI_RptDoc* document) override;

    // Appends a vertex (the polygon tool); the same point twice in a row is
    // kept once and records nothing.
    void AddPoint(QPoint point, DrawView* view);
    // Sets position to the bounding box of the vertices (left = smallest x,
    // top = smallest y, right = largest x, bottom = largest y); true when it
    // changed.
    bool RecalcBounds(DrawView* view);

    int GetPointCount() const { return static_cast<int>(points.size()); }

    std::vector<QPoint> points;
    int pointCapacity = 0;
};
