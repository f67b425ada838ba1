#include "heatshelf/range_slider.h"

#include "skin/colors.h"
#include "skin/icon_menu.h"
#include "skin/skin_colors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace heatshelf {

namespace {

struct SliderColors {
    QColor base, light, mid, dark;
    COLORREF white, midRef;
};

SliderColors colors()
{
    const skin::SkinState* s = skin::CurrentSkin();
    if (s == nullptr)
        return {QColor(192, 192, 192), QColor(224, 224, 224), QColor(212, 212, 212), QColor(128, 128, 128),
                0xFFFFFF, RGB(212, 212, 212)};
    return {skin::ToQColor(s->m_clrSkinBase), skin::ToQColor(s->m_clrSkinLight), skin::ToQColor(s->m_clrSkinMid),
            skin::ToQColor(s->m_clrSkinDark), s->m_clrSkinWhite, s->m_clrSkinMid};
}

// A rectangle from corners, right and bottom exclusive.
QRect box(int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r - 1, b - 1)); }

} // namespace

CRangeSlider::CRangeSlider(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CRangeSlider::~CRangeSlider() = default;

bool CRangeSlider::SetRange(float minimum, float maximum)
{
    m_min = minimum;
    m_max = maximum;
    m_low = minimum;
    m_high = maximum;
    return true;
}

void CRangeSlider::SetThumbValues(float low, float high)
{
    if (m_thumbs.empty()) {
        m_initialLow = low;
        m_initialHigh = high;
        return;
    }
    m_thumbs.front()->value = low;
    m_thumbs.back()->value = high;
}

int CRangeSlider::GetThumbValues(float* values) const
{
    for (std::size_t i = 0; i < m_thumbs.size(); ++i)
        values[i] = m_thumbs[i]->value;
    return int(m_thumbs.size());
}

const SliderThumb* CRangeSlider::Thumb(int index) const
{
    return index >= 0 && index < ThumbCount() ? m_thumbs[std::size_t(index)].get() : nullptr;
}

QRect CRangeSlider::ChannelRect() const
{
    return box(kChannelInset, kChannelTop, width() - kChannelInset, kChannelBottom);
}

QRect CRangeSlider::TrackRect() const
{
    const QRect c = ChannelRect();
    return box(c.left() + 2, c.top(), c.left() + c.width() - 2, c.top() + c.height());
}

double CRangeSlider::RoundTo(double v, int digits)
{
    const float p = std::pow(10.0f, float(digits));
    return std::floor(v * p + 0.5) / p;
}

float CRangeSlider::ValueToPixel(float v) const
{
    const QRect t = TrackRect();
    const float span = m_max - m_min + 1.0f;
    if (span == 0.0f || !std::isfinite(span))
        return float(t.left());
    return float(RoundTo(float(t.left()) + (v - m_min) / span * float(t.width()), 0));
}

float CRangeSlider::PixelToValue(float px) const
{
    const QRect t = TrackRect();
    const float span = m_max - m_min + 1.0f;
    if (t.width() <= 0 || !std::isfinite(span))
        return m_min;
    return float(RoundTo(m_min + (px - float(t.left())) / float(t.width()) * span, 1));
}

SliderThumb CRangeSlider::LayoutThumb(float value) const
{
    SliderThumb th;
    th.value = value;
    const float x = ValueToPixel(value);
    const int xl = int(x - 6.0f);
    const int xr = int(x + 6.0f);
    const int xm = int(x);
    const int ct = kChannelTop;
    const int cb = kChannelBottom;
    const int tt = kThumbTop;
    const int tb = kThumbBottom;
    th.body = box(xl, ct - 1, xr, cb + 1);
    th.lowerLeft = box(xl, cb + 1, xm, tb + 3);
    th.lowerRight = box(xm, cb + 1, xr, tb + 3);
    th.upperLeft = box(xl, tt - 5, xm, tb + ct - cb - 5);
    th.upperRight = box(xm, tt - 3, xr, tb + ct - cb - 3);
    return th;
}

int CRangeSlider::HitTestThumb(QPoint p) const
{
    for (std::size_t i = 0; i < m_thumbs.size(); ++i) {
        const SliderThumb& t = *m_thumbs[i];
        if (t.lowerRight.contains(p) || t.lowerLeft.contains(p) || t.body.contains(p))
            return int(i);
    }
    return -1;
}

int CRangeSlider::InsertThumb(std::unique_ptr<SliderThumb> thumb)
{
    std::size_t i = 0;
    while (i < m_thumbs.size() && m_thumbs[i]->value < thumb->value)
        ++i;
    m_thumbs.insert(m_thumbs.begin() + std::ptrdiff_t(i), std::move(thumb));
    return int(i);
}

int CRangeSlider::IndexOf(const SliderThumb* thumb) const
{
    for (std::size_t i = 0; i < m_thumbs.size(); ++i) {
        if (m_thumbs[i].get() == thumb)
            return int(i);
    }
    return -1;
}

bool CRangeSlider::RemoveThumb(const SliderThumb* thumb)
{
    const int i = IndexOf(thumb);
    if (i < 0)
        return false;
    const QRect area = thumb->body | thumb->lowerLeft | thumb->lowerRight;
    if (m_dragged == thumb)
        m_dragged = nullptr;
    m_thumbs.erase(m_thumbs.begin() + i);
    update(area);
    return true;
}

void CRangeSlider::InitThumbs()
{
    for (const float v : {m_initialLow, m_initialHigh}) {
        auto t = std::make_unique<SliderThumb>();
        t->value = v;
        InsertThumb(std::move(t));
    }
    // Thumbs outside the range are dropped, the others laid out.
    for (std::size_t i = 0; i < m_thumbs.size();) {
        const float v = m_thumbs[i]->value;
        if (v > m_max || v < m_min) {
            RemoveThumb(m_thumbs[i].get());
            continue;
        }
        *m_thumbs[i] = LayoutThumb(v);
        ++i;
    }
    m_initialised = true;
}

bool CRangeSlider::Blocked(float v, float spacing) const
{
    const int me = IndexOf(m_dragged);
    for (std::size_t j = 0; j < m_thumbs.size(); ++j) {
        const int other = int(j);
        if (other == me)
            continue;
        const float h = m_thumbs[j]->value;
        // List order decides, so equal thumbs (a file of one temperature)
        // cannot pass each other: the low end never goes above the high.
        if (me > other && v - spacing <= h)
            return true;
        if (me < other && v + spacing >= h)
            return true;
    }
    return false;
}

QRect CRangeSlider::StripAround(const QRect& body) const
{
    QRect r = body;
    r.setBottom(height() - 1);
    return r.adjusted(-6, -6, 6, 6);
}

void CRangeSlider::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton && TrackRect().contains(p)) {
        const int hit = HitTestThumb(p);
        m_dragged = hit >= 0 ? m_thumbs[std::size_t(hit)].get() : nullptr;
    }
    QWidget::mousePressEvent(e);
}

