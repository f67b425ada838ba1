// Filling a report from the command line: "template|data" makes a copy of
// the template, loads the data file's infrared files into the copy's first
// infrared image and a picture into its photos, and the copy opens as the
// new, untitled report.
#include "rpt_app.h"

#include "app_environment.h"
#include "field_data_file.h"
#include "resource_ids.h"
#include "wait_cursor.h"

#include "document/draw_photo.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"
#include "skin/message_box.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

// A new empty file of a unique name in folder; empty when none could be made.
QString UniqueScratchFile(const QString& folder, const QString& pattern)
{
    QTemporaryFile file(folder + QLatin1Char('/') + pattern);
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    return file.fileName();
}

} // namespace

QString CDI_RptApp::PrepareCommandLineFill(QString& file)
{
    QString templatePath;
    QString dataPath;
    if (!SplitFillArgument(file, templatePath, dataPath))
        return {};
    // Whatever happens now, the argument is no report of its own.
    file.clear();
    if (!QFileInfo(templatePath).isFile()) {
        AfxMessageBox(res::IDS_SELECT_TEMPLATE);
        return {};
    }
    const std::optional<FieldDataFile> data = QFileInfo(dataPath).isFile() ? ReadFieldDataFile(dataPath)
                                                                            : std::nullopt;
    if (!data) {
        AfxMessageBox(res::IDS_SELECT_PICTURE);
        return {};
    }
    m_fieldNames = data->names;
    m_fieldValues = data->values;
    m_fieldCount = int(data->names.size());
    // The copy is a unique file of the program's scratch folder: the
    // template and anything beside it stay untouched.
    const QString copy = UniqueScratchFile(m_docEnv->TemporaryFolder(), QStringLiteral("filled-XXXXXX.rpm"));
    if (copy.isEmpty())
        return {};
    QFile::remove(copy);
    if (!QFile::copy(templatePath, copy)) {
        QFile::remove(copy);
        return {};
    }
    FillReportFromCommandLine(copy);
    return copy;
}

bool CDI_RptApp::FillReportFromCommandLine(const QString& path)
{
    WaitCursor wait;
    // The copy is filled without a window; the new report opens it later.
    CDI_RptDoc doc(m_docEnv.get());
    if (!doc.OnOpenDocument(path))
        return false;
    doc.SetPathName(path, false); // a scratch copy: not a recent file
    CDrawIR* image = nullptr;
    for (CDrawObj* obj : doc.GetObjects()) {
        if (obj->IsKindOf(CDrawIR::kClass)) {
            image = static_cast<CDrawIR*>(obj);
            break;
        }
    }
    if (image == nullptr)
        return false;
    m_analysisArray.RemoveAll();
    image->CopyAnalysesTo(m_analysisArray);
    if (m_fieldCount > 0)
        image->LoadIRFileEx(m_fieldNames.first());
    // The shown file's visible-light picture goes to a scratch file of its
    // own, deleted once the photos have read it. Every photo takes the first
    // line's value when that file exists, else that picture.
    const QString picture = UniqueScratchFile(m_docEnv->TemporaryFolder(), QStringLiteral("visible-XXXXXX.bmp"));
    if (!picture.isEmpty())
        image->ExportVisibleImage(picture);
    const QString value = m_fieldCount > 0 ? m_fieldValues.value(0) : QString();
    const QString photoFile = !value.isEmpty() && QFileInfo(value).isFile() ? value : picture;
    for (CDrawObj* obj : doc.GetObjects()) {
        if (obj->IsKindOf(CDrawPhoto::kClass) && !photoFile.isEmpty())
            static_cast<CDrawPhoto*>(obj)->LoadPicture(photoFile);
    }
    if (!picture.isEmpty())
        QFile::remove(picture);
    return doc.SaveToPath(path);
}
