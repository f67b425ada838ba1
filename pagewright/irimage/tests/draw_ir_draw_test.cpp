// Drawing of the image object: size and aspect rules, the scale's steps, and
// pictures of whole pages (kept as artifacts) probed pixel by pixel.
#include "test_support.h"

#include "irimage/draw_ir.h"
#include "irimage/ir_marks.h"
#include "irimage/temperature_text.h"

#include "document/page_dc.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace irtest;

namespace {

QString Artifact(const QString& name)
{
    QDir().mkpath(QStringLiteral(IRIMAGE_TEST_ARTIFACTS));
    return QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/") + name;
}

// A page picture of the document at zoom, the page's upper left corner at
// (0, 0).
struct PagePicture {
    PageMapping mapping;
    QImage image;
    PagePicture(CDI_RptDoc& doc, double zoom, QSize size)
        : mapping(PageMapping::ForZoom(zoom)), image(size, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        QPainter painter(&image);
        PageDC dc(painter, mapping);
        for (CDrawObj* obj : doc.GetObjects())
            obj->Draw(dc);
    }
    QPoint Device(double x, double y) const
    {
        const QPointF p = mapping.ToDevice(x, y);
        return {int(std::floor(p.x())), int(std::floor(p.y()))};
    }
    COLORREF At(double x, double y) const
    {
        const QRgb c = image.pixel(Device(x, y));
        return RGB(qRed(c), qGreen(c), qBlue(c));
    }
};

void DrawOnce(CDrawObj& obj)
{
    QImage scratch(8, 8, QImage::Format_RGB32);
    QPainter painter(&scratch);
    PageDC dc(painter, PageMapping::ForZoom(1));
    obj.Draw(dc);
}

IRAnalysisItem Mark(std::int32_t kind, IRShape shape, int labelMode, bool own, COLORREF colour)
{
    IRAnalysisItem item = Shape(kind, shape);
    item.labelMode = labelMode;
    item.ownEmissivity = own ? 1 : 0;
    item.color = colour;
    return item;
}

} // namespace

