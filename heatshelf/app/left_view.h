// CLeftView: the left pane, the folder tree on the theme's base shade with
// skin scroll bars. Choosing a folder stores it as the current folder and
// tells the image view to show its first file, re-laid out.
#pragma once

#include "shell_tree_ctrl.h"

#include <QWidget>

#include <functional>

namespace heatshelf {

class Theme;

class CLeftView : public QWidget {
    Q_OBJECT
public:
    // step: where "first file, forced" goes (the image view's message 2024
    // with 0, 1); may be empty while no image view exists.
    CLeftView(const Theme& theme, QWidget* parent = nullptr);

    void SetStepTarget(std::function<void(int what, bool force)> step) { m_step = std::move(step); }
    CShellTreeCtrl* Tree() const { return m_tree; }
    // New skin bitmap for the bars, base shade behind tree and icons.
    void ApplyTheme();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void onFolder(const QString& path);

    const Theme& m_theme;
    CShellTreeCtrl* m_tree;
    std::function<void(int, bool)> m_step;
};

} // namespace heatshelf
