// CDrawIR: the texts of data fields and result tables. Each value is named
// by its field identifier, which is also the string id of its label.
// Temperatures of the image are held in Celsius and converted to the display
// unit here; analysis statistics are in the display unit already.
#include "irimage/draw_ir.h"

#include "irimage/ir_strings.h"
#include "irimage/temperature_text.h"

#include "document/document_environment.h"

#include <QDateTime>

#include <cstdarg>
#include <cstdio>
#include <limits>

namespace {

constexpr float kFeetPerMetre = 3.2808f;
const QString kLabelledRequest = QStringLiteral("SPEC");

// The C library's formatting (its rounding), as the camera software printed.
QString Format(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return QString::fromUtf8(text);
}

// A width is only scaled (x 1.8 in Fahrenheit).
float DifferenceToUnit(float width, int unit) { return unit == kUnitFahrenheit ? width * 1.8f : width; }

struct Units {
    int temp;
    QString tempText;
    QString lengthText;
    bool feet;
    float high; // the camera's range in the unit: FormatTempLabel's bounds
    float low;
};

} // namespace

namespace {

Units UnitsOf(const DocumentEnvironment& env, float cameraHigh, float cameraLow)
{
    const int unit = env.TempUnit();
    return {unit,
            env.TempUnitText(),
            env.LengthUnitText(),
            env.LengthUnit() == 1,
            CelsiusToUnit(cameraHigh, unit),
            CelsiusToUnit(cameraLow, unit)};
}

float Length(float metres, const Units& u) { return u.feet ? metres * kFeetPerMetre : metres; }

} // namespace

void CDrawIR::GetInfoText(int id, QString& text) const
{
    const DocumentEnvironment& env = Environment();
    const Units u = UnitsOf(env, m_fCameraHigh, m_fCameraLow);
    const QDateTime time = QDateTime::fromSecsSinceEpoch(m_timeCreated);
    QString value;
    switch (id) {
    case 33200: value = time.toString(QStringLiteral("yyyy-MM-dd")); break;
    case 33201: value = time.toString(QStringLiteral("HH:mm:ss")); break;
    case 33202: value = m_strFileName; break;
    case 33203: value = m_strFolder; break;
    case 33204: value = IRString(env, ir_string::kNoInfo); break;
    case 33205: value = Format("%4.1f", double(CelsiusToUnit(m_fLimits[4], u.temp))) + u.tempText; break;
    case 33206: value = Format("%4.1f", double(CelsiusToUnit(m_fLimits[5], u.temp))) + u.tempText; break;
    case 33300: value = m_strInfo[0]; break;
    case 33301: value = m_strInfo[1]; break;
    case 33302: value = m_strInfo[3]; break;
    case 33303: value = m_strInfo[2]; break;
    case 33304: value = Format("%4.1f", double(u.high)) + u.tempText; break;
    case 33305: value = Format("%4.1f", double(u.low)) + u.tempText; break;
    case 33306:
        value = IRString(env, ir_string::kNoLens + (m_lensCode >= 1 && m_lensCode <= 3 ? m_lensCode : 0));
        break;
    case 33307: value = Format("%.1f / %.1f", double(u.low), double(u.high)) + u.tempText; break;
    case 33308: value = Format("%d", ImageWidth()); break;
    case 33309: value = Format("%d", ImageHeight()); break;
    default: return;
    }
    text = text == kLabelledRequest ? IRString(env, id) + QLatin1Char('\n') + value : value;
}

void CDrawIR::GetParamText(int id, QString& text) const
{
    const DocumentEnvironment& env = Environment();
    const Units u = UnitsOf(env, m_fCameraHigh, m_fCameraLow);
    QString value;
    switch (id) {
    case 33400: value = Format("%3.2f", double(m_fEmissivity)); break;
    case 33401: value = Format("%3.2f", double(Length(m_fDistance, u))) + u.lengthText; break;
    case 33402: value = Format("%3.1f", double(CelsiusToUnit(m_fAmbient, u.temp))) + u.tempText; break;
    case 33403: value = Format("%d%%", TruncateTo<int>(double(m_fHumidity) * 100 + 0.5)); break;
    case 33404: value = Format("%.3f", double(m_fTransmittance)); break;
    case 33405:
        value = Format("%.1f", GetReferenceTemp(std::numeric_limits<std::size_t>::max())) + u.tempText;
        break;
    case 33406: value = Format("%.1f", double(CelsiusToUnit(m_fBackground, u.temp))) + u.tempText; break;
    default: return;
    }
    text = text == kLabelledRequest ? IRString(env, id) + QLatin1Char('\n') + value : value;
}

