#include "platform/dib.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cstdint>
#include <vector>

using namespace platform;

namespace {

void put16(QByteArray& b, std::uint16_t v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

void put32(QByteArray& b, std::uint32_t v)
{
    put16(b, std::uint16_t(v));
    put16(b, std::uint16_t(v >> 16));
}

// A packed DIB with an info header, the given colour table (BGRA order
// written from RGB) and raw bits.
QByteArray makeDib(int width, int height, int bits, const std::vector<QRgb>& colours, const QByteArray& pixels,
                   std::uint32_t compression = kBiRgb, std::uint32_t clrUsed = 0)
{
    QByteArray b;
    put32(b, 40);
    put32(b, std::uint32_t(width));
    put32(b, std::uint32_t(height));
    put16(b, 1);
    put16(b, std::uint16_t(bits));
    put32(b, compression);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, clrUsed);
    put32(b, 0);
    for (QRgb c : colours) {
        b.append(char(qBlue(c)));
        b.append(char(qGreen(c)));
        b.append(char(qRed(c)));
        b.append('\0');
    }
    b.append(pixels);
    return b;
}

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(x));
    return b;
}

} // namespace

TEST(Dib, HeaderMeasuresFollowTheBitCountAndColoursUsed)
{
    struct Case {
        int bits;
        std::uint32_t clrUsed;
        std::uint32_t colours;
    } cases[] = {{1, 0, 2}, {4, 0, 16}, {8, 0, 256}, {8, 7, 7}, {24, 0, 0}, {24, 3, 3}, {16, 0, 0}};
    for (const Case& c : cases) {
        const QByteArray dib = makeDib(2, 2, c.bits, {}, {}, kBiRgb, c.clrUsed);
        EXPECT_EQ(DIBNumColors(dib), c.colours) << c.bits;
        EXPECT_EQ(PaletteSize(dib), c.colours * 4) << c.bits;
        EXPECT_EQ(FindDIBBits(dib), 40 + c.colours * 4) << c.bits;
    }
    // A core header: 16-bit sizes and three-byte colour entries.
    QByteArray core;
    put32(core, 12);
    put16(core, 300);
    put16(core, 2);
    put16(core, 1);
    put16(core, 8);
    EXPECT_FALSE(IsInfoHeader(core));
    EXPECT_EQ(DIBWidth(core), 300);
    EXPECT_EQ(DIBHeight(core), 2);
    EXPECT_EQ(PaletteSize(core), 256u * 3);
    // Too short for any header.
    EXPECT_EQ(DIBNumColors(QByteArray(5, '\0')), 0u);
    EXPECT_EQ(FindDIBBits(QByteArray(5, '\0')), 0u);
}

TEST(Dib, InfoHeaderFillsImageSizeAndColoursUsed)
{
    DibInfoHeader h;
    ASSERT_TRUE(GetDIBInfoHeader(makeDib(3, 5, 24, {}, {}), &h));
    EXPECT_EQ(h.biSizeImage, 12u * 5); // rows of 9 bytes padded to 12
    EXPECT_EQ(h.biClrUsed, 0u);
    ASSERT_TRUE(GetDIBInfoHeader(makeDib(3, 2, 4, {}, {}), &h));
    EXPECT_EQ(h.biSizeImage, 8u);
    EXPECT_EQ(h.biClrUsed, 16u);
    EXPECT_FALSE(GetDIBInfoHeader(QByteArray(), &h));
}

TEST(Dib, BmpFileWrapsTheDibAndRecomputesTheImageSize)
{
    // 3 x 2, 24 bits: rows of 9 bytes padded to 12.
    const QByteArray dib = makeDib(3, 2, 24, {}, QByteArray(24, '\x11'));
    const QByteArray file = SaveDIB(dib);
    ASSERT_EQ(file.size(), 14 + dib.size());
    EXPECT_EQ(file.left(2), "BM");
    DibInfoHeader h;
    const QByteArray back = ReadDIBFile(file);
    ASSERT_TRUE(GetDIBInfoHeader(back, &h));
    EXPECT_EQ(h.biSizeImage, 24u);
    EXPECT_EQ(std::uint8_t(file[2]) | (std::uint8_t(file[3]) << 8), 14 + 40 + 24); // bfSize
    EXPECT_EQ(std::uint8_t(file[10]), 54);                                        // bfOffBits
    EXPECT_TRUE(ReadDIBFile(QByteArray("BX") + QByteArray(60, '\0')).isEmpty());
    EXPECT_TRUE(ReadDIBFile(QByteArray("BM")).isEmpty());
}

