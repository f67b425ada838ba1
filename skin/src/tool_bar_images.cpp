#include "skin/tool_bar_images.h"

#include <QPainter>

#include <cmath>

namespace skin {

namespace {

// Strips drawn with an alpha channel (the programs' icons): transparent
// pixels show through and every other pixel keeps its own coverage, so
// smooth edges stay smooth on any background; the colour rules act on the
// pixel's colour alone.
bool hasAlpha(const QImage& strip) { return strip.hasAlphaChannel(); }

QImage argbCopy(const QImage& strip)
{
    QImage out = strip.convertToFormat(QImage::Format_ARGB32);
    out.setDevicePixelRatio(strip.devicePixelRatio());
    return out;
}

int greyOf(QRgb c) { return int((qRed(c) + qBlue(c)) * 0.2 + qGreen(c) * 0.4); }

// The grey of a disabled image's pixel: the colour's grey raised into the
// upper half of the scale. The programs' images are mostly dark outlines,
// whose plain grey is as dark as the enabled image; raised, black becomes
// the mid grey of disabled text and the lightest colours stay light.
int disabledGreyOf(QRgb c) { return 128 + greyOf(c) / 2; }

QRgb brightened(QRgb c)
{
    const int r = qRed(c) > 240 ? 255 : qRed(c) + 15;
    const int g = qGreen(c) >= 201 ? 255 : qGreen(c) + 55;
    const int b = qBlue(c) > 240 ? 255 : qBlue(c) + 15;
    return qRgb(r, g, b);
}

// Every drawn pixel recoloured by f, its alpha kept.
template <typename F>
QImage recolouredAlpha(const QImage& strip, F f)
{
    QImage out = argbCopy(strip);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int a = qAlpha(row[x]);
            if (a != 0) {
                const QRgb c = f(row[x]);
                row[x] = qRgba(qRed(c), qGreen(c), qBlue(c), a);
            }
        }
    }
    return out;
}

QImage disabledAlpha(const QImage& strip, QRgb shadow)
{
    // Composed in device pixels; the result takes the strip's ratio again.
    QImage shade = recolouredAlpha(strip, [shadow](QRgb) { return shadow; });
    QImage grey = recolouredAlpha(strip, [](QRgb c) {
        const int g = disabledGreyOf(c);
        return qRgb(g, g, g);
    });
    shade.setDevicePixelRatio(1);
    grey.setDevicePixelRatio(1);
    QImage out(strip.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    // One pixel down and right, in the strip's own pixels.
    const int off = std::max(1, int(std::lround(strip.devicePixelRatio())));
    p.drawImage(off, off, shade);
    p.drawImage(0, 0, grey);
    p.end();
    QImage result = out.convertToFormat(QImage::Format_ARGB32);
    result.setDevicePixelRatio(strip.devicePixelRatio());
    return result;
}

QRgb opaque(QRgb c) { return c | 0xFF000000u; }

QImage rgbCopy(const QImage& strip) { return strip.convertToFormat(QImage::Format_RGB32); }

QRgb seeThroughOf(const QImage& strip) { return opaque(strip.pixel(0, 0)); }

} // namespace

QImage DisabledToolBarStrip(const QImage& strip, QRgb shadow)
{
    if (strip.isNull())
        return {};
    if (hasAlpha(strip))
        return disabledAlpha(strip, shadow);
    const QImage src = rgbCopy(strip);
    const QRgb see = seeThroughOf(src);
    QImage out(src.size(), QImage::Format_RGB32);
    out.fill(see);
    const int w = src.width();
    const int h = src.height();
    // The shadow: every drawn pixel in light grey, one pixel down and right.
    for (int y = 0; y + 1 < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y + 1));
        for (int x = 0; x + 1 < w; ++x) {
            if (opaque(in[x]) != see)
                row[x + 1] = shadow;
        }
    }
    // Over it, the image in grey.
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = opaque(in[x]);
            if (c == see)
                continue;
            const int grey = disabledGreyOf(c);
            row[x] = qRgb(grey, grey, grey);
        }
    }
    return out;
}

QImage HotToolBarStrip(const QImage& strip)
{
    if (strip.isNull())
        return {};
    if (hasAlpha(strip))
        return recolouredAlpha(strip, brightened);
    QImage out = rgbCopy(strip);
    const QRgb see = seeThroughOf(out);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = opaque(row[x]);
            if (c != see)
                row[x] = brightened(c);
        }
    }
    return out;
}

ToolBarImages BuildToolBarImages(const QImage& strip, int w, int h, QRgb shadow)
{
    ToolBarImages lists;
    if (strip.isNull() || w <= 0 || h <= 0) {
        lists.normal.cellSize = lists.disabled.cellSize = lists.hot.cellSize = QSize(w, h);
        return lists;
    }
    const COLORREF see = FromQRgb(strip.pixel(0, 0));
    lists.normal = CutImageList(hasAlpha(strip) ? argbCopy(strip) : rgbCopy(strip), w, h, see);
    lists.disabled = CutImageList(DisabledToolBarStrip(strip, shadow), w, h, see);
    lists.hot = CutImageList(HotToolBarStrip(strip), w, h, see);
    return lists;
}

} // namespace skin
