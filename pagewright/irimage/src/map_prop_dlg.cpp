#include "irimage/map_prop_dlg.h"

#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"

#include "document/document_environment.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPreviewWidth = 360;
constexpr int kPreviewHeight = 270;
constexpr COLORREF kWhite = 0xFFFFFF;

QDoubleSpinBox* MakeEdit(double min, double max)
{
    auto* edit = new QDoubleSpinBox;
    edit->setRange(min, max);
    edit->setDecimals(2);
    edit->setSingleStep(1);
    edit->setKeyboardTracking(true);
    return edit;
}

} // namespace

C3DMapPropDlg::C3DMapPropDlg(QWidget* parent) : CDialog(kTemplateId, parent)
{
    setWindowTitle(QStringLiteral("属性"));

    m_imageCombo = new QComboBox;
    SetControlId(m_imageCombo, kIdImageCombo);
    m_areaCombo = new QComboBox;
    SetControlId(m_areaCombo, kIdAreaCombo);
    m_radioImage = new QRadioButton(QStringLiteral("显示红外热图对象"));
    SetControlId(m_radioImage, kIdRadioImage);
    m_radioArea = new QRadioButton(QStringLiteral("显示矩形分析对象"));
    SetControlId(m_radioArea, kIdRadioArea);
    m_rangeGroup = new QButtonGroup(this);
    m_rangeGroup->addButton(m_radioImage, 0);
    m_rangeGroup->addButton(m_radioArea, 1);

    m_frame = new QFrame;
    SetControlId(m_frame, kIdPreviewFrame);
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setFixedSize(kPreviewWidth + 2, kPreviewHeight + 2);
    m_preview = new CGLMapWnd(m_frame);
    SetControlId(m_preview, kIdPreview);
    m_preview->setGeometry(1, 1, kPreviewWidth, kPreviewHeight);

    m_editRotX = MakeEdit(-kMaxRotation, kMaxRotation);
    SetControlId(m_editRotX, kIdRotationX);
    m_editRotY = MakeEdit(-kMaxRotation, kMaxRotation);
    SetControlId(m_editRotY, kIdRotationY);
    m_editZoom = MakeEdit(kMinZoom, kMaxZoom);
    SetControlId(m_editZoom, kIdZoom);
    m_colorButton = new QPushButton;
    SetControlId(m_colorButton, kIdColor);
    m_colorButton->setFixedSize(48, 23);

    auto* range = new QGroupBox(QStringLiteral("渲染范围选择："));
    auto* rangeLayout = new QGridLayout(range);
    rangeLayout->addWidget(new QLabel(QStringLiteral("红外热图号:")), 0, 0);
    rangeLayout->addWidget(m_imageCombo, 0, 1);
    rangeLayout->addWidget(m_radioImage, 1, 0, 1, 2);
    rangeLayout->addWidget(new QLabel(QStringLiteral("区域号码:")), 2, 0);
    rangeLayout->addWidget(m_areaCombo, 2, 1);
    rangeLayout->addWidget(m_radioArea, 3, 0, 1, 2);

    auto* view = new QGridLayout;
    view->addWidget(new QLabel(QStringLiteral("绕X轴旋转:")), 0, 0);
    view->addWidget(m_editRotX, 0, 1);
    view->addWidget(new QLabel(QStringLiteral("绕Y轴旋转:")), 1, 0);
    view->addWidget(m_editRotY, 1, 1);
    view->addWidget(new QLabel(QStringLiteral("缩放:")), 2, 0);
    view->addWidget(m_editZoom, 2, 1);
    view->addWidget(new QLabel(QStringLiteral("背景色:")), 3, 0);
    view->addWidget(m_colorButton, 3, 1, Qt::AlignLeft);

    auto* left = new QVBoxLayout;
    left->addWidget(range);
    left->addLayout(view);
    left->addStretch(1);

    auto* preview = new QVBoxLayout;
    preview->addWidget(new QLabel(QStringLiteral("预览区：")));
    preview->addWidget(m_frame);

    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(preview);

    QDialogButtonBox* buttons = MakeOkCancel();
    if (auto* ok = qobject_cast<QPushButton*>(GetDlgItem(kIdOk)))
        ok->setText(QStringLiteral("确 定"));
    if (auto* cancel = qobject_cast<QPushButton*>(GetDlgItem(kIdCancel)))
        cancel->setText(QStringLiteral("取 消"));
    m_okButton = GetDlgItem(kIdOk);

    auto* top = new QVBoxLayout(this);
    top->addLayout(body);
    top->addWidget(buttons);

    connect(m_editRotX, &QDoubleSpinBox::valueChanged, this, [this] { OnRotationEdited(); });
    connect(m_editRotY, &QDoubleSpinBox::valueChanged, this, [this] { OnRotationEdited(); });
    connect(m_editZoom, &QDoubleSpinBox::valueChanged, this, [this] { OnZoomEdited(); });
    connect(m_colorButton, &QPushButton::clicked, this, [this] { OnColorButton(); });
    connect(m_imageCombo, &QComboBox::activated, this, [this] { OnImageSelected(); });
    connect(m_areaCombo, &QComboBox::activated, this, [this] { OnAreaSelected(); });
    connect(m_radioImage, &QRadioButton::clicked, this, [this] { OnRadioImage(); });
    connect(m_radioArea, &QRadioButton::clicked, this, [this] { OnRadioArea(); });
    connect(m_preview, &CGLMapWnd::viewChanged, this, &C3DMapPropDlg::OnPreviewChanged);
}

