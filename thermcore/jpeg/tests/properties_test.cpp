// The record's defaults, the checks a write makes before it writes anything,
// the result-code texts and the calls on a record that is not initialised.
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <gtest/gtest.h>

#include "codec_state.h"
#include "result_codes.h"
#include "test_support.h"

namespace thermjpeg::test {
namespace {

TEST(ResultCodes, EveryCodeHasItsOwnText)
{
    std::set<std::string> texts;
    for (const auto& entry : JpegResultTable()) {
        EXPECT_STREQ(JpegErrorText(entry.code), entry.text);
        EXPECT_TRUE(texts.insert(entry.text).second) << entry.text;
    }
    for (int code = -30; code <= 2; ++code)
        EXPECT_STRNE(JpegErrorText(code), "Unknown error code") << code;
    EXPECT_STREQ(JpegErrorText(-99), "Reserved");
    EXPECT_STREQ(JpegErrorText(-28), "Output buffer too small");
    for (int code : {3, -31, -98, -100})
        EXPECT_STREQ(JpegErrorText(code), "Unknown error code") << code;
}

TEST(Properties, InitSetsTheDefaults)
{
    JPEG_PROPERTIES p;
    std::memset(&p, 0xA5, sizeof p);
    p.Reserved = 1234;
    ASSERT_EQ(JpegInit(&p), 0);
    EXPECT_EQ(p.ReuseSettings, 0);
    EXPECT_EQ(p.ImageBytes, nullptr);
    EXPECT_EQ(p.ImageWidth, 0);
    EXPECT_EQ(p.ImageChannels, 3);
    EXPECT_EQ(p.ImageColour, JPEG_COLOUR_BGR);
    EXPECT_EQ(p.JpegChannels, 3);
    EXPECT_EQ(p.JpegColour, JPEG_COLOUR_YCBCR);
    EXPECT_EQ(p.JpegSampling, JPEG_SAMPLING_420);
    EXPECT_EQ(p.ConvertColour, 1);
    EXPECT_EQ(p.Resample, 1);
    EXPECT_EQ(p.Quality, 75);
    EXPECT_EQ(p.Reserved, 1234);
    EXPECT_EQ(p.Mode, -1);
    EXPECT_EQ(p.DctMethod, 1);
    EXPECT_EQ(p.InterruptFlag, 0);
    EXPECT_EQ(p.RestartInterval, 0);
    EXPECT_EQ(p.OwnQuantTables.Enabled, 0);
    EXPECT_EQ(p.OwnHuffmanTables.Enabled, 0);
    EXPECT_EQ(p.OwnHuffmanTables.DcNumber[0], 0);
    EXPECT_EQ(p.OwnHuffmanTables.AcNumber[3], 1);
    EXPECT_TRUE(p.CpuCode >= 0 && p.CpuCode <= 6);
    EXPECT_EQ(p.AdobeVersion, 100);
    EXPECT_EQ(p.JfifVersion, 0x0101);
    EXPECT_EQ(p.JfifXDensity, 1);
    EXPECT_EQ(p.JfifYDensity, 1);
    EXPECT_EQ(p.CommentBytes, nullptr);
    EXPECT_EQ(p.Progressive, 0);
    EXPECT_EQ(JpegFree(&p), 0);
    EXPECT_EQ(p.Codec, nullptr);
}

TEST(Properties, CallsOnARecordThatIsNotInitialised)
{
    EXPECT_EQ(JpegInit(nullptr), JPEG_INVALID_PROPERTIES);
    EXPECT_EQ(JpegWrite(nullptr, 9), JPEG_INVALID_PROPERTIES);
    EXPECT_EQ(JpegFree(nullptr), JPEG_INVALID_PROPERTIES);
    JPEG_PROPERTIES p{};
    ASSERT_EQ(JpegInit(&p), 0);
    ASSERT_EQ(JpegFree(&p), 0);
    EXPECT_EQ(JpegFree(&p), JPEG_INVALID_PROPERTIES);
    EXPECT_EQ(JpegWrite(&p, 9), JPEG_INVALID_PROPERTIES);
}

TEST(Properties, ReadsRefuseBadSettingsBeforeReading)
{
    Codec codec;
    uint8_t jpeg[16] = {0xFF, 0xD8};
    uint8_t pixels[3] = {};
    JPEG_PROPERTIES& p = codec.p;
    p.JpegBytes = jpeg;
    p.JpegSize = sizeof jpeg;
    EXPECT_EQ(JpegRead(&p, 1), JPEG_MEMORY_ERROR); // the stream ends before a frame
    EXPECT_EQ(JpegRead(&p, 3), JPEG_INVALID_PROPERTIES); // no pixel buffer
    p.ImageBytes = pixels;
    p.ImageWidth = p.ImageHeight = 1;
    EXPECT_EQ(JpegRead(&p, 22), JPEG_INVALID_PROPERTIES);
    EXPECT_EQ(JpegRead(&p, 8), JPEG_INVALID_PROPERTIES);
    p.ImageColour = JPEG_COLOUR_GRAY;
    EXPECT_EQ(JpegRead(&p, 21), JPEG_THUMBNAIL_WRONG_COLOUR);
    p.ImageColour = JPEG_COLOUR_RGB;
    p.DctMethod = 2;
    EXPECT_EQ(JpegRead(&p, 3), JPEG_INVALID_PROPERTIES);
    p.DctMethod = 1;
    EXPECT_EQ(JpegRead(&p, 2), JPEG_INVALID_PROPERTIES); // no file name
    p.JpegFile = "/nonexistent/folder/in.jpg";
    EXPECT_EQ(JpegRead(&p, 2), JPEG_INVALID_FILE_NAME);
    p.JpegSize = 0;
    EXPECT_EQ(JpegRead(&p, 3), JPEG_INVALID_PROPERTIES);
}

struct BadCase {
    const char* name;
    std::function<void(JPEG_PROPERTIES&)> change;
    int mode;
    int expected;
};

// Every case starts from a valid memory write of a 20x12 B, G, R image.
TEST(Properties, WritesRefuseBadSettingsBeforeWritingAnything)
{
    static const uint8_t oneSymbolTooMany[16] = {0, 0, 0, 0, 0, 0, 0, 255, 2, 0, 0, 0, 0, 0, 0, 0};
    const BadCase cases[] = {
        {"mode 22", [](auto&) {}, 22, JPEG_INVALID_PROPERTIES},
        {"mode -1", [](auto&) {}, -1, JPEG_INVALID_PROPERTIES},
        {"read mode given to a write", [](auto&) {}, 3, JPEG_INVALID_PROPERTIES},
        {"DctMethod 2", [](auto& p) { p.DctMethod = 2; }, 9, JPEG_INVALID_PROPERTIES},
        {"no pixel buffer", [](auto& p) { p.ImageBytes = nullptr; }, 9, JPEG_INVALID_PROPERTIES},
        {"width 0", [](auto& p) { p.ImageWidth = 0; }, 9, JPEG_INVALID_PROPERTIES},
        {"width 65536", [](auto& p) { p.ImageWidth = 65536; }, 9, JPEG_INVALID_PROPERTIES},
        {"height 0", [](auto& p) { p.ImageHeight = 0; }, 9, JPEG_INVALID_PROPERTIES},
        {"height -65536", [](auto& p) { p.ImageHeight = -65536; }, 9, JPEG_INVALID_PROPERTIES},
        {"negative pad", [](auto& p) { p.ImagePadBytes = -1; }, 9, JPEG_INVALID_PROPERTIES},
        {"256 bytes per pixel", [](auto& p) { p.ImageChannels = 256; }, 9, JPEG_INVALID_PROPERTIES},
        {"ImageSampling 1", [](auto& p) { p.ImageSampling = 1; }, 9, JPEG_BAD_SUBSAMPLING},
        {"ImageSampling 2 with B, G, R", [](auto& p) { p.ImageSampling = 2; }, 9, JPEG_BAD_SUBSAMPLING},
        {"memory size 0", [](auto& p) { p.JpegSize = 0; }, 9, JPEG_INVALID_PROPERTIES},
        {"negative memory size", [](auto& p) { p.JpegSize = -5; }, 9, JPEG_INVALID_PROPERTIES},
        {"no memory buffer", [](auto& p) { p.JpegBytes = nullptr; }, 9, JPEG_INVALID_PROPERTIES},
        {"no file name", [](auto& p) { p.JpegFile = nullptr; }, 8, JPEG_INVALID_PROPERTIES},
        {"frame width 0", [](auto& p) { p.JpegWidth = 0; }, 9, JPEG_INVALID_PROPERTIES},
        {"frame wider than the image", [](auto& p) { p.JpegWidth = 21; }, 9, JPEG_INVALID_PROPERTIES},
        {"frame higher than the image", [](auto& p) { p.JpegHeight = 13; }, 9, JPEG_INVALID_PROPERTIES},
        {"five components", [](auto& p) { p.ImageColour = 255; p.ImageChannels = 5; p.JpegColour = 255; p.JpegChannels = 5; p.JpegSampling = 0; }, 9, JPEG_INVALID_PROPERTIES},
        {"no components", [](auto& p) { p.JpegChannels = 0; }, 9, JPEG_INVALID_PROPERTIES},
        {"4:2:0 with one component", [](auto& p) { p.JpegChannels = 1; p.JpegColour = 4; }, 9, JPEG_BAD_SUBSAMPLING},
        {"sampling 3 with three components", [](auto& p) { p.JpegSampling = 3; }, 9, JPEG_BAD_SUBSAMPLING},
        {"sampling 7", [](auto& p) { p.JpegSampling = 7; }, 9, JPEG_BAD_SUBSAMPLING},
        {"B, G, R as a JPEG colour", [](auto& p) { p.JpegColour = JPEG_COLOUR_BGR; }, 9, JPEG_INVALID_PROPERTIES},
        {"Y, Cb, Cr image to gray", [](auto& p) { p.ImageColour = 3; p.JpegColour = 4; p.JpegChannels = 1; p.JpegSampling = 0; }, 9, JPEG_INVALID_PROPERTIES},
        {"restart interval 65536", [](auto& p) { p.RestartInterval = 65536; }, 9, JPEG_INVALID_PROPERTIES},
        {"negative restart interval", [](auto& p) { p.RestartInterval = -1; }, 9, JPEG_INVALID_PROPERTIES},
        {"packed Y Cb Y Cr of odd width", [](auto& p) { p.ImageColour = 3; p.ImageSampling = 2; p.ImageWidth = 19; p.JpegWidth = 18; }, 9, JPEG_INVALID_PROPERTIES},
        {"single-block MCUs without planes", [](auto& p) { p.SingleBlockMcu = 1; }, 9, JPEG_INVALID_PROPERTIES},
        {"planes missing one component", [](auto& p) { static const int16_t plane[1] = {}; static JpegPlaneInput in{1, {plane, plane, nullptr, nullptr}}; p.PlaneInput = &in; }, 9, JPEG_INVALID_PROPERTIES},
        {"reuse without earlier settings", [](auto& p) { p.ReuseSettings = 1; }, 9, JPEG_INVALID_PROPERTIES},
        {"progressive, one component of colour 255 (no script)", [](auto& p) { p.Progressive = 1; p.ImageColour = 255; p.JpegColour = 255; p.JpegChannels = 1; p.JpegSampling = 0; }, 9, JPEG_INVALID_PROPERTIES},
        {"progressive, two components of colour 4 (no script)", [](auto& p) { p.Progressive = 1; p.ImageColour = 255; p.JpegColour = 4; p.JpegChannels = 2; p.JpegSampling = 0; }, 9, JPEG_INVALID_PROPERTIES},
        {"progressive single-block MCUs at 4:2:0", [](auto& p) { static const int16_t plane[2048] = {}; static JpegPlaneInput in{1, {plane, plane, plane, nullptr}}; p.PlaneInput = &in; p.SingleBlockMcu = 1; p.Progressive = 1; }, 9, JPEG_INVALID_PROPERTIES},
        {"Huffman table of 257 symbols", [](auto& p) {
             static uint8_t values[257] = {};
             p.OwnHuffmanTables.Enabled = 1;
             p.OwnHuffmanTables.Tables[0] = {oneSymbolTooMany, values, 0, 0};
             p.OwnHuffmanTables.Tables[1] = {oneSymbolTooMany, values, 1, 0};
             p.JpegChannels = 1; p.JpegColour = 4; p.JpegSampling = 0;
         }, 9, JPEG_BAD_HUFFMAN_TABLE},
        {"quantisation table number 4", [](auto& p) {
             static uint8_t table[64] = {};
             p.OwnQuantTables.Enabled = 1;
             p.OwnQuantTables.Tables[0] = {table, 4};
         }, 9, JPEG_BAD_QUANT_TABLE},
        {"two quantisation tables with one number", [](auto& p) {
             static uint8_t table[64] = {};
             p.OwnQuantTables.Enabled = 1;
             p.OwnQuantTables.Tables[0] = {table, 0};
             p.OwnQuantTables.Tables[1] = {table, 0};
         }, 9, JPEG_BAD_QUANT_TABLE},
        {"missing chrominance quantisation table", [](auto& p) {
             static uint8_t table[64] = {};
             p.OwnQuantTables.Enabled = 1;
             p.OwnQuantTables.Tables[0] = {table, 0};
         }, 9, JPEG_NO_QUANT_TABLE},
        {"component Huffman table number 2", [](auto& p) {
             p.OwnHuffmanTables.Enabled = 1;
             p.OwnHuffmanTables.Tables[0] = {nullptr, nullptr, 0, 0};
             static const uint8_t bits[16] = {0, 1};
             static const uint8_t values[1] = {0};
             p.OwnHuffmanTables.Tables[0] = {bits, values, 0, 0};
             p.OwnHuffmanTables.Tables[1] = {bits, values, 1, 0};
             p.OwnHuffmanTables.DcNumber[1] = 2;
         }, 9, JPEG_NO_HUFFMAN_TABLE},
    };
    const Image image = MakeImage(20, 12, 3);
    TempDir dir;
    const auto file = dir.Path("never.jpg");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Codec codec;
        codec.SetImage(image, JPEG_COLOUR_BGR);
        uint8_t out[4096];
        std::memset(out, 0xCC, sizeof out);
        codec.p.JpegBytes = out;
        codec.p.JpegSize = sizeof out;
        const std::string name = file.string();
        codec.p.JpegFile = name.c_str();
        c.change(codec.p);
        EXPECT_EQ(JpegWrite(&codec.p, c.mode), c.expected);
        EXPECT_EQ(out[0], 0xCC);
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(codec.p.Codec->out.file, -1);
    }
}

} // namespace
} // namespace thermjpeg::test
