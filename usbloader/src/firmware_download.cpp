#include "firmware_download.h"

#include <array>
#include <cstdio>
#include <thread>

namespace usbloader {
namespace {

bool writeCpuControl(Transport& transport, std::uint8_t value, const Pause& pause) {
    pause(kCpuControlSettle);
    const std::array<std::uint8_t, 1> data{value};
    return transport.controlOut(kFirmwareLoadRequest, kCpuControlRegister, 0, data);
}

}  // namespace

void sleepPause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

int findEzusbDevice(Transport& transport) {
    for (int number = 0; number < kDeviceNumbers; ++number) {
        if (transport.open(number)) {
            transport.close();
            return number;
        }
    }
    return -1;
}

DownloadResult downloadHexImage(Transport& transport, const HexImage& image, const Pause& pause) {
    if (!writeCpuControl(transport, 1, pause)) return {DownloadStatus::HoldFailed};
    for (std::size_t i = 0; i < image.records.size(); ++i) {
        const HexRecord& record = image.records[i];
        if (!transport.controlOut(kFirmwareLoadRequest, record.address, 0, record.data)) {
            return {DownloadStatus::RecordFailed, i, record.address};
        }
    }
    if (!writeCpuControl(transport, 0, pause)) return {DownloadStatus::ReleaseFailed};
    return {DownloadStatus::Loaded};
}

std::string describeDownload(const DownloadResult& result) {
    switch (result.status) {
        case DownloadStatus::Loaded:
            return "firmware loaded";
        case DownloadStatus::HoldFailed:
            return "the controller did not accept the reset hold; nothing was written";
        case DownloadStatus::RecordFailed: {
            char text[120];
            std::snprintf(text, sizeof text,
                          "record %zu (address 0x%04X) was not accepted; the controller stays in reset",
                          result.record + 1, static_cast<unsigned>(result.address));
            return text;
        }
        case DownloadStatus::ReleaseFailed:
            return "the controller did not accept the reset release";
    }
    return "unknown download result";
}

}  // namespace usbloader
