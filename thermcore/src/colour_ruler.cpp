#include "colour_ruler.h"

namespace thermcore {

namespace {

namespace im = imaging;

uint32_t paletteEntry(const IfrObject& obj, int k) {
    const uint8_t* p = obj.paletteBytes.data() + 3 * k;
    return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

void writePalette(const IfrObject& obj, uint32_t* ruler, bool inverted) {
    for (int k = 0; k < im::kRulerEntries; ++k) {
        ruler[inverted ? im::kRulerEntries - 1 - k : k] = paletteEntry(obj, k);
    }
}

// 0x00BBGGRR to 0x00RRGGBB.
uint32_t rulerColour(int32_t colour) {
    const auto c = static_cast<uint32_t>(colour);
    return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}

void paintBand(uint32_t* ruler, double p1, double p2, uint32_t colour) {
    for (int i = 0; i < im::kRulerEntries; ++i) {
        if (p1 < i && i < p2) ruler[i] = colour;
    }
}

}  // namespace

void setRulerInvert(IfrObject& obj, int invert) {
    obj.irInvert = invert;
    uint32_t* ruler = im::IM_GetBufferColorRuler(obj.imaging.get());
    if (obj.paletteHeld && ruler != nullptr) writePalette(obj, ruler, invert != 0);
    im::IM_SwapColorRulerBuffer(obj.imaging.get());
}

int setIsotherm(IfrObject& obj, int on, float low, float high, int colour, int index) {
    uint32_t* ruler = im::IM_GetBufferColorRuler(obj.imaging.get());
    if (index < 0 || index >= kIsotherms || !obj.paletteHeld || ruler == nullptr) return -1;
    if (on == 0) {
        writePalette(obj, ruler, obj.irInvert != 0);
        im::IM_SwapColorRulerBuffer(obj.imaging.get());
        return 1;
    }
    writePalette(obj, ruler, false);
    const double tMin = obj.grayToTemp(im::IM_GetHistogramMinGray(obj.imaging.get()));
    const double tMax = obj.grayToTemp(im::IM_GetHistogramMaxGray(obj.imaging.get()));
    IsothermTable& iso = obj.isotherms;
    iso.high[index] = high;
    iso.low[index] = low;
    iso.colour[index] = colour;
    const double span = 100.0 * tMax - 100.0 * tMin;
    if (span != 0.0) {
        for (int j = 0; j <= index; ++j) {
            const double p1 = 256.0 * (100.0 * iso.low[j] - 100.0 * tMin) / span;
            const double p2 = 256.0 * (100.0 * iso.high[j] - 100.0 * tMin) / span;
            paintBand(ruler, p1, p2, rulerColour(iso.colour[j]));
        }
    }
    im::IM_SwapColorRulerBuffer(obj.imaging.get());
    return 1;
}

}  // namespace thermcore
