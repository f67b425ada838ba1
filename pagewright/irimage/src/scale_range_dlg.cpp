#include "irimage/scale_range_dlg.h"

#include "document/rpt_doc.h"

#include "skin/commit_edit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace {

// Half away from zero, to a tenth.
float RoundTenth(double v)
{
    return float(std::round(v * 10.0) / 10.0);
}

} // namespace

// A vertical slider, 0 at the top, that marks a band of positions (the
// image's own range) beside its groove.
class CScaleRangeDlg::BandSlider : public QSlider {
public:
    explicit BandSlider(QWidget* parent) : QSlider(Qt::Vertical, parent)
    {
        setRange(0, 100);
        setInvertedAppearance(true);
        setInvertedControls(true);
        setPageStep(10);
        setMinimumHeight(200);
    }
    void SetBand(int from, int to)
    {
        m_band = {std::min(from, to), std::max(from, to)};
        update();
    }
    std::pair<int, int> Band() const { return m_band; }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QSlider::paintEvent(e);
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        const QRect groove = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
        const QRect handle = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
        const int span = std::max(1, groove.height() - handle.height());
        const auto y = [&](int pos) {
            return groove.top() + handle.height() / 2 + QStyle::sliderPositionFromValue(0, 100, pos, span, false);
        };
        QPainter p(this);
        p.fillRect(QRect(QPoint(groove.right() + 3, y(m_band.first)), QPoint(groove.right() + 5, y(m_band.second))),
                   palette().highlight());
    }

private:
    std::pair<int, int> m_band{0, 0};
};

CScaleRangeDlg::CScaleRangeDlg(CDI_RptDoc* doc, int unit, float imageMax, float imageMin, QWidget* parent)
    : CDialog(kTemplateId, parent), m_doc(doc), m_unit(std::clamp(unit, 0, 2)), m_imageMax(imageMax),
      m_imageMin(imageMin)
{
    setWindowTitle(QStringLiteral("色标范围"));
    m_upperSlider = new BandSlider(this);
    m_lowerSlider = new BandSlider(this);
    SetControlId(m_upperSlider, kUpperSlider);
    SetControlId(m_lowerSlider, kLowerSlider);
    m_upperEdit = new CCommitEdit(this);
    m_lowerEdit = new CCommitEdit(this);
    SetControlId(m_upperEdit, kUpperEdit);
    SetControlId(m_lowerEdit, kLowerEdit);
    for (QLineEdit* edit : {m_upperEdit, m_lowerEdit})
        edit->setMaximumWidth(70);
    m_keepRange = new QCheckBox(QStringLiteral("保持温度范围"), this);
    SetControlId(m_keepRange, kKeepRange);
    const auto button = [this](const QString& text, int id) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false); // Enter belongs to the edits
        SetControlId(b, id);
        return b;
    };
    QPushButton* upperMinus = button(QStringLiteral("-"), kUpperMinus);
    QPushButton* upperPlus = button(QStringLiteral("+"), kUpperPlus);
    QPushButton* lowerMinus = button(QStringLiteral("-"), kLowerMinus);
    QPushButton* lowerPlus = button(QStringLiteral("+"), kLowerPlus);
    for (QPushButton* b : {upperMinus, upperPlus, lowerMinus, lowerPlus})
        b->setFixedWidth(28);
    QPushButton* autoRange = button(QStringLiteral("自动调整范围"), kAutoRange);
    QPushButton* close = button(QStringLiteral("关闭"), kClose);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("上限"), this), 0, 0, 1, 3, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("下限"), this), 0, 3, 1, 3, Qt::AlignHCenter);
    grid->addWidget(m_upperSlider, 1, 0, 1, 3, Qt::AlignHCenter);
    grid->addWidget(m_lowerSlider, 1, 3, 1, 3, Qt::AlignHCenter);
    grid->addWidget(upperMinus, 2, 0);
    grid->addWidget(m_upperEdit, 2, 1);
    grid->addWidget(upperPlus, 2, 2);
    grid->addWidget(lowerMinus, 2, 3);
    grid->addWidget(m_lowerEdit, 2, 4);
    grid->addWidget(lowerPlus, 2, 5);
    grid->addWidget(m_keepRange, 3, 0, 1, 6);
    grid->addWidget(autoRange, 4, 0, 1, 3);
    grid->addWidget(close, 4, 3, 1, 3);

    connect(m_upperSlider, &QSlider::valueChanged, this, [this](int p) { OnSlider(true, p); });
    connect(m_lowerSlider, &QSlider::valueChanged, this, [this](int p) { OnSlider(false, p); });
    connect(upperMinus, &QPushButton::clicked, this, [this] { OnStep(true, -0.1f); });
    connect(upperPlus, &QPushButton::clicked, this, [this] { OnStep(true, 0.1f); });
    connect(lowerMinus, &QPushButton::clicked, this, [this] { OnStep(false, -0.1f); });
    connect(lowerPlus, &QPushButton::clicked, this, [this] { OnStep(false, 0.1f); });
    connect(m_upperEdit, &CCommitEdit::focusLost, this, [this] { OnEdited(true); });
    connect(m_lowerEdit, &CCommitEdit::focusLost, this, [this] { OnEdited(false); });
    connect(autoRange, &QPushButton::clicked, this, [this] { OnAutoRange(); });
    connect(close, &QPushButton::clicked, this, [this] { reject(); });
}

