#include "template_thumbnail.h"

#include "layout_file.h"
#include "resource_ids.h"
#include "template_pictures.h"

#include <QPainter>

#include <algorithm>

namespace {

const QColor kGrey(180, 180, 180);
const QColor kResultYellow(255, 220, 0);
constexpr int kResultRowStep = 49;

// The placeholder of a kind, or 0 for kinds drawn otherwise.
int PlaceholderOf(int kind)
{
    switch (kind) {
    case kLayoutIR: return res::IDB_PLACE_IR;
    case kLayoutPhoto: return res::IDB_PLACE_PHOTO;
    case kLayout3DMap: return res::IDB_PLACE_3D_MAP;
    case kLayoutProfile: return res::IDB_PLACE_PROFILE;
    case kLayoutHistogram: return res::IDB_PLACE_HISTOGRAM;
    case kLayoutTimeProfile: return res::IDB_PLACE_TIME_PROFILE;
    default: return 0;
    }
}

// A rectangle of the GDI kind, right and bottom excluded, clipped to the
// page image.
struct Box {
    int left, top, right, bottom;
    QRect Rect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
    bool Empty() const { return right <= left || bottom <= top; }
};

Box ClipToPage(long long left, long long top, long long width, long long height)
{
    const auto x = [](long long v) { return int(std::clamp<long long>(v, 0, kThumbnailPageWidth)); };
    const auto y = [](long long v) { return int(std::clamp<long long>(v, 0, kThumbnailPageHeight)); };
    return {x(left), y(top), x(left + width), y(top + height)};
}

// An outlined rectangle, black pen, white inside.
void Rectangle(QPainter& p, const Box& r)
{
    if (r.Empty())
        return;
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
}

void TableGrid(QPainter& p, const Box& r, int rows, int cols)
{
    if (rows <= 0 || cols <= 0)
        return;
    const int rowStep = (r.bottom - r.top) / rows;
    const int colStep = (r.right - r.left) / cols;
    if (rowStep <= 0 || colStep <= 0)
        return;
    p.setPen(Qt::black);
    for (int y = r.top; y <= r.bottom; y += rowStep)
        p.drawLine(r.left, y, r.right - 1, y);
    for (int x = r.left; x <= r.right; x += colStep)
        p.drawLine(x, r.top, x, r.bottom - 1);
}

void ResultTable(QPainter& p, const Box& r)
{
    p.fillRect(r.Rect(), kResultYellow);
    p.setPen(Qt::black);
    for (int y = r.top; y <= r.bottom; y += kResultRowStep)
        p.drawLine(r.left, y, r.right - 1, y);
    const int half = (r.right - r.left) / 2;
    for (int i = 0; i < 3; ++i) {
        const int x = r.left + i * half;
        if (x > r.right || (i > 0 && half == 0))
            break;
        p.drawLine(x, r.top, x, r.bottom - 1);
    }
}

void Label(QPainter& p, const Box& r, const QString& text, int flags)
{
    if (r.Empty() || text.isEmpty())
        return;
    static const QFont font = [] {
        QFont f(QStringLiteral("Times New Roman"));
        f.setPixelSize(24); // a cell height of 30
        f.setStyleStrategy(QFont::NoAntialias);
        return f;
    }();
    p.setFont(font);
    p.setPen(QColor(0, 0, 255));
    p.save();
    p.setClipRect(r.Rect());
    p.drawText(r.Rect(), flags | Qt::AlignVCenter | Qt::TextSingleLine, text);
    p.restore();
}

int AlignFlag(int align)
{
    switch (align) {
    case 1: return Qt::AlignLeft;
    case 2: return Qt::AlignRight;
    default: return Qt::AlignHCenter;
    }
}

} // namespace

ThumbnailPages ReadThumbnailPages(const LayoutFile& layout)
{
    ThumbnailPages pages;
    pages.width = layout.Int(u"System", QStringLiteral("PageWidth"), 772);
    pages.height = layout.Int(u"System", QStringLiteral("PageHeight"), 1057);
    pages.count = layout.Int(u"System", QStringLiteral("PageCount"), 0);
    return pages;
}

int ClampThumbnailPage(int page, int pageCount)
{
    if (page > pageCount - 1)
        page = 0;
    if (page < 0)
        page = pageCount - 1;
    return std::max(page, 0);
}

QImage MakeThumbnailPage()
{
    QImage image(kThumbnailPageWidth, kThumbnailPageHeight, QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(Qt::white);
    return image;
}

QRect ThumbnailSourceRect(const ThumbnailPages& pages)
{
    return QRect(0, 0, std::clamp(pages.width, 1, kThumbnailPageWidth), std::clamp(pages.height, 1, kThumbnailPageHeight));
}

void DrawTemplateThumbnail(QImage& image, const LayoutFile& layout, int page)
{
    if (image.isNull())
        return;
    const ThumbnailPages pages = ReadThumbnailPages(layout);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const Box sheet = ClipToPage(0, 0, pages.width, pages.height);
    if (!sheet.Empty())
        p.fillRect(sheet.Rect(), Qt::white);

    for (int kind = 0; kind < kLayoutSectionCount; ++kind) {
        const QString section = QString::fromLatin1(kLayoutSections[std::size_t(kind)]);
        const int count = std::min(layout.StoredObjCount(kind), kThumbnailMaxObjects);
        for (int n = 1; n <= count; ++n) {
            if (layout.Int(section, LayoutKey(n, "InPage"), 0) != page)
                continue;
            const Box r = ClipToPage(layout.Int(section, LayoutKey(n, "Left"), 0), layout.Int(section, LayoutKey(n, "Top"), 0),
                                     layout.Int(section, LayoutKey(n, "Width"), 0),
                                     layout.Int(section, LayoutKey(n, "Height"), 0));
            QString text;
            // Shape.
            if (kind == kLayoutText) {
                text = layout.TextContent(n);
                if (text.isEmpty())
                    Rectangle(p, r);
            } else if (kind == kLayoutRect) {
                const int type = layout.Int(section, LayoutKey(n, "Type"), 0);
                if (type == 0) {
                    if (!r.Empty()) {
                        p.setPen(Qt::black);
                        p.setBrush(Qt::NoBrush);
                        p.drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
                    }
                } else if (type == 2) {
                    if (!r.Empty()) {
                        p.setPen(Qt::black);
                        p.setBrush(kGrey);
                        p.drawEllipse(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
                    }
                } else {
                    p.setPen(Qt::black);
                    p.drawLine(r.left, r.top, r.right, r.bottom);
                }
            } else {
                Rectangle(p, r);
            }
            // Content.
            if (const int picture = PlaceholderOf(kind); picture != 0) {
                if (!r.Empty())
                    p.drawImage(r.Rect(), TemplatePicture(picture));
            } else if (kind == kLayoutLogo) {
                if (!r.Empty())
                    p.fillRect(r.Rect(), kGrey);
            } else if (kind == kLayoutTable) {
                if (!r.Empty())
                    TableGrid(p, r, layout.Int(section, LayoutKey(n, "Row"), 0), layout.Int(section, LayoutKey(n, "Col"), 0));
            } else if (kind == kLayoutResultTable) {
                if (!r.Empty())
                    ResultTable(p, r);
            }
            // Label.
            if (kind == kLayoutText)
                Label(p, r, text, AlignFlag(layout.TextAlign(n)));
            else
                Label(p, r, section.mid(4) + QString::number(n), Qt::AlignHCenter);
        }
    }
}
