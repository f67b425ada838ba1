// CMainFrame: the browser's one top-level window. A frameless main window
// painting its own caption (gloss band, icon, title, close, maximise or
// restore and minimise buttons, dark outline) and menu bar in the theme;
// toolbar 0xE800, status bar 0xE801, a 1 x 2 splitter with the folder tree
// left and the image view right, and two skin scroll bars laid over the
// right pane (0xEA00 always disabled, 0xEA01 scrolling the thumbnail grid).
// Commands 1004..1012 become steps of the image view through
// IImageViewState; 32776 shows or hides the folder pane.
#pragma once

#include "view_state.h"

#include "skin/caption.h"
#include "skin/cmd_target.h"
#include "skin/icon_menu.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>

#include <functional>

class CColorStatusBar;
class CMySplitter;
class CSkinScrollBar;
class CToolBarEx;
class QAction;

namespace heatshelf {

class CLeftView;
class Theme;

class CMainFrame : public QMainWindow, public CCmdTarget {
    Q_OBJECT
public:
    using ViewFactory = std::function<IImageViewState*(QWidget* parent)>;

    // makeView builds the right pane (the image view); without one the
    // pane is an empty form.
    explicit CMainFrame(Theme& theme, ViewFactory makeView = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Bars, splitter, panes and menus; false when a part cannot be made.
    bool Create();

    IImageViewState* GetRightView() const { return m_rightView; }
    CLeftView* GetLeftView() const { return m_leftView; }
    CSkinScrollBar* GetSkinScrollBar(int bar) const;
    CToolBarEx* ToolBar() const { return m_toolBar; }
    CColorStatusBar* StatusBarCtrl() const { return m_statusBar; }
    CMySplitter* Splitter() const { return m_splitter; }
    CIconMenu& IconMenu() { return m_menu; }
    // The icon menu over the menu bar, with the images of toolbars 128 and
    // 149.
    bool InitMenuImages();

    void ShowSkinScrollBars(bool show);
    // Re-places the right pane and the vertical skin bar.
    void RecalcPaneLayout();
    // What the 500 ms timer does.
    void OnTimer();

    // Runs a command / its update handler through the frame, then the
    // application's handlers given by SetFallback.
    bool RunCommand(int id);
    CCmdUI QueryCommand(int id);
    void UpdateCommandUI();
    void SetFallback(CCmdTarget* target) { m_fallback = target; }
    bool OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) override;
    QAction* Action(int id) const { return m_actions.value(id); }
    // The recent-file items of the File menu: one per text, or one
    // disabled "最近文件" for an empty list.
    void SetRecentFiles(const QStringList& menuTexts);

    bool IsFolderPaneShown() const { return m_bFolderPaneShown; }
    // The folder tree follows the folder of the file shown, whatever
    // brought it there (the tree, File > Open, a recent file).
    void FollowFolder(const QString& folder);
    // The message pane's idle text (string 57345) again; called at every
    // action of the user (a key, a button, the wheel, a command). A
    // command's prompt shown while the pointer rests on a button is not an
    // action: the message said by the click before shows again after it.
    void ShowIdleMessage();
    int FolderPaneWidth() const;

    // Scroll codes of the skin bars (the vertical bar's position is kept
    // here).
    void OnVScroll(int code, int position);
    void OnHScroll(int code, int position);

    // A theme change: status bar, toolbar, skin bars, views and caption.
    void ApplyTheme();

    // Caption buttons (window coordinates), after the first paint or
    // resize.
    const skin::CaptionButtons& CaptionButtons() const { return m_buttons; }
    int CaptionHeight() const;
    // Paints caption band, frame borders, buttons, icon, title and outline.
    void PaintNonClient(QPainter& p);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void setupCommands();
    QAction* action(int id, const QString& text);
    void layoutCaptionButtons();
    void placeVScroll();
    void runCaptionButton(skin::CaptionButton b);

    Theme& m_theme;
    ViewFactory m_makeView;
    CCmdTarget* m_fallback = nullptr;
    CMySplitter* m_splitter = nullptr;
    bool m_bFolderPaneShown = true;
    CSkinScrollBar* m_wndHScroll = nullptr;
    CSkinScrollBar* m_wndVScroll = nullptr;
    CColorStatusBar* m_statusBar = nullptr;
    CToolBarEx* m_toolBar = nullptr;
    CIconMenu m_menu;
    QWidget* m_client = nullptr;
    CLeftView* m_leftView = nullptr;
    IImageViewState* m_rightView = nullptr;
    QTimer m_timer;
    QTimer m_idle;
    QHash<int, QAction*> m_actions;
    skin::CaptionButtons m_buttons;
};

} // namespace heatshelf
