// Palettes from BMP files: 256 RGBQUAD entries (blue, green, red, 0) each,
// taken from the first stored row of an 8-bit or 24-bit picture.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

inline constexpr int kPaletteEntries = 256;
inline constexpr int kPaletteBytes = kPaletteEntries * 4;


enum class PaletteLoad {
    Loaded,
    FileMissing, // the message "palette file not found" was shown
    Unusable,    // not an 8-bit or a wide enough 24-bit picture; unchanged
};

// Fills destination (kPaletteBytes) from programDir/fileName. The index is
// not used.
PaletteLoad LoadPaletteBmp(int index, std::uint8_t* destination, const QString& fileName, const QString& programDir);

// The same from a packed DIB already read.
bool PaletteFromDib(const QByteArray& dib, std::uint8_t* destination);

// The palette table of a program folder's field.ini ([COMMON] PalletteNum,
// files under [FILENAME] keyPrefix1..n): count x kPaletteBytes, a palette
// whose file is missing or unusable left black and its path added to
// missing. Empty when field.ini names no palette. No message is shown
// (tools).
QByteArray LoadPaletteTable(const QString& programDir, const QString& keyPrefix, QStringList* missing);
