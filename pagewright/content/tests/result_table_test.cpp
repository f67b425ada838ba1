// The result table: record, rows from an image's fields and analyses, the
// row text, column drags, the font through the editor, and its export.
#include "table_test_support.h"

#include "content/field_prop.h"
#include "content/text_edit_view.h"
#include "document/property_sheet.h"
#include "document/record_values.h"

#include <QLineEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

using namespace table_test;

namespace {

// An image with the fixture file and two spots, a line and an area.
CDrawIR* AddLoadedImage(Report& r, QTemporaryDir& dir, int spots = 2)
{
    CDrawIR* image = r.AddImage(1, DocRect(100, -100, 4100, -3100));
    const QString file = dir.filePath(QStringLiteral("k4_320.vni"));
    QFile::copy(QStringLiteral(CONTENT_IR_FIXTURES "/k4_320.vni"), file);
    EXPECT_TRUE(image->LoadIRFile(file));
    const auto add = [image](int kind, int number, IRShape shape) {
        IRAnalysisItem item;
        item.kind = kind;
        item.number = number;
        item.shape = shape;
        item.emissivity = 0.95f;
        item.distance = 1.0f;
        image->m_analyses.Add(item);
    };
    for (int i = 0; i < spots; ++i)
        add(kAnalysisPoint, i + 1, {100 + 50 * i, 100, 0, 0});
    add(kAnalysisLine, 1, {10, 200, 300, 200});
    add(kAnalysisRect, 1, {20, 20, 120, 100});
    image->RecomputeAll();
    return image;
}

CDrawResultTable* AddResult(Report& r, std::vector<std::uint32_t> ids, const DocRect& rect = DocRect(600, -3500, 3180, -3300))
{
    auto* t = r.Add(std::make_unique<CDrawResultTable>(&r.view, rect));
    t->SetFieldIds(std::move(ids));
    return t;
}

QStringList Rows(const QString& rowText)
{
    QStringList parts = rowText.split(QStringLiteral("\\\\"));
    if (!parts.isEmpty() && parts.back().isEmpty())
        parts.pop_back();
    return parts;
}

} // namespace

