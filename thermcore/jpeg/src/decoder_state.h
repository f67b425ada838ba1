// The read path's part of the working state: the input source, the frame and
// tables parsed from the stream, the application data, the scan in progress,
// the output configuration and the buffers of buffered, region and smoothed
// decoding. It lives inside CodecState.
#ifndef THERMJPEG_DECODER_STATE_H
#define THERMJPEG_DECODER_STATE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dequantize.h"
#include "frame_component.h"
#include "huffman_decoder.h"
#include "jpeg_source.h"
#include "region_clip.h"

namespace thermjpeg {

// One component of a scan: its frame component and tables.
struct DecodeScanComponent {
    int index = 0; // frame component
    int h = 1, v = 1;
    int dcTable = 0, acTable = 0, quantTable = 0;
};

// The scan being decoded (kept between calls while it is interrupted).
struct DecodeScanRecord {
    int ns = 0;
    int ss = 0, se = 63, ah = 0, al = 0;
    int restartInterval = 0;
    int resumeColumn = 0, resumeRow = 0;
    int32_t dcPredictor[4] = {};
    DecodeScanComponent components[4];
    int sosLength = 0;      // segment length + 2: from the SOS marker to the scan data
    bool buffered = false;  // decoded into the coefficient store
    bool dataEnded = false; // strip reads: the entropy data ended before the last MCU row
};

// The decoder's state at the start of one MCU row of a sequential scan.
struct RestartEntry {
    int64_t offset = -1; // stream offset of the next unread byte; -1: not recorded
    int32_t dc[4] = {};
    uint64_t bitBuffer = 0;
    int bitCount = 0;
    int marker = 0;
};

// What the restart index was recorded for: the input and the scan.
struct RestartIndexKey {
    std::string file;
    const uint8_t* base = nullptr;
    size_t size = 0;
    uint64_t scanOffset = 0;
    int width = 0, height = 0, interval = 0;
    int factors[4] = {};
    bool operator==(const RestartIndexKey&) const = default;
};

// The output stage's choice: the writer of full-size MCUs and the channel
// layout of the general writers.
enum class ChannelSource : uint8_t { None, Component, Fill255 };
enum class ColourConversion : uint8_t { None, Rgb, Bgr, InvRgb };

struct OutputLayout {
    int configuration = 0;
    ChannelSource source[8] = {};
    int component[8] = {};
    ColourConversion conversion = ColourConversion::None;
    bool packedYcbycr = false; // two bytes a pixel: Y at byte 2x, Cb / Cr alternating at 2x + 1
    int channels = 0;          // bytes a pixel (at most 8 are written)
};

struct DecoderState {
    JpegSource source;

    // Frame of the current stream.
    bool frameSeen = false;
    bool progressive = false;
    int width = 0, height = 0;
    int componentCount = 0;
    FrameComponent components[4];
    int componentIds[4] = {};
    int hmax = 1, vmax = 1;
    int mcusPerRow = 0, mcuRows = 0;
    int blocksPerMcu = 0;
    int blockOffset[4] = {};       // the component's first block in an MCU
    int componentWidth[4] = {};    // samples: ceil(width x H / Hmax)
    int componentHeight[4] = {};

    // Tables (kept between reads; header modes clear them).
    bool quantDefined[4] = {};
    uint16_t quantValues[4][64] = {};
    alignas(32) int32_t dequant[4][kDequantTableSize] = {};
    int dequantMethod[4] = {-1, -1, -1, -1};
    alignas(16) int16_t dequantLow[4][64] = {}; // accurate tables: the multipliers' low 16 bits
    HuffmanDecoder dcTables[4];
    HuffmanDecoder acTables[4];
    int restartInterval = 0;

    // Application data.
    bool adobeSeen = false;
    int adobeTransform = 0;
    bool jfifSeen = false;

    // Scans.
    std::optional<DecodeScanRecord> scan;
    int scanCounter = 0;         // buffered scans so far
    bool dcComplete[4] = {};     // the component's DC is final
    bool acComplete[4] = {};     // the component's AC band reached 63 at Al 0
    bool storeWritten = false;   // the coefficient store was put out since its last change
    bool storeChanged = false;

    // Output.
    int reduction = 1;   // 1, 2, 4 or 8
    int blockSize = 8;   // samples per block side at the reduction
    bool perComponentSize = false;
    int componentBlockSize[4] = {8, 8, 8, 8}; // samples per block side after the transform
    int smoothKind = 0; // 1: 2x1 chroma filtered, 2: 2x2 chroma filtered, 0: replication
    int mcuOutWidth = 8, mcuOutHeight = 8;
    int outWidth = 0, outHeight = 0; // the output image (reduced frame)
    bool convertColour = false;
    bool resample = false;
    bool smooth = false;
    OutputLayout layout;
    int planeOutput = 0;    // 1 samples, 2 coefficients into `planes` instead of pixels
    std::vector<int16_t> planes[4];
    bool regionActive = false;
    Rect region{};          // output pixels; all zeros: the whole image
    uint8_t* outBase = nullptr; // first byte of the output's top row
    ptrdiff_t outStride = 0;    // signed line stride
    int outBytes = 1;           // bytes a pixel
    int clipWidth = 0, clipHeight = 0; // pixels the caller's buffer takes
    const int16_t* mcuSamples = nullptr; // the MCU the writer puts out
    // Strip reads: MCU rows a strip holds (0: no strips), the rows of the
    // whole image the caller takes, and whether a direct scan's strips went
    // out.
    int stripMcuRows = 0;
    int stripClipHeight = 0;
    bool stripScanTaken = false;
    // Strip reads of a buffered image, once the stream has ended: the next
    // MCU row of the store to put out (-1: not putting the store out; the MCU
    // row count: every strip is out), and the read's result after the last.
    int storeStripRow = -1;
    int stripResult = 0;
    int interruptX = 0, interruptY = 0; // output pixels finished when a decode was interrupted

    // The read in progress.
    int mode = -1;
    int suspendedMode = -1;   // mode of an interrupted read
    int64_t stopOffset = -1;  // header modes: the stream offset they stopped at
    int commentRoom = 0;      // bytes of the caller's comment buffer

    // Restart index of the current image (region reads of sequential scans).
    std::vector<RestartEntry> restartIndex;
    RestartIndexKey restartIndexKey;

    // Smoothing: decoded MCUs of three MCU rows (slot per column plus one
    // on each side), each slot the whole MCU buffer.
    std::vector<int16_t> neighbourRows;
    int neighbourRowBase = 0; // the MCU row held in the first of the three
};

} // namespace thermjpeg

#endif
