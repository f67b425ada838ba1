// Huffman decoding: decoder tables built from BITS/HUFFVAL lists, symbol
// decoding with an 8-bit look-ahead, and the block decoders of baseline and
// progressive scans. Blocks are 64 coefficients in natural order.
//
// Status of every decoder: 0, or a negative codec error (-21 data error, or
// the reader's refill error). A marker or the end of the input met inside a
// block ends that block with 0; the block keeps what was decoded so far and
// the marker stays in reader.marker for the scan loop. No decoder writes
// outside its block: a corrupt run that overshoots stores its value at the
// last position (63 in a baseline block, Se in a progressive band) and ends
// the block.
#ifndef THERMJPEG_HUFFMAN_DECODER_H
#define THERMJPEG_HUFFMAN_DECODER_H

#include <cstdint>

#include "bit_reader.h"

namespace thermjpeg {

// Bits the combined table of HuffmanDecoder looks ahead.
inline constexpr int kHuffmanFastBits = 10;

// Entries of the combined table: bits 0..7 the bits a code and its extra
// bits take together, bits 8..11 the zero run before the value (15 with
// value 0 for ZRL), kHuffmanFastEob for an end of block, bits 16..31 the
// value as a signed 16-bit number.
inline constexpr uint32_t kHuffmanFastEob = 1u << 12;

// Decoder table of one DHT table.
struct HuffmanDecoder {
    int cls = 0;    // 0 DC, 1 AC
    int number = 0; // table number
    bool built = false;
    // Indexed by the next 8 bits: (code length << 16) | symbol, or 0 when
    // the code there is longer than 8 bits (the slow path decodes it).
    uint32_t lookahead[256] = {};
    // Indexed by the next kHuffmanFastBits bits: a code together with its
    // extra bits (the decoded value) when both fit, else 0. The entries
    // serve DC decoding too, which reads only the length and the value.
    uint32_t fast[1 << kHuffmanFastBits] = {};
    // Per code length L (1..16; index 17 holds the sentinel): the smallest
    // and largest code of that length (largest -1 when there is none) and
    // the index in `symbols` of its first symbol.
    int32_t minCode[18] = {};
    int32_t maxCode[18] = {};
    int32_t firstIndex[18] = {};
    uint8_t symbols[256] = {};
};

// Builds the decoder table (canonical codes, T.81 Annex C). Refuses with -6,
// before anything is written, a list of more than 256 symbols or one that is
// over-subscribed (a code of L bits reaching 2^L). A complete list (its last
// code all ones) is accepted.
int JpegBuildHuffmanDecoder(const uint8_t* bits, const uint8_t* values, int cls, int number,
                            HuffmanDecoder& decoder);

// One symbol: look-ahead on the next 8 bits, else bit by bit (T.81
// F.2.2.3). A code longer than 16 bits gives symbol 0 after 17 bits.
// Returns 0, kStatusNoMoreBits or a negative error.
int JpegDecodeSymbol(BitReader& reader, int& symbol, const HuffmanDecoder& table);

// The combined entry for the reader's next bits, or 0 when the code or its
// extra bits reach past the look-ahead or past the valid bits.
inline uint32_t JpegFastEntry(const BitReader& r, const HuffmanDecoder& t)
{
    const uint32_t entry = t.fast[r.bitBuffer >> (64 - kHuffmanFastBits)];
    return static_cast<int>(entry & 0xFF) <= r.bitCount ? entry : 0;
}

// Takes the bits of a combined entry.
inline void JpegSkipEntry(BitReader& r, uint32_t entry)
{
    const int n = static_cast<int>(entry & 0xFF);
    r.bitBuffer <<= n;
    r.bitCount -= n;
}

// Status of JpegDecodeAcSlow at an end of block.
inline constexpr int kStatusEndOfBlock = 101;

// The slow path of the block decoders, for a symbol the combined table does
// not hold (a code longer than its look-ahead, extra bits reaching past it,
// or few bits left). DC: the difference is added to the predictor (kept
// within 16 bits). AC: the symbol at zig-zag position k is stored in the
// block (null: read past) and k moved on; kStatusEndOfBlock at an end of
// block. Both return 0, kStatusNoMoreBits or a negative error.
int JpegDecodeDcSlow(BitReader& reader, const HuffmanDecoder& dc, int32_t* predictor);
int JpegDecodeAcSlow(BitReader& reader, const HuffmanDecoder& ac, int& k, int16_t* block);

// The decodeBlock entry: clears the block, decodes the DC difference into
// the predictor (kept within 16 bits) and coefficient 0, then the AC
// coefficients.
int JpegDecodeBlock(BitReader& reader, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                    int16_t* block);

// The decodeBlockDc entry: as JpegDecodeBlock, but only the DC predictor is
// updated (and stored in *dcOut when dcOut is not null); the AC symbols and
// their bits are read past.
int JpegDecodeBlockDcOnly(BitReader& reader, const HuffmanDecoder& dc, const HuffmanDecoder& ac, int32_t* dcPredictor,
                          int16_t* dcOut);

// Progressive scans (T.81 G.2). The band Ss..Se is in zig-zag positions
// (0 <= Ss <= Se <= 63); the end-of-band run lives in reader.eobRun.
// DC first: coefficient = (predictor + difference) << Al.
int JpegDecodeDcFirst(BitReader& reader, const HuffmanDecoder& dc, int16_t* coefficient, int32_t* dcPredictor,
                      int al);
// DC refinement: one bit; a 1 sets bit Al of the coefficient.
int JpegDecodeDcRefine(BitReader& reader, int16_t* coefficient, int al);
// AC first: the band's coefficients, each value << Al, or one block of a
// pending end-of-band run.
int JpegDecodeAcFirst(BitReader& reader, int16_t* block, const HuffmanDecoder& ac, int ss, int se, int al);
// AC refinement: newly significant coefficients (+-1 << Al) and correction
// bits for those already non-zero.
int JpegDecodeAcRefine(BitReader& reader, int16_t* block, const HuffmanDecoder& ac, int ss, int se, int al);

} // namespace thermjpeg

#endif
