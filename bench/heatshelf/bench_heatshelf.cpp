// The browser's core on 640 x 480 camera files.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "heatshelf/folder_walk.h"
#include "heatshelf/image_view_core.h"
#include "heatshelf/ir_image.h"
#include "heatshelf/thumbnail_worker.h"

namespace {

using namespace heatshelf;

const QString kDir = QStringLiteral(HEATSHELF_BENCH_DIR);

// Open, range, palette, picture and its image: what showing a file costs.
void BM_OpenAndRender(benchmark::State& state) {
    QTemporaryDir app;
    ImageViewCore view(app.path());
    view.SetFolder(kDir);
    view.SetCurrentFile(kDir + QStringLiteral("/one.vni"));
    for (auto _ : state) {
        if (!view.RenderCurrent()) {
            state.SkipWithError("cannot open the benchmark image");
            return;
        }
        benchmark::DoNotOptimize(view.picture().constBits());
    }
}
BENCHMARK(BM_OpenAndRender)->Unit(benchmark::kMillisecond)->UseRealTime();

// One thumbnail of a 640 x 480 file, as a render thread makes it: open,
// range, the library's picture shrunk to the 64 x 48 cell.
void BM_RenderThumbnail(benchmark::State& state) {
    QTemporaryDir app;
    CIrImage holder(app.path());
    std::vector<unsigned char> scratch;
    const QString path = kDir + QStringLiteral("/one.vni");
    for (auto _ : state) {
        const QByteArray dib = RenderThumbnail(holder, path, QSize(64, 48), scratch);
        if (dib.isEmpty()) {
            state.SkipWithError("cannot render the benchmark image");
            return;
        }
        benchmark::DoNotOptimize(dib.constData());
    }
}
BENCHMARK(BM_RenderThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime();

// Which of 1000 files open, with nothing known yet: the listing, then each
// file loaded, closed and freed once, all together (arg 1) or one after
// the other as a walk does (arg 0).
void BM_OpenTestFolderCold(benchmark::State& state) {
    const QString folder = kDir + QStringLiteral("/folder1000");
    for (auto _ : state) {
        OpenTest test;
        QStringList paths;
        for (const QString& name : InfraredCandidates(ListFolder(folder))) paths.push_back(QDir(folder).filePath(name));
        if (state.range(0) == 1) test.testAll(paths);
        int opening = 0;
        for (const QString& path : paths) opening += test(path) ? 1 : 0;
        if (opening != 1000 || test.loads() != 1000) {
            state.SkipWithError("the benchmark folder is incomplete");
            return;
        }
    }
}
BENCHMARK(BM_OpenTestFolderCold)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// A step to the last of 500 files, the answers known: listing, walk and the
// render of the file chosen.
void BM_NextStepWarm(benchmark::State& state) {
    const QString folder = kDir + QStringLiteral("/folder500");
    QTemporaryDir app;
    ImageViewCore view(app.path());
    view.SetFolder(folder);
    view.SetCurrentFile(QDir(folder).filePath(QStringLiteral("IR0498.VNI")));
    view.ChooseFile(kWalkNext);  // warms the cache
    for (auto _ : state) {
        view.SetCurrentFile(QDir(folder).filePath(QStringLiteral("IR0498.VNI")));
        view.ChooseFile(kWalkNext);
        if (view.walk().index != 499) {
            state.SkipWithError("the step did not reach the last file");
            return;
        }
    }
}
BENCHMARK(BM_NextStepWarm)->Unit(benchmark::kMillisecond)->UseRealTime();

// The walk alone (listing and choice) of that step.
void BM_NextWalkWarm(benchmark::State& state) {
    const QString folder = kDir + QStringLiteral("/folder500");
    OpenTest test;
    const auto opens = [&](const QString& name) { return test(QDir(folder).filePath(name)); };
    WalkFolder(InfraredCandidates(ListFolder(folder)), opens, kWalkNext, QStringLiteral("IR0498.VNI"));
    for (auto _ : state) {
        const WalkResult r =
            WalkFolder(InfraredCandidates(ListFolder(folder)), opens, kWalkNext, QStringLiteral("IR0498.VNI"));
        benchmark::DoNotOptimize(r.index);
    }
}
BENCHMARK(BM_NextWalkWarm)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
