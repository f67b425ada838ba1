// camlink: the background loader of the card reader's firmware.
#include <memory>

#include "camlink_server.h"
#include "device_ids.h"
#include "firmware_file.h"
#include "libusb_transport.h"

int main(int argc, char** argv) {
    using namespace usbloader;
    CamlinkSetup setup;
    setup.program = runningProgramPath();
    setup.firmware = setup.program.parent_path() / kFirmwareFileName;
    setup.makeTransport = [] { return std::make_unique<LibusbTransport>(loadEzusbIds("camlink")); };
    return camlinkMain(argc, argv, setup);
}
