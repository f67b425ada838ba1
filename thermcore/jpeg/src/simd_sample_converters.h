// Processor forms of the encoder's whole-MCU sample converters (SSE2, x86-64
// only). Each writes exactly the blocks of its generic form
// (sample_converters.h) and reads only the MCU's pixel bytes: a row of eight
// three-byte pixels is 24 bytes, loaded as 16 + 8 bytes.
#ifndef THERMJPEG_SIMD_SAMPLE_CONVERTERS_H
#define THERMJPEG_SIMD_SAMPLE_CONVERTERS_H

#include <cstddef>
#include <cstdint>

namespace thermjpeg {

#if defined(__x86_64__)

void JpegMmxSamplesGray(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegMmxSamplesRgb(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegMmxSamplesBgr(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegMmxSamplesRgbH2V1(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegMmxSamplesBgrH2V1(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
// 16x16 pixels, converted as four 8x8 quarters (one luminance block and a
// 4x4 quarter of Cb and of Cr each).
void JpegMmxSamplesRgbH2V2(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegMmxSamplesBgrH2V2(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
// Complemented R G B plus a fourth channel (four-byte pixels) at 1x1, 2x1
// and 2x2: luminance, Cb, Cr, then the fourth channel's blocks.
void JpegMmxSamplesInvRgbA(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegMmxSamplesInvRgbAH2V1(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegMmxSamplesInvRgbAH2V2(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
// 16x8 packed Y0 Cb Y1 Cr pixels.
void JpegSseSamplesYcbycr(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);

#endif

} // namespace thermjpeg

#endif
