// Huffman coding of baseline blocks (T.81 F.1.2), the derivation of encoder
// tables from BITS/HUFFVAL lists, and optimal tables from symbol counts.
#ifndef THERMJPEG_HUFFMAN_ENCODER_H
#define THERMJPEG_HUFFMAN_ENCODER_H

#include <cstdint>

#include "codec_state.h"

namespace thermjpeg {

// Canonical codes for the list (T.81 Annex C). Refuses with -6 a list of
// more than 256 symbols or one whose codes do not fit below the all-ones
// code of their length (a Kraft sum of 1 or more). Incomplete lists, like
// the standard tables, are fine.
int JpegBuildHuffmanEncoder(const uint8_t* bits, const uint8_t* values, HuffmanEncoder& encoder);

// The encodeBlock entry: codes one quantised block (natural order) and
// updates the DC predictor. A symbol the tables have no code for gives -6;
// otherwise 0 or the first error of the output.
int JpegEncodeBlock(OutputRecord& out, const HuffmanEncoder& dc, const HuffmanEncoder& ac, int16_t* dcPredictor,
                    const int16_t* block);

// Number of significant bits of |value| (0 for 0), for |value| < 65536.
int JpegMagnitudeCategory(int32_t value);

// T.81 Annex K.2: from 257 counts (symbols 0..255 and a reserved slot)
// builds BITS (16 counts) and HUFFVAL; returns the number of symbols.
int JpegBuildOptimalTable(const uint32_t counts[257], uint8_t bits[16], uint8_t values[256]);

} // namespace thermjpeg

#endif
