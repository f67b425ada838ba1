#include "tool_cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTransform>

#include <array>

namespace {

// A 32 x 32 cursor image drawn black on a white outline.
QPixmap Blank()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void Stroke(QPainter& p, const QPainterPath& path)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::white, 3));
    p.drawPath(path);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(path);
}

// Pencil: a slanted pencil with its tip at the hot spot (1, 30).
QCursor Pencil()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    QPainterPath path;
    path.moveTo(1, 30);
    path.lineTo(4, 22);
    path.lineTo(22, 4);
    path.lineTo(27, 9);
    path.lineTo(9, 27);
    path.closeSubpath();
    path.moveTo(4, 22);
    path.lineTo(9, 27);
    path.moveTo(19, 7);
    path.lineTo(24, 12);
    Stroke(p, path);
    p.end();
    return QCursor(pixmap, 1, 30);
}

// Move: an arrow with a four-way cross below it.
QCursor Move()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    QPainterPath path;
    path.moveTo(1, 1);
    path.lineTo(1, 14);
    path.lineTo(4, 11);
    path.lineTo(7, 17);
    path.lineTo(9, 16);
    path.lineTo(6, 10);
    path.lineTo(10, 10);
    path.closeSubpath();
    path.moveTo(20, 12);
    path.lineTo(20, 30);
    path.moveTo(11, 21);
    path.lineTo(29, 21);
    // Heads: up, down, left, right.
    path.moveTo(17, 15);
    path.lineTo(20, 12);
    path.lineTo(23, 15);
    path.moveTo(17, 27);
    path.lineTo(20, 30);
    path.lineTo(23, 27);
    path.moveTo(14, 18);
    path.lineTo(11, 21);
    path.lineTo(14, 24);
    path.moveTo(26, 18);
    path.lineTo(29, 21);
    path.lineTo(26, 24);
    Stroke(p, path);
    p.end();
    return QCursor(pixmap, 1, 1);
}

// Drag: an arrow with a small box below it.
QCursor Drag()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    QPainterPath path;
    path.moveTo(1, 1);
    path.lineTo(1, 14);
    path.lineTo(4, 11);
    path.lineTo(7, 17);
    path.lineTo(9, 16);
    path.lineTo(6, 10);
    path.lineTo(10, 10);
    path.closeSubpath();
    path.addRect(10, 18, 14, 10);
    Stroke(p, path);
    p.end();
    return QCursor(pixmap, 1, 1);
}

// An arrow with a small figure of what it handles below it; a delete cursor
// crosses the figure out. Figures: 0 band, 1 point, 2 line, 3 rectangle,
// 4 ellipse.
QCursor Handling(int figure, bool deleting)
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    QPainterPath path;
    path.moveTo(1, 1);
    path.lineTo(1, 14);
    path.lineTo(4, 11);
    path.lineTo(7, 17);
    path.lineTo(9, 16);
    path.lineTo(6, 10);
    path.lineTo(10, 10);
    path.closeSubpath();
    switch (figure) {
    case 0:
        path.addRect(14, 16, 8, 14);
        path.moveTo(14, 21);
        path.lineTo(22, 21);
        path.moveTo(14, 25);
        path.lineTo(22, 25);
        break;
    case 1:
        path.moveTo(12, 23);
        path.lineTo(26, 23);
        path.moveTo(19, 16);
        path.lineTo(19, 30);
        break;
    case 2:
        path.moveTo(11, 29);
        path.lineTo(28, 17);
        break;
    case 3: path.addRect(11, 17, 17, 12); break;
    default: path.addEllipse(11, 17, 17, 12); break;
    }
    if (deleting) {
        path.moveTo(24, 2);
        path.lineTo(30, 8);
        path.moveTo(30, 2);
        path.lineTo(24, 8);
    }
    Stroke(p, path);
    p.end();
    return QCursor(pixmap, 1, 1);
}

// A band edge: a horizontal bar with arrows up and down, hot spot at its
// middle.
QCursor BandEdge()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    QPainterPath path;
    path.moveTo(6, 15);
    path.lineTo(26, 15);
    path.moveTo(16, 4);
    path.lineTo(16, 26);
    path.moveTo(12, 8);
    path.lineTo(16, 4);
    path.lineTo(20, 8);
    path.moveTo(12, 22);
    path.lineTo(16, 26);
    path.lineTo(20, 22);
    Stroke(p, path);
    p.end();
    return QCursor(pixmap, 16, 15);
}

// A vertical border dragged sideways: a vertical bar with arrows left and
// right.
QCursor ColumnEdge()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    QPainterPath path;
    path.moveTo(16, 6);
    path.lineTo(16, 26);
    path.moveTo(4, 16);
    path.lineTo(28, 16);
    path.moveTo(8, 12);
    path.lineTo(4, 16);
    path.lineTo(8, 20);
    path.moveTo(24, 12);
    path.lineTo(28, 16);
    path.lineTo(24, 20);
    Stroke(p, path);
    p.end();
    return QCursor(pixmap, 16, 16);
}

// Picking a column (a thick arrow pointing down) or a row (pointing right).
QCursor StripArrow(bool down)
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    QPainterPath path;
    path.moveTo(13, 2);
    path.lineTo(19, 2);
    path.lineTo(19, 18);
    path.lineTo(25, 18);
    path.lineTo(16, 29);
    path.lineTo(7, 18);
    path.lineTo(13, 18);
    path.closeSubpath();
    if (!down)
        path = QTransform().translate(32, 0).rotate(90).map(path);
    p.fillPath(path, Qt::black);
    p.end();
    return down ? QCursor(pixmap, 16, 29) : QCursor(pixmap, 29, 16);
}

// A shape's edge or end: a small square at the hot spot with a four-way
// cross.
QCursor ShapeEdge()
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    QPainterPath path;
    path.addRect(13, 13, 6, 6);
    path.moveTo(16, 2);
    path.lineTo(16, 10);
    path.moveTo(16, 22);
    path.lineTo(16, 30);
    path.moveTo(2, 16);
    path.lineTo(10, 16);
    path.moveTo(22, 16);
    path.lineTo(30, 16);
    Stroke(p, path);
    p.end();
    return QCursor(pixmap, 16, 16);
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
