#include "content/draw_profile.h"

#include "content/chart_helpers.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/record_values.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"
#include "irimage/draw_ir.h"
#include "irimage/temperature_text.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonArray>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const DrawClass CDrawProfile::kClass{{"CDrawProfile", 0, &platform::createArchiveObject<CDrawProfile>},
                                     &CDrawRect::kClass,
                                     &CreateDrawObjForUndo<CDrawProfile>};

namespace {

constexpr int kTableFont = 760;
constexpr int kLineKind = 2;

QString Printf(const char* format, const QString& a, const QString& b, const QString& c, const QString& d)
{
    return QString::asprintf(format, a.toUtf8().constData(), b.toUtf8().constData(), c.toUtf8().constData(),
                             d.toUtf8().constData());
}

} // namespace

CDrawProfile::CDrawProfile()
{
    m_fLineCursor.fill(0.5f);
    m_lines[0].shown = 1;
    brushOn = 0;
}

CDrawProfile::CDrawProfile(DrawView* v, const DocRect& rect) : CDrawRect(v, rect)
{
    m_fLineCursor.fill(0.5f);
    m_lines[0].shown = 1;
    brushOn = 0;
}

// ---- record

void CDrawProfile::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawObj::Serialize(ar);
    ar.writeI32(m_nIRNumber);
    ar.writeI32(m_bGrid);
    ar.writeI32(m_bLegend);
    ar.writeI32(m_bAxisTable);
    ar.writeI32(m_bResultTable);
    ar.writeI32(m_nAlignment);
    ar.writeI32(m_nScaleMode);
    ar.writeF32(m_fCustomMax);
    ar.writeF32(m_fCustomMin);
    ar.writeU32(m_clrDivider);
    ar.writeF32(m_fCursor);
    ar.writeU32(m_clrText);
    for (int i = 0; i < kLines; ++i) {
        ar.writeU32(m_clrLine[std::size_t(i)]);
        ar.writeI32(m_lines[std::size_t(i)].shown);
        ar.writeF32(m_fLineCursor[std::size_t(i)]);
    }
}

void CDrawProfile::Serialize(platform::ArchiveReader& ar)
{
    CDrawObj::Serialize(ar);
    m_nIRNumber = ar.readI32();
    m_bGrid = ar.readI32();
    m_bLegend = ar.readI32();
    m_bAxisTable = ar.readI32();
    m_bResultTable = ar.readI32();
    m_nAlignment = ar.readI32();
    m_nScaleMode = ar.readI32();
    m_fCustomMax = ar.readF32();
    m_fCustomMin = ar.readF32();
    m_clrDivider = ar.readU32();
    m_fCursor = record_values::ReadFinite(ar);
    m_clrText = ar.readU32();
    for (int i = 0; i < kLines; ++i) {
        m_clrLine[std::size_t(i)] = ar.readU32();
        m_lines[std::size_t(i)].shown = ar.readI32();
        m_fLineCursor[std::size_t(i)] = record_values::ReadFinite(ar);
        // The samples of the last draw no longer count.
        m_nSampleCount[std::size_t(i)] = 0;
    }
}

void CDrawProfile::Dump(QJsonObject& out) const
{
    CDrawObj::Dump(out);
    out[QStringLiteral("imageNumber")] = m_nIRNumber;
    out[QStringLiteral("grid")] = m_bGrid;
    out[QStringLiteral("legend")] = m_bLegend;
    out[QStringLiteral("axisTable")] = m_bAxisTable;
    out[QStringLiteral("resultTable")] = m_bResultTable;
    out[QStringLiteral("alignment")] = m_nAlignment;
    out[QStringLiteral("scaleMode")] = m_nScaleMode;
    out[QStringLiteral("customMax")] = double(m_fCustomMax);
    out[QStringLiteral("customMin")] = double(m_fCustomMin);
    out[QStringLiteral("dividerColor")] = qint64(m_clrDivider);
    out[QStringLiteral("cursor")] = double(m_fCursor);
    out[QStringLiteral("textColor")] = qint64(m_clrText);
    QJsonArray lines;
    for (int i = 0; i < kLines; ++i) {
        QJsonObject line;
        line[QStringLiteral("color")] = qint64(m_clrLine[std::size_t(i)]);
        line[QStringLiteral("shown")] = m_lines[std::size_t(i)].shown;
        line[QStringLiteral("cursor")] = double(m_fLineCursor[std::size_t(i)]);
        lines.append(line);
    }
    out[QStringLiteral("lines")] = lines;
}

