// CSkinScrollBar: a scroll bar painted from one skin image of 9 x 3 cells
// (columns: up arrow, down arrow, thumb, track of a vertical bar; left,
// right, thumb, track of a horizontal bar; the corner square; rows:
// normal, hover, pressed), with its own hit testing, auto-repeat, thumb
// dragging and hover.
//
// Its scroll state is the classic one (nMin, nMax, nPage, nPos) laid onto
// Qt's range: minimum nMin, maximum nMax - max(nPage, 1) + 1 (the last
// position a page can start at), page step nPage. Every scroll code the bar
// produces (arrows, track, thumb, keys and wheel through Qt's actions)
// leaves through scrollCode(); the bar moves itself as Qt's slider does.
#pragma once

#include "skin/scroll_codes.h"

#include <QPixmap>
#include <QScrollBar>
#include <QTimer>

class CSkinScrollBar : public QScrollBar {
    Q_OBJECT
public:
    // Parts, by the code they report.
    enum Part { kNoPart = -1, kFirstArrow = 0, kSecondArrow = 1, kTrackBefore = 2, kTrackAfter = 3, kThumb = 5 };
    enum Row { kNormal = 0, kHover = 1, kPressed = 2 };
    static constexpr int kMinThumb = 6;
    static constexpr int kRepeatDelay = 500;
    static constexpr int kRepeatInterval = 100;

    struct ScrollInfo {
        int nMin = 0;
        int nMax = 0;
        int nPage = 0;
        int nPos = 0;
        int nTrackPos = -1; // -1 while no thumb is dragged
    };

    // Lengths along the bar.
    struct Geometry {
        int length = 0;
        int track = 0;  // between the arrows
        int thumb = 0;  // 0: no thumb
        int arrow = 0;
        int free = 0;   // track - thumb
        int span = 0;   // range - page: the positions the thumb can take
        int offset = 0; // of the thumb from the track's start
    };
    // forHitTest keeps the thumb when span = 0 (it shows none then). A
    // range or span of 0 or less leaves the thumb out and divides by
    // nothing.
    static Geometry ComputeGeometry(int length, int cell, const ScrollInfo& info, bool forHitTest);

    explicit CSkinScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The skin image; the bar's thickness becomes its cell side.
    void SetBitmap(const QPixmap& bitmap);
    const QPixmap& GetBitmap() const { return m_bitmap; }
    int GetCellSize() const { return m_cell; }

    void SetScrollInfo(int nMin, int nMax, int nPage, int nPos);
    ScrollInfo GetScrollInfo() const;

    int HitTest(const QPoint& p) const;
    QRect GetPartRect(int part) const;
    QRect GetCellRect(int part, int row) const;
    // The row a part is painted in now.
    int PartRow(int part) const;

    int GetHoverPart() const { return m_hover; }
    int GetPressedPart() const { return m_pressed; }
    bool IsDragging() const { return m_dragging; }
    bool IsRepeatPaused() const { return m_paused; }

    QSize sizeHint() const override;

signals:
    // A scroll code (SB_...) and the position it leads to.
    void scrollCode(int code, int position);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    int along(const QPoint& p) const;
    int length() const;
    Geometry geometry(bool forHitTest) const;
    void sendPart(int part);
    void onAction(int action);
    void onDelay();
    void onRepeat();
    void moveTo(const QPoint& p);
    void drawCell(QPainter& p, int part, int row) const;

    QPixmap m_bitmap;
    int m_cell = 17;
    int m_trackPos = -1;
    bool m_dragging = false;
    QPoint m_dragStart;
    int m_dragStartPos = 0;
    int m_pressed = kNoPart;
    bool m_autoRepeat = false;
    int m_hover = kNoPart;
    bool m_paused = false;
    QPoint m_cursor{-1, -1};
    QTimer m_delay;
    QTimer m_repeat;
};
