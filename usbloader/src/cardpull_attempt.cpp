#include "cardpull_attempt.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "firmware_file.h"
#include "loader_lock.h"

namespace usbloader {

const CardpullMessage kFirmwareMissingMessage{"    USB设备所需的HEX文件不存在！        ",
                                              "usb文件位置错误"};
const CardpullMessage kDeviceOpenMessage{"CF卡设备打开失败！", "usb打开错误"};

namespace {

using MessageHook = void (*)(const char* text, const char* caption);
constexpr const char* kMessageHookName = "cardpull_message_hook";

}  // namespace

void runCardpullAttempt(Transport& transport, const CardpullSetup& setup) {
    const auto lock = LoaderLock::acquire(setup.lockPath, setup.lockWait);
    if (!lock) {
        setup.log("another loader is busy with the card reader; no download");
        return;
    }

    const int device = findEzusbDevice(transport);
    if (device < 0) return;

    const FirmwareFile firmware = loadFirmwareFile(setup.firmwareCandidates);
    if (firmware.status == FirmwareFileStatus::Missing) setup.showMessage(kFirmwareMissingMessage);
    if (firmware.status == FirmwareFileStatus::Invalid) {
        setup.log(firmware.path.string() + ": " + firmware.problem + "; nothing was sent");
    }

    DeviceCloser closer(transport);
    if (!transport.open(device)) {
        setup.showMessage(kDeviceOpenMessage);
        return;
    }
    if (firmware.status != FirmwareFileStatus::Loaded) return;
    const DownloadResult result = downloadHexImage(transport, firmware.image, setup.pause);
    if (result.status != DownloadStatus::Loaded) {
        setup.log("device " + std::to_string(device) + ": " + describeDownload(result));
    }
}

std::function<void(const CardpullMessage&)> hostMessageSink() {
    // Looked up on every call: the host may be any program that loads us.
    void* symbol = ::dlsym(RTLD_DEFAULT, kMessageHookName);
    if (symbol != nullptr) {
        const auto hook = reinterpret_cast<MessageHook>(symbol);
        return [hook](const CardpullMessage& message) { hook(message.text, message.caption); };
    }
    return [](const CardpullMessage& message) {
        // The padding that centres the text in a message box is dropped here.
        std::string_view text = message.text;
        text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
        text.remove_suffix(text.size() - std::min(text.find_last_not_of(' ') + 1, text.size()));
        std::fprintf(stderr, "cardpull: %s: %.*s\n", message.caption, static_cast<int>(text.size()),
                     text.data());
    };
}

}  // namespace usbloader
