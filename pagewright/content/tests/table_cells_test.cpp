// The table's cells: rows and columns added and deleted, cell texts for
// templates, the cell properties sheet and its undo, typing and the menu in
// the cell editor.
#include "table_test_support.h"

#include "content/cell_format.h"
#include "content/field_prop.h"
#include "content/table_dialogs.h"
#include "content/text_format_ops.h"
#include "document/property_sheet.h"
#include "skin/color_combo_box.h"
#include "skin/message_box.h"
#include "skin/skin_resources.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>

#include <algorithm>

using namespace table_test;

namespace {

// Answers the add/delete dialog: operation, kind, number, position, cell
// kind, count.
std::function<bool(QDialog&)> AddRowColAnswer(int operation, int kind, int number, int position, int cellKind,
                                              int count)
{
    return [=](QDialog& d) {
        auto& dlg = static_cast<CAddRowColDlg&>(d);
        dlg.GetDlgItemAs<QRadioButton>(operation == 0 ? CAddRowColDlg::kAdd : CAddRowColDlg::kDelete)->click();
        dlg.GetDlgItemAs<QRadioButton>(kind == 0 ? CAddRowColDlg::kRows : CAddRowColDlg::kColumns)->setChecked(true);
        dlg.GetDlgItemAs<QRadioButton>(position == 0 ? CAddRowColDlg::kBefore : CAddRowColDlg::kAfter)
            ->setChecked(true);
        dlg.GetDlgItemAs<QRadioButton>(cellKind == 0 ? CAddRowColDlg::kText : CAddRowColDlg::kField)->setChecked(true);
        dlg.GetDlgItemAs<QLineEdit>(CAddRowColDlg::kNumberEdit)->setText(QString::number(number));
        dlg.GetDlgItemAs<QLineEdit>(CAddRowColDlg::kCountEdit)->setText(QString::number(count));
        return true;
    };
}

bool Invariants(const CDrawTable& t)
{
    return t.CellCount() == std::size_t(t.GetRowCount()) * std::size_t(t.GetColumnCount()) &&
           t.ColumnWidths().size() == std::size_t(t.GetColumnCount()) &&
           t.ColumnFractions().size() == std::size_t(t.GetColumnCount()) &&
           t.RowHeights().size() == std::size_t(t.GetRowCount()) &&
           t.RowFractions().size() == std::size_t(t.GetRowCount());
}

} // namespace

TEST(TableCells, AddingRowsCopiesTheRowHeightAndRaisesTheUpperEdge)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 3, DocRect(1000, -3020, 3020, -1000)); // rows 666 high
    CDrawObj* marked = t->Cell(1, 0);
    r.env.onDialog = AddRowColAnswer(0, 0, 2, 1, 0, 2); // 2 text rows after row 2
    ASSERT_TRUE(t->InsertRowsColumns());
    EXPECT_TRUE(Invariants(*t));
    EXPECT_EQ(t->GetRowCount(), 5);
    EXPECT_EQ(t->Cell(1, 0), marked);
    EXPECT_EQ(t->RowHeights(), (std::vector<std::uint16_t>{666, 666, 666, 666, 666}));
    EXPECT_EQ(t->position.Normalized().bottom, -1000 + 2 * 666);
    EXPECT_EQ(t->Cell(4, 1)->position.bottom, t->position.Normalized().top + 10 + (2000 - 3 * 666))
        << "laid out from the new upper edge";
    EXPECT_EQ(r.doc.GetUndoCount(), 1);
    // Columns of fields before column 1.
    r.env.onDialog = AddRowColAnswer(0, 1, 1, 0, 1, 1);
    ASSERT_TRUE(t->InsertRowsColumns());
    EXPECT_TRUE(Invariants(*t));
    EXPECT_EQ(t->GetColumnCount(), 3);
    for (int row = 0; row < 5; ++row)
        EXPECT_TRUE(t->Cell(row, 0)->IsKindOf(CDrawField::kClass)) << row;
    EXPECT_EQ(t->ColumnWidths()[0], t->ColumnWidths()[1]);
    // Cancel changes nothing.
    r.env.onDialog = {};
    const QByteArray before = RecordOf(*t);
    EXPECT_FALSE(t->InsertRowsColumns());
    EXPECT_EQ(RecordOf(*t), before);
}

