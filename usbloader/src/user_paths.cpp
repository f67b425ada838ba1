#include "user_paths.h"

#include <cstdlib>
#include <string_view>

namespace usbloader {
namespace {

// An XDG variable counts only when it holds an absolute path.
std::optional<std::filesystem::path> absoluteFromEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return std::filesystem::path(value);
}

std::optional<std::filesystem::path> xdgFolder(const char* variable, std::string_view homeRelative) {
    if (auto base = absoluteFromEnv(variable)) return *base / kSuiteFolder;
    if (auto home = absoluteFromEnv("HOME")) return *home / homeRelative / kSuiteFolder;
    return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> userDataFolder() {
    return xdgFolder("XDG_DATA_HOME", ".local/share");
}

std::optional<std::filesystem::path> userConfigFolder() {
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path userRuntimeFolder() {
    if (auto runtime = absoluteFromEnv("XDG_RUNTIME_DIR")) return *runtime;
    return std::filesystem::temp_directory_path();
}

}  // namespace usbloader
