// CDI_RptView: the infrared commands. Palettes and the range dialog's
// signal, the image commands 32840-32868 routed to the image object, the
// frame commands of the play bar, the list orders and the playback timers
// that step through an image's picture folder.
#include "rpt_view.h"

#include "main_frame.h"
#include "resource_ids.h"
#include "rpt_app.h"
#include "split_frame.h"

#include "document/draw_tool.h"
#include "document/rpt_doc.h"

#include "irimage/draw_ir.h"

#include <QTimer>

namespace {

constexpr int kIRFirst = 32840;
constexpr int kIRLast = 32868;
constexpr int kNextPalette = 32799;
constexpr int kPreviousPalette = 32798;
constexpr int kNoAction = 32809;
constexpr int kRerender = 32864;

constexpr int kFirstFrame = 34009;
constexpr int kRewind = 34010;
constexpr int kPreviousFrame = 34011;
constexpr int kStop = 34012;
constexpr int kPlay = 34013;
constexpr int kNextFrame = 34014;
constexpr int kFastForward = 34015;
constexpr int kLastFrame = 34016;
constexpr int kDeleteFrame = 34017;
constexpr int kAddFrames = 34018;
constexpr int kFileCombo = 34019;

struct OrderCommand {
    int id;
    int mode;
};
constexpr OrderCommand kOrderCommands[] = {{32838, 0}, {32839, 1}, {34037, 2}, {34038, 3}};

// Commands that only switch the analysis tool's sub-mode, and their modes.
struct ModeCommand {
    int id;
    int mode;
};
constexpr ModeCommand kModeCommands[] = {{32842, kModePointAnalysis}, {32855, kModeSpotReadout},
                                         {32843, kModeLineAnalysis},  {32844, kModeAreaAnalysis},
                                         {32851, kModeEllipseAnalysis}, {32845, kModeIsothermMark},
                                         {32865, kModeScaleIsotherm}};

bool IsModeCommand(int id)
{
    for (const ModeCommand& m : kModeCommands) {
        if (m.id == id)
            return true;
    }
    return false;
}

constexpr int kTimerPeriods[CDI_RptView::kPlayTimers] = {160, 40, 40};

} // namespace

CDrawIR* CDI_RptView::SelectedImageObject() const
{
    const std::vector<CDrawObj*>& selection = GetSelection();
    return selection.size() == 1 ? dynamic_cast<CDrawIR*>(selection.front()) : nullptr;
}

CDrawIR* CDI_RptView::SelectedImage() const
{
    CDrawIR* ir = SelectedImageObject();
    return ir != nullptr && ir->HasImage() ? ir : nullptr;
}

void CDI_RptView::SetupIRCommands()
{
    for (int k = 0; k < kPlayTimers; ++k) {
        m_playTimers[k] = new QTimer(this);
        m_playTimers[k]->setInterval(kTimerPeriods[k]);
        connect(m_playTimers[k], &QTimer::timeout, this, [this, k] { OnPlayTimer(k + 1); });
    }
    const auto oneImage = [this](CCmdUI& ui) { ui.Enable(SelectedImage() != nullptr); };

    CCmdTarget::OnCommand(kNextPalette, [this](int) {
        if (CDrawIR* ir = FirstSelectedIR())
            ir->DoCommand(512, QString(), 0);
    });
    CCmdTarget::OnCommand(kPreviousPalette, [this](int) {
        if (CDrawIR* ir = FirstSelectedIR())
            ir->DoCommand(768, QString(), 0);
    });
    CCmdTarget::OnCommand(kNoAction, [](int) {});
    for (int id : {kNextPalette, kPreviousPalette, kNoAction})
        CCmdTarget::OnUpdate(id, oneImage);

    CCmdTarget::OnCommandRange(kIRFirst, kIRLast, [this](int id) { OnIRObjectCommand(id); });
    CCmdTarget::OnUpdateRange(kIRFirst, kIRLast, [this](CCmdUI& ui) { OnUpdateIRCommand(ui); });

    for (int id = kFirstFrame; id <= kFileCombo; ++id) {
        CCmdTarget::OnCommand(id, [this](int cmd) { OnFrameCommand(cmd); });
        CCmdTarget::OnUpdate(id, [this](CCmdUI& ui) { OnUpdateFrameCommand(ui); });
    }
    for (const OrderCommand& order : kOrderCommands) {
        CCmdTarget::OnCommand(order.id, [this, mode = order.mode](int) {
            CDrawIR* ir = FirstSelectedIR();
            if (ir == nullptr)
                return;
            ir->SetSortMode(mode);
            ir->BuildFileList();
        });
        CCmdTarget::OnUpdate(order.id, [this, mode = order.mode](CCmdUI& ui) {
            ui.Enable(GetSelection().size() == 1);
            CDrawIR* ir = SelectedImageObject();
            ui.SetRadio(ir != nullptr && ir->SortMode() == mode);
        });
    }
}

