// Reading grays out of the current frame at points, along lines, in
// rectangles and in discs.
//
// Every pixel is read through the point rule: in row 0 an x below 5 (negative
// ones included) reads as x = 5; a pixel outside the image reads -10000;
// inside, the signed 16-bit gray. Pixels outside the image therefore take
// part in statistics with the gray -10000.
//
// Shapes are visited without storing them, in 64-bit coordinates, so a
// request of any size neither overflows a buffer nor wraps around; lines
// pixel by pixel, rectangles and discs pixel by pixel or a row at a time
// (rowPieces cuts a row into what the point rule reads alike):
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
#include "temp_table.h"

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

// One row of a shape, columns xa..xb (xa <= xb) of row y, as the point rule
// reads it: a run before the frame's span (row 0's pixels left of x = 5 and
// pixels left of the image), all reading one gray; the span read from the
// frame; a run after it (pixels right of the image, and whole rows above or
// below it), reading the outside gray.
struct RowPieces {
    int64_t leftX = 0;
    int64_t leftCount = 0;
    int32_t leftGray = kOutsideGray;
    int64_t spanX = 0;
    size_t spanCount = 0;
    const uint16_t* span = nullptr;
    int64_t rightX = 0;
    int64_t rightCount = 0;
};

inline RowPieces rowPieces(const IfrObject& obj, int64_t y, int64_t xa, int64_t xb) {
    RowPieces p;
    // Row 0 reads its first five columns (and any left of them) as column 5.
    const int64_t firstOwn = y == 0 ? 5 : 0;
    p.leftX = xa;
    p.leftCount = std::max<int64_t>(std::min(xb, firstOwn - 1) - xa + 1, 0);
    if (y == 0) p.leftGray = pointGray(obj, 5, 0);
    // Columns of this row that the frame holds.
    int64_t held = 0;
    if (y >= 0 && y < obj.height) {
        const int64_t start = y * int64_t{obj.width};
        const auto size = static_cast<int64_t>(obj.gray.size());
        held = std::clamp<int64_t>(size - start, 0, obj.width);
    }
    const int64_t spanStart = std::max(xa, firstOwn);
    const int64_t spanEnd = std::min(xb, held - 1);
    if (spanStart <= spanEnd) {
        p.spanX = spanStart;
        p.spanCount = static_cast<size_t>(spanEnd - spanStart + 1);
        p.span = obj.gray.data() + static_cast<size_t>(y * int64_t{obj.width} + spanStart);
        p.rightX = spanEnd + 1;
    } else {
        p.rightX = spanStart;
    }
    p.rightCount = std::max<int64_t>(xb - p.rightX + 1, 0);
    return p;
}

// Visits visitRow(y, xa, xb) for every row of the rectangle that has pixels.
template <typename VisitRow>
void visitRectRows(const RectSpan& r, VisitRow&& visitRow) {
    if (r.x2 < r.x1) return;
    for (int64_t y = r.y1; y <= r.y2; ++y) visitRow(y, r.x1, r.x2);
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

// Visits visitRow(y, xa, xb) for every row of the disc (radius >= 0).
template <typename VisitRow>
void visitDiscRows(int32_t cx, int32_t cy, int32_t radius, VisitRow&& visitRow) {
    const int64_t r = radius;
    for (int64_t dy = -r; dy <= r; ++dy) {
        const int64_t half = discHalfWidth(r, dy);
        visitRow(cy + dy, cx - half, cx + half);
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
// 0..16383, brought up to date when made, the direct conversion otherwise
// (the last direct one is kept, so a run of equal grays outside the table
// converts once; the object's calibration block still ends as the direct
// conversion of the last such gray leaves it).
class TempLookup {
public:
    explicit TempLookup(IfrObject& obj) : obj_(obj) { obj.tempTable.refresh(obj); }
    float operator()(int32_t gray) {
        if (TemperatureTable::covers(gray)) return obj_.tempTable.at(gray);
        if (!direct_ || gray != directGray_) {
            directTemp_ = obj_.grayToTemp(gray);
            directGray_ = gray;
            direct_ = true;
        }
        return directTemp_;
    }
    // The table, indexed by gray, holding every gray of the given range;
    // null when the range leaves 0..16383.
    const float* tableFor(int32_t min, int32_t max) {
        if (!TemperatureTable::covers(min) || !TemperatureTable::covers(max)) return nullptr;
        obj_.tempTable.cover(min, max);
        return obj_.tempTable.values();
    }

    // The table when it already holds every gray of the range (which lies
    // within 0..16383); null otherwise. Converts nothing.
    const float* heldTable(int32_t min, int32_t max) const {
        if (!TemperatureTable::covers(min) || !TemperatureTable::covers(max)) return nullptr;
        return obj_.tempTable.holds(min, max) ? obj_.tempTable.values() : nullptr;
    }

private:
    IfrObject& obj_;
    bool direct_ = false;
    int32_t directGray_ = 0;
    float directTemp_ = 0.0f;
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
