// The word-processor export: the .docx writer read back with Python's
// zipfile and ElementTree (tests/docx_dump.py), and the report's export flow.
#include "test_support.h"

#include "document/docx_export.h"
#include "document/draw_photo.h"
#include "document/word_wait_dlg.h"

#include "platform/dialog_folder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>

using namespace rpt_test;

namespace {

// The document as docx_dump.py reads it; null when the script failed.
QJsonObject Dump(const QString& path, bool pythonDocx = false)
{
    QProcess p;
    QStringList args{QStringLiteral(DOCUMENT_TEST_SCRIPTS "/docx_dump.py"), path};
    if (pythonDocx)
        args << QStringLiteral("--python-docx");
    p.start(QStringLiteral(DOCUMENT_TEST_PYTHON), args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "docx_dump.py: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonObject Saved(DocxExport& exporter, const QTemporaryDir& dir, bool pythonDocx = false)
{
    const QString path = dir.filePath(QStringLiteral("out.docx"));
    EXPECT_TRUE(exporter.SaveAs(path));
    return Dump(path, pythonDocx);
}

QJsonArray Objects(const QJsonObject& doc, int page)
{
    return doc[QStringLiteral("pages")].toArray()[page].toObject()[QStringLiteral("objects")].toArray();
}

QJsonObject FirstRun(const QJsonObject& paragraph) { return paragraph[QStringLiteral("runs")].toArray()[0].toObject(); }

TextRun MakeRun(const char* font, int halfPoints, const QString& text)
{
    TextRun r;
    r.fontName = QString::fromUtf8(font);
    r.size = std::uint16_t(halfPoints);
    r.text = text;
    return r;
}

constexpr double kPt = 0.01; // points compared to a hundredth

} // namespace

TEST(DocxExport, PagesAndShapesArePlacedFromTheMarginCorner)
{
    QTemporaryDir dir;
    DocxExport ex;
    ex.NewDocument(8330.0f / 1008.0f, 11790.0f / 1008.0f);
    ex.InsertPageBreak(1);
    ex.InsertPageBreak(2);
    ex.GoToPage(0);
    ex.ExportRectangle(600, -650, 1008, 1008, 1.0f, RGB(0x12, 0x34, 0x56));
    ex.GoToPage(2);
    // A line drawn right to left and upwards on the page.
    ex.ExportLine(QPointF(1608, -1658), QPointF(600, -650), 1.0f, 0);
    CWordExport::ArrowHeads heads;
    heads.endStyle = heads.endLength = heads.endWidth = 2;
    ex.ExportArrow(QPointF(600, -650), QPointF(1608, -650), 1.0f, RGB(255, 0, 0), heads);
    ex.GoToPage(1);
    CWordExport::ArrowHeads both{2, 2, 2, 2, 2, 2};
    ex.ExportArrow(QPointF(600, -650), QPointF(600, -1658), 2.0f, 0, both);
    // Numbers no file can hold stay a valid document.
    ex.ExportRectangle(std::nanf(""), 1e30f, -INFINITY, 5, 1.0f, 0);
    const QJsonObject doc = Saved(ex, dir, true);
    ASSERT_FALSE(doc.isEmpty());

    EXPECT_NEAR(doc["page"].toArray()[0].toDouble(), 8330.0 / 1008.0 * 72.0, 0.05);
    EXPECT_NEAR(doc["page"].toArray()[1].toDouble(), 11790.0 / 1008.0 * 72.0, 0.05);
    EXPECT_EQ(doc["margins"].toArray(), (QJsonArray{50.0, 50.0, 50.0, 50.0}));
    const QJsonArray pages = doc["pages"].toArray();
    ASSERT_EQ(pages.size(), 3);
    EXPECT_FALSE(pages[0].toObject()["breakBefore"].toBool());
    EXPECT_TRUE(pages[1].toObject()["breakBefore"].toBool());
    EXPECT_TRUE(pages[2].toObject()["breakBefore"].toBool());

    const QJsonObject rect = Objects(doc, 0)[0].toObject();
    EXPECT_EQ(rect["relativeFrom"].toArray(), (QJsonArray{"margin", "margin"}));
    EXPECT_EQ(rect["geometry"].toString(), "rect");
    EXPECT_NEAR(rect["left"].toDouble(), 0.0, kPt);
    EXPECT_NEAR(rect["top"].toDouble(), 0.0, kPt);
    EXPECT_NEAR(rect["width"].toDouble(), 1008 * DocxExport::kPointsPerUnitX, kPt);
    EXPECT_NEAR(rect["height"].toDouble(), 1008 * DocxExport::kPointsPerUnitY, kPt);
    EXPECT_EQ(rect["line"].toObject()["color"].toString(), "123456");
    EXPECT_NEAR(rect["line"].toObject()["weight"].toDouble(), 1.0, kPt);
    EXPECT_TRUE(rect["fill"].isNull()); // transparent

    const QJsonArray third = Objects(doc, 2);
    ASSERT_EQ(third.size(), 2);
    const QJsonObject line = third[0].toObject();
    EXPECT_EQ(line["geometry"].toString(), "line");
    EXPECT_NEAR(line["left"].toDouble(), 0.0, kPt);
    EXPECT_NEAR(line["top"].toDouble(), 0.0, kPt);
    EXPECT_NEAR(line["width"].toDouble(), 1008 * DocxExport::kPointsPerUnitX, kPt);
    EXPECT_NEAR(line["height"].toDouble(), 1008 * DocxExport::kPointsPerUnitY, kPt);
    EXPECT_TRUE(line["flipH"].toBool());
    EXPECT_TRUE(line["flipV"].toBool());
    EXPECT_TRUE(line["line"].toObject()["ends"].toObject().isEmpty());
    const QJsonObject arrow = third[1].toObject();
    EXPECT_EQ(arrow["line"].toObject()["ends"].toObject(),
              (QJsonObject{{"tailEnd", QJsonArray{"triangle", "med", "med"}}}));
    EXPECT_EQ(arrow["line"].toObject()["color"].toString(), "FF0000");
    EXPECT_GT(arrow["z"].toInt(), line["z"].toInt()); // later objects lie above

    const QJsonArray second = Objects(doc, 1);
    ASSERT_EQ(second.size(), 2);
    const QJsonObject ends = second[0].toObject()["line"].toObject()["ends"].toObject();
    EXPECT_EQ(ends["headEnd"].toArray(), (QJsonArray{"triangle", "med", "med"}));
    EXPECT_EQ(ends["tailEnd"].toArray(), (QJsonArray{"triangle", "med", "med"}));
    EXPECT_NEAR(second[0].toObject()["line"].toObject()["weight"].toDouble(), 2.0, kPt);
}

TEST(DocxExport, TextBoxesCarryRunsWithFontsSizesColoursAndAlignment)
{
    QTemporaryDir dir;
    DocxExport ex;
    ex.NewDocument(8.0f, 11.0f);

    TextRunList runs;
    runs.alignment = 1;
    TextRun first = MakeRun("宋体", 21, QString::fromUtf8("温度") + QChar(0x2028) + QStringLiteral("<&>"));
    first.autoColor = false;
    first.color = RGB(255, 0, 0);
    first.bold = true;
    runs.runs.push_back(first);
    TextRun second = MakeRun("Arial", 24, QChar(0x0B) + QStringLiteral("second"));
    second.italic = true;
    second.underline = true;
    runs.runs.push_back(second);
    runs.runs.push_back(MakeRun("Arial", 24, QString(QChar(0x0B)))); // a lone mark after a run: left out
    CWordExport::TextBox box;
    box.fill = true;
    box.fillColor = RGB(0, 255, 0);
    box.left = 600;
    box.top = -1658; // the lower edge
    box.width = 2016;
    box.height = 1008;
    box.border = true;
    box.penWidth = 2;
    box.penColor = RGB(0, 0, 255);
    ex.ExportText(box, runs);

    TextRunList lone;
    lone.alignment = 2;
    lone.runs.push_back(MakeRun("Arial", 20, QString(QChar(0x0B)))); // first run: kept
    CWordExport::TextBox plainBox;
    plainBox.left = 600;
    plainBox.top = -1650;
    plainBox.width = plainBox.height = 1000;
    ex.ExportText(plainBox, lone);

    TextRunList none; // a label without runs is written in the font passed
    CWordExport::TextBox labelBox = plainBox;
    labelBox.text = QStringLiteral("NO.1");
    labelBox.fontName = QStringLiteral("Arial");
    labelBox.fontSize = 9;
    ex.ExportText(labelBox, none);

    const QJsonArray objects = Objects(Saved(ex, dir, true), 0);
    ASSERT_EQ(objects.size(), 3);
    const QJsonObject placed = objects[0].toObject();
    EXPECT_TRUE(placed["textbox"].toBool());
    EXPECT_EQ(placed["insets"].toArray(), (QJsonArray{"0", "0", "0", "0"}));
    EXPECT_TRUE(placed["grows"].toBool()); // a text laid out taller is not clipped
    // Placed by its upper edge: the margin corner.
    EXPECT_NEAR(placed["left"].toDouble(), 0.0, kPt);
    EXPECT_NEAR(placed["top"].toDouble(), 0.0, kPt);
    EXPECT_NEAR(placed["height"].toDouble(), 1008 * DocxExport::kPointsPerUnitY, kPt);
    EXPECT_EQ(placed["fill"].toString(), "00FF00");
    EXPECT_EQ(placed["line"].toObject()["color"].toString(), "0000FF");
    EXPECT_NEAR(placed["line"].toObject()["weight"].toDouble(), 2.0, kPt);
    const QJsonObject para = placed["paragraphs"].toArray()[0].toObject();
    EXPECT_EQ(para["jc"].toString(), "center");
    const QJsonArray r = para["runs"].toArray();
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0].toObject(), (QJsonObject{{"font", QString::fromUtf8("宋体")}, {"eastAsia", QString::fromUtf8("宋体")},
                                            {"sz", 21}, {"color", "FF0000"}, {"b", true}, {"i", false},
                                            {"u", false}, {"text", QString::fromUtf8("温度\n<&>")}}));
    EXPECT_EQ(r[1].toObject(), (QJsonObject{{"font", "Arial"}, {"eastAsia", "Arial"}, {"sz", 24}, {"color", "auto"},
                                            {"b", false}, {"i", true}, {"u", true}, {"text", "\nsecond"}}));

