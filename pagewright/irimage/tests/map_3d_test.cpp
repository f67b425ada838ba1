// The 3D map without an OpenGL context: its record, link and area data, the
// height grid, drawing and handles, and the properties dialog.
#include "irimage/draw_3d_map.h"

#include "irimage/draw_ir.h"
#include "irimage/height_grid.h"
#include "irimage/map_prop_dlg.h"
#include "test_support.h"

#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "platform/dib.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>

using namespace irtest;

namespace {

IRAnalysisItem Rectangle(int number, IRShape shape)
{
    IRAnalysisItem item;
    item.kind = kAnalysisRect;
    item.number = number;
    item.shape = shape;
    item.emissivity = 0.95f;
    item.distance = 1.0f;
    item.background = 20.0f;
    return item;
}

// A report with a view, an image (k4_320, 320 x 240) and a map.
struct Report {
    TestEnvironment env;
    CDI_RptDoc doc{&env, &RegistryWithMaps()};
    DrawView view;
    CDrawIR* ir = nullptr;
    CDraw3DMap* map = nullptr;

    explicit Report(bool withImage = true)
    {
        doc.SetView(&view);
        if (withImage) {
            auto image = std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4000, -3000));
            image->SetNumber(1);
            EXPECT_TRUE(image->LoadIRFile(Fixture("k4_320.vni")));
            image->m_analyses.Add(Rectangle(1, {50, 60, 90, 80}));   // 40 x 20
            image->m_analyses.Add(Rectangle(2, {100, 100, 110, 110})); // 10 x 10
            image->m_analyses.Add(Rectangle(3, {5, 5, 5, 30}));       // empty
            ir = static_cast<CDrawIR*>(doc.AddNoUndo(std::move(image)));
        }
        map = static_cast<CDraw3DMap*>(
            doc.AddNoUndo(std::make_unique<CDraw3DMap>(&view, DocRect(5000, -100, 5400, -300))));
        view.RebuildIRObjects();
    }
    ~Report() { doc.SetView(nullptr); }

    void RemoveRectangle(int number)
    {
        IRAnalysisArray kept;
        for (std::size_t i = 0; i < ir->m_analyses.GetSize(); ++i)
            if (!(ir->m_analyses[i].kind == kAnalysisRect && ir->m_analyses[i].number == number))
                kept.Add(ir->m_analyses[i]);
        ir->m_analyses.RemoveAll();
        for (std::size_t i = 0; i < kept.GetSize(); ++i)
            ir->m_analyses.Add(kept[i]);
    }
};

QByteArray Record(const CDraw3DMap& map)
{
    platform::ArchiveWriter w;
    map.Serialize(w);
    return w.takeData();
}

void ReadRecord(CDraw3DMap& map, const QByteArray& bytes)
{
    platform::ArchiveReader r(bytes, RegistryWithMaps().ArchiveRegistry());
    map.Serialize(r);
    EXPECT_TRUE(r.atEnd());
}

QImage Picture(const CDrawIR& ir)
{
    return platform::DibToImage(ir.Dib());
}

// The page drawn at 100 % around an object.
QImage DrawObject(CDrawObj& obj)
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    PageMapping mapping = PageMapping::ForZoom(1.0);
    const DocRect r = obj.position.Normalized();
    mapping.windowOrigin = QPoint(r.left - 105, r.bottom + 105);
    PageDC dc(painter, mapping);
    obj.Draw(dc);
    return image;
}

QRgb SnapshotColour() { return qRgb(30, 160, 90); }

void GiveSnapshot(CDraw3DMap& map, int w = 300, int h = 200)
{
    QImage snap(w, h, QImage::Format_RGB32);
    snap.fill(SnapshotColour());
    ASSERT_TRUE(map.m_snapshot.SetImage(snap));
    map.m_bHasSnapshot = 1;
}

} // namespace

// ---- record

