// Small helpers shared by the loader's tests: scratch folders, files, programs.
#ifndef USBLOADER_TESTS_TEST_SUPPORT_H
#define USBLOADER_TESTS_TEST_SUPPORT_H

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace usbloader::testing {

// A fresh folder, removed with everything in it at the end of the scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);

// Runs a shell command; its exit status (-1 when it did not end normally).
int runShell(const std::string& command);

// Sets an environment variable for the rest of the test process.
void setEnv(const char* name, const std::string& value);

// A started program; its standard output is a pipe when asked for.
// A started program. A child still running when this goes out of scope (a
// failed assertion returned early) is killed and reaped, so no stray process
// keeps the test's output pipe open.
struct Child {
    pid_t pid = -1;
    int output = -1;

    Child() = default;
    Child(Child&& other) noexcept : pid(std::exchange(other.pid, -1)), output(std::exchange(other.output, -1)) {}
    Child& operator=(Child&&) = delete;
    Child(const Child&) = delete;
    ~Child();
};

// Starts `program` with `args` (argv[1]...) and the current environment plus
// `env` ("NAME=value" entries replace those of the same name). Its standard
// error goes to `errorFile` when one is given.
Child spawnProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env, bool captureOutput,
                   const std::filesystem::path& errorFile = {});

// The exit code once the child ended within `timeout`; nothing if it did not
// end normally or in time (it is then killed).
std::optional<int> waitForExit(Child& child, std::chrono::milliseconds timeout);

// True when the child is still running after `duration`.
bool stillRunningAfter(const Child& child, std::chrono::milliseconds duration);

// Waits until the main thread of the running child waits in sigtimedwait (read
// from /proc). A program that waits there for its stop signals has blocked
// them, so one sent afterwards reaches the program rather than the default
// action.
bool waitUntilWaitingForSignals(const Child& child, std::chrono::milliseconds timeout);

// Reads one line from the child's output; nothing at end of output or timeout.
std::optional<std::string> readLine(Child& child, std::chrono::milliseconds timeout);

}  // namespace usbloader::testing

#endif