TEST(DrawIrSize, SizeAndAspectByTheLastHandleMoved)
{
    struct Case {
        int handle;
        bool bar;
        DocRect before; // normalised: top is the lower edge
        DocRect after;
    };
    const Case cases[] = {
        // Upper middle: the width follows the height, plus the bar.
        {2, true, {0, -3000, 9000, 0}, {0, -3000, 4999, 0}},
        {2, false, {0, -3000, 9000, 0}, {0, -3000, 3999, 0}},
        // Too low: the lower edge moves down to 720.
        {2, true, {0, -500, 9000, 0}, {0, -720, 1959, 0}},
        // Lower middle: the upper edge moves up.
        {6, false, {0, -3000, 100, -2500}, {0, -3000, 959, -2280}},
        // Left and right sides: the height follows the width less the bar.
        {1, true, {1000, -3000, 5000, 0}, {1000, -2250, 5000, 0}},
        {8, false, {4500, -3000, 5000, 0}, {4040, -720, 5000, 0}},
        {4, true, {0, -3000, 1000, 0}, {0, -720, 1960, 0}},
        {5, false, {0, -3000, 4000, 0}, {0, -3000, 4000, 0}},
        // A move or a new object: width from height, at least 960 wide.
        {0, true, {0, -1500, 100, 0}, {0, -1500, 2999, 0}},
        {9, false, {0, -700, 100, 0}, {0, -700, 960, 20}},
        // Less than 100 high: 2100 high below the upper edge.
        {0, false, {0, -50, 100, 0}, {0, -2100, 2799, 0}},
        {2, true, {0, 0, 100, 60}, {0, -2040, 3799, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "handle " << c.handle << " bar " << c.bar);
        CDrawIR ir;
        ir.m_bShowBar = c.bar ? 1 : 0;
        ir.activeHandle = c.handle;
        ir.position = c.before;
        DrawOnce(ir);
        EXPECT_EQ(ir.position, c.after);
    }
}

TEST(DrawIrScale, StepsBySpanPerFourHundredUnits)
{
    const struct {
        double per;
        double major;
        double minor;
    } cases[] = {{250, 100, 20}, {70, 100, 20}, {69.9, 50, 10}, {35, 50, 10}, {34, 20, 5}, {12, 20, 5},
                 {11.9, 10, 2},  {7, 10, 2},    {6.5, 5, 1},    {4, 5, 1},    {3.9, 2, 0.5}, {2, 2, 0.5},
                 {1.9, 1, 0.2},  {0.81, 1, 0.2}, {0.8, 1, 0.1}, {0.01, 1, 0.1}};
    for (const auto& c : cases) {
        const auto [major, minor] = CDrawIR::ScaleSteps(c.per);
        EXPECT_EQ(major, c.major) << c.per;
        EXPECT_EQ(minor, c.minor) << c.per;
    }
    // The same range is a larger span in Fahrenheit: 0..100 C over a bar of
    // five 400-unit steps is 20 per step (20 / 5) but 36 in F (50 / 10).
    EXPECT_EQ(CDrawIR::ScaleSteps((100.0 - 0.0) / 5).first, 20);
    EXPECT_EQ(CDrawIR::ScaleSteps((CelsiusToUnit(100, kUnitFahrenheit) - CelsiusToUnit(0, kUnitFahrenheit)) / 5).first,
              50);
}

namespace {

// Two images side by side: a plain one with the normal bar, and one with an
// inverted bar, three isotherm bands, marks of every kind and label mode,
// and its number; a board image below them.
struct Scene : ReportWithView {
    CDrawIR* plain = AddImage(1);
    CDrawIR* marked = AddImage(3);
    CDrawIR* board = AddImage(2);
    Scene()
    {
        EXPECT_TRUE(plain->LoadIRFile(Fixture("k4_320.vni")));
        EXPECT_TRUE(marked->LoadIRFile(Fixture("k4_320.vni")));
        EXPECT_TRUE(board->LoadIRFile(Fixture("k11.vni")));
        plain->position = DocRect(300, -4300, 400, -300);
        marked->position = DocRect(6300, -4300, 6400, -300);
        board->position = DocRect(300, -9000, 400, -5000);
        for (CDrawIR* ir : {plain, marked, board})
            ir->activeHandle = 2; // width from height
        marked->m_bInverted = 1;
        const float low = marked->m_fLimits[5];
        const float span = marked->m_fLimits[4] - low;
        marked->m_isotherms[0] = IRIsotherm{low + span * 0.2f, span * 0.06f, 1, 0x0000FF};
        marked->m_isotherms[1] = IRIsotherm{low + span * 0.5f, span * 0.06f, 1, 0x00FF00};
        marked->m_isotherms[2] = IRIsotherm{low + span * 0.8f, span * 0.06f, 1, 0xFF00FF};
        marked->SetPalette(0);
        const COLORREF cyan = 0xFFFF00, white = 0xFFFFFF, black = 0;
        const IRAnalysisItem marks[] = {
            Mark(kAnalysisPoint, {40, 40, 40, 40}, 1, false, cyan),
            Mark(kAnalysisPoint, {260, 40, 260, 40}, 0, true, white),
            Mark(kAnalysisLine, {30, 200, 150, 160}, 1, false, black),
            Mark(kAnalysisLine, {170, 220, 290, 200}, 2, true, cyan),
            Mark(kAnalysisRect, {80, 70, 140, 120}, 1, false, cyan),
            Mark(kAnalysisRect, {160, 70, 220, 120}, 2, true, white),
            Mark(kAnalysisRect, {80, 130, 140, 180}, 3, false, cyan),
            Mark(kAnalysisRect, {160, 130, 220, 180}, 4, true, white),
            Mark(kAnalysisEllipse, {230, 90, 290, 150}, 1, false, cyan),
            Mark(kAnalysisEllipse, {20, 60, 60, 100}, 2, true, white),
        };
        for (IRAnalysisItem item : marks) {
            item.number = marked->NextAnalysisNumber(item.kind == kAnalysisPoint   ? kCategoryPoint
                                                     : item.kind == kAnalysisLine ? kCategoryLine
                                                                                  : kCategoryArea);
            item.SetName(QStringLiteral("M%1").arg(item.number, 2, 10, QLatin1Char('0')));
            marked->m_analyses.Add(item);
        }
        marked->RecomputeAll();
        doc.SetShowNumbers(true);
    }
};

} // namespace

TEST(DrawIrPicture, BarBandsMarksBoardAndNumberAtZoomOneAndTwo)
{
    Scene s;
    for (double zoom : {1.0, 2.0}) {
        SCOPED_TRACE(zoom);
        const PagePicture page(s.doc, zoom, QSize(int(1300 * zoom), int(1000 * zoom)));
        const QString png = Artifact(QStringLiteral("ir-page-zoom%1.png").arg(int(zoom)));
        ASSERT_TRUE(page.image.save(png));
        // Kept rules: 4:3 picture plus the bar allowance.
        EXPECT_EQ(s.marked->position, DocRect(6300, -4300, 6300 + 5333 + 1000, -300));

        // The bars against the palette file, read by PIL.
        for (const CDrawIR* ir : {s.plain, s.marked}) {
            const DocRect bar = ir->ColorBarRect();
            const QPoint foot = page.Device(bar.left + 130, bar.top + 14);
            const QPoint head = page.Device(bar.left + 130, bar.bottom - 15);
            const QString palette =
                QStringLiteral(IRIMAGE_TEST_DATA "/nruler%1.bmp").arg(ir->Image().PaletteIndex() + 1);
            QStringList args{QStringLiteral(IRIMAGE_TEST_SCRIPTS "/bar_probe.py"), png, palette,
                             QString::number(foot.x()),
                             QString::number(foot.y()), QString::number(head.y()),
                             ir->m_bInverted != 0 ? QStringLiteral("inverted") : QStringLiteral("normal")};
            if (ir == s.marked)
                continue; // its bands cover rows; probed below
            QProcess probe;
            probe.start(QStringLiteral(IRIMAGE_TEST_PYTHON), args);
            ASSERT_TRUE(probe.waitForFinished(30000));
            EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardOutput().toStdString();
        }
        // The inverted bar: its foot takes the palette's last entries, its
        // head the first (a device pixel covers several rows of the bar);
        // the band rows take the band colours.
        const DocRect bar = s.marked->ColorBarRect();
        const QByteArray table = s.env.PaletteTable();
        const auto entries = [&table](int palette, int from, int to) {
            std::vector<COLORREF> colours;
            for (int i = from; i <= to; ++i) {
                const auto* e = reinterpret_cast<const std::uint8_t*>(table.constData()) + 4 * (palette * 256 + i);
                colours.push_back(RGB(e[2], e[1], e[0]));
            }
            return colours;
        };
        const int palette = s.marked->Image().PaletteIndex();
        const auto among = [](const std::vector<COLORREF>& colours, COLORREF c) {
            return std::find(colours.begin(), colours.end(), c) != colours.end();
        };
        EXPECT_TRUE(among(entries(palette, 250, 255), page.At(bar.left + 130, bar.top + 14)));
        EXPECT_TRUE(among(entries(palette, 0, 5), page.At(bar.left + 130, bar.bottom - 16)));
        const double low = s.marked->m_fLimits[5];
        const double high = s.marked->m_fLimits[4];
        for (const IRIsotherm& iso : s.marked->m_isotherms) {
            if (iso.enabled == 0)
                continue;
            const double y = bar.top + (iso.centre - low) * bar.Height() / (high - low);
            EXPECT_EQ(page.At(bar.left + 130, y), iso.color) << iso.centre;
        }
        // "NO.3" below the lower right corner: dark pixels there, none for
        // the plain image without... its number 1 is shown as well.
        const DocRect r = s.marked->position.Normalized();
        int dark = 0;
        const QPoint from = page.Device(r.right - 460, r.top - 13);
        const QPoint to = page.Device(r.right, r.top - 140);
        for (int y = from.y(); y < to.y(); ++y)
            for (int x = from.x(); x < to.x(); ++x)
                dark += qGray(page.image.pixel(x, y)) < 100 ? 1 : 0;
        EXPECT_GT(dark, 10) << "the number is drawn";
    }
}

TEST(DrawIrPicture, ARangeWithoutSpanDrawsNoBandsAndNoScale)
{
    Scene s;
    for (const auto& [high, low] : {std::pair{50.0f, 50.0f}, std::pair{10.0f, 60.0f},
                                     std::pair{std::nanf(""), 0.0f}, std::pair{1e30f, -1e30f}}) {
        s.marked->m_fLimits[4] = high;
        s.marked->m_fLimits[5] = low;
        const PagePicture page(s.doc, 1.0, QSize(1300, 1000));
        const DocRect bar = s.marked->ColorBarRect();
        // No band colour in the bar's column, and nothing right of the bar
        // where the scale would stand (except with the huge range).
        int bandRows = 0;
        const QPoint head = page.Device(bar.left + 130, bar.bottom);
        const QPoint foot = page.Device(bar.left + 130, bar.top);
        for (int y = head.y(); y <= foot.y(); ++y) {
            const QRgb c = page.image.pixel(head.x(), y);
            bandRows += (c == qRgb(255, 0, 0) || c == qRgb(0, 255, 0) || c == qRgb(255, 0, 255)) ? 1 : 0;
        }
        if (!(high > low) || std::isnan(high)) {
            EXPECT_EQ(bandRows, 0) << high << " " << low;
        }
    }
}

TEST(DrawIrPicture, LabelsAtTheEdgesOfThePictureShowWhole)
{
    // The pixels a mark adds to the picture: its figure and its label. A
    // mark at an edge adds as many as the same mark in the middle, so no
    // part of its label is cut off (nor runs over the colour bar).
    ReportWithView r;
    CDrawIR* ir = r.AddImage(1);
    ASSERT_TRUE(ir->LoadIRFile(Fixture("k4_320.vni")));
    ir->activeHandle = 2;
    ir->position = DocRect(300, -3300, 400, -300);
    const auto inked = [&](const IRAnalysisItem& item) {
        ir->m_analyses.RemoveAll();
        ir->m_bShowMarks = 0;
        const PagePicture bare(r.doc, 1.0, QSize(900, 400));
        ir->m_analyses.Add(item);
        ir->m_bShowMarks = 1;
        const PagePicture marked(r.doc, 1.0, QSize(900, 400));
        int n = 0;
        for (int y = 0; y < bare.image.height(); ++y)
            for (int x = 0; x < bare.image.width(); ++x)
                n += bare.image.pixel(x, y) != marked.image.pixel(x, y) ? 1 : 0;
        return n;
    };
    const auto named = [](IRAnalysisItem item) {
        item.number = 1;
        item.SetName(QStringLiteral("AR01"));
        return item;
    };
    struct Case {
        const char* what;
        IRAnalysisItem edge;
        IRAnalysisItem middle;
    };
    const COLORREF colour = 0xFF00FF;
    const Case cases[] = {
        {"an area at the left edge", named(Mark(kAnalysisRect, {0, 100, 40, 140}, 0, false, colour)),
         named(Mark(kAnalysisRect, {140, 100, 180, 140}, 0, false, colour))},
        {"an ellipse at the left edge", named(Mark(kAnalysisEllipse, {2, 100, 42, 140}, 0, false, colour)),
         named(Mark(kAnalysisEllipse, {140, 100, 180, 140}, 0, false, colour))},
        {"an area at the upper edge", named(Mark(kAnalysisRect, {140, 0, 180, 40}, 0, false, colour)),
         named(Mark(kAnalysisRect, {140, 100, 180, 140}, 0, false, colour))},
        {"a point at the right edge", named(Mark(kAnalysisPoint, {316, 120, 316, 120}, 0, false, colour)),
         named(Mark(kAnalysisPoint, {140, 120, 140, 120}, 0, false, colour))},
        {"a point at the lower edge", named(Mark(kAnalysisPoint, {140, 238, 140, 238}, 0, false, colour)),
         named(Mark(kAnalysisPoint, {140, 120, 140, 120}, 0, false, colour))},
    };
    for (const Case& c : cases) {
        const int middle = inked(c.middle);
        ASSERT_GT(middle, 100) << c.what;
        EXPECT_NEAR(inked(c.edge), middle, middle / 10) << c.what;
    }
    // A label wider than the picture starts at its left edge.
    EXPECT_EQ(ir_marks::LabelCorner(500, 900, QSizeF(3000, 100), DocRect(0, 0, 1000, 1000)), QPoint(0, 900));
}
