#include "camlink_server.h"

#include <signal.h>

#include <gtest/gtest.h>

#include "fake_transport.h"
#include "hex_records.h"
#include "loader_lock.h"
#include "test_support.h"

namespace usbloader {
namespace {

using namespace std::chrono_literals;
using testing::controlLine;
using testing::FakeTransport;
using testing::hexRecord;
using testing::kEndRecord;
using testing::readFile;
using testing::spawnProgram;
using testing::TempDir;
using testing::writeFile;
using Lines = std::vector<std::string>;

const std::string kFirmware = hexRecord(0, 0x0100, {0x12, 0x34}) + "\n" + kEndRecord + "\n";

TEST(Camlink, FindsASwitchOnlyWhenItIsTheWholeRestOfTheLine) {
    struct Case {
        const char* line;
        ServerSwitch expected;
    };
    const std::vector<Case> cases{
        {"/usr/bin/camlink -RegServer", ServerSwitch::Register},
        {"/usr/bin/camlink /regserver", ServerSwitch::Register},
        {"/usr/bin/camlink -REGSERVER", ServerSwitch::Register},
        {"/usr/bin/camlink /unregserver", ServerSwitch::Unregister},
        {"/usr/bin/camlink -UnregServer", ServerSwitch::Unregister},
        {"/opt/cam-link/camlink -RegServer", ServerSwitch::Register},  // '-' in the path
        {"/usr/bin/camlink -RegServer -x", ServerSwitch::None},
        {"/usr/bin/camlink -RegServer ", ServerSwitch::None},
        {"/usr/bin/camlink RegServer", ServerSwitch::None},
        {"/usr/bin/camlink -Reg", ServerSwitch::None},
        {"/usr/bin/camlink", ServerSwitch::None},
        {"", ServerSwitch::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findServerSwitch(c.line), c.expected) << c.line;
    }
    const char* argv[] = {"/usr/bin/camlink", "-RegServer", "-x"};
    EXPECT_EQ(joinCommandLine(3, argv), "/usr/bin/camlink -RegServer -x");
}

TEST(Camlink, AttemptStopsQuietlyWhenSomethingIsMissing) {
    struct Case {
        const char* name;
        int opens;  // the device at number 1: how often it opens; 0: none
        std::optional<std::string> firmware;
        CamlinkOutcome outcome;
        Lines trace;  // after the search
    };
    const int always = FakeTransport::kAlways;
    const Lines download{"open 1",
                         controlLine(0xE600, {1}),
                         controlLine(0x0100, {0x12, 0x34}),
                         controlLine(0xE600, {0}),
                         "close 1"};
    const std::vector<Case> cases{
        {"no device", 0, kFirmware, CamlinkOutcome::NoDevice, {}},
        {"no file", always, std::nullopt, CamlinkOutcome::NoFile, {}},
        {"damaged file", always, ":02010000123400\n" + kEndRecord, CamlinkOutcome::BadFile, {}},
        {"device does not open again", 1, kFirmware, CamlinkOutcome::OpenFailed, {"open 1 fail"}},
        {"download", always, kFirmware, CamlinkOutcome::Loaded, download},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        if (c.firmware) writeFile(dir / "bulkloop.hex", *c.firmware);
        FakeTransport fake;
        if (c.opens != 0) fake.addDevice(1, c.opens);
        const CamlinkAttempt attempt =
            attemptCamlinkDownload(fake, dir / "bulkloop.hex", dir / "loader.lock");
        EXPECT_EQ(attempt.outcome, c.outcome);
        const Lines search = c.opens == 0 ? Lines{} : Lines{"open 0 fail", "open 1", "close 1"};
        Lines trace = fake.trace();
        if (c.opens == 0) {
            EXPECT_EQ(trace.size(), 32u);
            continue;
        }
        ASSERT_GE(trace.size(), search.size());
        EXPECT_EQ(Lines(trace.begin(), trace.begin() + 3), search);
        EXPECT_EQ(Lines(trace.begin() + 3, trace.end()), c.trace);
    }
}

TEST(Camlink, AttemptGivesWayToAnotherLoader) {
    TempDir dir;
    writeFile(dir / "bulkloop.hex", kFirmware);
    FakeTransport fake;
    fake.addDevice(0);
    const auto other = LoaderLock::acquire(dir / "loader.lock", 0ms);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(attemptCamlinkDownload(fake, dir / "bulkloop.hex", dir / "loader.lock").outcome,
              CamlinkOutcome::Busy);
    EXPECT_EQ(fake.trace(), Lines{});
}

// The environment of a camlink process in a scratch folder: its records,
// lock and device list stay there, and no real device ever matches.
std::vector<std::string> scratchEnvironment(const TempDir& dir) {
    std::filesystem::create_directories(dir / "config/kestrelworksA");
    writeFile(dir / "config/kestrelworksA/ezusb-ids", "# no device in tests\n");
    return {"XDG_DATA_HOME=" + (dir / "data").string(), "XDG_CONFIG_HOME=" + (dir / "config").string(),
            "XDG_RUNTIME_DIR=" + dir.path().string()};
}

TEST(CamlinkProgram, RegistersAndUnregistersWithAnyCaseOfSwitch) {
    TempDir dir;
    const auto env = scratchEnvironment(dir);
    const auto record = dir / "data/kestrelworksA/Camlink.appid";
    struct Step {
        std::vector<std::string> args;
        bool registered;
    };
    const std::vector<Step> steps{
        {{"-UnregServer"}, false},  // not registered yet: nothing to remove
        {{"-RegServer"}, true},   {{"/unregserver"}, false}, {{"/regserver"}, true},
        {{"-REGSERVER"}, true},   {{"-UNREGSERVER"}, false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.args[0]);
        auto child = spawnProgram(USBLOADER_CAMLINK, step.args, env, false);
        EXPECT_EQ(testing::waitForExit(child, 10s), 0);
        ASSERT_EQ(std::filesystem::exists(record), step.registered);
        if (step.registered) {
            const std::string text = readFile(record);
            EXPECT_NE(text.find("AppID={25CA62A0-AA2C-4297-AA85-7FFA19A22C9D}\n"), std::string::npos);
            EXPECT_NE(text.find("Program=" + std::filesystem::canonical(USBLOADER_CAMLINK).string() + "\n"),
                      std::string::npos)
                << text;
        }
    }
}

TEST(CamlinkProgram, RegistrationThatCannotBeWrittenFails) {
    TempDir dir;
    auto env = scratchEnvironment(dir);
    writeFile(dir / "file", "");
    env[0] = "XDG_DATA_HOME=" + (dir / "file").string();
    auto child = spawnProgram(USBLOADER_CAMLINK, {"-RegServer"}, env, false);
    EXPECT_EQ(testing::waitForExit(child, 10s), 1);
}

TEST(CamlinkProgram, RunsUntilSigtermOrSigint) {
    struct Case {
        std::vector<std::string> args;
        int signal;
    };
    const std::vector<Case> cases{{{}, SIGTERM}, {{}, SIGINT}, {{"-RegServer", "-x"}, SIGTERM}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "no switch" : "-RegServer -x");
        TempDir dir;
        auto child = spawnProgram(USBLOADER_CAMLINK, c.args, scratchEnvironment(dir), false);
        ASSERT_TRUE(testing::waitUntilWaitingForSignals(child, 20s));
        ASSERT_TRUE(testing::stillRunningAfter(child, 100ms));
        ::kill(child.pid, c.signal);
        EXPECT_EQ(testing::waitForExit(child, 3s), 0);
        EXPECT_FALSE(std::filesystem::exists(dir / "data/kestrelworksA/Camlink.appid"));
    }
}

// The start times (ms) of the first `count` attempts of a camlink_fake child and
// the trace of the first attempt.
struct Attempts {
    std::vector<long> starts;
    Lines first;
};

Attempts readAttempts(testing::Child& child, std::size_t count) {
    Attempts attempts;
    while (attempts.starts.size() < count) {
        const auto line = testing::readLine(child, 5s);
        if (!line) {
            ADD_FAILURE() << "camlink tried " << attempts.starts.size() << " times";
            break;
        }
        const auto space = line->find(' ');
        const std::string event = line->substr(space + 1);
        // Each attempt starts with the search at number 0.
        if (event.rfind("open 0", 0) == 0) attempts.starts.push_back(std::stol(line->substr(0, space)));
        if (attempts.starts.size() == 1) attempts.first.push_back(event);
    }
    return attempts;
}

TEST(CamlinkProgram, AttemptsOnceASecond) {
    TempDir dir;
    writeFile(dir / "bulkloop.hex", kFirmware);
    auto env = scratchEnvironment(dir);
    env.push_back("CAMLINK_FAKE_DEVICES=2");
    env.push_back("CAMLINK_FAKE_FIRMWARE=" + (dir / "bulkloop.hex").string());
    auto child = spawnProgram(USBLOADER_CAMLINK_FAKE, {}, env, true);

    const auto [starts, firstAttempt] = readAttempts(child, 2);
    ::kill(child.pid, SIGTERM);
    EXPECT_EQ(testing::waitForExit(child, 3s), 0);

    // Timers never fire early; the upper bounds leave room for a busy machine.
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_GE(starts[0], 1000);
    EXPECT_LE(starts[0], 2000);
    EXPECT_GE(starts[1], 2000);
    EXPECT_LE(starts[1] - starts[0], 2000);
    EXPECT_EQ(firstAttempt, (Lines{"open 0 fail", "open 1 fail", "open 2", "close 2", "open 2",
                                   controlLine(0xE600, {1}), controlLine(0x0100, {0x12, 0x34}),
                                   controlLine(0xE600, {0}), "close 2"}));
}


TEST(CamlinkProgram, LogsALastingProblemOnce) {
    TempDir dir;
    writeFile(dir / "bulkloop.hex", ":02010000123400\n" + kEndRecord + "\n");
    auto env = scratchEnvironment(dir);
    env.push_back("CAMLINK_FAKE_DEVICES=0");
    env.push_back("CAMLINK_FAKE_FIRMWARE=" + (dir / "bulkloop.hex").string());
    auto child = spawnProgram(USBLOADER_CAMLINK_FAKE, {}, env, true, dir / "stderr");
    const Attempts attempts = readAttempts(child, 3);
    ::kill(child.pid, SIGTERM);
    EXPECT_EQ(testing::waitForExit(child, 3s), 0);
    EXPECT_EQ(attempts.first, (Lines{"open 0", "close 0"}));  // nothing sent
    EXPECT_EQ(readFile(dir / "stderr"), "camlink: " + (dir / "bulkloop.hex").string() +
                                            ": a record's checksum is wrong (line 1); nothing was sent\n");
}

}  // namespace
}  // namespace usbloader
