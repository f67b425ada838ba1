#include "content/draw_table.h"

#include "content/default_text.h"
#include "content/draw_field.h"
#include "content/draw_text.h"
#include "content/rtf_reader.h"
#include "content/text_edit_view.h"
#include "content/text_format_ops.h"
#include "document/document_environment.h"
#include "document/draw_tool.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/record_values.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"
#include "irimage/draw_ir.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <limits>

const DrawClass CDrawTable::kClass{{"CDrawTable", 0, &platform::createArchiveObject<CDrawTable>},
                                   &CDrawRect::kClass,
                                   &CDrawTable::CreateForUndo,
                                   &CDrawTable::AfterUndoRead,
                                   /*replaceOnUndoChange=*/true};

namespace {

constexpr int kMinHeightForRelayout = 250;
constexpr int kMinWidthForRelayout = 300;
constexpr int kNewRowHeight = 200;
constexpr int kNewColumnWidth = 1090;
constexpr int kBorderBand = 35;
constexpr int kStripBand = 40;
constexpr int kCellMargin = 35;
constexpr COLORREF kCellFillOff = 0xFEFEFE;
constexpr COLORREF kTableFill = 0xFFFFFF;

std::int32_t Clamp32(std::int64_t v)
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::uint16_t ClampSize(double v)
{
    if (!(v > 0))
        return 0;
    return static_cast<std::uint16_t>(std::min(v, 65535.0));
}

bool IsField(const CDrawObj* cell) { return cell != nullptr && cell->IsKindOf(CDrawField::kClass); }
bool IsText(const CDrawObj* cell) { return cell != nullptr && cell->IsKindOf(CDrawText::kClass); }

bool Inside(const DocRect& n, QPoint p)
{
    return n.left <= p.x() && p.x() <= n.right && n.top <= p.y() && p.y() <= n.bottom;
}

// A copy of a cell through its record.
std::unique_ptr<CDrawObj> CopyOfCell(const CDrawObj& cell)
{
    platform::ArchiveWriter w;
    cell.Serialize(w);
    std::unique_ptr<CDrawObj> copy;
    if (IsField(&cell))
        copy = std::make_unique<CDrawField>();
    else
        copy = std::make_unique<CDrawText>();
    static const platform::ArchiveClassRegistry none;
    platform::ArchiveReader r(w.data(), none);
    copy->Serialize(r);
    return copy;
}

} // namespace

// ---- construction

CDrawTable::CDrawTable()
{
    brush.color = kTableFill;
    brushOn = 0;
}

CDrawTable::CDrawTable(DrawView* v, const DocRect& rect, int columns, int rows) : CDrawRect(v, rect)
{
    m_nColumns = std::max(0, columns);
    m_nRows = std::max(0, rows);
    m_widths.assign(std::size_t(m_nColumns), 0);
    m_heights.assign(std::size_t(m_nRows), 0);
    m_colFractions.assign(std::size_t(m_nColumns), m_nColumns > 0 ? 1.0f / float(m_nColumns) : 0.0f);
    m_rowFractions.assign(std::size_t(m_nRows), m_nRows > 0 ? 1.0f / float(m_nRows) : 0.0f);
    brush.color = kTableFill;
    brushOn = 0;
    penOn = 1;
    const std::size_t count = std::size_t(m_nRows) * std::size_t(m_nColumns);
    m_cells.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        m_cells.push_back(NewCell(false, rect));
}

CDrawTable::~CDrawTable() { FreeCells(); }

void CDrawTable::FreeCells()
{
    m_highlights.clear();
    m_pActiveCell = nullptr;
    m_nActiveIndex = -1;
    for (auto& cell : m_cells) {
        cell->SetView(view);
        cell.reset();
    }
    m_cells.clear();
}

std::unique_ptr<CDrawObj> CDrawTable::NewCell(bool field, const DocRect& rect) const
{
    std::unique_ptr<CDrawObj> cell;
    if (field) {
        cell = std::make_unique<CDrawField>();
    } else {
        cell = std::make_unique<CDrawText>();
        cell->brush.color = kCellFillOff;
        cell->brushOn = 0;
    }
    cell->SetView(view);
    cell->SetDocument(document != nullptr ? document : (view != nullptr ? view->GetDocument() : nullptr));
    cell->position = rect;
    cell->penOn = 0;
    cell->tableCell = 1;
    cell->page = page;
    return cell;
}

