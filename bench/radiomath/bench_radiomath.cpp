// Cost of the calibration model: one frame converted pixel by pixel, and one
// inverse conversion. Run: build/release/bench/radiomath/bench_radiomath
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "radiomath.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

MT_Para loadBlock(const char* preset) {
    MT_Para p{};
    const std::string path = std::string(MTPARA_FIXTURE_DIR) + "/" + preset + ".bin";
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        if (std::fread(&p, 1, sizeof p, f) != sizeof p) std::fprintf(stderr, "short %s\n", path.c_str());
        std::fclose(f);
    } else {
        std::fprintf(stderr, "missing %s\n", path.c_str());
    }
    return p;
}

// A frame of grays spread over the calibrated range, like a warm scene.
std::vector<int> sceneFrame() {
    std::vector<int> grays(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            grays[y * kWidth + x] = 2500 + (x * 13 + y * 7) % 8000;
    return grays;
}

void FrameGrayToTemp(benchmark::State& state, const char* preset) {
    MT_Para p = loadBlock(preset);
    const std::vector<int> grays = sceneFrame();
    std::vector<float> temps(grays.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < grays.size(); ++i) MT_GrayToTemp(&p, grays[i], &temps[i]);
        benchmark::DoNotOptimize(temps.data());
        benchmark::ClobberMemory();
    }
    state.counters["per_call"] = benchmark::Counter(
        static_cast<double>(grays.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void TempToGray(benchmark::State& state, const char* preset) {
    MT_Para p = loadBlock(preset);
    float t = 0;
    MT_GrayToTemp(&p, 6000, &t);
    float target = t;
    for (auto _ : state) {
        int gray = 0;
        benchmark::DoNotOptimize(MT_TempToGray(&p, target, &gray));
        target += 0.001f;
        if (target > t + 50.0f) target = t;
    }
}

}  // namespace

BENCHMARK_CAPTURE(FrameGrayToTemp, camera, "camera")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FrameGrayToTemp, table_a, "table-a")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TempToGray, camera, "camera");
BENCHMARK_CAPTURE(TempToGray, linear, "linear");
