// The decoder's fixed-layout MCU writers (configurations 1 to 17 and 19 of
// the output stage, and the one-component writer) and their whole-MCU
// kernels. Each writer places one full-size MCU of a known sampling in the
// caller's pixels: the whole-MCU kernel (a kernel-table entry) when the MCU
// lies wholly inside the output, the writer's edge form for the pixels that
// are visible otherwise.
//
// Colour arithmetic of these writers (8-bit fixed point, arithmetic shifts,
// each sum clamped to 0..255), the chroma terms computed once per chroma
// sample:
//   R = Y + ((359 Cr - 45813) >> 8)
//   G = Y - ((88 Cb + 183 Cr - 34806) >> 8)   (neutral chroma gives Y + 1)
//   B = Y + ((454 Cb - 57937) >> 8)
// Writers without conversion store the low byte of each sample; the
// one-component writer clamps to 0..255.
#ifndef THERMJPEG_PIXEL_WRITERS_H
#define THERMJPEG_PIXEL_WRITERS_H

#include "kernel_table.h"

namespace thermjpeg {

// Fills the pixel* entries with the generic kernels.
void JpegFillPixelKernels(KernelTable& table);

// The writer of a configuration number (1 to 17, 19), or null.
McuWriter JpegFixedLayoutWriter(int configuration);
// The one-component, one-byte writer.
int JpegWriteMcuGray(CodecState& state, int mcuColumn, int mcuRow);

} // namespace thermjpeg

#endif
