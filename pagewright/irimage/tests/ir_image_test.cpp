// The image holder over real camera files.
#include "irimage/ir_image.h"

#include "irimage/temperature_text.h"
#include "test_support.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace irtest;

TEST(IrImageHolder, FileKindFromTheExtension)
{
    struct Case {
        const char* path;
        int kind;
    };
    const Case cases[] = {{"a.VNI", 0}, {"a.vnv", 1}, {"a.VnV", 1}, {"x.jpg", 2}, {".JPG", 2}, {"x.bmp", 0},
                          {"JPG", 0},   {"", 0},      {"pg", 0},    {"/d/b.jpg.vni", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CIrImage::FileKindOfPath(QString::fromLatin1(c.path)), c.kind) << c.path;

    TestEnvironment env;
    QTemporaryDir dir;
    CIrImage holder(&env);
    EXPECT_EQ(holder.Open(Fixture("jpg_still.jpg"), nullptr), 1) << "a container opens as kind 2";
    EXPECT_EQ(holder.Open(CopyFixture(dir, "k4_320.vni", QStringLiteral("still.bmp")), nullptr), 1)
        << "any other ending is tried as a still image";
    EXPECT_EQ(holder.Width(), 320);
}

TEST(IrImageHolder, OpenFillsTheHolderAndAFailureLeavesItEmpty)
{
    TestEnvironment env;
    CIrImage holder(&env);
    ASSERT_EQ(holder.Open(Fixture("k8_640.vni"), nullptr), 1);
    const IfrHandle first = holder.Handle();
    EXPECT_EQ(holder.Width(), 640);
    EXPECT_EQ(holder.FrameHeight(), 480);
    EXPECT_EQ(holder.FileCopy(), ReadAll(Fixture("k8_640.vni")));
    EXPECT_EQ(holder.PhotoWidth() % 4, 0);
    EXPECT_FALSE(holder.DeviceModel().isEmpty());

    struct Case {
        QString path;
        const char* what;
    };
    const Case failures[] = {{Fixture("bad_model.vni"), "refused by the library"},
                             {Fixture("missing.vni"), "no such file"},
                             {QStringLiteral("x"), "a path shorter than 4 characters"},
                             {QStringLiteral(IRIMAGE_TEST_FIXTURES), "a folder"}};
    for (const Case& c : failures) {
        ASSERT_EQ(holder.Open(Fixture("k4_320.vni"), nullptr), 1);
        const IfrHandle previous = holder.Handle();
        EXPECT_EQ(holder.Open(c.path, nullptr), -1) << c.what;
        EXPECT_FALSE(holder.IsOpen()) << c.what;
        EXPECT_EQ(IFR_GetFileLen(previous), 0) << c.what << ": the previous handle is freed";
    }
    EXPECT_EQ(IFR_GetFileLen(first), 0);
}

TEST(IrImageHolder, PaletteOutsideTheTableTakesTheFirstAndItsRuler)
{
    TestEnvironment env;
    QTemporaryDir dir;
    QByteArray bytes = ReadAll(Fixture("k4_320.vni"));
    bytes[36] = 12; // palette id of the parameter block
    const QString path = dir.filePath(QStringLiteral("p12.VNI"));
    ASSERT_TRUE(WriteAll(path, bytes));
    CIrImage holder(&env);
    ASSERT_EQ(holder.Open(path, nullptr), 1);
    EXPECT_EQ(holder.PaletteIndex(), 0);
    ASSERT_FALSE(env.selectedPalettes.empty());
    EXPECT_EQ(env.selectedPalettes.back(), 0);
    EXPECT_EQ(QFileInfo(holder.ColorRulerPath(0)).fileName(), QStringLiteral("nruler1.bmp"))
        << "NRULER1.bmp found without regard to case";
    EXPECT_TRUE(QFileInfo::exists(holder.ColorRulerPath(0)));

    bytes[36] = 4;
    ASSERT_TRUE(WriteAll(path, bytes));
    ASSERT_EQ(holder.Open(path, nullptr), 1);
    EXPECT_EQ(holder.PaletteIndex(), 4);
    int index = -1;
    EXPECT_EQ(holder.GetPalette(&index), 1);
    EXPECT_EQ(index, 4);
}

TEST(IrImageHolder, RectangleAndCircleQueriesRefuseWithoutWriting)
{
    TestEnvironment env;
    CIrImage holder(&env);
    ASSERT_EQ(holder.Open(Fixture("k4_320.vni"), nullptr), 1);
    std::vector<float> out(200, -1.0f);
    int count = 99;
    EXPECT_EQ(holder.GetRectTemps(10, 10, 10, 40, 0.95f, 1.0f, 20, out.data(), &count), 0) << "area 0";
    EXPECT_EQ(count, 99);
    EXPECT_EQ(holder.GetRectTemps(10, 10, 20, 20, 0.95f, 1.0f, 20, out.data(), &count), 0) << "100 > 99";
    EXPECT_EQ(count, 99);
    EXPECT_EQ(out[0], -1.0f);
    EXPECT_EQ(holder.GetCircleTemps(10, 10, 20, 20, 0.95f, 1.0f, 20, out.data(), &count), 0);
    EXPECT_EQ(count, 99) << "the count is kept on refusal";

    count = 100;
    ASSERT_EQ(holder.GetRectTemps(20, 20, 10, 10, 0.95f, 1.0f, 20, out.data(), &count), 1) << "corners in any order";
    EXPECT_EQ(count, 100);
    EXPECT_EQ(out[100], -1.0f);
    float t = 0;
    holder.GetPointTemp(10, 11, 0.95f, 1.0f, 20, &t);
    EXPECT_EQ(out[1], t) << "column by column: the second value is (10, 11)";

    count = 100;
    ASSERT_EQ(holder.GetCircleTemps(10, 10, 20, 20, 0.95f, 1.0f, 20, out.data(), &count), 1);
    EXPECT_GT(count, 50);
    EXPECT_LT(count, 100);
    int lineCount = 3;
    EXPECT_EQ(holder.LineProfile(0, 0, 10, 0, 0.95f, 1.0f, 20, out.data(), &lineCount), 0) << "10 points > 3";
    lineCount = 200;
    ASSERT_EQ(holder.LineProfile(0, 0, 10, 0, 0.95f, 1.0f, 20, out.data(), &lineCount), 1);
    EXPECT_EQ(lineCount, 10) << "the end point is not walked";
    EXPECT_EQ(holder.LineProfile(0, 0, 1000000, 0, 0.95f, 1.0f, 20, out.data(), &lineCount), 0)
        << "a line longer than the point buffer";
}

TEST(IrImageHolder, TemperaturesInTheDisplayUnit)
{
    TestEnvironment env;
    CIrImage holder(&env);
    ASSERT_EQ(holder.Open(Fixture("k8.vni"), nullptr), 1);
    float c = 0, k = 0, f = 0;
    holder.GetPointTemp(5, 6, 0.9f, 2.0f, 20, &c);
    env.SetTempUnit(kUnitKelvin);
    holder.GetPointTemp(5, 6, 0.9f, 2.0f, 20, &k);
    env.SetTempUnit(kUnitFahrenheit);
    holder.GetPointTemp(5, 6, 0.9f, 2.0f, 20, &f);
    EXPECT_FLOAT_EQ(k, float(double(c) + 273.2));
    EXPECT_FLOAT_EQ(f, float(double(c) * 1.8 + 32.0));
    EXPECT_GT(c, -100.0f);
}

TEST(IrImageHolder, MeasurementsOverNoPixelKeepTheStartingExtremes)
{
    TestEnvironment env;
    CIrImage holder(&env);
    ASSERT_EQ(holder.Open(Fixture("k4_320.vni"), nullptr), 1);
    IRAnalysisItem line;
    line.kind = kAnalysisLine;
    line.shape = {5, 5, 5, 5};
    line.maxX = 77;
    holder.MeasureLine(line);
    EXPECT_EQ(line.maximum, IRAnalysisItem::kNoMaximum);
    EXPECT_EQ(line.minimum, IRAnalysisItem::kNoMinimum);
    EXPECT_EQ(line.average, 0.0f);
    EXPECT_EQ(line.maxX, 77);
    EXPECT_FALSE(line.HasStatistics());

    IRAnalysisItem ellipse;
    ellipse.kind = kAnalysisEllipse;
    ellipse.shape = {-2000000000, -2000000000, 2000000000, 2000000000}; // from a hostile report
    holder.MeasureArea(ellipse);
    EXPECT_EQ(ellipse.maximum, IRAnalysisItem::kNoMaximum);
    EXPECT_EQ(ellipse.average, 0.0f);

    line.shape = {0, 10, 20, 10};
    holder.MeasureLine(line);
    EXPECT_TRUE(line.HasStatistics());
    EXPECT_GE(line.maximum, line.average);
    EXPECT_LE(line.minimum, line.average);
    EXPECT_EQ(holder.LinePointCount(), 20);
    EXPECT_EQ(holder.LinePoints()[19].x, 19);
}

TEST(IrImageHolder, SetRangeTempsRunsTheHistogramOverTheCurrentFrame)
{
    TestEnvironment env;
    CIrImage holder(&env);
    ASSERT_EQ(holder.Open(Fixture("k4_320.vni"), nullptr), 1);
    float high = 0, low = 0;
    holder.GetRangeTemps(&high, &low, nullptr, nullptr);
    ASSERT_GT(high, low);
    const float mid = (high + low) / 2;
    holder.SetRangeTemps(high, mid);
    const IfrHandle h = holder.Handle();
    EXPECT_EQ(IFR_GetAGCStatus(h), 0);
    EXPECT_EQ(IFR_GetHistogramMaxGray(h), holder.RangeGrayHigh());
    EXPECT_EQ(IFR_GetHistogramMinGray(h), holder.RangeGrayLow());
    std::vector<int> afterSet(static_cast<std::size_t>(IFR_GetHistogramTblLength(h)));
    IFR_GetHistogramTblData(h, afterSet.data());
    // The library's own pass over the image's frame gives the same bins.
    ASSERT_EQ(IFR_Next(h), 0);
    std::vector<int> own(afterSet.size());
    IFR_GetHistogramTblData(h, own.data());
    EXPECT_EQ(afterSet, own);
    float limitHigh = 0, limitLow = 0, rangeHigh = 0, rangeLow = 0;
    holder.GetTempLimits(&limitHigh, &limitLow, &rangeHigh, &rangeLow);
    EXPECT_NEAR(rangeLow, mid, 0.5f);
    EXPECT_FLOAT_EQ(limitHigh, high);
}

TEST(IrImageHolder, RecordRoundTripsAndAnEmptyRecordLoadsEmpty)
{
    TestEnvironment env;
    CIrImage holder(&env);
    ASSERT_EQ(holder.Open(Fixture("k8.vni"), nullptr), 1);
    holder.GetRangeTemps(nullptr, nullptr, nullptr, nullptr);
    platform::ArchiveWriter w;
    holder.Serialize(w);
    EXPECT_EQ(w.data().size(), 26 + holder.FileLength());

    platform::ArchiveClassRegistry registry;
    CIrImage back(&env);
    platform::ArchiveReader r(w.data(), registry);
    back.Serialize(r);
    EXPECT_TRUE(r.atEnd());
    ASSERT_TRUE(back.IsOpen());
    EXPECT_EQ(back.FileCopy(), holder.FileCopy());
    EXPECT_EQ(back.Width(), holder.Width());
    EXPECT_EQ(back.RangeGrayHigh(), holder.RangeGrayHigh());
    EXPECT_EQ(back.ModelVersion(), holder.ModelVersion());

    const QByteArray empty(4, '\0');
    platform::ArchiveReader e(empty, registry);
    back.Serialize(e);
    EXPECT_FALSE(back.IsOpen());
    EXPECT_TRUE(back.FileCopy().isEmpty());

    // Stored bytes the library refuses: the holder is empty, the copy kept.
    QByteArray refused = w.data();
    refused[26] = 'X';
    platform::ArchiveReader bad(refused, registry);
    back.Serialize(bad);
    EXPECT_FALSE(back.IsOpen());
    EXPECT_EQ(back.FileLength(), holder.FileLength());

    for (qsizetype cut : {qsizetype(3), qsizetype(10), w.data().size() - 1}) {
        const QByteArray part = w.data().left(cut);
        platform::ArchiveReader shortRecord(part, registry);
        EXPECT_THROW(back.Serialize(shortRecord), platform::ArchiveError) << cut;
    }
}

TEST(IrImageHolder, BitmapOutputIsAPackedDib)
{
    TestEnvironment env;
    QTemporaryDir dir;
    CIrImage holder(&env);
    ASSERT_EQ(holder.Open(Fixture("k4_320.vni"), nullptr), 1);
    const int capacity = ThermcoreDibFileSize(320, 240);
    QByteArray block(capacity, '\0');
    int size = 0;
    ASSERT_EQ(holder.OutputDIB(reinterpret_cast<unsigned char*>(block.data()), capacity, &size, 3), 0);
    EXPECT_EQ(size, capacity) << "the size counts the file header";
    EXPECT_EQ(block[0], '\x28') << "an information header at the start";
    EXPECT_EQ(holder.SaveImageBmp(dir.filePath(QStringLiteral("out.bmp")), 3), 1);
    const QByteArray bmp = ReadAll(dir.filePath(QStringLiteral("out.bmp")));
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(bmp.size(), capacity);
    EXPECT_EQ(holder.SaveImageBmp(dir.filePath(QStringLiteral("no/such/folder/out.bmp")), 3), -2);
}

TEST(IrImageHolder, AreasGiveThePointTemperaturesOfEveryModel)
{
    // Areas are converted through the library's gray table; every camera
    // model must give exactly the point values, border rows included.
    TestEnvironment env;
    for (const char* name : {"k4.vni", "k8.vni", "k11.vni", "k2.vni", "k3.vni"}) {
        CIrImage holder(&env);
        ASSERT_EQ(holder.Open(Fixture(name), nullptr), 1) << name;
        const int w = holder.Width(), h = holder.Height();
        std::vector<float> area(std::size_t(w + 2) * std::size_t(h + 2));
        int count = static_cast<int>(area.size());
        ASSERT_EQ(holder.GetRectTemps(-1, -1, w + 1, h + 1, 0.93f, 3.0f, 20, area.data(), &count), 1) << name;
        ASSERT_EQ(count, (w + 2) * (h + 2));
        int i = 0;
        for (int x = -1; x < w + 1; ++x) {
            for (int y = -1; y < h + 1; ++y, ++i) {
                float t = 0;
                holder.GetPointTemp(x, y, 0.93f, 3.0f, 20, &t);
                ASSERT_EQ(area[std::size_t(i)], t) << name << " at " << x << ", " << y;
            }
        }
    }
}

TEST(IrImageHolder, ABufferTheLibraryRefusesLeavesTheHolderEmpty)
{
    TestEnvironment env;
    CIrImage holder(&env);
    ASSERT_EQ(holder.Open(Fixture("k4.vni"), nullptr), 1);
    const IfrHandle previous = holder.Handle();
    IRFileEntry entry;
    entry.bytes = QByteArray(500, 'x');
    EXPECT_EQ(holder.LoadBuffer(entry, nullptr), -1);
    EXPECT_FALSE(holder.IsOpen());
    EXPECT_EQ(IFR_GetFileLen(previous), 0);
    EXPECT_EQ(holder.LoadBuffer(IRFileEntry{}, nullptr), -1) << "no bytes";

    entry.bytes = ReadAll(Fixture("k8.vni"));
    ASSERT_EQ(holder.LoadBuffer(entry, nullptr), 1);
    EXPECT_EQ(holder.FileCopy().constData(), entry.bytes.constData()) << "a still image's bytes are shared";
    EXPECT_EQ(holder.SetPalette(40), 0);
    EXPECT_EQ(holder.PaletteIndex(), 0) << "an index outside the table";
}

// A camera file whose temperature model runs past its end (Thermcore's
// fixtures k4_line_oversize, k4_photo_oversize) is damaged: it does not
// open. One already stored in a report (its bytes) never shows Thermcore's
// bad-handle value as a temperature, in any unit.
TEST(IrImageHolder, AFileWithoutTemperaturesIsDamagedAndShowsNoBadHandleValue)
{
    TestEnvironment env;
    CIrImage holder(&env);
    for (const char* name : {"k4_line_oversize.vni", "k4_photo_oversize.vni"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(holder.Open(Fixture(name), nullptr), -1);
        EXPECT_FALSE(holder.IsOpen());
    }

    IRFileEntry entry;
    entry.bytes = ReadAll(Fixture("k4_line_oversize.vni"));
    ASSERT_EQ(holder.LoadBuffer(entry, nullptr), 1) << "a report's stored copy still shows its picture";
    for (int unit : {kUnitCelsius, kUnitFahrenheit, kUnitKelvin}) {
        SCOPED_TRACE(unit);
        env.SetTempUnit(unit);
        float t = 0;
        holder.GetPointTemp(10, 10, 0.95f, 1.0f, 20, &t);
        EXPECT_FALSE(thermcore::IsTemperature(t)) << t;
        EXPECT_EQ(FormatTempLabel(t, 120.0f, -20.0f), NoTemperatureText());
    }
    env.SetTempUnit(kUnitCelsius);
    EXPECT_EQ(FormatTempLabel(-1000.0f, 2000.0f, -2000.0f), NoTemperatureText());
    EXPECT_EQ(FormatTempLabel(-273.0f, 2000.0f, -2000.0f), QStringLiteral("-273.0"));
}
