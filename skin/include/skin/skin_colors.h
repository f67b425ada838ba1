// The skin: one base colour, the shades derived from it, the caption-button
// images and the scroll-bar skin that every skinned control paints with.
// Only BuildSkinBitmaps writes it; controls read the shades at every paint,
// so a new style shows at the next repaint. changed() tells the windows to
// repaint.
#pragma once

#include "skin/colors.h"

#include <QImage>
#include <QObject>
#include <QPixmap>

#include <array>
#include <vector>

namespace skin {

// Images of equal size cut from one strip, by index.
struct ImageList {
    QSize cellSize;
    std::vector<QPixmap> images;

    int GetImageCount() const { return int(images.size()); }
    // Draws image i with its see-through pixels at (x, y); nothing for a bad index.
    void Draw(QPainter& p, int i, int x, int y) const;
};

// Caption-button images: four per button, in this order of blocks.
enum CaptionGlyph { kGlyphClose = 0, kGlyphRestore = 4, kGlyphMaximize = 8, kGlyphMinimize = 12 };

// Which program's painting the skinned controls follow where the two
// differ (caption strip, menu, flat combo, toolbar, status bar): the report
// designer's or the image browser's.
enum class SkinLook { Report, Browser };

class SkinState : public QObject {
    Q_OBJECT
public:
    static constexpr int kStyleCount = 7;

    SkinState();

    // Derives the shades from the base colour only (nothing is drawn, no
    // signal).
    void DeriveShades(COLORREF base);
    // Derives every shade from the base colour, then redraws the caption
    // strips and the scroll-bar skin; emits changed().
    void BuildSkinBitmaps(COLORREF base);
    // The scroll-bar skin of the current shades: 9 columns of 18 x 18 cells
    // (arrows, thumbs, tracks, corner), rows normal, hover, pressed.
    QImage BuildScrollBarSkin() const;

    // The base colour of a style number: a preset for 0..6, else the custom
    // colour.
    COLORREF StyleColor(int styleNum, COLORREF custom) const;

    // Shade n (1..9), as the controls number them.
    COLORREF Shade(int n) const;

    SkinLook m_look = SkinLook::Report;
    int m_nStyleNum = 0;
    std::array<COLORREF, kStyleCount> m_clrStylePresets;
    COLORREF m_clrSkinDark = 0;
    COLORREF m_clrSkinBase = 0;   // 1
    COLORREF m_clrSkinLight = 0;  // 2
    COLORREF m_clrSkinMid = 0;    // 3
    COLORREF m_clrSkinDark2 = 0;  // 4
    COLORREF m_clrSkinLight2 = 0; // 5
    COLORREF m_clrSkinWhite = 0;  // 6
    COLORREF m_clrSkinPale = 0;   // 7
    COLORREF m_clrSkinMuted = 0;  // 8
    COLORREF m_clrSkinGrey = 0;   // 9
    QPixmap m_hSkinScrollBitmap;
    ImageList m_ilSkinLarge; // 16 caption-button images of 22 x 22
    ImageList m_ilSkinSmall; // 16 of 15 x 15: a maximised child's buttons

    // The strips the image lists were cut from, see-through pixels in the
    // mask colour turned transparent.
    QImage m_largeStrip;
    QImage m_smallStrip;

signals:
    void changed();
};

// The skin the program paints with (null before one is set); controls read
// it at every paint.
const SkinState* CurrentSkin();
void SetCurrentSkin(const SkinState* skin);

// The colour roles the frames, status bar, splitter and dialogs paint
// with: base shade 1, light shade 2, background shade 3, and the dark shade.
struct SkinRoles {
    QColor base;
    QColor light;
    QColor dark;
    QColor background;
};
SkinRoles RolesOf(const SkinState& skin);
// The roles of the current skin, or greys without one.
SkinRoles CurrentRoles();

// The caption strip of cells cell x cell (16 cells: glyph i / 4, state
// i mod 4 normal, hot, pressed, disabled), in the mask colour where it is
// see-through.
QImage BuildCaptionStrip(const SkinState& skin, int cell);

// Cuts a strip into images of w x h (in the strip's device-independent
// pixels); pixels of the mask colour become see-through, or, in a strip
// with an alpha channel, the transparent ones stay so.
ImageList CutImageList(const QImage& strip, int w, int h, COLORREF mask);

} // namespace skin
