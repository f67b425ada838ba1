// Cost of the plane model per pixel.
#include <benchmark/benchmark.h>

#include <vector>

#include "framegrid.h"

namespace {

void PlaneFrame(benchmark::State& state) {
    std::vector<int> grays(640 * 480);
    for (std::size_t i = 0; i < grays.size(); ++i) grays[i] = 6000 + static_cast<int>(i % 4000);
    std::vector<float> temps(grays.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < grays.size(); ++i) {
            const float t = MT_GrayToTempPlane(nullptr, 25.0f, grays[i], 8000, 37.0f);
            temps[i] = DisHumEnvRevisePlane(t, 5.0f, 60, 24.0f, 24.0f, 0.95f, 0.03f, 0.0f);
        }
        benchmark::DoNotOptimize(temps.data());
    }
    state.counters["per_pixel"] = benchmark::Counter(
        static_cast<double>(grays.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(PlaneFrame)->Unit(benchmark::kMillisecond);
