#include "platform/dib.h"

#include "picture_bytes.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {

using picture::fits;
using picture::getI32;
using picture::getU16;
using picture::getU32;
using picture::getU8;

bool IsInfoHeader(QByteArrayView dib)
{
    return fits(dib, 0, kInfoHeaderSize) && getU32(dib, 0) == kInfoHeaderSize;
}

namespace {

std::uint32_t headerSize(QByteArrayView dib) { return IsInfoHeader(dib) ? kInfoHeaderSize : kCoreHeaderSize; }

std::uint16_t bitCount(QByteArrayView dib) { return IsInfoHeader(dib) ? getU16(dib, 14) : getU16(dib, 10); }

std::uint32_t compression(QByteArrayView dib) { return IsInfoHeader(dib) ? getU32(dib, 16) : kBiRgb; }

} // namespace

std::int32_t DIBWidth(QByteArrayView dib)
{
    if (IsInfoHeader(dib))
        return getI32(dib, 4);
    return fits(dib, 0, kCoreHeaderSize) ? getU16(dib, 4) : 0;
}

std::int32_t DIBHeight(QByteArrayView dib)
{
    if (IsInfoHeader(dib))
        return getI32(dib, 8);
    return fits(dib, 0, kCoreHeaderSize) ? getU16(dib, 6) : 0;
}

std::uint32_t DIBNumColors(QByteArrayView dib)
{
    if (IsInfoHeader(dib)) {
        const std::uint32_t used = getU32(dib, 32);
        if (used != 0)
            return used;
    } else if (!fits(dib, 0, kCoreHeaderSize)) {
        return 0;
    }
    switch (bitCount(dib)) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

std::size_t PaletteSize(QByteArrayView dib)
{
    return std::size_t(DIBNumColors(dib)) * (IsInfoHeader(dib) ? 4 : 3);
}

std::size_t FindDIBBits(QByteArrayView dib)
{
    if (!fits(dib, 0, kCoreHeaderSize))
        return 0;
    return headerSize(dib) + PaletteSize(dib);
}

std::uint32_t DibRowBytes(std::int64_t width, std::uint32_t bits)
{
    if (width < 0)
        return 0;
    const std::int64_t bytes = (std::int64_t(bits) * width + 31) / 32 * 4;
    return bytes > 0xFFFFFFFFLL ? 0 : std::uint32_t(bytes);
}

std::uint32_t DibImageBytes(std::int64_t width, std::int64_t height, std::uint32_t bits)
{
    const std::int64_t rows = std::llabs(height);
    const std::int64_t total = std::int64_t(DibRowBytes(width, bits)) * rows;
    return total > 0xFFFFFFFFLL ? 0 : std::uint32_t(total);
}

bool GetDIBInfoHeader(QByteArrayView dib, DibInfoHeader* out)
{
    if (out == nullptr || !fits(dib, 0, kCoreHeaderSize))
        return false;
    DibInfoHeader h;
    if (IsInfoHeader(dib)) {
        h.biSize = kInfoHeaderSize;
        h.biWidth = getI32(dib, 4);
        h.biHeight = getI32(dib, 8);
        h.biPlanes = getU16(dib, 12);
        h.biBitCount = getU16(dib, 14);
        h.biCompression = getU32(dib, 16);
        h.biSizeImage = getU32(dib, 20);
        h.biXPelsPerMeter = getI32(dib, 24);
        h.biYPelsPerMeter = getI32(dib, 28);
        h.biClrUsed = getU32(dib, 32);
        h.biClrImportant = getU32(dib, 36);
        if (h.biSizeImage == 0)
            h.biSizeImage = DibImageBytes(h.biWidth, h.biHeight, h.biBitCount);
        if (h.biClrUsed == 0)
            h.biClrUsed = DIBNumColors(dib);
    } else {
        h.biSize = getU32(dib, 0);
        h.biWidth = getU16(dib, 4);
        h.biHeight = getU16(dib, 6);
        h.biPlanes = getU16(dib, 8);
        h.biBitCount = getU16(dib, 10);
    }
    *out = h;
    return true;
}

DibCheck CheckDib(QByteArrayView dib)
{
    if (!fits(dib, 0, kCoreHeaderSize))
        return DibCheck::TooShort;
    const std::uint32_t size = getU32(dib, 0);
    if (size == kInfoHeaderSize && !IsInfoHeader(dib))
        return DibCheck::TooShort;
    if (size != kInfoHeaderSize && size != kCoreHeaderSize)
        return DibCheck::BadFormat; // the later header versions are converted on load
    const std::int64_t width = DIBWidth(dib);
    const std::int64_t height = DIBHeight(dib);
    if (width <= 0 || height == 0 || width > kMaxDibSide || std::llabs(height) > kMaxDibSide ||
        width * std::llabs(height) > kMaxDibPixels)
        return DibCheck::BadSize;
    const std::uint16_t bits = bitCount(dib);
    const std::uint32_t comp = compression(dib);
    const bool rle = (comp == kBiRle8 && bits == 8) || (comp == kBiRle4 && bits == 4);
    const bool fields = comp == kBiBitfields && (bits == 16 || bits == 32);
    const bool plain = comp == kBiRgb && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    if (!(rle || fields || plain) || (rle && height < 0))
        return DibCheck::BadFormat;
    if (bits <= 8 && DIBNumColors(dib) > 256)
        return DibCheck::BadFormat;
    std::size_t bitsAt = FindDIBBits(dib);
    if (fields)
        bitsAt += 12; // three colour masks follow the header
    if (!fits(dib, 0, bitsAt))
        return DibCheck::TooShort;
    if (!rle && !fits(dib, bitsAt, DibImageBytes(width, height, bits)))
        return DibCheck::TruncatedBits;
    return DibCheck::Ok;
}

QVector<QRgb> CreateDIBPalette(QByteArrayView dib)
{
    const std::uint32_t n = DIBNumColors(dib);
    const std::size_t entry = IsInfoHeader(dib) ? 4 : 3;
    const std::size_t at = fits(dib, 0, kCoreHeaderSize) ? headerSize(dib) : 0;
    QVector<QRgb> colours;
    if (n == 0 || n > 256 || !fits(dib, at, std::size_t(n) * entry))
        return colours;
    colours.reserve(int(n));
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::size_t p = at + i * entry;
        colours.append(qRgb(getU8(dib, p + 2), getU8(dib, p + 1), getU8(dib, p)));
    }
    return colours;
}

