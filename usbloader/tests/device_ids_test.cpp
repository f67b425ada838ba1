#include "device_ids.h"

#include <gtest/gtest.h>

#include "libusb_transport.h"
#include "test_support.h"

namespace usbloader {
namespace {

using testing::TempDir;
using testing::writeFile;

TEST(DeviceIds, ParsesPairsCommentsAndRefusesTheRest) {
    const IdListParse parsed = parseIdList(
        "# card readers\n"
        "04b4:8613\n"
        "  0547:2131   # with a comment\r\n"
        "\n"
        "FFFF:0001\n"
        "04b4\n"
        "04b4:86130\n"
        "xyz:0001\n"
        "04b4:-1\n");
    EXPECT_EQ(parsed.ids, (std::vector<UsbId>{{0x04B4, 0x8613}, {0x0547, 0x2131}, {0xFFFF, 0x0001}}));
    ASSERT_EQ(parsed.problems.size(), 4u);
    EXPECT_EQ(parsed.problems[0], "line 6 is not a vvvv:pppp pair: 04b4");
}

TEST(DeviceIds, TheUserFileReplacesTheBuiltInList) {
    TempDir dir;
    testing::setEnv("XDG_CONFIG_HOME", dir.path().string());
    EXPECT_EQ(loadEzusbIds("test"), defaultEzusbIds());
    EXPECT_EQ(defaultEzusbIds(), (std::vector<UsbId>{{0x04B4, 0x8613}}));

    std::filesystem::create_directories(dir / "kestrelworksA");
    writeFile(dir / "kestrelworksA/ezusb-ids", "1234:abcd\n");
    EXPECT_EQ(loadEzusbIds("test"), (std::vector<UsbId>{{0x1234, 0xABCD}}));
    writeFile(dir / "kestrelworksA/ezusb-ids", "# none\n");
    EXPECT_EQ(loadEzusbIds("test"), std::vector<UsbId>{});
}

// With an empty list no device of this machine can be taken for a card reader.
TEST(DeviceIds, LibusbTransportOpensNothingOutsideItsList) {
    LibusbTransport transport({});
    for (int number : {0, 1, 31, 32, -1}) EXPECT_FALSE(transport.open(number)) << number;
    const std::uint8_t data[1] = {1};
    EXPECT_FALSE(transport.controlOut(0xA0, 0xE600, 0, data));
    transport.close();
}

}  // namespace
}  // namespace usbloader
