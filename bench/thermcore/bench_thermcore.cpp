// Opening a 640 x 480 still image and rendering it to 32-bit colour; the
// histogram pass and the rendering beside a plain loop doing the same memory
// work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "paired_timing.h"
#include "thermcore.h"

using thermcore_bench::runPaired;

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

// What the histogram pass and the rendering do to memory, as plain loops:
// the frame's lowest and highest gray; a table of the ruler index and one of
// the histogram bin of every gray between them; the histogram, and the
// ruler colour of every pixel stored in the surface, in one pass.
struct PlainRender {
    std::vector<uint32_t> ruler = std::vector<uint32_t>(256);
    std::vector<uint8_t> index, bin;
    std::vector<uint32_t> surface = std::vector<uint32_t>(640 * 480);
    int histogram[256] = {};

    PlainRender() {
        for (uint32_t i = 0; i < 256; ++i) ruler[i] = i * 0x010101u;
    }
    void run(const std::vector<unsigned short>& frame) {
        int lo = static_cast<int16_t>(frame[0]), hi = lo;
        for (unsigned short v : frame) {
            const int g = static_cast<int16_t>(v);
            lo = std::min(lo, g);
            hi = std::max(hi, g);
        }
        const int span = std::max(hi - lo, 1);
        index.resize(static_cast<size_t>(span) + 1);
        bin.resize(index.size());
        for (int a = 0; a <= span; ++a) {
            index[static_cast<size_t>(a)] = static_cast<uint8_t>((2 * a * 255 + span) / (2 * span));
            bin[static_cast<size_t>(a)] = static_cast<uint8_t>(a * 256 / (span + 1));
        }
        std::fill(std::begin(histogram), std::end(histogram), 0);
        for (size_t i = 0; i < frame.size(); ++i) {
            const size_t a = static_cast<size_t>(static_cast<int16_t>(frame[i]) - lo);
            ++histogram[bin[a]];
            surface[i] = ruler[index[a]];
        }
    }
};

// Histogram pass (automatic gain) and rendering into the 32-bit surface, as
// two calls and as IFR_ShowImage.
void BM_HistogramAndRender(benchmark::State& state) {
    OpenImage img;
    const std::vector<unsigned short> frame = fileFrame();
    IfrSurface* surface = nullptr;
    PlainRender plain;
    runPaired(
        state,
        [&] {
            IFR_DoHistogramProcess(img.h, frame.data());
            IFR_GetDrawBuffer(img.h, frame.data(), &surface);
            benchmark::DoNotOptimize(surface->pixels[0]);
        },
        [&] {
            plain.run(frame);
            benchmark::DoNotOptimize(plain.surface[0]);
        });
}
BENCHMARK(BM_HistogramAndRender)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_ShowImage(benchmark::State& state) {
    OpenImage img;
    const std::vector<unsigned short> frame = fileFrame();
    PlainRender plain;
    runPaired(
        state, [&] { IFR_ShowImage(img.h, frame.data()); },
        [&] {
            plain.run(frame);
            benchmark::DoNotOptimize(plain.surface[0]);
        });
}
BENCHMARK(BM_ShowImage)->UseManualTime()->Unit(benchmark::kMicrosecond);

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
