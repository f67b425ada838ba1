#include "every_object_report.h"

#include "content/draw_field.h"
#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "content/draw_result_table.h"
#include "content/draw_table.h"
#include "content/draw_text.h"
#include "content/chart_objects.h"
#include "content/draw_time_profile.h"
#include "content/table_objects.h"
#include "content/text_format_ops.h"
#include "content/text_objects.h"
#include "document/draw_photo.h"
#include "document/draw_poly.h"
#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>

// Line ends as the word processor's reader gives them; no trailing break.
QString Lines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(0x2028), QLatin1Char('\n'));
    text.replace(QChar(0x2029), QLatin1Char('\n'));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

namespace {

QString Hex(COLORREF color)
{
    return QStringLiteral("%1%2%3")
        .arg(GetRValue(color), 2, 16, QLatin1Char('0'))
        .arg(GetGValue(color), 2, 16, QLatin1Char('0'))
        .arg(GetBValue(color), 2, 16, QLatin1Char('0'))
        .toUpper();
}

// An RTF text in one font, bold or not; characters past ASCII as \u.
QByteArray Rtf(const QString& text, bool bold)
{
    QByteArray body;
    for (QChar c : text)
        body += c.unicode() < 0x80 ? QByteArray(1, char(c.unicode()))
                                   : "\\u" + QByteArray::number(std::int16_t(c.unicode())) + "?";
    return "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\r\n"
           "\\viewkind4\\uc1\\pard\\qc\\f0\\fs20" +
           QByteArray(bold ? "\\b " : " ") + body + (bold ? "\\b0" : "") + "\\par\r\n}\r\n";
}

// The classes the program registers at its start, so that the saved report
// opens again.
void RegisterProgramClasses()
{
    static const bool done = [] {
        DrawClassRegistry& registry = DrawClassRegistry::Standard();
        CDrawIR::Register(registry);
        RegisterTextObjects(registry);
        RegisterTableObjects(registry);
        RegisterChartObjects(registry);
        CDraw3DMap::Register(registry);
        return true;
    }();
    (void)done;
}

CDrawObj* Add(CDI_RptDoc* doc, std::unique_ptr<CDrawObj> obj, int page)
{
    obj->page = std::uint32_t(page);
    return doc->AddNoUndo(std::move(obj));
}

ExpectedTable TableCells(CDI_RptDoc& doc, CDrawTable& grid)
{
    ExpectedTable rows(std::size_t(grid.GetRowCount()));
    for (int r = 0; r < grid.GetRowCount(); ++r) {
        for (int c = 0; c < grid.GetColumnCount(); ++c) {
            CDrawObj* cell = grid.Cell(r, c);
            ExpectedCell e;
            if (auto* field = dynamic_cast<CDrawField*>(cell)) {
                field->GetFieldText(e.text);
            } else {
                int alignment = 0;
                grid.GetCellText(grid.view, r, c, e.text, alignment);
                e.text = Lines(e.text);
                QTextDocument rich;
                rich_text::LoadStoreOrDefault(cell->textStore, doc.Environment(), rich);
                QTextCursor all(&rich);
                all.select(QTextCursor::Document);
                e.bold = !e.text.isEmpty() && rich_text::SelectionHasEffect(all, 1);
            }
            if (cell->brushOn != 0)
                e.fill = Hex(cell->brush.color);
            rows[std::size_t(r)].push_back(e);
        }
    }
    return rows;
}

} // namespace

