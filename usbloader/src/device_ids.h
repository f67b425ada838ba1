// Which USB devices count as card readers waiting for firmware.
//
// An EZ-USB controller without firmware of its own enumerates with the chip
// maker's default vendor and product id. The list of ids the loader looks for
// is read from $XDG_CONFIG_HOME/kestrelworksA/ezusb-ids (default
// ~/.config/kestrelworksA/ezusb-ids) when that file exists: one "vvvv:pppp" pair
// of hex numbers a line, '#' starts a comment. Without the file the built-in
// list applies. An existing file that lists nothing matches no device.
#ifndef USBLOADER_DEVICE_IDS_H
#define USBLOADER_DEVICE_IDS_H

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace usbloader {

struct UsbId {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    friend bool operator==(const UsbId&, const UsbId&) = default;
};

inline constexpr const char* kDeviceIdFileName = "ezusb-ids";

// The built-in list: the unprogrammed FX2 family.
std::vector<UsbId> defaultEzusbIds();

struct IdListParse {
    std::vector<UsbId> ids;
    std::vector<std::string> problems;  // one English line per refused line
};

IdListParse parseIdList(std::string_view text);

// The configured file, if any.
std::optional<std::filesystem::path> deviceIdFilePath();

// The configured list, or the built-in one. Refused lines are reported on
// standard error with `program` as prefix.
std::vector<UsbId> loadEzusbIds(const char* program);

}  // namespace usbloader

#endif
