// CDrawTimeProfile: record, commands, the cursor and the collection of the
// curves. Drawing: time_profile_draw.cpp; workbook: time_profile_export.cpp.
#include "content/draw_time_profile.h"

#include "content/chart_helpers.h"
#include "document/draw_view.h"
#include "document/record_values.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonArray>

#include <algorithm>
#include <cstdint>

const DrawClass CDrawTimeProfile::kClass{{"CDrawTimeProfile", 0, &platform::createArchiveObject<CDrawTimeProfile>},
                                         &CDrawRect::kClass,
                                         &CreateDrawObjForUndo<CDrawTimeProfile>};

namespace {

// The result texts of the four statistics of a line and of an area.
constexpr int kLineResults = 61483; // "线最高" .. 61486 "线温差"
constexpr int kAreaResults = 61487; // "区最高" .. 61490 "区温差"

float Statistic(const IRAnalysisItem& item, int statistic)
{
    switch (statistic) {
    case 0: return item.maximum;
    case 1: return item.minimum;
    case 2: return item.average;
    default: return item.maximum - item.minimum;
    }
}

// The first record of image with the curve's number and kind: a point or
// line curve its own kind, an area curve a rectangle or an ellipse.
const IRAnalysisItem* FindRecord(const CDrawIR& image, const CDrawTimeProfile::CurveSource& source)
{
    for (std::size_t i = 0; i < image.m_analyses.GetSize(); ++i) {
        const IRAnalysisItem& item = image.m_analyses[i];
        if (item.number != source.number)
            continue;
        const bool area = item.kind == kAnalysisRect || item.kind == kAnalysisEllipse;
        if (source.kind == kAnalysisRect ? area : item.kind == source.kind)
            return &item;
    }
    return nullptr;
}

} // namespace

CDrawTimeProfile::CDrawTimeProfile()
{
    m_fCurveCursor.fill(0.5f);
    m_curves[0].shown = 1;
    brushOn = 0;
}

CDrawTimeProfile::CDrawTimeProfile(DrawView* v, const DocRect& rect) : CDrawRect(v, rect)
{
    m_fCurveCursor.fill(0.5f);
    m_curves[0].shown = 1;
    brushOn = 0;
}

// ---- record

void CDrawTimeProfile::Serialize(platform::ArchiveWriter& ar) const
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
    for (int i = 0; i < kCurves; ++i) {
        ar.writeU32(m_clrCurve[std::size_t(i)]);
        ar.writeI32(m_curves[std::size_t(i)].shown);
        ar.writeF32(m_fCurveCursor[std::size_t(i)]);
    }
    for (std::int32_t flag : m_bTarget)
        ar.writeI32(flag);
    ar.writeI32(m_bMultiObject);
    ar.writeI32(m_nSelectedCount);
}

void CDrawTimeProfile::Serialize(platform::ArchiveReader& ar)
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
    const auto* doc = ar.documentAs<CDI_RptDoc>();
    const float version = doc != nullptr ? doc->GetVersion() : CDI_RptDoc::kProgVersion;
    const auto readCurve = [&](int i) {
        m_clrCurve[std::size_t(i)] = ar.readU32();
        m_curves[std::size_t(i)].shown = ar.readI32();
        m_fCurveCursor[std::size_t(i)] = record_values::ReadFinite(ar);
    };
    if (version <= 4.0f) {
        for (int i = 0; i < kOldCurves; ++i)
            readCurve(i);
    } else if (version <= 5.0f) {
        for (int i = 0; i < kCurves; ++i) {
            readCurve(i);
            m_bTarget[std::size_t(i)] = ar.readI32();
        }
        m_bMultiObject = ar.readI32();
        m_nSelectedCount = ar.readI32();
    } else {
        for (int i = 0; i < kCurves; ++i)
            readCurve(i);
        for (std::int32_t& flag : m_bTarget)
            flag = ar.readI32();
        m_bMultiObject = ar.readI32();
        m_nSelectedCount = ar.readI32();
    }
    // The first draw collects.
    m_nSampleCount.fill(0);
    m_nLastIRNumber = 0;
    m_collected = false;
}

void CDrawTimeProfile::Dump(QJsonObject& out) const
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
    QJsonArray curves;
    for (int i = 0; i < kCurves; ++i) {
        QJsonObject curve;
        curve[QStringLiteral("color")] = qint64(m_clrCurve[std::size_t(i)]);
        curve[QStringLiteral("shown")] = m_curves[std::size_t(i)].shown;
        curve[QStringLiteral("cursor")] = double(m_fCurveCursor[std::size_t(i)]);
        curves.append(curve);
    }
    out[QStringLiteral("curves")] = curves;
    QJsonArray targets;
    for (int i = 0; i < kTargets; ++i) {
        if (m_bTarget[std::size_t(i)] != 0)
            targets.append(i);
    }
    out[QStringLiteral("targets")] = targets;
    out[QStringLiteral("multiObject")] = m_bMultiObject;
    out[QStringLiteral("selectedCount")] = m_nSelectedCount;
}