TEST(ResultTable, RecordEqualsTheGoldenBytesAndReadsBack)
{
    const QByteArray golden = ReadFile(QStringLiteral(CONTENT_GOLDEN "/result_table.bin"));
    ASSERT_FALSE(golden.isEmpty());
    platform::ArchiveReader reader(golden, Registry().ArchiveRegistry());
    CDrawResultTable t;
    t.Serialize(reader);
    EXPECT_EQ(t.GetIRNumber(), 2);
    EXPECT_EQ(t.FieldIds(), (std::vector<std::uint32_t>{33203, 33401}));
    EXPECT_EQ(t.GetDifference(), 1);
    EXPECT_EQ(t.RowHeight(), 238.0f);
    EXPECT_EQ(t.Font().FaceName(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(t.Font().dwMask, 0x20000007u);
    EXPECT_EQ(RecordOf(t).toHex(), golden.toHex());
    // A new table's font and colours.
    CDrawResultTable made(nullptr, DocRect(600, -2000, 3180, -1500));
    EXPECT_EQ(made.Font().ToBytes(), t.Font().ToBytes());
    EXPECT_EQ(made.pen.widthX, 2);
    EXPECT_EQ(made.brush.color, 0x00FFFFu);
    EXPECT_EQ(made.brushOn, 1);
    EXPECT_EQ(made.roundness, QPoint(16, 16));
    EXPECT_EQ(made.ColumnWidths(), (std::array<std::uint16_t, 2>{1290, 1290}));
}

TEST(ResultTable, AFieldCountBeyondTheDataIsRefused)
{
    QByteArray bytes = ReadFile(QStringLiteral(CONTENT_GOLDEN "/result_table.bin"));
    qToLittleEndian(std::uint32_t(0x40000000), bytes.data() + 56 + 14 + 4 + 4);
    platform::ArchiveReader reader(bytes, Registry().ArchiveRegistry());
    CDrawResultTable t;
    EXPECT_THROW(t.Serialize(reader), platform::ArchiveError);
}

// Values a result table cannot hold refuse its record: a font height whose
// drawing height overflows, a row height of -2.3e29 or not a number, a pen
// width that overflows when drawn 10.5 times as wide, an edge past int.
TEST(ResultTable, ExtremeValuesRefuseTheRecord)
{
    const QByteArray golden = ReadFile(QStringLiteral(CONTENT_GOLDEN "/result_table.bin"));
    ASSERT_FALSE(golden.isEmpty());
    constexpr qsizetype kFont = 56 + 14 + 4 + 4 + 4 + 8; // the CHARFORMAT
    constexpr qsizetype kRowHeight = kFont + 60 + 2;
    struct Case {
        const char* what;
        qsizetype offset;
        std::uint32_t bits;
        bool reads;
    };
    const auto bitsOf = [](float v) { return std::bit_cast<std::uint32_t>(v); };
    const Case cases[] = {
        {"font height 1802201963", kFont + 12, 1802201963u, false},
        {"font height at the limit", kFont + 12, std::uint32_t(record_values::kMaxFontHeight), true},
        {"row height -2.3e29", kRowHeight, bitsOf(-2.3e29f), false},
        {"row height not a number", kRowHeight, bitsOf(std::numeric_limits<float>::quiet_NaN()), false},
        {"pen width 1802201963", 22, 1802201963u, false},
        {"left edge past int", 0, 2147483647u, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray bytes = golden;
        qToLittleEndian(c.bits, bytes.data() + c.offset);
        platform::ArchiveReader reader(bytes, Registry().ArchiveRegistry());
        CDrawResultTable t;
        if (c.reads) {
            t.Serialize(reader);
            EXPECT_EQ(t.FontHeight(), record_values::kMaxFontHeight * 2 / 3);
            continue;
        }
        try {
            t.Serialize(reader);
            ADD_FAILURE() << "read";
        } catch (const platform::ArchiveError& e) {
            EXPECT_EQ(e.code(), platform::ArchiveErrorCode::BadValue);
            // The font is refused as a whole record of its own.
            EXPECT_EQ(e.offset(), std::size_t(c.offset == kFont + 12 ? kFont : c.offset));
        }
    }
}

TEST(ResultTable, ANewTableWithoutFieldsIsOneLineHighAndSplitInHalves)
{
    Report r;
    CDrawResultTable* t = AddResult(r, {});
    DrawOnce(*t);
    const DocRect n = t->position.Normalized();
    EXPECT_EQ(n.Width(), 2580);
    EXPECT_EQ(n.Height(), 21 * 2 + t->LineHeight() + 40);
    EXPECT_EQ(n.bottom, -3300) << "the upper edge stays";
    EXPECT_EQ(t->ColumnWidths(), (std::array<std::uint16_t, 2>{1290, 1290}));
    EXPECT_EQ(t->FontHeight(), 160);
}

// The width the user drew stays through the first draws, before and after
// fields are chosen; only the height follows the rows. A click-made table
// (too narrow for two columns) takes the default width.
TEST(ResultTable, TheDrawnWidthStaysAndOnlyTheHeightFollowsTheRows)
{
    Report r;
    QTemporaryDir dir;
    AddLoadedImage(r, dir);
    struct Case {
        const char* what;
        int drawn;
        int width;
    };
    const Case cases[] = {
        {"500 pixels at 100 %", 5250, 5250},
        {"narrower than the default", 1500, 1500},
        {"a click", 200, 2580},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDrawResultTable* t = AddResult(r, {}, DocRect(600, -3300, 600 + c.drawn, -3500));
        DrawOnce(*t);
        EXPECT_EQ(t->position.Normalized().Width(), c.width);
        EXPECT_EQ(int(t->ColumnWidths()[0]) + t->ColumnWidths()[1], c.width);
        const int upper = t->position.Normalized().bottom;
        t->SetFieldIds({33203, 33401});
        DrawOnce(*t);
        const DocRect n = t->position.Normalized();
        EXPECT_EQ(n.Width(), c.width);
        EXPECT_EQ(n.left, 600);
        EXPECT_EQ(n.bottom, upper);
        EXPECT_EQ(n.Height(), 4 * int(t->RowHeight()) + 2 * ScaledPenWidth(2));
    }
}

// The value column reaches the frame's right side even when the stored
// column widths add up to less than the frame (a file written elsewhere):
// the table draws as one whose widths fill it.
TEST(ResultTable, TheValueColumnTakesTheRestOfTheFrame)
{
    Report r;
    QTemporaryDir dir;
    AddLoadedImage(r, dir);
    const DocRect frame(300, -300, 5500, -500);
    CDrawResultTable* filled = AddResult(r, {33203}, frame);
    ASSERT_EQ(int(filled->ColumnWidths()[0]) + filled->ColumnWidths()[1], 5200);
    // The same table with a value column of 1290 in its record.
    QByteArray bytes = RecordOf(*filled);
    qToLittleEndian(std::uint16_t(1290), bytes.data() + 56 + 14 + 2);
    platform::ArchiveReader reader(bytes, Registry().ArchiveRegistry());
    auto read = std::make_unique<CDrawResultTable>();
    read->Serialize(reader);
    read->view = &r.view;
    CDrawResultTable* short_ = r.Add(std::move(read));
    ASSERT_EQ(short_->ColumnWidths()[1], 1290);
    QImage a, b;
    DrawOnce(*filled, &a);
    DrawOnce(*short_, &b);
    EXPECT_EQ(a, b);
}

TEST(ResultTable, ImageAndParameterFieldsGiveAHeaderPerGroup)
{
    Report r;
    QTemporaryDir dir;
    AddLoadedImage(r, dir);
    CDrawResultTable* t = AddResult(r, {33203, 33401});
    DrawOnce(*t);
    EXPECT_EQ(t->RowCount(), 4);
    const QStringList rows = Rows(t->RowText());
    ASSERT_EQ(rows.size(), 8) << t->RowText().toStdString();
    EXPECT_EQ(rows[0], QStringLiteral("红外图像信息/"));
    EXPECT_EQ(rows[1], QStringLiteral("数值/"));
    EXPECT_EQ(rows[2], QStringLiteral("存储位置"));
    EXPECT_TRUE(rows[3].contains(dir.path())) << rows[3].toStdString();
    EXPECT_EQ(rows[4], QStringLiteral("目标参数/"));
    EXPECT_EQ(rows[6], QStringLiteral("距离"));
    EXPECT_TRUE(t->RowText().startsWith(QStringLiteral("红外图像信息/\\\\数值/\\\\存储位置\\\\")));
    const DocRect n = t->position.Normalized();
    EXPECT_EQ(n.Height(), 4 * int(t->RowHeight()) + 2 * ScaledPenWidth(2)) << "the height follows the rows";
}

TEST(ResultTable, RowSeparatorsRunAlongEachRowsUpperSide)
{
    Report r;
    QTemporaryDir dir;
    AddLoadedImage(r, dir);
    // Without the frame pen only the separators draw lines (black, one
    // pixel), so the table's upper side shows a line and its lower side none.
    CDrawResultTable* t = AddResult(r, {33401}, DocRect(100, -200, 3000, -100));
    t->penOn = 0;
    QImage image;
    DrawOnce(*t, &image);
    ASSERT_EQ(t->RowCount(), 2);
    const DocRect n = t->position.Normalized();
    const PageMapping mapping = PageMapping::ForZoom(1.0);
    const auto blackInRow = [&](int pageY) {
        const int y = int(std::lround(mapping.ToDevice(0, pageY).y()));
        int black = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            if (y + dy < 0 || y + dy >= image.height())
                continue;
            int run = 0;
            for (int x = 0; x < image.width(); ++x)
                run += qGray(image.pixel(x, y + dy)) < 64 ? 1 : 0;
            black = std::max(black, run);
        }
        return black;
    };
    const int width = int(mapping.Scale() * n.Width());
    const int rowHeight = int(t->RowHeight());
    const int top = n.bottom - ScaledPenWidth(t->pen.widthX); // rows start inside the pen
    EXPECT_GT(blackInRow(top), width * 9 / 10) << "upper side of the header row";
    EXPECT_GT(blackInRow(top - rowHeight), width * 9 / 10) << "upper side of the field row";
    EXPECT_LT(blackInRow(top - 2 * rowHeight), width / 4) << "no line under the last row";
}

TEST(ResultTable, SpotFieldsRepeatForEveryPointAnalysisInOrder)
{
    Report r;
    QTemporaryDir dir;
    CDrawIR* image = AddLoadedImage(r, dir);
    CDrawResultTable* t = AddResult(r, {33500, 33703});
    t->BuildRows(nullptr);
    const QStringList rows = Rows(t->RowText());
    // spot header, spot 1, spot 2, area header, area 1.
    ASSERT_EQ(t->RowCount(), 5) << t->RowText().toStdString();
    EXPECT_EQ(rows[0], QStringLiteral("点分析/"));
    QString first, second;
    image->GetPointText(1, 33500, first = QStringLiteral("SPEC"), false);
    image->GetPointText(2, 33500, second = QStringLiteral("SPEC"), false);
    EXPECT_EQ(rows[2] + QLatin1Char('\n') + rows[3], first);
    EXPECT_EQ(rows[4] + QLatin1Char('\n') + rows[5], second);
    EXPECT_EQ(rows[6], QStringLiteral("区域分析/"));
}

TEST(ResultTable, AnUnknownFieldIsAllValueAndAMissingImageGivesNoRows)
{
    Report r;
    QTemporaryDir dir;
    AddLoadedImage(r, dir);
    CDrawResultTable* t = AddResult(r, {33299}); // group 0, an id its formatter does not know
    t->BuildRows(nullptr);
    EXPECT_EQ(Rows(t->RowText()), (QStringList{QStringLiteral("红外图像信息/"), QStringLiteral("数值/"), QString(),
                                               QStringLiteral("SPEC")}));
    CDrawResultTable* orphan = AddResult(r, {33203});
    orphan->SetIRNumber(9);
    DrawOnce(*orphan);
    EXPECT_EQ(orphan->RowCount(), 0);
    EXPECT_EQ(orphan->position.Normalized().Height(), 21 * 2 + orphan->LineHeight() + 40);
}

TEST(ResultTable, ColumnDragsKeepBothColumnsAbove200AndTheHeightFollowsTheRows)
{
    struct Case {
        int handle;
        int x;
        bool accepted;
    };
    // Columns 1290 + 1290 from x 600 (divider at 1890).
    const Case cases[] = {
        {10, 1890 - 1090, false}, {10, 1890 - 1089, true}, {10, 1890 + 1090, false}, {10, 1890 + 1000, true},
        {9, 600 + 1090, false},   {9, 600 + 1089, true},   {11, 3180 - 1090, false}, {11, 3180 + 500, true},
    };
    for (const Case& c : cases) {
        Report r;
        CDrawResultTable* t = AddResult(r, {});
        t->MoveHandleTo(c.handle, QPoint(c.x, -3400), 0, &r.view);
        const auto w = t->ColumnWidths();
        const bool changed = w != std::array<std::uint16_t, 2>{1290, 1290};
        EXPECT_EQ(changed, c.accepted) << c.handle << " " << c.x;
        if (c.accepted) {
            EXPECT_GT(std::min(w[0], w[1]), 200) << c.handle << " " << c.x;
        }
    }
    Report r;
    CDrawResultTable* t = AddResult(r, {});
    const DocRect before = t->position;
    t->MoveHandleTo(2, QPoint(1000, -5000), 0, &r.view);
    t->MoveHandleTo(6, QPoint(1000, 0), 0, &r.view);
    EXPECT_EQ(t->position, before);
    // Handle 4 to the right keeps the shares.
    t->MoveHandleTo(4, QPoint(600 + 4000, -3400), CDrawObj::kMoveNoUndo, &r.view);
    EXPECT_EQ(t->ColumnWidths(), (std::array<std::uint16_t, 2>{2000, 2000}));
}

TEST(ResultTable, TheFormatBarSetsTheWholeFontAndAlignmentStaysLeft)
{
    Report r;
    CDrawResultTable* t = AddResult(r, {33203});
    EXPECT_EQ(t->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("1"), 0), 0) << "no editor borrowed yet";
    r.view.Select(t, false);
    t->BeginEdit(&r.view, 0);
    EXPECT_FALSE(r.editor->IsVisible());
    // The bar reads the size the table draws with, though the stored mask
    // does not name it.
    platform::CHARFORMAT shown;
    r.editor->OnFormatBarNotify(0, FMTN_QUERY, &shown);
    EXPECT_NE(shown.dwMask & platform::CFM_SIZE, 0u);
    EXPECT_EQ(shown.yHeight, 240);
    // Bold from the bar: the editor's selection, then the key.
    QTextCursor c = r.editor->Cursor();
    c.select(QTextCursor::Document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.mergeCharFormat(bold);
    r.editor->SetCursor(c);
    t->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("1"), 0);
    EXPECT_NE(t->Font().dwEffects & platform::CFE_BOLD, 0u);
    EXPECT_EQ(t->Font().FaceName(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(t->Font().yHeight, 240) << "bold keeps the size";
    // Centre from the bar: the editor goes back to left.
    QTextCursor all = r.editor->Cursor();
    all.select(QTextCursor::Document);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centre);
    r.editor->SetCursor(all);
    t->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("5"), 0);
    EXPECT_TRUE(r.editor->Document()->firstBlock().blockFormat().alignment() & Qt::AlignLeft);
    t->EndEdit(&r.view);
    EXPECT_NE(t->Font().dwEffects & platform::CFE_BOLD, 0u);
}

TEST(ResultTable, TheExportSplitsTheRowText)
{
    Report r;
    QTemporaryDir dir;
    AddLoadedImage(r, dir);
    struct Recorder : CWordExport {
        int rows = -1;
        float rowHeight = 0;
        float top = 0;
        QString text;
        CellFormat format;
        int ExportResultTable(int n, float, float t, float, float, float, float, float h, bool, COLORREF, int) override
        {
            rows = n;
            top = t;
            rowHeight = h;
            return 1;
        }
        void FillResultTableCells(int, int, const CellFormat& f, const QString& rowText) override
        {
            format = f;
            text = rowText;
        }
    };
    CDrawResultTable* t = AddResult(r, {33203, 33401});
    Recorder exporter;
    t->ExportToWord(exporter);
    EXPECT_EQ(exporter.rows, 4);
    EXPECT_EQ(exporter.rowHeight, 238.0f);
    EXPECT_EQ(exporter.top, -3300.0f) << "the upper edge";
    EXPECT_EQ(Rows(exporter.text).size(), 8);
    EXPECT_EQ(exporter.format.faceName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(exporter.format.heightTwips, 240);
    CDrawResultTable* empty = AddResult(r, {});
    Recorder none;
    empty->ExportToWord(none);
    EXPECT_EQ(none.rows, 0);
    EXPECT_EQ(none.rowHeight, 164.0f);
}

// A table read back from its record holds no rows until it is drawn; the
// export lays them out itself, whatever its font (a row height other than
// the default one too), and keeps that row height.
TEST(ResultTable, ATableReadBackExportsAllItsRowsBeforeItIsDrawn)
{
    Report r;
    QTemporaryDir dir;
    AddLoadedImage(r, dir);
    CDrawResultTable* made = AddResult(r, {33203, 33401, 33500});
    platform::CHARFORMAT font = made->Font();
    font.yHeight = 300;
    made->SetFont(font);
    made->FitToRows();
    ASSERT_EQ(made->RowCount(), 7); // two headings with a row each, a heading with two spots
    ASSERT_NE(made->RowHeight(), CDrawResultTable::kDefaultRowHeight);
    const QString shown = made->RowText();

    const QByteArray record = RecordOf(*made);
    platform::ArchiveReader reader(record, Registry().ArchiveRegistry());
    auto back = std::make_unique<CDrawResultTable>();
    back->Serialize(reader);
    back->SetView(&r.view);
    struct Recorder : CWordExport {
        int rows = -1;
        float rowHeight = 0;
        QString text;
        int ExportResultTable(int n, float, float, float, float, float, float, float h, bool, COLORREF, int) override
        {
            rows = n;
            rowHeight = h;
            return 1;
        }
        void FillResultTableCells(int, int, const CellFormat&, const QString& rowText) override { text = rowText; }
    } exporter;
    back->ExportToWord(exporter);
    EXPECT_EQ(exporter.rows, 7);
    EXPECT_EQ(exporter.text, shown);
    EXPECT_EQ(exporter.rowHeight, made->RowHeight());
}

TEST(ResultTable, ThePropertiesSheetRebindsTheFieldsSortedAndCancelKeepsThem)
{
    Report r;
    CDrawResultTable* t = AddResult(r, {33401});
    r.view.Select(t, false);
    r.env.onDialog = [](QDialog& d) {
        auto& sheet = static_cast<PropertySheet&>(d);
        auto* page = static_cast<CFieldProp*>(sheet.GetPage(0));
        EXPECT_EQ(page->m_nMode, CFieldProp::kSeveralFields);
        EXPECT_EQ(page->FieldIdList, (QList<quint32>{33401}));
        page->FieldIdList = {33603, 33201};
        page->GetDlgItemAs<QLineEdit>(CFieldProp::kImageNumber)->setText(QStringLiteral("4"));
        return true;
    };
    t->OnEditProperties();
    EXPECT_EQ(t->FieldIds(), (std::vector<std::uint32_t>{33201, 33603}));
    EXPECT_EQ(t->GetIRNumber(), 4);
    EXPECT_EQ(r.doc.GetUndoCount(), 1);
    r.env.onDialog = {};
    t->OnEditProperties();
    EXPECT_EQ(t->FieldIds(), (std::vector<std::uint32_t>{33201, 33603}));
    EXPECT_EQ(r.doc.GetUndoCount(), 1);
}

// OK of the field sheet repaints the table where it stood and where it
// stands with its new rows, fitted before the repaint as the next draw lays
// it out; growing and shrinking alike.
TEST(ResultTable, TheFieldSheetRepaintsTheTableAtItsOldAndNewSize)
{
    Report r;
    QTemporaryDir dir;
    AddLoadedImage(r, dir);
    CDrawResultTable* t = AddResult(r, {33203});
    DrawOnce(*t);
    const std::vector<std::uint32_t> sizes[] = {{33203, 33401, 33402, 33403, 33404}, {33401}};
    for (const std::vector<std::uint32_t>& fields : sizes) {
        const DocRect before = t->position;
        r.env.onDialog = [&fields](QDialog& d) {
            auto* page = static_cast<CFieldProp*>(static_cast<PropertySheet&>(d).GetPage(0));
            page->FieldIdList = QList<quint32>(fields.begin(), fields.end());
            return true;
        };
        r.view.repainted.clear();
        t->OnEditProperties();
        const DocRect fitted = t->position;
        EXPECT_NE(fitted.Normalized().Height(), before.Normalized().Height()) << fields.size();
        EXPECT_EQ(fitted.Normalized().bottom, before.Normalized().bottom) << "the upper edge stays";
        EXPECT_TRUE(r.view.Covered(before)) << fields.size();
        EXPECT_TRUE(r.view.Covered(fitted)) << fields.size();
        DrawOnce(*t);
        EXPECT_EQ(t->position, fitted) << fields.size();
    }
}

// The "NO.n" label of a table whose document shows the numbers stays inside
// the table's rectangle, on screen and on a printer's page: nothing is
// drawn right of its right edge (the page margin) nor above its upper edge.
TEST(ResultTable, TheNumberLabelStaysInsideTheTable)
{
    Report r;
    QTemporaryDir dir;
    AddLoadedImage(r, dir);
    r.doc.SetShowNumbers(true);
    CDrawResultTable* t = AddResult(r, {33401}, DocRect(100, -200, 3000, -100));
    t->penOn = 0;
    for (const PageMapping& mapping : {PageMapping::ForZoom(1.0), PageMapping::ForResolution(300)}) {
        SCOPED_TRACE(mapping.Scale());
        QImage image(int(mapping.Scale() * 4500), int(mapping.Scale() * 1500), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PageDC dc(painter, mapping);
            t->Draw(dc);
        }
        const DocRect n = t->position.Normalized();
        const QPointF upperRight = mapping.ToDevice(n.right, n.bottom);
        const QPointF upperLeft = mapping.ToDevice(n.left, n.bottom);
        int outside = 0;
        int inside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) >= 128)
                    continue;
                if (x > upperRight.x() + 1 || y < upperLeft.y() - 1)
                    ++outside;
                // The label's corner of the table: its right quarter, the
                // first row.
                else if (x > upperLeft.x() + 0.75 * (upperRight.x() - upperLeft.x()) &&
                         y < upperRight.y() + mapping.Scale() * t->RowHeight())
                    ++inside;
            }
        }
        EXPECT_EQ(outside, 0);
        EXPECT_GT(inside, 0) << "the label is drawn, at the table's upper right corner";
    }
}
