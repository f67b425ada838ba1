#include "skin/icon_menu.h"

#include "skin/skin_resources.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

int CIconMenu::LoadMenu(QWidget* menu, int toolBarId, int imageWidth, int imageHeight)
{
    if (menu == nullptr)
        return 0;
    m_menu = menu;
    m_imageSize = QSize(imageWidth, imageHeight);
    LoadToolBarImages(toolBarId, imageWidth, imageHeight);
    for (QAction* item : menu->actions()) {
        if (item->menu() != nullptr)
            ConvertMenu(item->menu());
    }
    return 1;
}

int CIconMenu::LoadToolBarImages(int toolBarId, int, int)
{
    const skin::ToolBarResource* res = skin::FindToolBar(toolBarId);
    if (res == nullptr)
        return -1;
    int n = 0;
    for (int command : res->commands) {
        if (command == skin::kSeparator)
            continue;
        if (QAction* action = skin::CommandAction(command); action != nullptr && !action->icon().isNull()) {
            m_images[command] = action->icon();
            ++n;
        }
    }
    return n;
}

void CIconMenu::ConvertMenu(QMenu* popup)
{
    if (popup == nullptr)
        return;
    for (QAction* item : popup->actions()) {
        if (item->menu() != nullptr) {
            ConvertMenu(item->menu());
            continue;
        }
        bool ok = false;
        const int id = item->data().toInt(&ok);
        const auto it = m_images.find(id);
        if (ok && it != m_images.end() && item->icon().isNull())
            item->setIcon(it->second);
    }
}