// ---- handles, commands

HandleCursor CDrawTimeProfile::GetHandleCursor(int handle) const
{
    return handle == kCursorHandle ? HandleCursor::SizeWE : CDrawObj::GetHandleCursor(handle);
}

int CDrawTimeProfile::HitTest(QPoint point, DrawView* v, bool selected, int flag)
{
    const DocRect bar = m_rcCursorBar.Normalized();
    if (bar.Width() > 0 && bar.left <= point.x() && point.x() <= bar.right && bar.top <= point.y() &&
        point.y() <= bar.bottom)
        return kCursorHandle;
    return CDrawObj::HitTest(point, v, selected, flag);
}

bool CDrawTimeProfile::Intersects(const DocRect& rect) { return CDrawObj::Intersects(rect); }

void CDrawTimeProfile::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
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
    InvalidateIn(v != nullptr ? v : view);
}

int CDrawTimeProfile::DoCommand(unsigned id, const QString& text, int value)
{
    if (id == kExportCommand)
        return ExportToExcel();
    if (id == kFormatCommand && text == QLatin1String("7")) {
        m_clrText = COLORREF(value);
        InvalidateIn(view);
    }
    return CDrawObj::DoCommand(id, text, 0);
}

int CDrawTimeProfile::GetPopupMenuIndex() const
{
    return view == nullptr || view->GetSelection().size() < 2 ? kPopupMenu : 0;
}

// ---- the image list

void CDrawTimeProfile::ShiftTargets(int index, int delta)
{
    if (index < 0 || index >= kTargets)
        return;
    auto& flags = m_bTarget;
    const auto at = flags.begin() + index;
    if (delta > 0) {
        std::move_backward(at, flags.end() - 1, flags.end());
        *at = 0;
    } else if (delta < 0) {
        std::move(at + 1, flags.end(), at);
        flags.back() = 0;
    }
    m_nSelectedCount = std::int32_t(std::count_if(flags.begin(), flags.end(), [](std::int32_t f) { return f != 0; }));
}

void CDrawTimeProfile::ShiftTargetsOf(CDI_RptDoc& doc, int index, int delta)
{
    for (CDrawObj* obj : doc.GetObjects()) {
        if (auto* chart = dynamic_cast<CDrawTimeProfile*>(obj))
            chart->ShiftTargets(index, delta);
    }
}

// ---- collecting

DocumentEnvironment& CDrawTimeProfile::Env() const
{
    return document != nullptr ? document->Environment() : DefaultDocumentEnvironment();
}

CDrawIR* CDrawTimeProfile::LinkedImage() const
{
    if (view == nullptr)
        return nullptr;
    return dynamic_cast<CDrawIR*>(view->FindIRObject(m_nIRNumber));
}

std::vector<CDrawIR*> CDrawTimeProfile::SelectedImages() const
{
    std::vector<CDrawIR*> images;
    if (view == nullptr)
        return images;
    const std::vector<CDrawObj*>& list = view->GetIRObjects();
    for (std::size_t t = 0; t < list.size() && t < std::size_t(kTargets); ++t) {
        if (m_bTarget[t] != 0)
            images.push_back(dynamic_cast<CDrawIR*>(list[t]));
    }
    return images;
}

void CDrawTimeProfile::RememberChangeCounts(CDrawIR* linked)
{
    m_seen.clear();
    m_seen.push_back({linked, linked != nullptr ? linked->ChangeCount() : 0});
    if (m_bMultiObject != 0) {
        for (CDrawIR* image : SelectedImages())
            m_seen.push_back({image, image != nullptr ? image->ChangeCount() : 0});
    }
}

bool CDrawTimeProfile::NeedsCollecting() const
{
    if (!m_collected || m_nLastIRNumber != m_nIRNumber)
        return true;
    CDrawIR* linked = LinkedImage();
    std::vector<const CDrawIR*> now{linked};
    if (m_bMultiObject != 0) {
        for (CDrawIR* image : SelectedImages())
            now.push_back(image);
    }
    if (now.size() != m_seen.size())
        return true;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] != m_seen[i].image || (now[i] != nullptr && now[i]->ChangeCount() != m_seen[i].count))
            return true;
    }
    return false;
}