namespace {

// The fields shared by points (offset 0 from 33500), lines (33600) and areas
// (33700), by their meaning.
enum class Field { Max, Min, Span, Average, Distance, Emissivity, X1, Y1, X2, Y2, CentreX, CentreY, Radius,
                   Reference, Background, None };

Field PointField(int id)
{
    switch (id) {
    case 33500: return Field::Max;
    case 33501: return Field::Distance;
    case 33502: return Field::Emissivity;
    case 33503: return Field::X1;
    case 33504: return Field::Y1;
    case 33505: return Field::Reference;
    case 33506: return Field::Background;
    default: return Field::None;
    }
}

Field LineOrAreaField(int offset)
{
    constexpr Field kOrder[] = {Field::Max, Field::Min, Field::Span, Field::Average, Field::Distance,
                                Field::Emissivity, Field::X1, Field::Y1, Field::X2, Field::Y2};
    return offset >= 0 && offset < 10 ? kOrder[offset] : Field::None;
}

Field LineField(int id)
{
    if (id == 33610)
        return Field::Reference;
    if (id == 33611)
        return Field::Background;
    return LineOrAreaField(id - 33600);
}

Field AreaField(int id)
{
    switch (id) {
    case 33710: return Field::CentreX;
    case 33711: return Field::CentreY;
    case 33712: return Field::Radius;
    case 33713: return Field::Reference;
    case 33714: return Field::Background;
    default: return LineOrAreaField(id - 33700);
    }
}

} // namespace

namespace {

// The field text of one analysis; empty when the field does not fit its
// kind.
struct AnalysisText {
    const CDrawIR& image;
    const IRAnalysisItem& item;
    std::size_t index;
    const Units& u;
    bool labelled;
    bool withDelta;
    QString label;

    QString Temperature(float value, bool delta, bool plainValueInDelta = false) const
    {
        if (!item.HasStatistics())
            return labelled ? label + QLatin1Char('\n') + NoTemperatureText() : NoTemperatureText();
        const QString shown = FormatTempLabel(value, u.high, u.low);
        if (!labelled)
            return shown + u.tempText;
        if (delta && withDelta) {
            const double difference = double(value) - image.GetReferenceTemp(index);
            const QString valueText = plainValueInDelta ? Format("%4.1f", double(value)) : shown;
            return label + QLatin1Char('\n') + valueText + QStringLiteral(" dt:") + Format("%4.1f", difference) +
                   u.tempText;
        }
        return label + QLatin1Char('\n') + shown + u.tempText;
    }
    QString Plain(const QString& value) const { return labelled ? label + QLatin1Char('\n') + value : value; }
    QString Number(int value) const { return Plain(Format("%d", value)); }

