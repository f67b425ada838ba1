#include "skin/hls.h"

#include <algorithm>

namespace skin {

namespace {
constexpr int kHlsMax = 240;
constexpr int kRgbMax = 255;
constexpr int kUndefinedHue = kHlsMax * 2 / 3;
} // namespace

void RgbToHls(COLORREF rgb, WORD* hue, WORD* lightness, WORD* saturation)
{
    const int r = GetRValue(rgb);
    const int g = GetGValue(rgb);
    const int b = GetBValue(rgb);
    const int mx = std::max({r, g, b});
    const int mn = std::min({r, g, b});
    const int l = ((mx + mn) * kHlsMax + kRgbMax) / (2 * kRgbMax);
    int h = kUndefinedHue;
    int s = 0;
    if (mx != mn) {
        const int sum = mx + mn;
        const int diff = mx - mn;
        if (l <= kHlsMax / 2)
            s = (diff * kHlsMax + sum / 2) / sum;
        else
            s = (diff * kHlsMax + (2 * kRgbMax - sum) / 2) / (2 * kRgbMax - sum);
        const int rd = ((mx - r) * (kHlsMax / 6) + diff / 2) / diff;
        const int gd = ((mx - g) * (kHlsMax / 6) + diff / 2) / diff;
        const int bd = ((mx - b) * (kHlsMax / 6) + diff / 2) / diff;
        if (r == mx)
            h = bd - gd;
        else if (g == mx)
            h = kHlsMax / 3 + rd - bd;
        else
            h = 2 * kHlsMax / 3 + gd - rd;
        if (h < 0)
            h += kHlsMax;
        if (h > kHlsMax)
            h -= kHlsMax;
    }
    *hue = WORD(h);
    *lightness = WORD(l);
    *saturation = WORD(s);
}

WORD HueToRgb(WORD p1, WORD p2, WORD hue)
{
    if (hue > kHlsMax)
        hue = WORD(hue - kHlsMax);
    const int a = p1;
    const int b = p2;
    if (hue < kHlsMax / 6)
        return WORD(a + ((b - a) * hue + kHlsMax / 12) / (kHlsMax / 6));
    if (hue < kHlsMax / 2)
        return p2;
    if (hue < kHlsMax * 2 / 3)
        return WORD(a + ((b - a) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6));
    return p1;
}

COLORREF HlsToRgb(WORD hue, WORD lightness, WORD saturation)
{
    const int l = lightness;
    const int s = saturation;
    if (s == 0) {
        const int v = l * kRgbMax / kHlsMax;
        return RGB(v, v, v);
    }
    const int m2 = l <= kHlsMax / 2 ? (l * (kHlsMax + s) + kHlsMax / 2) / kHlsMax
                                    : l + s - (l * s + kHlsMax / 2) / kHlsMax;
    const int m1 = 2 * l - m2;
    auto channel = [&](WORD h) {
        return (HueToRgb(WORD(m1), WORD(m2), h) * kRgbMax + kHlsMax / 2) / kHlsMax;
    };
    return RGB(channel(WORD(hue + kHlsMax / 3)), channel(hue), channel(WORD(hue - kHlsMax / 3)));
}

} // namespace skin
