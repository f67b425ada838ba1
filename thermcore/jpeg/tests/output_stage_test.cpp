// The output stage's pieces: rectangle clipping, the fixed-layout writers
// against their edge forms, the colour arithmetic of both forms, the restart
// step, and the end of the entropy-coded data inside a code.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "bit_reader.h"
#include "codec_state.h"
#include "huffman_decoder.h"
#include "output_stage.h"
#include "pixel_writers.h"
#include "region_clip.h"
#include "scan_decoder.h"

namespace thermjpeg {
namespace {

TEST(RegionClip, PlacesAndClipsMcus)
{
    uint8_t base[64 * 48] = {};
    uint8_t* dest = nullptr;
    Rect r;
    // Without a region the last MCU of a 20-pixel row keeps 4 columns.
    ASSERT_EQ(JpegClipMcu(Rect{}, 16, 16, 1, 0, 3, 60, base, 20, 16, &dest, &r), 0);
    EXPECT_EQ(dest, base + 48);
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 16);
    // An MCU whose left edge is the region's right edge is outside; one whose
    // right edge is the region's left edge touches it with nothing visible.
    const Rect region{32, 0, 48, 16};
    EXPECT_EQ(JpegClipMcu(region, 16, 16, 3, 0, 3, 48, base, 16, 16, &dest, &r), JPEG_INVALID_PROPERTIES);
    ASSERT_EQ(JpegClipMcu(region, 16, 16, 1, 0, 3, 48, base, 16, 16, &dest, &r), 0);
    EXPECT_EQ(r.left, 16);
    EXPECT_EQ(r.right, 16);
    ASSERT_EQ(JpegClipMcu(region, 16, 16, 2, 0, 3, 48, base, 16, 16, &dest, &r), 0);
    EXPECT_EQ(dest, base);
    EXPECT_TRUE(JpegRectEqual(r, Rect{0, 0, 16, 16}));

    EXPECT_TRUE(JpegRectIsZero(JpegOffsetRect(Rect{}, Point{5, 7})));
    EXPECT_TRUE(JpegRectEqual(JpegOffsetRect(Rect{8, 8, 16, 16}, Point{8, 8}), Rect{0, 0, 8, 8}));
    const Rect touch = JpegIntersectRect(Rect{0, 0, 8, 8}, Rect{8, 0, 16, 8});
    EXPECT_EQ(touch.left, 8);
    EXPECT_EQ(touch.right, 8);
    EXPECT_TRUE(JpegRectIsZero(JpegIntersectRect(Rect{0, 0, 8, 8}, Rect{9, 0, 16, 8})));
    EXPECT_TRUE(JpegRectDiffer(Rect{0, 0, 8, 8}, Rect{0, 0, 8, 9}));
}

struct WriterCase {
    int configuration;
    int components;
    int h, v;     // first (and fourth) component
    int channels; // bytes a pixel
};

// Fixed-layout writers into a buffer of exactly the visible pixels, each
// line followed by a few spare bytes: the edge form writes the same bytes
// as the whole-MCU kernel, and neither writes anything else.
TEST(FixedLayoutWriters, EdgeFormsAgreeWithTheWholeMcuKernels)
{
    const WriterCase cases[] = {{1, 3, 1, 1, 3},  {2, 3, 1, 1, 3},  {3, 3, 2, 2, 3},  {4, 3, 2, 2, 3},
                                {5, 3, 2, 1, 3},  {6, 3, 2, 1, 3},  {7, 3, 1, 1, 4},  {8, 3, 2, 2, 4},
                                {9, 3, 2, 1, 4},  {10, 4, 1, 1, 4}, {11, 4, 2, 2, 4}, {12, 4, 2, 1, 4},
                                {13, 3, 1, 1, 4}, {14, 4, 1, 1, 4}, {15, 3, 1, 1, 3}, {16, 3, 2, 2, 3},
                                {17, 3, 2, 1, 3}, {19, 3, 2, 1, 2}};
    std::mt19937 random(5);
    for (const WriterCase& w : cases) {
        auto s = std::make_unique<CodecState>();
        JpegFillKernels(s->kernels, 0);
        DecoderState& d = s->dec;
        const int width = 8 * w.h, height = 8 * w.v;
        const int blocks = 2 * w.h * w.v + 2 + (w.components == 4 ? 0 : -w.h * w.v);
        for (int i = 0; i < blocks * 64; ++i)
            s->mcuBuffer[i] = static_cast<int16_t>(random() % 256);
        d.mcuSamples = s->mcuBuffer;
        const McuWriter writer = JpegFixedLayoutWriter(w.configuration);
        ASSERT_NE(writer, nullptr);

        const int line = width * w.channels + 5;
        auto write = [&](int visibleWidth, int visibleHeight) {
            std::vector<uint8_t> out(static_cast<size_t>(line) * height, 0xCD);
            d.outBase = out.data();
            d.outBytes = w.channels;
            d.outStride = line;
            d.clipWidth = visibleWidth;
            d.clipHeight = visibleHeight;
            EXPECT_EQ(writer(*s, 0, 0), 0);
            return out;
        };
        const std::vector<uint8_t> whole = write(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = width * w.channels; x < line; ++x)
                ASSERT_EQ(whole[static_cast<size_t>(y) * line + x], 0xCD)
                    << "configuration " << w.configuration << " wrote past its line at " << x << "," << y;
        }
        for (const auto& [vw, vh] : {std::pair{width - 3, height}, std::pair{5, height - 1}, std::pair{1, 1}}) {
            const std::vector<uint8_t> part = write(vw, vh);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < line; ++x) {
                    const size_t i = static_cast<size_t>(y) * line + x;
                    const bool inside = y < vh && x < vw * w.channels;
                    EXPECT_EQ(part[i], inside ? whole[i] : 0xCD)
                        << "configuration " << w.configuration << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(FixedLayoutWriters, ColourArithmeticOfTheWritersAndOfTheInPlaceConversion)
{
    auto s = std::make_unique<CodecState>();
    JpegFillKernels(s->kernels, 0);
    int16_t y[64], cb[64], cr[64], k[64];
    uint8_t out[8 * 8 * 4];
    auto fill = [](int16_t* b, int v) { std::fill(b, b + 64, static_cast<int16_t>(v)); };
    fill(cb, 128), fill(cr, 128), fill(k, 77);
    // Neutral chroma: G runs one high in the writers.
    fill(y, 0);
    s->kernels.pixelsRgb(y, cb, cr, nullptr, out, 24);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 1);
    EXPECT_EQ(out[2], 0);
    fill(y, 255);
    s->kernels.pixelsBgr(y, cb, cr, nullptr, out, 24);
    EXPECT_EQ(out[0] + out[1] + out[2], 3 * 255);
    // Complemented colour and the fourth sample unchanged: 155, 154, 155, K.
    int16_t y4[4 * 64], k4[4 * 64];
    std::fill(std::begin(y4), std::end(y4), int16_t{100});
    std::fill(std::begin(k4), std::end(k4), int16_t{77});
    uint8_t big[16 * 16 * 4];
    s->kernels.pixelsInvRgbAH2V2(y4, cb, cr, k4, big, 64);
    EXPECT_EQ(big[0], 155);
    EXPECT_EQ(big[1], 154);
    EXPECT_EQ(big[2], 155);
    EXPECT_EQ(big[3], 77);
    // The one-component writer clamps.
    y[0] = -3, y[1] = 260;
    s->kernels.pixelsGray(y, nullptr, nullptr, nullptr, out, 8);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 255);
    // Packed 4:2:2: Y0, Cb0, Y1, Cr0.
    int16_t y2[128];
    for (int i = 0; i < 128; ++i)
        y2[i] = static_cast<int16_t>(i);
    fill(cb, 50), fill(cr, 60);
    s->kernels.pixelsYcbycr(y2, cb, cr, nullptr, out, 32);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 50);
    EXPECT_EQ(out[2], 1);
    EXPECT_EQ(out[3], 60);
    // The in-place conversion gives G = Y for neutral chroma.
    uint8_t pixel[3] = {0, 128, 128};
    s->dec.outStride = 3;
    s->dec.outBytes = 3;
    s->dec.layout.conversion = ColourConversion::Rgb;
    JpegConvertMcuArea(*s, pixel, Rect{0, 0, 1, 1});
    EXPECT_EQ(pixel[0] + pixel[1] + pixel[2], 0);
}