namespace {

// Decodes RLE8 or RLE4 rows into an indexed image (row 0 of the data is the
// bottom row). Damaged streams stop decoding; what was decoded stays.
void decodeRle(QByteArrayView data, bool four, QImage& image)
{
    const int w = image.width();
    const int h = image.height();
    int x = 0;
    int y = 0; // counted from the bottom
    std::size_t p = 0;
    auto put = [&](int index) {
        if (x < w && y < h)
            image.scanLine(h - 1 - y)[x] = uchar(index);
        ++x;
    };
    while (fits(data, p, 2) && y < h) {
        const int count = getU8(data, p);
        const int value = getU8(data, p + 1);
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of picture
            return;
        } else if (value == 2) { // delta
            if (!fits(data, p, 2))
                return;
            x += getU8(data, p);
            y += getU8(data, p + 1);
            p += 2;
        } else { // absolute run of value pixels, padded to a word
            const std::size_t bytes = four ? std::size_t(value + 1) / 2 : std::size_t(value);
            if (!fits(data, p, bytes))
                return;
            for (int i = 0; i < value; ++i) {
                const int b = getU8(data, p + (four ? std::size_t(i / 2) : std::size_t(i)));
                put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            p += (bytes + 1) & ~std::size_t(1);
        }
    }
}

int maskShift(std::uint32_t mask)
{
    int s = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++s;
    }
    return s;
}

int maskBits(std::uint32_t mask)
{
    mask >>= maskShift(mask);
    int n = 0;
    while (mask & 1) {
        mask >>= 1;
        ++n;
    }
    return n;
}

int channel(std::uint32_t pixel, std::uint32_t mask)
{
    const int bits = maskBits(mask);
    if (bits == 0)
        return 0;
    const std::uint32_t v = (pixel & mask) >> maskShift(mask);
    return int(v * 255 / ((1u << bits) - 1));
}

} // namespace