float CScaleRangeDlg::ToUnit(float celsius) const
{
    switch (m_unit) {
    case 1: return float(double(celsius) * 1.8 + 32.0);
    case 2: return float(double(celsius) + 273.2);
    default: return celsius;
    }
}

float CScaleRangeDlg::ToCelsius(float value) const
{
    switch (m_unit) {
    case 1: return float((double(value) - 32.0) * 0.5555556);
    case 2: return float(double(value) - 273.2);
    default: return value;
    }
}

float CScaleRangeDlg::AbsoluteZero(int unit)
{
    switch (unit) {
    case 1: return -459.76f;
    case 2: return 0.0f;
    default: return -273.2f;
    }
}

int CScaleRangeDlg::ToTenthsCelsius(float value, int unit)
{
    double celsius = value;
    if (unit == 1)
        celsius = (double(value) - 32.0) * 0.5555556;
    else if (unit == 2)
        celsius = double(value) - 273.2;
    const double tenths = std::round(celsius * 10.0);
    return int(std::clamp(tenths, -2147483648.0, 2147483647.0));
}

int CScaleRangeDlg::Position(float value, float top, float bottom)
{
    const double span = double(top) - bottom;
    if (!(span > 0))
        return 0;
    const double p = 100.0 - std::trunc((double(value) - bottom) * 100.0 / span + 0.5);
    return int(std::clamp(p, 0.0, 100.0));
}

float CScaleRangeDlg::ValueAt(int position, float top, float bottom)
{
    return RoundTenth(double(bottom) + (double(top) - bottom) * (100 - position) * 0.01);
}

void CScaleRangeDlg::SetRange(float previousUpper, float previousLower, float upper, float lower)
{
    m_previousUpper = ToUnit(RoundTenth(previousUpper));
    m_previousLower = ToUnit(RoundTenth(previousLower));
    m_upper = ToUnit(RoundTenth(upper));
    m_lower = ToUnit(RoundTenth(lower));
}

void CScaleRangeDlg::GetRange(float* previousUpper, float* previousLower, float* upper, float* lower) const
{
    if (previousUpper != nullptr)
        *previousUpper = ToCelsius(m_previousUpper);
    if (previousLower != nullptr)
        *previousLower = ToCelsius(m_previousLower);
    if (upper != nullptr)
        *upper = ToCelsius(m_upper);
    if (lower != nullptr)
        *lower = ToCelsius(m_lower);
}

void CScaleRangeDlg::ComputeScale()
{
    // Three times the image's range, centred on it.
    m_top = ToUnit(float(2.0 * m_imageMax - m_imageMin));
    m_bottom = ToUnit(float(2.0 * m_imageMin - m_imageMax));
    m_top = std::max(m_top, m_upper);
    m_bottom = std::min(m_bottom, m_lower);
    m_bottom = std::max(m_bottom, AbsoluteZero(m_unit));
    m_top = std::max(m_top, m_bottom + 0.1f);
}

bool CScaleRangeDlg::OnInitDialog()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().width() - sizeHint().width() - 30, 100);
    m_previousUpper = m_upper;
    m_previousLower = m_lower;
    ComputeScale();
    ShowValues();
    return CDialog::OnInitDialog();
}

bool CScaleRangeDlg::DoDataExchange(bool save)
{
    (void)save;
    return true;
}

