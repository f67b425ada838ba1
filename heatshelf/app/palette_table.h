// The browser's ten palettes: 256 entries of (blue, green, red, 0) each,
// palette n (0..9) taken from "nruler<n+1>.bmp" in the program folder.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace heatshelf {

inline constexpr int kPaletteCount = 10;
inline constexpr int kPaletteEntries = 256;
inline constexpr int kPaletteBytes = kPaletteEntries * 4;

// The palette of a packed DIB into entries (kPaletteBytes). 8 bits: the
// first stored row sampled at column trunc(i x width / 256) for i = 0..255,
// entry 255 - i; 24 bits: the first 256 pixels of the pixel data in order
// (a narrower bitmap reads on into the next rows). Only uncompressed
// bitmaps count; what the pixel data does not reach stays zero, and pixel
// values beyond the colour table give black. False (entries untouched)
// for anything else.
bool PaletteFromDib(const QByteArray& dib, std::uint8_t* entries);

class PaletteTable {
public:
    PaletteTable() { Clear(); }

    void Clear() { m_bytes.fill(0); }
    // Palette file n (1..10) of folder into palette n - 1. A file that
    // cannot be read shows "没有找到色标文件" once and leaves the palette as
    // it was; false then and for a bitmap that is no palette.
    bool LoadPalette(int n, const QString& folder);

    const std::uint8_t* Palette(int index) const { return m_bytes.data() + index * kPaletteBytes; }
    QByteArray Bytes() const { return QByteArray(reinterpret_cast<const char*>(m_bytes.data()), int(m_bytes.size())); }

private:
    std::array<std::uint8_t, kPaletteCount * kPaletteBytes> m_bytes;
};

} // namespace heatshelf
