// CSplitFrame: the child frame of one open report. It is always maximised
// in the main frame's MDI area, carries its own two scroll bars beside the
// view and forwards their scrolling to the view, routes commands to the
// view and its document, and tells the main frame about its pages when it
// gets the focus.
#pragma once

#include "skin/cmd_target.h"
#include "frame_view.h"
#include "skin/my_splitter.h"

#include <QMdiSubWindow>
#include <QPointer>

class CMainFrame;
class CSkinScrollBar;
class CSkinScrollCorner;
namespace skin {
class CaptionBar;
}
class QWidget;

class CSplitFrame : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    // Takes ownership of the view.
    explicit CSplitFrame(CFrameView* view, QWidget* parent = nullptr);

    CFrameView* GetActiveView() const { return m_view; }

    // 0 the horizontal bar (id 59904), 1 the vertical bar (59905), else null.
    CSkinScrollBar* GetScrollBar(int which) const;
    void ShowScrollBars(bool show);
    // Sets a bar the way the view measures it: range min..max with a page
    // of page units (a bar is enabled, and shown, only while max - min + 1
    // exceeds the page).
    void SetScrollInfo(int which, int min, int max, int page, int pos);
    bool IsScrollBarEnabled(int which) const;

    // Activation: a frame that is not maximised is maximised.
    void ActivateFrame();

    bool OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) override;

    // The main frame's caption follows this one.
    bool IsCaptionActive() const { return m_captionActive; }
    // The frame's own caption, shown while it is not maximised.
    skin::CaptionBar* GetCaption() const { return m_caption; }

    // Minimised, the frame is a caption bar this wide.
    static constexpr int kMinimizedWidth = 160;
    QSize minimumSizeHint() const override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void onBarCode(Qt::Orientation orientation, int code, int position);
    void onCaptionButton(int button);
    void layoutBars();
    CMainFrame* mainFrame() const;

    QPointer<CFrameView> m_view;
    CMySplitter m_splitter{Qt::Horizontal}; // made with the frame, never shown
    CSkinScrollBar* m_hBar;
    CSkinScrollBar* m_vBar;
    CSkinScrollCorner* m_corner;
    skin::CaptionBar* m_caption;
    QWidget* m_client;
    bool m_captionActive = true;
    bool m_barsShown = true;
};