TEST(TableCells, TheDialogMayDeleteTheLastRowAndTheTableStillWorks)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 1);
    r.env.onDialog = AddRowColAnswer(1, 0, 1, 0, 0, 1);
    ASSERT_TRUE(t->InsertRowsColumns());
    EXPECT_EQ(t->GetRowCount(), 0);
    EXPECT_TRUE(Invariants(*t));
    // Hit tests, layout, drawing (the frame only) and the record.
    const DocRect frame = t->position.Normalized();
    EXPECT_EQ(t->HitTest(QPoint(frame.left + 300, frame.top - 100), &r.view, true, 1), 0);
    EXPECT_EQ(t->HitTest(QPoint(frame.left + 300, frame.bottom - 10), &r.view, true, 1), 2 + 0 + 8)
        << "the column strip still answers";
    EXPECT_EQ(t->GetSelectedColumn(), 0);
    t->RecalcLayout();
    EXPECT_EQ(t->position.Normalized().Height(), 200) << "a flat table would be lost on the page";
    QImage image;
    DrawOnce(*t, &image);
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    EXPECT_GT(dark, 100) << "the frame is drawn";
    const QByteArray stored = r.doc.StoreContents();
    Report again;
    ASSERT_TRUE(again.doc.LoadContents(stored));
    auto* back = dynamic_cast<CDrawTable*>(again.doc.GetObjects().front());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetRowCount(), 0);
    EXPECT_EQ(back->GetColumnCount(), 2);
    EXPECT_EQ(again.doc.StoreContents(), stored);
    // The export makes no table of it.
    struct Tables : CWordExport {
        int tables = 0;
        int AddTable(int, int, float, float, float, float, const std::vector<float>&, const std::vector<float>&, bool,
                     COLORREF, int) override
        {
            return ++tables;
        }
    } exporter;
    back->ExportToWord(exporter);
    EXPECT_EQ(exporter.tables, 0);
    // Undo of the delete brings the row back.
    r.doc.OnEditUndo();
    auto* undone = dynamic_cast<CDrawTable*>(r.doc.GetObjects().front());
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->GetRowCount(), 1);
    EXPECT_TRUE(Invariants(*undone));
}

TEST(TableCells, TheMenuDeletesThePickedColumnOrRowButNeverTheLast)
{
    Report r;
    CDrawTable* t = AddTable(r, 3, 2, DocRect(1000, -3020, 4020, -1000));
    t->HitTest(QPoint(2300, -1020), &r.view, true, 1); // column 1
    CDrawObj* kept = t->Cell(1, 2);
    t->DeleteColumn();
    EXPECT_EQ(t->GetColumnCount(), 2);
    EXPECT_EQ(t->GetSelectedColumn(), -1);
    EXPECT_EQ(t->Cell(1, 1), kept);
    EXPECT_EQ(t->position.Normalized().right, 3020);
    EXPECT_TRUE(Invariants(*t));
    t->HitTest(QPoint(1020, -1500), &r.view, true, 1); // row 0
    t->DeleteRow();
    EXPECT_EQ(t->GetRowCount(), 1);
    EXPECT_EQ(t->position.Normalized().bottom, -2000);
    t->HitTest(QPoint(1020, -2500), &r.view, true, 1); // the last row
    const int undoCount = r.doc.GetUndoCount();
    t->DeleteRow();
    EXPECT_EQ(t->GetRowCount(), 1);
    EXPECT_EQ(r.doc.GetUndoCount(), undoCount);
}

