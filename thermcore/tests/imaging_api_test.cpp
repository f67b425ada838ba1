// Palette files, the off-screen surface and its present hook, and the
// imaging calls of an opened image.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "fixture_files.h"
#include "thermcore.h"

using thermcore_test::fixturePath;
using thermcore_test::readBytes;
using thermcore_test::ScratchDir;

namespace {

std::string palettePath() {
    const std::string vni = fixturePath("k4");
    return vni.substr(0, vni.rfind('/')) + "/palette.bmp";
}

// Renders a two-pixel frame {min, max} through a 2 x 1 live object.
std::vector<uint32_t> renderEnds(IfrHandle h) {
    const unsigned short frame[2] = {1000, 2000};
    IFR_DoHistogramProcess(h, frame);
    IfrSurface* s = nullptr;
    EXPECT_EQ(IFR_GetDrawBuffer(h, frame, &s), 0);
    if (s == nullptr) return {};
    return {s->pixels[0], s->pixels[1]};
}

TEST(Palette, EntriesFromTheBmpPixels) {
    IfrHandle h = IFR_Init(nullptr, 2, 1);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(IFR_SetColorRuler(h, palettePath().c_str()), 0);
    const std::vector<uint32_t> c = renderEnds(h);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], 0x302010u);  // first pixel bytes 10 20 30 (blue, green, red)
    // Entry 255 of the fixture palette: bytes 255, 0, (255*3)&255.
    EXPECT_EQ(c[1], 0x000000FFu | (uint32_t((255 * 3) & 0xFF) << 16));
    IFR_Free(h);
}

TEST(Palette, MissingOrShortFileLeavesTheRuler) {
    ScratchDir dir;
    const std::vector<uint8_t> bmp = readBytes(palettePath());
    ASSERT_EQ(bmp.size(), 822u);
    IfrHandle h = IFR_Init(nullptr, 2, 1);
    ASSERT_NE(h, nullptr);
    const std::vector<uint32_t> before = renderEnds(h);
    EXPECT_EQ(IFR_SetColorRuler(h, dir.path("missing.bmp").c_str()), -1);
    const std::vector<uint8_t> shorter(bmp.begin(), bmp.end() - 1);
    EXPECT_EQ(IFR_SetColorRuler(h, dir.write("short.bmp", shorter).c_str()), -1);
    EXPECT_EQ(IFR_SetColorRuler(h, nullptr), -1);
    EXPECT_EQ(renderEnds(h), before);
    // The header is not looked at: 822 bytes of anything with the pixels
    // at offset 54 are a palette.
    std::vector<uint8_t> odd = bmp;
    std::fill(odd.begin(), odd.begin() + 54, 0xEE);
    EXPECT_EQ(IFR_SetColorRuler(h, dir.write("odd.bmp", odd).c_str()), 0);
    EXPECT_EQ(renderEnds(h)[0], 0x302010u);
    IFR_Free(h);
}

struct PresentLog {
    int calls = 0;
    void* window = nullptr;
    std::vector<uint32_t> pixels;
    int width = 0, height = 0, pitch = 0, bits = 0;
};

void recordPresent(void* window, const IfrSurface* s, void* user) {
    auto* log = static_cast<PresentLog*>(user);
    ++log->calls;
    log->window = window;
    log->pixels.assign(s->pixels, s->pixels + s->width * s->height);
    log->width = s->width;
    log->height = s->height;
    log->pitch = s->pitch;
    log->bits = s->bitsPerPixel;
}

TEST(Screen, FlipHandsTheSurfaceToThePresentHook) {
    PresentLog log;
    ThermcoreSetPresentHook(recordPresent, &log);
    int window = 0;
    IfrHandle h = IFR_Init(&window, 3, 2);
    ASSERT_NE(h, nullptr);
    IFR_Flip(h);  // nothing rendered yet
    EXPECT_EQ(log.calls, 0);
    const unsigned short frame[6] = {10, 20, 30, 40, 50, 60};
    IFR_DoHistogramProcess(h, frame);
    IfrSurface* s = nullptr;
    ASSERT_EQ(IFR_GetDrawBuffer(h, frame, &s), 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->width, 3);
    EXPECT_EQ(s->height, 2);
    EXPECT_EQ(s->pitch, 12);
    EXPECT_EQ(s->bitsPerPixel, 32);
    EXPECT_EQ(s->pixels[0], 0u);         // the lowest gray: ruler index 0
    EXPECT_EQ(s->pixels[5], 0xFFFFFFu);  // the highest: 255
    IFR_Flip(h);
    EXPECT_EQ(log.calls, 1);
    EXPECT_EQ(log.window, &window);
    EXPECT_EQ(log.pixels, std::vector<uint32_t>(s->pixels, s->pixels + 6));
    EXPECT_EQ(log.pitch, 12);

    // IFR_ShowImage: histogram pass, render and present in one.
    const unsigned short flat[6] = {5, 5, 5, 5, 5, 9};
    IFR_ShowImage(h, flat);
    EXPECT_EQ(log.calls, 2);
    EXPECT_EQ(IFR_GetHistogramMaxGray(h), 9);
    EXPECT_EQ(log.pixels[5], 0xFFFFFFu);

    ThermcoreSetPresentHook(nullptr, nullptr);
    IFR_Flip(h);
    EXPECT_EQ(log.calls, 2);
    IFR_Free(h);
}