TEST(Map3DRecord, AFixtureOfTheRecordTableLoadsItsFields)
{
    QByteArray bytes;
    const auto u32 = [&bytes](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.append(char(v >> (8 * i)));
    };
    const auto f32 = [&u32](float f) {
        std::uint32_t u = 0;
        std::memcpy(&u, &f, 4);
        u32(u);
    };
    // Base record: position, pen on, pen, brush on, brush, page, cell.
    u32(100), u32(std::uint32_t(-200)), u32(900), u32(std::uint32_t(-800));
    bytes.append("\x01\x00", 2), u32(6), u32(1), u32(1), u32(0x112233);
    bytes.append("\x01\x00", 2), u32(0), u32(0xFFFFFF), u32(0);
    u32(2), u32(0);
    u32(0); // no picture
    // The 32-byte block, bytes 2-3 holding junk that is not read.
    bytes.append("\x01\x01\xAB\xCD", 4);
    u32(3), u32(7), u32(0x00804020);
    f32(64.0f), f32(-30.5f), f32(725.0f);
    u32(1);
    bytes.append('\x05'); // any non-zero value is "has a snapshot"
    u32(40), u32(20);

    CDraw3DMap map;
    ReadRecord(map, bytes);
    EXPECT_EQ(map.position, DocRect(100, -200, 900, -800));
    EXPECT_EQ(map.page, 2u);
    EXPECT_EQ(map.m_bLinked, 1);
    EXPECT_EQ(map.m_bAreaSelected, 1);
    EXPECT_EQ(map.m_nIRNumber, 3);
    EXPECT_EQ(map.m_nAreaNumber, 7);
    EXPECT_EQ(map.m_clrBack, 0x00804020u);
    EXPECT_EQ(map.m_fZoom, 64.0f);
    EXPECT_EQ(map.m_fRotX, -30.5f);
    EXPECT_EQ(map.m_fRotY, 725.0f);
    EXPECT_EQ(map.m_bChanged, 1);
    EXPECT_EQ(map.m_bHasSnapshot, 1);
    EXPECT_EQ(map.m_nDataWidth, 40);
    EXPECT_EQ(map.m_nDataHeight, 20);

    // Written back: the same bytes but bytes 2-3 of the block as zero and
    // the snapshot flag as 1.
    QByteArray expected = bytes;
    expected[56 + 4 + 2] = 0;
    expected[56 + 4 + 3] = 0;
    expected[56 + 4 + 32] = 1;
    EXPECT_EQ(Record(map), expected);
}

TEST(Map3DRecord, ANewMapStoresTheResetValuesAndTruncationIsAnError)
{
    for (const bool withView : {false, true}) {
        Report r(false);
        CDraw3DMap fresh;
        CDraw3DMap& map = withView ? *r.map : fresh;
        const QByteArray bytes = Record(map);
        ASSERT_EQ(bytes.size(), 56 + 4 + 32 + 1 + 8);
        const QByteArray block = bytes.mid(60, 32);
        EXPECT_EQ(block.toHex(), QByteArray("0000" "0000" "ffffffff" "ffffffff" "ffffff00" "0000803f"
                                            "00000000" "00000000" "00000000"));
        EXPECT_EQ(bytes.right(9), QByteArray(9, '\0'));
    }
    // A record cut anywhere is refused, never read past its end.
    const QByteArray whole = Record(CDraw3DMap());
    for (int n = 0; n < whole.size(); ++n) {
        CDraw3DMap map;
        const QByteArray cut = whole.left(n);
        platform::ArchiveReader r(cut, RegistryWithMaps().ArchiveRegistry());
        EXPECT_THROW(map.Serialize(r), platform::ArchiveError) << n;
    }
}

namespace {

class MapPictureExport : public CWordExport {
public:
    void ExportImage(float l, float t, float w, float h, const QImage& picture, bool) override
    {
        places.push_back({l, t, w, h});
        pictures.push_back(picture);
    }
    std::vector<std::array<float, 4>> places;
    std::vector<QImage> pictures;
};

} // namespace

