// CDrawIR: handles, hit test and mouse editing of isotherm bands and
// analyses, and adding analyses and bands from page positions.
//
// Analysis shapes are kept in picture pixels (y down) and mapped with the
// pixel scales: x_px = (x - left) x scaleX, y_px = (upper edge - y) x scaleY.
#include "irimage/draw_ir.h"

#include "irimage/ir_strings.h"
#include "irimage/temperature_text.h"

#include "document/draw_tool.h"
#include "document/draw_view.h"
#include "document/record_values.h"
#include "document/rpt_doc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kFirstBandHandle = 9;
constexpr int kFirstAnalysisHandle = 40;
constexpr int kIconInformation = 0x40;

int HandleCount(std::int32_t kind)
{
    switch (kind) {
    case kAnalysisPoint: return 1;
    case kAnalysisLine: return 3;
    case kAnalysisRect: return 9;
    case kAnalysisEllipse: return 2;
    default: return 0;
    }
}

bool DeleteMode() { return g_toolMode == kModeIsothermMark; }

bool Within(QPoint p, QPoint c, int d) { return std::abs(p.x() - c.x()) <= d && std::abs(p.y() - c.y()) <= d; }

} // namespace

// ---- image interface

QSize CDrawIR::ImageSize() const { return HasImage() ? QSize(ImageWidth(), ImageHeight()) : QSize(); }

std::optional<float> CDrawIR::PointTemperature(int px, int py) const
{
    if (!HasImage() || px < 0 || py < 0 || px >= ImageWidth() || py >= ImageHeight())
        return std::nullopt;
    float t = 0;
    m_image->GetPointTemp(px, py, m_fEmissivity, m_fDistance, m_fBackground, &t);
    // The holder answers in the display unit.
    switch (Environment().TempUnit()) {
    case kUnitFahrenheit: return float((double(t) - 32.0) / 1.8);
    case kUnitKelvin: return float(double(t) - 273.2);
    default: return t;
    }
}

std::pair<float, float> CDrawIR::ScaleRange() const { return {m_fLimits[5], m_fLimits[4]}; }

void CDrawIR::BeginEdit(DrawView* v, int flag)
{
    (void)v, (void)flag;
    RefreshFileCombo();
}

// ---- handle numbers

int CDrawIR::FirstAnalysisHandle(std::size_t index) const
{
    int h = kFirstAnalysisHandle;
    for (std::size_t i = 0; i < index && i < m_analyses.GetSize(); ++i)
        h += HandleCount(m_analyses[i].kind);
    return h;
}

int CDrawIR::AnalysisOfHandle(int handle) const
{
    if (handle < kFirstAnalysisHandle)
        return -1;
    int h = kFirstAnalysisHandle;
    for (std::size_t i = 0; i < m_analyses.GetSize(); ++i) {
        const int count = HandleCount(m_analyses[i].kind);
        if (handle >= h && handle < h + count)
            return int(i);
        h += count;
    }
    return -1;
}

QPoint CDrawIR::PageToPixel(QPoint page) const
{
    const DocRect r = position.Normalized();
    return {TruncateTo<int>((double(page.x()) - r.left) * m_fScaleX),
            TruncateTo<int>((double(r.bottom) - page.y()) * m_fScaleY)};
}

QPoint CDrawIR::PixelToPage(int px, int py) const
{
    const DocRect r = position.Normalized();
    if (m_fScaleX <= 0 || m_fScaleY <= 0)
        return {r.left, r.bottom};
    return {record_values::ClampToPage(r.left + std::trunc(double(px) / m_fScaleX)),
            record_values::ClampToPage(r.bottom - std::trunc(double(py) / m_fScaleY))};
}

