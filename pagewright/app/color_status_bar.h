// CColorStatusBar: the main frame's status bar, painted in the skin colours:
// panes by command id (the first is the message pane), a drawn size grip.
#pragma once

#include <QStatusBar>
#include <QString>

#include <vector>

inline constexpr unsigned SBPS_NORMAL = 0x0000;
inline constexpr unsigned SBPS_DISABLED = 0x04000000;
inline constexpr unsigned SBPS_STRETCH = 0x08000000;

class CColorStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit CColorStatusBar(QWidget* parent = nullptr);

    // Panes for the ids (0 = the message pane); texts from the string table.
    bool SetIndicators(const int* ids, int count);
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

    std::vector<Pane> m_panes;
};
