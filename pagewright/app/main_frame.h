// CMainFrame: the report designer's top-level window. It holds the MDI area
// with the report frames, the seven toolbars and the status bar, keeps the
// page and file combos in step with the active report, saves and restores
// the toolbar layout, and routes every command by its numeric id: to the
// active report frame (its view, then its document, then the frame), then
// to itself, then to the application.
#pragma once

#include "skin/cmd_target.h"
#include "skin/icon_menu.h"

namespace skin {
class CaptionBar;
}
class CChildButtons;
class CMdiWindowList;

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <vector>

class CDI_RptApp;
class CColorStatusBar;
class CSplitFrame;
class CTextFormatBar;
class CToolBarEx;
class QComboBox;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;

class CMainFrame : public QMainWindow, public CCmdTarget {
    Q_OBJECT
public:
    explicit CMainFrame(CDI_RptApp& app);
    ~CMainFrame() override;

    // Creates the bars, status bar, menus and MDI area; false when the
    // status bar cannot be made.
    bool LoadFrame(int resourceId);

    // The action of a command (shared by menus and toolbars), made on first
    // use; its data is the command id.
    QAction* GetCommandAction(int id);
    // The same, named as a menu item names it (text, "\t", accelerator)
    // when no menu has named it before.
    QAction* GetMenuAction(int id, const QString& text);
    // Runs a command as a menu or button would.
    void ExecuteCommand(int id);
    // Runs every update handler: enables, checks and pane texts.
    void UpdateCommandUI();
    bool RouteCmdMsg(int id, CmdMode mode, CCmdUI* ui);
    bool OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) override;

    // Bars by control id (59392, 32819, 32822, 34006, 210, 34034, 32837).
    CToolBarEx* GetControlBar(int id) const;
    std::vector<CToolBarEx*> GetToolBars() const { return m_bars; }
    CColorStatusBar* GetStatusBar() const { return m_statusBar; }
    QMdiArea* GetMdiClient() const { return m_mdi; }
    // The open reports' part of the Window menu.
    CMdiWindowList* GetWindowList() const { return m_windowList; }

    // Report frames.
    void AddChildFrame(CSplitFrame* frame);
    // The report in front: the active report frame unless it is minimised
    // (a minimised report is a caption the commands do not reach).
    CSplitFrame* MDIGetActive() const;

    // Page combo of the page bar and file combo of the play bar.
    QComboBox* GetPageCombo() const;
    QComboBox* GetFileCombo() const;
    void FillPageCombo(int n);
    void SelectPageCombo(int i);
    void FillPageTitles(int count, int current);
    // The object whose files the play bar's list shows (null: the list is
    // empty); the report in front refills the list when its own selected
    // image is another.
    const void* GetFileComboOwner() const { return m_fileComboOwner; }
    void SetFileComboOwner(const void* owner) { m_fileComboOwner = owner; }
    // The list was refilled by someone (an image selected in any report):
    // whose files it shows is not known, the report in front fills it anew.
    void ForgetFileComboOwner() { m_fileComboOwner = this; }
    int GetCurrentPage() const { return m_currentPage; }

    // Menu images from the toolbars: shared, the report menu's pop-ups (the
    // menu bar shows them while a report is open), else the frame's menu.
    bool LoadMenuImages(QWidget* menu, bool shared);
    void SetCaptionActive(bool active) { m_captionActive = active; }
    bool IsCaptionActive() const { return m_captionActive; }

    // COLORREF of colour button 32981 or 32982 (or 114), -1 when none.
    long GetColorButton(int id) const;
    CTextFormatBar* GetFormatBar() const { return m_formatBar; }

    // The skin colours again (colour style commands).
    void ApplySkin();

    // The skinned caption, and a maximised report's buttons in the menu bar.
    skin::CaptionBar* GetCaption() const { return m_caption; }
    CChildButtons* GetChildButtons() const { return m_childButtons; }
    // Shows the report's buttons while the active report is maximised.
    void UpdateChildButtons();

    // Toolbar layout in the settings section name ("ControlBarStates").
    void SaveBarState(const QString& section);
    void LoadBarState(const QString& section);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void createBars();
    void buildMenus();
    void showMenus(bool shared);
    void onChildActivated(QMdiSubWindow* window);
    // A report minimised hands the front to the next shown report (none
    // left: no report is active); one restored comes to the front.
    void onChildStateChanged(CSplitFrame* frame, Qt::WindowStates before, Qt::WindowStates now);
    // Whether the report menus stay: some report is open, even minimised.
    bool hasReports() const;
    void toggleBar(int id);
    void onUpdatePageCombo(CCmdUI& ui);
    // The recent-file entries 2 to 4 of a File menu, after the first.
    void addRecentFileEntries(QMenu* menu);
    void onUpdateRecentFile(CCmdUI& ui);
    void onCaptionButton(int button);
    void onChildButton(int button);
    void repaintCaption();

    CDI_RptApp& m_app;
    int m_currentPage = 0;
    const void* m_fileComboOwner = nullptr;
    bool m_captionActive = false;
    QMdiArea* m_mdi = nullptr;
    CColorStatusBar* m_statusBar = nullptr;
    std::vector<CToolBarEx*> m_bars;
    CTextFormatBar* m_formatBar = nullptr;
    QHash<int, QAction*> m_actions;
    std::vector<QMenu*> m_frameMenus;  // resource 1: no report open
    std::vector<QMenu*> m_sharedMenus; // resource 2: with a report
    bool m_sharedShown = false;
    CIconMenu m_sharedIconMenu;
    CIconMenu m_frameIconMenu;
    QTimer* m_idleTimer = nullptr;
    skin::CaptionBar* m_caption = nullptr;
    CChildButtons* m_childButtons = nullptr;
    CMdiWindowList* m_windowList = nullptr;
};
