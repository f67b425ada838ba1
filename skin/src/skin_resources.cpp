#include "skin/skin_resources.h"

#include <map>

namespace skin {

namespace {

std::map<int, ToolBarResource>& toolBars()
{
    static std::map<int, ToolBarResource> bars;
    return bars;
}

std::function<QAction*(int)>& actionProvider()
{
    static std::function<QAction*(int)> provider;
    return provider;
}

std::function<QMenu*(int, QWidget*)>& menuProvider()
{
    static std::function<QMenu*(int, QWidget*)> provider;
    return provider;
}

} // namespace

void RegisterToolBar(const ToolBarResource& resource) { toolBars()[resource.id] = resource; }

const ToolBarResource* FindToolBar(int id)
{
    const auto it = toolBars().find(id);
    return it == toolBars().end() ? nullptr : &it->second;
}

void SetCommandActionProvider(std::function<QAction*(int)> provider) { actionProvider() = std::move(provider); }

QAction* CommandAction(int commandId) { return actionProvider() ? actionProvider()(commandId) : nullptr; }

void SetPopupMenuProvider(std::function<QMenu*(int, QWidget*)> provider) { menuProvider() = std::move(provider); }

QMenu* PopupMenu(int menuId, QWidget* parent) { return menuProvider() ? menuProvider()(menuId, parent) : nullptr; }

} // namespace skin
