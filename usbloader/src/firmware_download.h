// Downloading a firmware image into the EZ-USB controller's memory.
//
// The controller's 8051 is held in reset (1 to the CPU control register) before
// the first record and released (0) after the last. The first failed request
// ends the download; the processor then stays held, so it never runs a partly
// written program.
#ifndef USBLOADER_FIRMWARE_DOWNLOAD_H
#define USBLOADER_FIRMWARE_DOWNLOAD_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "hex_image.h"
#include "transport.h"

namespace usbloader {

// The controller's own request that writes its data stage into memory at `value`.
inline constexpr std::uint8_t kFirmwareLoadRequest = 0xA0;
// The CPU control register: 1 holds the 8051 in reset, 0 lets it run.
inline constexpr std::uint16_t kCpuControlRegister = 0xE600;
// Settling time before each write of the CPU control register.
inline constexpr std::chrono::milliseconds kCpuControlSettle{10};

using Pause = std::function<void(std::chrono::milliseconds)>;

// Sleeps for the given time.
void sleepPause(std::chrono::milliseconds duration);

// Tries the device numbers 0 to 31 in turn; the first that opens is closed again
// and its number returned. -1 when none opens.
int findEzusbDevice(Transport& transport);

enum class DownloadStatus {
    Loaded,         // every record written and the processor released
    HoldFailed,     // the processor could not be held; nothing written
    RecordFailed,   // a record was not accepted; the processor stays held
    ReleaseFailed,  // every record written, the release was not accepted
};

struct DownloadResult {
    DownloadStatus status = DownloadStatus::Loaded;
    std::size_t record = 0;     // with RecordFailed: index of the failed record
    std::uint16_t address = 0;  // with RecordFailed: its load address
};

// Writes the image into the open device: hold, every record in order, release.
DownloadResult downloadHexImage(Transport& transport, const HexImage& image,
                                const Pause& pause = sleepPause);

// One line of English for a log.
std::string describeDownload(const DownloadResult& result);

}  // namespace usbloader

#endif
