// The draw-object base, the rectangle shapes and the polygon: records,
// handles, cursors, hit tests, moving, colours and their undo records.
#include "test_support.h"

#include "document/page_dc.h"
#include "document/word_export.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

using namespace rpt_test;

namespace {

QByteArray Record(const CDrawObj& obj)
{
    platform::ArchiveWriter ar;
    obj.Serialize(ar);
    return ar.data();
}

// A white 200 x 200 image showing logical (0, 0) .. (2100, -2100) at 100 %.
struct Canvas {
    Canvas() : image(200, 200, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        painter.begin(&image);
    }
    PageDC Dc() { return PageDC(painter, PageMapping::ForZoom(1.0)); }
    QImage Done()
    {
        painter.end();
        return image;
    }
    // Pixel of a logical point.
    static QPoint At(int x, int y) { return {int(std::lround(x * 96.0 / 1008)), int(std::lround(-y * 96.0 / 1008))}; }
    QImage image;
    QPainter painter;
};

int DarkPixels(const QImage& image, QRect area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}


class PropertiesCounter : public CDrawObj {
public:
    using CDrawObj::CDrawObj;
    void OnEditProperties() override { ++opened; }
    int opened = 0;
};

} // namespace

TEST(DrawObj, DefaultsOfBothConstructors)
{
    const CDrawObj plain;
    EXPECT_EQ(plain.page, 1u);
    EXPECT_EQ(plain.penOn, 1);
    EXPECT_EQ(plain.pen, (LogPen{PS_INSIDEFRAME, 1, 1, 0}));
    EXPECT_EQ(plain.brushOn, 1);
    EXPECT_EQ(plain.brush, (LogBrush{BS_SOLID, 0xC0C0C0, 0}));
    EXPECT_EQ(plain.activeHandle, 1);
    EXPECT_EQ(plain.tableCell, 0u);
    EXPECT_EQ(plain.GetDocument(), nullptr);
    EXPECT_EQ(plain.GetView(), nullptr);
    EXPECT_EQ(plain.GetPopupMenuIndex(), 0);

    CDI_RptDoc doc;
    CountingView view;
    doc.SetView(&view);
    doc.InsertPage(0, QStringLiteral("Two"));
    const CDrawObj placed(&view, DocRect(1, 2, 3, 4));
    EXPECT_EQ(placed.page, 1u); // the current page
    EXPECT_EQ(placed.GetView(), &view);
    EXPECT_EQ(placed.position, DocRect(1, 2, 3, 4));
    doc.SetView(nullptr);
}

TEST(DrawObj, BaseRecordIsFiftySixBytesAndReadsBack)
{
    CDrawObj obj(nullptr, DocRect(-5, 7000, 6000, -300));
    obj.pen = LogPen{PS_DASH, 2, 3, RGB(1, 2, 3)};
    obj.brushOn = 0;
    obj.brush = LogBrush{BS_HATCHED, RGB(4, 5, 6), 3};
    obj.page = 4;
    obj.tableCell = 1;
    Bytes want;
    want.i32(-5).i32(7000).i32(6000).i32(-300);
    want.u16(1).u32(PS_DASH).i32(2).i32(3).u32(0x030201);
    want.u16(0).u32(BS_HATCHED).u32(0x060504).i32(3);
    want.u32(4).u32(1);
    ASSERT_EQ(want.size(), 56);
    EXPECT_EQ(Record(obj).toHex(), want.data().toHex());

    // Reading sets the document first, widens the flags and leaves the view null.
    CDI_RptDoc doc;
    QByteArray bytes = want.data();
    bytes[16] = 2; // a pen flag of 2 stays 2
    platform::ArchiveReader ar(bytes, doc.Registry().ArchiveRegistry(), &doc);
    CDrawObj read;
    read.Serialize(ar);
    EXPECT_TRUE(ar.atEnd());
    EXPECT_EQ(read.GetDocument(), &doc);
    EXPECT_EQ(read.GetView(), nullptr);
    EXPECT_EQ(read.penOn, 2);
    EXPECT_EQ(read.position, obj.position);
    EXPECT_EQ(read.brush, obj.brush);
    EXPECT_EQ(Record(read), bytes);
}

