#include "region_clip.h"

#include <algorithm>
#include <cstdlib>

#include "thermjpeg.h"

namespace thermjpeg {

Rect JpegIntersectRect(const Rect& a, const Rect& b)
{
    if (b.right >= a.left && a.right >= b.left && b.bottom >= a.top && a.bottom >= b.top)
        return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return {};
}

int JpegRectEqual(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int JpegRectDiffer(const Rect& a, const Rect& b) { return !JpegRectEqual(a, b); }

Rect JpegOffsetRect(const Rect& r, const Point& p)
{
    if (JpegRectIsZero(r))
        return r;
    return {r.left - p.x, r.top - p.y, r.right - p.x, r.bottom - p.y};
}

int JpegClipMcu(const Rect& region, int width, int height, int column, int row, int bytesPerPixel,
                ptrdiff_t stride, uint8_t* base, int outputWidth, int outputHeight, uint8_t** destination,
                Rect* clipped)
{
    const int x0 = column * width;
    const int y0 = row * height;
    outputHeight = std::abs(outputHeight);
    if (JpegRectIsZero(region)) {
        *destination = base + static_cast<ptrdiff_t>(x0) * bytesPerPixel + static_cast<ptrdiff_t>(y0) * stride;
        *clipped = {0, 0, std::min(width, outputWidth - x0), std::min(height, outputHeight - y0)};
        return 0;
    }
    if (x0 >= region.right || x0 + width < region.left || y0 >= region.bottom || y0 + height < region.top)
        return JPEG_INVALID_PROPERTIES;
    *destination = base + static_cast<ptrdiff_t>(x0 - region.left) * bytesPerPixel +
                   static_cast<ptrdiff_t>(y0 - region.top) * stride;
    *clipped = {std::max(0, region.left - x0), std::max(0, region.top - y0),
                std::min({width, region.right - x0, outputWidth + region.left - x0}),
                std::min({height, region.bottom - y0, outputHeight + region.top - y0})};
    return 0;
}

} // namespace thermjpeg
