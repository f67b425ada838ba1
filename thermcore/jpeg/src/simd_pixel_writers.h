// Processor forms of the decoder's whole-MCU pixel kernels (SSE2, x86-64
// only): the arguments and layouts of the generic kernels (pixel_writers.h),
// each output row written exactly (8 or 16 pixels of 1 to 4 bytes).
//
// The colour arithmetic is the generic writers' to the bit (8-bit fixed
// point per chroma sample, the green sum in 32 bits), so a picture is the
// same whichever set wrote its whole MCUs and the generic edge forms wrote
// the rest, and a region read equals the crop of a full read.
#ifndef THERMJPEG_SIMD_PIXEL_WRITERS_H
#define THERMJPEG_SIMD_PIXEL_WRITERS_H

#include "kernel_table.h"

namespace thermjpeg {

#if defined(__x86_64__)

// Fills the pixel* entries that have a processor form.
void JpegFillSimdPixelKernels(KernelTable& table);

void JpegMmxPixelsGray(const int16_t* y, const int16_t* cb, const int16_t* cr, const int16_t* k, uint8_t* destination,
                       ptrdiff_t stride);
void JpegMmxPixelsYcbycr(const int16_t* y, const int16_t* cb, const int16_t* cr, const int16_t* k,
                         uint8_t* destination, ptrdiff_t stride);

#endif

} // namespace thermjpeg

#endif
