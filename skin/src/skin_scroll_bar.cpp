#include "skin/skin_scroll_bar.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

CSkinScrollBar::Geometry CSkinScrollBar::ComputeGeometry(int length, int cell, const ScrollInfo& info,
                                                         bool forHitTest)
{
    Geometry g;
    g.length = std::max(0, length);
    g.track = std::max(0, g.length - 2 * cell);
    const qint64 range = qint64(info.nMax) - info.nMin + 1;
    g.span = int(std::clamp<qint64>(range - info.nPage, INT_MIN, INT_MAX));
    if (g.track >= kMinThumb && range > 0 && (forHitTest || g.span > 0)) {
        const qint64 page = std::max(0, info.nPage);
        g.thumb = int(std::clamp<qint64>(page * g.track / range, kMinThumb, g.track));
    }
    g.arrow = g.track == 0 ? g.length / 2 : cell;
    g.free = g.track - g.thumb;
    const int p = info.nTrackPos != -1 ? info.nTrackPos : info.nPos;
    if (g.span > 0)
        g.offset = int(std::clamp<qint64>(qint64(g.free) * (qint64(p) - info.nMin) / g.span, 0, g.free));
    else
        g.offset = g.free / 2;
    return g;
}

CSkinScrollBar::CSkinScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_delay.setSingleShot(true);
    m_delay.setInterval(kRepeatDelay);
    m_repeat.setInterval(kRepeatInterval);
    connect(&m_delay, &QTimer::timeout, this, &CSkinScrollBar::onDelay);
    connect(&m_repeat, &QTimer::timeout, this, &CSkinScrollBar::onRepeat);
    connect(this, &QAbstractSlider::actionTriggered, this, &CSkinScrollBar::onAction);
}

void CSkinScrollBar::SetBitmap(const QPixmap& bitmap)
{
    m_bitmap = bitmap;
    if (!bitmap.isNull() && bitmap.width() >= 9)
        m_cell = bitmap.width() / 9;
    if (orientation() == Qt::Vertical)
        setFixedWidth(m_cell);
    else
        setFixedHeight(m_cell);
    updateGeometry();
    update();
}

QSize CSkinScrollBar::sizeHint() const
{
    return orientation() == Qt::Vertical ? QSize(m_cell, 4 * m_cell) : QSize(4 * m_cell, m_cell);
}

void CSkinScrollBar::SetScrollInfo(int nMin, int nMax, int nPage, int nPos)
{
    const int page = std::max(0, nPage);
    const qint64 last = std::max<qint64>(nMin, qint64(nMax) - std::max(page, 1) + 1);
    setRange(nMin, int(std::min<qint64>(last, INT_MAX)));
    setPageStep(page);
    setValue(nPos);
}

CSkinScrollBar::ScrollInfo CSkinScrollBar::GetScrollInfo() const
{
    ScrollInfo info;
    info.nMin = minimum();
    info.nPage = pageStep();
    info.nMax = int(std::min<qint64>(qint64(maximum()) + std::max(info.nPage, 1) - 1, INT_MAX));
    info.nPos = value();
    info.nTrackPos = m_dragging ? m_trackPos : -1;
    return info;
}

int CSkinScrollBar::length() const { return orientation() == Qt::Vertical ? height() : width(); }

int CSkinScrollBar::along(const QPoint& p) const { return orientation() == Qt::Vertical ? p.y() : p.x(); }

CSkinScrollBar::Geometry CSkinScrollBar::geometry(bool forHitTest) const
{
    return ComputeGeometry(length(), m_cell, GetScrollInfo(), forHitTest);
}

int CSkinScrollBar::HitTest(const QPoint& p) const
{
    const int x = along(p);
    if (x < 0)
        return kNoPart;
    const Geometry g = geometry(true);
    if (x < g.arrow)
        return kFirstArrow;
    if (x < g.arrow + g.offset)
        return kTrackBefore;
    if (x < g.arrow + g.offset + g.thumb)
        return kThumb;
    if (x < g.length - g.arrow)
        return kTrackAfter;
    return kSecondArrow;
}

