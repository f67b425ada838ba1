// Encoding and decoding 640x480 and 4000x3000 B, G, R pictures at quality
// 80, 4:2:0 and 4:4:4, accurate transforms, with the generic kernels
// (USECPU=0) and with this processor's own set ("cpu": USECPU unset), beside
// TurboJPEG's tjCompress2 and tjDecompress2 (TJFLAG_FASTUPSAMPLE, block
// replication as our default) on the same pictures and files in the same
// run; progressive encoding at 4:2:0 with both sets. Run once more with
// JSIMD_FORCENONE=1 in the environment to time libjpeg-turbo's plain C path.
//
// The decoder's kernels: Huffman decoding of the picture's baseline scan
// (MB/s of entropy-coded data) and the 8x8 inverse transforms (time per
// block), generic and processor forms; repeated region reads of the lower
// half, which skip the rows above through the restart index after the
// first read.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <memory>
#include <random>
#include <vector>

#include "default_tables.h"
#include "dequantize.h"
#include "huffman_decoder.h"
#include "inverse_dct.h"
#include "simd_transforms.h"
#include "thermjpeg.h"
#include "zigzag.h"

#if THERMJPEG_BENCH_TURBOJPEG
#include <turbojpeg.h>
#endif

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kQuality = 80;

// The kernel set of the next JpegInit: "generic" forces the plain kernels,
// "cpu" lets the codec pick this processor's set.
void SelectSet(const char* set)
{
    if (std::strcmp(set, "generic") == 0)
        setenv("USECPU", "0", 1);
    else
        unsetenv("USECPU");
}


// A thermal-camera-like scene: a warm blob on a sloped background, an edge,
// and fine texture, in B, G, R (the 640x480 scene scaled to the size).
std::vector<uint8_t> Scene(int width, int height)
{
    std::vector<uint8_t> p(static_cast<size_t>(width) * height * 3);
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const int texture = static_cast<int>((state >> 16) & 15) - 8;
            const int sx = static_cast<int>(int64_t{x} * kWidth / width);
            const int sy = static_cast<int>(int64_t{y} * kHeight / height);
            const int dx = sx - 400, dy = sy - 200;
            const int heat = 255 - std::min(255, (dx * dx + dy * dy) / 150);
            int level = std::max(heat, (sx + sy) / 6) + texture;
            if (sx > 100 && sx < 140)
                level = 240 + texture;
            level = std::clamp(level, 0, 255);
            uint8_t* q = &p[(static_cast<size_t>(y) * width + x) * 3];
            q[0] = static_cast<uint8_t>(255 - level);                          // blue
            q[1] = static_cast<uint8_t>(level > 128 ? (level - 128) * 2 : 0); // green
            q[2] = static_cast<uint8_t>(std::min(255, level * 2));           // red
        }
    }
    return p;
}

// A scene of each size, made once.
const std::vector<uint8_t>& SceneOfSize(int width, int height)
{
    static std::vector<std::pair<std::pair<int, int>, std::vector<uint8_t>>> scenes;
    for (const auto& s : scenes) {
        if (s.first == std::make_pair(width, height))
            return s.second;
    }
    scenes.emplace_back(std::make_pair(width, height), Scene(width, height));
    return scenes.back().second;
}

const std::vector<uint8_t>& Picture() { return SceneOfSize(kWidth, kHeight); }

// One encode of a width x height scene into `out`; returns the stream's
// size, or 0.
size_t EncodeScene(std::vector<uint8_t>& out, const std::vector<uint8_t>& scene, int width, int height, int sampling,
                   int progressive)
{
    JPEG_PROPERTIES p{};
    JpegInit(&p);
    p.ImageBytes = const_cast<uint8_t*>(scene.data());
    p.ImageWidth = p.JpegWidth = width;
    p.ImageHeight = p.JpegHeight = height;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_BGR;
    p.JpegChannels = 3;
    p.JpegColour = JPEG_COLOUR_YCBCR;
    p.JpegSampling = sampling;
    p.Quality = kQuality;
    p.Progressive = progressive;
    p.JpegBytes = out.data();
    p.JpegSize = static_cast<int32_t>(out.size());
    const int rc = JpegWrite(&p, JPEG_MODE_WRITE_MEMORY);
    const size_t size = rc == 0 ? static_cast<size_t>(p.JpegSize) : 0;
    JpegFree(&p);
    return size;
}

