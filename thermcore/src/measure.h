// Reading grays out of the current frame at points, along lines, in
// rectangles and in discs.
//
// Every pixel is read through the point rule: in row 0 an x below 5 (negative
// ones included) reads as x = 5; a pixel outside the image reads -10000;
// inside, the signed 16-bit gray. Pixels outside the image therefore take
// part in statistics with the gray -10000.
//
// Shapes are visited pixel by pixel without storing them, in 64-bit
// coordinates, so a request of any size neither overflows a buffer nor
// wraps around:
//  - lines: the pixels of the line DDA from the start, which reports the
//    start and omits the end, then the end itself (at least one pixel);
//  - rectangles: rows top to bottom, each left to right, both corners
//    included; a rectangle reversed in both axes is taken the right way
//    round, one reversed in a single axis has no pixel (its count,
//    (x2 - x1 + 1) * (y2 - y1 + 1), is 0 or negative);
//  - discs: every pixel within the radius of the centre (x^2 + y^2 <= r^2),
//    rows top to bottom, each left to right.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

#include "ifr_object.h"
#include "line_dda.h"

namespace thermcore {

inline constexpr int32_t kOutsideGray = -10000;

inline int32_t pointGray(const IfrObject& obj, int64_t x, int64_t y) {
    if (y == 0 && x < 5) x = 5;
    if (x < 0 || y < 0 || x >= obj.width || y >= obj.height) return kOutsideGray;
    const size_t i = static_cast<size_t>(y) * static_cast<size_t>(obj.width) + static_cast<size_t>(x);
    if (i >= obj.gray.size()) return kOutsideGray;
    return static_cast<int16_t>(obj.gray[i]);
}

// Visits visit(x, y) for every pixel of the line: the line DDA from the
// start, then the end itself; returns their count.
template <typename Visit>
int64_t traceLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Visit&& visit) {
    const int64_t walked = lineDda(x1, y1, x2, y2, visit);
    visit(int64_t{x2}, int64_t{y2});
    return walked + 1;
}

// The number of pixels traceLine visits.
inline int64_t lineCount(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return lineDdaCount(x1, y1, x2, y2) + 1;
}

struct RectSpan {
    int64_t x1, y1, x2, y2;
    int64_t count;  // (x2 - x1 + 1) * (y2 - y1 + 1), saturated
};

inline RectSpan rectSpan(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x2 < x1 && y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int64_t w = int64_t{x2} - x1 + 1;
    const int64_t h = int64_t{y2} - y1 + 1;
    int64_t count = 0;
    if (__builtin_mul_overflow(w, h, &count)) {
        count = (w < 0) != (h < 0) ? std::numeric_limits<int64_t>::min()
                                   : std::numeric_limits<int64_t>::max();
    }
    return {x1, y1, x2, y2, count};
}

template <typename Visit>
void visitRect(const RectSpan& r, Visit&& visit) {
    for (int64_t y = r.y1; y <= r.y2; ++y) {
        for (int64_t x = r.x1; x <= r.x2; ++x) visit(x, y);
    }
}

// Largest h with h * h <= v, for 0 <= v < 2^63.
inline int64_t floorSqrt(int64_t v) {
    int64_t h = static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
    while (h > 0 && h > v / h) --h;
    while ((h + 1) <= v / (h + 1)) ++h;
    return h;
}

// Half the width of the disc's row dy: the largest h with h^2 + dy^2 <= r^2.
inline int64_t discHalfWidth(int64_t r, int64_t dy) { return floorSqrt(r * r - dy * dy); }

// Visits every pixel of the disc (radius >= 0).
template <typename Visit>
void visitDisc(int32_t cx, int32_t cy, int32_t radius, Visit&& visit) {
    const int64_t r = radius;
    for (int64_t dy = -r; dy <= r; ++dy) {
        const int64_t half = discHalfWidth(r, dy);
        for (int64_t dx = -half; dx <= half; ++dx) visit(cx + dx, cy + dy);
    }
}

// The number of pixels of the disc, without reading the image (saturated).
inline int64_t discCount(int32_t radius) {
    const int64_t r = radius;
    int64_t count = 0;
    for (int64_t dy = -r; dy <= r; ++dy) {
        if (__builtin_add_overflow(count, 2 * discHalfWidth(r, dy) + 1, &count)) {
            return std::numeric_limits<int64_t>::max();
        }
    }
    return count;
}

// Temperatures of grays for whole-area statistics: the object's table for
// 0..16383, brought up to date when made, the direct conversion otherwise.
class TempLookup {
public:
    explicit TempLookup(IfrObject& obj) : obj_(obj) { obj.tempTable.refresh(obj); }
    float operator()(int32_t gray) const {
        return obj_.tempTable.covers(gray) ? obj_.tempTable.at(gray) : obj_.grayToTemp(gray);
    }

private:
    IfrObject& obj_;
};

// The stored measurement records scaled to the image: each coordinate
// v * width / 640 in 64 bits (toward zero), held to the field's range.
void scaledPointRecords(const IfrObject& obj, IfrPointInfo* out /* [4] */);
void scaledRectRecords(const IfrObject& obj, IfrRectInfo* out /* [3] */);
void scaledLineRecords(const IfrObject& obj, IfrLineInfo* out /* [3] */);

// Repairs the frame's borders in place: the first and last rows and columns
// of the detector (2, 3, 3, 4 pixels at the top, bottom, left and right of
// a 320-wide image, one column at each side otherwise) take the values of
// the nearest row or column inside them.
void repairBorders(IfrObject& obj);

}  // namespace thermcore