TEST(Map3DRecord, AMapWithASnapshotReloadsAndShowsIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.rpt"));
    {
        Report r;
        ASSERT_TRUE(r.map->LinkToIR(1));
        GiveSnapshot(*r.map);
        ASSERT_TRUE(r.doc.SaveToPath(path));
    }
    Report r(false);
    ASSERT_TRUE(r.doc.OnOpenDocument(path));
    CDraw3DMap* map = nullptr;
    for (CDrawObj* o : r.doc.GetObjects())
        if (auto* m = dynamic_cast<CDraw3DMap*>(o))
            map = m;
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->m_bHasSnapshot, 1);
    EXPECT_EQ(map->m_snapshot.GetWidth(), 300);
    EXPECT_EQ(map->m_snapshot.GetHeight(), 200);
    EXPECT_EQ(map->m_snapshot.GetFileType(), platform::CDibImage::kTypeJpg) << "stored as any made picture";
    EXPECT_EQ(map->m_nIRNumber, 1);
    r.view.RebuildIRObjects();
    const QImage shown = DrawObject(*map);
    // The word-processor picture: the object alone at its size on the view.
    const QImage exported = map->RenderExportImage();
    const DocRect client = r.view.DocToClient(map->position);
    EXPECT_EQ(exported.size(), QSize(int(client.Width()), int(client.Height())));
    EXPECT_NEAR(exported.pixelColor(exported.width() / 2, exported.height() / 2).green(), 160, 8);
    // The export hands that picture to the word processor at the object's upper left.
    MapPictureExport exporter;
    map->ExportToWord(exporter);
    ASSERT_EQ(exporter.places.size(), 1u);
    const DocRect frame = map->position.Normalized();
    EXPECT_EQ(exporter.places[0], (std::array<float, 4>{float(frame.left), float(frame.bottom),
                                                        float(frame.Width()), float(frame.Height())}));
    EXPECT_EQ(exporter.pictures[0].size(), exported.size());
    QDir().mkpath(QStringLiteral(IRIMAGE_TEST_ARTIFACTS));
    shown.copy(0, 0, 200, 100).save(QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/map3d-on-page.png"));
    const QColor centre = shown.pixelColor(38, 38);
    EXPECT_NEAR(centre.green(), 160, 8);
    EXPECT_NEAR(centre.red(), 30, 8);
}

// ---- link and data

TEST(Map3DLink, LinksOnlyToImagesWithAPictureAndListsNonEmptyRectangles)
{
    Report r;
    auto empty = std::make_unique<CDrawIR>(&r.view, DocRect(0, 0, 100, -100));
    empty->SetNumber(2);
    r.doc.AddNoUndo(std::move(empty));
    r.view.RebuildIRObjects();

    EXPECT_FALSE(r.map->LinkToIR(2)) << "no picture";
    EXPECT_FALSE(r.map->LinkToIR(9)) << "no image";
    EXPECT_FALSE(r.map->SelectArea(1)) << "not linked";
    ASSERT_TRUE(r.map->LinkToIR(1));
    EXPECT_EQ(r.ir->Dependents(), std::vector<IRImageDependent*>{r.map});
    EXPECT_TRUE(r.map->LinkToIR(1));
    EXPECT_EQ(r.ir->Dependents().size(), 1u) << "registered once";
    EXPECT_FALSE(r.map->SelectArea(4));
    ASSERT_TRUE(r.map->SelectArea(2));
    EXPECT_EQ(r.map->m_nAreaNumber, 2);

    std::vector<int> areas{99};
    EXPECT_EQ(r.map->ListAreas(1, areas), 2);
    EXPECT_EQ(areas, (std::vector<int>{99, 1, 2})) << "appended; the empty rectangle skipped";
    EXPECT_EQ(r.map->ListAreas(2, areas), 0);

    r.map->Unlink();
    EXPECT_EQ(r.map->m_bLinked, 0);
    EXPECT_EQ(r.map->m_nIRNumber, -1);
    EXPECT_EQ(r.map->m_nAreaNumber, -1);
    EXPECT_TRUE(r.ir->Dependents().empty());
}

