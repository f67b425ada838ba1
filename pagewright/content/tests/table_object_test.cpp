// The table object: its record, layout, handles and cursors, picking
// columns, rows and cells, border drags and format commands.
#include "table_test_support.h"

#include "document/draw_tool.h"

#include <QRegularExpression>
#include <QtEndian>

using namespace table_test;

namespace {

QByteArray Golden(const char* name) { return ReadFile(QStringLiteral(CONTENT_GOLDEN "/") + QLatin1String(name)); }

// Pen and fill colour of a cell.
std::pair<COLORREF, COLORREF> ColorsOf(const CDrawObj* cell) { return {cell->pen.color, cell->brush.color}; }

} // namespace

TEST(TableObject, RecordEqualsTheGoldenBytesAndReadsBack)
{
    const QByteArray golden = Golden("table.bin");
    ASSERT_FALSE(golden.isEmpty());
    auto table = ReadTable(golden, Registry().ArchiveRegistry());
    EXPECT_EQ(table->GetRowCount(), 2);
    EXPECT_EQ(table->GetColumnCount(), 2);
    EXPECT_EQ(table->ColumnWidths(), (std::vector<std::uint16_t>{990, 990}));
    EXPECT_EQ(table->RowFractions(), (std::vector<float>{0.5f, 0.5f}));
    ASSERT_EQ(table->CellCount(), 4u);
    EXPECT_TRUE(table->CellAt(0)->IsKindOf(CDrawText::kClass));
    EXPECT_TRUE(table->CellAt(1)->IsKindOf(CDrawField::kClass));
    EXPECT_EQ(static_cast<CDrawField*>(table->CellAt(3))->FieldId(), 33500);
    EXPECT_EQ(table->CellAt(2)->brush.color, 0x00FF00u);
    EXPECT_EQ(table->GetActiveCell(), nullptr);
    EXPECT_EQ(table->GetSelectedColumn(), -1);
    EXPECT_EQ(RecordOf(*table).toHex(), golden.toHex());
    // Laying out the read table gives the rectangles the record holds.
    const QByteArray before = RecordOf(*table);
    table->Layout();
    EXPECT_EQ(RecordOf(*table), before);
}

TEST(TableObject, HostileRecordsAreRefusedBeforeAnythingIsAllocated)
{
    const QByteArray golden = Golden("table.bin");
    const qsizetype countsAt = 56 + 14;
    const auto withCounts = [&](std::uint32_t rows, std::uint32_t columns) {
        QByteArray b = golden;
        qToLittleEndian(rows, b.data() + countsAt);
        qToLittleEndian(columns, b.data() + countsAt + 4);
        return b;
    };
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    // A 1 x 1 table whose list holds a rectangle.
    CDrawTable one(nullptr, DocRect(0, -500, 500, 0), 1, 1);
    CDrawRect rect(nullptr, DocRect(0, -500, 500, 0));
    QByteArray otherClass = RecordOf(one).left(56 + 14 + 8 + 6 + 6);
    otherClass += QByteArray::fromHex("0100ffff00000900") + QByteArray("CDrawRect") + RecordOf(rect);
    const Case cases[] = {
        {"rows x columns above 10000", withCounts(101, 100)},
        {"a huge row count", withCounts(0xFFFFFFFF, 1)},
        {"more cells than the list holds", withCounts(3, 2)},
        {"fewer cells than the list holds", withCounts(1, 2)},
        {"a list member of another class", otherClass},
        {"cut in the cell list", golden.left(golden.size() - 10)},
    };
    for (const Case& c : cases) {
        platform::ArchiveReader reader(c.bytes, Registry().ArchiveRegistry());
        CDrawTable table;
        EXPECT_THROW(table.Serialize(reader), platform::ArchiveError) << c.what;
        EXPECT_EQ(table.CellCount(), std::size_t(table.GetRowCount()) * std::size_t(table.GetColumnCount())) << c.what;
    }
}

