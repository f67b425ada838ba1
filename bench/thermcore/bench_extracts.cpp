// Extracts of a 640 x 480 still image: the false-colour image as a packed
// BMP file image and as a JPEG file of quality 80 (blue, green, red through
// the codec's generic kernels, 4:2:0), and IFR_InfraredFileToJPG from the
// camera file to the JPEG file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "scratch_folder.h"
#include "thermcore.h"

namespace {

// A file of the working folder (under TMPDIR, removed at exit).
std::string scratch(const char* name) {
    return (bench::ScratchFolder("thermcore-bench") / name).string();
}

// A palette file of 256 colours from blue through red to yellow.
const std::string& palette() {
    static const std::string path = [] {
        std::vector<unsigned char> bmp(54 + 768);
        for (int i = 0; i < 256; ++i) {
            bmp[54 + 3 * i] = static_cast<unsigned char>(i < 128 ? 255 - 2 * i : 0);
            bmp[54 + 3 * i + 1] = static_cast<unsigned char>(i < 128 ? 0 : 2 * (i - 128));
            bmp[54 + 3 * i + 2] = static_cast<unsigned char>(i < 128 ? 2 * i : 255);
        }
        const std::string p = scratch("palette.bmp");
        std::FILE* f = std::fopen(p.c_str(), "wb");
        if (f != nullptr) {
            std::fwrite(bmp.data(), 1, bmp.size(), f);
            std::fclose(f);
        }
        return p;
    }();
    return path;
}

struct Rendered {
    IfrHandle h = IFR_LoadFile(nullptr, THERMCORE_BENCH_FILE, IFR_KIND_IMAGE, nullptr, nullptr);
    std::vector<unsigned char> dib = std::vector<unsigned char>(ThermcoreDibFileSize(640, 480));
    bool ok = h != nullptr && IFR_SetColorRuler(h, palette().c_str()) == 0 && IFR_Next(h) == 0 &&
              IFR_OutputDIB(h, dib.data(), nullptr, 0) == 0;
    ~Rendered() {
        if (h == nullptr) return;
        IFR_CloseFile(h);
        IFR_Free(h);
    }
};

void BM_OutputDib(benchmark::State& state) {
    Rendered r;
    if (!r.ok) {
        state.SkipWithError("cannot render the benchmark image");
        return;
    }
    for (auto _ : state) {
        IFR_OutputDIB(r.h, r.dib.data(), nullptr, 0);
        benchmark::DoNotOptimize(r.dib.data());
    }
}
BENCHMARK(BM_OutputDib)->Unit(benchmark::kMillisecond);

// IFR_MemSaveToJPG of the rendered image: packing, encoding, the file.
void BM_MemSaveToJpg(benchmark::State& state) {
    Rendered r;
    const std::string out = scratch("save.jpg");
    if (!r.ok || IFR_MemSaveToJPG(r.h, out.c_str(), 80) != 0) {
        state.SkipWithError("cannot save the benchmark image");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(IFR_MemSaveToJPG(r.h, out.c_str(), 80));
    std::remove(out.c_str());
}
BENCHMARK(BM_MemSaveToJpg)->Unit(benchmark::kMillisecond);

// The whole road of a program: open, palette, first frame, render, save, close.
void BM_OpenRenderSaveJpg(benchmark::State& state) {
    const std::string out = scratch("road.jpg");
    for (auto _ : state) {
        Rendered r;
        if (!r.ok || IFR_MemSaveToJPG(r.h, out.c_str(), 80) != 0) {
            state.SkipWithError("cannot save the benchmark image");
            return;
        }
    }
    std::remove(out.c_str());
}
BENCHMARK(BM_OpenRenderSaveJpg)->Unit(benchmark::kMillisecond);

// The converter: camera file to JPEG file without a handle.
void BM_InfraredFileToJpg(benchmark::State& state) {
    const std::string out = scratch("converted.jpg");
    for (auto _ : state) {
        if (IFR_InfraredFileToJPG(palette().c_str(), IFR_KIND_IMAGE, THERMCORE_BENCH_FILE, out.c_str(), 80) != 0) {
            state.SkipWithError("cannot convert the benchmark image");
            return;
        }
    }
    std::remove(out.c_str());
}
BENCHMARK(BM_InfraredFileToJpg)->Unit(benchmark::kMillisecond);

}  // namespace