TEST(DrawObj, HandlesRunClockwiseFromTheTopLeft)
{
    const CDrawObj obj(nullptr, DocRect(1, 10, 4, 1)); // centre (2, 6): divisions truncate
    const QPoint want[] = {{1, 10}, {1, 10}, {2, 10}, {4, 10}, {4, 6}, {4, 1}, {2, 1}, {1, 1}, {1, 6}, {1, 10}};
    for (int h = 0; h <= 9; ++h)
        EXPECT_EQ(obj.GetHandle(h), want[h]) << h;
    EXPECT_EQ(obj.GetHandleCount(), 8);
}

TEST(DrawObj, CursorsFollowTheMirroring)
{
    using C = HandleCursor;
    const struct {
        DocRect rect;
        C corner1, corner3;
    } cases[] = {
        {DocRect(0, 100, 100, 0), C::SizeNWSE, C::SizeNESW},  // as drawn on a page
        {DocRect(100, 100, 0, 0), C::SizeNESW, C::SizeNWSE},  // mirrored left-right
        {DocRect(0, 0, 100, 100), C::SizeNESW, C::SizeNWSE},  // mirrored top-bottom
        {DocRect(100, 0, 0, 100), C::SizeNWSE, C::SizeNESW},  // mirrored both ways
    };
    for (const auto& c : cases) {
        const CDrawObj obj(nullptr, c.rect);
        for (int h : {1, 5, 0, 10})
            EXPECT_EQ(obj.GetHandleCursor(h), c.corner1) << h;
        for (int h : {3, 7})
            EXPECT_EQ(obj.GetHandleCursor(h), c.corner3) << h;
        EXPECT_EQ(obj.GetHandleCursor(2), C::SizeNS);
        EXPECT_EQ(obj.GetHandleCursor(6), C::SizeNS);
        EXPECT_EQ(obj.GetHandleCursor(4), C::SizeWE);
        EXPECT_EQ(obj.GetHandleCursor(8), C::SizeWE);
        EXPECT_EQ(obj.GetHandleCursor(9), C::IBeam);
    }
}

TEST(DrawObj, MovingRecordsUndoUnlessUnchangedOrAsked)
{
    CDI_RptDoc doc;
    CountingView view;
    doc.SetView(&view);
    CDrawObj* obj = doc.AddNoUndo(std::make_unique<CDrawObj>(&view, DocRect(0, 100, 100, 0)));
    view.invalidations = 0;
    obj->MoveTo(DocRect(0, 100, 100, 0), 0, &view);
    EXPECT_EQ(view.invalidations, 0);
    EXPECT_EQ(doc.GetUndoCount(), 0);
    EXPECT_FALSE(doc.IsModified());

    obj->MoveTo(DocRect(10, 100, 100, 0), CDrawObj::kMoveNoUndo, &view);
    EXPECT_EQ(view.invalidations, 2);
    EXPECT_EQ(doc.GetUndoCount(), 0);
    obj->MoveTo(DocRect(20, 100, 100, 0), 0, nullptr);
    EXPECT_EQ(view.invalidations, 4); // through the document
    EXPECT_EQ(doc.GetUndoCount(), 1);

    // A handle dragged past the opposite edge mirrors the rectangle.
    obj->MoveHandleTo(3, QPoint(-50, 100), CDrawObj::kMoveNoUndo, &view);
    EXPECT_EQ(obj->position, DocRect(20, 100, -50, 0));
    EXPECT_EQ(obj->activeHandle, 3);
    obj->MoveHandleTo(42, QPoint(999, 999), CDrawObj::kMoveNoUndo, &view);
    EXPECT_EQ(obj->position, DocRect(20, 100, -50, 0));
    doc.SetView(nullptr);
}