size_t EncodePicture(std::vector<uint8_t>& out, int sampling, int progressive)
{
    return EncodeScene(out, Picture(), kWidth, kHeight, sampling, progressive);
}

// The decoding benchmarks' files: quality 80, made by the generic set.
struct DecodeFile {
    int width, height, sampling;
    std::vector<uint8_t> jpeg;
};

const DecodeFile& FileOfSize(int width, int height, int sampling = JPEG_SAMPLING_420)
{
    static std::vector<std::unique_ptr<DecodeFile>> files;
    for (const auto& f : files) {
        if (f->width == width && f->height == height && f->sampling == sampling)
            return *f;
    }
    auto f = std::make_unique<DecodeFile>(DecodeFile{width, height, sampling, {}});
    f->jpeg.resize(static_cast<size_t>(width) * height * 3 + 65536);
    setenv("USECPU", "0", 1);
    f->jpeg.resize(EncodeScene(f->jpeg, SceneOfSize(width, height), width, height, sampling, 0));
    files.push_back(std::move(f));
    return *files.back();
}

void BM_ThermjpegEncodeProgressive(benchmark::State& state, const char* set)
{
    SelectSet(set);
    std::vector<uint8_t> out(static_cast<size_t>(kWidth) * kHeight * 3 + 65536);
    size_t size = 0;
    for (auto _ : state) {
        size = EncodePicture(out, JPEG_SAMPLING_420, 1);
        if (size == 0)
            state.SkipWithError("JpegWrite failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["Mpixel"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_ThermjpegEncodeProgressive, 420/generic, "generic")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ThermjpegEncodeProgressive, 420/cpu, "cpu")->Unit(benchmark::kMillisecond);

// Huffman decoding of the baseline 4:2:0 scan of the picture with the
// standard tables: every block of every MCU through decodeBlock.
void BM_HuffmanDecodeBaselineScan(benchmark::State& state)
{
    setenv("USECPU", "0", 1);
    std::vector<uint8_t> out(static_cast<size_t>(kWidth) * kHeight * 3 + 65536);
    const size_t size = EncodePicture(out, JPEG_SAMPLING_420, 0);
    // The scan data: from after the SOS segment to the EOI marker.
    size_t start = 0;
    for (size_t i = 2; i + 3 < size;) {
        const size_t length = static_cast<size_t>(out[i + 2] << 8 | out[i + 3]);
        if (out[i + 1] == 0xDA) {
            start = i + 2 + length;
            break;
        }
        i += 2 + length;
    }
    if (size == 0 || start == 0) {
        state.SkipWithError("no scan");
        return;
    }
    const size_t scanBytes = size - 2 - start;
    using namespace thermjpeg;
    HuffmanDecoder dc[2], ac[2];
    JpegBuildHuffmanDecoder(kDcLuminanceBits, kDcLuminanceValues, 0, 0, dc[0]);
    JpegBuildHuffmanDecoder(kAcLuminanceBits, kAcLuminanceValues, 1, 0, ac[0]);
    JpegBuildHuffmanDecoder(kDcChrominanceBits, kDcChrominanceValues, 0, 1, dc[1]);
    JpegBuildHuffmanDecoder(kAcChrominanceBits, kAcChrominanceValues, 1, 1, ac[1]);
    const int mcus = ((kWidth + 15) / 16) * ((kHeight + 15) / 16);
    alignas(32) int16_t blocks[6 * 64];
    for (auto _ : state) {
        BitReader reader;
        JpegBitReaderInit(reader, out.data() + start, scanBytes + 2); // with the EOI
        int32_t predictors[3] = {};
        for (int m = 0; m < mcus; ++m) {
            for (int b = 0; b < 6; ++b) {
                const int c = b < 4 ? 0 : b - 3;
                const int t = c == 0 ? 0 : 1;
                JpegDecodeBlock(reader, dc[t], ac[t], &predictors[c], blocks + b * 64);
            }
            benchmark::DoNotOptimize(blocks);
        }
        // Every block decoded: what is left before EOI is padding.
        JpegFillBits(reader, 0);
        if (reader.marker != 0xD9 || reader.bitCount >= 8)
            state.SkipWithError("scan not decoded to its end");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(scanBytes));
}
BENCHMARK(BM_HuffmanDecodeBaselineScan)->Unit(benchmark::kMillisecond);

// 8x8 inverse transforms over 256 dequantised blocks of typical content.
void BM_InverseDct(benchmark::State& state, void (*transform)(int16_t*), bool fast)
{
    using namespace thermjpeg;
    constexpr int kBlocks = 256;
    std::mt19937 random(3);
    uint16_t q[64];
    for (int k = 0; k < 64; ++k)
        q[k] = static_cast<uint16_t>(std::clamp(2 + k / 2, 1, 255));
    int32_t table[kDequantTableSize];
    (fast ? JpegPrepareDequantFast : JpegPrepareDequantAccurate)(q, table);
    std::vector<int16_t> source(kBlocks * 64, 0);
    for (int b = 0; b < kBlocks; ++b) {
        int16_t* block = &source[static_cast<size_t>(b) * 64];
        block[0] = static_cast<int16_t>(static_cast<int>(random() % 256) - 128);
        for (int k = 1; k < 64; ++k) {
            if (random() % static_cast<unsigned>(2 + k / 4) == 0)
                block[kZigzag[k]] = static_cast<int16_t>(static_cast<int>(random() % 21) - 10);
        }
        (fast ? JpegDequantizeFast : JpegDequantize)(block, table);
    }
    std::vector<int16_t> work(source.size());
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), source.data(), source.size() * sizeof(int16_t));
        state.ResumeTiming();
        for (int b = 0; b < kBlocks; ++b)
            transform(&work[static_cast<size_t>(b) * 64]);
        benchmark::DoNotOptimize(work.data());
    }
    state.counters["per_block"] =
        benchmark::Counter(kBlocks, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(BM_InverseDct, accurate, thermjpeg::JpegIdctAccurate, false);
BENCHMARK_CAPTURE(BM_InverseDct, accurate_sse2, thermjpeg::JpegSse2IdctAccurate, false);
BENCHMARK_CAPTURE(BM_InverseDct, fast, thermjpeg::JpegIdctFast, true);

// Encoding a width x height scene (state ranges 0 and 1) into memory.
void BM_ThermjpegEncode(benchmark::State& state, int sampling, const char* set)
{
    SelectSet(set);
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const std::vector<uint8_t>& scene = SceneOfSize(width, height);
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 3 + 65536);
    size_t size = 0;
    for (auto _ : state) {
        size = EncodeScene(out, scene, width, height, sampling, 0);
        if (size == 0)
            state.SkipWithError("JpegWrite failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["Mpixel"] = benchmark::Counter(double(width) * height * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_ThermjpegEncode, 420/generic, JPEG_SAMPLING_420, "generic")->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ThermjpegEncode, 420/cpu, JPEG_SAMPLING_420, "cpu")->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ThermjpegEncode, 444/generic, JPEG_SAMPLING_444, "generic")->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ThermjpegEncode, 444/cpu, JPEG_SAMPLING_444, "cpu")->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);

#if THERMJPEG_BENCH_TURBOJPEG
void BM_TurboJpegEncode(benchmark::State& state, int subsampling)
{
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const std::vector<uint8_t>& scene = SceneOfSize(width, height);
    tjhandle handle = tjInitCompress();
    std::vector<unsigned char> out(tjBufSize(width, height, subsampling));
    unsigned long size = 0;
    for (auto _ : state) {
        unsigned char* buffer = out.data();
        size = out.size();
        if (tjCompress2(handle, scene.data(), width, 0, height, TJPF_BGR, &buffer, &size, subsampling, kQuality,
                        TJFLAG_NOREALLOC) != 0)
            state.SkipWithError(tjGetErrorStr2(handle));
        benchmark::DoNotOptimize(buffer);
    }
    tjDestroy(handle);
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["Mpixel"] = benchmark::Counter(double(width) * height * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_TurboJpegEncode, 420, TJSAMP_420)->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TurboJpegEncode, 444, TJSAMP_444)->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);

void BM_TurboJpegEncodeProgressive(benchmark::State& state)
{
    tjhandle handle = tjInitCompress();
    std::vector<unsigned char> out(tjBufSize(kWidth, kHeight, TJSAMP_420));
    unsigned long size = 0;
    for (auto _ : state) {
        unsigned char* buffer = out.data();
        size = out.size();
        if (tjCompress2(handle, Picture().data(), kWidth, 0, kHeight, TJPF_BGR, &buffer, &size, TJSAMP_420, kQuality,
                        TJFLAG_NOREALLOC | TJFLAG_PROGRESSIVE) != 0)
            state.SkipWithError(tjGetErrorStr2(handle));
        benchmark::DoNotOptimize(buffer);
    }
    tjDestroy(handle);
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["Mpixel"] = benchmark::Counter(double(kWidth) * kHeight * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TurboJpegEncodeProgressive)->Name("BM_TurboJpegEncodeProgressive/420")->Unit(benchmark::kMillisecond);
#endif

} // namespace

// Decoding a whole file into B, G, R pixels.
void BM_ThermjpegDecode(benchmark::State& state, int sampling, const char* set)
{
    const DecodeFile& file = FileOfSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), sampling);
    SelectSet(set);
    std::vector<uint8_t> jpeg = file.jpeg;
    std::vector<uint8_t> pixels(static_cast<size_t>(file.width) * file.height * 3);
    JPEG_PROPERTIES p{};
    JpegInit(&p);
    p.ImageBytes = pixels.data();
    p.ImageWidth = file.width;
    p.ImageHeight = file.height;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_BGR;
    p.JpegBytes = jpeg.data();
    p.JpegSize = static_cast<int32_t>(jpeg.size());
    for (auto _ : state) {
        if (JpegRead(&p, JPEG_MODE_READ_MEMORY) != 0)
            state.SkipWithError("JpegRead failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    JpegFree(&p);
    state.counters["Mpixel"] = benchmark::Counter(double(file.width) * file.height * 1e-6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_ThermjpegDecode, 420/generic, JPEG_SAMPLING_420, "generic")->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ThermjpegDecode, 420/cpu, JPEG_SAMPLING_420, "cpu")->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ThermjpegDecode, 444/generic, JPEG_SAMPLING_444, "generic")->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ThermjpegDecode, 444/cpu, JPEG_SAMPLING_444, "cpu")->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);

