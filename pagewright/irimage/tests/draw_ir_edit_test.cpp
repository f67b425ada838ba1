// Mouse editing of the image object: handle numbers, cursors and hit tests,
// band and analysis drags, deleting, adding analyses and bands, each through
// undo and redo.
#include "test_support.h"

#include "irimage/draw_ir.h"

#include "document/draw_tool.h"
#include "document/page_dc.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace irtest;

namespace {

// A 320 x 240 image 2400 units high at the page's origin: pixel (x, y) is
// page (10 x, -10 y). Its colour bar spans x 3249..3509, y -2100..-300 for
// 0..100 degrees.
struct EditReport : ReportWithView {
    CDrawIR* ir = AddImage(1);
    explicit EditReport(bool load = true)
    {
        if (load) {
            EXPECT_TRUE(ir->LoadIRFile(Fixture("k4_320.vni")));
        }
        ir->position = DocRect(0, -2400, 1, 0);
        ir->activeHandle = 2;
        ir->m_fLimits[4] = 100.0f;
        ir->m_fLimits[5] = 0.0f;
        Draw();
        view.Select(ir); // snapshots hold the selection, as the tools leave it
    }
    void Draw()
    {
        QImage scratch(8, 8, QImage::Format_RGB32);
        QPainter painter(&scratch);
        PageDC dc(painter, PageMapping::ForZoom(1));
        ir->Draw(dc);
    }
    // The image after undo or redo (the object may be read again).
    CDrawIR* Image() const
    {
        for (CDrawObj* obj : doc.GetObjects()) {
            if (auto* image = dynamic_cast<CDrawIR*>(obj))
                return image;
        }
        return nullptr;
    }
    void Undo()
    {
        doc.OnEditUndo();
        ir = Image();
        view.Select(ir);
    }
    void Redo()
    {
        doc.OnEditRedo();
        ir = Image();
        view.Select(ir);
    }
};

// A point, a horizontal line, a rectangle and an ellipse: handles 40, 41-43,
// 44-52 and 53-54.
void AddFourShapes(CDrawIR& ir)
{
    ir.m_analyses.Add(Shape(kAnalysisPoint, {100, 50, 100, 50}));
    ir.m_analyses.Add(Shape(kAnalysisLine, {20, 100, 120, 100}));
    ir.m_analyses.Add(Shape(kAnalysisRect, {150, 120, 250, 200}));
    ir.m_analyses.Add(Shape(kAnalysisEllipse, {20, 150, 80, 210}));
}

struct ModeGuard {
    explicit ModeGuard(int mode) { g_toolMode = mode; }
    ~ModeGuard() { g_toolMode = kModeNone; }
};

} // namespace

