#include "platform/dib_image.h"
#include "platform/dib.h"

#include <gtest/gtest.h>

#include <functional>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

using platform::CDibImage;

namespace {

QImage gradient(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 255) / qMax(1, w - 1), (y * 255) / qMax(1, h - 1), 90));
    return img;
}

QByteArray jpegBytes(const QImage& img, int quality = 90)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(img));
    return out;
}

QByteArray bmpBytes(const QImage& img) { return platform::SaveDIB(platform::BitmapToDIB(img)); }

QByteArray record(const QByteArray& file)
{
    QByteArray r;
    const auto n = std::uint32_t(file.size());
    for (int i = 0; i < 4; ++i)
        r.append(char((n >> (8 * i)) & 0xFF));
    return r + file;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(DibImage, FileTypeFromExtension)
{
    struct Case {
        const char* path;
        int type;
    } cases[] = {{"a.bmp", 1}, {"C:/x/A.BMP", 1}, {"a.gif", 2}, {"a.pcx", 3}, {"a.tga", 4},
                 {"a.jpg", 5}, {"a.JPG", 5}, {"a.tif", 6}, {"a.png", -1}, {"a.jpeg", -1}, {"", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(CDibImage::FileTypeFromExtension(QString::fromUtf8(c.path)), c.type) << c.path;
}

TEST(DibImage, BmpAndJpegRecordsKeepTheirBytes)
{
    const QImage img = gradient(40, 30);
    for (const QByteArray& file : {bmpBytes(img), jpegBytes(img)}) {
        CDibImage pic;
        std::size_t used = 0;
        const QByteArray rec = record(file) + "tail";
        ASSERT_TRUE(pic.LoadRecord(rec, &used));
        EXPECT_EQ(used, std::size_t(file.size()) + 4);
        EXPECT_EQ(pic.GetWidth(), 40);
        EXPECT_EQ(pic.GetHeight(), 30);
        EXPECT_EQ(pic.GetStatus(), CDibImage::kStatusDone);
        // Stored again without change: the very same bytes, however often.
        EXPECT_EQ(pic.StoreRecord(), record(file));
        CDibImage again;
        ASSERT_TRUE(again.LoadRecord(pic.StoreRecord(), &used));
        EXPECT_EQ(again.StoreRecord(), record(file));
    }
}

TEST(DibImage, ChangedPicturesAreStoredAsJpegUpTo1666PixelsWide)
{
    for (int width : {1666, 1667}) {
        CDibImage pic;
        ASSERT_TRUE(pic.SetImage(gradient(width, 2)));
        const QByteArray rec = pic.StoreRecord();
        const QByteArray file = rec.mid(4);
        if (width <= CDibImage::kMaxJpegRecordWidth) {
            EXPECT_TRUE(file.startsWith("\xFF\xD8\xFF")) << width;
        } else {
            EXPECT_TRUE(file.startsWith("BM")) << width;
        }
        CDibImage back;
        std::size_t used = 0;
        ASSERT_TRUE(back.LoadRecord(rec, &used)) << width;
        EXPECT_EQ(back.GetWidth(), width);
        EXPECT_EQ(back.GetHeight(), 2);
    }
    // A JPEG picture replaced by another is no longer written verbatim.
    CDibImage pic;
    std::size_t used = 0;
    const QByteArray original = jpegBytes(gradient(8, 8), 100);
    ASSERT_TRUE(pic.LoadRecord(record(original), &used));
    ASSERT_TRUE(pic.SetImage(gradient(8, 8)));
    EXPECT_NE(pic.StoreRecord(), record(original));
}

TEST(DibImage, EmptyRecordIsFourZeroBytesAndLeavesTheObjectAlone)
{
    CDibImage empty;
    EXPECT_EQ(empty.StoreRecord(), QByteArray(4, '\0'));

    CDibImage pic;
    ASSERT_TRUE(pic.SetImage(gradient(3, 3)));
    std::size_t used = 9;
    EXPECT_TRUE(pic.LoadRecord(QByteArray(4, '\0'), &used));
    EXPECT_EQ(used, 4u);
    EXPECT_EQ(pic.GetWidth(), 3);
}

TEST(DibImage, DamagedPicturesFailCleanly)
{
    const QImage img = gradient(16, 16);
    const QByteArray bmp = bmpBytes(img);
    const QByteArray jpg = jpegBytes(img);
    QByteArray gif;
    {
        CDibImage p;
        p.SetImage(img);
        gif = p.Encode(CDibImage::kTypeGif);
    }
    QByteArray pcx;
    {
        CDibImage p;
        p.SetImage(img);
        pcx = p.Encode(CDibImage::kTypePcx);
    }
    ASSERT_FALSE(gif.isEmpty());
    ASSERT_FALSE(pcx.isEmpty());
    struct Case {
        const char* name;
        QByteArray file;
        int status;
    } cases[] = {
        {"unknown", QByteArray("hello, world"), CDibImage::kStatusUnknownType},
        {"bmp header only", bmp.left(20), CDibImage::kPicErrorMalformed},
        {"bmp rows cut", bmp.left(bmp.size() - 10), CDibImage::kPicErrorMalformed},
        {"jpeg without its end", jpg.left(jpg.size() / 2), CDibImage::kPicErrorMalformed},
        {"jpeg headers only", jpg.left(30), CDibImage::kPicErrorMalformed},
        {"gif cut", gif.left(gif.size() / 3), CDibImage::kPicErrorMalformed},
        {"pcx cut", pcx.left(140), CDibImage::kPicErrorMalformed},
        {"tiff", QByteArray("II*\0", 4) + QByteArray(40, '\0'), CDibImage::kPicErrorNoReader},
    };
    for (const Case& c : cases) {
        CDibImage pic;
        ASSERT_TRUE(pic.SetImage(img));
        EXPECT_FALSE(pic.LoadFromMemory(c.file)) << c.name;
        EXPECT_EQ(pic.GetStatus(), c.status) << c.name;
        EXPECT_TRUE(pic.IsEmpty()) << c.name;
        EXPECT_EQ(pic.GetWidth(), 0) << c.name;
    }

    // A record whose length runs past the data consumes nothing.
    CDibImage pic;
    std::size_t used = 7;
    EXPECT_FALSE(pic.LoadRecord(record(bmp).left(30), &used));
    EXPECT_EQ(used, 0u);
    EXPECT_FALSE(pic.LoadRecord(QByteArray(3, '\0'), &used));
    // A record of a damaged picture is consumed; the object stays empty.
    const QByteArray bad = record(jpg.left(40));
    EXPECT_FALSE(pic.LoadRecord(bad, &used));
    EXPECT_EQ(used, std::size_t(bad.size()));
    EXPECT_TRUE(pic.IsEmpty());
}

TEST(DibImage, SavesByExtensionAndReadsEveryFormatBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage indexed(7, 5, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(255, 255, 255)});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            indexed.setPixel(x, y, uint((x + y) % 4));
    CDibImage pic;
    ASSERT_TRUE(pic.SetImage(indexed));
    EXPECT_EQ(pic.GetBitCount(), 8);
    EXPECT_EQ(pic.GetPaletteBytes(), 16);
    for (const char* name : {"a.bmp", "a.gif", "a.pcx", "a.jpg"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(pic.Save(path)) << name;
        CDibImage back;
        ASSERT_TRUE(back.Load(path)) << name;
        EXPECT_EQ(back.GetFileType(), CDibImage::FileTypeFromExtension(path)) << name;
        EXPECT_EQ(back.GetWidth(), 7);
        EXPECT_EQ(back.GetHeight(), 5);
        if (QByteArray(name) != "a.jpg") { // lossless formats keep every pixel
            EXPECT_EQ(back.ToImage().convertToFormat(QImage::Format_RGB32),
                      indexed.convertToFormat(QImage::Format_RGB32))
                << name;
        }
    }
    // A true-colour picture through GIF and PCX.
    ASSERT_TRUE(pic.SetImage(gradient(300, 20)));
    EXPECT_EQ(pic.GetPaletteBytes(), 0);
    for (const char* name : {"b.gif", "b.pcx"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(pic.Save(path)) << name;
        CDibImage back;
        ASSERT_TRUE(back.Load(path)) << name;
        EXPECT_EQ(back.GetWidth(), 300);
    }
    // Kinds without a writer fail and write nothing.
    for (const char* name : {"c.tga", "c.tif", "c.png"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_FALSE(pic.Save(path)) << name;
        EXPECT_FALSE(QFile::exists(path)) << name;
    }
    CDibImage empty;
    EXPECT_FALSE(empty.Save(dir.filePath("d.bmp")));
}

TEST(DibImage, FilesKeepTheirBytesWhenSavedAgainInTheirOwnKind)
{
    QTemporaryDir dir;
    const QByteArray jpg = jpegBytes(gradient(20, 10), 95);
    ASSERT_TRUE(writeFile(dir.filePath("in.jpg"), jpg));
    CDibImage pic;
    ASSERT_TRUE(pic.Load(dir.filePath("in.jpg")));
    EXPECT_EQ(pic.GetPath(), dir.filePath("in.jpg"));
    ASSERT_TRUE(pic.Save(dir.filePath("out.jpg")));
    EXPECT_EQ(readFile(dir.filePath("out.jpg")), jpg);
    EXPECT_EQ(pic.StoreRecord(), record(jpg));
    // Saved as another kind, it is encoded.
    ASSERT_TRUE(pic.Save(dir.filePath("out.bmp")));
    EXPECT_TRUE(readFile(dir.filePath("out.bmp")).startsWith("BM"));

    EXPECT_FALSE(pic.Load(dir.filePath("missing.bmp")));
    EXPECT_EQ(pic.GetStatus(), CDibImage::kPicErrorRead);
    EXPECT_EQ(CDibImage::GetLastPicLibError(), CDibImage::kPicErrorRead);
    EXPECT_TRUE(pic.IsEmpty());
}

TEST(DibImage, DrawsUprightIntoAYUpRectangle)
{
    QImage img(2, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(255, 0, 0)); // top left red
    img.setPixel(1, 0, qRgb(0, 255, 0));
    img.setPixel(0, 1, qRgb(0, 0, 255)); // bottom left blue
    img.setPixel(1, 1, qRgb(255, 255, 255));
    CDibImage pic;
    ASSERT_TRUE(pic.SetImage(img));

    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(Qt::black);
    QPainter p(&target);
    // y up: logical y = 20 - device y.
    p.setTransform(QTransform(1, 0, 0, -1, 0, 20));
    ASSERT_TRUE(pic.Draw(p, 0, 20, 20, 0)); // top 20, bottom 0
    p.end();
    EXPECT_EQ(target.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(2, 17), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(17, 2), qRgb(0, 255, 0));

    CDibImage empty;
    QPainter q(&target);
    EXPECT_FALSE(empty.Draw(q, 0, 0, 5, 5));
    EXPECT_EQ(empty.GetStatus(), CDibImage::kStatusNoPicture);
    EXPECT_TRUE(pic.DrawAt(q, 1, 1));
    q.end();
    EXPECT_EQ(target.pixel(1, 1), qRgb(255, 0, 0));
}

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

TEST(DibImage, ArchiveRecordsRoundTripAndRefuseShortData)
{
    CDibImage pic;
    ASSERT_TRUE(pic.SetImage(gradient(12, 6)));
    platform::ArchiveWriter out;
    pic.Serialize(out);
    out.writeU32(0x12345678); // what follows the record
    CDibImage empty;
    empty.Serialize(out);

    const platform::ArchiveClassRegistry registry;
    const QByteArray data = out.data();
    platform::ArchiveReader in(data, registry);
    CDibImage back;
    back.Serialize(in);
    EXPECT_EQ(back.GetWidth(), 12);
    EXPECT_EQ(in.readU32(), 0x12345678u);
    CDibImage stays;
    ASSERT_TRUE(stays.SetImage(gradient(2, 2)));
    stays.Serialize(in);
    EXPECT_EQ(stays.GetWidth(), 2); // a zero record leaves the object unchanged
    EXPECT_TRUE(in.atEnd());

    const QByteArray cut = data.left(40);
    platform::ArchiveReader shortReader(cut, registry);
    CDibImage none;
    EXPECT_THROW(none.Serialize(shortReader), platform::ArchiveError);
}

// A 4 KB JPEG whose frame claims 65535 x 65535 pixels is refused by its size,
// before its pixels are allocated, by every reader of picture files: the
// programs' photo loading (ReadPictureFile) and the report's picture objects
// (CDibImage::Load); a picture within the bound reads through both.
TEST(PictureBound, EveryFileReaderRefusesAFrameBeyondTheBound)
{
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("small.jpg"));
    ASSERT_TRUE(gradient(40, 30).save(small, "JPG"));
    const QString huge = QStringLiteral(PLATFORM_HUGE_FRAME_JPEG);

    const struct {
        const char* reader;
        std::function<QSize(const QString&, int*)> read;
    } readers[] = {
        {"ReadPictureFile",
         [](const QString& path, int* error) {
             const QImage image = platform::ReadPictureFile(path, error);
             return image.isNull() ? QSize() : image.size();
         }},
        {"CDibImage::Load",
         [](const QString& path, int* error) {
             CDibImage picture;
             const bool loaded = picture.Load(path);
             *error = loaded ? int(CDibImage::kPicErrorNone) : picture.GetLastPicLibError();
             return loaded ? QSize(picture.GetWidth(), picture.GetHeight()) : QSize();
         }},
    };
    for (const auto& r : readers) {
        int error = -1;
        EXPECT_FALSE(r.read(huge, &error).isValid()) << r.reader;
        EXPECT_EQ(error, CDibImage::kPicErrorTooLarge) << r.reader;
        EXPECT_EQ(r.read(small, &error), QSize(40, 30)) << r.reader;
        EXPECT_EQ(error, CDibImage::kPicErrorNone) << r.reader;
        EXPECT_FALSE(r.read(dir.filePath(QStringLiteral("none.jpg")), &error).isValid()) << r.reader;
        EXPECT_EQ(error, CDibImage::kPicErrorRead) << r.reader;
    }
}
