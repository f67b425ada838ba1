// Point, line, rectangle and circle statistics; stored measurement marks;
// the board rectangle.
//
// Extremes start at the shape's first pixel (a rectangle's first corner
// even when it has no pixel) and are replaced only by a strictly greater or
// smaller gray, so the first occurrence wins; the temperature variants
// convert the two extreme grays. A line's average sums its temperatures in
// long double in visiting order. Rectangles and discs sum row by row: the
// pixels inside the image in groups of eight added pairwise in double, the
// groups in order in long double, a run of pixels outside as count times
// its temperature; the rows are added in order. That stays well within
// half a float ulp of the in-order long double sum, and gives its float
// (docs/thermcore.md says why). The sum is divided by the shape's count; a
// rectangle whose count is 0 or negative averages to NaN. Arrays receive one
// value per pixel in visiting order; the caller sizes them by the ...Len
// call (a shape of more than 2^31 - 1 pixels gives -1 and fills nothing).
#include <algorithm>
#include <cmath>
#include <limits>

#include "api_frame.h"
#include "measure.h"
#include "model_dispatch.h"
#include "scene_units.h"
#include "span_kernels.h"

using namespace thermcore;

namespace {

// Grays of whole rows taken as one span by the whole-width paths: 8 KiB,
// which the first-level cache holds with their temperatures and the next
// span.
constexpr int64_t kSpanGrays = 4096;

struct Extremes {
    int32_t min = 0, max = 0;
    int64_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool seeded = false;

