// The infrared image object: opening, rendering and measuring a 640 x 480
// file; stepping through a 100-file list; saving and reopening a report of
// four images of 100 listed files; the memory of 30 undo steps on such an
// image, with the file bytes shared and as full copies.
#include "bench_registry.h"

#include "irimage/draw_ir.h"

#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include "platform/archive_writer.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString Fixture(const char* name) { return QStringLiteral(IRIMAGE_BENCH_FIXTURES "/") + QLatin1String(name); }

class BenchEnvironment : public DocumentEnvironment {
public:
    QString ProgramFolder() const override { return QStringLiteral(IRIMAGE_BENCH_DATA); }
    int PaletteCount() const override { return 10; }
    QStringList DataFileNames() const override { return files; }
    QStringList files;
};

IRAnalysisItem Analysis(std::int32_t kind, IRShape shape, float emissivity = 0.95f)
{
    IRAnalysisItem item;
    item.kind = kind;
    item.shape = shape;
    item.emissivity = emissivity;
    item.distance = 2.0f;
    return item;
}

// Opens the 640 x 480 file, renders it and measures five analyses (a point,
// a line, two rectangles and an ellipse of typical sizes) at an emissivity.
void OpenRenderFiveAnalyses(benchmark::State& state, CDrawIR* ir, float emissivity)
{
    if (!ir->LoadIRFile(Fixture("k8_640.vni")))
        state.SkipWithError("open failed");
    ir->m_analyses.RemoveAll();
    ir->m_analyses.Add(Analysis(kAnalysisPoint, {320, 240, 0, 0}, emissivity));
    ir->m_analyses.Add(Analysis(kAnalysisLine, {10, 10, 600, 400}, emissivity));
    ir->m_analyses.Add(Analysis(kAnalysisRect, {100, 100, 200, 180}, emissivity));
    ir->m_analyses.Add(Analysis(kAnalysisRect, {300, 200, 420, 300}, emissivity));
    ir->m_analyses.Add(Analysis(kAnalysisEllipse, {400, 50, 520, 170}, emissivity));
    ir->RecomputeAll();
    benchmark::DoNotOptimize(ir->Dib().constData());
}

// Open, render and five analyses, as a file is opened again (the library
// keeps the temperatures of the scenes it converted last).
void BM_OpenRenderFiveAnalyses640x480(benchmark::State& state)
{
    BenchEnvironment env;
    CDI_RptDoc doc(&env, &BenchRegistry());
    auto* ir = static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>()));
    for (auto _ : state)
        OpenRenderFiveAnalyses(state, ir, 0.95f);
}
BENCHMARK(BM_OpenRenderFiveAnalyses640x480)->Unit(benchmark::kMillisecond);

// The same with a scene not converted before: the analyses' emissivity steps
// through 16 values, more than the scenes the library keeps, so that every
// open converts the grays its analyses read.
void BM_OpenRenderFiveAnalyses640x480NewScene(benchmark::State& state)
{
    BenchEnvironment env;
    CDI_RptDoc doc(&env, &BenchRegistry());
    auto* ir = static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>()));
    int i = 0;
    for (auto _ : state)
        OpenRenderFiveAnalyses(state, ir, 0.803f + 0.01f * static_cast<float>(++i % 16));
}
BENCHMARK(BM_OpenRenderFiveAnalyses640x480NewScene)->Unit(benchmark::kMillisecond);

void BM_LoadFileAtIndexIn100Files(benchmark::State& state)
{
    BenchEnvironment env;
    for (int i = 0; i < 100; ++i)
        env.files << Fixture(i % 2 == 0 ? "k8_640.vni" : "k4_320.vni");
    CDI_RptDoc doc(&env, &BenchRegistry());
    auto* ir = static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>()));
    if (!ir->LoadIRFileEx(env.files[0]))
        state.SkipWithError("list failed");
    for (int i = 0; i < 5; ++i)
        ir->m_analyses.Add(Analysis(kAnalysisRect, {10 + 20 * i, 10, 60 + 20 * i, 60}));
    int index = 0;
    for (auto _ : state) {
        index = (index + 1) % 100;
        if (!ir->LoadFileAtIndex(index))
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadFileAtIndexIn100Files)->Unit(benchmark::kMillisecond);

// A report of four images, each with 100 listed 320 x 240 files.
void FillFourImages(CDI_RptDoc& doc, BenchEnvironment& env, DrawView* view)
{
    env.files.clear();
    for (int i = 0; i < 100; ++i)
        env.files << Fixture("k4_320.vni");
    for (int k = 0; k < 4; ++k) {
        auto* ir = static_cast<CDrawIR*>(
            doc.AddNoUndo(std::make_unique<CDrawIR>(view, DocRect(100, -100 - 3000 * k, 4000, -2900 - 3000 * k))));
        ir->LoadIRFileEx(env.files[0]);
        ir->m_analyses.Add(Analysis(kAnalysisRect, {20, 20, 120, 100}));
        ir->RecomputeAll();
    }
}

void BM_SaveAndReopenFourImagesOf100Files(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.rpt"));
    BenchEnvironment env;
    CDI_RptDoc doc(&env, &BenchRegistry());
    FillFourImages(doc, env, nullptr);
    for (auto _ : state) {
        if (!doc.OnSaveDocument(path))
            state.SkipWithError("save failed");
        CDI_RptDoc reopened(&env, &BenchRegistry());
        if (!reopened.OnOpenDocument(path) || reopened.GetObjects().size() != 4)
            state.SkipWithError("reopen failed");
        benchmark::DoNotOptimize(reopened.GetObjects().data());
    }
    state.counters["reportMB"] = double(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(BM_SaveAndReopenFourImagesOf100Files)->Unit(benchmark::kMillisecond)->Iterations(5);

// 30 undo steps of a change to one image of 100 listed files: the bytes the
// snapshots hold, with the shared store, and what full copies would take.
void BM_ThirtyUndoStepsMemory(benchmark::State& state)
{
    BenchEnvironment env;
    for (auto _ : state) {
        CDI_RptDoc doc(&env, &BenchRegistry());
        DrawView view;
        doc.SetView(&view);
        FillFourImages(doc, env, &view);
        auto* ir = static_cast<CDrawIR*>(doc.GetObjects()[0]);
        view.Select(ir);
        for (int step = 0; step < 30; ++step) {
            doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange);
            ir->m_fEmissivity = 0.5f + 0.01f * float(step);
            doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange);
        }
        double slotBytes = 0;
        for (int i = 0; i < CDI_RptDoc::kUndoSlots; ++i)
            slotBytes += double(doc.UndoSlot(i).GetLength() + doc.RedoSlot(i).GetLength());
        platform::ArchiveWriter full; // a record with every file's bytes in it
        ir->Serialize(full);
        state.counters["sharedMB"] = (slotBytes + double(doc.SnapshotStore().ByteCount())) / 1e6;
        state.counters["copiedMB"] = 60.0 * double(full.data().size()) / 1e6;
        doc.SetView(nullptr);
    }
}
BENCHMARK(BM_ThirtyUndoStepsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
