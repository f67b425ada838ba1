// The analysis page: edits one analysis of the image at a time, in place
// (the sheet keeps a copy of every analysis for Cancel).
#include "irimage/draw_ir.h"
#include "irimage/ir_property_pages.h"
#include "irimage/ir_property_values.h"
#include "irimage/temperature_text.h"

#include "ir_reference_combos.h"

#include "document/document_environment.h"
#include "skin/color_picker_button.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <cmath>

using namespace ir_pages;

namespace {

QString WithoutTrailingBlank(QString text)
{
    if (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

CIRAnalysisPage::CIRAnalysisPage(QWidget* parent) : PropertyPage(kTemplateId, QStringLiteral("分析工具"), parent)
{
    auto* layout = new QVBoxLayout(this);

    auto* object = new QGroupBox(QStringLiteral("分析对象"), this);
    auto* og = new QGridLayout(object);
    m_objects = Control(new QComboBox(object), kObjectCombo);
    m_labelEdit = Control(new QLineEdit(object), kLabel);
    m_color = Control(new CColorPickerButton(object), kColor);
    m_color->SetDlgCtrlID(kColor);
    m_labelModes = Control(new QComboBox(object), kLabelMode);
    og->addWidget(new QLabel(QStringLiteral("对象:"), object), 0, 0);
    og->addWidget(m_objects, 0, 1);
    og->addWidget(new QLabel(QStringLiteral("标签:"), object), 0, 2);
    og->addWidget(m_labelEdit, 0, 3);
    og->addWidget(new QLabel(QStringLiteral("颜色:"), object), 1, 0);
    og->addWidget(m_color, 1, 1, Qt::AlignLeft);
    og->addWidget(new QLabel(QStringLiteral("显示:"), object), 1, 2);
    og->addWidget(m_labelModes, 1, 3);
    m_isotherms = Control(new QComboBox(object), kIsothermCombo);
    m_isoColor = Control(new CColorPickerButton(object), kIsothermColor);
    m_isoColor->SetDlgCtrlID(kIsothermColor);
    og->addWidget(new QLabel(QStringLiteral("等温色:"), object), 2, 0);
    og->addWidget(m_isotherms, 2, 1);
    og->addWidget(m_isoColor, 2, 2, Qt::AlignLeft);
    og->addWidget(new QLabel(QStringLiteral("直方图阈值温度(&T)"), object), 3, 0);
    og->addWidget(Control(new QLineEdit(object), kHistThreshold), 3, 1);
    og->addWidget(new QLabel(QStringLiteral("直方图的类型(&N)"), object), 3, 2);
    og->addWidget(Control(new QLineEdit(object), kHistType), 3, 3);
    og->setColumnStretch(1, 1);
    og->setColumnStretch(3, 1);
    layout->addWidget(object);

    auto* values = new QGroupBox(QStringLiteral("参数"), this);
    auto* vg = new QGridLayout(values);
    m_ownEmissivity = Control(new QCheckBox(QStringLiteral("比辐射率(&E)"), values), kOwnEmissivity);
    m_emissivityEdit = Control(new QLineEdit(values), kEmissivity);
    m_presets = Control(new QComboBox(values), kPresetCombo);
    m_presets->setMinimumWidth(140);
    m_ownDistance = Control(new QCheckBox(QStringLiteral("距离(&D)"), values), kOwnDistance);
    m_distanceEdit = Control(new QLineEdit(values), kDistance);
    m_refTarget = Control(new QCheckBox(QStringLiteral("参考目标(&O)"), values), kRefTarget);
    m_targets = Control(new QComboBox(values), kTargetCombo);
    m_quantities = Control(new QComboBox(values), kQuantityCombo);
    m_refTemp = Control(new QCheckBox(QStringLiteral("参考温度(&R)"), values), kRefTemp);
    m_refTempEdit = Control(new QLineEdit(values), kRefTempValue);
    m_ownBackground = Control(new QCheckBox(QStringLiteral("背景温度(&B)"), values), kOwnBackground);
    m_backgroundEdit = Control(new QLineEdit(values), kBackground);
    vg->addWidget(m_ownEmissivity, 0, 0);
    vg->addWidget(m_emissivityEdit, 0, 1);
    vg->addWidget(m_presets, 0, 2);
    vg->addWidget(m_ownDistance, 1, 0);
    vg->addWidget(m_distanceEdit, 1, 1);
    vg->addWidget(m_refTarget, 2, 0);
    vg->addWidget(m_targets, 2, 1);
    vg->addWidget(m_quantities, 2, 2);
    vg->addWidget(m_refTemp, 3, 0);
    vg->addWidget(m_refTempEdit, 3, 1);
    vg->addWidget(m_ownBackground, 4, 0);
    vg->addWidget(m_backgroundEdit, 4, 1);
    vg->setColumnStretch(1, 1);
    vg->setColumnStretch(2, 1);
    layout->addWidget(values);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Control(new QPushButton(QStringLiteral("固定标记(&S)"), this), kFixedMark));
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(m_objects, &QComboBox::activated, this, [this](int i) { ChooseObject(i); });
    connect(m_labelModes, &QComboBox::activated, this, [this](int i) {
        if (m_pItem != nullptr)
            m_pItem->labelMode = i;
    });
    connect(m_isotherms, &QComboBox::activated, this, [this](int i) {
        if (i >= 0 && i < int(m_isoColors.size()))
            m_isoColor->SetColor(m_isoColors[static_cast<std::size_t>(i)]);
    });
    connect(m_isoColor, &CColorPickerButton::command, this, [this] {
        const int i = m_isotherms->currentIndex();
        if (!m_loading && i >= 0 && i < int(m_isoColors.size()))
            m_isoColors[static_cast<std::size_t>(i)] = m_isoColor->GetColor();
    });
    connect(m_ownEmissivity, &QCheckBox::clicked, this, [this] { OnOwnEmissivity(); });
    connect(m_ownDistance, &QCheckBox::clicked, this, [this] { OnOwnDistance(); });
    connect(m_ownBackground, &QCheckBox::clicked, this, [this] { OnOwnBackground(); });
    connect(m_refTarget, &QCheckBox::clicked, this, [this] { OnRefTargetClicked(); });
    connect(m_refTemp, &QCheckBox::clicked, this, [this] { OnRefTempClicked(); });
    connect(m_presets, &QComboBox::activated, this, [this](int i) { OnPresetChosen(i); });
    connect(m_emissivityEdit, &QLineEdit::textEdited, this, [this] { m_presets->setCurrentIndex(-1); });
    connect(m_targets, &QComboBox::activated, this, [this] {
        int kind = 0, number = 0;
        if (ChosenAnalysis(m_targets, kind, number))
            FillQuantityCombo(m_quantities, kind, Environment());
    });
}

bool CIRAnalysisPage::BackgroundAllowed() const
{
    return m_pIR != nullptr && m_pIR->Image().Scheme() == 3 && m_pIR->Image().ModelVersion() != 11;
}

COLORREF CIRAnalysisPage::ObjectColor() const { return m_color->GetColor(); }

void CIRAnalysisPage::DoDataExchange(DataExchange& dx)
{
    dx.Text(kLabel, m_strLabel, kLabelChars);
    dx.Check(kOwnEmissivity, m_bOwnEmissivity);
    dx.Text(kEmissivity, m_fEmissivity);
    dx.ComboText(kPresetCombo, m_strPreset);
    dx.Check(kOwnDistance, m_bOwnDistance);
    dx.Text(kDistance, m_fDistance);
    dx.MinMax(m_fDistance, 0.0f, 600.0f);
    dx.Check(kRefTarget, m_bRefTarget);
    dx.Check(kRefTemp, m_bRefTemp);
    dx.Text(kRefTempValue, m_fRefTemp);
    dx.MinMax(m_fRefTemp, -100.0f, 600.0f);
    dx.Check(kOwnBackground, m_bOwnBackground);
    dx.Text(kBackground, m_fBackground);
    dx.MinMax(m_fBackground, -100.0f, 600.0f);
}

bool CIRAnalysisPage::OnInitDialog()
{
    DocumentEnvironment& env = Environment();
    m_loading = true;
    FillObjectTypes(m_presets, env);
    m_isotherms->clear();
    const QString word = env.LoadString(doc_string::kIsothermWord);
    for (int i = 1; i <= int(m_isoColors.size()); ++i)
        m_isotherms->addItem(word + QString::number(i));
    m_isotherms->setCurrentIndex(0);
    m_isoColor->SetColor(m_isoColors[0]);
    const bool any = m_pIR != nullptr && FillAnalysisCombo(m_objects, *m_pIR);
    if (m_pIR != nullptr)
        FillAnalysisCombo(m_targets, *m_pIR);
    m_loading = false;
    if (!any) {
        m_pItem = nullptr;
        m_current = -1;
        if (!BackgroundAllowed())
            m_bOwnBackground = 0;
        PropertyPage::OnInitDialog();
        EnableValueControls(false);
        m_ownBackground->setEnabled(BackgroundAllowed());
    } else {
        m_objects->setCurrentIndex(0);
        LoadItem();
    }
    m_repaintTimer = startTimer(10);
    return true;
}

void CIRAnalysisPage::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != m_repaintTimer) {
        PropertyPage::timerEvent(e);
        return;
    }
    killTimer(m_repaintTimer);
    m_repaintTimer = 0;
    update();
}

