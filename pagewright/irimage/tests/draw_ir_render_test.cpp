// The whole image object as a picture: BMP files read back by PIL, the batch
// step's bitmaps, the one-shot number flag, the clipboard left alone, the
// visible photo, and the markers of profile charts.
#include "test_support.h"

#include "irimage/draw_ir.h"
#include "irimage/ir_profile_link.h"

#include "document/page_dc.h"
#include "document/word_export.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using namespace irtest;

namespace {

struct BmpInfo {
    int width = 0;
    int height = 0;
    int stride = 0;
    QString mode;
};

BmpInfo ReadBmp(const QString& path)
{
    QProcess probe;
    probe.start(QStringLiteral(IRIMAGE_TEST_PYTHON), {QStringLiteral(IRIMAGE_TEST_SCRIPTS "/bmp_probe.py"), path});
    EXPECT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (lines.size() < 4)
        return {};
    return {lines[0].toInt(), lines[1].toInt(), lines[2].toInt(), lines[3]};
}

int Stride24(int width) { return (width * 3 + 3) & ~3; }

// An image object 2400 units high with its bar: 4199 x 2400 units, at zoom
// z trunc(1008 / z) units per 96 pixels.
struct RenderReport : ReportWithView {
    CDrawIR* ir = AddImage(3);
    QTemporaryDir dir;
    RenderReport()
    {
        EXPECT_TRUE(ir->LoadIRFile(Fixture("k4_320.vni")));
        ir->position = DocRect(1000, -3400, 5199, -1000);
        ir->m_analyses.Add(Shape(kAnalysisRect, {50, 50, 150, 120}));
        ir->m_analyses[0].labelMode = 1;
        ir->m_analyses[0].color = 0xFFFF00;
        ir->RecomputeAll();
        doc.SetShowNumbers(true);
    }
    static int Pixels(int units, double zoom) { return int(std::lround(units * 96.0 / int(1008 / zoom))); }
};

// A profile chart bound to image 3, its cursor half-way along line 1.
class FakeProfile : public CDrawObj, public IRProfileCursors {
public:
    FakeProfile(int number, COLORREF colour, float position) : m_number(number), m_colour(colour), m_at(position) {}
    int ProfileImageNumber() const override { return m_number; }
    COLORREF ProfileCursorColor() const override { return m_colour; }
    float ProfileCursorPosition(int line) const override { return line == 1 ? m_at : 0.0f; }

private:
    int m_number;
    COLORREF m_colour;
    float m_at;
};

} // namespace

