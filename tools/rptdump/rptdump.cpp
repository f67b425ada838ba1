// rptdump: opens a report through the report document and prints it as JSON
// (page count, page size, version, flags, page titles and every object's
// fields), saves it again, renders a page or prints it to PDF.
//
//     rptdump FILE                          JSON on standard output
//     rptdump FILE --save OUT               open FILE and save it as OUT
//     rptdump FILE --png PAGE OUT [--zoom Z] page PAGE (from 1) as the view
//                                           paints it at zoom Z (default 1),
//                                           without selection, guides or shadow
//     rptdump FILE --pdf OUT                every page as printing draws it,
//                                           at the program's 1200 dots an inch
//     rptdump FILE --docx OUT               the export to a word-processor
//                                           document, as the menu command
//                                           writes it (no dialog)
//
// The report is opened in the program's document environment: the
// per-user program folder seeded from the installed default data (field.ini,
// palettes, default texts), the program's string table and temperature
// unit, the object classes registered and a view that links the charts and
// result tables to their images; so what it prints is what the program
// prints.
//
// A report that does not open gives its message on standard error and exit
// status 1; a failed save or render exit status 3; wrong arguments 2.
#include "document/docx_export.h"
#include "document/draw_obj.h"
#include "document/page_render.h"
#include "document/rpt_doc.h"
#include "content/table_objects.h"
#include "content/chart_objects.h"
#include "content/text_objects.h"
#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"
#include "document/draw_view.h"

#include "palette_loader.h"
#include "resource_ids.h"
#include "string_table.h"

#include "platform/program_folder.h"
#include "platform/settings.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPdfWriter>

#include <cstdio>

namespace {

constexpr int kPrintResolution = 1200;

// Messages go to standard error; questions are answered No.
class ToolEnvironment : public DocumentEnvironment {
public:
    ToolEnvironment()
    {
        const QString defaults = platform::DefaultDataFolder(QCoreApplication::applicationDirPath());
        m_folder = platform::DefaultProgramFolder();
        // As the program does at start; a folder that cannot be made leaves
        // the installed defaults to read from.
        if (!platform::SeedProgramFolder(m_folder, defaults))
            m_folder = defaults;
        QStringList missing;
        m_palettes = LoadPaletteTable(m_folder, LoadStringRes(res::IDS_PALETTE_KEY), &missing);
        for (const QString& path : missing)
            std::fprintf(stderr, "rptdump: palette file %s is missing or unusable\n", path.toUtf8().constData());
        const platform::Settings settings(QStringLiteral("Pagewright"));
        SetTempUnit(settings.readInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 0));
        SetLengthUnit(settings.readInt(QStringLiteral("metertype"), QStringLiteral("metertype"), 0));
    }
    QString LoadString(int id) const override
    {
        const QString text = LoadStringRes(id);
        return text.isEmpty() ? DocumentEnvironment::LoadString(id) : text;
    }
    QString ProgramFolder() const override { return m_folder; }
    int PaletteCount() const override { return int(m_palettes.size() / kPaletteBytes); }
    QByteArray PaletteTable() const override { return m_palettes; }
    int MessageBox(const QString& text, int type, int stringId) override
    {
        (void)stringId;
        std::fprintf(stderr, "rptdump: %s\n", text.toUtf8().constData());
        const int buttons = type & 0xF;
        return buttons == kYesNo || buttons == kYesNoCancel ? kAnswerNo : kAnswerOk;
    }

private:
    QString m_folder;
    QByteArray m_palettes;
};

