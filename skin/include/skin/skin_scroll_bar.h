// CSkinScrollBar: a scroll bar drawn from the skin's scroll-bar image.
#pragma once

#include <QPixmap>
#include <QScrollBar>

class CSkinScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit CSkinScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The skin image: 9 cells across, 3 down.
    void SetBitmap(const QPixmap& bitmap);
    const QPixmap& GetBitmap() const { return m_bitmap; }

    // Program-wide: cleared when a report frame closes, so that bars being
    // torn down stop painting.
    static void SetFramesActive(bool active);
    static bool FramesActive();

private:
    QPixmap m_bitmap;
};