QRect CSkinScrollBar::GetPartRect(int part) const
{
    const Geometry g = geometry(false);
    const int thumb = isEnabled() ? g.thumb : 0;
    const int offset = isEnabled() ? g.offset : (g.track / 2);
    int from = 0;
    int to = 0;
    switch (part) {
    case kFirstArrow: from = 0, to = g.arrow; break;
    case kTrackBefore: from = g.arrow, to = g.arrow + offset; break;
    case kThumb: from = g.arrow + offset, to = g.arrow + offset + thumb; break;
    case kTrackAfter: from = g.arrow + offset + thumb, to = g.length - g.arrow; break;
    case kSecondArrow: from = g.length - g.arrow, to = g.length; break;
    default: return {};
    }
    if (to <= from)
        return {};
    return orientation() == Qt::Vertical ? QRect(0, from, m_cell, to - from) : QRect(from, 0, to - from, m_cell);
}

QRect CSkinScrollBar::GetCellRect(int part, int row) const
{
    int column = 0;
    switch (part) {
    case kFirstArrow: column = 0; break;
    case kSecondArrow: column = 1; break;
    case kThumb: column = 2; break;
    case kTrackBefore:
    case kTrackAfter: column = 3; break;
    default: return {};
    }
    if (orientation() == Qt::Horizontal)
        column += 4;
    return QRect(column * m_cell, row * m_cell, m_cell, m_cell);
}

int CSkinScrollBar::PartRow(int part) const
{
    if (part == kThumb) {
        if (m_dragging)
            return kPressed;
        return m_hover == kThumb && m_pressed == kNoPart ? kHover : kNormal;
    }
    if (part == kFirstArrow || part == kSecondArrow) {
        if (m_pressed == part)
            return m_paused ? kNormal : kPressed;
        return m_hover == part && m_pressed == kNoPart && !m_dragging ? kHover : kNormal;
    }
    return kNormal; // the track has no hover look
}

void CSkinScrollBar::drawCell(QPainter& p, int part, int row) const
{
    const QRect dest = GetPartRect(part);
    const QRect src = GetCellRect(part, row);
    if (dest.isEmpty() || src.isEmpty())
        return;
    const bool vertical = orientation() == Qt::Vertical;
    if (part == kTrackBefore || part == kTrackAfter) {
        // Tiled, cut at the right and bottom edges.
        p.save();
        p.setClipRect(dest);
        for (int y = dest.top(); y <= dest.bottom(); y += m_cell) {
            for (int x = dest.left(); x <= dest.right(); x += m_cell)
                p.drawPixmap(QPoint(x, y), m_bitmap, src);
        }
        p.restore();
        return;
    }
    if (part == kThumb) {
        // Three pixels of each end as they are, the middle of the cell
        // tiled between them.
        constexpr int kEnd = 3;
        const int len = vertical ? dest.height() : dest.width();
        const int middle = m_cell - 2 * kEnd;
        auto piece = [&](int at, int srcAt, int n) {
            if (n <= 0)
                return;
            if (vertical)
                p.drawPixmap(QRect(dest.left(), dest.top() + at, m_cell, n), m_bitmap,
                             QRect(src.left(), src.top() + srcAt, m_cell, n));
            else
                p.drawPixmap(QRect(dest.left() + at, dest.top(), n, m_cell), m_bitmap,
                             QRect(src.left() + srcAt, src.top(), n, m_cell));
        };
        const int head = std::min(kEnd, len);
        piece(0, 0, head);
        if (middle > 0) {
            for (int at = kEnd; at < len - kEnd; at += middle)
                piece(at, kEnd, std::min(middle, len - kEnd - at));
        }
        if (len > kEnd)
            piece(len - std::min(kEnd, len - kEnd), m_cell - std::min(kEnd, len - kEnd), std::min(kEnd, len - kEnd));
        return;
    }
    // Arrows: copied, or stretched when the part is not a whole cell.
    p.drawPixmap(dest, m_bitmap, src);
}

void CSkinScrollBar::paintEvent(QPaintEvent*)
{
    if (!isEnabled() || m_bitmap.isNull())
        return;
    QPainter p(this);
    for (int part : {int(kFirstArrow), int(kSecondArrow), int(kThumb), int(kTrackBefore), int(kTrackAfter)})
        drawCell(p, part, PartRow(part));
}

