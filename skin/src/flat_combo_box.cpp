#include "skin/flat_combo_box.h"

#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

CFlatComboBox::CFlatComboBox(QWidget* parent) : QComboBox(parent)
{
    setFont(skin::IconTitleFont());
    setMouseTracking(true);
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this] { TrackHover(QCursor::pos()); });
}

int CFlatComboBox::GetDropButtonWidth() { return skin::SM_CXHTHUMB; }

void CFlatComboBox::startTracking()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void CFlatComboBox::TrackHover(const QPoint& globalCursor)
{
    const bool inside = rect().contains(mapFromGlobal(globalCursor));
    if (m_pressed) {
        m_timer.stop();
        if (m_hover) {
            m_state = kPressed;
            m_hover = false;
            update();
        }
        return;
    }
    if (!inside) {
        m_timer.stop();
        if (m_hover) {
            m_state = kNormal;
            m_hover = false;
            update();
        }
        return;
    }
    if (!m_hover) {
        m_hover = true;
        m_state = kHover;
        update();
    }
}

void CFlatComboBox::mouseMoveEvent(QMouseEvent* e)
{
    startTracking();
    QComboBox::mouseMoveEvent(e);
}

void CFlatComboBox::enterEvent(QEnterEvent* e)
{
    startTracking();
    QComboBox::enterEvent(e);
}

void CFlatComboBox::mousePressEvent(QMouseEvent* e)
{
    m_pressed = true;
    if (m_hover || rect().contains(e->position().toPoint())) {
        m_state = kPressed;
        m_hover = false;
        update();
    }
    QComboBox::mousePressEvent(e);
}

void CFlatComboBox::mouseReleaseEvent(QMouseEvent* e)
{
    m_pressed = false;
    m_state = kNormal;
    update();
    QComboBox::mouseReleaseEvent(e);
}

void CFlatComboBox::hidePopup()
{
    QComboBox::hidePopup();
    m_pressed = false;
    m_state = kNormal;
    startTracking();
    update();
}

void CFlatComboBox::paintEvent(QPaintEvent* e)
{
    QComboBox::paintEvent(e);
    QPainter p(this);
    DrawBorder(p, m_state);
}

void CFlatComboBox::DrawBorder(QPainter& p, int state) const
{
    const skin::SkinState* s = skin::CurrentSkin();
    if (s == nullptr)
        return;
    const bool enabled = isEnabled();
    if (enabled && state != kNormal && state != kHover && state != kPressed)
        return;
    COLORREF frame = s->Shade(6);
    COLORREF from = s->Shade(2);
    COLORREF to = s->Shade(1);
    QColor arrow = Qt::black;
    if (!enabled) {
        from = s->Shade(6);
        to = s->Shade(2);
        arrow = QColor(0xC0, 0xC0, 0xC0);
    } else if (state == kHover) {
        frame = s->Shade(1);
    } else if (state == kPressed) {
        frame = s->Shade(1);
        from = s->Shade(1);
        to = s->Shade(2);
    }
    const QRect r = rect().adjusted(1, 1, -1, -1);
    const QRect b(r.right() + 1 - GetDropButtonWidth(), r.top(), GetDropButtonWidth(), r.height());
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(skin::ToQColor(frame));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    skin::DrawGradientRect(&p, b.left(), b.top(), b.right() + 1, b.bottom() + 1, from, to, false);
    p.drawRect(b.adjusted(0, 0, -1, -1));
    const int mx = b.left() + b.width() / 2;
    const int my = b.top() + b.height() / 2;
    p.setPen(arrow);
    // Four strokes, end points left out.
    const QLine strokes[4] = {QLine(mx - 3, my - 1, mx, my + 2), QLine(mx, my + 2, mx + 4, my - 2),
                              QLine(mx - 3, my - 2, mx, my + 1), QLine(mx, my + 1, mx + 4, my - 3)};
    for (const QLine& l : strokes) {
        const QPoint d(l.dx() > 0 ? 1 : l.dx() < 0 ? -1 : 0, l.dy() > 0 ? 1 : l.dy() < 0 ? -1 : 0);
        p.drawLine(l.p1(), l.p2() - d);
    }
    p.restore();
}
