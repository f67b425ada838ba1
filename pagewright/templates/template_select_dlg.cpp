#include "template_select_dlg.h"

#include "layout_file.h"
#include "report_wizard_dlg.h"
#include "resource_ids.h"
#include "rpt_app.h"
#include "wizard_dialogs.h"
#include "wizard_state.h"

#include "document/document_environment.h"
#include "skin/caption.h"
#include "skin/message_box.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"
#include "skin/skin_scroll_frame.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int kWidthDu = 363;
constexpr int kHeightDu = 234;

skin::CaptionColors ChooserCaptionColors(bool active)
{
    skin::CaptionColors c;
    const skin::SkinState* s = skin::CurrentSkin();
    if (s == nullptr)
        return c;
    c.bandFrom = active ? s->m_clrSkinPale : s->m_clrSkinGrey;
    c.bandTo = active ? s->m_clrSkinMid : s->m_clrSkinMuted;
    c.border = {active ? s->m_clrSkinDark : s->m_clrSkinMuted, s->m_clrSkinMid};
    c.text = s->m_clrSkinDark2;
    return c;
}

QColor Background()
{
    const skin::SkinState* s = skin::CurrentSkin();
    return s != nullptr ? skin::ToQColor(s->m_clrSkinMid) : QColor(Qt::lightGray);
}

} // namespace

CTemplateSelectDlg::CTemplateSelectDlg(QWidget* parent) : CDialog(res::IDD_TEMPLATE_SELECT, parent)
{
    setWindowTitle(QStringLiteral("选择模板"));
    setWindowFlag(Qt::FramelessWindowHint);
    m_caption = new skin::CaptionBar(this, skin::kCloseOnly, &ChooserCaptionColors, []() -> const skin::ImageList* {
        const skin::SkinState* s = skin::CurrentSkin();
        return s != nullptr ? &s->m_ilSkinLarge : nullptr;
    });
    m_caption->setObjectName(QStringLiteral("Caption"));
    m_caption->SetTarget(this);
    connect(m_caption, &skin::CaptionBar::buttonClicked, this, [this](int button) {
        if (button == skin::kCloseButton)
            close();
    });
    const int top = skin::CaptionBandHeight();

    m_list = new QListWidget(this);
    SetControlId(m_list, kList);
    PlaceInDialogUnits(m_list, 7, 10, 157, 183, top);
    m_frame = new QGroupBox(this);
    SetControlId(m_frame, kFrame);
    PlaceInDialogUnits(m_frame, 171, 10, 183, 183, top);
    m_previousPage = new QPushButton(QStringLiteral("<-"), this);
    SetControlId(m_previousPage, kPreviousPage);
    PlaceInDialogUnits(m_previousPage, 226, 197, 24, 13, top);
    m_pageText = new QLabel(QStringLiteral("1/1"), this);
    m_pageText->setAlignment(Qt::AlignCenter);
    SetControlId(m_pageText, kPageText);
    PlaceInDialogUnits(m_pageText, 250, 199, 24, 10, top);
    m_nextPage = new QPushButton(QStringLiteral("->"), this);
    SetControlId(m_nextPage, kNextPage);
    PlaceInDialogUnits(m_nextPage, 274, 197, 24, 13, top);
    m_useWizard = new QPushButton(QStringLiteral("使用向导"), this);
    SetControlId(m_useWizard, kUseWizard);
    PlaceInDialogUnits(m_useWizard, 7, 213, 60, 14, top);
    auto* open = new QPushButton(QStringLiteral("打开"), this);
    open->setDefault(true);
    SetControlId(open, kIdOk);
    PlaceInDialogUnits(open, 240, 213, 54, 14, top);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    SetControlId(cancel, kIdCancel);
    PlaceInDialogUnits(cancel, 300, 213, 54, 14, top);
    setFixedSize(DialogUnitsX(kWidthDu), top + DialogUnitsY(kHeightDu));

    connect(open, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, &CTemplateSelectDlg::OnSelectionChanged);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(m_useWizard, &QPushButton::clicked, this, &CTemplateSelectDlg::OnUseWizard);
    connect(m_nextPage, &QPushButton::clicked, this, &CTemplateSelectDlg::OnNextPage);
    connect(m_previousPage, &QPushButton::clicked, this, &CTemplateSelectDlg::OnPreviousPage);
}

