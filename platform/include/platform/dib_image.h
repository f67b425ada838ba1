// CDibImage: the picture object of photos, logos, thumbnails and snapshots.
//
// It holds one picture as a BMP file image (14-byte file header, 40-byte info
// header, colour table, bits), loads BMP, GIF, PCX and JPEG files recognised
// by their content, saves BMP, GIF, PCX and JPEG chosen by extension, draws
// itself into a rectangle, and stores itself in a report as a record:
//
//     u32 n (little-endian; 0 = no picture, nothing follows), then the n
//     bytes of a whole BMP or JPEG file.
//
// A picture read from a BMP or JPEG file or record keeps that file's bytes
// until it is replaced, and they are what Save and the record write back, so
// a photo does not lose quality each time a report is saved. Other pictures
// are stored as JPEG of the object's quality (50), or as BMP when wider than
// kMaxJpegRecordWidth pixels.
//
// Every failure is reported by the result and the status; nothing is shown.
// A failed load leaves the object empty.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QRect>
#include <QString>
#include <QVector>

#include <cstddef>

class QPainter;

namespace platform {

class ArchiveReader;
class ArchiveWriter;

class CDibImage {
public:
    // Status of the last operation; after a failed load, a PicError.
    enum Status {
        kStatusInitial = 0,
        kStatusUnknownType = 1,
        kStatusNoPicture = 2,
        kStatusNotLockable = 3,
        kStatusDone = 4,
        kStatusShortDraw = 7,
        kStatusNoPaletteMemory = 8,
    };
    // Errors of the picture codecs (GetLastPicLibError).
    enum PicError {
        kPicErrorNone = 0,
        kPicErrorRead = 20,        // the file cannot be read
        kPicErrorUnknown = 21,     // not a picture file of a known kind
        kPicErrorMalformed = 22,   // truncated or damaged picture
        kPicErrorTooLarge = 23,    // beyond the size limits of a DIB
        kPicErrorNoReader = 24,    // TGA and TIFF are recognised but not read
        kPicErrorWrite = 25,       // the file cannot be written
        kPicErrorEncode = 26,      // the encoder failed
        kPicErrorNoWriter = 27,    // no writer for that kind
    };
    enum FileType { kTypeNone = 0, kTypeBmp = 1, kTypeGif = 2, kTypePcx = 3, kTypeTga = 4, kTypeJpg = 5, kTypeTif = 6 };

    static constexpr int kDefaultQuality = 50;
    static constexpr int kMaxJpegRecordWidth = 1666;
    // Files and records larger than this are not read.
    static constexpr qint64 kMaxFileSize = qint64(512) * 1024 * 1024;

    CDibImage() = default;

    // Loads a picture file, recognised by content; draws it at (x, y) when a
    // painter is given. False (status = the error) leaves the object empty.
    bool Load(const QString& path, QPainter* dc = nullptr, int x = -1, int y = -1);
    // The same from the bytes of a picture file.
    bool LoadFromMemory(QByteArrayView file);

    // Saves as type (kTypeBmp ...; -1 = by the extension). False for TGA,
    // TIFF and unknown types, an empty picture, or a failed write.
    bool Save(const QString& path, int type = -1);
    // The bytes Save would write, empty on failure (status/error set).
    QByteArray Encode(int type);

    // Draws the whole picture into the rectangle whose corners are
    // (left, top) and (right, bottom) in the painter's coordinates: the
    // picture's top row goes to top and its left column to left, so with a
    // y-up page transform the picture stands upright, and an unnormalised
    // rectangle mirrors it.
    bool Draw(QPainter& dc, int left, int top, int right, int bottom);
    // Draws at its own size at (x, y), top-left; -1 keeps the stored value.
    bool DrawAt(QPainter& dc, int x = -1, int y = -1);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // The BMP file image; empty when there is no picture.
    const QByteArray& GetHandle() const { return m_picture; }
    // The packed DIB (the BMP file image without its file header).
    QByteArrayView GetDib() const;
    QImage ToImage() const;
    bool IsEmpty() const { return m_picture.isEmpty(); }

    // Replaces the picture (the original file bytes are dropped).
    bool SetImage(const QImage& image);
    bool SetDib(QByteArrayView packedDib);

    void Free();

    int GetStatus() const { return m_status; }
    int GetFileType() const { return m_fileType; }
    const QString& GetPath() const { return m_path; }
    int GetBitCount() const { return m_bitCount; }
    int GetColors() const { return m_colors; }
    int GetPaletteBytes() const { return m_paletteBytes; }
    const QVector<QRgb>& GetPalette() const { return m_palette; }
    int GetQuality() const { return m_quality; }
    void SetQuality(int quality) { m_quality = quality; }
    // The BMP or JPEG file bytes the picture was read from, while unchanged.
    const QByteArray& GetOriginalBytes() const { return m_original; }

    // The record: u32 n, then a whole BMP or JPEG file.
    QByteArray StoreRecord();
    // Reads a record from the start of data; *consumed is set to the bytes it
    // takes. n = 0 leaves the object unchanged. False when data is shorter
    // than the record (nothing consumed) or its picture does not load (the
    // record is consumed and the object left empty).
    bool LoadRecord(QByteArrayView data, std::size_t* consumed);

    void Serialize(ArchiveWriter& ar);
    void Serialize(ArchiveReader& ar);

    // 1-based position of the path's last four characters, compared without
    // regard to case, in ".BMP", ".GIF", ".PCX", ".TGA", ".JPG", ".TIF"; -1
    // when absent.
    static int FileTypeFromExtension(const QString& path);
    // The error of the last failed load or save of any CDibImage.
    static int GetLastPicLibError();

private:
    bool Adopt(QByteArray picture, int type, QByteArray original);
    void ReadInfo();
    void MakePalette();

    int m_status = kStatusInitial;
    int m_screenPlanes = 0;
    int m_screenBits = 0;
    int m_paletteBytes = 0;
    int m_width = 0;
    int m_height = 0;
    int m_planes = 0;
    int m_bitCount = 0;
    int m_colors = 0;
    int m_fileType = kTypeNone;
    int m_headerSize = 0;
    int m_imageSize = 0;
    int m_paletteSize = 0;
    int m_drawX = 0;
    int m_drawY = 0;
    int m_quality = kDefaultQuality;
    QVector<QRgb> m_palette;
    QByteArray m_picture;
    QString m_path;
    QByteArray m_original;
};

// Reads a picture file to show it (a camera file's photo, JPEG or BMP by its
// content), its size first (a JPEG's frame header, else the image reader's):
// beyond kMaxDibSide pixels a side or kMaxDibPixels pixels (a frame header
// may claim 65535 x 65535 in a few bytes) it is refused before anything is
// allocated. A null image when refused or unreadable; *error (when given)
// says why: CDibImage::kPicErrorTooLarge, kPicErrorRead or kPicErrorMalformed.
QImage ReadPictureFile(const QString& path, int* error = nullptr);

} // namespace platform
