// Finding, reading and checking the firmware file "bulkloop.hex".
#ifndef USBLOADER_FIRMWARE_FILE_H
#define USBLOADER_FIRMWARE_FILE_H

#include <filesystem>
#include <span>
#include <string>

#include "hex_image.h"

namespace usbloader {

inline constexpr const char* kFirmwareFileName = "bulkloop.hex";

enum class FirmwareFileStatus {
    Loaded,   // read and valid
    Missing,  // no candidate could be opened
    Invalid,  // the first candidate that opened could not be read or is no valid HEX file
};

struct FirmwareFile {
    FirmwareFileStatus status = FirmwareFileStatus::Missing;
    std::filesystem::path path;  // the candidate that opened
    std::string problem;         // with Invalid: what is wrong, in English
    HexImage image;              // with Loaded
};

// Takes the first candidate that opens for reading, reads at most
// kMaxHexFileSize bytes of it and parses it. Later candidates are not tried once
// one has opened.
FirmwareFile loadFirmwareFile(std::span<const std::filesystem::path> candidates);

}  // namespace usbloader

#endif
