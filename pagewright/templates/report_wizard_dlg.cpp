#include "report_wizard_dlg.h"

#include "resource_ids.h"
#include "template_pictures.h"
#include "wizard_dialogs.h"
#include "wizard_info_dlg.h"
#include "wizard_new_report_pages.h"
#include "wizard_state.h"
#include "wizard_template_pages.h"

#include "skin/message_box.h"

#include <QFrame>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>

// ---- page

CWizardPage::CWizardPage(int templateId, CReportWizardDlg* frame) : CDialog(templateId, frame), m_frame(frame)
{
    setWindowFlags(Qt::Widget);
}

void CWizardPage::Create() { OnInitDialog(); }

void CWizardPage::showEvent(QShowEvent* e)
{
    // Initialised once, when the frame added the page.
    QDialog::showEvent(e);
}

void CWizardPage::accept() { m_frame->OnOK(); }

void CWizardPage::reject() { m_frame->OnCancel(); }

// ---- frame

CReportWizardDlg::CReportWizardDlg(QWidget* parent) : CDialog(res::IDD_REPORT_WIZARD, parent)
{
    setWindowTitle(QStringLiteral("向导"));
    auto* area = new QGroupBox(this);
    SetControlId(area, kPageArea);
    PlaceInDialogUnits(area, 0, 19, 352, 150);
    area->setFlat(true);
    area->setStyleSheet(QStringLiteral("QGroupBox { border: none; }"));
    for (int y : {18, 169}) {
        auto* line = new QFrame(this);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        PlaceInDialogUnits(line, 0, y, 352, 1);
    }
    struct ButtonSpec {
        int id;
        const char* text;
        int x;
    };
    for (const ButtonSpec& b : {ButtonSpec{kBack, "上一步", 140}, ButtonSpec{kNext, "下一步", 192},
                                ButtonSpec{kFinish, "完成", 246}, ButtonSpec{kCancel, "取消", 298}}) {
        auto* button = new QPushButton(QString::fromUtf8(b.text), this);
        SetControlId(button, b.id);
        PlaceInDialogUnits(button, b.x, 179, 48, 15);
        button->setAutoDefault(false);
        if (b.id == kFinish)
            button->setDefault(true);
    }
    setFixedSize(DialogUnitsX(352), DialogUnitsY(203));
    connect(GetDlgItemAs<QPushButton>(kBack), &QPushButton::clicked, this, &CReportWizardDlg::OnBack);
    connect(GetDlgItemAs<QPushButton>(kNext), &QPushButton::clicked, this, &CReportWizardDlg::OnNext);
    connect(GetDlgItemAs<QPushButton>(kFinish), &QPushButton::clicked, this, &QDialog::accept);
    connect(GetDlgItemAs<QPushButton>(kCancel), &QPushButton::clicked, this, &QDialog::reject);
}

CReportWizardDlg::~CReportWizardDlg()
{
    for (const Node& node : m_pages)
        delete node.page;
}

bool CReportWizardDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pageArea = GetDlgItem(kPageArea)->geometry();
    if (m_pages.empty()) {
        if (m_nMode != 1) {
            m_irPage = new CWizardIRPage(this);
            m_textPage = new CWizardTextPage(this);
            m_tablePage = new CWizardTablePage(this);
            AddPage(m_irPage, res::IDD_WIZARD_IR);
            AddPage(m_textPage, res::IDD_WIZARD_TEXT);
            AddPage(m_tablePage, res::IDD_WIZARD_TABLE);
        } else {
            m_reportInfoPage = new CWizardReportInfoPage(this);
            m_irListPage = new CWizardIRListPage(this);
            m_objectsPage = new CWizardObjectsPage(this);
            AddPage(m_reportInfoPage, res::IDD_WIZARD_REPORT_INFO);
            AddPage(m_irListPage, res::IDD_WIZARD_IR_LIST);
            AddPage(m_objectsPage, res::IDD_WIZARD_OBJECTS);
        }
    }
    ShowPage(1);
    return true;
}

void CReportWizardDlg::AddPage(CWizardPage* page, int templateId)
{
    (void)templateId; // the page knows its own template
    page->hide();
    page->setGeometry(m_pageArea);
    page->Create();
    ++m_nPageCount;
    m_pages.push_back({m_nPageCount, page});
}

CWizardPage* CReportWizardDlg::Page(int n) const
{
    for (const Node& node : m_pages) {
        if (node.number == n)
            return node.page;
    }
    return nullptr;
}