    const QJsonObject plain = objects[1].toObject();
    EXPECT_TRUE(plain["fill"].isNull());
    EXPECT_TRUE(plain["line"].isNull());
    const QJsonObject lonePara = plain["paragraphs"].toArray()[0].toObject();
    EXPECT_EQ(lonePara["jc"].toString(), "right");
    EXPECT_EQ(lonePara["runs"].toArray().size(), 1);

    const QJsonObject label = FirstRun(objects[2].toObject()["paragraphs"].toArray()[0].toObject());
    EXPECT_EQ(label["text"].toString(), "NO.1");
    EXPECT_EQ(label["sz"].toInt(), 18);
    EXPECT_EQ(objects[2].toObject()["paragraphs"].toArray()[0].toObject()["jc"].toString(), "left");
}

TEST(DocxExport, TablesTakeRowHeightsColumnWidthsBordersAndCellRuns)
{
    // Border widths in eighths of a point by pen width.
    const std::vector<std::pair<int, int>> widths{{1, 2}, {2, 8}, {3, 12}, {4, 18}, {5, 18}, {6, 24}, {7, 24},
                                                  {8, 24}, {9, 36}, {10, 36}, {12, 48}, {11, 2}, {0, 2}, {-3, 2}};
    QTemporaryDir dir;
    DocxExport ex;
    ex.NewDocument(8.0f, 11.0f);
    const int grid = ex.AddTable(2, 3, 600, -650, 3000, 1500, {1008, 500}, {1000, 1000, 1008}, true,
                                 RGB(0x11, 0x22, 0x33), 2);
    EXPECT_EQ(grid, 1);
    TextRunList cell;
    cell.alignment = 2;
    cell.runs.push_back(MakeRun("Arial", 20, QStringLiteral("a")));
    cell.runs.push_back(MakeRun("System", 20, QChar(0x0B) + QStringLiteral("b")));
    ex.ExportTable(grid, 1, 1, 3, true, RGB(0xAA, 0xBB, 0xCC), cell);
    TextRunList system;
    system.runs.push_back(MakeRun("System", 20, QStringLiteral("c"))); // no earlier face: kept
    ex.ExportTable(grid, 2, 3, 3, false, 0, system);
    ex.ExportTable(grid, 3, 1, 3, false, 0, system); // no such cell
    ex.ExportTable(7, 1, 1, 3, false, 0, system);    // no such table
    for (const auto& [pen, eighths] : widths) {
        (void)eighths;
        ex.AddTable(1, 1, 600, -650, 100, 100, {100}, {100}, true, 0, pen);
    }
    ex.AddTable(1, 1, 600, -650, 100, 100, {100}, {100}, false, 0, 4);
    EXPECT_EQ(ex.AddTable(0, 3, 600, -650, 100, 100, {}, {}, true, 0, 1), 0);

    const QJsonArray objects = Objects(Saved(ex, dir, true), 0);
    ASSERT_EQ(objects.size(), int(widths.size()) + 2);
    const QJsonObject box = objects[0].toObject();
    EXPECT_TRUE(box["line"].isNull());
    const QJsonObject table = box["tables"].toArray()[0].toObject();
    EXPECT_NEAR(table["indent"].toDouble(), 6.0, kPt);
    const QJsonArray cols = table["columns"].toArray();
    ASSERT_EQ(cols.size(), 3);
    EXPECT_NEAR(cols[2].toDouble(), 1008 * DocxExport::kPointsPerUnitX, 0.05);
    const QJsonArray rows = table["rows"].toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_NEAR(rows[0].toObject()["height"].toDouble(), 1008 * DocxExport::kPointsPerUnitY, 0.05);
    EXPECT_NEAR(rows[1].toObject()["height"].toDouble(), 500 * DocxExport::kPointsPerUnitY, 0.05);
    EXPECT_EQ(rows[0].toObject()["rule"].toString(), "exact");
    EXPECT_EQ(table["borders"].toObject()["insideV"].toObject(),
              (QJsonObject{{"val", "single"}, {"sz", "8"}, {"color", "112233"}}));

    const QJsonObject c11 = rows[0].toObject()["cells"].toArray()[0].toObject();
    EXPECT_EQ(c11["fill"].toString(), "AABBCC");
    const QJsonObject p11 = c11["paragraphs"].toArray()[0].toObject();
    EXPECT_EQ(p11["jc"].toString(), "right");
    const QJsonArray r11 = p11["runs"].toArray();
    ASSERT_EQ(r11.size(), 2);
    EXPECT_EQ(r11[1].toObject()["font"].toString(), "Arial"); // "System" takes the earlier face
    EXPECT_EQ(r11[1].toObject()["text"].toString(), "\nb");
    const QJsonObject c23 = rows[1].toObject()["cells"].toArray()[2].toObject();
    EXPECT_TRUE(c23["fill"].isNull());
    EXPECT_EQ(FirstRun(c23["paragraphs"].toArray()[0].toObject())["font"].toString(), "System");
    EXPECT_TRUE(rows[1].toObject()["cells"].toArray()[0].toObject()["paragraphs"].toArray()[0].toObject()["runs"]
                    .toArray()
                    .isEmpty());

    for (std::size_t i = 0; i < widths.size(); ++i) {
        const QJsonObject borders =
            objects[int(i) + 1].toObject()["tables"].toArray()[0].toObject()["borders"].toObject();
        EXPECT_EQ(borders["top"].toObject()["sz"].toString().toInt(), widths[i].second) << "pen " << widths[i].first;
        EXPECT_EQ(DocxExport::BorderEighths(widths[i].first), widths[i].second);
    }
    const QJsonObject off = objects[int(widths.size()) + 1].toObject()["tables"].toArray()[0].toObject()["borders"]
                                .toObject();
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        EXPECT_EQ(off[side].toObject()["val"].toString(), "nil") << side;
}

