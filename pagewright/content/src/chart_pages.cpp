#include "content/chart_pages.h"

#include "content/chart_helpers.h"
#include "document/document_environment.h"
#include "document/draw_obj.h"
#include "document/draw_view.h"
#include "irimage/draw_ir.h"
#include "skin/color_check_list_box.h"
#include "skin/color_picker_button.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

template <class T>
T* Control(T* widget, int id)
{
    PropertyPage::SetControlId(widget, id);
    return widget;
}

QLabel* UnitStatic(QWidget* parent, int id) { return Control(new QLabel(parent), id); }


} // namespace

void SetUnitStatics(PropertyPage& page, const DocumentEnvironment& env, int unit)
{
    const QString text = chart::UnitText(env, unit);
    for (int id : {461, 462}) {
        if (auto* label = page.GetDlgItemAs<QLabel>(id))
            label->setText(text);
    }
}

// ---- CHistLinkPage

CHistLinkPage::CHistLinkPage(QWidget* parent) : PropertyPage(kTemplateId, QStringLiteral("直方图连接"), parent)
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("直方图颜色"), this), 0, 0);
    m_picker = Control(new CColorPickerButton(this), kBarColor);
    m_picker->SetDlgCtrlID(kBarColor);
    grid->addWidget(m_picker, 0, 1, Qt::AlignLeft);
    m_area = Control(new QRadioButton(QStringLiteral("区域号码:"), this), kAreaMode);
    m_line = Control(new QRadioButton(QStringLiteral("线号码:"), this), kLineMode);
    m_areaEdit = Control(new QLineEdit(this), kAreaNumber);
    m_lineEdit = Control(new QLineEdit(this), kLineNumber);
    grid->addWidget(m_area, 1, 0);
    grid->addWidget(m_areaEdit, 1, 1);
    grid->addWidget(m_line, 2, 0);
    grid->addWidget(m_lineEdit, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("红外热图号:"), this), 3, 0);
    grid->addWidget(Control(new QLineEdit(this), kImageNumber), 3, 1);
    grid->setRowStretch(4, 1);
    connect(m_area, &QRadioButton::clicked, this, [this] { OnAreaMode(); });
    connect(m_line, &QRadioButton::clicked, this, [this] { OnLineMode(); });
    connect(m_picker, &CColorPickerButton::command, this, [this] { m_clrBar = m_picker->GetColor(); });
}

bool CHistLinkPage::OnInitDialog()
{
    m_picker->SetColor(m_clrBar);
    const bool ok = UpdateData(false);
    EnableEdits();
    return ok;
}

void CHistLinkPage::EnableEdits()
{
    m_area->setChecked(m_nLineMode == 0);
    m_line->setChecked(m_nLineMode != 0);
    m_areaEdit->setEnabled(m_nLineMode == 0);
    m_lineEdit->setEnabled(m_nLineMode != 0);
}

void CHistLinkPage::OnAreaMode()
{
    m_nLineMode = 0;
    EnableEdits();
}

void CHistLinkPage::OnLineMode()
{
    m_nLineMode = 1;
    EnableEdits();
}

void CHistLinkPage::DoDataExchange(DataExchange& dx)
{
    if (dx.Saving())
        m_nLineMode = m_line->isChecked() ? 1 : 0;
    dx.Text(kAreaNumber, m_nAreaNumber);
    dx.MinMax(m_nAreaNumber, 1, 101);
    dx.Text(kLineNumber, m_nLineNumber);
    dx.MinMax(m_nLineNumber, 1, 101);
    dx.Text(kImageNumber, m_nIRNumber);
    dx.MinMax(m_nIRNumber, 1, 1000);
}

// ---- CHistSetPage

