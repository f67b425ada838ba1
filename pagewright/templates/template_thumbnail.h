// The page thumbnail of a template, drawn from its layout file alone: each
// object of the page as its rectangle, with a placeholder picture, a grid,
// a fill or its text, and a blue label, into a page image of 872 x 1157
// pixels at page scale. The chooser stretches the used part of the image
// into its preview frame.
//
// Layout values are not trusted: rectangles are clipped to the page image,
// counts are bounded, and a table without rows or columns (or with a grid
// step of 0) shows its rectangle only.
#pragma once

#include <QImage>

class LayoutFile;

inline constexpr int kThumbnailPageWidth = 872;
inline constexpr int kThumbnailPageHeight = 1157;
// At most this many objects of one kind are drawn.
inline constexpr int kThumbnailMaxObjects = 10000;

// What [System] of a layout file says about the pages (missing keys read
// 772 x 1057 and no pages).
struct ThumbnailPages {
    int width = 772;
    int height = 1057;
    int count = 0;
};
ThumbnailPages ReadThumbnailPages(const LayoutFile& layout);

// The page index after stepping: past the last page it is 0, below 0 the
// last page (with no pages, 0).
int ClampThumbnailPage(int page, int pageCount);

// The 872 x 1157 page image (a null image when it cannot be made).
QImage MakeThumbnailPage();

// Draws page `page` of the layout into the page image: white over
// (0, 0, width, height) of the page, then every object whose page it is.
void DrawTemplateThumbnail(QImage& image, const LayoutFile& layout, int page);

// The part of the page image that shows the page (width x height, clipped
// to the image).
QRect ThumbnailSourceRect(const ThumbnailPages& pages);