void CScaleRangeDlg::ShowValues()
{
    m_updating = true;
    const int bandFrom = Position(ToUnit(m_imageMax), m_top, m_bottom);
    const int bandTo = Position(ToUnit(m_imageMin), m_top, m_bottom);
    for (BandSlider* s : {m_upperSlider, m_lowerSlider})
        s->SetBand(bandFrom, bandTo);
    m_upperSlider->setValue(Position(m_upper, m_top, m_bottom));
    m_lowerSlider->setValue(Position(m_lower, m_top, m_bottom));
    m_upperEdit->setText(QString::number(double(m_upper), 'f', 1));
    m_lowerEdit->setText(QString::number(double(m_lower), 'f', 1));
    m_updating = false;
}

void CScaleRangeDlg::Notify()
{
    m_changed = true;
    emit rangeChanged(ToTenthsCelsius(m_upper, m_unit), ToTenthsCelsius(m_lower, m_unit));
}

void CScaleRangeDlg::OnSlider(bool upper, int position)
{
    if (m_updating)
        return;
    float newUpper = m_upper;
    float newLower = m_lower;
    const float value = ValueAt(position, m_top, m_bottom);
    if (m_keepRange->isChecked()) {
        const float delta = value - (upper ? m_upper : m_lower);
        (upper ? newUpper : newLower) = value;
        float& other = upper ? newLower : newUpper;
        other = RoundTenth(double(other) + delta);
        if (other < m_bottom || other > m_top) {
            ShowValues(); // the slider goes back
            return;
        }
    } else if (upper) {
        newUpper = std::max(value, m_lower);
    } else {
        newLower = std::min(value, m_upper);
    }
    newUpper = RoundTenth(newUpper);
    newLower = RoundTenth(newLower);
    if (newUpper == m_upper && newLower == m_lower) {
        ShowValues();
        return;
    }
    if (!m_changed && m_doc != nullptr)
        m_doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 1);
    m_upper = newUpper;
    m_lower = newLower;
    ShowValues();
    Notify();
}

void CScaleRangeDlg::OnStep(bool upper, float delta)
{
    float newUpper = m_upper;
    float newLower = m_lower;
    float& moved = upper ? newUpper : newLower;
    moved = RoundTenth(double(moved) + delta);
    if (m_keepRange->isChecked()) {
        float& other = upper ? newLower : newUpper;
        other = RoundTenth(double(other) + delta);
    }
    // Both stay within the scale, the lower not above the upper.
    if (newUpper > m_top || newLower < m_bottom || newLower > newUpper)
        return;
    if (!m_changed && m_doc != nullptr)
        m_doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 1);
    m_upper = newUpper;
    m_lower = newLower;
    ShowValues();
    Notify();
}

void CScaleRangeDlg::OnEdited(bool upper)
{
    if (m_updating)
        return;
    QLineEdit* edit = upper ? m_upperEdit : m_lowerEdit;
    bool ok = false;
    const double typed = edit->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(typed) || std::abs(typed) > 1e6) {
        ShowValues();
        return;
    }
    float newUpper = m_upper;
    float newLower = m_lower;
    if (upper)
        newUpper = std::max(RoundTenth(typed), m_lower);
    else
        newLower = std::max(std::min(RoundTenth(typed), m_upper), RoundTenth(AbsoluteZero(m_unit)));
    if (newUpper == m_upper && newLower == m_lower) {
        ShowValues();
        return;
    }
    if (!m_changed && m_doc != nullptr)
        m_doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 1);
    m_upper = newUpper;
    m_lower = newLower;
    // A typed value beyond the scale widens it.
    m_top = std::max(m_top, m_upper);
    m_bottom = std::min(m_bottom, m_lower);
    ShowValues();
    Notify();
}

void CScaleRangeDlg::OnAutoRange()
{
    const float upper = float(std::trunc(double(ToUnit(m_imageMax)) * 10.0) / 10.0);
    const float lower = float(std::trunc(double(ToUnit(m_imageMin)) * 10.0) / 10.0);
    if (!m_changed && m_doc != nullptr)
        m_doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 1);
    m_upper = std::max(upper, lower);
    m_lower = std::min(upper, lower);
    ComputeScale();
    ShowValues();
    Notify();
}

void CScaleRangeDlg::OnCancel()
{
    if (m_changed && !m_stepClosed && m_doc != nullptr)
        m_doc->SaveUndoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 1);
    m_stepClosed = m_changed;
    CDialog::OnCancel();
}