CHistSetPage::CHistSetPage(DocumentEnvironment& env, QWidget* parent)
    : PropertyPage(kTemplateId, QStringLiteral("直方图设置"), parent), m_env(env)
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(Control(new QCheckBox(QStringLiteral("下益等级"), this), kOutOfRange), 0, 0);
    grid->addWidget(Control(new QCheckBox(QStringLiteral("等级数值"), this), kLevelValues), 1, 0);
    grid->addWidget(Control(new QCheckBox(QStringLiteral("等级范围"), this), kLevelRanges), 2, 0);
    grid->addWidget(Control(new QCheckBox(QStringLiteral("网格线"), this), kGrid), 3, 0);
    grid->addWidget(Control(new QCheckBox(QStringLiteral("标记"), this), kTitle), 4, 0);
    grid->addWidget(new QLabel(QStringLiteral("等级数:"), this), 0, 1);
    grid->addWidget(Control(new QLineEdit(this), kBins), 0, 2);
    auto* scale = new QGroupBox(this);
    auto* sg = new QGridLayout(scale);
    m_image = Control(new QRadioButton(QStringLiteral("红外热图标尺"), scale), kImageScale);
    m_custom = Control(new QRadioButton(QStringLiteral("自定义标尺"), scale), kCustomScale);
    sg->addWidget(m_image, 0, 0, 1, 3);
    sg->addWidget(m_custom, 1, 0, 1, 3);
    sg->addWidget(new QLabel(QStringLiteral("最大值"), scale), 2, 0);
    sg->addWidget(Control(new QLineEdit(scale), kMax), 2, 1);
    sg->addWidget(UnitStatic(scale, kMaxUnit), 2, 2);
    sg->addWidget(new QLabel(QStringLiteral("最小值"), scale), 3, 0);
    sg->addWidget(Control(new QLineEdit(scale), kMin), 3, 1);
    sg->addWidget(UnitStatic(scale, kMinUnit), 3, 2);
    grid->addWidget(scale, 1, 1, 4, 2);
    grid->setRowStretch(5, 1);
}

bool CHistSetPage::OnInitDialog()
{
    SetUnitStatics(*this, m_env, m_env.TempUnit());
    return UpdateData(false);
}

void CHistSetPage::DoDataExchange(DataExchange& dx)
{
    dx.Check(kOutOfRange, m_bOutOfRange);
    dx.Check(kLevelValues, m_bLevelValues);
    dx.Check(kLevelRanges, m_bLevelRanges);
    dx.Check(kGrid, m_bGrid);
    dx.Check(kTitle, m_bTitle);
    dx.Text(kBins, m_nBins);
    dx.MinMax(m_nBins, 2, 64);
    // Any range is taken: a minimum not below the maximum leaves every bin
    // empty, which the chart draws.
    dx.Text(kMax, m_fMax);
    dx.Text(kMin, m_fMin);
    if (dx.Failed())
        return;
    if (dx.Saving()) {
        m_nCustomScale = m_custom->isChecked() ? 1 : 0;
    } else {
        m_image->setChecked(m_nCustomScale == 0);
        m_custom->setChecked(m_nCustomScale != 0);
    }
}

// ---- CProfileParamPage

CProfileParamPage::CProfileParamPage(DocumentEnvironment& env, QWidget* parent)
    : PropertyPage(kTemplateId, QStringLiteral("参数设置"), parent), m_env(env)
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("分割线颜色"), this), 0, 0);
    m_picker = Control(new CColorPickerButton(this), kDivider);
    m_picker->SetDlgCtrlID(kDivider);
    grid->addWidget(m_picker, 0, 1, Qt::AlignLeft);

    auto* alignment = new QGroupBox(this);
    auto* ag = new QVBoxLayout(alignment);
    m_alignment[0] = Control(new QRadioButton(QStringLiteral("左对齐"), alignment), kLeftAligned);
    m_alignment[1] = Control(new QRadioButton(QStringLiteral("伸展"), alignment), kStretched);
    for (QRadioButton* b : m_alignment)
        ag->addWidget(b);
    grid->addWidget(alignment, 1, 0);

    auto* scale = new QGroupBox(this);
    auto* sg = new QGridLayout(scale);
    m_scale[0] = Control(new QRadioButton(QStringLiteral("红外热图标尺"), scale), kImageScale);
    m_scale[1] = Control(new QRadioButton(QStringLiteral("自动"), scale), kAutoScale);
    m_scale[2] = Control(new QRadioButton(QStringLiteral("自定义"), scale), kCustomScale);
    for (int i = 0; i < 3; ++i)
        sg->addWidget(m_scale[std::size_t(i)], i, 0, 1, 3);
    sg->addWidget(new QLabel(QStringLiteral("最大值："), scale), 3, 0);
    sg->addWidget(Control(new QLineEdit(scale), kMax), 3, 1);
    sg->addWidget(UnitStatic(scale, kMaxUnit), 3, 2);
    sg->addWidget(new QLabel(QStringLiteral("最小值："), scale), 4, 0);
    sg->addWidget(Control(new QLineEdit(scale), kMin), 4, 1);
    sg->addWidget(UnitStatic(scale, kMinUnit), 4, 2);
    grid->addWidget(scale, 1, 1, 2, 1);

    auto* shows = new QGroupBox(this);
    auto* cg = new QVBoxLayout(shows);
    cg->addWidget(Control(new QCheckBox(QStringLiteral("网格线"), shows), kGrid));
    cg->addWidget(Control(new QCheckBox(QStringLiteral("图  例"), shows), kLegend));
    cg->addWidget(Control(new QCheckBox(QStringLiteral("横坐标说明表"), shows), kAxisTable));
    cg->addWidget(Control(new QCheckBox(QStringLiteral("结果表格"), shows), kResultTable));
    grid->addWidget(shows, 2, 0);
    grid->setRowStretch(3, 1);
    connect(m_picker, &CColorPickerButton::command, this, [this] { m_clrDivider = m_picker->GetColor(); });
}