void CSkinScrollBar::onAction(int action)
{
    int code = -1;
    switch (action) {
    case SliderSingleStepSub: code = SB_LINEUP; break;
    case SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case SliderPageStepSub: code = SB_PAGEUP; break;
    case SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case SliderToMinimum: code = SB_TOP; break;
    case SliderToMaximum: code = SB_BOTTOM; break;
    case SliderMove: code = SB_THUMBTRACK; break;
    default: return;
    }
    emit scrollCode(code, sliderPosition());
}

void CSkinScrollBar::sendPart(int part)
{
    switch (part) {
    case kFirstArrow: triggerAction(SliderSingleStepSub); break;
    case kSecondArrow: triggerAction(SliderSingleStepAdd); break;
    case kTrackBefore: triggerAction(SliderPageStepSub); break;
    case kTrackAfter: triggerAction(SliderPageStepAdd); break;
    default: break;
    }
}

void CSkinScrollBar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !isEnabled()) {
        e->ignore();
        return;
    }
    e->accept();
    const QPoint pos = e->position().toPoint();
    m_cursor = pos;
    const int part = HitTest(pos);
    if (part == kNoPart)
        return;
    if (part == kThumb) {
        m_dragStart = pos;
        m_dragStartPos = value();
        m_trackPos = value();
        m_dragging = true;
        setSliderDown(true);
    } else {
        m_pressed = part;
        m_paused = false;
        m_autoRepeat = false;
        sendPart(part);
        m_delay.start();
    }
    update();
}

void CSkinScrollBar::onDelay()
{
    m_autoRepeat = true;
    m_repeat.start();
    onRepeat();
}

void CSkinScrollBar::onRepeat()
{
    if (m_paused || m_pressed == kNoPart)
        return;
    switch (m_pressed) {
    case kFirstArrow:
        if (value() != minimum())
            sendPart(kFirstArrow);
        else
            m_repeat.stop();
        break;
    case kSecondArrow:
        // The last position a page can start at.
        if (value() != maximum())
            sendPart(kSecondArrow);
        else
            m_repeat.stop();
        break;
    default:
        if (GetPartRect(kThumb).contains(m_cursor))
            m_repeat.stop();
        else
            sendPart(m_pressed);
        break;
    }
    update();
}

void CSkinScrollBar::moveTo(const QPoint& pos)
{
    m_cursor = pos;
    if (m_dragging) {
        const Geometry g = geometry(false);
        const qint64 d = along(pos) - along(m_dragStart);
        const qint64 moved = g.free > 0 ? qint64(g.span) * d / g.free : 0;
        const ScrollInfo info = GetScrollInfo();
        const qint64 upper = qint64(info.nMin) + std::max(0, g.span);
        const int pos2 = int(std::clamp<qint64>(m_dragStartPos + moved, info.nMin, upper));
        if (pos2 != m_trackPos) {
            m_trackPos = pos2;
            setSliderPosition(pos2);
            update();
        }
        return;
    }
    if (m_pressed != kNoPart) {
        const bool paused = !GetPartRect(m_pressed).contains(pos);
        if (paused != m_paused) {
            m_paused = paused;
            update();
        }
        return;
    }
    const int part = pos.x() == -1 && pos.y() == -1 ? kNoPart : HitTest(pos);
    if (part != m_hover) {
        m_hover = part;
        update();
    }
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent* e) { moveTo(e->position().toPoint()); }

void CSkinScrollBar::leaveEvent(QEvent* e)
{
    QScrollBar::leaveEvent(e);
    if (!m_dragging && m_pressed == kNoPart)
        moveTo(QPoint(-1, -1));
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    const QPoint pos = e->position().toPoint();
    m_cursor = pos;
    if (m_dragging) {
        m_dragging = false;
        const int track = m_trackPos;
        m_trackPos = -1;
        setSliderDown(false);
        emit scrollCode(SB_THUMBPOSITION, track);
        m_hover = HitTest(pos) == kThumb ? kThumb : kNoPart;
    } else if (m_pressed != kNoPart) {
        m_delay.stop();
        m_repeat.stop();
        m_autoRepeat = false;
        m_pressed = kNoPart;
        m_paused = false;
        m_hover = HitTest(pos);
    }
    update();
}

void CSkinScrollBar::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }

void CSkinScrollBar::resizeEvent(QResizeEvent* e)
{
    QScrollBar::resizeEvent(e);
    update();
}
