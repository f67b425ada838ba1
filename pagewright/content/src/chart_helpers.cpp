#include "content/chart_helpers.h"

#include "document/document_environment.h"
#include "document/draw_rect.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace chart {

namespace {

constexpr int kUnitFahrenheit = 1;
constexpr int kUnitKelvin = 2;
constexpr int kUnitTextId = 61449;

} // namespace

QString Text(const DocumentEnvironment& env, int id)
{
    const QString own = env.LoadString(id);
    if (!own.isEmpty())
        return own;
    struct BuiltIn {
        int id;
        const char* text;
    };
    static constexpr BuiltIn kTexts[] = {
        {text::kObjectProperties, "对象属性"}, {text::kLineChartTitle, "线测温图"},
        {text::kPointTemperature, "温度"},     {text::kNone, "(无)"},
        {text::kLine, "线"},                   {text::kHistogram, "直方图"},
        {text::kCursor, "Cursor"},             {text::kPoint, "点"},
        {61483, "线最高"},                     {61484, "线最低"},
        {61485, "线平均"},                     {61486, "线温差"},
        {61487, "区最高"},                     {61488, "区最低"},
        {61489, "区平均"},                     {61490, "区温差"},
        {text::kArea, "区域"},                 {text::kMinBelowMax, "最低温度必需低于最高温度。"},
        {kUnitTextId, "℃"},                    {kUnitTextId + 1, "℉"},
        {kUnitTextId + 2, " K"},              {text::kTrendChartTitle, "趋势图"},
        {text::kObjectSerial, "对象序号"},
    };
    for (const BuiltIn& t : kTexts) {
        if (t.id == id)
            return QString::fromUtf8(t.text);
    }
    return {};
}

float ToUnit(float celsius, int unit)
{
    if (unit == kUnitFahrenheit)
        return celsius * 1.8f + 32.0f;
    if (unit == kUnitKelvin)
        return celsius + 273.2f;
    return celsius;
}

float FromUnit(float value, int unit)
{
    if (unit == kUnitFahrenheit)
        return (value - 32.0f) * 0.5555556f;
    if (unit == kUnitKelvin)
        return value - 273.2f;
    return value;
}

float ToUnitWhole(float celsius, int unit)
{
    if (unit == kUnitKelvin)
        return celsius + 273.0f;
    return ToUnit(celsius, unit);
}

QString UnitText(const DocumentEnvironment& env, int unit)
{
    const int u = unit == kUnitFahrenheit || unit == kUnitKelvin ? unit : 0;
    return Text(env, kUnitTextId + u);
}