std::unique_ptr<CDrawObj> CDrawTable::CreateForUndo(DrawView* v)
{
    auto table = std::make_unique<CDrawTable>(v, DocRect{}, 3, 3);
    table->FreeCells();
    return table;
}

void CDrawTable::AfterUndoRead(CDrawObj& object, DrawView* v, bool recreated)
{
    (void)recreated;
    auto& table = static_cast<CDrawTable&>(object);
    if (v != nullptr)
        table.SetView(v);
    for (auto& cell : table.m_cells)
        cell->SetView(table.view);
    table.Layout();
    table.RegisterWithImages(v);
    if (v != nullptr)
        v->InvalObj(&object);
}

DocumentEnvironment& CDrawTable::Environment() const
{
    CDI_RptDoc* doc = document != nullptr ? document : (view != nullptr ? view->GetDocument() : nullptr);
    return doc != nullptr ? doc->Environment() : DefaultDocumentEnvironment();
}

// ---- record

const CDrawObj* CDrawTable::CellAsStored(std::size_t index, std::vector<std::unique_ptr<CDrawObj>>& copies) const
{
    const CDrawObj* cell = m_cells[index].get();
    const auto it = m_highlights.find(cell);
    if (it == m_highlights.end())
        return cell;
    std::unique_ptr<CDrawObj> copy = CopyOfCell(*cell);
    copy->InvertColors();
    RestoreStore(*copy, it->second);
    copy->textStore.Rewind();
    copies.push_back(std::move(copy));
    return copies.back().get();
}

void CDrawTable::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawRect::Serialize(ar);
    ar.writeU32(static_cast<std::uint32_t>(m_nRows));
    ar.writeU32(static_cast<std::uint32_t>(m_nColumns));
    for (int c = 0; c < m_nColumns; ++c) {
        ar.writeU16(m_widths[std::size_t(c)]);
        ar.writeF32(m_colFractions[std::size_t(c)]);
    }
    for (int r = 0; r < m_nRows; ++r) {
        ar.writeU16(m_heights[std::size_t(r)]);
        ar.writeF32(m_rowFractions[std::size_t(r)]);
    }
    // Highlighted cells are written as they are without the highlighting;
    // the copies live until the whole list is written.
    std::vector<std::unique_ptr<CDrawObj>> copies;
    std::vector<const CDrawObj*> cells;
    cells.reserve(m_cells.size());
    for (std::size_t i = 0; i < m_cells.size(); ++i)
        cells.push_back(CellAsStored(i, copies));
    ar.writeObjectList(cells);
}

void CDrawTable::Serialize(platform::ArchiveReader& ar)
{
    CDrawRect::Serialize(ar);
    // Whatever the table held goes first, whichever side emptied it.
    FreeCells();
    m_nSelColumn = -1;
    m_nSelRow = -1;
    m_bEditing = 0;
    m_nRows = 0;
    m_nColumns = 0;
    m_widths.clear();
    m_heights.clear();
    m_colFractions.clear();
    m_rowFractions.clear();
    const std::size_t countsAt = ar.position();
    const std::uint32_t rows = ar.readU32();
    const std::uint32_t columns = ar.readU32();
    if (rows > kMaxCells || columns > kMaxCells || std::int64_t(rows) * columns > kMaxCells)
        throw platform::ArchiveError(platform::ArchiveErrorCode::BadCount, countsAt);
    // Each column and row takes 6 bytes: none is allocated past the data.
    if ((std::uint64_t(rows) + columns) * 6 > ar.remaining())
        throw platform::ArchiveError(platform::ArchiveErrorCode::BadCount, countsAt);
    std::vector<std::uint16_t> widths(columns);
    std::vector<float> colFractions(columns);
    for (std::uint32_t c = 0; c < columns; ++c) {
        widths[c] = ar.readU16();
        colFractions[c] = record_values::ReadFinite(ar);
    }
    std::vector<std::uint16_t> heights(rows);
    std::vector<float> rowFractions(rows);
    for (std::uint32_t r = 0; r < rows; ++r) {
        heights[r] = ar.readU16();
        rowFractions[r] = record_values::ReadFinite(ar);
    }
    const std::size_t listAt = ar.position();
    std::vector<std::unique_ptr<CDrawObj>> cells = ar.readObjectList<CDrawObj>();
    if (cells.size() != std::size_t(rows) * columns)
        throw platform::ArchiveError(platform::ArchiveErrorCode::BadCount, listAt);
    for (const auto& cell : cells) {
        if (!IsText(cell.get()) && !IsField(cell.get()))
            throw platform::ArchiveError(platform::ArchiveErrorCode::BadClass, listAt);
    }
    m_nRows = static_cast<int>(rows);
    m_nColumns = static_cast<int>(columns);
    m_widths = std::move(widths);
    m_heights = std::move(heights);
    m_colFractions = std::move(colFractions);
    m_rowFractions = std::move(rowFractions);
    m_cells = std::move(cells);
    for (auto& cell : m_cells)
        cell->SetView(view);
}

