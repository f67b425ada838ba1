// The browser's holder against the recording fake: the calls it makes, in
// order, and the arithmetic it does on the answers.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

#include "fake/fake_thermcore.h"
#include "heatshelf/ir_image.h"

namespace heatshelf {
namespace {

using thermcore::testing::FakeThermcore;
using Names = std::vector<std::string>;

class IrImageFakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(appDir()));
    }
    QString appDir() const { return dir.path() + QStringLiteral("/app"); }
    QString touch(const QString& name, const QByteArray& bytes = "x") const {
        const QString path = name.startsWith(QLatin1Char('/')) ? name : dir.path() + QLatin1Char('/') + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    std::string ruler(const char* name) const { return (appDir() + QLatin1Char('/') + QLatin1String(name)).toStdString(); }

    QTemporaryDir dir;
    FakeThermcore fake;
};

TEST_F(IrImageFakeTest, OpenMakesItsCallsInOrder) {
    CIrImage image(appDir(), fake.calls());
    const QString path = touch(QStringLiteral("a.VNI"));
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(fake.names(), (Names{"LoadFile", "GetImageWidthHeight", "GetCCDImageWidthHeight",
                                   "SetColorRuler", "ReceiveStream", "Next", "GetFileVer",
                                   "GetEmissDis", "GetAmbHum", "GetPointInfo", "GetLineInfo",
                                   "GetRectInfo", "GetDeviceDate", "GetColorID", "SetColorRuler",
                                   "GetHistogramMaxGray", "GetHistogramMinGray"}));
    EXPECT_EQ(fake.argsOf("ReceiveStream"), (Names{"callback"}));

    // A second open closes and frees the first handle before loading.
    fake.clearLog();
    ASSERT_EQ(image.Open(path), 1);
    const Names names = fake.names();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(Names(names.begin(), names.begin() + 3), (Names{"CloseFile", "Free", "LoadFile"}));
}

TEST_F(IrImageFakeTest, TheKindComesFromTheExtensionInAnyCase) {
    const struct {
        const char* name;
        int kind;
    } cases[] = {{"s.vnv", 1}, {"s2.VnV", 1}, {"p.jpg", 2}, {"p2.JPG", 2},
                 {"b.bmp", 0}, {"i.vni", 0},  {"i2.VNI", 0}};
    CIrImage image(appDir(), fake.calls());
    for (const auto& c : cases) {
        fake.clearLog();
        const QString path = touch(QLatin1String(c.name));
        ASSERT_EQ(image.Open(path), 1) << c.name;
        const Names args = fake.argsOf("LoadFile");
        ASSERT_EQ(args.size(), 1u);
        EXPECT_EQ(args[0], "(nil)," + path.toStdString() + "," + std::to_string(c.kind)) << c.name;
    }
}

TEST_F(IrImageFakeTest, APaletteOutsideTheTableIsPaletteZeroFoundWithoutRegardToCase) {
    touch(appDir() + QStringLiteral("/nruler1.bmp"));
    touch(appDir() + QStringLiteral("/NRuler4.BMP"));
    const struct {
        int id;
        int palette;
        const char* file;
    } cases[] = {{10, 0, "nruler1.bmp"}, {-1, 0, "nruler1.bmp"}, {255, 0, "nruler1.bmp"}, {3, 3, "NRuler4.BMP"}};
    const QString path = touch(QStringLiteral("a.vni"));
    CIrImage image(appDir(), fake.calls());
    for (const auto& c : cases) {
        fake.clearLog();
        fake.colorId = c.id;
        ASSERT_EQ(image.Open(path), 1);
        EXPECT_EQ(image.palette(), c.palette) << c.id;
        const Names rulers = fake.argsOf("SetColorRuler");
        ASSERT_EQ(rulers.size(), 2u);
        EXPECT_EQ(rulers[0], ruler("nruler1.bmp")) << "the default ruler first";
        EXPECT_EQ(rulers[1], ruler(c.file)) << c.id;
    }
    fake.clearLog();
    EXPECT_EQ(image.SetPalette(12), 0);
    EXPECT_EQ(image.palette(), 0) << "a palette outside the table is the first";
    EXPECT_EQ(fake.argsOf("SetColorRuler"), (Names{ruler("nruler1.bmp")}));
    fake.clearLog();
    EXPECT_EQ(image.SetPalette(3), 0);
    EXPECT_EQ(fake.argsOf("SetColorRuler"), (Names{ruler("NRuler4.BMP")}));
    int index = -1;
    image.GetPalette(&index);
    EXPECT_EQ(index, 3);
}