TEST(TableCells, CellTextsForTemplates)
{
    Report r;
    CDrawTable* t = r.Add(ReadTable(ReadFile(QStringLiteral(CONTENT_GOLDEN "/table.bin")), Registry().ArchiveRegistry(),
                                    &r.view));
    QString text = QStringLiteral("kept");
    int alignment = 7;
    t->GetCellText(&r.view, 0, 1, text, alignment);
    EXPECT_EQ(text, QStringLiteral("--"));
    EXPECT_EQ(alignment, 7) << "a field leaves the alignment";
    t->GetCellText(&r.view, 0, 0, text, alignment);
    EXPECT_EQ(text, QStringLiteral("abc"));
    EXPECT_EQ(alignment, 0) << "the golden cell is centred";
    t->SetCellText(&r.view, 0, 0, QStringLiteral("温度 new"), alignment);
    t->GetCellText(&r.view, 0, 0, text, alignment);
    EXPECT_EQ(text, QStringLiteral("温度 new"));
    EXPECT_EQ(alignment, 0) << "still centred";
    t->GetCellText(&r.view, 1, 0, text, alignment); // an empty store
    EXPECT_EQ(alignment, 1);
    t->SetCellText(&r.view, 1, 0, QStringLiteral("right"), 2);
    t->GetCellText(&r.view, 1, 0, text, alignment);
    EXPECT_EQ(text, QStringLiteral("right"));
    EXPECT_EQ(alignment, 2);
    // Outside the grid nothing happens.
    t->GetCellText(&r.view, 2, 0, text, alignment);
    t->SetCellText(&r.view, -1, 5, QStringLiteral("x"), 0);
    EXPECT_EQ(text, QStringLiteral("right"));
}


TEST(TableCells, TheFieldTabFollowsTheKindOfOneCell)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 2);
    t->HitTest(CenterOf(t->CellAt(0)->position), &r.view, true, 1);
    ASSERT_NE(t->GetActiveCell(), nullptr);
    int tabsAtStart = 0, tabsAfterField = 0, tabsAfterText = 0;
    r.env.onDialog = [&](QDialog& d) {
        auto& sheet = static_cast<PropertySheet&>(d);
        auto* format = static_cast<CCellFormat*>(sheet.GetPage(0));
        tabsAtStart = sheet.GetTabCount();
        format->GetDlgItemAs<QRadioButton>(CCellFormat::kFieldRadio)->click();
        tabsAfterField = sheet.GetTabCount();
        format->GetDlgItemAs<QRadioButton>(CCellFormat::kTextRadio)->click();
        tabsAfterText = sheet.GetTabCount();
        format->GetDlgItemAs<QRadioButton>(CCellFormat::kFieldRadio)->click();
        return true; // a field cell with the page's defaults
    };
    CDrawObj* old = t->CellAt(0);
    const DocRect rect = old->position;
    t->OnEditProperties();
    EXPECT_EQ(tabsAtStart, 1);
    EXPECT_EQ(tabsAfterField, 2);
    EXPECT_EQ(tabsAfterText, 1);
    ASSERT_TRUE(t->CellAt(0)->IsKindOf(CDrawField::kClass));
    EXPECT_EQ(t->CellAt(0)->position, rect);
    EXPECT_EQ(t->CellAt(0)->tableCell, 1u);
    EXPECT_EQ(t->GetActiveCell(), nullptr);
    EXPECT_EQ(r.doc.GetUndoCount(), 1);
    // Undo brings the text cell back.
    r.doc.OnEditUndo();
    auto* undone = dynamic_cast<CDrawTable*>(r.doc.GetObjects().front());
    ASSERT_NE(undone, nullptr);
    EXPECT_TRUE(undone->CellAt(0)->IsKindOf(CDrawText::kClass));
}

TEST(TableCells, AMixedColumnOpensWithNoKindAndNoColourAndKeepsItsColours)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 3);
    // Column 0: text (fill off), text (green), field.
    t->Cell(1, 0)->brush.color = 0x00FF00;
    t->Cell(1, 0)->brushOn = 1;
    t->HitTest(CenterOf(t->Cell(2, 0)->position), &r.view, true, 1);
    r.env.onDialog = [](QDialog& d) {
        auto& sheet = static_cast<PropertySheet&>(d);
        static_cast<CCellFormat*>(sheet.GetPage(0))->GetDlgItemAs<QRadioButton>(CCellFormat::kFieldRadio)->click();
        return true;
    };
    t->OnEditProperties();
    ASSERT_TRUE(t->Cell(2, 0)->IsKindOf(CDrawField::kClass));
    const COLORREF fieldColor = t->Cell(2, 0)->brush.color;
    t->HitTest(QPoint(1500, -1020), &r.view, true, 1); // column 0
    ASSERT_EQ(t->GetSelectedColumn(), 0);
    int kind = 5;
    COLORREF color = 5;
    int tabs = 0;
    r.env.onDialog = [&](QDialog& d) {
        auto& sheet = static_cast<PropertySheet&>(d);
        auto* format = static_cast<CCellFormat*>(sheet.GetPage(0));
        kind = format->m_nCellKind;
        color = format->m_color;
        tabs = sheet.GetTabCount();
        return true;
    };
    t->OnEditProperties();
    EXPECT_EQ(kind, -1);
    EXPECT_EQ(color, 0xFFFFFFFFu);
    EXPECT_EQ(tabs, 1) << "a column never shows the field tab";
    t->EndEdit(&r.view);
    EXPECT_EQ(t->Cell(0, 0)->brush.color, 0xFEFEFEu);
    EXPECT_EQ(t->Cell(0, 0)->brushOn, 0);
    EXPECT_EQ(t->Cell(1, 0)->brush.color, 0x00FF00u);
    EXPECT_EQ(t->Cell(2, 0)->brush.color, fieldColor);
    EXPECT_TRUE(t->Cell(2, 0)->IsKindOf(CDrawField::kClass));
}