// Result tables: rows split at the double backslash, heading rows (a "/"
// after both parts) in bold, field rows with their "/" kept,
// the object's fill in every cell, the report's small cell inset, and a box
// that grows when the word processor lays the rows out taller.
TEST(DocxExport, ResultTableRowsSplitAtTheDoubleBackslash)
{
    QTemporaryDir dir;
    DocxExport ex;
    ex.NewDocument(8.0f, 11.0f);
    const int t = ex.ExportResultTable(4, 600, -650, 3000, 800, 1200, 1800, 238.0f, true, RGB(1, 2, 3), 3);
    CWordExport::CellFormat format{QStringLiteral("Arial"), 180, false, false, true, true, RGB(255, 255, 0)};
    const QString rows =
        QString::fromUtf8("图像信息/\\\\数值/\\\\发射率\\\\0.95\\\\距离 1/2\\\\1/2 m\\\\存储位置\\\\/data/图像/\\\\");
    ex.FillResultTableCells(t, 4, format, rows);
    const int empty = ex.ExportResultTable(0, 600, -650, 3000, 800, 1200, 1800, 164.0f, false, 0, 1);
    ex.FillResultTableCells(empty, 0, format, {});
    ex.FillResultTableCells(t + 5, 4, format, rows); // no such table

    const QJsonArray objects = Objects(Saved(ex, dir, true), 0);
    ASSERT_EQ(objects.size(), 2);
    const QJsonObject table = objects[0].toObject()["tables"].toArray()[0].toObject();
    const QJsonArray cols = table["columns"].toArray();
    EXPECT_NEAR(cols[0].toDouble(), 1200 * DocxExport::kPointsPerUnitX, 0.05);
    EXPECT_NEAR(cols[1].toDouble(), 1800 * DocxExport::kPointsPerUnitX, 0.05);
    EXPECT_NEAR(table["indent"].toDouble(), 6.0, kPt);
    EXPECT_EQ(table["borders"].toObject()["top"].toObject()["sz"].toString(), "12");
    const QJsonArray r = table["rows"].toArray();
    ASSERT_EQ(r.size(), 4);
    EXPECT_NEAR(r[0].toObject()["height"].toDouble(), 238.0 * 0.055555556 + 1.0, 0.05);
    const auto text = [&](int row, int col) {
        return FirstRun(r[row].toObject()["cells"].toArray()[col].toObject()["paragraphs"].toArray()[0].toObject());
    };
    EXPECT_EQ(text(0, 0)["text"].toString(), QString::fromUtf8("图像信息"));
    EXPECT_EQ(text(0, 1)["text"].toString(), QString::fromUtf8("数值")); // as the report shows it
    EXPECT_EQ(text(1, 0)["text"].toString(), QString::fromUtf8("发射率"));
    EXPECT_EQ(text(1, 1)["text"].toString(), "0.95");
    EXPECT_EQ(text(2, 0)["text"].toString(), QString::fromUtf8("距离 1/2"));
    EXPECT_EQ(text(2, 1)["text"].toString(), "1/2 m");
    EXPECT_EQ(text(3, 1)["text"].toString(), QString::fromUtf8("/data/图像/")); // a folder is no heading
    EXPECT_FALSE(text(3, 1)["b"].toBool());
    EXPECT_FALSE(text(2, 0)["b"].toBool());
    EXPECT_EQ(text(1, 0)["font"].toString(), "Arial");
    EXPECT_EQ(text(1, 0)["sz"].toInt(), 18);
    EXPECT_FALSE(text(1, 0)["b"].toBool());
    EXPECT_TRUE(text(0, 0)["b"].toBool()); // the heading row
    EXPECT_TRUE(text(0, 1)["b"].toBool());
    EXPECT_TRUE(text(1, 0)["u"].toBool());
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 2; ++col)
            EXPECT_EQ(r[row].toObject()["cells"].toArray()[col].toObject()["fill"].toString(), "FFFF00") << row;
    }
    EXPECT_TRUE(objects[0].toObject()["grows"].toBool());
    EXPECT_NEAR(table["cellMargins"].toObject()["left"].toDouble(), 20 * DocxExport::kPointsPerUnitX, 0.05);
    EXPECT_NEAR(table["cellMargins"].toObject()["right"].toDouble(), 20 * DocxExport::kPointsPerUnitX, 0.05);
    EXPECT_FALSE(text(1, 0)["i"].toBool());
    // Zero rows still make one (empty) row.
    const QJsonArray emptyRows = objects[1].toObject()["tables"].toArray()[0].toObject()["rows"].toArray();
    ASSERT_EQ(emptyRows.size(), 1);
    EXPECT_EQ(emptyRows[0].toObject()["cells"].toArray()[0].toObject()["fill"].toString(), "FFFF00"); // filled too
}

