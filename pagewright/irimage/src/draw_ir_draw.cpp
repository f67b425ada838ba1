// CDrawIR: drawing on the page. Page units, y upwards: in a normalised
// rectangle top is the lower edge and bottom the upper edge on paper.
#include "irimage/draw_ir.h"

#include "irimage/ir_marks.h"
#include "irimage/ir_strings.h"
#include "irimage/temperature_text.h"

#include "document/draw_rect.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"

#include "platform/dib.h"

#include <QFont>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kAspect = 1.33333;              // width of the picture per unit of height
constexpr double kInverseAspect = 0.7500018750046875;
constexpr float kPictureAspect = 1.3333f;        // the picture's own placement (single precision)
constexpr int kBarAllowance = 1000;
constexpr int kBarGap = 50;
constexpr int kBarWidth = 260;
constexpr int kBarInset = 300;
constexpr int kBarGiveBack = 250;
constexpr int kShortBar = 800;
constexpr int kNumberHeight = 128;
constexpr int kPaletteEntries = 256;

int Trunc(double v) { return TruncateTo<int>(v); }

// Major and minor step of the scale for the span per 400 units of bar.
std::pair<double, double> ScaleSteps(double per)
{
    if (per >= 70)
        return {100, 20};
    if (per >= 35)
        return {50, 10};
    if (per >= 12)
        return {20, 5};
    if (per >= 7)
        return {10, 2};
    if (per >= 4)
        return {5, 1};
    if (per >= 2)
        return {2, 0.5};
    return {1, per > 0.8 ? 0.2 : 0.1};
}

} // namespace

std::pair<double, double> CDrawIR::ScaleSteps(double perStep) { return ::ScaleSteps(perStep); }

const QImage& CDrawIR::Picture() const
{
    if (!m_pictureDib.isSharedWith(m_dib) || m_picture.isNull() != m_dib.isEmpty()) {
        m_pictureDib = m_dib;
        m_picture = m_dib.isEmpty() ? QImage() : platform::DibToImage(m_dib);
    }
    return m_picture;
}

void CDrawIR::EnforceSizeAndAspect()
{
    DocRect r = position.Normalized();
    const std::int64_t bar = m_bShowBar != 0 ? kBarAllowance : 0;
    const std::int64_t minWidth = m_bShowBar != 0 ? 1960 : 960;
    constexpr std::int64_t kMinHeight = 720;
    std::int64_t left = r.left, right = r.right, lower = r.top, upper = r.bottom;
    if (std::abs(upper - lower) < 100)
        lower = upper - 2100;
    const auto heightFromWidth = [&] { lower = upper - std::int64_t((double(right - left - bar)) * kInverseAspect); };
    const auto widthFromHeight = [&] { right = left + std::int64_t(double(upper - lower) * kAspect + double(bar)); };
    switch (activeHandle) {
    case 1:
    case 7:
    case 8:
        if (right - left < minWidth)
            left = right - minWidth;
        heightFromWidth();
        break;
    case 3:
    case 4:
    case 5:
        if (right - left < minWidth)
            right = left + minWidth;
        heightFromWidth();
        break;
    case 2:
        if (upper - lower < kMinHeight)
            lower = upper - kMinHeight;
        widthFromHeight();
        break;
    case 6:
        if (upper - lower < kMinHeight)
            upper = lower + kMinHeight;
        widthFromHeight();
        break;
    default:
        widthFromHeight();
        if (right < left + 960)
            right = left + 960;
        if (upper - lower < kMinHeight)
            upper = lower + kMinHeight;
        break;
    }
    const auto clamp = [](std::int64_t v) { return TruncateTo<std::int32_t>(double(v)); };
    position = DocRect(clamp(left), clamp(lower), clamp(right), clamp(upper));
}

DocRect CDrawIR::ColorBarRect() const
{
    const DocRect r = position.Normalized();
    const int left = Trunc(double(r.left) + double(r.Height()) * kAspect + kBarGap);
    DocRect bar(left, r.top + kBarInset, left + kBarWidth, r.bottom - kBarInset);
    if (bar.Height() < kShortBar) {
        bar.top -= kBarGiveBack;
        bar.bottom += kBarGiveBack;
    }
    return bar;
}

void CDrawIR::Draw(PageDC& dc)
{
    if (!PageDC::CanCreateBrush(brush))
        return;
    const DocRect asked = position;
    EnforceSizeAndAspect();
    // A rectangle just drawn or dragged takes the picture's shape here; the
    // views were asked to repaint only the old one, so ask for the new.
    if (position != asked)
        Invalidate();
    const DocRect r = position.Normalized();
    if (brushOn != 0) {
        dc.SelectNullPen();
        dc.SelectBrush(brush);
        dc.Rectangle(r);
    }
    DrawContents(dc, r);
    // "NO.n" below the lower right corner.
    DrawFrameAndNumber(dc, r, QPoint(r.right - 460, r.top - 13), true);
}

