#include "imaging/imaging.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <vector>

namespace thermcore::imaging {

struct Resource {
    int width = 0;
    int height = 0;
    int agc = 1;
    int minGray = 0;
    int maxGray = 16383;
    int level = 0;
    int gain = 0;
    int filter = 0;
    int enhance = 0;
    int flip = 0;
    int maxContrast = 0;
    int comboGain = 0;
    int comboLevel = 0;
    int uncMode = 0;
    int uncThreshold = 0;
    int bendiLimit = 0;
    std::array<int, kHistogramBins> histogram{};
    std::array<uint32_t, kRulerEntries> ruler{};
    std::array<uint32_t, kRulerEntries> back{};

    // Colours of the grays min..max for the current ruler, rebuilt when the
    // range or the ruler changes.
    std::vector<uint32_t> lut;
    int lutMin = 0;
    int lutMax = -1;
    bool lutValid = false;

    // Histogram bins of the grays min..max, rebuilt when the range changes.
    std::vector<uint8_t> bins;
    int binsMin = 0;
    int binsMax = -1;

    size_t pixels() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
};

namespace {

void grayRamp(std::array<uint32_t, kRulerEntries>& r) {
    for (int i = 0; i < kRulerEntries; ++i) r[i] = static_cast<uint32_t>(i) * 0x010101u;
}

int rulerIndex(int g, int min, int max) {
    if (g <= min) return 0;
    if (g >= max) return kRulerEntries - 1;
    const int64_t span = int64_t{max} - min;
    const int64_t a = int64_t{g} - min;
    return static_cast<int>((2 * a * 255 + span) / (2 * span));
}

const std::vector<uint32_t>& colourTable(Resource& r) {
    if (!r.lutValid || r.lutMin != r.minGray || r.lutMax != r.maxGray) {
        r.lut.clear();
        if (r.maxGray > r.minGray) {
            r.lut.resize(static_cast<size_t>(int64_t{r.maxGray} - r.minGray) + 1);
            for (size_t i = 0; i < r.lut.size(); ++i) {
                r.lut[i] = r.ruler[rulerIndex(r.minGray + static_cast<int>(i), r.minGray, r.maxGray)];
            }
        }
        r.lutMin = r.minGray;
        r.lutMax = r.maxGray;
        r.lutValid = true;
    }
    return r.lut;
}

const std::vector<uint8_t>& binTable(Resource& r) {
    if (r.binsMin != r.minGray || r.binsMax != r.maxGray || r.bins.empty()) {
        const int64_t span = std::max<int64_t>(int64_t{r.maxGray} - r.minGray, 0);
        r.bins.resize(static_cast<size_t>(span) + 1);
        for (int64_t a = 0; a <= span; ++a) {
            r.bins[static_cast<size_t>(a)] = static_cast<uint8_t>(a * kHistogramBins / (span + 1));
        }
        r.binsMin = r.minGray;
        r.binsMax = r.maxGray;
    }
    return r.bins;
}

inline int grayAt(const uint16_t* frame, size_t i) { return static_cast<int16_t>(frame[i]); }

}  // namespace

int IM_Init() { return 1; }

ImHandle IM_AllocResource() {
    auto* r = new (std::nothrow) Resource;
    if (r == nullptr) return nullptr;
    grayRamp(r->ruler);
    grayRamp(r->back);
    return r;
}

void IM_FreeResource(ImHandle h) { delete h; }

void IM_SetImageResolution(ImHandle h, int width, int height) {
    if (h == nullptr) return;
    h->width = std::max(width, 0);
    h->height = std::max(height, 0);
}

void IM_DoHistogramProcess(ImHandle h, const uint16_t* frame) {
    if (h == nullptr || frame == nullptr) return;
    const size_t n = h->pixels();
    if (n == 0) return;
    if (h->agc != 0) {
        int lo = grayAt(frame, 0);
        int hi = lo;
        for (size_t i = 1; i < n; ++i) {
            const int g = grayAt(frame, i);
            lo = std::min(lo, g);
            hi = std::max(hi, g);
        }
        h->minGray = lo;
        h->maxGray = hi;
    }
    h->histogram.fill(0);
    const std::vector<uint8_t>& bins = binTable(*h);
    const int min = h->minGray;
    const int max = h->maxGray;
    for (size_t i = 0; i < n; ++i) {
        const int g = grayAt(frame, i);
        const size_t bin = g < min   ? 0
                           : g > max ? kHistogramBins - 1
                                     : bins[static_cast<size_t>(g - min)];
        ++h->histogram[bin];
    }
}

void IM_DoIfrProcess(ImHandle h, const uint16_t* frame, uint32_t* rgb) {
    if (h == nullptr || frame == nullptr || rgb == nullptr) return;
    const auto& lut = colourTable(*h);
    const uint32_t below = h->ruler[0];
    const uint32_t above = h->ruler[kRulerEntries - 1];
    const int min = h->minGray;
    const int max = h->maxGray;
    const bool flipX = (h->flip & 1) != 0;
    const bool flipY = (h->flip & 2) != 0;
    const size_t w = static_cast<size_t>(h->width);
    const size_t ht = static_cast<size_t>(h->height);
    for (size_t y = 0; y < ht; ++y) {
        const uint16_t* src = frame + y * w;
        uint32_t* dst = rgb + (flipY ? ht - 1 - y : y) * w;
        for (size_t x = 0; x < w; ++x) {
            const int g = static_cast<int16_t>(src[x]);
            uint32_t c;
            if (g <= min) {
                c = below;
            } else if (g >= max) {
                c = above;
            } else {
                c = lut[static_cast<size_t>(g - min)];
            }
            dst[flipX ? w - 1 - x : x] = c;
        }
    }
}

uint32_t* IM_GetBufferColorRuler(ImHandle h) { return h == nullptr ? nullptr : h->back.data(); }

void IM_SwapColorRulerBuffer(ImHandle h) {
    if (h == nullptr) return;
    h->ruler = h->back;
    h->lutValid = false;
}

int IM_GetHistogramMinGray(ImHandle h) { return h == nullptr ? 0 : h->minGray; }
int IM_GetHistogramMaxGray(ImHandle h) { return h == nullptr ? 0 : h->maxGray; }
void IM_SetHistogramMinGray(ImHandle h, int gray) {
    if (h != nullptr) h->minGray = gray;
}
void IM_SetHistogramMaxGray(ImHandle h, int gray) {
    if (h != nullptr) h->maxGray = gray;
}

namespace {
void setField(ImHandle h, int Resource::*field, int v) {
    if (h != nullptr) h->*field = v;
}
int getField(ImHandle h, int Resource::*field) { return h == nullptr ? 0 : h->*field; }
}  // namespace

void IM_SetHistogramLevel(ImHandle h, int v) { setField(h, &Resource::level, v); }
void IM_SetHistogramGain(ImHandle h, int v) { setField(h, &Resource::gain, v); }
void IM_SetAGCStatus(ImHandle h, int v) { setField(h, &Resource::agc, v); }
void IM_SetFilterMode(ImHandle h, int v) { setField(h, &Resource::filter, v); }
void IM_SetEnhanceMode(ImHandle h, int v) { setField(h, &Resource::enhance, v); }
void IM_SetImageFlipMode(ImHandle h, int v) { setField(h, &Resource::flip, v); }
void IM_SetMaxContrastCtrl(ImHandle h, int v) { setField(h, &Resource::maxContrast, v); }
void IM_SetHistogramComboModeGain(ImHandle h, int v) { setField(h, &Resource::comboGain, v); }
void IM_SetHistogramComboModeLevel(ImHandle h, int v) { setField(h, &Resource::comboLevel, v); }
void IM_SetUNCompensateMode(ImHandle h, int v) { setField(h, &Resource::uncMode, v); }
void IM_UNCCompensateSetColumnThreshold(ImHandle h, int v) {
    setField(h, &Resource::uncThreshold, v);
}
void IM_SetBendiLimmit(ImHandle h, int v) { setField(h, &Resource::bendiLimit, v); }

int IM_GetHistogramLevel(ImHandle h) { return getField(h, &Resource::level); }
int IM_GetHistogramGain(ImHandle h) { return getField(h, &Resource::gain); }
int IM_GetAGCStatus(ImHandle h) { return getField(h, &Resource::agc); }
int IM_GetMaxContrastCtrl(ImHandle h) { return getField(h, &Resource::maxContrast); }
int IM_GetHistogramTblLength(ImHandle h) { return h == nullptr ? 0 : kHistogramBins; }
int IM_GetHistogramTblData(ImHandle h, int index) {
    if (h == nullptr || index < 0 || index >= kHistogramBins) return 0;
    return h->histogram[static_cast<size_t>(index)];
}

}  // namespace thermcore::imaging
