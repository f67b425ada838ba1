// The skin: one base colour and the colours and images derived from it that
// the frames, bars and dialogs paint with.
#pragma once

#include <QColor>
#include <QPixmap>

namespace skin {

struct SkinColors {
    QColor base;
    QColor light;
    QColor dark;
    QColor background;
    QColor caption;          // active caption, gradient end
    QColor inactiveCaption1; // inactive caption gradient
    QColor inactiveCaption2;
    QColor border1; // caption painter borders, outer to inner
    QColor border2;
    QColor border3;
    QPixmap scrollBitmap; // scroll-bar skin: 9 cells across, 3 down
};

// Derives the skin from a base colour (RGB).
SkinColors BuildSkinBitmaps(QRgb base);

// The popup-menu border hook of the original has no counterpart here; the
// calls stay so that start-up and exit keep their order.
void InstallMenuBorderHook();
void RemoveMenuBorderHook();

} // namespace skin