    void seed(int64_t x, int64_t y, int32_t g) {
        min = max = g;
        minX = maxX = x;
        minY = maxY = y;
        seeded = true;
    }
    // A run of `count` pixels from (x, y) to the right, all reading g.
    void takeRun(int64_t x, int64_t y, int64_t count, int32_t g) {
        if (count > 0) take(x, y, g);
    }
    // A span of the frame from (x, y) to the right: its lowest and highest
    // grays at their first places, as visiting its pixels one by one gives.
    void takeSpan(int64_t x, int64_t y, const uint16_t* grays, size_t n) {
        if (n == 0) return;
        if (!seeded) seed(x, y, static_cast<int16_t>(grays[0]));
        const GrayBounds b = grayBounds(grays, n);
        if (b.max > max) {
            max = b.max;
            maxX = x + static_cast<int64_t>(firstIndexOf(grays, n, b.max));
            maxY = y;
        }
        if (b.min < min) {
            min = b.min;
            minX = x + static_cast<int64_t>(firstIndexOf(grays, n, b.min));
            minY = y;
        }
    }
    void takeRow(const RowPieces& p, int64_t y) {
        takeRun(p.leftX, y, p.leftCount, p.leftGray);
        takeSpan(p.spanX, y, p.span, p.spanCount);
        takeRun(p.rightX, y, p.rightCount, kOutsideGray);
    }
    void take(int64_t x, int64_t y, int32_t g) {
        if (!seeded) {
            seed(x, y, g);
        } else if (g > max) {
            max = g;
            maxX = x;
            maxY = y;
        } else if (g < min) {
            min = g;
            minX = x;
            minY = y;
        }
    }
};

void writePoint(IfrPoint* p, int64_t x, int64_t y) {
    if (p != nullptr) *p = {saturate32(x), saturate32(y)};
}

template <typename T>
void writeValue(T* p, T v) {
    if (p != nullptr) *p = v;
}

// Writes the extremes as grays, or as temperatures of those grays.
void writeGrays(const Extremes& e, int* min, IfrPoint* minPos, int* max, IfrPoint* maxPos) {
    writeValue(min, e.min);
    writePoint(minPos, e.minX, e.minY);
    writeValue(max, e.max);
    writePoint(maxPos, e.maxX, e.maxY);
}

void writeTemps(IfrObject& o, const Extremes& e, float* min, IfrPoint* minPos, float* max,
                IfrPoint* maxPos) {
    const float tMin = o.grayToTemp(e.min);
    const float tMax = o.grayToTemp(e.max);
    writeValue(min, tMin);
    writePoint(minPos, e.minX, e.minY);
    writeValue(max, tMax);
    writePoint(maxPos, e.maxX, e.maxY);
}

// A sum of temperatures divided by the shape's count; NaN for no pixel.
float averageOf(long double sum, int64_t count) {
    if (count <= 0) return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(sum / static_cast<long double>(count));
}

// Sum of temperatures in visiting order, in long double. Temperatures are
// staged a few hundred at a time and added in a loop of their own, which
// keeps the running sum in a register (the conversion of a gray outside the
// table is a call, across which it could not stay there).
class TempSum {
public:
    explicit TempSum(IfrObject& o) : lookup_(o) {}
    void add(int32_t gray) {
        staged_[n_++] = lookup_(gray);
        if (n_ == kStage) flush();
    }
    float average(int64_t count) {
        flush();
        return averageOf(sum_, count);
    }

private:
    static constexpr size_t kStage = 256;
    void flush() {
        long double s = sum_;
        for (size_t i = 0; i < n_; ++i) s += staged_[i];
        sum_ = s;
        n_ = 0;
    }
    TempLookup lookup_;
    long double sum_ = 0.0L;
    size_t n_ = 0;
    float staged_[kStage];
};

// The temperatures of one row's pixels, summed: runs as count * temperature
// (exact in long double), the span from the table when all its grays are in
// it, else pixel by pixel.
long double rowTempSum(TempLookup& lookup, const RowPieces& p) {
    long double s = 0.0L;
    if (p.leftCount > 0) s += static_cast<long double>(p.leftCount) * lookup(p.leftGray);
    if (p.spanCount > 0) {
        const GrayBounds b = grayBounds(p.span, p.spanCount);
        if (const float* table = lookup.tableFor(b.min, b.max)) {
            s += sumTemps(table, p.span, p.spanCount);
        } else {
            for (size_t i = 0; i < p.spanCount; ++i) s += lookup(static_cast<int16_t>(p.span[i]));
        }
    }
    if (p.rightCount > 0) s += static_cast<long double>(p.rightCount) * lookup(kOutsideGray);
    return s;
}

// Writes one row's temperatures; returns the position after them.
float* rowTemps(TempLookup& lookup, const RowPieces& p, float* out) {
    if (p.leftCount > 0) out = std::fill_n(out, p.leftCount, lookup(p.leftGray));
    if (p.spanCount > 0) {
        const GrayBounds b = grayBounds(p.span, p.spanCount);
        if (const float* table = lookup.tableFor(b.min, b.max)) {
            lookupTemps(table, p.span, p.spanCount, out);
            out += p.spanCount;
        } else {
            for (size_t i = 0; i < p.spanCount; ++i) *out++ = lookup(static_cast<int16_t>(p.span[i]));
        }
    }
    if (p.rightCount > 0) out = std::fill_n(out, p.rightCount, lookup(kOutsideGray));
    return out;
}

// Writes one row's grays; returns the position after them.
int* rowGrays(const RowPieces& p, int* out) {
    out = std::fill_n(out, p.leftCount, p.leftGray);
    widenGrays(p.span, p.spanCount, out);
    out += p.spanCount;
    return std::fill_n(out, p.rightCount, kOutsideGray);
}

// Arrays are sized by the ...Len calls, which cannot count beyond the int
// range: a shape with more pixels fills none.
bool fitsAnArray(int64_t count) { return count <= std::numeric_limits<int32_t>::max(); }

// ---- lines

Extremes lineExtremes(const IfrObject& o, int x1, int y1, int x2, int y2) {
    Extremes e;
    e.seed(x1, y1, pointGray(o, x1, y1));
    traceLine(x1, y1, x2, y2, [&](int64_t x, int64_t y) { e.take(x, y, pointGray(o, x, y)); });
    return e;
}

// ---- rectangles

Extremes rectExtremes(const IfrObject& o, const RectSpan& r) {
    Extremes e;
    e.seed(r.x1, r.y1, pointGray(o, r.x1, r.y1));
    visitRectRows(r, [&](int64_t y, int64_t xa, int64_t xb) { e.takeRow(rowPieces(o, y, xa, xb), y); });
    return e;
}

// ---- circles

Extremes circleExtremes(const IfrObject& o, int cx, int cy, int r) {
    Extremes e;
    visitDiscRows(cx, cy, r,
                  [&](int64_t y, int64_t xa, int64_t xb) { e.takeRow(rowPieces(o, y, xa, xb), y); });
    return e;
}

// Circle calls check the radius before the handle.
template <typename F>
int circleCall(IfrHandle h, int radius, F&& work) {
    if (radius <= 0) return -1;
    return withObject(h, -1, std::forward<F>(work));
}

}  // namespace

