// Tables: painting a 20 x 20 table of text cells (first paint, every cell's
// text laid out, and the repaint from the cells' caches), inserting 10 rows
// through the add/delete step, and saving and reopening a report of 20 such
// tables.
//   build/release/bench/pagewright_content/bench_pagewright_tables
#include "content/draw_table.h"
#include "content/draw_text.h"
#include "content/table_dialogs.h"
#include "content/table_objects.h"
#include "content/text_objects.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"

#include "bench_fixture.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const DrawClassRegistry& Registry()
{
    static const DrawClassRegistry registry = bench::BasicRegistryWith({&CDrawIR::Register, &RegisterTextObjects, &RegisterTableObjects});
    return registry;
}

// Answers the add/delete dialog: 10 text rows after row 10.
class BenchEnvironment : public DocumentEnvironment {
public:
    QString ProgramFolder() const override { return QStringLiteral(CONTENT_BENCH_DATA); }
    bool RunDialog(QDialog& dialog) override
    {
        if (auto* d = dynamic_cast<CAddRowColDlg*>(&dialog)) {
            d->m_nOperation = 0;
            d->m_nRowsOrColumns = 0;
            d->m_nNumber = 10;
            d->m_nPosition = 1;
            d->m_nCellKind = 0;
            d->m_nCount = 10;
            return true;
        }
        return false;
    }
};

QByteArray CellText(int r, int c)
{
    return QByteArray("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
                      "\\viewkind4\\uc1\\pard\\qc\\f0\\fs18 P") +
           QByteArray::number(r) + "." + QByteArray::number(c) + " \\'ce\\'c2\\'b6\\'c8 36.5\\par\r\n}\r\n";
}

struct TablePage {
    BenchEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    DrawView view;
    std::vector<CDrawTable*> tables;
    explicit TablePage(int count = 1)
    {
        bench::EnsureApplication("bench_pagewright_tables");
        doc.SetView(&view);
        for (int i = 0; i < count; ++i) {
            auto* t = static_cast<CDrawTable*>(doc.AddNoUndo(
                std::make_unique<CDrawTable>(&view, DocRect(200, -8200, 8200, -200), 20, 20)));
            t->RecalcLayout();
            for (int r = 0; r < 20; ++r)
                for (int c = 0; c < 20; ++c)
                    t->Cell(r, c)->textStore.Assign(CellText(r, c));
            tables.push_back(t);
        }
    }
    ~TablePage() { doc.SetView(nullptr); }

    void Paint(QImage& target)
    {
        QPainter painter(&target);
        PageDC dc(painter, PageMapping::ForZoom(1.0));
        tables.front()->Draw(dc);
    }
};

void BM_Table20x20FirstPaint(benchmark::State& state)
{
    TablePage page;
    QImage target(820, 820, QImage::Format_RGB32);
    CDrawTable* t = page.tables.front();
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t i = 0; i < t->CellCount(); ++i)
            CDrawText::AfterUndoRead(*t->CellAt(i), nullptr, false); // forget the laid-out texts
        target.fill(Qt::white);
        state.ResumeTiming();
        page.Paint(target);
    }
}
BENCHMARK(BM_Table20x20FirstPaint)->Unit(benchmark::kMillisecond);

void BM_Table20x20Repaint(benchmark::State& state)
{
    TablePage page;
    QImage target(820, 820, QImage::Format_RGB32);
    page.Paint(target);
    for (auto _ : state) {
        target.fill(Qt::white);
        page.Paint(target);
    }
}
BENCHMARK(BM_Table20x20Repaint)->Unit(benchmark::kMillisecond);

void BM_InsertTenRows(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto page = std::make_unique<TablePage>();
        page->view.Select(page->tables.front(), false);
        state.ResumeTiming();
        page->tables.front()->InsertRowsColumns();
        state.PauseTiming();
        if (page->tables.front()->GetRowCount() != 30)
            state.SkipWithError("rows not inserted");
        page.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertTenRows)->Unit(benchmark::kMillisecond);

void BM_SaveAndReopenTwentyTables(benchmark::State& state)
{
    TablePage page(20);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tables.rpt"));
    for (auto _ : state) {
        if (!page.doc.SaveToPath(path))
            state.SkipWithError("not saved");
        BenchEnvironment env;
        CDI_RptDoc reopened(&env, &Registry());
        if (!reopened.OnOpenDocument(path) || reopened.GetObjects().size() != 20)
            state.SkipWithError("not reopened");
    }
}
BENCHMARK(BM_SaveAndReopenTwentyTables)->Unit(benchmark::kMillisecond);

} // namespace
