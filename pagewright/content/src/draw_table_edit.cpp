// CDrawTable: the changes of its grid (rows and columns added and deleted)
// and of its cells' kinds and colours through the cell properties sheet.
#include "content/draw_table.h"

#include "content/cell_format.h"
#include "content/draw_field.h"
#include "content/draw_text.h"
#include "content/field_prop.h"
#include "content/table_dialogs.h"
#include "content/text_format_ops.h"
#include "document/document_environment.h"
#include "document/draw_view.h"
#include "document/property_sheet.h"
#include "document/rpt_doc.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kObjectPropertiesTitle = 32788;
constexpr COLORREF kFillOff = 0xFEFEFE;
constexpr COLORREF kNoColor = 0xFFFFFFFF;

std::int32_t Clamp32(std::int64_t v)
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool IsField(const CDrawObj* cell) { return cell != nullptr && cell->IsKindOf(CDrawField::kClass); }

} // namespace

// ---- rows and columns

void CDrawTable::ResizeFractions()
{
    m_colFractions.assign(std::size_t(m_nColumns), 0.0f);
    m_rowFractions.assign(std::size_t(m_nRows), 0.0f);
    UpdateFractions();
}

void CDrawTable::RemoveRowCells(int row)
{
    const auto first = m_cells.begin() + std::ptrdiff_t(row) * m_nColumns;
    for (auto it = first; it != first + m_nColumns; ++it) {
        m_highlights.erase(it->get());
        (*it)->SetView(view);
    }
    m_cells.erase(first, first + m_nColumns);
    const std::uint16_t height = m_heights[std::size_t(row)];
    m_heights.erase(m_heights.begin() + row);
    --m_nRows;
    DocRect n = position.Normalized();
    n.bottom = Clamp32(std::int64_t(n.bottom) - height);
    position = n;
}

void CDrawTable::RemoveColumnCells(int column)
{
    for (int r = m_nRows - 1; r >= 0; --r) {
        const auto it = m_cells.begin() + std::ptrdiff_t(r) * m_nColumns + column;
        m_highlights.erase(it->get());
        (*it)->SetView(view);
        m_cells.erase(it);
    }
    const std::uint16_t width = m_widths[std::size_t(column)];
    m_widths.erase(m_widths.begin() + column);
    --m_nColumns;
    DocRect n = position.Normalized();
    n.right = Clamp32(std::int64_t(n.right) - width);
    position = n;
}

bool CDrawTable::InsertRowsColumns()
{
    DrawView* v = view;
    CAddRowColDlg dlg;
    dlg.m_nSelColumn = m_nSelColumn;
    dlg.m_nSelRow = m_nSelRow;
    dlg.m_nColumnCount = m_nColumns;
    dlg.m_nRowCount = m_nRows;
    if (!Environment().RunDialog(dlg))
        return false;
    SaveRedoSnapshot();
    ClearSelection(v);
    const bool columns = dlg.m_nRowsOrColumns == 1;
    const int number = dlg.m_nNumber;
    const bool after = dlg.m_nPosition == 1;
    const bool field = dlg.m_nCellKind == 1;
    const int count = std::clamp(dlg.m_nCount, 1, CAddRowColDlg::kMaxCount);
    // The dialog's ranges hold the number within the grid; an unlikely
    // out-of-range number changes nothing.
    const bool valid = number >= 1 && number <= (columns ? m_nColumns : m_nRows);
    // New cells: a field cell builds its text once.
    const auto makeCell = [&] {
        std::unique_ptr<CDrawObj> cell = NewCell(field, position);
        if (field && v != nullptr) {
            cell->BeginEdit(v, 0);
            cell->EndEdit(v);
        }
        return cell;
    };
    if (dlg.m_nOperation == 0 && valid) {
        CDrawObj* active = m_pActiveCell;
        if (active != nullptr)
            active->StopEditing(v);
        if (!columns) {
            const std::size_t k = std::size_t(count);
            const std::size_t at = std::size_t(number - 1 + (after ? 1 : 0)) * std::size_t(m_nColumns);
            std::vector<std::unique_ptr<CDrawObj>> added;
            for (std::size_t i = 0; i < k * std::size_t(m_nColumns); ++i)
                added.push_back(makeCell());
            m_cells.insert(m_cells.begin() + std::ptrdiff_t(at), std::make_move_iterator(added.begin()),
                           std::make_move_iterator(added.end()));
            const std::uint16_t height = m_heights[std::size_t(number - 1)];
            m_heights.insert(m_heights.begin() + (number - 1), k, height);
            m_nRows += count;
            DocRect n = position.Normalized();
            n.bottom = Clamp32(std::int64_t(n.bottom) + std::int64_t(count) * height);
            position = n;
        } else {
            for (int i = 0; i < count; ++i) {
                for (int r = m_nRows - 1; r >= 0; --r) {
                    const std::ptrdiff_t at = std::ptrdiff_t(r) * m_nColumns + (number - 1) + (after ? 1 : 0);
                    m_cells.insert(m_cells.begin() + at, makeCell());
                }
                ++m_nColumns;
            }
            const std::uint16_t width = m_widths[std::size_t(number - 1)];
            m_widths.insert(m_widths.begin() + (number - 1), std::size_t(count), width);
            DocRect n = position.Normalized();
            n.right = Clamp32(std::int64_t(n.right) + std::int64_t(count) * width);
            position = n;
        }
        ResizeFractions();
        Layout();
        ReindexActiveCell();
        if (m_pActiveCell != nullptr)
            m_pActiveCell->StartEditing(v);
        if (field)
            RegisterWithImages(v);
    } else if (dlg.m_nOperation == 1 && valid) {
        LeaveActiveCell(v);
        if (!columns)
            RemoveRowCells(number - 1);
        else
            RemoveColumnCells(number - 1);
        ResizeFractions();
        Layout();
        RegisterWithImages(v);
    }
    InvalidateIn(v);
    SaveUndoSnapshot();
    PlaceEditor(v);
    return true;
}

