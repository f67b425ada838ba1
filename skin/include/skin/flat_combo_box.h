// CFlatComboBox: a combo box with a flat one-pixel border and a skin
// gradient drop button, highlighted while the mouse is over it and pressed
// while a button is held. Hover is tracked per control by a 10 ms timer.
#pragma once

#include <QComboBox>
#include <QTimer>

class CFlatComboBox : public QComboBox {
    Q_OBJECT
public:
    enum BorderState { kNormal = 1, kHover = 2, kPressed = 4 };

    explicit CFlatComboBox(QWidget* parent = nullptr);

    // Paints the border and drop button in one of the three states; any
    // other state of an enabled control draws nothing.
    void DrawBorder(QPainter& p, int state) const;
    static int GetDropButtonWidth();

    int GetBorderState() const { return m_state; }
    bool IsHoverTimerActive() const { return m_timer.isActive(); }
    // One tick of hover tracking with the cursor at a global point.
    void TrackHover(const QPoint& globalCursor);

    void hidePopup() override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;

private:
    void startTracking();

    QTimer m_timer;
    bool m_pressed = false;
    bool m_hover = false;
    int m_state = kNormal;
};