TEST(DrawIrEdit, HitTestsAndCursorsOfBandsAndAnalyses)
{
    EditReport r;
    ASSERT_FLOAT_EQ(r.ir->m_fScaleX, 0.1f);
    EXPECT_EQ(r.ir->ColorBarRect(), DocRect(3249, -2100, 3509, -300));
    r.ir->m_isotherms[0] = IRIsotherm{50.0f, 20.0f, 1, 0xFF};
    r.ir->m_isotherms[4] = IRIsotherm{90.0f, 4.0f, 1, 0xFF00};
    AddFourShapes(*r.ir);
    struct Case {
        QPoint at;
        int handle;
        HandleCursor cursor;
        HandleCursor deleting;
    };
    const Case cases[] = {
        // Band 0 spans y -1380..-1020 (tolerance 36): body, upper, lower edge.
        {{3379, -1200}, 9, HandleCursor::Drag, HandleCursor::DeleteBand},
        {{3379, -1000}, 10, HandleCursor::BandEdge, HandleCursor::Cross},
        {{3379, -1400}, 11, HandleCursor::BandEdge, HandleCursor::Cross},
        // Band 4, 3.6 degrees wide: its edges take a tolerance of 10.
        {{3379, -444}, 22, HandleCursor::BandEdge, HandleCursor::Cross},
        {{3379, -516}, 23, HandleCursor::BandEdge, HandleCursor::Cross},
        {{3379, -480}, 21, HandleCursor::Drag, HandleCursor::DeleteBand},
        // The point: a square of 35 around it.
        {{1030, -530}, 40, HandleCursor::MovePoint, HandleCursor::DeletePoint},
        // The line: ends and body.
        {{205, -1000}, 42, HandleCursor::ShapeEdge, HandleCursor::DeleteLine},
        {{1195, -1005}, 43, HandleCursor::ShapeEdge, HandleCursor::DeleteLine},
        {{700, -1015}, 41, HandleCursor::MoveLine, HandleCursor::DeleteLine},
        // The rectangle (x 1500..2500, y -2000..-1200): corner, side, band.
        {{1505, -1205}, 49, HandleCursor::ShapeEdge, HandleCursor::DeleteRect},
        {{2495, -1995}, 51, HandleCursor::ShapeEdge, HandleCursor::DeleteRect},
        {{1500, -1600}, 45, HandleCursor::ShapeEdge, HandleCursor::DeleteRect},
        {{2000, -1210}, 46, HandleCursor::ShapeEdge, HandleCursor::DeleteRect},
        {{1530, -1600}, 44, HandleCursor::MoveRect, HandleCursor::DeleteRect},
        // The ellipse (centre 500, -1800, radius 300): border and body.
        {{795, -1800}, 54, HandleCursor::ShapeEdge, HandleCursor::DeleteEllipse},
        {{500, -2060}, 53, HandleCursor::MoveEllipse, HandleCursor::DeleteEllipse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x() << ", " << c.at.y());
        EXPECT_EQ(r.ir->HitTest(c.at, &r.view, false, 0), c.handle);
        EXPECT_EQ(r.ir->GetHandleCursor(c.handle), c.cursor);
        ModeGuard deleting(kModeIsothermMark);
        EXPECT_EQ(r.ir->GetHandleCursor(c.handle), c.deleting);
    }
    EXPECT_NE(r.ir->HitTest({2000, -1600}, &r.view, false, 0), 44) << "the rectangle's inside is not its band";
    EXPECT_EQ(r.ir->GetHandleCursor(0), HandleCursor::Cross);
    EXPECT_EQ(r.ir->GetHandleCursor(3), r.ir->CDrawObj::GetHandleCursor(3));
    // A hit with the selected flag keeps the distances to the shape's edges.
    EXPECT_EQ(r.ir->HitTest({1530, -1600}, &r.view, true, 0), 44);
}

TEST(DrawIrEdit, BandDragsStayInRangeAndKeepATenthOfADegree)
{
    EditReport r;
    r.ir->m_isotherms[0] = IRIsotherm{50.0f, 20.0f, 1, 0xFF};
    // The upper edge dragged far below the lower stops 0.1 above it.
    r.ir->MoveHandleTo(10, {3379, -2000}, 0, &r.view);
    EXPECT_NEAR(r.ir->m_isotherms[0].centre - r.ir->m_isotherms[0].width / 2, 40.0f, 1e-4);
    EXPECT_NEAR(r.ir->m_isotherms[0].width, 0.1f, 1e-4);
    // The lower edge dragged past the foot of the bar stops at the range.
    r.ir->m_isotherms[0] = IRIsotherm{50.0f, 20.0f, 1, 0xFF};
    r.ir->MoveHandleTo(11, {3379, -5000}, 0, &r.view);
    EXPECT_NEAR(r.ir->m_isotherms[0].centre - r.ir->m_isotherms[0].width / 2, 0.0f, 1e-4);
    EXPECT_NEAR(r.ir->m_isotherms[0].centre + r.ir->m_isotherms[0].width / 2, 60.0f, 1e-4);
    // The body dragged beyond the top keeps the whole band in range.
    r.ir->m_isotherms[0] = IRIsotherm{50.0f, 20.0f, 1, 0xFF};
    r.ir->MoveHandleTo(9, {3379, 4000}, 0, &r.view);
    EXPECT_NEAR(r.ir->m_isotherms[0].centre, 90.0f, 1e-4);
    EXPECT_NEAR(r.ir->m_isotherms[0].width, 20.0f, 1e-4);
    r.ir->MoveHandleTo(9, {3379, -1380}, 0, &r.view);
    EXPECT_NEAR(r.ir->m_isotherms[0].centre, 40.0f, 1e-3);
    // No span, no move (nothing divides by zero).
    r.ir->m_fLimits[4] = r.ir->m_fLimits[5] = 20.0f;
    r.ir->MoveHandleTo(9, {3379, -1000}, 0, &r.view);
    EXPECT_NEAR(r.ir->m_isotherms[0].centre, 40.0f, 1e-3);
}

