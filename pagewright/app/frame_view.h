// CFrameView: what the frames need of the report view that a child frame
// holds. The report view derives from it; the frames route commands to it
// and its document, forward the child frame's scroll bars to it, and ask it
// for its pages.
#pragma once

#include "skin/cmd_target.h"
#include "skin/format_bar_receiver.h"
#include "skin/scroll_codes.h" // the codes the view receives from the frame's bars

#include <QWidget>

class CFrameView : public QWidget, public CCmdTarget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The view's document, which gets the commands the view leaves.
    virtual CCmdTarget* GetDocumentTarget() { return nullptr; }

    // A scroll bar of the child frame moved: code (SB_...) and position.
    virtual void OnScroll(Qt::Orientation, int /*code*/, int /*position*/) {}

    virtual void ClearSelection() {}
    virtual int GetPageCount() const { return 0; }
    virtual int GetCurrentPage() const { return 0; }
    virtual QString GetPageTitle(int /*page*/) const { return {}; }

    // The units changed (Units command): redraw, recompute temperatures.
    virtual void OnUnitsChanged() { update(); }
    // The printer changed (print setup): take the page size again.
    virtual void OnPrinterChanged() {}
    // The frame is closing: false keeps it open (the user cancelled saving).
    virtual bool CanCloseFrame() { return true; }
    // Who answers the format bar while this view is in front (null: none).
    virtual FormatBarReceiver* GetFormatBarReceiver() { return nullptr; }

    bool OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) override
    {
        if (DispatchOwn(id, mode, ui))
            return true;
        CCmdTarget* doc = GetDocumentTarget();
        return doc != nullptr && doc->OnCmdMsg(id, mode, ui);
    }
};