CDrawIR* CDI_RptView::FirstSelectedIR() const
{
    const std::vector<CDrawObj*>& selection = GetSelection();
    return selection.empty() ? nullptr : dynamic_cast<CDrawIR*>(selection.front());
}

void CDI_RptView::OnIRObjectCommand(int id)
{
    m_bAppendFrames = false;
    CDrawIR* first = nullptr;
    for (CDrawObj* obj : GetIRObjects()) {
        if ((first = dynamic_cast<CDrawIR*>(obj)) != nullptr)
            break;
    }
    if (first == nullptr)
        return;
    // The sub-mode commands go to the first image; the others only to a
    // selection that starts with an image.
    CDrawIR* target = IsModeCommand(id) ? first : FirstSelectedIR();
    if (target != nullptr)
        target->DoCommand(unsigned(id), QString(), 0);
}

void CDI_RptView::OnUpdateIRCommand(CCmdUI& ui)
{
    const int id = ui.GetID();
    if (id == kIRFirst) {
        ui.Enable(GetSelection().size() == 1);
        return;
    }
    for (const ModeCommand& m : kModeCommands) {
        if (m.id != id)
            continue;
        bool picture = false;
        for (CDrawObj* obj : GetIRObjects()) {
            const auto* ir = dynamic_cast<const CDrawIR*>(obj);
            picture = picture || (ir != nullptr && ir->HasImage());
        }
        ui.Enable(picture);
        ui.SetRadio(m.mode == kModePointAnalysis ? g_toolMode == m.mode
                                                 : g_currentKind == kShapeAnalysis && g_toolMode == m.mode);
        return;
    }
    CDrawIR* ir = SelectedImage();
    switch (id) {
    case 32850:
    case 32857: ui.Enable(ir != nullptr && ir->Image().ExistSound()); break;
    // The remark becomes a text object: only while text objects exist.
    case 32852:
        ui.Enable(ir != nullptr && CDrawIR::HasRemarkTextFactory() && ir->Image().ExistRemark());
        break;
    case 32866: ui.Enable(ir != nullptr && (ir->Image().PhotoWidth() > 0 || ir->Image().ExistCCD())); break;
    default: ui.Enable(ir != nullptr); break;
    }
}

void CDI_RptView::OnScaleRangeChanged(int upperTenths, int lowerTenths)
{
    CDrawIR* ir = SelectedImageObject();
    if (ir == nullptr)
        return;
    ir->m_fLimits[4] = float(upperTenths * 0.1);
    ir->m_fLimits[5] = float(lowerTenths * 0.1);
    ir->DoCommand(kRerender, QString(), 0);
}

void CDI_RptView::StartPlayTimer(int id)
{
    for (int k = 0; k < kPlayTimers; ++k) {
        if (k + 1 == id)
            m_playTimers[k]->start();
        else
            m_playTimers[k]->stop();
    }
    m_bPlaying = true;
}

void CDI_RptView::StopPlayback()
{
    for (QTimer* timer : m_playTimers) {
        if (timer != nullptr)
            timer->stop();
    }
    m_bPlaying = false;
}

bool CDI_RptView::IsPlayTimerActive(int id) const
{
    return id >= 1 && id <= kPlayTimers && m_playTimers[id - 1]->isActive();
}

// One step of the list: the index moves, the file list follows and the
// entry is shown. The index never leaves the list.
void CDI_RptView::ShowFrame(CDrawIR& ir, int index, bool selectFirst)
{
    const int count = ir.FileCount();
    if (count <= 0)
        return;
    index = std::clamp(index, 0, count - 1);
    ir.SetFileIndex(index);
    // The list belongs to the report in front: one playing behind it, or
    // minimised, leaves the list alone.
    const bool listed = IsInFront();
    if (selectFirst) {
        if (listed)
            ir.SelectFileInCombo();
        ir.LoadFileAtIndex(index);
    } else {
        ir.LoadFileAtIndex(index);
        if (listed)
            ir.SelectFileInCombo();
    }
}

