// The page drawing layer, the view's coordinates, and the document drawing a
// page: an offscreen render of the two-page report, kept as PNG files.
#include "test_support.h"

#include "document/page_dc.h"

#include <QDir>
#include <QImage>
#include <QPicture>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace rpt_test;

namespace {

// Renders the current page with its top-left corner at pixel (0, 0).
QImage RenderPage(CDI_RptDoc& doc, double zoom, DrawView* view = nullptr, bool printing = false)
{
    const PageMapping probe = PageMapping::ForZoom(zoom);
    const QSize size(int(std::ceil(doc.GetPageSize().width() * probe.Scale())),
                     int(std::ceil(doc.GetPageSize().height() * probe.Scale())));
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&image);
    PageMapping mapping = probe;
    mapping.windowOrigin = QPoint(0, -105); // the page's top edge
    PageDC dc(painter, mapping, printing);
    dc.FillRect(DocRect(0, -105, doc.GetPageSize().width(), -105 - doc.GetPageSize().height()), doc.GetBackColor());
    doc.Draw(dc, view);
    return image;
}

// The colour at a logical point of an image made by RenderPage.
QColor ColourAt(const QImage& image, double zoom, int x, int y)
{
    PageMapping mapping = PageMapping::ForZoom(zoom);
    mapping.windowOrigin = QPoint(0, -105);
    const QPointF d = mapping.ToDevice(x, y);
    return image.pixelColor(int(d.x()), int(d.y()));
}

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 && std::abs(a.blue() - b.blue()) < 40;
}

// A colour within one pixel of a logical point (thin lines land on either
// side of a point that falls between pixels).
bool NearAround(const QImage& image, double zoom, int x, int y, const QColor& want)
{
    PageMapping mapping = PageMapping::ForZoom(zoom);
    mapping.windowOrigin = QPoint(0, -105);
    const QPointF d = mapping.ToDevice(x, y);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (Near(image.pixelColor(int(d.x()) + dx, int(d.y()) + dy), want))
                return true;
    return false;
}

} // namespace

TEST(PageLayer, MappingFollowsTheZoomWithYUpwards)
{
    EXPECT_EQ(PageMapping::ForZoom(1.0).windowExtent, 1008);
    EXPECT_EQ(PageMapping::ForZoom(2.0).windowExtent, 504);
    EXPECT_EQ(PageMapping::ForZoom(0.75).windowExtent, 1344);
    EXPECT_EQ(PageMapping::ForZoom(0.0).windowExtent, 1008);
    EXPECT_EQ(PageMapping::ForResolution(600).windowExtent, 1008);
    PageMapping m = PageMapping::ForZoom(2.0);
    m.windowOrigin = QPoint(-10, 10);
    EXPECT_EQ(m.ToDevice(-10, 10), QPointF(0, 0));
    EXPECT_EQ(m.ToDevice(494, -494), QPointF(96, 96)); // y upwards on the page, downwards on the device
    EXPECT_EQ(m.ToLogical(QPointF(96, 96)), QPointF(494, -494));
}

TEST(PageLayer, ViewCoordinatesHaveAMarginAndFollowTheScroll)
{
    DrawView view;
    EXPECT_EQ(view.DocToClient(QPoint(-10, 10)), QPoint(0, 0));
    EXPECT_EQ(view.DocToClient(QPoint(1008 - 10, 10 - 1008)), QPoint(96, 96));
    view.m_scrollPos = QPoint(5, 40);
    EXPECT_EQ(view.DocToClient(QPoint(1008 - 10, 10 - 1008)), QPoint(91, 56));
    EXPECT_EQ(view.ClientToDoc(QPoint(91, 56)), QPoint(998, -998));
    view.m_fZoom = 0.75f;
    view.m_scrollPos = QPoint();
    EXPECT_EQ(view.DocToClient(QPoint(1334, -1334)), QPoint(96, 96));
    // The rectangle forms: DocToClient normalises, ClientToDoc keeps the corners.
    EXPECT_EQ(view.DocToClient(DocRect(1334, -1334, -10, 10)), DocRect(0, 0, 96, 96));
    EXPECT_EQ(view.ClientToDoc(DocRect(0, 0, 96, 96)), DocRect(-10, 10, 1334, -1334));
}

