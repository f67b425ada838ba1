// CHeaderCtrlCl: the result list's column header, painted flat. Each column
// shows its title (from the owner's titles array, not the model) over a
// gradient that darkens by a step per pixel row from the base colour; the
// column under the mouse starts from the light shade, and a pressed hot
// column starts darker and lightens down to the base colour.
#pragma once

#include "platform/colorref.h"

#include <QHeaderView>
#include <QStringList>
#include <QTimer>

#include <vector>

namespace heatshelf {

class CHeaderCtrlCl : public QHeaderView {
    Q_OBJECT
public:
    static constexpr COLORREF kDefaultBase = RGB(171, 199, 235);
    static constexpr int kDefaultStep = 8;

    explicit CHeaderCtrlCl(QWidget* parent = nullptr);

    // The titles the header draws, one per column.
    QStringList m_titles;

    void SetColors(COLORREF base, int step);
    COLORREF GetBaseColor() const { return m_base; }
    int GetStep() const { return m_step; }
    // The header's height is the standard one times this factor.
    void SetHeightFactor(float factor);

    int GetHotItem() const { return m_hot; }
    int GetPressedItem() const { return m_pressed; }
    bool IsHoverTimerActive() const { return m_timer.isActive(); }
    // One tick of the hover timer with the cursor at a global point.
    void CheckHover(const QPoint& globalCursor);

    // The colours of rows 0..height of an item (height + 1 rows, the last
    // one below the item): from start, darker by step per row, or lighter
    // for a pressed hot item; channels held to 0..255.
    static std::vector<COLORREF> ItemRows(int height, COLORREF start, int step, bool lighten);
    // The start colour of column i in its present state.
    COLORREF StartColor(int column) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void paintColumn(QPainter& p, const QRect& r, int column) const;
    void paintStrip(QPainter& p, const QRect& r, COLORREF start, bool lighten) const;

    COLORREF m_base = kDefaultBase;
    int m_step = kDefaultStep;
    float m_heightFactor = 1.0f;
    int m_hot = -1;
    int m_pressed = -1;
    QTimer m_timer;
};

} // namespace heatshelf
