// CDrawTimeProfile: drawing on the page and the picture of the export.
#include "content/draw_time_profile.h"

#include "content/chart_helpers.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"
#include "irimage/draw_ir.h"
#include "irimage/temperature_text.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTableFont = 760;
constexpr int kAxisFont = 700;
constexpr int kSingleSampleMark = 40;

QString Columns(const QString& a, const QString& b, const QString& c)
{
    return QString::asprintf("                         %s         %s        %s ", a.toUtf8().constData(),
                             b.toUtf8().constData(), c.toUtf8().constData());
}

// The time axis's label step by units per time step.
int TimeLabelStep(double w)
{
    if (w > 200)
        return 1;
    if (w > 40)
        return 5;
    if (w > 20)
        return 10;
    if (w > 4)
        return 50;
    return 100;
}

// The width of one character of the table font in page units.
double CharWidth()
{
    QFont font = chart::ChartFont();
    font.setPixelSize(std::max(1, chart::PointFontHeight(kTableFont)));
    return QFontMetricsF(font).horizontalAdvance(QStringLiteral("Abcd")) / 4.0;
}

} // namespace

// ---- the parts

std::array<chart::CurveSeries, CDrawTimeProfile::kCurves> CDrawTimeProfile::Series()
{
    return chart::MakeSeries(m_samples, m_nSampleCount, m_clrCurve, m_curves, m_fCurveCursor);
}

void CDrawTimeProfile::DrawTimeAxis(PageDC& dc, const DocRect& plot, int timePoints)
{
    const DocRect p = plot.Normalized();
    const int n = timePoints - 1;
    if (n <= 0 || p.Width() <= 0)
        return;
    const double w = double(p.Width()) / n;
    const int step = TimeLabelStep(w);
    // Labels right of their ticks, inside the 100 units above the tables.
    const int labelY = p.top - 5;
    const auto mark = [&](int i, int x) {
        const bool labelled = i % step == 0 || i == n;
        dc.SelectPen(chart::ThinPen(0));
        dc.Line(QPoint(x, p.top), QPoint(x, p.top - (labelled ? 100 : 30)));
        if (!labelled)
            return;
        if (m_bGrid != 0 && i != 0 && i != n) {
            dc.SelectPen(chart::GridPen());
            dc.Line(QPoint(x, p.top), QPoint(x, p.bottom));
        }
        chart::TextAt(dc, x + 15, labelY, QString::number(i), kAxisFont, m_clrText);
    };
    for (int i = 0; i < n; ++i)
        mark(i, TruncToInt(double(p.left) + i * w));
    mark(n, p.right);
}

QStringList CDrawTimeProfile::ResultRows() const
{
    const QString none = chart::Text(Env(), chart::text::kNone);
    QStringList rows;
    for (int i = 0; i < kCurves; ++i) {
        const std::size_t s = std::size_t(i);
        const CurveRecord& curve = m_curves[s];
        if (curve.shown == 0 || m_strCurveName[s] == none)
            continue;
        // The fifth and ninth curves show their values unlimited.
        const bool plain = i == 4 || i == 8;
        const auto format = [&](float v) {
            return plain ? QString::asprintf("%.1f", double(v)) : FormatTempLabel(v, curve.labelHigh, curve.labelLow);
        };
        const int count = std::min<std::int64_t>(m_nSampleCount[s], std::int64_t(m_samples[s].size()));
        const bool hasSamples = count > 0;
        const float* at = chart::SampleAtCursor(m_samples[s].data(), count, m_fCurveCursor[s]);
        rows << m_strCurveName[s] + QLatin1Char('\t') +
                    Columns(hasSamples ? format(curve.maximum) : QStringLiteral("-"),
                            hasSamples ? format(curve.minimum) : QStringLiteral("-"),
                            at != nullptr ? format(*at) : QStringLiteral("-"));
    }
    return rows;
}

void CDrawTimeProfile::DrawResultTable(PageDC& dc, const DocRect& rect)
{
    const DocumentEnvironment& env = Env();
    QStringList lines;
    lines << QStringLiteral("  ") + chart::Text(env, chart::text::kLine) + QLatin1Char('\t') +
                 Columns(QStringLiteral("MAX"), QStringLiteral("Min"), chart::Text(env, chart::text::kCursor));
    for (const QString& row : ResultRows())
        lines << QStringLiteral("  ") + row;
    chart::DrawTableRows(dc, rect, lines, kTableFont, m_clrText);
}