TEST(TableCells, ARowTurnsIntoFieldsWithAColourAndUndoRestoresIt)
{
    Report r;
    CDrawTable* t = AddTable(r, 3, 2);
    t->HitTest(QPoint(1020, -1200), &r.view, true, 1); // row 0
    ASSERT_EQ(t->GetSelectedRow(), 0);
    const QByteArray before = RecordOf(*t);
    r.env.onDialog = [](QDialog& d) {
        auto& sheet = static_cast<PropertySheet&>(d);
        auto* format = static_cast<CCellFormat*>(sheet.GetPage(0));
        format->GetDlgItemAs<QRadioButton>(CCellFormat::kFieldRadio)->click();
        EXPECT_EQ(sheet.GetTabCount(), 1);
        format->m_color = 0x0000FF;
        format->ColorCombo()->SelectColor(0x0000FF);
        return true;
    };
    t->OnEditProperties();
    for (int c = 0; c < 3; ++c) {
        EXPECT_TRUE(t->Cell(0, c)->IsKindOf(CDrawField::kClass)) << c;
        EXPECT_TRUE(t->IsHighlighted(t->Cell(0, c))) << "still picked";
        EXPECT_EQ(static_cast<CDrawField*>(t->Cell(0, c))->FieldId(), -1) << "default field settings";
    }
    EXPECT_TRUE(t->Cell(1, 0)->IsKindOf(CDrawText::kClass));
    t->EndEdit(&r.view);
    EXPECT_EQ(t->Cell(0, 1)->brush.color, 0x0000FFu);
    // Undo: kinds and colours as before.
    r.doc.OnEditUndo();
    auto* undone = dynamic_cast<CDrawTable*>(r.doc.GetObjects().front());
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(RecordOf(*undone), before);
    // Cancel takes no snapshot.
    const int undoCount = r.doc.GetUndoCount();
    undone->HitTest(QPoint(1020, -1200), &r.view, true, 1);
    r.env.onDialog = {};
    undone->OnEditProperties();
    EXPECT_EQ(r.doc.GetUndoCount(), undoCount);
}

TEST(TableCells, NothingPickedOpensNoSheet)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 2);
    t->OnEditProperties();
    EXPECT_EQ(r.env.dialogs, 0);
}

TEST(TableCells, TypingInACellGoesIntoThatCellWhenAFormatCommandComes)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 2);
    const QByteArray tableText = t->textStore.ToByteArray();
    t->HitTest(CenterOf(t->Cell(1, 0)->position), &r.view, true, 1);
    ASSERT_EQ(t->GetActiveCell(), t->Cell(1, 0));
    t->PlaceEditor(&r.view); // as the view does after the click
    ASSERT_TRUE(r.editor->IsVisible());
    QTextCursor c = r.editor->Cursor();
    c.insertText(QStringLiteral("cell text"));
    r.editor->SetCursor(c);
    const int steps = r.doc.GetUndoCount();
    r.editor->OnCommand(CTextEditView::kBold);
    EXPECT_EQ(rich_text::StorePlainText(*t->Cell(1, 0)->GetTextStore()), QStringLiteral("cell text"));
    EXPECT_EQ(t->textStore.ToByteArray(), tableText) << "the table's own text is left alone";
    EXPECT_EQ(r.doc.GetUndoCount(), steps + 1);

    // No active cell: the typing is stored nowhere and no step is taken.
    t->EndEdit(&r.view);
    CDrawText* text = r.Add(std::make_unique<CDrawText>(&r.view, DocRect(5000, -1000, 7000, -2000)));
    r.view.Select(text, false);
    text->PlaceEditor(&r.view);
    r.view.Select(t, false);
    ASSERT_EQ(t->GetActiveCell(), nullptr);
    ASSERT_TRUE(r.editor->IsVisible());
    c = r.editor->Cursor();
    c.insertText(QStringLiteral("lost"));
    r.editor->SetCursor(c);
    const int before = r.doc.GetUndoCount();
    r.editor->OnCommand(CTextEditView::kItalic);
    EXPECT_EQ(r.doc.GetUndoCount(), before);
    EXPECT_EQ(t->textStore.ToByteArray(), tableText);
    EXPECT_EQ(text->textStore.GetLength(), 0u);
}

