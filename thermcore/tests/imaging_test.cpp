// The imaging layer: display range, gray to colour, histogram, flips and the
// colour ruler's two buffers.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <numeric>
#include <vector>

#include "imaging/imaging.h"

using namespace thermcore::imaging;

namespace {

struct Imaging {
    ImHandle h = IM_AllocResource();
    ~Imaging() { IM_FreeResource(h); }
};

uint32_t grayColour(int index) { return static_cast<uint32_t>(index) * 0x010101u; }

// Colours of single grays through a 1 x n frame.
std::vector<uint32_t> render(ImHandle h, const std::vector<int>& grays) {
    std::vector<uint16_t> frame(grays.begin(), grays.end());
    std::vector<uint32_t> rgb(grays.size());
    IM_SetImageResolution(h, static_cast<int>(grays.size()), 1);
    IM_DoIfrProcess(h, frame.data(), rgb.data());
    return rgb;
}

TEST(Imaging, GrayToRulerIndexRoundsHalvesUpAndClamps) {
    Imaging im;
    IM_SetAGCStatus(im.h, 0);
    IM_SetHistogramMinGray(im.h, 0);
    IM_SetHistogramMaxGray(im.h, 510);
    // index = round(g * 255 / 510) = round(g / 2)
    const std::vector<uint32_t> c = render(im.h, {-5, 0, 1, 2, 3, 509, 510, 600});
    const int want[] = {0, 0, 1, 1, 2, 255, 255, 255};
    for (size_t i = 0; i < c.size(); ++i) EXPECT_EQ(c[i], grayColour(want[i])) << i;

    IM_SetHistogramMinGray(im.h, 1000);
    IM_SetHistogramMaxGray(im.h, 1300);
    // round((1100 - 1000) * 255 / 300) = round(85.0); 1101 -> round(85.85) = 86
    EXPECT_EQ(render(im.h, {1100, 1101})[1], grayColour(86));
}

TEST(Imaging, EqualOrReversedDisplayRangeNeverDivides) {
    Imaging im;
    IM_SetAGCStatus(im.h, 0);
    for (int max : {500, 400}) {
        IM_SetHistogramMinGray(im.h, 500);
        IM_SetHistogramMaxGray(im.h, max);
        const std::vector<uint32_t> c = render(im.h, {499, 500, 501});
        EXPECT_EQ(c[0], grayColour(0));
        EXPECT_EQ(c[1], grayColour(0));
        EXPECT_EQ(c[2], grayColour(255));
    }
}

TEST(Imaging, AutomaticGainTakesTheFrameExtremes) {
    Imaging im;
    EXPECT_EQ(IM_GetAGCStatus(im.h), 1);
    EXPECT_EQ(IM_GetHistogramMinGray(im.h), 0);
    EXPECT_EQ(IM_GetHistogramMaxGray(im.h), 16383);
    IM_SetImageResolution(im.h, 4, 1);
    const uint16_t frame[4] = {700, 0xFFFF, 9000, 42};  // 0xFFFF reads as -1
    IM_DoHistogramProcess(im.h, frame);
    EXPECT_EQ(IM_GetHistogramMinGray(im.h), -1);
    EXPECT_EQ(IM_GetHistogramMaxGray(im.h), 9000);

    IM_SetAGCStatus(im.h, 0);
    IM_SetHistogramMinGray(im.h, 100);
    IM_SetHistogramMaxGray(im.h, 200);
    IM_DoHistogramProcess(im.h, frame);
    EXPECT_EQ(IM_GetHistogramMinGray(im.h), 100);
    EXPECT_EQ(IM_GetHistogramMaxGray(im.h), 200);
}

TEST(Imaging, HistogramHas256BinsOverTheDisplayRange) {
    Imaging im;
    std::vector<uint16_t> frame;
    for (int g = 1000; g < 1512; ++g) frame.push_back(static_cast<uint16_t>(g));  // two per bin
    IM_SetImageResolution(im.h, static_cast<int>(frame.size()), 1);
    IM_DoHistogramProcess(im.h, frame.data());
    ASSERT_EQ(IM_GetHistogramTblLength(im.h), 256);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(IM_GetHistogramTblData(im.h, i), 2) << i;
    EXPECT_EQ(IM_GetHistogramTblData(im.h, -1), 0);
    EXPECT_EQ(IM_GetHistogramTblData(im.h, 256), 0);

    // Grays outside a fixed range fall into the end bins.
    IM_SetAGCStatus(im.h, 0);
    IM_SetHistogramMinGray(im.h, 1200);
    IM_SetHistogramMaxGray(im.h, 1300);
    IM_DoHistogramProcess(im.h, frame.data());
    int total = 0;
    for (int i = 0; i < 256; ++i) total += IM_GetHistogramTblData(im.h, i);
    EXPECT_EQ(total, static_cast<int>(frame.size()));
    EXPECT_EQ(IM_GetHistogramTblData(im.h, 0), 201);    // 1000..1200
    EXPECT_EQ(IM_GetHistogramTblData(im.h, 255), 211);  // 1301..1511
}

// Every gray a frame can hold, against the rule written out: colour index
// 0 up to min, 255 from max, round((g - min) * 255 / (max - min)) between;
// bin 0 below min, 255 above max, (g - min) * 256 / (max - min + 1) between.
// Display ranges of any size, as a file's display block or a caller may set
// them, keep the rule (and no table grows with the range).
TEST(Imaging, EveryGrayFollowsTheRuleWhateverTheDisplayRange) {
    std::vector<uint16_t> frame(65536);
    std::iota(frame.begin(), frame.end(), uint16_t{0});  // all of them, -1 after 32767
    const struct {
        int min, max;
    } ranges[] = {
        {2000, 9000},           {-5, 16388},          {500, 500},          {500, 400},
        {-32768, 32767},        {32767, -32768},      {-32769, 32768},     {32767, 32767},
        {-32768, -32768},       {INT_MIN, INT_MAX},   {INT_MAX, INT_MIN},  {-216796320, 425195008},
        {30000, 2000000000},    {-2000000000, -30000}, {40000, 50000},     {-50000, -40000},
    };
    Imaging im;
    IM_SetAGCStatus(im.h, 0);
    IM_SetImageResolution(im.h, 256, 256);
    uint32_t* back = IM_GetBufferColorRuler(im.h);
    for (uint32_t i = 0; i < 256; ++i) back[i] = i * 0x010203u;  // no two entries alike
    IM_SwapColorRulerBuffer(im.h);
    for (const auto& r : ranges) {
        SCOPED_TRACE(testing::Message() << "display range " << r.min << " .. " << r.max);
        IM_SetHistogramMinGray(im.h, r.min);
        IM_SetHistogramMaxGray(im.h, r.max);
        std::vector<uint32_t> rgb(frame.size()), copy(frame.size()), both(frame.size()), bothCopy(frame.size());
        IM_DoIfrProcess(im.h, frame.data(), rgb.data());
        IM_DoIfrProcessTwice(im.h, frame.data(), copy.data(), bothCopy.data());
        EXPECT_EQ(copy, rgb);
        EXPECT_EQ(bothCopy, rgb);
        IM_DoHistogramProcess(im.h, frame.data());
        std::vector<int> histogram(256);
        for (int b = 0; b < 256; ++b) histogram[size_t(b)] = IM_GetHistogramTblData(im.h, b);

        std::vector<int> want(256, 0);
        int wrong = 0;
        const int64_t min = r.min, max = r.max;
        for (size_t i = 0; i < frame.size(); ++i) {
            const int64_t g = static_cast<int16_t>(frame[i]);
            const int64_t index = g <= min ? 0 : g >= max ? 255 : (2 * (g - min) * 255 + (max - min)) / (2 * (max - min));
            const int64_t bin = g < min ? 0 : g > max ? 255 : (g - min) * 256 / (max - min + 1);
            ++want[size_t(bin)];
            if (rgb[i] != static_cast<uint32_t>(index) * 0x010203u && ++wrong <= 3) {
                ADD_FAILURE() << "gray " << g << ": colour " << rgb[i] << ", index " << index;
            }
        }
        EXPECT_EQ(histogram, want);

        // The histogram counted in the colour pass is the same.
        IM_DoHistogramAndIfrProcess(im.h, frame.data(), both.data(), nullptr);
        EXPECT_EQ(both, rgb);
        for (int b = 0; b < 256; ++b) EXPECT_EQ(IM_GetHistogramTblData(im.h, b), want[size_t(b)]) << b;
    }
}

TEST(Imaging, FlipModes) {
    Imaging im;
    IM_SetAGCStatus(im.h, 0);
    IM_SetHistogramMinGray(im.h, 0);
    IM_SetHistogramMaxGray(im.h, 255);
    IM_SetImageResolution(im.h, 3, 2);
    const uint16_t frame[6] = {0, 1, 2, 10, 11, 12};
    const int want[4][6] = {{0, 1, 2, 10, 11, 12},
                            {2, 1, 0, 12, 11, 10},
                            {10, 11, 12, 0, 1, 2},
                            {12, 11, 10, 2, 1, 0}};
    for (int mode = 0; mode < 4; ++mode) {
        IM_SetImageFlipMode(im.h, mode);
        uint32_t rgb[6], both[6], copy[6];
        IM_DoIfrProcess(im.h, frame, rgb);
        IM_DoHistogramAndIfrProcess(im.h, frame, both, copy);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(rgb[i], grayColour(want[mode][i])) << mode << " " << i;
            EXPECT_EQ(both[i], rgb[i]) << mode << " " << i;
            EXPECT_EQ(copy[i], rgb[i]) << mode << " " << i;
        }
    }
}