void CReportWizardDlg::ShowPage(int n)
{
    for (const Node& node : m_pages) {
        if (node.number == n) {
            node.page->show();
            setWindowTitle(QStringLiteral("Guide page %1 of %2").arg(n).arg(m_nPageCount));
            update();
        } else {
            node.page->hide();
        }
    }
    if (n >= m_nPageCount) {
        m_nCurPage = m_nPageCount;
        EnableButtons(2);
    } else if (n == 1) {
        m_nCurPage = 1;
    } else if (n > 1) {
        EnableButtons(1);
        m_nCurPage = n;
    } else {
        // Back on the first page: to the chooser.
        m_nCurPage = 1;
        if (QWidget* chooser = parentWidget())
            chooser->show();
        done(Rejected);
        EnableButtons(1);
    }
}

void CReportWizardDlg::EnableButtons(int state)
{
    for (int id : {kCancel, kBack, kNext, kFinish})
        GetDlgItem(id)->setEnabled(true);
    if (state == 0)
        GetDlgItem(kBack)->setEnabled(false);
    else if (state == 2)
        GetDlgItem(kNext)->setEnabled(false);
}

void CReportWizardDlg::OnBack() { ShowPage(m_nCurPage - 1); }

void CReportWizardDlg::TakeOverReportData()
{
    WizardState& state = TheWizardState();
    if (m_nMode == 1) {
        m_reportInfoPage->UpdateData(true);
        state.strWizardReportName = m_reportInfoPage->m_strFileName.isEmpty() ? WizardString(res::IDS_REPORT_NAME)
                                                                                : m_reportInfoPage->m_strFileName;
        state.strWizardReportTitle = m_reportInfoPage->m_strTitle;
        state.strWizardCompany = m_reportInfoPage->m_strCompany;
        state.strWizardDescription = m_reportInfoPage->m_strDescription;
    } else {
        m_textPage->UpdateData(true);
        state.strWizardReportName =
            m_textPage->m_strReportName.isEmpty() ? QStringLiteral("WizardReport1") : m_textPage->m_strReportName;
    }
}

void CReportWizardDlg::OnNext()
{
    if (m_nCurPage == 2)
        TakeOverReportData();
    ShowPage(m_nCurPage + 1);
}

void CReportWizardDlg::OnOK()
{
    TakeOverReportData();
    if (m_nMode == 1) {
        WizardState& state = TheWizardState();
        m_irListPage->UpdateData(true);
        state.nWizardImageCount = m_irListPage->m_nImageCount;
        m_objectsPage->UpdateData(true);
        state.bWizardAttributeTable = m_objectsPage->IsChecked(0);
        state.bWizardLineProfile = m_objectsPage->IsChecked(1);
        state.bWizardHistogram = m_objectsPage->IsChecked(2);
    }
    CWizardInfoDlg info(this);
    info.m_nMode = m_nMode;
    if (RunWizardDialog(info) == kIdOk)
        done(Accepted);
}

void CReportWizardDlg::OnCancel()
{
    if (AfxMessageBox(res::IDS_WIZARD_QUIT, MB_OKCANCEL | MB_ICONQUESTION) == IDCANCEL_ANSWER)
        return;
    emit wizardAbort(1, 1);
    done(Rejected);
}

QString CReportWizardDlg::Prompt() const
{
    static constexpr int kTemplatePrompts[] = {res::IDS_WIZARD_PROMPT_IMAGES, res::IDS_WIZARD_PROMPT_TEXTS,
                                               res::IDS_WIZARD_PROMPT_TABLES};
    static constexpr int kNewReportPrompts[] = {res::IDS_WIZARD_PROMPT_TEXTS, res::IDS_WIZARD_PROMPT_IMAGES,
                                                res::IDS_WIZARD_PROMPT_TABLES};
    if (m_nCurPage < 1 || m_nCurPage > 3)
        return {};
    return WizardString(m_nMode == 1 ? kNewReportPrompts[m_nCurPage - 1] : kTemplatePrompts[m_nCurPage - 1]);
}

void CReportWizardDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage& header = TemplatePicture(res::IDB_WIZARD_HEADER);
    p.drawImage(0, 0, header);
    QFont font(QStringLiteral("System"));
    font.setPointSize(12);
    p.setFont(font);
    p.setPen(Qt::black);
    const QString prompt = Prompt();
    p.drawText(QRect(10, 5, width() - 20, kHeaderHeight - 5), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, prompt);
}
