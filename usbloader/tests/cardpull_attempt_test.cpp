#include "cardpull_attempt.h"

#include <gtest/gtest.h>

#include <optional>

#include "fake_transport.h"
#include "hex_records.h"
#include "loader_lock.h"
#include "test_support.h"

namespace usbloader {
namespace {

using testing::controlLine;
using testing::FakeTransport;
using testing::hexRecord;
using testing::kEndRecord;
using testing::TempDir;
using testing::writeFile;
using Lines = std::vector<std::string>;

const std::string kHereHex = hexRecord(0, 0x0010, {0xAA, 0xBB, 0xCC}) + "\r\n" + kEndRecord + "\r\n";
const std::string kBesideHex = hexRecord(0, 0x0020, {0xDD}) + "\r\n" + kEndRecord + "\r\n";

// Runs one attempt with the firmware candidates "here" (the current folder) and
// "beside" (the library's folder) and collects what the user and the log see.
struct Attempt {
    FakeTransport fake;
    TempDir dir;
    Lines messages;
    Lines log;

    void run(const std::optional<std::string>& here, const std::optional<std::string>& beside) {
        std::filesystem::create_directory(dir / "here");
        std::filesystem::create_directory(dir / "beside");
        if (here) writeFile(dir / "here/bulkloop.hex", *here);
        if (beside) writeFile(dir / "beside/bulkloop.hex", *beside);
        CardpullSetup setup;
        setup.firmwareCandidates = {dir / "here/bulkloop.hex", dir / "beside/bulkloop.hex"};
        setup.lockPath = dir / "loader.lock";
        setup.showMessage = [this](const CardpullMessage& m) { messages.push_back(m.text); };
        setup.log = [this](const std::string& line) { log.push_back(line); };
        setup.pause = fake.recordingPause();
        setup.lockWait = std::chrono::milliseconds(50);
        runCardpullAttempt(fake, setup);
    }

    Lines controls() const {
        Lines lines;
        for (const auto& line : fake.trace()) {
            if (line.rfind("control", 0) == 0) lines.push_back(line);
        }
        return lines;
    }
};

const Lines kLoadsHere{controlLine(0xE600, {1}), controlLine(0x0010, {0xAA, 0xBB, 0xCC}),
                       controlLine(0xE600, {0})};
const Lines kLoadsBeside{controlLine(0xE600, {1}), controlLine(0x0020, {0xDD}), controlLine(0xE600, {0})};

TEST(Cardpull, ShowsItsMessagesOnlyInTheirCases) {
    const std::string missing = kFirmwareMissingMessage.text;
    const std::string openFailed = kDeviceOpenMessage.text;
    struct Case {
        const char* name;
        int opens;  // how often the device at number 3 opens (1: for the search only); 0: none
        std::optional<std::string> here, beside;
        Lines messages;
        Lines controls;
        const char* logged;  // text expected in the one log line, or nullptr for none
    };
    const int always = FakeTransport::kAlways;
    const std::vector<Case> cases{
        {"no device, no file", 0, std::nullopt, std::nullopt, {}, {}, nullptr},
        {"no device, a file", 0, kHereHex, std::nullopt, {}, {}, nullptr},
        {"no file", always, std::nullopt, std::nullopt, {missing}, {}, nullptr},
        {"device does not open again", 1, kHereHex, std::nullopt, {openFailed}, {}, nullptr},
        {"no file, device does not open again", 1, std::nullopt, std::nullopt, {missing, openFailed}, {},
         nullptr},
        {"file in the current folder", always, kHereHex, std::nullopt, {}, kLoadsHere, nullptr},
        {"file beside the library only", always, std::nullopt, kBesideHex, {}, kLoadsBeside, nullptr},
        {"current folder first", always, kHereHex, kBesideHex, {}, kLoadsHere, nullptr},
        {"damaged file", always, ":03001000AABBCC00\r\n" + kEndRecord, std::nullopt, {}, {}, "checksum"},
        {"empty file", always, "", kBesideHex, {}, {}, "empty"},
        {"end record only", always, kEndRecord + "\r\n", std::nullopt, {}, {}, "no data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Attempt attempt;
        if (c.opens != 0) attempt.fake.addDevice(3, c.opens);
        attempt.run(c.here, c.beside);
        EXPECT_EQ(attempt.messages, c.messages);
        EXPECT_EQ(attempt.controls(), c.controls);
        if (c.logged == nullptr) {
            EXPECT_EQ(attempt.log, Lines{});
        } else {
            ASSERT_EQ(attempt.log.size(), 1u);
            EXPECT_NE(attempt.log[0].find(c.logged), std::string::npos) << attempt.log[0];
        }
        // Whatever happened, no device is left open.
        const auto& trace = attempt.fake.trace();
        if (c.opens == always) {
            EXPECT_EQ(trace.back(), "close 3");
        }
    }
}

TEST(Cardpull, ReportsAFailedTransferAndLeavesTheProcessorHeld) {
    Attempt attempt;
    attempt.fake.addDevice(0);
    attempt.fake.failTransfer(1);
    attempt.run(kHereHex, std::nullopt);
    EXPECT_EQ(attempt.messages, Lines{});
    EXPECT_EQ(attempt.controls(),
              (Lines{controlLine(0xE600, {1}), controlLine(0x0010, {0xAA, 0xBB, 0xCC}) + " fail"}));
    ASSERT_EQ(attempt.log.size(), 1u);
    EXPECT_NE(attempt.log[0].find("0x0010"), std::string::npos) << attempt.log[0];
    EXPECT_EQ(attempt.fake.trace().back(), "close 0");
}

TEST(Cardpull, GivesWayToAnotherLoaderAndTouchesNothing) {
    Attempt attempt;
    attempt.fake.addDevice(0);
    const auto other = LoaderLock::acquire(attempt.dir / "loader.lock", std::chrono::milliseconds(0));
    ASSERT_NE(other, nullptr);
    attempt.run(kHereHex, std::nullopt);
    EXPECT_EQ(attempt.fake.trace(), Lines{});
    ASSERT_EQ(attempt.log.size(), 1u);
    EXPECT_NE(attempt.log[0].find("busy"), std::string::npos);
}

TEST(Cardpull, MessagesGoToStandardErrorWithoutAHostHook) {
    ::testing::internal::CaptureStderr();
    hostMessageSink()(kFirmwareMissingMessage);
    hostMessageSink()(kDeviceOpenMessage);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "cardpull: usb文件位置错误: USB设备所需的HEX文件不存在！\n"
              "cardpull: usb打开错误: CF卡设备打开失败！\n");
}

}  // namespace
}  // namespace usbloader