void CRangeSlider::mouseMoveEvent(QMouseEvent* e)
{
    QWidget::mouseMoveEvent(e);
    const QPoint p = e->position().toPoint();
    if (m_dragged == nullptr || !TrackRect().contains(p))
        return;
    const float v = PixelToValue(float(p.x()));
    const float spacing = (m_max - m_min) * 0.025f;
    if (v < m_min || v > m_max || Blocked(v, spacing))
        return;
    const QRect oldBody = m_dragged->body;
    *m_dragged = LayoutThumb(v);
    emit thumbMoved(IndexOf(m_dragged) == 0 ? 1 : 2, v);
    if (m_dragged != nullptr && m_dragged->body != oldBody)
        repaint(StripAround(oldBody) | StripAround(m_dragged->body));
}

void CRangeSlider::mouseReleaseEvent(QMouseEvent* e)
{
    setFocus(Qt::MouseFocusReason);
    if (m_dragged != nullptr && e->button() == Qt::LeftButton) {
        const QPoint p = e->position().toPoint();
        const float g = PixelToValue(float(p.x()));
        if (rect().contains(p) && g >= m_min && g <= m_max && !Blocked(g, 5.0f)) {
            const bool moved = g != m_dragged->value;
            auto t = std::make_unique<SliderThumb>(LayoutThumb(g));
            RemoveThumb(m_dragged);
            const int index = InsertThumb(std::move(t));
            update();
            // The picture follows the thumb the release moved: the release
            // may put it where the last move was refused (5 units against
            // 2.5 % of the range), and without a report the picture would
            // keep the level the slider no longer shows.
            if (moved)
                emit thumbMoved(index == 0 ? 1 : 2, g);
        }
    }
    m_dragged = nullptr;
    QWidget::mouseReleaseEvent(e);
}

