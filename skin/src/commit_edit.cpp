#include "skin/commit_edit.h"

#include <QKeyEvent>

CCommitEdit::CCommitEdit(QWidget* parent) : QLineEdit(parent) {}

void CCommitEdit::keyPressEvent(QKeyEvent* e)
{
    QLineEdit::keyPressEvent(e);
    // Enter stays with the box: it commits on release, the dialog's
    // default button does not take it.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        e->accept();
}

void CCommitEdit::keyReleaseEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat())
        emit focusLost();
    QLineEdit::keyReleaseEvent(e);
}

void CCommitEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason)
        emit focusLost();
}
