// The active nine-point calibration curve and the quadratic fitted through
// three of its points.
#pragma once

#include "radiomath.h"

namespace radiomath {

// lin(x; (xa, ya), (xb, yb)); a zero-width interval gives ya.
float lerp(float x, float xa, float ya, float xb, float yb);

// Rebuilds words 204..221 from the gear's nominal curve mapped through the
// calibration grays of the block's lens. Gear and lens must be valid.
void buildActiveCurve(MT_Para& p, int gear);

// Temperature as a + b*G + c*G^2.
struct Quadratic {
    float a = 0, b = 0, c = 0;
    float at(float g) const { return a + b * g + c * g * g; }
};

// Three curve points chosen by where a value lies, with the quadratic through them.
struct Segment {
    float t[3];
    float g[3];
    Quadratic q;
};

// Fits a + b*G + c*G^2 through three points. Coincident grays never divide by
// zero: with two distinct grays the fit is the line through them, with none
// it is the constant t0.
Quadratic fitQuadratic(const float t[3], const float g[3]);

enum class Side { Below, Inside, Above };

// Segment choice by gray (forward conversion). The gray is raised to the
// extrapolated gray of -273 below the curve and lowered to that of 2*T8 above it.
Segment segmentForGray(const MT_Para& p, float& gray);

// Segment choice by temperature (inverse conversion), with the same limits.
Segment segmentForTemp(const MT_Para& p, float& temp);

}  // namespace radiomath
