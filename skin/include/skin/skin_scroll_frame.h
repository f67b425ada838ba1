// Skin scroll bars on any scroll area: its two bars are replaced by
// CSkinScrollBars drawn from one skin image, and its corner square is
// painted from the image's column 8 (row 0 with the vertical bar on the
// right, row 1 with it on the left, in a right-to-left layout). A bar is
// enabled only while there is something to scroll.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class CSkinScrollBar;
class QAbstractScrollArea;

// The square where two skin bars meet: the skin's column 8, row 0 (row 1
// in a right-to-left layout, where the vertical bar is on the left).
class CSkinScrollCorner : public QWidget {
    Q_OBJECT
public:
    explicit CSkinScrollCorner(QWidget* parent = nullptr);
    void SetBitmap(const QPixmap& bitmap);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPixmap m_bitmap;
};

class CSkinScrollFrame : public QObject {
    Q_OBJECT
public:
    CSkinScrollFrame(QAbstractScrollArea* area, const QPixmap& bitmap, bool follow);

    void SetBitmap(const QPixmap& bitmap);
    const QPixmap& GetBitmap() const { return m_bitmap; }
    bool GetFollow() const { return m_follow; }
    CSkinScrollBar* GetScrollBar(Qt::Orientation orientation) const;
    QWidget* GetCorner() const { return m_corner; }
    // 0 no corner, 1 both bars with the vertical bar on the left, 2 on the
    // right.
    int GetCornerKind() const;

    // Gives the area plain scroll bars again, with the same state.
    void Unwrap();

    static CSkinScrollFrame* Of(const QAbstractScrollArea* area);

private:
    QPointer<QAbstractScrollArea> m_area;
    QPixmap m_bitmap;
    bool m_follow;
    QPointer<CSkinScrollCorner> m_corner;
};

// Wraps an area (again: the bitmap changes) and returns its frame.
CSkinScrollFrame* SkinWndScroll(QAbstractScrollArea* area, const QPixmap& bitmap, bool follow);
// Unwraps an area; 1, also when it was not wrapped.
int UnskinWndScroll(QAbstractScrollArea* area);
// A new skin for a wrapped area; 0 when it is not wrapped, else 1.
int SetSkinScrollBitmap(QAbstractScrollArea* area, const QPixmap& bitmap);
