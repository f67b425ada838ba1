// The Window menu's part that follows the open reports: below the arrange
// commands, a separator and "&1 title" to "&9 title" in the order the
// reports were opened, the active one checked; choosing one activates that
// report (a minimised one comes back). And the cascade, which lays the
// reports out from the upper left corner with each caption just below the
// previous one, every report keeping most of the room; and the arranging
// of the minimised reports' icons.
#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

class QAction;
class QMdiArea;
class QMenu;

class CMdiWindowList : public QObject {
    Q_OBJECT
public:
    // The numbers the list's entries carry as their data, first to last.
    static constexpr int kFirstWindowId = 0xFF00;
    static constexpr int kMaxListed = 9;

    // Fills menu's list each time the menu is about to show.
    CMdiWindowList(QMdiArea* area, QMenu* menu, QObject* parent = nullptr);

    // The list again from the reports open now.
    void Refill();
    // The entries now in the menu.
    const std::vector<QAction*>& Entries() const { return m_entries; }

    // Cascades the reports that are not minimised; the active one stays in
    // front.
    static void Cascade(QMdiArea& area);
    // Lines the minimised reports up along the bottom of the area, left to
    // right in the order they were opened, a new row above when one is
    // full; the other reports stay where they are.
    static void ArrangeIcons(QMdiArea& area);

private:
    QPointer<QMdiArea> m_area;
    QPointer<QMenu> m_menu;
    QAction* m_separator = nullptr;
    std::vector<QAction*> m_entries;
};
