// Index-safe views into a parameter block read from a file.
#pragma once

#include "radiomath.h"

namespace radiomath {

inline bool validIndex(int32_t i) { return i >= 0 && i <= 2; }

inline bool gearValid(const MT_Para& p) { return validIndex(p.gear); }
inline bool gearAndLensValid(const MT_Para& p) { return validIndex(p.gear) && validIndex(p.lens); }

// The five calibration grays of one lens and gear (both already validated).
inline const float* calibrationGrays(const MT_Para& p, int gear, int lens) {
    switch (lens) {
        case 0: return p.calGrayLens0[gear];
        case 1: return p.calGrayLens1[gear];
        default: return p.calGrayLens2[gear];
    }
}
inline float* calibrationGrays(MT_Para& p, int gear, int lens) {
    return const_cast<float*>(calibrationGrays(static_cast<const MT_Para&>(p), gear, lens));
}

}  // namespace radiomath
