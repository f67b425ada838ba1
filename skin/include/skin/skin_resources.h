// What the skinned controls take from the program that uses them: its
// toolbar resources (buttons by command id, and the image strip the program
// draws for them), its commands as actions, and its popup menus by
// resource id.
#pragma once

#include <QImage>
#include <QSize>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace skin {

inline constexpr int kSeparator = 0;

struct ToolBarResource {
    int id = 0;
    QSize imageSize{16, 15};
    std::vector<int> commands; // kSeparator between groups
    // One image per non-separator button, left to right, imageSize each;
    // one pixel higher than the images. Pixels (0, 0) and (1, 1) are
    // background, and pixel (1, 1) is the colour that menus leave out.
    QImage bitmap;
};

void RegisterToolBar(const ToolBarResource& resource);
const ToolBarResource* FindToolBar(int id);

// The action of a command id (shared by menus and toolbars).
void SetCommandActionProvider(std::function<QAction*(int commandId)> provider);
QAction* CommandAction(int commandId);

// A popup menu built from a menu resource, owned by parent.
void SetPopupMenuProvider(std::function<QMenu*(int menuId, QWidget* parent)> provider);
QMenu* PopupMenu(int menuId, QWidget* parent);

} // namespace skin