TEST(DrawObj, ColoursAndWidths)
{
    CDrawObj obj(nullptr, DocRect(0, 0, 1, 1));
    obj.SetFillColor(0xFFFFFFFF);
    EXPECT_EQ(obj.brushOn, 0);
    EXPECT_EQ(obj.brush.color, 0xFFFFFFFFu);
    EXPECT_EQ(obj.GetFillColor(), 0xFFFFFFFFu);
    obj.SetFillColor(RGB(1, 2, 3));
    EXPECT_EQ(obj.brushOn, 1);

    obj.pen.color = RGB(9, 9, 9);
    obj.SetLineColor(0xFFFFFFFF);
    EXPECT_EQ(obj.penOn, 0);
    EXPECT_EQ(obj.pen.color, RGB(9, 9, 9));
    obj.SetLineWidth(0);
    EXPECT_EQ(obj.pen.widthX, 0);
    EXPECT_EQ(obj.penOn, 0);
    obj.SetLineWidth(3);
    EXPECT_EQ(obj.pen.widthY, 3);
    EXPECT_EQ(obj.penOn, 1);
    obj.SetLineColorRaw(0xFFFFFFFF);
    EXPECT_EQ(obj.penOn, 0);

    obj.brush.color = 0x010101;
    obj.pen.color = 0x123456;
    obj.InvertColors();
    EXPECT_EQ(obj.brush.color, 0xFEFEFEu);
    EXPECT_EQ(obj.brushOn, 0);
    EXPECT_EQ(obj.pen.color, 0x123456u ^ 0xFFFFFF);
    obj.InvertColors();
    EXPECT_EQ(obj.brushOn, 1);
}

TEST(DrawObj, HitTestFindsTheBodyOrOnlyTheHandlesWhenSelected)
{
    CDrawObj obj(nullptr, DocRect(0, 1000, 2000, 0));
    CountingView view; // 100 %: a handle's box is 3 pixels, about 31 units, around it
    EXPECT_EQ(obj.HitTest(QPoint(0, 1000), &view, false, 0), 1);
    EXPECT_EQ(obj.HitTest(QPoint(1999, 1), &view, false, 0), 1);
    EXPECT_EQ(obj.HitTest(QPoint(2000, 500), &view, false, 0), 0); // right edge excluded
    EXPECT_EQ(obj.HitTest(QPoint(500, 0), &view, false, 0), 0);    // bottom edge excluded
    EXPECT_EQ(obj.HitTest(QPoint(1000, 500), &view, true, 0), 0);  // the body does not count
    EXPECT_EQ(obj.HitTest(QPoint(5, 995), &view, true, 0), 1);
    EXPECT_EQ(obj.HitTest(QPoint(2010, 510), &view, true, 0), 4);
    EXPECT_EQ(obj.HitTest(QPoint(1000, 40), &view, true, 0), 0);
    EXPECT_EQ(obj.HitTest(QPoint(1000, 10), nullptr, true, 0), 6);
}

TEST(DrawObj, IntersectionNormalisesBothRectangles)
{
    CDrawObj obj(nullptr, DocRect(100, 0, 0, 100)); // mirrored both ways
    EXPECT_TRUE(obj.Intersects(DocRect(50, 60, 51, 61)));
    EXPECT_TRUE(obj.Intersects(DocRect(150, 150, 50, 50)));
    EXPECT_FALSE(obj.Intersects(DocRect(100, 50, 101, 51))); // touching only
    EXPECT_FALSE(obj.Intersects(DocRect(50, 50, 50, 60)));   // empty
}

