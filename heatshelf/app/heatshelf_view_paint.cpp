// CHeatshelfView's painting: the picture with its board and stored marks,
// the colour bar and scale, the photo, and the thumbnail grid.
#include "heatshelf_view.h"

#include "palette_table.h"

#include "heatshelf/ir_image.h"
#include "heatshelf/theme.h"
#include "platform/dib.h"
#include "skin/colors.h"
#include "skin/draw3d.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QStaticText>

#include <algorithm>

namespace heatshelf {
namespace {

// The scale's and the grid's font: Arial at 9.6 points.
QFont scaleFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(9.6);
    return f;
}

// White text turned onto the picture by exclusive or. Text that would run
// past the picture's right or bottom edge (a mark at the edge) is moved back
// onto it.
void xorText(QPainter& p, QPoint at, const QString& text, const QRect& picture)
{
    const QFontMetrics fm(p.font());
    QRect box = fm.boundingRect(text).translated(at.x(), at.y() + fm.ascent());
    if (box.isEmpty())
        return;
    const QPoint back(std::min(0, picture.right() - box.right()), std::min(0, picture.bottom() - box.bottom()));
    box.translate(back);
    at += back;
    QImage glyphs(box.size(), QImage::Format_RGB32);
    glyphs.fill(Qt::black);
    {
        QPainter g(&glyphs);
        g.setFont(p.font());
        g.setPen(Qt::white);
        g.drawText(at.x() - box.left(), at.y() + fm.ascent() - box.top(), text);
    }
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.drawImage(box.topLeft(), glyphs);
    p.restore();
}

// Inverts the pixels of a rectangle.
void invertRect(QPainter& p, const QRect& r)
{
    p.save();
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.fillRect(r, Qt::black);
    p.restore();
}

} // namespace

QImage CHeatshelfView::composePicture(const Rect& picture) const
{
    QImage canvas(picture.width(), picture.height(), QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    const QByteArray& dib = m_core.pictureDib();
    platform::PaintDIB(p, canvas.rect(), dib, QRect(0, 0, platform::DIBWidth(dib), std::abs(platform::DIBHeight(dib))));
    // From here on in view coordinates.
    p.translate(-picture.left, -picture.top);
    const CIrImage& holder = m_core.holder();
    const int imageWidth = holder.imageWidth();
    if (holder.fileVersion() == 11) {
        int board[4] = {0, 0, 0, 0};
        const_cast<CIrImage&>(holder).GetBoardRect(board);
        const Rect r = BoardOnPicture(picture, imageWidth, board);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 1, Qt::DashDotLine));
        p.drawRect(QRect(r.left, r.top, r.width(), r.height()));
    }
    if (!m_bShowObjects)
        return canvas;
    const int arm = MarkArm(picture.width());
    p.setFont(font());
    const QPen white(Qt::white, 1);
    for (const Mark& m : StoredMarks(picture, imageWidth, holder.points(), holder.rects(), holder.lines())) {
        switch (m.kind) {
        case Mark::Numbered:
            invertRect(p, QRect(std::max(m.a.x() - arm, 0), m.a.y(), 2 * arm + 1, 1));
            invertRect(p, QRect(m.a.x(), m.a.y() - arm, 1, 2 * arm + 1));
            break;
        case Mark::Cross:
            p.setPen(white);
            p.drawLine(m.a - QPoint(arm, arm), m.a + QPoint(arm, arm));
            p.drawLine(m.a + QPoint(-arm, arm), m.a + QPoint(arm, -arm));
            break;
        case Mark::Box:
            p.setPen(white);
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(m.a, m.b).normalized().adjusted(0, 0, -1, -1));
            break;
        case Mark::Segment:
            p.setPen(white);
            p.drawLine(m.a, m.b);
            break;
        }
        if (m.number != 0)
            xorText(p, m.numberAt, QString::asprintf("%d", m.number),
                    QRect(picture.left, picture.top, picture.width(), picture.height()));
    }
    return canvas;
}

void CHeatshelfView::drawScale(QPainter& p, const Rect& picture)
{
    const std::optional<ColourBar> bar = ColourBarFor(picture);
    if (!bar)
        return;
    const Rect& b = bar->bar;
    const QColor base = skin::ToQColor(m_theme.SkinBase());
    p.save();
    p.setFont(scaleFont());
    if (bar->ticks) {
        p.fillRect(QRect(b.left - 54, b.top, 54, b.height() + 1), base);
        p.fillRect(QRect(b.right, b.top, 57, b.height() + 1), base);
        p.fillRect(QRect(QPoint(b.left - 20, b.bottom + 3), QPoint(b.right + 19, b.bottom + 24)), base);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(b.left, b.top, b.width() - 1, b.height() - 1));
    const std::uint8_t* row = m_palettes.Palette(std::clamp(m_nPalette, 0, kPaletteCount - 1));
    for (int x = b.left + 1; x < b.right - 1; ++x) {
        const int i = std::clamp(BarPaletteIndex(x, b, m_bInvert), 0, kPaletteEntries - 1);
        p.setPen(QColor(row[4 * i + 2], row[4 * i + 1], row[4 * i]));
        p.drawLine(x, b.top + 1, x, b.bottom - 2);
    }
    // Thermcore's bad-handle value is no temperature: no scale then.
    if (bar->ticks && thermcore::IsTemperature(m_core.levelLow()) && thermcore::IsTemperature(m_core.levelHigh())) {
        const QFontMetrics fm(p.font());
        const Scale s = ScaleFor(m_core.levelLow(), m_core.levelHigh(), b, UnitText(),
                                 [&fm](const QString& t) { return fm.horizontalAdvance(t); });
        p.setPen(Qt::black);
        const auto text = [&](QPoint at, const QString& t) { p.drawText(at.x(), at.y() + fm.ascent(), t); };
        text(s.lowAt, s.lowText);
        text(s.highAt, s.highText);
        p.drawLine(b.left, s.lineY, b.right - 1, s.lineY);
        for (const Tick& t : s.major) {
            p.drawLine(t.x, t.top, t.x, t.bottom - 1);
            if (t.labelShown)
                text(t.labelAt, t.label);
        }
        for (const Tick& t : s.minor)
            p.drawLine(t.x, t.top, t.x, t.bottom - 1);
    }
    p.restore();
}

