// Pixel-exact drawing into images, as the skin images and the skinned
// controls need it: one-pixel frames, filled boxes and lines that leave out
// their end point.
#pragma once

#include "platform/colorref.h"

#include <QImage>
#include <QPoint>

namespace skin {

void SetPixel(QImage& image, int x, int y, COLORREF c);
COLORREF GetPixel(const QImage& image, int x, int y);
// A filled box and a one-pixel frame of (x, y, w, h).
void FillBox(QImage& image, int x, int y, int w, int h, COLORREF c);
void FrameBox(QImage& image, int x, int y, int w, int h, COLORREF c);
// A one-pixel line from a to b, b itself left out.
void Line(QImage& image, QPoint a, QPoint b, COLORREF c);

} // namespace skin
