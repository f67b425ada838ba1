// HEX files written by independent tools load the same bytes that objcopy reads
// from them. The files are larger than 16 KiB.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "fake_transport.h"
#include "firmware_download.h"
#include "firmware_file.h"
#include "test_support.h"

namespace usbloader {
namespace {

using testing::FakeTransport;
using testing::readFile;
using testing::runShell;
using testing::TempDir;
using testing::writeFile;

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

enum Edit : unsigned { kNoEdit = 0, kLowerCase = 1, kCrLf = 2, kNoFinalNewline = 4 };

std::string applyEdits(std::string text, unsigned edits) {
    if (edits & kLowerCase) std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    if (edits & kCrLf) text = replaceAll(replaceAll(text, "\r\n", "\n"), "\n", "\r\n");
    if (edits & kNoFinalNewline) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    }
    return text;
}

// The byte image the controller holds after the transfers, from the lowest
// written address to the highest, gaps as zeros (as objcopy writes a binary).
struct Image {
    std::uint32_t lowest = 0;
    std::string bytes;
};

Image imageOf(const std::vector<testing::Transfer>& records) {
    std::uint32_t lowest = 0xFFFF, top = 0;
    for (const auto& record : records) {
        lowest = std::min<std::uint32_t>(lowest, record.value);
        top = std::max<std::uint32_t>(top, record.value + static_cast<std::uint32_t>(record.data.size()));
    }
    Image image{lowest, std::string(top - lowest, '\0')};
    for (const auto& record : records) {
        std::copy(record.data.begin(), record.data.end(), image.bytes.begin() + (record.value - lowest));
    }
    return image;
}

TEST(HexTools, FilesOfIndependentProducersLoadTheBytesObjcopyReads) {
    const std::string objcopy = USBLOADER_OBJCOPY;
    const std::string srecCat = USBLOADER_SREC_CAT;
    ASSERT_FALSE(objcopy.empty()) << "objcopy not found (binutils)";
    ASSERT_FALSE(srecCat.empty()) << "srec_cat not found: run scripts/setup (package srecord)";

    struct Case {
        const char* name;
        std::string command;  // writes out.hex from a.bin and b.bin
        unsigned edits;
        std::uint32_t lowest;
        std::size_t longestRecord;
    };
    const std::vector<Case> cases{
        {"objcopy", "{objcopy} -I binary -O ihex a.bin out.hex", kNoEdit, 0, 16},
        {"objcopy at 0x1000 with a start record",
         "{objcopy} -I binary -O ihex --change-addresses 0x1000 a.bin out.hex", kNoEdit, 0x1000, 16},
        {"objcopy, lower case, CRLF", "{objcopy} -I binary -O ihex a.bin out.hex", kLowerCase | kCrLf,
         0, 16},
        {"srec_cat, 255-byte records",
         "{srec_cat} a.bin -binary -offset 0x100 -o out.hex -intel -Output_Block_Size=255", kNoEdit,
         0x100, 255},
        {"srec_cat, CRLF", "{srec_cat} a.bin -binary -offset 0x40 -o out.hex -intel -CRLF", kNoEdit,
         0x40, 32},
        {"srec_cat, two blocks with a gap",
         "{srec_cat} a.bin -binary b.bin -binary -offset 0x3000 -o out.hex -intel", kNoEdit, 0, 32},
        {"srec_cat, 16-bit addressing",
         "{srec_cat} a.bin -binary -offset 0x200 -o out.hex -intel -address-length=2 "
         "-execution-start-address=0x200",
         kNoEdit, 0x200, 32},
        {"srec_cat, start record, lower case, no final newline",
         "{srec_cat} a.bin -binary -o out.hex -intel -execution-start-address=0 "
         "-Output_Block_Size=200",
         kLowerCase | kNoFinalNewline, 0, 200},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir / "a.bin", randomBytes(8000, 1));
        writeFile(dir / "b.bin", randomBytes(700, 2));
        const std::string command =
            replaceAll(replaceAll(c.command, "{objcopy}", objcopy), "{srec_cat}", srecCat);
        ASSERT_EQ(runShell("cd '" + dir.path().string() + "' && " + command), 0) << command;
        writeFile(dir / "bulkloop.hex", applyEdits(readFile(dir / "out.hex"), c.edits));
        ASSERT_EQ(runShell(objcopy + " -I ihex -O binary '" + (dir / "bulkloop.hex").string() + "' '" +
                           (dir / "expected.bin").string() + "'"),
                  0);

        const std::filesystem::path candidates[] = {dir / "bulkloop.hex"};
        const FirmwareFile file = loadFirmwareFile(candidates);
        ASSERT_EQ(file.status, FirmwareFileStatus::Loaded) << file.problem;
        FakeTransport fake;
        fake.addDevice(0);
        ASSERT_TRUE(fake.open(0));
        ASSERT_EQ(downloadHexImage(fake, file.image, fake.recordingPause()).status,
                  DownloadStatus::Loaded);

        std::vector<testing::Transfer> records = fake.transfers();
        ASSERT_GE(records.size(), 3u);
        EXPECT_EQ(records.front().value, kCpuControlRegister);
        EXPECT_EQ(records.back().value, kCpuControlRegister);
        records.erase(records.end() - 1);
        records.erase(records.begin());
        std::size_t longest = 0;
        for (const auto& record : records) longest = std::max(longest, record.data.size());
        EXPECT_EQ(longest, c.longestRecord);

        const Image image = imageOf(records);
        EXPECT_EQ(image.lowest, c.lowest);
        EXPECT_TRUE(image.bytes == readFile(dir / "expected.bin"));
    }
}

}  // namespace
}  // namespace usbloader