extern "C" {

int IFR_GetPointGray(IfrHandle h, int x, int y) {
    return withObject(h, -1, [&](IfrObject& o) { return pointGray(o, x, y); });
}

float IFR_GetPointTemp(IfrHandle h, int x, int y) {
    return withObject(h, kBadTemperature, [&](IfrObject& o) { return o.grayToTemp(pointGray(o, x, y)); });
}

// ---- lines

int IFR_GetLineLen(IfrHandle h, int x1, int y1, int x2, int y2) {
    return withObject(h, -1, [&](IfrObject&) { return saturate32(lineCount(x1, y1, x2, y2)); });
}

int IFR_GetLineGray(IfrHandle h, int x1, int y1, int x2, int y2, int* grays) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (grays == nullptr || !fitsAnArray(lineCount(x1, y1, x2, y2))) return -1;
        size_t i = 0;
        traceLine(x1, y1, x2, y2, [&](int64_t x, int64_t y) { grays[i++] = pointGray(o, x, y); });
        return 0;
    });
}

int IFR_GetLineTemp(IfrHandle h, int x1, int y1, int x2, int y2, float* temps) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (temps == nullptr || !fitsAnArray(lineCount(x1, y1, x2, y2))) return -1;
        TempLookup lookup(o);
        size_t i = 0;
        traceLine(x1, y1, x2, y2,
                  [&](int64_t x, int64_t y) { temps[i++] = lookup(pointGray(o, x, y)); });
        return 0;
    });
}

int IFR_GetLineMinMaxGray(IfrHandle h, int x1, int y1, int x2, int y2, int* min, IfrPoint* minPos,
                          int* max, IfrPoint* maxPos) {
    return withObject(h, -1, [&](IfrObject& o) {
        writeGrays(lineExtremes(o, x1, y1, x2, y2), min, minPos, max, maxPos);
        return 0;
    });
}

int IFR_GetLineMinMaxTemp(IfrHandle h, int x1, int y1, int x2, int y2, float* min,
                          IfrPoint* minPos, float* max, IfrPoint* maxPos) {
    return withObject(h, -1, [&](IfrObject& o) {
        writeTemps(o, lineExtremes(o, x1, y1, x2, y2), min, minPos, max, maxPos);
        return 0;
    });
}

float IFR_GetLineAverageTemp(IfrHandle h, int x1, int y1, int x2, int y2) {
    return withObject(h, kBadTemperature, [&](IfrObject& o) {
        TempSum sum(o);
        const int64_t n =
            traceLine(x1, y1, x2, y2, [&](int64_t x, int64_t y) { sum.add(pointGray(o, x, y)); });
        return sum.average(n);
    });
}

// ---- rectangles

int IFR_GetRectLen(IfrHandle h, int x1, int y1, int x2, int y2) {
    return withObject(h, -1, [&](IfrObject&) { return saturate32(rectSpan(x1, y1, x2, y2).count); });
}