TEST(TableObject, FirstRelayoutGivesSmallTablesTheirMinimumSize)
{
    Report r;
    auto* t = r.Add(std::make_unique<CDrawTable>(&r.view, DocRect(1000, -1100, 1100, -1000), 3, 3));
    for (std::size_t i = 0; i < t->CellCount(); ++i) {
        EXPECT_EQ(t->CellAt(i)->tableCell, 1u);
        EXPECT_EQ(t->CellAt(i)->penOn, 0);
        EXPECT_EQ(t->CellAt(i)->brushOn, 0);
        EXPECT_EQ(t->CellAt(i)->brush.color, 0xFEFEFEu);
    }
    t->RecalcLayout();
    const DocRect n = t->position.Normalized();
    EXPECT_EQ(n.Width(), 3270);
    EXPECT_EQ(n.Height(), 600);
    EXPECT_EQ(n.bottom, -1000) << "the upper edge stays";
    EXPECT_EQ(t->ColumnWidths(), (std::vector<std::uint16_t>{1083, 1083, 1083})) << "(3270 - 2 x 10) / 3";
}

TEST(TableObject, ThePenWidthMovesTheCellsInside)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 2);
    const auto insetOf = [t] {
        const DocRect n = t->position.Normalized();
        const DocRect first = t->CellAt(0)->position; // top holds the upper y
        return std::pair{first.left - n.left, n.bottom - first.top};
    };
    EXPECT_EQ(insetOf(), std::pair(10, 10));
    t->SetLineWidth(3);
    EXPECT_EQ(insetOf(), std::pair(31, 31));
    const DocRect last = t->CellAt(3)->position;
    const DocRect n = t->position.Normalized();
    EXPECT_EQ(n.right - last.right, 31);
    EXPECT_EQ(last.bottom - n.top, 31);
}

TEST(TableObject, EqualSharesWhenNothingIsLeftInside)
{
    CDrawTable table(nullptr, DocRect(1000, -1040, 1040, -1000), 2, 4);
    CDrawTable* t = &table;
    t->pen.widthX = t->pen.widthY = 3; // an inset of 31 on each side: nothing left
    t->UpdateFractions();
    EXPECT_EQ(t->ColumnFractions(), (std::vector<float>{0.5f, 0.5f}));
    EXPECT_EQ(t->RowFractions(), (std::vector<float>{0.25f, 0.25f, 0.25f, 0.25f}));
}

TEST(TableObject, HandlesAndCursorsInHitTestOrder)
{
    Report r;
    // 3 columns x 2 rows in 3020 x 2020: widths 1000, heights 1000.
    CDrawTable* t = AddTable(r, 3, 2, DocRect(1000, -3020, 4020, -1000));
    ASSERT_EQ(t->ColumnWidths(), (std::vector<std::uint16_t>{1000, 1000, 1000}));
    struct Case {
        QPoint point;
        bool selected;
        int handle;
        HandleCursor cursor;
    };
    const Case cases[] = {
        {{2010 + 30, -1500}, true, 9, HandleCursor::ColumnEdge},   // border after column 0
        {{3010, -2500}, false, 10, HandleCursor::ColumnEdge},      // after column 1, unselected too
        {{2500, -2010 + 20}, true, 3 + 8, HandleCursor::BandEdge}, // row border
        {{2300, -1020}, true, 3 + 2 + 8 + 1, HandleCursor::ColumnStrip},
        {{3500, -1030}, true, 3 + 2 + 8 + 2, HandleCursor::ColumnStrip},
        {{1020, -2500}, true, 2 * 3 + 2 + 8 + 1, HandleCursor::RowStrip},
        {{2500, -2500}, true, 2 * 5 + 8 + 4, HandleCursor::Drag}, // cell 4 (row 1, column 1)
        {{2500, -2500}, false, 1, HandleCursor::SizeNWSE},        // inside, unselected
        {{5000, -2500}, false, 0, HandleCursor::Arrow},
    };
    for (const Case& c : cases) {
        const int hit = t->HitTest(c.point, &r.view, c.selected, 0);
        EXPECT_EQ(hit, c.handle) << c.point.x() << "," << c.point.y();
        EXPECT_EQ(t->GetLastHitHandle(), hit);
        if (hit > 8) {
            EXPECT_EQ(t->GetHandleCursor(hit), c.cursor) << hit;
        }
    }
    EXPECT_EQ(t->GetSelectedColumn(), -1) << "no activation asked";
}