QStringList CDrawTimeProfile::AxisTableLines(int drawingWidth) const
{
    QStringList lines;
    CDrawIR* ir = LinkedImage();
    if (ir == nullptr)
        return lines;
    const double charWidth = CharWidth();
    const double limit = double(drawingWidth) - 400;
    QString line;
    for (int t = 0; t < ir->FileCount(); ++t) {
        const QString entry = QStringLiteral(" %1: %2  ").arg(t).arg(ir->Files()[std::size_t(t)].path);
        if (!line.isEmpty() && double(line.size() + entry.size()) * charWidth >= limit) {
            lines << line;
            line.clear();
        }
        line += entry;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

void CDrawTimeProfile::DrawAxisTable(PageDC& dc, const DocRect& rect)
{
    chart::DrawTableRows(dc, rect, m_axisLines, kTableFont, m_clrText);
}

void CDrawTimeProfile::DrawLegend(PageDC& dc, const DocRect& rect)
{
    std::vector<chart::LegendEntry> entries;
    for (int i = 0; i < kCurves; ++i) {
        if (m_curves[std::size_t(i)].shown != 0)
            entries.push_back({m_strCurveName[std::size_t(i)], m_clrCurve[std::size_t(i)]});
    }
    // The name, then a stroke in the curve's colour.
    chart::DrawLegendBox(dc, rect, chart::Text(Env(), chart::text::kTrendChartTitle), entries,
                         chart::LegendLayout{0, 750, 850, rect.Normalized().top}, m_clrText);
}

// ---- the whole chart

void CDrawTimeProfile::DrawChart(PageDC& dc, DocRect& rect, bool exporting)
{
    DocumentEnvironment& env = Env();
    const int unit = env.TempUnit();
    const QString none = chart::Text(env, chart::text::kNone);
    CDrawIR* ir = LinkedImage();
    if (ir == nullptr)
        m_strCurveName.fill(none);

    // Refresh: the export always collects; the page when something changed.
    if (ir != nullptr) {
        if (exporting || NeedsCollecting()) {
            // The page's draw clears the image's flag; the export leaves it.
            const std::uint8_t changed = ir->m_bChanged;
            m_nLastIRNumber = m_nIRNumber;
            CollectCurves();
            ir->m_bChanged = exporting ? changed : 0;
        }
    } else {
        m_hasImage = false;
    }
    if (m_nScaleMode == 1)
        ComputeAutoRange();

    m_nNamedCount = 0;
    for (int i = 0; i < kCurves; ++i) {
        if (m_curves[std::size_t(i)].shown != 0 && m_strCurveName[std::size_t(i)] != none)
            ++m_nNamedCount;
    }
    const int row = chart::RowHeight(kTableFont);

    // The image's scale and the label limits (none without an image).
    const chart::IntRange image = chart::ImageScaleOf(ir, unit);
    m_nImageMin = image.min;
    m_nImageMax = image.max;
    if (ir == nullptr || !ir->HasImage())
        m_hasImage = false;
    m_strUnit = chart::UnitText(env, unit);

    if (!exporting)
        chart::ApplyMinimumSize(rect, kMinWidth, kMinHeight);
    const DocRect object = rect.Normalized();
    const int pen = penOn != 0 ? ScaledPenWidth(this->pen.widthX) : 0;
    const DocRect inner = chart::Deflated(object, pen);

    // Margins: the legend at the right; the tables below the plot.
    m_axisLines = ir != nullptr && m_bAxisTable != 0 ? AxisTableLines(int(inner.Width())) : QStringList();
    const int axisHeight = m_axisLines.isEmpty() ? 0 : int(m_axisLines.size()) * row + 50;
    const int resultHeight = m_bResultTable != 0 ? (m_nNamedCount + 1) * row : 0;
    const int rightMargin = m_bLegend != 0 ? 1100 : 100;
    const int lowerMargin = 150 + axisHeight + resultHeight;
    if (inner.Width() < std::int64_t(rightMargin) + 300 || inner.Height() < std::int64_t(lowerMargin) + 100)
        return;
    const DocRect plot(inner.left + 300, inner.top + lowerMargin, inner.right - rightMargin, inner.bottom - 100);

    const int timePoints = ir == nullptr ? 0 : m_bMultiObject != 0 ? m_nTimePoints : ir->FileCount();
    chart::CurveChartLook look = chart::LookOf(*this, m_hasImage, m_fRangeLow, m_fRangeHigh);
    look.singleSampleMark = kSingleSampleMark;
    const chart::IntRange scale = chart::ModeScale(m_nScaleMode, image, chart::IntRange{m_nAutoMin, m_nAutoMax},
                                                   m_fCustomMin, m_fCustomMax, unit);
    auto series = Series();
    m_cursor.fraction = m_fCursor;
    chart::DrawScaledCurves(dc, plot, m_nScaleMode, scale, series, m_cursor, look,
                            [&] { DrawTimeAxis(dc, plot, timePoints); });
    m_rcCursorBar = m_cursor.bar;
    m_rcPlot = m_cursor.plot;

    // Under the plot: the time labels, the result table, the caption table.
    int below = plot.top - 100;
    if (m_bResultTable != 0) {
        DrawResultTable(dc, DocRect(plot.left, below - resultHeight, plot.right, below));
        below -= resultHeight + 50;
    }
    if (axisHeight > 0)
        DrawAxisTable(dc, DocRect(plot.left, below - (axisHeight - 50), plot.right, below));
    if (m_bLegend != 0)
        DrawLegend(dc, DocRect(plot.right + 50, plot.top, plot.right + 1000, plot.bottom));
}

void CDrawTimeProfile::Draw(PageDC& dc)
{
    if (view == nullptr)
        return;
    // A new link makes its image collect (and any other chart on it).
    if (m_nLastIRNumber != m_nIRNumber) {
        if (CDrawIR* ir = LinkedImage())
            ir->m_bChanged = 1;
    }
    // The chart keeps its least size; the document is not marked modified.
    chart::ApplyMinimumSize(position, kMinWidth, kMinHeight);
    if (!chart::DrawChartFrame(dc, *this))
        return;
    DrawChart(dc, position, false);
    chart::DrawChartNumber(dc, *this, m_nIRNumber);
}

QImage CDrawTimeProfile::RenderExportImage()
{
    DocRect r = position.Normalized();
    return chart::RenderChartPicture(r, [&](PageDC& dc) { DrawChart(dc, r, true); });
}

void CDrawTimeProfile::ExportToWord(CWordExport& exporter)
{
    chart::ExportChartPicture(exporter, position, RenderExportImage());
}
