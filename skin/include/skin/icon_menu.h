// CIconMenu: menus with the images of the toolbars beside their items.
#pragma once

#include <QIcon>
#include <QSize>

#include <map>

class QMenu;
class QMenuBar;
class QWidget;

class CIconMenu {
public:
    // Attaches the menu (a menu bar or a popup) and adds the images of a
    // toolbar resource. Non-zero on success.
    int LoadMenu(QWidget* menu, int toolBarId, int imageWidth, int imageHeight);
    // Adds the images of another toolbar resource, by command id.
    int LoadToolBarImages(int toolBarId, int imageWidth, int imageHeight);
    // Gives the items of a popup (and its sub-menus) their images.
    void ConvertMenu(QMenu* popup);

    QWidget* GetMenu() const { return m_menu; }
    bool HasImage(int commandId) const { return m_images.count(commandId) != 0; }

private:
    QWidget* m_menu = nullptr;
    QSize m_imageSize{16, 15};
    std::map<int, QIcon> m_images;
};