QString CTemplateSelectDlg::TemplateFolder() const
{
    return WizardEnvironment().FindProgramFile(QStringLiteral("template")) + QLatin1Char('/');
}

QString CTemplateSelectDlg::NewTemplatePath() const
{
    const QStringList found = QDir(TemplateFolder()).entryList({QStringLiteral("NewTemp.rpt")}, QDir::Files);
    return found.isEmpty() ? QString() : TemplateFolder() + found.first();
}

void CTemplateSelectDlg::FillList()
{
    m_list->clear();
    m_list->addItem(WizardString(res::IDS_EMPTY_REPORT_ENTRY));
    if (!NewTemplatePath().isEmpty())
        m_list->addItem(WizardString(res::IDS_NEW_REPORT_ENTRY));
    // Templates by name; the extension in any case.
    const QDir folder(TemplateFolder());
    const QFileInfoList files =
        folder.entryInfoList({QStringLiteral("*.rpm")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        auto* item = new QListWidgetItem(file.completeBaseName(), m_list);
        item->setData(Qt::UserRole, file.absoluteFilePath());
    }
}

bool CTemplateSelectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (const skin::SkinState* s = skin::CurrentSkin())
        SkinWndScroll(m_list, s->m_hSkinScrollBitmap, false);
    m_list->blockSignals(true);
    FillList();
    m_list->setCurrentRow(0);
    m_list->blockSignals(false);
    m_useWizard->setEnabled(false);
    m_page = MakeThumbnailPage();
    if (m_page.isNull()) {
        // Without its page image the chooser cannot show a template.
        AfxMessageBox(res::IDS_PAGE_IMAGE_FAILED, MB_ICONSTOP);
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return true;
    }
    m_nCurPage = 0;
    ShowPageControls(false);
    return true;
}

bool CTemplateSelectDlg::IsNewReportEntry() const
{
    return m_list->currentRow() == 1 && m_list->item(1)->text() == WizardString(res::IDS_NEW_REPORT_ENTRY);
}

QRect CTemplateSelectDlg::PreviewRect() const { return m_frame->geometry().adjusted(1, 8, -2, -2); }

void CTemplateSelectDlg::ShowPageControls(bool show)
{
    m_nextPage->setVisible(show);
    m_previousPage->setVisible(show);
    m_pageText->setVisible(show);
}

void CTemplateSelectDlg::DrawTemplatePreview()
{
    const int row = m_list->currentRow();
    m_layoutDamaged = false;
    if (IsNewReportEntry()) {
        m_thumbnailShown = false;
        if (NewTemplatePath().isEmpty()) {
            AfxMessageBox(res::IDS_NEW_TEMPLATE_MISSING);
            m_list->setCurrentRow(0);
            return;
        }
        m_useWizard->setEnabled(true);
        ShowPageControls(false);
        update();
        return;
    }
    if (row <= 0) {
        m_thumbnailShown = false;
        m_useWizard->setEnabled(false);
        ShowPageControls(false);
        update();
        return;
    }
    m_useWizard->setEnabled(true);
    m_strTemplatePath = m_list->item(row)->data(Qt::UserRole).toString();
    const QString layoutPath = LayoutFilePath(m_strTemplatePath);
    TheWizardState().strTemplateIniPath = layoutPath;

    // A layout file that is missing or out of date is written anew once.
    if (!QFileInfo::exists(layoutPath) || LayoutFile::Load(layoutPath).Int(u"System", QStringLiteral("Updated"), 0) == 0) {
        QFile file(layoutPath);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.close();
            theApp().ConvertReportTemplate(m_strTemplatePath, QString(), 0);
        }
    }
    const LayoutFile layout = LayoutFile::Load(layoutPath);
    m_layoutDamaged = layout.IsDamaged();
    // The wizard cannot run on a damaged layout.
    m_useWizard->setEnabled(!m_layoutDamaged);
    m_pages = ReadThumbnailPages(layout);
    m_nCurPage = ClampThumbnailPage(m_nCurPage, m_pages.count);
    ShowPageControls(m_pages.count > 1);
    m_pageText->setText(QStringLiteral("%1/%2").arg(m_nCurPage + 1).arg(m_pages.count));
    DrawTemplateThumbnail(m_page, layout, m_nCurPage);
    m_thumbnailShown = !m_page.isNull();
    // Reduced by averaging, so that one-pixel lines stay visible.
    if (m_thumbnailShown)
        m_preview = m_page.copy(ThumbnailSourceRect(m_pages)).scaled(PreviewRect().size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    update();
}