TEST(Map3DLink, DeletingTheImageOrTheShownRectangleUnlinksAtTheNextDraw)
{
    {
        Report r;
        ASSERT_TRUE(r.map->LinkToIR(1));
        ASSERT_TRUE(r.map->SelectArea(1));
        GiveSnapshot(*r.map);
        EXPECT_EQ(DrawObject(*r.map).pixel(38, 38), SnapshotColour());
        r.RemoveRectangle(1);
        const QImage shown = DrawObject(*r.map);
        shown.copy(0, 0, 200, 100).save(QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/map3d-unlinked.png"));
        EXPECT_EQ(r.map->m_bLinked, 0);
        EXPECT_EQ(r.map->m_bHasSnapshot, 0);
        EXPECT_NE(shown.pixel(38, 38), SnapshotColour()) << "\"3D Map\" again";
        EXPECT_TRUE(r.ir->Dependents().empty());
    }
    {
        Report r;
        ASSERT_TRUE(r.map->LinkToIR(1));
        GiveSnapshot(*r.map);
        ASSERT_TRUE(r.doc.Remove(r.ir));
        r.ir->Remove();
        r.view.RebuildIRObjects();
        EXPECT_TRUE(r.map->Images().empty()) << "the image's end leaves the map";
        DrawObject(*r.map);
        EXPECT_EQ(r.map->m_bLinked, 0);
        EXPECT_EQ(r.map->m_nIRNumber, -1);
    }
}

TEST(Map3DData, AreasArriveColumnByColumnAndTheWholeImageLeavesTwoPixels)
{
    Report r;
    QSize size;
    auto whole = r.map->GetAreaTemperatures(1, false, -1, &size);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(size, QSize(318, 238));

    auto area = r.map->GetAreaTemperatures(1, true, 1, &size);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(size, QSize(40, 20));
    for (const QPoint p : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 19), QPoint(17, 11), QPoint(39, 19)}) {
        float t = 0;
        r.ir->Image().GetPointTemp(50 + p.x(), 60 + p.y(), 0.95f, 1.0f, 20, &t);
        EXPECT_EQ(area[std::size_t(p.x() * 20 + p.y())], t) << p.x() << "," << p.y();
    }
    EXPECT_EQ(r.map->GetAreaTemperatures(1, true, 3, &size), nullptr) << "empty rectangle";
    EXPECT_EQ(r.map->GetAreaTemperatures(1, true, 8, &size), nullptr) << "no such rectangle";
    EXPECT_EQ(r.map->GetAreaColors(1, true, 3, &size), nullptr);
    EXPECT_EQ(r.map->GetAreaTemperatures(5, false, -1, &size), nullptr) << "no image";

    // A rectangle reaching past the picture: its colours come from inside
    // the picture only (the sanitizers watch the reads).
    r.ir->m_analyses.Add(Rectangle(9, {300, 230, 340, 250}));
    EXPECT_NE(r.map->GetAreaColors(1, true, 9, &size), nullptr);
    EXPECT_EQ(size, QSize(40, 20));
    r.ir->m_analyses.Add(Rectangle(10, {-5000, -5000, 5000, 5000}));
    EXPECT_EQ(r.map->GetAreaColors(1, true, 10, &size), nullptr) << "larger than the image";
}

