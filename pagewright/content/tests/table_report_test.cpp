// Reports holding tables and result tables: saved and read back, saved
// while cells are highlighted, cut short at every byte, dumped and exported.
#include "table_test_support.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace table_test;

namespace {

// A page with a 3 x 2 table (one field cell, one green cell, a resized
// column) and a result table of image 1.
void FillReport(Report& r)
{
    CDrawTable* t = AddTable(r, 3, 2, DocRect(1000, -3020, 4020, -1000));
    t->MoveHandleTo(9, QPoint(2300, -2000), CDrawObj::kMoveNoUndo, &r.view);
    t->Cell(0, 0)->textStore.Assign(Rtf("\\qc title"));
    t->Cell(1, 2)->brush.color = 0x00FF00;
    t->Cell(1, 2)->brushOn = 1;
    auto owned = ReadTable(ReadFile(QStringLiteral(CONTENT_GOLDEN "/table.bin")), Registry().ArchiveRegistry(),
                           &r.view);
    r.Add(std::move(owned));
    auto* result = r.Add(std::make_unique<CDrawResultTable>(&r.view, DocRect(600, -4000, 3180, -3800)));
    result->SetFieldIds({33203, 33401, 33500});
}

CDrawTable* FirstTable(Report& r) { return dynamic_cast<CDrawTable*>(r.doc.GetObjects().front()); }

} // namespace

TEST(TableReport, SavingAndLoadingKeepsTheGridWithNothingPicked)
{
    Report r;
    FillReport(r);
    CDrawTable* t = FirstTable(r);
    t->HitTest(CenterOf(t->Cell(1, 1)->position), &r.view, true, 1);
    ASSERT_NE(t->GetActiveCell(), nullptr);
    const QByteArray stored = r.doc.StoreContents();
    Report again;
    ASSERT_TRUE(again.doc.LoadContents(stored));
    CDrawTable* back = FirstTable(again);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->ColumnWidths(), t->ColumnWidths());
    EXPECT_EQ(back->RowHeights(), t->RowHeights());
    EXPECT_EQ(back->ColumnFractions(), t->ColumnFractions());
    EXPECT_EQ(back->RowFractions(), t->RowFractions());
    EXPECT_EQ(back->GetActiveCell(), nullptr);
    EXPECT_EQ(back->GetSelectedColumn(), -1);
    EXPECT_EQ(back->GetSelectedRow(), -1);
    EXPECT_EQ(again.doc.StoreContents(), stored);
}

TEST(TableReport, ASaveWithAColumnPickedHoldsTheOriginalColours)
{
    Report r;
    FillReport(r);
    const QByteArray clean = r.doc.StoreContents();
    CDrawTable* t = FirstTable(r);
    t->HitTest(QPoint(3500, -1020), &r.view, true, 1); // column 2
    ASSERT_EQ(t->GetSelectedColumn(), 2);
    ASSERT_NE(t->Cell(1, 2)->brush.color, 0x00FF00u) << "shown inverted";
    EXPECT_EQ(r.doc.StoreContents(), clean);
    // So do the golden table's field cell while it is active and the undo
    // snapshot of a change made meanwhile.
    auto* golden = dynamic_cast<CDrawTable*>(r.doc.GetObjects()[1]);
    golden->HitTest(QPoint(2500, -1500), &r.view, true, 1);
    ASSERT_TRUE(golden->IsHighlighted(golden->CellAt(1)));
    EXPECT_EQ(r.doc.StoreContents(), clean);
    r.view.Select(t, false);
    r.doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange, t, 1);
    t->MoveTo(t->position.Translated(0, -500), CDrawObj::kMoveNoUndo, &r.view);
    r.doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange, t, 1);
    r.doc.OnEditUndo();
    CDrawTable* undone = FirstTable(r);
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->GetSelectedColumn(), -1);
    EXPECT_EQ(undone->Cell(1, 2)->brush.color, 0x00FF00u) << "undo gives the colours, not the inversion";
    EXPECT_FALSE(undone->IsHighlighted(undone->Cell(1, 2)));
}

