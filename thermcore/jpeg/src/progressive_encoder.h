// The progressive encoder (SOF2, spectral selection and successive
// approximation): the whole image is transformed and quantised once into
// the coefficient store, then a fixed script of scans chosen by the
// component count and the JPEG colour is emitted, each scan with Huffman
// tables made from its own symbol counts (a counting pass, then a coding
// pass). DC and AC table 0 serve component 0, tables 1 the others.
//
// A restart interval gives a DRI segment after the frame header and RSTn
// markers in every scan: after each interval of MCUs (in a one-component
// scan each block is an MCU) the pending end-of-band run and correction
// bits go out, the DC predictions start again from 0, and the markers
// count from RST0 again in each scan. A progressive write cannot be
// interrupted; a strip write (StripRows) takes the picture a strip at a
// time into the store before the scans go out.
#ifndef THERMJPEG_PROGRESSIVE_ENCODER_H
#define THERMJPEG_PROGRESSIVE_ENCODER_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include "codec_state.h"
#include "progressive_kernels.h"

namespace thermjpeg {

// The scans of one write, in order.
struct ScanScript {
    std::unique_ptr<ScanRecord[]> scans;
    int count = 0;
};

// Bytes of the coefficient store (2 x 64 x blocks per MCU x MCU count),
// with overflow-checked 64-bit arithmetic. False when it cannot be held.
bool JpegCoefficientStoreSize(int64_t mcuCount, int blocksPerMcu, size_t& bytes);

// The number of scans of the script for the frame's component count and
// JPEG colour: 1 gray: 6; 2 with colour 255: 5; 3 Y Cb Cr: 10; 3 with
// colour 1 or 255: 8; 4 with colour 5 or 255: 10; 4 with colour 6: 11.
// Any other combination: -8.
int JpegCountScans(const CodecState& state, int& count);
// Allocates `count` cleared scan records: 0 or -5.
int JpegAllocScans(ScanScript& script, int count);
// A DC scan (Ss = Se = 0) of the first n frame components; n above 4
// leaves the scan unchanged.
void JpegSetScanComponents(const CodecState& state, ScanRecord& scan, int n, int ah, int al);
// An AC scan of one component.
void JpegSetScanComponent(const CodecState& state, ScanRecord& scan, int component, int ss, int se, int ah, int al);
// Counts, allocates and fills the script: 0, -5 or -8.
int JpegBuildScanScript(const CodecState& state, ScanScript& script);

// First pass: every MCU from the pass's resume row on prepared (or copied
// from sample planes), transformed and quantised into the coefficient
// store. A strip write stops after the last MCU row its strip holds and
// returns true, the pass resuming at the next row (JpegStripEndsAfter);
// otherwise every row is done and the result is false.
bool JpegTransformRows(CodecState& state, JPEG_PROPERTIES& properties, ScanRecord& pass);

// Counting pass of one scan into the counts of table 0 (component 0) and
// table 1 (the others). Cannot fail; returns 0.
int JpegGatherScanStatistics(CodecState& state, OutputRecord& out, const ScanRecord& scan, SymbolCounts counts[2]);
// Coding pass of one scan with the tables made for it.
int JpegEncodeProgressiveScan(CodecState& state, OutputRecord& out, const ScanRecord& scan,
                              const HuffmanEncoder dc[2], const HuffmanEncoder ac[2]);

// The whole write after the header: SOF2, the first pass, the scans with
// their DHT and SOS segments, EOI. Returns 0 or a negative code; a strip
// write returns 1 after each strip but the last (the first pass's position
// kept as the state's suspended scan), and writes the scans once the last
// strip is in.
int JpegEncodeProgressive(CodecState& state, JPEG_PROPERTIES& properties);

} // namespace thermjpeg

#endif
