#include "document/image_number_dlg.h"

#include "skin/message_box.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CImageNumberDlg::CImageNumberDlg(QWidget* parent) : CDialog(kTemplateId, parent)
{
    setWindowTitle(QStringLiteral("属性"));
    m_edit = new QLineEdit(this);
    SetControlId(m_edit, kNumberEdit);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("红外图像编号:"), m_edit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeOkCancel());
}

bool CImageNumberDlg::DoDataExchange(bool save)
{
    if (!save) {
        m_edit->setText(QString::number(m_number));
        return true;
    }
    bool ok = false;
    const int number = m_edit->text().trimmed().toInt(&ok);
    if (!ok) {
        AfxMessageBox(QStringLiteral("请输入一个整数。"), MB_ICONEXCLAMATION);
        m_edit->setFocus();
        m_edit->selectAll();
        return false;
    }
    if (number < kMinNumber || number > kMaxNumber) {
        AfxMessageBox(QStringLiteral("请输入一个介于 %1 和 %2 之间的整数。").arg(kMinNumber).arg(kMaxNumber),
                      MB_ICONEXCLAMATION);
        m_edit->setFocus();
        m_edit->selectAll();
        return false;
    }
    m_number = number;
    return true;
}
