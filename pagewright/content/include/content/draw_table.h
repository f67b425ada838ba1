// CDrawTable: a grid of rows by columns on a report page. Every grid
// position holds one cell, a text cell (CDrawText) or a field cell
// (CDrawField) with the table-cell flag set; the table owns its cells, lays
// them out inside its rectangle, draws them and edits them.
//
// The rectangle is kept normalised (top < bottom): on the y-up page its
// bottom coordinate is the upper edge. Rows run from the upper edge down,
// columns from the left edge right, inside the pen's inset
// (ScaledPenWidth(pen width)). Cell (r, c) is cell r x columns + c; a cell's
// rectangle holds its upper y in top.
//
// Record (after the CDrawRect part): u32 rows, u32 columns, per column u16
// width and f32 fraction, per row u16 height and f32 fraction, then the cell
// list through the archive (count, each cell by its class). Reading checks
// the counts (at most kMaxCells cells, the list holding rows x columns text
// or field cells) and refuses the record otherwise.
//
// Picking a column or a row highlights its cells (pen and fill inverted, the
// text's colour table inverted); an active field cell shows highlighted too.
// Highlighting is on screen only: the record holds every cell as it is
// without it.
//
// Handles: 1-8 the frame; then the inner column borders (9 ...), the inner
// row borders, the column strip (40 units along the upper edge, selected
// table only), the row strip (40 units along the left edge) and the cells.
#pragma once

#include "document/draw_rect.h"
#include "irimage/ir_dependent.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class CDrawField;
class DocumentEnvironment;

class CDrawTable : public CDrawRect, public IRImageDependent {
public:
    static const DrawClass kClass;
    // Larger grids are refused when read.
    static constexpr std::int64_t kMaxCells = 10000;
    // Smallest column or row a border drag leaves.
    static constexpr int kMinCellSize = 200;

    CDrawTable();
    CDrawTable(DrawView* view, const DocRect& rect, int columns, int rows);
    ~CDrawTable() override;

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;

    HandleCursor GetHandleCursor(int handle) const override;
    // Only with an active cell: its fill (a field cell keeps it inverted).
    void SetFillColor(COLORREF color) override;
    // Sizes from the fractions (with the minimum size), then Layout.
    void RecalcLayout() override;
    void PlaceEditor(DrawView* view) override;
    void Draw(PageDC& dc) override;
    void MoveTo(const DocRect& rect, int flags, DrawView* view) override;
    // activate != 0: a strip or cell hit also picks the column, row or cell.
    int HitTest(QPoint point, DrawView* view, bool selected, int activate) override;
    bool Intersects(const DocRect& rect) override;
    void MoveHandleTo(int handle, QPoint point, int flags, DrawView* view) override;
    // The cell properties sheet (cell format and field pages).
    void OnEditProperties() override;
    void BeginEdit(DrawView* view, int mode) override;
    // Clears the selection and the active cell.
    void EndEdit(DrawView* view) override;
    // 1024: a format key; the active cell takes "1" + key, else the selected
    // row's, column's or all cells are formatted as a whole.
    int DoCommand(unsigned id, const QString& key, int value) override;
    void ExportToWord(CWordExport& exporter) override;
    void SetLineWidth(int width) override;
    void CommitEditText() override;
    // 3 with an active cell or a column or row picked, else 0.
    int GetPopupMenuIndex() const override;

