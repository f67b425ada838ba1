// Encoding a 640x480 B, G, R picture at quality 80, 4:2:0 and 4:4:4, with
// the generic kernels (USECPU=0), beside TurboJPEG's tjCompress2 on the same
// picture in the same run. Run once more with JSIMD_FORCENONE=1 in the
// environment to time libjpeg-turbo's plain C path as well.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "thermjpeg.h"

#if THERMJPEG_BENCH_TURBOJPEG
#include <turbojpeg.h>
#endif

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kQuality = 80;

// A thermal-camera-like scene: a warm blob on a sloped background, an edge,
// and fine texture, in B, G, R.
const std::vector<uint8_t>& Picture()
{
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> p(static_cast<size_t>(kWidth) * kHeight * 3);
        uint32_t state = 12345;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                state = state * 1103515245u + 12345u;
                const int texture = static_cast<int>((state >> 16) & 15) - 8;
                const int dx = x - 400, dy = y - 200;
                const int heat = 255 - std::min(255, (dx * dx + dy * dy) / 150);
                int level = std::max(heat, (x + y) / 6) + texture;
                if (x > 100 && x < 140)
                    level = 240 + texture;
                level = std::clamp(level, 0, 255);
                uint8_t* q = &p[(static_cast<size_t>(y) * kWidth + x) * 3];
                q[0] = static_cast<uint8_t>(255 - level);          // blue
                q[1] = static_cast<uint8_t>(level > 128 ? (level - 128) * 2 : 0); // green
                q[2] = static_cast<uint8_t>(std::min(255, level * 2));           // red
            }
        }
        return p;
    }();
    return pixels;
}

void BM_ThermjpegEncode(benchmark::State& state, int sampling)
{
    setenv("USECPU", "0", 1);
    std::vector<uint8_t> out(static_cast<size_t>(kWidth) * kHeight * 3 + 65536);
    size_t size = 0;
    for (auto _ : state) {
        JPEG_PROPERTIES p{};
        JpegInit(&p);
        p.ImageBytes = const_cast<uint8_t*>(Picture().data());
        p.ImageWidth = p.JpegWidth = kWidth;
        p.ImageHeight = p.JpegHeight = kHeight;
        p.ImageChannels = 3;
        p.ImageColour = JPEG_COLOUR_BGR;
        p.JpegChannels = 3;
        p.JpegColour = JPEG_COLOUR_YCBCR;
        p.JpegSampling = sampling;
        p.Quality = kQuality;
        p.JpegBytes = out.data();
        p.JpegSize = static_cast<int32_t>(out.size());
        if (JpegWrite(&p, JPEG_MODE_WRITE_MEMORY) != 0)
            state.SkipWithError("JpegWrite failed");
        size = static_cast<size_t>(p.JpegSize);
        JpegFree(&p);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["Mpixel"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_ThermjpegEncode, 420, JPEG_SAMPLING_420)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ThermjpegEncode, 444, JPEG_SAMPLING_444)->Unit(benchmark::kMillisecond);

#if THERMJPEG_BENCH_TURBOJPEG
void BM_TurboJpegEncode(benchmark::State& state, int subsampling)
{
    tjhandle handle = tjInitCompress();
    std::vector<unsigned char> out(tjBufSize(kWidth, kHeight, subsampling));
    unsigned long size = 0;
    for (auto _ : state) {
        unsigned char* buffer = out.data();
        size = out.size();
        if (tjCompress2(handle, Picture().data(), kWidth, 0, kHeight, TJPF_BGR, &buffer, &size, subsampling, kQuality,
                        TJFLAG_NOREALLOC) != 0)
            state.SkipWithError(tjGetErrorStr2(handle));
        benchmark::DoNotOptimize(buffer);
    }
    tjDestroy(handle);
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["Mpixel"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_TurboJpegEncode, 420, TJSAMP_420)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TurboJpegEncode, 444, TJSAMP_444)->Unit(benchmark::kMillisecond);
#endif

} // namespace