TEST_F(IrImageFakeTest, ProgramFilesAddedOrRenamedBetweenOpensAreFound) {
    // The holder remembers where the program files are between opens; a
    // change of the folder's entries is seen at the next open.
    const QString path = touch(QStringLiteral("a.vni"));
    CIrImage image(appDir(), fake.calls());
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(fake.argsOf("SetColorRuler")[0], ruler("NRULER1.bmp")) << "missing: the exact name";
    const QString added = touch(appDir() + QStringLiteral("/nruler1.BMP"));
    fake.clearLog();
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(fake.argsOf("SetColorRuler")[0], ruler("nruler1.BMP"));
    ASSERT_TRUE(QFile::rename(added, appDir() + QStringLiteral("/Nruler1.bmp")));
    fake.clearLog();
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(fake.argsOf("SetColorRuler")[0], ruler("Nruler1.bmp"));
}

TEST_F(IrImageFakeTest, OpenReadsSizesParametersAndTheFilterSetting) {
    const QString path = touch(QStringLiteral("a.vni"));
    fake.width = 640;
    fake.height = 480;
    fake.photoWidth = 318;
    fake.photoHeight = 200;
    fake.scheme = 3;
    fake.version = 0x10008;  // only the low 16 bits are the version
    CIrImage image(appDir(), fake.calls());
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(image.photoWidth(), 316);
    EXPECT_EQ(image.photoHeight(), 200);
    EXPECT_EQ(image.displayWidth(), 640);
    EXPECT_EQ(image.displayHeight(), 480);
    EXPECT_EQ(image.scheme(), 3);
    EXPECT_EQ(image.fileVersion(), 8);
    EXPECT_FLOAT_EQ(image.emissivity(), 0.95f);
    EXPECT_FLOAT_EQ(image.ambient(), 22.0f);
    EXPECT_EQ(image.histogramMaxGray(), 3000);
    EXPECT_TRUE(fake.argsOf("SetFilterType").empty()) << "no field.ini, no filter";

    touch(appDir() + QStringLiteral("/FIELD.INI"), "[picwave]\r\npwave = 1\r\n");
    fake.clearLog();
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(fake.argsOf("SetFilterType"), (Names{"3"}));
    touch(appDir() + QStringLiteral("/FIELD.INI"), "[PICWAVE]\r\nPWave=0\r\n");
    fake.clearLog();
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_TRUE(fake.argsOf("SetFilterType").empty());
}

TEST_F(IrImageFakeTest, AFailedOpenKeepsOrDropsTheHandleAsItShould) {
    const QString path = touch(QStringLiteral("a.vni"));
    fake.width = 64;
    CIrImage image(appDir(), fake.calls());
    ASSERT_EQ(image.Open(path), 1);

    fake.clearLog();
    EXPECT_EQ(image.Open(dir.path() + QStringLiteral("/missing.vni")), -1);
    EXPECT_TRUE(fake.log.empty()) << "a missing path reaches nothing";
    EXPECT_NE(image.handle(), nullptr);

    fake.loadResult = nullptr;
    fake.width = 32;
    EXPECT_EQ(image.Open(path), -1);
    EXPECT_EQ(fake.names(), (Names{"CloseFile", "Free", "LoadFile"}));
    EXPECT_EQ(image.handle(), nullptr);
    EXPECT_EQ(image.imageWidth(), 64) << "fields keep the last successful open";
    EXPECT_EQ(image.Close(), 1);
}

