// thermjpeg-tool as a whole process beside the system's cjpeg and djpeg on a
// generated 4000 x 3000 photo: each iteration runs the reference tool, then
// ours, on the same files, and reports our wall time (manual time) with the
// ratios of wall time and of peak resident memory (wait4's rusage, taken by
// the small run_measured starter).
//
//   build/release/bench/thermjpeg/bench_thermjpeg_tool --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// THERMJPEG_TOOL in the environment names another build of the tool to time.
#include <benchmark/benchmark.h>

#include "scratch_folder.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// The working folder (removed at exit): the photo, its JPEG files, the
// outputs and run_measured's result.
const std::filesystem::path& WorkingFolder()
{
    return bench::ScratchFolder("thermjpeg-tool-bench");
}

struct Run {
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
};

// Runs a program to its end through run_measured (wall time, the program's
// own peak resident set from wait4, exit status), its output thrown away.
Run RunProcess(const std::vector<std::string>& arguments)
{
    static const std::string result = (WorkingFolder() / "run-result").string();
    std::vector<std::string> all = {RUN_MEASURED, result};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (const std::string& a : all)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Run run;
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 || waitpid(pid, &status, 0) != pid ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return run;
    std::FILE* f = std::fopen(result.c_str(), "r");
    if (f == nullptr)
        return run;
    long peakKiB = 0;
    int exitCode = -1;
    const bool read = std::fscanf(f, "%lf %ld %d", &run.seconds, &peakKiB, &exitCode) == 3;
    std::fclose(f);
    std::remove(result.c_str());
    run.peakMiB = static_cast<double>(peakKiB) / 1024.0;
    run.ok = read && exitCode == 0;
    return run;
}

// A photo-like picture: sky and ground gradients, a bright disc, hard edges
// of buildings and fine grain, written once as a binary PPM.
void WritePhoto(const std::filesystem::path& path)
{
    std::vector<uint8_t> row(static_cast<size_t>(kWidth) * 3);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return;
    std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
    uint32_t noise = 2463534242u;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int grain = static_cast<int>(noise & 15) - 8;
            const int skyline = 1700 - ((x / 230) % 5) * 160 - ((x / 97) % 3) * 40;
            int r, g, b;
            if (y < skyline) {
                r = 90 + y * 80 / kHeight;
                g = 140 + y * 60 / kHeight;
                b = 230 - y * 40 / kHeight;
                const int dx = x - 3000, dy = y - 500;
                if (dx * dx + dy * dy < 250 * 250)
                    r = g = b = 250;
            } else {
                const int window = ((x / 40) % 3 == 0 && (y / 60) % 2 == 0) ? 70 : 0;
                r = 110 + window + (x * 37 / kWidth);
                g = 95 + window + ((y - skyline) % 255) / 6;
                b = 80 + window / 2;
            }
            uint8_t* p = &row[static_cast<size_t>(x) * 3];
            p[0] = static_cast<uint8_t>(std::clamp(r + grain, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp(g + grain, 0, 255));
            p[2] = static_cast<uint8_t>(std::clamp(b + grain, 0, 255));
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    std::fclose(f);
}

// The working folder: the photo, its baseline and progressive JPEG (made by
// cjpeg at its defaults), and the outputs.
struct Files {
    std::filesystem::path dir, ppm, baseline, progressive;
    bool ok = false;
};

const Files& TheFiles()
{
    static const Files files = [] {
        Files f;
        f.dir = WorkingFolder();
        f.ppm = f.dir / "photo.ppm";
        f.baseline = f.dir / "photo.jpg";
        f.progressive = f.dir / "photo-progressive.jpg";
        WritePhoto(f.ppm);
        f.ok = RunProcess({CJPEG, "-outfile", f.baseline.string(), f.ppm.string()}).ok &&
               RunProcess({CJPEG, "-progressive", "-outfile", f.progressive.string(), f.ppm.string()}).ok;
        return f;
    }();
    return files;
}

std::string Tool()
{
    const char* other = std::getenv("THERMJPEG_TOOL");
    return other != nullptr && *other != 0 ? other : THERMJPEG_TOOL;
}

// One command of ours beside the reference's on the same input.
void Paired(benchmark::State& state, const std::vector<std::string>& ours, const std::vector<std::string>& reference)
{
    if (!TheFiles().ok) {
        state.SkipWithError("cannot make the photo or its JPEG files (cjpeg missing?)");
        return;
    }
    double ourTime = 0, referenceTime = 0, ourPeak = 0, referencePeak = 0;
    for (auto _ : state) {
        const Run theirs = RunProcess(reference);
        const Run mine = RunProcess(ours);
        if (!theirs.ok || !mine.ok) {
            state.SkipWithError(!mine.ok ? "thermjpeg-tool failed" : "the reference tool failed");
            return;
        }
        state.SetIterationTime(mine.seconds);
        ourTime += mine.seconds;
        referenceTime += theirs.seconds;
        ourPeak = std::max(ourPeak, mine.peakMiB);
        referencePeak = std::max(referencePeak, theirs.peakMiB);
    }
    state.counters["ref_ms"] = benchmark::Counter(referenceTime * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["time_ratio"] = ourTime / referenceTime;
    state.counters["rss_MiB"] = ourPeak;
    state.counters["ref_rss_MiB"] = referencePeak;
    state.counters["rss_ratio"] = ourPeak / referencePeak;
}

void BM_ToolEncodeBeside_cjpeg(benchmark::State& state, bool progressive)
{
    const Files& f = TheFiles();
    const std::string out = (f.dir / "encoded.jpg").string(), ppm = f.ppm.string();
    std::vector<std::string> ours = {Tool(), "encode", ppm, out};
    std::vector<std::string> reference = {CJPEG, "-outfile", out, ppm};
    if (progressive) {
        ours.push_back("-progressive");
        reference.insert(reference.begin() + 1, "-progressive");
    }
    Paired(state, ours, reference);
}
BENCHMARK_CAPTURE(BM_ToolEncodeBeside_cjpeg, baseline, false)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ToolEncodeBeside_cjpeg, progressive, true)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ToolDecodeBeside_djpeg(benchmark::State& state, bool progressive)
{
    const Files& f = TheFiles();
    const std::string out = (f.dir / "decoded.ppm").string();
    const std::string in = (progressive ? f.progressive : f.baseline).string();
    Paired(state, {Tool(), "decode", in, out}, {DJPEG, "-outfile", out, in});
}
BENCHMARK_CAPTURE(BM_ToolDecodeBeside_djpeg, baseline, false)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ToolDecodeBeside_djpeg, progressive, true)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
