// The report document: saving and reopening a report of 500 shapes on 20
// pages, and the undo snapshots of a page of 100 selected shapes.
#include "document/draw_poly.h"
#include "document/draw_rect.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Shapes of every kind, spread over the pages; every tenth one a polygon.
void Fill(CDI_RptDoc& doc, DrawView* view, int shapes, int pages)
{
    for (int p = 1; p < pages; ++p)
        doc.InsertPage(0, QStringLiteral("Page %1").arg(p + 1));
    for (int i = 0; i < shapes; ++i) {
        doc.SetCurPage(i % pages);
        const int x = (i * 37) % 7000;
        const int y = -((i * 53) % 10000) - 200;
        const DocRect r(x, y, x + 800, y - 600);
        if (i % 10 == 9) {
            auto poly = std::make_unique<CDrawPoly>(view, r);
            for (int k = 0; k < 8; ++k)
                poly->AddPoint(QPoint(x + k * 100, y - (k % 2) * 300), nullptr);
            doc.AddNoUndo(std::move(poly));
        } else {
            auto rect = std::make_unique<CDrawRect>(view, r);
            rect->shape = i % 5;
            doc.AddNoUndo(std::move(rect));
        }
    }
    doc.SetCurPage(0);
}

void BM_SaveAndReopen500Shapes20Pages(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.rpt"));
    CDI_RptDoc doc;
    Fill(doc, nullptr, 500, 20);
    for (auto _ : state) {
        if (!doc.OnSaveDocument(path))
            state.SkipWithError("save failed");
        CDI_RptDoc reopened;
        if (!reopened.OnOpenDocument(path) || reopened.GetObjects().size() != 500)
            state.SkipWithError("reopen failed");
        benchmark::DoNotOptimize(reopened.GetObjects().data());
    }
}
BENCHMARK(BM_SaveAndReopen500Shapes20Pages)->Unit(benchmark::kMillisecond);

// One snapshot (the before snapshot of a change) of a page whose 100 shapes
// are all selected.
void BM_UndoSnapshotOfPageWith100Shapes(benchmark::State& state)
{
    CDI_RptDoc doc;
    DrawView view;
    doc.SetView(&view);
    Fill(doc, &view, 100, 1);
    for (CDrawObj* obj : doc.GetObjects())
        view.Select(obj, true);
    for (auto _ : state)
        doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange);
    doc.SetView(nullptr);
}
BENCHMARK(BM_UndoSnapshotOfPageWith100Shapes)->Unit(benchmark::kMicrosecond);

// A whole step: before and after snapshots, then undo and redo of it.
void BM_UndoRedoStepOf100Shapes(benchmark::State& state)
{
    CDI_RptDoc doc;
    DrawView view;
    doc.SetView(&view);
    Fill(doc, &view, 100, 1);
    for (auto _ : state) {
        for (CDrawObj* obj : doc.GetObjects())
            view.Select(obj, true);
        doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange);
        doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange);
        doc.OnEditUndo();
        doc.OnEditRedo();
    }
    doc.SetView(nullptr);
}
BENCHMARK(BM_UndoRedoStepOf100Shapes)->Unit(benchmark::kMicrosecond);

} // namespace
