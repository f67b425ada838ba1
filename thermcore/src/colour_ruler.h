// The colour ruler built from the palette: normal or inverted order, and
// isotherm bands.
//
// Ruler entry from palette entry k (bytes blue, green, red): red << 16 |
// green << 8 | blue, at index k in normal order and at 255 - k inverted.
// Isotherm j paints every ruler index i with p1 < i < p2 (both strict) in
// its colour, where p = 256 * (100 t - 100 Tmin) / (100 Tmax - 100 Tmin) of
// its low and high temperature and Tmin, Tmax are the temperatures of the
// display's lowest and highest gray. When Tmax equals Tmin nothing is
// painted.
#pragma once

#include <cstdint>

#include "ifr_object.h"

namespace thermcore {

// Stores the invert flag; with a palette held, writes the ruler in that
// order into the back buffer. Swaps the back buffer in either way.
void setRulerInvert(IfrObject& obj, int invert);

// on != 0: stores isotherm `index` and writes the palette in normal order
// with isotherms 0..index painted over it, in that order; on = 0: writes the
// plain ruler in the current invert order and leaves the isotherms. Swaps
// the ruler in and returns 1; -1 (nothing changed) for an index outside
// 0..9 or before any palette was loaded.
int setIsotherm(IfrObject& obj, int on, float low, float high, int colour, int index);

}  // namespace thermcore