// ---- handles, commands

HandleCursor CDrawProfile::GetHandleCursor(int handle) const
{
    return handle == kCursorHandle ? HandleCursor::SizeWE : CDrawObj::GetHandleCursor(handle);
}

int CDrawProfile::HitTest(QPoint point, DrawView* v, bool selected, int flag)
{
    const DocRect bar = m_rcCursorBar.Normalized();
    if (bar.Width() > 0 && bar.left <= point.x() && point.x() <= bar.right && bar.top <= point.y() &&
        point.y() <= bar.bottom)
        return kCursorHandle;
    return CDrawObj::HitTest(point, v, selected, flag);
}

bool CDrawProfile::Intersects(const DocRect& rect) { return CDrawObj::Intersects(rect); }

void CDrawProfile::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
{
    if (handle != kCursorHandle) {
        CDrawObj::MoveHandleTo(handle, point, flags, v);
        return;
    }
    m_cursor.plot = m_rcPlot;
    m_cursor.fraction = m_fCursor;
    auto series = Series();
    chart::DragCursor(point.x(), series, m_cursor);
    m_fCursor = m_cursor.fraction;
    m_rcCursorBar = m_cursor.bar;
    // The chart and the image's markers show the new cursor.
    if (DrawView* target = v != nullptr ? v : view)
        target->InvalObj(this);
    if (DrawView* target = v != nullptr ? v : view) {
        for (CDrawObj* ir : target->GetIRObjects()) {
            if (AsIRImage(ir) != nullptr && AsIRImage(ir)->GetIRNumber() == m_nIRNumber)
                target->InvalObj(ir);
        }
    }
}

int CDrawProfile::DoCommand(unsigned id, const QString& text, int value)
{
    if (id == kFormatCommand && text == QLatin1String("7")) {
        m_clrText = COLORREF(value);
        InvalidateIn(view);
    }
    return CDrawObj::DoCommand(id, text, 0);
}

int CDrawProfile::GetPopupMenuIndex() const
{
    return view == nullptr || view->GetSelection().size() < 2 ? kPopupMenu : 0;
}

float CDrawProfile::ProfileCursorPosition(int lineNumber) const
{
    if (lineNumber < 1 || lineNumber > kLines)
        return -1.0f;
    return m_fLineCursor[std::size_t(lineNumber - 1)];
}

// ---- sampling

int CDrawProfile::SamplePlaces(int x1, int y1, int x2, int y2)
{
    const std::int64_t dx = std::llabs(std::int64_t(x2) - x1);
    const std::int64_t dy = std::llabs(std::int64_t(y2) - y1);
    return ClampToInt(std::max(dx, dy) + 10);
}

DocumentEnvironment& CDrawProfile::Env() const
{
    return document != nullptr ? document->Environment() : DefaultDocumentEnvironment();
}

CDrawIR* CDrawProfile::LinkedImage() const
{
    if (view == nullptr)
        return nullptr;
    return dynamic_cast<CDrawIR*>(view->FindIRObject(m_nIRNumber));
}