EveryObjectReport::EveryObjectReport(ViewFixture& f, const QTemporaryDir& dir)
{
    RegisterProgramClasses();
    CDI_RptView* view = f.View();
    CDI_RptDoc* doc = view->GetDocument();
    doc->InsertPage(0, QStringLiteral("2"));
    doc->InsertPage(1, QStringLiteral("3"));
    pages = doc->GetPageCount();

    // Page 1: the image with its analyses, its result table, a table and
    // field texts.
    // Two camera files in a folder of a short name: the result table
    // shows the folder, and the time profile measures both files.
    for (const char* name : {"a.vni", "b.vni"})
        QFile::copy(QStringLiteral(PAGEWRIGHT_IR_FIXTURES "/k4_320.vni"), images.filePath(QLatin1String(name)));
    // A rectangle of the size and aspect the image keeps (3600 units wide
    // with its colour bar), as the program saves every image it has drawn.
    auto made = std::make_unique<CDrawIR>(view, DocRect(600, -650, 4200, -2600));
    made->SetNumber(1);
    image = static_cast<CDrawIR*>(Add(doc, std::move(made), 0));
    view->InsertIRObject(image);
    EXPECT_TRUE(image->LoadIRFile(images.filePath(QStringLiteral("a.vni"))));
    const auto analysis = [this](int kind, int number, IRShape shape) {
        IRAnalysisItem item;
        item.kind = kind;
        item.number = number;
        item.shape = shape;
        item.emissivity = 0.95f;
        item.distance = 1.0f;
        image->m_analyses.Add(item);
    };
    analysis(kAnalysisPoint, 1, {80, 60, 0, 0});
    analysis(kAnalysisPoint, 2, {240, 180, 0, 0});
    analysis(kAnalysisLine, 1, {20, 120, 300, 120});
    analysis(kAnalysisRect, 1, {150, 40, 260, 110});
    analysis(kAnalysisEllipse, 2, {30, 150, 100, 220});
    image->RecomputeAll();

    // Image, parameter, spot, line and area rows: 18 with their headings.
    result = static_cast<CDrawResultTable*>(
        Add(doc, std::make_unique<CDrawResultTable>(view, DocRect(4400, -650, 7700, -900)), 0));
    result->SetFieldIds({33200, 33202, 33203, 33400, 33401, 33402, 33500, 33600, 33601, 33603, 33703});
    platform::CHARFORMAT font = result->Font();
    font.yHeight = 200; // a font of its own: rows taller than the default
    result->SetFont(font);
    result->brushOn = 1;
    result->brush.color = RGB(255, 255, 0);
    result->FitToRows();

    table = static_cast<CDrawTable*>(
        Add(doc, std::make_unique<CDrawTable>(view, DocRect(600, -3600, 4200, -4800), 4, 3), 0));
    table->RecalcLayout();
    const char* headings[] = {"名称", "温度", "位置", "备注"};
    for (int c = 0; c < 4; ++c) {
        table->Cell(0, c)->textStore.Assign(Rtf(QString::fromUtf8(headings[c]), true));
        table->Cell(0, c)->brushOn = 1;
        table->Cell(0, c)->brush.color = RGB(0xC0, 0xD8, 0xFF);
    }
    table->SetCellText(view, 1, 0, QStringLiteral("P1"), 1);
    table->MakeFieldCell(5, 1, 33500);
    table->SetCellText(view, 1, 2, QString::fromUtf8("左上"), 0);
    table->SetCellText(view, 2, 0, QStringLiteral("P2"), 1);
    table->SetCellText(view, 2, 1, QStringLiteral("23.5"), 2);
    table->SetCellText(view, 2, 2, QString::fromUtf8("<右&>"), 0);
    table->SetCellText(view, 2, 3, QString::fromUtf8("需复查"), 0);
    table->Cell(2, 3)->brushOn = 1;
    table->Cell(2, 3)->brush.color = RGB(0xC0, 0xFF, 0xC0);
    table->RegisterWithImages(view);

    int left = 600;
    for (int id : {33500, 33703, 33202}) {
        auto* field = static_cast<CDrawField*>(
            Add(doc, std::make_unique<CDrawField>(view, DocRect(left, -5000, left + 2200, -5300)), 0));
        field->SetBinding(1, 1, id);
        // As the field tool makes it: one edit gives it its format.
        field->BeginEdit(view, 0);
        field->EndEdit(view);
        left += 2400;
    }

    // Page 2: the charts of the image, a text and the 3D map.
    Add(doc, std::make_unique<CDrawProfile>(view, DocRect(600, -650, 7700, -3650)), 1);
    Add(doc, std::make_unique<CDrawHistogram>(view, DocRect(600, -3900, 4000, -6900)), 1);
    Add(doc, std::make_unique<CDrawTimeProfile>(view, DocRect(4200, -3900, 7700, -6900)), 1);
    auto* text = static_cast<CDrawText*>(
        Add(doc, std::make_unique<CDrawText>(view, DocRect(600, -7200, 7700, -8000)), 1));
    text->SetPlainText(view, QString::fromUtf8("检测结论：设备温度正常\nSecond line, 2 items"), 1, nullptr);
    Add(doc, std::make_unique<CDraw3DMap>(view, DocRect(600, -8300, 3600, -10300)), 1);

    // Page 3: a photo, the logo, the five simple shapes and a polygon.
    const QString photoFile = dir.filePath(QStringLiteral("photo.bmp"));
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(QColor(0, 0, 160));
    EXPECT_TRUE(photo.save(photoFile, "BMP"));
    auto* photoObj = static_cast<CDrawPhoto*>(
        Add(doc, std::make_unique<CDrawPhoto>(view, DocRect(600, -650, 3600, -2900)), 2));
    EXPECT_TRUE(photoObj->LoadPicture(photoFile));
    Add(doc, std::make_unique<CDrawLogo>(view, DocRect(4000, -650, 5008, -1658)), 2);
    for (int shape : {CDrawRect::rectangle, CDrawRect::roundRectangle, CDrawRect::ellipse, CDrawRect::line,
                      CDrawRect::arrow}) {
        auto obj = std::make_unique<CDrawRect>(view, DocRect(600, -3200 - 600 * shape, 3600, -3600 - 600 * shape));
        obj->shape = shape;
        Add(doc, std::move(obj), 2);
    }
    auto poly = std::make_unique<CDrawPoly>(view, DocRect());
    for (QPoint p : {QPoint(4000, -3200), QPoint(7000, -3200), QPoint(5500, -6000)})
        poly->AddPoint(p, nullptr);
    poly->brushOn = 1;
    poly->brush.color = RGB(255, 0, 255);
    Add(doc, std::move(poly), 2);
    doc->SetCurPage(0);

    path = dir.filePath(QStringLiteral("every.rpt"));
    EXPECT_TRUE(doc->SaveToPath(path));
    Expect(*doc);
}