void CDrawTable::Dump(QJsonObject& out) const
{
    CDrawRect::Dump(out);
    out[QStringLiteral("rows")] = m_nRows;
    out[QStringLiteral("columns")] = m_nColumns;
    QJsonArray widths, heights, colFractions, rowFractions, cells;
    for (std::uint16_t w : m_widths)
        widths.append(int(w));
    for (std::uint16_t h : m_heights)
        heights.append(int(h));
    for (float f : m_colFractions)
        colFractions.append(double(f));
    for (float f : m_rowFractions)
        rowFractions.append(double(f));
    for (const auto& cell : m_cells)
        cells.append(QString::fromLatin1(cell->GetRuntimeClass().Name().data(),
                                         qsizetype(cell->GetRuntimeClass().Name().size())));
    out[QStringLiteral("columnWidths")] = widths;
    out[QStringLiteral("rowHeights")] = heights;
    out[QStringLiteral("columnFractions")] = colFractions;
    out[QStringLiteral("rowFractions")] = rowFractions;
    out[QStringLiteral("cells")] = cells;
}

// ---- layout

int CDrawTable::Inset() const { return ScaledPenWidth(pen.widthX); }

void CDrawTable::SizesFromFractions()
{
    // A table without rows or columns keeps the room of one, so that its
    // frame stays on the page.
    DocRect& r = position;
    r = r.Normalized();
    if (std::int64_t(r.bottom) - r.top < kMinHeightForRelayout)
        r.top = Clamp32(std::int64_t(r.bottom) - std::int64_t(std::max(m_nRows, 1)) * kNewRowHeight);
    if (std::int64_t(r.right) - r.left < kMinWidthForRelayout)
        r.right = Clamp32(std::int64_t(r.left) + std::int64_t(std::max(m_nColumns, 1)) * kNewColumnWidth);
    const std::int64_t inset = Inset();
    const double availW = double(std::max<std::int64_t>(0, std::int64_t(r.right) - r.left - 2 * inset));
    const double availH = double(std::max<std::int64_t>(0, std::int64_t(r.bottom) - r.top - 2 * inset));
    for (int c = 0; c < m_nColumns; ++c)
        m_widths[std::size_t(c)] = ClampSize(std::trunc(availW * double(m_colFractions[std::size_t(c)])));
    for (int row = 0; row < m_nRows; ++row)
        m_heights[std::size_t(row)] = ClampSize(std::trunc(availH * double(m_rowFractions[std::size_t(row)])));
}

void CDrawTable::UpdateFractions()
{
    const DocRect n = position.Normalized();
    const std::int64_t inset = Inset();
    const double availW = double(std::int64_t(n.right) - n.left - 2 * inset);
    const double availH = double(std::int64_t(n.bottom) - n.top - 2 * inset);
    m_colFractions.resize(std::size_t(m_nColumns));
    m_rowFractions.resize(std::size_t(m_nRows));
    for (int c = 0; c < m_nColumns; ++c)
        m_colFractions[std::size_t(c)] =
            availW > 0 ? float(m_widths[std::size_t(c)] / availW) : 1.0f / float(m_nColumns);
    for (int r = 0; r < m_nRows; ++r)
        m_rowFractions[std::size_t(r)] =
            availH > 0 ? float(m_heights[std::size_t(r)] / availH) : 1.0f / float(m_nRows);
}

