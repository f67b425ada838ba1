// Processor forms of the 8x8 transforms, the quantisers and the accurate
// dequantiser, written once with SSE2 intrinsics on eight 16-bit lanes (x86-64
// only). Each takes the arguments of its generic form.
//
// Accurate transforms: an even/odd split of the eight-point DCT with 16-bit
// inputs, multiply-add into 32-bit sums, constants sqrt(8) D[u][x] in Q14 (D
// the orthonormal DCT matrix, so the DC constant is exactly 16384), signed
// saturation wherever a sum returns to 16 bits.
//   forward: columns (x 2^14, +2^10 >> 11), rows (+2^19 >> 20); a constant
//            block v gives DC 8 v and 63 zeros.
//   inverse: rows (+2048 >> 12), columns (+2^18 >> 19 on output lines 0, 1
//            and 5, +2^18 - 1 on the others), +128 and saturation to 0..255.
// Quantisers: the high-half multiply forms (see the functions); the
// dequantiser keeps the low 16 bits of c x m as the generic one does.
#ifndef THERMJPEG_SIMD_TRANSFORMS_H
#define THERMJPEG_SIMD_TRANSFORMS_H

#include <cstdint>

namespace thermjpeg {

#if defined(__x86_64__)

// Fast transforms: the fast flow graph in 16-bit lanes with wrapping sums
// and the generic forms' constants and rounded products, so the forward
// form gives the generic form's results for 8-bit samples. The inverse uses
// the other arrangement of the flow graph and ends with >> 4 and no rounding
// term, + 128 and saturation to 0..255: within 2 of the generic form.
void JpegMmxFdctFast(int16_t* block);
void JpegMmxIdctFast(int16_t* block);
void JpegSse2FdctAccurate(int16_t* block);
void JpegSse2IdctAccurate(int16_t* block);
// Dequantisation by 16-bit multipliers in the transform's loads, then as above.
void JpegSse2DequantIdctAccurate(int16_t* block, const int16_t* multipliers);
// The two-block entry without AVX2: the above on each block.
void JpegSse2DequantIdctAccurate2(int16_t* a, const int16_t* multipliersA, int16_t* b, const int16_t* multipliersB);

// Clamps c to -8192..8191, then (c x m + 2^14) >> 15 with m signed.
void JpegMmxQuantize(int16_t* block, const uint16_t* multipliers);
// (c x (m & ~1) + 2^14) >> 15 with m unsigned, exact for c in -4096..4095
// (8c wraps in 16 bits beyond).
void JpegSse2QuantizeUnsigned(int16_t* block, const uint16_t* multipliers);
// c = low 16 bits of c x m.
void JpegSse2Dequantize(int16_t* block, const int32_t* table);

#endif

} // namespace thermjpeg

#endif