DocRect CDrawIR::LabelArea() const
{
    if (document == nullptr || !document->GetShowNumbers())
        return {};
    const DocRect r = position.Normalized();
    return DocRect(r.right - 460, r.top - 13 - kNumberHeight * 3 / 2, r.right + 200, r.top - 13);
}

CDrawIR::ScaleEnds CDrawIR::DrawContents(PageDC& dc, const DocRect& r)
{
    ScaleEnds scale;
    if (!HasImage() || r.Height() <= 0)
        return scale;
    m_fScaleX = m_fScaleY = float(double(ImageHeight()) / double(r.Height()));
    const int pictureRight = Trunc(double(r.left) + double(float(r.Height()) * kPictureAspect));
    dc.DrawImage(DocRect(r.left, r.bottom, pictureRight, r.top), Picture());
    if (m_bShowBar != 0)
        scale = DrawColorBar(dc, r);
    if (m_image->ModelVersion() == 11)
        DrawBoardRect(dc, r);
    if (m_bShowMarks != 0) {
        DrawMarks(dc, r);
        DrawProfileMarkers(dc, r);
    }
    return scale;
}

void CDrawIR::DrawFrameAndNumber(PageDC& dc, const DocRect& r, QPoint numberAt, bool number)
{
    LogPen widened = pen;
    widened.widthX = ScaledPenWidth(pen.widthX);
    widened.widthY = ScaledPenWidth(pen.widthY);
    if (!PageDC::CanCreatePen(widened))
        return;
    if (penOn != 0)
        dc.SelectPen(widened);
    else
        dc.SelectNullPen();
    const QPoint corners[4] = {{r.left, r.bottom}, {r.right, r.bottom}, {r.right, r.top}, {r.left, r.top}};
    for (int i = 0; i < 4; ++i)
        dc.Line(corners[i], corners[(i + 1) % 4]);
    if (number && document != nullptr && document->GetShowNumbers())
        ir_marks::DrawLabel(dc, numberAt.x(), numberAt.y(), QStringLiteral("NO.%1").arg(m_nNumber), 0,
                            kNumberHeight);
}

QPoint CDrawIR::PictureNumberCorner(PageDC& dc, const DocRect& r, const ScaleEnds& scale) const
{
    constexpr int kMargin = 13;
    const QSizeF extent = dc.TextExtent(QStringLiteral("NO.%1").arg(m_nNumber), QFont(QStringLiteral("Arial")), kNumberHeight);
    const std::int64_t width = std::int64_t(std::ceil(extent.width()));
    const std::int64_t height = std::int64_t(std::ceil(extent.height()));
    const auto clear = [&](const DocRect& label) {
        for (const DocRect& value : {scale.top, scale.bottom}) {
            if (!value.IsEmpty() && !label.Intersected(value).IsEmpty())
                return false;
        }
        return true;
    };
    const int left = ClampToInt(std::int64_t(r.right) - kMargin - width);
    const QPoint upper(left, r.bottom - kMargin);
    const QPoint lower(left, ClampToInt(std::int64_t(r.top) + kMargin + height));
    for (const QPoint corner : {upper, lower}) {
        if (clear(DocRect(corner.x(), ClampToInt(std::int64_t(corner.y()) - height), r.right - kMargin, corner.y())))
            return corner;
    }
    return upper;
}

