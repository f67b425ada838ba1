// CToolBarEx painting: background, border, gripper, separators and buttons.
#include "skin/tool_bar_ex.h"

#include "skin/colors.h"
#include "skin/draw3d.h"
#include "skin/gradient.h"
#include "skin/metrics.h"

#include <QCursor>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolBar>
#include <QToolButton>

#include <map>

namespace {

COLORREF shade(int n)
{
    const skin::SkinState* s = skin::CurrentSkin();
    return s != nullptr ? s->Shade(n) : skin::COLOR_BTNFACE;
}

COLORREF darkShade()
{
    const skin::SkinState* s = skin::CurrentSkin();
    return s != nullptr ? s->m_clrSkinDark : skin::COLOR_3DDKSHADOW;
}

void frameRect(QPainter& p, const QRect& r, COLORREF c)
{
    p.setPen(skin::ToQColor(c));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

} // namespace

void CToolBarEx::fillBand(QPainter& p, const QRect& r, COLORREF from, COLORREF to, bool columns) const
{
    if (IsBrowserLook()) {
        CIconMenu::DrawGradientBar(&p, r, from, to, columns);
        return;
    }
    skin::DrawGradientRect(&p, r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), from, to, columns);
}

void CToolBarEx::paintEvent(QPaintEvent*)
{
    // The mouse left without a leave event (a menu or popup took it).
    if (m_hotIndex != -1 && !rect().contains(mapFromGlobal(QCursor::pos())))
        m_hotIndex = -1;
    QPainter p(this);
    QStyleOptionToolBar opt;
    initStyleOption(&opt);
    style()->drawPrimitive(QStyle::PE_PanelToolBar, &opt, &p, this);
    if (!isFloating()) {
        opt.rect = style()->subElementRect(QStyle::SE_ToolBarHandle, &opt, this);
        if (opt.rect.isValid())
            style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &opt, &p, this);
    }
}

void CToolBarEx::PaintBackground(QPainter& p, const QRect& r) const
{
    const bool vertical = IsVertical();
    if (m_backMode != kGradient) {
        p.fillRect(r, skin::ToQColor(skin::COLOR_BTNFACE));
    } else if (!isFloating()) {
        fillBand(p, r, m_back1, m_back2, vertical);
    } else {
        // Floating: one band per row of buttons, the gaps between rows run
        // back from the second colour to the first.
        p.fillRect(r, skin::ToQColor(m_back2));
        std::map<int, int> rows; // top -> bottom
        for (const Button& b : m_buttons) {
            if (b.separator)
                continue;
            const QWidget* w = b.kind == kButtonControl ? b.control.data() : widgetForAction(b.action);
            if (w == nullptr || !w->isVisible())
                continue;
            const QRect g = w->geometry();
            int& bottom = rows[g.top()];
            bottom = qMax(bottom, g.top() + g.height());
        }
        int previousBottom = -1;
        for (const auto& [top, bottom] : rows) {
            if (previousBottom >= 0 && top > previousBottom)
                fillBand(p, QRect(r.left(), previousBottom, r.width(), top - previousBottom), m_back2, m_back1, false);
            fillBand(p, QRect(r.left(), top, r.width(), bottom - top), m_back1, m_back2, false);
            previousBottom = bottom;
        }
    }
    // The border: the first colour outside, the two colours inside it.
    const QRect outer = rect();
    if (IsBrowserLook()) {
        // The browser's border: mid shade outside, the first colour inside.
        const QColor mid = skin::ToQColor(shade(3));
        skin::Draw3dRect(p, outer, mid, mid);
        skin::Draw3dRect(p, outer.adjusted(1, 1, -1, -1), skin::ToQColor(m_back1), skin::ToQColor(m_back1));
    } else if (m_backMode == kGradient) {
        skin::Draw3dRect(p, outer, skin::ToQColor(m_back1), skin::ToQColor(m_back1));
        skin::Draw3dRect(p, outer.adjusted(1, 1, -1, -1), skin::ToQColor(m_back1), skin::ToQColor(m_back2));
    }
}

void CToolBarEx::PaintGripper(QPainter& p) const
{
    if (isFloating())
        return;
    const QRect r = rect().adjusted(1, 1, -1, -1);
    const COLORREF c1 = m_backMode == kGradient ? m_back1 : skin::COLOR_BTNFACE;
    const COLORREF c2 = m_backMode == kGradient ? m_back2 : skin::COLOR_BTNFACE;
    const QColor light = skin::ToQColor(shade(2));
    const QColor dark = skin::ToQColor(darkShade());
    auto dot = [&](int x, int y) {
        p.fillRect(x + 1, y + 1, 2, 2, light);
        p.fillRect(x, y, 2, 2, dark);
    };
    if (!IsVertical()) {
        const QRect band(r.left(), r.top(), 8, r.height());
        fillBand(p, band, c1, c2, false);
        for (int i = 0; i < (band.height() - 4) / 5; ++i)
            dot(band.left() + 3, band.top() + 3 + 5 * i);
    } else {
        const QRect band(r.left(), r.top(), r.width(), 8);
        fillBand(p, band, c1, c2, true);
        for (int i = 0; i < (band.width() - 4) / 5; ++i)
            dot(band.left() + 3 + 5 * i, band.top() + 1);
    }
}

