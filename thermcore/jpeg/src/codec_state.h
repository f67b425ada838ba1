// The codec's working state behind JPEG_PROPERTIES::Codec: the copy of the
// public settings, the frame, the tables, the output record, the MCU buffer,
// a suspended scan and the read path's state. One allocation per JpegInit; nothing is allocated per
// write or per MCU.
#ifndef THERMJPEG_CODEC_STATE_H
#define THERMJPEG_CODEC_STATE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "decoder_state.h"
#include "frame_component.h"
#include "kernel_table.h"
#include "thermjpeg.h"

namespace thermjpeg {

inline constexpr int kFileBufferSize = 4096;

// Quantisation table slot: the caller's or the default base table, the
// quality-scaled values (zig-zag order, as in DQT) and the quantiser's
// multipliers (natural order) for the method they were made for.
struct QuantSlot {
    const uint8_t* base = nullptr;
    int number = 0;
    bool scaled = false;
    uint16_t values[64] = {};
    int preparedMethod = -1;
    alignas(32) uint16_t multipliers[64] = {};
};

struct HuffmanEntry {
    const uint8_t* bits = nullptr;
    const uint8_t* values = nullptr;
    int cls = 0;
    int number = 0;
};

// Derived encoder table: code and code length per symbol (length 0: no code).
struct HuffmanEncoder {
    bool built = false;
    uint16_t code[256] = {};
    uint8_t size[256] = {};
};

// Entropy output: a bit accumulator in front of the caller's memory or the
// 4096-byte file buffer. Whole bytes leave the accumulator 0xFF-stuffed.
struct OutputRecord {
    uint64_t bitBuffer = 0; // pending bits: the low bitCount bits
    int bitCount = 0;
    uint8_t* current = nullptr;
    uint8_t* start = nullptr;
    uint8_t* end = nullptr;
    int64_t flushed = 0; // bytes already handed to the file
    uint32_t eobRun = 0; // progressive AC scans: blocks whose EOB is still owed
    int file = -1;       // file output when >= 0
    alignas(32) uint8_t fileBuffer[kFileBufferSize];

    bool isFile() const { return file >= 0; }
    int64_t byteCount() const { return flushed + (current - start); }
};

// A scan component: its frame component and that component's factors.
struct ScanComponent {
    int index = 0;
    int h = 1;
    int v = 1;
};

// One scan: the baseline encoder's single scan (kept while an encode is
// suspended) or one scan of a progressive script.
struct ScanRecord {
    int componentCount = 0;
    int ss = 0, se = 63; // spectral band, zig-zag positions
    int ah = 0, al = 0;  // successive approximation: previous and current point transform
    uint32_t restartCounter = 0;
    int resumeColumn = 0;
    int resumeRow = 0;
    int16_t dcPredictor[JPEG_MAX_COMPONENTS] = {};
    ScanComponent components[JPEG_MAX_COMPONENTS];
};

// Copy of the public block and the working-state fields an encode reads,
// taken at the start of every fresh call.
struct Settings {
    uint8_t* imageBytes = nullptr;
    int imageWidth = 0;
    int imageHeight = 0;
    int imagePadBytes = 0;
    int imageChannels = 3;
    int imageColour = JPEG_COLOUR_BGR;
    int imageSampling = 0;
    const char* jpegFile = nullptr;
    uint8_t* jpegBytes = nullptr;
    int jpegSize = 0;
    int jpegWidth = 0;
    int jpegHeight = 0;
    int jpegChannels = 3;
    int jpegColour = JPEG_COLOUR_YCBCR;
    int jpegSampling = JPEG_SAMPLING_420;
    int quality = 75;
    int dctMethod = 1;
    int restartInterval = 0;
    int singleBlockMcu = 0;
    const JpegPlaneInput* planeInput = nullptr;
    int progressive = 0;
    int stripRows = 0; // rows of a strip buffer; 0: ImageBytes holds the whole image
};

struct CodecState {
    KernelTable kernels{};
    Settings settings;
    bool settingsCopied = false; // ReuseSettings needs an earlier copy

    // Pixel walk: first pixel of the top row, and the signed line stride.
    const uint8_t* origin = nullptr;
    ptrdiff_t stride = 0;
    int originMcuRow = 0; // strip writes: the MCU row whose first line is at `origin`
    int pixelBytes = 3; // bytes per pixel read: ImageChannels, or 2 when packed

    bool convertColour = true;
    bool resample = true;

    int componentCapacity = JPEG_MAX_COMPONENTS;
    int componentCount = 0;
    FrameComponent components[JPEG_MAX_COMPONENTS];

    // MCU geometry.
    int hmax = 1, vmax = 1;
    int mcuWidth = 8, mcuHeight = 8;
    int mcusPerRow = 0, mcuRows = 0;
    int64_t mcuCount = 0;

    int quantCount = 0;
    QuantSlot quant[4];
    int huffmanPairCount = 0;
    HuffmanEntry huffman[8]; // pair k: entries 2k (DC) and 2k+1 (AC)
    uint8_t dcNumber[JPEG_MAX_COMPONENTS] = {0, 1, 1, 1};
    uint8_t acNumber[JPEG_MAX_COMPONENTS] = {0, 1, 1, 1};
    HuffmanEncoder dcEncoders[4];
    HuffmanEncoder acEncoders[4];

    OutputRecord out;
    alignas(32) int16_t mcuBuffer[kMaxBlocksPerMcu * 64] = {};

    // The quantised coefficients of the whole image (the progressive
    // encoder's, or the decoder's buffered scans): MCUs in raster order, each
    // MCU's blocks in MCU order, each block in natural order. Made by each
    // progressive write or buffered read (replacing the last one's),
    // released with the state.
    std::unique_ptr<int16_t[]> coefficients;
    size_t coefficientBytes = 0;

    DecoderState dec; // the read path

    int fastPathCode = 0; // recorded by JpegSelectMcuPreparer
    std::optional<ScanRecord> scan; // a suspended encode
    int suspendedMode = -1;
};

} // namespace thermjpeg

// The type JPEG_PROPERTIES::Codec points to.
struct JpegCodecState : thermjpeg::CodecState {};

#endif
