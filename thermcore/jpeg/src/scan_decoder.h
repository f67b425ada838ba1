// Scan decoding: the entropy-coded data of one scan into MCUs of
// coefficients, dequantised and inverse-transformed at full size or reduced
// to 1/2, 1/4 or 1/8, and handed to the output stage.
//
// Direct decoding serves a sequential scan that carries every component: MCU
// by MCU straight to the output. Buffered decoding (progressive scans, and
// sequential scans that carry only some components) collects the quantised
// coefficients of the whole image in the coefficient store, which
// JpegOutputStore puts out once every component is complete (and at the end
// of the stream in any case). A strip read puts the store out once, at the
// end of the stream, a strip a call (JpegOutputStoreStrip).
//
// A region read decodes only the MCU rows and columns it needs: rows above
// the region are passed over with the DC-only decoder, or skipped entirely
// when the restart index holds the state at the region's first row (the
// index records each row's start the first time a region read reaches it).
#ifndef THERMJPEG_SCAN_DECODER_H
#define THERMJPEG_SCAN_DECODER_H

#include <cstdint>

#include "thermjpeg.h"

namespace thermjpeg {

struct CodecState;
struct JpegSource;
struct DecodeScanRecord;
struct DecoderState;

// Decodes the current scan (state.dec.scan) from its resume position.
// Returns 0 (scan done; a marker met in the data stays pending), 1
// (interrupted after an MCU, or a strip is complete; the position is kept),
// 2 (the output region is complete) or a negative code.
int JpegDecodeScan(CodecState& state, JPEG_PROPERTIES& properties);

// The restart step after MCU (column, row) of a grid of columns x rows: at
// each interval's end (not after the last MCU) the predictors, the bits and
// the end-of-band run are cleared and a restart marker RST0..RST7 (of any
// number) is consumed. Returns 0, 1 when another marker stands there (left
// pending: the scan ends) or a negative code.
int JpegCheckRestart(JpegSource& source, DecodeScanRecord& scan, int columns, int rows, int column, int row);

// Strip reads: places the strip that starts at MCU row `mcuRow` at the
// output buffer's first row.
void JpegPlaceStrip(DecoderState& decoder, int mcuRow);

// Dequantisation and inverse transform of an MCU of quantised coefficients,
// each component's blocks at the component's size.
void JpegTransformMcu(CodecState& state, int16_t* mcu);

// Puts the coefficient store out (the region's MCUs when a region is set):
// 0, or 2 for a region.
int JpegOutputStore(CodecState& state);

// Strip reads of a buffered image: puts out the store's MCU rows of the
// strip from state.dec.storeStripRow on into the caller's buffer, moves that
// row on and places the next strip. Returns 1 (the strip is complete).
int JpegOutputStoreStrip(CodecState& state);

// Largest coefficient store a read makes: 1 GiB, a progressive 4:2:0 image
// of about 350 megapixels.
inline constexpr uint64_t kMaxStoreBytes = uint64_t{1} << 30;

// The coefficient store for the frame, zeroed; sized with checked 64-bit
// arithmetic. Returns 0, or -5 beyond kMaxStoreBytes or when it cannot be had.
int JpegAllocateStore(CodecState& state);

} // namespace thermjpeg

#endif