HandleCursor CDrawIR::GetHandleCursor(int handle) const
{
    if (handle == 0)
        return HandleCursor::Cross;
    const bool deleting = DeleteMode();
    if (handle >= kFirstBandHandle && handle <= 38) {
        if (handle % 3 == 0)
            return deleting ? HandleCursor::DeleteBand : HandleCursor::Drag;
        return deleting ? HandleCursor::Cross : HandleCursor::BandEdge;
    }
    const int index = AnalysisOfHandle(handle);
    if (index < 0)
        return CDrawObj::GetHandleCursor(handle);
    const bool body = handle == FirstAnalysisHandle(std::size_t(index));
    switch (m_analyses[std::size_t(index)].kind) {
    case kAnalysisPoint: return deleting ? HandleCursor::DeletePoint : HandleCursor::MovePoint;
    case kAnalysisLine:
        return deleting ? HandleCursor::DeleteLine : (body ? HandleCursor::MoveLine : HandleCursor::ShapeEdge);
    case kAnalysisRect:
        return deleting ? HandleCursor::DeleteRect : (body ? HandleCursor::MoveRect : HandleCursor::ShapeEdge);
    case kAnalysisEllipse:
        return deleting ? HandleCursor::DeleteEllipse : (body ? HandleCursor::MoveEllipse : HandleCursor::ShapeEdge);
    default: return CDrawObj::GetHandleCursor(handle);
    }
}

// ---- hit test

namespace {

// The sub-handle of a rectangle on the page (normalised: top is the lower
// edge): 5-8 the corners (upper left, upper right, lower right, lower left),
// 1-4 the sides (left, upper, right, lower), 0 the frame band inside; -1
// elsewhere.
int RectSubHandle(QPoint p, const DocRect& r)
{
    const QPoint corners[4] = {{r.left, r.bottom}, {r.right, r.bottom}, {r.right, r.top}, {r.left, r.top}};
    for (int i = 0; i < 4; ++i) {
        if (Within(p, corners[i], 20))
            return 5 + i;
    }
    const bool inX = r.left - 20 <= p.x() && p.x() <= r.right + 20;
    const bool inY = r.top - 20 <= p.y() && p.y() <= r.bottom + 20;
    if (inY && std::abs(p.x() - r.left) <= 20)
        return 1;
    if (inX && std::abs(p.y() - r.bottom) <= 20)
        return 2;
    if (inY && std::abs(p.x() - r.right) <= 20)
        return 3;
    if (inX && std::abs(p.y() - r.top) <= 20)
        return 4;
    const auto inside = [&p](const DocRect& s) {
        return s.left <= p.x() && p.x() <= s.right && s.top <= p.y() && p.y() <= s.bottom;
    };
    const DocRect outer(r.left + 20, r.top + 20, r.right - 20, r.bottom - 20);
    const DocRect inner(r.left + 40, r.top + 40, r.right - 40, r.bottom - 40);
    if (inside(outer) && !(inner.left < inner.right && inner.top < inner.bottom && inside(inner)))
        return 0;
    return -1;
}

// 1 or 2 near an end, 0 on the segment, -1 elsewhere.
int LineSubHandle(QPoint p, QPoint a, QPoint b)
{
    if (Within(p, a, 20))
        return 1;
    if (Within(p, b, 20))
        return 2;
    const bool betweenX = std::min(a.x(), b.x()) <= p.x() && p.x() <= std::max(a.x(), b.x());
    const bool betweenY = std::min(a.y(), b.y()) <= p.y() && p.y() <= std::max(a.y(), b.y());
    if (a.y() == b.y())
        return betweenX && std::abs(p.y() - a.y()) <= 20 ? 0 : -1;
    if (a.x() == b.x())
        return betweenY && std::abs(p.x() - a.x()) <= 20 ? 0 : -1;
    const double dx = double(b.x()) - a.x();
    const double dy = double(b.y()) - a.y();
    const double distance = std::abs(dy * (p.x() - a.x()) - dx * (p.y() - a.y())) / std::hypot(dx, dy);
    return distance < 40 && betweenX && betweenY ? 0 : -1;
}

} // namespace

