#include "app_environment.h"

#include "skin/color_status_bar.h"
#include "main_frame.h"
#include "resource_ids.h"
#include "rpt_app.h"
#include "rpt_template.h"
#include "string_table.h"
#include "template_select_dlg.h"

#include "platform/settings.h"
#include "skin/file_filters.h"
#include "skin/message_box.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QUrl>

#include <cmath>

CAppEnvironment::CAppEnvironment(CDI_RptApp& app)
    : m_app(app), m_scratch(QDir::tempPath() + QStringLiteral("/pagewright-XXXXXX")), m_fileCombo(app)
{
    SetTempUnit(app.tempetype);
    SetLengthUnit(app.metertype);
}

QString CAppEnvironment::LoadString(int id) const
{
    const QString text = LoadStringRes(id);
    return text.isEmpty() ? DocumentEnvironment::LoadString(id) : text;
}

int CAppEnvironment::MessageBox(const QString& text, int type, int stringId)
{
    return ShowMessageBox({text, MessageBoxCaption(stringId), type, stringId});
}

QString CAppEnvironment::ProgramFolder() const { return m_app.GetAppDirectory(); }

std::optional<QSize> CAppEnvironment::DefaultPrinterPageMm() const
{
    const std::optional<QSizeF> mm = m_app.PrintablePageMm();
    if (!mm)
        return std::nullopt;
    return QSize(int(std::lround(mm->width())), int(std::lround(mm->height())));
}

void CAppEnvironment::SetPageInches(float width, float height)
{
    m_app.m_pageWidth = width;
    m_app.m_pageHeight = height;
}

QString CAppEnvironment::TakeStartFile() { return std::exchange(m_app.m_startFile, QString()); }

DocumentEnvironment::TemplateChoice CAppEnvironment::ChooseTemplate()
{
    const TemplateChooserResult chosen = RunTemplateChooser();
    return {chosen.accepted, chosen.path};
}

QString CAppEnvironment::GetSavePath() const { return m_app.m_savePath; }

void CAppEnvironment::SetSavePath(const QString& folder)
{
    m_app.m_savePath = folder;
    m_app.GetSettings().writeString(QStringLiteral("SavePath"), QStringLiteral("SavePath"), folder);
}

void CAppEnvironment::SetPicPath(const QString& path)
{
    m_app.m_picPath = path;
    m_app.GetSettings().writeString(QStringLiteral("PicPath"), QStringLiteral("PicPath"), path);
}

QString CAppEnvironment::PicPath() const { return m_app.m_picPath; }

void CAppEnvironment::AddToRecentFileList(const QString& path) { m_app.AddToRecentFileList(path); }

QString CAppEnvironment::PromptSaveFileName(const QString& proposed, bool replace, const QString& filter)
{
    (void)replace;
    QString types = filter;
    if (types.isEmpty()) {
        if (const CDI_RptTemplate* t = m_app.GetDocTemplate())
            types = t->GetDocString(CDI_RptTemplate::filterName);
    }
    return QFileDialog::getSaveFileName(m_app.GetMainFrame(), LoadStringRes(res::AFX_IDS_APP_TITLE), proposed,
                                        skin::FileDialogFilter(types));
}

void CAppEnvironment::OpenWithDefaultApplication(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<COLORREF> CAppEnvironment::ChooseColor(COLORREF initial)
{
    const QColor chosen = QColorDialog::getColor(QColor(GetRValue(initial), GetGValue(initial), GetBValue(initial)),
                                                 m_app.GetMainFrame());
    if (!chosen.isValid())
        return std::nullopt;
    return RGB(chosen.red(), chosen.green(), chosen.blue());
}

bool CAppEnvironment::RunDialog(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

void CAppEnvironment::SetLockIndicator(bool locked)
{
    CMainFrame* frame = m_app.GetMainFrame();
    if (frame == nullptr || frame->GetStatusBar() == nullptr)
        return;
    CColorStatusBar* bar = frame->GetStatusBar();
    for (int i = 0; i < bar->GetCount(); ++i) {
        if (bar->GetItemID(i) == res::ID_INDICATOR_LOCKED)
            bar->SetPaneStyle(i, locked ? SBPS_NORMAL : SBPS_DISABLED); // a disabled pane is hidden
    }
}

void CAppEnvironment::FillPageTitles(int count, int current)
{
    if (CMainFrame* frame = m_app.GetMainFrame())
        frame->FillPageTitles(count, current);
}

int CAppEnvironment::PaletteCount() const { return m_app.GetPaletteCount(); }

QByteArray CAppEnvironment::PaletteTable() const { return m_app.GetPaletteTable(); }

void CAppEnvironment::TempUnitChanged()
{
    m_app.tempetype = TempUnit();
    m_app.UpdateUnitTexts();
}

QStringList CAppEnvironment::DataFileNames() const { return m_app.m_fieldNames.mid(0, m_app.m_fieldCount); }

QString CAppEnvironment::TemporaryFolder() const
{
    return m_scratch.isValid() ? m_scratch.path() : DocumentEnvironment::TemporaryFolder();
}

QString CAppEnvironment::PaletteName(int index) const
{
    return index >= 0 && index < m_app.m_paletteNames.size() ? m_app.m_paletteNames[index] : QString();
}

QStringList CAppEnvironment::ObjectTypes() const { return m_app.m_objectTypes; }
