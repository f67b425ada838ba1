#include "child_buttons.h"

#include "skin/skin_colors.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kCell = 15;
constexpr int kGap = 2;
} // namespace

CChildButtons::CChildButtons(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFixedSize(sizeHint());
    layoutButtons();
}

QSize CChildButtons::sizeHint() const { return QSize(3 * kCell + 2 * kGap + 4, 22); }

void CChildButtons::layoutButtons()
{
    const int y = (height() - kCell) / 2;
    m_buttons.SetRect(skin::kMinButton, QRect(0, y, kCell, kCell));
    m_buttons.SetRect(skin::kMaxButton, QRect(kCell + kGap, y, kCell, kCell));
    m_buttons.SetRect(skin::kCloseButton, QRect(2 * (kCell + kGap), y, kCell, kCell));
}

void CChildButtons::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    layoutButtons();
}

void CChildButtons::paintEvent(QPaintEvent*)
{
    const skin::SkinState* s = skin::CurrentSkin();
    if (s == nullptr)
        return;
    QPainter p(this);
    const skin::CaptionButton order[3] = {skin::kMinButton, skin::kMaxButton, skin::kCloseButton};
    const int glyph[3] = {skin::kGlyphMinimize, skin::kGlyphRestore, skin::kGlyphClose};
    for (int i = 0; i < 3; ++i) {
        const QRect r = m_buttons.Rect(order[i]);
        s->m_ilSkinSmall.Draw(p, glyph[i] + m_buttons.ImageOffset(order[i], true), r.left(), r.top());
    }
}

void CChildButtons::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && m_buttons.Press(e->position().toPoint()))
        update();
}

void CChildButtons::mouseMoveEvent(QMouseEvent* e)
{
    if (m_buttons.Move(e->position().toPoint(), e->buttons() & Qt::LeftButton))
        update();
}

void CChildButtons::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const skin::CaptionButton run = m_buttons.Release(e->position().toPoint());
    update();
    if (run != skin::kNoButton)
        emit buttonClicked(run);
}

void CChildButtons::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    if (m_buttons.Leave())
        update();
}