void CDrawTable::Layout()
{
    const DocRect n = position.Normalized();
    const std::int64_t inset = Inset();
    std::int64_t upper = std::int64_t(n.bottom) - inset;
    for (int r = 0; r < m_nRows; ++r) {
        const std::int64_t lower = upper - m_heights[std::size_t(r)];
        std::int64_t left = std::int64_t(n.left) + inset;
        for (int c = 0; c < m_nColumns; ++c) {
            const std::int64_t right = left + m_widths[std::size_t(c)];
            CDrawObj* cell = m_cells[std::size_t(r) * std::size_t(m_nColumns) + std::size_t(c)].get();
            cell->position = DocRect(Clamp32(left), Clamp32(upper), Clamp32(right), Clamp32(lower));
            left = right;
        }
        upper = lower;
    }
}

void CDrawTable::RecalcLayout()
{
    SizesFromFractions();
    Layout();
}

CDrawObj* CDrawTable::Cell(int row, int column) const
{
    if (row < 0 || column < 0 || row >= m_nRows || column >= m_nColumns)
        return nullptr;
    return m_cells[std::size_t(row) * std::size_t(m_nColumns) + std::size_t(column)].get();
}

// ---- drawing

void CDrawTable::Draw(PageDC& dc)
{
    brushOn = 0;
    LogPen scaled = pen;
    scaled.widthX = ScaledPenWidth(pen.widthX);
    scaled.widthY = ScaledPenWidth(pen.widthY);
    if (!PageDC::CanCreatePen(scaled) || !PageDC::CanCreateBrush(brush))
        return;
    if (Images().empty() && view != nullptr)
        RegisterWithImages(view);
    for (auto& cell : m_cells) {
        if (cell->GetView() == nullptr)
            cell->SetView(view);
        cell->Draw(dc);
    }
    dc.SelectNullBrush();
    if (penOn)
        dc.SelectPen(scaled);
    else
        dc.SelectNullPen();
    dc.Rectangle(position);
}

// ---- hit testing and handles

HandleCursor CDrawTable::GetHandleCursor(int handle) const
{
    const int c = m_nColumns;
    const int r = m_nRows;
    if (handle >= 9 && handle <= c + 7)
        return HandleCursor::ColumnEdge;
    if (handle >= c + 8 && handle <= c + r + 7)
        return HandleCursor::BandEdge;
    if (handle >= c + r + 8 && handle <= r + 2 * c + 7)
        return HandleCursor::ColumnStrip;
    if (handle >= r + 2 * c + 8 && handle <= 2 * (r + c) + 7)
        return HandleCursor::RowStrip;
    if (handle < 2 * (r + c) + 8)
        return CDrawRect::GetHandleCursor(handle);
    return HandleCursor::Drag;
}