// Placing inside the page: moved the least, shrunk about the upper left
// corner with its shape kept when larger, normalised either way.
TEST(Geometry, KeptInsideMovesTheLeastAndShrinksKeepingTheShape)
{
    const DocRect page(0, -10105, 8000, -105);
    struct Case {
        const char* what;
        DocRect in;
        DocRect out;
    };
    const Case cases[] = {
        {"inside: as it was", {1000, -200, 3000, -1200}, {1000, -1200, 3000, -200}},
        {"off the right edge", {7000, -200, 9000, -1200}, {6000, -1200, 8000, -200}},
        {"off the left and the top", {-500, 100, 500, -900}, {0, -1105, 1000, -105}},
        {"off the bottom", {1000, -9500, 2000, -11500}, {1000, -10105, 2000, -8105}},
        {"wider than the page", {4000, -1000, 20000, -3000}, {0, -2000, 8000, -1000}},
        {"taller than the page", {100, -105, 1100, -20105}, {100, -10105, 600, -105}},
        {"both, off the page", {-9000, 9000, 39000, -15000}, {0, -4105, 8000, -105}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(KeptInside(c.in, page), c.out);
    }
    // No page to keep to: the rectangle as it was.
    EXPECT_EQ(KeptInside(DocRect(5, 9, 1, 3), DocRect()), DocRect(1, 3, 5, 9));
}

TEST(DrawObj, TrackerInvertsOneSquarePerHandle)
{
    CDrawObj obj(nullptr, DocRect(420, -420, 1680, -1680));
    Canvas normal;
    PageDC dc0 = normal.Dc();
    obj.DrawTracker(dc0, CDrawObj::normal);
    EXPECT_EQ(DarkPixels(normal.Done(), QRect(0, 0, 200, 200)), 0);

    Canvas selected;
    PageDC dc1 = selected.Dc();
    obj.DrawTracker(dc1, CDrawObj::selected);
    const QImage image = selected.Done();
    for (int h = 1; h <= 8; ++h) {
        const QPoint p = Canvas::At(obj.GetHandle(h).x(), obj.GetHandle(h).y());
        EXPECT_LT(qGray(image.pixel(p)), 128) << h;
    }
    EXPECT_EQ(qGray(image.pixel(Canvas::At(1050, -1050))), 255); // the inside is untouched
}

TEST(DrawObj, OpenEditsThePropertiesAndDoCommandRecordsAChange)
{
    CDI_RptDoc doc;
    CountingView view;
    doc.SetView(&view);
    auto* obj = static_cast<PropertiesCounter*>(doc.AddNoUndo(std::make_unique<PropertiesCounter>(&view, DocRect())));
    obj->OnOpen(&view);
    EXPECT_EQ(obj->opened, 1);
    EXPECT_EQ(obj->Clone(&doc), nullptr);
    EXPECT_EQ(obj->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("3"), 12), 1);
    EXPECT_EQ(doc.GetUndoCount(), 1);
    EXPECT_TRUE(doc.IsModified());
    g_dragHandle = 5;
    doc.Remove(obj);
    obj->Remove();
    EXPECT_EQ(g_dragHandle, 0);
    doc.SetView(nullptr);
}

TEST(DrawObj, ColourTableInversion)
{
    const QByteArray withTable = "{\\rtf1{\\colortbl;\\red0\\green128\\blue255;\\red10\\green20\\blue30;}\\pard\\cf1 x}";
    const QByteArray inverted = InvertRtfColorTable(withTable);
    EXPECT_EQ(inverted,
              QByteArray("{\\rtf1{\\colortbl ;\\red255\\green127\\blue0;\\red245\\green235\\blue225;}\\pard\\cf1 x}"));
    EXPECT_EQ(InvertRtfColorTable(inverted), "{\\rtf1{\\colortbl ;\\red0\\green128\\blue255;\\red10\\green20\\blue30;}\\pard\\cf1 x}");

    const QByteArray plain = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard\\f0 text}";
    EXPECT_EQ(InvertRtfColorTable(plain),
              QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red255\\green255\\blue255;}\\pard\\cf1\\f0 text}"));
    EXPECT_TRUE(InvertRtfColorTable("{\\rtf1 no paragraph}").isNull());

    CDrawObj obj;
    obj.InvertColorTable(); // empty store: nothing
    EXPECT_EQ(obj.GetTextStore()->GetLength(), 0u);
    obj.GetTextStore()->Assign(withTable);
    obj.InvertColorTable();
    obj.InvertColorTable();
    EXPECT_EQ(obj.GetTextStore()->ToByteArray(),
              QByteArray("{\\rtf1{\\colortbl ;\\red0\\green128\\blue255;\\red10\\green20\\blue30;}\\pard\\cf1 x}") +
                  QByteArray(1, '\0'));
    EXPECT_EQ(obj.GetTextStore()->GetPosition(), 0u);
}

TEST(DrawRect, RecordAndConstructorDefaults)
{
    CDrawRect rect(nullptr, DocRect(10, 20, 30, 40));
    EXPECT_EQ(rect.brushOn, 0);
    EXPECT_EQ(rect.penOn, 1);
    EXPECT_EQ(rect.shape, CDrawRect::rectangle);
    EXPECT_EQ(rect.arrowStyle, 2);
    EXPECT_EQ(rect.roundness, QPoint(16, 16));
    rect.shape = CDrawRect::arrow;
    rect.roundness = QPoint(-1, 70000);
    rect.arrowStyle = 3;
    Bytes want;
    want.baseRecord(DocRect(10, 20, 30, 40), 0).u16(4).i32(-1).i32(70000).i32(3);
    EXPECT_EQ(Record(rect).toHex(), want.data().toHex());
    EXPECT_EQ(want.size(), 70);
}