void CIRAnalysisPage::EnableValueControls(bool on)
{
    for (int id : {int(kEmissivity), int(kPresetCombo), int(kDistance), int(kColor), int(kHistThreshold),
                   int(kHistType), int(kRefTempValue), int(kBackground), int(kTargetCombo), int(kQuantityCombo)})
        GetDlgItem(id)->setEnabled(on);
}

void CIRAnalysisPage::FillLabelModes()
{
    DocumentEnvironment& env = Environment();
    m_labelModes->clear();
    m_labelModes->addItem(env.LoadString(doc_string::kNone));
    if (m_pItem == nullptr)
        return;
    if (m_pItem->kind == kAnalysisPoint) {
        m_labelModes->addItem(env.LoadString(doc_string::kTemperature));
    } else {
        m_labelModes->addItem(env.LoadString(doc_string::kMaxTemperature));
        m_labelModes->addItem(env.LoadString(doc_string::kMinTemperature));
    }
    const int mode = m_pItem->labelMode;
    m_labelModes->setCurrentIndex(mode >= 0 && mode < m_labelModes->count() ? mode : -1);
}

void CIRAnalysisPage::LoadItem()
{
    m_pItem = nullptr;
    m_current = m_objects->currentIndex();
    int kind = 0, number = 0;
    if (m_pIR == nullptr || !ChosenAnalysis(m_objects, kind, number))
        return;
    for (IRAnalysisItem& item : m_pIR->m_analyses) {
        if (item.kind == kind && item.number == number) {
            m_pItem = &item;
            break;
        }
    }
    if (m_pItem == nullptr)
        return;
    const IRAnalysisItem& item = *m_pItem;
    m_loading = true;
    m_fEmissivity = item.emissivity;
    m_bOwnEmissivity = item.ownEmissivity != 0;
    m_bOwnDistance = item.ownDistance != 0;
    m_strLabel = WithoutTrailingBlank(item.Name());
    m_strPreset.clear();
    m_bRefTarget = item.refFromAnalysis != 0;
    m_bRefTemp = item.ownReference != 0;
    m_bOwnBackground = item.ownBackground != 0;
    const double shownDistance = double(MetresToUnit(item.distance, m_nLengthUnit));
    m_fDistance = static_cast<float>(std::round(shownDistance * 100.0) * 0.01);
    m_fRefTemp = RoundTenth(CelsiusToUnit(item.referenceTemp, m_nTempUnit));
    m_fBackground = RoundTenth(CelsiusToUnit(item.background, m_nTempUnit));
    if (!BackgroundAllowed()) {
        m_bOwnBackground = 0;
        m_fBackground = RoundTenth(CelsiusToUnit(m_pIR->m_fAmbient, m_nTempUnit));
    }
    m_color->SetColor(item.color);
    FillLabelModes();
    int at = -1;
    if (m_bRefTarget != 0) {
        at = FindAnalysisEntry(m_targets, item.refKind, item.refNumber);
        if (at < 0)
            m_bRefTarget = 0;
    }
    m_targets->setCurrentIndex(at);
    m_quantities->clear();
    if (at >= 0) {
        FillQuantityCombo(m_quantities, m_targets->itemData(at).toPoint().x(), Environment());
        const int q = item.refValue - 1;
        m_quantities->setCurrentIndex(q >= 0 && q < m_quantities->count() ? q : 0);
    }
    UpdateData(false);
    m_loading = false;
    EnableValueControls(true);
    m_emissivityEdit->setEnabled(m_bOwnEmissivity != 0);
    m_presets->setEnabled(m_bOwnEmissivity != 0);
    m_distanceEdit->setEnabled(m_bOwnDistance != 0);
    m_ownBackground->setEnabled(BackgroundAllowed());
    m_backgroundEdit->setEnabled(m_bOwnBackground != 0);
    m_refTempEdit->setEnabled(m_bRefTemp != 0);
    m_targets->setEnabled(m_bRefTarget != 0);
    m_quantities->setEnabled(m_bRefTarget != 0);
}

