#include "imaging/imaging.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <vector>

#include "span_kernels.h"

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

    // Colour and histogram bin of every gray a frame can hold that the
    // display range tells apart (see GrayRange), rebuilt when the range or
    // the ruler changes.
    std::vector<uint32_t> lut;
    int lutMin = 0;
    int lutMax = -1;
    bool lutValid = false;
    std::vector<uint8_t> bins;
    int binsMin = 0;
    int binsMax = -1;
    bool binsValid = false;

    size_t pixels() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
};

namespace {

void grayRamp(std::array<uint32_t, kRulerEntries>& r) {
    for (int i = 0; i < kRulerEntries; ++i) r[i] = static_cast<uint32_t>(i) * 0x010101u;
}

int rulerIndex(int64_t g, int64_t min, int64_t max) {
    if (g <= min) return 0;
    if (g >= max) return kRulerEntries - 1;
    const int64_t span = max - min;
    const int64_t a = g - min;
    return static_cast<int>((2 * a * 255 + span) / (2 * span));
}

int histogramBin(int64_t g, int64_t min, int64_t max) {
    if (g < min) return 0;
    if (g > max) return kHistogramBins - 1;
    return static_cast<int>((g - min) * kHistogramBins / (max - min + 1));
}

// The grays first..last that the tables hold: the display range widened by
// one gray on each side and cut to the signed 16-bit grays of a frame. Every
// gray below first maps as first does and every gray above last as last
// does, so a gray g reads entry clamp(g, first, last) - first; the tables
// never hold more than 65536 entries, whatever range a file or caller sets.
struct GrayRange {
    int first;
    int last;
    GrayRange(int min, int max) {
        const int64_t lo = std::min<int64_t>(min, max) - 1;
        const int64_t hi = std::max<int64_t>(min, max) + 1;
        first = static_cast<int>(std::clamp<int64_t>(lo, INT16_MIN, INT16_MAX));
        last = static_cast<int>(std::clamp<int64_t>(hi, INT16_MIN, INT16_MAX));
    }
    size_t size() const { return static_cast<size_t>(last - first) + 1; }
    size_t entryOf(int16_t g) const { return static_cast<size_t>(std::clamp<int>(g, first, last) - first); }
};

const std::vector<uint32_t>& colourTable(Resource& r) {
    if (!r.lutValid || r.lutMin != r.minGray || r.lutMax != r.maxGray) {
        const GrayRange range(r.minGray, r.maxGray);
        r.lut.resize(range.size());
        for (size_t i = 0; i < r.lut.size(); ++i) {
            r.lut[i] = r.ruler[static_cast<size_t>(rulerIndex(range.first + static_cast<int64_t>(i), r.minGray, r.maxGray))];
        }
        r.lutMin = r.minGray;
        r.lutMax = r.maxGray;
        r.lutValid = true;
    }
    return r.lut;
}

const std::vector<uint8_t>& binTable(Resource& r) {
    if (!r.binsValid || r.binsMin != r.minGray || r.binsMax != r.maxGray) {
        const GrayRange range(r.minGray, r.maxGray);
        r.bins.resize(range.size());
        for (size_t i = 0; i < r.bins.size(); ++i) {
            r.bins[i] = static_cast<uint8_t>(histogramBin(range.first + static_cast<int64_t>(i), r.minGray, r.maxGray));
        }
        r.binsMin = r.minGray;
        r.binsMax = r.maxGray;
        r.binsValid = true;
    }
    return r.bins;
}

inline int16_t grayAt(const uint16_t* frame, size_t i) { return static_cast<int16_t>(frame[i]); }

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

namespace {

// Four histograms, pixel i counted in histogram i % 4: neighbouring pixels
// mostly share a bin, and one histogram would make each count wait for the
// one before.
using PartHistograms = std::array<std::array<int, kHistogramBins>, 4>;

void storeHistogram(Resource& r, const PartHistograms& part) {
    for (size_t b = 0; b < kHistogramBins; ++b) {
        r.histogram[b] = (part[0][b] + part[1][b]) + (part[2][b] + part[3][b]);
    }
}

// The automatic gain: the display range becomes the frame's extremes.
void followFrame(Resource& r, const uint16_t* frame) {
    if (r.agc == 0) return;
    const GrayBounds b = grayBounds(frame, r.pixels());
    r.minGray = b.min;
    r.maxGray = b.max;
}

// One pass over the frame: each pixel's colour into rgb (and copy, when
// given), mirrored as the flip mode says, and its bin counted when a
// histogram is given.
template <bool kCopy, bool kCount>
void colourPass(Resource& r, const uint16_t* frame, uint32_t* rgb, uint32_t* copy, PartHistograms* part) {
    const GrayRange range(r.minGray, r.maxGray);
    const uint32_t* lut = colourTable(r).data();
    const uint8_t* bins = kCount ? binTable(r).data() : nullptr;
    const bool flipX = (r.flip & 1) != 0;
    const bool flipY = (r.flip & 2) != 0;
    const size_t w = static_cast<size_t>(r.width);
    const size_t ht = static_cast<size_t>(r.height);
    // Pixel x of a row goes to first + x * step of its output row.
    const size_t first = flipX ? w - 1 : 0;
    const ptrdiff_t step = flipX ? -1 : 1;
    for (size_t y = 0; y < ht; ++y) {
        const uint16_t* src = frame + y * w;
        const size_t row = (flipY ? ht - 1 - y : y) * w + first;
        for (size_t x = 0; x < w; ++x) {
            const size_t e = range.entryOf(grayAt(src, x));
            const size_t at = row + static_cast<size_t>(static_cast<ptrdiff_t>(x) * step);
            rgb[at] = lut[e];
            if constexpr (kCopy) copy[at] = lut[e];
            if constexpr (kCount) ++(*part)[x % 4][bins[e]];
        }
    }
}

template <bool kCount>
void colourPass(Resource& r, const uint16_t* frame, uint32_t* rgb, uint32_t* copy, PartHistograms* part) {
    if (copy != nullptr) {
        colourPass<true, kCount>(r, frame, rgb, copy, part);
    } else {
        colourPass<false, kCount>(r, frame, rgb, nullptr, part);
    }
}

}  // namespace

void IM_DoHistogramProcess(ImHandle h, const uint16_t* frame) {
    if (h == nullptr || frame == nullptr) return;
    const size_t n = h->pixels();
    if (n == 0) return;
    followFrame(*h, frame);
    const uint8_t* bins = binTable(*h).data();
    const GrayRange range(h->minGray, h->maxGray);
    PartHistograms part{};
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        ++part[0][bins[range.entryOf(grayAt(frame, i))]];
        ++part[1][bins[range.entryOf(grayAt(frame, i + 1))]];
        ++part[2][bins[range.entryOf(grayAt(frame, i + 2))]];
        ++part[3][bins[range.entryOf(grayAt(frame, i + 3))]];
    }
    for (; i < n; ++i) ++part[0][bins[range.entryOf(grayAt(frame, i))]];
    storeHistogram(*h, part);
}

void IM_DoIfrProcess(ImHandle h, const uint16_t* frame, uint32_t* rgb) {
    IM_DoIfrProcessTwice(h, frame, rgb, nullptr);
}

void IM_DoIfrProcessTwice(ImHandle h, const uint16_t* frame, uint32_t* rgb, uint32_t* copy) {
    if (h == nullptr || frame == nullptr || rgb == nullptr) return;
    colourPass<false>(*h, frame, rgb, copy, nullptr);
}

void IM_DoHistogramAndIfrProcess(ImHandle h, const uint16_t* frame, uint32_t* rgb, uint32_t* copy) {
    if (h == nullptr || frame == nullptr) return;
    if (rgb == nullptr || h->pixels() == 0) {
        IM_DoHistogramProcess(h, frame);
        return;
    }
    followFrame(*h, frame);
    PartHistograms part{};
    colourPass<true>(*h, frame, rgb, copy, &part);
    storeHistogram(*h, part);
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
