#include "firmware_file.h"

#include <gtest/gtest.h>

#include "hex_records.h"
#include "test_support.h"

namespace usbloader {
namespace {

using testing::TempDir;
using testing::writeFile;

TEST(FirmwareFile, TakesTheFirstCandidateThatOpens) {
    TempDir dir;
    writeFile(dir / "second.hex", testing::hexRecord(0, 0x20, {0xDD}) + "\n" + testing::kEndRecord);
    writeFile(dir / "third.hex", "not read");
    const std::filesystem::path candidates[] = {dir / "first.hex", dir / "second.hex", dir / "third.hex"};
    const FirmwareFile file = loadFirmwareFile(candidates);
    EXPECT_EQ(file.status, FirmwareFileStatus::Loaded);
    EXPECT_EQ(file.path, dir / "second.hex");
    ASSERT_EQ(file.image.records.size(), 1u);
    EXPECT_EQ(file.image.records[0].address, 0x20);

    const std::filesystem::path none[] = {dir / "first.hex"};
    EXPECT_EQ(loadFirmwareFile(none).status, FirmwareFileStatus::Missing);
}

TEST(FirmwareFile, RefusesWhatCannotBeReadOrIsTooLarge) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.hex");
    writeFile(dir / "large.hex", std::string(kMaxHexFileSize + 1, '\n'));
    struct Case {
        const char* name;
        std::filesystem::path path;
        const char* problem;
    };
    const std::vector<Case> cases{
        {"a folder", dir / "folder.hex", "cannot be read"},
        {"over 1 MiB", dir / "large.hex", "larger than 1 MiB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path candidates[] = {c.path, dir / "never.hex"};
        const FirmwareFile file = loadFirmwareFile(candidates);
        EXPECT_EQ(file.status, FirmwareFileStatus::Invalid);
        EXPECT_EQ(file.path, c.path);
        EXPECT_NE(file.problem.find(c.problem), std::string::npos) << file.problem;
    }
}

}  // namespace
}  // namespace usbloader
