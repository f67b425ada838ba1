// Whole-frame temperature statistics of a 640 x 480 image, per model family:
// IFR_GetRectAverageTemp and IFR_GetRectTemp once the gray -> temperature
// table is built, and the first call after a scene change (which builds it).
#include <benchmark/benchmark.h>

#include <vector>

#include "thermcore.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

const char* fileOf(int family) {
    switch (family) {
        case 0: return BENCH_OWN_FILE;
        case 1: return BENCH_RADIOMETRIC_FILE;
        default: return BENCH_PLANE_FILE;
    }
}

struct Image {
    IfrHandle h;
    explicit Image(int family) : h(IFR_LoadFile(nullptr, fileOf(family), IFR_KIND_IMAGE, nullptr, nullptr)) {
        if (h != nullptr) IFR_Next(h);
    }
    ~Image() {
        if (h == nullptr) return;
        IFR_CloseFile(h);
        IFR_Free(h);
    }
};

void label(benchmark::State& state) {
    static const char* names[] = {"own line table", "radiometric", "plane"};
    state.SetLabel(names[state.range(0)]);
}

void BM_RectAverageTemp(benchmark::State& state) {
    Image img(static_cast<int>(state.range(0)));
    if (img.h == nullptr) return state.SkipWithError("cannot open the image");
    IFR_GetRectAverageTemp(img.h, 0, 0, kWidth - 1, kHeight - 1);  // builds the table
    for (auto _ : state) {
        benchmark::DoNotOptimize(IFR_GetRectAverageTemp(img.h, 0, 0, kWidth - 1, kHeight - 1));
    }
    label(state);
}
BENCHMARK(BM_RectAverageTemp)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_RectTemp(benchmark::State& state) {
    Image img(static_cast<int>(state.range(0)));
    if (img.h == nullptr) return state.SkipWithError("cannot open the image");
    std::vector<float> temps(kWidth * kHeight);
    IFR_GetRectTemp(img.h, 0, 0, kWidth - 1, kHeight - 1, temps.data());
    for (auto _ : state) {
        IFR_GetRectTemp(img.h, 0, 0, kWidth - 1, kHeight - 1, temps.data());
        benchmark::DoNotOptimize(temps.data());
    }
    label(state);
}
BENCHMARK(BM_RectTemp)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The first call after the emissivity changed: the table is built again.
void BM_FirstRectAverageTemp(benchmark::State& state) {
    Image img(static_cast<int>(state.range(0)));
    if (img.h == nullptr) return state.SkipWithError("cannot open the image");
    float distance = 0;
    float emissivity = 0;
    IFR_GetEmissDis(img.h, &emissivity, &distance);
    int i = 0;
    for (auto _ : state) {
        IFR_SetEmissDis(img.h, (++i % 2) != 0 ? 0.9f : 0.95f, distance);
        benchmark::DoNotOptimize(IFR_GetRectAverageTemp(img.h, 0, 0, kWidth - 1, kHeight - 1));
    }
    label(state);
}
BENCHMARK(BM_FirstRectAverageTemp)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// One direct conversion, for comparison.
void BM_GrayToTemp(benchmark::State& state) {
    Image img(static_cast<int>(state.range(0)));
    if (img.h == nullptr) return state.SkipWithError("cannot open the image");
    int g = 0;
    for (auto _ : state) benchmark::DoNotOptimize(IFR_GrayToTemp(img.h, 4000 + (g++ & 4095)));
    label(state);
}
BENCHMARK(BM_GrayToTemp)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