void CDrawProfile::ComputeProfiles()
{
    m_hasImage = false;
    CDrawIR* ir = LinkedImage();
    if (ir == nullptr || !ir->HasImage())
        return;
    m_hasImage = true;
    const int unit = Env().TempUnit();
    const float high = chart::ToUnit(ir->m_fFileHigh, unit);
    const float low = chart::ToUnit(ir->m_fFileLow, unit);
    m_fRangeHigh = high;
    m_fRangeLow = low;
    for (int i = 0; i < kLines; ++i) {
        const std::size_t s = std::size_t(i);
        LineRecord& line = m_lines[s];
        line.labelHigh = high;
        line.labelLow = low;
        m_samples[s].clear();
        m_nSampleCount[s] = 0;
        if (line.shown == 0) {
            ir->GetAnalysisName(kLineKind, i + 1, m_strLineName[s]);
            continue;
        }
        IRShape shape;
        float emissivity = 0;
        float distance = 0;
        float background = 0;
        if (!ir->FindLine(i + 1, shape, emissivity, distance, background, m_strLineName[s]))
            continue;
        int count = SamplePlaces(shape.left, shape.top, shape.right, shape.bottom);
        std::vector<float> buffer(static_cast<std::size_t>(count));
        if (ir->Image().LineProfile(shape.left, shape.top, shape.right, shape.bottom, emissivity, distance, background,
                                    buffer.data(), &count) == 0 ||
            count <= 0 || count > int(buffer.size()))
            continue; // a failed call or a line of no length: no samples
        buffer.resize(std::size_t(count));
        line.maximum = buffer[0];
        line.minimum = buffer[0];
        for (float v : buffer) {
            if (v > line.maximum)
                line.maximum = v;
            if (v < line.minimum)
                line.minimum = v;
        }
        m_samples[s] = std::move(buffer);
        m_nSampleCount[s] = count;
    }
}

void CDrawProfile::ComputeAutoRange()
{
    bool any = false;
    float maximum = 0;
    float minimum = 0;
    for (int i = 0; i < kLines; ++i) {
        if (m_nSampleCount[std::size_t(i)] <= 0)
            continue;
        const LineRecord& line = m_lines[std::size_t(i)];
        if (!any) {
            maximum = line.maximum;
            minimum = line.minimum;
            any = true;
            continue;
        }
        if (line.maximum > maximum)
            maximum = line.maximum;
        if (line.minimum < minimum)
            minimum = line.minimum;
    }
    const chart::IntRange r = chart::AutoScale(minimum, maximum, any);
    m_nAutoMin = r.min;
    m_nAutoMax = r.max;
}

int CDrawProfile::GetMaxSampleCount() const
{
    int n = 0;
    for (int c : m_nSampleCount)
        n = std::max(n, c);
    return n;
}

// ---- drawing

std::array<chart::CurveSeries, CDrawProfile::kLines> CDrawProfile::Series()
{
    return chart::MakeSeries(m_samples, m_nSampleCount, m_clrLine, m_lines, m_fLineCursor);
}

void CDrawProfile::DrawLegend(PageDC& dc, const DocRect& rect, int lowest)
{
    std::vector<chart::LegendEntry> entries;
    for (int i = 0; i < kLines; ++i) {
        if (m_lines[std::size_t(i)].shown != 0)
            entries.push_back({m_strLineName[std::size_t(i)], m_clrLine[std::size_t(i)]});
    }
    // A stroke in the line's colour, then its name.
    chart::DrawLegendBox(dc, rect, chart::Text(Env(), chart::text::kLineChartTitle), entries,
                         chart::LegendLayout{130, 0, 120, lowest}, m_clrText);
}

QStringList CDrawProfile::ResultRows() const
{
    const QString none = chart::Text(Env(), chart::text::kNone);
    QStringList rows;
    for (int i = 0; i < kLines; ++i) {
        const std::size_t s = std::size_t(i);
        const LineRecord& line = m_lines[s];
        if (line.shown == 0 || m_strLineName[s] == none)
            continue;
        const bool hasSamples = m_nSampleCount[s] > 0;
        const QString maximum = hasSamples ? FormatTempLabel(line.maximum, line.labelHigh, line.labelLow) : QStringLiteral("-");
        const QString minimum = hasSamples ? FormatTempLabel(line.minimum, line.labelHigh, line.labelLow) : QStringLiteral("-");
        const int count = std::min<std::int64_t>(m_nSampleCount[s], std::int64_t(m_samples[s].size()));
        const float* at = chart::SampleAtCursor(m_samples[s].data(), count, m_fLineCursor[s]);
        const QString cursor = at != nullptr ? FormatTempLabel(*at, line.labelHigh, line.labelLow) : QStringLiteral("-");
        rows << Printf("  %s      %s         %s       %s ", m_strLineName[s], maximum, minimum, cursor);
    }
    return rows;
}