C3DMapPropDlg::~C3DMapPropDlg()
{
    FreeBuffers();
}

bool C3DMapPropDlg::DoDataExchange(bool save)
{
    m_exchanging = true;
    if (save) {
        m_fRotX = float(m_editRotX->value());
        m_fRotY = float(m_editRotY->value());
        m_fZoom = float(m_editZoom->value());
        m_nRange = RadioValue(m_rangeGroup);
    } else {
        m_editRotX->setValue(m_fRotX);
        m_editRotY->setValue(m_fRotY);
        m_editZoom->setValue(m_fZoom);
        SetRadioValue(m_rangeGroup, m_nRange);
    }
    m_exchanging = false;
    return true;
}

void C3DMapPropDlg::FreeBuffers()
{
    if (m_preview != nullptr)
        m_preview->SetData(QSize(), nullptr, nullptr);
    m_temperatures.reset();
    m_colors.reset();
}

void C3DMapPropDlg::EnableSettings(bool enable)
{
    m_editRotX->setEnabled(enable);
    m_editRotY->setEnabled(enable);
    m_editZoom->setEnabled(enable);
    m_colorButton->setEnabled(enable);
    m_okButton->setEnabled(enable);
}

bool C3DMapPropDlg::OnInitDialog()
{
    m_imageCombo->clear();
    int linkedEntry = -1;
    if (m_map != nullptr && m_map->ActiveView() != nullptr) {
        for (CDrawObj* obj : m_map->ActiveView()->GetIRObjects()) {
            const auto* image = dynamic_cast<const CDrawIR*>(obj);
            if (image == nullptr || !image->HasImage())
                continue;
            if (m_map->m_bLinked != 0 && image->m_nNumber == m_map->m_nIRNumber)
                linkedEntry = m_imageCombo->count();
            m_imageCombo->addItem(QString::number(image->m_nNumber));
        }
    }
    m_bHasImages = m_imageCombo->count() > 0;

    if (!m_bHasImages || m_map == nullptr) {
        m_radioImage->setEnabled(false);
        m_radioArea->setEnabled(false);
        m_imageCombo->setEnabled(false);
        m_areaCombo->setEnabled(false);
        EnableSettings(false);
        DoDataExchange(false);
        return true;
    }

    if (m_map->m_bLinked == 0 || linkedEntry < 0) {
        m_imageCombo->setCurrentIndex(0);
        m_clrBack = kWhite;
        m_bAreaSelected = false;
        m_nImageNumber = SelectedNumber(m_imageCombo);
        m_nAreaNumber = -1;
        m_nRange = 0;
        ResetPreviewView(true);
        LoadWholeImage(m_nImageNumber);
        m_areaCombo->setEnabled(true);
    } else {
        m_imageCombo->setCurrentIndex(linkedEntry);
        m_bAreaSelected = m_map->m_bAreaSelected != 0;
        m_nImageNumber = m_map->m_nIRNumber;
        m_nAreaNumber = m_map->m_nAreaNumber;
        m_clrBack = m_map->m_clrBack;
        m_fRotX = m_map->m_fRotX;
        m_fRotY = m_map->m_fRotY;
        m_fZoom = std::clamp(m_map->m_fZoom, float(kMinZoom), float(kMaxZoom));
        m_nRange = m_bAreaSelected ? 1 : 0;
        LoadWholeImage(m_nImageNumber);
        if (m_bAreaSelected) {
            LoadArea(m_nAreaNumber);
            const int entry = m_areaCombo->findText(QString::number(m_nAreaNumber));
            m_areaCombo->setCurrentIndex(entry);
        }
        m_imageCombo->setEnabled(!m_bAreaSelected);
        m_areaCombo->setEnabled(m_bAreaSelected && m_areaCombo->count() > 0);
        m_preview->SetRotationX(m_fRotX);
        m_preview->SetRotationY(m_fRotY);
        m_preview->SetScale(m_fZoom * 0.1f);
        m_preview->SetBackColor(m_clrBack);
    }
    ShowColor();
    DoDataExchange(false);
    m_bModified = false;
    return true;
}