TEST(TableReport, EveryCutOfTheContentsFailsCleanly)
{
    Report r;
    FillReport(r);
    const QByteArray stored = r.doc.StoreContents();
    Report reader;
    int refused = 0;
    for (qsizetype n = 0; n < stored.size(); ++n) {
        QString error;
        if (!reader.doc.LoadContents(stored.left(n), &error))
            ++refused;
    }
    EXPECT_EQ(refused, stored.size());
    EXPECT_TRUE(reader.doc.LoadContents(stored));
}

TEST(TableReport, TheDumpToolPrintsTheGridAndTheResultTablesIds)
{
    QTemporaryDir dir;
    Report r;
    FillReport(r);
    const QString path = dir.filePath(QStringLiteral("tables.rpt"));
    ASSERT_TRUE(r.doc.SaveToPath(path));
    QProcess dump;
    dump.start(QStringLiteral(CONTENT_RPTDUMP), {path});
    ASSERT_TRUE(dump.waitForFinished());
    ASSERT_EQ(dump.exitCode(), 0) << dump.readAllStandardError().toStdString();
    const QJsonArray objects =
        QJsonDocument::fromJson(dump.readAllStandardOutput()).object()[QStringLiteral("objects")].toArray();
    ASSERT_EQ(objects.size(), 3);
    const QJsonObject table = objects[1].toObject();
    EXPECT_EQ(table[QStringLiteral("class")].toString(), QStringLiteral("CDrawTable"));
    EXPECT_EQ(table[QStringLiteral("rows")].toInt(), 2);
    EXPECT_EQ(table[QStringLiteral("columns")].toInt(), 2);
    EXPECT_EQ(table[QStringLiteral("columnWidths")].toArray(), (QJsonArray{990, 990}));
    EXPECT_EQ(table[QStringLiteral("rowFractions")].toArray(), (QJsonArray{0.5, 0.5}));
    EXPECT_EQ(table[QStringLiteral("cells")].toArray(),
              (QJsonArray{QStringLiteral("CDrawText"), QStringLiteral("CDrawField"), QStringLiteral("CDrawText"),
                          QStringLiteral("CDrawField")}));
    const QJsonObject result = objects[2].toObject();
    EXPECT_EQ(result[QStringLiteral("class")].toString(), QStringLiteral("CDrawResultTable"));
    EXPECT_EQ(result[QStringLiteral("fieldIds")].toArray(), (QJsonArray{33203, 33401, 33500}));
    EXPECT_EQ(result[QStringLiteral("irNumber")].toInt(), 1);
}

TEST(TableReport, TheExportWritesOneWordTableWithACellPerCell)
{
    struct Recorder : CWordExport {
        struct Table {
            int rows, columns;
            float left, top, width, height;
            std::vector<float> heights, widths;
            bool border;
        };
        struct Cell {
            int row, column;
            bool fill;
            COLORREF color;
            QString text;
        };
        std::vector<Table> tables;
        std::vector<Cell> cells;
        int AddTable(int rows, int columns, float left, float top, float width, float height,
                     const std::vector<float>& rowHeights, const std::vector<float>& columnWidths, bool border,
                     COLORREF, int) override
        {
            tables.push_back({rows, columns, left, top, width, height, rowHeights, columnWidths, border});
            return int(tables.size());
        }
        void ExportTable(int, int row, int column, int, bool fill, COLORREF color, const TextRunList& runs) override
        {
            QString text;
            for (const TextRun& run : runs.runs)
                text += run.text;
            cells.push_back({row, column, fill, color, text});
        }
    };
    Report r;
    CDrawTable* t = r.Add(ReadTable(ReadFile(QStringLiteral(CONTENT_GOLDEN "/table.bin")), Registry().ArchiveRegistry(),
                                    &r.view));
    t->HitTest(QPoint(1020, -1500), &r.view, true, 1); // row 0 picked: the export shows no highlighting
    Recorder exporter;
    t->ExportToWord(exporter);
    ASSERT_EQ(exporter.tables.size(), 1u);
    const auto& table = exporter.tables.front();
    EXPECT_EQ(table.rows, 2);
    EXPECT_EQ(table.columns, 2);
    EXPECT_EQ(table.left, 1000.0f);
    EXPECT_EQ(table.top, -1000.0f) << "the upper edge";
    EXPECT_EQ(table.width, 2000.0f);
    EXPECT_EQ(table.heights, (std::vector<float>{990, 990}));
    EXPECT_TRUE(table.border);
    // The empty text cell (row 2, column 1) is left out.
    ASSERT_EQ(exporter.cells.size(), 3u);
    EXPECT_EQ(exporter.cells[0].row, 1);
    EXPECT_TRUE(exporter.cells[0].text.startsWith(QStringLiteral("abc")));
    EXPECT_FALSE(exporter.cells[0].fill);
    EXPECT_EQ(exporter.cells[1].column, 2);
    EXPECT_EQ(exporter.cells[1].text, QStringLiteral("-")) << "a field without its image: its label";
    EXPECT_EQ(exporter.cells[1].color, 0xFFFFFFu) << "its true colour";
    EXPECT_EQ(exporter.cells[2].row, 2);
}

