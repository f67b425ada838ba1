// Palettes from bitmaps: 8-bit sampling, 24-bit rows, and bitmaps that are
// short, compressed or point past their colour table.
#include "app_test_support.h"

#include "palette_table.h"

#include "platform/dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace heatshelf;

namespace {

QByteArray dibOf(const QByteArray& file) { return platform::ReadDIBFile(file); }

std::array<std::uint8_t, kPaletteBytes> filled(std::uint8_t v)
{
    std::array<std::uint8_t, kPaletteBytes> a;
    a.fill(v);
    return a;
}

QRgb entry(const std::array<std::uint8_t, kPaletteBytes>& a, int i)
{
    return qRgb(a[4 * i + 2], a[4 * i + 1], a[4 * i]);
}

} // namespace

TEST(Palette, EightBitIsSampledEveryWidthOver256FromTheRightEnd)
{
    // 512 columns, pixel value = column / 2, table entry k = (k, 255 - k, 7).
    std::vector<QRgb> table;
    for (int k = 0; k < 256; ++k)
        table.push_back(qRgb(k, 255 - k, 7));
    std::vector<int> row;
    for (int x = 0; x < 512; ++x)
        row.push_back(x % 2 == 0 ? x / 2 : 0);
    auto out = filled(0xAA);
    ASSERT_TRUE(PaletteFromDib(dibOf(Bmp8(table, row, 3)), out.data()));
    // Column 2i is read for i, into entry 255 - i; odd columns (0) never.
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(entry(out, 255 - i), qRgb(i, 255 - i, 7)) << i;
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(out[4 * i + 3], 0);
}

TEST(Palette, TwentyFourBitNarrowerThan256ReadsOnIntoTheNextRows)
{
    // 100 x 3 pixels: entries 0..255 walk the rows' bytes (padding included:
    // a row of 100 pixels is 300 bytes, a multiple of 4).
    std::vector<QRgb> pixels;
    for (int i = 0; i < 300; ++i)
        pixels.push_back(qRgb(i % 256, (i / 2) % 256, 3));
    auto out = filled(0xAA);
    ASSERT_TRUE(PaletteFromDib(dibOf(Bmp24(100, 3, pixels)), out.data()));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(entry(out, i), pixels[std::size_t(i)]) << i;
}

TEST(Palette, ShortCompressedAndOutOfTableBitmapsReadNothingBeyondTheirBytes)
{
    // 24 bits, 256 wide, but the file ends after 10 pixels: those load, the
    // rest is zero (and ASan sees no read past the block).
    std::vector<QRgb> pixels(256, qRgb(9, 8, 7));
    QByteArray file = Bmp24(256, 1, pixels);
    file.truncate(54 + 30);
    auto out = filled(0xAA);
    ASSERT_TRUE(PaletteFromDib(dibOf(file), out.data()));
    EXPECT_EQ(entry(out, 9), qRgb(9, 8, 7));
    EXPECT_EQ(entry(out, 10), qRgb(0, 0, 0));
    EXPECT_EQ(entry(out, 255), qRgb(0, 0, 0));

    // 8 bits with a cut pixel row and pixel values past a 2-entry table:
    // those entries stay zero.
    std::vector<int> row(256, 0);
    row[0] = 1;
    row[1] = 200;
    QByteArray cut = Bmp8({qRgb(1, 1, 1), qRgb(50, 60, 70)}, row);
    cut.truncate(54 + 8 + 2);
    out = filled(0xAA);
    ASSERT_TRUE(PaletteFromDib(dibOf(cut), out.data()));
    EXPECT_EQ(entry(out, 255), qRgb(50, 60, 70));
    EXPECT_EQ(entry(out, 254), qRgb(0, 0, 0)); // value 200: no such entry
    EXPECT_EQ(entry(out, 0), qRgb(0, 0, 0));   // past the bytes

    // A run-length bitmap is no palette: nothing changes.
    QByteArray rle = Bmp8({qRgb(1, 2, 3)}, std::vector<int>(256, 0));
    rle[30] = 1; // BI_RLE8
    out = filled(0xAA);
    EXPECT_FALSE(PaletteFromDib(dibOf(rle), out.data()));
    EXPECT_EQ(out, filled(0xAA));

    // A header alone, 16 bits, not a bitmap.
    out = filled(0xAA);
    EXPECT_FALSE(PaletteFromDib(dibOf(Bmp24(256, 1, pixels).left(30)), out.data()));
    QByteArray sixteen = Bmp24(256, 1, pixels);
    sixteen[28] = 16;
    EXPECT_FALSE(PaletteFromDib(dibOf(sixteen), out.data()));
    EXPECT_FALSE(PaletteFromDib(QByteArray("nothing"), out.data()));
    EXPECT_EQ(out, filled(0xAA));
}

TEST(Palette, TableStartsClearAndAnUnusableFileLeavesItsPalette)
{
    StartupSandbox box;
    box.WriteProgramFile(QStringLiteral("nruler2.bmp"), QByteArray("BMnot really"));
    PaletteTable table;
    const std::uint8_t* p = table.Palette(1);
    EXPECT_TRUE(std::all_of(p, p + kPaletteBytes, [](std::uint8_t b) { return b == 0; }));
    EXPECT_FALSE(table.LoadPalette(2, box.ProgramFolder()));
    EXPECT_TRUE(box.messages.empty()); // the file exists: no message
    EXPECT_FALSE(table.LoadPalette(5, box.ProgramFolder()));
    EXPECT_EQ(box.messages.size(), 1u);
    EXPECT_FALSE(table.LoadPalette(11, box.ProgramFolder()));
    EXPECT_EQ(box.messages.size(), 1u);
}