int C3DMapPropDlg::SelectedNumber(const QComboBox* combo) const
{
    if (combo->currentIndex() < 0)
        return -1;
    bool ok = false;
    const int n = combo->currentText().trimmed().toInt(&ok);
    return ok ? n : -1;
}

void C3DMapPropDlg::ResetPreviewView(bool withZoom)
{
    m_clrBack = kWhite;
    m_preview->SetBackColor(kWhite);
    m_preview->SetRotationX(0);
    m_preview->SetRotationY(0);
    m_fRotX = m_fRotY = 0;
    if (withZoom) {
        m_preview->SetScale(1.0f);
        m_fZoom = 10;
    }
    ShowColor();
}

void C3DMapPropDlg::ShowColor()
{
    const QColor c = PageDC::ToQColor(m_clrBack);
    m_colorButton->setStyleSheet(QStringLiteral("background-color: %1;").arg(c.name()));
}

void C3DMapPropDlg::LoadData(bool area, int number)
{
    QSize size;
    std::unique_ptr<float[]> temperatures;
    std::unique_ptr<std::uint8_t[]> colors;
    if (m_map != nullptr) {
        temperatures = m_map->GetAreaTemperatures(m_nImageNumber, area, number, &size);
        QSize colorSize;
        colors = m_map->GetAreaColors(m_nImageNumber, area, number, &colorSize);
        if (temperatures == nullptr || colors == nullptr || colorSize != size) {
            temperatures.reset();
            colors.reset();
            size = QSize();
        }
    }
    // The preview lets go of the old buffers before they are freed.
    m_preview->SetData(size, colors.get(), temperatures.get());
    m_temperatures = std::move(temperatures);
    m_colors = std::move(colors);
    m_dataSize = size;
    m_bAreaSelected = area;
    if (area)
        m_nAreaNumber = number;
    EnableSettings(true);
}

void C3DMapPropDlg::LoadWholeImage(int number)
{
    m_nImageNumber = number;
    LoadData(false, -1);
    m_areaCombo->clear();
    std::vector<int> areas;
    if (m_map != nullptr)
        m_map->ListAreas(number, areas);
    for (int a : areas)
        m_areaCombo->addItem(QString::number(a));
    m_areaCombo->setCurrentIndex(-1);
}

void C3DMapPropDlg::LoadArea(int number)
{
    LoadData(true, number);
}

// ---- events

void C3DMapPropDlg::OnRotationEdited()
{
    if (m_exchanging || !m_bHasImages)
        return;
    m_bModified = true;
    m_fRotX = float(m_editRotX->value());
    m_fRotY = float(m_editRotY->value());
    m_preview->SetRotationX(m_fRotX);
    m_preview->SetRotationY(m_fRotY);
}

