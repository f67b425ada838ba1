#include "taller_item_delegate.h"

namespace heatshelf {

CTallerItemDelegate::CTallerItemDelegate(QAbstractItemDelegate* base, int extraHeight, QObject* parent)
    : QAbstractItemDelegate(parent), m_base(base), m_extra(extraHeight)
{
    if (m_base != nullptr)
        m_base->setParent(this);
}

void CTallerItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (m_base != nullptr)
        m_base->paint(painter, option, index);
}

QSize CTallerItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QSize base = m_base != nullptr ? m_base->sizeHint(option, index) : QSize();
    return QSize(base.width(), base.height() + m_extra);
}

} // namespace heatshelf
