// Intel HEX firmware images for the card reader's EZ-USB controller.
//
// The whole file is checked before anything reaches the device; any damage
// refuses the file:
//  - at most kMaxHexFileSize bytes; an empty file is refused;
//  - every line is one record: ':', then hex digits of either case, a byte count
//    of 0..255 and exactly 11 + 2 * count characters; the checksum must match;
//  - lines end in LF or CR LF; the last line may lack its line end;
//  - type 00 is data, 01 the end record (required, no data, nothing but empty
//    lines after it), 02 and 04 are accepted only with an upper address of 0
//    (the controller has a 16-bit address space), 03 and 05 (start addresses)
//    are ignored; any other type is refused;
//  - data must lie below 0x10000, and the file must hold at least one data byte.
#ifndef USBLOADER_HEX_IMAGE_H
#define USBLOADER_HEX_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace usbloader {

inline constexpr std::size_t kMaxHexFileSize = std::size_t{1} << 20;

enum class HexError {
    None,
    Empty,            // the file has no bytes
    TooLarge,         // longer than kMaxHexFileSize
    MissingMark,      // a line does not start with ':'
    BadDigit,         // a character after ':' is not a hex digit
    ShortRecord,      // fewer than the 11 characters of an empty record
    LengthMismatch,   // the line is not 11 + 2 * byte count characters long
    BadChecksum,      // the bytes of the record do not add up to 0
    BadLineEnd,       // a CR that does not end the line
    UnknownType,      // a record type other than 00 to 05
    BadEndRecord,     // an end record that carries data
    UpperAddress,     // a type 02 or 04 record that is not two bytes of 0
    AddressOverflow,  // data beyond address 0xFFFF
    MissingEnd,       // no end record
    DataAfterEnd,     // a record or text after the end record
    NoData,           // a valid file without a single data byte
};

// A fixed English text for every error.
const char* hexErrorText(HexError error);

// One data record: its bytes go to the controller's memory at its address.
struct HexRecord {
    std::uint16_t address = 0;
    std::vector<std::uint8_t> data;
};

struct HexImage {
    std::vector<HexRecord> records;  // data records in file order, none empty
};

struct HexParseResult {
    HexError error = HexError::None;
    std::size_t line = 0;  // 1-based line of the error; 0 for the whole file
    HexImage image;        // empty unless error is None
};

// Parses and checks a whole file.
HexParseResult parseHexImage(std::string_view text);

}  // namespace usbloader

#endif
