#include "content/cell_format.h"

#include "document/document_environment.h"
#include "skin/color_combo_box.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

CCellFormat::CCellFormat(DocumentEnvironment& env, QWidget* parent)
    : PropertyPage(kTemplateId, QStringLiteral("单元格"), parent), m_env(env)
{
    auto* layout = new QVBoxLayout(this);
    auto* kindBox = new QGroupBox(QStringLiteral("单元类型"), this);
    auto* kindLayout = new QHBoxLayout(kindBox);
    auto* text = new QRadioButton(QStringLiteral("文本"), kindBox);
    auto* field = new QRadioButton(QStringLiteral("属性域"), kindBox);
    SetControlId(text, kTextRadio);
    SetControlId(field, kFieldRadio);
    kindLayout->addWidget(text);
    kindLayout->addWidget(field);
    m_kind = new QButtonGroup(this);
    m_kind->addButton(text, 0);
    m_kind->addButton(field, 1);
    layout->addWidget(kindBox);
    auto* colorBox = new QGroupBox(QStringLiteral("背景色"), this);
    auto* colorLayout = new QVBoxLayout(colorBox);
    m_combo = new CColorComboBox(colorBox);
    SetControlId(m_combo, kColorCombo);
    colorLayout->addWidget(m_combo);
    layout->addWidget(colorBox);
    layout->addStretch(1);
    connect(text, &QRadioButton::clicked, this, &CCellFormat::OnTextChosen);
    connect(field, &QRadioButton::clicked, this, &CCellFormat::OnFieldChosen);
    connect(m_combo, &QComboBox::activated, this, [this](int) { m_color = m_combo->GetSelectedColor(); });
}

bool CCellFormat::OnInitDialog()
{
    if (m_nCellKind == 0 && m_sheet != nullptr && m_sheet->GetTabCount() > 1)
        m_sheet->RemoveTab(1);
    m_combo->m_color = m_color;
    m_combo->InitDefaultColors();
    return UpdateData(false);
}

void CCellFormat::DoDataExchange(DataExchange& dx)
{
    if (!dx.Saving()) {
        m_kind->setExclusive(false);
        for (QAbstractButton* b : m_kind->buttons())
            b->setChecked(false);
        m_kind->setExclusive(true);
        if (QAbstractButton* b = m_kind->button(m_nCellKind))
            b->setChecked(true);
        // No common colour (-1): nothing is chosen, and OK keeps it so.
        if (m_color == 0xFFFFFFFF)
            m_combo->setCurrentIndex(-1);
        else
            m_combo->SelectColor(m_color);
        return;
    }
    m_nCellKind = m_kind->checkedId();
    if (m_combo->currentIndex() >= 0)
        m_color = m_combo->GetSelectedColor();
}

void CCellFormat::OnTextChosen()
{
    m_nCellKind = 0;
    if (m_sheet != nullptr && m_sheet->GetTabCount() > 1)
        m_sheet->RemoveTab(1);
}

void CCellFormat::OnFieldChosen()
{
    m_nCellKind = 1;
    if (m_bFieldPageAllowed && m_fieldPage != nullptr && m_sheet != nullptr && m_sheet->GetTabCount() == 1) {
        QString text = m_env.LoadString(kFieldTabText);
        if (text.isEmpty())
            text = QStringLiteral("属性域");
        m_sheet->InsertTab(1, m_fieldPage, text);
    }
}
