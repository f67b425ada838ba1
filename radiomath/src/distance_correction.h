// Distance (and humidity) correction of an object temperature. The form
// depends on the block's revision: a formula below 10001, an integer table
// interpolation at exactly 10001, a floating table interpolation from 10002.
#pragma once

#include "radiomath.h"

namespace radiomath {

// Corrects temperature t. tenv is (background + ambient used) / 2. Gear and
// lens must be valid.
float distanceCorrection(const MT_Para& p, float t, float tenv);

}  // namespace radiomath
