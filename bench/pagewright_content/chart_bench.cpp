// Charts: a line profile with ten lines across a 640-pixel-wide image and a
// histogram of a whole 640 x 480 area (307,200 samples, 64 bins), drawn
// first (the image just loaded, its temperature table still to build) and
// repeated.
//   build/release/bench/pagewright_content/bench_pagewright_charts
#include "content/chart_objects.h"
#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"

#include "bench_fixture.h"
#include "chart_bench_items.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const DrawClassRegistry& Registry()
{
    static const DrawClassRegistry registry = bench::BasicRegistryWith({&CDrawIR::Register, &RegisterChartObjects});
    return registry;
}

struct ChartPage {
    DocumentEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    DrawView view;
    CDrawIR* image = nullptr;
    CDrawProfile* profile = nullptr;
    CDrawHistogram* histogram = nullptr;

    ChartPage()
    {
        bench::EnsureApplication("bench_pagewright_charts");
        doc.SetView(&view);
        auto ir = std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4100, -3100));
        ir->SetNumber(1);
        image = static_cast<CDrawIR*>(doc.AddNoUndo(std::move(ir)));
        view.RebuildIRObjects();
        profile = static_cast<CDrawProfile*>(
            doc.AddNoUndo(std::make_unique<CDrawProfile>(&view, DocRect(100, -3300, 7100, -6300))));
        for (auto& line : profile->m_lines)
            line.shown = 1;
        histogram = static_cast<CDrawHistogram*>(
            doc.AddNoUndo(std::make_unique<CDrawHistogram>(&view, DocRect(100, -6500, 5100, -9500))));
        histogram->m_bLineMode = 0;
        histogram->m_nBins = 64;
        Load();
    }
    ~ChartPage() { doc.SetView(nullptr); }

    void Load()
    {
        image->LoadIRFile(QStringLiteral(CONTENT_BENCH_FIXTURES "/k8_640.vni"));
        image->m_analyses.RemoveAll();
        for (int i = 0; i < 10; ++i)
            image->m_analyses.Add(bench::AnalysisItem(2, i + 1, {0, 20 + 44 * i, 639, 20 + 44 * i}));
        image->m_analyses.Add(bench::AnalysisItem(3, 1, {0, 0, 640, 480}));
    }

    static void Paint(CDrawObj& obj)
    {
        static QImage target(800, 400, QImage::Format_RGB32);
        QPainter painter(&target);
        PageMapping mapping = PageMapping::ForZoom(1.0);
        const DocRect r = obj.position.Normalized();
        mapping.windowOrigin = QPoint(r.left, r.bottom);
        PageDC dc(painter, mapping);
        obj.Draw(dc);
    }
};

void BM_ProfileTenLinesFirst(benchmark::State& state)
{
    ChartPage page;
    for (auto _ : state) {
        state.PauseTiming();
        page.Load();
        state.ResumeTiming();
        ChartPage::Paint(*page.profile);
    }
}
BENCHMARK(BM_ProfileTenLinesFirst)->Unit(benchmark::kMillisecond);

void BM_ProfileTenLinesRepeated(benchmark::State& state)
{
    ChartPage page;
    ChartPage::Paint(*page.profile);
    for (auto _ : state)
        ChartPage::Paint(*page.profile);
}
BENCHMARK(BM_ProfileTenLinesRepeated)->Unit(benchmark::kMillisecond);

void BM_HistogramWholeImageFirst(benchmark::State& state)
{
    ChartPage page;
    for (auto _ : state) {
        state.PauseTiming();
        page.Load();
        state.ResumeTiming();
        ChartPage::Paint(*page.histogram);
    }
    state.counters["samples"] = page.histogram->m_nSampleCount;
}
BENCHMARK(BM_HistogramWholeImageFirst)->Unit(benchmark::kMillisecond);

void BM_HistogramWholeImageRepeated(benchmark::State& state)
{
    ChartPage page;
    ChartPage::Paint(*page.histogram);
    for (auto _ : state)
        ChartPage::Paint(*page.histogram);
    state.counters["samples"] = page.histogram->m_nSampleCount;
}
BENCHMARK(BM_HistogramWholeImageRepeated)->Unit(benchmark::kMillisecond);

} // namespace