void CDrawTimeProfile::CollectCurves()
{
    const QString none = chart::Text(Env(), chart::text::kNone);
    m_strCurveName.fill(none);
    CDrawIR* ir = LinkedImage();
    m_hasImage = ir != nullptr && ir->HasImage();
    if (!m_hasImage)
        return;

    // The curves: points, then lines, then areas, in record order.
    const DocumentEnvironment& env = Env();
    int n = 0;
    const auto pass = [&](auto accepts, int kind, int statistics, int firstResult) {
        for (std::size_t i = 0; i < ir->m_analyses.GetSize() && n < kCurves; ++i) {
            const IRAnalysisItem& item = ir->m_analyses[i];
            if (!accepts(item.kind))
                continue;
            for (int s = 0; s < statistics && n < kCurves; ++s, ++n) {
                m_sources[std::size_t(n)] = {kind, int(item.number), s};
                m_strCurveName[std::size_t(n)] =
                    QString::asprintf("%02d", int(item.number)) + chart::Text(env, firstResult + s);
            }
        }
    };
    pass([](int k) { return k == kAnalysisPoint; }, kAnalysisPoint, 1, chart::text::kPoint);
    pass([](int k) { return k == kAnalysisLine; }, kAnalysisLine, 4, kLineResults);
    pass([](int k) { return k == kAnalysisRect || k == kAnalysisEllipse; }, kAnalysisRect, 4, kAreaResults);
    m_nCurveCount = n;
    for (int c = n; c < kCurves; ++c)
        m_sources[std::size_t(c)] = {};

    // The time points: the selected images, or the files of the list.
    const std::vector<CDrawIR*> selected = m_bMultiObject != 0 ? SelectedImages() : std::vector<CDrawIR*>{};
    const int points = m_bMultiObject != 0 ? int(selected.size()) : ir->FileCount();
    m_nTimePoints = points;
    float high = ir->m_fFileHigh;
    float low = ir->m_fFileLow;
    for (int c = 0; c < kCurves; ++c) {
        m_samples[std::size_t(c)].assign(std::size_t(c < n ? points : 0), 0.0f);
        m_nSampleCount[std::size_t(c)] = c < n ? points : 0;
    }
    for (int t = 0; t < points; ++t) {
        const CDrawIR* image = nullptr;
        if (m_bMultiObject != 0)
            image = selected[std::size_t(t)];
        else if (ir->LoadFileForMeasure(t))
            image = ir;
        if (image == nullptr || !image->HasImage())
            continue; // the samples stay 0 there
        high = std::max(high, image->m_fFileHigh);
        low = std::min(low, image->m_fFileLow);
        for (int c = 0; c < n; ++c) {
            if (const IRAnalysisItem* item = FindRecord(*image, m_sources[std::size_t(c)]))
                m_samples[std::size_t(c)][std::size_t(t)] = Statistic(*item, m_sources[std::size_t(c)].statistic);
        }
    }

    const int unit = env.TempUnit();
    for (int c = 0; c < kCurves; ++c) {
        CurveRecord& curve = m_curves[std::size_t(c)];
        const std::vector<float>& samples = m_samples[std::size_t(c)];
        curve.labelHigh = chart::ToUnit(high, unit);
        curve.labelLow = chart::ToUnit(low, unit);
        curve.maximum = 0;
        curve.minimum = 0;
        if (curve.shown != 0 && !samples.empty()) {
            const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
            curve.maximum = *hi;
            curve.minimum = *lo;
        }
    }
    m_fRangeHigh = chart::ToUnit(high, unit);
    m_fRangeLow = chart::ToUnit(low, unit);

    // The report shows the file it showed before; this load counts no
    // change, so charts on the image do not make each other collect.
    if (m_bMultiObject == 0 && ir->FileCount() > 0)
        ir->LoadFileAtIndex(std::clamp(ir->FileIndex(), 0, ir->FileCount() - 1), false);
    RememberChangeCounts(ir);
    m_collected = true;
}

void CDrawTimeProfile::SetCurve(int curve, const QString& name, std::vector<float> samples)
{
    if (curve < 0 || curve >= kCurves)
        return;
    const std::size_t c = std::size_t(curve);
    m_strCurveName[c] = name;
    m_nSampleCount[c] = std::int32_t(std::min<std::size_t>(samples.size(), std::size_t(INT32_MAX)));
    m_samples[c] = std::move(samples);
    m_nCurveCount = std::max<std::int32_t>(m_nCurveCount, curve + 1);
}

void CDrawTimeProfile::ComputeAutoRange()
{
    bool any = false;
    float maximum = 0;
    float minimum = 0;
    for (int c = 0; c < kCurves; ++c) {
        const CurveRecord& curve = m_curves[std::size_t(c)];
        if (curve.shown == 0 || m_samples[std::size_t(c)].empty())
            continue;
        maximum = any ? std::max(maximum, curve.maximum) : curve.maximum;
        minimum = any ? std::min(minimum, curve.minimum) : curve.minimum;
        any = true;
    }
    const chart::IntRange r = chart::AutoScale(minimum, maximum, any);
    m_nAutoMin = r.min;
    m_nAutoMax = r.max;
}

int CDrawTimeProfile::GetMaxSampleCount() const
{
    int n = 0;
    for (int c : m_nSampleCount)
        n = std::max(n, c);
    return n;
}
