#include "imaging/imaging.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <vector>

#include "span_kernels.h"
#include "uninitialised_vector.h"

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

    // Colour and histogram bin of every gray a frame can hold, indexed by
    // the gray's 16 bits as a frame stores them (see grayTable), rebuilt
    // when the range or the ruler changes.
    UninitialisedVector<uint32_t> lut;
    int lutMin = 0;
    int lutMax = -1;
    bool lutValid = false;
    UninitialisedVector<uint8_t> bins;
    int binsMin = 0;
    int binsMax = -1;
    bool binsValid = false;

    size_t pixels() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
};

namespace {

void grayRamp(std::array<uint32_t, kRulerEntries>& r) {
    for (int i = 0; i < kRulerEntries; ++i) r[i] = static_cast<uint32_t>(i) * 0x010101u;
}

// floor(n(g) / d) for grays g read in increasing order, n growing by step
// from one gray to the next (n >= 0, step >= 0, d > 0): a gray that follows
// the last one read steps the quotient and remainder on without dividing;
// any other divides again.
class QuotientRun {
public:
    QuotientRun(int64_t step, int64_t d) : step_(step), d_(d) {}
    int64_t at(int64_t g, int64_t n) {
        if (!started_ || g != next_) {
            q_ = n / d_;
            r_ = n % d_;
            stepQ_ = step_ / d_;
            stepR_ = step_ % d_;
            started_ = true;
        } else {
            q_ += stepQ_;
            r_ += stepR_;
            if (r_ >= d_) {
                r_ -= d_;
                ++q_;
            }
        }
        next_ = g + 1;
        return q_;
    }

private:
    int64_t step_, d_;
    bool started_ = false;
    int64_t next_ = 0, q_ = 0, r_ = 0, stepQ_ = 0, stepR_ = 0;
};

// Ruler index: 0 up to min, 255 from max, round((g - min) * 255 / (max -
// min)) between, halves up.
class RulerIndex {
public:
    RulerIndex(int64_t min, int64_t max) : min_(min), max_(max), run_(2 * 255, 2 * (max - min)) {}
    int operator()(int64_t g) {
        if (g <= min_) return 0;
        if (g >= max_) return kRulerEntries - 1;
        return static_cast<int>(run_.at(g, 2 * (g - min_) * 255 + (max_ - min_)));
    }

private:
    int64_t min_, max_;
    QuotientRun run_;
};

// Histogram bin: 0 below min, 255 above max, (g - min) * 256 / (max - min
// + 1) between.
class HistogramBin {
public:
    HistogramBin(int64_t min, int64_t max) : min_(min), max_(max), run_(kHistogramBins, max - min + 1) {}
    int operator()(int64_t g) {
        if (g < min_) return 0;
        if (g > max_) return kHistogramBins - 1;
        return static_cast<int>(run_.at(g, (g - min_) * kHistogramBins));
    }

private:
    int64_t min_, max_;
    QuotientRun run_;
};

// The grays first..last that the display range tells apart: the range
// widened by one gray on each side and cut to the signed 16-bit grays of a
// frame. Every gray below first maps as first does and every gray above
// last as last does, whatever range a file or caller sets.
struct GrayRange {
    int first;
    int last;
    GrayRange(int min, int max) {
        const int64_t lo = std::min<int64_t>(min, max) - 1;
        const int64_t hi = std::max<int64_t>(min, max) + 1;
        first = static_cast<int>(std::clamp<int64_t>(lo, INT16_MIN, INT16_MAX));
        last = static_cast<int>(std::clamp<int64_t>(hi, INT16_MIN, INT16_MAX));
    }
};

// A table of all 65536 grays, indexed by a gray's 16 bits as stored (a
// negative gray g at g + 65536), so that a pass reads a pixel's entry with
// no arithmetic: valueOf(g) for the grays of the range (asked for its two
// ends, then for every gray in increasing order), and the value of the
// nearer end for the grays outside it.
constexpr size_t kGrayTableSize = 65536;

template <typename T, typename ValueOf>
void buildGrayTable(UninitialisedVector<T>& table, const GrayRange& range, ValueOf valueOf) {
    table.resize(kGrayTableSize);
    const auto at = [&](int g) { return table.data() + static_cast<uint16_t>(g); };
    // The signed grays a..b (a run of stored values on each side of 0).
    const auto put = [&](int a, int b, T v) {
        if (a > b) return;
        if (a < 0) {
            const int e = std::min(b, -1);
            std::fill(at(a), at(e) + 1, v);
            a = 0;
        }
        if (a <= b) std::fill(at(a), at(b) + 1, v);
    };
    put(INT16_MIN, range.first - 1, valueOf(range.first));
    put(range.last + 1, INT16_MAX, valueOf(range.last));
    for (int g = range.first; g <= range.last; ++g) *at(g) = valueOf(g);
}

const uint32_t* colourTable(Resource& r) {
    if (!r.lutValid || r.lutMin != r.minGray || r.lutMax != r.maxGray) {
        RulerIndex index(r.minGray, r.maxGray);
        buildGrayTable(r.lut, GrayRange(r.minGray, r.maxGray),
                       [&](int g) { return r.ruler[static_cast<size_t>(index(g))]; });
        r.lutMin = r.minGray;
        r.lutMax = r.maxGray;
        r.lutValid = true;
    }
    return r.lut.data();
}

const uint8_t* binTable(Resource& r) {
    if (!r.binsValid || r.binsMin != r.minGray || r.binsMax != r.maxGray) {
        HistogramBin bin(r.minGray, r.maxGray);
        buildGrayTable(r.bins, GrayRange(r.minGray, r.maxGray), [&](int g) { return static_cast<uint8_t>(bin(g)); });
        r.binsMin = r.minGray;
        r.binsMax = r.maxGray;
        r.binsValid = true;
    }
    return r.bins.data();
}

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

// Counts the bins of n grays, gray i in histogram i % 4.
void countBins(const uint16_t* grays, size_t n, const uint8_t* bins, PartHistograms& part) {
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        ++part[0][bins[grays[i]]];
        ++part[1][bins[grays[i + 1]]];
        ++part[2][bins[grays[i + 2]]];
        ++part[3][bins[grays[i + 3]]];
    }
    for (; i < n; ++i) ++part[i % 4][bins[grays[i]]];
}

