// The wait cursor, shown while an object of this class lives (only where a
// window system runs).
#pragma once

#include <QApplication>

class WaitCursor {
public:
    WaitCursor()
    {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_set = true;
        }
    }
    ~WaitCursor()
    {
        if (m_set)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_set = false;
};
