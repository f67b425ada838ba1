#include "firmware_download.h"

#include <gtest/gtest.h>

#include "fake_transport.h"

namespace usbloader {
namespace {

using testing::controlLine;
using testing::FakeTransport;
using Lines = std::vector<std::string>;

HexImage threeRecords() {
    return HexImage{{{0x0000, {0x02, 0x00, 0x80}}, {0x0080, {0xE4}}, {0x1000, {0x11, 0x22}}}};
}

TEST(FirmwareDownload, HoldsWritesEveryRecordInOrderThenReleases) {
    FakeTransport fake;
    fake.addDevice(0);
    ASSERT_TRUE(fake.open(0));
    const DownloadResult result = downloadHexImage(fake, threeRecords(), fake.recordingPause());
    EXPECT_EQ(result.status, DownloadStatus::Loaded);
    EXPECT_EQ(fake.trace(), (Lines{
                                "open 0",
                                "pause 10ms",
                                controlLine(0xE600, {0x01}),
                                controlLine(0x0000, {0x02, 0x00, 0x80}),
                                controlLine(0x0080, {0xE4}),
                                controlLine(0x1000, {0x11, 0x22}),
                                "pause 10ms",
                                controlLine(0xE600, {0x00}),
                            }));
}

TEST(FirmwareDownload, StopsAtTheFirstRefusedRequest) {
    struct Case {
        const char* name;
        std::size_t failingTransfer;
        DownloadStatus status;
        std::size_t record;
        std::uint16_t address;
        std::size_t transfersTried;
    };
    const std::vector<Case> cases{
        {"hold", 0, DownloadStatus::HoldFailed, 0, 0, 1},
        {"second record", 2, DownloadStatus::RecordFailed, 1, 0x0080, 3},
        {"release", 4, DownloadStatus::ReleaseFailed, 0, 0, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTransport fake;
        fake.addDevice(0);
        fake.failTransfer(c.failingTransfer);
        ASSERT_TRUE(fake.open(0));
        const DownloadResult result = downloadHexImage(fake, threeRecords(), fake.recordingPause());
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.record, c.record);
        EXPECT_EQ(result.address, c.address);
        Lines controls;
        for (const auto& line : fake.trace()) {
            if (line.rfind("control", 0) == 0) controls.push_back(line);
        }
        ASSERT_EQ(controls.size(), c.transfersTried);
        EXPECT_NE(controls.back().find(" fail"), std::string::npos);
        // Once a record failed the processor is never released.
        if (c.status == DownloadStatus::RecordFailed) {
            EXPECT_EQ(fake.trace().back(), controlLine(0x0080, {0xE4}) + " fail");
        }
    }
}

TEST(FirmwareDownload, DescribesAFailedRecordByNumberAndAddress) {
    const std::string text = describeDownload({DownloadStatus::RecordFailed, 1, 0x0080});
    EXPECT_NE(text.find("record 2"), std::string::npos) << text;
    EXPECT_NE(text.find("0x0080"), std::string::npos) << text;
}

TEST(FirmwareDownload, SearchStopsAtTheLowestAnsweringNumber) {
    FakeTransport fake;
    fake.addDevice(2);
    fake.addDevice(5);
    EXPECT_EQ(findEzusbDevice(fake), 2);
    EXPECT_EQ(fake.trace(), (Lines{"open 0 fail", "open 1 fail", "open 2", "close 2"}));
}

TEST(FirmwareDownload, SearchTriesThirtyTwoNumbers) {
    FakeTransport fake;
    fake.addDevice(32);
    EXPECT_EQ(findEzusbDevice(fake), -1);
    ASSERT_EQ(fake.trace().size(), 32u);
    EXPECT_EQ(fake.trace().back(), "open 31 fail");
}

}  // namespace
}  // namespace usbloader