TEST(DocxExport, PicturesArePngFilesInTextBoxes)
{
    QTemporaryDir dir;
    DocxExport ex;
    ex.NewDocument(8.0f, 11.0f);
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ex.ExportImage(1608, -1658, 2016, 1512, picture, false);
    ex.ExportImage(600, -650, 1000, 1000, picture, true);
    ex.ExportImage(600, -650, 1000, 1000, QImage(), false); // nothing to show: an empty box
    const QJsonObject doc = Saved(ex, dir, true);
    const QJsonArray objects = Objects(doc, 0);
    ASSERT_EQ(objects.size(), 3);
    const QJsonObject first = objects[0].toObject();
    EXPECT_TRUE(first["line"].isNull());
    EXPECT_NEAR(first["left"].toDouble(), 1008 * DocxExport::kPointsPerUnitX, kPt);
    EXPECT_NEAR(first["top"].toDouble(), 1008 * DocxExport::kPointsPerUnitY, kPt);
    EXPECT_NEAR(first["height"].toDouble(), 1512 * DocxExport::kPointsPerUnitY, kPt);
    EXPECT_EQ(first["pictures"].toArray()[0].toObject()["png"].toBool(), true);
    EXPECT_FALSE(first["grows"].toBool()); // a picture keeps its size
    EXPECT_FALSE(objects[1].toObject()["line"].isNull());
    EXPECT_TRUE(objects[2].toObject()["pictures"].toArray().isEmpty());
    EXPECT_TRUE(doc["contentTypes"].toString().contains("image/png"));
}

