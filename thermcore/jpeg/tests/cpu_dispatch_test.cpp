// Processor codes, the USECPU override, the kernel sets, and the same
// streams from every set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "codec_state.h"
#include "kernel_table.h"
#include "decoder_support.h"
#include "test_support.h"

namespace thermjpeg::test {
namespace {

TEST(CpuDispatch, CodesFromTheProcessorFamily)
{
    const struct {
        uint32_t family, features;
        int code;
    } cases[] = {
        {5, kCpuFeatureMmx, 3},
        {5, 0, 1},
        {6, kCpuFeatureMmx, 4},
        {6, kCpuFeatureMmx | kCpuFeatureSse, 5},
        {6, kCpuFeatureMmx | kCpuFeatureSse | kCpuFeatureSse2, 5},
        {6, kCpuFeatureSse, 2}, // SSE without MMX
        {6, 0, 2},
        {15, kCpuFeatureMmx | kCpuFeatureSse | kCpuFeatureSse2, 6},
        {15, kCpuFeatureMmx | kCpuFeatureSse, 0},
        {4, kCpuFeatureMmx, 0},
        {0, 0, 0}, // no CPUID
    };
    for (const auto& c : cases) {
        CpuRecord cpu;
        cpu.family = c.family;
        cpu.features = c.features;
        EXPECT_EQ(JpegCpuCodeFromRecord(cpu), c.code) << "family " << c.family << " features " << c.features;
    }
}

TEST(CpuDispatch, UseCpuOverride)
{
    for (int code = 0; code <= 6; ++code) {
        UseCpu env(std::to_string(code).c_str());
        EXPECT_EQ(JpegReadUseCpu(), code);
        EXPECT_EQ(JpegDetectCpu(), code);
    }
    const int detected = JpegCpuCodeFromRecord(JpegQueryCpu());
    for (const char* ignored : {"7", "-1", "abc", "", "3x", " 2", "99999999999999999999"}) {
        UseCpu env(ignored);
        EXPECT_EQ(JpegReadUseCpu(), -1) << ignored;
        EXPECT_EQ(JpegDetectCpu(), detected) << ignored;
    }
    UseCpu unset(nullptr);
    EXPECT_EQ(JpegDetectCpu(), detected);
}

TEST(CpuDispatch, EachCodeInstallsACompleteSet)
{
    const char* names[] = {"generic", "generic", "generic", "mmx5", "mmx6", "sse", "sse2"};
    for (int code = 0; code <= 6; ++code) {
        UseCpu env(std::to_string(code).c_str());
        Codec codec;
        EXPECT_EQ(codec.p.CpuCode, code);
        const KernelTable& t = codec.p.Codec->kernels;
        EXPECT_STREQ(t.setName, names[code]);
        for (auto entry : {t.samplesGray, t.samplesRgb, t.samplesRgbH2V1, t.samplesRgbH2V2, t.samplesBgr, t.samplesBgrH2V1,
                           t.samplesBgrH2V2, t.samplesYcc, t.samplesYccH2V1, t.samplesYccH2V2, t.samplesYcbycr,
                           t.samplesInvRgbA, t.samplesInvRgbAH2V1, t.samplesInvRgbAH2V2, t.samples4})
            EXPECT_NE(entry, nullptr);
        EXPECT_NE(t.clearSimdState, nullptr);
        EXPECT_NE(t.fdctFast, nullptr);
        EXPECT_NE(t.fdctAccurate, nullptr);
        EXPECT_NE(t.outputInit, nullptr);
        EXPECT_NE(t.outputWriteBytes, nullptr);
        EXPECT_NE(t.encodeBlock, nullptr);
        EXPECT_NE(t.quantizeFast, nullptr);
        EXPECT_NE(t.quantizeAccurate, nullptr);
        EXPECT_EQ(t.quantizeCurrent, t.quantizeFast);
        for (auto entry : {t.idctFast, t.idctFast4, t.idctFast2, t.idctFast1, t.idctAccurate, t.idctAccurate4,
                           t.idctAccurate2, t.idctAccurate1})
            EXPECT_NE(entry, nullptr);
        EXPECT_NE(t.decodeBlock, nullptr);
        EXPECT_NE(t.decodeBlockDc, nullptr);
        EXPECT_NE(t.dequantizeFast, nullptr);
        EXPECT_NE(t.dequantizeAccurate, nullptr);
        EXPECT_EQ(t.dequantizeCurrent, t.dequantizeFast);
        // Filled later: by the header writer, the preparer selection, the read path.
        EXPECT_EQ(t.fdctCurrent, nullptr);
        EXPECT_EQ(t.prepareMcu, nullptr);
        EXPECT_EQ(t.writeMcu, nullptr);
        for (auto entry : {t.idctCurrent, t.idctCurrent4, t.idctCurrent2, t.idctCurrent1})
            EXPECT_EQ(entry, nullptr);
    }
    UseCpu fixed("1");
    KernelTable table{};
    EXPECT_EQ(JpegFillKernels(table, 42), 1);
    EXPECT_STREQ(table.setName, "generic");
}

// Codes 0 to 2 share the generic set and codes 3 to 6 the processor
// kernels, so each group writes one stream per setup. Between the groups
// only the accurate forward transform may differ (by one in a coefficient):
// the fast-transform stream is the same, the others decode to nearly the
// same pixels.
TEST(CpuDispatch, EverySetWritesTheSameStreams)
{
    const Image image = MakeImage(83, 61, 3, 21);
    const Image gray = MakeImage(83, 61, 1, 21);
    const std::vector<std::function<void(JPEG_PROPERTIES&)>> setups = {
        [](JPEG_PROPERTIES&) {},
        [](JPEG_PROPERTIES& p) { p.JpegSampling = 0; p.DctMethod = 0; },
        [](JPEG_PROPERTIES& p) { p.JpegSampling = 2; p.RestartInterval = 3; },
        [](JPEG_PROPERTIES& p) { p.JpegChannels = 1; p.JpegColour = 4; p.JpegSampling = 0; },
        [](JPEG_PROPERTIES& p) { p.Progressive = 1; },
    };
    const bool grayInput[] = {false, false, false, true, false};
    const int colours[] = {JPEG_COLOUR_BGR, JPEG_COLOUR_RGB, JPEG_COLOUR_BGR, JPEG_COLOUR_GRAY, JPEG_COLOUR_BGR};
    std::vector<Bytes> streams[7];
    for (int code = 0; code <= 6; ++code) {
        UseCpu env(std::to_string(code).c_str());
        for (size_t i = 0; i < setups.size(); ++i)
            streams[code].push_back(Encode(grayInput[i] ? gray : image, colours[i], setups[i]));
    }
    for (int code = 1; code <= 6; ++code)
        EXPECT_EQ(streams[code], streams[code < 3 ? 0 : 3]) << "code " << code;

    UseCpu generic("0");
    EXPECT_EQ(streams[3][1], streams[0][1]) << "fast transform";
    for (size_t i = 0; i < setups.size(); ++i) {
        const int channels = grayInput[i] ? 1 : 3;
        const int colour = grayInput[i] ? JPEG_COLOUR_GRAY : JPEG_COLOUR_BGR;
        const ReadResult a = ReadJpeg(streams[0][i], colour, channels);
        const ReadResult b = ReadJpeg(streams[3][i], colour, channels);
        ASSERT_EQ(a.rc, 0);
        ASSERT_EQ(b.rc, 0);
        const ChannelDifference d = Compare(a.image, b.image, channels);
        for (int c = 0; c < channels; ++c) {
            EXPECT_LE(d.maximum[c], kProcessorStreamPixelBound) << "setup " << i << " channel " << c;
            EXPECT_LT(d.mean[c], 0.1) << "setup " << i << " channel " << c;
        }
    }
}

} // namespace
} // namespace thermjpeg::test