int CDrawIR::HitTest(QPoint point, DrawView* v, bool selected, int flag)
{
    const DocRect bar = ColorBarRect();
    const double high = m_fLimits[4];
    const double low = m_fLimits[5];
    const bool onBar = m_bShowBar != 0 && bar.left <= point.x() && point.x() <= bar.right && bar.top <= point.y() &&
                       point.y() <= bar.bottom;
    if (onBar && std::isfinite(high) && std::isfinite(low) && high > low) {
        const double scale = double(bar.Height()) / (high - low);
        for (int i = kIsotherms - 1; i >= 0; --i) {
            const IRIsotherm& iso = m_isotherms[std::size_t(i)];
            if (iso.enabled == 0)
                continue;
            const double yHi = bar.top + (double(iso.centre) + iso.width / 2.0 - low) * scale;
            const double yLo = bar.top + (double(iso.centre) - iso.width / 2.0 - low) * scale;
            const double t = std::max((yHi - yLo) / 10, 10.0);
            const double y = point.y();
            if (std::abs(y - yHi) < t)
                return 10 + 3 * i;
            if (std::abs(y - yLo) < t)
                return 11 + 3 * i;
            if (yLo + t < y && y < yHi - t)
                return 9 + 3 * i;
        }
    } else if (HasImage() && m_fScaleX > 0 && m_fScaleY > 0) {
        int h = kFirstAnalysisHandle;
        for (const IRAnalysisItem& item : m_analyses) {
            const IRShape& s = item.shape;
            const QPoint a = PixelToPage(s.left, s.top);
            const QPoint b = PixelToPage(s.right, s.bottom);
            const DocRect page = DocRect(a.x(), a.y(), b.x(), b.y()).Normalized();
            int found = -1;
            switch (item.kind) {
            case kAnalysisPoint: found = Within(point, a, 35) ? 0 : -1; break;
            case kAnalysisLine: found = LineSubHandle(point, a, b); break;
            case kAnalysisRect: found = RectSubHandle(point, page); break;
            case kAnalysisEllipse: {
                const double r = page.Width() / 2.0;
                const double d = std::hypot(point.x() - (page.left + page.Width() / 2.0),
                                            point.y() - (page.top + page.Height() / 2.0));
                if (r - 20 < d && d < r + 20)
                    found = 1;
                else if (r - 60 < d && d < r - 20)
                    found = 0;
                break;
            }
            default: break;
            }
            if (found >= 0) {
                if (selected)
                    m_dragOffset = {point.x() - page.left, point.y() - page.bottom, point.x() - page.right,
                                    point.y() - page.top};
                return h + found;
            }
            h += HandleCount(item.kind);
        }
    }
    return CDrawObj::HitTest(point, v, selected, flag);
}

// ---- moving handles

namespace {

// A shape moved by (dx, dy) pixels, stopped at the picture's edges with its
// size kept.
void ShiftInside(IRShape& s, std::int64_t dx, std::int64_t dy, int width, int height)
{
    const std::int64_t minX = std::min(s.left, s.right), maxX = std::max(s.left, s.right);
    const std::int64_t minY = std::min(s.top, s.bottom), maxY = std::max(s.top, s.bottom);
    dx = std::clamp<std::int64_t>(dx, -minX, std::int64_t(width) - 1 - maxX);
    dy = std::clamp<std::int64_t>(dy, -minY, std::int64_t(height) - 1 - maxY);
    if (maxX - minX > width - 1)
        dx = 0;
    if (maxY - minY > height - 1)
        dy = 0;
    s.left = std::int32_t(s.left + dx);
    s.right = std::int32_t(s.right + dx);
    s.top = std::int32_t(s.top + dy);
    s.bottom = std::int32_t(s.bottom + dy);
}

} // namespace

