// Time profile: collecting the curves over a picture folder of 100 files of
// 320 x 240 with five analyses (a point, two lines, two areas), a repaint
// when nothing changed, and the workbook of 20 curves x 1000 samples.
//   build/release/bench/pagewright_content/bench_pagewright_time_profile
#include "content/chart_objects.h"
#include "content/draw_time_profile.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"

#include "bench_fixture.h"
#include "chart_bench_items.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

void EnsureApp() { bench::EnsureApplication("bench_pagewright_time_profile"); }

const DrawClassRegistry& Registry()
{
    static const DrawClassRegistry registry = bench::BasicRegistryWith({&CDrawIR::Register, &RegisterChartObjects});
    return registry;
}

struct TimePage {
    DocumentEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    DrawView view;
    QTemporaryDir folder;
    CDrawIR* image = nullptr;
    CDrawTimeProfile* chart = nullptr;

    TimePage()
    {
        EnsureApp();
        doc.SetView(&view);
        QStringList files;
        for (int i = 0; i < 100; ++i) {
            const QString path = folder.filePath(QStringLiteral("frame%1.vni").arg(i, 3, 10, QLatin1Char('0')));
            QFile::copy(QStringLiteral(CONTENT_BENCH_FIXTURES "/k4_320.vni"), path);
            files << path;
        }
        auto ir = std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4100, -3100));
        ir->SetNumber(1);
        image = static_cast<CDrawIR*>(doc.AddNoUndo(std::move(ir)));
        view.RebuildIRObjects();
        image->LoadIRFile(files[0]);
        image->OpenFiles(files.mid(1), true);
        image->m_analyses.RemoveAll();
        image->m_analyses.Add(bench::AnalysisItem(1, 1, {160, 120, 160, 120}));
        image->m_analyses.Add(bench::AnalysisItem(2, 1, {0, 40, 319, 40}));
        image->m_analyses.Add(bench::AnalysisItem(2, 2, {10, 10, 300, 230}));
        image->m_analyses.Add(bench::AnalysisItem(3, 1, {20, 20, 150, 120}));
        image->m_analyses.Add(bench::AnalysisItem(4, 2, {160, 100, 300, 230}));
        image->RecomputeAll();
        chart = static_cast<CDrawTimeProfile*>(
            doc.AddNoUndo(std::make_unique<CDrawTimeProfile>(&view, DocRect(100, -3300, 7100, -6300))));
        for (auto& curve : chart->m_curves)
            curve.shown = 1;
    }
    ~TimePage() { doc.SetView(nullptr); }

    void Paint()
    {
        static QImage target(800, 400, QImage::Format_RGB32);
        QPainter painter(&target);
        PageMapping mapping = PageMapping::ForZoom(1.0);
        const DocRect r = chart->position.Normalized();
        mapping.windowOrigin = QPoint(r.left, r.bottom);
        PageDC dc(painter, mapping);
        chart->Draw(dc);
    }
};

void BM_TimeProfileCollectHundredFiles(benchmark::State& state)
{
    TimePage page;
    for (auto _ : state)
        page.chart->CollectCurves();
    state.counters["files"] = page.chart->TimePoints();
    state.counters["curves"] = page.chart->m_nCurveCount;
}
BENCHMARK(BM_TimeProfileCollectHundredFiles)->Unit(benchmark::kMillisecond);

void BM_TimeProfileRepaintUnchanged(benchmark::State& state)
{
    TimePage page;
    page.Paint();
    for (auto _ : state)
        page.Paint();
    if (page.chart->NeedsCollecting())
        state.SkipWithError("a repaint collected");
}
BENCHMARK(BM_TimeProfileRepaintUnchanged)->Unit(benchmark::kMillisecond);

void BM_TimeProfileWorkbookTwentyByThousand(benchmark::State& state)
{
    EnsureApp();
    DocumentEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    CDrawTimeProfile chart;
    for (int c = 0; c < CDrawTimeProfile::kCurves; ++c) {
        std::vector<float> samples(1000);
        for (int t = 0; t < 1000; ++t)
            samples[std::size_t(t)] = float(20.0 + 10.0 * std::sin(t * 0.01 + c) + 0.001 * t);
        chart.SetCurve(c, QString::asprintf("%02d线最高", c + 1), std::move(samples));
        chart.m_curves[std::size_t(c)].shown = 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TimeProfile.xlsx"));
    for (auto _ : state) {
        if (!chart.WriteWorkbook(path, nullptr))
            state.SkipWithError("the workbook was not written");
    }
}
BENCHMARK(BM_TimeProfileWorkbookTwentyByThousand)->Unit(benchmark::kMillisecond);

} // namespace
