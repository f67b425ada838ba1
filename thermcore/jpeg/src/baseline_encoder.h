// The baseline sequential encoder: frame and scan headers, then one
// interleaved scan walked MCU by MCU, with restart markers and suspension.
#ifndef THERMJPEG_BASELINE_ENCODER_H
#define THERMJPEG_BASELINE_ENCODER_H

#include "codec_state.h"

namespace thermjpeg {

// Returns 0 (stream complete, EOI written), 1 (suspended by InterruptFlag;
// the scan stays in the state) or a negative code (scan released).
int JpegEncodeBaseline(CodecState& state, JPEG_PROPERTIES& properties);

// The MCU loop from the scan's resume position; restart markers stand
// between intervals when the state has a restart interval. Returns 0, 1 or
// a negative code, and always runs clearSimdState.
int JpegEncodeMcus(CodecState& state, JPEG_PROPERTIES& properties, ScanRecord& scan);

// Strip writes: true when the MCU row after `row` is not in the caller's
// strip (and `row` is not the image's last), the scan then resuming at that
// row, which InterruptRow reports (InterruptColumn 0). False without strips.
bool JpegStripEndsAfter(const CodecState& state, JPEG_PROPERTIES& properties, ScanRecord& scan, int row);

// Fills the MCU buffer with the MCU's blocks from the caller's planes
// (block row = MCU row x V + row in the MCU, likewise for columns), one line
// of 8 values at a time; samples (plane mode non-zero) are level-shifted.
void JpegCopyMcuFromPlanes(CodecState& state, const JpegPlaneInput& planes, int mcuColumn, int mcuRow);

} // namespace thermjpeg

#endif