TEST(DrawIrEdit, AnalysisDragsStopAtTheLastPixelAndMeasureAgain)
{
    EditReport r;
    AddFourShapes(*r.ir);
    r.ir->RecomputeAll();
    // A point dragged beyond the right and lower edges stops on the last
    // pixel, which has a temperature.
    r.ir->MoveHandleTo(40, {9000, -9000}, 0, &r.view);
    EXPECT_EQ(r.ir->m_analyses[0].shape.left, 319);
    EXPECT_EQ(r.ir->m_analyses[0].shape.top, 239);
    EXPECT_GT(r.ir->m_analyses[0].maximum, -100.0f);
    EXPECT_EQ(r.ir->m_bListFlag, 1);
    // A line end likewise; the line's body keeps its length at the edge.
    r.ir->MoveHandleTo(43, {-500, 500}, 0, &r.view);
    EXPECT_EQ(r.ir->m_analyses[1].shape.right, 0);
    EXPECT_EQ(r.ir->m_analyses[1].shape.bottom, 0);
    // The rectangle's body, grabbed 30 right of its left edge and 400 below
    // its upper edge, follows the mouse and stops inside the picture.
    ASSERT_EQ(r.ir->HitTest({1530, -1600}, &r.view, true, 0), 44);
    r.ir->MoveHandleTo(44, {1630, -1700}, 0, &r.view);
    const IRShape moved = r.ir->m_analyses[2].shape;
    // (The page edges of pixel 150 truncate to 1499: one pixel either way.)
    EXPECT_NEAR(moved.left, 160, 1);
    EXPECT_NEAR(moved.top, 130, 1);
    EXPECT_EQ(moved.right - moved.left, 100);
    r.ir->MoveHandleTo(44, {30000, -30000}, 0, &r.view);
    EXPECT_EQ(r.ir->m_analyses[2].shape.right, 319);
    EXPECT_EQ(r.ir->m_analyses[2].shape.bottom, 239);
    EXPECT_EQ(r.ir->m_analyses[2].shape.right - r.ir->m_analyses[2].shape.left, 100);
    // A side moves alone; a corner does nothing.
    const IRShape before = r.ir->m_analyses[2].shape;
    r.ir->MoveHandleTo(44 + 1, {1000, -1600}, 0, &r.view);
    EXPECT_EQ(r.ir->m_analyses[2].shape.left, 100);
    EXPECT_EQ(r.ir->m_analyses[2].shape.right, before.right);
    const IRShape sided = r.ir->m_analyses[2].shape;
    r.ir->MoveHandleTo(44 + 5, {0, 0}, 0, &r.view);
    EXPECT_EQ(r.ir->m_analyses[2].shape.left, sided.left);
    EXPECT_EQ(r.ir->m_analyses[2].shape.top, sided.top);
}