void CDrawIR::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
{
    if (handle < kFirstBandHandle) {
        CDrawObj::MoveHandleTo(handle, point, flags, v);
        return;
    }
    if (handle < kFirstAnalysisHandle) {
        const int i = (handle - kFirstBandHandle) / 3;
        if (i >= kIsotherms)
            return;
        IRIsotherm& iso = m_isotherms[std::size_t(i)];
        const DocRect bar = ColorBarRect();
        const double high = m_fLimits[4];
        const double low = m_fLimits[5];
        if (!(high > low) || !std::isfinite(high - low) || bar.Height() <= 0)
            return;
        const double t = low + (high - low) * (double(point.y()) - bar.top) / bar.Height();
        const int part = (handle - kFirstBandHandle) % 3;
        if (part == 0) {
            if (iso.enabled == 0 || iso.width == 0)
                return;
            const double half = iso.width / 2.0;
            iso.centre = float(std::clamp(t, low + half, std::max(low + half, high - half)));
        } else if (part == 1) {
            const double lower = double(iso.centre) - iso.width / 2.0;
            const double upper = std::min(std::max(t, lower + 0.1), std::max(high, lower + 0.1));
            iso.centre = float((lower + upper) / 2);
            iso.width = float(upper - lower);
        } else {
            const double upper = double(iso.centre) + iso.width / 2.0;
            const double lower = std::max(std::min(t, upper - 0.1), std::min(low, upper - 0.1));
            iso.centre = float((upper + lower) / 2);
            iso.width = float(upper - lower);
        }
        ApplyDisplayAfterBandChange();
        InvalidateIn(v);
        return;
    }
    const int index = AnalysisOfHandle(handle);
    if (index < 0 || !HasImage() || m_fScaleX <= 0 || m_fScaleY <= 0)
        return;
    m_bListFlag = 1;
    IRAnalysisItem& item = m_analyses[std::size_t(index)];
    IRShape& s = item.shape;
    const int sub = handle - FirstAnalysisHandle(std::size_t(index));
    const int w = ImageWidth();
    const int h = ImageHeight();
    // Pixels stop at the last column and row: one past them has no value.
    const auto clampX = [w](int x) { return std::clamp(x, 0, std::max(w - 1, 0)); };
    const auto clampY = [h](int y) { return std::clamp(y, 0, std::max(h - 1, 0)); };
    const QPoint px = PageToPixel(point);
    InvalidateIn(v); // the old place
    switch (item.kind) {
    case kAnalysisPoint:
        s.left = s.right = clampX(px.x());
        s.top = s.bottom = clampY(px.y());
        break;
    case kAnalysisLine:
    case kAnalysisRect:
    case kAnalysisEllipse: {
        const bool body = sub == 0;
        if (body) {
            // The shape's left and upper edges follow the mouse at the
            // distances taken when the drag began.
            const QPoint to = PageToPixel(QPoint(point.x() - m_dragOffset[0], point.y() - m_dragOffset[1]));
            ShiftInside(s, std::int64_t(to.x()) - std::min(s.left, s.right),
                        std::int64_t(to.y()) - std::min(s.top, s.bottom), w, h);
        } else if (item.kind == kAnalysisLine) {
            (sub == 1 ? s.left : s.right) = clampX(px.x());
            (sub == 1 ? s.top : s.bottom) = clampY(px.y());
        } else if (item.kind == kAnalysisRect) {
            // Sides 1-4 (left, upper, right, lower on the page); corners stay.
            std::int32_t& left = s.left <= s.right ? s.left : s.right;
            std::int32_t& right = s.left <= s.right ? s.right : s.left;
            std::int32_t& top = s.top <= s.bottom ? s.top : s.bottom;
            std::int32_t& bottom = s.top <= s.bottom ? s.bottom : s.top;
            switch (sub) {
            case 1: left = clampX(px.x()); break;
            case 2: top = clampY(px.y()); break;
            case 3: right = clampX(px.x()); break;
            case 4: bottom = clampY(px.y()); break;
            default: break;
            }
        } else {
            // The border: the radius follows the mouse around the centre.
            const double cx = (double(s.left) + s.right) / 2;
            const double cy = (double(s.top) + s.bottom) / 2;
            const double r = std::hypot(px.x() - cx, px.y() - cy);
            s.left = clampX(TruncateTo<int>(cx - r));
            s.right = clampX(TruncateTo<int>(cx + r));
            s.top = clampY(TruncateTo<int>(cy - r));
            s.bottom = clampY(TruncateTo<int>(cy + r));
        }
        break;
    }
    default: break;
    }
    MeasureAnalysis(item);
    NotifyDependents();
    InvalidateIn(v);
}

