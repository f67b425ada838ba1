#include "program_icon.h"

#include "skin/command_icons.h"
#include "skin/lazy_icon.h"

#include <QHash>
#include <QPainter>

namespace {

struct Glyph {
    int id;
    const char* text; // one or two characters drawn on the button
    QRgb colour;
};

// Groups share a colour: files, editing, shapes, infrared, layout, pages,
// playback, text.
constexpr QRgb kFile = 0x2F6DB5, kEdit = 0x5A5A5A, kShape = 0x2E8B57, kIr = 0xC0392B, kLayout = 0x7D5BA6,
               kPage = 0x1F7A8C, kPlay = 0xB9770E, kText = 0x333333;

constexpr Glyph kGlyphs[] = {
    {57600, "新", kFile}, {57601, "开", kFile}, {57603, "存", kFile}, {57607, "印", kFile}, {57609, "览", kFile},
    {57635, "剪", kEdit}, {57634, "复", kEdit}, {57637, "贴", kEdit}, {32824, "撤", kEdit}, {32825, "重", kEdit},
    {57664, "?", kEdit}, {34000, "批", kFile},
    {32770, "↖", kShape}, {32771, "╱", kShape}, {32772, "□", kShape}, {32773, "▢", kShape}, {32774, "○", kShape},
    {32782, "⬠", kShape}, {34024, "→", kShape}, {32812, "A", kShape}, {32815, "红", kIr}, {32816, "字", kShape},
    {32820, "表", kShape}, {32966, "结", kShape}, {32813, "线", kShape}, {33086, "直", kShape}, {34007, "时", kShape},
    {32804, "照", kShape}, {32972, "标", kShape}, {34020, "3D", kShape}, {32998, "≡", kShape}, {114, "T", kText},
    {32981, "▨", kShape}, {32982, "▭", kShape},
    {32840, "开", kIr}, {32842, "+", kIr}, {32855, "+", kIr}, {32843, "╲", kIr}, {32844, "▭", kIr}, {32851, "◯", kIr},
    {32865, "等", kIr}, {32845, "✕", kIr}, {32847, "范", kIr}, {32867, "◀", kIr}, {32868, "▶", kIr}, {32850, "♪", kIr},
    {32852, "注", kIr}, {32866, "可", kIr}, {32841, "设", kIr},
    {34002, "⇤", kLayout}, {34003, "⇥", kLayout}, {34004, "⤓", kLayout}, {34005, "⤒", kLayout},
    {32777, "⇈", kLayout}, {32778, "⇊", kLayout}, {32779, "↑", kLayout}, {32780, "↓", kLayout},
    {32826, "+", kPage}, {32829, "|◀", kPage}, {32830, "◀", kPage}, {32831, "▶", kPage}, {32832, "▶|", kPage},
    {32833, "+", kPage}, {32834, "−", kPage}, {32835, "▣", kPage},
    {34009, "|◀", kPlay}, {34010, "◀◀", kPlay}, {34011, "◀", kPlay}, {34013, "▶", kPlay}, {34012, "■", kPlay},
    {34014, "▶", kPlay}, {34015, "▶▶", kPlay}, {34016, "▶|", kPlay}, {34017, "−", kPlay}, {34018, "+", kPlay},
    {104, "B", kText}, {108, "I", kText}, {111, "U", kText}, {117, "⇤", kText}, {119, "≡", kText}, {121, "⇥", kText},
};

// The fallback for a command whose icon is neither ours nor in the theme:
// its glyph on a tinted box.
void drawGlyph(QPainter& p, const QRectF& cell, const Glyph& g)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor c = QColor::fromRgb(g.colour);
    p.setPen(QPen(c.darker(130), 0.75));
    p.setBrush(c.lighter(185));
    p.drawRoundedRect(cell.adjusted(0.75, 0.75, -0.75, -0.75), 2.5, 2.5);
    QFont f = p.font();
    const QString text = QString::fromUtf8(g.text);
    f.setPixelSize(text.size() > 1 ? 7 : 10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c.darker(140));
    p.drawText(cell, Qt::AlignCenter, text);
    p.restore();
}

const Glyph* glyphOf(int commandId)
{
    for (const Glyph& g : kGlyphs) {
        if (g.id == commandId)
            return &g;
    }
    return nullptr;
}

} // namespace

void PaintCommandGlyph(QPainter& p, const QRect& cell, int commandId)
{
    if (const Glyph* g = glyphOf(commandId))
        drawGlyph(p, QRectF(cell), *g);
}

QIcon CommandIcon(int commandId)
{
    static QHash<int, QIcon> cache;
    const auto it = cache.constFind(commandId);
    if (it != cache.constEnd())
        return *it;
    // Looked up in the icon theme when first shown: the frame gives every
    // command its icon at start, most of which no one sees then.
    const bool named = skin::CommandIconName(skin::SkinLook::Report, commandId) != nullptr;
    const bool glyph = glyphOf(commandId) != nullptr;
    QIcon icon = !named && !glyph ? QIcon() : skin::LazyIcon([commandId] {
        QIcon found = skin::CommandIcon(skin::SkinLook::Report, commandId);
        if (found.isNull()) {
            if (const Glyph* g = glyphOf(commandId)) {
                QPixmap pm(32, 30); // drawn at twice the size for sharp scaling
                pm.fill(Qt::transparent);
                QPainter p(&pm);
                p.scale(2, 2);
                drawGlyph(p, QRectF(0, 0, 16, 15), *g);
                p.end();
                found = QIcon(pm);
            }
        }
        return found;
    }, glyph);
    cache.insert(commandId, icon);
    return icon;
}

QIcon ProgramIcon()
{
    static const QIcon icon = skin::OwnIcon(QStringLiteral("pagewright"));
    return icon;
}
