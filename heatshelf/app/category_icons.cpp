#include "category_icons.h"

#include <QPainter>
#include <QPixmap>

namespace heatshelf {
namespace {

QPixmap blank()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    return pm;
}

// A thermometer: measured values.
QPixmap values()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setPen(QColor(128, 0, 0));
    p.setBrush(Qt::white);
    p.drawRect(6, 1, 3, 10);
    p.setBrush(QColor(220, 30, 30));
    p.drawEllipse(4, 10, 7, 5);
    p.fillRect(7, 5, 2, 6, QColor(220, 30, 30));
    for (int y = 3; y <= 9; y += 2)
        p.drawLine(10, y, 11, y);
    return pm;
}

// Cross hairs: positions.
QPixmap positions()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setPen(QColor(0, 0, 160));
    p.drawEllipse(3, 3, 9, 9);
    p.drawLine(7, 0, 7, 5);
    p.drawLine(7, 10, 7, 15);
    p.drawLine(0, 7, 5, 7);
    p.drawLine(10, 7, 15, 7);
    p.setPen(QColor(220, 30, 30));
    p.drawPoint(7, 7);
    return pm;
}

// Three sliders: measurement parameters.
QPixmap parameters()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setPen(QColor(64, 64, 64));
    for (int i = 0; i < 3; ++i)
        p.drawLine(1, 3 + 5 * i, 14, 3 + 5 * i);
    p.setBrush(QColor(0, 128, 0));
    p.setPen(QColor(0, 64, 0));
    const int knobs[] = {4, 10, 7};
    for (int i = 0; i < 3; ++i)
        p.drawRect(knobs[i] - 1, 1 + 5 * i, 3, 4);
    return pm;
}

// A page with a folded corner: file information.
QPixmap fileInfo()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(3, 0), QPoint(10, 0), QPoint(13, 3), QPoint(13, 15), QPoint(3, 15)}));
    p.drawLine(10, 0, 10, 3);
    p.drawLine(10, 3, 13, 3);
    p.setPen(QColor(0, 0, 160));
    for (int y = 6; y <= 12; y += 3)
        p.drawLine(5, y, 11, y);
    return pm;
}

} // namespace

QList<QIcon> CategoryIcons()
{
    return {QIcon(values()), QIcon(positions()), QIcon(parameters()), QIcon(fileInfo())};
}

} // namespace heatshelf