void CDrawIR::ApplyDisplayAfterBandChange()
{
    NoteChange();
    if (!HasImage())
        return;
    SyncHolderEnvironment();
    m_image->SetRangeTemps(m_fLimits[4], m_fLimits[5]);
    int palette = -1;
    m_image->GetPalette(&palette);
    if (palette >= 0)
        m_image->SetPalette(palette);
    for (int i = 0; i < kIsotherms; ++i) {
        const IRIsotherm& iso = m_isotherms[std::size_t(i)];
        if (iso.enabled != 0)
            m_image->SetIsothermTemp(1, iso.centre + iso.width / 2, iso.centre - iso.width / 2, iso.color, i);
        else
            m_image->SetIsothermTemp(0, 0, 0, iso.color, i);
    }
    Render();
    NotifyDependents();
}

// ---- deleting

void CDrawIR::ShiftOutBand(std::size_t i)
{
    if (i >= m_isotherms.size())
        return;
    const COLORREF colour = m_isotherms[i].color;
    std::move(m_isotherms.begin() + std::ptrdiff_t(i) + 1, m_isotherms.end(), m_isotherms.begin() + std::ptrdiff_t(i));
    m_isotherms.back() = IRIsotherm{0, 0, 0, colour};
}

void CDrawIR::DeleteHandleOwner(int handle)
{
    if (handle < kFirstBandHandle)
        return;
    if (handle < kFirstAnalysisHandle) {
        const int i = (handle - kFirstBandHandle) / 3;
        if (handle % 3 != 0 || i >= kIsotherms || m_isotherms[std::size_t(i)].enabled == 0)
            return;
        SaveRedoSnapshot();
        ShiftOutBand(std::size_t(i));
        ApplyDisplayAfterBandChange();
        Invalidate();
        SaveUndoSnapshot();
        return;
    }
    const int index = AnalysisOfHandle(handle);
    if (index < 0)
        return;
    SaveRedoSnapshot();
    const std::size_t n = m_analyses.GetSize();
    for (std::size_t k = std::size_t(index); k + 1 < n; ++k)
        m_analyses[k] = m_analyses[k + 1];
    m_analyses.SetSize(n - 1);
    m_bListFlag = 1;
    NoteChange();
    NotifyDependents();
    Invalidate();
    SaveUndoSnapshot();
}

// ---- adding

bool CDrawIR::RefuseWithoutImage()
{
    if (HasImage())
        return false;
    DocumentEnvironment& env = Environment();
    env.MessageBox(IRString(env, ir_string::kNoImage), DocumentEnvironment::kOk | kIconInformation,
                   ir_string::kNoImage);
    return true;
}

void CDrawIR::AppendAnalysis(IRAnalysisItem item, int category, int nameId)
{
    const IRShape& s = item.shape;
    const int w = ImageWidth();
    const int h = ImageHeight();
    for (std::int32_t x : {s.left, s.right}) {
        if (x < 1 || x >= w)
            return;
    }
    for (std::int32_t y : {s.top, s.bottom}) {
        if (y < 1 || y >= h)
            return;
    }
    SaveRedoSnapshot();
    item.color = IRAnalysisItem::kDefaultColor;
    item.emissivity = m_fEmissivity;
    item.distance = m_fDistance;
    item.referenceTemp = m_fReference;
    item.background = m_fBackground;
    item.number = NextAnalysisNumber(category);
    DocumentEnvironment& env = Environment();
    item.SetName(QString::asprintf("%s%02d", env.LoadString(nameId).toUtf8().constData(), item.number));
    MeasureAnalysis(item);
    m_analyses.Add(item);
    NotifyDependents();
    Invalidate();
    if (view != nullptr)
        view->InvalidateAll();
    SaveUndoSnapshot();
}