void CDrawTable::DeleteColumn()
{
    if (m_nSelColumn < 0 || m_nSelColumn >= m_nColumns || m_nColumns <= 1)
        return;
    SaveRedoSnapshot();
    LeaveActiveCell(view);
    RemoveColumnCells(m_nSelColumn);
    ResizeFractions();
    Layout();
    m_nSelColumn = -1;
    RegisterWithImages(view);
    InvalidateIn(view);
    SaveUndoSnapshot();
}

void CDrawTable::DeleteRow()
{
    if (m_nSelRow < 0 || m_nSelRow >= m_nRows || m_nRows <= 1)
        return;
    SaveRedoSnapshot();
    LeaveActiveCell(view);
    RemoveRowCells(m_nSelRow);
    ResizeFractions();
    Layout();
    m_nSelRow = -1;
    RegisterWithImages(view);
    InvalidateIn(view);
    SaveUndoSnapshot();
}

// ---- cell properties

void CDrawTable::ResetFieldStore(CDrawField& field, DrawView* v)
{
    (void)v;
    if (field.textStore.GetLength() == 0)
        return;
    int alignment = 1;
    rich_text::StorePlainText(field.textStore, &alignment);
    rich_text::ReplaceStoreText(field.textStore, Environment(), QString(), alignment);
}

CDrawObj* CDrawTable::ReplaceCell(std::size_t index, bool field, COLORREF penColor)
{
    std::unique_ptr<CDrawObj>& slot = m_cells[index];
    const DocRect rect = slot->position;
    const bool highlighted = IsHighlighted(slot.get());
    m_highlights.erase(slot.get());
    if (slot.get() == m_pActiveCell) {
        m_pActiveCell = nullptr;
        m_nActiveIndex = -1;
    }
    std::unique_ptr<CDrawObj> cell = NewCell(field, rect);
    cell->pen.color = penColor;
    if (field && view != nullptr) {
        // A new field cell builds its text once.
        cell->BeginEdit(view, 0);
        cell->EndEdit(view);
    }
    slot->SetView(view);
    slot = std::move(cell);
    if (highlighted)
        SetHighlight(slot.get(), true);
    return slot.get();
}

CDrawField* CDrawTable::MakeFieldCell(std::size_t index, int imageNumber, int fieldId)
{
    if (index >= m_cells.size())
        return nullptr;
    auto* field = static_cast<CDrawField*>(ReplaceCell(index, true, m_cells[index]->pen.color));
    field->SetPenFlag(0);
    field->SetBrushFlag(0);
    field->SetFillColorRaw(0xFEFEFE);
    field->SetBinding(imageNumber, 1, fieldId);
    RegisterWithImages(view);
    return field;
}