void CTemplateSelectDlg::OnSelectionChanged()
{
    DrawTemplatePreview();
    // Said when the template is chosen, not at the end of a wizard that
    // could not use it; the chooser stays open for another choice.
    if (m_layoutDamaged)
        AfxMessageBox(res::IDS_TEMPLATE_DAMAGED, MB_ICONSTOP);
}

void CTemplateSelectDlg::OnNextPage()
{
    ++m_nCurPage;
    DrawTemplatePreview();
}

void CTemplateSelectDlg::OnPreviousPage()
{
    --m_nCurPage;
    DrawTemplatePreview();
}

void CTemplateSelectDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Background());
    if (m_thumbnailShown)
        p.drawImage(PreviewRect().topLeft(), m_preview);
    skin::PaintFrameBorder(p, size(), skin::CaptionBandHeight(), ChooserCaptionColors(m_caption->IsActive()));
}

void CTemplateSelectDlg::resizeEvent(QResizeEvent* e)
{
    CDialog::resizeEvent(e);
    m_caption->setGeometry(0, 0, width(), skin::CaptionBandHeight());
}

bool CTemplateSelectDlg::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate) {
        const bool active = e->type() == QEvent::WindowActivate;
        m_caption->SetActive(active);
        const skin::SkinState* s = skin::CurrentSkin();
        if (active && s != nullptr)
            SetSkinScrollBitmap(m_list, s->m_hSkinScrollBitmap);
        update();
    }
    return CDialog::event(e);
}

void CTemplateSelectDlg::OnOK()
{
    const int row = m_list->currentRow();
    if (row < 0) {
        ShowMessageBox({QStringLiteral("请选择您需要的报表模板!"), QStringLiteral("选择报表模板"), MB_ICONINFORMATION, 0});
        return;
    }
    if (row == 0)
        m_strTemplatePath.clear();
    else if (IsNewReportEntry())
        m_strTemplatePath = TemplateFolder() + QStringLiteral("NewTemp.rpt");
    else
        m_strTemplatePath = m_list->item(row)->data(Qt::UserRole).toString();
    if (IsNewReportEntry() && !NewTemplatePath().isEmpty())
        m_strTemplatePath = NewTemplatePath();
    QDialog::accept();
}

void CTemplateSelectDlg::HideForWizard()
{
    // Past the dialog's own hiding, which would end its modal loop.
    QWidget::setVisible(false);
}

void CTemplateSelectDlg::OnUseWizard()
{
    const bool newReport = IsNewReportEntry();
    if (!newReport && m_layoutDamaged) {
        AfxMessageBox(res::IDS_TEMPLATE_DAMAGED, MB_ICONSTOP);
        return;
    }
    HideForWizard();
    CReportWizardDlg wizard(this);
    wizard.m_nMode = newReport ? 1 : 0;
    connect(&wizard, &CReportWizardDlg::wizardAbort, this, &CTemplateSelectDlg::OnWizardAbort);
    if (RunWizardDialog(wizard) != kIdOk)
        return;
    if (newReport)
        m_strTemplatePath = NewTemplatePath().isEmpty() ? TemplateFolder() + QStringLiteral("NewTemp.rpt") : NewTemplatePath();
    m_pendingConversion = Conversion{m_strTemplatePath, TheWizardState().strWizardReportName, newReport ? 2 : 1};
    // Shown for the moment it needs to end its modal loop.
    QWidget::setVisible(true);
    QDialog::reject();
}

void CTemplateSelectDlg::OnWizardAbort(int, int)
{
    QWidget::setVisible(true);
    QDialog::reject();
}

TemplateChooserResult RunTemplateChooser()
{
    CTemplateSelectDlg chooser;
    const int result = RunWizardDialog(chooser);
    if (const auto& conversion = chooser.PendingConversion()) {
        // After the new-document step has returned: conversion opens a
        // document of its own.
        const CTemplateSelectDlg::Conversion c = *conversion;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [c] {
                if (CDI_RptApp* app = theAppOrNull())
                    app->ConvertReportTemplate(c.templatePath, c.reportName, c.mode);
            },
            Qt::QueuedConnection);
        return {};
    }
    if (result != CDialog::kIdOk)
        return {};
    return {true, chooser.m_strTemplatePath};
}