// A result table of 14 rows laid out by LibreOffice taller than
// its row height was measured for: its box grows, so every row, the last
// one too, is in the PDF's text on the one page, and no label wraps.
TEST(DocxExport, ALongResultTableIsNotCutWhenLaidOutTaller)
{
    QTemporaryDir dir;
    DocxExport ex;
    ex.NewDocument(8330.0f / 1008.0f, 11790.0f / 1008.0f);
    const int t = ex.ExportResultTable(14, 600, -650, 3000, 14 * 100, 1300, 1700, 100.0f, true, 0, 1);
    CWordExport::CellFormat format{QStringLiteral("Arial"), 180, false, false, false, true, RGB(255, 255, 0)};
    QString text = QString::fromUtf8("图像信息/\\\\数值/\\\\");
    QStringList labels;
    for (int i = 1; i < 14; ++i) {
        labels << QStringLiteral("区域%1平均温度").arg(i, 2, 10, QLatin1Char('0'));
        text += labels.last() + QStringLiteral("\\\\%1.5\\\\").arg(20 + i);
    }
    ex.FillResultTableCells(t, 14, format, text);
    const QString path = dir.filePath(QStringLiteral("long.docx"));
    ASSERT_TRUE(ex.SaveAs(path));
    QProcess check;
    check.start(QStringLiteral(DOCUMENT_TEST_PYTHON),
                {QStringLiteral(DOCUMENT_TEST_SCRIPTS "/docx_render_check.py"), path,
                 QStringLiteral(DOCUMENT_TEST_ARTIFACTS "/long-result-table")});
    ASSERT_TRUE(check.waitForFinished(180000));
    if (check.exitCode() == 77)
        GTEST_SKIP() << "LibreOffice is not installed";
    ASSERT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
    const QJsonObject result = QJsonDocument::fromJson(check.readAllStandardOutput()).object();
    EXPECT_EQ(result["pages"].toInt(), 1);
    // Each label on one line (pdftotext spaces the digits off the Chinese).
    QStringList lines = result["text"].toString().split(QLatin1Char('\n'));
    for (QString& line : lines)
        line.remove(QLatin1Char(' '));
    const QString pdfText = lines.join(QLatin1Char('\n'));
    for (int i = 0; i < labels.size(); ++i) {
        EXPECT_TRUE(pdfText.contains(labels[i])) << labels[i].toStdString();
        EXPECT_TRUE(pdfText.contains(QStringLiteral("%1.5").arg(21 + i))) << i;
    }
}

