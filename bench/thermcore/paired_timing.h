// A library call timed against a plain loop that does the same memory work,
// in the same run: every iteration runs both, one after the other, so a
// machine busy with other work slows both alike and their ratio holds.
//
// The benchmark's time is the library's (register it with UseManualTime());
// the counters give the plain loop's time per iteration in milliseconds
// ("base_ms") and the ratio of the two ("ratio").
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

namespace thermcore_bench {

template <typename Library, typename Baseline>
void runPaired(benchmark::State& state, Library&& library, Baseline&& baseline) {
    using Clock = std::chrono::steady_clock;
    double libraryTotal = 0;
    double baselineTotal = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        library();
        const auto t1 = Clock::now();
        baseline();
        const auto t2 = Clock::now();
        const double libraryTime = std::chrono::duration<double>(t1 - t0).count();
        libraryTotal += libraryTime;
        baselineTotal += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(libraryTime);
    }
    const double n = static_cast<double>(state.iterations());
    if (n == 0 || baselineTotal <= 0) return;
    state.counters["base_ms"] = benchmark::Counter(baselineTotal * 1e3 / n);
    state.counters["ratio"] = benchmark::Counter(libraryTotal / baselineTotal);
}

}  // namespace thermcore_bench
