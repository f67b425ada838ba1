#include "camlink_server.h"

#include <signal.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "firmware_download.h"
#include "firmware_file.h"
#include "loader_lock.h"
#include "user_paths.h"

namespace usbloader {
namespace {

constexpr const char* kAppId = "{25CA62A0-AA2C-4297-AA85-7FFA19A22C9D}";
constexpr const char* kTypeLibId = "{A220C720-C376-49E1-826D-414D25FAD591}";
constexpr const char* kRecordName = "Camlink.appid";

bool equalsIgnoringCase(std::string_view a, const char* b) {
    return a.size() == std::char_traits<char>::length(b) && ::strncasecmp(a.data(), b, a.size()) == 0;
}

void report(const std::string& line) { std::fprintf(stderr, "camlink: %s\n", line.c_str()); }

// Waits until `deadline` or a blocked SIGINT/SIGTERM; true when one came.
bool waitForStop(const sigset_t& stopSignals, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
            deadline - std::chrono::steady_clock::now());
        const auto wait = std::max(left, std::chrono::nanoseconds::zero());
        timespec timeout{static_cast<time_t>(wait.count() / 1000000000),
                         static_cast<long>(wait.count() % 1000000000)};
        const int signal = ::sigtimedwait(&stopSignals, nullptr, &timeout);
        if (signal >= 0) return true;
        if (errno == EAGAIN) return false;
        // EINTR: another signal; wait on until the deadline.
    }
}

int runServer(const CamlinkSetup& setup, const sigset_t& stopSignals) {
    const std::unique_ptr<Transport> transport = setup.makeTransport();
    const std::filesystem::path lockPath = defaultLockPath();
    CamlinkAttempt last;
    auto next = std::chrono::steady_clock::now() + kCamlinkPeriod;
    while (!waitForStop(stopSignals, next)) {
        CamlinkAttempt attempt = attemptCamlinkDownload(*transport, setup.firmware, lockPath);
        // Problems are logged once, not every second while they last.
        const bool problem = attempt.outcome == CamlinkOutcome::BadFile ||
                             attempt.outcome == CamlinkOutcome::DownloadFailed;
        if (problem && (attempt.outcome != last.outcome || attempt.detail != last.detail)) {
            report(attempt.detail);
        }
        last = std::move(attempt);
        // Attempts never pile up: a late one moves the next a whole period on.
        next += kCamlinkPeriod;
        const auto now = std::chrono::steady_clock::now();
        if (next < now) next = now + kCamlinkPeriod;
    }
    return 0;
}

}  // namespace

ServerSwitch findServerSwitch(std::string_view commandLine) {
    for (auto pos = commandLine.find_first_of("-/"); pos != std::string_view::npos;
         pos = commandLine.find_first_of("-/", pos + 1)) {
        const std::string_view rest = commandLine.substr(pos + 1);
        if (equalsIgnoringCase(rest, "UnregServer")) return ServerSwitch::Unregister;
        if (equalsIgnoringCase(rest, "RegServer")) return ServerSwitch::Register;
    }
    return ServerSwitch::None;
}

std::string joinCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) line += ' ';
        line += argv[i];
    }
    return line;
}

std::optional<std::filesystem::path> registrationRecordPath() {
    if (auto folder = userDataFolder()) return *folder / kRecordName;
    return std::nullopt;
}

int registerServer(const std::filesystem::path& program) {
    const auto path = registrationRecordPath();
    if (!path) {
        report("cannot register: neither XDG_DATA_HOME nor HOME is set");
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(path->parent_path(), error);
    const std::filesystem::path temporary = path->string() + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << "[Camlink]\n"
            << "AppID=" << kAppId << "\n"
            << "Name=Camlink\n"
            << "Program=" << program.string() << "\n"
            << "TypeLib=" << kTypeLibId << "\n"
            << "TypeLibVersion=1.0\n"
            << "TypeLibHelp=Camlink 1.0 Type Library\n";
        out.close();
        if (!out) {
            report("cannot write " + temporary.string());
            std::filesystem::remove(temporary, error);
            return 1;
        }
    }
    std::filesystem::rename(temporary, *path, error);
    if (error) {
        report("cannot write " + path->string() + ": " + error.message());
        std::filesystem::remove(temporary, error);
        return 1;
    }
    return 0;
}

int unregisterServer() {
    const auto path = registrationRecordPath();
    if (!path) return 0;  // nowhere to be registered
    std::error_code error;
    std::filesystem::remove(*path, error);
    if (error) {
        report("cannot remove " + path->string() + ": " + error.message());
        return 1;
    }
    return 0;
}

CamlinkAttempt attemptCamlinkDownload(Transport& transport, const std::filesystem::path& firmware,
                                      const std::filesystem::path& lockPath) {
    const auto lock = LoaderLock::acquire(lockPath, std::chrono::milliseconds::zero());
    if (!lock) return {CamlinkOutcome::Busy, {}};

    const int device = findEzusbDevice(transport);
    if (device < 0) return {CamlinkOutcome::NoDevice, {}};

    const FirmwareFile file = loadFirmwareFile(std::span(&firmware, 1));
    if (file.status == FirmwareFileStatus::Missing) return {CamlinkOutcome::NoFile, {}};
    if (file.status == FirmwareFileStatus::Invalid) {
        return {CamlinkOutcome::BadFile, file.path.string() + ": " + file.problem + "; nothing was sent"};
    }

    DeviceCloser closer(transport);
    if (!transport.open(device)) return {CamlinkOutcome::OpenFailed, {}};
    const DownloadResult result = downloadHexImage(transport, file.image);
    if (result.status != DownloadStatus::Loaded) {
        return {CamlinkOutcome::DownloadFailed,
                "device " + std::to_string(device) + ": " + describeDownload(result)};
    }
    return {CamlinkOutcome::Loaded, {}};
}

int camlinkMain(int argc, const char* const* argv, const CamlinkSetup& setup) {
    sigset_t stopSignals;
    ::sigemptyset(&stopSignals);
    ::sigaddset(&stopSignals, SIGINT);
    ::sigaddset(&stopSignals, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &stopSignals, nullptr);

    switch (findServerSwitch(joinCommandLine(argc, argv))) {
        case ServerSwitch::Register:
            return registerServer(setup.program);
        case ServerSwitch::Unregister:
            return unregisterServer();
        case ServerSwitch::None:
            break;
    }
    return runServer(setup, stopSignals);
}

std::filesystem::path runningProgramPath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

}  // namespace usbloader
