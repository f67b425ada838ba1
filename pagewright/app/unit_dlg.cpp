#include "unit_dlg.h"

#include "resource_ids.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QButtonGroup* radioBox(QWidget* owner, QGroupBox* box, std::initializer_list<std::pair<int, const char*>> items)
{
    auto* group = new QButtonGroup(owner);
    auto* layout = new QVBoxLayout(box);
    for (const auto& [id, text] : items) {
        auto* radio = new QRadioButton(QString::fromUtf8(text), box);
        radio->setProperty("controlId", id);
        radio->setObjectName(QString::number(id));
        group->addButton(radio);
        layout->addWidget(radio);
    }
    return group;
}

} // namespace

CUnitDlg::CUnitDlg(QWidget* parent) : CDialog(res::IDD_UNITS, parent)
{
    setWindowTitle(QStringLiteral("单位"));
    auto* distance = new QGroupBox(QStringLiteral("距离"), this);
    m_length = radioBox(this, distance, {{res::IDC_METRE, "米"}, {res::IDC_FEET, "英尺"}});
    auto* temperature = new QGroupBox(QStringLiteral("温度"), this);
    m_temp = radioBox(this, temperature,
                      {{res::IDC_TEMP_C, "摄氏度"}, {res::IDC_TEMP_F, "华氏"}, {res::IDC_TEMP_K, "开尔文"}});
    m_save = new QCheckBox(QStringLiteral("保存为默认设置"), this);
    SetControlId(m_save, res::IDC_SAVE_DEFAULT);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(distance);
    boxes->addWidget(temperature);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(m_save);
    layout->addWidget(MakeOkCancel());
}

bool CUnitDlg::DoDataExchange(bool save)
{
    if (save) {
        m_lengthUnit = RadioValue(m_length);
        m_tempUnit = RadioValue(m_temp);
        m_saveDefault = m_save->isChecked();
    } else {
        SetRadioValue(m_length, m_lengthUnit);
        SetRadioValue(m_temp, m_tempUnit);
        m_save->setChecked(m_saveDefault);
    }
    return true;
}