TEST(PageLayer, TextAndImagesStandUpright)
{
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 10; ++y)
            picture.setPixelColor(x, y, Qt::red); // top half red
    const DocRect textBox(0, -1050, 1050, -1050 - 300);

    QImage drawn(100, 140, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    PageDC dc(painter, PageMapping::ForZoom(1.0));
    dc.DrawImage(DocRect(0, 0, 1050, -1050), picture);
    dc.DrawText(textBox, QStringLiteral("Ab"), QFont(), 200, Qt::AlignLeft | Qt::AlignTop, RGB(0, 0, 0));
    painter.end();
    EXPECT_EQ(drawn.pixelColor(50, 10), QColor(Qt::red));
    EXPECT_EQ(drawn.pixelColor(50, 90), QColor(Qt::blue));

    // The text is what QPainter draws upright in the same box (200 units: 19 pixels).
    QImage expected(100, 140, QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter direct(&expected);
    direct.drawImage(QRectF(0, 0, 100, 100), picture);
    QFont font;
    font.setPixelSize(19);
    direct.setFont(font);
    direct.setPen(Qt::black);
    direct.drawText(QRectF(0, 100, 100, 300 * 96.0 / 1008), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Ab"));
    direct.end();
    EXPECT_EQ(drawn, expected);
}

// Printed pages recorded at a printer's resolution and shown scaled down, as
// the print preview shows them: a one-pixel pen stays a whole dark pixel of
// the screen, however thin it is on the printer; a wide pen keeps its width.
TEST(PageLayer, ThinPensStayWholePixelsWhenPrintedPagesAreShownScaledDown)
{
    struct Case {
        const char* name;
        LogPen pen;
        bool frame;   // a rectangle's outline, else a line
        int expected; // the dark band's width in screen pixels (at least)
    };
    const Case cases[] = {
        {"width 0", LogPen{PS_SOLID, 0, 0, RGB(0, 0, 0)}, false, 1},
        {"width 1", LogPen{PS_SOLID, 1, 1, RGB(0, 0, 0)}, false, 1},
        {"dotted width 1", LogPen{PS_DOT, 1, 1, RGB(0, 0, 0)}, false, 1},
        {"frame width 1", LogPen{PS_SOLID, 1, 1, RGB(0, 0, 0)}, true, 1},
        {"width 105 (1/10 inch)", LogPen{PS_SOLID, 105, 105, RGB(0, 0, 0)}, false, 9},
    };
    for (const Case& c : cases) {
        // A horizontal stroke across one inch, half an inch down, at 1200 dpi.
        QPicture picture;
        {
            QPainter recorder(&picture);
            PageDC dc(recorder, PageMapping::ForResolution(1200), true);
            ASSERT_TRUE(dc.SelectPen(c.pen)) << c.name;
            dc.SelectNullBrush();
            if (c.frame)
                dc.Rectangle(DocRect(0, -504, 1008, -1008));
            else
                dc.Line(QPoint(0, -504), QPoint(1008, -504));
        }
        // Shown at 96 dpi: 1200 printer pixels to 96 screen pixels.
        QImage shown(96, 96, QImage::Format_RGB32);
        shown.fill(Qt::white);
        {
            QPainter screen(&shown);
            screen.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
            screen.scale(96.0 / 1200, 96.0 / 1200);
            screen.drawPicture(0, 0, picture);
        }
        // Across the stroke at the middle of the line (a dotted line's dots
        // are looked for along a stretch of it): how many rows are dark.
        int dark = 0;
        for (int y = 40; y < 56; ++y) {
            bool any = false;
            for (int x = 40; x < 48; ++x)
                any = any || qGray(shown.pixel(x, y)) < 96;
            dark += any ? 1 : 0;
        }
        EXPECT_GE(dark, c.expected) << c.name;
        EXPECT_LE(dark, c.expected + 2) << c.name;
    }
}

TEST(PageLayer, TwoPageReportRendersUprightAndInPlace)
{
    const QString folder = QStringLiteral(DOCUMENT_TEST_ARTIFACTS);
    ASSERT_TRUE(QDir().mkpath(folder));
    CDI_RptDoc doc;
    BuildSampleReport(doc);
    for (double zoom : {1.0, 2.0}) {
        SCOPED_TRACE(zoom);
        const QImage image = RenderPage(doc, zoom);
        ASSERT_TRUE(image.save(QStringLiteral("%1/report-page1-zoom%2.png").arg(folder).arg(int(zoom))));
        const auto at = [&](int x, int y) { return ColourAt(image, zoom, x, y); };
        EXPECT_TRUE(Near(at(2500, -2000), Qt::yellow));           // rectangle, filled
        EXPECT_TRUE(NearAround(image, zoom, 1000, -2000, Qt::black)); // its outline
        EXPECT_TRUE(NearAround(image, zoom, 6000, -1004, Qt::blue)); // round rectangle, top edge
        EXPECT_TRUE(Near(at(4510, -1010), Qt::white));            // its corner is rounded off
        EXPECT_TRUE(Near(at(2500, -4500), QColor(0, 200, 0)));    // ellipse, filled
        EXPECT_TRUE(Near(at(1020, -3520), Qt::white));            // outside its curve
        EXPECT_TRUE(NearAround(image, zoom, 6000, -4500, Qt::red));  // line, middle
        EXPECT_TRUE(NearAround(image, zoom, 2500, -6500, Qt::black)); // arrow shaft
        EXPECT_TRUE(Near(at(3960, -6500 + 15), Qt::black));       // its head at the second point
        EXPECT_TRUE(Near(at(1040, -6500 + 15), Qt::white));       // none at the first
        EXPECT_TRUE(Near(at(6000, -6800), Qt::magenta));          // polygon, filled
        EXPECT_TRUE(NearAround(image, zoom, 6000, -6000 - 5, Qt::black)); // its wide outline
        EXPECT_TRUE(Near(at(1200, -700), Qt::white));             // page 2's rectangle is not drawn
        EXPECT_TRUE(Near(at(8000, -11000), Qt::white));           // page background
    }
}

TEST(PageLayer, PaintingKeepsTheListAndClicksFindWhatIsOnTop)
{
    CDI_RptDoc doc;
    CountingView view;
    doc.SetView(&view);
    CDrawRect* under = AddShape(doc, &view, CDrawRect::rectangle, DocRect(0, 0, 1000, -1000));
    CDrawRect* arrow1 = AddShape(doc, &view, CDrawRect::arrow, DocRect(0, -500, 1000, -500));
    CDrawRect* over = AddShape(doc, &view, CDrawRect::rectangle, DocRect(200, -200, 800, -800));
    CDrawRect* arrow2 = AddShape(doc, &view, CDrawRect::arrow, DocRect(500, 0, 500, -1000));
    over->brushOn = under->brushOn = 1;
    // Adding keeps the arrows at the tail of the list.
    const std::vector<CDrawObj*> list{under, over, arrow1, arrow2};
    EXPECT_EQ(doc.GetObjects(), list);
    EXPECT_EQ(doc.PaintOrder(), list);

    view.Select(over);
    RenderPage(doc, 1.0, &view);
    RenderPage(doc, 1.0, &view, /*printing=*/true);
    EXPECT_EQ(doc.GetObjects(), list);
    EXPECT_FALSE(doc.IsModified());

    EXPECT_EQ(doc.ObjectAt(QPoint(300, -500)), arrow1); // arrows are drawn over the rectangles
    EXPECT_EQ(doc.ObjectAt(QPoint(500, -300)), arrow2);
    EXPECT_EQ(doc.ObjectAt(QPoint(300, -300)), over);
    EXPECT_EQ(doc.ObjectAt(QPoint(100, -900)), under);
    EXPECT_EQ(doc.ObjectAt(QPoint(5000, -5000)), nullptr);
    doc.SetCurPage(0);
    doc.InsertPage(0, QStringLiteral("Empty"));
    EXPECT_EQ(doc.ObjectAt(QPoint(300, -300)), nullptr); // other page
    doc.SetView(nullptr);
}

TEST(PageLayer, ArrowsEndAtTheTailOfTheListAfterADrawAndALoad)
{
    CDI_RptDoc doc;
    CountingView view;
    doc.SetView(&view);
    CDrawRect* first = AddShape(doc, &view, CDrawRect::rectangle, DocRect(0, 0, 1000, -1000));
    CDrawRect* second = AddShape(doc, &view, CDrawRect::rectangle, DocRect(200, -200, 800, -800));
    CDrawRect* third = AddShape(doc, &view, CDrawRect::rectangle, DocRect(300, -300, 900, -900));
    CDrawRect* last = AddShape(doc, &view, CDrawRect::arrow, DocRect(0, -500, 1000, -500));
    // Two objects that became arrows after they were added.
    first->shape = CDrawRect::arrow;
    third->shape = CDrawRect::arrow;
    QTemporaryDir dir;
    const QString stored = dir.filePath(QStringLiteral("arrows.rpt"));
    ASSERT_TRUE(doc.OnSaveDocument(stored));
    doc.SetModifiedFlag(false);
    RenderPage(doc, 1.0, &view);
    const std::vector<CDrawObj*> drawn{second, first, third, last};
    EXPECT_EQ(doc.GetObjects(), drawn);
    EXPECT_FALSE(doc.IsModified());

    // A report stored with arrows before other objects reads them to the tail.
    CDI_RptDoc loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(stored));
    ASSERT_EQ(loaded.GetObjects().size(), 4u);
    const auto* rect = dynamic_cast<const CDrawRect*>(loaded.GetObjects()[0]);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->shape, CDrawRect::rectangle);
    EXPECT_EQ(rect->position, second->position);
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(loaded.GetObjects()[i]->position, drawn[i]->position) << i;
    doc.SetView(nullptr);
}

TEST(PageLayer, SelectionIsDrawnWithTrackersOnScreenOnly)
{
    CDI_RptDoc doc;
    CountingView view;
    doc.SetView(&view);
    CDrawRect* rect = AddShape(doc, &view, CDrawRect::rectangle, DocRect(1000, -1000, 3000, -3000));
    const QImage plain = RenderPage(doc, 1.0, &view);
    view.Select(rect);
    const QImage screen = RenderPage(doc, 1.0, &view);
    const QImage printed = RenderPage(doc, 1.0, &view, true);
    EXPECT_NE(screen, plain);
    EXPECT_EQ(printed, plain);
    EXPECT_TRUE(Near(ColourAt(screen, 1.0, 1000 + 20, -1000 - 20), Qt::black)); // inverted handle square
    doc.SetView(nullptr);
}
