// Packed device-independent bitmaps: a BITMAPINFOHEADER (or the older
// 12-byte BITMAPCOREHEADER), its colour table and its pixel rows, bottom row
// first, in one block of bytes. Both programs keep palettes, photos and
// rendered images in this form; QImage appears only where a picture is
// painted or decoded.
//
// Every function takes the block as it is and reads it field by field; a
// block too short for what a function needs gives 0, false or an empty
// result, never a read past its end.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QRect>
#include <QVector>

#include <cstddef>
#include <cstdint>
#include <optional>

class QPainter;

namespace platform {

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::uint32_t kInfoHeaderSize = 40;
inline constexpr std::uint32_t kCoreHeaderSize = 12;
inline constexpr std::uint16_t kBmpSignature = 0x4D42; // "BM"

inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitfields = 3;

// The ten fields after biSize, as a BITMAPINFOHEADER holds them. A core
// header is widened into this form by GetDIBInfoHeader.
struct DibInfoHeader {
    std::uint32_t biSize = kInfoHeaderSize;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = kBiRgb;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

// True when the block starts with a 40-byte info header (its first DWORD is
// 40); any other block counts as a core header, as the original did.
bool IsInfoHeader(QByteArrayView dib);

std::int32_t DIBWidth(QByteArrayView dib);
std::int32_t DIBHeight(QByteArrayView dib);
// biClrUsed when non-zero, else 2, 16 or 256 for 1, 4 and 8 bits, else 0.
std::uint32_t DIBNumColors(QByteArrayView dib);
// Byte size of the colour table: colours x 4 (info header) or x 3 (core).
std::size_t PaletteSize(QByteArrayView dib);
// Offset of the pixel bits: header size + PaletteSize.
std::size_t FindDIBBits(QByteArrayView dib);

// Copies the header into out. For an info header, a zero biSizeImage becomes
// the computed image size and a zero biClrUsed becomes DIBNumColors. False
// for a block too short for its header.
bool GetDIBInfoHeader(QByteArrayView dib, DibInfoHeader* out);

// Bytes of one stored row: ((bit count x width + 31) / 32) x 4; 0 when the
// size would not fit in 32 bits.
std::uint32_t DibRowBytes(std::int64_t width, std::uint32_t bitCount);
// Rows x row bytes, 0 when it would not fit in 32 bits.
std::uint32_t DibImageBytes(std::int64_t width, std::int64_t height, std::uint32_t bitCount);

// Why a packed DIB cannot be drawn or converted.
enum class DibCheck {
    Ok,
    TooShort,      // shorter than its header or colour table
    BadSize,       // zero or negative width, zero height, or beyond kMaxDibSide
    BadFormat,     // a bit count or compression this code does not draw
    TruncatedBits, // the rows do not fit in the block
};
// Sides above this are refused (a camera picture is well under it).
inline constexpr std::int32_t kMaxDibSide = 32768;
// Pictures above this many pixels are refused.
inline constexpr std::int64_t kMaxDibPixels = std::int64_t(1) << 27;

DibCheck CheckDib(QByteArrayView dib);

// The colour table as QRgb values (opaque). Empty for a DIB of 16 bits or
// more without biClrUsed, or when the table does not fit in the block.
QVector<QRgb> CreateDIBPalette(QByteArrayView dib);

// The picture as an image (8-bit DIBs become indexed images, others
// RGB32). Null for any block CheckDib refuses; RLE rows are decoded.
QImage DibToImage(QByteArrayView dib);

// A packed DIB of an image: bitCount 0 keeps 8 bits for an indexed image of
// at most 256 colours and otherwise takes 24; 1, 4, 8 and 24 may be asked
// for (indexed depths need an indexed image). Empty for a null image.
QByteArray BitmapToDIB(const QImage& image, int bitCount = 0);

// A whole .bmp file of a packed DIB: "BM", bfSize, two reserved zero words,
// bfOffBits, then the DIB with biSizeImage set to the computed size (RLE
// DIBs keep theirs). Empty when the DIB is empty or too short.
QByteArray SaveDIB(QByteArrayView dib);

// The packed DIB inside a .bmp file: empty when the file header is short or
// its type is not "BM". The block is the file less its 14-byte header.
QByteArray ReadDIBFile(QByteArrayView bmpFile);

// Draws source rectangle src of the DIB into dest; src is in picture pixels
// with y down. Smooth scaling when the sizes differ. False for a DIB that
// CheckDib refuses.
bool PaintDIB(QPainter& painter, const QRect& dest, QByteArrayView dib, const QRect& src);

} // namespace platform
