// Template conversion in a started program (no window shown):
// - layout: the layout file of a template of 10 pages and 500 objects (the
//   chooser waits on it when a template is new or was saved again);
// - new report: a report built from the new-report wizard for 20 camera
//   files of 640 x 480 with a photo, each page with its image, picture and
//   texts (the window is closed between runs, outside the timing).
#include "rpt_app.h"
#include "main_frame.h"
#include "wizard_file.h"
#include "wizard_state.h"
#include "layout_file.h"

#include "content/draw_field.h"
#include "content/draw_text.h"
#include "content/chart_objects.h"
#include "content/table_objects.h"
#include "content/text_objects.h"
#include "document/draw_photo.h"
#include "document/draw_rect.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"
#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"

#include "bench_fixture.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Program {
    Program()
    {
        bench::EnsureApplication<QApplication>("bench_pagewright_template_conversion");
        CDrawIR::Register(DrawClassRegistry::Standard());
        RegisterTextObjects(DrawClassRegistry::Standard());
        RegisterTableObjects(DrawClassRegistry::Standard());
        RegisterChartObjects(DrawClassRegistry::Standard());
        CDraw3DMap::Register(DrawClassRegistry::Standard());
        StartupOptions o;
        o.programFolder = root.filePath(QStringLiteral("program"));
        o.configFolder = root.filePath(QStringLiteral("config"));
        o.defaultDataFolder = QStringLiteral(TEMPLATES_BENCH_DATA);
        o.executableFolder = root.filePath(QStringLiteral("bin"));
        o.printablePageMm = [] { return std::nullopt; };
        o.cardpullLibrary.clear();
        o.showMainFrame = false;
        app = std::make_unique<CDI_RptApp>(o);
        app->InitInstance();
    }
    QTemporaryDir root;
    std::unique_ptr<CDI_RptApp> app;
};

Program& TheProgram()
{
    static Program program;
    return program;
}

// 10 pages of 50 objects: 20 texts, 10 rectangles, 5 images, 5 photos,
// 5 fields and 5 logos.
QString BigTemplate(const QString& folder)
{
    CDI_RptDoc doc;
    DrawView view;
    doc.SetView(&view);
    for (int page = 0; page < 10; ++page) {
        if (page > 0)
            doc.InsertPage(0, QStringLiteral("P%1").arg(page + 1));
        for (int k = 0; k < 50; ++k) {
            const DocRect r(100 + 150 * (k % 10), -100 - 900 * (k / 10), 240 + 150 * (k % 10), -900 - 900 * (k / 10));
            std::unique_ptr<CDrawObj> o;
            if (k < 20) {
                auto text = std::make_unique<CDrawText>(&view, r);
                text->SetPlainText(&view, QStringLiteral("检测文本 %1-%2").arg(page).arg(k), k % 3, nullptr);
                o = std::move(text);
            } else if (k < 30) {
                o = std::make_unique<CDrawRect>(&view, r);
            } else if (k < 35) {
                auto image = std::make_unique<CDrawIR>(&view, r);
                image->SetNumber(page * 5 + k - 29);
                o = std::move(image);
            } else if (k < 40) {
                auto photo = std::make_unique<CDrawPhoto>(&view, r);
                photo->SetLinkedIRNumber(page * 5 + k - 34);
                o = std::move(photo);
            } else if (k < 45) {
                o = std::make_unique<CDrawField>(&view, r);
            } else {
                o = std::make_unique<CDrawLogo>(&view, r);
            }
            doc.AddNoUndo(std::move(o));
        }
    }
    const QString path = folder + QStringLiteral("/big.rpm");
    doc.SaveToPath(path);
    doc.SetView(nullptr);
    return path;
}

void BM_LayoutOf500Objects(benchmark::State& state)
{
    Program& program = TheProgram();
    const QString path = BigTemplate(program.root.path());
    const QString ini = LayoutFilePath(path);
    for (auto _ : state) {
        QFile::remove(ini); // the chooser empties the file first
        program.app->ConvertReportTemplate(path, QString(), 0);
    }
}
BENCHMARK(BM_LayoutOf500Objects)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NewReportOf20Images(benchmark::State& state)
{
    Program& program = TheProgram();
    WizardState& s = TheWizardState();
    s.Reset();
    s.strWizardReportName = QStringLiteral("Bench");
    s.strWizardReportTitle = QStringLiteral("红外检测报告");
    s.nWizardImageCount = 20;
    const QString source = QStringLiteral(TEMPLATES_BENCH_FIXTURES "/k8_640.vni");
    for (int i = 0; i < 20; ++i) {
        const QString file = program.root.filePath(QStringLiteral("IR%1.VNI").arg(i, 4, 10, QLatin1Char('0')));
        QFile::copy(source, file);
        WizardState::Set(s.astrWizardIRPaths, i, file);
        WizardState::Set(s.astrWizardPageTitles, i, QStringLiteral("回路 %1").arg(i + 1));
    }
    const QString folder = program.app->GetAppDirectory();
    WriteWizardFile(WizardFilePath(folder), s, kNewReportWizard, LayoutFile());
    const QString newTemp = folder + QStringLiteral("/template/NewTemp.rpt");
    QMdiArea* mdi = program.app->GetMainFrame()->GetMdiClient();
    for (auto _ : state) {
        program.app->ConvertReportTemplate(newTemp, s.strWizardReportName, 2);
        state.PauseTiming();
        mdi->closeAllSubWindows();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_NewReportOf20Images)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