int IFR_GetRectGray(IfrHandle h, int x1, int y1, int x2, int y2, int* grays) {
    return withObject(h, -1, [&](IfrObject& o) {
        const RectSpan r = rectSpan(x1, y1, x2, y2);
        if (grays == nullptr || !fitsAnArray(r.count)) return -1;
        int* out = grays;
        visitRectRows(r, [&](int64_t y, int64_t xa, int64_t xb) {
            out = rowGrays(rowPieces(o, y, xa, xb), out);
        });
        return 0;
    });
}

int IFR_GetRectTemp(IfrHandle h, int x1, int y1, int x2, int y2, float* temps) {
    return withObject(h, -1, [&](IfrObject& o) {
        const RectSpan r = rectSpan(x1, y1, x2, y2);
        if (temps == nullptr || !fitsAnArray(r.count)) return -1;
        TempLookup lookup(o);
        float* out = temps;
        RectSpan rest = r;
        // Rows past row 0 that span the frame's width and that it holds lie
        // one after the other in the frame as in the array: they go as
        // spans of several rows, each taken whole when the table already
        // holds every gray of it (else row by row from there, each row
        // converting what it needs, as always). The bounds of a span are
        // taken while the span before it is looked up.
        if (o.width > 0 && r.x1 == 0 && r.x2 == int64_t{o.width} - 1) {
            const int64_t heldRows = static_cast<int64_t>(o.gray.size() / static_cast<size_t>(o.width));
            const int64_t first = std::max<int64_t>(r.y1, 1);
            const int64_t last = std::min({r.y2, int64_t{o.height} - 1, heldRows - 1});
            if (first < last) {
                for (; rest.y1 < first; ++rest.y1) out = rowTemps(lookup, rowPieces(o, rest.y1, r.x1, r.x2), out);
                const int64_t spanRows = std::max<int64_t>(1, kSpanGrays / o.width);
                const auto spanAt = [&](int64_t y) { return o.gray.data() + static_cast<size_t>(y * o.width); };
                const auto graysFrom = [&](int64_t y) {
                    return static_cast<size_t>(std::min(spanRows, std::max<int64_t>(last - y + 1, 0)) * o.width);
                };
                GrayBounds b = grayBounds(spanAt(rest.y1), graysFrom(rest.y1));
                while (rest.y1 <= last) {
                    const float* table = lookup.heldTable(b.min, b.max);
                    if (table == nullptr) break;
                    const size_t n = graysFrom(rest.y1);
                    const int64_t next = rest.y1 + static_cast<int64_t>(n) / o.width;
                    b = lookupTempsAhead(table, spanAt(rest.y1), n, out, spanAt(next), graysFrom(next));
                    out += n;
                    rest.y1 = next;
                }
            }
        }
        visitRectRows(rest, [&](int64_t y, int64_t xa, int64_t xb) {
            out = rowTemps(lookup, rowPieces(o, y, xa, xb), out);
        });
        return 0;
    });
}

int IFR_GetRectMinMaxGray(IfrHandle h, int x1, int y1, int x2, int y2, int* min, IfrPoint* minPos,
                          int* max, IfrPoint* maxPos) {
    return withObject(h, -1, [&](IfrObject& o) {
        writeGrays(rectExtremes(o, rectSpan(x1, y1, x2, y2)), min, minPos, max, maxPos);
        return 0;
    });
}

int IFR_GetRectMinMaxTemp(IfrHandle h, int x1, int y1, int x2, int y2, float* min,
                          IfrPoint* minPos, float* max, IfrPoint* maxPos) {
    return withObject(h, -1, [&](IfrObject& o) {
        writeTemps(o, rectExtremes(o, rectSpan(x1, y1, x2, y2)), min, minPos, max, maxPos);
        return 0;
    });
}

float IFR_GetRectAverageTemp(IfrHandle h, int x1, int y1, int x2, int y2) {
    return withObject(h, kBadTemperature, [&](IfrObject& o) {
        const RectSpan r = rectSpan(x1, y1, x2, y2);
        if (r.count <= 0) return std::numeric_limits<float>::quiet_NaN();
        TempLookup lookup(o);
        long double sum = 0.0L;
        visitRectRows(r, [&](int64_t y, int64_t xa, int64_t xb) {
            sum += rowTempSum(lookup, rowPieces(o, y, xa, xb));
        });
        return averageOf(sum, r.count);
    });
}