// Repeated region reads of the lower half on one record: after the first,
// the rows above come from the restart index.
void BM_ThermjpegDecodeLowerHalf(benchmark::State& state)
{
    setenv("USECPU", "0", 1);
    const DecodeFile& file = FileOfSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<uint8_t> jpeg = file.jpeg;
    const int half = file.height / 2;
    std::vector<uint8_t> pixels(static_cast<size_t>(file.width) * (file.height - half) * 3);
    JPEG_PROPERTIES p{};
    JpegInit(&p);
    p.ImageBytes = pixels.data();
    p.ImageWidth = file.width;
    p.ImageHeight = file.height - half;
    p.ImageChannels = 3;
    p.ImageColour = JPEG_COLOUR_BGR;
    p.JpegBytes = jpeg.data();
    p.JpegSize = static_cast<int32_t>(jpeg.size());
    p.OutputRegion = {0, half, file.width, file.height};
    for (auto _ : state) {
        if (JpegRead(&p, JPEG_MODE_READ_MEMORY) != JPEG_ROI_SUCCESS)
            state.SkipWithError("JpegRead failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    JpegFree(&p);
}
BENCHMARK(BM_ThermjpegDecodeLowerHalf)->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);

#if THERMJPEG_BENCH_TURBOJPEG
void BM_TurboJpegDecode(benchmark::State& state, int sampling)
{
    const DecodeFile& file = FileOfSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), sampling);
    std::vector<uint8_t> pixels(static_cast<size_t>(file.width) * file.height * 3);
    tjhandle handle = tjInitDecompress();
    for (auto _ : state) {
        if (tjDecompress2(handle, file.jpeg.data(), static_cast<unsigned long>(file.jpeg.size()), pixels.data(),
                          file.width, 0, file.height, TJPF_BGR, TJFLAG_FASTUPSAMPLE) != 0)
            state.SkipWithError(tjGetErrorStr2(handle));
        benchmark::DoNotOptimize(pixels.data());
    }
    tjDestroy(handle);
    state.counters["Mpixel"] = benchmark::Counter(double(file.width) * file.height * 1e-6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_TurboJpegDecode, 420, JPEG_SAMPLING_420)->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TurboJpegDecode, 444, JPEG_SAMPLING_444)->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
#endif
