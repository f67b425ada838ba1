// PCX files: version 5 run-length coded pictures of 1, 2, 4 or 8 bits per
// plane. Read: 8 bits in one plane with the 256-colour table at the end (or
// gray without it), 8 bits in three or four planes (true colour), and the
// 16-colour forms (1 bit in four planes, 4 bits in one plane, 1 and 2 bits
// in one plane) with the header's colour table. Written: 8 bits in one plane
// for an indexed picture, else three planes.
#include "picture_library.h"

#include "picture_bytes.h"
#include "platform/dib.h"

#include <vector>

namespace platform::picture {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kTrailerSize = 769; // 0x0C, then 256 x RGB

} // namespace

QImage DecodePcx(QByteArrayView f, int* error)
{
    *error = CDibImage::kPicErrorMalformed;
    if (!fits(f, 0, kHeaderSize) || getU8(f, 0) != 0x0A)
        return {};
    const int encoding = getU8(f, 2);
    const int bits = getU8(f, 3);
    const int xmin = getU16(f, 4), ymin = getU16(f, 6), xmax = getU16(f, 8), ymax = getU16(f, 10);
    const int planes = getU8(f, 65);
    const std::size_t bytesPerLine = getU16(f, 66);
    if (xmax < xmin || ymax < ymin)
        return {};
    const int width = xmax - xmin + 1;
    const int height = ymax - ymin + 1;
    if (qint64(width) * height > kMaxDibPixels) {
        *error = CDibImage::kPicErrorTooLarge;
        return {};
    }
    const bool palette8 = bits == 8 && planes == 1;
    const bool rgb = bits == 8 && (planes == 3 || planes == 4);
    const bool planar16 = bits == 1 && planes == 4;
    const bool packed = (bits == 1 || bits == 2 || bits == 4) && planes == 1;
    if (!(palette8 || rgb || planar16 || packed)) {
        *error = CDibImage::kPicErrorUnknown;
        return {};
    }
    if (bytesPerLine * 8 < std::size_t(width) * std::size_t(bits) || bytesPerLine == 0)
        return {};

    // The whole run-length stream; a run may cross the end of a line.
    const std::size_t lineBytes = bytesPerLine * std::size_t(planes);
    const std::size_t total = lineBytes * std::size_t(height);
    std::vector<std::uint8_t> data(total);
    std::size_t in = kHeaderSize;
    std::size_t out = 0;
    while (out < total) {
        if (!fits(f, in, 1))
            return {}; // truncated
        std::uint8_t value = getU8(f, in++);
        std::size_t count = 1;
        if (encoding == 1 && (value & 0xC0) == 0xC0) {
            count = value & 0x3F;
            if (!fits(f, in, 1))
                return {};
            value = getU8(f, in++);
        }
        for (; count > 0 && out < total; --count)
            data[out++] = value;
    }

    QVector<QRgb> colours;
    if (palette8) {
        const std::size_t at = std::size_t(f.size()) >= kHeaderSize + kTrailerSize ? std::size_t(f.size()) - kTrailerSize : 0;
        if (at >= in && getU8(f, at) == 0x0C) {
            for (int i = 0; i < 256; ++i)
                colours.append(qRgb(getU8(f, at + 1 + 3 * std::size_t(i)), getU8(f, at + 2 + 3 * std::size_t(i)),
                                    getU8(f, at + 3 + 3 * std::size_t(i))));
        } else {
            for (int i = 0; i < 256; ++i)
                colours.append(qRgb(i, i, i));
        }
    } else if (!rgb) {
        for (int i = 0; i < 16; ++i)
            colours.append(qRgb(getU8(f, 16 + 3 * std::size_t(i)), getU8(f, 17 + 3 * std::size_t(i)),
                                getU8(f, 18 + 3 * std::size_t(i))));
        if (bits == 1 && planes == 1)
            colours = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        colours.resize(256, qRgb(0, 0, 0));
    }

    QImage image(width, height, rgb ? QImage::Format_RGB32 : QImage::Format_Indexed8);
    if (image.isNull()) {
        *error = CDibImage::kPicErrorTooLarge;
        return {};
    }
    if (!rgb)
        image.setColorTable(colours);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = data.data() + std::size_t(y) * lineBytes;
        uchar* dst = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            if (rgb) {
                reinterpret_cast<QRgb*>(dst)[x] = qRgb(line[x], line[bytesPerLine + std::size_t(x)],
                                                       line[2 * bytesPerLine + std::size_t(x)]);
            } else if (palette8) {
                dst[x] = line[x];
            } else if (planar16) {
                int index = 0;
                for (int p = 0; p < 4; ++p)
                    index |= ((line[std::size_t(p) * bytesPerLine + std::size_t(x / 8)] >> (7 - (x & 7))) & 1) << p;
                dst[x] = uchar(index);
            } else {
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (1 + x % perByte);
                dst[x] = uchar((line[x / perByte] >> shift) & ((1 << bits) - 1));
            }
        }
    }
    *error = CDibImage::kPicErrorNone;
    return image;
}

