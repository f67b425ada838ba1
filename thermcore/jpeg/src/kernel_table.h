// The kernel table: every inner loop of the codec is called through it. It is
// filled once per JpegInit from one of five sets chosen by the processor code
// (cpu_dispatch.cpp); the header writer, the MCU-preparer selection and the
// read path later fill the "current" entries and writeMcu.
#ifndef THERMJPEG_KERNEL_TABLE_H
#define THERMJPEG_KERNEL_TABLE_H

#include <cstddef>
#include <cstdint>

namespace thermjpeg {

struct CodecState;
struct OutputRecord;
struct HuffmanEncoder;
struct HuffmanDecoder;
struct BitReader;

using ClearSimdKernel = void (*)();
// One 8x8 block of level-shifted samples, transformed in place.
using FdctKernel = void (*)(int16_t* block);
// Quantises a block in place with 64 multipliers in natural order.
using QuantizeKernel = void (*)(int16_t* block, const uint16_t* multipliers);
using OutputInitKernel = void (*)(OutputRecord& out, uint8_t* address, int64_t size);
using OutputWriteKernel = int (*)(const uint8_t* bytes, size_t length, OutputRecord& out);
// Fills the MCU sample buffer for the MCU at (column, row).
using McuPreparer = void (*)(CodecState& state, int mcuColumn, int mcuRow);
// Converts one whole MCU whose pixels all lie inside the image; the blocks go
// to the MCU buffer in interleaved order.
using SampleConverter = void (*)(const uint8_t* pixels, ptrdiff_t stride, int16_t* mcu);
using EncodeBlockKernel = int (*)(OutputRecord& out, const HuffmanEncoder& dc, const HuffmanEncoder& ac,
                                  int16_t* dcPredictor, const int16_t* block);
// Inverse DCT of one block of dequantised coefficients (natural order) into
// samples 0..255, in place (inverse_dct.h).
using IdctKernel = void (*)(int16_t* block);
// Dequantises a block in place with an 80-entry table (dequantize.h).
using DequantizeKernel = void (*)(int16_t* block, const int32_t* table);
// The accurate dequantisation and 8x8 inverse DCT in one step: quantised
// coefficients times the low 16 bits of the accurate multipliers (64, natural
// order), kept in 16 bits, then transformed; the result of dequantizeAccurate
// followed by idctAccurate.
using DequantIdctKernel = void (*)(int16_t* block, const int16_t* multipliers);
// The same for two blocks, each with its multipliers.
using DequantIdct2Kernel = void (*)(int16_t* a, const int16_t* multipliersA, int16_t* b,
                                    const int16_t* multipliersB);
// Huffman decoding of one baseline block (huffman_decoder.h): returns 0 or a
// negative code. The decodeBlockDc form updates only the predictor and
// stores the DC in *block when block is not null.
using DecodeBlockKernel = int (*)(BitReader& reader, const HuffmanDecoder& dc, const HuffmanDecoder& ac,
                                  int32_t* dcPredictor, int16_t* block);
// Writes one decoded MCU (samples in the MCU buffer) into the caller's
// pixels: 0, or -8 when it lies outside the output region (nothing written).
using McuWriter = int (*)(CodecState& state, int mcuColumn, int mcuRow);
// Whole-MCU pixel kernel of a fixed layout: the first luminance block (the
// others follow it), the two chroma blocks and the first block of a fourth
// component (null when there is none), the MCU's top-left output byte and
// the signed line stride. No clipping: every pixel of the MCU is written.
using PixelKernel = void (*)(const int16_t* y, const int16_t* cb, const int16_t* cr, const int16_t* k,
                             uint8_t* destination, ptrdiff_t stride);

struct KernelTable {
    const char* setName; // the set installed: "generic", "mmx5", "mmx6", "sse", "sse2"

    ClearSimdKernel clearSimdState;
    FdctKernel fdctFast;
    FdctKernel fdctAccurate;
    IdctKernel idctFast, idctFast4, idctFast2, idctFast1;
    IdctKernel idctAccurate, idctAccurate4, idctAccurate2, idctAccurate1;
    FdctKernel fdctCurrent;
    IdctKernel idctCurrent, idctCurrent4, idctCurrent2, idctCurrent1;
    DequantIdctKernel dequantIdctAccurate;
    DequantIdct2Kernel dequantIdctAccurate2;
    OutputInitKernel outputInit;
    OutputWriteKernel outputWriteBytes;
    McuPreparer prepareMcu;
    SampleConverter samplesGray;
    SampleConverter samplesRgb, samplesRgbH2V1, samplesRgbH2V2;
    SampleConverter samplesBgr, samplesBgrH2V1, samplesBgrH2V2;
    SampleConverter samplesYcc, samplesYccH2V1, samplesYccH2V2;
    SampleConverter samplesYcbycr;
    SampleConverter samplesInvRgbA, samplesInvRgbAH2V1, samplesInvRgbAH2V2;
    SampleConverter samples4;
    McuWriter writeMcu;
    PixelKernel pixelsGray;
    PixelKernel pixelsRgb, pixelsRgbH2V1, pixelsRgbH2V2;
    PixelKernel pixelsBgr, pixelsBgrH2V1, pixelsBgrH2V2;
    PixelKernel pixelsRgba, pixelsRgbaH2V1, pixelsRgbaH2V2;
    PixelKernel pixelsYcc, pixelsYccH2V1, pixelsYccH2V2;
    PixelKernel pixelsYccFill;
    PixelKernel pixelsYcbycr;
    PixelKernel pixelsInvRgbA, pixelsInvRgbAH2V1, pixelsInvRgbAH2V2;
    PixelKernel pixels4;
    EncodeBlockKernel encodeBlock;
    DecodeBlockKernel decodeBlock;
    DecodeBlockKernel decodeBlockDc;
    QuantizeKernel quantizeFast;
    QuantizeKernel quantizeAccurate;
    QuantizeKernel quantizeCurrent;
    DequantizeKernel dequantizeFast, dequantizeAccurate, dequantizeCurrent;
};

// Processor identification (CPUID leaves 0 and 1).
struct CpuRecord {
    uint32_t brandIndex = 0;
    uint32_t processorType = 0;
    uint32_t family = 0;
    uint32_t model = 0;
    uint32_t stepping = 0;
    uint32_t features = 0; // leaf 1 EDX
    char vendor[13] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0};
};

enum : uint32_t {
    kCpuFeatureMmx = 1u << 23,
    kCpuFeatureSse = 1u << 25,
    kCpuFeatureSse2 = 1u << 26
};

// The processor of this machine, queried once per process.
const CpuRecord& JpegQueryCpu();
// The CPU code of the family table for a processor record (0..6).
int JpegCpuCodeFromRecord(const CpuRecord& cpu);
// The override from the environment variable USECPU: 0..6, or -1 (detect).
int JpegReadUseCpu();
// USECPU when it holds 0..6, else the code of this processor.
int JpegDetectCpu();
// Fills every entry of the table for the code (0..2 and anything else:
// generic). Returns 1.
int JpegFillKernels(KernelTable& table, int cpuCode);

void JpegFillKernelsGeneric(KernelTable& table);
void JpegFillKernelsMmx5(KernelTable& table);
void JpegFillKernelsMmx6(KernelTable& table);
void JpegFillKernelsSse(KernelTable& table);
void JpegFillKernelsSse2(KernelTable& table);

} // namespace thermjpeg

#endif
