#include "content/field_prop.h"

#include "content/field_catalogue.h"
#include "document/document_environment.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Text(const DocumentEnvironment& env, int id)
{
    QString t = env.LoadString(id);
    return t.isEmpty() ? field_catalogue::BuiltInText(id) : t;
}

} // namespace

CFieldProp::CFieldProp(DocumentEnvironment& env, QWidget* parent)
    : PropertyPage(kTemplateId, QStringLiteral("属性域"), parent), m_env(env)
{
    auto* layout = new QGridLayout(this);
    auto* groupBox = new QGroupBox(QStringLiteral("对象分类"), this);
    auto* groupLayout = new QVBoxLayout(groupBox);
    m_groupList = new QListWidget(groupBox);
    SetControlId(m_groupList, kGroupList);
    groupLayout->addWidget(m_groupList);
    layout->addWidget(groupBox, 0, 0, 4, 1);

    layout->addWidget(new QLabel(QStringLiteral("属性"), this), 0, 1, 1, 2);
    m_fieldList = new QListWidget(this);
    SetControlId(m_fieldList, kFieldList);
    layout->addWidget(m_fieldList, 1, 1, 1, 2);

    auto* imageLabel = new QLabel(QStringLiteral("红外热像号:"), this);
    SetControlId(imageLabel, kImageLabel);
    m_imageEdit = new QLineEdit(this);
    SetControlId(m_imageEdit, kImageNumber);
    layout->addWidget(imageLabel, 2, 1);
    layout->addWidget(m_imageEdit, 2, 2);
    m_objectLabel = new QLabel(QStringLiteral("对象号:"), this);
    SetControlId(m_objectLabel, kObjectLabel);
    m_objectEdit = new QLineEdit(this);
    SetControlId(m_objectEdit, kObjectNumber);
    layout->addWidget(m_objectLabel, 3, 1);
    layout->addWidget(m_objectEdit, 3, 2);
    m_difference = new QCheckBox(QStringLiteral("显示和参考温度的差值"), this);
    SetControlId(m_difference, kDifference);
    layout->addWidget(m_difference, 4, 0, 1, 3);

    connect(m_groupList, &QListWidget::currentRowChanged, this, [this](int) { FillFieldList(); });
    connect(m_fieldList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!m_filling)
            OnFieldItemChanged(m_fieldList->row(item), item->checkState() == Qt::Checked);
    });
    connect(m_fieldList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_filling && m_nMode == kSingleField && row >= 0)
            OnFieldItemChanged(row, true);
    });
}

bool CFieldProp::OnInitDialog()
{
    const bool several = m_nMode == kSeveralFields;
    m_objectLabel->setVisible(!several);
    m_objectEdit->setVisible(!several);
    m_difference->setVisible(several);
    m_filling = true;
    m_groupList->clear();
    for (int g = 0; g < field_catalogue::kGroups; ++g)
        m_groupList->addItem(Text(m_env, field_catalogue::kGroupNameBase + g));
    m_filling = false;
    if (several) {
        m_groupList->setCurrentRow(0);
    } else {
        // Only a field of the seven groups selects one (-1 selects none).
        const int group = field_catalogue::GroupOfId(m_nFieldId);
        m_nSelectedGroup = group;
        m_nSelectedIndex = group >= 0 ? m_nFieldId % 100 : -1;
        if (group >= 0)
            m_groupList->setCurrentRow(group);
        else
            FillFieldList();
    }
    return UpdateData(false);
}

void CFieldProp::FillFieldList()
{
    const int g = m_groupList->currentRow();
    const bool single = m_nMode == kSingleField;
    if (single)
        m_objectEdit->setEnabled(g >= 3);
    if (g < 0 || g >= field_catalogue::kGroups)
        return;
    const int current = m_nFieldId;
    m_filling = true;
    m_fieldList->setUpdatesEnabled(false);
    m_fieldList->clear();
    const int first = field_catalogue::kFirstIds[static_cast<std::size_t>(g)];
    for (int i = 0; i < field_catalogue::kCounts[static_cast<std::size_t>(g)]; ++i) {
        auto* item = new QListWidgetItem(Text(m_env, first + i), m_fieldList);
        if (!single) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(FieldIdList.contains(quint32(first + i)) ? Qt::Checked : Qt::Unchecked);
        }
    }
    m_nFieldId = current;
    m_hotItem = -1;
    if (single && g == m_nSelectedGroup && m_nSelectedIndex >= 0 && m_nSelectedIndex < m_fieldList->count()) {
        m_hotItem = m_nSelectedIndex;
        m_fieldList->setCurrentRow(m_hotItem);
    }
    m_fieldList->setUpdatesEnabled(true);
    m_filling = false;
}

void CFieldProp::OnFieldItemChanged(int index, bool checked)
{
    const int g = m_groupList->currentRow();
    if (g < 0 || g >= field_catalogue::kGroups || index < 0)
        return;
    const int id = field_catalogue::kFirstIds[static_cast<std::size_t>(g)] + index;
    m_nFieldId = id;
    if (!checked)
        FieldIdList.removeAll(quint32(id));
    else if (!FieldIdList.contains(quint32(id)))
        FieldIdList.append(quint32(id));
    if (m_nMode == kSingleField) {
        m_hotItem = index;
        m_nSelectedGroup = g;
        m_nSelectedIndex = index;
    }
}

void CFieldProp::DoDataExchange(DataExchange& dx)
{
    dx.Text(kImageNumber, m_nImageNumber);
    dx.MinMax(m_nImageNumber, 1, 1000);
    dx.Text(kObjectNumber, m_nObjectNumber);
    dx.MinMax(m_nObjectNumber, 1, 101);
    dx.Check(kDifference, m_bDifference);
}

void CFieldProp::OnOK()
{
    if (m_nMode == kSeveralFields)
        std::sort(FieldIdList.begin(), FieldIdList.end());
}