void CDrawTable::OnEditProperties()
{
    DrawView* v = view;
    DocumentEnvironment& env = Environment();
    const bool oneCell = m_pActiveCell != nullptr;
    std::vector<std::size_t> cells;
    int kind = -1;
    COLORREF color = kNoColor;
    if (oneCell) {
        kind = IsField(m_pActiveCell) ? 1 : 0;
        color = m_pActiveCell->GetFillColor();
    } else if (m_nSelColumn >= 0 || m_nSelRow >= 0) {
        cells = m_nSelColumn >= 0 ? ColumnCells(m_nSelColumn) : RowCells(m_nSelRow);
        if (cells.empty())
            return;
        const auto fields = std::count_if(cells.begin(), cells.end(),
                                          [this](std::size_t i) { return IsField(m_cells[i].get()); });
        kind = fields == 0 ? 0 : (std::size_t(fields) == cells.size() ? 1 : -1);
        const COLORREF first = m_cells[cells.front()]->brush.color;
        const bool same = std::all_of(cells.begin(), cells.end(),
                                      [&](std::size_t i) { return m_cells[i]->brush.color == first; });
        // The cells show highlighted: the colour they have is inverted.
        color = same ? first ^ 0xFFFFFF : kNoColor;
    } else {
        return;
    }

    PropertySheet sheet(env, env.LoadString(kObjectPropertiesTitle));
    auto& format = *new CCellFormat(env);
    auto& fieldPage = *new CFieldProp(env);
    format.m_bFieldPageAllowed = oneCell ? 1 : 0;
    format.m_nCellKind = kind;
    format.m_color = color;
    if (oneCell && IsField(m_pActiveCell)) {
        const auto* f = static_cast<const CDrawField*>(m_pActiveCell);
        fieldPage.m_nImageNumber = f->ImageNumber();
        fieldPage.m_nObjectNumber = f->AnalysisNumber();
        fieldPage.m_nFieldId = f->FieldId();
    }
    sheet.AddPage(&format);
    sheet.AddPage(&fieldPage);
    format.SetFieldPage(&sheet, &fieldPage);
    // A column or row never binds its cells: no field tab.
    if (!oneCell)
        sheet.RemoveTab(1);
    if (sheet.DoModal() != PropertySheet::kIdOk)
        return;

    SaveRedoSnapshot();
    const int chosenKind = format.m_nCellKind;
    const COLORREF chosen = format.m_color;
    if (oneCell) {
        const std::size_t index = std::size_t(m_nActiveIndex);
        CDrawObj* cell = m_pActiveCell;
        const bool wasField = IsField(cell);
        const bool toField = chosenKind == -1 ? wasField : chosenKind == 1;
        if (toField == wasField) {
            if (wasField) {
                auto* f = static_cast<CDrawField*>(cell);
                f->SetBinding(fieldPage.m_nImageNumber, fieldPage.m_nObjectNumber, fieldPage.m_nFieldId);
                f->Unregister();
                ResetFieldStore(*f, v);
                if (chosen != kNoColor)
                    f->brush.color = chosen ^ 0xFFFFFF;
            } else if (chosen != kNoColor) {
                cell->brushOn = chosen == kFillOff ? 0 : 1;
                cell->brush.color = chosen;
            }
            LeaveActiveCell(v);
        } else {
            LeaveActiveCell(v);
            const COLORREF penColor = cell->pen.color;
            CDrawObj* fresh = ReplaceCell(index, toField, penColor);
            fresh->pen.color = 0;
            if (chosen != kNoColor) {
                fresh->brushOn = chosen == kFillOff ? 0 : 1;
                fresh->brush.color = chosen;
            } else if (!toField) {
                fresh->brushOn = 0;
            }
            if (toField) {
                auto* f = static_cast<CDrawField*>(fresh);
                f->SetBinding(fieldPage.m_nImageNumber, fieldPage.m_nObjectNumber, fieldPage.m_nFieldId);
                f->Unregister();
                ResetFieldStore(*f, v);
            }
        }
        m_pActiveCell = nullptr;
        m_nActiveIndex = -1;
    } else {
        for (std::size_t i : cells) {
            CDrawObj* cell = m_cells[i].get();
            if (chosenKind == 0 && IsField(cell)) {
                ReplaceCell(i, false, cell->pen.color);
            } else if (chosenKind == 1 && !IsField(cell)) {
                ReplaceCell(i, true, cell->pen.color);
            }
        }
        if (chosen != kNoColor) {
            for (std::size_t i : cells) {
                CDrawObj* cell = m_cells[i].get();
                cell->brush.color = chosen ^ 0xFFFFFF;
                cell->brushOn = 1;
            }
        }
    }
    RegisterWithImages(v);
    InvalidateIn(v);
    SaveUndoSnapshot();
}
