// Conversions and integer arithmetic with defined results for every input.
//
// The model was written for 32-bit int arithmetic that wrapped silently and
// float-to-int casts that were undefined out of range. Here every integer
// operation is computed in 64 bits and reduced to 32 bits (two's complement),
// and every float-to-int truncation saturates, NaN giving 0.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace radiomath {

inline int32_t wrap32(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

inline int32_t add32(int32_t a, int32_t b) { return wrap32(int64_t{a} + b); }
inline int32_t sub32(int32_t a, int32_t b) { return wrap32(int64_t{a} - b); }
inline int32_t mul32(int32_t a, int32_t b) {
    // The 64-bit product of two 32-bit values cannot overflow.
    return wrap32(int64_t{a} * b);
}
// Truncating division; the caller guarantees b != 0. INT32_MIN / -1 wraps.
inline int32_t div32(int32_t a, int32_t b) { return wrap32(int64_t{a} / b); }

// Truncation toward zero that saturates at the int32 range; NaN gives 0.
template <typename F>
inline int32_t truncSat(F v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<F>(2147483648.0)) return std::numeric_limits<int32_t>::max();
    if (v <= static_cast<F>(-2147483648.0)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

}  // namespace radiomath
