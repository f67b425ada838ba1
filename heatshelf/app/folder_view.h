// CFolderView: the form base of the image view (template 130). Its scroll
// bars are the main frame's skin bars: GetScrollBarCtrl asks the frame.
#pragma once

#include <QWidget>

class CSkinScrollBar;

namespace heatshelf {

class CFolderView : public QWidget {
    Q_OBJECT
public:
    explicit CFolderView(QWidget* parent = nullptr);

    // The frame's skin bar for bar 0 (horizontal) or 1 (vertical); null
    // when the view is not in a frame.
    CSkinScrollBar* GetScrollBarCtrl(int bar) const;
};

} // namespace heatshelf
