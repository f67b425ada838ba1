// The parameter page: the scene values of the image, the object type, and
// the image's reference (a fixed temperature or another analysis).
#include "irimage/draw_ir.h"
#include "irimage/ir_property_pages.h"
#include "irimage/ir_property_values.h"
#include "irimage/temperature_text.h"

#include "ir_reference_combos.h"

#include "document/document_environment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace ir_pages;

CIRParamPage::CIRParamPage(QWidget* parent) : PropertyPage(kTemplateId, QStringLiteral("参数"), parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* scene = new QGroupBox(QStringLiteral("检测参数"), this);
    auto* grid = new QGridLayout(scene);
    int row = 0;
    const auto addRow = [&](const char* label, QWidget* field, int unitId) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), scene), row, 0);
        grid->addWidget(field, row, 1);
        if (unitId != 0)
            grid->addWidget(Control(new QLabel(scene), unitId), row, 2);
        ++row;
    };
    m_emissivityEdit = Control(new QLineEdit(scene), kEmissivity);
    addRow("比辐射率:", m_emissivityEdit, 0);
    m_objectTypes = Control(new QComboBox(scene), kObjectType);
    m_objectTypes->setEditable(true);
    m_objectTypes->setMinimumWidth(150);
    grid->addWidget(new QLabel(QStringLiteral("物体类型:"), scene), row - 1, 3);
    grid->addWidget(m_objectTypes, row - 1, 4);
    addRow("检测距离:", Control(new QLineEdit(scene), kDistance), kUnitDistance);
    addRow("周围温度:", Control(new QLineEdit(scene), kAmbient), kUnitAmbient);
    addRow("背景温度:", Control(new QLineEdit(scene), kBackground), kUnitBackground);
    addRow("相对湿度:", Control(new QLineEdit(scene), kHumidity), 0);
    grid->addWidget(new QLabel(QStringLiteral("%"), scene), row - 1, 2);
    auto* transmittance = Control(new QLineEdit(scene), kTransmittance);
    transmittance->setReadOnly(true);
    addRow("大气透过率:", transmittance, 0);
    grid->addWidget(Control(new QLabel(QStringLiteral("0.0"), scene), kTransmittanceText), row - 1, 2);
    grid->addWidget(Control(new QCheckBox(QStringLiteral("估计值(&E)"), scene), kEstimate), row - 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    layout->addWidget(scene);

    auto* reference = new QGroupBox(QStringLiteral("参考"), this);
    auto* refGrid = new QGridLayout(reference);
    m_refTarget = Control(new QCheckBox(QStringLiteral("参考目标(&O)"), reference), kRefTarget);
    m_targets = Control(new QComboBox(reference), kTargetCombo);
    m_quantities = Control(new QComboBox(reference), kQuantityCombo);
    m_refTemp = Control(new QCheckBox(QStringLiteral("参考温度(&R)"), reference), kRefTemp);
    m_referenceEdit = Control(new QLineEdit(reference), kReference);
    refGrid->addWidget(m_refTarget, 0, 0);
    refGrid->addWidget(m_targets, 0, 1);
    refGrid->addWidget(m_quantities, 0, 2);
    refGrid->addWidget(m_refTemp, 1, 0);
    refGrid->addWidget(m_referenceEdit, 1, 1);
    refGrid->addWidget(Control(new QLabel(reference), kUnitReference), 1, 2);
    layout->addWidget(reference);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* reset = Control(new QPushButton(QStringLiteral("复位(&R)"), this), kReset);
    buttons->addWidget(reset);
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(m_objectTypes, &QComboBox::activated, this, [this](int i) { OnObjectTypeChosen(i); });
    connect(m_emissivityEdit, &QLineEdit::textEdited, this, [this] { m_objectTypes->setCurrentIndex(-1); });
    connect(m_refTarget, &QCheckBox::clicked, this, [this] { OnRefTargetClicked(); });
    connect(m_refTemp, &QCheckBox::clicked, this, [this] { OnRefTempClicked(); });
    connect(m_targets, &QComboBox::activated, this, [this] {
        int kind = 0, number = 0;
        if (ChosenAnalysis(m_targets, kind, number))
            FillQuantityCombo(m_quantities, kind, Environment());
    });
    connect(reset, &QPushButton::clicked, this, [this] { OnReset(); });
}

void CIRParamPage::DoDataExchange(DataExchange& dx)
{
    dx.Text(kEmissivity, m_fEmissivity);
    dx.ComboText(kObjectType, m_strObjectType);
    dx.Text(kDistance, m_fDistance);
    dx.MinMax(m_fDistance, 0.0f, 600.0f);
    dx.Text(kAmbient, m_fAmbient);
    dx.MinMax(m_fAmbient, -100.0f, 600.0f);
    dx.Text(kBackground, m_fBackground);
    dx.Text(kTransmittance, m_fTransmittance);
    dx.MinMax(m_fTransmittance, 0.0f, 1.0f);
    dx.Text(kHumidity, m_fHumidity);
    dx.MinMax(m_fHumidity, 0.0f, 100.0f);
    dx.Text(kReference, m_fReference);
    dx.MinMax(m_fReference, -273.2f, 6000.0f);
    dx.Check(kEstimate, m_bEstimate);
    dx.Check(kRefTarget, m_bUseRefTarget);
    dx.Check(kRefTemp, m_bUseRefTemp);
}

