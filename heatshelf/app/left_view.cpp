#include "left_view.h"

#include "current_folder.h"
#include "resource_ids.h"

#include "heatshelf/theme.h"
#include "skin/colors.h"
#include "skin/skin_scroll_frame.h"

#include <QPainter>

namespace heatshelf {

CLeftView::CLeftView(const Theme& theme, QWidget* parent) : QWidget(parent), m_theme(theme), m_tree(new CShellTreeCtrl(this))
{
    m_tree->setFrameShape(QFrame::NoFrame);
    connect(m_tree, &CShellTreeCtrl::folderSelected, this, &CLeftView::onFolder);
    m_tree->SetBackground(skin::ToQColor(m_theme.SkinBase()));
    SkinWndScroll(m_tree, m_theme.SkinScrollBitmap(), true);
}

void CLeftView::onFolder(const QString& path)
{
    CurrentFolder() = path;
    if (m_step)
        m_step(res::kStepFirst, true);
}

void CLeftView::ApplyTheme()
{
    SetSkinScrollBitmap(m_tree, m_theme.SkinScrollBitmap());
    m_tree->SetBackground(skin::ToQColor(m_theme.SkinBase()));
    update();
}

void CLeftView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), skin::ToQColor(m_theme.SkinBase()));
}

void CLeftView::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    m_tree->setGeometry(rect());
}

} // namespace heatshelf
