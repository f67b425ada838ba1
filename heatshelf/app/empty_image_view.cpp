#include "empty_image_view.h"

#include "heatshelf/theme.h"
#include "skin/colors.h"

#include <QPainter>

namespace heatshelf {

CEmptyImageView::CEmptyImageView(const Theme& theme, QWidget* parent) : CFolderView(parent), m_theme(theme) {}

void CEmptyImageView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), skin::ToQColor(m_theme.SkinBase()));
}

} // namespace heatshelf
