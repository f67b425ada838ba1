#include "content/draw_histogram.h"

#include "content/chart_helpers.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"
#include "irimage/draw_ir.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

const DrawClass CDrawHistogram::kClass{{"CDrawHistogram", 0, &platform::createArchiveObject<CDrawHistogram>},
                                       &CDrawRect::kClass,
                                       &CreateDrawObjForUndo<CDrawHistogram>};

namespace {

constexpr int kLabelFont = 760;
constexpr COLORREF kBelowColor = 0xC80000;
constexpr COLORREF kAboveColor = 0x0000C8;
// The export shows only the frame below this size.
constexpr int kExportMinWidth = 600;
constexpr int kExportMinHeight = 550;
// More ticks than this on one axis are more than any device shows.
constexpr std::int64_t kMaxTicks = 20000;
// An area of more pixels is not sampled (no image is that large).
constexpr std::int64_t kMaxAreaSamples = std::int64_t(1) << 26;

} // namespace

CDrawHistogram::CDrawHistogram() { brushOn = 0; }

CDrawHistogram::CDrawHistogram(DrawView* v, const DocRect& rect) : CDrawRect(v, rect) { brushOn = 0; }

CDrawHistogram::~CDrawHistogram() = default;

// ---- record

void CDrawHistogram::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawObj::Serialize(ar);
    ar.writeI32(m_nIRNumber);
    ar.writeI32(m_bLineMode);
    ar.writeI32(m_nLineNumber);
    ar.writeI32(m_nAreaNumber);
    ar.writeI32(m_bOutOfRange);
    ar.writeI32(m_bLevelValues);
    ar.writeI32(m_bLevelRanges);
    ar.writeI32(m_bTitle);
    ar.writeI32(m_bGrid);
    ar.writeI32(m_nBins);
    ar.writeU32(m_clrBar);
    ar.writeI32(m_bCustomScale);
    ar.writeF32(m_fCustomMax);
    ar.writeF32(m_fCustomMin);
    ar.writeU32(m_clrText);
}

void CDrawHistogram::Serialize(platform::ArchiveReader& ar)
{
    CDrawObj::Serialize(ar);
    m_nIRNumber = ar.readI32();
    m_bLineMode = ar.readI32();
    m_nLineNumber = ar.readI32();
    m_nAreaNumber = ar.readI32();
    m_bOutOfRange = ar.readI32();
    m_bLevelValues = ar.readI32();
    m_bLevelRanges = ar.readI32();
    m_bTitle = ar.readI32();
    m_bGrid = ar.readI32();
    m_nBins = ar.readI32();
    m_clrBar = ar.readU32();
    m_bCustomScale = ar.readI32();
    m_fCustomMax = ar.readF32();
    m_fCustomMin = ar.readF32();
    m_clrText = ar.readU32();
    m_samples.clear();
    m_nSampleCount = 0;
}

void CDrawHistogram::Dump(QJsonObject& out) const
{
    CDrawObj::Dump(out);
    out[QStringLiteral("imageNumber")] = m_nIRNumber;
    out[QStringLiteral("lineMode")] = m_bLineMode;
    out[QStringLiteral("lineNumber")] = m_nLineNumber;
    out[QStringLiteral("areaNumber")] = m_nAreaNumber;
    out[QStringLiteral("outOfRange")] = m_bOutOfRange;
    out[QStringLiteral("levelValues")] = m_bLevelValues;
    out[QStringLiteral("levelRanges")] = m_bLevelRanges;
    out[QStringLiteral("title")] = m_bTitle;
    out[QStringLiteral("grid")] = m_bGrid;
    out[QStringLiteral("bins")] = m_nBins;
    out[QStringLiteral("barColor")] = qint64(m_clrBar);
    out[QStringLiteral("customScale")] = m_bCustomScale;
    out[QStringLiteral("customMax")] = double(m_fCustomMax);
    out[QStringLiteral("customMin")] = double(m_fCustomMin);
    out[QStringLiteral("textColor")] = qint64(m_clrText);
}

// ---- commands

