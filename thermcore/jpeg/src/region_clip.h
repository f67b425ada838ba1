// Rectangle operations of the decoder's output stage: placing an MCU in the
// caller's image or output region and clipping it there.
//
// A rectangle is left, top, right, bottom with right and bottom exclusive;
// the all-zero rectangle stands for "none" (a region of all zeros selects
// the whole image, and an intersection without overlap gives all zeros).
#ifndef THERMJPEG_REGION_CLIP_H
#define THERMJPEG_REGION_CLIP_H

#include <cstddef>
#include <cstdint>

namespace thermjpeg {

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Point {
    int32_t x = 0, y = 0;
};

// The overlap of a and b; rectangles that only touch give an empty
// rectangle of width or height 0, disjoint ones all zeros.
Rect JpegIntersectRect(const Rect& a, const Rect& b);
int JpegRectEqual(const Rect& a, const Rect& b);
int JpegRectDiffer(const Rect& a, const Rect& b);
// The rectangle moved by minus the point; all zeros stays all zeros.
Rect JpegOffsetRect(const Rect& r, const Point& p);
inline bool JpegRectIsZero(const Rect& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

// Places the MCU at (column, row) of size width x height in the output:
// *destination gets the address of its top-left pixel (measured from the
// region's corner when a region is set) and *clipped the visible part,
// relative to the MCU. Returns 0, or -8 when the MCU lies outside the region.
int JpegClipMcu(const Rect& region, int width, int height, int column, int row, int bytesPerPixel,
                ptrdiff_t stride, uint8_t* base, int outputWidth, int outputHeight, uint8_t** destination,
                Rect* clipped);

} // namespace thermjpeg

#endif
