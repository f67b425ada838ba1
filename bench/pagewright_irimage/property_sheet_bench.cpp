// OK of the image's property sheet on a 640 x 480 image with 20 analyses:
// the file's bytes patched, the file shown again, every analysis measured
// again and the picture rendered, as one undo step.
#include "irimage/draw_ir.h"

#include "document/draw_view.h"
#include "document/property_sheet.h"
#include "document/rpt_doc.h"

#include "bench_fixture.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

class SheetBenchEnvironment : public DocumentEnvironment {
public:
    QString ProgramFolder() const override { return QStringLiteral(IRIMAGE_BENCH_DATA); }
    int PaletteCount() const override { return 10; }
    bool RunDialog(QDialog& dialog) override
    {
        auto& sheet = static_cast<PropertySheet&>(dialog);
        sheet.PressButton(PropertySheet::kIdOk);
        return sheet.result() == QDialog::Accepted;
    }
};


void BM_PropertySheetOk640x480With20Analyses(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_irimage");
    SheetBenchEnvironment env;
    const DrawClassRegistry registry = bench::BasicRegistryWith({&CDrawIR::Register});
    CDI_RptDoc doc(&env, &registry);
    DrawView view;
    doc.SetView(&view);
    auto* ir = static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>(&view, DocRect(0, 0, 4000, -3000))));
    view.Select(ir);
    if (!ir->LoadIRFile(QStringLiteral(IRIMAGE_BENCH_FIXTURES "/k8_640.vni")))
        state.SkipWithError("open failed");
    for (int i = 0; i < 20; ++i) {
        IRAnalysisItem item;
        item.kind = 1 + i % 4;
        item.number = 1 + i / 4;
        const int x = 20 + 29 * i;
        item.shape = item.kind == 1 ? IRShape{x, 240, 0, 0} : IRShape{x, 60 + 10 * i, x + 40, 120 + 10 * i};
        item.emissivity = 0.95f;
        item.distance = 2.0f;
        ir->m_analyses.Add(item);
    }
    ir->RecomputeAll();
    for (auto _ : state) {
        ir = static_cast<CDrawIR*>(doc.GetObjects().front());
        ir->OnEditProperties();
        benchmark::DoNotOptimize(ir->Dib().constData());
    }
    doc.SetView(nullptr);
}
BENCHMARK(BM_PropertySheetOk640x480With20Analyses)->Unit(benchmark::kMillisecond);

} // namespace