TEST(DrawRect, HandlesByShape)
{
    CDrawRect rect(nullptr, DocRect(0, 1000, 2000, 0));
    const struct {
        int shape;
        int count;
    } counts[] = {{0, 8}, {1, 9}, {2, 8}, {3, 2}, {4, 2}, {7, 8}};
    for (const auto& c : counts) {
        rect.shape = c.shape;
        EXPECT_EQ(rect.GetHandleCount(), c.count) << c.shape;
    }
    rect.shape = CDrawRect::line;
    EXPECT_EQ(rect.GetHandle(2), QPoint(2000, 0));
    EXPECT_EQ(rect.GetHandleCursor(2), rect.CDrawObj::GetHandleCursor(5));
    rect.MoveHandleTo(2, QPoint(50, 60), CDrawObj::kMoveNoUndo, nullptr);
    EXPECT_EQ(rect.position, DocRect(0, 1000, 50, 60));
    rect.MoveHandleTo(1, QPoint(-5, -6), CDrawObj::kMoveNoUndo, nullptr);
    EXPECT_EQ(rect.position, DocRect(-5, -6, 50, 60));

    rect.shape = CDrawRect::roundRectangle;
    rect.position = DocRect(0, 1000, 2000, 0);
    rect.roundness = QPoint(400, 200);
    EXPECT_EQ(rect.GetHandle(9), QPoint(1800, 900));
    EXPECT_EQ(rect.GetHandleCursor(9), HandleCursor::SizeAll);
}

TEST(DrawRect, DraggingTheCornerHandleSetsTheRoundness)
{
    CDI_RptDoc doc;
    CountingView view;
    doc.SetView(&view);
    auto* rect = static_cast<CDrawRect*>(doc.AddNoUndo(std::make_unique<CDrawRect>(&view, DocRect(0, 1000, 2000, 0))));
    rect->shape = CDrawRect::roundRectangle;
    view.Select(rect);
    const struct {
        QPoint to;
        QPoint roundness;
    } cases[] = {
        {QPoint(1800, 900), QPoint(400, 200)},
        {QPoint(100, 100), QPoint(2000, 1000)}, // below the middle: the largest corner
        {QPoint(5000, 5000), QPoint(2, 2)},     // past the outer edge: the smallest
        {QPoint(1500, 700), QPoint(1000, 600)},
    };
    for (const auto& c : cases) {
        rect->MoveHandleTo(9, c.to, 0, &view);
        EXPECT_EQ(rect->roundness, c.roundness) << c.to.x();
    }
    EXPECT_EQ(doc.GetUndoCount(), 4);
    EXPECT_EQ(rect->position, DocRect(0, 1000, 2000, 0));
    doc.OnEditUndo();
    EXPECT_EQ(static_cast<CDrawRect*>(doc.GetObjects()[0])->roundness, QPoint(2, 2));
    doc.SetView(nullptr);
}

TEST(DrawRect, PenWidthsAndArrowHeads)
{
    EXPECT_EQ(ScaledPenWidth(1), 10);
    EXPECT_EQ(ScaledPenWidth(3), 31);
    EXPECT_EQ(ScaledPenWidth(-2), -21);
    EXPECT_EQ(ScaledPenWidth(0x7FFFFFFF), 0x7FFFFFFF); // saturates

    const ArrowHead head = ComputeArrowHead(QPoint(1000, 0), QPoint(0, 0), 10);
    EXPECT_EQ(head[0], QPoint(0, 0));
    // The default pen gives a head 97 units long, 30 degrees each side.
    EXPECT_EQ(head[1], QPoint(84, 48));
    EXPECT_EQ(head[2], QPoint(84, -48));
    EXPECT_EQ(head[3], QPoint(84, 0));
    const ArrowHead degenerate = ComputeArrowHead(QPoint(5, 5), QPoint(5, 5), 10);
    EXPECT_EQ(degenerate[3], QPoint(5, 5));
}

