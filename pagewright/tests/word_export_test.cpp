// The report holding every object class (every_object_report.h), saved,
// opened again and exported to .docx twice: by the program's export and by
// rptdump --docx. Both files are read with python-docx
// (tests/docx_contents.py) and converted to PDF by LibreOffice in one
// headless run. Every table cell, text and field must show
// the value the report shows, every picture must be there, and the PDF must
// have the report's pages with every table row on one line of its text.
#include "every_object_report.h"

#include "content/draw_result_table.h"
#include "document/docx_export.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

// The two exports of the report: the program's (of the report opened again,
// as a user exports a saved report) and rptdump's.
QStringList ExportBoth(ViewFixture& f, const QTemporaryDir& dir, const EveryObjectReport& report)
{
    const QString program = dir.filePath(QStringLiteral("program.docx"));
    CDI_RptView* opened = f.Open(report.path);
    if (opened == nullptr) {
        ADD_FAILURE() << "the saved report does not open";
        return {};
    }
    DocxExport exporter;
    opened->GetDocument()->ExportPages(exporter);
    EXPECT_TRUE(exporter.SaveAs(program));

    const QString tool = dir.filePath(QStringLiteral("rptdump.docx"));
    QProcess dump;
    dump.setProcessEnvironment(ToolEnvironment(f, dir.path()));
    dump.start(QStringLiteral(PAGEWRIGHT_RPTDUMP), {report.path, QStringLiteral("--docx"), tool});
    EXPECT_TRUE(dump.waitForFinished(120000));
    const QByteArray said = dump.readAllStandardError();
    EXPECT_EQ(dump.exitCode(), 0) << said.toStdString();
    EXPECT_EQ(said, QByteArray()) << "a fine report, its fields too, gives no message";
    return {program, tool};
}

// docx_contents.py over the files; an empty object when it failed, with
// `skipped` set when python-docx is missing.
QJsonObject Contents(const QStringList& files, bool& skipped)
{
    const QString out = QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR "/word-export");
    QDir(out).removeRecursively();
    QProcess p;
    p.start(QStringLiteral(PAGEWRIGHT_TEST_PYTHON),
            QStringList{QStringLiteral(PAGEWRIGHT_TEST_SCRIPTS "/docx_contents.py"), out} + files);
    if (!p.waitForFinished(400000)) {
        ADD_FAILURE() << "docx_contents.py did not finish";
        return {};
    }
    skipped = p.exitCode() == 77;
    if (p.exitCode() != 0) {
        if (!skipped)
            ADD_FAILURE() << "docx_contents.py: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

void CheckDocument(const QJsonObject& document, const std::vector<ExpectedPage>& expected, const QString& name)
{
    const QJsonArray pages = document[QStringLiteral("pages")].toArray();
    ASSERT_EQ(pages.size(), int(expected.size())) << name.toStdString();
    for (std::size_t p = 0; p < expected.size(); ++p) {
        SCOPED_TRACE(QStringLiteral("%1, page %2").arg(name).arg(p + 1).toStdString());
        const QJsonObject page = pages[int(p)].toObject();
        EXPECT_EQ(page[QStringLiteral("pictures")].toInt(), expected[p].pictures);
        QStringList texts;
        for (const QJsonValue& t : page[QStringLiteral("texts")].toArray())
            texts << Lines(t.toString());
        EXPECT_EQ(texts, expected[p].texts);
        const QJsonArray tables = page[QStringLiteral("tables")].toArray();
        ASSERT_EQ(tables.size(), int(expected[p].tables.size()));
        for (std::size_t t = 0; t < expected[p].tables.size(); ++t) {
            const ExpectedTable& want = expected[p].tables[t];
            const QJsonArray rows = tables[int(t)].toArray();
            ASSERT_EQ(rows.size(), int(want.size())) << "table " << t + 1;
            for (std::size_t r = 0; r < want.size(); ++r) {
                const QJsonArray cells = rows[int(r)].toArray();
                ASSERT_EQ(cells.size(), int(want[r].size())) << "table " << t + 1 << " row " << r + 1;
                for (std::size_t c = 0; c < want[r].size(); ++c) {
                    const QJsonObject cell = cells[int(c)].toObject();
                    const ExpectedCell& e = want[r][c];
                    const std::string at = "table " + std::to_string(t + 1) + " row " + std::to_string(r + 1) +
                                           " column " + std::to_string(c + 1);
                    EXPECT_EQ(Lines(cell[QStringLiteral("text")].toString()), e.text) << at;
                    EXPECT_EQ(cell[QStringLiteral("fill")].toString(), e.fill) << at;
                    EXPECT_EQ(cell[QStringLiteral("bold")].toBool(), e.bold) << at;
                }
            }
        }
    }
}

// The PDF's text, its lines without blanks (pdftotext spaces the
// characters of a table row by their places).
QStringList PdfLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line.remove(QLatin1Char(' '));
    return lines;
}