// A field cell holds no format and no view until it is drawn (a table read
// from a file and exported without drawing its page): it still exports its
// label.
TEST(TableReport, AFieldCellNeverDrawnExportsItsLabel)
{
    struct Recorder : CWordExport {
        int AddTable(int, int, float, float, float, float, const std::vector<float>&, const std::vector<float>&, bool,
                     COLORREF, int) override
        {
            return 1;
        }
        void ExportTable(int, int row, int column, int, bool, COLORREF, const TextRunList& runs) override
        {
            QString text;
            for (const TextRun& run : runs.runs)
                text += run.text;
            cells << QStringLiteral("%1,%2 %3").arg(row).arg(column).arg(text);
        }
        QStringList cells;
    };
    Report r;
    CDrawTable* t = AddTable(r, 2, 1);
    CDrawField* field = t->MakeFieldCell(1, 0, 33500);
    ASSERT_NE(field, nullptr);
    field->textStore.SetLength(0);
    field->SetView(nullptr); // as read from a file
    Recorder exporter;
    t->ExportToWord(exporter);
    EXPECT_EQ(exporter.cells, QStringList{QStringLiteral("1,2 -")});
}

TEST(TableReport, AFieldCellMakesTheTableADependentOfItsImage)
{
    Report r;
    CDrawTable* t = r.Add(ReadTable(ReadFile(QStringLiteral(CONTENT_GOLDEN "/table.bin")), Registry().ArchiveRegistry(),
                                    &r.view));
    CDrawIR* image = r.AddImage(1);
    const auto& d = image->Dependents();
    EXPECT_NE(std::find(d.begin(), d.end(), static_cast<IRImageDependent*>(t)), d.end());
    CDrawIR* other = r.AddImage(3);
    EXPECT_TRUE(other->Dependents().empty());
    ASSERT_TRUE(r.doc.Remove(t));
    t->Remove();
    EXPECT_TRUE(image->Dependents().empty()) << "a deleted table leaves the list";
}

TEST(TableReport, TheFuzzSeedsAreReportsWithTables)
{
    for (const char* name : {"table-and-result-table", "empty-table"}) {
        Report r;
        QString error;
        const QByteArray bytes = ReadFile(QStringLiteral(CONTENT_REPORT_SEEDS "/") + QLatin1String(name));
        ASSERT_TRUE(r.doc.LoadContents(bytes, &error)) << name << ": " << error.toStdString();
        ASSERT_EQ(r.doc.GetObjects().size(), 2u) << name;
        EXPECT_NE(dynamic_cast<CDrawTable*>(r.doc.GetObjects()[0]), nullptr) << name;
        EXPECT_NE(dynamic_cast<CDrawResultTable*>(r.doc.GetObjects()[1]), nullptr) << name;
        EXPECT_EQ(r.doc.StoreContents(), bytes) << name;
    }
}