int CDrawTable::HitTest(QPoint point, DrawView* v, bool selected, int activate)
{
    const DocRect n = position.Normalized();
    const std::int64_t inset = Inset();
    const std::int64_t upper = n.bottom;
    const std::int64_t x = point.x();
    const std::int64_t y = point.y();
    const bool withinHeight = n.top <= y && y <= upper;
    const bool withinWidth = n.left <= x && x <= n.right;
    int hit = 0;
    // Inner column borders.
    if (withinHeight) {
        std::int64_t at = std::int64_t(n.left) + inset;
        for (int c = 0; c + 1 < m_nColumns && hit == 0; ++c) {
            at += m_widths[std::size_t(c)];
            if (std::abs(x - at) <= kBorderBand)
                hit = 9 + c;
        }
    }
    // Inner row borders.
    if (hit == 0 && withinWidth) {
        std::int64_t at = upper - inset;
        for (int r = 0; r + 1 < m_nRows && hit == 0; ++r) {
            at -= m_heights[std::size_t(r)];
            if (std::abs(y - at) <= kBorderBand)
                hit = m_nColumns + 8 + r;
        }
    }
    if (hit == 0) {
        // The frame's handles when selected, anywhere inside when not.
        hit = selected ? CDrawObj::HitTest(point, v, true, activate) : (Inside(n, point) ? 1 : 0);
        if (hit != 0) {
            m_nLastHit = hit;
            return hit;
        }
    }
    int column = -1;
    int row = -1;
    int cell = -1;
    if (hit == 0 && withinWidth && y <= upper && y >= upper - kStripBand) {
        std::int64_t from = n.left;
        for (int c = 0; c < m_nColumns; ++c) {
            const std::int64_t to = from + m_widths[std::size_t(c)];
            if (from <= x && x <= to) {
                column = c;
                hit = m_nColumns + m_nRows + 8 + c;
                break;
            }
            from = to;
        }
    }
    if (hit == 0 && withinHeight && x >= n.left && x <= std::int64_t(n.left) + kStripBand) {
        std::int64_t from = upper;
        for (int r = 0; r < m_nRows; ++r) {
            const std::int64_t to = from - m_heights[std::size_t(r)];
            if (to <= y && y <= from) {
                row = r;
                hit = 2 * m_nColumns + m_nRows + 8 + r;
                break;
            }
            from = to;
        }
    }
    if (hit == 0 && selected) {
        for (std::size_t i = 0; i < m_cells.size(); ++i) {
            const DocRect c = m_cells[i]->position.Normalized();
            const DocRect s(c.left + kCellMargin, c.top + kCellMargin, c.right - kCellMargin, c.bottom - kCellMargin);
            if (Inside(s, point)) {
                cell = int(i);
                hit = 2 * (m_nColumns + m_nRows) + 8 + int(i);
                break;
            }
        }
    }
    m_nLastHit = hit;
    if (activate != 0) {
        if (column >= 0)
            SelectColumn(column, v);
        else if (row >= 0)
            SelectRow(row, v);
        else if (cell >= 0)
            ActivateCell(std::size_t(cell), v);
    }
    return hit;
}

bool CDrawTable::Intersects(const DocRect& rect) { return CDrawObj::Intersects(rect); }

void CDrawTable::MoveTo(const DocRect& rect, int flags, DrawView* v)
{
    CDrawObj::MoveTo(rect, flags, v);
    Layout();
}

void CDrawTable::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
{
    const DocRect n = position.Normalized();
    const std::int64_t inset = Inset();
    const std::int64_t left = std::int64_t(n.left) + inset;
    const std::int64_t upper = std::int64_t(n.bottom) - inset;
    const double width = double(std::int64_t(n.right) - n.left - 2 * inset);
    const double height = double(std::int64_t(n.bottom) - n.top - 2 * inset);
    if (handle >= 9 && handle < m_nColumns + 8) {
        const std::size_t k = std::size_t(handle - 8);
        std::int64_t before = 0;
        for (std::size_t c = 0; c < k; ++c)
            before += m_widths[c];
        const std::int64_t delta = point.x() - (left + before);
        if (delta <= std::int64_t(m_widths[k]) - kMinCellSize && delta >= kMinCellSize - std::int64_t(m_widths[k - 1])) {
            m_widths[k - 1] = ClampSize(double(m_widths[k - 1] + delta));
            m_widths[k] = ClampSize(double(m_widths[k] - delta));
            if (width > 0) {
                m_colFractions[k - 1] += float(double(delta) / width);
                m_colFractions[k] -= float(double(delta) / width);
            }
            InvalidateIn(v);
        }
    } else if (handle >= m_nColumns + 8 && handle < m_nColumns + m_nRows + 8) {
        const std::size_t k = std::size_t(handle - m_nColumns - 7);
        std::int64_t before = 0;
        for (std::size_t r = 0; r < k; ++r)
            before += m_heights[r];
        const std::int64_t delta = upper - point.y() - before;
        if (delta <= std::int64_t(m_heights[k]) - kMinCellSize &&
            delta >= kMinCellSize - std::int64_t(m_heights[k - 1])) {
            m_heights[k - 1] = ClampSize(double(m_heights[k - 1] + delta));
            m_heights[k] = ClampSize(double(m_heights[k] - delta));
            if (height > 0) {
                m_rowFractions[k - 1] += float(double(delta) / height);
                m_rowFractions[k] -= float(double(delta) / height);
            }
            InvalidateIn(v);
        }
    } else {
        CDrawObj::MoveHandleTo(handle, point, flags, v);
        SizesFromFractions();
    }
    Layout();
    LeaveActiveCell(v);
}