CDrawIR::ScaleEnds CDrawIR::DrawColorBar(PageDC& dc, const DocRect& r)
{
    const DocRect bar = ColorBarRect();
    QPainter& painter = dc.Painter();
    painter.save();
    // A bar given back its insets is short: no scale.
    ScaleEnds scale;
    if (r.Height() - 2 * kBarInset >= kShortBar)
        scale = DrawScale(dc, bar);
    dc.SelectPen(LogPen{PS_SOLID, 1, 1, 0});
    dc.SelectNullBrush();
    dc.Rectangle(bar);
    painter.setClipRect(dc.LPtoDP(bar), Qt::IntersectClip);

    const int barHeight = bar.Height();
    const int lower = bar.top;
    const int upper = bar.bottom;
    const QByteArray table = Environment().PaletteTable();
    const int palettes = int(table.size() / (kPaletteEntries * 4));
    int palette = -1;
    m_image->GetPalette(&palette);
    if (palette >= 0 && palettes > 0 && barHeight > 1) {
        palette = std::min(palette, palettes - 1);
        const auto* entries = reinterpret_cast<const std::uint8_t*>(table.constData()) +
                              std::size_t(palette) * kPaletteEntries * 4;
        const std::int64_t h = barHeight - 1;
        for (int y = lower + 12; y <= upper - 13; ++y) {
            std::int64_t index = m_bInverted != 0 ? (std::int64_t(lower) - y + 1) * 256 / h + 255
                                                  : (std::int64_t(y) - lower - 1) * 256 / h;
            index = std::clamp<std::int64_t>(index, 0, kPaletteEntries - 1);
            const std::uint8_t* e = entries + index * 4;
            dc.SelectPen(LogPen{PS_SOLID, 0, 0, RGB(e[2], e[1], e[0])});
            dc.Line(QPoint(bar.left + 13, y), QPoint(bar.right - 1, y));
        }
    }

    const double high = m_fLimits[4];
    const double low = m_fLimits[5];
    if (std::isfinite(high) && std::isfinite(low) && high > low) {
        for (const IRIsotherm& iso : m_isotherms) {
            if (iso.enabled == 0)
                continue;
            const double y1 = lower + (double(iso.centre) + double(iso.width) / 2 - low) * barHeight / (high - low);
            const double y2 = lower + (double(iso.centre) - double(iso.width) / 2 - low) * barHeight / (high - low);
            if (!std::isfinite(y1) || !std::isfinite(y2))
                continue;
            // Only the rows inside the bar are drawn.
            const std::int64_t from = std::max<std::int64_t>(Trunc(y2), lower);
            const std::int64_t to = std::min<std::int64_t>(std::int64_t(Trunc(y1)) - 1, upper);
            dc.SelectPen(LogPen{PS_SOLID, 0, 0, iso.color});
            for (std::int64_t y = from; y <= to; ++y)
                dc.Line(QPoint(bar.left + 13, int(y)), QPoint(bar.right - 1, int(y)));
        }
    }
    painter.restore();
    return scale;
}

CDrawIR::ScaleEnds CDrawIR::DrawScale(PageDC& dc, const DocRect& bar)
{
    ScaleEnds ends;
    const int barHeight = bar.Height();
    const int n = barHeight / 400;
    if (n == 0)
        return ends;
    // A file without temperatures (Thermcore's bad-handle value) gets the
    // bar without a scale.
    for (const float celsius : {m_fLimits[4], m_fLimits[5], m_fFileHigh, m_fFileLow}) {
        if (!thermcore::IsTemperature(celsius))
            return ends;
    }
    const DocumentEnvironment& env = Environment();
    const int unit = env.TempUnit();
    const double high = CelsiusToUnit(m_fLimits[4], unit);
    const double low = CelsiusToUnit(m_fLimits[5], unit);
    const float fileHigh = CelsiusToUnit(m_fFileHigh, unit);
    const float fileLow = CelsiusToUnit(m_fFileLow, unit);
    if (!std::isfinite(high) || !std::isfinite(low) || !(high > low))
        return ends;
    QString unitText = IRString(env, ir_string::kScaleFormat + std::clamp(unit, 0, 2));
    unitText.remove(QStringLiteral("%5.1f"));
    const COLORREF text = m_clrScaleText;
    // Each end's value, and the area its text covers.
    const auto value = [&](int y, double t) {
        const QString label = FormatTempLabel(float(t), fileHigh, fileLow) + unitText;
        ir_marks::DrawLabel(dc, bar.left + 45, y, label, text, kNumberHeight);
        const QSizeF extent = dc.TextExtent(label, QFont(QStringLiteral("Arial")), kNumberHeight);
        return DocRect(bar.left + 45, ClampToInt(std::int64_t(y) - std::int64_t(std::ceil(extent.height()))),
                       ClampToInt(std::int64_t(bar.left) + 45 + std::int64_t(std::ceil(extent.width()))), y);
    };
    ends.top = value(bar.bottom + 195, high);
    ends.bottom = value(bar.top - 40, low);
    dc.SelectPen(LogPen{PS_SOLID, 1, 1, 0});
    const int axis = bar.right + 90;
    dc.Line(QPoint(axis, bar.top), QPoint(axis, bar.bottom));

    const auto [major, minor] = ScaleSteps((high - low) / n);
    const auto ticks = [&](double step, int length, bool labels) {
        // The first multiple of step at or above low.
        double first = step * std::trunc(low / step);
        if (first < low)
            first += step;
        const double count = (high - first) / step;
        if (!(count < 100000))
            return;
        for (int k = 0; first + k * step < high; ++k) {
            const double t = first + k * step;
            const int y = Trunc(bar.top + (t - low) * barHeight / (high - low));
            dc.Line(QPoint(axis, y), QPoint(axis + length, y));
            if (labels && fileLow < t && t < fileHigh)
                ir_marks::DrawLabel(dc, bar.right + 240, y + 80, QString::number(Trunc(t)), text, kNumberHeight);
        }
    };
    ticks(major, 60, true);
    ticks(minor, 24, false);
    return ends;
}

