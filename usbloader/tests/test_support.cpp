#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace usbloader::testing {
TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "usbloader-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int runShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void setEnv(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }

Child spawnProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env, bool captureOutput,
                   const std::filesystem::path& errorFile) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envp;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string item = *entry;
        const std::string name = item.substr(0, item.find('=') + 1);
        bool replaced = false;
        for (const auto& extra : env) replaced = replaced || extra.rfind(name, 0) == 0;
        if (!replaced) envp.push_back(item);
    }
    envp.insert(envp.end(), env.begin(), env.end());

    std::vector<char*> argvPointers;
    for (auto& arg : argv) argvPointers.push_back(arg.data());
    argvPointers.push_back(nullptr);
    std::vector<char*> envPointers;
    for (auto& item : envp) envPointers.push_back(item.data());
    envPointers.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    if (captureOutput && ::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    Child child;
    child.pid = ::fork();
    if (child.pid < 0) throw std::runtime_error("fork failed");
    if (child.pid == 0) {
        if (captureOutput) {
            ::dup2(pipeFds[1], STDOUT_FILENO);
            ::close(pipeFds[0]);
            ::close(pipeFds[1]);
        }
        if (!errorFile.empty()) {
            const int fd = ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd >= 0) ::dup2(fd, STDERR_FILENO);
        }
        // The test runner may have blocked signals; the program starts with none blocked.
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(program.c_str(), argvPointers.data(), envPointers.data());
        ::_exit(127);
    }
    if (captureOutput) {
        ::close(pipeFds[1]);
        child.output = pipeFds[0];
    }
    return child;
}

Child::~Child() {
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    if (output >= 0) ::close(output);
}

std::optional<int> waitForExit(Child& child, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child.pid, &status, WNOHANG);
        if (done == child.pid) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(child.pid, SIGKILL);
            ::waitpid(child.pid, &status, 0);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (child.output >= 0) ::close(child.output);
    child.output = -1;
    child.pid = -1;
    if (status == -1 || !WIFEXITED(status)) return std::nullopt;
    return WEXITSTATUS(status);
}

bool stillRunningAfter(const Child& child, std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
    siginfo_t info{};
    // WNOWAIT leaves an ended child for waitForExit.
    return ::waitid(P_PID, static_cast<id_t>(child.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

namespace {

// Whether the main thread of `pid` sits in sigtimedwait. Its signal masks are
// no sign of readiness: between fork and exec the child is still a copy of the
// test program, and under ThreadSanitizer that copy blocks every signal (in the
// thread its runtime starts after fork, and for a moment in the main thread),
// while the program then run starts with none blocked.
bool waitsInSigtimedwait(pid_t pid) {
    std::string syscall;
    return std::ifstream("/proc/" + std::to_string(pid) + "/syscall") >> syscall &&
           syscall == std::to_string(SYS_rt_sigtimedwait);
}

}  // namespace

bool waitUntilWaitingForSignals(const Child& child, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitsInSigtimedwait(child.pid)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::optional<std::string> readLine(Child& child, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string line;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd fd{child.output, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
        char c = 0;
        // One byte at a time: the trace is short, and no byte is read past the line.
        if (::read(child.output, &c, 1) != 1) return std::nullopt;
        if (c == '\n') return line;
        line += c;
    }
}

}  // namespace usbloader::testing
