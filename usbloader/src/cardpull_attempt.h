// Cardpull's one download attempt, over any transport.
#ifndef USBLOADER_CARDPULL_ATTEMPT_H
#define USBLOADER_CARDPULL_ATTEMPT_H

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "firmware_download.h"
#include "transport.h"

namespace usbloader {

// The two messages the user sees (UTF-8).
struct CardpullMessage {
    const char* text;
    const char* caption;
};
extern const CardpullMessage kFirmwareMissingMessage;
extern const CardpullMessage kDeviceOpenMessage;

// How long Cardpull waits for a download of another loader to end.
inline constexpr std::chrono::milliseconds kCardpullLockWait{5000};

struct CardpullSetup {
    std::vector<std::filesystem::path> firmwareCandidates;  // tried in this order
    std::filesystem::path lockPath;
    std::chrono::milliseconds lockWait = kCardpullLockWait;
    // Shows a message to the user.
    std::function<void(const CardpullMessage&)> showMessage;
    // Reports what the user is not shown (a damaged file, a failed transfer).
    std::function<void(const std::string&)> log;
    Pause pause = sleepPause;
};

// Searches the device, reads the firmware file and downloads it:
//  - no device: nothing else happens, no message;
//  - no firmware file: the first message; the device is opened and closed again;
//  - the device does not open again: the second message;
//  - a damaged file or a failed transfer: a line in the log, nothing more is sent.
void runCardpullAttempt(Transport& transport, const CardpullSetup& setup);

// The message callback of the host program: the function
//     extern "C" void cardpull_message_hook(const char* text, const char* caption);
// when the program exports it, else standard error.
std::function<void(const CardpullMessage&)> hostMessageSink();

}  // namespace usbloader

#endif
