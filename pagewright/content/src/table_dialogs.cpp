#include "content/table_dialogs.h"

#include "skin/message_box.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

bool CheckIntegerEdit(QLineEdit* edit, int min, int max, int& value)
{
    bool ok = false;
    const int number = edit->text().trimmed().toInt(&ok);
    if (!ok) {
        AfxMessageBox(QStringLiteral("请输入一个整数。"), MB_ICONEXCLAMATION);
    } else if (number < min || number > max) {
        AfxMessageBox(QStringLiteral("请输入一个介于 %1 和 %2 之间的整数。").arg(min).arg(max), MB_ICONEXCLAMATION);
        ok = false;
    }
    if (!ok) {
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    value = number;
    return true;
}

// ---- CTablePropDlg

CTablePropDlg::CTablePropDlg(QWidget* parent) : CDialog(kTemplateId, parent)
{
    setWindowTitle(QStringLiteral("表格属性"));
    m_rows = new QLineEdit(this);
    m_columns = new QLineEdit(this);
    SetControlId(m_rows, kRowsEdit);
    SetControlId(m_columns, kColumnsEdit);
    auto* group = new QGroupBox(QStringLiteral("表格属性"), this);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("行数:"), m_rows);
    form->addRow(QStringLiteral("列数:"), m_columns);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    QDialogButtonBox* buttons = MakeOkCancel();
    if (auto* cancel = GetDlgItemAs<QAbstractButton>(kIdCancel))
        cancel->setText(QStringLiteral("放弃"));
    layout->addWidget(buttons);
}

bool CTablePropDlg::DoDataExchange(bool save)
{
    if (!save) {
        m_rows->setText(QString::number(m_nRows));
        m_columns->setText(QString::number(m_nColumns));
        return true;
    }
    int rows = 0;
    int columns = 0;
    if (!CheckIntegerEdit(m_rows, kMin, kMax, rows) || !CheckIntegerEdit(m_columns, kMin, kMax, columns))
        return false;
    m_nRows = rows;
    m_nColumns = columns;
    return true;
}

// ---- CAddRowColDlg

namespace {

QButtonGroup* RadioGroup(QWidget* parent, QLayout* layout, std::initializer_list<std::pair<int, const char*>> items)
{
    auto* group = new QButtonGroup(parent);
    for (const auto& [id, text] : items) {
        auto* b = new QRadioButton(QString::fromUtf8(text), parent);
        SetDialogControlId(b, id);
        group->addButton(b);
        layout->addWidget(b);
    }
    return group;
}

} // namespace

CAddRowColDlg::CAddRowColDlg(QWidget* parent) : CDialog(kTemplateId, parent)
{
    setWindowTitle(QStringLiteral("新增/删除（行/列）"));
    auto* layout = new QVBoxLayout(this);
    auto* row1 = new QHBoxLayout;
    m_operation = RadioGroup(this, row1, {{kAdd, "新增"}, {kDelete, "删除"}});
    layout->addLayout(row1);
    auto* row2 = new QHBoxLayout;
    m_kind = RadioGroup(this, row2, {{kRows, "行（行数从上到下）"}, {kColumns, "列（列数从左到右）"}});
    layout->addLayout(row2);
    auto* form = new QFormLayout;
    m_number = new QLineEdit(this);
    SetControlId(m_number, kNumberEdit);
    form->addRow(QStringLiteral("定义单元格:"), m_number);
    layout->addLayout(form);
    auto* row3 = new QHBoxLayout;
    m_position = RadioGroup(this, row3, {{kBefore, "定义单元格之前"}, {kAfter, "定义单元格之后"}});
    layout->addLayout(row3);
    auto* row4 = new QHBoxLayout;
    m_cellKind = RadioGroup(this, row4, {{kText, "文本"}, {kField, "字段"}});
    layout->addLayout(row4);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(QStringLiteral("增加行/列数:"), this));
    m_count = new QLineEdit(this);
    SetControlId(m_count, kCountEdit);
    countRow->addWidget(m_count);
    // The spin control steps the count edit (its buddy).
    m_spin = new QSpinBox(this);
    SetControlId(m_spin, kSpin);
    m_spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_spin->setMaximumWidth(40);
    countRow->addWidget(m_spin);
    layout->addLayout(countRow);
    connect(m_spin, &QSpinBox::valueChanged, this, [this](int v) { m_count->setText(QString::number(v)); });
    layout->addWidget(MakeOkCancel());
    connect(m_operation->buttons().at(0), &QAbstractButton::clicked, this, [this] { EnableAddControls(true); });
    connect(m_operation->buttons().at(1), &QAbstractButton::clicked, this, [this] { EnableAddControls(false); });
}

void CAddRowColDlg::EnableAddControls(bool on)
{
    for (int id : {int(kBefore), int(kAfter), int(kText), int(kField)}) {
        if (QWidget* w = GetDlgItem(id))
            w->setEnabled(on);
    }
    m_spin->setEnabled(on);
}

bool CAddRowColDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_spin->setRange(1, kMaxCount);
    if (m_nSelColumn != -1) {
        m_nNumber = m_nSelColumn + 1;
        m_nRowsOrColumns = 1;
        DoDataExchange(false);
    } else if (m_nSelRow != -1) {
        m_nNumber = m_nSelRow + 1;
        m_nRowsOrColumns = 0;
        DoDataExchange(false);
    }
    return true;
}

bool CAddRowColDlg::DoDataExchange(bool save)
{
    if (!save) {
        SetRadioValue(m_operation, m_nOperation);
        SetRadioValue(m_kind, m_nRowsOrColumns);
        SetRadioValue(m_position, m_nPosition);
        SetRadioValue(m_cellKind, m_nCellKind);
        m_number->setText(QString::number(m_nNumber));
        m_count->setText(QString::number(m_nCount));
        const QSignalBlocker block(m_spin);
        m_spin->setValue(std::clamp(m_nCount, 1, kMaxCount));
        return true;
    }
    const int kind = RadioValue(m_kind);
    const int limit = kind == 1 ? m_nColumnCount : m_nRowCount;
    int number = 0;
    int count = 0;
    if (!CheckIntegerEdit(m_number, 1, limit, number) || !CheckIntegerEdit(m_count, 1, kMaxCount, count))
        return false;
    m_nOperation = RadioValue(m_operation);
    m_nRowsOrColumns = kind;
    m_nPosition = RadioValue(m_position);
    m_nCellKind = RadioValue(m_cellKind);
    m_nNumber = number;
    m_nCount = count;
    return true;
}