namespace {

void putRuns(QByteArray& out, const std::uint8_t* row, std::size_t n)
{
    std::size_t i = 0;
    while (i < n) {
        std::size_t run = 1;
        while (i + run < n && run < 63 && row[i + run] == row[i])
            ++run;
        if (run > 1 || (row[i] & 0xC0) == 0xC0)
            putU8(out, std::uint8_t(0xC0 | run));
        putU8(out, row[i]);
        i += run;
    }
}

} // namespace

QByteArray EncodePcx(const QImage& source)
{
    if (source.isNull() || source.width() > 0xFFFF || source.height() > 0xFFFF)
        return {};
    const bool indexed = source.format() == QImage::Format_Indexed8 && source.colorCount() <= 256;
    const QImage image = indexed ? source : source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const std::size_t bytesPerLine = (std::size_t(width) + 1) & ~std::size_t(1);
    const int planes = indexed ? 1 : 3;

    QByteArray out;
    putU8(out, 0x0A);
    putU8(out, 5);
    putU8(out, 1);
    putU8(out, 8);
    putU16(out, 0);
    putU16(out, 0);
    putU16(out, std::uint16_t(width - 1));
    putU16(out, std::uint16_t(height - 1));
    putU16(out, 96);
    putU16(out, 96);
    out.append(48, '\0');
    putU8(out, 0);
    putU8(out, std::uint8_t(planes));
    putU16(out, std::uint16_t(bytesPerLine));
    putU16(out, 1);
    out.append(int(kHeaderSize) - out.size(), '\0');

    std::vector<std::uint8_t> line(bytesPerLine * std::size_t(planes));
    for (int y = 0; y < height; ++y) {
        std::fill(line.begin(), line.end(), 0);
        const uchar* src = image.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (indexed) {
                line[std::size_t(x)] = src[x];
            } else {
                const QRgb c = reinterpret_cast<const QRgb*>(src)[x];
                line[std::size_t(x)] = std::uint8_t(qRed(c));
                line[bytesPerLine + std::size_t(x)] = std::uint8_t(qGreen(c));
                line[2 * bytesPerLine + std::size_t(x)] = std::uint8_t(qBlue(c));
            }
        }
        for (int p = 0; p < planes; ++p)
            putRuns(out, line.data() + std::size_t(p) * bytesPerLine, bytesPerLine);
    }
    if (indexed) {
        putU8(out, 0x0C);
        QVector<QRgb> colours = image.colorTable();
        colours.resize(256, qRgb(0, 0, 0));
        for (QRgb c : colours) {
            putU8(out, std::uint8_t(qRed(c)));
            putU8(out, std::uint8_t(qGreen(c)));
            putU8(out, std::uint8_t(qBlue(c)));
        }
    }
    return out;
}

} // namespace platform::picture