TEST(DrawRect, IntersectionByShape)
{
    CDrawRect line(nullptr, DocRect(0, 0, 1000, 0)); // zero height
    line.shape = CDrawRect::line;
    EXPECT_TRUE(line.Intersects(DocRect(500, 5, 510, 8)));
    EXPECT_FALSE(line.Intersects(DocRect(500, 20, 510, 30)));
    line.position = DocRect(0, 1000, 1000, 0); // diagonal, band of 10 units each side
    EXPECT_TRUE(line.Intersects(DocRect(500, 505, 501, 506)));
    EXPECT_FALSE(line.Intersects(DocRect(500, 530, 501, 531)));
    line.shape = CDrawRect::arrow;
    EXPECT_TRUE(line.Intersects(DocRect(100, 905, 101, 906)));
    EXPECT_FALSE(line.Intersects(DocRect(100, 100, 101, 101)));

    CDrawRect ellipse(nullptr, DocRect(0, 1000, 1000, 0));
    ellipse.shape = CDrawRect::ellipse;
    EXPECT_TRUE(ellipse.Intersects(DocRect(500, 500, 501, 501)));
    EXPECT_FALSE(ellipse.Intersects(DocRect(20, 980, 21, 981)));
    ellipse.shape = CDrawRect::roundRectangle;
    ellipse.roundness = QPoint(400, 400);
    EXPECT_FALSE(ellipse.Intersects(DocRect(10, 990, 11, 991)));
    EXPECT_TRUE(ellipse.Intersects(DocRect(500, 990, 501, 991)));
    ellipse.shape = CDrawRect::rectangle;
    EXPECT_TRUE(ellipse.Intersects(DocRect(10, 990, 11, 991)));
    ellipse.shape = 9;
    EXPECT_FALSE(ellipse.Intersects(DocRect(500, 500, 501, 501)));
}

TEST(DrawRect, ArrowHeadsStandWhereTheStyleSays)
{
    // From the first point (200, -1000) to the second (1800, -1000).
    const auto darkNear = [](const QImage& image, int x) {
        const QPoint p = Canvas::At(x, -1000);
        return DarkPixels(image, QRect(p.x() - 2, p.y() - 3, 5, 2)) + DarkPixels(image, QRect(p.x() - 2, p.y() + 2, 5, 2));
    };
    const struct {
        int style;
        bool atFirst, atSecond;
    } cases[] = {{1, false, true}, {2, true, false}, {3, true, true}, {0, false, false}};
    for (const auto& c : cases) {
        CDrawRect arrow(nullptr, DocRect(200, -1000, 1800, -1000));
        arrow.shape = CDrawRect::arrow;
        arrow.arrowStyle = c.style;
        Canvas canvas;
        PageDC dc = canvas.Dc();
        arrow.Draw(dc);
        const QImage image = canvas.Done();
        EXPECT_EQ(darkNear(image, 270) > 0, c.atFirst) << c.style;
        EXPECT_EQ(darkNear(image, 1730) > 0, c.atSecond) << c.style;
        EXPECT_GT(DarkPixels(image, QRect(Canvas::At(1000, -1000) - QPoint(0, 1), QSize(1, 3))), 0);
    }

    // Shorter than 5 units both ways: nothing at all.
    CDrawRect tiny(nullptr, DocRect(1000, -1000, 1004, -1004));
    tiny.shape = CDrawRect::arrow;
    Canvas canvas;
    PageDC dc = canvas.Dc();
    tiny.Draw(dc);
    EXPECT_EQ(DarkPixels(canvas.Done(), QRect(0, 0, 200, 200)), 0);
}

TEST(DrawRect, ShapesThatCannotMakeTheirPenDrawNothing)
{
    CDrawRect rect(nullptr, DocRect(200, -200, 1800, -1800));
    rect.pen.style = 42;
    Canvas canvas;
    PageDC dc = canvas.Dc();
    rect.Draw(dc);
    rect.pen.style = PS_SOLID;
    rect.brushOn = 1;
    rect.brush.style = 3; // a pattern brush without its pattern
    rect.Draw(dc);
    EXPECT_EQ(DarkPixels(canvas.Done(), QRect(0, 0, 200, 200)), 0);
}

