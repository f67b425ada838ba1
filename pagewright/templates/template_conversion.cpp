// Template conversion: the layout file of a template, a report filled from
// a template with the wizard's answers, and the common start of a report
// built from the new-report wizard (new_report_builder.cpp).
#include "rpt_app.h"

#include "app_environment.h"
#include "layout_file.h"
#include "main_frame.h"
#include "rpt_view.h"
#include "split_frame.h"
#include "wait_cursor.h"
#include "wizard_file.h"

#include "content/draw_table.h"
#include "content/draw_text.h"
#include "document/draw_photo.h"
#include "document/draw_view.h"
#include "document/ir_image_object.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"
#include "platform/ini_file.h"
#include "platform/settings.h"

#include <QFile>

void CDI_RptApp::ConvertReportTemplate(const QString& templatePath, const QString& reportName, int mode)
{
    WaitCursor wait;
    const QString layoutPath = LayoutFilePath(templatePath);
    if (mode == 0) {
        WriteTemplateLayout(templatePath);
        return;
    }
    if (mode != 1 && mode != 2) {
        OpenReport(templatePath);
        return;
    }
    // Each image loaded records the picture path; the settings are saved
    // once at the end, not once per image.
    const platform::Settings::SaveBatch settingsBatch(GetSettings());
    CSplitFrame* frame = OpenNewFromTemplate(templatePath);
    auto* view = frame != nullptr ? qobject_cast<CDI_RptView*>(frame->GetActiveView()) : nullptr;
    if (view == nullptr)
        return;
    CDI_RptDoc& doc = *view->GetDocument();
    if (mode == 1)
        FillFromWizard(*view, layoutPath);
    else
        BuildReportFromWizard(*view);
    // The report keeps no path: the first save proposes its name.
    doc.SetTitle(reportName);
    frame->setWindowTitle(reportName);
    // Its undo history starts here, and it is unsaved work: closing asks.
    doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 0);
    doc.SetModifiedFlag(true);
    view->InvalidateAll();
}

void CDI_RptApp::WriteTemplateLayout(const QString& templatePath)
{
    // The template in a document of its own, at the default mapping of a
    // view that is never shown.
    CDI_RptDoc doc(m_docEnv.get());
    DrawView view;
    doc.SetView(&view);
    if (doc.OnOpenDocument(templatePath)) {
        platform::IniFile file(LayoutFilePath(templatePath));
        platform::IniDocument ini = file.load();
        WriteLayout(doc, view, ini);
        file.save(ini);
    }
    doc.SetModifiedFlag(false);
    doc.SetView(nullptr);
}

CSplitFrame* CDI_RptApp::OpenNewFromTemplate(const QString& templatePath)
{
    if (m_mainFrame == nullptr)
        return nullptr;
    m_startFile = templatePath;
    const bool opened = OpenReport(QString());
    m_startFile.clear();
    if (!opened)
        return nullptr;
    return m_mainFrame->MDIGetActive();
}

void CDI_RptApp::FillFromWizard(CDI_RptView& view, const QString& layoutPath)
{
    CDI_RptDoc& doc = *view.GetDocument();
    const WizardFile wizard = WizardFile::Load(WizardFilePath(m_programDir));
    const LayoutFile layout = LayoutFile::Load(layoutPath);
    int image = 1;
    int photoNumber = 1;
    int text = 1;
    int tableNumber = 1;
    const std::vector<CDrawObj*> objects = doc.GetObjects();
    for (CDrawObj* object : objects) {
        if (object->IsKindOf(CDrawIR::kClass)) {
            auto* ir = static_cast<CDrawIR*>(object);
            if (!m_analysisArray.IsEmpty())
                m_analysisArray.RemoveAll();
            ir->CopyAnalysesTo(m_analysisArray);
            const QString path = wizard.IRPath(image++);
            if (!path.isEmpty())
                ir->LoadIRFile(path);
        } else if (object->IsKindOf(CDrawPhoto::kClass)) {
            auto* photo = static_cast<CDrawPhoto*>(object);
            const int p = photoNumber++;
            const QString path = wizard.PhotoPath(p);
            if (!path.isEmpty()) {
                photo->LoadPicture(path);
                continue;
            }
            // No picture chosen: the photo shows its image's own picture.
            int m = photo->GetLinkedIRNumber();
            if (m <= 0)
                m = p;
            if (m > int(view.GetIRObjects().size()))
                continue;
            IRImageObject* owner = AsIRImage(view.FindIRObject(m));
            if (owner == nullptr)
                continue;
            const QString picture = owner->WriteVisiblePhoto(m_docEnv->TemporaryFolder());
            if (picture.isEmpty())
                continue;
            photo->LoadPicture(picture);
            QFile::remove(picture);
        } else if (object->IsKindOf(CDrawText::kClass)) {
            const int t = text++;
            const QString content = wizard.Text(t);
            // "--" keeps the template's text, and so does the text the
            // template already holds (a rewrite would lose its formatting).
            if (content == QLatin1String("--"))
                continue;
            const std::optional<QString> own = layout.Document().value(u"DrawText", LayoutKey(t, "Content"));
            if (own && content == layout.TextContent(t))
                continue;
            static_cast<CDrawText*>(object)->SetPlainText(&view, content, layout.TextAlign(t), nullptr);
        } else if (object->IsKindOf(CDrawTable::kClass)) {
            auto* table = static_cast<CDrawTable*>(object);
            const int n = tableNumber++;
            for (int r = 0; r < table->GetRowCount(); ++r) {
                for (int c = 0; c < table->GetColumnCount(); ++c) {
                    const QString content = wizard.Cell(n, r, c);
                    if (content == QLatin1String("--") || content == layout.CellContent(n, r, c).value_or(QString()))
                        continue;
                    table->SetCellText(&view, r, c, content, layout.CellAlign(n, r, c));
                }
            }
        }
    }
}
