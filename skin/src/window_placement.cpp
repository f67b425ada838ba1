#include "skin/window_placement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace skin {

QPoint CentredPosition(QSize size, const QWidget* parent)
{
    const QWidget* over = parent != nullptr ? parent->window() : nullptr;
    const bool shown = over != nullptr && over->isVisible() && !over->isMinimized();
    QScreen* screen = shown ? over->screen() : QGuiApplication::screenAt(QCursor::pos());
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    const QRect target = shown ? over->frameGeometry() : area;
    QPoint corner = target.center() - QPoint(size.width() / 2, size.height() / 2);
    if (area.isValid()) {
        // A window larger than the area keeps its top-left corner inside.
        corner.setX(std::max(area.left(), std::min(corner.x(), area.right() + 1 - size.width())));
        corner.setY(std::max(area.top(), std::min(corner.y(), area.bottom() + 1 - size.height())));
    }
    return corner;
}

void CentreWindow(QWidget& window, const QWidget* parent) { window.move(CentredPosition(window.size(), parent)); }

} // namespace skin
