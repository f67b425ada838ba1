#include "new_page_dlg.h"

#include "skin/message_box.h"
#include "resource_ids.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

CNewPageDlg::CNewPageDlg(QWidget* parent) : CDialog(res::IDD_NEW_PAGE, parent)
{
    setWindowTitle(QStringLiteral("新增页面控制"));
    m_positions = new QButtonGroup(this);
    auto* radios = new QGridLayout;
    const std::pair<int, const char*> items[] = {{res::IDC_APPEND_END, "添加到最后"},
                                                 {res::IDC_INSERT_FRONT, "添加到最前"},
                                                 {res::IDC_BEFORE_CURRENT, "当前页前面"},
                                                 {res::IDC_AFTER_CURRENT, "当前页后面"}};
    int i = 0;
    for (const auto& [id, text] : items) {
        auto* radio = new QRadioButton(QString::fromUtf8(text), this);
        SetControlId(radio, id);
        m_positions->addButton(radio);
        radios->addWidget(radio, i / 2, i % 2);
        ++i;
    }
    m_current = new QLineEdit(this);
    m_current->setValidator(new QIntValidator(m_current));
    SetControlId(m_current, res::IDC_CURRENT_PAGE);
    m_titleEdit = new QLineEdit(this);
    SetControlId(m_titleEdit, res::IDC_NEW_PAGE_TITLE);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("当前页:"), m_current);
    form->addRow(QStringLiteral("标题:"), m_titleEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(radios);
    layout->addLayout(form);
    layout->addWidget(MakeOkCancel());
}

bool CNewPageDlg::DoDataExchange(bool save)
{
    if (!save) {
        SetRadioValue(m_positions, m_position);
        m_current->setText(QString::number(m_currentPage));
        m_titleEdit->setText(m_title);
        return true;
    }
    bool ok = false;
    const int current = m_current->text().trimmed().toInt(&ok);
    if (!ok) {
        AfxMessageBox(QStringLiteral("请输入一个整数。"), MB_ICONEXCLAMATION);
        m_current->setFocus();
        return false;
    }
    m_position = RadioValue(m_positions);
    m_currentPage = current;
    m_title = m_titleEdit->text();
    return true;
}
