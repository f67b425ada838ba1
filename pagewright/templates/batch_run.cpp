#include "batch_run.h"

#include "irimage/draw_ir.h"

#include "document/document_environment.h"
#include "document/draw_photo.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <memory>

QString BatchOutputName(const QString& folder, const QString& input, const QString& extension)
{
    // The file name alone: either separator ends the folder part.
    const qsizetype slash = std::max(input.lastIndexOf(QLatin1Char('/')), input.lastIndexOf(QLatin1Char('\\')));
    QString name = input.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    name += QLatin1Char('.') + extension;
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

namespace {

// Notes every output name written more than once (the later input
// overwrites the earlier one, as the user asked for both).
class OutputNames {
public:
    void Add(const QString& output, BatchOutcome& outcome)
    {
        if (++m_counts[output] == 2)
            outcome.sharedNames << output;
    }

private:
    QHash<QString, int> m_counts;
};

} // namespace

BatchOutcome RunBatchReports(DocumentEnvironment& env, const DrawClassRegistry& registry,
                             const QString& templatePath, const QStringList& files, const QString& folder,
                             IRAnalysisArray& scratch)
{
    BatchOutcome outcome;
    // The template in a document of its own, never a window's.
    CDI_RptDoc doc(&env, &registry);
    DrawView view;
    doc.SetView(&view);
    if (!doc.OnOpenDocument(templatePath)) {
        outcome.error = QStringLiteral("cannot-open");
        doc.SetView(nullptr);
        return outcome;
    }
    view.RebuildIRObjects();
    CDrawIR* target = nullptr;
    for (CDrawObj* object : view.GetIRObjects()) {
        target = dynamic_cast<CDrawIR*>(object);
        if (target != nullptr)
            break;
    }
    if (target == nullptr) {
        outcome.error = QStringLiteral("no-image");
        doc.SetView(nullptr);
        return outcome;
    }
    if (!scratch.IsEmpty())
        scratch.RemoveAll();
    target->CopyAnalysesTo(scratch);

    // Photos linked to the target, with the template's own picture kept in
    // a scratch file to put back for a file that has no visible photo.
    struct LinkedPhoto {
        CDrawPhoto* photo;
        QString original; // empty: the template's photo had no picture
    };
    std::vector<LinkedPhoto> photos;
    QTemporaryDir keep(QDir(env.TemporaryFolder()).filePath(QStringLiteral("batch-XXXXXX")));
    for (CDrawObj* obj : doc.GetObjects()) {
        auto* photo = dynamic_cast<CDrawPhoto*>(obj);
        if (photo == nullptr || photo->GetLinkedIRNumber() != target->GetIRNumber())
            continue;
        LinkedPhoto linked{photo, QString()};
        if (photo->HasPicture() && keep.isValid()) {
            const platform::CDibImage& picture = photo->Picture();
            QByteArray bytes = picture.GetOriginalBytes();
            if (bytes.isEmpty())
                bytes = picture.GetHandle();
            QFile f(keep.filePath(QStringLiteral("photo%1").arg(photos.size())));
            if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size())
                linked.original = f.fileName();
        }
        photos.push_back(linked);
    }

    OutputNames names;
    for (const QString& file : files) {
        if (!target->LoadIRFile(file)) {
            outcome.failed << file;
            continue;
        }
        const QString visible = target->WriteVisiblePhoto(env.TemporaryFolder());
        for (LinkedPhoto& linked : photos) {
            if (!visible.isEmpty() && linked.photo->LoadPicture(visible))
                continue;
            if (!linked.original.isEmpty())
                linked.photo->LoadPicture(linked.original);
        }
        if (!visible.isEmpty())
            QFile::remove(visible);
        const QString output = BatchOutputName(folder, file, QStringLiteral("rpt"));
        if (!doc.SaveToPath(output)) {
            outcome.unsaved << output;
            continue;
        }
        names.Add(output, outcome);
        ++outcome.written;
    }
    doc.SetModifiedFlag(false);
    doc.SetView(nullptr);
    return outcome;
}

BatchOutcome RunBatchPictures(DocumentEnvironment& env, const DrawClassRegistry& registry, const QStringList& files,
                              const QString& folder, bool colourBar, int palette)
{
    BatchOutcome outcome;
    // One image object for the whole run, in no report but under the
    // program's environment (palettes, units).
    CDI_RptDoc doc(&env, &registry);
    DrawView view;
    doc.SetView(&view);
    {
        CDrawIR image(&view, DocRect(0, 0, 6720, -5040));
        OutputNames names;
        for (const QString& file : files) {
            const QString output = BatchOutputName(folder, file, QStringLiteral("bmp"));
            if (!image.RenderFileToBitmap(colourBar, file, output, palette)) {
                outcome.failed << file;
                continue;
            }
            names.Add(output, outcome);
            ++outcome.written;
        }
    }
    doc.SetView(nullptr);
    return outcome;
}

QString BatchSummary(const QString& finished, const BatchOutcome& outcome, const QString& notLoaded,
                     const QString& notSaved, const QString& sharedNames)
{
    QString text = finished;
    const auto section = [&text](const QString& heading, const QStringList& items) {
        if (items.isEmpty())
            return;
        text += QStringLiteral("\n\n") + heading;
        for (const QString& item : items)
            text += QStringLiteral("\n") + QDir::toNativeSeparators(item);
    };
    section(notLoaded, outcome.failed);
    section(notSaved, outcome.unsaved);
    section(sharedNames, outcome.sharedNames);
    return text;
}
