#include "rename_dlg.h"

#include "resource_ids.h"

#include "skin/colors.h"
#include "skin/message_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace heatshelf {

CRenameDlg::CRenameDlg(const Theme& theme, QWidget* parent) : QDialog(parent), m_theme(theme)
{
    setObjectName(QString::number(res::IDD_RENAME));
    setWindowTitle(QString::fromUtf8("重命名"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QString::fromUtf8("新文件名:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QString::number(res::IDC_NEW_NAME));
    m_edit->setMinimumWidth(260);
    label->setBuddy(m_edit);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromUtf8("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    connect(&m_theme, &Theme::themeChanged, this, qOverload<>(&QWidget::update));
}

int CRenameDlg::exec()
{
    m_edit->setText(m_strNewName);
    m_edit->selectAll();
    m_edit->setFocus();
    return QDialog::exec();
}

void CRenameDlg::accept()
{
    const QString name = m_edit->text();
    if (tryName) {
        const QString why = tryName(name);
        if (!why.isEmpty()) {
            if (why != KeepAsking())
                AfxMessageBox(why, MB_OK | MB_ICONEXCLAMATION);
            m_edit->selectAll();
            m_edit->setFocus();
            return;
        }
    }
    m_strNewName = name;
    QDialog::accept();
}

void CRenameDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), skin::ToQColor(m_theme.SkinMid()));
}

} // namespace heatshelf
