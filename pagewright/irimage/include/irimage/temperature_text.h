// Temperature units, atmospheric transmittance and the temperature label
// shared by marks, field texts and charts.
#pragma once

#include <QString>

#include <limits>

// The program-wide temperature unit.
enum TempUnit : int { kUnitCelsius = 0, kUnitFahrenheit = 1, kUnitKelvin = 2 };

// A Celsius temperature in the unit: Fahrenheit x 1.8 + 32, Kelvin + 273.2.
float CelsiusToUnit(float celsius, int unit);
// The same with single-precision constants, in double (reference
// temperatures).
double CelsiusToUnitF32(double celsius, int unit);

// Transmittance of the air between camera and target: air temperature t in
// degrees Celsius, relative humidity rh in per cent, distance d in metres.
// Computed in double and cut to a multiple of 0.01.
float AtmosphericTransmittance(float t, float rh, float d);

// "%4.1f" of value; ">" and the upper bound above it, "<" and the lower
// bound below it (and for a value that is not a number); the no-temperature
// text for Thermcore's bad-handle value and below, which the holder passes
// through unconverted in any unit. No unit.
QString FormatTempLabel(float value, float high, float low);
// The text where a statistic has no value (a measurement over no pixel).
inline QString NoTemperatureText() { return QStringLiteral("--"); }

// A value truncated toward zero to an integer type, saturated at its limits
// (0 for a value that is not a number): hostile files never reach an
// undefined conversion.
template <class Int>
Int TruncateTo(double value)
{
    if (!(value == value))
        return 0;
    const double lo = double(std::numeric_limits<Int>::min());
    const double hi = double(std::numeric_limits<Int>::max());
    if (value <= lo)
        return std::numeric_limits<Int>::min();
    if (value >= hi)
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}