bool OnOneLine(const QStringList& lines, const QString& wanted)
{
    QString compact = wanted;
    compact.remove(QLatin1Char(' '));
    return std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.contains(compact); });
}

} // namespace

TEST(WordExport, EveryCellTextAndPictureOfEveryObjectClassSurvivesTheExport)
{
    ViewFixture f;
    ASSERT_NE(f.app, nullptr);
    QTemporaryDir dir;
    const EveryObjectReport report(f, dir);
    ASSERT_EQ(report.result->Rows().size(), 18u) << report.result->RowText().toStdString();

    const QStringList files = ExportBoth(f, dir, report);
    ASSERT_EQ(files.size(), 2);
    bool skipped = false;
    const QJsonObject contents = Contents(files, skipped);
    if (skipped)
        GTEST_SKIP() << "python-docx is not installed (package python3-docx)";
    const QJsonArray documents = contents[QStringLiteral("documents")].toArray();
    ASSERT_EQ(documents.size(), 2);
    CheckDocument(documents[0].toObject(), report.expected, QStringLiteral("program"));
    CheckDocument(documents[1].toObject(), report.expected, QStringLiteral("rptdump"));
    // rptdump draws the pictures in the program's environment: the same
    // images, charts and logo, byte for byte.
    const QJsonArray programPages = documents[0].toObject()[QStringLiteral("pages")].toArray();
    const QJsonArray toolPages = documents[1].toObject()[QStringLiteral("pages")].toArray();
    for (int p = 0; p < programPages.size() && p < toolPages.size(); ++p) {
        EXPECT_EQ(toolPages[p].toObject()[QStringLiteral("pictureSums")],
                  programPages[p].toObject()[QStringLiteral("pictureSums")])
            << "pictures of page " << p + 1;
    }

    // LibreOffice: the report's pages, and every row of every table, every
    // text line and field on one line of the PDF's text (a row laid out
    // taller than its box was made for is not cut, a label does not wrap).
    if (contents[QStringLiteral("pdf")].isNull())
        GTEST_SKIP() << contents[QStringLiteral("office")].toString().toStdString();
    const QJsonArray pdfs = contents[QStringLiteral("pdf")].toArray();
    ASSERT_EQ(pdfs.size(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(files[i].toStdString());
        ASSERT_TRUE(pdfs[i].isObject()) << "LibreOffice made no PDF";
        const QJsonObject pdf = pdfs[i].toObject();
        EXPECT_EQ(pdf[QStringLiteral("pages")].toInt(), report.pages);
        const QStringList lines = PdfLines(pdf[QStringLiteral("text")].toString());
        for (const ExpectedPage& page : report.expected) {
            for (const ExpectedTable& table : page.tables) {
                for (const auto& row : table) {
                    QString text;
                    for (const ExpectedCell& cell : row)
                        text += cell.text;
                    EXPECT_TRUE(OnOneLine(lines, text)) << text.toStdString();
                }
            }
            for (const QString& text : page.texts) {
                for (const QString& line : text.split(QLatin1Char('\n')))
                    EXPECT_TRUE(OnOneLine(lines, line)) << line.toStdString();
            }
        }
    }
}