void CDI_RptView::OnFrameCommand(int id)
{
    CDrawIR* ir = FirstSelectedIR();
    if (ir == nullptr)
        return;
    switch (id) {
    case kFirstFrame: ShowFrame(*ir, 0, true); break;
    case kPreviousFrame: ShowFrame(*ir, ir->FileIndex() - 1, false); break;
    case kNextFrame: ShowFrame(*ir, ir->FileIndex() + 1, true); break;
    case kLastFrame: ShowFrame(*ir, ir->FileCount() - 1, true); break;
    case kPlay: StartPlayTimer(1); break;
    case kFastForward: StartPlayTimer(2); break;
    case kRewind: StartPlayTimer(3); break;
    case kStop: StopPlayback(); break;
    case kDeleteFrame: DeleteCurrentFrame(*ir); break;
    case kAddFrames:
        ir->m_bFlagA = 1;
        m_bAppendFrames = true;
        ir->DoCommand(kIRFirst, QString(), 0);
        break;
    case kFileCombo:
        ir->ReadComboSelection();
        ir->LoadFileAtIndex(ir->FileIndex());
        // The list's tip names the file now shown.
        ir->SelectFileInCombo();
        break;
    default: break;
    }
}

void CDI_RptView::DeleteCurrentFrame(CDrawIR& ir)
{
    if (ir.FileCount() <= 1)
        return;
    CDI_RptDoc* doc = GetDocument();
    doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, &ir, 1);
    ir.RemoveFileAt(ir.FileIndex());
    ir.m_bFlagA = 1;
    ShowFrame(ir, std::min(ir.FileIndex(), ir.FileCount() - 1), true);
    doc->SaveUndoSnapshot(CDI_RptDoc::kUndoChange, &ir, 1);
}

void CDI_RptView::OnUpdateFrameCommand(CCmdUI& ui)
{
    const int id = ui.GetID();
    CDrawIR* ir = SelectedImage();
    if (id == kAddFrames || id == kFileCombo) {
        CDrawIR* object = SelectedImageObject();
        ui.Enable(object != nullptr);
        if (id == kFileCombo)
            UpdateFileCombo(object);
        return;
    }
    if (ir == nullptr) {
        ui.Enable(false);
        return;
    }
    const int count = ir->FileCount();
    const int index = ir->FileIndex();
    switch (id) {
    case kFirstFrame:
    case kPreviousFrame: ui.Enable(m_bPlaying || index != 0); break;
    case kRewind: ui.Enable(m_bPlaying || (count >= 2 && index != 0)); break;
    case kPlay:
    case kFastForward: ui.Enable(m_bPlaying || (count >= 2 && index < count - 1)); break;
    case kNextFrame:
    case kLastFrame: ui.Enable(m_bPlaying || index < count - 1); break;
    case kStop: ui.Enable(m_bPlaying); break;
    case kDeleteFrame: ui.Enable(count > 1); break;
    default: ui.Enable(false); break;
    }
}

// The play bar's list shows the files of the one selected image of the
// report in front, and nothing without one: it is refilled when the image
// asks (its list changed) or when it shows another object's files (another
// report, another page, another selection).
void CDI_RptView::UpdateFileCombo(CDrawIR* object)
{
    CMainFrame* frame = MainFrame();
    const bool shown = frame == nullptr || frame->GetFileComboOwner() == object;
    if (object != nullptr && (object->m_bFlagA != 0 || !shown)) {
        object->RefreshFileCombo();
        object->m_bFlagA = 0;
    } else if (object == nullptr && !shown) {
        if (FileComboHost* combo = GetDocument() != nullptr ? GetDocument()->Environment().FileCombo() : nullptr)
            combo->ResetContent();
    }
    if (frame != nullptr)
        frame->SetFileComboOwner(object);
}

bool CDI_RptView::IsInFront() const
{
    const CMainFrame* frame = MainFrame();
    const CSplitFrame* child = frame != nullptr ? frame->MDIGetActive() : nullptr;
    return frame == nullptr || (child != nullptr && child->GetActiveView() == this);
}

void CDI_RptView::OnPlayTimer(int id)
{
    // The selection may have changed since the last tick.
    CDrawIR* ir = FirstSelectedIR();
    if (ir == nullptr || ir->FileCount() == 0) {
        StopPlayback();
        return;
    }
    const int index = ir->FileIndex();
    if (id == 1 || id == 2) {
        if (index < ir->FileCount() - 1)
            ShowFrame(*ir, index + 1, true);
        else
            StopPlayback();
    } else if (id == 3) {
        if (index > 0)
            ShowFrame(*ir, index - 1, false);
        else
            StopPlayback();
    }
}
