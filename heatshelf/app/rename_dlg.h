// CRenameDlg: the dialog in which the user types a file's new name
// (template 138, edit 1051), on the theme's middle shade.
#pragma once

#include "heatshelf/theme.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace heatshelf {

class CRenameDlg : public QDialog {
    Q_OBJECT
public:
    CRenameDlg(const Theme& theme, QWidget* parent = nullptr);

    // The name, exchanged with edit 1051: set before exec (shown selected),
    // read after.
    QString m_strNewName;
    // Tried with the typed name on OK: empty when the name was taken, else
    // why not; the dialog then says so and stays open.
    std::function<QString(const QString& name)> tryName;
    // What tryName gives when the user declined to go on (a question
    // answered no): the dialog stays open and says nothing more.
    static QString KeepAsking() { return QStringLiteral("\x01"); }

    int exec() override;
    void accept() override;
    QLineEdit* Edit() const { return m_edit; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    const Theme& m_theme;
    QLineEdit* m_edit;
};

} // namespace heatshelf
