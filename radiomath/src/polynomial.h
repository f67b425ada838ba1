// The instrument polynomials: offset predictions from the instrument
// temperatures, with a term set chosen by the instrument type.
#pragma once

#include "radiomath.h"

namespace radiomath {

// Sum of c[i] * t[i] over the terms of the block's instrument type, in single
// precision, from i = 0 upward. An unknown instrument type gives 0.
float evaluatePolynomial(const MT_Para& p, const float coeffs[MT_POLY_TERMS]);

// Polynomial A and B of a gear (0..2, validated by the caller).
inline float polynomialA(const MT_Para& p, int gear) { return evaluatePolynomial(p, p.polyA[gear]); }
inline float polynomialB(const MT_Para& p, int gear) { return evaluatePolynomial(p, p.polyB[gear]); }

}  // namespace radiomath
