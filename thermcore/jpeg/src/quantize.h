// Quantisers (the quantizeFast and quantizeAccurate entries) and the
// preparation of their multiplier tables.
#ifndef THERMJPEG_QUANTIZE_H
#define THERMJPEG_QUANTIZE_H

#include <cstdint>

namespace thermjpeg {

// c[i] = (c[i] * m[i] + 2^14) >> 15 with m read as signed 16-bit.
void JpegQuantize(int16_t* block, const uint16_t* multipliers);
// The same with m read as unsigned 16-bit (so that 32768, for q = 1, works).
void JpegQuantizeUnsigned(int16_t* block, const uint16_t* multipliers);

// Accurate path: m = 32768 / q[k] for each zig-zag k, stored at natural
// position. In and out may be the same storage.
void JpegMakeReciprocalTable(const uint16_t* zigzagValues, uint16_t* naturalMultipliers);

// Fast path: raises q[63] to at least 2 in zigValues (the value then written
// to DQT and used by the quantiser), then m = ((q >> 1) + K[k]) / q.
void JpegPrepareQuantFast(uint16_t* zigzagValues, uint16_t* naturalMultipliers);

} // namespace thermjpeg

#endif
