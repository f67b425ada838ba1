// Camlink, the background loader: every second it tries to download the firmware
// file beside the program into a card reader, until SIGTERM or SIGINT.
//
// Command line: the whole line (program path and arguments joined by spaces) is
// scanned from each "-" or "/"; when the whole rest of the line after one equals
// "RegServer" or "UnregServer" (any case), the program writes or removes its
// registration record and exits instead of running.
#ifndef USBLOADER_CAMLINK_SERVER_H
#define USBLOADER_CAMLINK_SERVER_H

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "transport.h"

namespace usbloader {

enum class ServerSwitch { None, Register, Unregister };

ServerSwitch findServerSwitch(std::string_view commandLine);

// argv joined by single spaces.
std::string joinCommandLine(int argc, const char* const* argv);

// The record that stands in for the server's AppID entry:
// $XDG_DATA_HOME/kestrelworksA/Camlink.appid.
std::optional<std::filesystem::path> registrationRecordPath();

// Write and remove the record; 0 on success, 1 with a message on standard error.
int registerServer(const std::filesystem::path& program);
int unregisterServer();

inline constexpr std::chrono::milliseconds kCamlinkPeriod{1000};

enum class CamlinkOutcome { Busy, NoDevice, NoFile, BadFile, OpenFailed, DownloadFailed, Loaded };

struct CamlinkAttempt {
    CamlinkOutcome outcome = CamlinkOutcome::NoDevice;
    std::string detail;  // with BadFile and DownloadFailed: what went wrong, in English
};

// One attempt: search, read the file, open the device again, download. A
// missing file or a device that does not open again ends it quietly.
CamlinkAttempt attemptCamlinkDownload(Transport& transport, const std::filesystem::path& firmware,
                                      const std::filesystem::path& lockPath);

struct CamlinkSetup {
    std::function<std::unique_ptr<Transport>()> makeTransport;
    std::filesystem::path firmware;  // the file beside the program
    std::filesystem::path program;   // this program's path, for the registration record
};

// The program: a switch, or the server loop. Blocks SIGINT and SIGTERM first, so
// call it before any thread is started.
int camlinkMain(int argc, const char* const* argv, const CamlinkSetup& setup);

// The running program's own file.
std::filesystem::path runningProgramPath();

}  // namespace usbloader

#endif