bool CProfileParamPage::OnInitDialog()
{
    if (QWidget* axis = GetDlgItem(kAxisTable))
        axis->setEnabled(m_bEnableAxisTable != 0);
    SetUnitStatics(*this, m_env, m_nUnit);
    m_picker->SetColor(m_clrDivider);
    return UpdateData(false);
}

void CProfileParamPage::DoDataExchange(DataExchange& dx)
{
    if (dx.Saving()) {
        m_nAlignment = m_alignment[1]->isChecked() ? 1 : 0;
        m_nScale = m_scale[2]->isChecked() ? 2 : m_scale[1]->isChecked() ? 1 : 0;
        m_clrDivider = m_picker->GetColor();
    } else {
        m_alignment[0]->setChecked(m_nAlignment != 1);
        m_alignment[1]->setChecked(m_nAlignment == 1);
        const int scale = std::clamp(m_nScale, 0, 2);
        for (int i = 0; i < 3; ++i)
            m_scale[std::size_t(i)]->setChecked(i == scale);
    }
    dx.Text(kMax, m_fMax);
    dx.Text(kMin, m_fMin);
    dx.Check(kGrid, m_bGrid);
    dx.Check(kLegend, m_bLegend);
    dx.Check(kAxisTable, m_bAxisTable);
    dx.Check(kResultTable, m_bResultTable);
    if (dx.Saving() && !dx.Failed() && m_nScale == 2 && !(m_fMin < m_fMax))
        dx.Fail(chart::Text(m_env, chart::text::kMinBelowMax), chart::text::kMinBelowMax);
}

// ---- CColorSetPage

CColorSetPage::CColorSetPage(DocumentEnvironment& env, QWidget* parent)
    : PropertyPage(kTemplateId, QStringLiteral("颜色设置"), parent), m_env(env)
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("红外热图号码:"), this), 0, 0);
    m_number = Control(new QLineEdit(this), kImageNumber);
    grid->addWidget(m_number, 0, 1);
    m_single = Control(new QRadioButton(QStringLiteral("单红外对象"), this), kSingle);
    m_several = Control(new QRadioButton(QStringLiteral("多红外对象"), this), kSeveral);
    grid->addWidget(m_single, 1, 0);
    grid->addWidget(m_several, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("线"), this), 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("红外目标"), this), 2, 1);
    m_curves = Control(new CColorCheckListBox(this), kCurveList);
    m_targets = Control(new QListWidget(this), kTargetList);
    grid->addWidget(m_curves, 3, 0);
    grid->addWidget(m_targets, 3, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    m_curves->installEventFilter(this);
    m_targets->installEventFilter(this);
    connect(m_single, &QRadioButton::clicked, this, [this] { OnSingle(); });
    connect(m_several, &QRadioButton::clicked, this, [this] { OnSeveral(); });
    connect(m_number, &QLineEdit::textEdited, this, [this] { OnImageNumberChanged(); });
}

bool CColorSetPage::OnInitDialog()
{
    m_several->setEnabled(m_bSeveralAllowed != 0);
    m_targets->setEnabled(m_nSeveral != 0);
    const bool ok = UpdateData(false);
    FillLists();
    return ok;
}

void CColorSetPage::DoDataExchange(DataExchange& dx)
{
    dx.Text(kImageNumber, m_nIRNumber);
    dx.MinMax(m_nIRNumber, 1, 1000);
    if (dx.Failed())
        return;
    if (dx.Saving()) {
        m_nSeveral = m_several->isChecked() ? 1 : 0;
    } else {
        m_single->setChecked(m_nSeveral == 0);
        m_several->setChecked(m_nSeveral != 0);
    }
}

void CColorSetPage::SetTabStops()
{
    const QFontMetrics metrics(m_curves->font());
    int average = metrics.averageCharWidth();
    if (average <= 0)
        average = 8; // the dialog base unit
    const int units = m_curves->width() * 4 / average;
    m_curves->SetTabStops({units / 7 * 2, units / 7 * 5});
}