void CDrawIR::AddPointAnalysis(QPoint point)
{
    if (RefuseWithoutImage())
        return;
    const QPoint p = PageToPixel(point);
    IRAnalysisItem item;
    item.kind = kAnalysisPoint;
    item.shape = {p.x(), p.y(), p.x(), p.y()};
    AppendAnalysis(item, kCategoryPoint, doc_string::kPointWord);
}

void CDrawIR::AddLineAnalysis(const DocRect& ends)
{
    if (RefuseWithoutImage())
        return;
    const QPoint a = PageToPixel(QPoint(ends.left, ends.top));
    const QPoint b = PageToPixel(QPoint(ends.right, ends.bottom));
    IRAnalysisItem item;
    item.kind = kAnalysisLine;
    item.shape = {a.x(), a.y(), b.x(), b.y()};
    TidyShape(item);
    AppendAnalysis(item, kCategoryLine, doc_string::kLineWord);
}

namespace {

IRAnalysisItem AreaItem(std::int32_t kind, QPoint a, QPoint b)
{
    IRAnalysisItem item;
    item.kind = kind;
    item.shape = {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
    CDrawIR::TidyShape(item);
    return item;
}

} // namespace

void CDrawIR::AddAreaAnalysis(const DocRect& rect)
{
    if (RefuseWithoutImage())
        return;
    AppendAnalysis(AreaItem(kAnalysisRect, PageToPixel(QPoint(rect.left, rect.top)),
                            PageToPixel(QPoint(rect.right, rect.bottom))),
                   kCategoryArea, doc_string::kAreaWord);
}

void CDrawIR::AddEllipseAnalysis(const DocRect& rect)
{
    if (RefuseWithoutImage())
        return;
    AppendAnalysis(AreaItem(kAnalysisEllipse, PageToPixel(QPoint(rect.left, rect.top)),
                            PageToPixel(QPoint(rect.right, rect.bottom))),
                   kCategoryArea, doc_string::kAreaWord);
}

// ---- an isotherm from the colour bar

void CDrawIR::SetIsothermAtPoint(int x1, int y1, int x2, int y2)
{
    if (RefuseWithoutImage())
        return;
    const DocRect bar = ColorBarRect();
    const auto inside = [&bar](int x, int y) {
        return bar.left <= x && x <= bar.right && bar.top <= y && y <= bar.bottom;
    };
    if (!inside(x1, y1) || !inside(x2, y2))
        return;
    const auto free = std::find_if(m_isotherms.begin(), m_isotherms.end(),
                                   [](const IRIsotherm& iso) { return iso.enabled == 0; });
    const double span = double(m_fLimits[4]) - m_fLimits[5];
    if (free == m_isotherms.end() || !(span > 0) || !std::isfinite(span) || bar.Height() <= 0)
        return;
    SaveRedoSnapshot();
    const double mid = double(y2) - (double(y2) - y1) / 2;
    free->centre = float((mid - bar.top) * span / bar.Height() + m_fLimits[5]);
    free->width = y1 == y2 ? float(span * 0.1) : float(std::abs(double(y2) - y1) * span / bar.Height());
    free->enabled = 1;
    const int i = int(free - m_isotherms.begin());
    SyncHolderEnvironment();
    m_image->SetIsothermTemp(1, free->centre + free->width / 2, free->centre - free->width / 2, free->color, i);
    int palette = -1;
    m_image->GetPalette(&palette);
    if (palette >= 0)
        SetPalette(palette);
    Render();
    NoteChange();
    Invalidate();
    SaveUndoSnapshot();
}
