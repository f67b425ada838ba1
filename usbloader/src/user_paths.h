// Per-user folders of the suite, after the XDG base directory rules.
#ifndef USBLOADER_USER_PATHS_H
#define USBLOADER_USER_PATHS_H

#include <filesystem>
#include <optional>

namespace usbloader {

// Name of the suite's folder inside the per-user data, config and runtime folders.
inline constexpr const char* kSuiteFolder = "kestrelworksA";

// $XDG_DATA_HOME/kestrelworksA (default ~/.local/share/kestrelworksA); nothing when
// neither the variable (absolute) nor HOME is set.
std::optional<std::filesystem::path> userDataFolder();

// $XDG_CONFIG_HOME/kestrelworksA (default ~/.config/kestrelworksA).
std::optional<std::filesystem::path> userConfigFolder();

// $XDG_RUNTIME_DIR when it is set and absolute, else the system's temporary folder.
std::filesystem::path userRuntimeFolder();

}  // namespace usbloader

#endif