QImage DibToImage(QByteArrayView dib)
{
    if (CheckDib(dib) != DibCheck::Ok)
        return {};
    const int width = DIBWidth(dib);
    const int rawHeight = DIBHeight(dib);
    const int height = std::abs(rawHeight);
    const bool bottomUp = rawHeight > 0;
    const std::uint16_t bits = bitCount(dib);
    const std::uint32_t comp = compression(dib);
    std::size_t bitsAt = FindDIBBits(dib);

    if (bits <= 8) {
        QImage image(width, height, QImage::Format_Indexed8);
        if (image.isNull())
            return {};
        QVector<QRgb> colours = CreateDIBPalette(dib);
        colours.resize(256, qRgb(0, 0, 0)); // an index past the table draws black
        image.setColorTable(colours);
        image.fill(0);
        const QByteArrayView data = dib.sliced(qsizetype(bitsAt));
        if (comp == kBiRle8 || comp == kBiRle4) {
            decodeRle(data, comp == kBiRle4, image);
            return image;
        }
        const std::uint32_t stride = DibRowBytes(width, bits);
        for (int row = 0; row < height; ++row) {
            const std::size_t at = std::size_t(row) * stride;
            uchar* line = image.scanLine(bottomUp ? height - 1 - row : row);
            for (int x = 0; x < width; ++x) {
                if (bits == 8) {
                    line[x] = getU8(data, at + std::size_t(x));
                } else if (bits == 4) {
                    const int b = getU8(data, at + std::size_t(x / 2));
                    line[x] = uchar((x & 1) ? (b & 0x0F) : (b >> 4));
                } else {
                    const int b = getU8(data, at + std::size_t(x / 8));
                    line[x] = uchar((b >> (7 - (x & 7))) & 1);
                }
            }
        }
        return image;
    }

    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (comp == kBiBitfields) {
        for (int i = 0; i < 3; ++i)
            masks[i] = getU32(dib, bitsAt + std::size_t(4 * i));
        bitsAt += 12;
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const std::uint32_t stride = DibRowBytes(width, bits);
    for (int row = 0; row < height; ++row) {
        const std::size_t at = bitsAt + std::size_t(row) * stride;
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(bottomUp ? height - 1 - row : row));
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                const std::size_t p = at + std::size_t(x) * 3;
                line[x] = qRgb(getU8(dib, p + 2), getU8(dib, p + 1), getU8(dib, p));
            } else {
                const std::uint32_t pixel =
                    bits == 16 ? getU16(dib, at + std::size_t(x) * 2) : getU32(dib, at + std::size_t(x) * 4);
                line[x] = qRgb(channel(pixel, masks[0]), channel(pixel, masks[1]), channel(pixel, masks[2]));
            }
        }
    }
    return image;
}

