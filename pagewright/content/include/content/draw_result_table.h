// CDrawResultTable: chosen data fields of one infrared image as a
// two-column table (label, value), one row per value, grouped under header
// rows ("<group name>" / "数值"). Spot, line and area fields repeat for every
// analysis of their kind on the image, isotherm fields for the first two
// isotherms. The image is found by its number at every draw, so the table
// follows the image; its height follows its rows.
//
// Record (after the CDrawRect part): 2 x u16 column widths, u32 image
// number, u32 field count n, n x u32 field ids, the 60-byte CHARFORMAT as
// held, u16 difference flag, f32 row height. Reading refuses a field count
// larger than the bytes left.
//
// The row text (for the word-processor export) holds per row the label, a
// separator, the value and the separator again: "/\\" after a header's
// parts, "\\" after a field row's.
//
// Handles 9 (left band), 10 (column divider) and 11 (right band) resize the
// columns; the middle handles of the upper and lower edges do nothing.
#pragma once

#include "document/draw_rect.h"
#include "document/ir_image_object.h"
#include "platform/char_format.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class CTextEditView;
class DocumentEnvironment;

class CDrawResultTable : public CDrawRect, public IRLinkedObject {
public:
    static const DrawClass kClass;
    // Default row height (a line of the default font + 80) and the export's
    // row height of a table without fields.
    static constexpr float kDefaultRowHeight = 238.0f;
    static constexpr float kEmptyExportRowHeight = 164.0f;
    static constexpr int kMinColumn = 200;

    CDrawResultTable();
    CDrawResultTable(DrawView* view, const DocRect& rect);
    ~CDrawResultTable() override;

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;

    HandleCursor GetHandleCursor(int handle) const override;
    void Draw(PageDC& dc) override;
    int HitTest(QPoint point, DrawView* view, bool selected, int flag) override;
    void MoveHandleTo(int handle, QPoint point, int flags, DrawView* view) override;
    // The field page in several-field mode.
    void OnEditProperties() override;
    // Borrows the view's editor, hidden, to carry the font to and from the
    // format bar.
    void BeginEdit(DrawView* view, int mode) override;
    void EndEdit(DrawView* view) override;
    int DoCommand(unsigned id, const QString& key, int value) override;
    void ExportToWord(CWordExport& exporter) override;
    int GetPopupMenuIndex() const override;

    // Lays the rows out: with a DC draws them and sets the lower edge;
    // without one only counts them and fills the row text.
    void BuildRows(PageDC* dc);
    // Fits the frame to what the table shows now (the lower edge to its
    // rows, a table without fields to one line), as a draw would, without
    // drawing: whoever repaints it then covers its new size.
    void FitToRows();

    // The image binding (pasting with an image rebinds the table) and the
    // "NO.n" beside the upper right corner.
    int GetLinkedIRNumber() const override { return m_nIRNumber; }
    void SetLinkedIRNumber(int number) override { m_nIRNumber = number; }
    DocRect LabelArea() const override;
    void OnLinkedImageChanged() override { FitToRows(); }

    int GetIRNumber() const { return m_nIRNumber; }
    void SetIRNumber(int number) { m_nIRNumber = number; }
    const std::vector<std::uint32_t>& FieldIds() const { return m_fieldIds; }
    void SetFieldIds(std::vector<std::uint32_t> ids) { m_fieldIds = std::move(ids); }
    int GetDifference() const { return m_bDifference; }
    void SetDifference(int on) { m_bDifference = on; }
    int RowCount() const { return m_nRowCount; }
    // Sets the row count and height of the last layout (what the word
    // processor export starts from until the next draw lays the rows out).
    void SetRowLayout(int rows, float height)
    {
        m_nRowCount = rows;
        m_fRowHeight = height;
    }
    float RowHeight() const { return m_fRowHeight; }
    const QString& RowText() const { return m_strRowText; }
    // The rows of the last layout as the table shows them: a group's
    // heading row (in bold) and its field rows.
    struct Row {
        QString label;
        QString value;
        bool heading = false;
        bool operator==(const Row&) const = default;
    };
    const std::vector<Row>& Rows() const { return m_rows; }
    const std::array<std::uint16_t, 2>& ColumnWidths() const { return m_widths; }
    const std::array<float, 2>& ColumnFractions() const { return m_fractions; }
    const platform::CHARFORMAT& Font() const { return m_cf; }
    void SetFont(const platform::CHARFORMAT& cf) { m_cf = cf; }

    // The height in page units of a line of the table's font.
    int LineHeight() const;
    // The drawing font's height: CHARFORMAT height x 2 / 3.
    int FontHeight() const { return m_cf.yHeight * 2 / 3; }

private:
    DocumentEnvironment& Environment() const;
    QString Text(int id) const;
    // Sets the lower edge for one line of text (no rows).
    void FitEmpty(int textHeight);
    void SplitFractions();

    int m_nIRNumber = 1;
    float m_fRowHeight = kDefaultRowHeight;
    int m_nRowCount = 1;
    QString m_strRowText;
    std::vector<Row> m_rows;
    std::array<std::uint16_t, 2> m_widths{};
    std::array<float, 2> m_fractions{0.5f, 0.5f};
    std::vector<std::uint32_t> m_fieldIds;
    CTextEditView* m_pEditor = nullptr;
    int m_bFormatChanged = 0;
    platform::CHARFORMAT m_cf;
    int m_bDifference = 0;
};
