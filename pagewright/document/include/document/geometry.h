// Plain value types of report pages: rectangles in logical units, colours,
// pens and brushes as the report file stores them, and the integer helpers
// that keep arithmetic on stored (possibly hostile) values defined.
//
// Page coordinates are logical units of 1/1008 inch with y growing upwards.
// A rectangle keeps its corners as given: a "normal" page rectangle has
// top > bottom, and a rectangle may be mirrored in either direction (a line
// runs from (left, top) to (right, bottom) whichever way it was drawn).
#pragma once

#include "platform/colorref.h"

#include <QPoint>

#include <algorithm>
#include <cstdint>
#include <limits>

// A pen as stored: style, width x and y (only x is drawn), colour.
struct LogPen {
    std::uint32_t style = 0;
    std::int32_t widthX = 0;
    std::int32_t widthY = 0;
    COLORREF color = 0;
    bool operator==(const LogPen&) const = default;
};

// A brush as stored: style, colour, hatch.
struct LogBrush {
    std::uint32_t style = 0;
    COLORREF color = 0;
    std::int32_t hatch = 0;
    bool operator==(const LogBrush&) const = default;
};

// Pen styles.
inline constexpr std::uint32_t PS_SOLID = 0;
inline constexpr std::uint32_t PS_DASH = 1;
inline constexpr std::uint32_t PS_DOT = 2;
inline constexpr std::uint32_t PS_DASHDOT = 3;
inline constexpr std::uint32_t PS_DASHDOTDOT = 4;
inline constexpr std::uint32_t PS_NULL = 5;
inline constexpr std::uint32_t PS_INSIDEFRAME = 6;
// Brush styles and hatches.
inline constexpr std::uint32_t BS_SOLID = 0;
inline constexpr std::uint32_t BS_NULL = 1;
inline constexpr std::uint32_t BS_HATCHED = 2;
inline constexpr std::int32_t HS_HORIZONTAL = 0;
inline constexpr std::int32_t HS_DIAGCROSS = 5;

// Saturating conversions: stored values may be anything, and arithmetic on
// them must neither overflow nor hit an undefined float-to-int conversion.
constexpr std::int32_t ClampToInt(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}
// Truncation towards zero, clamped to the int range; NaN gives 0.
std::int32_t TruncToInt(double v);
// Windows MulDiv: a * b / c rounded half away from zero in 64 bits; -1 when
// c is 0 or the result does not fit.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// A rectangle in logical units with the corners as stored.
struct DocRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr DocRect() = default;
    constexpr DocRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
        : left(l), top(t), right(r), bottom(b)
    {
    }
    constexpr DocRect(QPoint topLeft, QPoint bottomRight)
        : left(topLeft.x()), top(topLeft.y()), right(bottomRight.x()), bottom(bottomRight.y())
    {
    }

    bool operator==(const DocRect&) const = default;

    constexpr QPoint TopLeft() const { return {left, top}; }
    constexpr QPoint BottomRight() const { return {right, bottom}; }
    // right - left and bottom - top in 64 bits (they may not fit 32).
    constexpr std::int64_t Width() const { return std::int64_t(right) - left; }
    constexpr std::int64_t Height() const { return std::int64_t(bottom) - top; }
    // The centre, truncating towards zero as the stored values are integers.
    constexpr std::int32_t CenterX() const { return static_cast<std::int32_t>(left + Width() / 2); }
    constexpr std::int32_t CenterY() const { return static_cast<std::int32_t>(top + Height() / 2); }

    // Swaps the corners so that left <= right and top <= bottom (numerically;
    // on a y-up page top is then the lower edge).
    constexpr DocRect Normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    // True when a normalised rectangle has no area.
    constexpr bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
    // The overlap of two normalised rectangles; empty when they do not meet.
    constexpr DocRect Intersected(const DocRect& o) const
    {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    // Moved by (dx, dy), saturating at the int range.
    constexpr DocRect Translated(std::int64_t dx, std::int64_t dy) const
    {
        return {ClampToInt(left + dx), ClampToInt(top + dy), ClampToInt(right + dx), ClampToInt(bottom + dy)};
    }
};

// A rectangle (normalised) placed inside area (normalised): one larger than
// area is first shrunk about its upper left corner, keeping its width to
// height ratio, until it fits; then it is moved the least distance that
// brings it inside. The result is normalised; an empty area gives r as it
// is, normalised.
DocRect KeptInside(const DocRect& r, const DocRect& area);