bool CIRAnalysisPage::StoreTarget()
{
    if (m_pItem == nullptr)
        return true;
    int kind = 0, number = 0;
    const bool chosen = ChosenAnalysis(m_targets, kind, number);
    if (m_bRefTarget != 0 && !chosen) {
        m_pItem->refFromAnalysis = 0;
        m_bRefTarget = 0;
        m_refTarget->setChecked(false);
        return false;
    }
    if (chosen) {
        m_pItem->refValue = m_quantities->currentIndex() + 1;
        m_pItem->refKind = ReferenceKind(kind);
        m_pItem->refNumber = number;
    }
    return true;
}

void CIRAnalysisPage::WriteItem(bool forOk)
{
    if (m_pItem == nullptr)
        return;
    IRAnalysisItem& item = *m_pItem;
    item.color = m_color->GetColor();
    item.ownEmissivity = m_bOwnEmissivity;
    item.ownDistance = m_bOwnDistance;
    item.emissivity = m_fEmissivity;
    item.distance = UnitToMetres(m_fDistance, m_nLengthUnit);
    item.SetName(forOk ? m_strLabel + QLatin1Char(' ') : m_strLabel);
    item.refFromAnalysis = m_bRefTarget;
    item.ownReference = m_bRefTemp;
    item.referenceTemp = UnitToCelsius(m_fRefTemp, m_nTempUnit);
    item.ownBackground = m_bOwnBackground;
    item.background = UnitToCelsius(m_fBackground, m_nTempUnit);
}