TEST(Imaging, RulerBackBufferIsCopiedIn) {
    Imaging im;
    IM_SetAGCStatus(im.h, 0);
    IM_SetHistogramMinGray(im.h, 0);
    IM_SetHistogramMaxGray(im.h, 255);
    uint32_t* back = IM_GetBufferColorRuler(im.h);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back[200], grayColour(200));  // starts as a gray ramp
    back[0] = 0xFF0000;
    EXPECT_EQ(render(im.h, {0})[0], grayColour(0));  // not current before the swap
    IM_SwapColorRulerBuffer(im.h);
    EXPECT_EQ(render(im.h, {0})[0], 0xFF0000u);
    // The back buffer kept its contents: a second edit adds to the first.
    back[255] = 0x00FF00;
    IM_SwapColorRulerBuffer(im.h);
    const std::vector<uint32_t> c = render(im.h, {0, 255});
    EXPECT_EQ(c[0], 0xFF0000u);
    EXPECT_EQ(c[1], 0x00FF00u);
}

TEST(Imaging, NullResourceAndFrameDoNothing) {
    uint16_t frame[1] = {5};
    uint32_t rgb[1] = {7};
    IM_DoHistogramProcess(nullptr, frame);
    IM_DoIfrProcess(nullptr, frame, rgb);
    EXPECT_EQ(IM_GetBufferColorRuler(nullptr), nullptr);
    EXPECT_EQ(IM_GetHistogramTblLength(nullptr), 0);
    Imaging im;
    IM_SetImageResolution(im.h, 1, 1);
    IM_DoIfrProcess(im.h, nullptr, rgb);
    IM_DoIfrProcess(im.h, frame, nullptr);
    IM_DoHistogramProcess(im.h, nullptr);
    EXPECT_EQ(rgb[0], 7u);
}

}  // namespace
