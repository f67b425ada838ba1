// CColorStatusBar: a main frame's status bar, painted in the skin colours:
// panes by command id (id 0 is the message pane), a drawn size grip. Each
// program gives the pane texts from its own string table; the skin's look
// chooses the painting (the browser's: six-square grip, flat panes with
// separators, the last pane as wide as the one before it plus 4).
#pragma once

#include "platform/colorref.h"

#include <QStatusBar>
#include <QString>

#include <functional>
#include <vector>

inline constexpr unsigned SBPS_NORMAL = 0x0000;
inline constexpr unsigned SBPS_DISABLED = 0x04000000;
inline constexpr unsigned SBPS_STRETCH = 0x08000000;

class CColorStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit CColorStatusBar(QWidget* parent = nullptr);

    static constexpr int kMessagePaneId = 0;

    // Panes for the ids (0 = the message pane); textOf gives each pane's
    // text (for id 0 the idle message). False when a pane other than the
    // message pane has no text.
    bool SetIndicators(const int* ids, int count, const std::function<QString(int id)>& textOf);
    int GetCount() const { return int(m_panes.size()); }
    int GetItemID(int index) const;
    int CommandToIndex(int id) const;
    QString GetPaneText(int index) const;
    void SetPaneText(int index, const QString& text);
    unsigned GetPaneStyle(int index) const;
    void SetPaneStyle(int index, unsigned style);
    QRect GetItemRect(int index) const;
    // The text the message pane shows now.
    QString GetMessageText() const;

    QSize sizeHint() const override;

    // The brush colour of start-up (mid shade), kept across theme changes.
    COLORREF GetBackBrush() const { return m_brBack; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    struct Pane {
        int id;
        QString text;
        unsigned style;
        int width;
    };
    static constexpr int kGripWidth = 16;

    void paintReport(QPainter& p);
    void paintBrowser(QPainter& p);

    std::vector<Pane> m_panes;
    COLORREF m_brBack = 0;
};
