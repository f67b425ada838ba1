// The colour ruler's order, isotherm bands and the device strings, through
// the interface. The ruler is read back by rendering a 256 x 1 frame whose
// pixel i maps to ruler index i.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fixture_files.h"
#include "thermcore.h"

using thermcore_test::fixturePath;

namespace {

std::string palettePath() {
    const std::string vni = fixturePath("k4");
    return vni.substr(0, vni.rfind('/')) + "/palette.bmp";
}

// Entry k of the fixture palette (pixel bytes k, 255 - k, 3k; entry 0 is
// 10 20 30) as a ruler entry 0x00RRGGBB.
uint32_t paletteEntry(int k) {
    if (k == 0) return 0x302010;
    return uint32_t((3 * k) & 0xFF) << 16 | uint32_t(255 - k) << 8 | uint32_t(k);
}

// A 256 x 1 live object showing the grays 0..255 over a display range of
// 0..255, with the own model set up so that gray 0 is 20 degrees and gray
// 255 is 40 degrees.
struct Ruler {
    IfrHandle h = IFR_Init(nullptr, 256, 1);
    std::vector<unsigned short> frame;
    Ruler() {
        EXPECT_NE(h, nullptr);
        for (int i = 0; i < 256; ++i) frame.push_back(static_cast<unsigned short>(i));
        IFR_SetAGCStatus(h, 0);
        IFR_SetHistogramMinGray(h, 0);
        IFR_SetHistogramMaxGray(h, 255);
        // Line table: (0, 20), (255, 40), (256, 41), (257, 42), ...
        std::vector<uint8_t> table;
        for (int i = 0; i < 103; ++i) {
            const int32_t entry[2] = {i == 0 ? 0 : 254 + i, i == 0 ? 20 : 39 + i};
            for (int32_t v : entry) {
                for (int b = 0; b < 4; ++b) table.push_back(static_cast<uint8_t>(uint32_t(v) >> (8 * b)));
            }
        }
        IFR_LoadGrayToTempLine(h, table.data(), 824);
        IFR_SetEmissDis(h, 1.0f, 0.0f);
        IFR_SetAmbHum(h, 0.0f, 0.5f);
        IFR_SetCorrectParam(h, 1.0f, 0.0f, 0);
    }
    ~Ruler() { IFR_Free(h); }
    std::vector<uint32_t> read() const {
        IfrSurface* s = nullptr;
        EXPECT_EQ(IFR_GetDrawBuffer(h, frame.data(), &s), 0);
        if (s == nullptr) return {};
        return {s->pixels, s->pixels + 256};
    }
    bool loadPalette() const { return IFR_SetColorRuler(h, palettePath().c_str()) == 0; }
};

std::vector<uint32_t> plainRuler(bool inverted) {
    std::vector<uint32_t> r(256);
    for (int k = 0; k < 256; ++k) r[inverted ? 255 - k : k] = paletteEntry(k);
    return r;
}

// 0x00BBGGRR colours of the isotherm calls and their ruler form.
constexpr int kRed = 0x0000FF, kGreen = 0x00FF00, kBlueish = 0x804020;
constexpr uint32_t kRedRuler = 0xFF0000, kGreenRuler = 0x00FF00, kBlueishRuler = 0x204080;

TEST(ColourRuler, PaletteOrderAndInversion) {
    Ruler r;
    ASSERT_TRUE(r.loadPalette());
    EXPECT_EQ(r.read(), plainRuler(false));
    IFR_SetIRInvert(r.h, 1);
    EXPECT_EQ(r.read(), plainRuler(true));
    IFR_SetIRInvert(r.h, 0);
    EXPECT_EQ(r.read(), plainRuler(false));
    // IFR_SetColorRuler loads in normal order whatever the flag.
    IFR_SetIRInvert(r.h, 1);
    ASSERT_TRUE(r.loadPalette());
    EXPECT_EQ(r.read(), plainRuler(false));
}

TEST(ColourRuler, InvertWithoutPaletteOnlyStoresTheFlag) {
    Ruler r;
    const std::vector<uint32_t> ramp = r.read();
    IFR_SetIRInvert(r.h, 1);
    EXPECT_EQ(r.read(), ramp);
    ASSERT_TRUE(r.loadPalette());
    EXPECT_EQ(r.read(), plainRuler(false));
    // Turning isotherms off gives the plain ruler in the stored order.
    EXPECT_EQ(IFR_SetIsothermTemp(r.h, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(r.read(), plainRuler(true));
}

TEST(Isotherms, BandPaintsTheIndicesStrictlyInside) {
    Ruler r;
    ASSERT_EQ(IFR_GrayToTemp(r.h, 0), 20.0f);
    ASSERT_EQ(IFR_GrayToTemp(r.h, 255), 40.0f);
    ASSERT_TRUE(r.loadPalette());
    EXPECT_EQ(IFR_SetIsothermTemp(r.h, 1, 25.0f, 30.0f, kRed, 0), 1);
    std::vector<uint32_t> expected = plainRuler(false);
    for (int i = 65; i <= 127; ++i) expected[i] = kRedRuler;
    EXPECT_EQ(r.read(), expected);
}

TEST(Isotherms, LaterBandsOverwriteAndHigherIndicesAreNotPainted) {
    Ruler r;
    ASSERT_TRUE(r.loadPalette());
    ASSERT_EQ(IFR_SetIsothermTemp(r.h, 1, 35.0f, 38.0f, kBlueish, 5), 1);
    ASSERT_EQ(IFR_SetIsothermTemp(r.h, 1, 22.5f, 30.0f, kRed, 0), 1);
    // Isotherm 2 repaints 0..2 over a fresh normal-order ruler: isotherm 5
    // disappears, isotherm 2 overwrites isotherm 0 where they overlap, and
    // isotherm 1 (never set) has an empty band.
    IFR_SetIRInvert(r.h, 1);
    ASSERT_EQ(IFR_SetIsothermTemp(r.h, 1, 27.5f, 32.5f, kGreen, 2), 1);
    std::vector<uint32_t> expected = plainRuler(false);
    for (int i = 33; i <= 127; ++i) expected[i] = kRedRuler;    // 22.5 .. 30: p = 32 .. 128
    for (int i = 97; i <= 159; ++i) expected[i] = kGreenRuler;  // 27.5 .. 32.5: p = 96 .. 160
    EXPECT_EQ(r.read(), expected);
    // Setting isotherm 5 again paints 0..5.
    ASSERT_EQ(IFR_SetIsothermTemp(r.h, 1, 35.0f, 38.0f, kBlueish, 5), 1);
    for (int i = 193; i <= 230; ++i) expected[i] = kBlueishRuler;  // p = 192 .. 230.4
    EXPECT_EQ(r.read(), expected);
}

TEST(Isotherms, EmptyBandsAndRefusedCalls) {
    Ruler r;
    const std::vector<uint32_t> ramp = r.read();
    // Before any palette: refused, nothing changes.
    EXPECT_EQ(IFR_SetIsothermTemp(r.h, 1, 25.0f, 30.0f, kRed, 0), -1);
    EXPECT_EQ(r.read(), ramp);
    ASSERT_TRUE(r.loadPalette());
    for (int index : {-1, 10, 1000}) {
        EXPECT_EQ(IFR_SetIsothermTemp(r.h, 1, 25.0f, 30.0f, kRed, index), -1);
        EXPECT_EQ(IFR_SetIsothermTemp(r.h, 0, 25.0f, 30.0f, kRed, index), -1);
    }
    EXPECT_EQ(r.read(), plainRuler(false));
    // Low equal to high paints nothing.
    EXPECT_EQ(IFR_SetIsothermTemp(r.h, 1, 28.0f, 28.0f, kRed, 0), 1);
    EXPECT_EQ(r.read(), plainRuler(false));
    // A display range of one temperature paints nothing.
    IFR_SetHistogramMaxGray(r.h, 0);
    EXPECT_EQ(IFR_SetIsothermTemp(r.h, 1, 10.0f, 50.0f, kRed, 0), 1);
    IFR_SetHistogramMaxGray(r.h, 255);
    EXPECT_EQ(r.read(), plainRuler(false));
}

std::string text(const char* buf, size_t n) { return std::string(buf, strnlen(buf, n)); }

TEST(DeviceStrings, FromTheBlockOfTheImage) {
    for (const char* name : {"k4", "k3"}) {
        SCOPED_TRACE(name);
        IfrHandle h = IFR_LoadFile(nullptr, fixturePath(name).c_str(), 0, nullptr, nullptr);
        ASSERT_NE(h, nullptr);
        char model[8], firmware[16], serial[16], date[32];
        std::memset(model, 'x', sizeof model);
        std::memset(firmware, 'x', sizeof firmware);
        std::memset(serial, 'x', sizeof serial);
        std::memset(date, 'x', sizeof date);
        char device = 0, last = 'x';
        int low = 0, high = 0;
        IFR_GetDeviceDate(h, model, firmware, serial, date, &device, &low, &high, &last);
        EXPECT_EQ(text(model, 8), "RQ52T");
        EXPECT_EQ(model[7], 0);  // cleared behind the string
        EXPECT_EQ(text(firmware, 16), "RQ52T V2.3.1");
        EXPECT_EQ(text(serial, 16), "RQ5220100412");
        EXPECT_EQ(text(date, 32), "Apr 12 2010 09:15:42");
        EXPECT_EQ(date[31], 0);
        EXPECT_EQ(device, 1);
        if (std::string(name) == "k3") {
            // Two 16-bit values; the last byte is not written.
            EXPECT_EQ(low, -200);
            EXPECT_EQ(high, 3500);
            EXPECT_EQ(last, 'x');
        } else {
            EXPECT_EQ(low, -2000);
            EXPECT_EQ(high, 35000);
            EXPECT_EQ(last, 7);
        }
        IFR_GetDeviceDate(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        IFR_CloseFile(h);
        IFR_Free(h);
    }
}

}  // namespace
