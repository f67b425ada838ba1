// A one-pixel frame lit from the top left: topLeft along the top and left
// edges, bottomRight along the others.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

namespace skin {

inline void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace skin
