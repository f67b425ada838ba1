#include "skin/raster.h"

#include "skin/colors.h"

#include <cstdlib>

namespace skin {

void SetPixel(QImage& image, int x, int y, COLORREF c)
{
    if (image.rect().contains(x, y))
        image.setPixel(x, y, ToQRgb(c));
}

COLORREF GetPixel(const QImage& image, int x, int y)
{
    return image.rect().contains(x, y) ? FromQRgb(image.pixel(x, y)) : 0xFFFFFFFF;
}

void FillBox(QImage& image, int x, int y, int w, int h, COLORREF c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            SetPixel(image, i, j, c);
}

void FrameBox(QImage& image, int x, int y, int w, int h, COLORREF c)
{
    if (w <= 0 || h <= 0)
        return;
    for (int i = x; i < x + w; ++i) {
        SetPixel(image, i, y, c);
        SetPixel(image, i, y + h - 1, c);
    }
    for (int j = y; j < y + h; ++j) {
        SetPixel(image, x, j, c);
        SetPixel(image, x + w - 1, j, c);
    }
}

void Line(QImage& image, QPoint a, QPoint b, COLORREF c)
{
    int x = a.x();
    int y = a.y();
    const int dx = std::abs(b.x() - x);
    const int dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1;
    const int sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    while (x != b.x() || y != b.y()) {
        SetPixel(image, x, y, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace skin
