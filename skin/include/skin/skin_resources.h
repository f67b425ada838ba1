// What the skinned controls take from the program that uses them: its
// toolbar resources (buttons by command id, and the image strip the program
// draws for them), its commands as actions, and its popup menus by
// resource id.
#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace skin {

inline constexpr int kSeparator = 0;

struct ToolBarResource {
    int id = 0;
    // The toolbar record: version, the width and height of a button image,
    // and one command id per button (count = commands.size()), kSeparator
    // between groups. The bar itself measures its images on the strip.
    std::uint16_t version = 1;
    std::uint16_t width = 16;
    std::uint16_t height = 15;
    std::vector<int> commands;
    // The image strip: one image per non-separator button, left to right,
    // one pixel higher than the images. Pixels (0, 0) and (1, 1) are
    // background: the toolbars leave out the colour of (0, 0), menus that
    // of (1, 1); a strip with an alpha channel shows through where it is
    // transparent. Sizes are in the strip's device-independent pixels (its
    // devicePixelRatio).
    QImage bitmap;

    int count() const { return int(commands.size()); }
    QSize imageSize() const { return {width, height}; }
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
