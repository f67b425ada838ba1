// Reads a JPEG stream with the system's libjpeg down to its quantised
// coefficients (jpeg_read_coefficients), the independent check of our
// progressive streams.
#ifndef THERMJPEG_REFERENCE_COEFFICIENTS_H
#define THERMJPEG_REFERENCE_COEFFICIENTS_H

#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace thermjpeg::test {

struct ReferenceComponent {
    int widthInBlocks = 0;
    int heightInBlocks = 0;
    std::vector<int16_t> blocks; // row by row, each block in natural order
};

struct ReferenceCoefficients {
    bool ok = false;
    std::string error;
    bool progressive = false;
    std::vector<ReferenceComponent> components;
};

ReferenceCoefficients ReadReferenceCoefficients(const Bytes& jpeg);

} // namespace thermjpeg::test

#endif
