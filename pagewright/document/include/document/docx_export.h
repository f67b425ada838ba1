// DocxExport: the report export's word-processor document, written as an
// Office Open XML package (.docx).
//
// Each page of the report is one paragraph of the document (a page break
// before every page after the first); every exported object is a floating
// drawing anchored in its page's paragraph, placed relative to the page
// margins (50 pt):
//
//     left = (x - 600) * 0.0700280112044818 pt
//     top  = (y + 650) * -0.07189072609633357 pt
//
// and sized by the same factors. Later objects lie above earlier ones.
// Lines, arrows and rectangles are shapes; pictures (stored as PNG), texts
// and tables sit in text boxes. SaveAs writes the whole package to a
// temporary file beside the target and renames it over the target only when
// complete.
#pragma once

#include "document/word_export.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class DocxExport : public CWordExport {
public:
    static constexpr double kPointsPerUnitX = 0.0700280112044818;
    static constexpr double kPointsPerUnitY = 0.07189072609633357;
    static constexpr double kMarginPoints = 50.0;

    DocxExport();
    ~DocxExport() override;
    DocxExport(const DocxExport&) = delete;
    DocxExport& operator=(const DocxExport&) = delete;

    // Report coordinates to points from the margin corner.
    static double LeftPoints(double x) { return (x - 600.0) * kPointsPerUnitX; }
    static double TopPoints(double y) { return (y + 650.0) * -kPointsPerUnitY; }
    // Table line widths in eighths of a point by pen width.
    static int BorderEighths(int penWidth);

    void NewDocument(float widthInches, float heightInches) override;
    void InsertPageBreak(int page) override;
    void GoToPage(int page) override;
    void ExportImage(float left, float top, float width, float height, const QImage& picture, bool border) override;
    void ExportText(const TextBox& box, const TextRunList& runs) override;
    void ExportLine(QPointF begin, QPointF end, float weight, COLORREF color) override;
    void ExportArrow(QPointF begin, QPointF end, float weight, COLORREF color, const ArrowHeads& heads) override;
    void ExportRectangle(float left, float top, float width, float height, float weight, COLORREF color) override;
    int AddTable(int rows, int columns, float left, float top, float width, float height,
                 const std::vector<float>& rowHeights, const std::vector<float>& columnWidths, bool border,
                 COLORREF borderColor, int penWidth) override;
    void ExportTable(int table, int row, int column, int columnCount, bool fill, COLORREF color,
                     const TextRunList& runs) override;
    int ExportResultTable(int rows, float left, float top, float width, float height, float labelWidth,
                          float valueWidth, float rowHeight, bool border, COLORREF borderColor,
                          int penWidth) override;
    void FillResultTableCells(int table, int rows, const CellFormat& format, const QString& rowText) override;
    bool SaveAs(const QString& path) override;

    // The package's bytes as SaveAs writes them (for tests and tools).
    QByteArray PackageBytes() const;
    // The main part, word/document.xml.
    QByteArray DocumentXml() const;

private:
    struct Table;
    struct Item;
    struct Box;

    std::vector<Item>& PageItems();
    static QByteArray Anchor(const Box& box, const QByteArray& graphic);
    void AddItem(QByteArray xml);
    int NewTable(std::unique_ptr<Table> table, float left, float top, float width, float height);
    Table* FindTable(int table);

    float m_pageWidthInches = 8330.0f / 1008.0f;
    float m_pageHeightInches = 11790.0f / 1008.0f;
    int m_currentPage = 0;
    int m_nextId = 1;
    std::vector<std::vector<Item>> m_pages;
    std::vector<std::unique_ptr<Table>> m_tables;
    std::vector<QByteArray> m_media; // PNG files, word/media/image<i+1>.png
};