// A bold Chinese heading is bold where a reader draws it: LibreOffice
// renders the same Chinese line in the same face and size with clearly more
// ink in bold than in regular, in a Chinese face and in a Latin one (the
// result table's headings are Arial), whose Chinese the reader takes from a
// Chinese face (one without a bold face of its own shows both alike).
TEST(DocxExport, BoldChineseHeadingsAreBoldInLibreOffice)
{
    QTemporaryDir dir;
    DocxExport ex;
    ex.NewDocument(8.0f, 11.0f);
    const QString heading = QString::fromUtf8("红外热像检测报告");
    const char* const faces[] = {"宋体", "Arial"};
    constexpr int kStep = 1500; // units between the boxes' upper edges
    for (int i = 0; i < 4; ++i) {
        TextRunList runs;
        TextRun run = MakeRun(faces[i / 2], 44, heading);
        run.bold = i % 2 == 0;
        runs.runs.push_back(run);
        CWordExport::TextBox box;
        box.left = 600;
        box.top = -1658 - kStep * i; // the lower edge
        box.width = 4032;
        box.height = 1008;
        ex.ExportText(box, runs);
    }
    const QString path = dir.filePath(QStringLiteral("bold.docx"));
    ASSERT_TRUE(ex.SaveAs(path));
    // The lines' bands in points: 50 points of margin, 1008 units a box.
    const double top = DocxExport::kMarginPoints;
    const double box = 1008 * DocxExport::kPointsPerUnitY;
    const double step = kStep * DocxExport::kPointsPerUnitY;
    QStringList args{QStringLiteral(DOCUMENT_TEST_SCRIPTS "/docx_render_check.py"), path,
                     QStringLiteral(DOCUMENT_TEST_ARTIFACTS "/bold-chinese")};
    for (int i = 0; i < 4; ++i)
        args << QStringLiteral("%1,%2,%3,%4").arg(top).arg(top + step * i).arg(top + 4032 * DocxExport::kPointsPerUnitX).arg(top + step * i + box);
    QProcess check;
    check.start(QStringLiteral(DOCUMENT_TEST_PYTHON), args);
    ASSERT_TRUE(check.waitForFinished(180000));
    if (check.exitCode() == 77)
        GTEST_SKIP() << "LibreOffice is not installed";
    ASSERT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
    const QJsonObject result = QJsonDocument::fromJson(check.readAllStandardOutput()).object();
    QStringList lines = result["text"].toString().split(QLatin1Char('\n'));
    for (QString& line : lines)
        line.remove(QLatin1Char(' '));
    EXPECT_EQ(lines.filter(heading).size(), 4);
    const QJsonArray dark = result["rendered"].toArray()[0].toObject()["dark"].toArray();
    ASSERT_EQ(dark.size(), 4);
    QStringList fonts;
    for (const QJsonValue& f : result["fonts"].toArray())
        fonts << f.toString();
    for (int face = 0; face < 2; ++face) {
        SCOPED_TRACE(faces[face]);
        const int bold = dark[2 * face].toInt();
        const int regular = dark[2 * face + 1].toInt();
        EXPECT_GT(regular, 500);
        EXPECT_GT(bold, regular * 5 / 4) << "bold " << bold << ", regular " << regular << "; fonts "
                                         << fonts.join(QStringLiteral(", ")).toStdString();
    }
}

