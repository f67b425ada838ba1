// CAboutDlg: the browser's About box, a frameless dialog with the
// browser's caption (close button only) on a mid-shade client area. The
// close button follows the shared caption rules: image 1 while pressed
// under the mouse, 2 while hovered, 0 otherwise; a release over it after a
// press on it closes the box. Dragging the band moves the box.
#pragma once

#include "heatshelf/theme.h"

#include "skin/caption.h"

#include <QDialog>

namespace heatshelf {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(const Theme& theme, QWidget* parent = nullptr);

    const skin::CaptionButtons& Buttons() const { return m_buttons; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    const Theme& m_theme;
    skin::CaptionButtons m_buttons;
};

} // namespace heatshelf