TEST_F(IrImageFakeTest, DeviceDataNeverShowsTheLastFilesValues) {
    const QString path = touch(QStringLiteral("a.vni"));
    std::memcpy(fake.model, "ABCDEFGH", 8);  // fills its field: no terminator
    fake.lastByte = 2;
    CIrImage image(appDir(), fake.calls());
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(image.deviceModel(), QByteArray("ABCDEFGH"));
    EXPECT_EQ(image.lastDeviceValue(), 2);
    EXPECT_EQ(image.rangeLow(), 0) << "what the file gives replaces the preset";

    // Records the library does not give are absent, not the last file's.
    fake.points[1] = {10, 10, 1, 95, 3, 0.0f};
    fake.lines[0] = {1, 1, 5, 5, 1, 95, 3, 0, 0, 0.0f};
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(image.points()[1].state, 1);
    fake.fillsRecords = false;
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(image.points()[1].state, 2);
    EXPECT_EQ(image.lines()[0].state, 2);

    fake.writesLastByte = false;  // as for a sequence
    std::memcpy(fake.model, "K3\0\0\0\0\0\0", 8);
    ASSERT_EQ(image.Open(path), 1);
    EXPECT_EQ(image.lastDeviceValue(), 0xFF);
    EXPECT_EQ(image.deviceModel(), QByteArray("K3"));
}

TEST_F(IrImageFakeTest, TempRangeIsTheWindowAndOneWindowOutside) {
    const QString path = touch(QStringLiteral("a.vni"));
    fake.histMax = 3000;  // 30.0
    fake.histMin = 2000;  // 20.0
    CIrImage image(appDir(), fake.calls());
    ASSERT_EQ(image.Open(path), 1);
    fake.clearLog();
    float upper = 0, lower = 0, high = 0, low = 0;
    EXPECT_EQ(image.GetTempRange(&upper, &lower, &high, &low), 1);
    EXPECT_FLOAT_EQ(upper, 40.0f);
    EXPECT_FLOAT_EQ(lower, 10.0f);
    EXPECT_FLOAT_EQ(high, 30.0f);
    EXPECT_FLOAT_EQ(low, 20.0f);
    EXPECT_FLOAT_EQ(image.levelHigh(), 30.0f);
    EXPECT_EQ(image.displayHighGray(), 3000);
    EXPECT_EQ(image.displayLowGray(), 2000);
    EXPECT_EQ(fake.names(), (Names{"SetEmissDis", "SetAmbHum", "GrayToTemp", "GrayToTemp", "SetEmissDis",
                                   "SetAmbHum", "TempToGray", "SetEmissDis", "SetAmbHum", "TempToGray"}));
    EXPECT_EQ(fake.argsOf("GrayToTemp"), (Names{"3000", "2000"}));
}

TEST_F(IrImageFakeTest, LevelAndSpanSetAManualWindowWithoutReadingAFrame) {
    const QString path = touch(QStringLiteral("a.vnv"));
    CIrImage image(appDir(), fake.calls());
    ASSERT_EQ(image.Open(path), 1);
    fake.clearLog();
    EXPECT_EQ(image.SetLevelSpan(36.5f, 21.25f), 1);
    EXPECT_EQ(fake.log, (Names{"SetEmissDis(0.95,2.00)", "SetAmbHum(22.00,0.50)", "TempToGray(36.50)",
                               "SetEmissDis(0.95,2.00)", "SetAmbHum(22.00,0.50)", "TempToGray(21.25)",
                               "SetAGCStatus(0)", "SetHistogramMaxGray(3650)",
                               "SetHistogramMinGray(2125)"}));
    EXPECT_FLOAT_EQ(image.levelHigh(), 36.5f);
    EXPECT_FLOAT_EQ(image.levelLow(), 21.25f);
}

