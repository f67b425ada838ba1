#include "tool_cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

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
    default: return Qt::ArrowCursor;
    }
}
