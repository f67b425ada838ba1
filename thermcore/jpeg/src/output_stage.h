// The decoder's output stage: the choice of the MCU writer for an image
// (JpegSelectOutputKernel), the general writers that build each component at
// the MCU's output resolution (block replication, or the triangle filters
// when smoothing 2x1 and 2x2 chroma) and store it channel by channel, and
// the in-place colour conversion they use.
//
// In-place conversion (general writers): G = Y + ((34806 - 88 Cb - 183 Cr)
// >> 8), so neutral chroma gives G = Y; R and B as in pixel_writers.h.
#ifndef THERMJPEG_OUTPUT_STAGE_H
#define THERMJPEG_OUTPUT_STAGE_H

#include <cstdint>

#include "region_clip.h"

namespace thermjpeg {

struct CodecState;

// Colour flags, output layout and writer for the frame, the output colour
// and the reduction in force; sets writeMcu. Returns 0, -14 for a component
// count outside 1..4, -8 for Y Cb Cr output of an image that is not 4:2:2
// (or into other than two or three bytes), -3 for a combination without a
// writer. The colour pair has been checked by the caller.
int JpegSelectOutputKernel(CodecState& state);

// The general writer: any sampling, any reduction, both upsampling modes;
// converts colour afterwards when the layout asks for it.
int JpegWriteMcuUpsampled(CodecState& state, int mcuColumn, int mcuRow);

// Converts the rectangle of Y Cb Cr pixels (bytes 0, 1, 2) in place.
void JpegConvertMcuArea(CodecState& state, uint8_t* destination, const Rect& visible);

// Output of one transformed MCU (samples in state.dec.mcuSamples): the
// chosen writer. Returns the writer's result (-8 for an MCU outside the
// region, which callers pass over).
int JpegOutputMcu(CodecState& state, int mcuColumn, int mcuRow);

} // namespace thermjpeg

#endif