TEST(DrawIrEdit, DeletingBandThreeOfFiveLeavesTheOthersInOrder)
{
    EditReport r;
    for (int i = 0; i < 5; ++i)
        r.ir->m_isotherms[std::size_t(i)] = IRIsotherm{10.0f * float(i + 1), 4.0f, 1, COLORREF(0x10 + i)};
    const IRIsotherm lastBefore = r.ir->m_isotherms[9];
    r.ir->DeleteHandleOwner(9 + 3 * 2);
    const float centres[] = {10, 20, 40, 50};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r.ir->m_isotherms[std::size_t(i)].enabled, 1u) << i;
        EXPECT_FLOAT_EQ(r.ir->m_isotherms[std::size_t(i)].centre, centres[i]);
    }
    for (int i = 4; i < 10; ++i)
        EXPECT_EQ(r.ir->m_isotherms[std::size_t(i)].enabled, 0u) << i;
    EXPECT_EQ(r.ir->m_isotherms[9].color, 0x12u) << "the last takes the deleted band's colour";
    (void)lastBefore;
    // An edge handle or a disabled band deletes nothing.
    r.ir->DeleteHandleOwner(10);
    r.ir->DeleteHandleOwner(9 + 3 * 6);
    EXPECT_EQ(r.ir->m_isotherms[0].enabled, 1u);
    // One step, with its after snapshot: undo and redo.
    r.Undo();
    ASSERT_NE(r.ir, nullptr);
    EXPECT_EQ(r.ir->m_isotherms[4].enabled, 1u);
    EXPECT_FLOAT_EQ(r.ir->m_isotherms[2].centre, 30.0f);
    r.Redo();
    EXPECT_FLOAT_EQ(r.ir->m_isotherms[2].centre, 40.0f);
    EXPECT_EQ(r.ir->m_isotherms[4].enabled, 0u);
}

TEST(DrawIrEdit, AddingAnalysesFromPagePositions)
{
    EditReport r;
    // Column 0 is refused, column 1 taken.
    r.ir->AddPointAnalysis({5, -500});
    EXPECT_EQ(r.ir->m_analyses.GetSize(), 0u);
    r.ir->AddPointAnalysis({15, -500});
    ASSERT_EQ(r.ir->m_analyses.GetSize(), 1u);
    const IRAnalysisItem& point = r.ir->m_analyses[0];
    EXPECT_EQ(point.shape.left, 1);
    EXPECT_EQ(point.shape.top, 50);
    EXPECT_EQ(point.Name(), QString::fromUtf8("点01"));
    EXPECT_EQ(point.color, 0xFFFF00u);
    EXPECT_FLOAT_EQ(point.emissivity, r.ir->m_fEmissivity);
    EXPECT_FLOAT_EQ(point.referenceTemp, r.ir->m_fReference);
    EXPECT_GT(point.maximum, -100.0f) << "measured";
    // A one-pixel-wide rectangle at x = 10 becomes 8 .. 10 wide.
    r.ir->AddAreaAnalysis(DocRect(100, -500, 105, -1000));
    ASSERT_EQ(r.ir->m_analyses.GetSize(), 2u);
    const IRShape area = r.ir->m_analyses[1].shape;
    EXPECT_EQ(area.left, 8);
    EXPECT_EQ(area.right, 10);
    EXPECT_EQ(area.top, 50);
    EXPECT_EQ(area.bottom, 100);
    EXPECT_EQ(r.ir->m_analyses[1].Name(), QString::fromUtf8("区域01"));
    EXPECT_TRUE(r.ir->m_analyses[1].HasStatistics());
    // A line of one point grows by a pixel; an ellipse is named as an area.
    r.ir->AddLineAnalysis(DocRect(500, -500, 505, -505));
    ASSERT_EQ(r.ir->m_analyses.GetSize(), 3u);
    EXPECT_EQ(r.ir->m_analyses[2].shape.left, 49);
    EXPECT_EQ(r.ir->m_analyses[2].Name(), QString::fromUtf8("线01"));
    r.ir->AddEllipseAnalysis(DocRect(1000, -1000, 1500, -1500));
    ASSERT_EQ(r.ir->m_analyses.GetSize(), 4u);
    EXPECT_EQ(r.ir->m_analyses[3].Name(), QString::fromUtf8("区域02"));
    // Beyond the picture: nothing.
    r.ir->AddAreaAnalysis(DocRect(3000, -500, 3300, -700));
    r.ir->AddLineAnalysis(DocRect(100, 100, 500, -500));
    EXPECT_EQ(r.ir->m_analyses.GetSize(), 4u);
    EXPECT_TRUE(r.env.messages.empty());

    // Every add is one step: undo takes the ellipse away, redo brings it.
    r.Undo();
    EXPECT_EQ(r.ir->m_analyses.GetSize(), 3u);
    r.Redo();
    EXPECT_EQ(r.ir->m_analyses.GetSize(), 4u);
    // Deleting by a handle: the rectangle (handles 41..49).
    r.ir->DeleteHandleOwner(45);
    ASSERT_EQ(r.ir->m_analyses.GetSize(), 3u);
    EXPECT_EQ(r.ir->m_analyses[1].kind, kAnalysisLine);
    r.Undo();
    EXPECT_EQ(r.ir->m_analyses[1].kind, kAnalysisRect);
    r.Redo();
    EXPECT_EQ(r.ir->m_analyses[1].kind, kAnalysisLine);
    // A drag as the selection tool records it.
    r.doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange, r.ir, 1);
    r.ir->MoveHandleTo(40, {1000, -1000}, 0, &r.view);
    r.doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange, r.ir, 1);
    EXPECT_EQ(r.ir->m_analyses[0].shape.left, 100);
    r.Undo();
    EXPECT_EQ(r.ir->m_analyses[0].shape.left, 1);
    r.Redo();
    EXPECT_EQ(r.ir->m_analyses[0].shape.left, 100);
}