// ---- highlighting and the picked items

void CDrawTable::RestoreStore(CDrawObj& cell, const Highlight& h)
{
    // Unchanged since highlighting: the text as it was. Written from the
    // default text meanwhile (the store was empty): nothing was inverted.
    // Else the colour table is inverted back.
    const QByteArray now = cell.textStore.ToByteArray();
    if (now == h.storeAfter)
        cell.textStore.Assign(h.storeBefore);
    else if (!h.storeBefore.isEmpty())
        cell.InvertColorTable();
}

void CDrawTable::SetHighlight(CDrawObj* cell, bool on)
{
    if (cell == nullptr || IsHighlighted(cell) == on)
        return;
    if (on) {
        Highlight h;
        h.storeBefore = cell->textStore.ToByteArray();
        cell->InvertColors();
        cell->InvertColorTable();
        cell->textStore.Rewind();
        h.storeAfter = cell->textStore.ToByteArray();
        m_highlights.emplace(cell, std::move(h));
        return;
    }
    const auto it = m_highlights.find(cell);
    cell->InvertColors();
    RestoreStore(*cell, it->second);
    cell->textStore.Rewind();
    m_highlights.erase(it);
}

std::vector<std::size_t> CDrawTable::ColumnCells(int column) const
{
    std::vector<std::size_t> out;
    if (column < 0 || column >= m_nColumns)
        return out;
    for (int r = 0; r < m_nRows; ++r)
        out.push_back(std::size_t(r) * std::size_t(m_nColumns) + std::size_t(column));
    return out;
}

std::vector<std::size_t> CDrawTable::RowCells(int row) const
{
    std::vector<std::size_t> out;
    if (row < 0 || row >= m_nRows)
        return out;
    for (int c = 0; c < m_nColumns; ++c)
        out.push_back(std::size_t(row) * std::size_t(m_nColumns) + std::size_t(c));
    return out;
}

std::vector<std::size_t> CDrawTable::TargetCells() const
{
    if (m_nSelRow >= 0)
        return RowCells(m_nSelRow);
    if (m_nSelColumn >= 0)
        return ColumnCells(m_nSelColumn);
    std::vector<std::size_t> all(m_cells.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    return all;
}

void CDrawTable::SetHighlightOfSelection(bool on)
{
    const std::vector<std::size_t> cells = m_nSelRow >= 0      ? RowCells(m_nSelRow)
                                           : m_nSelColumn >= 0 ? ColumnCells(m_nSelColumn)
                                                               : std::vector<std::size_t>{};
    for (std::size_t i : cells)
        SetHighlight(m_cells[i].get(), on);
}

void CDrawTable::LeaveActiveCell(DrawView* v)
{
    CDrawObj* cell = m_pActiveCell;
    if (cell == nullptr)
        return;
    m_pActiveCell = nullptr;
    m_nActiveIndex = -1;
    if (IsField(cell)) {
        cell->EndEdit(v);
        SetHighlight(cell, false);
    } else {
        cell->StopEditing(v);
    }
}

void CDrawTable::ClearSelection(DrawView* v)
{
    if (m_nSelColumn < 0 && m_nSelRow < 0)
        return;
    SetHighlightOfSelection(false);
    m_nSelColumn = -1;
    m_nSelRow = -1;
    InvalidateIn(v);
}

void CDrawTable::SelectColumn(int column, DrawView* v)
{
    LeaveActiveCell(v);
    SetHighlightOfSelection(false);
    m_nSelRow = -1;
    m_nSelColumn = column;
    SetHighlightOfSelection(true);
    g_toolMode = kModeMove;
    InvalidateIn(v);
}

void CDrawTable::SelectRow(int row, DrawView* v)
{
    LeaveActiveCell(v);
    SetHighlightOfSelection(false);
    m_nSelColumn = -1;
    m_nSelRow = row;
    SetHighlightOfSelection(true);
    g_toolMode = kModeMove;
    InvalidateIn(v);
}

void CDrawTable::ActivateCell(std::size_t index, DrawView* v)
{
    ClearSelection(v);
    CDrawObj* cell = m_cells[index].get();
    if (cell != m_pActiveCell) {
        LeaveActiveCell(v);
        if (cell->GetView() == nullptr)
            cell->SetView(view);
        if (cell->GetDocument() == nullptr)
            cell->SetDocument(document);
        if (IsField(cell)) {
            SetHighlight(cell, true);
            cell->BeginEdit(v, 0);
        } else {
            cell->StartEditing(v);
        }
        m_nActiveIndex = int(index);
        m_pActiveCell = cell;
    }
    InvalidateIn(v);
}

void CDrawTable::ReindexActiveCell()
{
    m_nActiveIndex = -1;
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        if (m_cells[i].get() == m_pActiveCell)
            m_nActiveIndex = int(i);
    }
    if (m_nActiveIndex < 0)
        m_pActiveCell = nullptr;
}

