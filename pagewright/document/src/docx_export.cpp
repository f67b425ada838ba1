#include "document/docx_export.h"

#include "zip_package.h"

#include <QBuffer>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kEmuPerPoint = 12700.0;
constexpr double kTwipsPerPoint = 20.0;
// Pictures are compressed at a fast zlib level: three times quicker than the
// default for a file about half again as large.
constexpr int kPngQuality = 80;

const char kDocumentStart[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
    " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\""
    " xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\"><w:body>";

const char kContentTypes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Default Extension=\"png\" ContentType=\"image/png\"/>"
    "<Override PartName=\"/word/document.xml\""
    " ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "</Types>";

const char kPackageRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\""
    " Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\""
    " Target=\"word/document.xml\"/></Relationships>";

const char kShapeUri[] = "http://schemas.microsoft.com/office/word/2010/wordprocessingShape";

// Finite values, held inside what the file's integer fields take.
double Sane(double v, double limit)
{
    if (!std::isfinite(v))
        return 0.0;
    return std::clamp(v, -limit, limit);
}

QByteArray Emu(double points)
{
    return QByteArray::number(std::llround(Sane(points, 1.0e5) * kEmuPerPoint));
}

QByteArray Twips(double points)
{
    return QByteArray::number(std::llround(Sane(points, 1.0e5) * kTwipsPerPoint));
}

QByteArray Hex(COLORREF color)
{
    const char* digits = "0123456789ABCDEF";
    QByteArray out;
    for (unsigned v : {GetRValue(color), GetGValue(color), GetBValue(color)}) {
        out += digits[(v >> 4) & 0xF];
        out += digits[v & 0xF];
    }
    return out;
}

QByteArray Escape(const QString& text)
{
    return text.toUtf8().replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;").replace('"', "&quot;");
}

// Characters XML 1.0 allows, with the breaks and tabs of a run as elements.
QByteArray RunText(const QString& text)
{
    QByteArray out;
    QString pending;
    auto flush = [&] {
        if (!pending.isEmpty())
            out += "<w:t xml:space=\"preserve\">" + Escape(pending) + "</w:t>";
        pending.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u == 0x0B || u == 0x2028 || u == '\n' || u == '\r') {
            if (u == '\r' && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                continue;
            flush();
            out += "<w:br/>";
        } else if (u == '\t') {
            flush();
            out += "<w:tab/>";
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            pending += c;
            pending += text[++i];
        } else if (u >= 0x20 && !c.isSurrogate() && u != 0xFFFE && u != 0xFFFF) {
            pending += c;
        }
    }
    flush();
    return out;
}

struct RunFormat {
    QString face;
    int halfPoints = 24;
    COLORREF color = 0;
    bool autoColor = true;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

QByteArray Run(const RunFormat& f, const QString& text)
{
    QByteArray out = "<w:r><w:rPr>";
    if (!f.face.isEmpty()) {
        const QByteArray face = Escape(f.face);
        out += "<w:rFonts w:ascii=\"" + face + "\" w:hAnsi=\"" + face + "\" w:eastAsia=\"" + face + "\" w:cs=\"" +
               face + "\"/>";
    }
    if (f.bold)
        out += "<w:b/>";
    if (f.italic)
        out += "<w:i/>";
    out += "<w:color w:val=\"" + (f.autoColor ? QByteArray("auto") : Hex(f.color)) + "\"/>";
    const QByteArray size = QByteArray::number(std::clamp(f.halfPoints, 2, 3276));
    out += "<w:sz w:val=\"" + size + "\"/><w:szCs w:val=\"" + size + "\"/>";
    if (f.underline)
        out += "<w:u w:val=\"single\"/>";
    // The report's Chinese is Simplified Chinese: a reader that lacks the
    // named face takes a Chinese face for it by that language, one with a
    // bold face of its own where one is installed (without the language it
    // may fall back to a face without bold and show bold text regular).
    out += "<w:lang w:eastAsia=\"zh-CN\"/>";
    out += "</w:rPr>" + RunText(text) + "</w:r>";
    return out;
}

RunFormat FormatOf(const TextRun& run)
{
    RunFormat f;
    f.face = run.fontName;
    f.halfPoints = run.size;
    f.color = run.color;
    f.autoColor = run.autoColor;
    f.bold = run.bold;
    f.italic = run.italic;
    f.underline = run.underline;
    return f;
}

QByteArray Alignment(int alignment)
{
    switch (alignment) {
    case 1:
        return "center";
    case 2:
        return "right";
    default:
        return "left";
    }
}

QByteArray Paragraph(const QByteArray& runs, int alignment)
{
    return "<w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"0\"/><w:jc w:val=\"" + Alignment(alignment) +
           "\"/></w:pPr>" + runs + "</w:p>";
}

// The runs of a list in order; a lone character 11 after another run is
// left out. In a table cell (cellFaces) a run in the "System" face takes the
// face of the latest earlier run in another face.
QByteArray Runs(const TextRunList& list, bool cellFaces)
{
    QByteArray out;
    QString lastFace;
    for (std::size_t i = 0; i < list.runs.size(); ++i) {
        const TextRun& run = list.runs[i];
        if (i > 0 && run.text == QString(QChar(0x0B)))
            continue;
        RunFormat f = FormatOf(run);
        if (cellFaces) {
            if (run.fontName == QStringLiteral("System")) {
                if (!lastFace.isEmpty())
                    f.face = lastFace;
            } else {
                lastFace = run.fontName.left(30);
            }
        }
        out += Run(f, run.text);
    }
    return out;
}

QByteArray Line(bool visible, double weightPoints, COLORREF color, const QByteArray& ends = {})
{
    if (!visible)
        return "<a:ln><a:noFill/></a:ln>";
    const double w = std::max(0.0, Sane(weightPoints, 1000.0));
    return "<a:ln w=\"" + Emu(w) + "\"><a:solidFill><a:srgbClr val=\"" + Hex(color) + "\"/></a:solidFill>" + ends +
           "</a:ln>";
}

QByteArray HeadEnd(const char* element, int style, int length, int width)
{
    static const char* const styles[] = {"none", "triangle", "arrow", "stealth", "diamond", "oval"};
    static const char* const sizes[] = {"sm", "med", "lg"};
    const char* type = style >= 1 && style <= 6 ? styles[style - 1] : "none";
    const char* len = sizes[std::clamp(length, 1, 3) - 1];
    const char* wid = sizes[std::clamp(width, 1, 3) - 1];
    return QByteArray("<a:") + element + " type=\"" + type + "\" w=\"" + wid + "\" len=\"" + len + "\"/>";
}

QByteArray Border(const char* side, bool on, int eighths, COLORREF color)
{
    if (!on)
        return QByteArray("<w:") + side + " w:val=\"nil\"/>";
    return QByteArray("<w:") + side + " w:val=\"single\" w:sz=\"" + QByteArray::number(eighths) +
           "\" w:space=\"0\" w:color=\"" + Hex(color) + "\"/>";
}

} // namespace

// A place on the page in points from the margin corner, and the stacking
// order.
struct DocxExport::Box {
    double left = 0, top = 0, width = 0, height = 0;
    int id = 0;
};

struct DocxExport::Item {
    QByteArray xml; // a whole anchored drawing
    int table = 0;  // or the number of a table written at save time
};

struct DocxExport::Table {
    struct Cell {
        QByteArray runs;
        int alignment = 0;
        bool shaded = false;
        COLORREF shading = 0xFFFFFF;
    };
    Box box;
    int rows = 0;
    int columns = 0;
    std::vector<double> rowHeights;  // points
    bool exactHeights = true;
    std::vector<double> columnWidths; // points
    double indent = 6.0;
    double cellInset = 20 * DocxExport::kPointsPerUnitX; // points
    bool border = false;
    int borderEighths = 2;
    COLORREF borderColor = 0;
    std::vector<Cell> cells;

    Cell* At(int row, int column)
    {
        if (row < 1 || row > rows || column < 1 || column > columns)
            return nullptr;
        return &cells[std::size_t(row - 1) * std::size_t(columns) + std::size_t(column - 1)];
    }

    QByteArray Xml() const
    {
        QByteArray out = "<w:tbl><w:tblPr>";
        double total = 0;
        for (double w : columnWidths)
            total += w;
        out += "<w:tblW w:w=\"" + Twips(total) + "\" w:type=\"dxa\"/>";
        out += "<w:tblInd w:w=\"" + Twips(indent) + "\" w:type=\"dxa\"/><w:tblBorders>";
        for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
            out += Border(side, border, borderEighths, borderColor);
        // Cells keep the report's small inset instead of the word
        // processor's default margins, which would narrow every column.
        out += "</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar><w:left w:w=\"" + Twips(cellInset) +
               "\" w:type=\"dxa\"/><w:right w:w=\"" + Twips(cellInset) +
               "\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr><w:tblGrid>";
        for (double w : columnWidths)
            out += "<w:gridCol w:w=\"" + Twips(w) + "\"/>";
        out += "</w:tblGrid>";
        for (int r = 1; r <= rows; ++r) {
            out += "<w:tr><w:trPr><w:trHeight w:val=\"" + Twips(rowHeights[std::size_t(r - 1)]) +
                   "\" w:hRule=\"" + (exactHeights ? "exact" : "atLeast") + "\"/></w:trPr>";
            for (int c = 1; c <= columns; ++c) {
                const Cell& cell = cells[std::size_t(r - 1) * std::size_t(columns) + std::size_t(c - 1)];
                out += "<w:tc><w:tcPr><w:tcW w:w=\"" + Twips(columnWidths[std::size_t(c - 1)]) +
                       "\" w:type=\"dxa\"/>";
                if (cell.shaded)
                    out += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"" + Hex(cell.shading) + "\"/>";
                out += "</w:tcPr>" + Paragraph(cell.runs, cell.alignment) + "</w:tc>";
            }
            out += "</w:tr>";
        }
        out += "</w:tbl>";
        return out;
    }
};

namespace {

// A text box shape holding `content` (paragraphs or tables), margins 0. A
// box that grows (texts and tables) takes the height its content needs when
// the word processor lays it out taller than the report showed it, so that
// no line or row is clipped; a picture's box keeps its size.
QByteArray TextBoxShape(const QByteArray& fill, const QByteArray& line, const QByteArray& content, double width,
                        double height, bool grows = false)
{
    return "<wps:wsp><wps:cNvSpPr txBox=\"1\"/><wps:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" +
           Emu(width) + "\" cy=\"" + Emu(height) + "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom>" +
           fill + line + "</wps:spPr><wps:txbx><w:txbxContent>" + content +
           "</w:txbxContent></wps:txbx><wps:bodyPr rot=\"0\" vert=\"horz\" wrap=\"square\" lIns=\"0\" tIns=\"0\""
           " rIns=\"0\" bIns=\"0\" anchor=\"t\" anchorCtr=\"0\">" +
           (grows ? QByteArray("<a:spAutoFit/>") : QByteArray("<a:noAutofit/>")) + "</wps:bodyPr></wps:wsp>";
}

} // namespace

DocxExport::DocxExport() : m_pages(1) {}

DocxExport::~DocxExport() = default;

int DocxExport::BorderEighths(int penWidth)
{
    switch (penWidth) {
    case 1:
        return 2;
    case 2:
        return 8;
    case 3:
        return 12;
    case 4:
    case 5:
        return 18;
    case 6:
    case 7:
    case 8:
        return 24;
    case 9:
    case 10:
        return 36;
    case 12:
        return 48;
    default:
        return 2;
    }
}

void DocxExport::NewDocument(float widthInches, float heightInches)
{
    m_pageWidthInches = widthInches;
    m_pageHeightInches = heightInches;
    m_pages.assign(1, {});
    m_tables.clear();
    m_media.clear();
    m_currentPage = 0;
    m_nextId = 1;
}

void DocxExport::InsertPageBreak(int page)
{
    m_currentPage = page;
    if (page >= 0 && std::size_t(page) >= m_pages.size())
        m_pages.resize(std::size_t(page) + 1);
}

void DocxExport::GoToPage(int page) { m_currentPage = page; }

std::vector<DocxExport::Item>& DocxExport::PageItems()
{
    // An object of a page that has no break yet lands on the last page.
    const std::size_t i = m_currentPage < 0 ? 0 : std::min(std::size_t(m_currentPage), m_pages.size() - 1);
    return m_pages[i];
}

void DocxExport::AddItem(QByteArray xml) { PageItems().push_back(Item{std::move(xml), 0}); }

QByteArray DocxExport::Anchor(const Box& box, const QByteArray& graphic)
{
    const QByteArray id = QByteArray::number(box.id);
    return "<w:r><w:drawing><wp:anchor distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\" simplePos=\"0\""
           " relativeHeight=\"" + QByteArray::number(box.id + 1024) +
           "\" behindDoc=\"0\" locked=\"0\" layoutInCell=\"1\" allowOverlap=\"1\"><wp:simplePos x=\"0\" y=\"0\"/>"
           "<wp:positionH relativeFrom=\"margin\"><wp:posOffset>" + Emu(box.left) +
           "</wp:posOffset></wp:positionH><wp:positionV relativeFrom=\"margin\"><wp:posOffset>" + Emu(box.top) +
           "</wp:posOffset></wp:positionV><wp:extent cx=\"" + Emu(std::max(0.0, box.width)) + "\" cy=\"" +
           Emu(std::max(0.0, box.height)) +
           "\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/><wp:wrapNone/><wp:docPr id=\"" + id +
           "\" name=\"Object " + id + "\"/><wp:cNvGraphicFramePr/><a:graphic><a:graphicData uri=\"" + kShapeUri +
           "\">" + graphic + "</a:graphicData></a:graphic></wp:anchor></w:drawing></w:r>";
}

namespace {

// Report rectangle (left, upper edge, width, height) in points.
void Place(float left, float top, float width, float height, double& l, double& t, double& w, double& h)
{
    l = DocxExport::LeftPoints(Sane(left, 1.0e9));
    t = DocxExport::TopPoints(Sane(top, 1.0e9));
    w = std::abs(Sane(width, 1.0e9)) * DocxExport::kPointsPerUnitX;
    h = std::abs(Sane(height, 1.0e9)) * DocxExport::kPointsPerUnitY;
}

} // namespace

void DocxExport::ExportImage(float left, float top, float width, float height, const QImage& picture, bool border)
{
    Box box;
    Place(left, top, width, height, box.left, box.top, box.width, box.height);
    box.id = m_nextId++;
    QByteArray content;
    if (!picture.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (picture.save(&buffer, "PNG", kPngQuality) && !png.isEmpty()) {
            m_media.push_back(std::move(png));
            const QByteArray n = QByteArray::number(qsizetype(m_media.size()));
            const QByteArray cx = Emu(box.width);
            const QByteArray cy = Emu(box.height);
            content = "<w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/>"
                      "</w:pPr><w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
                      "<wp:extent cx=\"" + cx + "\" cy=\"" + cy + "\"/><wp:docPr id=\"" +
                      QByteArray::number(m_nextId++) + "\" name=\"Picture " + n +
                      "\"/><wp:cNvGraphicFramePr/><a:graphic><a:graphicData"
                      " uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic><pic:nvPicPr>"
                      "<pic:cNvPr id=\"0\" name=\"image" + n + ".png\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill>"
                      "<a:blip r:embed=\"rIdImage" + n + "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
                      "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" + cx + "\" cy=\"" + cy +
                      "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
                      "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>";
        }
    }
    if (content.isEmpty())
        content = "<w:p/>";
    AddItem(Anchor(box, TextBoxShape("<a:noFill/>", Line(border, 0.75, 0), content, box.width, box.height)));
}

void DocxExport::ExportText(const TextBox& text, const TextRunList& runs)
{
    // The text objects give the box's lower edge; it is placed by its upper.
    Box box;
    Place(text.left, float(double(text.top) + std::abs(double(text.height))), text.width, text.height, box.left,
          box.top, box.width, box.height);
    box.id = m_nextId++;
    QByteArray content = Runs(runs, false);
    // Without runs the label the object passed is written in its font.
    if (runs.runs.empty() && !text.text.isEmpty()) {
        RunFormat f;
        f.face = text.fontName;
        f.halfPoints =
            std::isfinite(text.fontSize) ? int(std::lround(std::clamp(text.fontSize, 1.0f, 1638.0f) * 2.0f)) : 24;
        content = Run(f, text.text);
    }
    const QByteArray fillXml = text.fill ? "<a:solidFill><a:srgbClr val=\"" + Hex(text.fillColor) + "\"/></a:solidFill>"
                                         : QByteArray("<a:noFill/>");
    AddItem(Anchor(box, TextBoxShape(fillXml, Line(text.border, text.penWidth, text.penColor),
                                     Paragraph(content, runs.alignment), box.width, box.height, true)));
}

void DocxExport::ExportLine(QPointF begin, QPointF end, float weight, COLORREF color)
{
    ExportArrow(begin, end, weight, color, ArrowHeads{});
}

void DocxExport::ExportArrow(QPointF begin, QPointF end, float weight, COLORREF color, const ArrowHeads& heads)
{
    const double x1 = LeftPoints(Sane(begin.x(), 1.0e9));
    const double y1 = TopPoints(Sane(begin.y(), 1.0e9));
    const double x2 = LeftPoints(Sane(end.x(), 1.0e9));
    const double y2 = TopPoints(Sane(end.y(), 1.0e9));
    Box box;
    box.left = std::min(x1, x2);
    box.top = std::min(y1, y2);
    box.width = std::abs(x2 - x1);
    box.height = std::abs(y2 - y1);
    box.id = m_nextId++;
    QByteArray flips;
    if (x2 < x1)
        flips += " flipH=\"1\"";
    if (y2 < y1)
        flips += " flipV=\"1\"";
    QByteArray ends;
    if (heads.beginStyle != 1)
        ends += HeadEnd("headEnd", heads.beginStyle, heads.beginLength, heads.beginWidth);
    if (heads.endStyle != 1)
        ends += HeadEnd("tailEnd", heads.endStyle, heads.endLength, heads.endWidth);
    AddItem(Anchor(box, "<wps:wsp><wps:cNvCnPr/><wps:spPr><a:xfrm" + flips +
                            "><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" + Emu(box.width) + "\" cy=\"" + Emu(box.height) +
                            "\"/></a:xfrm><a:prstGeom prst=\"line\"><a:avLst/></a:prstGeom>" +
                            Line(true, weight, color, ends) + "</wps:spPr><wps:bodyPr/></wps:wsp>"));
}

void DocxExport::ExportRectangle(float left, float top, float width, float height, float weight, COLORREF color)
{
    Box box;
    Place(left, top, width, height, box.left, box.top, box.width, box.height);
    box.id = m_nextId++;
    AddItem(Anchor(box, "<wps:wsp><wps:cNvSpPr/><wps:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" +
                            Emu(box.width) + "\" cy=\"" + Emu(box.height) +
                            "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom><a:noFill/>" +
                            Line(true, weight, color) + "</wps:spPr><wps:bodyPr/></wps:wsp>"));
}

int DocxExport::NewTable(std::unique_ptr<Table> table, float left, float top, float width, float height)
{
    Place(left, top, width, height, table->box.left, table->box.top, table->box.width, table->box.height);
    table->box.id = m_nextId++;
    table->cells.resize(std::size_t(table->rows) * std::size_t(table->columns));
    m_tables.push_back(std::move(table));
    const int number = int(m_tables.size());
    PageItems().push_back(Item{{}, number});
    return number;
}

DocxExport::Table* DocxExport::FindTable(int table)
{
    if (table < 1 || std::size_t(table) > m_tables.size())
        return nullptr;
    return m_tables[std::size_t(table - 1)].get();
}

int DocxExport::AddTable(int rows, int columns, float left, float top, float width, float height,
                         const std::vector<float>& rowHeights, const std::vector<float>& columnWidths, bool border,
                         COLORREF borderColor, int penWidth)
{
    // A table has at most 63 columns and a sane number of rows.
    if (rows < 1 || columns < 1 || rows > 32767 || columns > 63)
        return 0;
    auto table = std::make_unique<Table>();
    table->rows = rows;
    table->columns = columns;
    for (int r = 0; r < rows; ++r) {
        const double h = std::size_t(r) < rowHeights.size() ? Sane(rowHeights[std::size_t(r)], 1.0e7) : 0.0;
        table->rowHeights.push_back(std::abs(h) * kPointsPerUnitY);
    }
    for (int c = 0; c < columns; ++c) {
        const double w = std::size_t(c) < columnWidths.size() ? Sane(columnWidths[std::size_t(c)], 1.0e7) : 0.0;
        table->columnWidths.push_back(std::abs(w) * kPointsPerUnitX);
    }
    table->border = border;
    table->borderColor = borderColor;
    table->borderEighths = BorderEighths(penWidth);
    return NewTable(std::move(table), left, top, width, height);
}

void DocxExport::ExportTable(int table, int row, int column, int columnCount, bool fill, COLORREF color,
                             const TextRunList& runs)
{
    (void)columnCount; // the cell is found by its row and column
    Table* t = FindTable(table);
    Table::Cell* cell = t != nullptr ? t->At(row, column) : nullptr;
    if (cell == nullptr)
        return;
    cell->alignment = runs.alignment;
    cell->shaded = fill;
    cell->shading = color;
    cell->runs = Runs(runs, true);
}

int DocxExport::ExportResultTable(int rows, float left, float top, float width, float height, float labelWidth,
                                  float valueWidth, float rowHeight, bool border, COLORREF borderColor, int penWidth)
{
    auto table = std::make_unique<Table>();
    table->rows = std::clamp(rows, 1, 32767);
    table->columns = 2;
    const double h = std::abs(Sane(rowHeight, 1.0e7)) * 0.055555556 + 1.0;
    table->rowHeights.assign(std::size_t(table->rows), h);
    table->exactHeights = false;
    table->columnWidths = {std::abs(Sane(labelWidth, 1.0e7)) * kPointsPerUnitX,
                           std::abs(Sane(valueWidth, 1.0e7)) * kPointsPerUnitX};
    table->border = border;
    table->borderColor = borderColor;
    table->borderEighths = BorderEighths(penWidth);
    return NewTable(std::move(table), left, top, width, height);
}

void DocxExport::FillResultTableCells(int table, int rows, const CellFormat& format, const QString& rowText)
{
    Table* t = FindTable(table);
    if (t == nullptr)
        return;
    RunFormat f;
    f.face = format.faceName;
    f.halfPoints = format.heightTwips / 10;
    f.bold = format.bold;
    f.italic = format.italic;
    f.underline = format.underline;
    // The object's fill is in every cell, those without a row text too.
    for (Table::Cell& cell : t->cells) {
        cell.shaded = format.fill;
        cell.shading = format.fillColor;
    }
    const QString separator = QStringLiteral("\\\\");
    qsizetype at = 0;
    auto next = [&] {
        if (at > rowText.size())
            return QString();
        qsizetype end = rowText.indexOf(separator, at);
        if (end < 0)
            end = rowText.size();
        QString piece = rowText.mid(at, end - at);
        at = end + separator.size();
        return piece;
    };
    for (int r = 1; r <= std::min(rows, t->rows); ++r) {
        QString label = next();
        QString value = next();
        // A heading row carries a "/" after both its parts ("点分析/",
        // "数值/"): the cells show the words alone, as the report does, and
        // the row is set in bold, as the report draws it. A field row keeps
        // its texts whole: a label or value holding a "/" (a folder ends
        // with one) is no heading.
        RunFormat rowFormat = f;
        if (label.endsWith(QLatin1Char('/')) && value.endsWith(QLatin1Char('/'))) {
            label.chop(1);
            value.chop(1);
            rowFormat.bold = true;
        }
        for (int c = 1; c <= 2; ++c)
            t->At(r, c)->runs = Run(rowFormat, c == 1 ? label : value);
    }
}

QByteArray DocxExport::DocumentXml() const
{
    QByteArray out = kDocumentStart;
    for (std::size_t p = 0; p < m_pages.size(); ++p) {
        QByteArray floating;
        for (const Item& item : m_pages[p]) {
            if (item.table == 0) {
                floating += item.xml;
                continue;
            }
            const Table& t = *m_tables[std::size_t(item.table - 1)];
            // The table sits in a borderless text box at its place.
            floating += Anchor(
                t.box, TextBoxShape("<a:noFill/>", Line(false, 0, 0), t.Xml() + "<w:p/>", t.box.width, t.box.height, true));
        }
        out += "<w:p><w:pPr>";
        if (p > 0)
            out += "<w:pageBreakBefore/>";
        out += "<w:spacing w:before=\"0\" w:after=\"0\"/></w:pPr>" + floating + "</w:p>";
    }
    const QByteArray width = Twips(double(m_pageWidthInches) * 72.0);
    const QByteArray height = Twips(double(m_pageHeightInches) * 72.0);
    const QByteArray margin = Twips(kMarginPoints);
    out += "<w:sectPr><w:pgSz w:w=\"" + width + "\" w:h=\"" + height + "\"/><w:pgMar w:top=\"" + margin +
           "\" w:right=\"" + margin + "\" w:bottom=\"" + margin + "\" w:left=\"" + margin +
           "\" w:header=\"0\" w:footer=\"0\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";
    return out;
}

QByteArray DocxExport::PackageBytes() const
{
    QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (std::size_t i = 0; i < m_media.size(); ++i) {
        const QByteArray n = QByteArray::number(qsizetype(i + 1));
        rels += "<Relationship Id=\"rIdImage" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\""
                " Target=\"media/image" + n + ".png\"/>";
    }
    rels += "</Relationships>";
    std::vector<ZipPart> parts;
    parts.push_back({QStringLiteral("[Content_Types].xml"), QByteArray(kContentTypes)});
    parts.push_back({QStringLiteral("_rels/.rels"), QByteArray(kPackageRels)});
    parts.push_back({QStringLiteral("word/document.xml"), DocumentXml()});
    parts.push_back({QStringLiteral("word/_rels/document.xml.rels"), rels});
    for (std::size_t i = 0; i < m_media.size(); ++i)
        parts.push_back({QStringLiteral("word/media/image%1.png").arg(i + 1), m_media[i], false});
    return ZipPackage(parts);
}

bool DocxExport::SaveAs(const QString& path)
{
    const QByteArray bytes = PackageBytes();
    if (bytes.isEmpty())
        return false;
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