QJsonObject DumpDocument(CDI_RptDoc& doc)
{
    QJsonObject out;
    out[QStringLiteral("version")] = double(doc.GetVersion());
    out[QStringLiteral("pageCount")] = doc.GetPageCount();
    out[QStringLiteral("pageSize")] = QJsonArray{doc.GetPageSize().width(), doc.GetPageSize().height()};
    out[QStringLiteral("background")] = static_cast<qint64>(doc.GetBackColor());
    out[QStringLiteral("flags")] = QJsonObject{{QStringLiteral("locked"), doc.IsLocked()},
                                               {QStringLiteral("showNumbers"), doc.GetShowNumbers()},
                                               {QStringLiteral("template"), doc.IsTemplate()}};
    out[QStringLiteral("pageTitles")] = QJsonArray::fromStringList(doc.GetPageTitles());
    QJsonArray objects;
    for (const CDrawObj* obj : doc.GetObjects()) {
        QJsonObject o;
        obj->Dump(o);
        objects.append(o);
    }
    out[QStringLiteral("objects")] = objects;
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    // Pages are drawn without a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const char* const usage = "usage: rptdump FILE [--save OUT | --png PAGE OUT [--zoom Z] | --pdf OUT | --docx OUT]\n";
    if (args.size() == 1 && (args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h"))) {
        std::printf("%s"
                    "  FILE             a report as JSON on standard output\n"
                    "  --save OUT       open FILE and save it as OUT\n"
                    "  --png PAGE OUT   page PAGE (from 1) as the view paints it, at zoom Z (default 1)\n"
                    "  --pdf OUT        every page as printing draws it\n"
                    "  --docx OUT       the export to a word-processor document\n",
                    usage);
        return 0;
    }
    const bool save = args.size() == 3 && args[1] == QStringLiteral("--save");
    const bool pdf = args.size() == 3 && args[1] == QStringLiteral("--pdf");
    const bool docx = args.size() == 3 && args[1] == QStringLiteral("--docx");
    const bool png = (args.size() == 4 || (args.size() == 6 && args[4] == QStringLiteral("--zoom"))) &&
                     args[1] == QStringLiteral("--png");
    bool numbersOk = true;
    int page = 0;
    double zoom = 1.0;
    if (png) {
        page = args[2].toInt(&numbersOk);
        if (numbersOk && args.size() == 6)
            zoom = args[5].toDouble(&numbersOk);
        numbersOk = numbersOk && page >= 1 && zoom >= 0.1 && zoom <= 8.0;
    }
    if ((args.size() != 1 && !save && !pdf && !png && !docx) || !numbersOk) {
        std::fputs(usage, stderr);
        return 2;
    }
    CDrawIR::Register(DrawClassRegistry::Standard());
    RegisterTextObjects(DrawClassRegistry::Standard());
    RegisterTableObjects(DrawClassRegistry::Standard());
    RegisterChartObjects(DrawClassRegistry::Standard());
    CDraw3DMap::Register(DrawClassRegistry::Standard());
    ToolEnvironment env;
    CDI_RptDoc doc(&env);
    // The view the objects find their images through (no window).
    DrawView view;
    doc.SetView(&view);
    if (!doc.OnOpenDocument(args[0]))
        return 1;
    doc.SetPathName(args[0]);
    if (save)
        return doc.SaveToPath(args[2]) ? 0 : 3;
    if (png) {
        if (page > doc.GetPageCount()) {
            std::fprintf(stderr, "rptdump: the report has %d pages\n", doc.GetPageCount());
            return 3;
        }
        const QImage image = RenderPageImage(doc, page - 1, zoom);
        return !image.isNull() && image.save(args[3], "PNG") ? 0 : 3;
    }
    if (docx) {
        DocxExport exporter;
        doc.ExportPages(exporter);
        return exporter.SaveAs(args[2]) ? 0 : 3;
    }
    if (pdf) {
        QPdfWriter writer(args[2]);
        // The resolution the program prints a PDF file at (a high-resolution
        // printer): fonts are measured at the device's resolution, so at
        // another one the texts of tables and charts come out a little
        // elsewhere.
        writer.setResolution(kPrintResolution);
        writer.setCreator(QStringLiteral("rptdump"));
        // Printed as the program prints on paper (not as a preview shows
        // it); the print date this sets is never saved.
        return PrintPages(doc, writer, false) ? 0 : 3;
    }
    const QByteArray json = QJsonDocument(DumpDocument(doc)).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
    return 0;
}