// ---- editing

void CDrawTable::BeginEdit(DrawView* v, int mode)
{
    (void)v;
    (void)mode;
    m_bEditing = 1;
}

void CDrawTable::EndEdit(DrawView* v)
{
    ClearSelection(v);
    m_nSelColumn = -1;
    m_nSelRow = -1;
    LeaveActiveCell(v);
    m_bEditing = 0;
}

void CDrawTable::PlaceEditor(DrawView* v)
{
    if (m_pActiveCell != nullptr)
        m_pActiveCell->PlaceEditor(v);
}

void CDrawTable::CommitEditText()
{
    if (m_pActiveCell != nullptr)
        m_pActiveCell->CommitEditText();
}

void CDrawTable::SetFillColor(COLORREF color)
{
    if (m_pActiveCell == nullptr)
        return;
    SaveRedoSnapshot();
    CDrawObj* cell = m_pActiveCell;
    if (view != nullptr)
        cell->SetDocument(view->GetDocument());
    cell->SetFillColor(IsField(cell) ? color ^ 0xFFFFFF : color);
    if (CDI_RptDoc* doc = cell->GetDocument())
        doc->SaveUndoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 1);
}

void CDrawTable::SetLineWidth(int width)
{
    CDrawObj::SetLineWidth(width);
    RecalcLayout();
}

int CDrawTable::GetPopupMenuIndex() const
{
    return m_pActiveCell != nullptr || m_nSelColumn >= 0 || m_nSelRow >= 0 ? 3 : 0;
}

int CDrawTable::DoCommand(unsigned id, const QString& key, int value)
{
    if (id != kFormatCommand)
        return CDrawObj::DoCommand(id, key, value);
    if (m_pActiveCell != nullptr) {
        if (m_pActiveCell->GetDocument() == nullptr)
            m_pActiveCell->SetDocument(document);
        m_pActiveCell->formatValue = formatValue;
        m_pActiveCell->DoCommand(kFormatCommand, QStringLiteral("1") + key, value);
    } else {
        bool ok = false;
        const int code = key.toInt(&ok);
        if (ok && code >= 0 && code <= 7) {
            const auto* editor = view != nullptr ? dynamic_cast<const CTextEditView*>(view->GetTextEditor()) : nullptr;
            const platform::CHARFORMAT* cf = code == 0 && editor != nullptr ? &editor->LastAppliedFormat() : nullptr;
            for (std::size_t i : TargetCells()) {
                CDrawObj* cell = m_cells[i].get();
                rich_text::ApplyFormatToStore(cell->textStore, Environment(), code, static_cast<COLORREF>(formatValue),
                                              cf);
            }
        }
    }
    InvalidateIn(view);
    return CDrawObj::DoCommand(id, key, 0);
}

// ---- images

bool CDrawTable::IsBoundToImage(int number) const
{
    return std::any_of(m_cells.begin(), m_cells.end(), [number](const auto& cell) {
        return IsField(cell.get()) && static_cast<const CDrawField*>(cell.get())->ImageNumber() == number;
    });
}

