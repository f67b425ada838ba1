// libcardpull.so as the report designer loads it.
#include <algorithm>
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "cardpull_attempt.h"
#include "test_support.h"

namespace {

std::vector<std::pair<std::string, std::string>> hookCalls;

}  // namespace

// The host's message hook, exported from this executable.
extern "C" __attribute__((visibility("default"))) void cardpull_message_hook(const char* text,
                                                                             const char* caption) {
    hookCalls.emplace_back(text, caption);
}

namespace usbloader {
namespace {

using testing::TempDir;

std::vector<std::string> definedDynamicSymbols(const std::string& library) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        ::popen(("nm -D --defined-only '" + library + "'").c_str(), "r"), ::pclose);
    std::vector<std::string> names;
    char line[512];
    while (pipe && std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        char type = 0;
        char name[256];
        // "<address> <type> <name>"
        if (std::sscanf(line, "%*s %c %255s", &type, name) == 2 && type != 'A') names.emplace_back(name);
    }
    return names;
}

TEST(CardpullLibrary, ExportsItsInterfaceOnly) {
    std::vector<std::string> names = definedDynamicSymbols(USBLOADER_CARDPULL);
    std::sort(names.begin(), names.end());
    // CMydll::CMydll() (both constructor symbols), CMydll::operator=, fnMydll, nMydll.
    EXPECT_EQ(names, (std::vector<std::string>{"_ZN6CMydllC1Ev", "_ZN6CMydllC2Ev",
                                               "_ZN6CMydllaSERKS_", "fnMydll", "nMydll"}));
}

TEST(CardpullLibrary, ReturnsFortyTwoQuietlyWithoutACardReader) {
    TempDir dir;
    std::filesystem::create_directories(dir / "kestrelworksA");
    testing::writeFile(dir / "kestrelworksA/ezusb-ids", "");  // no device can match
    testing::setEnv("XDG_CONFIG_HOME", dir.path().string());
    testing::setEnv("XDG_RUNTIME_DIR", dir.path().string());
    const auto previousFolder = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());  // and no firmware file here

    void* library = ::dlopen(USBLOADER_CARDPULL, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto fnMydll = reinterpret_cast<int (*)()>(::dlsym(library, "fnMydll"));
    ASSERT_NE(fnMydll, nullptr);
    hookCalls.clear();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(fnMydll(), 42);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(hookCalls.empty());
    EXPECT_EQ(::dlclose(library), 0);
    std::filesystem::current_path(previousFolder);
}

TEST(CardpullLibrary, MessagesReachTheHostHook) {
    hookCalls.clear();
    ::testing::internal::CaptureStderr();
    hostMessageSink()(kFirmwareMissingMessage);
    hostMessageSink()(kDeviceOpenMessage);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(hookCalls,
              (std::vector<std::pair<std::string, std::string>>{
                  {"    USB设备所需的HEX文件不存在！        ", "usb文件位置错误"},
                  {"CF卡设备打开失败！", "usb打开错误"}}));
}

}  // namespace
}  // namespace usbloader
