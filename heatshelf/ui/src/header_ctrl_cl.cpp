#include "heatshelf/header_ctrl_cl.h"

#include "skin/colors.h"
#include "skin/draw3d.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace heatshelf {

namespace {

COLORREF skinShade(COLORREF skin::SkinState::* member, COLORREF fallback)
{
    const skin::SkinState* s = skin::CurrentSkin();
    return s != nullptr ? s->*member : fallback;
}

COLORREF addToChannels(COLORREF c, int d)
{
    return RGB(std::clamp(GetRValue(c) + d, 0, 255), std::clamp(GetGValue(c) + d, 0, 255),
               std::clamp(GetBValue(c) + d, 0, 255));
}

} // namespace

CHeaderCtrlCl::CHeaderCtrlCl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setMouseTracking(true);
    setSectionsClickable(true);
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this] { CheckHover(QCursor::pos()); });
}

void CHeaderCtrlCl::SetColors(COLORREF base, int step)
{
    m_base = RGB(GetRValue(base), GetGValue(base), GetBValue(base));
    m_step = step;
    viewport()->update();
}

void CHeaderCtrlCl::SetHeightFactor(float factor)
{
    m_heightFactor = factor;
    updateGeometry();
}

QSize CHeaderCtrlCl::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(int(float(s.height()) * m_heightFactor));
    return s;
}

std::vector<COLORREF> CHeaderCtrlCl::ItemRows(int height, COLORREF start, int step, bool lighten)
{
    std::vector<COLORREF> rows;
    if (height < 0)
        return rows;
    rows.reserve(std::size_t(height) + 1);
    COLORREF c = start;
    for (int y = 0; y <= height; ++y) {
        rows.push_back(c);
        c = addToChannels(c, lighten ? step : -step);
    }
    return rows;
}

COLORREF CHeaderCtrlCl::StartColor(int column) const
{
    if (column != m_hot)
        return m_base;
    if (column == m_pressed)
        return addToChannels(m_base, -height() * m_step);
    return skinShade(&skin::SkinState::m_clrSkinLight, m_base);
}

void CHeaderCtrlCl::paintStrip(QPainter& p, const QRect& r, COLORREF start, bool lighten) const
{
    // The 2-pixel edge at the left, then the rows from left + 2.
    skin::Draw3dRect(p, QRect(r.left(), r.top(), 2, r.height()),
                     skin::ToQColor(skinShade(&skin::SkinState::m_clrSkinBase, skin::COLOR_BTNFACE)),
                     skin::ToQColor(skinShade(&skin::SkinState::m_clrSkinLight, 0xFFFFFF)));
    const std::vector<COLORREF> rows = ItemRows(r.height(), start, m_step, lighten);
    for (int y = 0; y < r.height(); ++y)
        p.fillRect(QRect(r.left() + 2, r.top() + y, r.width() - 2, 1), skin::ToQColor(rows[std::size_t(y)]));
}

void CHeaderCtrlCl::paintColumn(QPainter& p, const QRect& r, int column) const
{
    const bool lighten = column == m_hot && column == m_pressed;
    paintStrip(p, r, StartColor(column), lighten);
    const QFont font = skin::IconTitleFont();
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetrics fm(font);
    const QRect text = r.translated(4, (r.height() - fm.height()) / 2);
    if (column >= 0 && column < m_titles.size())
        p.drawText(text, Qt::AlignLeft | Qt::AlignTop, m_titles[column]);
}

void CHeaderCtrlCl::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing, false);
    int right = 0;
    for (int visual = 0; visual < count(); ++visual) {
        const int column = logicalIndex(visual);
        if (isSectionHidden(column))
            continue;
        const QRect r(sectionViewportPosition(column), 0, sectionSize(column), viewport()->height());
        paintColumn(p, r, column);
        right = std::max(right, r.left() + r.width());
    }
    // Past the last column (all of it without columns): the plain strip.
    if (right < viewport()->width())
        paintStrip(p, QRect(right, 0, viewport()->width() - right, viewport()->height()), m_base, false);
}

void CHeaderCtrlCl::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_timer.isActive())
        m_timer.start();
    const int old = m_hot;
    m_hot = -1;
    if (!(e->buttons() & Qt::LeftButton))
        m_pressed = -1;
    const QPoint p = e->position().toPoint();
    for (int column = 0; column < count(); ++column) {
        if (isSectionHidden(column))
            continue;
        const QRect r(sectionViewportPosition(column), 0, sectionSize(column), height());
        if (r.contains(p))
            m_hot = column; // the last column holding the cursor
    }
    if (m_hot != old)
        viewport()->update();
    QHeaderView::mouseMoveEvent(e);
}

void CHeaderCtrlCl::mousePressEvent(QMouseEvent* e)
{
    m_pressed = m_hot;
    viewport()->update();
    QHeaderView::mousePressEvent(e);
}

void CHeaderCtrlCl::mouseReleaseEvent(QMouseEvent* e)
{
    viewport()->update();
    QHeaderView::mouseReleaseEvent(e);
}

void CHeaderCtrlCl::CheckHover(const QPoint& globalCursor)
{
    if (!rect().contains(mapFromGlobal(globalCursor)) && m_hot != -1) {
        m_hot = -1;
        viewport()->update();
        m_timer.stop();
    }
}

} // namespace heatshelf
