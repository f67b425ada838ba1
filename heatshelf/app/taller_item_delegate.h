// Items of a list drawn by the list's own delegate, each standing a few
// pixels taller than that delegate asks. Whatever font or style the list has
// when it is shown, the extra height follows it.
#pragma once

#include <QAbstractItemDelegate>
#include <QPointer>

namespace heatshelf {

class CTallerItemDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    // base: the delegate that draws; it becomes this one's child.
    CTallerItemDelegate(QAbstractItemDelegate* base, int extraHeight, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QPointer<QAbstractItemDelegate> m_base;
    int m_extra;
};

} // namespace heatshelf
