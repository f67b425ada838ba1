// Whole-frame temperature statistics of a 640 x 480 image, per model family:
// IFR_GetRectAverageTemp and IFR_GetRectTemp once the gray -> temperature
// table is built, each beside a plain loop doing the same memory work (table
// look-up of every pixel, summed or stored), and the first call after a
// scene change (which converts the grays the frame holds), on the file's
// frame and on one whose grays span 2,000 values.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "paired_timing.h"
#include "thermcore.h"

using thermcore_bench::runPaired;

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

// The image's frame as the library holds it, and a table of the
// temperatures of its grays, indexed by gray.
struct PlainData {
    std::vector<unsigned short> frame;
    std::vector<float> table;
    explicit PlainData(IfrHandle h) : frame(kWidth * kHeight), table(16384, 0.0f) {
        std::vector<int> grays(frame.size());
        IFR_GetRectGray(h, 0, 0, kWidth - 1, kHeight - 1, grays.data());
        for (size_t i = 0; i < grays.size(); ++i) {
            frame[i] = static_cast<unsigned short>(std::clamp(grays[i], 0, 16383));
        }
        for (unsigned short g : frame) table[g] = IFR_GrayToTemp(h, g);
    }
};

// Table look-up and sum of every pixel in four double accumulators.
double plainSum4(const PlainData& d) {
    double s[4] = {0, 0, 0, 0};
    const size_t n = d.frame.size();
    for (size_t i = 0; i < n; i += 4) {
        for (size_t k = 0; k < 4; ++k) s[k] += d.table[d.frame[i + k]];
    }
    return (s[0] + s[1]) + (s[2] + s[3]);
}

// The same summed in order in one long double.
long double plainSumInOrder(const PlainData& d) {
    long double s = 0;
    for (unsigned short g : d.frame) s += d.table[g];
    return s;
}

// Table look-up and store of every pixel.
void plainFill(const PlainData& d, float* out) {
    const size_t n = d.frame.size();
    for (size_t i = 0; i < n; ++i) out[i] = d.table[d.frame[i]];
}

void label(benchmark::State& state) {
    static const char* names[] = {"own line table", "radiometric", "plane"};
    state.SetLabel(names[state.range(0)]);
}

void BM_RectAverageTemp(benchmark::State& state) {
    Image img(static_cast<int>(state.range(0)));
    if (img.h == nullptr) return state.SkipWithError("cannot open the image");
    IFR_GetRectAverageTemp(img.h, 0, 0, kWidth - 1, kHeight - 1);  // builds the table
    const PlainData plain(img.h);
    runPaired(
        state,
        [&] { benchmark::DoNotOptimize(IFR_GetRectAverageTemp(img.h, 0, 0, kWidth - 1, kHeight - 1)); },
        [&] { benchmark::DoNotOptimize(plainSum4(plain)); });
    label(state);
}
BENCHMARK(BM_RectAverageTemp)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond);

// The plain in-order long double sum alone (what the average once cost at
// best), against the four-accumulator loop.
void BM_PlainInOrderSum(benchmark::State& state) {
    Image img(1);
    if (img.h == nullptr) return state.SkipWithError("cannot open the image");
    const PlainData plain(img.h);
    runPaired(
        state, [&] { benchmark::DoNotOptimize(plainSumInOrder(plain)); },
        [&] { benchmark::DoNotOptimize(plainSum4(plain)); });
}
BENCHMARK(BM_PlainInOrderSum)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RectTemp(benchmark::State& state) {
    Image img(static_cast<int>(state.range(0)));
    if (img.h == nullptr) return state.SkipWithError("cannot open the image");
    std::vector<float> temps(kWidth * kHeight);
    std::vector<float> plainTemps(kWidth * kHeight);
    IFR_GetRectTemp(img.h, 0, 0, kWidth - 1, kHeight - 1, temps.data());
    const PlainData plain(img.h);
    runPaired(
        state,
        [&] {
            IFR_GetRectTemp(img.h, 0, 0, kWidth - 1, kHeight - 1, temps.data());
            benchmark::DoNotOptimize(temps.data());
        },
        [&] {
            plainFill(plain, plainTemps.data());
            benchmark::DoNotOptimize(plainTemps.data());
        });
    label(state);
}
BENCHMARK(BM_RectTemp)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond);

// The first call after the emissivity changed: the grays the frame holds
// are converted again. The emissivity steps through 16 values, more than
// the scenes whose temperatures the library keeps, so that no call finds
// its scene converted. Argument 1 selects a frame whose grays span 2,000
// values (the file's frame rescaled), argument 0 the file's own frame.
void BM_FirstRectAverageTemp(benchmark::State& state) {
    Image img(static_cast<int>(state.range(0)));
    if (img.h == nullptr) return state.SkipWithError("cannot open the image");
    if (state.range(1) != 0) {
        PlainData plain(img.h);
        const auto [lo, hi] = std::minmax_element(plain.frame.begin(), plain.frame.end());
        const int min = *lo, span = std::max(*hi - *lo, 1);
        for (unsigned short& g : plain.frame) g = static_cast<unsigned short>(5000 + (g - min) * 1999 / span);
        IFR_LoadInfraredData(img.h, plain.frame.data());
    }
    float distance = 0;
    float emissivity = 0;
    IFR_GetEmissDis(img.h, &emissivity, &distance);
    int i = 0;
    for (auto _ : state) {
        IFR_SetEmissDis(img.h, 0.803f + 0.01f * static_cast<float>(++i % 16), distance);
        benchmark::DoNotOptimize(IFR_GetRectAverageTemp(img.h, 0, 0, kWidth - 1, kHeight - 1));
    }
    label(state);
}
BENCHMARK(BM_FirstRectAverageTemp)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"family", "span2000"})
    ->Unit(benchmark::kMillisecond);

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