    QString Text(Field field, bool area) const
    {
        const IRShape& s = item.shape;
        const bool rect = item.kind == kAnalysisRect;
        const bool ellipse = item.kind == kAnalysisEllipse;
        switch (field) {
        case Field::Max: return Temperature(item.maximum, true);
        case Field::Min: return Temperature(item.minimum, true);
        case Field::Average: return Temperature(item.average, true, true);
        case Field::Span:
            if (!item.HasStatistics())
                return Plain(NoTemperatureText());
            return Plain(Format("%4.1f", double(item.maximum) - double(item.minimum)) + u.tempText);
        case Field::Distance: return Plain(Format("%4.2f", double(Length(item.distance, u))) + u.lengthText);
        case Field::Emissivity: return Plain(Format("%4.2f", double(item.emissivity)));
        case Field::X1: return area && !rect ? QString() : Number(s.left);
        case Field::Y1: return area && !rect ? QString() : Number(s.top);
        case Field::X2: return area && !rect ? QString() : Number(s.right);
        case Field::Y2: return area && !rect ? QString() : Number(s.bottom);
        case Field::CentreX: return ellipse ? Number(TruncateTo<int>((double(s.left) + s.right) / 2)) : QString();
        case Field::CentreY: return ellipse ? Number(TruncateTo<int>((double(s.top) + s.bottom) / 2)) : QString();
        case Field::Radius: return ellipse ? Number(TruncateTo<int>((double(s.bottom) - s.top) / 2)) : QString();
        case Field::Reference:
            return Plain(FormatTempLabel(float(image.GetReferenceTemp(index)), u.high, u.low) + u.tempText);
        case Field::Background: {
            // Files of format 3 (other than board images) carry a background
            // per analysis.
            const CIrImage& holder = image.Image();
            const bool own = holder.Scheme() == 3 && holder.ModelVersion() != 11;
            const float celsius = own ? item.background : image.m_fBackground;
            return Plain(FormatTempLabel(CelsiusToUnit(celsius, u.temp), u.high, u.low) + u.tempText);
        }
        case Field::None: break;
        }
        return {};
    }
};

} // namespace

void CDrawIR::AnalysisFieldText(int number, int id, QString& text, bool withDelta, int group) const
{
    const bool labelled = text == kLabelledRequest;
    text.clear();
    if (!HasImage())
        return;
    const Field field = group == 3 ? PointField(id) : (group == 4 ? LineField(id) : AreaField(id));
    if (field == Field::None)
        return;
    const DocumentEnvironment& env = Environment();
    const Units u = UnitsOf(env, m_fCameraHigh, m_fCameraLow);
    for (std::size_t i = 0; i < m_analyses.GetSize(); ++i) {
        const IRAnalysisItem& item = m_analyses[i];
        const bool kindMatches = group == 3   ? item.kind == kAnalysisPoint
                                 : group == 4 ? item.kind == kAnalysisLine
                                              : (item.kind == kAnalysisRect || item.kind == kAnalysisEllipse);
        if (!kindMatches || item.number != number)
            continue;
        const AnalysisText at{*this, item, i, u, labelled, withDelta, item.Name() + IRString(env, id)};
        text = at.Text(field, group == 5);
    }
}

void CDrawIR::GetPointText(int number, int id, QString& text, bool withDelta) const
{
    AnalysisFieldText(number, id, text, withDelta, 3);
}

void CDrawIR::GetLineText(int number, int id, QString& text, bool withDelta) const
{
    AnalysisFieldText(number, id, text, withDelta, 4);
}

void CDrawIR::GetAreaText(int number, int id, QString& text, bool withDelta) const
{
    AnalysisFieldText(number, id, text, withDelta, 5);
}

void CDrawIR::GetIsothermText(int index, int id, QString& text) const
{
    if (index < 0 || index >= kIsotherms)
        return;
    const IRIsotherm& iso = m_isotherms[static_cast<std::size_t>(index)];
    if (iso.enabled == 0)
        return;
    const DocumentEnvironment& env = Environment();
    const Units u = UnitsOf(env, m_fCameraHigh, m_fCameraLow);
    const float centre = CelsiusToUnit(iso.centre, u.temp);
    const bool labelled = text == kLabelledRequest;
    if (id == 33800) {
        const QString value = FormatTempLabel(centre, u.high, u.low) + u.tempText;
        text = labelled ? IRString(env, id) + QLatin1Char('\n') + value : value;
    } else if (id == 33801) {
        const float half = DifferenceToUnit(iso.width, u.temp) / 2.0f;
        const QString value = QLatin1Char('\n') + FormatTempLabel(centre - half, u.high, u.low) +
                              QStringLiteral("--") + FormatTempLabel(centre + half, u.high, u.low) + u.tempText;
        text = labelled ? IRString(env, id) + value : value;
    }
}
