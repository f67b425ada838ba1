// Processor forms of the baseline block decoders (x86-64 only). They decode
// the same symbols into the same coefficients as the generic decoders
// (huffman_decoder.h) on the same reader convention (bits left-aligned), with
// the generic combined code-and-value table and slow path, the block
// cleared with vector stores and, in the wide forms, the input taken four
// bytes at a time whenever none of them is 0xFF. They take the same input bytes at the
// same points as the generic decoders, and stuffing, markers, the end of the
// input and corrupt runs go the same way: every 0xFF and every end of the
// buffer goes through the generic refill.
#ifndef THERMJPEG_SIMD_HUFFMAN_DECODER_H
#define THERMJPEG_SIMD_HUFFMAN_DECODER_H

#include <cstdint>

#include "huffman_decoder.h"

namespace thermjpeg {

#if defined(__x86_64__)

// decodeBlock of code 3 (byte-by-byte refill) and of codes 4 to 6 (wide).
int JpegMmxDecodeBlock(BitReader& reader, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                       int16_t* block);
int JpegMmxDecodeBlockWide(BitReader& reader, const HuffmanDecoder& dc, const HuffmanDecoder& ac,
                           int32_t* dcPredictor, int16_t* block);
// decodeBlockDc: the predictor only (and *dcOut when not null).
int JpegMmxDecodeBlockDc(BitReader& reader, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                         int16_t* dcOut);

#endif

} // namespace thermjpeg

#endif
