// 256-bit kernels for processors with AVX2, installed in the processor sets
// when the processor has it; each gives the SSE2 kernel's results bit for
// bit.
#ifndef THERMJPEG_AVX2_TRANSFORMS_H
#define THERMJPEG_AVX2_TRANSFORMS_H

#include <cstdint>

namespace thermjpeg {

// True when the processor and the system run AVX2 instructions.
bool JpegHaveAvx2();

#if defined(__x86_64__)
// The dequantIdctAccurate2 entry: two blocks at once, one in each 128-bit
// half (JpegSse2DequantIdctAccurate on each).
void JpegAvx2DequantIdctAccurate2(int16_t* a, const int16_t* multipliersA, int16_t* b, const int16_t* multipliersB);
#endif

} // namespace thermjpeg

#endif
