// Whole-MCU sample converters (the samples* kernel entries, generic forms)
// and the per-pixel colour conversion they share with the MCU preparers.
// Every output sample is level-shifted (v - 128).
#ifndef THERMJPEG_SAMPLE_CONVERTERS_H
#define THERMJPEG_SAMPLE_CONVERTERS_H

#include <cstddef>
#include <cstdint>

namespace thermjpeg {

// R, G, B (0..255) to level-shifted Y, Cb, Cr; exact integer arithmetic.
inline int32_t JpegLuma(int32_t r, int32_t g, int32_t b) { return (77 * r + 150 * g + 29 * b - 32640) >> 8; }
inline int32_t JpegChromaBlue(int32_t r, int32_t g, int32_t b) { return (128 * b - 43 * r - 85 * g + 128) >> 8; }
inline int32_t JpegChromaRed(int32_t r, int32_t g, int32_t b) { return (128 * r - 107 * g - 21 * b + 128) >> 8; }

// R, G and B of a pixel whose bytes hold them at offsets RI, GI, BI; with
// Invert the bytes are complements (255 - v).
template <int RI, int GI, int BI, bool Invert>
inline void JpegLoadRgb(const uint8_t* pixel, int32_t& r, int32_t& g, int32_t& b)
{
    r = pixel[RI];
    g = pixel[GI];
    b = pixel[BI];
    if constexpr (Invert) {
        r = 255 - r;
        g = 255 - g;
        b = 255 - b;
    }
}

// 8x8 pixels of one byte to one block.
void JpegSamplesGray(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
// Three-byte pixels converted to Y, Cb, Cr: 8x8 (1x1), 16x8 (2x1), 16x16 (2x2).
// Chroma is converted from the sums of R, G and B over its box, rounded once.
void JpegSamplesRgb(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegSamplesRgbH2V1(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegSamplesRgbH2V2(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegSamplesBgr(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegSamplesBgrH2V1(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegSamplesBgrH2V2(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
// Three-byte pixels without conversion; reduced chroma ((sum + n/2) >> log2 n).
void JpegSamplesYcc(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegSamplesYccH2V1(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegSamplesYccH2V2(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
// 16x8 two-byte pixels laid out Y0 Cb Y1 Cr per pixel pair.
void JpegSamplesYcbycr(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
// Four-byte pixels: complemented R, G, B converted, the fourth byte kept.
void JpegSamplesInvRgbA(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegSamplesInvRgbAH2V1(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
void JpegSamplesInvRgbAH2V2(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
// 8x8 four-byte pixels without conversion.
void JpegSamples4(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);

} // namespace thermjpeg

#endif