bool CDrawHistogram::Intersects(const DocRect& rect) { return CDrawObj::Intersects(rect); }

int CDrawHistogram::DoCommand(unsigned id, const QString& text, int value)
{
    if (id == kFormatCommand && text == QLatin1String("7")) {
        m_clrText = COLORREF(value);
        InvalidateIn(view);
    }
    return CDrawObj::DoCommand(id, text, 0);
}

int CDrawHistogram::GetPopupMenuIndex() const
{
    return view == nullptr || view->GetSelection().size() < 2 ? kPopupMenu : 0;
}

// ---- pure steps

std::vector<float> CDrawHistogram::ComputeEdges(int n, float max, float min)
{
    if (n < 1)
        return {};
    std::vector<float> e(std::size_t(n) + 1);
    const float width = (max - min) / float(n);
    e[0] = min;
    for (int i = 1; i < n; ++i)
        e[std::size_t(i)] = e[std::size_t(i) - 1] + width;
    e[std::size_t(n)] = max;
    return e;
}

CDrawHistogram::Bins CDrawHistogram::CountBins(std::span<const float> samples, std::span<const float> edges,
                                               bool outOfRange)
{
    Bins b;
    if (edges.size() < 2)
        return b;
    const std::size_t n = edges.size() - 1;
    b.counts.assign(n, 0);
    const float first = edges.front();
    const float last = edges.back();
    for (float v : samples) {
        if (v < first) {
            ++b.below;
        } else if (v >= last) {
            ++b.above;
        } else if (v == v) {
            // The first bin whose upper edge lies above v (edges rise).
            const auto upper = std::upper_bound(edges.begin() + 1, edges.end(), v);
            if (upper != edges.end())
                ++b.counts[std::size_t(upper - edges.begin() - 1)];
        }
    }
    for (int c : b.counts)
        b.tallest = std::max(b.tallest, c);
    if (outOfRange)
        b.tallest = std::max({b.tallest, b.below, b.above});
    return b;
}

// ---- the steps of a draw

DocumentEnvironment& CDrawHistogram::Env() const
{
    return document != nullptr ? document->Environment() : DefaultDocumentEnvironment();
}

CDrawIR* CDrawHistogram::LinkedImage() const
{
    if (view == nullptr)
        return nullptr;
    return dynamic_cast<CDrawIR*>(view->FindIRObject(m_nIRNumber));
}

void CDrawHistogram::ComputeEdges(float max, float min)
{
    m_edges = ComputeEdges(std::clamp(m_nBins, kMinBins, kMaxBins), max, min);
}

void CDrawHistogram::ComputeSamples()
{
    if (view == nullptr)
        return;
    CDrawIR* ir = LinkedImage();
    if (ir == nullptr || !ir->HasImage()) {
        m_fPercentMax = 100.0f;
        return;
    }
    m_samples.clear();
    m_nSampleCount = 0;
    // A missing analysis or a failed read leaves no samples: every class
    // then counts 0.
    if (SampleAnalysis(*ir))
        m_nSampleCount = int(m_samples.size());
    else
        m_samples.clear();
    ComputeBins();
}

bool CDrawHistogram::SampleAnalysis(CDrawIR& image)
{
    CDrawIR* ir = &image;
    IRShape shape;
    float emissivity = 0;
    float distance = 0;
    float background = 0;
    int count = 0;
    int ok = 0;
    if (m_bLineMode != 0) {
        if (!ir->FindLine(m_nLineNumber, shape, emissivity, distance, background, m_strAnalysisName))
            return false;
        // Sampled between the end points as stored, as the line profile does.
        const std::int64_t dx = std::llabs(std::int64_t(shape.right) - shape.left);
        const std::int64_t dy = std::llabs(std::int64_t(shape.bottom) - shape.top);
        count = ClampToInt(std::max(dx, dy) + 10);
        m_samples.resize(std::size_t(count));
        ok = ir->Image().LineProfile(shape.left, shape.top, shape.right, shape.bottom, emissivity, distance, background,
                                     m_samples.data(), &count);
    } else {
        int kind = 0;
        if (!ir->FindArea(m_nAreaNumber, shape, emissivity, distance, background, kind, m_strAnalysisName))
            return false;
        const DocRect r = DocRect(shape.left, shape.top, shape.right, shape.bottom).Normalized();
        const std::int64_t places = r.Width() * r.Height();
        if (places <= 0 || places > kMaxAreaSamples)
            return false;
        count = int(places);
        m_samples.resize(std::size_t(count));
        ok = kind == kAnalysisRect ? ir->Image().GetRectTemps(r.left, r.top, r.right, r.bottom, emissivity, distance, background,
                                                  m_samples.data(), &count)
                       : ir->Image().GetCircleTemps(r.left, r.top, r.right, r.bottom, emissivity, distance,
                                                    background, m_samples.data(), &count);
    }
    if (ok == 0 || count < 0 || count > int(m_samples.size()))
        return false;
    m_samples.resize(std::size_t(count));
    return true;
}

