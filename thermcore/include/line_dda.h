// The line walk shared by the library's line measurements and by the
// programs' image holders.
//
// lineDda visits the pixels of the line from (x1, y1) toward (x2, y2) the way
// the system's line-drawing walk does: the start is visited, the end is not.
// It steps one pixel along the longer axis at a time (the vertical one when
// both are equal) and moves along the other axis whenever the ideal line has
// come more than half a pixel away (Bresenham's decision). Coordinates are
// carried in 64 bits, so no line of 32-bit end points overflows.
#pragma once

#include <cstdint>

namespace thermcore {

// The number of pixels lineDda visits: max(|x2 - x1|, |y2 - y1|); 0 when the
// two ends are the same pixel.
inline int64_t lineDdaCount(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t dx = int64_t{x2} - x1;
    const int64_t dy = int64_t{y2} - y1;
    const int64_t adx = dx < 0 ? -dx : dx;
    const int64_t ady = dy < 0 ? -dy : dy;
    return adx > ady ? adx : ady;
}

// Visits visit(x, y) (int64_t each) for every pixel of the line, the start
// included and the end excluded; returns their count.
template <typename Visit>
int64_t lineDda(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Visit&& visit) {
    const int64_t dx = int64_t{x2} - x1;
    const int64_t dy = int64_t{y2} - y1;
    const int64_t sx = dx < 0 ? -1 : 1;
    const int64_t sy = dy < 0 ? -1 : 1;
    const int64_t adx = dx < 0 ? -dx : dx;
    const int64_t ady = dy < 0 ? -dy : dy;
    const bool alongX = adx > ady;
    const int64_t major = alongX ? adx : ady;
    const int64_t minor = alongX ? ady : adx;
    int64_t x = x1, y = y1;
    int64_t decision = 2 * minor - major;
    for (int64_t i = 0; i < major; ++i) {
        visit(x, y);
        if (decision > 0) {
            if (alongX) y += sy; else x += sx;
            decision += 2 * (minor - major);
        } else {
            decision += 2 * minor;
        }
        if (alongX) x += sx; else y += sy;
    }
    return major;
}

}  // namespace thermcore
