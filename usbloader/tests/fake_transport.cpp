#include "fake_transport.h"

namespace usbloader::testing {
namespace {

std::string controlText(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                        std::span<const std::uint8_t> data) {
    char head[32];
    std::snprintf(head, sizeof head, "control %02x %04x %04x ", request, value, index);
    std::string line = head;
    for (const std::uint8_t byte : data) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", byte);
        line += digits;
    }
    return line;
}

}  // namespace

std::string controlLine(std::uint16_t value, std::initializer_list<std::uint8_t> data) {
    return controlText(kFirmwareLoadRequest, value, 0, std::span(data.begin(), data.size()));
}

Pause FakeTransport::recordingPause() {
    return [this](std::chrono::milliseconds duration) {
        log("pause " + std::to_string(duration.count()) + "ms");
    };
}

bool FakeTransport::open(int number) {
    if (openDevice_ >= 0) close();
    const auto device = devices_.find(number);
    if (device == devices_.end() || device->second == 0) {
        log("open " + std::to_string(number) + " fail");
        return false;
    }
    if (device->second > 0) --device->second;
    openDevice_ = number;
    log("open " + std::to_string(number));
    return true;
}

bool FakeTransport::controlOut(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                               std::span<const std::uint8_t> data) {
    const std::string line = controlText(request, value, index, data);
    const bool ok = openDevice_ >= 0 && failAt_ != controlCount_;
    ++controlCount_;
    log(ok ? line : line + " fail");
    if (ok) transfers_.push_back({request, value, index, {data.begin(), data.end()}});
    return ok;
}

void FakeTransport::close() {
    if (openDevice_ < 0) return;
    log("close " + std::to_string(openDevice_));
    openDevice_ = -1;
}

void FakeTransport::log(std::string line) {
    if (stream_ != nullptr) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start_);
        std::fprintf(stream_, "%lld %s\n", static_cast<long long>(ms.count()), line.c_str());
        std::fflush(stream_);
    }
    trace_.push_back(std::move(line));
}

}  // namespace usbloader::testing