TEST_F(IrImageFakeTest, SoundInvertAndBoard) {
    CIrImage image(appDir(), fake.calls());
    fake.existSound = 1;
    EXPECT_EQ(image.HasSound(), 0) << "no handle, no sound";
    EXPECT_TRUE(fake.log.empty());
    ASSERT_EQ(image.Open(touch(QStringLiteral("a.vni"))), 1);
    EXPECT_EQ(image.HasSound(), 1);
    fake.existSound = 0;
    EXPECT_EQ(image.HasSound(), 0);
    fake.soundFileResult = -1;
    EXPECT_EQ(image.ExtractSound(QStringLiteral("/tmp/n.wav")), -1);

    fake.clearLog();
    EXPECT_EQ(image.SetInvert(1), 1);
    EXPECT_EQ(image.invert(), 1);
    EXPECT_EQ(fake.log, (Names{"SetIRInvert(1)"}));

    fake.boardX = 10;
    fake.boardY = 20;
    fake.boardW = 30;
    fake.boardH = 40;
    int rect[4] = {-1, -1, -1, -1};
    EXPECT_EQ(image.GetBoardRect(rect), 1);
    EXPECT_EQ(std::vector<int>(rect, rect + 4), (std::vector<int>{10, 20, 40, 60}));
    // A damaged file's sizes stop at the int range instead of overflowing.
    fake.boardX = -250885109;
    fake.boardW = -2062786548;
    fake.boardY = 2000000000;
    fake.boardH = 2000000000;
    EXPECT_EQ(image.GetBoardRect(rect), 1);
    EXPECT_EQ(std::vector<int>(rect, rect + 4), (std::vector<int>{-250885109, 2000000000, INT32_MIN, INT32_MAX}));
}

class IrImageMeasureTest : public IrImageFakeTest {
protected:
    void SetUp() override {
        IrImageFakeTest::SetUp();
        fake.ambient = 20.0f;
        ASSERT_EQ(image.Open(touch(QStringLiteral("m.vni"))), 1);
        fake.clearLog();
    }
    CIrImage image{appDir(), fake.calls()};
};

TEST_F(IrImageMeasureTest, EmptyShapesGiveCountZeroAndResultZero) {
    float out[64];
    const struct {
        const char* what;
        int x1, y1, x2, y2;
    } shapes[] = {{"shared x", 10, 10, 10, 40}, {"shared y", 5, 7, 30, 7}, {"one point", 3, 3, 3, 3}};
    for (const auto& s : shapes) {
        int count = 64;
        EXPECT_EQ(image.GetRectTemps(s.x1, s.y1, s.x2, s.y2, 0.9f, 1.0f, out, &count), 0) << s.what;
        EXPECT_EQ(count, 0) << s.what;
        count = 64;
        EXPECT_EQ(image.GetCircleTemps(s.x1, s.y1, s.x2, s.y2, 0.9f, 1.0f, out, &count), 0) << s.what;
        EXPECT_EQ(count, 0) << s.what;
        IRAnalysisItem item;
        item.x1 = s.x1;
        item.y1 = s.y1;
        item.x2 = s.x2;
        item.y2 = s.y2;
        item.avgTemp = 123.0f;
        EXPECT_EQ(image.MeasureArea(&item), 0) << s.what;
        EXPECT_EQ(item.avgTemp, 123.0f) << s.what << ": no average of nothing";
    }
    // An area beyond any picture is refused rather than walked for ever.
    IRAnalysisItem huge;
    huge.x1 = -2000000000;
    huge.y1 = -2000000000;
    huge.x2 = 2000000000;
    huge.y2 = 2000000000;
    EXPECT_EQ(image.MeasureArea(&huge), 0);
    // A disc of radius 0: a rectangle one pixel wide and three high.
    int count = 64;
    EXPECT_EQ(image.GetCircleTemps(0, 0, 1, 3, 0.9f, 1.0f, out, &count), 0);
    EXPECT_EQ(count, 0);
    // The line from a point to itself has no point.
    count = 64;
    EXPECT_EQ(image.GetLineTemps(5, 5, 5, 5, 0.9f, 1.0f, out, &count), 0);
    EXPECT_EQ(count, 0);
    IRAnalysisItem line;
    line.x1 = line.x2 = 5;
    line.y1 = line.y2 = 5;
    line.avgTemp = 7.0f;
    EXPECT_EQ(image.MeasureLine(&line), 0);
    EXPECT_FALSE(std::isnan(line.avgTemp));
    EXPECT_TRUE(fake.argsOf("GetPointTemp").empty());
}

