// Big reports: saving and printing to PDF a report of 1, 10 and 50 pages
// with one 640 x 480 infrared image each. The aims for 50 pages are a save
// in at most 1.5 s, a print in at most 3 s and a peak resident memory of at
// most 300 MiB, with the cost growing linearly with the pages (the counter
// ms_per_page stays flat from 1 to 50 pages). The camera file is as big as
// the camera writes it: 1.85 MB with its photo.
#include "bench_registry.h"

#include "irimage/draw_ir.h"

#include "document/page_render.h"
#include "document/rpt_doc.h"

#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>

#include <fstream>
#include <memory>
#include <string>

namespace {

class BigReportEnvironment : public DocumentEnvironment {
public:
    QString ProgramFolder() const override { return QStringLiteral(IRIMAGE_BENCH_DATA); }
    int PaletteCount() const override { return 10; }
};

// A memory figure of /proc/self/status in MiB: "VmHWM:" the peak resident
// memory since the last ResetPeakMemory, "VmRSS:" the resident memory now.
double StatusMiB(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(key.size())) / 1024.0;
    }
    return 0;
}

void ResetPeakMemory()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

// A report of pages pages, each holding one 640 x 480 image filling most of
// the page.
std::unique_ptr<CDI_RptDoc> BigReport(BigReportEnvironment& env, int pages)
{
    auto doc = std::make_unique<CDI_RptDoc>(&env, &BenchRegistry());
    for (int p = 1; p < pages; ++p)
        doc->InsertPage(0, QStringLiteral("Page %1").arg(p + 1));
    for (int p = 0; p < pages; ++p) {
        auto image = std::make_unique<CDrawIR>(nullptr, DocRect(700, -700, 7100, -5500));
        image->page = std::uint32_t(p);
        if (!image->LoadIRFile(QStringLiteral(BIG_REPORT_IMAGE)))
            return nullptr;
        doc->AddNoUndo(std::move(image));
    }
    return doc;
}

using Clock = std::chrono::steady_clock;

// Runs one operation on the report of state.range(0) pages into the file
// name in a scratch folder and sets the counters: the resident memory with
// the report open, the peak during the runs, the time per page and the
// file's size.
void RunOnBigReport(benchmark::State& state, const char* name,
                    const std::function<bool(CDI_RptDoc&, const QString&)>& operation)
{
    const int pages = int(state.range(0));
    BigReportEnvironment env;
    QTemporaryDir dir;
    const std::unique_ptr<CDI_RptDoc> doc = BigReport(env, pages);
    if (doc == nullptr) {
        state.SkipWithError("the 640 x 480 fixture did not load");
        return;
    }
    const QString path = dir.filePath(QLatin1String(name));
    state.counters["doc_MiB"] = StatusMiB("VmRSS:");
    ResetPeakMemory();
    Clock::duration spent{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        if (!operation(*doc, path))
            state.SkipWithError("the report was not written");
        spent += Clock::now() - start;
    }
    state.counters["peak_MiB"] = StatusMiB("VmHWM:");
    state.counters["ms_per_page"] =
        std::chrono::duration<double, std::milli>(spent).count() / double(state.iterations()) / pages;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
}

void BM_SaveBigReport(benchmark::State& state)
{
    RunOnBigReport(state, "big.rpt", [](CDI_RptDoc& doc, const QString& path) { return doc.OnSaveDocument(path); });
}
BENCHMARK(BM_SaveBigReport)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Printing to a PDF file at the printer's high resolution (1200 dots per
// inch), as the print command does.
void BM_PrintBigReportToPdf(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_irimage");
    RunOnBigReport(state, "big.pdf", [](CDI_RptDoc& doc, const QString& path) {
        QPdfWriter writer(path);
        writer.setResolution(1200);
        return PrintPages(doc, writer, false);
    });
}
BENCHMARK(BM_PrintBigReportToPdf)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
