#include "device_ids.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "user_paths.h"

namespace usbloader {
namespace {

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::optional<std::uint16_t> parseHex16(std::string_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    std::uint16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::vector<UsbId> defaultEzusbIds() {
    return {
        {0x04B4, 0x8613},  // FX2 / FX2LP without firmware
    };
}

IdListParse parseIdList(std::string_view text) {
    IdListParse result;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        line = trim(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        const auto colon = line.find(':');
        const auto vendor = parseHex16(line.substr(0, colon));
        const auto product =
            colon == std::string_view::npos ? std::nullopt : parseHex16(line.substr(colon + 1));
        if (!vendor || !product) {
            result.problems.push_back("line " + std::to_string(lineNumber) +
                                      " is not a vvvv:pppp pair: " + std::string(line));
            continue;
        }
        result.ids.push_back({*vendor, *product});
    }
    return result;
}

std::optional<std::filesystem::path> deviceIdFilePath() {
    if (auto folder = userConfigFolder()) return *folder / kDeviceIdFileName;
    return std::nullopt;
}

std::vector<UsbId> loadEzusbIds(const char* program) {
    const auto path = deviceIdFilePath();
    if (!path) return defaultEzusbIds();
    std::ifstream in(*path, std::ios::binary);
    if (!in) return defaultEzusbIds();
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    IdListParse parsed = parseIdList(text);
    for (const auto& problem : parsed.problems) {
        std::fprintf(stderr, "%s: %s: %s\n", program, path->c_str(), problem.c_str());
    }
    return std::move(parsed.ids);
}

}  // namespace usbloader
