#include "tool_cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTransform>

#include <array>
#include <initializer_list>

namespace {

// Adds an open polyline through the given points.
void AddPolyline(QPainterPath& path, std::initializer_list<QPointF> points)
{
    auto it = points.begin();
    path.moveTo(*it);
    for (++it; it != points.end(); ++it)
        path.lineTo(*it);
}

// The common pointer arrow with its tip at (1, 1).
void AddPointer(QPainterPath& path)
{
    AddPolyline(path, {{1, 1}, {1, 14}, {4, 11}, {7, 17}, {9, 16}, {6, 10}, {10, 10}});
    path.closeSubpath();
}

// A 32 x 32 cursor image: the path drawn black on a white outline.
QCursor Stroked(const QPainterPath& path, int hotX, int hotY)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::white, 3));
    p.drawPath(path);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(path);
    p.end();
    return QCursor(pixmap, hotX, hotY);
}

// Pencil: a slanted pencil with its tip at the hot spot (1, 30).
QCursor Pencil()
{
    QPainterPath path;
    AddPolyline(path, {{1, 30}, {4, 22}, {22, 4}, {27, 9}, {9, 27}});
    path.closeSubpath();
    AddPolyline(path, {{4, 22}, {9, 27}});
    AddPolyline(path, {{19, 7}, {24, 12}});
    return Stroked(path, 1, 30);
}

// Move: an arrow with a four-way cross below it.
QCursor Move()
{
    QPainterPath path;
    AddPointer(path);
    AddPolyline(path, {{20, 12}, {20, 30}});
    AddPolyline(path, {{11, 21}, {29, 21}});
    // Heads: up, down, left, right.
    AddPolyline(path, {{17, 15}, {20, 12}, {23, 15}});
    AddPolyline(path, {{17, 27}, {20, 30}, {23, 27}});
    AddPolyline(path, {{14, 18}, {11, 21}, {14, 24}});
    AddPolyline(path, {{26, 18}, {29, 21}, {26, 24}});
    return Stroked(path, 1, 1);
}

// Drag: an arrow with a small box below it.
QCursor Drag()
{
    QPainterPath path;
    AddPointer(path);
    path.addRect(10, 18, 14, 10);
    return Stroked(path, 1, 1);
}

// An arrow with a small figure of what it handles below it; a delete cursor
// crosses the figure out. Figures: 0 band, 1 point, 2 line, 3 rectangle,
// 4 ellipse.
QCursor Handling(int figure, bool deleting)
{
    QPainterPath path;
    AddPointer(path);
    switch (figure) {
    case 0:
        path.addRect(14, 16, 8, 14);
        AddPolyline(path, {{14, 21}, {22, 21}});
        AddPolyline(path, {{14, 25}, {22, 25}});
        break;
    case 1:
        AddPolyline(path, {{12, 23}, {26, 23}});
        AddPolyline(path, {{19, 16}, {19, 30}});
        break;
    case 2: AddPolyline(path, {{11, 29}, {28, 17}}); break;
    case 3: path.addRect(11, 17, 17, 12); break;
    default: path.addEllipse(11, 17, 17, 12); break;
    }
    if (deleting) {
        AddPolyline(path, {{24, 2}, {30, 8}});
        AddPolyline(path, {{30, 2}, {24, 8}});
    }
    return Stroked(path, 1, 1);
}

// A band edge: a horizontal bar with arrows up and down, hot spot at its
// middle.
QCursor BandEdge()
{
    QPainterPath path;
    AddPolyline(path, {{6, 15}, {26, 15}});
    AddPolyline(path, {{16, 4}, {16, 26}});
    AddPolyline(path, {{12, 8}, {16, 4}, {20, 8}});
    AddPolyline(path, {{12, 22}, {16, 26}, {20, 22}});
    return Stroked(path, 16, 15);
}

