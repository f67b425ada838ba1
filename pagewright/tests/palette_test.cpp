// Palettes from 8-bit and 24-bit BMP files.
#include "test_support.h"

#include "palette_loader.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <QFile>

#include <array>

namespace {

using Table = std::array<std::uint8_t, kPaletteBytes>;

Table load(const StartupSandbox& box, const QByteArray& bmp, PaletteLoad* result)
{
    box.WriteProgramFile(QStringLiteral("p.bmp"), bmp);
    Table t{};
    t.fill(0xAB);
    *result = LoadPaletteBmp(1, t.data(), QStringLiteral("p.bmp"), box.ProgramFolder());
    return t;
}

QRgb entry(const Table& t, int k) { return qRgb(t[std::size_t(4 * k + 2)], t[std::size_t(4 * k + 1)], t[std::size_t(4 * k)]); }

} // namespace

TEST(Palette, EightBitPicturesAreSampledEvenlyAcrossTheBottomRow)
{
    StartupSandbox box;
    // 512 wide, pixel x has colour index x % 256 of a table where entry i
    // is (i, 255 - i, 7): entry k takes pixel 2k.
    std::vector<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table.push_back(qRgb(i, 255 - i, 7));
    std::vector<int> row;
    for (int x = 0; x < 512; ++x)
        row.push_back(x % 256);
    PaletteLoad r;
    const Table t = load(box, PaletteBmp8(table, row), &r);
    ASSERT_EQ(r, PaletteLoad::Loaded);
    for (int k : {0, 1, 100, 127, 128, 255})
        EXPECT_EQ(entry(t, k), table[std::size_t((2 * k) % 256)]) << k;
    EXPECT_EQ(t[3], 0); // reserved byte

    // 2 wide: the first half of the entries from pixel 0, the rest pixel 1.
    const Table two = load(box, PaletteBmp8({qRgb(1, 2, 3), qRgb(4, 5, 6)}, {1, 0}), &r);
    ASSERT_EQ(r, PaletteLoad::Loaded);
    EXPECT_EQ(entry(two, 0), qRgb(4, 5, 6));
    EXPECT_EQ(entry(two, 127), qRgb(4, 5, 6));
    EXPECT_EQ(entry(two, 128), qRgb(1, 2, 3));
}

TEST(Palette, TwentyFourBitPicturesAreCopiedOneToOne)
{
    StartupSandbox box;
    std::vector<QRgb> row;
    for (int i = 0; i < 300; ++i)
        row.push_back(qRgb(i % 256, (i * 3) % 256, 255 - i % 256));
    PaletteLoad r;
    const Table t = load(box, PaletteBmp24(row), &r);
    ASSERT_EQ(r, PaletteLoad::Loaded);
    for (int k : {0, 17, 255})
        EXPECT_EQ(entry(t, k), row[std::size_t(k)]) << k;
}

TEST(Palette, UnusablePicturesLeaveTheSlotAlone)
{
    StartupSandbox box;
    struct Case {
        const char* name;
        QByteArray bmp;
    } cases[] = {
        {"24-bit narrower than 256", PaletteBmp24(std::vector<QRgb>(255, qRgb(9, 9, 9)))},
        {"not a BMP", QByteArray("GIF89a not a bitmap")},
        {"rows cut off", PaletteBmp24(std::vector<QRgb>(256, qRgb(9, 9, 9))).left(300)},
    };
    for (const Case& c : cases) {
        PaletteLoad r;
        const Table t = load(box, c.bmp, &r);
        EXPECT_EQ(r, PaletteLoad::Unusable) << c.name;
        EXPECT_EQ(t[0], 0xAB) << c.name;
    }
    EXPECT_TRUE(box.messages.empty());

    Table t{};
    EXPECT_EQ(LoadPaletteBmp(1, t.data(), QStringLiteral("none.bmp"), box.ProgramFolder()), PaletteLoad::FileMissing);
    ASSERT_EQ(box.messages.size(), 1u);
    EXPECT_EQ(box.messages[0].text, QStringLiteral("没有找到色标文件！"));
}

TEST(Palette, DefaultPalettesAreReadByEveryReaderAlike)
{
    // The installed palettes: 24-bit, 256 x 1, colours at offset 54.
    StartupSandbox box;
    for (int i = 1; i <= 10; ++i) {
        QFile f(box.DefaultsFolder() + QStringLiteral("/nruler%1.bmp").arg(i));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << i;
        const QByteArray bytes = f.readAll();
        ASSERT_GE(bytes.size(), 54 + 768) << i;
        Table t{};
        ASSERT_TRUE(PaletteFromDib(bytes.mid(14), t.data())) << i;
        for (int k = 0; k < 256; ++k) {
            EXPECT_EQ(t[std::size_t(4 * k)], std::uint8_t(bytes[54 + 3 * k])) << i << " " << k;
            EXPECT_EQ(t[std::size_t(4 * k + 2)], std::uint8_t(bytes[54 + 3 * k + 2])) << i << " " << k;
        }
    }
}
