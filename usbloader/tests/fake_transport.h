// A transport that records what the loader asks of it, for tests.
#ifndef USBLOADER_TESTS_FAKE_TRANSPORT_H
#define USBLOADER_TESTS_FAKE_TRANSPORT_H

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "firmware_download.h"
#include "transport.h"

namespace usbloader::testing {

struct Transfer {
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::vector<std::uint8_t> data;
};

class FakeTransport final : public Transport {
public:
    static constexpr int kAlways = -1;

    // A device answering at `number`, which opens `opens` times (kAlways: every time).
    void addDevice(int number, int opens = kAlways) { devices_[number] = opens; }
    // The control transfer with this 0-based index (counting all of them) fails.
    void failTransfer(std::size_t index) { failAt_ = index; }
    // Writes every trace line, with milliseconds since construction, to `stream`.
    void traceTo(std::FILE* stream) { stream_ = stream; }

    // A pause that only records itself in the trace.
    Pause recordingPause();

    bool open(int number) override;
    bool controlOut(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                    std::span<const std::uint8_t> data) override;
    void close() override;

    // "open 0 fail", "open 2", "close 2", "pause 10ms",
    // "control a0 e600 0000 01" (request, value, index, data), "... fail" when refused.
    const std::vector<std::string>& trace() const { return trace_; }
    // The accepted control transfers.
    const std::vector<Transfer>& transfers() const { return transfers_; }

private:
    void log(std::string line);

    std::map<int, int> devices_;
    std::optional<std::size_t> failAt_;
    std::size_t controlCount_ = 0;
    int openDevice_ = -1;
    std::FILE* stream_ = nullptr;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::vector<std::string> trace_;
    std::vector<Transfer> transfers_;
};

// Trace line of a control transfer as the fake writes it.
std::string controlLine(std::uint16_t value, std::initializer_list<std::uint8_t> data);

}  // namespace usbloader::testing

#endif
