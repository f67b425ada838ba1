#include "skin/edit_list_ctrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

CEditListCtrl::CEditListCtrl(QWidget* parent) : QTableWidget(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    // Columns may be made as narrow as the owner likes (narrow ones do not edit).
    horizontalHeader()->setMinimumSectionSize(0);
    // Scrolling ends an open edit first.
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()})
        connect(bar, &QAbstractSlider::actionTriggered, this, [this] {
            if (!hasFocus())
                setFocus(Qt::OtherFocusReason);
        });
}

CEditListCtrl::~CEditListCtrl()
{
    if (m_box)
        m_box->Abandon();
}

int CEditListCtrl::HitTestEx(const QPoint& point, int* column) const
{
    if (column != nullptr)
        *column = 0;
    const int row = rowAt(point.y());
    if (row < 0)
        return -1;
    // Columns span [x, x + width], both ends included; right of the last
    // column is no cell.
    for (int c = 0; c < columnCount(); ++c) {
        const int logical = horizontalHeader()->logicalIndex(c);
        if (horizontalHeader()->isSectionHidden(logical))
            continue;
        const int x = columnViewportPosition(logical);
        if (point.x() >= x && point.x() <= x + columnWidth(logical)) {
            if (column != nullptr)
                *column = logical;
            return row;
        }
    }
    return -1;
}

CListEditBox* CEditListCtrl::EditSubLabel(int row, int column)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount() ||
        columnWidth(column) < kMinEditWidth)
        return nullptr;
    scrollTo(model()->index(row, column), QAbstractItemView::EnsureVisible);
    // Bring the column's left edge into the list.
    int left = columnViewportPosition(column);
    const int clientRight = viewport()->width();
    if (left < 0 || left > clientRight) {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() + left);
        left = columnViewportPosition(column);
    }
    const QTableWidgetItem* cell = item(row, column);
    const QString text = cell != nullptr ? cell->text() : QString();
    Qt::Alignment align = Qt::AlignLeft;
    if (const QTableWidgetItem* head = horizontalHeaderItem(column)) {
        const Qt::Alignment h = Qt::Alignment(head->textAlignment()) & Qt::AlignHorizontal_Mask;
        if (h & Qt::AlignRight)
            align = Qt::AlignRight;
        else if (h & Qt::AlignHCenter)
            align = Qt::AlignHCenter;
    }
    const int x = left + 4;
    const int right = qMin(x + columnWidth(column) - 3, clientRight);
    auto* box = new CListEditBox(this, row, column, text);
    box->setAlignment(align | Qt::AlignVCenter);
    box->setGeometry(x, rowViewportPosition(row), qMax(1, right - x), rowHeight(row));
    box->show();
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    m_box = box;
    return box;
}

void CEditListCtrl::EndLabelEdit(int row, int column, const QString* text)
{
    if (text == nullptr || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        cell = new QTableWidgetItem;
        setItem(row, column, cell);
    }
    cell->setText(*text);
    if (column != 0)
        emit cellEdited(row, column, *text);
}

void CEditListCtrl::mousePressEvent(QMouseEvent* e)
{
    QTableWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    int column = 0;
    const int row = HitTestEx(e->position().toPoint(), &column);
    if (row < 0)
        return;
    const QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr || cell->text() != QLatin1String("--"))
        EditSubLabel(row, column);
}

void CEditListCtrl::wheelEvent(QWheelEvent* e)
{
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    QTableWidget::wheelEvent(e);
}

CListEditBox::CListEditBox(CEditListCtrl* list, int row, int column, const QString& text)
    : QLineEdit(list->viewport()), m_list(list), m_row(row), m_column(column), m_initial(text)
{
    setObjectName(QString::number(CEditListCtrl::kEditBoxId));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(list->font());
    setText(text);
}

bool CListEditBox::event(QEvent* e)
{
    // Enter, Delete, Escape and Ctrl combinations belong to the box, not to
    // the dialog's buttons or the program's shortcuts.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Delete ||
            key->key() == Qt::Key_Escape || (key->modifiers() & Qt::ControlModifier)) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CListEditBox::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape: m_cancelled = true; [[fallthrough]];
    case Qt::Key_Return:
    case Qt::Key_Enter:
        e->accept();
        m_list->setFocus(Qt::OtherFocusReason);
        return;
    default: break;
    }
    QLineEdit::keyPressEvent(e);
    if (!e->text().isEmpty())
        widen();
}

void CListEditBox::widen()
{
    const int needed = QFontMetrics(m_list->font()).horizontalAdvance(text()) + 5;
    if (needed <= width())
        return;
    const int right = m_list->viewport()->width();
    setFixedWidth(qMax(width(), qMin(needed, right - x())));
}

void CListEditBox::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (m_ended)
        return;
    m_ended = true;
    const QString value = text();
    m_list->EndLabelEdit(m_row, m_column, m_cancelled ? nullptr : &value);
    close();
}
