// Time from starting a program's process to its first shown main window,
// beside a plain Qt Widgets window (STARTUP_REFERENCE) started the same way
// in the same run; the aim is at most 1.3 times the plain window (counter
// ratio_to_plain). The program (STARTUP_PROGRAM) prints the wall clock once
// the shown frame has been through its event loop (the variable
// STARTUP_PROBE is set); the time counted runs from just before the process
// is spawned to that moment. The programs run on the offscreen platform with
// their program, config, cache and temporary folders in a scratch directory
// that the first (uncounted) run seeds and the benchmark removes at exit.
#include <benchmark/benchmark.h>

#include "scratch_folder.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

long long nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// The programs' home, XDG and temporary folders: the working folder under
// TMPDIR, removed with what the programs left in it when the benchmark exits.
std::string scratch()
{
    return bench::ScratchFolder("startup-bench").string();
}

// Runs the program once; the nanoseconds from spawn to shown, or -1.
long long runOnce(const char* path = STARTUP_PROGRAM)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", STARTUP_PROBE "=1",
                                    "XDG_DATA_HOME=" + scratch() + "/data", "XDG_CONFIG_HOME=" + scratch() + "/config",
                                    "XDG_CACHE_HOME=" + scratch() + "/cache", "XDG_RUNTIME_DIR=" + scratch(),
                                    "HOME=" + scratch(), "TMPDIR=" + scratch(), "STARTUP_PROBE_VARIABLE=" STARTUP_PROBE};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "PATH=", 5) == 0 || std::strncmp(*e, "LANG=", 5) == 0)
            env.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (std::string& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string program = path;
    char* argv[] = {program.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const long long start = nowNs();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return -1;
    }
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        out.append(buf, std::size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    const std::size_t at = out.find("shown ");
    if (at == std::string::npos)
        return -1;
    return std::atoll(out.c_str() + at + 6) - start;
}

void BM_StartupToShownWindow(benchmark::State& state)
{
    static const bool seeded = runOnce() >= 0 && runOnce(STARTUP_REFERENCE) >= 0; // seeds the folders
    if (!seeded) {
        state.SkipWithError("the program did not report its shown window");
        return;
    }
    // The plain window runs between the program's runs, so that both meet
    // the same load of the machine.
    double programNs = 0;
    double plainNs = 0;
    for (auto _ : state) {
        const long long ns = runOnce();
        const long long plain = runOnce(STARTUP_REFERENCE);
        if (ns < 0 || plain < 0) {
            state.SkipWithError("the program did not report its shown window");
            return;
        }
        programNs += double(ns);
        plainNs += double(plain);
        state.SetIterationTime(double(ns) * 1e-9);
    }
    state.counters["plain_ms"] = plainNs * 1e-6 / double(state.iterations());
    state.counters["ratio_to_plain"] = programNs / plainNs;
}
BENCHMARK(BM_StartupToShownWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);

} // namespace
