// Batch generation over 50 camera files of 640 x 480 with a visible photo:
// one report per file from a template holding the image, a linked photo
// and a spot, and one BMP per file with and without the colour bar. The
// "per_file" counter is the wall time of one file.
#include "batch_run.h"

#include "irimage/draw_ir.h"

#include "document/draw_class.h"
#include "document/draw_photo.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include "bench_fixture.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kFiles = 50;

const DrawClassRegistry& Registry()
{
    static const DrawClassRegistry registry = bench::BasicRegistryWith({&CDrawIR::Register});
    return registry;
}

class BenchEnvironment : public bench::PaletteEnvironment {
public:
    BenchEnvironment()
        : PaletteEnvironment(QStringLiteral(TEMPLATES_BENCH_DATA))
    {
    }
    QString TemporaryFolder() const override { return scratch.path(); }
    QTemporaryDir scratch;
};

struct Setup {
    Setup()
    {
        bench::EnsureApplication("bench_pagewright_templates");
        const QString source = QStringLiteral(TEMPLATES_BENCH_FIXTURES "/k8_640.vni");
        for (int i = 0; i < kFiles; ++i) {
            const QString path = inputs.filePath(QStringLiteral("IR%1.VNI").arg(i, 4, 10, QLatin1Char('0')));
            QFile::copy(source, path);
            files << path;
        }
        CDI_RptDoc doc(&env, &Registry());
        DrawView view;
        doc.SetView(&view);
        auto* image =
            static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>(&view, DocRect(100, -100, 6820, -5140))));
        image->SetNumber(1);
        image->LoadIRFile(source);
        auto* photo =
            static_cast<CDrawPhoto*>(doc.AddNoUndo(std::make_unique<CDrawPhoto>(&view, DocRect(100, -5500, 3000, -8000))));
        photo->imageNumber = 1;
        templatePath = work.filePath(QStringLiteral("template.rpm"));
        doc.SaveToPath(templatePath);
        doc.SetView(nullptr);
    }
    BenchEnvironment env;
    QTemporaryDir inputs, work, out;
    QStringList files;
    QString templatePath;
};

Setup& Shared()
{
    static Setup setup;
    return setup;
}

void PerFile(benchmark::State& state, int written)
{
    if (written != kFiles)
        state.SkipWithError("not every file was written");
    state.counters["per_file"] =
        benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_BatchReports(benchmark::State& state)
{
    Setup& s = Shared();
    IRAnalysisArray scratch;
    int written = 0;
    for (auto _ : state)
        written = RunBatchReports(s.env, Registry(), s.templatePath, s.files, s.out.path(), scratch).written;
    PerFile(state, written);
}
BENCHMARK(BM_BatchReports)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->UseRealTime()->ReportAggregatesOnly();

void BM_BatchPictures(benchmark::State& state)
{
    Setup& s = Shared();
    int written = 0;
    for (auto _ : state)
        written = RunBatchPictures(s.env, Registry(), s.files, s.out.path(), state.range(0) != 0, 0).written;
    PerFile(state, written);
}
BENCHMARK(BM_BatchPictures)
    ->ArgName("bar")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->UseRealTime()
    ->ReportAggregatesOnly();

} // namespace
