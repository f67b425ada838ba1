#include "skin/flat_combo_box.h"

#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"

#include <QCursor>
#include <QMouseEvent>
#include <QAbstractItemView>
#include <QPainter>

CFlatComboBox::CFlatComboBox(QWidget* parent) : QComboBox(parent)
{
    setFont(skin::IconTitleFont());
    setMouseTracking(true);
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this] { TrackHover(QCursor::pos()); });
    RecreateBrushes();
}

void CFlatComboBox::RecreateBrushes()
{
    const skin::SkinState* s = skin::CurrentSkin();
    m_brMid = s != nullptr ? s->m_clrSkinMid : skin::COLOR_BTNFACE;
    m_brLight = s != nullptr ? s->m_clrSkinLight : skin::COLOR_BTNFACE;
    applyBrushes();
}

void CFlatComboBox::applyBrushes()
{
    const skin::SkinState* s = skin::CurrentSkin();
    if (s == nullptr || s->m_look != skin::SkinLook::Browser)
        return;
    QPalette pal = palette();
    const QColor back = skin::ToQColor(isEnabled() ? m_brMid : m_brLight);
    pal.setColor(QPalette::Base, back);
    pal.setColor(QPalette::Window, back);
    setPalette(pal);
    if (view() != nullptr)
        view()->setPalette(pal);
}

void CFlatComboBox::changeEvent(QEvent* e)
{
    QComboBox::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        applyBrushes();
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
    const skin::SkinState* s = skin::CurrentSkin();
    if (s != nullptr && s->m_look == skin::SkinLook::Browser) {
        // The browser draws the whole face itself.
        QPainter p(this);
        p.fillRect(rect(), skin::ToQColor(isEnabled() ? m_brMid : m_brLight));
        DrawBorder(p, m_state);
        return;
    }
    QComboBox::paintEvent(e);
    QPainter p(this);
    DrawBorder(p, m_state);
}

void CFlatComboBox::DrawBorder(QPainter& p, int state) const
{
    const skin::SkinState* s = skin::CurrentSkin();
    if (s == nullptr)
        return;
    if (s->m_look == skin::SkinLook::Browser)
        drawBrowserBorder(p, state);
    else
        drawReportBorder(p, state);
}

namespace {

// The arrow's two strokes of two lines each, end points left out.
void drawArrow(QPainter& p, const QRect& b, const QColor& color)
{
    const int mx = b.left() + b.width() / 2;
    const int my = b.top() + b.height() / 2;
    p.setPen(color);
    const QLine strokes[4] = {QLine(mx - 3, my - 1, mx, my + 2), QLine(mx, my + 2, mx + 4, my - 2),
                              QLine(mx - 3, my - 2, mx, my + 1), QLine(mx, my + 1, mx + 4, my - 3)};
    for (const QLine& l : strokes) {
        const QPoint d(l.dx() > 0 ? 1 : l.dx() < 0 ? -1 : 0, l.dy() > 0 ? 1 : l.dy() < 0 ? -1 : 0);
        p.drawLine(l.p1(), l.p2() - d);
    }
}

void frameBox(QPainter& p, const QRect& r, COLORREF c)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(skin::ToQColor(c));
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

} // namespace

void CFlatComboBox::drawBrowserBorder(QPainter& p, int state) const
{
    const skin::SkinState* s = skin::CurrentSkin();
    const bool enabled = isEnabled();
    if (enabled && state != kNormal && state != kHover && state != kPressed)
        return;
    const QRect r = rect().adjusted(1, 1, -1, -1);
    const QRect b(r.right() + 1 - GetDropButtonWidth(), r.top(), GetDropButtonWidth(), r.height());
    const QRect text(r.left() + 2, r.top() - 1, r.width() - 2 - GetDropButtonWidth() - 2, r.height() + 1);
    const QColor grey(0xC0, 0xC0, 0xC0);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(skin::IconTitleFont());
    QColor textColor = palette().color(QPalette::WindowText);
    if (enabled) {
        const COLORREF frame = state == kNormal ? s->m_clrSkinWhite : s->m_clrSkinBase;
        p.fillRect(r, skin::ToQColor(s->m_clrSkinMid));
        frameBox(p, r, frame);
        const bool pressed = state == kPressed;
        skin::DrawGradientBar(&p, b.left(), b.top(), b.right() + 1, b.bottom() + 1,
                              pressed ? s->m_clrSkinBase : s->m_clrSkinLight,
                              pressed ? s->m_clrSkinLight : s->m_clrSkinBase, false);
        frameBox(p, b, frame);
        drawArrow(p, b, Qt::black);
    } else {
        p.fillRect(r, skin::ToQColor(s->m_clrSkinLight));
        frameBox(p, r, s->m_clrSkinWhite);
        skin::DrawGradientBar(&p, b.left(), b.top(), b.right() + 1, b.bottom() + 1, s->m_clrSkinWhite,
                              s->m_clrSkinLight, false);
        frameBox(p, b, s->m_clrSkinWhite);
        drawArrow(p, b, grey);
        textColor = grey;
    }
    p.setPen(textColor);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, currentText());
    p.restore();
}

void CFlatComboBox::drawReportBorder(QPainter& p, int state) const
{
    const skin::SkinState* s = skin::CurrentSkin();
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
    drawArrow(p, b, arrow);
    p.restore();
}
