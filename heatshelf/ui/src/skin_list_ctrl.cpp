#include "heatshelf/skin_list_ctrl.h"

#include "skin/colors.h"
#include "skin/skin_colors.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace heatshelf {

QRect SkinListBandDelegate::BandRect(const QRect& item, int textWidth)
{
    return QRect(QPoint(item.left() + 17, item.top() + 1),
                 QPoint(item.left() + 19 + textWidth - 1, item.top() + item.height() - 2));
}

void SkinListBandDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.row() >= kBandedItems || index.column() != 0 || index.parent().isValid()) {
        QStyledItemDelegate::paint(p, option, index);
        return;
    }
    // The standard item without its label, which the band carries.
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &plain, p, widget);
    const skin::SkinState* s = skin::CurrentSkin();
    const bool selected = option.state & QStyle::State_Selected;
    const COLORREF band = s == nullptr ? 0xC0C0C0 : selected ? s->m_clrSkinMid : s->m_clrSkinBase;
    const QString text = index.data(Qt::DisplayRole).toString();
    p->save();
    p->setFont(option.font);
    const QFontMetrics fm(option.font);
    p->fillRect(BandRect(option.rect, fm.horizontalAdvance(text)), skin::ToQColor(band));
    p->setPen(Qt::black);
    p->drawText(option.rect.adjusted(18, 0, 18, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    p->restore();
}

CSkinListCtrl::CSkinListCtrl(QWidget* parent) : CScrollListCtrl(parent)
{
    setItemDelegate(new SkinListBandDelegate(this));
}

bool CSkinListCtrl::viewportEvent(QEvent* e)
{
    // A hidden header does not stretch its section: the list does it.
    if (e->type() == QEvent::Resize && isHeaderHidden() && columnCount() == 1)
        setColumnWidth(0, viewport()->width());
    return CScrollListCtrl::viewportEvent(e);
}

} // namespace heatshelf