void CDrawHistogram::ComputeBins()
{
    const int n = m_edges.empty() ? 0 : int(m_edges.size()) - 1;
    const int total = std::min<std::int64_t>(m_nSampleCount, std::int64_t(m_samples.size()));
    const Bins b = CountBins(std::span<const float>(m_samples.data(), std::size_t(std::max(total, 0))), m_edges,
                             m_bOutOfRange != 0);
    m_frequencies.assign(std::size_t(n), 0.0f);
    if (total <= 0) {
        // No samples: every frequency 0 and no tallest class.
        m_fPercentMax = 0.0f;
        return;
    }
    if (m_bOutOfRange != 0) {
        m_fBelow = float(b.below) / float(total);
        m_fAbove = float(b.above) / float(total);
    }
    for (int i = 0; i < n; ++i)
        m_frequencies[std::size_t(i)] = float(b.counts[std::size_t(i)]) / float(total);
    m_fPercentMax = float(b.tallest) / float(total) * 100.0f;
}

void CDrawHistogram::DrawChart(PageDC& dc, const DocRect& rect)
{
    const DocRect r = rect.Normalized();
    const int n = m_edges.empty() ? 0 : int(m_edges.size()) - 1;
    if (n < 1)
        return;
    if (int(m_frequencies.size()) != n)
        m_frequencies.assign(std::size_t(n), 0.0f);
    const bool outOfRange = m_bOutOfRange != 0;
    const int classes = outOfRange ? n + 2 : n;
    const std::int64_t axisStart = std::int64_t(r.top) + 50;
    const std::int64_t axisEnd = std::int64_t(r.bottom) - 150;
    const double length = double(axisEnd - axisStart);
    const double c = length / classes;
    const double max = m_edges.back();
    const double min = m_edges.front();
    const double binWidth = (max - min) / n;
    const double degrees = outOfRange ? max - min + 2 * binWidth : max - min;
    const double d = length / degrees; // units per degree; not finite for an empty range

    int x0 = r.left;
    if (c > 200 && m_bLevelValues != 0)
        x0 += 200;
    if (m_bLevelRanges != 0)
        x0 += 400;
    dc.SelectPen(chart::ThinPen(0));
    dc.Line(QPoint(x0, ClampToInt(axisEnd)), QPoint(x0, r.top));
    dc.Line(QPoint(x0, r.top), QPoint(r.right, r.top));

    const auto bandLow = [&](int k) { return TruncToInt(double(axisStart) + k * c); };
    const auto markBands = [&] {
        if (!outOfRange)
            return;
        dc.SelectPen(chart::ThinPen(kBelowColor));
        dc.Line(QPoint(x0 - 40, bandLow(0)), QPoint(x0 - 40, bandLow(1)));
        dc.SelectPen(chart::ThinPen(kAboveColor));
        dc.Line(QPoint(x0 - 40, bandLow(classes - 1)), QPoint(x0 - 40, bandLow(classes)));
    };
    const double scaleStart = double(axisStart) + (outOfRange ? c : 0.0);
    const bool labels = m_hasImage;
    if (m_bLevelRanges != 0) {
        markBands();
        if (c <= 200) {
            // The whole-degree scale, left out where a degree has no size.
            if (std::isfinite(d) && d > 0) {
                const chart::Ladder ladder = chart::ClassAxisLadder(c, d);
                const std::int64_t from = chart::TruncBound(min);
                const std::int64_t to = chart::TruncBound(max);
                const std::int64_t first = std::int64_t(std::ceil(double(from) / ladder.minor)) * ladder.minor;
                std::int64_t ticks = 0;
                for (std::int64_t t = first; t <= to && ticks < kMaxTicks; t += ladder.minor, ++ticks) {
                    const int y = TruncToInt(scaleStart + (double(t) - min) * d);
                    dc.SelectPen(chart::ThinPen(0));
                    if (t % ladder.major == 0) {
                        if (labels && m_fMeasureLow < float(t) && float(t) < m_fMeasureHigh)
                            chart::TextAt(dc, x0 - 250, y + chart::PointFontHeight(kLabelFont) / 2,
                                          QString::number(t), kLabelFont, m_clrText);
                        dc.Line(QPoint(x0 - 100, y), QPoint(x0, y));
                    } else {
                        dc.Line(QPoint(x0 - 30, y), QPoint(x0, y));
                    }
                }
            }
        } else {
            for (int i = 0; i <= n; ++i) {
                const float e = m_edges[std::size_t(i)];
                const int y = TruncToInt(scaleStart + i * c);
                dc.SelectPen(chart::ThinPen(0));
                dc.Line(QPoint(x0 - 80, y), QPoint(x0, y));
                if (labels && m_fMeasureLow <= e && e <= m_fMeasureHigh)
                    chart::TextAt(dc, x0 - 300, y + chart::PointFontHeight(kLabelFont) / 2,
                                  QString::asprintf("%.1f", double(e)), kLabelFont, m_clrText);
            }
        }
        chart::TextAt(dc, x0 - 200, ClampToInt(axisEnd + 130), m_strUnit, kLabelFont, m_clrText);
    }
    if (m_bLevelValues != 0 && c > 200) {
        for (int k = 0; k < classes; ++k) {
            float fraction = 0;
            if (outOfRange && k == 0)
                fraction = m_fBelow;
            else if (outOfRange && k == classes - 1)
                fraction = m_fAbove;
            else
                fraction = m_frequencies[std::size_t(outOfRange ? k - 1 : k)];
            const int mid = TruncToInt(double(axisStart) + (k + 0.5) * c);
            chart::TextAt(dc, x0 - 500, mid + chart::PointFontHeight(kLabelFont) / 2,
                          QString::asprintf("%.1f", double(fraction) * 100.0), kLabelFont, m_clrText);
        }
        chart::TextAt(dc, x0 - 500, ClampToInt(axisEnd + 130), QStringLiteral("%"), kLabelFont, m_clrText);
    }

    // The frequency axis.
    const float percentMax = std::isfinite(m_fPercentMax) ? std::clamp(m_fPercentMax, 0.0f, 100.0f) : 100.0f;
    const int percents = TruncToInt(percentMax) + 1;
    const double span = double(r.right) - 100 - x0;
    const double p = span / percents;
    if (p > 0) {
        const int step = chart::PercentStep(p);
        for (int q = 0; q <= percents; ++q) {
            const int x = TruncToInt(x0 + q * p);
            dc.SelectPen(chart::ThinPen(0));
            if (q % step == 0) {
                dc.Line(QPoint(x, r.top), QPoint(x, r.top - 50));
                chart::TextAt(dc, x, r.top - 50, QString::number(q), kLabelFont, m_clrText, Qt::AlignHCenter);
                if (m_bGrid != 0 && q > 0) {
                    dc.SelectPen(chart::GridPen());
                    dc.Line(QPoint(x, r.top), QPoint(x, ClampToInt(axisEnd)));
                }
            } else {
                dc.Line(QPoint(x, r.top), QPoint(x, r.top - 20));
            }
        }
    }

    if (m_bTitle != 0) {
        const QString title = m_strAnalysisName + QStringLiteral("  ") + chart::Text(Env(), chart::text::kHistogram);
        // Below the labels of the frequency axis, inside the reserved band.
        dc.DrawText(DocRect(r.left, r.top - 200, r.right, r.top - 400), title, chart::ChartFont(),
                    chart::PointFontHeight(kLabelFont), Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                    m_clrText);
    }

    if (m_nSampleCount > 0 && m_hasImage && p > 0) {
        dc.SelectNullPen();
        dc.SelectSolidBrush(m_clrBar);
        for (int k = 0; k < classes; ++k) {
            float fraction = 0;
            if (outOfRange && k == 0)
                fraction = m_fBelow;
            else if (outOfRange && k == classes - 1)
                fraction = m_fAbove;
            else
                fraction = m_frequencies[std::size_t(outOfRange ? k - 1 : k)];
            const int w = TruncToInt(p * 100.0 * double(fraction));
            if (w > 0)
                dc.Rectangle(DocRect(x0, bandLow(k), x0 + w, bandLow(k + 1)));
        }
    }
}

