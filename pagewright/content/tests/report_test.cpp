// Reports holding text and field objects: an untouched report re-saves byte
// for byte, after drawing too, and the dump tool prints their fields.
#include "object_test_support.h"

#include "document/page_dc.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>

using namespace object_test;

namespace {

// A report with a text in the original editor's shape (with its trailing
// NUL) and a field.
QByteArray MakeReport()
{
    Report r;
    CDrawText* text = r.AddText(DocRect(500, -500, 2500, -1200));
    QByteArray rtf = Rtf("\\'ba\\'ec\\'cd\\'e2 {\\b bold}");
    rtf.append('\0');
    text->textStore.Assign(rtf);
    CDrawField* field = r.AddField(2, 3, 33603, DocRect(500, -1500, 2500, -1900));
    field->textStore.Assign(Rtf("\\qc"));
    return r.doc.StoreContents();
}

} // namespace

TEST(TextReport, AnUntouchedReportReSavesByteForByteAfterDrawing)
{
    const QByteArray stored = MakeReport();
    Report r;
    QString error;
    ASSERT_TRUE(r.doc.LoadContents(stored, &error)) << error.toStdString();
    r.view.RebuildIRObjects();
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    PageDC dc(painter, PageMapping::ForZoom(1.0));
    for (CDrawObj* obj : r.doc.GetObjects())
        obj->Draw(dc);
    painter.end();
    EXPECT_EQ(r.doc.StoreContents().toHex(), stored.toHex());
    const auto* field = dynamic_cast<const CDrawField*>(r.doc.GetObjects().back());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->Label(), QStringLiteral("-")) << "no image 2 on the page";
}

TEST(TextReport, TheDumpToolPrintsTextAndFieldFields)
{
    QTemporaryDir dir;
    Report r;
    ASSERT_TRUE(r.doc.LoadContents(MakeReport()));
    const QString path = dir.filePath(QStringLiteral("texts.rpt"));
    ASSERT_TRUE(r.doc.SaveToPath(path));
    QProcess dump;
    dump.start(QStringLiteral(CONTENT_RPTDUMP), {path});
    ASSERT_TRUE(dump.waitForFinished());
    ASSERT_EQ(dump.exitCode(), 0) << dump.readAllStandardError().toStdString();
    const QJsonArray objects =
        QJsonDocument::fromJson(dump.readAllStandardOutput()).object()[QStringLiteral("objects")].toArray();
    ASSERT_EQ(objects.size(), 2);
    const QJsonObject text = objects[0].toObject();
    EXPECT_EQ(text[QStringLiteral("class")].toString(), QStringLiteral("CDrawText"));
    EXPECT_EQ(text[QStringLiteral("text")].toString(), QStringLiteral("红外 bold"));
    const QJsonObject field = objects[1].toObject();
    EXPECT_EQ(field[QStringLiteral("class")].toString(), QStringLiteral("CDrawField"));
    EXPECT_EQ(field[QStringLiteral("imageNumber")].toInt(), 2);
    EXPECT_EQ(field[QStringLiteral("analysisNumber")].toInt(), 3);
    EXPECT_EQ(field[QStringLiteral("fieldId")].toInt(), 33603);
}
