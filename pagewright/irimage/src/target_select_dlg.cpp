#include "irimage/target_select_dlg.h"

#include "document/document_environment.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace {
constexpr int kKindRole = Qt::UserRole;
constexpr int kNumberRole = Qt::UserRole + 1;
}

int CTargetSelectDlg::ListedKind(std::int32_t kind)
{
    return kind == 4 ? 3 : kind;
}

QString CTargetSelectDlg::EntryName(const IRAnalysisItem& item, const DocumentEnvironment& env)
{
    int word = doc_string::kAreaWord;
    if (item.kind == 1)
        word = doc_string::kPointWord;
    else if (item.kind == 2)
        word = doc_string::kLineWord;
    return env.LoadString(word) + QStringLiteral("%1").arg(item.number, 2, 10, QLatin1Char('0'));
}

CTargetSelectDlg::CTargetSelectDlg(const IRAnalysisArray& analyses, const DocumentEnvironment& env, QWidget* parent)
    : CDialog(kTemplateId, parent), m_analyses(analyses)
{
    setWindowTitle(QStringLiteral("选择"));
    m_combo = new QComboBox(this);
    SetControlId(m_combo, kTargetCombo);
    for (std::size_t i = 0; i < analyses.GetSize(); ++i) {
        const IRAnalysisItem& item = analyses[i];
        if (item.kind < 1 || item.kind > 4)
            continue;
        m_combo->addItem(EntryName(item, env));
        m_combo->setItemData(m_combo->count() - 1, ListedKind(item.kind), kKindRole);
        m_combo->setItemData(m_combo->count() - 1, item.number, kNumberRole);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_combo);
    layout->addWidget(MakeOkCancel());
}

bool CTargetSelectDlg::DoDataExchange(bool save)
{
    if (!save) {
        m_combo->setCurrentIndex(m_combo->count() > 0 ? 0 : -1);
        m_nIndex = -1;
        return true;
    }
    m_nIndex = -1;
    const int entry = m_combo->currentIndex();
    if (entry < 0)
        return true;
    const int kind = m_combo->itemData(entry, kKindRole).toInt();
    const int number = m_combo->itemData(entry, kNumberRole).toInt();
    for (std::size_t i = 0; i < m_analyses.GetSize(); ++i) {
        if (ListedKind(m_analyses[i].kind) == kind && m_analyses[i].number == number) {
            m_nIndex = int(i);
            break;
        }
    }
    return true;
}
