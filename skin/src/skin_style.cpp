#include "skin/skin_style.h"

#include "skin/colors.h"
#include "skin/icon_menu.h"
#include "skin/skin_colors.h"
#include "skin/tool_bar_ex.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QToolButton>

namespace skin {

namespace {

bool g_menuBorder = false;

// The identifier of a list's item drawn as a menu item: no command, no image,
// neither a separator nor a bar item.
constexpr int kListItemId = -3;

const CIconMenu& menuOf(const QWidget* widget)
{
    const CIconMenu* m = CIconMenu::ForWidget(widget);
    return m != nullptr ? *m : CIconMenu::Plain();
}

// The record of the item a menu option paints: the converted record (with
// the option's text) when there is one, else one made from the option.
IconMenuItem itemOf(const QStyleOptionMenuItem& opt, const QWidget* widget, bool bar)
{
    IconMenuItem item;
    item.text = opt.text.section(QLatin1Char('\t'), 0, 0);
    if (opt.menuItemType == QStyleOptionMenuItem::Separator) {
        item.id = CIconMenu::kSeparatorId;
        return item;
    }
    if (bar) {
        item.id = CIconMenu::kBarPopupId;
        return item;
    }
    if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
        if (const QAction* a = menu->actionAt(opt.rect.center())) {
            if (const IconMenuItem* rec = menuOf(widget).FindItem(a)) {
                // The text as it is now: update handlers rename items (the
                // recent files) after the menu was converted.
                IconMenuItem converted = *rec;
                converted.text = item.text;
                return converted;
            }
            item.id = a->menu() != nullptr ? CIconMenu::kNestedPopupId : a->data().toInt();
        }
        return item;
    }
    // A list drawn as menu items (a combo box's popup): its items carry no
    // command, and an identifier of 0 would draw each as a separator.
    item.id = kListItemId;
    return item;
}

const CToolBarEx* barOf(const QWidget* widget)
{
    return widget != nullptr ? qobject_cast<const CToolBarEx*>(widget->parentWidget()) : nullptr;
}

} // namespace

SkinStyle::SkinStyle(const SkinState* skin) : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), m_skin(skin)
{
}

void SkinStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const
{
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (m_skin && mi != nullptr && (element == CE_MenuItem || element == CE_MenuBarItem)) {
        const bool bar = element == CE_MenuBarItem;
        MenuItemPaint d;
        d.rect = mi->rect;
        d.item = itemOf(*mi, widget, bar);
        d.grayed = !(mi->state & State_Enabled);
        d.checked = mi->checked && mi->checkType != QStyleOptionMenuItem::NotCheckable;
        d.hasSubMenu = mi->menuItemType == QStyleOptionMenuItem::SubMenu;
        d.shortcut = mi->text.section(QLatin1Char('\t'), 1);
        if (bar) {
            d.selected = (mi->state & State_Selected) && (mi->state & State_Sunken);
            d.hot = (mi->state & State_Selected) && !(mi->state & State_Sunken);
        } else {
            d.selected = (mi->state & State_Selected) && !d.grayed;
        }
        menuOf(widget).DrawItem(*painter, d, *m_skin);
        return;
    }
    if (m_skin && element == CE_MenuBarEmptyArea) {
        painter->fillRect(option->rect, ToQColor(m_skin->m_clrSkinMid));
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void SkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const
{
    if (m_skin && element == PE_FrameMenu && g_menuBorder) {
        painter->save();
        painter->setPen(ToQColor(m_skin->m_clrSkinBase));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    if (m_skin && element == PE_PanelMenu) {
        painter->fillRect(option->rect, ToQColor(m_skin->m_clrSkinLight));
        if (g_menuBorder)
            drawPrimitive(PE_FrameMenu, option, painter, widget);
        return;
    }
    if (const auto* bar = qobject_cast<const CToolBarEx*>(widget)) {
        if (element == PE_PanelToolBar) {
            bar->PaintBackground(*painter, option->rect);
            return;
        }
        if (element == PE_IndicatorToolBarHandle) {
            bar->PaintGripper(*painter);
            return;
        }
    }
    if (element == PE_IndicatorToolBarSeparator) {
        if (const CToolBarEx* bar = barOf(widget)) {
            bar->PaintSeparator(*painter, option->rect);
            return;
        }
    }
    if (m_skin && element == PE_PanelMenuBar) {
        painter->fillRect(option->rect, ToQColor(m_skin->m_clrSkinMid));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize SkinStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                  const QWidget* widget) const
{
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (m_skin && mi != nullptr && (type == CT_MenuItem || type == CT_MenuBarItem)) {
        const bool bar = type == CT_MenuBarItem;
        IconMenuItem item;
        item.text = mi->text.section(QLatin1Char('\t'), 0, 0);
        item.id = mi->menuItemType == QStyleOptionMenuItem::Separator ? CIconMenu::kSeparatorId
                  : bar                                                 ? CIconMenu::kBarPopupId
                                                                        : 1;
        QSize s = menuOf(widget).MeasureItem(item, bar ? QString() : mi->text.section(QLatin1Char('\t'), 1));
        // Owner-drawn items get the width of a check mark on top of what
        // they measure, as the desktop adds it.
        if (item.id != CIconMenu::kSeparatorId)
            s.rwidth() += 12;
        if (bar)
            s.setHeight(22);
        return s;
    }
    if (type == CT_ToolButton) {
        if (const CToolBarEx* bar = barOf(widget))
            return bar->ButtonSizeHint(qobject_cast<const QToolButton*>(widget));
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void SkinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                   const QWidget* widget) const
{
    if (control == CC_ToolButton) {
        if (const CToolBarEx* bar = barOf(widget)) {
            bar->PaintButton(*painter, qobject_cast<const QToolButton*>(widget));
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

int SkinStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (qobject_cast<const CToolBarEx*>(widget) != nullptr) {
        switch (metric) {
        case PM_ToolBarHandleExtent: return 10; // the 8-pixel gripper inside the border
        case PM_ToolBarFrameWidth: return 2;
        case PM_ToolBarItemMargin:
        case PM_ToolBarItemSpacing: return 0;
        case PM_ToolBarSeparatorExtent: return 8;
        default: break;
        }
    }
    if (m_skin) {
        switch (metric) {
        case PM_MenuPanelWidth: return g_menuBorder ? 1 : QProxyStyle::pixelMetric(metric, option, widget);
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuBarPanelWidth:
        case PM_MenuBarItemSpacing:
        case PM_MenuBarVMargin:
        case PM_MenuBarHMargin:
        case PM_MenuDesktopFrameWidth: return 0;
        default: break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int SkinStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                         QStyleHintReturn* returnData) const
{
    // A maximised report keeps its buttons out of the menu bar: the frame
    // draws its own there.
    if (hint == SH_Workspace_FillSpaceOnMaximize)
        return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int InstallMenuBorderHook()
{
    g_menuBorder = true;
    return 1;
}

int RemoveMenuBorderHook()
{
    g_menuBorder = false;
    return 1;
}

bool MenuBorderInstalled() { return g_menuBorder; }

} // namespace skin
