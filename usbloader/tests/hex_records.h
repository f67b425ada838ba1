// Builds Intel HEX record lines for tests, independently of the parser.
#ifndef USBLOADER_TESTS_HEX_RECORDS_H
#define USBLOADER_TESTS_HEX_RECORDS_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace usbloader::testing {

// ":LLAAAATT<data>CC" without a line end, upper-case digits.
inline std::string hexRecord(std::uint8_t type, std::uint16_t address,
                             const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(data.size()),
                                    static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address & 0xFF), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (const auto byte : bytes) sum += byte;
    bytes.push_back(static_cast<std::uint8_t>(-sum));
    std::string line = ":";
    for (const auto byte : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        line += digits;
    }
    return line;
}

inline const std::string kEndRecord = ":00000001FF";

}  // namespace usbloader::testing

#endif
