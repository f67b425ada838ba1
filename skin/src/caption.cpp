#include "skin/caption.h"

#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace skin {

CaptionColors SkinCaptionColors(const SkinState& s, bool active)
{
    CaptionColors c;
    c.bandFrom = active ? s.m_clrSkinPale : s.m_clrSkinGrey;
    c.bandTo = active ? s.m_clrSkinMid : s.m_clrSkinMuted;
    c.border = {s.m_clrSkinDark, s.m_clrSkinBase, s.m_clrSkinLight};
    c.text = active ? RGB(0, 0, 0) : s.m_clrSkinDark;
    return c;
}

CaptionBar* MakeSkinCaptionBar(QWidget* parent, int buttons)
{
    return new CaptionBar(
        parent, buttons,
        [](bool active) {
            const SkinState* s = CurrentSkin();
            return s != nullptr ? SkinCaptionColors(*s, active) : CaptionColors{};
        },
        []() -> const ImageList* {
            const SkinState* s = CurrentSkin();
            return s != nullptr ? &s->m_ilSkinLarge : nullptr;
        });
}

// ---- buttons ----

void CaptionButtons::SetRect(CaptionButton b, const QRect& r)
{
    if (b != kNoButton)
        m_rects[b] = r;
}

QRect CaptionButtons::Rect(CaptionButton b) const { return b == kNoButton ? QRect() : m_rects[b]; }

CaptionButton CaptionButtons::HitTest(QPoint p) const
{
    for (CaptionButton b : {kMinButton, kMaxButton, kCloseButton}) {
        if (m_rects[b].contains(p))
            return b;
    }
    return kNoButton;
}

bool CaptionButtons::Press(QPoint p)
{
    m_pressed = HitTest(p);
    m_hover = m_pressed;
    return m_pressed != kNoButton;
}

bool CaptionButtons::Move(QPoint p, bool leftDown)
{
    const CaptionButton oldPressed = m_pressed;
    const CaptionButton oldHover = m_hover;
    if (!leftDown)
        m_pressed = kNoButton;
    m_hover = HitTest(p);
    return oldPressed != m_pressed || oldHover != m_hover;
}

CaptionButton CaptionButtons::Release(QPoint p)
{
    const CaptionButton hit = HitTest(p);
    const CaptionButton run = hit != kNoButton && hit == m_pressed ? hit : kNoButton;
    m_pressed = kNoButton;
    m_hover = hit;
    return run;
}

bool CaptionButtons::Leave()
{
    const bool changed = m_pressed != kNoButton || m_hover != kNoButton;
    m_pressed = kNoButton;
    m_hover = kNoButton;
    return changed;
}

int CaptionButtons::ImageOffset(CaptionButton b, bool active) const
{
    if (b == m_hover && b == m_pressed)
        return 1;
    if (b == m_hover && m_pressed == kNoButton)
        return 2;
    if (b == m_hover || b == m_pressed)
        return 0; // another button is held
    return active ? 0 : 3;
}

// ---- painting ----

int CaptionBandHeight() { return kCaptionHeight + 1; }

int CaptionGlyph(CaptionButton b, const CaptionScene& scene)
{
    switch (b) {
    case kCloseButton: return kGlyphClose;
    case kMaxButton: return scene.maximized ? kGlyphRestore : kGlyphMaximize;
    case kMinButton: return scene.minimized ? kGlyphRestore : kGlyphMinimize;
    default: return -1;
    }
}

void LayoutCaptionButtons(const CaptionScene& scene, CaptionButtons& buttons)
{
    const int w = scene.width - SM_CXFRAME;
    const int h = kCaptionHeight;
    buttons.SetRect(kCloseButton, QRect(w - 24, h - 25, 24, 25));
    if (scene.buttons == kAllButtons) {
        buttons.SetRect(kMaxButton, QRect(w - 47, h - 25, 23, 25));
        buttons.SetRect(kMinButton, QRect(w - 70, h - 25, 23, 25));
    } else {
        buttons.SetRect(kMaxButton, QRect());
        buttons.SetRect(kMinButton, QRect());
    }
}

void PaintCaption(QPainter& p, const CaptionScene& scene, const CaptionColors& colors, const ImageList& images,
                  const CaptionButtons& buttons)
{
    const int width = scene.width;
    const int h = kCaptionHeight;
    const int w = width - SM_CXFRAME;
    if (width <= 0)
        return;
    DrawGlossGradient(&p, 0, 0, width, h + 1, colors.bandFrom, colors.bandTo, false);
    if (!scene.icon.isNull())
        scene.icon.paint(&p, QRect(10, h - 18, 16, 16));
    p.setFont(IconTitleFont());
    p.setPen(ToQColor(colors.text));
    const int titleRight = scene.buttons == kAllButtons ? w - 74 : w - 28;
    p.drawText(QRect(QPoint(30, h - 18), QPoint(titleRight, h - 2)), Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(scene.title, Qt::ElideRight, qMax(0, titleRight - 30)));
    for (CaptionButton b : {kCloseButton, kMaxButton, kMinButton}) {
        const QRect r = buttons.Rect(b);
        if (r.isEmpty())
            continue;
        images.Draw(p, CaptionGlyph(b, scene) + buttons.ImageOffset(b, scene.active), r.left(), r.top());
    }
    // The outline of the top, with bevelled corners.
    if (!colors.border.empty()) {
        const QColor outline = ToQColor(colors.border.front());
        p.setPen(outline);
        p.drawLine(0, 0, width - 1, 0);
        p.drawLine(0, 0, 0, h);
        p.drawLine(width - 1, 0, width - 1, h);
        for (const QPoint& q : {QPoint(3, 1), QPoint(1, 3), QPoint(2, 2), QPoint(4, 1), QPoint(1, 4)}) {
            p.drawPoint(q);
            p.drawPoint(width - 1 - q.x(), q.y());
        }
    }
}

