#include "heatshelf/scroll_list_ctrl.h"

#include <QScrollBar>

namespace heatshelf {

CScrollListCtrl::CScrollListCtrl(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

int CScrollListCtrl::ThumbScrollPixels(const ScrollInfo& info, int newPos, int clientExtent)
{
    const long long units = static_cast<long long>(info.nMax) + 1;
    if (units <= 0)
        return 0;
    const long long content = info.nPage == 0 ? clientExtent : units * clientExtent / info.nPage;
    return static_cast<int>(static_cast<long long>(newPos - info.nPos) * content / units);
}

CScrollListCtrl::ScrollInfo CScrollListCtrl::BarInfo(Qt::Orientation o) const
{
    const QScrollBar* bar = o == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    if (const auto* skinned = qobject_cast<const CSkinScrollBar*>(bar))
        return skinned->GetScrollInfo();
    ScrollInfo info;
    info.nMin = bar->minimum();
    info.nPage = bar->pageStep();
    info.nMax = bar->maximum() + std::max(info.nPage, 1) - 1;
    info.nPos = bar->value();
    return info;
}

bool CScrollListCtrl::ScrollCode(Qt::Orientation o, int code, int newPos)
{
    if (code != SB_THUMBTRACK && code != SB_THUMBPOSITION)
        return false;
    const ScrollInfo info = BarInfo(o);
    const int client = o == Qt::Vertical ? viewport()->height() : viewport()->width();
    const int pixels = ThumbScrollPixels(info, newPos, client);
    // The bars count pixels here, so the list moves by moving its bar.
    QScrollBar* bar = o == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    bar->setValue(bar->value() + pixels);
    return true;
}

} // namespace heatshelf
