// Opening a 640 x 480 still image and rendering it to 32-bit colour.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "thermcore.h"

namespace {

IfrHandle openBenchFile() {
    return IFR_LoadFile(nullptr, THERMCORE_BENCH_FILE, IFR_KIND_IMAGE, nullptr, nullptr);
}

// IFR_LoadFile + IFR_CloseFile + IFR_Free.
void BM_LoadCloseFree(benchmark::State& state) {
    for (auto _ : state) {
        IfrHandle h = openBenchFile();
        if (h == nullptr) {
            state.SkipWithError("cannot open the benchmark image");
            return;
        }
        IFR_CloseFile(h);
        IFR_Free(h);
    }
}
BENCHMARK(BM_LoadCloseFree)->Unit(benchmark::kMicrosecond);

// The same with the first frame read, as the programs open an image.
void BM_LoadNextCloseFree(benchmark::State& state) {
    for (auto _ : state) {
        IfrHandle h = openBenchFile();
        if (h == nullptr || IFR_Next(h) != 0) {
            state.SkipWithError("cannot read the benchmark image");
            return;
        }
        IFR_CloseFile(h);
        IFR_Free(h);
    }
}
BENCHMARK(BM_LoadNextCloseFree)->Unit(benchmark::kMicrosecond);

struct OpenImage {
    IfrHandle h = openBenchFile();
    OpenImage() { IFR_Next(h); }
    ~OpenImage() {
        IFR_CloseFile(h);
        IFR_Free(h);
    }
};

// The image's own grays, as a caller holds them: the frame after the
// 428-byte block of the file.
std::vector<unsigned short> fileFrame() {
    std::vector<unsigned short> f(640 * 480);
    std::FILE* in = std::fopen(THERMCORE_BENCH_FILE, "rb");
    std::vector<unsigned char> bytes(f.size() * 2);
    if (in == nullptr) return f;
    if (std::fseek(in, 428, SEEK_SET) == 0 && std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size()) {
        for (size_t i = 0; i < f.size(); ++i) f[i] = static_cast<unsigned short>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    std::fclose(in);
    return f;
}

// Histogram pass (automatic gain) and rendering into the 32-bit surface.
void BM_HistogramAndRender(benchmark::State& state) {
    OpenImage img;
    const std::vector<unsigned short> frame = fileFrame();
    IfrSurface* surface = nullptr;
    for (auto _ : state) {
        IFR_DoHistogramProcess(img.h, frame.data());
        IFR_GetDrawBuffer(img.h, frame.data(), &surface);
        benchmark::DoNotOptimize(surface->pixels[0]);
    }
}
BENCHMARK(BM_HistogramAndRender)->Unit(benchmark::kMicrosecond);

// Rendering alone, with a fixed display range.
void BM_Render(benchmark::State& state) {
    OpenImage img;
    const std::vector<unsigned short> frame = fileFrame();
    IFR_DoHistogramProcess(img.h, frame.data());
    IfrSurface* surface = nullptr;
    for (auto _ : state) {
        IFR_GetDrawBuffer(img.h, frame.data(), &surface);
        benchmark::DoNotOptimize(surface->pixels[0]);
    }
}
BENCHMARK(BM_Render)->Unit(benchmark::kMicrosecond);

}  // namespace
