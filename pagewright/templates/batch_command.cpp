// The batch command of the application: the dialog chain, then report or
// picture generation.
#include "batch_command.h"

#include "batch_dialogs.h"
#include "batch_run.h"
#include "resource_ids.h"
#include "rpt_app.h"
#include "app_environment.h"
#include "string_table.h"

#include "document/draw_class.h"
#include "platform/dialog_folder.h"
#include "skin/message_box.h"

#include <QApplication>
#include <QCursor>

namespace {

BatchDialogRunner& Runner()
{
    static BatchDialogRunner runner;
    return runner;
}

int Run(CDialog& dialog) { return Runner() ? Runner()(dialog) : dialog.DoModal(); }

// The wait cursor while generation runs.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void ShowSummary(const BatchOutcome& outcome)
{
    AfxMessageBox(BatchSummary(LoadStringRes(res::IDS_BATCH_DONE), outcome, LoadStringRes(res::IDS_BATCH_NOT_LOADED),
                               LoadStringRes(res::IDS_BATCH_NOT_SAVED), LoadStringRes(res::IDS_BATCH_SHARED_NAMES)));
}

} // namespace

void SetBatchDialogRunner(BatchDialogRunner runner) { Runner() = std::move(runner); }

void CDI_RptApp::OnBatch()
{
    m_batchType = 0;
    for (;;) { // outer: the kind of output, with a fresh list
        m_batchFiles.clear();
        // The output goes where the user can write: the remembered folder
        // only when it still takes files.
        m_batchFolder = platform::ProposedFolder(m_savePath, platform::FolderUse::Write);
        CBatchTypeDlg typeDlg;
        typeDlg.m_type = m_batchType;
        if (Run(typeDlg) != CDialog::kIdOk)
            return;
        m_batchType = typeDlg.m_type;

        CBatchSettingDlg settingDlg;
        CBatchPicSetDlg pictureDlg;
        CTemplatePathDlg templateDlg;
        settingDlg.m_folder = m_batchFolder;
        bool back = false;
        while (!back) { // inner: files and folder, then the last dialog
            settingDlg.m_files = &m_batchFiles;
            if (Run(settingDlg) != CDialog::kIdOk)
                return;
            if (settingDlg.m_next == 0) {
                back = true;
                continue;
            }
            m_batchFolder = settingDlg.m_folder;
            if (m_batchType == 1) {
                if (Run(pictureDlg) != CDialog::kIdOk)
                    return;
                if (pictureDlg.m_next == 0)
                    continue;
                BatchPictures(m_batchFolder, pictureDlg.m_barChoice == 0, pictureDlg.m_palette);
                return;
            }
            if (Run(templateDlg) != CDialog::kIdOk)
                return;
            if (templateDlg.m_next == 0)
                continue;
            BatchReports(templateDlg.m_path, m_batchFolder);
            return;
        }
    }
}

void CDI_RptApp::BatchReports(const QString& templatePath, const QString& folder)
{
    BatchOutcome outcome;
    {
        WaitCursor wait;
        outcome = RunBatchReports(GetDocumentEnvironment(), DrawClassRegistry::Standard(), templatePath, m_batchFiles,
                                  folder, m_irAnalyses);
    }
    if (outcome.error == QLatin1String("cannot-open"))
        AfxMessageBox(res::IDS_BATCH_TEMPLATE_UNREADABLE, MB_ICONEXCLAMATION);
    else if (!outcome.error.isEmpty())
        AfxMessageBox(res::IDS_BATCH_TEMPLATE_NO_IMAGE, MB_ICONEXCLAMATION);
    else
        ShowSummary(outcome);
}

void CDI_RptApp::BatchPictures(const QString& folder, bool colourBar, int palette)
{
    BatchOutcome outcome;
    {
        WaitCursor wait;
        outcome = RunBatchPictures(GetDocumentEnvironment(), DrawClassRegistry::Standard(), m_batchFiles, folder,
                                   colourBar, palette);
    }
    ShowSummary(outcome);
}