// A vertical border dragged sideways: a vertical bar with arrows left and
// right.
QCursor ColumnEdge()
{
    QPainterPath path;
    AddPolyline(path, {{16, 6}, {16, 26}});
    AddPolyline(path, {{4, 16}, {28, 16}});
    AddPolyline(path, {{8, 12}, {4, 16}, {8, 20}});
    AddPolyline(path, {{24, 12}, {28, 16}, {24, 20}});
    return Stroked(path, 16, 16);
}

// Picking a column (a thick arrow pointing down) or a row (pointing right).
QCursor StripArrow(bool down)
{
    QPainterPath path;
    AddPolyline(path, {{13, 2}, {19, 2}, {19, 18}, {25, 18}, {16, 29}, {7, 18}, {13, 18}});
    path.closeSubpath();
    if (!down)
        path = QTransform().translate(32, 0).rotate(90).map(path);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.fillPath(path, Qt::black);
    p.end();
    return down ? QCursor(pixmap, 16, 29) : QCursor(pixmap, 29, 16);
}

// A shape's edge or end: a small square at the hot spot with a four-way
// cross.
QCursor ShapeEdge()
{
    QPainterPath path;
    path.addRect(13, 13, 6, 6);
    AddPolyline(path, {{16, 2}, {16, 10}});
    AddPolyline(path, {{16, 22}, {16, 30}});
    AddPolyline(path, {{2, 16}, {10, 16}});
    AddPolyline(path, {{22, 16}, {30, 16}});
    return Stroked(path, 16, 16);
}

} // namespace

QCursor CursorFor(HandleCursor cursor)
{
    switch (cursor) {
    case HandleCursor::IBeam: return Qt::IBeamCursor;
    case HandleCursor::SizeNWSE: return Qt::SizeFDiagCursor;
    case HandleCursor::SizeNESW: return Qt::SizeBDiagCursor;
    case HandleCursor::SizeWE: return Qt::SizeHorCursor;
    case HandleCursor::SizeNS: return Qt::SizeVerCursor;
    case HandleCursor::SizeAll: return Qt::SizeAllCursor;
    case HandleCursor::Cross: return Qt::CrossCursor;
    case HandleCursor::Pencil: {
        static const QCursor c = Pencil();
        return c;
    }
    case HandleCursor::Move: {
        static const QCursor c = Move();
        return c;
    }
    case HandleCursor::Drag: {
        static const QCursor c = Drag();
        return c;
    }
    case HandleCursor::BandEdge: {
        static const QCursor c = BandEdge();
        return c;
    }
    case HandleCursor::ColumnEdge: {
        static const QCursor c = ColumnEdge();
        return c;
    }
    case HandleCursor::ColumnStrip: {
        static const QCursor c = StripArrow(true);
        return c;
    }
    case HandleCursor::RowStrip: {
        static const QCursor c = StripArrow(false);
        return c;
    }
    case HandleCursor::ShapeEdge: {
        static const QCursor c = ShapeEdge();
        return c;
    }
    case HandleCursor::DeleteBand: {
        static const QCursor c = Handling(0, true);
        return c;
    }
    case HandleCursor::MovePoint:
    case HandleCursor::MoveLine:
    case HandleCursor::MoveRect:
    case HandleCursor::MoveEllipse: {
        static const std::array<QCursor, 4> moving = {Handling(1, false), Handling(2, false), Handling(3, false),
                                                      Handling(4, false)};
        return moving[std::size_t(int(cursor) - int(HandleCursor::MovePoint))];
    }
    case HandleCursor::DeletePoint:
    case HandleCursor::DeleteLine:
    case HandleCursor::DeleteRect:
    case HandleCursor::DeleteEllipse: {
        static const std::array<QCursor, 4> deleting = {Handling(1, true), Handling(2, true), Handling(3, true),
                                                        Handling(4, true)};
        return deleting[std::size_t(int(cursor) - int(HandleCursor::DeletePoint))];
    }
    default: return Qt::ArrowCursor;
    }
}
