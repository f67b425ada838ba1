// CFlatComboBox: a combo box with a flat one-pixel border and a skin
// gradient drop button, highlighted while the mouse is over it and pressed
// while a button is held. Hover is tracked per control by a 10 ms timer.
// In the browser's look the control paints its whole face (fills, frames,
// gradient button, arrow and the selected text) in the theme shades.
#pragma once

#include "platform/colorref.h"

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

    // The browser's list and edit colours: mid shade while enabled, light
    // shade when disabled. Taken from the current skin when the control is
    // made and again here, after a theme change.
    void RecreateBrushes();
    COLORREF GetMidBrush() const { return m_brMid; }
    COLORREF GetLightBrush() const { return m_brLight; }

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

    void changeEvent(QEvent* e) override;

private:
    void startTracking();
    void drawReportBorder(QPainter& p, int state) const;
    void drawBrowserBorder(QPainter& p, int state) const;
    void applyBrushes();

    QTimer m_timer;
    bool m_pressed = false;
    bool m_hover = false;
    int m_state = kNormal;
    COLORREF m_brMid = 0;
    COLORREF m_brLight = 0;
};