TEST(Map3DData, PictureColoursComeFromTheSamePixelsInEveryPictureForm)
{
    // A 6 x 4 image, its pixel (x, y) coloured (x, y, 7): as a 24-bit DIB
    // at its own size (rows padded to 20 bytes) and doubled (12 x 8).
    const auto makeDib = [](int scale) {
        QImage image(6 * scale, 4 * scale, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x / scale, y / scale, 7));
        return platform::BitmapToDIB(image, 24);
    };
    for (const int scale : {1, 2}) {
        const QByteArray dib = makeDib(scale);
        const QRect region(1, 1, 4, 2);
        auto colors = CDraw3DMap::PictureColors(dib, QSize(6, 4), region);
        ASSERT_NE(colors, nullptr);
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 4; ++col) {
                const std::uint8_t* p = colors.get() + 3 * (row * 4 + col);
                // Row 0 is the region's lowest row (image row 2).
                EXPECT_EQ(p[2], 1 + col) << scale;
                EXPECT_EQ(p[1], 2 - row) << scale;
                EXPECT_EQ(p[0], 7);
            }
        }
        // Beyond the picture: the nearest edge pixel, nothing read outside.
        auto outside = CDraw3DMap::PictureColors(dib, QSize(6, 4), QRect(4, 2, 5, 5));
        ASSERT_NE(outside, nullptr);
        EXPECT_EQ(outside[3 * 4 + 2], 5) << "column 8 clamped to 5";
        EXPECT_EQ(outside[3 * 5 * 4 + 1], 2) << "top row of the region is image row 2";
        EXPECT_EQ(outside[1], 3) << "rows below the picture clamped to its last";
    }
    EXPECT_EQ(CDraw3DMap::PictureColors(QByteArray(30, 'x'), QSize(6, 4), QRect(0, 0, 2, 2)), nullptr);
}

// ---- height grid

TEST(Map3DGrid, FlatDataLiesAtZeroAndTheFactorSpansTheMeanSide)
{
    std::vector<float> flat(12 * 8, 23.5f);
    std::vector<std::uint8_t> colors(12 * 8 * 3, 0);
    CHeightGrid grid;
    grid.Build(12, 8, colors.data(), flat.data(), 23.5f, 23.5f);
    EXPECT_EQ(grid.Factor(), 10.0f);
    for (int y = -1; y <= 8; ++y)
        for (int x = -1; x <= 12; ++x)
            EXPECT_EQ(grid.HeightAt(x, y), 0.0f);

    // Span 5.7 is truncated to 5: factor ((12 + 8) / 2) / 5 = 2.
    std::vector<float> temps(12 * 8, 10.2f);
    temps[5] = 15.9f;
    grid.Build(12, 8, colors.data(), temps.data(), 10.2f, 15.9f);
    EXPECT_EQ(grid.Factor(), 2.0f);
    // Entry 5 is column 0, row 5; grid row 0 is the data's last row (7).
    EXPECT_FLOAT_EQ(grid.HeightAt(0, 7 - 5), (15.9f - 10.2f) * 2);
    EXPECT_TRUE(grid.CanDraw());
    grid.Build(12, 8, nullptr, temps.data(), 10.2f, 15.9f);
    EXPECT_FALSE(grid.CanDraw()) << "no colours: nothing to draw";
    grid.Build(0, 8, colors.data(), temps.data(), 0, 1);
    EXPECT_FALSE(grid.CanDraw());
    EXPECT_EQ(grid.HeightAt(3, 3), 0.0f);
}

TEST(Map3DGrid, AnAreaRisingAlongXRisesAlongTheGridsXOnly)
{
    // 40 x 20, column by column, rising with the column only.
    const int w = 40, h = 20;
    std::vector<float> temps(std::size_t(w * h));
    for (int i = 0; i < w; ++i)
        for (int j = 0; j < h; ++j)
            temps[std::size_t(i * h + j)] = 20.0f + float(i);
    std::vector<std::uint8_t> colors(std::size_t(w * h * 3), 0);
    CHeightGrid grid;
    grid.Build(w, h, colors.data(), temps.data(), 20.0f, 59.0f);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            EXPECT_FLOAT_EQ(grid.HeightAt(x, y), float(x) * grid.Factor()) << x << "," << y;
        }
    }
}