QByteArray BitmapToDIB(const QImage& source, int bits)
{
    if (source.isNull())
        return {};
    if (bits == 0)
        bits = (source.format() == QImage::Format_Indexed8 && source.colorCount() <= 256) ? 8 : 24;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return {};
    const int width = source.width();
    const int height = source.height();
    QImage image;
    QVector<QRgb> colours;
    if (bits <= 8) {
        image = source.format() == QImage::Format_Indexed8 ? source : source.convertToFormat(QImage::Format_Indexed8);
        colours = image.colorTable();
        if (colours.size() > (1 << bits))
            return {};
        if (colours.isEmpty())
            colours.append(qRgb(0, 0, 0));
    } else {
        image = source.convertToFormat(QImage::Format_RGB32);
    }
    const std::uint32_t stride = DibRowBytes(width, std::uint32_t(bits));
    const std::uint32_t imageBytes = DibImageBytes(width, height, std::uint32_t(bits));
    if (imageBytes == 0)
        return {};

    QByteArray dib;
    dib.reserve(qsizetype(kInfoHeaderSize + colours.size() * 4 + imageBytes));
    picture::putU32(dib, kInfoHeaderSize);
    picture::putU32(dib, std::uint32_t(width));
    picture::putU32(dib, std::uint32_t(height));
    picture::putU16(dib, 1);
    picture::putU16(dib, std::uint16_t(bits));
    picture::putU32(dib, kBiRgb);
    picture::putU32(dib, imageBytes);
    picture::putU32(dib, 3780); // 96 dpi
    picture::putU32(dib, 3780);
    // A short colour table is named by biClrUsed; a full one by the depth.
    picture::putU32(dib, colours.size() < (1 << bits) ? std::uint32_t(colours.size()) : 0);
    picture::putU32(dib, 0);
    for (QRgb c : colours) {
        picture::putU8(dib, std::uint8_t(qBlue(c)));
        picture::putU8(dib, std::uint8_t(qGreen(c)));
        picture::putU8(dib, std::uint8_t(qRed(c)));
        picture::putU8(dib, 0);
    }
    const qsizetype bitsAt = dib.size();
    dib.resize(bitsAt + qsizetype(imageBytes), '\0');
    for (int row = 0; row < height; ++row) {
        uchar* out = reinterpret_cast<uchar*>(dib.data()) + bitsAt + qsizetype(row) * stride;
        const uchar* in = image.constScanLine(height - 1 - row);
        if (bits == 24) {
            const QRgb* px = reinterpret_cast<const QRgb*>(in);
            for (int x = 0; x < width; ++x) {
                out[3 * x] = uchar(qBlue(px[x]));
                out[3 * x + 1] = uchar(qGreen(px[x]));
                out[3 * x + 2] = uchar(qRed(px[x]));
            }
        } else if (bits == 8) {
            std::memcpy(out, in, std::size_t(width));
        } else {
            const int perByte = 8 / bits;
            for (int x = 0; x < width; ++x) {
                const int shift = 8 - bits * (1 + x % perByte);
                out[x / perByte] = uchar(out[x / perByte] | (in[x] << shift));
            }
        }
    }
    return dib;
}

QByteArray SaveDIB(QByteArrayView dib)
{
    if (!fits(dib, 0, kCoreHeaderSize))
        return {};
    QByteArray header(dib.data(), dib.size());
    const std::uint32_t hsize = headerSize(dib);
    const std::size_t palette = PaletteSize(dib);
    if (!fits(dib, 0, hsize + palette))
        return {};
    std::uint32_t imageBytes = 0;
    if (IsInfoHeader(dib)) {
        const std::uint32_t comp = compression(dib);
        if (comp == kBiRle8 || comp == kBiRle4) {
            imageBytes = getU32(dib, 20);
        } else {
            imageBytes = DibImageBytes(DIBWidth(dib), DIBHeight(dib), bitCount(dib));
            picture::setU32(header, 20, imageBytes);
        }
    } else {
        imageBytes = DibImageBytes(DIBWidth(dib), DIBHeight(dib), bitCount(dib));
    }
    const std::uint64_t offBits = kBmpFileHeaderSize + hsize + palette;
    const std::uint64_t fileSize = offBits + imageBytes;
    if (fileSize > 0xFFFFFFFFULL)
        return {};
    QByteArray file;
    file.reserve(qsizetype(kBmpFileHeaderSize) + header.size());
    picture::putU16(file, kBmpSignature);
    picture::putU32(file, std::uint32_t(fileSize));
    picture::putU16(file, 0);
    picture::putU16(file, 0);
    picture::putU32(file, std::uint32_t(offBits));
    file.append(header);
    return file;
}

QByteArray ReadDIBFile(QByteArrayView bmpFile)
{
    if (!fits(bmpFile, 0, kBmpFileHeaderSize) || getU16(bmpFile, 0) != kBmpSignature)
        return {};
    return bmpFile.sliced(qsizetype(kBmpFileHeaderSize)).toByteArray();
}

bool PaintDIB(QPainter& painter, const QRect& dest, QByteArrayView dib, const QRect& src)
{
    const QImage image = DibToImage(dib);
    if (image.isNull())
        return false;
    const bool same = dest.width() == src.width() && dest.height() == src.height();
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !same);
    painter.drawImage(dest, image, src);
    painter.restore();
    return true;
}

} // namespace platform
