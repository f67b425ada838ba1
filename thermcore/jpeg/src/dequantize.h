// Dequantisation for the decoder: the tables prepared from a DQT table and
// the dequantizeFast / dequantizeAccurate entries.
//
// A dequantisation table is 80 signed 32-bit values: 64 multipliers in
// natural order, then 16 zeros. Fast multipliers reach about 125,600 (q 255
// at the largest scale), so they need the 32 bits.
#ifndef THERMJPEG_DEQUANTIZE_H
#define THERMJPEG_DEQUANTIZE_H

#include <cstdint>

namespace thermjpeg {

inline constexpr int kDequantTableSize = 80;

// Fast method: m = truncate(q[k] x scale[k] x 0.0625 x 32768 + 0.5) in
// double precision, scale[k] = s(u) s(v) / 8 rounded to six decimals
// (s(0) = 1, s(k) = sqrt(2) cos(k pi / 16)); stored at natural position.
void JpegPrepareDequantFast(const uint16_t* zigzagValues, int32_t* table);
// Accurate method: the values themselves, moved to natural order.
void JpegPrepareDequantAccurate(const uint16_t* zigzagValues, int32_t* table);

// The dequantizeFast entry: c = (c x m + 64) >> 7, the product in 64 bits,
// the result kept in 16 bits.
void JpegDequantizeFast(int16_t* block, const int32_t* table);
// The dequantizeAccurate entry: c = c x m, kept in 16 bits.
void JpegDequantize(int16_t* block, const int32_t* table);

} // namespace thermjpeg

#endif