TEST(Map3DGrid, EveryPointTakesTheHeightAndColourOfItsImagePixel)
{
    Report r;
    const QImage picture = Picture(*r.ir);
    ASSERT_FALSE(picture.isNull());
    for (const bool area : {true, false}) {
        QSize size, colorSize;
        auto temps = r.map->GetAreaTemperatures(1, area, 1, &size);
        auto colors = r.map->GetAreaColors(1, area, 1, &colorSize);
        ASSERT_NE(temps, nullptr);
        ASSERT_NE(colors, nullptr);
        ASSERT_EQ(size, colorSize);
        float min = temps[0], max = temps[0];
        for (int i = 0; i < size.width() * size.height(); ++i) {
            min = std::min(min, temps[std::size_t(i)]);
            max = std::max(max, temps[std::size_t(i)]);
        }
        CHeightGrid grid;
        grid.Build(size.width(), size.height(), colors.get(), temps.get(), min, max);
        const QPoint origin = area ? QPoint(50, 60) : QPoint(0, 0);
        for (const QPoint g : {QPoint(0, 0), QPoint(size.width() - 1, 0), QPoint(3, size.height() - 1),
                               QPoint(size.width() / 2, size.height() / 3)}) {
            // Grid row 0 is the lowest image row of the area.
            const QPoint px(origin.x() + g.x(), origin.y() + size.height() - 1 - g.y());
            float t = 0;
            const float e = area ? 0.95f : r.ir->m_fEmissivity;
            const float d = area ? 1.0f : r.ir->m_fDistance;
            r.ir->Image().GetPointTemp(px.x(), px.y(), e, d, 20, &t);
            EXPECT_FLOAT_EQ(grid.HeightAt(g.x(), g.y()), (t - min) * grid.Factor()) << area;
            const QRgb c = picture.pixel(px);
            EXPECT_EQ(grid.ColorAt(g.x(), g.y()), (CHeightGrid::Color{std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)),
                                                                      std::uint8_t(qBlue(c))}))
                << area << " " << px.x() << "," << px.y();
        }
    }
}

// ---- drawing and handles

TEST(Map3DDraw, ASmallFrameGrowsTo600AndHandlesKeepTheSnapshotsAspect)
{
    Report r;
    DrawObject(*r.map);
    EXPECT_EQ(r.map->position, DocRect(5000, -700, 5600, -100)) << "600 x 600, upper edge kept";

    // A 300 x 200 snapshot: dragging keeps width / height at 1.5.
    GiveSnapshot(*r.map);
    r.map->position = DocRect(0, 0, 1500, 1000);
    struct Case {
        int handle;
        QPoint to;
        DocRect expected;
    };
    const Case cases[] = {
        {4, {1800, 500}, {0, -200, 1800, 1000}},    // right edge: the height follows
        {6, {700, 1200}, {0, 0, 1800, 1200}},       // the edge at 1000: the width follows
        {5, {3000, 1100}, {0, 0, 3000, 2000}},      // corner, too wide: the height follows
        {5, {1600, 3000}, {0, 0, 4500, 3000}},      // corner, too tall: the width follows
        {1, {-300, -10}, {-300, -200, 1500, 1000}}, // the opposite corner stays
        {4, {30, 0}, {0, 0, 1500, 1000}},           // would leave 30 units: refused
        {6, {0, 20}, {0, 0, 1500, 1000}},           // would leave 20 units: refused
    };
    for (const Case& c : cases) {
        r.map->position = DocRect(0, 0, 1500, 1000);
        r.map->MoveHandleTo(c.handle, c.to, CDrawObj::kMoveNoUndo, &r.view);
        EXPECT_EQ(r.map->position, c.expected) << c.handle << " to " << c.to.x() << "," << c.to.y();
    }
    // Without a snapshot the base behaviour: any shape.
    r.map->m_bHasSnapshot = 0;
    r.map->position = DocRect(0, 0, 1500, 1000);
    r.map->MoveHandleTo(4, {3000, 0}, CDrawObj::kMoveNoUndo, &r.view);
    EXPECT_EQ(r.map->position, DocRect(0, 0, 3000, 1000));
}

