// CCommitEdit: an edit box whose Enter key commits the value as leaving the
// box would, while the focus stays in it: focusLost() comes both when the
// focus really goes and when Enter is released.
#pragma once

#include <QLineEdit>

class CCommitEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CCommitEdit(QWidget* parent = nullptr);

signals:
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};
