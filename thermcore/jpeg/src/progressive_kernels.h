// Per-block kernels of progressive scans (T.81 G.1.2): a counting pass that
// gathers symbol counts for a scan's optimal Huffman table, and a coding
// pass that emits the scan. Blocks are quantised coefficients in natural
// order, read in zig-zag order over the band Ss..Se.
//
// The end-of-band run lives in the output record (out.eobRun, at most
// 0x7FFF). AC refinement keeps the correction bits owed by that run (BE)
// and those of the current block in one buffer of kCorrectionBufferSize
// bytes, one bit a byte; they are flushed once BE passes 937.
//
// Coding kernels return 0 or the bit writer's first error (-23, -28); -6
// when a symbol has no code (a table not built from this scan's counts, or
// a coefficient beyond the 15 magnitude bits AC symbols can carry).
#ifndef THERMJPEG_PROGRESSIVE_KERNELS_H
#define THERMJPEG_PROGRESSIVE_KERNELS_H

#include <cstdint>

#include "codec_state.h"

namespace thermjpeg {

inline constexpr uint32_t kMaxEobRun = 0x7FFF;
inline constexpr int kCorrectionBitLimit = 1000;
inline constexpr int kCorrectionBufferSize = kCorrectionBitLimit;
inline constexpr int kCorrectionFlushAbove = kCorrectionBitLimit - 63; // 937

// Symbol counts of one table: 256 symbols and the reserved slot of
// JpegBuildOptimalTable.
using SymbolCounts = uint32_t[257];

// Counting pass.
void JpegCountDcProgressive(uint32_t* counts, int32_t* dcPredictor, const int16_t* block, bool refine, int al);
void JpegCountAcFirst(OutputRecord& out, const int16_t* block, int ss, int se, int al, uint32_t* counts);
// The same steps as JpegEncodeAcRefine, so that EOB runs and flushes fall
// at the same places; the buffer takes the block's bits as in coding.
void JpegCountAcRefine(OutputRecord& out, const int16_t* block, int ss, int se, int al, uint8_t* correctionBits,
                       int& correctionCount, uint32_t* counts);
// Counts the pending end-of-band run (EOB0 for one block, EOBn for longer
// runs) and clears it.
void JpegCountEobRun(OutputRecord& out, uint32_t* counts);

// Coding pass.
int JpegEncodeDcProgressive(OutputRecord& out, const HuffmanEncoder& dc, int32_t* dcPredictor, const int16_t* block,
                            bool refine, int al);
int JpegEncodeAcFirst(OutputRecord& out, const HuffmanEncoder& ac, const int16_t* block, int ss, int se, int al);
int JpegEncodeAcRefine(OutputRecord& out, const HuffmanEncoder& ac, const int16_t* block, int ss, int se, int al,
                       uint8_t* correctionBits, int& correctionCount);
// Emits the pending run's EOBn code and its n low bits, then clears it.
int JpegEmitEobRun(OutputRecord& out, const HuffmanEncoder& ac);
// Emits ZRL and lowers the run by 16.
int JpegEmitZrl(OutputRecord& out, const HuffmanEncoder& ac, int& run);
// Emits each buffered correction bit in order and counts down to 0.
int JpegEmitCorrectionBits(OutputRecord& out, const uint8_t* correctionBits, int& count);

} // namespace thermjpeg

#endif