// ---- the report's export

TEST(ReportExport, PagesInOrderAndEveryObjectOnItsPage)
{
    CDI_RptDoc doc;
    BuildSampleReport(doc); // page 0: six objects, page 1: a rectangle
    doc.InsertPage(0, QStringLiteral("Third"));
    doc.SetCurPage(2);
    AddShape(doc, nullptr, CDrawRect::arrow, DocRect(600, -650, 1600, -650))->arrowStyle = 3;
    AddShape(doc, nullptr, CDrawRect::line, DocRect(600, -650, 1600, -1650))->page = 7; // past the last page
    RecordingExport ex;
    doc.ExportPages(ex);
    const QStringList expected{
        QStringLiteral("new %1x%2").arg(8330.0f / 1008.0f).arg(11790.0f / 1008.0f),
        "break 1", "break 2",
        "page 0", "rect 1000,-1000 3000x2000 1 0",
        "page 0", // round rectangle: not exported
        "page 0", // ellipse
        "page 0", "line 4500,-3500 7500,-5500 1 255",
        "page 0", // polygon
        "page 1", "rect 500,-500 1500x1500 1 0",
        "page 0", "arrow 1000,-6500 4000,-6500 1 0 111 222", // arrows at the tail of the list
        "page 2", "arrow 600,-650 1600,-650 1 0 222 222"};
    EXPECT_EQ(ex.calls, expected);
}

