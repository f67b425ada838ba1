// Palette files: a one-row, 256-pixel, 24-bit BMP whose pixels are the
// colours. Only the 768 pixel bytes at offset 54 are read; the header is not
// looked at (palettes in the field carry varied headers).
#pragma once

#include <array>
#include <cstdint>

namespace thermcore {

inline constexpr long kPaletteOffset = 54;
inline constexpr long kPaletteMinFileSize = kPaletteOffset + 768;  // 822

// Reads the palette: bytes receives the 768 stored bytes (blue, green, red
// per entry), entries entry i = b + g * 256 + r * 65536. -1 when the file
// cannot be opened or is shorter than 822 bytes (both arrays unchanged),
// else 0.
int readPaletteBmp(const char* path, std::array<uint8_t, 768>& bytes,
                   std::array<uint32_t, 256>& entries);

}  // namespace thermcore
