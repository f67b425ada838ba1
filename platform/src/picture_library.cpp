#include "picture_library.h"

#include "picture_bytes.h"
#include "platform/dib.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

namespace platform::picture {

int DetectFileType(QByteArrayView f)
{
    if (f.size() >= 2 && getU16(f, 0) == kBmpSignature)
        return CDibImage::kTypeBmp;
    if (f.startsWith("GIF87a") || f.startsWith("GIF89a"))
        return CDibImage::kTypeGif;
    if (f.size() >= 3 && getU8(f, 0) == 0xFF && getU8(f, 1) == 0xD8 && getU8(f, 2) == 0xFF)
        return CDibImage::kTypeJpg;
    if (f.startsWith("II*\0") || f.startsWith("MM\0*"))
        return CDibImage::kTypeTif;
    // PCX: manufacturer 10, a known version, encoding 0 or 1, a sane depth.
    if (f.size() >= 128 && getU8(f, 0) == 0x0A && getU8(f, 1) <= 5 && getU8(f, 2) <= 1) {
        const int bits = getU8(f, 3);
        if (bits == 1 || bits == 2 || bits == 4 || bits == 8)
            return CDibImage::kTypePcx;
    }
    // TGA has no signature: uncompressed or RLE true-colour or colour-mapped
    // with a plausible header.
    if (f.size() >= 18) {
        const int mapType = getU8(f, 1);
        const int kind = getU8(f, 2);
        const int depth = getU8(f, 16);
        const bool knownKind = kind == 1 || kind == 2 || kind == 3 || kind == 9 || kind == 10 || kind == 11;
        if (mapType <= 1 && knownKind && (depth == 8 || depth == 16 || depth == 24 || depth == 32) &&
            getU16(f, 12) > 0 && getU16(f, 14) > 0)
            return CDibImage::kTypeTga;
    }
    return CDibImage::kTypeNone;
}

QByteArray ImageToPicture(const QImage& image)
{
    return SaveDIB(BitmapToDIB(image));
}

bool JpegIsComplete(QByteArrayView f)
{
    if (f.size() < 4 || getU8(f, 0) != 0xFF || getU8(f, 1) != 0xD8)
        return false;
    std::size_t p = 2;
    const std::size_t n = std::size_t(f.size());
    bool sawScan = false;
    while (p + 1 < n) {
        if (getU8(f, p) != 0xFF)
            return false;
        const int marker = getU8(f, p + 1);
        p += 2;
        if (marker == 0xFF) { // fill byte
            --p;
            continue;
        }
        if (marker == 0xD9)
            return sawScan;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a length
        if (!fits(f, p, 2))
            return false;
        const std::size_t length = std::size_t(getU8(f, p)) << 8 | getU8(f, p + 1); // big-endian
        if (length < 2 || !fits(f, p, length))
            return false;
        p += length;
        if (marker != 0xDA)
            continue;
        // Entropy-coded data runs to the next marker that is neither a
        // stuffed zero nor a restart marker.
        sawScan = true;
        while (p + 1 < n) {
            if (getU8(f, p) == 0xFF) {
                const int next = getU8(f, p + 1);
                if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7))
                    break;
            }
            ++p;
        }
    }
    return false;
}

QSize JpegFrameSize(QByteArrayView f)
{
    if (f.size() < 4 || getU8(f, 0) != 0xFF || getU8(f, 1) != 0xD8)
        return {};
    std::size_t p = 2;
    const std::size_t n = std::size_t(f.size());
    while (p + 1 < n) {
        if (getU8(f, p) != 0xFF)
            return {};
        const int marker = getU8(f, p + 1);
        p += 2;
        if (marker == 0xFF) { // fill byte
            --p;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a length
        if (marker == 0xD9 || marker == 0xDA || !fits(f, p, 2))
            return {}; // no frame before the image data
        const std::size_t length = std::size_t(getU8(f, p)) << 8 | getU8(f, p + 1); // big-endian
        if (length < 2 || !fits(f, p, length))
            return {};
        // SOF0 to SOF15 but DHT (C4), JPG (C8) and DAC (CC): precision,
        // height, width.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (length < 7)
                return {};
            const int height = getU8(f, p + 3) << 8 | getU8(f, p + 4);
            const int width = getU8(f, p + 5) << 8 | getU8(f, p + 6);
            return {width, height};
        }
        p += length;
    }
    return {};
}

namespace {

bool beyondBound(QSize size)
{
    return size.isValid() &&
           (size.width() > kMaxDibSide || size.height() > kMaxDibSide || qint64(size.width()) * size.height() > kMaxDibPixels);
}

// A BMP file kept as it is when its header and rows are ones this code
// draws; otherwise the image reader converts it (later header versions,
// bit fields, 16 and 32 bits, RLE).
QByteArray decodeBmp(QByteArrayView file, int* error)
{
    if (!fits(file, 0, kBmpFileHeaderSize + kCoreHeaderSize)) {
        *error = CDibImage::kPicErrorMalformed;
        return {};
    }
    const std::uint32_t offBits = getU32(file, 10);
    QByteArray dib = ReadDIBFile(file);
    const std::size_t packedBits = FindDIBBits(dib);
    // Some writers leave a gap before the bits; close it.
    if (offBits > kBmpFileHeaderSize + packedBits && fits(file, offBits, 0)) {
        QByteArray closed = dib.left(qsizetype(packedBits));
        closed.append(file.sliced(qsizetype(offBits)));
        dib = closed;
    }
    const DibCheck check = CheckDib(dib);
    if (check == DibCheck::TooShort || check == DibCheck::TruncatedBits) {
        *error = CDibImage::kPicErrorMalformed;
        return {};
    }
    if (check == DibCheck::BadSize) {
        *error = DIBWidth(dib) > 0 && DIBHeight(dib) != 0 ? CDibImage::kPicErrorTooLarge : CDibImage::kPicErrorMalformed;
        return {};
    }
    const int bits = getU16(dib, 14);
    if (check == DibCheck::Ok && IsInfoHeader(dib) && getU32(dib, 16) == kBiRgb &&
        (bits == 1 || bits == 4 || bits == 8 || bits == 24) && DIBHeight(dib) > 0)
        return SaveDIB(dib);
    QImage image;
    if (check == DibCheck::Ok) {
        image = DibToImage(dib);
    } else {
        QByteArray copy = file.toByteArray();
        QBuffer buffer(&copy);
        QImageReader reader(&buffer, "bmp");
        image = reader.read();
    }
    if (image.isNull()) {
        *error = CDibImage::kPicErrorMalformed;
        return {};
    }
    return ImageToPicture(image);
}

} // namespace

