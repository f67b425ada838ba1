// The measurement marks stored in the parameter block, scaled to the image.
//
// The camera stores them for an image 640 pixels wide. Each coordinate is
// scaled as v * width / 640 in 64 bits, which halves them for a 320-wide
// image, keeps them for a 640-wide one, and scales wider and in-between
// images alike.
#include <algorithm>
#include <limits>

#include "measure.h"

namespace thermcore {

namespace {

constexpr int64_t kRecordWidth = 640;

template <typename T>
void scale(T& field, int32_t width) {
    const int64_t v = int64_t{field} * width / kRecordWidth;
    field = static_cast<T>(std::clamp<int64_t>(v, std::numeric_limits<T>::min(),
                                               std::numeric_limits<T>::max()));
}

}  // namespace

void scaledPointRecords(const IfrObject& obj, IfrPointInfo* out) {
    for (size_t i = 0; i < std::size(obj.block.points); ++i) {
        IfrPointInfo r = obj.block.points[i];
        scale(r.x, obj.width);
        scale(r.y, obj.width);
        out[i] = r;
    }
}

void scaledRectRecords(const IfrObject& obj, IfrRectInfo* out) {
    for (size_t i = 0; i < std::size(obj.block.rects); ++i) {
        IfrRectInfo r = obj.block.rects[i];
        for (int16_t* f : {&r.x, &r.y, &r.width, &r.height}) scale(*f, obj.width);
        scale(r.markX, obj.width);
        scale(r.markY, obj.width);
        out[i] = r;
    }
}

void scaledLineRecords(const IfrObject& obj, IfrLineInfo* out) {
    for (size_t i = 0; i < std::size(obj.block.lines); ++i) {
        IfrLineInfo r = obj.block.lines[i];
        for (int16_t* f : {&r.x1, &r.y1, &r.x2, &r.y2}) scale(*f, obj.width);
        scale(r.markX, obj.width);
        scale(r.markY, obj.width);
        out[i] = r;
    }
}

}  // namespace thermcore