void CDrawProfile::DrawResultTable(PageDC& dc, const DocRect& rect)
{
    const DocumentEnvironment& env = Env();
    QStringList lines;
    lines << Printf("  %s         %s         %s        %s ", chart::Text(env, chart::text::kLine),
                    QStringLiteral("MAX"), QStringLiteral("Min"), chart::Text(env, chart::text::kCursor));
    lines << ResultRows();
    chart::DrawTableRows(dc, rect, lines, kTableFont, m_clrText);
}

void CDrawProfile::DrawChart(PageDC& dc, const DocRect& rect)
{
    DocumentEnvironment& env = Env();
    const int unit = env.TempUnit();
    ComputeProfiles();
    if (m_nScaleMode == 1)
        ComputeAutoRange();
    const QString none = chart::Text(env, chart::text::kNone);
    m_nShownCount = 0;
    for (int i = 0; i < kLines; ++i) {
        if (m_lines[std::size_t(i)].shown != 0 && m_strLineName[std::size_t(i)] != none)
            ++m_nShownCount;
    }
    const int row = chart::RowHeight(kTableFont);
    const int tableHeight = m_bResultTable != 0 ? (m_nShownCount + 1) * row + 150 : 100;

    const chart::IntRange image = chart::ImageScaleOf(LinkedImage(), unit);
    m_nImageMin = image.min;
    m_nImageMax = image.max;
    m_strUnit = chart::UnitText(env, unit);

    const DocRect object = rect.Normalized();
    const int pen = penOn != 0 ? ScaledPenWidth(this->pen.widthX) : 0;
    const DocRect inner = chart::Deflated(object, pen);
    const int rightMargin = 100 + (m_bLegend != 0 ? 700 : 0);
    if (inner.Width() < 300 + rightMargin || inner.Height() < std::int64_t(tableHeight) + 100)
        return;
    const DocRect plot(inner.left + 300, inner.top + tableHeight, inner.right - rightMargin, inner.bottom - 100);

    chart::CurveChartLook look = chart::LookOf(*this, m_hasImage, m_fRangeLow, m_fRangeHigh);
    const chart::IntRange scale = chart::ModeScale(m_nScaleMode, image, chart::IntRange{m_nAutoMin, m_nAutoMax},
                                                   m_fCustomMin, m_fCustomMax, unit);
    auto series = Series();
    m_cursor.fraction = m_fCursor;
    chart::DrawScaledCurves(dc, plot, m_nScaleMode, scale, series, m_cursor, look);
    m_rcCursorBar = m_cursor.bar;
    m_rcPlot = m_cursor.plot;

    if (m_bResultTable != 0)
        DrawResultTable(dc, DocRect(plot.left, object.top + 100, plot.right, plot.top - 50));
    if (m_bLegend != 0)
        // Rows that do not fit the box go on down the free column beside
        // the result table, as far as the chart's frame.
        DrawLegend(dc, DocRect(plot.right + 50, plot.top, plot.right + 700, object.bottom - 100), inner.top);
}

void CDrawProfile::Draw(PageDC& dc)
{
    // The chart keeps its least size; the document is not marked modified.
    chart::ApplyMinimumSize(position, kMinWidth, kMinHeight);
    if (!chart::DrawChartFrame(dc, *this))
        return;
    DrawChart(dc, position);
    chart::DrawChartNumber(dc, *this, m_nIRNumber);
}

QImage CDrawProfile::RenderExportImage()
{
    const DocRect r = position.Normalized();
    return chart::RenderChartPicture(r, [&](PageDC& dc) {
        chart::DrawChartFrame(dc, *this);
        DrawChart(dc, r);
    });
}

void CDrawProfile::ExportToWord(CWordExport& exporter)
{
    chart::ExportChartPicture(exporter, position, RenderExportImage());
}
