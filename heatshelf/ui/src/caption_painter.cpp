#include "heatshelf/caption_painter.h"

#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/metrics.h"

#include <QFontDatabase>
#include <QPainter>

namespace heatshelf {

int BrowserCaptionHeight() { return skin::kCaptionHeight; }

QRect BrowserCloseRect(int windowWidth)
{
    const int w = windowWidth - skin::SM_CXFRAME;
    const int h = BrowserCaptionHeight();
    return QRect(QPoint(w - 24, h - 25), QPoint(w - 3, h - 4));
}

void PaintBrowserCaption(QPainter& p, QSize window, const QString& title, const Theme& theme,
                         const skin::CaptionButtons& buttons)
{
    const int width = window.width();
    const int height = window.height();
    if (width <= 0 || height <= 0)
        return;
    const int h = BrowserCaptionHeight();
    const int w = width - skin::SM_CXFRAME;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    skin::DrawGlossGradient(&p, 0, 0, width, h + 1, theme.SkinPale(), theme.SkinMid(), false);
    // Left, bottom and right borders.
    const QColor mid = skin::ToQColor(theme.SkinMid());
    const int f = skin::SM_CXFRAME;
    p.fillRect(QRect(0, h + 1, f, height - h - 1), mid);
    p.fillRect(QRect(width - f, h + 1, f, height - h - 1), mid);
    p.fillRect(QRect(0, height - f, width, f), mid);
    // Title in the system font.
    p.setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    p.setPen(skin::ToQColor(theme.SkinText()));
    p.drawText(QRect(QPoint(10, h - 18), QPoint(w - 66 - 1, h - 2 - 1)),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title);
    const QRect close = buttons.Rect(skin::kCloseButton);
    if (!close.isEmpty())
        theme.SkinCaptionButtons().Draw(p, skin::kGlyphClose + buttons.ImageOffset(skin::kCloseButton, true),
                                        close.left(), close.top());
    // The dark outline and the bevelled top corners.
    const QColor dark = skin::ToQColor(theme.SkinDark());
    p.fillRect(QRect(0, 0, width, 1), dark);
    p.fillRect(QRect(0, 0, 1, height - 2), dark);
    p.fillRect(QRect(0, height - 2, width - 2, 1), dark);
    p.fillRect(QRect(width - 2, 0, 1, height - 2), dark);
    p.setPen(dark);
    for (const QPoint& q : {QPoint(3, 1), QPoint(1, 3), QPoint(2, 2), QPoint(4, 1), QPoint(1, 4),
                            QPoint(width - 5, 1), QPoint(width - 3, 2), QPoint(width - 4, 1)})
        p.drawPoint(q);
    p.restore();
}

} // namespace heatshelf
