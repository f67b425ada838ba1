// The value rules of the infrared image's property sheet: rounding to a
// tenth, display units of temperature and length, the emissivity bounds and
// the names of analyses in the pages' combos.
#pragma once

#include "irimage/ir_analysis.h"

#include <QString>

#include <cstdint>

class DocumentEnvironment;

// Feet per metre: the one factor of every distance shown in feet.
inline constexpr float kFeetPerMetre = 3.2808f;

// x rounded to a multiple of 0.1, halves away from zero (-12.34 -> -12.3,
// -12.35 -> -12.4).
float RoundTenth(double x);
// x rounded to an integer, halves away from zero, saturated to 32 bits
// (-1000.0 -> -1000, 96.5 -> 97).
std::int32_t RoundHalfAway(double x);

// A temperature of the display unit back in Celsius: Fahrenheit
// (t - 32) x 0.5555556, Kelvin t - 273.2.
float UnitToCelsius(float t, int unit);
// Metres shown in the length unit (0 metres, else feet), and back.
float MetresToUnit(float metres, int lengthUnit);
float UnitToMetres(float value, int lengthUnit);

// The emissivity bounds: e x 100 <= 100 and e x 100 + 0.5 >= 1 (the 0.01
// rule) or >= 10 (the 0.1 rule), computed in double from the float.
bool EmissivityAccepted(float e, bool hundredthRule);
// The 0.01 rule of the parameter page: the radiometric camera models
// ("VN410K8", "VN410K9", "VN410K10" on 8 characters) and "V093517".
bool ModelUsesHundredthRule(const QString& model);

// "%s%02d" of the kind word (point, line, area) and the number.
QString AnalysisDisplayName(const DocumentEnvironment& env, const IRAnalysisItem& item);
