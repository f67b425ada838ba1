#include "irimage/ir_property_values.h"

#include "document/document_environment.h"

#include <cmath>
#include <limits>

float RoundTenth(double x)
{
    const double tenths = x >= 0 ? std::trunc(x * 10.0 + 0.5) : std::trunc(x * 10.0 - 0.5);
    return static_cast<float>(tenths / 10.0);
}

std::int32_t RoundHalfAway(double x)
{
    if (!(x == x))
        return 0;
    const double r = std::round(x);
    if (r <= double(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (r >= double(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

float UnitToCelsius(float t, int unit)
{
    switch (unit) {
    case 1:
        return static_cast<float>((double(t) - 32.0) * double(0.5555556f));
    case 2:
        return static_cast<float>(double(t) - double(273.2f));
    default:
        return t;
    }
}

float MetresToUnit(float metres, int lengthUnit)
{
    return lengthUnit == 0 ? metres : static_cast<float>(double(metres) * double(kFeetPerMetre));
}

float UnitToMetres(float value, int lengthUnit)
{
    return lengthUnit == 0 ? value : static_cast<float>(double(value) / double(kFeetPerMetre));
}

bool EmissivityAccepted(float e, bool hundredthRule)
{
    const double percent = double(e) * 100.0;
    return percent <= 100.0 && percent + 0.5 >= (hundredthRule ? 1.0 : 10.0);
}

bool ModelUsesHundredthRule(const QString& model)
{
    const QString first8 = model.left(8);
    return first8 == QLatin1String("VN410K8") || first8 == QLatin1String("VN410K9") ||
           first8 == QLatin1String("VN410K10") || model.startsWith(QLatin1String("V093517"));
}

QString AnalysisDisplayName(const DocumentEnvironment& env, const IRAnalysisItem& item)
{
    int word = doc_string::kAreaWord;
    if (item.kind == kAnalysisPoint)
        word = doc_string::kPointWord;
    else if (item.kind == kAnalysisLine)
        word = doc_string::kLineWord;
    return env.LoadString(word) + QString::asprintf("%02d", item.number);
}
