#include "document/geometry.h"

#include <cmath>

std::int32_t TruncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c)
{
    if (c == 0)
        return -1;
    const std::int64_t num = std::int64_t(a) * b;
    std::int64_t q = num / c;
    const std::int64_t r = num % c;
    // Round half away from zero.
    if (r != 0 && 2 * (r < 0 ? -r : r) >= (c < 0 ? -std::int64_t(c) : std::int64_t(c)))
        q += ((num < 0) != (c < 0)) ? -1 : 1;
    if (q > std::numeric_limits<std::int32_t>::max() || q < std::numeric_limits<std::int32_t>::min())
        return -1;
    return static_cast<std::int32_t>(q);
}

DocRect KeptInside(const DocRect& rect, const DocRect& area)
{
    const DocRect r = rect.Normalized();
    const DocRect a = area.Normalized();
    if (a.IsEmpty())
        return r;
    std::int64_t w = r.Width();
    std::int64_t h = r.Height();
    if (w > a.Width() || h > a.Height()) {
        // The side that overflows more takes the area's size; the other
        // follows the ratio.
        if (double(w) * double(a.Height()) >= double(h) * double(a.Width())) {
            h = std::min<std::int64_t>(a.Height(), TruncToInt(double(h) * double(a.Width()) / double(w)));
            w = a.Width();
        } else {
            w = std::min<std::int64_t>(a.Width(), TruncToInt(double(w) * double(a.Height()) / double(h)));
            h = a.Height();
        }
    }
    // The upper edge (the larger y) leads, as the rectangle was shrunk about it.
    const std::int64_t left = std::clamp<std::int64_t>(r.left, a.left, std::int64_t(a.right) - w);
    const std::int64_t upper = std::clamp<std::int64_t>(r.bottom, std::int64_t(a.top) + h, a.bottom);
    return DocRect(ClampToInt(left), ClampToInt(upper - h), ClampToInt(left + w), ClampToInt(upper));
}
