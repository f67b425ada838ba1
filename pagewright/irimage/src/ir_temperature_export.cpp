// CDrawIR: the temperatures of the shown image as a workbook (.xlsx).
//
// Sheet 1 ("第1页") holds the title in row 1 and the file's information in
// row 2 (both merged over A to Z), then the data. Data column d (0, 1, ...)
// lies on sheet 1 + d / 255: on the first sheet in column d + 2 below a
// head row 3, on the following ones in column d - 255 k + 2 below a head
// row 1 (a line: rows 2 and 3). Column A holds the row heads of every sheet.
#include "irimage/draw_ir.h"

#include "irimage/ir_strings.h"
#include "irimage/workbook_file.h"

#include "document/document_environment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kColumnsPerSheet = 255;

int SheetOf(int d) { return d / kColumnsPerSheet; }
int ColumnOf(int d) { return d - kColumnsPerSheet * SheetOf(d) + 2; }
int SheetsFor(int columns) { return columns <= kColumnsPerSheet ? 1 : (columns + kColumnsPerSheet - 1) / kColumnsPerSheet; }

char* FormatTemp(char (&buffer)[32], float t)
{
    // No temperature (Thermcore's bad-handle value): the cell stays empty.
    if (!thermcore::IsTemperature(t)) {
        buffer[0] = '\0';
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%4.2f", double(t));
    return buffer;
}

} // namespace

int CDrawIR::ExportColumnCount(int step, int target) const
{
    if (target < 0) {
        const int n = std::clamp(step, 1, 4);
        return (ImageWidth() + n - 1) / n;
    }
    const IRAnalysisItem& item = m_analyses[std::size_t(target)];
    switch (item.kind) {
    case kAnalysisPoint: return 1;
    case kAnalysisLine: return m_image->LinePointCount();
    case kAnalysisRect:
    case kAnalysisEllipse: return std::abs(item.shape.right - item.shape.left);
    default: return 0;
    }
}

