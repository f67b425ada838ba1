#include "hex_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "hex_records.h"

namespace usbloader {
namespace {

using testing::hexRecord;
using testing::kEndRecord;

const std::string kRecordAt10 = ":03001000AABBCCBC";  // AA BB CC to 0x0010

TEST(HexImage, AcceptsTheFormsToolsWrite) {
    struct Case {
        const char* name;
        std::string text;
    };
    const std::string lower = ":03001000aabbccbc";
    const std::vector<Case> cases{
        {"LF", kRecordAt10 + "\n" + kEndRecord + "\n"},
        {"CRLF", kRecordAt10 + "\r\n" + kEndRecord + "\r\n"},
        {"mixed line ends", kRecordAt10 + "\r\n" + kEndRecord + "\n"},
        {"no final newline", kRecordAt10 + "\n" + kEndRecord},
        {"lower-case digits", lower + "\n" + kEndRecord + "\n"},
        {"empty lines after the end", kRecordAt10 + "\n" + kEndRecord + "\n\r\n\n"},
        {"upper address 0 and start records",
         hexRecord(4, 0, {0, 0}) + "\n" + hexRecord(2, 0, {0, 0}) + "\n" + kRecordAt10 + "\n" +
             hexRecord(3, 0, {0, 0, 0x01, 0x00}) + "\n" + hexRecord(5, 0, {0, 0, 0, 0x10}) + "\n" +
             kEndRecord + "\n"},
        {"empty data record", hexRecord(0, 0x4000, {}) + "\n" + kRecordAt10 + "\n" + kEndRecord},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HexParseResult result = parseHexImage(c.text);
        ASSERT_EQ(result.error, HexError::None) << hexErrorText(result.error) << " line " << result.line;
        ASSERT_EQ(result.image.records.size(), 1u);
        EXPECT_EQ(result.image.records[0].address, 0x0010);
        EXPECT_EQ(result.image.records[0].data, (std::vector<std::uint8_t>{0xAA, 0xBB, 0xCC}));
    }
}

TEST(HexImage, KeepsRecordsInFileOrderUpToTheTopOfMemory) {
    std::vector<std::uint8_t> full(255);
    for (std::size_t i = 0; i < full.size(); ++i) full[i] = static_cast<std::uint8_t>(i);
    const std::string text = hexRecord(0, 0xFF01, full) + "\n" + hexRecord(0, 0x0000, {0x02}) +
                             "\n" + kEndRecord + "\n";
    const HexParseResult result = parseHexImage(text);
    ASSERT_EQ(result.error, HexError::None) << hexErrorText(result.error);
    ASSERT_EQ(result.image.records.size(), 2u);
    EXPECT_EQ(result.image.records[0].address, 0xFF01);
    EXPECT_EQ(result.image.records[0].data, full);
    EXPECT_EQ(result.image.records[1].address, 0x0000);
    EXPECT_EQ(result.image.records[1].data, std::vector<std::uint8_t>{0x02});
}

TEST(HexImage, RefusesDamagedFilesWithCauseAndLine) {
    struct Case {
        const char* name;
        std::string text;
        HexError error;
        std::size_t line;
    };
    const std::string end = kEndRecord + "\n";
    const std::vector<Case> cases{
        {"empty file", "", HexError::Empty, 0},
        {"over 1 MiB", std::string(kMaxHexFileSize + 1, '\n'), HexError::TooLarge, 0},
        {"no record mark", "03001000AABBCCBC\n" + end, HexError::MissingMark, 1},
        {"empty line inside", kRecordAt10 + "\n\n" + end, HexError::MissingMark, 2},
        {"only a line end", "\n", HexError::MissingMark, 1},
        {"bad digit", ":03001000AABBCG76\n" + end, HexError::BadDigit, 1},
        {"trailing blank", kRecordAt10 + " \n" + end, HexError::BadDigit, 1},
        {"NUL byte", kRecordAt10 + std::string(1, '\0') + "\n" + end, HexError::BadDigit, 1},
        {"too short", ":0000\n" + end, HexError::ShortRecord, 1},
        {"count larger than data", ":04001000AABBCC75\n" + end, HexError::LengthMismatch, 1},
        {"count smaller than data", ":02001000AABBCC77\n" + end, HexError::LengthMismatch, 1},
        {"record cut at end of file", kRecordAt10.substr(0, 12), HexError::LengthMismatch, 1},
        {"wrong checksum", ":03001000AABBCC00\n" + end, HexError::BadChecksum, 1},
        {"CR alone ends lines", kRecordAt10 + "\r" + kEndRecord + "\r", HexError::BadLineEnd, 1},
        {"CR before CR LF", kRecordAt10 + "\r\r\n" + end, HexError::BadLineEnd, 1},
        {"type 06", kRecordAt10 + "\n" + hexRecord(6, 0, {1}) + "\n" + end, HexError::UnknownType, 2},
        {"end record with data", kRecordAt10 + "\n" + hexRecord(1, 0, {0}) + "\n",
         HexError::BadEndRecord, 2},
        {"linear upper address 1", hexRecord(4, 0, {0, 1}) + "\n" + kRecordAt10 + "\n" + end,
         HexError::UpperAddress, 1},
        {"segment upper address 0x1000", hexRecord(2, 0, {0x10, 0}) + "\n" + kRecordAt10 + "\n" + end,
         HexError::UpperAddress, 1},
        {"extended address of one byte", hexRecord(4, 0, {0}) + "\n" + kRecordAt10 + "\n" + end,
         HexError::UpperAddress, 1},
        {"data past 0xFFFF", hexRecord(0, 0xFFFF, {1, 2}) + "\n" + end, HexError::AddressOverflow, 1},
        {"no end record", kRecordAt10 + "\n", HexError::MissingEnd, 0},
        {"record after end", kRecordAt10 + "\n" + end + kRecordAt10 + "\n", HexError::DataAfterEnd, 3},
        {"end record only", end, HexError::NoData, 0},
        {"only empty data records", hexRecord(0, 0x10, {}) + "\n" + end, HexError::NoData, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HexParseResult result = parseHexImage(c.text);
        EXPECT_EQ(result.error, c.error) << hexErrorText(result.error);
        EXPECT_EQ(result.line, c.line);
        EXPECT_TRUE(result.image.records.empty());
    }
}

TEST(HexImage, EveryErrorHasItsOwnText) {
    std::vector<std::string> texts;
    for (int code = static_cast<int>(HexError::None); code <= static_cast<int>(HexError::NoData); ++code) {
        const std::string text = hexErrorText(static_cast<HexError>(code));
        EXPECT_NE(text, "unknown error") << "code " << code;
        EXPECT_EQ(std::count(texts.begin(), texts.end(), text), 0) << text;
        texts.push_back(text);
    }
}

// Damaged copies of a valid file never crash the parser, and whatever it accepts
// stays inside the controller's memory.
TEST(HexImage, SurvivesRandomDamage) {
    std::string valid;
    for (std::uint16_t address = 0; address < 0x200; address += 0x40) {
        std::vector<std::uint8_t> data(0x40, static_cast<std::uint8_t>(address >> 4));
        valid += hexRecord(0, address, data) + "\r\n";
    }
    valid += kEndRecord + "\r\n";
    std::string alphabet = ":0123456789ABCDEFabcdefG\r\n ";
    alphabet += '\0';
    alphabet += '\xFF';
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text = valid;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 4) {
                case 0: text[at] = alphabet[random() % alphabet.size()]; break;
                case 1: text.erase(at, 1 + random() % 8); break;
                case 2: text.insert(at, 1, alphabet[random() % alphabet.size()]); break;
                default: text.resize(at); break;
            }
        }
        const HexParseResult result = parseHexImage(text);
        for (const auto& record : result.image.records) {
            ASSERT_FALSE(record.data.empty());
            ASSERT_LE(record.address + record.data.size(), 0x10000u);
        }
    }
}

}  // namespace
}  // namespace usbloader