int TruncBound(double v)
{
    if (std::isnan(v))
        return 0;
    const double f = std::trunc(v);
    if (f >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (f <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(f);
}

namespace {

int AddSat(int a, int b) { return ClampToInt(std::int64_t(a) + b); }

} // namespace

IntRange ImageScale(float lowC, float highC, int unit)
{
    if (unit == kUnitFahrenheit)
        return {TruncBound(lowC * 1.8f + 32.0f), AddSat(TruncBound(highC * 1.8f + 32.0f), 1)};
    if (unit == kUnitKelvin)
        return {AddSat(TruncBound(lowC), 273), AddSat(TruncBound(highC), 274)};
    return {TruncBound(lowC), AddSat(TruncBound(highC), 1)};
}

IntRange CustomScale(float minC, float maxC, int unit)
{
    return {TruncBound(ToUnitWhole(minC, unit)), TruncBound(double(ToUnitWhole(maxC, unit)) + 1.0)};
}

IntRange AutoScale(float minimum, float maximum, bool anySamples)
{
    if (!anySamples || (minimum == 0.0f && maximum == 0.0f)) {
        minimum = 15.0f;
        maximum = 45.0f;
    }
    return {TruncBound(minimum), AddSat(TruncBound(maximum), 1)};
}

Ladder CurveAxisLadder(double d)
{
    Ladder l{400, 80};
    if (d > 2)
        l = {200, 40};
    if (d > 3)
        l = {100, 20};
    if (d > 4)
        l = {50, 10};
    if (d > 20)
        l = {10, 2};
    if (d > 40)
        l = {5, 1};
    if (d > 200)
        l = {1, 1};
    return l;
}

Ladder ClassAxisLadder(double c, double d)
{
    Ladder l{800, 160};
    if (c > 2)
        l = {400, 80};
    if (c > 3)
        l = {200, 40};
    if (d > 4)
        l = {100, 20};
    if (d > 10)
        l = {10, 2};
    if (d > 20)
        l = {5, 1};
    if (d > 150)
        l = {1, 1};
    return l;
}

int PercentStep(double p)
{
    int step = 100;
    if (p > 4)
        step = 50;
    if (p > 20)
        step = 10;
    if (p > 40)
        step = 5;
    if (p > 200)
        step = 1;
    return step;
}

LogPen GridPen() { return LogPen{PS_DOT, 1, 1, 0x606060}; }

LogPen ThinPen(COLORREF color) { return LogPen{PS_SOLID, 1, 1, color}; }

int PointFontHeight(int tenths) { return static_cast<int>(std::int64_t(tenths) * 96 / 720); }

QFont ChartFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

int RowHeight(int fontTenths) { return PointFontHeight(fontTenths) + 20; }

void TextAt(PageDC& dc, int x, int y, const QString& text, int fontTenths, COLORREF color, int align)
{
    const int h = PointFontHeight(fontTenths);
    // A box of the text's height below the anchor; the text runs out of it
    // sideways as the alignment says.
    DocRect box(x, y, x, y - h);
    const int horizontal = align & Qt::AlignHorizontal_Mask;
    dc.DrawText(box, text, ChartFont(), h,
                (horizontal != 0 ? horizontal : int(Qt::AlignLeft)) | Qt::AlignTop | Qt::TextSingleLine |
                    Qt::TextDontClip,
                color);
}

bool ApplyMinimumSize(DocRect& position, int minWidth, int minHeight)
{
    DocRect r = position.Normalized();
    if (r.Height() < minHeight)
        r.top = ClampToInt(std::int64_t(r.bottom) - minHeight);
    if (r.Width() < minWidth)
        r.right = ClampToInt(std::int64_t(r.left) + minWidth);
    const bool changed = !(r == position);
    position = r;
    return changed;
}

DocRect Deflated(const DocRect& r, int d)
{
    return {ClampToInt(std::int64_t(r.left) + d), ClampToInt(std::int64_t(r.top) + d),
            ClampToInt(std::int64_t(r.right) - d), ClampToInt(std::int64_t(r.bottom) - d)};
}

bool DrawChartFrame(PageDC& dc, const CDrawObj& chart)
{
    const LogPen& pen = chart.pen;
    if (!chart.SelectPenAndBrush(dc, LogPen{pen.style, ScaledPenWidth(pen.widthX), ScaledPenWidth(pen.widthY), pen.color}))
        return false;
    dc.Rectangle(chart.position);
    return true;
}

void DrawChartNumber(PageDC& dc, const CDrawObj& chart, int imageNumber)
{
    constexpr int kNumberFont = 960;
    const CDI_RptDoc* doc = chart.GetDocument();
    if (doc == nullptr || !doc->GetShowNumbers())
        return;
    const DocRect r = chart.position.Normalized();
    TextAt(dc, r.right - 30, r.top + 30 + PointFontHeight(kNumberFont), QStringLiteral("NO.%1").arg(imageNumber),
           kNumberFont, 0, Qt::AlignRight);
}

QImage RenderChartPicture(const DocRect& rect, const std::function<void(PageDC&)>& draw)
{
    const DocRect r = rect.Normalized();
    const PageMapping screen = PageMapping::ForZoom(1.0);
    const int w = int(std::clamp<double>(std::floor(double(r.Width()) * screen.Scale()), 0, 16384));
    const int h = int(std::clamp<double>(std::floor(double(r.Height()) * screen.Scale()), 0, 16384));
    if (w <= 0 || h <= 0)
        return {};
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PageMapping mapping = screen;
    mapping.windowOrigin = QPoint(r.left, r.bottom);
    mapping.viewportOrigin = QPointF(0, 0);
    PageDC dc(painter, mapping);
    draw(dc);
    return image;
}

} // namespace chart
