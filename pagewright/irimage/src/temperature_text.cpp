#include "irimage/temperature_text.h"

#include "ir_holder_common.h"

#include <cmath>
#include <cstdio>

float CelsiusToUnit(float celsius, int unit)
{
    switch (unit) {
    case kUnitFahrenheit:
        return static_cast<float>(double(celsius) * 1.8 + 32.0);
    case kUnitKelvin:
        return static_cast<float>(double(celsius) + 273.2);
    default:
        return celsius;
    }
}

double CelsiusToUnitF32(double celsius, int unit)
{
    switch (unit) {
    case kUnitFahrenheit:
        return celsius * double(1.8f) + double(32.0f);
    case kUnitKelvin:
        return celsius + double(273.2f);
    default:
        return celsius;
    }
}

float AtmosphericTransmittance(float t, float rh, float d)
{
    const double td = t;
    const double e = ((0.00000068455 * td - 0.00027816) * td + 0.06939) * td - 1.5587;
    const double w = std::exp(e) * double(rh) * 0.01;
    const double s = std::sqrt(w);
    const double q = std::sqrt(double(d));
    // The single-precision constants of the camera's formula, widened.
    const double a = double(1.9f) * std::exp(-q * (double(0.006569f) - double(0.002276f) * s));
    const double b = double(0.9f) * std::exp(-q * (double(0.01262f) - double(0.006677f) * s));
    const double scaled = (a - b + 0.005) * 100.0;
    // A result out of int range (a hostile distance or humidity) is not cut
    // to int; it keeps its sign.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 2147483647.0)
        return static_cast<float>(std::isnan(scaled) ? 0.0 : (scaled > 0 ? 1e7 : -1e7));
    return static_cast<float>(static_cast<int>(scaled) * double(0.01f));
}

namespace {

// The C library's formatting (its rounding of halves), as the camera
// software printed them.
QString Printf(const char* format, float value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, double(value));
    return QString::fromLatin1(text);
}

} // namespace

QString FormatTempLabel(float value, float high, float low)
{
    // Thermcore's bad-handle value (and what a model that cannot convert
    // gives) is no temperature, in any unit.
    if (value <= thermcore::kBadHandleTemperature)
        return NoTemperatureText();
    if (value > high)
        return Printf(">%4.1f", high);
    if (value < low || std::isnan(value))
        return Printf("<%4.1f", low);
    return Printf("%4.1f", value);
}
