// rptdump: opens a report through the report document and prints it as JSON
// (page count, page size, version, flags, page titles and every object's
// fields), or saves it again.
//
//     rptdump FILE               JSON on standard output
//     rptdump FILE --save OUT    open FILE and save it as OUT
//
// A report that does not open gives its message on standard error and exit
// status 1; a failed save exit status 3; wrong arguments 2.
#include "document/draw_obj.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

// Messages go to standard error; questions are answered No.
class ToolEnvironment : public DocumentEnvironment {
public:
    int MessageBox(const QString& text, int type, int stringId) override
    {
        (void)stringId;
        std::fprintf(stderr, "rptdump: %s\n", text.toUtf8().constData());
        const int buttons = type & 0xF;
        return buttons == kYesNo || buttons == kYesNoCancel ? kAnswerNo : kAnswerOk;
    }
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
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const bool save = args.size() == 3 && args[1] == QStringLiteral("--save");
    if (args.size() != 1 && !save) {
        std::fprintf(stderr, "usage: rptdump FILE [--save OUT]\n");
        return 2;
    }
    CDrawIR::Register(DrawClassRegistry::Standard());
    ToolEnvironment env;
    CDI_RptDoc doc(&env);
    if (!doc.OnOpenDocument(args[0]))
        return 1;
    doc.SetPathName(args[0]);
    if (save)
        return doc.SaveToPath(args[2]) ? 0 : 3;
    const QByteArray json = QJsonDocument(DumpDocument(doc)).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
    return 0;
}