bool CIRParamPage::OnInitDialog()
{
    DocumentEnvironment& env = Environment();
    FillObjectTypes(m_objectTypes, env);
    PropertyPage::OnInitDialog();
    const QString unit = env.LoadString(doc_string::kTempUnitText + std::clamp(m_nTempUnit, 0, 2));
    for (int id : {kUnitAmbient, kUnitBackground, kUnitReference})
        GetDlgItemAs<QLabel>(id)->setText(unit);
    GetDlgItemAs<QLabel>(kUnitDistance)->setText(env.LoadString(doc_string::kLengthUnitText + (m_nLengthUnit == 0 ? 0 : 1)));
    GetDlgItemAs<QLabel>(kTransmittanceText)->setText(m_strTransmittance.left(4));

    m_targets->setEnabled(m_bUseRefTarget != 0);
    m_quantities->setEnabled(m_bUseRefTarget != 0);
    m_referenceEdit->setEnabled(m_bUseRefTemp != 0);
    GetDlgItem(kBackground)->setEnabled(m_nScheme == 3 && m_nSubKind != 11);
    GetDlgItem(kAmbient)->setEnabled(m_nSubKind != 7 && m_nSubKind != 8);

    if (m_pIR == nullptr || !FillAnalysisCombo(m_targets, *m_pIR)) {
        m_targets->setEnabled(false);
        m_quantities->setEnabled(false);
        return true;
    }
    if (m_bUseRefTarget != 0) {
        const int at = FindAnalysisEntry(m_targets, m_pIR->m_nRefKind, m_pIR->m_nRefNumber);
        if (at < 0) {
            m_bUseRefTarget = 0;
            m_refTarget->setChecked(false);
            References().ClearTargets();
        } else {
            m_targets->setCurrentIndex(at);
            FillQuantityCombo(m_quantities, m_targets->itemData(at).toPoint().x(), env);
            const int q = m_pIR->m_nRefIndex - 1;
            m_quantities->setCurrentIndex(q >= 0 && q < m_quantities->count() ? q : -1);
        }
    }
    return true;
}

void CIRParamPage::OnObjectTypeChosen(int index)
{
    if (index < 0)
        return;
    m_fEmissivity = ObjectTypeEmissivity(m_objectTypes->itemText(index));
    m_emissivityEdit->setText(DataExchange::FloatText(m_fEmissivity));
}

void CIRParamPage::OnRefTargetClicked() { References().TargetClicked(m_targets->count() > 0); }

void CIRParamPage::OnRefTempClicked() { References().TempClicked(true); }

ReferenceControls CIRParamPage::References() const
{
    return {m_refTarget, m_refTemp, m_targets, m_quantities, m_referenceEdit};
}

void CIRParamPage::OnReset()
{
    const auto show = [this](int id, float value) { GetDlgItemAs<QLineEdit>(id)->setText(DataExchange::FloatText(value)); };
    m_fHumidity = m_initial.humidity;
    m_fEmissivity = float(m_initial.emissivity * 0.01);
    m_fAmbient = RoundTenth(CelsiusToUnit(float(m_initial.ambient * 0.01), m_nTempUnit));
    m_fBackground = RoundTenth(CelsiusToUnit(m_initial.atmosphere, m_nTempUnit));
    const bool ownBackground = m_nScheme == 3 && m_nSubKind != 11;
    if (m_nTempUnit == kUnitCelsius && !ownBackground)
        m_fBackground = m_fAmbient;
    m_fReference = m_fAmbient;
    const bool hundredths = m_nScheme == 3 && m_nSubKind != 6;
    const float metres = float(m_initial.distance * (hundredths ? 0.01 : 1.0));
    m_fDistance = MetresToUnit(metres, m_nLengthUnit);
    show(kHumidity, m_fHumidity);
    show(kEmissivity, m_fEmissivity);
    show(kAmbient, m_fAmbient);
    show(kBackground, m_fBackground);
    show(kReference, m_fReference);
    show(kDistance, m_fDistance);
    m_objectTypes->setCurrentIndex(-1);
    m_refTemp->setChecked(true);
    OnRefTempClicked();
}

bool CIRParamPage::OnKillActive()
{
    if (!UpdateData(true))
        return false;
    return CheckEmissivity(*this, m_emissivityEdit, m_fEmissivity, ModelUsesHundredthRule(m_strModel));
}

void CIRParamPage::OnOK()
{
    if (m_pIR == nullptr)
        return;
    int kind = 0, number = 0;
    const bool chosen = ChosenAnalysis(m_targets, kind, number);
    if (m_bUseRefTarget != 0 && !chosen) {
        m_pIR->m_bUseRefTarget = 0;
        m_bUseRefTarget = 0;
        m_refTarget->setChecked(false);
        return;
    }
    if (chosen) {
        m_pIR->m_nRefIndex = m_quantities->currentIndex() + 1;
        m_pIR->m_nRefKind = ReferenceKind(kind);
        m_pIR->m_nRefNumber = number;
    }
}
