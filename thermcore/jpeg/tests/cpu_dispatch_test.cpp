// Processor codes, the USECPU override, the kernel sets, and the same
// streams from every set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "codec_state.h"
#include "kernel_table.h"
#include "test_support.h"

namespace thermjpeg::test {
namespace {

// Sets USECPU for the scope and restores what was there.
class UseCpu {
public:
    explicit UseCpu(const char* value)
    {
        if (const char* old = std::getenv("USECPU"))
            saved_ = old;
        if (value)
            setenv("USECPU", value, 1);
        else
            unsetenv("USECPU");
    }
    ~UseCpu()
    {
        if (saved_)
            setenv("USECPU", saved_->c_str(), 1);
        else
            unsetenv("USECPU");
    }

private:
    std::optional<std::string> saved_;
};

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

TEST(CpuDispatch, EverySetWritesTheSameStreams)
{
    const Image image = MakeImage(83, 61, 3, 21);
    const Image gray = MakeImage(83, 61, 1, 21);
    std::vector<Bytes> reference;
    for (int code = 0; code <= 6; ++code) {
        UseCpu env(std::to_string(code).c_str());
        std::vector<Bytes> streams = {
            Encode(image, JPEG_COLOUR_BGR),
            Encode(image, JPEG_COLOUR_RGB, [](JPEG_PROPERTIES& p) { p.JpegSampling = 0; p.DctMethod = 0; }),
            Encode(image, JPEG_COLOUR_BGR, [](JPEG_PROPERTIES& p) { p.JpegSampling = 2; p.RestartInterval = 3; }),
            Encode(gray, JPEG_COLOUR_GRAY, [](JPEG_PROPERTIES& p) { p.JpegChannels = 1; p.JpegColour = 4; p.JpegSampling = 0; }),
            Encode(image, JPEG_COLOUR_BGR, [](JPEG_PROPERTIES& p) { p.Progressive = 1; }),
        };
        if (reference.empty())
            reference = streams;
        EXPECT_EQ(streams, reference) << "code " << code;
    }
}

} // namespace
} // namespace thermjpeg::test