// What the report shows, object by object, in the order of the list.
void EveryObjectReport::Expect(CDI_RptDoc& doc)
{
    expected.assign(std::size_t(pages), {});
    for (CDrawObj* obj : doc.GetObjects()) {
        ExpectedPage& page = expected[obj->page];
        if (auto* t = dynamic_cast<CDrawResultTable*>(obj)) {
            ExpectedTable rows;
            for (const CDrawResultTable::Row& row : t->Rows()) {
                const QString fill = t->brushOn != 0 ? Hex(t->brush.color) : QString();
                rows.push_back({{row.label, fill, row.heading}, {row.value, fill, row.heading}});
            }
            page.tables.push_back(rows);
        } else if (auto* grid = dynamic_cast<CDrawTable*>(obj)) {
            page.tables.push_back(TableCells(doc, *grid));
        } else if (auto* field = dynamic_cast<CDrawField*>(obj)) {
            QString label;
            field->GetFieldText(label);
            page.texts << label;
        } else if (auto* text = dynamic_cast<CDrawText*>(obj)) {
            QString plain;
            int alignment = 0;
            text->GetPlainText(text->view, plain, alignment);
            page.texts << Lines(plain);
        } else if (dynamic_cast<CDrawIR*>(obj) != nullptr || dynamic_cast<CDrawPhoto*>(obj) != nullptr ||
                   dynamic_cast<CDrawLogo*>(obj) != nullptr || dynamic_cast<CDrawProfile*>(obj) != nullptr ||
                   dynamic_cast<CDrawHistogram*>(obj) != nullptr ||
                   dynamic_cast<CDrawTimeProfile*>(obj) != nullptr || dynamic_cast<CDraw3DMap*>(obj) != nullptr) {
            ++page.pictures;
        }
    }
}