TEST(RestartStep, AnyRestartNumberIsAcceptedOtherMarkersEndTheScan)
{
    JpegSource source;
    DecodeScanRecord scan;
    scan.restartInterval = 2;
    scan.dcPredictor[0] = 40;
    // RST5 where RST0 is due: accepted; predictors, bits and the run cleared.
    const uint8_t data[] = {0x12, 0xFF, 0xD5, 0x34, 0xFF, 0xD9};
    JpegSourceAttachMemory(source, data, sizeof data);
    source.bits.eobRun = 9;
    EXPECT_EQ(JpegCheckRestart(source, scan, 4, 1, 0, 0), 0); // not yet due
    EXPECT_EQ(JpegCheckRestart(source, scan, 4, 1, 1, 0), 0);
    EXPECT_EQ(scan.dcPredictor[0], 0);
    EXPECT_EQ(source.bits.eobRun, 0u);
    EXPECT_EQ(source.bits.marker, 0);
    // No marker is expected after the last MCU.
    EXPECT_EQ(JpegCheckRestart(source, scan, 4, 1, 3, 0), 0);
    // EOI where a restart is due: left pending, the scan ends.
    EXPECT_EQ(JpegCheckRestart(source, scan, 4, 2, 3, 0), 1);
    EXPECT_EQ(source.bits.marker, 0xD9);
}

TEST(RestartStep, ACodeInTheLastBitsBeforeAMarkerDecodes)
{
    // DC table: one code "0" for category 0 and "10" for category 1.
    const uint8_t bits[16] = {1, 1};
    const uint8_t values[2] = {0, 1};
    HuffmanDecoder dc;
    ASSERT_EQ(JpegBuildHuffmanDecoder(bits, values, 0, 0, dc), 0);
    // 10 1 (category 1, bit 1), then 10 (category 1) and its bit, then EOI.
    const uint8_t data[] = {0xB7, 0xFF, 0xD9};
    BitReader reader;
    JpegBitReaderInit(reader, data, sizeof data);
    int16_t coefficient = 0;
    int32_t predictor = 0;
    ASSERT_EQ(JpegDecodeDcFirst(reader, dc, &coefficient, &predictor, 0), 0);
    EXPECT_EQ(coefficient, 1);
    // Now only five bits are left: the next code is read bit by bit.
    ASSERT_EQ(reader.bitCount, 5);
    int symbol = -1;
    EXPECT_EQ(JpegDecodeSymbol(reader, symbol, dc), 0);
    EXPECT_EQ(symbol, 1);
    EXPECT_EQ(reader.bitCount, 3);
}

} // namespace
} // namespace thermjpeg
