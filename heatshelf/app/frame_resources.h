// The browser's code-built resources: toolbar 128 (ten 16 x 15 images from
// the commands' icons), the theme items' images (toolbar 149, their
// colours), menus 128 and 139, and the program icon.
#pragma once

#include <QIcon>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace heatshelf {

// Registers toolbars 128 and 149 with the skinned controls (once).
void RegisterFrameToolBars();
// The program icon (icon 128).
QIcon ProgramIcon();
// Fills a menu bar with menu 128; actions come from action(id, text).
void BuildMainMenu(QMenuBar* bar, const std::function<QAction*(int, const QString&)>& action);
// The image view's context menu (139).
QMenu* BuildImageMenu(QWidget* parent, const std::function<QAction*(int, const QString&)>& action);

} // namespace heatshelf