TEST(TableCells, TabInACellIsATabCharacterOfThatCell)
{
    Report r;
    CDrawTable* t = AddTable(r, 3, 3);
    t->HitTest(CenterOf(t->Cell(0, 0)->position), &r.view, true, 1);
    t->PlaceEditor(&r.view);
    ASSERT_TRUE(r.editor->IsVisible());
    // The editor in a window of its own that has the focus, as in the report.
    r.editor->resize(200, 60);
    r.editor->activateWindow();
    r.editor->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(r.editor.get()));
    QTest::keyClicks(r.editor.get(), QStringLiteral("ab"));
    QTest::keyClick(r.editor.get(), Qt::Key_Tab);
    QTest::keyClicks(r.editor.get(), QStringLiteral("cd"));
    EXPECT_EQ(r.editor->GetWindowText(), QStringLiteral("ab\tcd"));
    EXPECT_EQ(t->GetActiveCell(), t->Cell(0, 0)) << "the same cell is still edited";
    EXPECT_TRUE(r.editor->hasFocus());
}

TEST(TableCells, TheRightButtonInTheEditorShowsTheCellMenuForATable)
{
    Report r;
    CDrawTable* t = AddTable(r, 2, 2);
    // The program's menus 2 (frame: file, edit) and 110 (the objects'
    // popups, the fourth one the cells').
    skin::SetPopupMenuProvider([](int id, QWidget* parent) -> QMenu* {
        const auto popup = [](QMenu* bar, std::initializer_list<int> ids) {
            QMenu* menu = bar->addMenu(QStringLiteral("popup"));
            for (int i : ids)
                menu->addAction(QString::number(i))->setData(i);
        };
        auto* bar = new QMenu(parent);
        if (id == 2) {
            popup(bar, {57600});
            popup(bar, {32824, 32825, 57630, 57635, 57634, 57637, 32785});
        } else if (id == 110) {
            for (int i = 0; i < 3; ++i)
                popup(bar, {57635});
            popup(bar, {57635, 57634, 57637, 32964, 32978, 32977});
        }
        return bar;
    });
    const auto commands = [](QMenu* menu) {
        std::vector<int> ids;
        if (menu != nullptr)
            for (QAction* a : menu->actions())
                if (!a->isSeparator())
                    ids.push_back(a->data().toInt());
        delete menu;
        return ids;
    };
    const auto has = [](const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
    // A table: the whole cell menu.
    r.view.Select(t, false);
    const std::vector<int> cell = commands(r.editor->MakeContextMenu(nullptr));
    EXPECT_TRUE(has(cell, 32964)) << "add row/column";
    EXPECT_TRUE(has(cell, 57635)) << "cut";
    // Two objects: the cell menu without add row/column.
    CDrawText* text = r.AddText(DocRect(5000, -1000, 7000, -2000));
    r.view.Select(text, true);
    const std::vector<int> two = commands(r.editor->MakeContextMenu(nullptr));
    EXPECT_FALSE(two.empty());
    EXPECT_FALSE(has(two, 32964));
    // One text object: the edit menu, without undo and redo.
    r.view.Select(text, false);
    const std::vector<int> edit = commands(r.editor->MakeContextMenu(nullptr));
    EXPECT_FALSE(edit.empty());
    EXPECT_FALSE(has(edit, 32964));
    EXPECT_FALSE(has(edit, 32824));
    EXPECT_EQ(edit, commands(r.editor->MakeEditMenu(nullptr)));
    skin::SetPopupMenuProvider({});
}