TEST(DrawIrRender, BmpFilesHoldTheObjectAtTheViewsZoom)
{
    RenderReport r;
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's text"));
    for (double zoom : {1.0, 2.0}) {
        SCOPED_TRACE(zoom);
        const QString path = r.dir.filePath(QStringLiteral("frame%1.bmp").arg(zoom));
        ASSERT_TRUE(r.ir->SaveFrameAsBmp(path, zoom));
        const BmpInfo info = ReadBmp(path);
        EXPECT_EQ(info.width, RenderReport::Pixels(4199, zoom));
        EXPECT_EQ(info.height, RenderReport::Pixels(2400, zoom));
        EXPECT_EQ(info.stride, Stride24(info.width));
        EXPECT_EQ(info.mode, QStringLiteral("RGB"));
        const QImage picture = r.ir->RenderFrameImage(zoom);
        ASSERT_TRUE(picture.save(QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/ir-frame-zoom%1.png").arg(int(zoom))));
        // The picture and the white beyond the bar's labels.
        EXPECT_NE(picture.pixel(picture.width() / 4, picture.height() / 2), qRgb(255, 255, 255));
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's text"));
    // No folder to write into: false, nothing left behind.
    EXPECT_FALSE(r.ir->SaveFrameAsBmp(r.dir.filePath(QStringLiteral("no/such/frame.bmp"))));
}

// "NO.n" of the whole-object picture (the .docx and BMP copies) sits in a
// corner on the scale's side, clear of the colour scale: no pixel of its
// text comes near a pixel of the bar or its values. With a long top value
// it moves to the lower corner. Hidden once, it is gone and then back.
TEST(DrawIrRender, TheNumberSitsInACornerClearOfTheColourScaleUnlessHiddenOnce)
{
    RenderReport r;
    // The pixels where two pictures differ.
    const auto differing = [](const QImage& a, const QImage& b) {
        std::vector<QPoint> points;
        for (int y = 0; y < a.height() && y < b.height(); ++y)
            for (int x = 0; x < a.width() && x < b.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y))
                    points.emplace_back(x, y);
        return points;
    };
    const auto box = [](const std::vector<QPoint>& points) {
        QRect b;
        for (const QPoint& p : points)
            b |= QRect(p, QSize(1, 1));
        return b;
    };
    const auto render = [&r](bool bar, bool number) {
        r.ir->m_bShowBar = bar ? 1 : 0;
        r.ir->m_bHideNumberOnce = !number;
        return r.ir->RenderFrameImage(1.0);
    };
    const struct {
        const char* what;
        int number;
        float high, low;
        bool upper;
    } cases[] = {
        {"the file's range", 3, 0, 0, true},
        {"three digits", 100, 65.5f, -20.5f, true},
        {"a long top value", 1000, 1234.5f, 0.5f, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        r.ir->SetNumber(c.number);
        r.ir->position = DocRect(1000, -3400, 5199, -1000);
        if (c.high > c.low) {
            r.ir->m_fLimits[4] = c.high;
            r.ir->m_fLimits[5] = c.low;
        }
        const QImage plain = render(true, false);
        const QImage numbered = render(true, true);
        EXPECT_FALSE(r.ir->m_bHideNumberOnce);
        const QImage withoutBar = render(false, false);
        const std::vector<QPoint> number = differing(plain, numbered);
        const std::vector<QPoint> scale = differing(withoutBar, plain);
        ASSERT_GT(number.size(), 20u);
        ASSERT_GT(scale.size(), 200u);
        const QRect numberBox = box(number);
        ASSERT_TRUE(QRect(QPoint(0, 0), numbered.size()).contains(numberBox));
        EXPECT_GT(numberBox.left(), numbered.width() * 3 / 4);
        if (c.upper)
            EXPECT_LT(numberBox.bottom(), numbered.height() / 4);
        else
            EXPECT_GT(numberBox.top(), numbered.height() * 3 / 4);
        const QRect near = numberBox.adjusted(-2, -2, 2, 2);
        const auto touching = std::count_if(scale.begin(), scale.end(), [&](const QPoint& p) { return near.contains(p); });
        EXPECT_EQ(touching, 0) << "number at " << numberBox.x() << "," << numberBox.y() << " " << numberBox.width()
                               << "x" << numberBox.height();
        const QString name = QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/ir-frame-number-%1.png").arg(c.number);
        EXPECT_TRUE(numbered.save(name));
    }
}

TEST(DrawIrRender, TheBatchStepWritesTheFileOrTheObjectAndKeepsTheShownImage)
{
    RenderReport r;
    const QByteArray shownDib = r.ir->Dib();
    const QString picture = r.dir.filePath(QStringLiteral("picture.bmp"));
    ASSERT_TRUE(r.ir->RenderFileToBitmap(false, Fixture("k8_640.vni"), picture, 2));
    BmpInfo info = ReadBmp(picture);
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.height, 480);
    EXPECT_EQ(info.stride, Stride24(640)) << "the picture's own DIB";
    const QString whole = r.dir.filePath(QStringLiteral("whole.bmp"));
    ASSERT_TRUE(r.ir->RenderFileToBitmap(true, Fixture("k8_640.vni"), whole, 2));
    info = ReadBmp(whole);
    EXPECT_EQ(info.width, RenderReport::Pixels(4199, 1.0));
    EXPECT_EQ(info.stride, Stride24(info.width));
    // A file that does not open writes nothing; the object shows its own
    // image, still measurable.
    EXPECT_FALSE(r.ir->RenderFileToBitmap(true, Fixture("bad_model.vni"), r.dir.filePath(QStringLiteral("x.bmp")), 0));
    EXPECT_FALSE(QFile::exists(r.dir.filePath(QStringLiteral("x.bmp"))));
    EXPECT_EQ(r.ir->Dib(), shownDib);
    EXPECT_EQ(r.ir->ImageWidth(), 320);
    EXPECT_TRUE(r.ir->PointTemperature(10, 10).has_value());
}

TEST(DrawIrRender, TheVisiblePhotoIsWrittenOnlyWhenTheFileHasOne)
{
    RenderReport r;
    const QString path = r.dir.filePath(QStringLiteral("photo.bmp"));
    EXPECT_FALSE(r.ir->ExportVisibleImage(path)) << "k4_320 has no photo";
    ASSERT_TRUE(r.ir->LoadIRFile(Fixture("k8_640.vni")));
    ASSERT_TRUE(r.ir->ExportVisibleImage(path));
    // What the holder's photo writer gives, passed on whole.
    const QString direct = r.dir.filePath(QStringLiteral("direct.raw"));
    int format = 3;
    r.ir->Image().SaveCCDFile(direct, &format);
    EXPECT_EQ(ReadAll(path), ReadAll(direct));
    EXPECT_EQ(ReadAll(path).size(), 64 * 48 * 4);
    // The scratch copy is gone from the program's scratch folder.
    EXPECT_TRUE(QDir(r.env.TemporaryFolder()).entryList({QStringLiteral("photo-*")}).isEmpty());
}

TEST(DrawIrRender, ProfileChartsMarkTheirCursorOnLineOneInTenSlotsAtMost)
{
    RenderReport r;
    r.ir->m_analyses.RemoveAll();
    IRAnalysisItem line = Shape(kAnalysisLine, {20, 120, 220, 120});
    line.number = 1;
    r.ir->m_analyses.Add(line);
    r.doc.AddNoUndo(std::make_unique<FakeProfile>(3, 0x00FF00, 0.5f));
    r.doc.AddNoUndo(std::make_unique<FakeProfile>(4, 0x0000FF, 0.25f)); // another image's
    for (int i = 0; i < 10; ++i)
        r.doc.AddNoUndo(std::make_unique<FakeProfile>(3, 0xFF0000, 0.0f)); // no cursor
    r.ir->CollectProfileLinks();
    int used = 0;
    for (const CDrawIR::ProfileLink& link : r.ir->ProfileLinks())
        used += link.used ? 1 : 0;
    EXPECT_EQ(used, 10) << "eleven charts of image 3, ten slots";
    EXPECT_EQ(r.ir->ProfileLinks()[0].colour, 0x00FF00u);
    // The cross half-way along the line (pixel 120, 120) in the chart's
    // colour.
    const QImage picture = r.ir->RenderFrameImage(1.0);
    const double unitsPerPixel = 2400.0 / 240;
    const int x = RenderReport::Pixels(int(120 * unitsPerPixel), 1.0);
    const int y = RenderReport::Pixels(int(120 * unitsPerPixel) + 50, 1.0);
    EXPECT_EQ(picture.pixel(x, y), qRgb(0, 255, 0));
}

namespace {

class PictureExport : public CWordExport {
public:
    void ExportImage(float l, float t, float w, float h, const QImage& picture, bool border) override
    {
        places.push_back({l, t, w, h});
        pictures.push_back(picture);
        borders.push_back(border);
    }
    std::vector<std::array<float, 4>> places;
    std::vector<QImage> pictures;
    std::vector<bool> borders;
};

} // namespace

TEST(DrawIrRender, TheWordExportPlacesTheWholeObjectPictureAtItsUpperLeft)
{
    RenderReport r;
    r.ir->position = DocRect(1000, -1000, 5199, -3400); // mirrored: normalised for the export
    PictureExport exporter;
    r.ir->ExportToWord(exporter);
    ASSERT_EQ(exporter.places.size(), 1u);
    EXPECT_EQ(exporter.places[0], (std::array<float, 4>{1000, -1000, 4199, 2400}));
    EXPECT_FALSE(exporter.borders[0]);
    EXPECT_EQ(exporter.pictures[0].size(), QSize(RenderReport::Pixels(4199, 1.0), RenderReport::Pixels(2400, 1.0)));

    // Without a picture nothing is exported.
    CDrawIR* empty = r.AddImage(4);
    empty->ExportToWord(exporter);
    EXPECT_EQ(exporter.places.size(), 1u);
}
