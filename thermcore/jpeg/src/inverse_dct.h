// Inverse DCTs of the decoder (the idct* kernel entries): a block of 64
// dequantised coefficients in natural order becomes samples 0..255 (level
// shift and clamp included), in place. The reduced forms write an N x N
// result into the block's top-left corner with the row stride of 8.
//
// Every form accepts any 16-bit input: intermediates are computed in 64
// bits and 16-bit stores wrap, so corrupt coefficients give clamped
// garbage, never undefined behaviour; valid input gives the same results
// as 32-bit arithmetic.
#ifndef THERMJPEG_INVERSE_DCT_H
#define THERMJPEG_INVERSE_DCT_H

#include <cstdint>

namespace thermjpeg {

// Fast family (input carries the scale 2 s(u) s(v) of JpegDequantizeFast).
void JpegIdctFast(int16_t* block);
void JpegIdctFast4(int16_t* block);
void JpegIdctFast2(int16_t* block);
void JpegIdctFast1(int16_t* block); // 0 below -2056, 255 from 2040 on

// Accurate family (input: the T.81 coefficients).
void JpegIdctAccurate(int16_t* block);
void JpegIdctAccurate4(int16_t* block);
void JpegIdctAccurate2(int16_t* block);
void JpegIdctAccurate1(int16_t* block); // 0 below -1028, 255 from 1020 on

// The dequantIdctAccurate entry: each coefficient times its multiplier's low
// 16 bits (64, natural order), kept in 16 bits, then JpegIdctAccurate.
void JpegDequantIdctAccurate(int16_t* block, const int16_t* multipliers);
// The dequantIdctAccurate2 entry of the generic set: the above on each block.
void JpegDequantIdctAccurate2(int16_t* a, const int16_t* multipliersA, int16_t* b, const int16_t* multipliersB);

} // namespace thermjpeg

#endif
