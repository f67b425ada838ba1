// CChildButtons: the close, restore and minimize buttons of a maximised
// report frame, at the right end of the main frame's menu bar, drawn from
// the skin's small caption images.
#pragma once

#include "skin/caption.h"

#include <QWidget>

class CChildButtons : public QWidget {
    Q_OBJECT
public:
    explicit CChildButtons(QWidget* parent = nullptr);

    const skin::CaptionButtons& Buttons() const { return m_buttons; }
    QSize sizeHint() const override;

signals:
    // skin::kCloseButton, kMaxButton (restore) or kMinButton.
    void buttonClicked(int button);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutButtons();

    skin::CaptionButtons m_buttons;
};
