#include "mdi_window_list.h"

#include "skin/metrics.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <algorithm>

CMdiWindowList::CMdiWindowList(QMdiArea* area, QMenu* menu, QObject* parent)
    : QObject(parent), m_area(area), m_menu(menu)
{
    if (menu != nullptr)
        connect(menu, &QMenu::aboutToShow, this, &CMdiWindowList::Refill);
}

void CMdiWindowList::Refill()
{
    if (!m_menu)
        return;
    // Made afresh each time: the menu's item records keep the text they
    // were measured with.
    for (QAction* a : m_entries)
        delete a;
    m_entries.clear();
    delete m_separator;
    m_separator = nullptr;
    if (!m_area)
        return;
    const QList<QMdiSubWindow*> windows = m_area->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_separator = m_menu->addSeparator();
    // The report in front is checked; a minimised one is not in front.
    const QMdiSubWindow* active = m_area->activeSubWindow();
    if (active != nullptr && active->isMinimized())
        active = nullptr;
    const int listed = std::min<int>(int(windows.size()), kMaxListed);
    for (int i = 0; i < listed; ++i) {
        QMdiSubWindow* window = windows[i];
        QString title = window->windowTitle();
        title.remove(QStringLiteral("[*]"));
        // A "&" of the title is shown, not taken as the entry's key.
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = m_menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        entry->setData(kFirstWindowId + i);
        entry->setCheckable(true);
        entry->setChecked(window == active);
        QPointer<QMdiSubWindow> target(window);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (!target || !m_area)
                return;
            if (target->isMinimized())
                target->showNormal();
            m_area->setActiveSubWindow(target);
        });
        m_entries.push_back(entry);
    }
}

void CMdiWindowList::Cascade(QMdiArea& area)
{
    std::vector<QMdiSubWindow*> windows;
    // Back to front, so the active report ends in front, as it was.
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::StackingOrder)) {
        if (!w->isMinimized() && !w->isHidden())
            windows.push_back(w);
    }
    if (windows.empty())
        return;
    const QRect space = area.viewport()->rect();
    // Each caption just below the one behind it.
    const int step = skin::kCaptionHeight;
    const int n = int(windows.size());
    const QSize size(std::max(space.width() - (n - 1) * step, space.width() * 2 / 3),
                     std::max(space.height() - (n - 1) * step, space.height() * 2 / 3));
    int k = 0;
    for (QMdiSubWindow* w : windows) {
        if (w->isMaximized())
            w->showNormal();
        QPoint at(k * step, k * step);
        // Past the lower right corner the cascade starts again at the top.
        if (at.x() + size.width() > space.width() || at.y() + size.height() > space.height()) {
            k = 0;
            at = QPoint(0, 0);
        }
        w->setGeometry(QRect(space.topLeft() + at, size));
        ++k;
    }
}

void CMdiWindowList::ArrangeIcons(QMdiArea& area)
{
    const QRect space = area.viewport()->rect();
    int x = space.left();
    int rowBottom = space.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized() || w->isHidden())
            continue;
        const QSize size = w->size();
        if (x > space.left() && x + size.width() > space.right() + 1) {
            rowBottom -= rowHeight;
            x = space.left();
            rowHeight = 0;
        }
        w->move(x, rowBottom - size.height());
        // In front of the open reports, which may reach down over the row.
        w->raise();
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}
