// Fuzz target: the reader of firmware HEX files. Whatever the bytes, a file
// is either refused with an error and a line within the file, or accepted
// with data records that are not empty, lie below 0x10000 and hold bytes
// that a record of the text carries.
#include "hex_image.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const usbloader::HexParseResult result = usbloader::parseHexImage(text);
    Check(usbloader::hexErrorText(result.error) != nullptr);
    std::size_t lines = 1;
    for (char c : text)
        lines += c == '\n' ? 1 : 0;
    Check(result.line <= lines);
    if (result.error != usbloader::HexError::None) {
        Check(result.image.records.empty());
        return 0;
    }
    Check(!result.image.records.empty());
    std::size_t bytes = 0;
    for (const usbloader::HexRecord& r : result.image.records) {
        Check(!r.data.empty() && r.data.size() <= 255);
        Check(std::size_t(r.address) + r.data.size() <= 0x10000);
        bytes += r.data.size();
    }
    // Each data byte takes two characters of the text.
    Check(bytes * 2 <= size);
    return 0;
}
