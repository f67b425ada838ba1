// The browser's main window: a theme switch (the command, the shades and
// images, the field.ini write, and the whole window repainted), offscreen,
// with the program folder in a scratch directory.
#include "heatshelf_app.h"

#include "skin/message_box.h"

#include "bench_application.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

namespace {

void BM_ThemeSwitchOfTheWholeWindow(benchmark::State& state)
{
    bench::EnsureApplication("bench_heatshelf_app");
    SetMessageBoxHook([](const MessageBoxRequest&) { return IDOK_ANSWER; });
    QTemporaryDir dir;
    heatshelf::StartupOptions options;
    options.programFolder = dir.filePath(QStringLiteral("program"));
    options.configFolder = dir.filePath(QStringLiteral("config"));
    heatshelf::CHeatshelfApp shelf(options);
    if (!shelf.InitInstance()) {
        state.SkipWithError("start-up failed");
        return;
    }
    heatshelf::CMainFrame* frame = shelf.MainFrame();
    frame->resize(1280, 900);
    QApplication::processEvents();
    int theme = 0;
    for (auto _ : state) {
        frame->RunCommand(32777 + theme);
        theme = (theme + 1) % 6;
        frame->repaint();
        QApplication::processEvents();
    }
    shelf.ExitInstance();
}
BENCHMARK(BM_ThemeSwitchOfTheWholeWindow)->Unit(benchmark::kMillisecond)->Iterations(30)->Repetitions(5);

} // namespace
