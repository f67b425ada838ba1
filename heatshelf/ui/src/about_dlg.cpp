#include "heatshelf/about_dlg.h"

#include "heatshelf/caption_painter.h"

#include "skin/colors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace heatshelf {

CAboutDlg::CAboutDlg(const Theme& theme, QWidget* parent) : QDialog(parent), m_theme(theme)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setObjectName(QStringLiteral("100"));
    resize(340, 180);
    m_buttons.SetRect(skin::kCloseButton, BrowserCloseRect(width()));
    connect(&m_theme, &Theme::themeChanged, this, qOverload<>(&QWidget::update));
}

void CAboutDlg::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    m_buttons.SetRect(skin::kCloseButton, BrowserCloseRect(width()));
}

void CAboutDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), skin::ToQColor(m_theme.SkinMid()));
    PaintBrowserCaption(p, size(), windowTitle(), m_theme, m_buttons);
}

void CAboutDlg::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton && m_buttons.Press(p)) {
        update();
        return;
    }
    if (e->button() == Qt::LeftButton && p.y() < BrowserCaptionHeight() && windowHandle() != nullptr)
        windowHandle()->startSystemMove();
    QDialog::mousePressEvent(e);
}

void CAboutDlg::mouseMoveEvent(QMouseEvent* e)
{
    if (m_buttons.Move(e->position().toPoint(), e->buttons() & Qt::LeftButton))
        update();
    QDialog::mouseMoveEvent(e);
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent* e)
{
    const skin::CaptionButton run = m_buttons.Release(e->position().toPoint());
    update();
    if (run == skin::kCloseButton) {
        close();
        return;
    }
    QDialog::mouseReleaseEvent(e);
}

void CAboutDlg::leaveEvent(QEvent* e)
{
    if (m_buttons.Leave())
        update();
    QDialog::leaveEvent(e);
}

} // namespace heatshelf