// One row of a colour pass: each pixel's colour into out (and copy, when
// given), in reverse order when mirrored, and its bin counted when a
// histogram is given (while the row is still in the cache: two short
// loops run faster than one doing both).
template <bool kCopy, bool kCount, bool kMirror>
void colourRow(const uint16_t* src, size_t w, const uint32_t* lut, const uint8_t* bins, uint32_t* out,
               uint32_t* copy, PartHistograms* part) {
    for (size_t x = 0; x < w; ++x) {
        const uint32_t c = lut[src[x]];
        const size_t at = kMirror ? w - 1 - x : x;
        out[at] = c;
        if constexpr (kCopy) copy[at] = c;
    }
    if constexpr (kCount) countBins(src, w, bins, *part);
}

// One pass over the frame: each pixel's colour into rgb (and copy, when
// given), mirrored as the flip mode says, and its bin counted when a
// histogram is given.
template <bool kCopy, bool kCount>
void colourPass(Resource& r, const uint16_t* frame, uint32_t* rgb, uint32_t* copy, PartHistograms* part) {
    const uint32_t* lut = colourTable(r);
    const uint8_t* bins = kCount ? binTable(r) : nullptr;
    const bool flipX = (r.flip & 1) != 0;
    const bool flipY = (r.flip & 2) != 0;
    const size_t w = static_cast<size_t>(r.width);
    const size_t ht = static_cast<size_t>(r.height);
    for (size_t y = 0; y < ht; ++y) {
        const size_t row = (flipY ? ht - 1 - y : y) * w;
        uint32_t* rowCopy = kCopy ? copy + row : nullptr;
        if (flipX) {
            colourRow<kCopy, kCount, true>(frame + y * w, w, lut, bins, rgb + row, rowCopy, part);
        } else {
            colourRow<kCopy, kCount, false>(frame + y * w, w, lut, bins, rgb + row, rowCopy, part);
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
    const uint8_t* bins = binTable(*h);
    PartHistograms part{};
    countBins(frame, n, bins, part);
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