TEST(TableObject, StripClicksInvertMoveAndKeepTheInversion)
{
    Report r;
    CDrawTable* t = AddTable(r, 3, 2, DocRect(1000, -3020, 4020, -1000));
    t->CellAt(1)->textStore.Assign(Rtf("x"));
    const QByteArray text = t->CellAt(1)->textStore.ToByteArray();
    const auto plain = ColorsOf(t->CellAt(1));
    g_toolMode = kModeNone;
    t->HitTest(QPoint(2300, -1020), &r.view, true, 1); // column 1
    EXPECT_EQ(t->GetSelectedColumn(), 1);
    EXPECT_EQ(g_toolMode, kModeMove);
    EXPECT_EQ(ColorsOf(t->CellAt(1)), std::pair(plain.first ^ 0xFFFFFFu, plain.second ^ 0xFFFFFFu));
    EXPECT_TRUE(t->IsHighlighted(t->CellAt(4)));
    EXPECT_FALSE(t->IsHighlighted(t->CellAt(0)));
    EXPECT_EQ(t->GetPopupMenuIndex(), 3);
    // The row strip: the column goes back, the row is inverted.
    t->HitTest(QPoint(1020, -2500), &r.view, true, 1);
    EXPECT_EQ(t->GetSelectedColumn(), -1);
    EXPECT_EQ(t->GetSelectedRow(), 1);
    EXPECT_EQ(ColorsOf(t->CellAt(1)), plain);
    EXPECT_EQ(t->CellAt(1)->textStore.ToByteArray(), text) << "the text is as it was";
    EXPECT_TRUE(t->IsHighlighted(t->CellAt(3)) && t->IsHighlighted(t->CellAt(4)));
    EXPECT_FALSE(t->IsHighlighted(t->CellAt(1)));
    // The same strip again: still inverted.
    t->HitTest(QPoint(1020, -2500), &r.view, true, 1);
    t->HitTest(QPoint(1020, -2500), &r.view, true, 1);
    EXPECT_EQ(t->CellAt(3)->brush.color, 0xFEFEFEu ^ 0xFFFFFFu);
    // Ending the edit clears it all.
    t->EndEdit(&r.view);
    EXPECT_EQ(t->GetSelectedRow(), -1);
    EXPECT_EQ(ColorsOf(t->CellAt(3)), plain);
    EXPECT_EQ(t->GetPopupMenuIndex(), 0);
}

TEST(TableObject, ACellClickMakesItActiveAndAFieldCellShowsHighlighted)
{
    Report r;
    const QByteArray golden = Golden("table.bin");
    auto owned = ReadTable(golden, Registry().ArchiveRegistry(), &r.view);
    CDrawTable* t = r.Add(std::move(owned));
    t->HitTest(QPoint(2500, -1500), &r.view, true, 1); // the field cell (row 0, column 1)
    EXPECT_EQ(t->GetActiveCell(), t->CellAt(1));
    EXPECT_EQ(t->GetActiveIndex(), 1);
    EXPECT_TRUE(t->IsHighlighted(t->CellAt(1)));
    EXPECT_EQ(RecordOf(*t), golden) << "the record never holds the highlighting";
    t->HitTest(QPoint(1500, -1500), &r.view, true, 1); // the text cell
    EXPECT_EQ(t->GetActiveIndex(), 0);
    EXPECT_FALSE(t->IsHighlighted(t->CellAt(1)));
    EXPECT_EQ(RecordOf(*t), golden) << "leaving the field cell restores it";
}