void CToolBarEx::PaintSeparator(QPainter& p, const QRect& r) const
{
    const QColor c1 = skin::ToQColor(shade(1));
    const QColor c2 = skin::ToQColor(shade(2));
    if (!IsVertical()) {
        if (r.width() >= 9)
            return;
        const int centre = r.left() + r.width() / 2;
        skin::Draw3dRect(p, QRect(centre - 1, r.top() + 2, 2, r.height() - 4), c1, c2);
    } else {
        if (r.height() >= 9)
            return;
        const int centre = r.top() + r.height() / 2;
        skin::Draw3dRect(p, QRect(r.left() + 2, centre - 1, r.width() - 4, 2), c1, c2);
    }
}

QSize CToolBarEx::ButtonSizeHint(const QToolButton* button) const
{
    const int kind = GetButtonKind(IndexOf(button));
    return kind == kButtonColor || kind == kButtonDropDown ? m_buttonSize + QSize(kArrowZone, 0) : m_buttonSize;
}

QRect CToolBarEx::ButtonFaceRect(const QToolButton* button) const
{
    if (button == nullptr)
        return {};
    const QSize hint = ButtonSizeHint(button);
    const int kind = GetButtonKind(IndexOf(button));
    if (!IsVertical())
        return QRect(0, 0, button->width(), button->height());
    // Down the side of the frame: centred across the bar, unless a control
    // stands in it; colour buttons keep their place.
    const int width = qMin(hint.width(), button->width());
    int x = 0;
    if (!hasControlWindow() && kind != kButtonColor)
        x = (button->width() - width) / 2;
    return QRect(x, 0, width, button->height());
}

void CToolBarEx::drawDropArrow(QPainter& p, const QRect& r, bool enabled) const
{
    const int right = r.left() + r.width();
    const int zone = right - kArrowZone;
    const int mid = r.top() + r.height() / 2;
    const QPoint corners[3] = {{zone + 3, mid - 2}, {(zone + right) / 2, mid + 2}, {right - 3, mid - 2}};
    if (enabled) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(skin::ToQColor(darkShade()));
        p.setBrush(skin::ToQColor(darkShade()));
        p.drawPolygon(corners, 3);
        p.restore();
        return;
    }
    // A disabled button's arrow is greyed as its image is: grey, over the
    // light shadow.
    const QRect area(zone, r.top(), kArrowZone, r.height());
    QImage arrow(area.size(), QImage::Format_ARGB32);
    arrow.fill(Qt::transparent);
    {
        QPainter a(&arrow);
        a.translate(-area.topLeft());
        a.setPen(skin::ToQColor(darkShade()));
        a.setBrush(skin::ToQColor(darkShade()));
        a.drawPolygon(corners, 3);
    }
    p.drawImage(area.topLeft(),
                skin::DisabledToolBarStrip(arrow, skin::DisabledShadowOf(IsBrowserLook() ? skin::SkinLook::Browser
                                                                                          : skin::SkinLook::Report)));
}

void CToolBarEx::drawColorBar(QPainter& p, const QRect& r, int command) const
{
    const long c = GetColorButton(command);
    const int right = r.left() + r.width();
    const int bottom = r.top() + r.height();
    const QRect bar(r.left() + 2, bottom - 6, right - 16 - (r.left() + 2), 5);
    p.fillRect(bar, skin::ToQColor(c == -1 ? RGB(0xC0, 0xC0, 0xC0) : COLORREF(c)));
}

void CToolBarEx::PaintButton(QPainter& p, const QToolButton* button) const
{
    const int index = IndexOf(button);
    if (index < 0)
        return;
    const Button& b = m_buttons[std::size_t(index)];
    if (b.kind == kButtonControl)
        return;
    const QRect r = ButtonFaceRect(button);
    const bool vertical = IsVertical();
    const bool dropKind = b.kind == kButtonColor || b.kind == kButtonDropDown;
    const COLORREF frame = darkShade();
    const QRect zone(r.left() + r.width() - kArrowZone, r.top(), kArrowZone, r.height());
    const QPoint imageAt(r.left() + 4, r.top() + 3);
    if (!button->isEnabled()) {
        if (dropKind)
            drawDropArrow(p, r, false);
        if (b.kind == kButtonColor)
            drawColorBar(p, r, b.command);
        m_images.disabled.Draw(p, b.image, imageAt.x(), imageAt.y());
    } else if (button->isChecked() || button->isDown()) {
        fillBand(p, r, shade(5), shade(6), vertical);
        frameRect(p, r, frame);
        if (b.kind == kButtonColor) {
            drawColorBar(p, r, b.command);
            fillBand(p, zone, shade(6), shade(5), vertical);
            frameRect(p, zone, frame);
        }
        if (dropKind)
            drawDropArrow(p, r);
        m_images.hot.Draw(p, b.image, imageAt.x(), imageAt.y());
    } else {
        if (index == m_hotIndex) {
            fillBand(p, r, shade(6), shade(5), vertical);
            frameRect(p, r, frame);
            if (b.kind == kButtonColor)
                frameRect(p, zone, frame);
        }
        if (dropKind)
            drawDropArrow(p, r);
        if (b.kind == kButtonColor)
            drawColorBar(p, r, b.command);
        m_images.normal.Draw(p, b.image, imageAt.x(), imageAt.y());
    }
}
