#include "skin/tool_bar_images.h"

namespace skin {

namespace {

QRgb opaque(QRgb c) { return c | 0xFF000000u; }

QImage rgbCopy(const QImage& strip) { return strip.convertToFormat(QImage::Format_RGB32); }

QRgb seeThroughOf(const QImage& strip) { return opaque(strip.pixel(0, 0)); }

} // namespace

QImage DisabledToolBarStrip(const QImage& strip, QRgb shadow)
{
    if (strip.isNull())
        return {};
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
            const int grey = int((qRed(c) + qBlue(c)) * 0.2 + qGreen(c) * 0.4);
            row[x] = qRgb(grey, grey, grey);
        }
    }
    return out;
}

QImage HotToolBarStrip(const QImage& strip)
{
    if (strip.isNull())
        return {};
    QImage out = rgbCopy(strip);
    const QRgb see = seeThroughOf(out);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = opaque(row[x]);
            if (c == see)
                continue;
            const int r = qRed(c) > 240 ? 255 : qRed(c) + 15;
            const int g = qGreen(c) >= 201 ? 255 : qGreen(c) + 55;
            const int b = qBlue(c) > 240 ? 255 : qBlue(c) + 15;
            row[x] = qRgb(r, g, b);
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
    lists.normal = CutImageList(rgbCopy(strip), w, h, see);
    lists.disabled = CutImageList(DisabledToolBarStrip(strip, shadow), w, h, see);
    lists.hot = CutImageList(HotToolBarStrip(strip), w, h, see);
    return lists;
}

} // namespace skin
