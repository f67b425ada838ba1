// Border repair of the gray frame before it is rendered.
#include <algorithm>

#include "measure.h"

namespace thermcore {

namespace {

struct Borders {
    int32_t top, bottom, left, right;
};

Borders bordersOf(int32_t width) {
    if (width == 320) return {2, 3, 3, 4};
    return {0, 0, 1, 1};
}

}  // namespace

void repairBorders(IfrObject& obj) {
    const int64_t w = obj.width, h = obj.height;
    if (w <= 0 || h <= 0 || obj.gray.size() < obj.pixelCount()) return;
    const Borders b = bordersOf(obj.width);
    uint16_t* g = obj.gray.data();
    auto row = [&](int64_t y) { return g + static_cast<size_t>(y * w); };
    // Rows: the top rows copy row `top`, the bottom rows row h - bottom - 1;
    // a side whose source row is not in the image is left alone.
    if (b.top < h) {
        for (int64_t y = 0; y < b.top; ++y) std::copy(row(b.top), row(b.top) + w, row(y));
    }
    const int64_t lastKept = h - b.bottom - 1;
    if (lastKept >= 0) {
        for (int64_t y = h - b.bottom; y < h; ++y) std::copy(row(lastKept), row(lastKept) + w, row(y));
    }
    // Columns, in every row.
    const int64_t rightKept = w - b.right - 1;
    for (int64_t y = 0; y < h; ++y) {
        uint16_t* r = row(y);
        if (b.left < w) std::fill(r, r + b.left, r[b.left]);
        if (rightKept >= 0) std::fill(r + w - b.right, r + w, r[rightKept]);
    }
}

}  // namespace thermcore