void PaintFrameBorder(QPainter& p, QSize window, int top, const CaptionColors& colors)
{
    if (colors.border.empty())
        return;
    const int width = window.width();
    const int height = window.height();
    for (int i = 0; i < SM_CXFRAME; ++i) {
        const COLORREF c = colors.border[std::min<std::size_t>(std::size_t(i), colors.border.size() - 1)];
        p.setPen(ToQColor(c));
        p.drawLine(i, top, i, height - 1 - i);
        p.drawLine(width - 1 - i, top, width - 1 - i, height - 1 - i);
        p.drawLine(i, height - 1 - i, width - 1 - i, height - 1 - i);
    }
}

Qt::Edges FrameEdgesAt(QSize window, QPoint p, int border)
{
    Qt::Edges e;
    if (p.x() < border)
        e |= Qt::LeftEdge;
    if (p.x() >= window.width() - border)
        e |= Qt::RightEdge;
    if (p.y() < border)
        e |= Qt::TopEdge;
    if (p.y() >= window.height() - border)
        e |= Qt::BottomEdge;
    return e;
}

namespace {

Qt::CursorShape cursorFor(Qt::Edges e)
{
    const bool l = e & Qt::LeftEdge, r = e & Qt::RightEdge, t = e & Qt::TopEdge, b = e & Qt::BottomEdge;
    if ((l && t) || (r && b))
        return Qt::SizeFDiagCursor;
    if ((r && t) || (l && b))
        return Qt::SizeBDiagCursor;
    if (l || r)
        return Qt::SizeHorCursor;
    if (t || b)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

} // namespace

bool StartFrameResize(QWidget* window, QPoint p, int border)
{
    if (window == nullptr || window->isMaximized())
        return false;
    const Qt::Edges e = FrameEdgesAt(window->size(), p, border);
    if (e == Qt::Edges() || window->windowHandle() == nullptr)
        return false;
    return window->windowHandle()->startSystemResize(e);
}

void UpdateFrameCursor(QWidget* window, QPoint p, int border)
{
    if (window == nullptr)
        return;
    const Qt::Edges e = window->isMaximized() ? Qt::Edges() : FrameEdgesAt(window->size(), p, border);
    if (e == Qt::Edges())
        window->unsetCursor();
    else
        window->setCursor(cursorFor(e));
}

// ---- the caption widget ----

CaptionBar::CaptionBar(QWidget* parent, int buttons, std::function<CaptionColors(bool)> colors,
                       std::function<const ImageList*()> images)
    : QWidget(parent), m_buttonSet(buttons), m_colors(std::move(colors)), m_images(std::move(images))
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedHeight(CaptionBandHeight());
    m_leaveTimer.setInterval(100);
    connect(&m_leaveTimer, &QTimer::timeout, this, &CaptionBar::CheckLeave);
    m_leaveTimer.start();
}

QWidget* CaptionBar::target() const { return m_target != nullptr ? m_target : window(); }

QSize CaptionBar::sizeHint() const { return QSize(200, CaptionBandHeight()); }

void CaptionBar::SetActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    update();
}

CaptionScene CaptionBar::Scene() const
{
    CaptionScene s;
    s.width = width();
    s.icon = m_icon;
    s.title = target()->windowTitle();
    s.buttons = m_buttonSet;
    s.active = m_active;
    s.maximized = target()->isMaximized();
    s.minimized = target()->isMinimized();
    return s;
}

void CaptionBar::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayoutCaptionButtons(Scene(), m_buttons);
}

void CaptionBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const CaptionScene scene = Scene();
    LayoutCaptionButtons(scene, m_buttons);
    const ImageList* images = m_images ? m_images() : nullptr;
    static const ImageList none;
    p.fillRect(rect(), palette().window());
    PaintCaption(p, scene, m_colors(scene.active), images != nullptr ? *images : none, m_buttons);
}

void CaptionBar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pos = e->position().toPoint();
    if (m_buttons.Press(pos)) {
        update();
        return;
    }
    QWidget* w = target();
    if (w->isWindow() && StartFrameResize(w, mapTo(w, pos), SM_CXFRAME))
        return;
    if (w->isWindow() && !w->isMaximized() && w->windowHandle() != nullptr && w->windowHandle()->startSystemMove())
        return;
    if (!w->isMaximized()) {
        m_dragging = true;
        m_dragOffset = e->globalPosition().toPoint() - w->pos();
    }
}

void CaptionBar::mouseMoveEvent(QMouseEvent* e)
{
    m_outsideTicks = 0;
    if (m_dragging) {
        target()->move(e->globalPosition().toPoint() - m_dragOffset);
        return;
    }
    if (m_buttons.Move(e->position().toPoint(), e->buttons() & Qt::LeftButton))
        update();
}

void CaptionBar::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    const CaptionButton run = m_buttons.Release(e->position().toPoint());
    update();
    if (run != kNoButton)
        emit buttonClicked(run);
}

void CaptionBar::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton) && m_buttons.Move(QPoint(-1, -1), false))
        update();
}

void CaptionBar::CheckLeave()
{
    const QWidget* w = target();
    const QRect area(w->mapToGlobal(QPoint(0, 0)), w->size());
    if (area.contains(QCursor::pos())) {
        m_outsideTicks = 0;
        return;
    }
    if (m_outsideTicks > 1)
        return;
    ++m_outsideTicks;
    if (m_buttons.Leave())
        update();
}

} // namespace skin