// The histogram and the surface of a real frame, against the plain
// per-pixel rules (automatic gain: the display range is the frame's
// extremes; the gray ruler of an image without a palette file). Other
// colour outputs afterwards leave the surface with the frame it was
// rendered from.
TEST(Screen, HistogramAndSurfaceFollowThePlainRulesAndTheSurfaceKeepsItsFrame) {
    IfrHandle h = IFR_LoadFile(nullptr, fixturePath("k4_320").c_str(), 0, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(IFR_Next(h), 0);
    int w = 0, ht = 0;
    IFR_GetImageWidthHeight(h, &w, &ht);
    std::vector<unsigned short> frame(size_t(w) * size_t(ht));
    for (int y = 0; y < ht; ++y) {
        for (int x = 0; x < w; ++x) frame[size_t(y) * size_t(w) + size_t(x)] = thermcore_test::expectedGray(x, y);
    }
    frame[7] = 0xFFF0;  // a negative gray: the lowest of the frame
    int64_t lo = INT16_MAX, hi = INT16_MIN;
    for (unsigned short g : frame) {
        lo = std::min<int64_t>(lo, int16_t(g));
        hi = std::max<int64_t>(hi, int16_t(g));
    }
    std::vector<uint32_t> colours(frame.size());
    std::vector<int> bins(256);
    for (size_t i = 0; i < frame.size(); ++i) {
        const int64_t g = int16_t(frame[i]);
        const int64_t index = g <= lo ? 0 : g >= hi ? 255 : (2 * (g - lo) * 255 + (hi - lo)) / (2 * (hi - lo));
        colours[i] = uint32_t(index) * 0x010101u;
        ++bins[size_t((g - lo) * 256 / (hi - lo + 1))];
    }

    IFR_DoHistogramProcess(h, frame.data());
    IfrSurface* s = nullptr;
    ASSERT_EQ(IFR_GetDrawBuffer(h, frame.data(), &s), 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(IFR_GetHistogramMinGray(h), lo);
    EXPECT_EQ(IFR_GetHistogramMaxGray(h), hi);
    std::vector<int> histogram(256);
    IFR_GetHistogramTblData(h, histogram.data());
    EXPECT_EQ(histogram, bins);
    const auto shown = [&] { return std::vector<uint32_t>(s->pixels, s->pixels + frame.size()); };
    EXPECT_EQ(shown(), colours);

    std::vector<uint8_t> dib(size_t(ThermcoreDibFileSize(w, ht)));
    int size = 0;
    ASSERT_EQ(IFR_OutputDIB(h, dib.data(), &size, 3), 0);
    const std::vector<unsigned short> flat(frame.size(), 5000);
    IFR_DoIfrProcess(h, flat.data());
    std::vector<uint8_t> pixels(frame.size() * 4);
    ASSERT_EQ(IFR_MemSaveToBuff(h, pixels.data(), static_cast<int>(pixels.size())), 0);
    EXPECT_EQ(pixels[0], pixels[4 * (frame.size() - 1)]) << "the flat frame went to the colour buffer";
    EXPECT_EQ(shown(), colours) << "the surface keeps its frame";
    ASSERT_EQ(IFR_GetDrawBuffer(h, flat.data(), &s), 0);
    EXPECT_EQ(s->pixels[0], s->pixels[frame.size() - 1]);
    IFR_CloseFile(h);
    IFR_Free(h);
}

TEST(Screen, NoWindowMeansNoPresent) {
    PresentLog log;
    ThermcoreSetPresentHook(recordPresent, &log);
    IfrHandle h = IFR_LoadFile(nullptr, fixturePath("k8").c_str(), 0, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(IFR_Next(h), 0);
    std::vector<unsigned short> frame(16 * 12, 3000);
    IfrSurface* s = nullptr;
    EXPECT_EQ(IFR_GetDrawBuffer(h, frame.data(), &s), 0);  // the surface is there all the same
    EXPECT_NE(s, nullptr);
    IFR_Flip(h);
    IFR_ShowImage(h, frame.data());
    EXPECT_EQ(log.calls, 0);
    ThermcoreSetPresentHook(nullptr, nullptr);
    IFR_CloseFile(h);
    IFR_Free(h);
}

TEST(ImagingCalls, HistogramOfTheOpenedFrame) {
    IfrHandle h = IFR_LoadFile(nullptr, fixturePath("k4_320").c_str(), 0, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(IFR_Next(h), 0);
    // The frame's grays are 2000 + (37x + 101y) % 12000.
    EXPECT_EQ(IFR_GetHistogramMinGray(h), 2000);
    EXPECT_EQ(IFR_GetHistogramMaxGray(h), 2000 + 11999);
    std::vector<int> bins(IFR_GetHistogramTblLength(h), 0);
    ASSERT_EQ(bins.size(), 256u);
    IFR_GetHistogramTblData(h, bins.data());
    EXPECT_EQ(std::accumulate(bins.begin(), bins.end(), 0), 320 * 240);
    IFR_CloseFile(h);
    IFR_Free(h);
}

TEST(ImagingCalls, SettingsAreStoredAndReadBack) {
    IfrHandle h = IFR_Init(nullptr, 4, 4);
    ASSERT_NE(h, nullptr);
    IFR_SetHistogramLevel(h, 33);
    IFR_SetHistogramGain(h, 44);
    IFR_SetMaxContrastCtrl(h, 55);
    IFR_SetAGCStatus(h, 0);
    EXPECT_EQ(IFR_GetHistogramLevel(h), 33);
    EXPECT_EQ(IFR_GetHistogramGain(h), 44);
    EXPECT_EQ(IFR_GetMaxContrastCtrl(h), 55);
    EXPECT_EQ(IFR_GetAGCStatus(h), 0);
    IFR_SetHistogramMinGray(h, 123);
    IFR_SetHistogramMaxGray(h, 456);
    EXPECT_EQ(IFR_GetHistogramMinGray(h), 123);
    EXPECT_EQ(IFR_GetHistogramMaxGray(h), 456);
    IFR_Free(h);
}

TEST(ImagingCalls, ResetAgcAppliesTheStoredDisplayBlockOnly) {
    for (const char* name : {"k8", "k10", "k4"}) {
        SCOPED_TRACE(name);
        IfrHandle h = IFR_LoadFile(nullptr, fixturePath(name).c_str(), 0, nullptr, nullptr);
        ASSERT_NE(h, nullptr);
        ASSERT_EQ(IFR_Next(h), 0);
        IFR_SetAGCStatus(h, 0);
        IFR_ResetAGCStatus(h);
        // Only "k8" carries a display block (gain state 1).
        EXPECT_EQ(IFR_GetAGCStatus(h), std::string(name) == "k8" ? 1 : 0);
        IFR_CloseFile(h);
        IFR_Free(h);
    }
}

// A file whose display block converts to grays far outside what a frame can
// hold, and callers that set such a range: the picture and histogram follow
// the clamping rule (every gray of this frame lies inside the range, at
// ruler index round((g - min) * 255 / (max - min))), without tables the size
// of the range.
TEST(ImagingCalls, DisplayRangesFarBeyondTheFrameGraysRender) {
    IfrHandle h = IFR_LoadFile(nullptr, fixturePath("k8_display_far").c_str(), 0, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(IFR_Next(h), 0);
    IFR_ResetAGCStatus(h);
    EXPECT_EQ(IFR_GetAGCStatus(h), 0);
    const int64_t min = IFR_GetHistogramMinGray(h), max = IFR_GetHistogramMaxGray(h);
    EXPECT_LT(min, -100000000);
    EXPECT_GT(max, 100000000);
    std::vector<unsigned short> frame;
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) frame.push_back(thermcore_test::expectedGray(x, y));
    }
    IfrSurface* s = nullptr;
    ASSERT_EQ(IFR_GetDrawBuffer(h, frame.data(), &s), 0);
    for (size_t i = 0; i < frame.size(); ++i) {
        const int64_t index = (2 * (frame[i] - min) * 255 + (max - min)) / (2 * (max - min));
        ASSERT_EQ(s->pixels[i], static_cast<uint32_t>(index) * 0x010101u) << i;
    }
    std::vector<int> bins(256, 0);
    IFR_GetHistogramTblData(h, bins.data());
    EXPECT_EQ(std::accumulate(bins.begin(), bins.end(), 0), 16 * 12);

    IFR_SetHistogramMinGray(h, INT_MIN);
    IFR_SetHistogramMaxGray(h, INT_MAX);
    IFR_DoHistogramProcess(h, frame.data());
    ASSERT_EQ(IFR_GetDrawBuffer(h, frame.data(), &s), 0);
    EXPECT_EQ(s->pixels[0], 128u * 0x010101u);  // the middle of the whole int range
    IFR_GetHistogramTblData(h, bins.data());
    EXPECT_EQ(bins[128], 16 * 12);
    IFR_CloseFile(h);
    IFR_Free(h);
}

TEST(ImagingCalls, FlipModeMirrorsTheColourImage) {
    IfrHandle h = IFR_Init(nullptr, 2, 1);
    ASSERT_NE(h, nullptr);
    const std::vector<uint32_t> straight = renderEnds(h);
    IFR_SetImageFlipMode(h, 1);
    const std::vector<uint32_t> mirrored = renderEnds(h);
    ASSERT_EQ(mirrored.size(), 2u);
    EXPECT_EQ(mirrored[0], straight[1]);
    EXPECT_EQ(mirrored[1], straight[0]);
    IFR_Free(h);
}

}  // namespace