void CRangeSlider::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    m_focus = true;
}

void CRangeSlider::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    m_focus = false;
}

void CRangeSlider::paintEvent(QPaintEvent* e)
{
    if (!m_initialised)
        InitThumbs();
    if (m_thumbs.size() == 2) {
        for (auto& t : m_thumbs)
            *t = LayoutThumb(t->value);
    }
    // Double-buffered: the whole slider into an image, the clip box out.
    QImage buffer(size(), QImage::Format_RGB32);
    {
        QPainter bp(&buffer);
        PaintSlider(bp);
    }
    QPainter p(this);
    const QRect clip = e->rect();
    p.drawImage(clip.topLeft(), buffer, clip);
}

void CRangeSlider::PaintSlider(QPainter& p) const
{
    const SliderColors c = colors();
    const QRect channel = ChannelRect();
    const QRect track = TrackRect();
    p.fillRect(rect(), c.base);
    p.fillRect(channel, c.light);
    // Sunken edge round the channel.
    p.setPen(c.dark);
    p.drawLine(channel.topLeft(), channel.topRight());
    p.drawLine(channel.topLeft(), channel.bottomLeft());
    p.setPen(Qt::white);
    p.drawLine(channel.bottomLeft(), channel.bottomRight());
    p.drawLine(channel.topRight(), channel.bottomRight());
    if (m_focus) {
        QPen dots(Qt::black, 1, Qt::DotLine);
        p.setPen(dots);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    // The marked interval, edges truncated toward zero.
    const float span = m_max - m_min + 1.0f;
    if (span != 0.0f && std::isfinite(span) && track.width() > 0) {
        const int l = int(float(track.left()) + (m_low - m_min) / span * float(track.width()));
        const int r = int(float(track.left()) + (m_high - m_min) / span * float(track.width()));
        const QRect marked = box(l, channel.top() + 3, r, channel.top() + channel.height() - 3);
        if (marked.isValid())
            p.fillRect(marked, skin::ToQColor(kIntervalColor));
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& t : m_thumbs) {
        const int fl = t->body.left() + 1;
        const int ft = t->upperLeft.top() + 3;
        const int fr = t->body.right() + 1;
        const int fb = t->lowerLeft.bottom() + 1 - 6;
        if (fr <= fl || fb <= ft)
            continue;
        const QRect f = box(fl, ft, fr, fb);
        CIconMenu::DrawGradientBar(&p, f, c.white, c.midRef, false);
        p.setPen(c.dark);
        p.setBrush(Qt::NoBrush);
        p.drawRect(f.adjusted(0, 0, -1, -1));
        const int mx = fl + (fr - fl) / 2;
        const QPoint tri[3] = {{fl, fb - 1}, {mx, fb + 4}, {fr - 1, fb - 1}};
        p.setPen(Qt::NoPen);
        p.setBrush(c.light);
        p.drawPolygon(tri, 3, Qt::WindingFill);
        p.setPen(c.dark);
        p.drawLine(tri[0], tri[1]);
        p.drawLine(tri[1], tri[2]);
        p.drawLine(mx, ft + 5, mx, fb - 1);
    }
}

} // namespace heatshelf
