#include "firmware_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace usbloader {
namespace {

// Reads up to `limit` + 1 bytes, so that a longer file shows as too large.
bool readCapped(int fd, std::size_t limit, std::string& text, std::string& problem) {
    text.resize(limit + 1);
    std::size_t filled = 0;
    while (filled < text.size()) {
        const ssize_t got = ::read(fd, text.data() + filled, text.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            problem = std::string("cannot be read: ") + std::strerror(errno);
            return false;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    text.resize(filled);
    return true;
}

}  // namespace

FirmwareFile loadFirmwareFile(std::span<const std::filesystem::path> candidates) {
    FirmwareFile file;
    for (const auto& candidate : candidates) {
        const int fd = ::open(candidate.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        file.path = candidate;
        std::string text;
        const bool read = readCapped(fd, kMaxHexFileSize, text, file.problem);
        ::close(fd);
        if (!read) {
            file.status = FirmwareFileStatus::Invalid;
            return file;
        }
        HexParseResult parsed = parseHexImage(text);
        if (parsed.error != HexError::None) {
            file.status = FirmwareFileStatus::Invalid;
            file.problem = hexErrorText(parsed.error);
            if (parsed.line != 0) file.problem += " (line " + std::to_string(parsed.line) + ")";
            return file;
        }
        file.status = FirmwareFileStatus::Loaded;
        file.image = std::move(parsed.image);
        return file;
    }
    return file;
}

}  // namespace usbloader
