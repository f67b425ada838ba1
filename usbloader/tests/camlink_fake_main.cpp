// camlink over the recording fake transport, for the process tests. It writes
// the fake's trace to standard output.
//   CAMLINK_FAKE_DEVICES   comma-separated device numbers that answer
//   CAMLINK_FAKE_FIRMWARE  the firmware file to use
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "camlink_server.h"
#include "fake_transport.h"

int main(int argc, char** argv) {
    using namespace usbloader;
    const char* devices = std::getenv("CAMLINK_FAKE_DEVICES");
    const char* firmware = std::getenv("CAMLINK_FAKE_FIRMWARE");
    CamlinkSetup setup;
    setup.program = runningProgramPath();
    setup.firmware = firmware != nullptr ? firmware : "bulkloop.hex";
    setup.makeTransport = [list = std::string(devices != nullptr ? devices : "")] {
        auto fake = std::make_unique<testing::FakeTransport>();
        std::istringstream numbers(list);
        for (std::string number; std::getline(numbers, number, ',');) {
            if (!number.empty()) fake->addDevice(std::stoi(number));
        }
        fake->traceTo(stdout);
        return fake;
    };
    return camlinkMain(argc, argv, setup);
}