void CHeatshelfView::paintSingle(QPainter& p)
{
    if (m_core.picture().isNull())
        return;
    const std::optional<Rect> picture = PictureRectangle();
    if (!picture)
        return;
    p.drawImage(picture->left, picture->top, composePicture(*picture));
    if (m_bRelayout) {
        m_bRelayout = false;
        placeControls(*picture);
    }
    drawScale(p, *picture);
    if (!m_photoDib.isEmpty() && 0.55 * width() > picture->width()) {
        const QRect dest(QPoint(picture->right + 80, picture->bottom - 144), QPoint(picture->right + 259, picture->bottom - 1));
        platform::PaintDIB(p, dest, m_photoDib,
                           QRect(0, 0, platform::DIBWidth(m_photoDib), std::abs(platform::DIBHeight(m_photoDib))));
    }
}

QString CHeatshelfView::ThumbLabelText(int index) const
{
    if (index < 0 || index >= int(m_thumbs.size()))
        return QString();
    // Wide letters (Chinese) overflow even the shortened name: it is cut to
    // the name's band.
    return QFontMetrics(scaleFont(), this)
        .elidedText(ThumbLabel(m_thumbs[size_t(index)].name), Qt::ElideRight, ThumbNameQRect(index).width());
}

void CHeatshelfView::paintThumbnails(QPainter& p)
{
    const int columns = ThumbColumns(width());
    const int top = GridTopRow() * 70;
    const int first = std::max(0, top / 70 * columns);
    const int last = std::min(int(m_thumbs.size()), (top + height()) / 70 * columns + columns);
    const QColor mid = skin::ToQColor(m_theme.SkinMid());
    p.setFont(scaleFont());
    const QRect clip = p.hasClipping() ? p.clipBoundingRect().toAlignedRect() : rect();
    for (int i = first; i < last; ++i) {
        const QRect cell = ThumbCellRect(i);
        if (!cell.intersects(clip))
            continue;
        p.fillRect(cell, mid);
        skin::Draw3dRect(p, cell, skin::ToQColor(m_theme.SkinLight()), skin::ToQColor(m_theme.SkinBase()));
        GridThumb& t = m_thumbs[size_t(i)];
        p.setPen(Qt::black);
        const QRect name = ThumbNameQRect(i);
        if (t.label.text().isEmpty()) {
            t.label.setText(ThumbLabelText(i));
            t.label.setTextFormat(Qt::PlainText);
            t.label.prepare(QTransform(), p.font());
        }
        // Centred across the cell, from the top of the name's line.
        const qreal labelWidth = t.label.size().width();
        p.drawStaticText(QPointF(cell.left() + (cell.width() - labelWidth) / 2, name.top()), t.label);
        if (t.state == GridThumb::Ready) {
            const QRect pic = cell.adjusted(17, 3, -17, -17);
            if (t.picture.size() == pic.size())
                p.drawImage(pic.topLeft(), t.picture); // decoded once, drawn as it is
            else
                p.drawImage(pic, t.picture);
        }
    }
    if (m_nThumbSelected >= 0 && m_nThumbSelected < int(m_thumbs.size())) {
        // Along the cell's edge, so that it covers neither the picture nor
        // the name.
        const QRect sel = ThumbFrameQRect(m_nThumbSelected);
        m_rcThumbSelection = sel.translated(0, top);
        const int w = kThumbFrameWidth;
        for (const QRect& band : {QRect(sel.left(), sel.top(), sel.width(), w),
                                  QRect(sel.left(), sel.bottom() + 1 - w, sel.width(), w),
                                  QRect(sel.left(), sel.top(), w, sel.height()),
                                  QRect(sel.right() + 1 - w, sel.top(), w, sel.height())})
            p.fillRect(band, Qt::blue);
    }
}

void CHeatshelfView::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.setClipRegion(e->region());
    p.fillRect(rect(), skin::ToQColor(m_theme.SkinBase()));
    if (m_bThumbnails)
        paintThumbnails(p);
    else
        paintSingle(p);
}

} // namespace heatshelf