void CDrawHistogram::DrawContents(PageDC& dc, const DocRect& rect)
{
    DocumentEnvironment& env = Env();
    const int unit = env.TempUnit();
    CDrawIR* ir = LinkedImage();
    m_hasImage = ir != nullptr && ir->HasImage();
    if (!m_hasImage) {
        m_fRangeMin = chart::ToUnit(15.0f, unit);
        m_fRangeMax = chart::ToUnit(45.0f, unit);
    } else {
        m_fRangeMin = chart::ToUnit(ir->m_fLimits[5], unit);
        m_fRangeMax = chart::ToUnit(ir->m_fLimits[4] + 1.0f, unit);
    }
    m_strUnit = chart::UnitText(env, unit);
    const DocRect object = rect.Normalized();
    const int pen = penOn != 0 ? ScaledPenWidth(this->pen.widthX) : 0;
    DocRect inner = chart::Deflated(object, pen);
    inner.top = ClampToInt(std::int64_t(inner.top) + 400);
    if (m_bCustomScale != 0)
        ComputeEdges(chart::ToUnit(m_fCustomMax, unit), chart::ToUnit(m_fCustomMin, unit));
    else
        ComputeEdges(m_fRangeMax, m_fRangeMin);
    if (!m_hasImage) {
        // Empty axes: no samples and no shares from an image gone.
        m_samples.clear();
        m_nSampleCount = 0;
        m_frequencies.assign(m_frequencies.size(), 0.0f);
        m_fBelow = 0;
        m_fAbove = 0;
    }
    ComputeSamples();
    if (m_hasImage) {
        m_fMeasureLow = chart::ToUnit(ir->m_fFileLow, unit);
        m_fMeasureHigh = chart::ToUnit(ir->m_fFileHigh, unit);
    }
    DrawChart(dc, inner);
}

void CDrawHistogram::Draw(PageDC& dc)
{
    // The chart keeps its least size; the document is not marked modified.
    chart::ApplyMinimumSize(position, kMinSize, kMinSize);
    if (!chart::DrawChartFrame(dc, *this))
        return;
    DrawContents(dc, position);
    chart::DrawChartNumber(dc, *this, m_nIRNumber);
}

QImage CDrawHistogram::RenderExportImage()
{
    CDrawIR* ir = LinkedImage();
    if (ir == nullptr || !ir->HasImage())
        return {};
    const DocRect r = position.Normalized();
    return chart::RenderChartPicture(r, [&](PageDC& dc) {
        chart::DrawChartFrame(dc, *this);
        if (r.Width() >= kExportMinWidth && r.Height() >= kExportMinHeight)
            DrawContents(dc, r);
    });
}

void CDrawHistogram::ExportToWord(CWordExport& exporter)
{
    const QImage picture = RenderExportImage();
    if (picture.isNull())
        return;
    const DocRect r = position.Normalized();
    exporter.ExportImage(float(r.left), float(r.bottom), float(r.Width()), float(r.Height()), picture, false);
}