bool CIRAnalysisPage::EmissivityChecked()
{
    const bool hundredthRule = m_pIR != nullptr && m_pIR->Image().Scheme() == 3;
    return CheckEmissivity(*this, m_emissivityEdit, m_fEmissivity, hundredthRule);
}

bool CIRAnalysisPage::StoreIntoItem()
{
    if (m_pItem == nullptr)
        return true;
    if (!UpdateData(true))
        return false;
    if (m_bOwnEmissivity != 0 && !EmissivityChecked())
        return false;
    WriteItem(false);
    if (m_bRefTarget != 0)
        StoreTarget();
    return true;
}

bool CIRAnalysisPage::ChooseObject(int index)
{
    if (index < 0 || index >= m_objects->count())
        return false;
    if (index == m_current && m_pItem != nullptr)
        return true;
    if (!StoreIntoItem()) {
        m_objects->setCurrentIndex(m_current);
        return false;
    }
    m_objects->setCurrentIndex(index);
    LoadItem();
    return true;
}

void CIRAnalysisPage::OnOwnEmissivity()
{
    const bool on = m_ownEmissivity->isChecked();
    m_emissivityEdit->setEnabled(on && m_pItem != nullptr);
    m_presets->setEnabled(on && m_pItem != nullptr);
    if (!on) {
        m_fEmissivity = m_fDefEmissivity;
        m_emissivityEdit->setText(DataExchange::FloatText(m_fEmissivity));
        m_presets->setCurrentIndex(-1);
    }
}

void CIRAnalysisPage::OnOwnDistance()
{
    const bool on = m_ownDistance->isChecked();
    m_distanceEdit->setEnabled(on && m_pItem != nullptr);
    if (!on) {
        m_fDistance = m_fDefDistance;
        m_distanceEdit->setText(DataExchange::FloatText(m_fDistance));
    }
}

void CIRAnalysisPage::OnOwnBackground()
{
    const bool on = m_ownBackground->isChecked();
    m_backgroundEdit->setEnabled(on && m_pItem != nullptr);
    if (!on) {
        m_fBackground = m_fDefBackground;
        m_backgroundEdit->setText(DataExchange::FloatText(m_fBackground));
    }
}

void CIRAnalysisPage::OnRefTargetClicked()
{
    References().TargetClicked(m_pItem != nullptr && m_targets->count() > 0);
}

void CIRAnalysisPage::OnRefTempClicked() { References().TempClicked(m_pItem != nullptr); }

ReferenceControls CIRAnalysisPage::References() const
{
    return {m_refTarget, m_refTemp, m_targets, m_quantities, m_refTempEdit};
}

void CIRAnalysisPage::OnPresetChosen(int index)
{
    if (index < 0)
        return;
    const QString text = m_presets->itemText(index);
    if (m_pItem != nullptr)
        m_pItem->SetText(text);
    m_fEmissivity = ObjectTypeEmissivity(text);
    m_emissivityEdit->setText(DataExchange::FloatText(m_fEmissivity));
}

bool CIRAnalysisPage::OnKillActive()
{
    if (!UpdateData(true))
        return false;
    // Only an analysis's own emissivity can be edited here; without it the
    // field shows the image's, which the parameter page checks by its rule.
    return m_pItem == nullptr || m_bOwnEmissivity == 0 || EmissivityChecked();
}

void CIRAnalysisPage::OnOK()
{
    if (!BackgroundAllowed()) {
        m_bOwnBackground = 0;
        m_fBackground = m_fDefBackground;
    }
    StoreTarget();
}
