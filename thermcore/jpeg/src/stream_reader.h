// The read path's front: the marker loop over a JPEG stream (interchange or
// abbreviated, with JFIF, JFXX, Adobe and comment segments), the segment
// handlers that fill the decoder state, and the hand-over of each scan to
// the scan decoder.
//
// Every segment is read through the length-checked source; a header that
// T.81 does not allow is refused before anything of it is stored.
#ifndef THERMJPEG_STREAM_READER_H
#define THERMJPEG_STREAM_READER_H

#include "thermjpeg.h"

namespace thermjpeg {

struct CodecState;

inline bool JpegIsHeaderMode(int mode) { return mode == 0 || mode == 1 || mode == 4 || mode == 5 || mode == 20 || mode == 21; }

// Reads the stream from the source's start (or resumes an interrupted scan)
// for the read mode. Returns 0, 1 (interrupted), 2 (region complete) or a
// negative code.
int JpegReadStream(CodecState& state, JPEG_PROPERTIES& properties, int mode);

// At an SOS marker: reads and checks the scan header and its tables, sets
// up the scan record. Returns 0, -19 before a frame, -21 for a bad scan
// header, -17 / -18 for missing tables, -5 when the coefficient store
// cannot be had.
int JpegBeginScan(CodecState& state, JPEG_PROPERTIES& properties);

// JpegColour for the frame and the application segments seen.
int JpegStreamColour(const CodecState& state);

} // namespace thermjpeg

#endif
