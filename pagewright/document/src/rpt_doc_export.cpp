// The report's export to a word-processor document.
#include "document/rpt_doc.h"

#include "document/docx_export.h"
#include "document/draw_obj.h"
#include "document/word_wait_dlg.h"
#include "platform/dialog_folder.h"

#include <QApplication>

#include <memory>

void CDI_RptDoc::ExportPages(CWordExport& exporter)
{
    exporter.NewDocument(float(m_sizePage.width()) / 1008.0f, float(m_sizePage.height()) / 1008.0f);
    for (int i = 1; i < m_nPages; ++i)
        exporter.InsertPageBreak(i);
    // The list may not change while objects export themselves.
    const std::vector<CDrawObj*> objects = m_objects;
    for (CDrawObj* obj : objects) {
        if (obj->page >= std::uint32_t(m_nPages))
            continue;
        exporter.GoToPage(int(obj->page));
        obj->ExportToWord(exporter);
    }
}

bool CDI_RptDoc::OnExportToWord()
{
    const QString path = m_env->PromptSaveFileName(
        platform::ProposedPath(m_env->GetSavePath(), QStringLiteral("report.docx"), platform::FolderUse::Write), false,
        QString::fromLatin1(kWordFileFilter));
    if (path.isEmpty())
        return false;
    DocxExport exporter;
    {
        // The notice while the document is made (with a window system only);
        // one pass of events paints it.
        std::unique_ptr<CWordWaitDlg> wait;
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
            wait = std::make_unique<CWordWaitDlg>();
            wait->show();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        // Objects render their pictures offscreen and leave their rich text
        // as it was; the view stays on its page.
        ExportPages(exporter);
    }
    // The file is replaced only by a complete document.
    if (!exporter.SaveAs(path)) {
        m_env->MessageBox(doc_string::kTargetInUse, DocumentEnvironment::kOk | DocumentEnvironment::kIconExclamation);
        return false;
    }
    // The next export (and save) starts where this one went.
    m_env->SetSavePath(platform::FolderOf(path));
    if (m_env->MessageBox(doc_string::kExportedOpenIt, DocumentEnvironment::kYesNo | DocumentEnvironment::kIconQuestion) ==
        DocumentEnvironment::kAnswerYes)
        m_env->OpenWithDefaultApplication(path);
    return true;
}
