// The colour picker's palette popup, 191 x 150: a grid of 19 x 12 cells at a
// pitch of 10 (column 0 greys, columns 1..18 the colour cube, cell 227 no
// colour), a band with the preview of the colour under the mouse and the
// other-colours button (id 100).
//
// The browser's popup (when the current skin has the browser's look) has
// the same size, grid and choosing, no no-colour cell, a light grey band
// with a swatch, the colour as "#RRGGBB" and a 16 x 16 other-colours
// button; outside the popup the colour under the mouse is read from the
// screen where the platform allows it.
//
// Choosing, in client coordinates: a press on the picker button that is
// dragged to a cell and released commits that cell; a click without moving
// keeps the popup open, and a later click on a cell commits it; closing
// the popup otherwise commits the hot colour only when the mouse had moved.
#pragma once

#include "platform/colorref.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

#include <optional>

class CColorPickerButton;

namespace skin {

class ColorPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 191;
    static constexpr int kHeight = 150;
    static constexpr int kColumns = 19;
    static constexpr int kRows = 12;
    static constexpr int kNoColorCell = 227;
    static constexpr int kMoreButtonId = 100;

    ColorPopup(CColorPickerButton* owner, COLORREF initial);

    // The cell under a client point, -1 on grid lines and outside the grid.
    static int CellAt(QPoint client);
    // The colour of a cell; 0xFFFFFFFF for the no-colour cell.
    static COLORREF CellColor(int cell);
    // The colour of a cell in this popup's look (the browser's has no
    // no-colour cell).
    COLORREF CellColorOf(int cell) const;
    bool IsBrowserLook() const { return m_browser; }
    // The browser's layout, client coordinates.
    static constexpr QRect kBrowserSwatch{5, 125, 35, 18};
    static constexpr QPoint kBrowserText{80, 127};
    static constexpr QRect kBrowserMoreButton{167, 126, 16, 16};
    // Client rectangle of a cell (9 x 9).
    static QRect CellRect(int cell);
    // Where the popup opens for a button's screen rectangle on a screen.
    static QPoint Placement(const QRect& button, const QRect& screen);

    // A press at a point of the popup's client area; fromButton: the press
    // on the picker button that opened the popup.
    void BeginPress(QPoint client, bool fromButton);

    COLORREF HotColor() const { return m_hot; }
    int FocusCell() const { return s_focusCell; }
    QAbstractButton* MoreButton() const { return m_more; }

    // Client point of a widget point (the popup has a one-pixel border).
    static QPoint ToClient(QPoint widget) { return widget - QPoint(1, 1); }
    static QPoint ToWidget(QPoint client) { return client + QPoint(1, 1); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void track(QPoint client);
    void commit();
    void paintBrowser(QPainter& p);
    // The screen's colour at a global point, when it can be read.
    static std::optional<COLORREF> ScreenColor(QPoint global);

    QPointer<CColorPickerButton> m_owner;
    bool m_browser = false;
    COLORREF m_initial;
    COLORREF m_hot;
    QPoint m_pressPoint{-10000, -10000};
    bool m_moved = false;
    bool m_pressed = false;
    bool m_opening = false;
    bool m_done = false;
    QAbstractButton* m_more = nullptr;
    // Kept from one opening to the next, as one popup serves the program.
    static int s_focusCell;
    static int s_framedCell;
};

} // namespace skin
