// The main frame's toolbar and menu resources, by their ids.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;

// Registers the toolbar resources with the skinned toolbars (once).
void RegisterFrameToolBars();

struct MenuItem {
    int id = 0;              // 0 separator, -1 popup
    const char* text = "";   // with its "&" mnemonic and "\t" accelerator
    std::vector<MenuItem> items;
};

// The popups of menu resource 1 (frame), 2 (report), 323 (line widths),
// 324 (arrowheads) or 110 (the view's context menus, by the object's
// GetPopupMenuIndex); empty for an unknown id.
const std::vector<MenuItem>& MenuResource(int id);

// Fills menu with items; action(id, text) gives the action of a command.
void BuildMenu(QMenu* menu, const std::vector<MenuItem>& items,
               const std::function<QAction*(int id, const QString& text)>& action);
