#include "folder_view.h"

#include "main_frame.h"

#include "resource_ids.h"

namespace heatshelf {

CFolderView::CFolderView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QString::number(res::IDD_FOLDER_FORM));
}

CSkinScrollBar* CFolderView::GetScrollBarCtrl(int bar) const
{
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CMainFrame*>(w))
            return frame->GetSkinScrollBar(bar);
    }
    return nullptr;
}

} // namespace heatshelf
