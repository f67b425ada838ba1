#include "skin/skin_colors.h"

#include <QPainter>

namespace skin {

namespace {

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

} // namespace

SkinColors BuildSkinBitmaps(QRgb base)
{
    SkinColors s;
    s.base = QColor::fromRgb(base);
    s.light = mix(s.base, Qt::white, 0.55);
    s.dark = mix(s.base, Qt::black, 0.35);
    s.background = mix(s.base, Qt::white, 0.75);
    s.caption = s.base;
    s.inactiveCaption1 = mix(s.base, Qt::gray, 0.6);
    s.inactiveCaption2 = mix(s.base, Qt::white, 0.6);
    s.border1 = s.dark;
    s.border2 = s.base;
    s.border3 = s.light;

    // Nine cells of 16 x 16 across (arrows, tracks, thumbs, corner), three
    // rows (normal, hover, pressed), in flat shades of the base colour.
    const int cell = 16;
    s.scrollBitmap = QPixmap(9 * cell, 3 * cell);
    s.scrollBitmap.fill(s.background);
    QPainter p(&s.scrollBitmap);
    for (int row = 0; row < 3; ++row) {
        const QColor face = mix(s.base, Qt::white, 0.45 - 0.15 * row);
        for (int col = 0; col < 9; ++col) {
            const QRect r(col * cell, row * cell, cell, cell);
            p.fillRect(r.adjusted(1, 1, -1, -1), col == 8 ? s.background : face);
        }
    }
    return s;
}

void InstallMenuBorderHook() {}

void RemoveMenuBorderHook() {}

} // namespace skin
