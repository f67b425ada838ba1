#include "hex_image.h"

#include <array>
#include <utility>

namespace usbloader {
namespace {

constexpr std::size_t kRecordOverhead = 11;  // ':' count(2) address(4) type(2) checksum(2)
constexpr std::uint32_t kAddressSpace = 0x10000;

enum RecordType : std::uint8_t {
    kData = 0x00,
    kEnd = 0x01,
    kExtendedSegment = 0x02,
    kStartSegment = 0x03,
    kExtendedLinear = 0x04,
    kStartLinear = 0x05,
};

constexpr std::array<std::pair<HexError, const char*>, 16> kErrorTexts{{
    {HexError::None, "no error"},
    {HexError::Empty, "the file is empty"},
    {HexError::TooLarge, "the file is larger than 1 MiB"},
    {HexError::MissingMark, "a record does not start with ':'"},
    {HexError::BadDigit, "a character of a record is not a hexadecimal digit"},
    {HexError::ShortRecord, "a record is too short"},
    {HexError::LengthMismatch, "a record's length does not match its byte count"},
    {HexError::BadChecksum, "a record's checksum is wrong"},
    {HexError::BadLineEnd, "a line ends in CR without LF"},
    {HexError::UnknownType, "a record has an unknown type"},
    {HexError::BadEndRecord, "the end record carries data"},
    {HexError::UpperAddress, "an extended address record sets a non-zero upper address"},
    {HexError::AddressOverflow, "a record's data runs past address 0xFFFF"},
    {HexError::MissingEnd, "the end record is missing"},
    {HexError::DataAfterEnd, "text follows the end record"},
    {HexError::NoData, "the file holds no data"},
}};

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte at digit pair `index` after the ':'; the digits are checked already.
std::uint8_t byteAt(std::string_view record, std::size_t index) {
    return static_cast<std::uint8_t>(hexValue(record[1 + 2 * index]) * 16 +
                                     hexValue(record[2 + 2 * index]));
}

struct Parser {
    HexImage image;
    bool ended = false;

    // Checks one line (without its line end) and takes its data.
    HexError take(std::string_view line) {
        if (ended) return line.empty() ? HexError::None : HexError::DataAfterEnd;
        if (line.empty() || line[0] != ':') return HexError::MissingMark;
        for (std::size_t i = 1; i < line.size(); ++i) {
            if (hexValue(line[i]) < 0) return line[i] == '\r' ? HexError::BadLineEnd : HexError::BadDigit;
        }
        if (line.size() < kRecordOverhead) return HexError::ShortRecord;
        const std::size_t count = byteAt(line, 0);
        if (line.size() != kRecordOverhead + 2 * count) return HexError::LengthMismatch;

        std::uint8_t sum = 0;
        for (std::size_t i = 0; i < count + 5; ++i) sum = static_cast<std::uint8_t>(sum + byteAt(line, i));
        if (sum != 0) return HexError::BadChecksum;

        const auto address = static_cast<std::uint16_t>(byteAt(line, 1) << 8 | byteAt(line, 2));
        switch (byteAt(line, 3)) {
            case kData: {
                if (address + count > kAddressSpace) return HexError::AddressOverflow;
                if (count == 0) return HexError::None;
                HexRecord record{address, std::vector<std::uint8_t>(count)};
                for (std::size_t i = 0; i < count; ++i) record.data[i] = byteAt(line, 4 + i);
                image.records.push_back(std::move(record));
                return HexError::None;
            }
            case kEnd:
                if (count != 0) return HexError::BadEndRecord;
                ended = true;
                return HexError::None;
            case kExtendedSegment:
            case kExtendedLinear:
                if (count != 2 || byteAt(line, 4) != 0 || byteAt(line, 5) != 0) {
                    return HexError::UpperAddress;
                }
                return HexError::None;
            case kStartSegment:
            case kStartLinear:
                return HexError::None;
            default:
                return HexError::UnknownType;
        }
    }
};

}  // namespace

const char* hexErrorText(HexError error) {
    for (const auto& [code, text] : kErrorTexts) {
        if (code == error) return text;
    }
    return "unknown error";
}

HexParseResult parseHexImage(std::string_view text) {
    if (text.size() > kMaxHexFileSize) return {HexError::TooLarge, 0, {}};
    if (text.empty()) return {HexError::Empty, 0, {}};

    Parser parser;
    std::size_t lineNumber = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        ++lineNumber;
        const std::size_t newline = text.find('\n', pos);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        std::string_view line = text.substr(pos, end - pos);
        if (newline != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (const HexError error = parser.take(line); error != HexError::None) {
            return {error, lineNumber, {}};
        }
        pos = newline == std::string_view::npos ? text.size() : newline + 1;
    }
    if (!parser.ended) return {HexError::MissingEnd, 0, {}};
    if (parser.image.records.empty()) return {HexError::NoData, 0, {}};
    return {HexError::None, 0, std::move(parser.image)};
}

}  // namespace usbloader