TEST(DrawIrEdit, WithoutAPictureEveryAddTellsTheUserAndChangesNothing)
{
    EditReport r(false);
    const int steps = r.doc.GetUndoCount();
    r.ir->AddPointAnalysis({500, -500});
    r.ir->AddLineAnalysis(DocRect(100, -100, 500, -500));
    r.ir->AddAreaAnalysis(DocRect(100, -100, 500, -500));
    r.ir->AddEllipseAnalysis(DocRect(100, -100, 500, -500));
    r.ir->SetIsothermAtPoint(3300, -1000, 3300, -1200);
    EXPECT_EQ(r.env.messages, std::vector<int>(5, 61461));
    EXPECT_EQ(r.ir->m_analyses.GetSize(), 0u);
    EXPECT_EQ(r.ir->m_isotherms[0].enabled, 0u);
    EXPECT_EQ(r.doc.GetUndoCount(), steps);
}

TEST(DrawIrEdit, AnIsothermDraggedOutOnTheColourBar)
{
    EditReport r;
    // From -1500 to -900 on a bar of 1800 units for 0..100 degrees.
    r.ir->SetIsothermAtPoint(3300, -1500, 3400, -900);
    const IRIsotherm& first = r.ir->m_isotherms[0];
    ASSERT_EQ(first.enabled, 1u);
    EXPECT_NEAR(first.centre, 50.0f, 1e-3);
    EXPECT_NEAR(first.width, 100.0f / 3, 1e-3);
    // A click gives a tenth of the span; outside the bar nothing.
    r.ir->SetIsothermAtPoint(3300, -2100, 3300, -2100);
    EXPECT_NEAR(r.ir->m_isotherms[1].width, 10.0f, 1e-4);
    EXPECT_NEAR(r.ir->m_isotherms[1].centre, 0.0f, 1e-4);
    r.ir->SetIsothermAtPoint(3300, -1500, 3600, -900);
    EXPECT_EQ(r.ir->m_isotherms[2].enabled, 0u);
    r.Undo();
    EXPECT_EQ(r.ir->m_isotherms[1].enabled, 0u);
    EXPECT_EQ(r.ir->m_isotherms[0].enabled, 1u);
}

TEST(DrawIrEdit, DestroyingAnImageEndsABandDragInProgress)
{
    {
        EditReport r(false);
        g_analysisBanding = true;
    }
    EXPECT_FALSE(g_analysisBanding);
}