// A move repaints the object's painted area at its old and new places, so
// everything the map paints, its "NO.n" beside the frame included, must lie
// inside that area.
TEST(Map3DDraw, EverythingTheMapPaintsLiesInItsPaintedArea)
{
    Report r;
    ASSERT_TRUE(r.map->LinkToIR(1));
    GiveSnapshot(*r.map);
    r.map->position = DocRect(1000, -100, 2500, -1100);
    for (const bool numbers : {true, false}) {
        SCOPED_TRACE(numbers ? "numbers shown" : "numbers hidden");
        r.doc.SetShowNumbers(numbers);
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        PageMapping mapping = PageMapping::ForZoom(1.0);
        mapping.windowOrigin = QPoint(0, 0);
        PageDC dc(painter, mapping);
        r.map->Draw(dc);
        const QRectF area = dc.LPtoDP(r.view.PaintedArea(r.map));
        painter.end();
        QRect painted;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != QColor(Qt::gray).rgb())
                    painted |= QRect(x, y, 1, 1);
        ASSERT_FALSE(painted.isEmpty());
        EXPECT_TRUE(area.toAlignedRect().contains(painted))
            << "painted " << painted.x() << "," << painted.y() << " " << painted.width() << "x" << painted.height()
            << " area " << area.x() << "," << area.y() << " " << area.width() << "x" << area.height();
        // The number lies right of the frame: the area reaches past it only
        // while the number is shown.
        const QRectF frame = dc.LPtoDP(r.map->position);
        EXPECT_EQ(area.right() > frame.right() + 50, numbers);
    }
}

TEST(Map3DDraw, PopupMenuAndPropertiesCommand)
{
    Report r;
    r.view.Select(r.map);
    EXPECT_EQ(r.map->GetPopupMenuIndex(), 8);
    r.view.Select(r.ir, true);
    EXPECT_EQ(r.map->GetPopupMenuIndex(), 0);
}

// ---- properties dialog

namespace {

// Opens the dialog on the map as the program would (shown, initialised).
struct OpenDialog {
    C3DMapPropDlg dlg;
    explicit OpenDialog(CDraw3DMap* map)
    {
        dlg.SetMapObject(map);
        dlg.show();
    }
    template <class T>
    T* Item(int id)
    {
        return dlg.GetDlgItemAs<T>(id);
    }
    void ChooseArea(int number)
    {
        auto* combo = Item<QComboBox>(C3DMapPropDlg::kIdAreaCombo);
        const int entry = combo->findText(QString::number(number));
        ASSERT_GE(entry, 0);
        combo->setCurrentIndex(entry);
        emit combo->activated(entry);
    }
};

} // namespace

TEST(Map3DDialog, WithoutImagesEverythingIsDisabledAndOkOnlyCloses)
{
    Report r(false);
    const QByteArray before = Record(*r.map);
    OpenDialog d(r.map);
    for (const int id : std::initializer_list<int>{C3DMapPropDlg::kIdImageCombo, C3DMapPropDlg::kIdAreaCombo, C3DMapPropDlg::kIdRadioImage,
                         C3DMapPropDlg::kIdRotationX, C3DMapPropDlg::kIdRotationY, C3DMapPropDlg::kIdZoom,
                         C3DMapPropDlg::kIdColor, int(CDialog::kIdOk)})
        EXPECT_FALSE(d.dlg.GetDlgItem(id)->isEnabled()) << id;
    static_cast<QDialog&>(d.dlg).accept();
    EXPECT_EQ(d.dlg.result(), QDialog::Accepted);
    EXPECT_EQ(Record(*r.map), before);
}

