#include "platform/dib_image.h"

#include "picture_bytes.h"
#include "picture_library.h"
#include "platform/dib.h"

#include <QFile>
#include <QPainter>
#include <QSaveFile>

namespace platform {

namespace {

int g_lastPicError = CDibImage::kPicErrorNone;

bool readWholeFile(const QString& path, QByteArray* bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > CDibImage::kMaxFileSize)
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

int CDibImage::GetLastPicLibError() { return g_lastPicError; }

int CDibImage::FileTypeFromExtension(const QString& path)
{
    static const char* const kExtensions[] = {".BMP", ".GIF", ".PCX", ".TGA", ".JPG", ".TIF"};
    const QString tail = path.right(4);
    for (int i = 0; i < 6; ++i) {
        if (tail.compare(QLatin1String(kExtensions[i]), Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return -1;
}

void CDibImage::Free()
{
    m_picture.clear();
    m_original.clear();
    m_path.clear();
    m_palette.clear();
    m_paletteBytes = 0;
    m_width = m_height = m_planes = m_bitCount = m_colors = 0;
    m_headerSize = m_imageSize = m_paletteSize = 0;
}

bool CDibImage::Load(const QString& path, QPainter* dc, int x, int y)
{
    QByteArray bytes;
    if (!readWholeFile(path, &bytes)) {
        Free();
        m_path = path;
        g_lastPicError = kPicErrorRead;
        m_status = kPicErrorRead;
        return false;
    }
    const bool ok = LoadFromMemory(bytes);
    m_path = path;
    if (ok && dc != nullptr)
        DrawAt(*dc, x, y);
    return ok;
}

bool CDibImage::LoadFromMemory(QByteArrayView file)
{
    m_fileType = picture::DetectFileType(file);
    if (m_fileType == kTypeNone) {
        Free();
        g_lastPicError = kPicErrorUnknown;
        m_status = kStatusUnknownType;
        return false;
    }
    Free();
    int error = kPicErrorNone;
    QByteArray pic = picture::Decode(file, m_fileType, &error);
    if (pic.isEmpty()) {
        g_lastPicError = error;
        m_status = error;
        return false;
    }
    // BMP and JPEG files are what a record holds: keep their bytes.
    QByteArray original;
    if (m_fileType == kTypeBmp || m_fileType == kTypeJpg)
        original = file.toByteArray();
    return Adopt(std::move(pic), m_fileType, std::move(original));
}

bool CDibImage::Adopt(QByteArray pic, int type, QByteArray original)
{
    m_picture = std::move(pic);
    m_original = std::move(original);
    m_fileType = type;
    ReadInfo();
    MakePalette();
    return true;
}

void CDibImage::ReadInfo()
{
    DibInfoHeader h;
    GetDIBInfoHeader(GetDib(), &h);
    m_width = h.biWidth;
    m_height = h.biHeight;
    m_planes = h.biPlanes;
    m_bitCount = h.biBitCount;
    m_colors = m_bitCount < 16 ? 1 << (m_bitCount + m_planes - 1) : 0;
    m_headerSize = int(h.biSize);
    m_imageSize = int(h.biSizeImage);
    m_paletteSize = int(PaletteSize(GetDib()));
    m_status = kStatusDone;
}

void CDibImage::MakePalette()
{
    m_screenPlanes = 1;
    m_screenBits = 32;
    m_palette.clear();
    m_paletteBytes = 0;
    if (m_bitCount < 9) {
        m_palette = CreateDIBPalette(GetDib());
        m_paletteBytes = int(m_palette.size()) * 4;
    }
    m_status = kStatusDone;
}

QByteArrayView CDibImage::GetDib() const
{
    if (m_picture.size() <= qsizetype(kBmpFileHeaderSize))
        return {};
    return QByteArrayView(m_picture).sliced(qsizetype(kBmpFileHeaderSize));
}

QImage CDibImage::ToImage() const { return DibToImage(GetDib()); }

bool CDibImage::SetImage(const QImage& image)
{
    QByteArray pic = picture::ImageToPicture(image);
    Free();
    if (pic.isEmpty()) {
        m_status = kStatusNoPicture;
        return false;
    }
    return Adopt(std::move(pic), kTypeBmp, {});
}

bool CDibImage::SetDib(QByteArrayView packedDib)
{
    Free();
    if (CheckDib(packedDib) != DibCheck::Ok) {
        m_status = kStatusNoPicture;
        return false;
    }
    QByteArray pic = SaveDIB(packedDib);
    if (pic.isEmpty()) {
        m_status = kStatusNoPicture;
        return false;
    }
    int error = 0;
    pic = picture::Decode(pic, kTypeBmp, &error); // normalises unusual forms
    if (pic.isEmpty()) {
        m_status = error;
        return false;
    }
    return Adopt(std::move(pic), kTypeBmp, {});
}

QByteArray CDibImage::Encode(int type)
{
    if (m_picture.isEmpty()) {
        m_status = kStatusNoPicture;
        g_lastPicError = kPicErrorEncode;
        return {};
    }
    if (!m_original.isEmpty() && type == m_fileType)
        return m_original;
    int error = kPicErrorNone;
    QByteArray bytes = picture::Encode(m_picture, type, m_quality, &error);
    if (bytes.isEmpty()) {
        g_lastPicError = error;
        m_status = error;
    }
    return bytes;
}

bool CDibImage::Save(const QString& path, int type)
{
    if (type == -1)
        type = FileTypeFromExtension(path);
    if (type < kTypeBmp || type > kTypeTif || type == kTypeTga || type == kTypeTif) {
        g_lastPicError = kPicErrorNoWriter;
        return false;
    }
    m_path = path;
    const QByteArray bytes = Encode(type);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        g_lastPicError = kPicErrorWrite;
        m_status = kPicErrorWrite;
        return false;
    }
    return true;
}

bool CDibImage::Draw(QPainter& dc, int left, int top, int right, int bottom)
{
    if (m_picture.isEmpty()) {
        m_status = kStatusNoPicture;
        return false;
    }
    const QImage image = ToImage();
    if (image.isNull()) {
        m_status = kStatusNotLockable;
        return false;
    }
    dc.save();
    dc.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Map the picture's pixel grid onto the rectangle: (0, 0) to (left, top),
    // (width, height) to (right, bottom).
    QTransform t = dc.transform();
    t.translate(left, top);
    t.scale(double(right - left) / image.width(), double(bottom - top) / image.height());
    dc.setTransform(t);
    dc.drawImage(QPointF(0, 0), image);
    dc.restore();
    m_status = kStatusDone;
    return true;
}

bool CDibImage::DrawAt(QPainter& dc, int x, int y)
{
    if (x != -1)
        m_drawX = x;
    if (y != -1)
        m_drawY = y;
    if (m_picture.isEmpty()) {
        m_status = kStatusNoPicture;
        return false;
    }
    if (!PaintDIB(dc, QRect(m_drawX, m_drawY, m_width, std::abs(m_height)), GetDib(),
                  QRect(0, 0, m_width, std::abs(m_height)))) {
        m_status = kStatusShortDraw;
        return false;
    }
    m_status = kStatusDone;
    return true;
}

QByteArray CDibImage::StoreRecord()
{
    QByteArray file;
    if (!m_picture.isEmpty()) {
        if (!m_original.isEmpty())
            file = m_original;
        else if (m_width <= kMaxJpegRecordWidth)
            file = Encode(kTypeJpg);
        if (file.isEmpty())
            file = m_picture; // wide pictures, and a failed JPEG encoding
    }
    QByteArray record;
    picture::putU32(record, std::uint32_t(file.size()));
    record.append(file);
    return record;
}

bool CDibImage::LoadRecord(QByteArrayView data, std::size_t* consumed)
{
    *consumed = 0;
    if (!picture::fits(data, 0, 4))
        return false;
    const std::uint32_t n = picture::getU32(data, 0);
    if (!picture::fits(data, 4, n))
        return false;
    *consumed = 4 + std::size_t(n);
    if (n == 0)
        return true;
    return LoadFromMemory(data.sliced(4, qsizetype(n)));
}

} // namespace platform