TEST(ReportExport, AsksForTheFileWritesItWholeAndOffersToOpenIt)
{
    QTemporaryDir dir;
    RecordingEnvironment env;
    CDI_RptDoc doc(&env);
    BuildSampleReport(doc);

    // Cancelled: nothing written, nothing asked.
    EXPECT_FALSE(doc.OnCommand(CDI_RptDoc::ID_EXPORT_WORD) && !env.messages.empty());
    // Proposed in the documents folder (nothing remembered), not in the
    // folder the program happens to run in.
    EXPECT_EQ(env.prompted,
              QStringList{platform::DocumentsFolder(platform::FolderUse::Write) + QStringLiteral("/report.docx")});
    EXPECT_TRUE(env.promptedFilters[0].contains("*.docx"));
    EXPECT_TRUE(env.messages.empty());

    // An existing file is replaced; Yes opens the result.
    const QString target = dir.filePath(QStringLiteral("out.docx"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    env.promptAnswer = target;
    env.answer = DocumentEnvironment::kAnswerYes;
    EXPECT_TRUE(doc.OnExportToWord());
    ASSERT_EQ(env.messages.size(), 1u);
    EXPECT_EQ(env.messages[0].stringId, doc_string::kExportedOpenIt);
    EXPECT_EQ(env.messages[0].type & 0xF, DocumentEnvironment::kYesNo);
    EXPECT_EQ(env.openedFiles, QStringList{target});
    const QJsonObject written = Dump(target);
    EXPECT_EQ(written["pages"].toArray().size(), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.docx"}); // no scratch file left

    // No: not opened. The export proposes the folder it last wrote to.
    env.messages.clear();
    env.prompted.clear();
    env.answer = DocumentEnvironment::kAnswerNo;
    EXPECT_TRUE(doc.OnExportToWord());
    EXPECT_EQ(env.openedFiles.size(), 1);
    EXPECT_EQ(env.prompted, QStringList{dir.filePath(QStringLiteral("report.docx"))});

    // A target that cannot be replaced: 61502, and what was there stays.
    for (const QString& bad : {dir.path(), dir.filePath(QStringLiteral("missing/out.docx"))}) {
        env.messages.clear();
        env.promptAnswer = bad;
        EXPECT_FALSE(doc.OnExportToWord());
        ASSERT_EQ(env.messages.size(), 1u);
        EXPECT_EQ(env.messages[0].stringId, doc_string::kTargetInUse);
    }
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.docx"});
    EXPECT_EQ(env.savePath, dir.path()) << "a failed export is not remembered";
}

namespace {

// Notes whether the wait notice is on screen while it exports.
class NoticeProbe : public CDrawObj {
public:
    using CDrawObj::CDrawObj;
    void ExportToWord(CWordExport& exporter) override
    {
        (void)exporter;
        for (QWidget* w : QApplication::topLevelWidgets())
            noticeShown = noticeShown || (qobject_cast<CWordWaitDlg*>(w) != nullptr && w->isVisible());
    }
    bool noticeShown = false;
};

} // namespace

TEST(ReportExport, PhotosAndLogosExportTheirPicturesWhileTheNoticeShows)
{
    QTemporaryDir dir;
    RecordingEnvironment env;
    CDI_RptDoc doc(&env);
    const QString file = dir.filePath(QStringLiteral("photo.bmp"));
    QImage source(64, 48, QImage::Format_RGB32);
    source.fill(Qt::blue);
    ASSERT_TRUE(source.save(file, "BMP"));
    auto* photo = static_cast<CDrawPhoto*>(
        doc.AddNoUndo(std::make_unique<CDrawPhoto>(nullptr, DocRect(1000, -3000, 3000, -1000))));
    photo->page = 0;
    ASSERT_TRUE(photo->LoadPicture(file));
    auto* logo =
        static_cast<CDrawLogo*>(doc.AddNoUndo(std::make_unique<CDrawLogo>(nullptr, DocRect(4000, -1000, 5008, -2008))));
    logo->page = 0;
    auto* probe = static_cast<NoticeProbe*>(doc.AddNoUndo(std::make_unique<NoticeProbe>()));
    probe->page = 0;

    RecordingExport ex;
    doc.ExportPages(ex);
    ASSERT_EQ(ex.pictures.size(), 2u);
    const DocRect p = photo->position.Normalized();
    EXPECT_EQ(ex.calls[2], QStringLiteral("image %1,%2 %3x%4 %5x%6 0")
                               .arg(p.left).arg(p.bottom).arg(p.Width()).arg(p.Height())
                               .arg(ex.pictures[0].width()).arg(ex.pictures[0].height()));
    EXPECT_EQ(ex.pictures[0], photo->ExportPicture());
    EXPECT_EQ(ex.calls[4], QStringLiteral("image 4000,-1000 1008x1008 96x96 0"));
    EXPECT_EQ(ex.pictures[1], logo->ExportPicture());
    EXPECT_FALSE(probe->noticeShown);

    // The menu command shows the notice while the objects export, and
    // closes it.
    env.promptAnswer = dir.filePath(QStringLiteral("out.docx"));
    ASSERT_TRUE(doc.OnExportToWord());
    EXPECT_TRUE(probe->noticeShown);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<CWordWaitDlg*>(w), nullptr);
    const QJsonArray objects = Objects(Dump(env.promptAnswer), 0);
    ASSERT_EQ(objects.size(), 2);
    EXPECT_TRUE(objects[0].toObject()["pictures"].toArray()[0].toObject()["png"].toBool());
}
