// CSkinListCtrl: the category list beside the result list. Items 0 to 3
// have their labels painted on a band of the theme (mid shade when
// selected, base shade otherwise) over the standard item background; other
// items keep the standard look.
#pragma once

#include "heatshelf/scroll_list_ctrl.h"

#include <QStyledItemDelegate>

namespace heatshelf {

// Paints the bands of rows 0 to 3 of the first column.
class SkinListBandDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int kBandedItems = 4;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The band of an item: (left + 17, top + 1) to (left + 19 + text
    // width, bottom - 1).
    static QRect BandRect(const QRect& item, int textWidth);
};

// Without a header its one column is as wide as the list, so that no empty
// horizontal scroll bar shows.
class CSkinListCtrl : public CScrollListCtrl {
    Q_OBJECT
public:
    explicit CSkinListCtrl(QWidget* parent = nullptr);

protected:
    bool viewportEvent(QEvent* e) override;
};

} // namespace heatshelf
