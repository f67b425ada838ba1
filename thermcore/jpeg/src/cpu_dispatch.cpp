// Processor detection and kernel dispatch. The set is chosen once per
// JpegInit and recorded in the table (setName) and in CpuCode. The USECPU
// environment variable (0..6) forces a code, so the plain path can be
// selected on any machine. Every set is complete. On x86-64 the four
// processor sets (codes 3 to 6) hold the SSE2 kernels of the simd_* files
// where they exist and the generic kernels elsewhere; other targets install
// the generic kernels under every set's name.
#include <cstdlib>

#include "avx2_transforms.h"
#include "bit_output.h"
#include "dequantize.h"
#include "forward_dct.h"
#include "huffman_decoder.h"
#include "huffman_encoder.h"
#include "inverse_dct.h"
#include "kernel_table.h"
#include "pixel_writers.h"
#include "quantize.h"
#include "sample_converters.h"
#include "simd_entropy_encoder.h"
#include "simd_huffman_decoder.h"
#include "simd_pixel_writers.h"
#include "simd_sample_converters.h"
#include "simd_transforms.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace thermjpeg {
namespace {

void JpegClearSimdStateGeneric() {}

CpuRecord QueryCpuOnce()
{
    CpuRecord cpu;
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx))
        return cpu;
    const unsigned maxLeaf = eax;
    const unsigned parts[3] = {ebx, edx, ecx};
    for (int p = 0; p < 3; ++p) {
        for (int b = 0; b < 4; ++b)
            cpu.vendor[p * 4 + b] = static_cast<char>((parts[p] >> (8 * b)) & 0xFF);
    }
    if (maxLeaf < 1)
        return cpu;
    __get_cpuid(1, &eax, &ebx, &ecx, &edx);
    cpu.brandIndex = ebx & 0xFF;
    cpu.processorType = (eax >> 12) & 0x3;
    cpu.family = (eax >> 8) & 0xF;
    cpu.model = (eax >> 4) & 0xF;
    cpu.stepping = eax & 0xF;
    cpu.features = edx;
#endif
    return cpu;
}

} // namespace

const CpuRecord& JpegQueryCpu()
{
    static const CpuRecord cpu = QueryCpuOnce();
    return cpu;
}

int JpegCpuCodeFromRecord(const CpuRecord& cpu)
{
    const bool mmx = (cpu.features & kCpuFeatureMmx) != 0;
    const bool sse = (cpu.features & kCpuFeatureSse) != 0;
    const bool sse2 = (cpu.features & kCpuFeatureSse2) != 0;
    switch (cpu.family) {
    case 5:
        return mmx ? 3 : 1;
    case 6:
        if (mmx && !sse)
            return 4;
        if (mmx && sse)
            return 5;
        return 2;
    case 15:
        return sse2 ? 6 : 0;
    default:
        return 0;
    }
}

int JpegReadUseCpu()
{
    const char* text = std::getenv("USECPU");
    // Exactly one digit 0..6; anything else (signs, spaces, other numbers)
    // means detect.
    if (text == nullptr || text[0] < '0' || text[0] > '6' || text[1] != '\0')
        return -1;
    return text[0] - '0';
}

int JpegDetectCpu()
{
    const int forced = JpegReadUseCpu();
    if (forced >= 0)
        return forced;
    return JpegCpuCodeFromRecord(JpegQueryCpu());
}

void JpegFillKernelsGeneric(KernelTable& t)
{
    t = KernelTable{};
    t.setName = "generic";
    t.clearSimdState = JpegClearSimdStateGeneric;
    t.fdctFast = JpegFdctFast;
    t.fdctAccurate = JpegFdctAccurate;
    t.outputInit = JpegOutputInit;
    t.outputWriteBytes = JpegOutputWriteBytes;
    t.samplesGray = JpegSamplesGray;
    t.samplesRgb = JpegSamplesRgb;
    t.samplesRgbH2V1 = JpegSamplesRgbH2V1;
    t.samplesRgbH2V2 = JpegSamplesRgbH2V2;
    t.samplesBgr = JpegSamplesBgr;
    t.samplesBgrH2V1 = JpegSamplesBgrH2V1;
    t.samplesBgrH2V2 = JpegSamplesBgrH2V2;
    t.samplesYcc = JpegSamplesYcc;
    t.samplesYccH2V1 = JpegSamplesYccH2V1;
    t.samplesYccH2V2 = JpegSamplesYccH2V2;
    t.samplesYcbycr = JpegSamplesYcbycr;
    t.samplesInvRgbA = JpegSamplesInvRgbA;
    t.samplesInvRgbAH2V1 = JpegSamplesInvRgbAH2V1;
    t.samplesInvRgbAH2V2 = JpegSamplesInvRgbAH2V2;
    t.samples4 = JpegSamples4;
    t.encodeBlock = JpegEncodeBlock;
    t.quantizeFast = JpegQuantize;
    t.quantizeAccurate = JpegQuantizeUnsigned;
    t.quantizeCurrent = JpegQuantize;
    t.idctFast = JpegIdctFast;
    t.idctFast4 = JpegIdctFast4;
    t.idctFast2 = JpegIdctFast2;
    t.idctFast1 = JpegIdctFast1;
    t.idctAccurate = JpegIdctAccurate;
    t.idctAccurate4 = JpegIdctAccurate4;
    t.idctAccurate2 = JpegIdctAccurate2;
    t.idctAccurate1 = JpegIdctAccurate1;
    t.dequantIdctAccurate = JpegDequantIdctAccurate;
    t.dequantIdctAccurate2 = JpegDequantIdctAccurate2;
    t.decodeBlock = JpegDecodeBlock;
    t.decodeBlockDc = JpegDecodeBlockDcOnly;
    t.dequantizeFast = JpegDequantizeFast;
    t.dequantizeAccurate = JpegDequantize;
    t.dequantizeCurrent = JpegDequantizeFast;
    JpegFillPixelKernels(t);
    // fdctCurrent, idctCurrent and its reduced companions, dequantizeCurrent,
    // prepareMcu and writeMcu are set per image.
}