TEST(Dib, RowsAreReadBottomUpInEveryDepth)
{
    const std::vector<QRgb> two = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    // 24 bits, 2 x 2: stored bottom row first (blue, green, red).
    QImage img = DibToImage(makeDib(2, 2, 24, {},
                                    bytes({0, 0, 255, 0, 255, 0, 0, 0, /* bottom: red, green */
                                           255, 0, 0, 255, 255, 255, 0, 0 /* top: blue, white */})));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(1, 0), qRgb(255, 255, 255));

    // Negative height: top row first.
    img = DibToImage(makeDib(1, -2, 24, {}, bytes({0, 0, 255, 0, 255, 0, 0, 0})));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));

    // 1 bit: 0b10100000 -> white, black, white.
    img = DibToImage(makeDib(3, 1, 1, two, bytes({0xA0, 0, 0, 0})));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(2, 0), qRgb(255, 255, 255));

    // 4 bits: high nibble first.
    img = DibToImage(makeDib(2, 1, 4, {qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)}, bytes({0x21, 0, 0, 0}), kBiRgb, 3));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(0, 0), qRgb(3, 3, 3));
    EXPECT_EQ(img.pixel(1, 0), qRgb(2, 2, 2));

    // RLE8: a run of three 1s, end of line, three literal pixels 0, 1, 0, end.
    img = DibToImage(makeDib(3, 2, 8, two, bytes({3, 1, 0, 0, 0, 3, 0, 1, 0, 0, 0, 1}), kBiRle8, 2));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(2, 1), qRgb(255, 255, 255)); // bottom row
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(Dib, MalformedBlocksAreRefused)
{
    struct Case {
        const char* name;
        QByteArray dib;
        DibCheck expected;
    } cases[] = {
        {"empty", QByteArray(), DibCheck::TooShort},
        {"short info header", makeDib(1, 1, 24, {}, {}).left(30), DibCheck::TooShort},
        {"unknown header size", [] { QByteArray b = makeDib(1, 1, 24, {}, QByteArray(4, 0)); b[0] = 108; return b; }(),
         DibCheck::BadFormat},
        {"zero width", makeDib(0, 1, 24, {}, {}), DibCheck::BadSize},
        {"negative width", makeDib(-4, 1, 24, {}, {}), DibCheck::BadSize},
        {"zero height", makeDib(1, 0, 24, {}, {}), DibCheck::BadSize},
        {"huge", makeDib(100000, 100000, 24, {}, {}), DibCheck::BadSize},
        {"bit count 7", makeDib(1, 1, 7, {}, QByteArray(4, 0)), DibCheck::BadFormat},
        {"colour table past the end", makeDib(1, 1, 8, {}, QByteArray(4, 0)), DibCheck::TooShort},
        {"colours used above 256", makeDib(1, 1, 8, {}, {}, kBiRgb, 0x40000000), DibCheck::BadFormat},
        {"rows cut short", makeDib(4, 4, 24, {}, QByteArray(47, 0)), DibCheck::TruncatedBits},
        {"top-down RLE", makeDib(1, -1, 8, {}, {}, kBiRle8, 1), DibCheck::BadFormat},
        {"whole", makeDib(4, 4, 24, {}, QByteArray(48, 0)), DibCheck::Ok},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckDib(c.dib), c.expected) << c.name;
        if (c.expected != DibCheck::Ok) {
            EXPECT_TRUE(DibToImage(c.dib).isNull()) << c.name;
        }
    }
}

TEST(Dib, ImagesConvertBothWaysWithPaddedRows)
{
    QImage rgb(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            rgb.setPixel(x, y, qRgb(x * 40, y * 80, 7));
    const QByteArray dib = BitmapToDIB(rgb);
    EXPECT_EQ(DIBHeight(dib), 3);
    EXPECT_EQ(dib.size(), 40 + 16 * 3); // 15-byte rows padded to 16
    EXPECT_EQ(DibToImage(dib), rgb);

    QImage indexed(3, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(40, 50, 60)});
    indexed.fill(1);
    indexed.setPixel(0, 0, 0);
    for (int bits : {0, 1, 4, 8}) {
        const QByteArray d = BitmapToDIB(indexed, bits);
        ASSERT_FALSE(d.isEmpty()) << bits;
        const QImage back = DibToImage(d);
        EXPECT_EQ(back.pixel(0, 0), qRgb(10, 20, 30)) << bits;
        EXPECT_EQ(back.pixel(2, 1), qRgb(40, 50, 60)) << bits;
    }
    EXPECT_TRUE(BitmapToDIB(QImage()).isEmpty());
}

TEST(Dib, PaintDibStretchesTheSourceRectangle)
{
    QImage rgb(2, 1, QImage::Format_RGB32);
    rgb.setPixel(0, 0, qRgb(255, 0, 0));
    rgb.setPixel(1, 0, qRgb(0, 0, 255));
    QImage target(4, 2, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter p(&target);
    EXPECT_TRUE(PaintDIB(p, QRect(0, 0, 4, 2), BitmapToDIB(rgb), QRect(0, 0, 2, 1)));
    EXPECT_FALSE(PaintDIB(p, QRect(0, 0, 4, 2), QByteArray(3, 0), QRect(0, 0, 2, 1)));
    p.end();
    EXPECT_EQ(target.pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(3, 0), qRgb(0, 0, 255));
}
