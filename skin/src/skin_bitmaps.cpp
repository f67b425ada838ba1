// The images the skin draws from its shades: the caption-button strips and
// the scroll-bar skin.
#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/raster.h"
#include "skin/skin_colors.h"

#include <QPainter>

#include <cmath>

namespace skin {

namespace {

constexpr int kCells = 16;
constexpr COLORREF kWhite = 0xFFFFFF;

// Corner pixels see-through, their edge neighbours white.
void cutCorners(QImage& img, int l, int t, int r, int b)
{
    const int xs[2] = {l, r - 1};
    const int ys[2] = {t, b - 1};
    for (int cx = 0; cx < 2; ++cx) {
        for (int cy = 0; cy < 2; ++cy) {
            const int x = xs[cx];
            const int y = ys[cy];
            SetPixel(img, x, y, kMaskColor);
            SetPixel(img, cx == 0 ? x + 1 : x - 1, y, kWhite);
            SetPixel(img, x, cy == 0 ? y + 1 : y - 1, kWhite);
        }
    }
}

// A diagonal two pixels thick, as a pen of width 2 draws it.
void thickLine(QImage& img, QPoint a, QPoint b, COLORREF c)
{
    Line(img, a, b, c);
    Line(img, b, a, c);
    Line(img, a + QPoint(1, 0), b + QPoint(1, 0), c);
    Line(img, b + QPoint(1, 0), a + QPoint(1, 0), c);
}

void drawGlyph(QImage& img, const SkinState& s, int glyph, int state, int l, int t, int r, int b, bool large)
{
    const int w = r - l;
    const int h = b - t;
    const COLORREF dark = s.m_clrSkinDark;
    switch (glyph) {
    case 0: { // close
        const int in = large ? 6 : 4;
        // The browser's second stroke mirrors the first exactly.
        const int shift = s.m_look == SkinLook::Browser ? 0 : 1;
        thickLine(img, {l + in, t + in}, {r - in, b - in}, dark);
        thickLine(img, {r - in - shift, t + in}, {l + in - shift, b - in}, dark);
        break;
    }
    case 1: // restore
        if (large) {
            FrameBox(img, l + 8, t + 6, w - 14, h - 14, dark);
            FrameBox(img, l + 5, t + 9, w - 14, h - 14, dark);
            FillBox(img, l + 6, t + 10, w - 16, h - 16, state == 3 ? s.m_clrSkinMuted : s.m_clrSkinMid);
            FillBox(img, l + 8, t + 7, w - 14, 1, dark);
            FillBox(img, l + 5, t + 10, w - 14, 1, dark);
        } else {
            FrameBox(img, l + 5, t + 3, w - 8, h - 8, dark);
            FrameBox(img, l + 2, t + 6, w - 8, h - 8, dark);
            FillBox(img, l + 3, t + 7, w - 10, h - 10, s.m_clrSkinMid);
            FillBox(img, l + 5, t + 4, w - 8, 1, dark);
            FillBox(img, l + 2, t + 7, w - 8, 1, dark);
        }
        break;
    case 2: // maximize
        if (large) {
            FrameBox(img, l + 6, t + 6, w - 12, h - 12, dark);
            FillBox(img, l + 6, t + 7, w - 12, 2, dark);
        } else {
            FrameBox(img, l + 4, t + 4, w - 8, h - 8, dark);
            FillBox(img, l + 4, t + 5, w - 8, 2, dark);
        }
        break;
    default: // minimize
        if (large)
            FillBox(img, l + 5, b - 8, w - 14, 3, dark);
        else
            FillBox(img, l + 3, b - 6, w - 8, 3, dark);
        break;
    }
}

// Two strokes of a chevron relative to the cell's middle.
struct Chevron {
    int column;
    QPoint first[3];
    QPoint second[3];
};

constexpr Chevron kChevrons[] = {
    {0, {{-3, 1}, {0, -2}, {4, 2}}, {{-3, 2}, {0, -1}, {4, 3}}},
    {1, {{-3, -1}, {0, 2}, {4, -2}}, {{-3, -2}, {0, 1}, {4, -3}}},
    {4, {{1, -3}, {-2, 0}, {2, 4}}, {{2, -3}, {-1, 0}, {3, 4}}},
    {5, {{-1, -3}, {2, 0}, {-2, 4}}, {{-2, -3}, {1, 0}, {-3, 4}}},
};

void polyline(QImage& img, QPoint origin, const QPoint (&pts)[3], COLORREF c)
{
    Line(img, origin + pts[0], origin + pts[1], c);
    Line(img, origin + pts[1], origin + pts[2], c);
}

} // namespace

void ImageList::Draw(QPainter& p, int i, int x, int y) const
{
    if (i >= 0 && i < GetImageCount())
        p.drawPixmap(x, y, images[std::size_t(i)]);
}

QImage BuildCaptionStrip(const SkinState& s, int cell)
{
    const bool large = cell > 15;
    QImage img(cell * kCells, cell, QImage::Format_RGB32);
    img.fill(ToQRgb(kMaskColor));
    for (int i = 0; i < kCells; ++i) {
        const int state = i % 4;
        const int glyph = i / 4;
        const int l = i * cell;
        const int t = 0;
        const int r = l + cell;
        const int b = cell;
        const QRect box(l, t, cell, cell);
        switch (state) {
        case 1:
        case 2:
            PaintGradient(img, box, state == 1 ? s.m_clrSkinBase : s.m_clrSkinPale,
                          state == 1 ? s.m_clrSkinPale : s.m_clrSkinBase, false, Gradient::Linear);
            FrameBox(img, l, t, cell, cell, kWhite);
            break;
        default:
            if (large && s.m_look == SkinLook::Browser) {
                // Normal and spare faces: a soft gloss to the mid shade.
                PaintGradient(img, box, state == 0 ? s.m_clrSkinPale : s.m_clrSkinLight2, s.m_clrSkinMid, false,
                              Gradient::SoftGloss);
            } else if (large) {
                PaintGradient(img, box, state == 0 ? s.m_clrSkinPale : s.m_clrSkinGrey,
                              state == 0 ? s.m_clrSkinMid : s.m_clrSkinMuted, false, Gradient::ButtonFace);
            } else {
                FillBox(img, l, t, cell, cell, s.m_clrSkinMid);
            }
            break;
        }
        drawGlyph(img, s, glyph, state, l, t, r, b, large);
        if (state == 1 || state == 2)
            cutCorners(img, l, t, r, b);
    }
    return img;
}

ImageList CutImageList(const QImage& strip, int w, int h, COLORREF mask)
{
    ImageList list;
    list.cellSize = QSize(w, h);
    if (w <= 0 || h <= 0 || strip.isNull())
        return list;
    const qreal dpr = strip.devicePixelRatio();
    QImage argb = strip.convertToFormat(QImage::Format_ARGB32);
    // A strip with an alpha channel says itself what shows through.
    if (!strip.hasAlphaChannel()) {
        const QRgb see = ToQRgb(mask);
        for (int y = 0; y < argb.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(argb.scanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                if (row[x] == see)
                    row[x] = 0;
            }
        }
    }
    // Cells in device pixels; each image keeps the strip's pixel ratio, so it
    // paints w x h in the widget's coordinates.
    const int cw = int(std::lround(w * dpr));
    const int ch = int(std::lround(h * dpr));
    for (int x = 0; x + cw <= argb.width(); x += cw) {
        QPixmap cell = QPixmap::fromImage(argb.copy(x, 0, cw, ch));
        cell.setDevicePixelRatio(dpr);
        list.images.push_back(cell);
    }
    return list;
}

QImage SkinState::BuildScrollBarSkin() const
{
    constexpr int kWidth = 162;
    constexpr int kHeight = 54;
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(ToQRgb(kMaskColor));
    const COLORREF rowFrom[3] = {m_clrSkinLight, m_clrSkinPale, m_clrSkinBase};
    const COLORREF rowTo[3] = {m_clrSkinBase, m_clrSkinBase, m_clrSkinPale};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 9; ++col) {
            const int l = kWidth * col / 9;
            const int t = kHeight * row / 3;
            const int r = kWidth * (col + 1) / 9;
            const int b = kHeight * (row + 1) / 3;
            const QRect cell(l, t, r - l, b - t);
            PaintGradient(img, cell, rowFrom[row], rowTo[row], col <= 3, Gradient::Linear);
            FrameBox(img, l, t, r - l, b - t, kWhite);
            const QPoint mid(l + (r - l) / 2, t + (b - t) / 2);
            for (const Chevron& c : kChevrons) {
                if (c.column == col) {
                    polyline(img, mid, c.first, m_clrSkinDark);
                    polyline(img, mid, c.second, m_clrSkinDark);
                }
            }
            if (col == 3) {
                PaintGradient(img, cell, m_clrSkinLight2, m_clrSkinWhite, true, Gradient::Linear);
                FillBox(img, l, t, 1, b - t, kWhite);
                FillBox(img, r - 1, t, 1, b - t, kWhite);
            } else if (col == 7) {
                PaintGradient(img, cell, m_clrSkinLight2, m_clrSkinWhite, false, Gradient::Linear);
                FillBox(img, l, t, r - l, 1, kWhite);
                FillBox(img, l, b - 1, r - l, 1, kWhite);
            } else {
                for (const QPoint p : {QPoint(l + 1, t + 1), QPoint(l + 1, b - 2), QPoint(r - 2, t + 1),
                                       QPoint(r - 2, b - 2)})
                    SetPixel(img, p.x(), p.y(), kWhite);
            }
        }
    }
    return img;
}

} // namespace skin