void CDrawTable::OnIRImageChanged(CDrawIR& image)
{
    (void)image;
    Invalidate();
}

void CDrawTable::RegisterWithImages(DrawView* v)
{
    for (CDrawIR* image : std::vector<CDrawIR*>(Images()))
        image->RemoveDependent(this);
    if (v == nullptr)
        v = view;
    if (v == nullptr)
        return;
    for (CDrawObj* obj : v->GetIRObjects()) {
        auto* image = dynamic_cast<CDrawIR*>(obj);
        if (image != nullptr && IsBoundToImage(image->GetIRNumber()))
            image->AddDependent(this);
    }
}

// ---- export

void CDrawTable::ExportToWord(CWordExport& exporter)
{
    if (m_nRows <= 0 || m_nColumns <= 0)
        return;
    const DocRect n = position.Normalized();
    std::vector<float> heights(m_heights.begin(), m_heights.end());
    std::vector<float> widths(m_widths.begin(), m_widths.end());
    const int table = exporter.AddTable(m_nRows, m_nColumns, float(n.left), float(n.bottom), float(n.Width()),
                                        float(n.Height()), heights, widths, penOn != 0, pen.color, pen.widthX);
    std::vector<std::unique_ptr<CDrawObj>> copies;
    for (int r = 0; r < m_nRows; ++r) {
        for (int c = 0; c < m_nColumns; ++c) {
            const std::size_t index = std::size_t(r) * std::size_t(m_nColumns) + std::size_t(c);
            // Colours and text as stored, without any highlighting.
            const CDrawObj* cell = CellAsStored(index, copies);
            COLORREF color = cell->GetFillColor();
            const bool fill = cell->brushOn != 0;
            const bool field = IsField(cell);
            if (cell->textStore.GetLength() == 0 && !field)
                continue;
            TextRunList runs;
            runs.alignment = 0;
            if (cell->textStore.GetLength() > 0) {
                ExtractRtfText(cell->textStore, runs);
            } else {
                // A field cell not drawn yet holds no format: the default
                // text's, as its drawing takes.
                CRtfMemFile defaults;
                defaults.Assign(LoadDefaultRichText(Environment()));
                ExtractRtfText(defaults, runs);
            }
            if (field) {
                // A field's store holds its format; its text is the label,
                // looked up through the view as a draw does (a table read
                // from a file gives its cells the view at their first draw).
                color ^= 0xFFFFFF;
                CDrawObj* live = m_cells[index].get();
                if (live->GetView() == nullptr)
                    live->SetView(view);
                if (live->GetDocument() == nullptr)
                    live->SetDocument(document);
                QString label;
                static_cast<const CDrawField*>(live)->GetFieldText(label);
                if (runs.runs.empty())
                    runs.runs.emplace_back();
                runs.runs.resize(1);
                runs.runs.front().text = label;
            }
            exporter.ExportTable(table, r + 1, c + 1, m_nColumns, fill, color, runs);
        }
    }
}

// ---- cell texts

void CDrawTable::GetCellText(DrawView* v, int row, int column, QString& text, int& alignment)
{
    (void)v;
    CDrawObj* cell = Cell(row, column);
    if (cell == nullptr)
        return;
    if (IsField(cell)) {
        text = QStringLiteral("--");
        return;
    }
    QTextDocument doc;
    rich_text::LoadStoreOrDefault(cell->textStore, Environment(), doc);
    text = doc.toPlainText();
    if (cell->textStore.GetLength() > 0)
        rich_text::StorePlainText(cell->textStore, &alignment);
    else
        alignment = 1;
}

void CDrawTable::SetCellText(DrawView* v, int row, int column, const QString& text, int alignment)
{
    CDrawObj* cell = Cell(row, column);
    if (cell == nullptr || !IsText(cell))
        return;
    const bool highlighted = IsHighlighted(cell);
    SetHighlight(cell, false);
    static_cast<CDrawText*>(cell)->SetPlainText(v, text, alignment, nullptr);
    SetHighlight(cell, highlighted);
    if (v != nullptr)
        v->InvalObj(this);
    EndEdit(v);
}