    // IRImageDependent: a table holding a field cell shows its image's data.
    void OnIRImageChanged(CDrawIR& image) override;
    bool IsBoundToImage(int number) const override;
    // Registers with the images its field cells name (leaving the others).
    void RegisterWithImages(DrawView* view);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nColumns; }
    int GetSelectedColumn() const { return m_nSelColumn; }
    int GetSelectedRow() const { return m_nSelRow; }
    CDrawObj* GetActiveCell() const { return m_pActiveCell; }
    int GetActiveIndex() const { return m_nActiveIndex; }
    int GetLastHitHandle() const { return m_nLastHit; }
    bool IsEditing() const { return m_bEditing != 0; }

    // The cell at (row, column), null outside the grid.
    CDrawObj* Cell(int row, int column) const;
    std::size_t CellCount() const { return m_cells.size(); }
    CDrawObj* CellAt(std::size_t index) const { return m_cells[index].get(); }
    const std::vector<std::uint16_t>& ColumnWidths() const { return m_widths; }
    const std::vector<std::uint16_t>& RowHeights() const { return m_heights; }
    const std::vector<float>& ColumnFractions() const { return m_colFractions; }
    const std::vector<float>& RowFractions() const { return m_rowFractions; }
    // Whether a cell shows highlighted now.
    bool IsHighlighted(const CDrawObj* cell) const { return m_highlights.count(cell) != 0; }

    // The pen's inset: ScaledPenWidth(pen width).
    int Inset() const;
    // Cell rectangles from the stored widths and heights.
    void Layout();
    // Fractions from the stored widths and heights (equal shares when the
    // available width or height is not positive).
    void UpdateFractions();
    // Sizes from the fractions: the relayout's first steps.
    void SizesFromFractions();

    // The add/delete dialog and its change (command 32964); false when
    // cancelled.
    bool InsertRowsColumns();
    // The menu's delete of the selected column or row (never the last one).
    void DeleteColumn();
    void DeleteRow();

    // Plain text of a cell for templates: a field cell gives "--" (alignment
    // untouched); alignment codes 0 centre, 1 left, 2 right.
    void GetCellText(DrawView* view, int row, int column, QString& text, int& alignment);
    void SetCellText(DrawView* view, int row, int column, const QString& text, int alignment);

    // A new cell as the table makes it: the table's view, the rectangle, pen
    // off, table-cell flag 1; a text cell with fill 0xFEFEFE switched off.
    std::unique_ptr<CDrawObj> NewCell(bool field, const DocRect& rect) const;
    // Makes cell index (row by row from 0) a field cell in its place, fill
    // off (0xFEFEFE), showing field fieldId of the image with that number
    // (0: none, it shows "-"); null past the cells.
    CDrawField* MakeFieldCell(std::size_t index, int imageNumber, int fieldId);

    // Undo: a 3 x 3 table with its cell list emptied; cells laid out after
    // a record was read.
    static std::unique_ptr<CDrawObj> CreateForUndo(DrawView* view);
    static void AfterUndoRead(CDrawObj& object, DrawView* view, bool recreated);

private:
    friend class TableCellEditor;

    struct Highlight {
        QByteArray storeBefore; // the text store before highlighting ...
        QByteArray storeAfter;  // ... and right after it
    };

    DocumentEnvironment& Environment() const;
    static void RestoreStore(CDrawObj& cell, const Highlight& h);
    // The normalised rectangle's upper edge (its bottom coordinate).
    std::int32_t UpperEdge() const { return position.Normalized().bottom; }
    void FreeCells();
    // Highlighting on and off (nothing when already so).
    void SetHighlight(CDrawObj* cell, bool on);
    void SetHighlightOfSelection(bool on);
    // The indexes of the selected row's, the selected column's or all cells.
    std::vector<std::size_t> TargetCells() const;
    std::vector<std::size_t> ColumnCells(int column) const;
    std::vector<std::size_t> RowCells(int row) const;
    void LeaveActiveCell(DrawView* view);
    void ClearSelection(DrawView* view);
    void SelectColumn(int column, DrawView* view);
    void SelectRow(int row, DrawView* view);
    void ActivateCell(std::size_t index, DrawView* view);
    // The index of the active cell after the list changed.
    void ReindexActiveCell();
    // The cell without highlighting, as it is written (a copy when
    // highlighted, else the cell itself).
    const CDrawObj* CellAsStored(std::size_t index, std::vector<std::unique_ptr<CDrawObj>>& copies) const;
    // Replaces cell index by a new cell of the other kind in its rectangle.
    CDrawObj* ReplaceCell(std::size_t index, bool field, COLORREF penColor);
    // A field cell's store receives an empty paragraph in its format.
    void ResetFieldStore(CDrawField& field, DrawView* view);
    void RemoveColumnCells(int column);
    void RemoveRowCells(int row);
    void ResizeFractions();

    int m_nRows = 0;
    int m_nColumns = 0;
    std::vector<std::uint16_t> m_widths;
    std::vector<std::uint16_t> m_heights;
    std::vector<float> m_colFractions;
    std::vector<float> m_rowFractions;
    std::vector<std::unique_ptr<CDrawObj>> m_cells;
    int m_nActiveIndex = -1;
    int m_nSelColumn = -1;
    int m_nSelRow = -1;
    int m_bEditing = 0;
    CDrawObj* m_pActiveCell = nullptr;
    int m_nLastHit = 0;
    std::unordered_map<const CDrawObj*, Highlight> m_highlights;
};
