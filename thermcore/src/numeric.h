// Conversions with a defined result for every input.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace thermcore {

// Truncation toward zero, saturating at the int32 range; NaN gives 0.
inline int32_t truncSat(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

}  // namespace thermcore