void C3DMapPropDlg::OnZoomEdited()
{
    if (m_exchanging || !m_bHasImages)
        return;
    m_bModified = true;
    m_fZoom = float(m_editZoom->value());
    m_preview->SetScale(m_fZoom * 0.1f);
}

void C3DMapPropDlg::OnColorButton()
{
    DocumentEnvironment* env =
        m_map != nullptr && m_map->GetDocument() != nullptr ? &m_map->GetDocument()->Environment() : nullptr;
    const std::optional<COLORREF> chosen =
        env != nullptr ? env->ChooseColor(m_clrBack) : DefaultDocumentEnvironment().ChooseColor(m_clrBack);
    if (chosen)
        OnColorChosen(*chosen);
}

void C3DMapPropDlg::OnColorChosen(COLORREF color)
{
    m_bModified = true;
    m_clrBack = color & 0xFFFFFF;
    m_preview->SetBackColor(m_clrBack);
    ShowColor();
}

void C3DMapPropDlg::OnImageSelected()
{
    m_bModified = true;
    m_bAreaSelected = false;
    const int number = SelectedNumber(m_imageCombo);
    m_nImageNumber = number;
    if (number < 0)
        return;
    m_nAreaNumber = -1;
    ResetPreviewView(true);
    DoDataExchange(false);
    LoadWholeImage(number);
}

void C3DMapPropDlg::OnAreaSelected()
{
    m_bModified = true;
    m_bAreaSelected = true;
    const int number = SelectedNumber(m_areaCombo);
    if (number < 0)
        return;
    m_nAreaNumber = number;
    LoadArea(number);
    ResetPreviewView(false);
    const int longer = std::max(m_dataSize.width(), m_dataSize.height());
    m_fZoom = longer > 0 ? float(std::min(kAreaZoomSpan / longer, int(kMaxZoom))) : float(kMaxZoom);
    m_preview->SetScale(m_fZoom * 0.1f);
    DoDataExchange(false);
}

void C3DMapPropDlg::OnRadioImage()
{
    m_imageCombo->setEnabled(m_imageCombo->count() > 0);
    m_areaCombo->setEnabled(false);
    m_nRange = 0;
    OnImageSelected();
}

void C3DMapPropDlg::OnRadioArea()
{
    m_imageCombo->setEnabled(false);
    m_areaCombo->setEnabled(m_areaCombo->count() > 0);
    m_nRange = 1;
}

void C3DMapPropDlg::OnPreviewChanged(int kind, float value)
{
    m_bModified = true;
    switch (kind) {
    case CGLMapWnd::kRotationX:
        m_fRotX = value;
        break;
    case CGLMapWnd::kRotationY:
        m_fRotY = value;
        break;
    case CGLMapWnd::kScale:
        m_fZoom = value * 10;
        break;
    default:
        return;
    }
    DoDataExchange(false);
}

// ---- closing

void C3DMapPropDlg::OnOK()
{
    if (m_bHasImages && m_map != nullptr) {
        DoDataExchange(true);
        const bool linked = m_map->LinkToIR(m_nImageNumber);
        if (linked && m_bAreaSelected)
            m_map->SelectArea(m_nAreaNumber);
        m_map->m_bChanged = 1;
        m_map->m_bLinked = linked ? 1 : 0;
        m_map->m_bAreaSelected = m_bAreaSelected ? 1 : 0;
        m_map->m_nIRNumber = linked ? m_nImageNumber : -1;
        m_map->m_nAreaNumber = m_nAreaNumber;
        m_map->m_clrBack = m_clrBack;
        m_map->m_fRotX = m_fRotX;
        m_map->m_fRotY = m_fRotY;
        m_map->m_fZoom = m_fZoom;
        m_map->m_nDataWidth = m_dataSize.width();
        m_map->m_nDataHeight = m_dataSize.height();
        // A snapshot that could not be taken is not claimed.
        m_map->m_bHasSnapshot = linked && m_preview->SnapshotToDib(&m_map->m_snapshot) ? 1 : 0;
    }
    FreeBuffers();
    QDialog::accept();
}

void C3DMapPropDlg::OnCancel()
{
    FreeBuffers();
    QDialog::reject();
}
