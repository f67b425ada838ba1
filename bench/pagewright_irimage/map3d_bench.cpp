// The 3D temperature map of a whole 640 x 480 image: reading its
// temperatures and colours, building the height grid and compiling its
// display list; and one frame while rotating it, beside a bare loop that
// replays the same display list in the same context (the software renderer
// alone needs well over 16 ms for the 300,000 quadrilaterals, so the frame
// is judged against that loop: at most 1.5 times it).
//
// Needs an X display with OpenGL (run under xvfb-run, Mesa's software
// renderer).
#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"
#include "irimage/gl_map_wnd.h"

#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include <QApplication>

#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QString Fixture(const char* name) { return QStringLiteral(IRIMAGE_BENCH_FIXTURES "/") + QLatin1String(name); }

// The window with its paint and list build reachable.
class BenchWindow : public CGLMapWnd {
public:
    void BuildList()
    {
        makeCurrent();
        CompileList();
        glFinish();
        doneCurrent();
    }
    void RenderFrame()
    {
        makeCurrent();
        paintGL();
        glFinish();
        doneCurrent();
    }
};

struct Fixture640 {
    DocumentEnvironment env;
    DrawClassRegistry registry = DrawClassRegistry::MakeBasic();
    std::unique_ptr<CDI_RptDoc> doc;
    DrawView view;
    CDraw3DMap* map = nullptr;
    BenchWindow wnd;
    std::unique_ptr<float[]> temps;
    std::unique_ptr<std::uint8_t[]> colors;
    QSize size;

    bool Open()
    {
        CDrawIR::Register(registry);
        CDraw3DMap::Register(registry);
        doc = std::make_unique<CDI_RptDoc>(&env, &registry);
        doc->SetView(&view);
        auto ir = std::make_unique<CDrawIR>(&view, DocRect(0, 0, 4000, -3000));
        ir->SetNumber(1);
        if (!ir->LoadIRFile(Fixture("k8_640.vni")))
            return false;
        doc->AddNoUndo(std::move(ir));
        map = static_cast<CDraw3DMap*>(doc->AddNoUndo(std::make_unique<CDraw3DMap>(&view, DocRect())));
        view.RebuildIRObjects();
        wnd.resize(640, 480);
        wnd.show();
        for (int i = 0; i < 50 && !wnd.HasContext(); ++i)
            QCoreApplication::processEvents();
        return wnd.HasContext();
    }
    void Load()
    {
        temps = map->GetAreaTemperatures(1, false, -1, &size);
        colors = map->GetAreaColors(1, false, -1, &size);
        wnd.SetData(size, colors.get(), temps.get());
        wnd.BuildList();
    }
    ~Fixture640()
    {
        wnd.SetData(QSize(), nullptr, nullptr);
        if (doc)
            doc->SetView(nullptr);
    }
};

Fixture640* g_fixture = nullptr;

void BM_MapGridAndListOfA640x480Image(benchmark::State& state)
{
    for (auto _ : state)
        g_fixture->Load();
    state.counters["quads"] = double(g_fixture->size.width()) * g_fixture->size.height();
}
BENCHMARK(BM_MapGridAndListOfA640x480Image)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);

void BM_MapFrameWhileRotating(benchmark::State& state)
{
    g_fixture->Load();
    float angle = 0;
    for (auto _ : state) {
        angle += 1.0f;
        g_fixture->wnd.SetRotationY(angle);
        g_fixture->wnd.RenderFrame();
    }
}
BENCHMARK(BM_MapFrameWhileRotating)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);

// The same list replayed with the bare calls only.
void BM_BareListReplay(benchmark::State& state)
{
    g_fixture->Load();
    BenchWindow& w = g_fixture->wnd;
    float angle = 0;
    for (auto _ : state) {
        angle += 1.0f;
        w.makeCurrent();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0, 0, -1200);
        glRotatef(angle, 0, 1, 0);
        glCallList(CGLMapWnd::kListId);
        glFinish();
        w.doneCurrent();
    }
}
BENCHMARK(BM_BareListReplay)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // The offscreen and minimal platforms have no OpenGL: showing the map's
    // window there would crash inside Qt.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        std::fprintf(stderr, "no OpenGL on the %s platform: run under xvfb-run\n", qPrintable(platform));
        return 1;
    }
    Fixture640 fixture;
    if (!fixture.Open()) {
        std::fprintf(stderr, "no OpenGL context (run under xvfb-run) or the fixture did not open\n");
        return 1;
    }
    g_fixture = &fixture;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
