// The three image lists of a skinned toolbar, composed from its image
// strip: normal, disabled (a light shadow one pixel down and right under a
// grey copy raised into the light half of the scale, so that dark glyphs
// read as disabled too) and hot (brightened, also shown for checked and pressed
// buttons). The strip's pixel (0, 0) is the see-through colour of all
// three; in a strip with an alpha channel the transparent pixels show
// through instead and each pixel keeps its alpha. A strip drawn at a device
// pixel ratio gives images of that ratio (the shadow moves by one
// device-independent pixel).
#pragma once

#include "skin/skin_colors.h"

#include <QImage>

namespace skin {

// The light shadow under disabled images: the report designer's and the
// browser's.
inline constexpr QRgb kReportShadow = 0xFFC8C8C8;
inline constexpr QRgb kBrowserShadow = 0xFFFAFAFA;
inline constexpr QRgb DisabledShadowOf(SkinLook look) { return look == SkinLook::Browser ? kBrowserShadow : kReportShadow; }

// The strips before cutting, see-through pixels still in the strip's
// colour (0, 0). Also the grey image of a disabled menu item.
QImage DisabledToolBarStrip(const QImage& strip, QRgb shadow = kReportShadow);
QImage HotToolBarStrip(const QImage& strip);

struct ToolBarImages {
    ImageList normal;
    ImageList disabled;
    ImageList hot;
};
// Cuts the three strips into images of w x h, see-through pixels
// transparent; empty lists for an empty strip or size.
ToolBarImages BuildToolBarImages(const QImage& strip, int w, int h, QRgb shadow = kReportShadow);

} // namespace skin
