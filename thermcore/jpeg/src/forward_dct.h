// Generic forward DCTs (the fdctFast and fdctAccurate entries).
#ifndef THERMJPEG_FORWARD_DCT_H
#define THERMJPEG_FORWARD_DCT_H

#include <cstdint>

namespace thermjpeg {

// Arai-Agui-Nakajima: coefficient (u, v) leaves scaled by 8 s(u) s(v)
// (the DC is the plain sum of the samples); the fast quantiser removes it.
void JpegFdctFast(int16_t* block);
// The T.81 DCT within rounding (DC = sum of the samples / 8).
void JpegFdctAccurate(int16_t* block);

} // namespace thermjpeg

#endif
