// Everything of a JPEG stream that is not entropy-coded: markers, segments,
// the default tables, quality scaling and the tables' preparation.
#ifndef THERMJPEG_STREAM_WRITER_H
#define THERMJPEG_STREAM_WRITER_H

#include <cstdint>

#include "codec_state.h"

namespace thermjpeg {

// Installs the Annex K tables the caller did not supply. Returns 0.
int JpegSetDefaultTables(CodecState& state, const JPEG_PROPERTIES& properties);

// The tables component c codes with: -17 when its DC or AC encoder is
// missing, -18 when its quantisation table is, else 0.
struct ComponentTables {
    const HuffmanEncoder* dc = nullptr;
    const HuffmanEncoder* ac = nullptr;
    const QuantSlot* quant = nullptr;
};
int JpegComponentTables(const CodecState& state, int component, ComponentTables& tables);
// The prepared quantisation table of component c, or null.
const QuantSlot* JpegFindQuantSlot(const CodecState& state, int component);

// Quality q (<= 0 acts as 1, > 100 as 100): s = 5000/q below 50, else
// 200 - 2q; each value (base * s + 50) / 100 clamped to 1..255.
void JpegScaleQuantTable(int quality, const uint8_t* base, uint16_t* out);

// Checks and prepares every table of the write before anything is written:
// scales the quantisation tables (modes 8 to 11; modes 12 and 13 keep the
// scaled values they already hold), makes the quantiser's multipliers for
// the DCT method, derives the Huffman encoders, and for the image modes
// checks that every component finds its tables (a progressive write only
// needs its quantisation tables: it makes its own Huffman tables per scan). Returns 0, -6 (bad Huffman
// table), -7 (bad quantisation table number), -8 (DctMethod), -17 or -18.
int JpegPrepareTables(CodecState& state, int mode);

// SOI, APP0 or APP14, COM, DQT and DHT as the mode asks (no DHT when
// Progressive is set: each progressive scan writes its own); selects the
// current DCT and quantiser; EOI for modes 10 and 11; flushes a file.
int JpegWriteHeader(CodecState& state, JPEG_PROPERTIES& properties, int mode);

int JpegWriteSoi(CodecState& state);
int JpegWriteEoi(CodecState& state);
int JpegWriteJfif(CodecState& state, const JPEG_PROPERTIES& properties);
int JpegWriteAdobe(CodecState& state, const JPEG_PROPERTIES& properties, int transform);
// The caller's comment (CommentLength lowered to 65531 at most), or the
// codec's own text.
int JpegWriteComment(CodecState& state, JPEG_PROPERTIES& properties);
int JpegWriteDqt(CodecState& state, int precision, int number, const uint16_t* zigzagValues);
int JpegWriteDht(CodecState& state);
int JpegWriteDhtTable(CodecState& state, const uint8_t* bits, const uint8_t* values, int cls, int number);
int JpegWriteSof0(CodecState& state);
int JpegWriteSof2(CodecState& state);
int JpegWriteDri(CodecState& state, int interval);
int JpegWriteSos(CodecState& state);
// One progressive scan: identifiers are frame component indices (0 for a
// gray frame), each with the DC and AC table numbers given per scan
// component; then Ss, Se and Ah x 16 + Al.
int JpegWriteScanSos(CodecState& state, const ScanRecord& scan, const uint8_t* dcNumbers, const uint8_t* acNumbers);
int JpegWriteRst(CodecState& state, int number);

} // namespace thermjpeg

#endif
