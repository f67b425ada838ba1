// CIconMenu: a menu (a menu bar with its pop-ups, or one pop-up) drawn in
// the skin colours: command items show the image that a toolbar gives the
// same command id, checked items a framed box, menu-bar items a hot and a
// pressed look. The skin style (skin_style.h) measures and draws every
// item through it; a converted menu keeps a link to its CIconMenu.
#pragma once

#include "platform/colorref.h"

#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QPainter;
class QWidget;

namespace skin {
class SkinState;
}

// The record of one converted item: its text and its id (the command id;
// 0 a separator; -2 a pop-up of the menu bar; -1 a nested pop-up).
struct IconMenuItem {
    QString text;
    int id = 0;
};

// One item to draw: where, which, and in what state.
struct MenuItemPaint {
    QRect rect;
    IconMenuItem item;
    bool selected = false; // highlighted; for a menu-bar item: its pop-up is open
    bool hot = false;      // a menu-bar item under the mouse
    bool grayed = false;
    bool checked = false;
    bool hasSubMenu = false;
    QString shortcut;
};

class CIconMenu {
public:
    static constexpr int kSeparatorId = 0;
    static constexpr int kBarPopupId = -2;
    static constexpr int kNestedPopupId = -1;

    CIconMenu();
    ~CIconMenu();
    CIconMenu(const CIconMenu&) = delete;
    CIconMenu& operator=(const CIconMenu&) = delete;

    // Frees the old records, attaches the menu (a QMenuBar or QMenu),
    // converts it and loads the toolbar's images. Returns 1.
    int LoadMenu(QWidget* menu, int toolBarId, int cx, int cy);
    // Records every item of the menu and its sub-menus; false at once when
    // reserved is not null.
    bool ConvertMenu(QWidget* menu, bool topLevel, const void* reserved = nullptr);
    // Adds the images of another toolbar by command id; what
    // LoadToolBarImageList returned.
    int LoadToolBarImages(int toolBarId, int cx, int cy);
    // Cuts the toolbar's strip into images of cx x cy (pixel (1, 1) is the
    // colour left out) and lists the command id of each image; the number
    // of ids, or -1 on any failure.
    static int LoadToolBarImageList(int toolBarId, int cx, int cy, std::vector<QPixmap>* images,
                                    std::vector<int>* ids);
    int FindImageIndex(int commandId) const;
    void FreeItems();

    // The menus' two-colour fill: per column (horizontal) or per row, each
    // channel from + i * (to - from) / n, truncated.
    static void DrawGradientBar(QPainter* dc, const QRect& r, COLORREF from, COLORREF to, bool horizontal);

    QSize MeasureItem(const IconMenuItem& item, const QString& shortcut = {}) const;
    void DrawItem(QPainter& p, const MenuItemPaint& paint, const skin::SkinState& skin) const;

    // The record of an action of a converted menu, or null.
    const IconMenuItem* FindItem(const QAction* action) const;
    // The item of an action takes the action's text again (an item whose
    // text changes after the menu was converted, a recent file).
    void UpdateItemText(const QAction* action);
    // The CIconMenu a menu widget was converted by, or null.
    static const CIconMenu* ForWidget(const QWidget* menu);
    // Draws unconverted menus (context menus, drop-downs).
    static const CIconMenu& Plain();

    QWidget* GetMenu() const { return m_menu; }
    void SetImageSize(int cx, int cy)
    {
        m_imageWidth = cx;
        m_imageHeight = cy;
    }
    int GetImageCount() const { return int(m_images.size()); }
    const QPixmap* GetImage(int index) const;
    std::vector<IconMenuItem> GetItems() const;

private:
    struct Record {
        QPointer<QAction> action;
        IconMenuItem item;
    };

    std::vector<int> m_imageIds;
    std::vector<Record> m_items;
    int m_barItemHeight = 22;
    int m_minWidth = 50;
    int m_separatorHeight = 5;
    int m_margin = 0;
    int m_extraBand = 0;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    std::vector<QPixmap> m_images;
    QPointer<QWidget> m_menu;
    std::vector<QPointer<QWidget>> m_linked;
};
