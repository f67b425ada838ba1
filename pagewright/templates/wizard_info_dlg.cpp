#include "wizard_info_dlg.h"

#include "layout_file.h"
#include "resource_ids.h"
#include "wizard_dialogs.h"
#include "wizard_file.h"
#include "wizard_state.h"

#include "document/document_environment.h"
#include "skin/message_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kBreak = QStringLiteral("\r\n");
constexpr int kMaxObjects = 10000;

// A heading, then its value on a line of its own.
QString Entry(int stringId, const QString& value) { return WizardString(stringId) + kBreak + QStringLiteral(" +") + value + kBreak; }

} // namespace

QString BuildWizardSummary(const WizardState& state, int mode, const LayoutFile& layout)
{
    QString text = Entry(res::IDS_WIZARD_REPORT_NAME, state.strWizardReportName);
    if (mode == 1) {
        text += Entry(res::IDS_WIZARD_REPORT_TITLE, state.strWizardReportTitle);
        text += Entry(res::IDS_WIZARD_COMPANY, state.strWizardCompany);
        text += Entry(res::IDS_WIZARD_TEXT_CHANGES, state.strWizardDescription);
    }
    const int images = std::clamp(mode == 0 ? layout.ObjCount(kLayoutIR) : state.nWizardImageCount, 0, kMaxObjects);
    const QString item = kBreak + QStringLiteral(" +");
    for (int i = 1; i <= images; ++i) {
        text += item + WizardString(res::IDS_WIZARD_IMAGE_ITEM, i) + QStringLiteral(": ") +
                WizardState::At(state.astrWizardIRPaths, i - 1);
        const QString label = WizardString(res::IDS_WIZARD_PHOTO_ITEM, i);
        const QString picture = WizardState::At(state.astrWizardPhotoPaths, i - 1);
        if (mode == 0 && LayoutPhotoOfImage(layout, i) == 0 && !picture.isEmpty())
            text += item + label + QStringLiteral(": ") + WizardString(res::IDS_WIZARD_NO_PHOTO_OBJECT);
        else
            text += item + label + QStringLiteral(": ") + (state.UsePhoto(i - 1) ? picture : QString());
        if (mode == 1) {
            for (const QStringList* list : {&state.astrWizardPageTitles, &state.astrWizardSections, &state.astrWizardDeviceNames}) {
                const QString value = WizardState::At(*list, i - 1);
                if (!value.isEmpty())
                    text += item + value;
            }
        }
    }
    if (mode == 1 && images > 0) {
        const std::pair<bool, int> checks[] = {{state.bWizardAttributeTable, res::IDS_WIZARD_PROPERTY_TABLE},
                                               {state.bWizardLineProfile, res::IDS_WIZARD_LINE_CHART},
                                               {state.bWizardHistogram, res::IDS_WIZARD_HISTOGRAM}};
        for (const auto& [set, name] : checks) {
            if (set)
                text += kBreak + kBreak + QStringLiteral("+") + WizardString(name);
        }
    }
    if (mode != 0)
        return text;

    text += kBreak + kBreak + WizardString(res::IDS_WIZARD_TEXT_CHANGES);
    const int texts = std::clamp(layout.ObjCount(kLayoutText), 0, kMaxObjects);
    for (int t = 1; t <= texts; ++t) {
        const QString before = layout.TextContent(t);
        const QString after = WizardState::At(state.astrWizardTexts, t - 1);
        if (before != after)
            text += kBreak + before + QStringLiteral("-->") + after;
    }
    text += kBreak + kBreak + WizardString(res::IDS_WIZARD_TABLE_CHANGES);
    // The table page lists the last table first.
    const int tables = std::clamp(layout.ObjCount(kLayoutTable), 0, kMaxObjects);
    int rowsSoFar = 0;
    for (int t = 1; t <= tables; ++t) {
        const int rows = std::clamp(layout.Int(u"DrawTable", LayoutKey(t, "Row"), 0), 0, kMaxObjects);
        const int cols = std::clamp(layout.Int(u"DrawTable", LayoutKey(t, "Col"), 0), 0, kMaxObjects);
        rowsSoFar += rows;
        const int first = state.nWizardTableRows - rowsSoFar;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < cols; ++c) {
                const QString before = layout.CellContent(t, r, c).value_or(QString());
                const QString after = state.Cell(first + r, c);
                if (before != after)
                    text += kBreak + before + QStringLiteral("-->") + after;
            }
        }
    }
    return text;
}

CWizardInfoDlg::CWizardInfoDlg(QWidget* parent) : CDialog(res::IDD_WIZARD_INFO, parent)
{
    setWindowTitle(QStringLiteral("信息"));
    auto* heading = new QLabel(QStringLiteral("创建报表完成，相关信息如下："), this);
    SetControlId(heading, 493);
    m_summary = new QPlainTextEdit(this);
    m_summary->setReadOnly(true);
    m_summary->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetControlId(m_summary, kSummary);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_summary, 1);
    layout->addWidget(MakeOkCancel());
    resize(DialogUnitsX(287), DialogUnitsY(224));
}

bool CWizardInfoDlg::OnInitDialog()
{
    WizardState& state = TheWizardState();
    m_strSummary = BuildWizardSummary(state, m_nMode, LayoutFile::Load(state.strTemplateIniPath));
    return CDialog::OnInitDialog();
}

bool CWizardInfoDlg::DoDataExchange(bool save)
{
    if (save)
        m_strSummary = m_summary->toPlainText().replace(QLatin1Char('\n'), kBreak);
    else
        m_summary->setPlainText(QString(m_strSummary).replace(kBreak, QStringLiteral("\n")));
    return true;
}

void CWizardInfoDlg::OnOK()
{
    WizardState& state = TheWizardState();
    const QString path = WizardFilePath(WizardEnvironment().ProgramFolder());
    const LayoutFile layout = LayoutFile::Load(state.strTemplateIniPath);
    if (layout.IsDamaged()) {
        AfxMessageBox(res::IDS_TEMPLATE_DAMAGED, MB_ICONSTOP);
        return;
    }
    QString error;
    if (!WriteWizardFile(path, state, m_nMode, layout, &error)) {
        AfxMessageBox(error.left(1024));
        return;
    }
    CDialog::OnOK();
}