// ---- circles

int IFR_GetCircleLen(IfrHandle h, int /*cx*/, int /*cy*/, int radius) {
    return circleCall(h, radius, [&](IfrObject&) { return saturate32(discCount(radius)); });
}

int IFR_GetCircleGray(IfrHandle h, int cx, int cy, int radius, int* grays) {
    return circleCall(h, radius, [&](IfrObject& o) {
        if (grays == nullptr || !fitsAnArray(discCount(radius))) return -1;
        int* out = grays;
        visitDiscRows(cx, cy, radius, [&](int64_t y, int64_t xa, int64_t xb) {
            out = rowGrays(rowPieces(o, y, xa, xb), out);
        });
        return saturate32(out - grays);
    });
}

int IFR_GetCircleTemp(IfrHandle h, int cx, int cy, int radius, float* temps) {
    return circleCall(h, radius, [&](IfrObject& o) {
        if (temps == nullptr || !fitsAnArray(discCount(radius))) return -1;
        TempLookup lookup(o);
        float* out = temps;
        visitDiscRows(cx, cy, radius, [&](int64_t y, int64_t xa, int64_t xb) {
            out = rowTemps(lookup, rowPieces(o, y, xa, xb), out);
        });
        return out == temps ? -1 : 0;
    });
}

int IFR_GetCircleMinMaxGray(IfrHandle h, int cx, int cy, int radius, int* min, IfrPoint* minPos,
                            int* max, IfrPoint* maxPos) {
    return circleCall(h, radius, [&](IfrObject& o) {
        const Extremes e = circleExtremes(o, cx, cy, radius);
        if (!e.seeded) return -1;
        writeGrays(e, min, minPos, max, maxPos);
        return 0;
    });
}

int IFR_GetCircleMinMaxTemp(IfrHandle h, int cx, int cy, int radius, float* min,
                            IfrPoint* minPos, float* max, IfrPoint* maxPos) {
    return circleCall(h, radius, [&](IfrObject& o) {
        const Extremes e = circleExtremes(o, cx, cy, radius);
        if (!e.seeded) return -1;
        writeTemps(o, e, min, minPos, max, maxPos);
        return 0;
    });
}

float IFR_GetCircleAverageTemp(IfrHandle h, int cx, int cy, int radius) {
    if (h != nullptr && radius < 1) return -1.0f;
    return withObject(h, kBadTemperature, [&](IfrObject& o) {
        TempLookup lookup(o);
        long double sum = 0.0L;
        int64_t n = 0;
        visitDiscRows(cx, cy, radius, [&](int64_t y, int64_t xa, int64_t xb) {
            sum += rowTempSum(lookup, rowPieces(o, y, xa, xb));
            n += xb - xa + 1;
        });
        return n == 0 ? kBadTemperature : averageOf(sum, n);
    });
}

// ---- stored marks and the board

int IFR_GetPointInfo(IfrHandle h, IfrPointInfo* points) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (points == nullptr) return -1;
        scaledPointRecords(o, points);
        return 0;
    });
}

int IFR_GetRectInfo(IfrHandle h, IfrRectInfo* rects) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (rects == nullptr) return -1;
        scaledRectRecords(o, rects);
        return 0;
    });
}

int IFR_GetLineInfo(IfrHandle h, IfrLineInfo* lines) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (lines == nullptr) return -1;
        scaledLineRecords(o, lines);
        return 0;
    });
}

void IFR_GetBoardCoord(IfrHandle h, int* x, int* y, int* width, int* height) {
    withObject(h, [&](IfrObject& o) {
        const BoardRect b = boardRect(o);
        writeValue(x, b.x);
        writeValue(y, b.y);
        writeValue(width, b.width);
        writeValue(height, b.height);
    });
}

}  // extern "C"