void CDrawIR::DrawBoardRect(PageDC& dc, const DocRect& r)
{
    int board[4] = {};
    m_image->GetBoardRect(board);
    if (m_fScaleX <= 0 || m_fScaleY <= 0)
        return;
    const ir_marks::PictureMapping map{r.left, r.bottom, m_fScaleX, m_fScaleY};
    QPainter& painter = dc.Painter();
    painter.save();
    painter.setClipRect(dc.LPtoDP(r), Qt::IntersectClip);
    dc.SelectPen(LogPen{PS_DASHDOT, 1, 1, 0});
    dc.SelectNullBrush();
    const QPoint a = map.ToPage(board[0], board[1]);
    const QPoint b = map.ToPage(board[2], board[3]);
    dc.Rectangle(DocRect(a.x(), a.y(), b.x(), b.y()));
    painter.restore();
}

void CDrawIR::TidyShape(IRAnalysisItem& item)
{
    IRShape& s = item.shape;
    if (item.kind == kAnalysisLine) {
        if (s.left == s.right && s.top == s.bottom) {
            if (s.left < 3)
                s.right = s.left + 1;
            else
                s.left = s.left - 1;
        }
    } else if (item.kind == kAnalysisRect || item.kind == kAnalysisEllipse) {
        const auto widen = [](std::int32_t& a, std::int32_t& b) {
            std::int32_t& lowSide = a <= b ? a : b;
            std::int32_t& highSide = a <= b ? b : a;
            if (std::int64_t(highSide) - lowSide >= 2)
                return;
            if (lowSide >= 4)
                lowSide -= 2;
            else
                highSide += 2;
        };
        widen(s.left, s.right);
        widen(s.top, s.bottom);
    }
}

void CDrawIR::DrawMarks(PageDC& dc, const DocRect& r)
{
    if (m_fScaleX <= 0 || m_fScaleY <= 0)
        return;
    const ir_marks::PictureMapping map{r.left, r.bottom, m_fScaleX, m_fScaleY};
    const int unit = Environment().TempUnit();
    const ir_marks::LabelRange range{CelsiusToUnit(m_fFileHigh, unit), CelsiusToUnit(m_fFileLow, unit)};
    QPainter& painter = dc.Painter();
    painter.save();
    painter.setClipRect(dc.LPtoDP(r), Qt::IntersectClip);
    // The labels move in from an edge of the picture rather than lose their
    // ends to the clip or run over the colour bar.
    const int pictureRight = Trunc(double(r.left) + double(float(r.Height()) * kPictureAspect));
    const DocRect picture(r.left, r.top, std::min(pictureRight, r.right), r.bottom);
    const DocRect* bounds = &picture;
    for (IRAnalysisItem& item : m_analyses) {
        TidyShape(item);
        const IRShape& s = item.shape;
        const QPoint a = map.ToPage(s.left, s.top);
        const QPoint b = map.ToPage(s.right, s.bottom);
        const bool own = ir_marks::HasOwnParameters(item);
        const int mode = item.labelMode;
        QString label = item.Name();
        const auto withValue = [&](float value) {
            if (item.HasStatistics())
                label += QLatin1Char(' ') + FormatTempLabel(value, range.high, range.low);
        };
        switch (item.kind) {
        case kAnalysisPoint:
            if (mode == 1)
                withValue(item.maximum);
            ir_marks::DrawSpotMark(dc, a.x(), a.y(), label, item.color, own, false, bounds);
            break;
        case kAnalysisLine: {
            const bool marker = (mode == 1 || mode == 2) && item.HasStatistics();
            if (mode == 1 || mode == 2)
                withValue(mode == 1 ? item.maximum : item.minimum);
            const QPoint m = map.ToPage(mode == 1 ? item.maxX : item.minX, mode == 1 ? item.maxY : item.minY);
            ir_marks::DrawLineMark(dc, a.x(), a.y(), b.x(), b.y(), label, item.color, own, marker, m.x(), m.y(),
                                   bounds);
            break;
        }
        case kAnalysisRect:
            ir_marks::DrawAreaMark(dc, item, DocRect(a.x(), a.y(), b.x(), b.y()), map, range, bounds);
            break;
        case kAnalysisEllipse:
            ir_marks::DrawCircleMark(dc, item, DocRect(a.x(), a.y(), b.x(), b.y()), map, range, bounds);
            break;
        default: break;
        }
    }
    painter.restore();
}
