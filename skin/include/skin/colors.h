// COLORREF to and from Qt's colours.
#pragma once

#include "platform/colorref.h"

#include <QColor>

namespace skin {

// The mask colour of the skin images: their see-through pixels.
inline constexpr COLORREF kMaskColor = 0xFE0BF8;

constexpr QRgb ToQRgb(COLORREF c)
{
    return 0xFF000000u | (QRgb(GetRValue(c)) << 16) | (QRgb(GetGValue(c)) << 8) | QRgb(GetBValue(c));
}
inline QColor ToQColor(COLORREF c) { return QColor::fromRgb(ToQRgb(c)); }
constexpr COLORREF FromQRgb(QRgb c) { return RGB(qRed(c), qGreen(c), qBlue(c)); }
inline COLORREF FromQColor(const QColor& c) { return FromQRgb(c.rgb()); }

} // namespace skin