#if defined(__x86_64__)
namespace {

// The entries every processor set shares; the caller then sets the entries
// in which the sets differ.
void FillProcessorSet(KernelTable& t, const char* name)
{
    JpegFillKernelsGeneric(t);
    t.setName = name;
    t.fdctFast = JpegMmxFdctFast;
    t.fdctAccurate = JpegSse2FdctAccurate;
    t.idctFast = JpegMmxIdctFast;
    t.idctAccurate = JpegSse2IdctAccurate;
    t.dequantIdctAccurate = JpegSse2DequantIdctAccurate;
    t.dequantIdctAccurate2 = JpegHaveAvx2() ? JpegAvx2DequantIdctAccurate2 : JpegSse2DequantIdctAccurate2;
    t.quantizeFast = JpegMmxQuantize;
    t.quantizeCurrent = JpegMmxQuantize;
    t.quantizeAccurate = JpegSse2QuantizeUnsigned;
    t.dequantizeAccurate = JpegSse2Dequantize;
    t.outputWriteBytes = JpegMmxWriteBytes;
    t.encodeBlock = JpegMmxEncodeBlock;
    t.decodeBlock = JpegMmxDecodeBlockWide;
    t.decodeBlockDc = JpegMmxDecodeBlockDc;
    t.samplesGray = JpegMmxSamplesGray;
    t.samplesRgb = JpegMmxSamplesRgb;
    t.samplesRgbH2V1 = JpegMmxSamplesRgbH2V1;
    t.samplesRgbH2V2 = JpegMmxSamplesRgbH2V2;
    t.samplesBgr = JpegMmxSamplesBgr;
    t.samplesBgrH2V1 = JpegMmxSamplesBgrH2V1;
    t.samplesBgrH2V2 = JpegMmxSamplesBgrH2V2;
    t.samplesYcbycr = JpegSseSamplesYcbycr;
    t.samplesInvRgbA = JpegMmxSamplesInvRgbA;
    t.samplesInvRgbAH2V1 = JpegMmxSamplesInvRgbAH2V1;
    t.samplesInvRgbAH2V2 = JpegMmxSamplesInvRgbAH2V2;
    JpegFillSimdPixelKernels(t);
}

} // namespace

void JpegFillKernelsMmx5(KernelTable& t)
{
    FillProcessorSet(t, "mmx5");
    t.decodeBlock = JpegMmxDecodeBlock;
}
void JpegFillKernelsMmx6(KernelTable& t) { FillProcessorSet(t, "mmx6"); }
void JpegFillKernelsSse(KernelTable& t)
{
    FillProcessorSet(t, "sse");
    t.encodeBlock = JpegSseEncodeBlock;
}
void JpegFillKernelsSse2(KernelTable& t) { FillProcessorSet(t, "sse2"); }
#else
// Other targets have only the generic kernels; the codes stay, so USECPU
// still selects among the sets by name.
static void FillProcessorSet(KernelTable& t, const char* name)
{
    JpegFillKernelsGeneric(t);
    t.setName = name;
}

void JpegFillKernelsMmx5(KernelTable& t) { FillProcessorSet(t, "mmx5"); }
void JpegFillKernelsMmx6(KernelTable& t) { FillProcessorSet(t, "mmx6"); }
void JpegFillKernelsSse(KernelTable& t) { FillProcessorSet(t, "sse"); }
void JpegFillKernelsSse2(KernelTable& t) { FillProcessorSet(t, "sse2"); }
#endif

int JpegFillKernels(KernelTable& table, int cpuCode)
{
    switch (cpuCode) {
    case 3:
        JpegFillKernelsMmx5(table);
        break;
    case 4:
        JpegFillKernelsMmx6(table);
        break;
    case 5:
        JpegFillKernelsSse(table);
        break;
    case 6:
        JpegFillKernelsSse2(table);
        break;
    default:
        JpegFillKernelsGeneric(table);
        break;
    }
    return 1;
}

} // namespace thermjpeg