TEST_F(IrImageMeasureTest, RectanglesGoColumnByColumnWithoutTheirEnds) {
    float out[6];
    int count = 6;
    ASSERT_EQ(image.GetRectTemps(12, 22, 10, 20, 0.8f, 3.0f, out, &count), 1);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(fake.argsOf("GetPointTemp"), (Names{"10,20", "10,21", "11,20", "11,21"}));
    EXPECT_EQ(fake.argsOf("SetEmissDis")[0], "0.80,3.00");
    EXPECT_EQ(fake.argsOf("SetAmbHum")[0], "20.00,0.50") << "the file's ambient and humidity";
    EXPECT_FLOAT_EQ(out[2], 11.020f);
    count = 3;
    EXPECT_EQ(image.GetRectTemps(10, 20, 12, 22, 0.8f, 3.0f, out, &count), 0) << "more than the room";
    EXPECT_EQ(count, 0);
}

TEST_F(IrImageMeasureTest, LinesAndDiscsMeasureThroughThePointTemperature) {
    // The line from (0, 0) to (4, 2): (0,0) (1,0) (2,1) (3,1), the end left out.
    float out[8];
    int count = 3;
    EXPECT_EQ(image.GetLineTemps(0, 0, 4, 2, 0.9f, 1.0f, out, &count), 0) << "room for 3 of 4";
    count = 8;
    ASSERT_EQ(image.GetLineTemps(0, 0, 4, 2, 0.9f, 1.0f, out, &count), 1);
    EXPECT_EQ(count, 4);
    EXPECT_FLOAT_EQ(out[3], 3.001f);

    IRAnalysisItem line;
    line.x1 = 0;
    line.y1 = 0;
    line.x2 = 4;
    line.y2 = 2;
    ASSERT_EQ(image.MeasureLine(&line), 1);
    EXPECT_FLOAT_EQ(line.maxTemp, 3.001f);
    EXPECT_EQ(line.maxPos.x, 3);
    EXPECT_FLOAT_EQ(line.minTemp, 0.0f);
    EXPECT_FLOAT_EQ(line.avgTemp, (0.0f + 1.0f + 2.001f + 3.001f) / 4);

    // The disc of (10, 10)-(14, 14): centre (12, 12), radius 2, pixels with
    // dx^2 + dy^2 < 4 among x, y in 10..13.
    fake.clearLog();
    float disc[16];
    count = 15;
    ASSERT_EQ(image.GetCircleTemps(14, 14, 10, 10, 0.9f, 1.0f, disc, &count), 0) << "room for the square";
    EXPECT_EQ(count, 0);
    count = 16;
    ASSERT_EQ(image.GetCircleTemps(14, 14, 10, 10, 0.9f, 1.0f, disc, &count), 1);
    EXPECT_EQ(fake.argsOf("GetPointTemp"),
              (Names{"11,11", "11,12", "11,13", "12,11", "12,12", "12,13", "13,11", "13,12", "13,13"}));
    EXPECT_EQ(count, 9);

    IRAnalysisItem area;
    area.x1 = 10;
    area.y1 = 10;
    area.x2 = 14;
    area.y2 = 14;
    ASSERT_EQ(image.MeasureArea(&area), 1);
    EXPECT_EQ(area.maxPos.x, 3) << "positions from the rectangle's corner";
    EXPECT_EQ(area.maxPos.y, 3);
    EXPECT_EQ(area.minPos.x, 1);
    EXPECT_EQ(area.minPos.y, 1);
    EXPECT_NEAR(area.avgTemp, 12.012f, 1e-4);
}

TEST_F(IrImageMeasureTest, TheLineBufferBoundIsKept) {
    std::vector<float> out(static_cast<size_t>(thermcore::kLinePointCapacity) + 10);
    int count = static_cast<int>(out.size());
    EXPECT_EQ(image.GetLineTemps(0, 0, thermcore::kLinePointCapacity + 5, 0, 0.9f, 1.0f, out.data(), &count),
              0);
    EXPECT_TRUE(fake.argsOf("GetPointTemp").empty());
    IRAnalysisItem line;
    line.x2 = -thermcore::kLinePointCapacity - 1;
    EXPECT_EQ(image.MeasureLine(&line), 0);
}

}  // namespace
}  // namespace heatshelf
