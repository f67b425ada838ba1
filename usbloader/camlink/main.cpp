// camlink: the background loader of the card reader's firmware.
#include <cstdio>
#include <cstring>
#include <memory>

#include "camlink_server.h"
#include "device_ids.h"
#include "firmware_file.h"
#include "libusb_transport.h"

int main(int argc, char** argv) {
    using namespace usbloader;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("usage: camlink                 load bulkloop.hex (beside camlink) into the card reader,\n"
                    "                               trying once a second until SIGTERM or SIGINT\n"
                    "       camlink -RegServer      write the registration record, exit\n"
                    "       camlink -UnregServer    remove it, exit\n");
        return 0;
    }
    CamlinkSetup setup;
    setup.program = runningProgramPath();
    setup.firmware = setup.program.parent_path() / kFirmwareFileName;
    setup.makeTransport = [] { return std::make_unique<LibusbTransport>(loadEzusbIds("camlink")); };
    return camlinkMain(argc, argv, setup);
}
