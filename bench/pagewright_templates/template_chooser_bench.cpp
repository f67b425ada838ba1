// The template chooser and the wizard: the page thumbnail of a template of
// 200 objects drawn from its layout file (target 16 ms), and the choice of
// a 640 x 480 camera file on the wizard's image page until its preview
// shows (target 100 ms).
#include "layout_file.h"
#include "program_fixture.h"
#include "report_wizard_dlg.h"
#include "template_thumbnail.h"
#include "wizard_dialogs.h"
#include "wizard_state.h"
#include "wizard_template_pages.h"

#include "irimage/draw_ir.h"
#include "platform/ini_file.h"

#include <QProcess>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Program : bench::TemplatesProgram {
    Program() : TemplatesProgram("bench_pagewright_template_chooser")
    {
        CDrawIR::Register(DrawClassRegistry::Standard());
        Start();
    }
};

Program& TheProgram()
{
    static Program program;
    return program;
}

// 200 objects on the first page, of every drawn kind in turn.
QString Layout200(const QString& path)
{
    platform::IniDocument ini;
    ini.writeInt(u"System", u"PageWidth", 772);
    ini.writeInt(u"System", u"PageHeight", 1057);
    ini.writeInt(u"System", u"PageCount", 2);
    const int kinds[] = {kLayoutIR, kLayoutPhoto, kLayoutTable, kLayoutResultTable, kLayoutText, kLayoutRect,
                         kLayoutProfile, kLayoutHistogram, kLayoutLogo, kLayoutField};
    int counts[kLayoutSectionCount] = {};
    for (int i = 0; i < 200; ++i) {
        const int kind = kinds[i % 10];
        const QString section = QString::fromLatin1(kLayoutSections[std::size_t(kind)]);
        const int n = ++counts[kind];
        ini.writeInt(section, LayoutKey(n, "Left"), 10 + (i % 10) * 75);
        ini.writeInt(section, LayoutKey(n, "Top"), 10 + (i / 10) * 52);
        ini.writeInt(section, LayoutKey(n, "Width"), 70);
        ini.writeInt(section, LayoutKey(n, "Height"), 48);
        ini.writeInt(section, LayoutKey(n, "InPage"), 0);
        if (kind == kLayoutTable) {
            ini.writeInt(section, LayoutKey(n, "Row"), 3);
            ini.writeInt(section, LayoutKey(n, "Col"), 4);
        } else if (kind == kLayoutText) {
            ini.writeString(section, LayoutKey(n, "Content"), QStringLiteral("温度 %1").arg(n));
        }
    }
    for (int kind = 0; kind < kLayoutSectionCount; ++kind)
        ini.writeInt(QString::fromLatin1(kLayoutSections[std::size_t(kind)]), u"ObjCount", counts[kind]);
    ini.writeInt(u"System", u"Updated", 1);
    platform::IniFile(path).save(ini);
    return path;
}

// What the chooser does when a template with a current layout is shown.
void BM_ThumbnailOf200Objects(benchmark::State& state)
{
    Program& p = TheProgram();
    const QString path = Layout200(p.root.filePath(QStringLiteral("t200.ini")));
    QImage page = MakeThumbnailPage();
    for (auto _ : state) {
        const LayoutFile layout = LayoutFile::Load(path);
        const ThumbnailPages pages = ReadThumbnailPages(layout);
        DrawTemplateThumbnail(page, layout, ClampThumbnailPage(0, pages.count));
        const QImage shown =
            page.copy(ThumbnailSourceRect(pages)).scaled(QSize(269, 286), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_ThumbnailOf200Objects)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 640 x 480 file chosen for the image of a one-image template, until the
// page has painted its preview (a new page each time: nothing extracted yet).
void BM_ChooseImageOnImagePage(benchmark::State& state)
{
    Program& p = TheProgram();
    const QString file = p.root.filePath(QStringLiteral("IR640.VNI"));
    QProcess gen;
    gen.start(QStringLiteral(TEMPLATES_BENCH_PYTHON),
              {QStringLiteral(TEMPLATES_BENCH_SOURCE "/tools/vnigen.py"), QStringLiteral("image"), QStringLiteral("--model"),
               QStringLiteral("VN410K4"), QStringLiteral("--width"), QStringLiteral("640"), QStringLiteral("--height"),
               QStringLiteral("480"), QStringLiteral("--photo"), QStringLiteral("-o"), file});
    gen.waitForFinished(120000);
    platform::IniDocument ini;
    ini.writeInt(u"DrawIR", u"ObjCount", 1);
    const QString layout = p.root.filePath(QStringLiteral("one.ini"));
    platform::IniFile(layout).save(ini);
    TheWizardState().strTemplateIniPath = layout;
    TheWizardChoosers().infraredFiles = [file](QWidget*, bool) { return QStringList{file}; };
    for (auto _ : state) {
        state.PauseTiming();
        auto wizard = std::make_unique<CReportWizardDlg>();
        wizard->m_nMode = 0;
        wizard->show();
        CWizardIRPage* page = wizard->IRPage();
        state.ResumeTiming();
        page->OnChooseFile();
        page->Preview()->repaint();
        state.PauseTiming();
        if (page->FieldText(CWizardImagePage::kSize) != QStringLiteral("640 * 480"))
            state.SkipWithError("the file did not show");
        wizard.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ChooseImageOnImagePage)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
