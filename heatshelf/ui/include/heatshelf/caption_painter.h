// The browser's caption painting over the shared caption mechanics
// (skin::CaptionButtons): a gloss band from the pale to the mid shade, the
// title in the text shade from x = 10, the caption buttons' images, mid
// frame borders, and a dark outline round the window with bevelled top
// corners.
#pragma once

#include "heatshelf/theme.h"

#include "skin/caption.h"

#include <QString>

class QPainter;

namespace heatshelf {

// The band's height (frame + button size) and the close button's place for
// a window width: (W - 24, H - 25) to (W - 2, H - 3), W = width - frame.
int BrowserCaptionHeight();
QRect BrowserCloseRect(int windowWidth);

// Band, borders, title, buttons (by their mechanics' state) and outline
// over a whole window of this size.
void PaintBrowserCaption(QPainter& p, QSize window, const QString& title, const Theme& theme,
                         const skin::CaptionButtons& buttons);

} // namespace heatshelf
