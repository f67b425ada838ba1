// The exported entry of libcardpull.so.
#include "cardpull.h"

#include <dlfcn.h>

#include <cstdio>
#include <exception>

#include "cardpull_attempt.h"
#include "device_ids.h"
#include "firmware_file.h"
#include "libusb_transport.h"
#include "loader_lock.h"

namespace {

constexpr int kCardpullResult = 42;

// The folder this library was loaded from; empty when it cannot be told.
std::filesystem::path libraryFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&fnMydll), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return std::filesystem::absolute(info.dli_fname).parent_path();
}

}  // namespace

CARDPULL_API int nMydll = 0;  // declared extern "C" in the header

CMydll::CMydll() = default;

CMydll& CMydll::operator=(const CMydll& other) {
    unused_ = other.unused_;
    return *this;
}

extern "C" CARDPULL_API int fnMydll(void) {
    using namespace usbloader;
    try {
        CardpullSetup setup;
        setup.firmwareCandidates.emplace_back(kFirmwareFileName);
        if (const auto folder = libraryFolder(); !folder.empty()) {
            setup.firmwareCandidates.push_back(folder / kFirmwareFileName);
        }
        setup.lockPath = defaultLockPath();
        setup.showMessage = hostMessageSink();
        setup.log = [](const std::string& line) { std::fprintf(stderr, "cardpull: %s\n", line.c_str()); };
        LibusbTransport transport(loadEzusbIds("cardpull"));
        runCardpullAttempt(transport, setup);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cardpull: %s\n", error.what());
    }
    return kCardpullResult;
}