void CColorSetPage::FillLists()
{
    m_filling = true;
    SetTabStops();
    const QString colour = QStringLiteral("颜色");
    if (m_bSeveralAllowed == 0) {
        m_curves->clear();
        for (int i = 0; i < kLines; ++i) {
            const QString row = QString::asprintf("li%02d\t", i + 1) + m_strLineName[std::size_t(i)] +
                                QStringLiteral("\t") + colour;
            m_curves->AddEntry(row, m_bShown[std::size_t(i)] != 0, m_curves->GetColor(i));
        }
        m_filling = false;
        return;
    }

    // One target row per image of the view, in the view's list order, so a
    // row is the list position the target states are indexed by.
    m_targets->clear();
    DrawView* view = m_pChart != nullptr ? m_pChart->GetView() : nullptr;
    const CDrawIR* current = nullptr;
    if (view != nullptr) {
        const auto& images = view->GetIRObjects();
        const int rows = int(std::min<std::size_t>(images.size(), kTargets));
        for (int i = 0; i < rows; ++i) {
            const auto* ir = dynamic_cast<const CDrawIR*>(images[std::size_t(i)]);
            const int number = ir != nullptr ? ir->GetIRNumber() : 0;
            auto* item = new QListWidgetItem(QString::asprintf("IR%02d", number), m_targets);
            const bool usable = ir != nullptr && ir->HasImage();
            item->setFlags(usable ? (Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable)
                                  : Qt::ItemIsUserCheckable);
            item->setCheckState(m_bTarget[std::size_t(i)] != 0 ? Qt::Checked : Qt::Unchecked);
            if (ir != nullptr && number == m_nIRNumber)
                current = ir;
        }
    }

    m_curves->clear();
    m_nCurveCount = 0;
    int row = 0;
    const auto add = [&](const IRAnalysisItem& item, int nameId, int resultId) {
        const QString name = chart::Text(m_env, nameId) + QString::asprintf("%02d", item.number);
        const QString result = chart::Text(m_env, resultId);
        // Rows beyond the twentieth take no mark and no colour.
        const bool slot = row < kCurves;
        m_curves->AddEntry(name + QStringLiteral("\t") + result + QStringLiteral("\t") + colour,
                           slot && m_bShown[std::size_t(row)] != 0, slot ? m_curves->GetColor(row) : 0xFFFFFF);
        if (slot) {
            m_strCurveName[std::size_t(row)] = QString::asprintf("%02d", item.number) + result;
            ++m_nCurveCount;
        }
        ++row;
    };
    if (current != nullptr) {
        for (const IRAnalysisItem& item : current->m_analyses) {
            if (item.kind == kAnalysisPoint)
                add(item, chart::text::kPoint, chart::text::kPointTemperature);
        }
        for (const IRAnalysisItem& item : current->m_analyses) {
            if (item.kind == kAnalysisLine) {
                for (int k = 0; k < 4; ++k)
                    add(item, chart::text::kLine, chart::text::kLineMax + k);
            }
        }
        for (const IRAnalysisItem& item : current->m_analyses) {
            if (item.kind == kAnalysisRect || item.kind == kAnalysisEllipse) {
                for (int k = 0; k < 4; ++k)
                    add(item, chart::text::kArea, chart::text::kAreaMax + k);
            }
        }
    }
    m_filling = false;
}

void CColorSetPage::OnSingle()
{
    m_nSeveral = 0;
    m_targets->setEnabled(false);
    m_bTarget.fill(0);
    for (int i = 0; i < m_targets->count(); ++i)
        m_targets->item(i)->setCheckState(Qt::Unchecked);
}

void CColorSetPage::OnSeveral()
{
    m_nSeveral = 1;
    m_targets->setEnabled(true);
}

void CColorSetPage::OnImageNumberChanged()
{
    // Read as typed; a text that is no number in range waits for OK's check.
    bool ok = false;
    const int number = m_number->text().trimmed().toInt(&ok);
    if (!ok || number < 1 || number > 1000)
        return;
    m_nIRNumber = number;
    if (m_bSeveralAllowed != 0)
        FillLists();
}

void CColorSetPage::OnOK() { ReadTargets(); }

void CColorSetPage::ReadTargets()
{
    const int rows = std::min(m_targets->count(), kTargets);
    for (int i = 0; i < rows; ++i)
        m_bTarget[std::size_t(i)] = m_targets->item(i)->checkState() == Qt::Checked ? 1 : 0;
}

bool CColorSetPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == m_curves || watched == m_targets) && !m_filling)
        ReadTargets();
    return PropertyPage::eventFilter(watched, event);
}