TEST(DrawRect, WordExportOfRectanglesLinesAndArrows)
{
    const struct {
        int shape;
        int style;
        const char* call;
    } cases[] = {
        {0, 2, "rect 10,40 20x20 1 255"},
        {1, 2, nullptr},
        {2, 2, nullptr},
        {3, 2, "line 10,20 30,40 1 255"},
        {4, 1, "arrow 10,20 30,40 1 255 111 222"},
        {4, 2, "arrow 10,20 30,40 1 255 222 111"},
        {4, 3, "arrow 10,20 30,40 1 255 222 222"},
        {4, 0, "arrow 10,20 30,40 1 255 111 111"},
    };
    for (const auto& c : cases) {
        CDrawRect rect(nullptr, DocRect(10, 20, 30, 40));
        rect.shape = c.shape;
        rect.arrowStyle = c.style;
        rect.pen.color = 255;
        RecordingExport exporter;
        rect.ExportToWord(exporter);
        EXPECT_EQ(exporter.calls, c.call ? QStringList{QString::fromLatin1(c.call)} : QStringList()) << c.shape;
    }
}

TEST(DrawPoly, RecordHandlesAndMoving)
{
    CDrawPoly poly(nullptr, DocRect(0, 0, 0, 0));
    EXPECT_EQ(poly.brushOn, 0);
    for (QPoint p : {QPoint(0, 0), QPoint(100, 0), QPoint(100, 0), QPoint(50, -80)})
        poly.AddPoint(p, nullptr);
    EXPECT_EQ(poly.points.size(), 3u);
    EXPECT_EQ(poly.pointCapacity, 10);
    EXPECT_EQ(poly.position, DocRect(0, -80, 100, 0)); // left, smallest y, right, largest y
    EXPECT_EQ(poly.GetHandleCount(), 3);
    EXPECT_EQ(poly.GetHandle(2), QPoint(100, 0));
    EXPECT_EQ(poly.GetHandleCursor(1), HandleCursor::Arrow);

    Bytes want;
    want.baseRecord(DocRect(0, -80, 100, 0), 0, 0, 0).u16(3).u16(10);
    want.i32(0).i32(0).i32(100).i32(0).i32(50).i32(-80);
    EXPECT_EQ(Record(poly).toHex(), want.data().toHex());

    poly.MoveTo(DocRect(10, -60, 500, 700), CDrawObj::kMoveNoUndo, nullptr); // translated only
    EXPECT_EQ(poly.points, (std::vector<QPoint>{{10, 20}, {110, 20}, {60, -60}}));
    poly.MoveHandleTo(3, QPoint(60, -200), 0, nullptr);
    EXPECT_EQ(poly.position, DocRect(10, -200, 110, 20));
    poly.MoveHandleTo(7, QPoint(1, 1), 0, nullptr);
    EXPECT_EQ(poly.points.size(), 3u);

    EXPECT_TRUE(poly.Intersects(DocRect(55, -10, 65, 0)));
    EXPECT_FALSE(poly.Intersects(DocRect(12, -190, 14, -188)));
    EXPECT_FALSE(CDrawPoly().Intersects(DocRect(0, 0, 10, 10)));
}

TEST(DrawPoly, CloneCopiesIntoTheDocumentWithUndo)
{
    CDI_RptDoc doc;
    CountingView view;
    doc.SetView(&view);
    auto* poly = static_cast<CDrawPoly*>(doc.AddNoUndo(std::make_unique<CDrawPoly>(&view, DocRect())));
    for (QPoint p : {QPoint(0, 0), QPoint(100, 0), QPoint(50, -80)})
        poly->AddPoint(p, &view);
    poly->pen.color = RGB(7, 8, 9);
    poly->brushOn = 1;
    const int steps = doc.GetUndoCount();
    CDrawObj* copy = poly->Clone(&doc);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(doc.GetObjects().back(), copy);
    EXPECT_EQ(view.GetSelection(), std::vector<CDrawObj*>{copy});
    EXPECT_EQ(doc.GetUndoCount(), steps + 1);
    EXPECT_EQ(Record(*copy), Record(*poly));

    std::unique_ptr<CDrawObj> loose(poly->Clone(nullptr));
    EXPECT_EQ(Record(*loose), Record(*poly));
    doc.SetView(nullptr);
}
