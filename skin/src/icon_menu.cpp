#include "skin/icon_menu.h"

#include "skin/colors.h"
#include "skin/gradient.h"
#include "skin/metrics.h"
#include "skin/skin_colors.h"
#include "skin/skin_resources.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>

namespace {

const char kLinkProperty[] = "skinIconMenu";
constexpr COLORREF kPressedText = RGB(14, 0, 0);
// The browser writes grayed items in one fixed light blue.
constexpr COLORREF kBrowserGrayedText = RGB(132, 184, 235);

void frame(QPainter& p, const QRect& r, COLORREF c)
{
    p.setPen(skin::ToQColor(c));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

// The report designer blends with the float step, the browser with the
// menus' integer blend.
void gradientRect(QPainter& p, const QRect& r, COLORREF from, COLORREF to, bool columns, skin::SkinLook look)
{
    if (look == skin::SkinLook::Browser)
        skin::DrawGradientBar(&p, r.left(), r.top(), r.right() + 1, r.bottom() + 1, from, to, columns);
    else
        skin::DrawGradientRect(&p, r.left(), r.top(), r.right() + 1, r.bottom() + 1, from, to, columns);
}

} // namespace

CIconMenu::CIconMenu() = default;

CIconMenu::~CIconMenu() { FreeItems(); }

void CIconMenu::FreeItems()
{
    for (const QPointer<QWidget>& w : m_linked) {
        if (w && w->property(kLinkProperty).value<quintptr>() == reinterpret_cast<quintptr>(this))
            w->setProperty(kLinkProperty, QVariant());
    }
    m_linked.clear();
    m_items.clear();
    m_images.clear();
    m_imageIds.clear();
}

int CIconMenu::LoadMenu(QWidget* menu, int toolBarId, int cx, int cy)
{
    FreeItems();
    m_menu = menu;
    ConvertMenu(menu, true);
    m_imageWidth = cx;
    m_imageHeight = cy;
    LoadToolBarImageList(toolBarId, cx, cy, &m_images, &m_imageIds);
    return 1;
}

bool CIconMenu::ConvertMenu(QWidget* menu, bool topLevel, const void* reserved)
{
    if (reserved != nullptr)
        return false;
    if (menu == nullptr || (qobject_cast<QMenu*>(menu) == nullptr && qobject_cast<QMenuBar*>(menu) == nullptr))
        return true;
    menu->setProperty(kLinkProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    m_linked.emplace_back(menu);
    const QList<QAction*> actions = menu->actions();
    for (QAction* a : actions) {
        Record r;
        r.action = a;
        r.item.text = a->text();
        if (a->isSeparator())
            r.item.id = kSeparatorId;
        else if (a->menu() != nullptr)
            r.item.id = topLevel ? kBarPopupId : kNestedPopupId;
        else
            r.item.id = a->data().toInt();
        m_items.push_back(r);
        if (QMenu* sub = a->menu())
            ConvertMenu(sub, false);
    }
    return true;
}

int CIconMenu::LoadToolBarImages(int toolBarId, int cx, int cy)
{
    std::vector<QPixmap> images;
    std::vector<int> ids;
    const int n = LoadToolBarImageList(toolBarId, cx, cy, &images, &ids);
    for (std::size_t i = 0; i < images.size() && i < ids.size(); ++i) {
        m_images.push_back(images[i]);
        m_imageIds.push_back(ids[i]);
    }
    return n;
}

int CIconMenu::LoadToolBarImageList(int toolBarId, int cx, int cy, std::vector<QPixmap>* images,
                                    std::vector<int>* ids)
{
    if (images == nullptr || ids == nullptr || toolBarId == 0 || cx <= 0 || cy <= 0)
        return -1;
    const skin::ToolBarResource* res = skin::FindToolBar(toolBarId);
    if (res == nullptr || res->bitmap.isNull())
        return -1;
    std::vector<int> buttons;
    for (int id : res->commands) {
        if (id != skin::kSeparator)
            buttons.push_back(id);
    }
    if (buttons.empty())
        return -1;
    const QImage& strip = res->bitmap;
    const QRgb mask = strip.width() > 1 && strip.height() > 1 ? strip.pixel(1, 1) : strip.pixel(0, 0);
    *images = skin::CutImageList(strip, cx, cy, skin::FromQRgb(mask)).images;
    *ids = buttons;
    return int(ids->size());
}

int CIconMenu::FindImageIndex(int commandId) const
{
    for (std::size_t i = 0; i < m_imageIds.size(); ++i) {
        if (m_imageIds[i] == commandId)
            return int(i);
    }
    return -1;
}

const QPixmap* CIconMenu::GetImage(int index) const
{
    return index >= 0 && index < GetImageCount() ? &m_images[std::size_t(index)] : nullptr;
}

std::vector<IconMenuItem> CIconMenu::GetItems() const
{
    std::vector<IconMenuItem> items;
    for (const Record& r : m_items)
        items.push_back(r.item);
    return items;
}

const IconMenuItem* CIconMenu::FindItem(const QAction* action) const
{
    for (const Record& r : m_items) {
        if (r.action == action)
            return &r.item;
    }
    return nullptr;
}

void CIconMenu::UpdateItemText(const QAction* action)
{
    for (Record& r : m_items) {
        if (r.action == action)
            r.item.text = action->text();
    }
}

const CIconMenu* CIconMenu::ForWidget(const QWidget* menu)
{
    if (menu == nullptr)
        return nullptr;
    const QVariant v = menu->property(kLinkProperty);
    return v.isValid() ? reinterpret_cast<const CIconMenu*>(v.value<quintptr>()) : nullptr;
}

const CIconMenu& CIconMenu::Plain()
{
    static CIconMenu* plain = [] {
        auto* m = new CIconMenu;
        m->SetImageSize(16, 15);
        return m;
    }();
    return *plain;
}

QSize CIconMenu::MeasureItem(const IconMenuItem& item, const QString& shortcut) const
{
    if (item.id == kSeparatorId)
        return QSize(50, m_separatorHeight);
    int width = m_minWidth;
    if (!item.text.isEmpty()) {
        const QFontMetrics fm(skin::MenuFont());
        int text = fm.horizontalAdvance(item.text.section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')));
        if (!shortcut.isEmpty())
            text += 24 + fm.horizontalAdvance(shortcut);
        if (item.id == kBarPopupId)
            width = text - 6;
        else
            width = m_imageWidth + 4 * m_margin + m_extraBand + text + 10;
    }
    return QSize(width, m_imageHeight + 4 * m_margin + 10);
}

void CIconMenu::DrawGradientBar(QPainter* dc, const QRect& r, COLORREF from, COLORREF to, bool horizontal)
{
    skin::DrawGradientBar(dc, r.left(), r.top(), r.right() + 1, r.bottom() + 1, from, to, horizontal);
}

void CIconMenu::DrawItem(QPainter& p, const MenuItemPaint& d, const skin::SkinState& s) const
{
    if (!p.isActive())
        return;
    using skin::ToQColor;
    const QRect& r = d.rect;
    const int l = r.left();
    const int t = r.top();
    const int right = r.right() + 1;
    const int b = r.bottom() + 1;
    const int cx = m_imageWidth;
    const int cy = m_imageHeight;
    const int M = m_margin;
    const int E = m_extraBand;
    const int textStart = l + cx + 3 * M + E + 5;
    const bool bar = d.item.id == kBarPopupId;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(skin::MenuFont());
    auto background = [&] {
        if (bar) {
            p.fillRect(r, ToQColor(s.m_clrSkinMid));
        } else {
            p.fillRect(r, ToQColor(s.m_clrSkinLight));
            gradientRect(p, QRect(QPoint(l, t), QPoint(l + cx + 3 * M + E + 4, b - 1)), s.m_clrSkinLight,
                         s.m_clrSkinBase, true, s.m_look);
        }
    };
    background();
    if (d.item.id == kSeparatorId) {
        p.setPen(ToQColor(s.m_clrSkinBase));
        const int y = t + (b - t) / 2;
        p.drawLine(textStart + 2, y, right - 1, y);
        p.restore();
        return;
    }
    COLORREF text = 0;
    if (d.grayed) {
        text = s.m_look == skin::SkinLook::Browser ? kBrowserGrayedText : s.m_clrSkinMuted;
    } else if (bar) {
        const QRect band(l + 2 * M, t, right - (l + 2 * M), b - t);
        if (d.selected) {
            gradientRect(p, band, s.m_clrSkinLight, s.m_clrSkinBase, false, s.m_look);
            frame(p, band, s.m_clrSkinLight);
            text = kPressedText;
        } else if (d.hot) {
            gradientRect(p, band, s.m_clrSkinWhite, s.m_clrSkinLight2, false, s.m_look);
            frame(p, band, s.m_clrSkinBase);
            text = kPressedText;
        }
    } else if (d.selected) {
        const QRect hi(l + M + E, t + 1, right - 2 - (l + M + E), b - 1 - (t + 1));
        gradientRect(p, hi, s.m_clrSkinWhite, s.m_clrSkinLight2, false, s.m_look);
        frame(p, hi, s.m_clrSkinBase);
        text = kPressedText;
    }
    p.setPen(ToQColor(text));
    // The label; an accelerator after a tab is drawn at the right.
    const QString label = d.item.text.section(QLatin1Char('\t'), 0, 0);
    if (!label.isEmpty()) {
        if (bar) {
            p.drawText(QRect(l + M, t, right - l, b - t), Qt::AlignCenter | Qt::TextShowMnemonic, label);
        } else {
            const QRect tr(textStart, t, right - textStart, b - t);
            p.drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, label);
            if (!d.shortcut.isEmpty())
                p.drawText(tr.adjusted(0, 0, -14, 0), Qt::AlignRight | Qt::AlignVCenter, d.shortcut);
        }
    }
    if (d.hasSubMenu && !bar) {
        const int mx = right - 8;
        const int my = t + (b - t) / 2;
        p.setBrush(ToQColor(text));
        p.setPen(Qt::NoPen);
        const QPoint arrow[3] = {QPoint(mx - 3, my - 4), QPoint(mx + 1, my), QPoint(mx - 3, my + 4)};
        p.drawPolygon(arrow, 3);
    }
    if (!bar) {
        const int x0 = l + M + E + 2;
        const int y0 = t + (b - t - cy) / 2;
        const int h = (b - (b - t - cy) / 2) - y0;
        const QPixmap* image = GetImage(FindImageIndex(d.item.id));
        if (d.checked) {
            const QRect box(l, t + 2, cx + 5, b - 2 - (t + 2));
            p.fillRect(box, ToQColor(d.selected ? s.m_clrSkinLight2 : 0xFFFFFF));
            frame(p, box, s.m_clrSkinBase);
            if (image == nullptr) {
                const int mx = x0 + cx / 2;
                const int my = y0 + h / 2;
                p.setPen(QPen(Qt::black, 1));
                for (int up = 0; up < 2; ++up) {
                    const QPoint pts[3] = {QPoint(mx - 3, my - 1 - up), QPoint(mx - 1, my + 1 - up),
                                           QPoint(mx + 4, my - 4 - up)};
                    p.drawPolyline(pts, 3);
                }
            }
        }
        if (image != nullptr)
            p.drawPixmap(x0, y0, *image);
    }
    p.restore();
}