TEST(Map3DDialog, AnAreaSetsTheZoomFromItsLongerSide)
{
    Report r;
    OpenDialog d(r.map);
    auto* images = d.Item<QComboBox>(C3DMapPropDlg::kIdImageCombo);
    ASSERT_EQ(images->count(), 1);
    EXPECT_EQ(images->currentText(), QStringLiteral("1"));
    EXPECT_EQ(d.dlg.m_dataSize, QSize(318, 238)) << "the whole image first";
    EXPECT_EQ(d.Item<QDoubleSpinBox>(C3DMapPropDlg::kIdZoom)->value(), 10.0);
    EXPECT_EQ(d.Item<QComboBox>(C3DMapPropDlg::kIdAreaCombo)->count(), 2) << "non-empty rectangles";

    struct Case {
        int area;
        QSize size;
        double zoom;
    };
    for (const Case c : {Case{1, {40, 20}, 64}, Case{2, {10, 10}, 100}}) {
        d.ChooseArea(c.area);
        EXPECT_EQ(d.dlg.m_dataSize, c.size);
        EXPECT_EQ(d.dlg.m_fZoom, c.zoom);
        EXPECT_EQ(d.Item<QDoubleSpinBox>(C3DMapPropDlg::kIdZoom)->value(), c.zoom);
        EXPECT_FLOAT_EQ(d.dlg.Preview()->Scale(), float(c.zoom * 0.1));
        EXPECT_EQ(d.dlg.Preview()->Grid().Width(), c.size.width());
    }
    // The preview's events come back into the edits.
    d.dlg.OnPreviewChanged(CGLMapWnd::kRotationY, 10.0f);
    d.dlg.OnPreviewChanged(CGLMapWnd::kScale, 1.331f);
    d.dlg.OnPreviewChanged(2, 99.0f);
    EXPECT_EQ(d.Item<QDoubleSpinBox>(C3DMapPropDlg::kIdRotationY)->value(), 10.0);
    EXPECT_NEAR(d.Item<QDoubleSpinBox>(C3DMapPropDlg::kIdZoom)->value(), 13.31, 1e-3);
}

TEST(Map3DDialog, CancelLeavesTheMapAndOkStoresTheSettings)
{
    Report r;
    ASSERT_TRUE(r.map->LinkToIR(1));
    r.map->m_fRotX = 15;
    r.map->m_fZoom = 20;
    const QByteArray before = Record(*r.map);
    {
        OpenDialog d(r.map);
        EXPECT_EQ(d.Item<QDoubleSpinBox>(C3DMapPropDlg::kIdRotationX)->value(), 15.0) << "from the map";
        EXPECT_FLOAT_EQ(d.dlg.Preview()->Scale(), 2.0f);
        d.ChooseArea(1);
        d.Item<QDoubleSpinBox>(C3DMapPropDlg::kIdRotationY)->setValue(45);
        d.dlg.OnColorChosen(0x0000FF);
        EXPECT_TRUE(d.dlg.m_bModified);
        static_cast<QDialog&>(d.dlg).reject();
    }
    EXPECT_EQ(Record(*r.map), before);

    OpenDialog d(r.map);
    d.ChooseArea(1);
    d.Item<QDoubleSpinBox>(C3DMapPropDlg::kIdRotationY)->setValue(45);
    d.dlg.OnColorChosen(0x0000FF);
    static_cast<QDialog&>(d.dlg).accept();
    EXPECT_EQ(r.map->m_bLinked, 1);
    EXPECT_EQ(r.map->m_bAreaSelected, 1);
    EXPECT_EQ(r.map->m_nAreaNumber, 1);
    EXPECT_EQ(r.map->m_fZoom, 64.0f);
    EXPECT_EQ(r.map->m_fRotY, 45.0f);
    EXPECT_EQ(r.map->m_clrBack, 0x0000FFu);
    EXPECT_EQ(r.map->m_bChanged, 1);
    EXPECT_EQ(r.map->m_nDataWidth, 40);
    EXPECT_EQ(r.map->m_nDataHeight, 20);
    // Offscreen there is no OpenGL context, so no snapshot is claimed.
    EXPECT_EQ(r.map->m_bHasSnapshot != 0, !r.map->m_snapshot.IsEmpty());
}
