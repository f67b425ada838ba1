// CWordExport: what the report export and the draw objects call to put a
// report into a word-processor document. DocxExport (docx_export.h) writes
// it as an Office Open XML document; tests record the calls.
//
// Positions and sizes are in report units (1/1008 inch, y upwards) as
// floating-point values; the exporter converts them to points relative to the
// page margins (50 pt), so (600, -650) is the margin corner. Every operation
// has an empty default, so a recording exporter overrides only what it checks.
#pragma once

#include "document/geometry.h"
#include "document/text_run_list.h"

#include <QImage>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <vector>

class CWordExport {
public:
    // Arrowhead settings of a line: style, length and width of the head at
    // the begin, then at the end (1, 1, 1: none; 2, 2, 2: a medium triangle).
    struct ArrowHeads {
        int beginStyle = 1;
        int beginLength = 1;
        int beginWidth = 1;
        int endStyle = 1;
        int endLength = 1;
        int endWidth = 1;
        bool operator==(const ArrowHeads&) const = default;
    };

    // The character format of a result table's cells: face, height in
    // twentieths of a point, emphasis.
    struct CellFormat {
        QString faceName;
        int heightTwips = 180;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        // The object's fill, given to every cell when it has one.
        bool fill = false;
        COLORREF fillColor = 0xFFFFFF;
    };

    virtual ~CWordExport() = default;

    // A new document of the report's page size in inches (custom paper,
    // margins 50 pt).
    virtual void NewDocument(float widthInches, float heightInches) { (void)widthInches, (void)heightInches; }
    // A page break before page `page` (from 0); later objects go on it.
    virtual void InsertPageBreak(int page) { (void)page; }
    // The page (from 0) the next objects are placed on.
    virtual void GoToPage(int page) { (void)page; }

    // A picture in a text box at the given place; the box has a line only
    // with `border`.
    virtual void ExportImage(float left, float top, float width, float height, const QImage& picture, bool border)
    {
        (void)left, (void)top, (void)width, (void)height, (void)picture, (void)border;
    }
    // A text or field box: fill (on, colour), the box (left, lower edge,
    // width, height), border (on, pen width in pixels, written as points,
    // colour), the label of a field (empty for a text box), the box's font
    // name and size in points, and the paragraphs as the RTF reader gave
    // them: the alignment and the runs with their fonts.
    struct TextBox {
        bool fill = false;
        COLORREF fillColor = 0xFFFFFF;
        float left = 0, top = 0, width = 0, height = 0;
        bool border = false;
        int penWidth = 1;
        COLORREF penColor = 0;
        QString text;
        QString fontName;
        float fontSize = 12;
    };
    virtual void ExportText(const TextBox& box, const TextRunList& runs) { (void)box, (void)runs; }

    virtual void ExportLine(QPointF begin, QPointF end, float weight, COLORREF color)
    {
        (void)begin, (void)end, (void)weight, (void)color;
    }
    virtual void ExportArrow(QPointF begin, QPointF end, float weight, COLORREF color, const ArrowHeads& heads)
    {
        (void)begin, (void)end, (void)weight, (void)color, (void)heads;
    }
    virtual void ExportRectangle(float left, float top, float width, float height, float weight, COLORREF color)
    {
        (void)left, (void)top, (void)width, (void)height, (void)weight, (void)color;
    }

    // A table of rows x columns in a text box; row heights and column widths
    // in report units; borders of the pen width's line width and colour when
    // `border` is set, else none. Returns the table's number (from 1) for
    // ExportTable; 0 when nothing was made.
    virtual int AddTable(int rows, int columns, float left, float top, float width, float height,
                         const std::vector<float>& rowHeights, const std::vector<float>& columnWidths, bool border,
                         COLORREF borderColor, int penWidth)
    {
        (void)rows, (void)columns, (void)left, (void)top, (void)width, (void)height, (void)rowHeights,
            (void)columnWidths, (void)border, (void)borderColor, (void)penWidth;
        return 0;
    }
    // The runs of one cell (row and column from 1), with its shading when
    // `fill` is set.
    virtual void ExportTable(int table, int row, int column, int columnCount, bool fill, COLORREF color,
                             const TextRunList& runs)
    {
        (void)table, (void)row, (void)column, (void)columnCount, (void)fill, (void)color, (void)runs;
    }
    // The two-column table of a result table (widths and row height in
    // report units); returns its number.
    virtual int ExportResultTable(int rows, float left, float top, float width, float height, float labelWidth,
                                  float valueWidth, float rowHeight, bool border, COLORREF borderColor, int penWidth)
    {
        (void)rows, (void)left, (void)top, (void)width, (void)height, (void)labelWidth, (void)valueWidth,
            (void)rowHeight, (void)border, (void)borderColor, (void)penWidth;
        return 0;
    }
    // The rows of a result table: rowText holds label, "\\", value, "\\"
    // per row; a heading row's label and value each end with "/", which
    // the cells leave out.
    virtual void FillResultTableCells(int table, int rows, const CellFormat& format, const QString& rowText)
    {
        (void)table, (void)rows, (void)format, (void)rowText;
    }

    // Writes the document; false when the file could not be written.
    virtual bool SaveAs(const QString& path) { (void)path; return false; }
};
