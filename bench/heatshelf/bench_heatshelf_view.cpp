// The image view in the main window, offscreen, on the folders of
// make_bench_folders.py: entering the thumbnail grid of 1000 files until
// its first screen is painted (open tests cold and warm), the longest turn
// of the event loop while that grid is found and filled, scrolling while
// the grid fills (the longest event-loop turn is reported), a Next step in
// 500 files with the walk, render and paint, and a slider move to the
// repainted picture.
#include "current_folder.h"
#include "heatshelf_app.h"
#include "heatshelf_view.h"
#include "resource_ids.h"

#include "skin/message_box.h"
#include "skin/scroll_codes.h"

#include "bench_application.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>

#include <time.h>

namespace {

using heatshelf::CHeatshelfView;

struct Browser {
    Browser()
    {
        bench::EnsureApplication("bench_heatshelf_view");
        SetMessageBoxHook([](const MessageBoxRequest&) { return IDOK_ANSWER; });
        heatshelf::StartupOptions options;
        options.programFolder = dir.filePath(QStringLiteral("program"));
        options.configFolder = dir.filePath(QStringLiteral("config"));
        options.makeView = CHeatshelfView::Factory();
        shelf = std::make_unique<heatshelf::CHeatshelfApp>(options);
        if (!shelf->InitInstance())
            return;
        frame = shelf->MainFrame();
        frame->resize(1280, 900);
        frame->show();
        view = dynamic_cast<CHeatshelfView*>(frame->GetRightView());
        settle();
    }
    ~Browser()
    {
        if (shelf)
            shelf->ExitInstance();
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    void show(const char* folder)
    {
        heatshelf::CurrentFolder() = QDir(QStringLiteral(HEATSHELF_BENCH_DIR)).filePath(QString::fromLatin1(folder));
        view->Step(heatshelf::res::kStepFirst, true);
        settle();
    }
    // Back to the single image; cold: nothing kept of the folder (open
    // tests and pictures).
    void toSingleImage(bool cold)
    {
        frame->RunCommand(heatshelf::res::ID_SINGLE);
        settle();
        if (cold) {
            view->Core().openTest().clear();
            view->ThumbCache().Clear();
        }
    }
    // The cells of the first screen all have their pictures.
    bool firstScreenReady() const
    {
        const int columns = std::max(1, view->width() / 100);
        const int screen = (view->height() / 70 + 1) * columns;
        // The files are found while the grid shows: the first screen needs
        // its cells first.
        if (view->IsListing() && int(view->Thumbs().size()) < screen)
            return false;
        const int cells = std::min<int>(int(view->Thumbs().size()), screen);
        for (int i = 0; i < cells; ++i) {
            if (view->Thumbs()[size_t(i)].state == CHeatshelfView::GridThumb::Pending)
                return false;
        }
        return true;
    }

    QTemporaryDir dir;
    std::unique_ptr<heatshelf::CHeatshelfApp> shelf;
    heatshelf::CMainFrame* frame = nullptr;
    CHeatshelfView* view = nullptr;
};

// range(0): 0 open tests cold (nothing known of the folder), 1 warm.
void BM_EnterGridUntilFirstScreen(benchmark::State& state)
{
    Browser b;
    if (b.view == nullptr) {
        state.SkipWithError("start-up failed");
        return;
    }
    b.show("folder1000");
    for (auto _ : state) {
        state.PauseTiming();
        b.toSingleImage(state.range(0) == 0);
        state.ResumeTiming();
        b.frame->RunCommand(heatshelf::res::ID_THUMBNAILS);
        // Sleeps until the next result arrives: a timed processEvents drops
        // the wait and would spin here, taking the time of the render
        // threads on a pinned processor.
        while (!b.firstScreenReady())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        b.view->repaint();
    }
    state.counters["files"] = double(b.view->Thumbs().size());
}
BENCHMARK(BM_EnterGridUntilFirstScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

// The processor time the calling thread has used, in milliseconds.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Entering the grid of 1000 files, from the command to the last picture:
// max_turn_ms is the longest the window's event loop went without turning
// (the longest gap between the beats of a 1 ms timer), which bounds how
// long a click or a repaint waits; max_turn_cpu_ms the most processor time
// the window's thread spent between two beats, the same measure without
// the time a busy machine keeps the thread waiting for a processor.
// range(0): 0 nothing known of the folder (open tests and pictures cold),
// 1 both kept from the visit before.
void BM_EnterGridLongestTurn(benchmark::State& state)
{
    Browser b;
    if (b.view == nullptr) {
        state.SkipWithError("start-up failed");
        return;
    }
    b.show("folder1000");
    double longest = 0;
    double longestCpu = 0;
    double lastCpu = 0;
    double listedMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.toSingleImage(state.range(0) == 0);
        state.ResumeTiming();
        int done = 0;
        const QMetaObject::Connection counting =
            QObject::connect(b.view, &CHeatshelfView::thumbnailsDone, [&done] { ++done; });
        QElapsedTimer beat;
        QElapsedTimer since;
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        heartbeat.setInterval(1);
        const auto turnEnds = [&] {
            longest = std::max(longest, double(beat.nsecsElapsed()) / 1e6);
            const double cpu = threadCpuMs();
            longestCpu = std::max(longestCpu, cpu - lastCpu);
            lastCpu = cpu;
            beat.start();
        };
        QObject::connect(&heartbeat, &QTimer::timeout, turnEnds);
        const QMetaObject::Connection listing = QObject::connect(
            b.view, &CHeatshelfView::gridListed, [&] { listedMs = double(since.nsecsElapsed()) / 1e6; });
        // The command as the window gets it: from inside the event loop.
        QTimer::singleShot(0, b.frame, [&] {
            since.start();
            beat.start();
            lastCpu = threadCpuMs();
            heartbeat.start();
            b.frame->RunCommand(heatshelf::res::ID_THUMBNAILS);
        });
        while (done == 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        turnEnds(); // the turn that finished the grid
        heartbeat.stop();
        QObject::disconnect(counting);
        QObject::disconnect(listing);
    }
    state.counters["max_turn_ms"] = longest;
    state.counters["max_turn_cpu_ms"] = longestCpu;
    state.counters["listed_ms"] = listedMs;
    state.counters["files"] = double(b.view->Thumbs().size());
}
BENCHMARK(BM_EnterGridLongestTurn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// One line down of the grid's bar with its repaint, while the worker fills
// the grid; max_turn_ms is the longest turn of the event loop seen (the
// first counted from the bar's code).
void BM_ScrollWhileTheGridFills(benchmark::State& state)
{
    Browser b;
    if (b.view == nullptr) {
        state.SkipWithError("start-up failed");
        return;
    }
    b.show("folder1000");
    b.frame->RunCommand(heatshelf::res::ID_THUMBNAILS);
    double longest = 0;
    int step = 0;
    for (auto _ : state) {
        // The step as the window gets it: the bar's code, then the event
        // loop's turns that run the view's deferred scroll, the results that
        // came meanwhile and the repaint the frame asked for.
        QElapsedTimer t;
        t.start();
        b.frame->OnVScroll(++step % 60 < 30 ? SB_LINEDOWN : SB_LINEUP, 0);
        for (int turn = 0; turn < 2; ++turn) {
            QApplication::processEvents();
            longest = std::max(longest, double(t.nsecsElapsed()) / 1e6);
            t.start();
        }
    }
    state.counters["max_turn_ms"] = longest;
    state.counters["pending_left"] = double(std::count_if(b.view->Thumbs().begin(), b.view->Thumbs().end(), [](const auto& t) {
        return t.state == CHeatshelfView::GridThumb::Pending;
    }));
}
BENCHMARK(BM_ScrollWhileTheGridFills)->Unit(benchmark::kMillisecond)->Iterations(200)->Repetitions(3);

// Next in a folder of 500 (open tests warm): walk, render and paint.
void BM_NextStepIn500(benchmark::State& state)
{
    Browser b;
    if (b.view == nullptr) {
        state.SkipWithError("start-up failed");
        return;
    }
    b.show("folder500");
    // Warm the open tests over the whole folder once.
    while (!b.view->IsLast())
        b.view->Step(heatshelf::res::kStepNext, false);
    b.view->Step(heatshelf::res::kStepFirst, false);
    for (auto _ : state) {
        if (b.view->IsLast()) {
            state.PauseTiming();
            b.view->Step(heatshelf::res::kStepFirst, false);
            state.ResumeTiming();
        }
        b.frame->RunCommand(heatshelf::res::ID_NEXT);
        b.view->repaint();
    }
}
BENCHMARK(BM_NextStepIn500)->Unit(benchmark::kMillisecond)->Iterations(100)->Repetitions(3);

// A slider move on a 640 x 480 file to the repainted picture.
void BM_SliderMoveToRepaint(benchmark::State& state)
{
    Browser b;
    if (b.view == nullptr) {
        state.SkipWithError("start-up failed");
        return;
    }
    b.show("folder500");
    b.view->repaint();
    const float low = b.view->Core().levelLow();
    int i = 0;
    for (auto _ : state) {
        b.view->OnLevelSpan(1, low + float(++i % 10));
        b.view->repaint();
    }
}
BENCHMARK(BM_SliderMoveToRepaint)->Unit(benchmark::kMillisecond)->Iterations(100)->Repetitions(3);

} // namespace
