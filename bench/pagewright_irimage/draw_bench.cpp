// Drawing the infrared image object: a 640 x 480 picture with its colour
// bar, three isotherm bands and 20 analyses on a page at zoom 1, and its
// whole-object picture at zoom 2.
#include "bench_registry.h"

#include "irimage/draw_ir.h"

#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"

#include "bench_fixture.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Scene {
    bench::PaletteEnvironment env{QStringLiteral(IRIMAGE_BENCH_DATA)};
    CDI_RptDoc doc{&env, &BenchRegistry()};
    CDrawIR* ir = nullptr;
    Scene()
    {
        ir = static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>()));
        ir->LoadIRFile(QStringLiteral(IRIMAGE_BENCH_FIXTURES "/k8_640.vni"));
        ir->position = DocRect(500, -4300, 7833, -500);
        ir->activeHandle = 2;
        const float low = ir->m_fLimits[5];
        const float span = ir->m_fLimits[4] - low;
        for (int i = 0; i < 3; ++i)
            ir->m_isotherms[std::size_t(i)] = IRIsotherm{low + span * (0.2f + 0.3f * float(i)), span * 0.05f, 1,
                                                       CDrawIR::kIsoDefaultColors[std::size_t(i)]};
        ir->SetPalette(0);
        for (int i = 0; i < 20; ++i) {
            IRAnalysisItem item;
            item.kind = 1 + i % 4;
            const int x = 20 + 28 * i;
            item.shape = {x, 40 + 15 * i, x + 60, 100 + 15 * i};
            item.labelMode = 1 + i % 4;
            item.color = 0xFFFF00;
            item.emissivity = 0.95f;
            item.distance = 2.0f;
            item.number = 1 + i / 4;
            item.SetName(QStringLiteral("A%1").arg(i));
            ir->m_analyses.Add(item);
        }
        ir->RecomputeAll();
    }
};

void BM_DrawImageWithBarAnd20Analyses(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_irimage_draw");
    Scene scene;
    QImage page(1000, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        page.fill(Qt::white);
        QPainter painter(&page);
        PageDC dc(painter, PageMapping::ForZoom(1.0));
        scene.ir->Draw(dc);
    }
}
BENCHMARK(BM_DrawImageWithBarAnd20Analyses)->Unit(benchmark::kMillisecond);

void BM_WholeObjectPictureAtZoom2(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_irimage_draw");
    Scene scene;
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.ir->RenderFrameImage(2.0));
}
BENCHMARK(BM_WholeObjectPictureAtZoom2)->Unit(benchmark::kMillisecond);

} // namespace

// One playback step on 640 x 480 files: the next entry of a 10-file list is
// loaded and rendered, its 20 analyses are measured again, and the object
// is drawn.
void BM_PlaybackStep640x480(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_irimage_draw");
    Scene scene;
    QTemporaryDir folder;
    QStringList paths;
    for (int i = 0; i < 10; ++i) {
        paths << folder.filePath(QStringLiteral("IR%1.vni").arg(i));
        QFile::copy(QStringLiteral(IRIMAGE_BENCH_FIXTURES "/k8_640.vni"), paths.back());
    }
    scene.ir->OpenFiles(paths, true);
    QImage page(1000, 800, QImage::Format_RGB32);
    int i = 0;
    for (auto _ : state) {
        i = (i + 1) % scene.ir->FileCount();
        scene.ir->LoadFileAtIndex(i);
        page.fill(Qt::white);
        QPainter painter(&page);
        PageDC dc(painter, PageMapping::ForZoom(1.0));
        scene.ir->Draw(dc);
    }
}
BENCHMARK(BM_PlaybackStep640x480)->Unit(benchmark::kMillisecond);

// The temperatures of a whole 640 x 480 image at step 1 as a workbook (three
// sheets).
void BM_ExportWorkbook640x480Step1(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_irimage_draw");
    Scene scene;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("IR.xlsx"));
    for (auto _ : state) {
        QString error;
        if (!scene.ir->ExportTemperatures(path, 1, -1, &error))
            state.SkipWithError(error.toUtf8().constData());
    }
}
BENCHMARK(BM_ExportWorkbook640x480Step1)->Unit(benchmark::kMillisecond)->Iterations(3);
