#include "page_title_dlg.h"

#include "resource_ids.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CPageTitleDlg::CPageTitleDlg(QWidget* parent) : CDialog(res::IDD_PAGE_TITLE, parent)
{
    setWindowTitle(QStringLiteral("修改页标题"));
    m_edit = new QLineEdit(this);
    m_edit->setMaxLength(kMaxTyped);
    SetControlId(m_edit, res::IDC_PAGE_TITLE);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("标题:"), m_edit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeOkCancel());
}

bool CPageTitleDlg::DoDataExchange(bool save)
{
    if (save)
        m_title = m_edit->text();
    else
        m_edit->setText(m_title);
    return true;
}

void CPageTitleDlg::OnOK()
{
    if (!DoDataExchange(true))
        return;
    if (m_title.size() > kMaxTitle)
        m_title.truncate(kMaxTitle);
    QDialog::accept();
}