bool CDrawIR::ExportTemperatures(const QString& path, int step, int target, QString* error)
{
    DocumentEnvironment& env = Environment();
    if (!HasImage() || target >= int(m_analyses.GetSize())) {
        if (error != nullptr)
            *error = IRString(env, ir_string::kNoImage);
        return false;
    }
    const IRAnalysisItem* item = target >= 0 ? &m_analyses[std::size_t(target)] : nullptr;
    if (item != nullptr && item->kind == kAnalysisLine)
        ComputeAnalysis(std::size_t(target));

    // The workbook goes to a scratch file beside the target first.
    WorkbookFile book(path);
    if (!book.IsOpen()) {
        if (error != nullptr)
            *error = book.Error();
        return false;
    }
    const int columns = ExportColumnCount(step, target);
    const int sheets = item != nullptr && item->kind == kAnalysisPoint ? 1 : SheetsFor(columns);
    const QString sheetFormat = IRString(env, ir_string::kSheetName);
    for (int s = 1; s <= sheets; ++s) {
        book.AddSheet(WorkbookSheetName(sheetFormat, s));
    }

    // Rows 1 and 2: the title and the information line.
    QString title;
    if (item != nullptr) {
        const int word = item->kind == kAnalysisPoint  ? doc_string::kPointWord
                         : item->kind == kAnalysisLine ? doc_string::kLineWord
                                                        : doc_string::kAreaWord;
        title = IRString(env, ir_string::kTargetTitle) + env.LoadString(word) +
                QString::asprintf("%02d", int(item->number));
    } else {
        title = IRString(env, ir_string::kGridTitle).replace(QLatin1String("%d"), QString::number(step * step));
    }
    const QString info = IRString(env, ir_string::kFieldGroupHeading) + IRString(env, 33202) +
                         QStringLiteral(": ") + m_strFileName + QStringLiteral("  ") + IRString(env, 33201) +
                         QStringLiteral(": ") +
                         QDateTime::fromSecsSinceEpoch(m_timeCreated).toString(QStringLiteral("yyyy-MM-dd: HH:mm:ss")) +
                         QStringLiteral("  ") + IRString(env, 33203) + QStringLiteral(": ") + m_strFolder;
    book.MergeRow(0, 1, title);
    book.MergeRow(0, 2, info);

    char buffer[32];
    const auto temp = [&](int x, int y) {
        float t = 0;
        m_image->GetPointTemp(x, y, m_fEmissivity, m_fDistance, m_fBackground, &t);
        return FormatTemp(buffer, t);
    };
    const QString position = IRString(env, ir_string::kPosition);
    const QString temperature = IRString(env, 33500);

    if (item != nullptr && item->kind == kAnalysisPoint) {
        book.Put(0, 3, 1, position);
        book.Put(0, 3, 2, QStringLiteral("%1, %2").arg(item->shape.left).arg(item->shape.top));
        book.Put(0, 4, 1, temperature);
        book.Put(0, 4, 2, temp(item->shape.left, item->shape.top));
    } else if (item != nullptr && item->kind == kAnalysisLine) {
        book.Put(0, 3, 1, position);
        book.Put(0, 4, 1, temperature);
        const std::vector<IfrPoint>& points = m_image->LinePoints();
        const int count = std::min<int>(m_image->LinePointCount(), int(points.size()));
        for (int k = 0; k < count; ++k) {
            const int s = SheetOf(k);
            const int row = s == 0 ? 3 : 2;
            const IfrPoint& p = points[std::size_t(k)];
            book.Put(s, row, ColumnOf(k), QStringLiteral("%1, %2").arg(p.x).arg(p.y));
            book.Put(s, row + 1, ColumnOf(k), temp(p.x, p.y));
        }
    } else if (item == nullptr || item->kind == kAnalysisRect || item->kind == kAnalysisEllipse) {
        // The grid: x0 + d * n for d < columns, y0 + r * n for r < rows.
        int x0 = 0, y0 = 0, n = std::clamp(step, 1, 4), rows = 0;
        bool pixelHeads = false;
        if (item == nullptr) {
            rows = (ImageHeight() + n - 1) / n;
        } else {
            n = 1;
            x0 = std::min(item->shape.left, item->shape.right);
            y0 = std::min(item->shape.top, item->shape.bottom);
            rows = std::abs(item->shape.bottom - item->shape.top);
            pixelHeads = true;
        }
        const bool ellipse = item != nullptr && item->kind == kAnalysisEllipse;
        // An ellipse keeps the pixels strictly inside the circle of radius
        // w / 2 around the rectangle's centre (integer halves).
        const int centreX = (x0 + x0 + columns) / 2, centreY = (y0 + y0 + rows) / 2, radius = columns / 2;
        const auto headX = [&](int d) { return QStringLiteral("X%1").arg(pixelHeads ? x0 + d : d); };
        const auto headY = [&](int r) { return QStringLiteral("Y%1").arg(pixelHeads ? y0 + r : r); };
        for (int d = 0; d < columns; ++d)
            book.Put(SheetOf(d), SheetOf(d) == 0 ? 3 : 1, ColumnOf(d), headX(d));
        for (int s = sheets - 1; s >= 0; --s) {
            for (int r = 0; r < rows; ++r)
                book.Put(s, s == 0 ? r + 4 : r + 2, 1, headY(r));
        }
        for (int d = 0; d < columns; ++d) {
            const int s = SheetOf(d);
            const int x = x0 + d * n;
            for (int r = 0; r < rows; ++r) {
                const int y = y0 + r * n;
                if (ellipse && !(std::sqrt(double(centreX - x) * (centreX - x) + double(centreY - y) * (centreY - y)) <
                                 double(radius)))
                    continue;
                book.Put(s, s == 0 ? r + 4 : r + 2, ColumnOf(d), temp(x, y));
            }
        }
    }

    if (!book.Commit()) {
        if (error != nullptr)
            *error = book.RenameFailed() ? IRString(env, ir_string::kTargetInUse) : book.Error();
        return false;
    }
    return true;
}
