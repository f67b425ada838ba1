// Sequences: opening and indexing, reading frames, closing while the index
// thread runs, and the CPU a playback takes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <thread>

#include "thermcore.h"

namespace {

using Clock = std::chrono::steady_clock;

// The messages of one window, waited for by the benchmark's thread.
struct Mailbox {
    std::mutex mutex;
    std::condition_variable arrived;
    unsigned int indexReady = 0;
    unsigned int playbackEnded = 0;

    static void post(void* window, unsigned int message, intptr_t, intptr_t, void*) {
        auto* box = static_cast<Mailbox*>(window);
        {
            std::lock_guard lock(box->mutex);
            if (message == WM_IFR_INDEXREADY) ++box->indexReady;
            if (message == WM_IFR_PLAYBACK) ++box->playbackEnded;
        }
        box->arrived.notify_all();
    }

    template <typename Pred>
    bool wait(Pred pred) {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, std::chrono::seconds(30), [&] { return pred(*this); });
    }
    bool indexed() {
        std::lock_guard lock(mutex);
        return indexReady != 0;
    }
};

struct HookScope {
    HookScope() { ThermcoreSetPostHook(Mailbox::post, nullptr); }
    ~HookScope() { ThermcoreSetPostHook(nullptr, nullptr); }
};

IfrHandle open(const char* path, Mailbox* box, int* first = nullptr) {
    return IFR_LoadFile(box, path, IFR_KIND_SEQUENCE, first, nullptr);
}

void release(IfrHandle h) {
    IFR_CloseFile(h);
    IFR_Free(h);
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// IFR_LoadFile of a 1000-frame 320 x 240 layout-1 sequence, and the time
// until the index-ready message arrives.
void BM_OpenAndIndex320x240x1000(benchmark::State& state) {
    HookScope hook;
    double openTotal = 0;
    for (auto _ : state) {
        Mailbox box;
        const auto start = Clock::now();
        IfrHandle h = open(THERMCORE_BENCH_SEQ_320, &box);
        const auto opened = Clock::now();
        if (h == nullptr || !box.wait([](Mailbox& b) { return b.indexReady != 0; })) {
            state.SkipWithError("cannot open or index the sequence");
            return;
        }
        state.SetIterationTime(seconds(Clock::now() - start));
        openTotal += seconds(opened - start);
        release(h);
    }
    state.counters["open_ms"] = benchmark::Counter(openTotal * 1e3 / double(state.iterations()));
}
BENCHMARK(BM_OpenAndIndex320x240x1000)->UseManualTime()->Unit(benchmark::kMillisecond);

// IFR_Next per 640 x 480 frame (file in the page cache), histogram pass
// included; at the end the sequence starts again from its first frame.
void BM_Next640x480(benchmark::State& state) {
    HookScope hook;
    Mailbox box;
    int first = 0;
    IfrHandle h = open(THERMCORE_BENCH_SEQ_640, &box, &first);
    if (h == nullptr || !box.wait([](Mailbox& b) { return b.indexReady != 0; })) {
        state.SkipWithError("cannot open the sequence");
        return;
    }
    for (auto _ : state) {
        if (IFR_Next(h) != 0) {
            state.PauseTiming();
            IFR_GotoTime(h, first);
            IFR_Next(h);
            state.ResumeTiming();
        }
    }
    release(h);
}
BENCHMARK(BM_Next640x480)->Unit(benchmark::kMicrosecond);

// IFR_CloseFile right after the open, while the index thread walks the
// file: 1000 frames of 320 x 240, or 30000 frames of 2 x 2. The counter
// tells in how many of the closes the index was still being built.
void BM_CloseWhileIndexing(benchmark::State& state) {
    HookScope hook;
    const char* path = state.range(0) == 0 ? THERMCORE_BENCH_SEQ_320 : THERMCORE_BENCH_SEQ_TINY;
    int64_t whileIndexing = 0;
    for (auto _ : state) {
        Mailbox box;
        IfrHandle h = open(path, &box);
        if (h == nullptr) {
            state.SkipWithError("cannot open the sequence");
            return;
        }
        const auto start = Clock::now();
        IFR_CloseFile(h);
        state.SetIterationTime(seconds(Clock::now() - start));
        whileIndexing += box.indexed() ? 0 : 1;
        IFR_Free(h);
    }
    state.counters["during_index"] =
        benchmark::Counter(double(whileIndexing) / double(state.iterations()));
}
BENCHMARK(BM_CloseWhileIndexing)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// CPU time of the process during one second of playback at speed 0 (a frame
// every 20 ms) of the 320 x 240 sequence.
void BM_PlaybackCpuPerSecond(benchmark::State& state) {
    HookScope hook;
    double cpu = 0;
    for (auto _ : state) {
        Mailbox box;
        IfrHandle h = open(THERMCORE_BENCH_SEQ_320, &box);
        if (h == nullptr || !box.wait([](Mailbox& b) { return b.indexReady != 0; })) {
            state.SkipWithError("cannot open the sequence");
            return;
        }
        IFR_PlaySpeed(h, 0);
        const double cpu0 = processCpuSeconds();
        const auto start = Clock::now();
        IFR_Play(h);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        cpu += processCpuSeconds() - cpu0;
        IFR_Stop(h);
        box.wait([](Mailbox& b) { return b.playbackEnded != 0; });
        state.SetIterationTime(seconds(Clock::now() - start));
        release(h);
    }
    state.counters["cpu_ms_per_s"] = benchmark::Counter(cpu * 1e3 / double(state.iterations()));
}
BENCHMARK(BM_PlaybackCpuPerSecond)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