TEST(TableObject, FormatKeysReachTheActiveCellPrefixedOrEveryTargetCell)
{
    Report r;
    auto owned = SpyTable(r, 2, 2);
    CDrawTable* t = r.Add(std::move(owned));
    t->HitTest(CenterOf(t->CellAt(3)->position), &r.view, true, 1);
    ASSERT_EQ(t->GetActiveIndex(), 3);
    t->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("3"), 0);
    EXPECT_EQ(static_cast<SpyCell*>(t->CellAt(3))->keys, QStringList{QStringLiteral("13")});
    EXPECT_TRUE(static_cast<SpyCell*>(t->CellAt(0))->keys.isEmpty());

    // No active cell, row 0 picked: key 1 (bold) formats that row's texts as
    // a whole.
    Report r2;
    CDrawTable* plain = AddTable(r2, 2, 2);
    for (std::size_t i = 0; i < 4; ++i)
        plain->CellAt(i)->textStore.Assign(Rtf("cell"));
    plain->HitTest(QPoint(1020, -1200), &r2.view, true, 1);
    ASSERT_EQ(plain->GetSelectedRow(), 0);
    plain->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("1"), 0);
    plain->EndEdit(&r2.view);
    const QRegularExpression bold(QStringLiteral(R"(\\b(?![a-z]))"));
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(QString::fromLatin1(plain->CellAt(i)->textStore.ToByteArray()).contains(bold), i < 2) << i;
}

TEST(TableObject, FillColourNeedsAnActiveCell)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 2);
    const QByteArray before = RecordOf(*t);
    t->SetFillColor(0x0000FF);
    EXPECT_EQ(RecordOf(*t), before);
    EXPECT_EQ(r.doc.GetUndoCount(), 0);
    t->HitTest(CenterOf(t->CellAt(2)->position), &r.view, true, 1);
    t->SetFillColor(0x0000FF);
    EXPECT_EQ(t->CellAt(2)->brush.color, 0x0000FFu);
    EXPECT_EQ(t->CellAt(2)->brushOn, 1);
}

TEST(TableObject, BorderDragsKeepEveryColumnAndRowAt200)
{
    Report r;
    CDrawTable* t = AddTable(r, 3, 2, DocRect(1000, -3020, 4020, -1000));
    // Column border 1 (handle 9) from x 2010.
    struct Case {
        int x;
        bool accepted;
    };
    const Case cases[] = {{2010 - 801, false}, {2010 - 800, true}, {2010 + 801, false}, {2010 + 800, true}};
    for (const Case& c : cases) {
        Report rr;
        CDrawTable* tt = AddTable(rr, 3, 2, DocRect(1000, -3020, 4020, -1000));
        tt->MoveHandleTo(9, QPoint(c.x, -2000), 0, &rr.view);
        if (c.accepted) {
            EXPECT_EQ(tt->ColumnWidths()[0], std::uint16_t(c.x - 1010)) << c.x;
            EXPECT_EQ(tt->ColumnWidths()[0] + tt->ColumnWidths()[1], 2000) << c.x;
            EXPECT_NEAR(tt->ColumnFractions()[0], (c.x - 1010) / 3000.0, 1e-6) << c.x;
            EXPECT_EQ(tt->CellAt(1)->position.left, c.x) << "laid out again";
        } else {
            EXPECT_EQ(tt->ColumnWidths(), (std::vector<std::uint16_t>{1000, 1000, 1000})) << c.x;
        }
    }
    // Row border (handle columns + 8) down by 300: row 0 grows, row 1 shrinks.
    t->MoveHandleTo(3 + 8, QPoint(2000, -2010 - 300), 0, &r.view);
    EXPECT_EQ(t->RowHeights(), (std::vector<std::uint16_t>{1300, 700}));
    t->MoveHandleTo(3 + 8, QPoint(2000, -2810 - 1), 0, &r.view); // row 1 would be 199
    EXPECT_EQ(t->RowHeights(), (std::vector<std::uint16_t>{1300, 700}));
    // A frame handle: the sizes follow the fractions.
    t->MoveHandleTo(4, QPoint(7020, -2000), CDrawObj::kMoveNoUndo, &r.view);
    EXPECT_EQ(t->ColumnWidths(), (std::vector<std::uint16_t>{2000, 2000, 2000}));
}

TEST(TableObject, MovingTheTableMovesItsCells)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 2);
    const DocRect cell = t->CellAt(3)->position;
    t->MoveTo(t->position.Translated(500, -300), CDrawObj::kMoveNoUndo, &r.view);
    EXPECT_EQ(t->CellAt(3)->position, cell.Translated(500, -300));
}