// Reads through a reader that has its device: the size first (the one the
// file's header states, when the caller read it, then the reader's), the
// pixels only within the bound.
QImage ReadBounded(QImageReader& reader, QSize stated, int* error)
{
    reader.setAutoTransform(false);
    // Qt's own allocation limit (256 MB) would refuse pictures within the
    // bound as malformed; the bound is checked here instead.
    reader.setAllocationLimit(int((kMaxDibPixels * 4) >> 20));
    if (beyondBound(stated) || beyondBound(reader.size())) {
        *error = CDibImage::kPicErrorTooLarge;
        return {};
    }
    QImage image = reader.read();
    if (image.isNull())
        *error = CDibImage::kPicErrorMalformed;
    return image;
}

namespace {

QImage readWithPlugin(QByteArrayView file, const char* format, int* error)
{
    QByteArray copy = file.toByteArray();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    return ReadBounded(reader, qstrcmp(format, "jpeg") == 0 ? JpegFrameSize(file) : QSize(), error);
}

QImage pictureImage(const QByteArray& picture)
{
    return DibToImage(QByteArrayView(picture).sliced(qMin<qsizetype>(picture.size(), kBmpFileHeaderSize)));
}

} // namespace

QByteArray Decode(QByteArrayView file, int type, int* error)
{
    *error = CDibImage::kPicErrorNone;
    QImage image;
    switch (type) {
    case CDibImage::kTypeBmp:
        return decodeBmp(file, error);
    case CDibImage::kTypeGif:
        image = readWithPlugin(file, "gif", error);
        break;
    case CDibImage::kTypePcx:
        image = DecodePcx(file, error);
        break;
    case CDibImage::kTypeJpg:
        if (beyondBound(JpegFrameSize(file))) {
            *error = CDibImage::kPicErrorTooLarge;
            return {};
        }
        if (!JpegIsComplete(file)) {
            *error = CDibImage::kPicErrorMalformed;
            return {};
        }
        image = readWithPlugin(file, "jpeg", error);
        break;
    case CDibImage::kTypeTga:
    case CDibImage::kTypeTif:
        *error = CDibImage::kPicErrorNoReader;
        return {};
    default:
        *error = CDibImage::kPicErrorUnknown;
        return {};
    }
    if (image.isNull())
        return {};
    if (image.width() > kMaxDibSide || image.height() > kMaxDibSide) {
        *error = CDibImage::kPicErrorTooLarge;
        return {};
    }
    QByteArray picture = ImageToPicture(image);
    if (picture.isEmpty())
        *error = CDibImage::kPicErrorTooLarge;
    return picture;
}

QByteArray Encode(const QByteArray& picture, int type, int quality, int* error)
{
    *error = CDibImage::kPicErrorNone;
    if (type == CDibImage::kTypeBmp)
        return picture;
    const QImage image = pictureImage(picture);
    if (image.isNull()) {
        *error = CDibImage::kPicErrorMalformed;
        return {};
    }
    QByteArray out;
    switch (type) {
    case CDibImage::kTypeGif:
        out = EncodeGif(image);
        break;
    case CDibImage::kTypePcx:
        out = EncodePcx(image);
        break;
    case CDibImage::kTypeJpg: {
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(qBound(0, quality, 100));
        if (!writer.write(image.convertToFormat(QImage::Format_RGB32)))
            out.clear();
        break;
    }
    default:
        *error = CDibImage::kPicErrorNoWriter;
        return {};
    }
    if (out.isEmpty())
        *error = CDibImage::kPicErrorEncode;
    return out;
}

} // namespace platform::picture

namespace platform {

QImage ReadPictureFile(const QString& path, int* error)
{
    int ignored = CDibImage::kPicErrorNone;
    int* out = error != nullptr ? error : &ignored;
    *out = CDibImage::kPicErrorNone;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *out = CDibImage::kPicErrorRead;
        return {};
    }
    if (file.size() > CDibImage::kMaxFileSize) {
        *out = CDibImage::kPicErrorTooLarge;
        return {};
    }
    QByteArray bytes = file.readAll();
    // The reader's own size of a JPEG stops at 65,500 pixels a side; the
    // frame header's is read here.
    const QSize stated = picture::DetectFileType(bytes) == CDibImage::kTypeJpg ? picture::JpegFrameSize(bytes) : QSize();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return picture::ReadBounded(reader, stated, out);
}

} // namespace platform
