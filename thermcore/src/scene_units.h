// Units of the scene values: the object keeps temperatures, emissivity,
// humidity and corrections as integers of hundredths.
#pragma once

#include <cstdint>
#include <limits>

#include "numeric.h"

namespace thermcore {

// H(x) = trunc(x * 100 + 0.5), evaluated in double from the float argument
// (so 0.975f gives 98 and 0.955f, which lies just below 0.955, gives 95);
// saturating, NaN gives 0.
inline int32_t toHundredths(float x) { return truncSat(static_cast<double>(x) * 100.0 + 0.5); }

// A value kept in hundredths, read back.
inline double fromHundredths(int32_t v) { return v / 100.0; }
inline float fromHundredthsF(int32_t v) { return static_cast<float>(v / 100.0); }

// A double as float; values beyond the float range become infinities.
inline float narrowToFloat(double v) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (v > kMax) return std::numeric_limits<float>::infinity();
    if (v < -kMax) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

inline int32_t saturate32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

}  // namespace thermcore
