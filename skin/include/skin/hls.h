// Integer RGB <-> HLS on a 0..240 scale (hue 160 when undefined). All
// divisions truncate; hues wrap as unsigned 16-bit values.
#pragma once

#include "platform/colorref.h"

#include <cstdint>

namespace skin {

using WORD = std::uint16_t;

void RgbToHls(COLORREF rgb, WORD* hue, WORD* lightness, WORD* saturation);
COLORREF HlsToRgb(WORD hue, WORD lightness, WORD saturation);
WORD HueToRgb(WORD p1, WORD p2, WORD hue);

} // namespace skin
