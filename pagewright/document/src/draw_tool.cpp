#include "document/draw_tool.h"

#include "document/draw_photo.h"
#include "document/draw_poly.h"
#include "document/draw_rect.h"
#include "document/draw_view.h"
#include "document/ir_image_object.h"
#include "document/rpt_doc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

std::vector<CDrawTool*> g_toolList;
int g_currentKind = kShapeSelect;
int g_toolMode = kModeNone;
QPoint g_downPoint;
QPoint g_lastClientPoint;
QPoint g_lastDocPoint;
bool g_moveStarted = false;
QPoint g_analysisAnchor;
bool g_analysisBanding = false;
int g_analysisHitHandle = 0;

namespace {

std::array<ToolObjectFactory, kShapeKindCount>& factories()
{
    // The photo and the logo are this library's own; the other band tools'
    // objects come with their modules.
    static std::array<ToolObjectFactory, kShapeKindCount> list = [] {
        std::array<ToolObjectFactory, kShapeKindCount> l;
        l[kShapePhoto] = [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
            return std::make_unique<CDrawPhoto>(&view, rect);
        };
        l[kShapeLogo] = [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
            return std::make_unique<CDrawLogo>(&view, rect);
        };
        return l;
    }();
    return list;
}

bool IsLocked(const DrawView& view)
{
    return view.GetDocument() != nullptr && view.GetDocument()->IsLocked();
}

CDrawObj* FirstSelected(const DrawView& view)
{
    return view.GetSelection().empty() ? nullptr : view.GetSelection().front();
}

DocRect NormalRect(QPoint a, QPoint b)
{
    return DocRect(a, b).Normalized();
}

void SaveBefore(DrawView& view, int kind, CDrawObj* obj = nullptr)
{
    if (CDI_RptDoc* doc = view.GetDocument())
        doc->SaveRedoSnapshot(kind, obj, 1);
}

void SaveAfter(DrawView& view, int kind, CDrawObj* obj = nullptr)
{
    if (CDI_RptDoc* doc = view.GetDocument())
        doc->SaveUndoSnapshot(kind, obj, 1);
}

} // namespace

int ShownNumber(CDrawObj* obj)
{
    int number = 0;
    if (const IRImageObject* image = AsIRImage(obj))
        number = image->GetIRNumber();
    else if (const IRLinkedObject* linked = AsIRLinked(obj))
        number = linked->GetLinkedIRNumber();
    return number >= 1 ? number : 0;
}

bool IsKindOfName(const CDrawObj* obj, const char* className)
{
    return obj != nullptr && obj->GetRuntimeClass().IsDerivedFrom(className);
}

QPoint ToolDocPoint(const DrawView& view, QPoint client)
{
    QPoint p = view.ClientToDoc(client);
    p.setX(ClampToInt(std::int64_t(p.x()) - view.m_xOffset));
    return p;
}

void SetToolObjectFactory(int kind, ToolObjectFactory factory)
{
    if (kind >= 0 && kind < kShapeKindCount)
        factories()[static_cast<std::size_t>(kind)] = std::move(factory);
}

bool HasToolObjectFactory(int kind)
{
    return kind >= 0 && kind < kShapeKindCount && factories()[static_cast<std::size_t>(kind)] != nullptr;
}

void CloneSelection(DrawView& view)
{
    const std::vector<CDrawObj*> selection = view.GetSelection();
    for (CDrawObj* obj : selection)
        obj->Clone(obj->GetDocument());
}

// ---- base

CDrawTool::CDrawTool(int kind) : m_kind(kind)
{
    g_toolList.push_back(this);
}

CDrawTool::~CDrawTool()
{
    std::erase(g_toolList, this);
}

namespace {

void ModeCursor(DrawView& view)
{
    if (g_toolMode == kModeMove)
        view.SetToolCursor(HandleCursor::Drag);
    else if (g_toolMode == kModeSize)
        view.SetToolCursor(HandleCursor::Cross);
}

} // namespace

void CDrawTool::OnLButtonDown(DrawView& view, int flags, QPoint point)
{
    (void)flags;
    view.CloseInPlaceItem();
    view.SetCapture();
    g_downPoint = point;
    g_lastClientPoint = point;
    ModeCursor(view);
}

void CDrawTool::OnLButtonDblClk(DrawView& view, int flags, QPoint point)
{
    (void)view, (void)flags, (void)point;
}

void CDrawTool::OnLButtonUp(DrawView& view, int flags, QPoint point)
{
    (void)flags, (void)point;
    view.ReleaseCapture();
    g_currentKind = kShapeSelect;
}

void CDrawTool::OnMouseMove(DrawView& view, int flags, QPoint point)
{
    (void)flags;
    g_lastClientPoint = point;
    ModeCursor(view);
}

void CDrawTool::OnEditProperties(DrawView& view)
{
    (void)view;
}

void CDrawTool::OnCancel()
{
    g_currentKind = kShapeSelect;
}

CDrawTool* FindTool(int kind)
{
    for (CDrawTool* tool : g_toolList) {
        if (tool->m_kind == kind)
            return tool;
    }
    return nullptr;
}

void DispatchToolEvent(DrawView& view, ToolEvent event, int flags, QPoint point)
{
    CDrawTool* tool = FindTool(g_currentKind);
    if (tool == nullptr)
        return;
    if (event == ToolEvent::DoubleClick) {
        tool->OnLButtonDblClk(view, flags, point);
        return;
    }
    if (IsLocked(view) && g_currentKind != kShapeSelect && g_currentKind != kShapeAnalysis)
        return;
    switch (event) {
    case ToolEvent::Down: tool->OnLButtonDown(view, flags, point); break;
    case ToolEvent::Up: tool->OnLButtonUp(view, flags, point); break;
    default: tool->OnMouseMove(view, flags, point); break;
    }
}

// ---- selection tool

namespace {

class CSelectionTool : public CDrawTool {
public:
    CSelectionTool() : CDrawTool(kShapeSelect) {}

    void OnLButtonDown(DrawView& view, int flags, QPoint point) override;
    void OnLButtonDblClk(DrawView& view, int flags, QPoint point) override;
    void OnLButtonUp(DrawView& view, int flags, QPoint point) override;
    void OnMouseMove(DrawView& view, int flags, QPoint point) override;
    void OnEditProperties(DrawView& view) override;
};

// The object under a click: a line or arrow within 10 units wins over
// whatever lies exactly at the point.
CDrawObj* PickObject(const CDI_RptDoc& doc, QPoint local)
{
    for (int dy = -10; dy <= 10; ++dy) {
        for (int dx = -10; dx <= 10; ++dx) {
            CDrawObj* obj = doc.ObjectAt(QPoint(ClampToInt(std::int64_t(local.x()) + dx),
                                                ClampToInt(std::int64_t(local.y()) + dy)));
            const auto* rect = dynamic_cast<const CDrawRect*>(obj);
            if (rect != nullptr && rect->shape == CDrawRect::arrow)
                return obj;
        }
    }
    return doc.ObjectAt(local);
}

void CSelectionTool::OnLButtonDown(DrawView& view, int flags, QPoint point)
{
    CDI_RptDoc* doc = view.GetDocument();
    if (doc == nullptr)
        return;
    const QPoint local = ToolDocPoint(view, point);
    CDrawObj* first = FirstSelected(view);
    if (view.IsTextEditorVisible() && IsKindOfName(first, "CDrawText")) {
        first->EndEdit(&view);
        first->BeginEdit(&view, 0);
        view.HideTextEditor();
    }
    g_toolMode = kModeNone;
    if (view.GetSelection().size() == 1) {
        // The click may pick an inner item (a table's column, row or cell).
        g_dragHandle = first->HitTest(local, &view, true, 1);
        if (g_dragHandle >= 1 && g_dragHandle <= 8) {
            g_toolMode = kModeSize;
            SaveBefore(view, CDI_RptDoc::kUndoChange, first);
        }
    }
    if (g_toolMode == kModeNone) {
        CDrawObj* obj = PickObject(*doc, local);
        // A click away from a table ends the editing of its cell while the
        // table is still selected: the typed text goes into the cell as one
        // step of undo, and the cell's editor does not stay on the page.
        if (first != nullptr && obj != first && IsKindOfName(first, "CDrawTable"))
            first->EndEdit(&view);
        if (obj == nullptr) {
            view.SetStatusText(view.LoadString(doc_string::kNone));
        } else {
            g_toolMode = kModeMove;
            if (!view.IsSelected(obj))
                view.Select(obj, (flags & MK_SHIFT) != 0);
            const int number = ShownNumber(obj);
            view.SetStatusText(number != 0 ? QStringLiteral("NO.%1").arg(number) : view.LoadString(doc_string::kNone));
            if ((flags & MK_CONTROL) != 0)
                CloneSelection(view);
        }
        if (g_toolMode == kModeNone) {
            if ((flags & MK_SHIFT) == 0) {
                view.Select(nullptr, false);
                view.UpdateWindow();
            }
            g_toolMode = kModeNetSelect;
            view.SetBand({BandOverlay::FocusRect, point, point});
        }
    }
    if (g_toolMode == kModeMove) {
        CDrawObj* at = doc->ObjectAt(local);
        if (at != nullptr) {
            if (at->HitTest(local, &view, false, 0) > 8) {
                g_toolMode = kModeNone;
                if (AsIRImage(at) != nullptr)
                    SaveBefore(view, CDI_RptDoc::kUndoChange, at);
            } else {
                g_moveStarted = false;
            }
        } else {
            g_moveStarted = false;
            view.InvalidateAll();
        }
    }
    g_lastDocPoint = local;
    CDrawTool::OnLButtonDown(view, flags, point);
}

void CSelectionTool::OnMouseMove(DrawView& view, int flags, QPoint point)
{
    view.SetToolTipText({});
    CDI_RptDoc* doc = view.GetDocument();
    if (doc == nullptr)
        return;
    QPoint local = ToolDocPoint(view, point);
    if (view.HasCapture() && g_toolMode != kModeNetSelect) {
        const std::int64_t dx = std::int64_t(local.x()) - g_lastDocPoint.x();
        const int dy = SnapY(ClampToInt(std::int64_t(local.y()) - g_lastDocPoint.y()));
        const bool locked = doc->IsLocked();
        const std::vector<CDrawObj*> selection = view.GetSelection();
        if (g_toolMode == kModeMove && !locked) {
            if (g_moveStarted) {
                for (CDrawObj* obj : selection)
                    obj->MoveTo(obj->position.Translated(dx, dy), flags, &view);
            } else if (std::abs(point.x() - g_downPoint.x()) >= 3 || std::abs(point.y() - g_downPoint.y()) >= 3) {
                // Past the dead zone: the move is armed, with one before
                // snapshot for all the selected objects.
                g_moveStarted = true;
                if (!(g_dragHandle != 0 && IsKindOfName(FirstSelected(view), "CDrawTable")))
                    SaveBefore(view, CDI_RptDoc::kUndoChange, FirstSelected(view));
                for (CDrawObj* obj : selection)
                    obj->CommitEditText();
                view.HideTextEditor();
            }
        } else if (g_toolMode != kModeMove && g_dragHandle != 0 && !locked) {
            if (g_dragHandle >= 1 && g_dragHandle <= 8)
                local.setY(SnapY(local.y()));
            for (CDrawObj* obj : selection) {
                obj->CommitEditText();
                view.HideTextEditor();
                obj->MoveHandleTo(g_dragHandle, local, flags, &view);
            }
        }
        g_lastDocPoint = QPoint(ClampToInt(g_lastDocPoint.x() + dx), ClampToInt(std::int64_t(g_lastDocPoint.y()) + dy));
        return;
    }
    if (view.HasCapture() && g_toolMode == kModeNetSelect) {
        view.SetBand({BandOverlay::FocusRect, g_downPoint, point});
        CDrawTool::OnMouseMove(view, flags, point);
        return;
    }
    if (g_currentKind != kShapeSelect)
        return;
    if (view.GetSelection().size() == 1) {
        CDrawObj* obj = FirstSelected(view);
        if (const int hit = obj->HitTest(local, &view, true, 0); hit != 0) {
            view.SetToolCursor(obj->GetHandleCursor(hit));
            return;
        }
    }
    if (CDrawObj* obj = doc->ObjectAt(local)) {
        const int hit = obj->HitTest(local, &view, false, 0);
        view.SetToolCursor(hit == 9 ? obj->GetHandleCursor(9) : HandleCursor::Move);
    } else {
        view.SetToolCursor(HandleCursor::Arrow);
    }
}

void CSelectionTool::OnLButtonUp(DrawView& view, int flags, QPoint point)
{
    if (!view.HasCapture())
        return;
    CDI_RptDoc* doc = view.GetDocument();
    const QPoint local = ToolDocPoint(view, point);
    CDrawObj* first = FirstSelected(view);
    switch (g_toolMode) {
    case kModeNetSelect: {
        view.SetBand({});
        const DocRect band = NormalRect(ToolDocPoint(view, g_downPoint), local);
        if (doc != nullptr) {
            const auto page = static_cast<std::uint32_t>(doc->GetCurPage());
            const std::vector<CDrawObj*> objects = doc->GetObjects();
            for (CDrawObj* obj : objects) {
                if (obj->page == page && obj->Intersects(band))
                    view.Select(obj, true);
            }
        }
        if (InPlaceTextEditor* editor = view.GetTextEditor())
            editor->SetSel(0, -1);
        break;
    }
    case kModeMove:
        if (first != nullptr) {
            if (IsKindOfName(first, "CDrawText")) {
                if (first->HitTest(local, &view, true, 0) == 9)
                    first->PlaceEditor(&view);
                else if (InPlaceTextEditor* editor = view.GetTextEditor())
                    editor->SetSel(0, -1);
            } else if (IsKindOfName(first, "CDrawTable")) {
                first->PlaceEditor(&view);
            }
        }
        if (g_dragHandle == 0 && g_moveStarted)
            SaveAfter(view, CDI_RptDoc::kUndoChange, first);
        break;
    case kModeSize:
        if (first != nullptr)
            first->PlaceEditor(&view);
        SaveAfter(view, CDI_RptDoc::kUndoChange, first);
        break;
    case kModeNone:
        if (first != nullptr) {
            if (first->HitTest(local, &view, true, 0) == 9)
                first->PlaceEditor(&view);
            else if (IsKindOfName(first, "CDrawText")) {
                if (InPlaceTextEditor* editor = view.GetTextEditor())
                    editor->SetSel(0, -1);
            } else if (AsIRImage(first) != nullptr) {
                SaveAfter(view, CDI_RptDoc::kUndoChange, first);
            }
        }
        break;
    default:
        if (doc != nullptr)
            doc->UpdateAllViews(nullptr, DrawView::kHintAll);
        break;
    }
    if (g_dragHandle != 0)
        view.InvalidateAll();
    CDrawTool::OnLButtonUp(view, flags, point);
}

void CSelectionTool::OnLButtonDblClk(DrawView& view, int flags, QPoint point)
{
    CDI_RptDoc* doc = view.GetDocument();
    if (doc == nullptr)
        return;
    if ((flags & MK_SHIFT) != 0) {
        if (CDrawObj* obj = doc->ObjectAt(ToolDocPoint(view, point)); obj != nullptr && view.IsSelected(obj)) {
            view.RemoveFromSelection(obj);
            view.InvalObj(obj);
        }
        return;
    }
    if (view.GetSelection().size() == 1)
        FirstSelected(view)->OnOpen(&view);
}

void CSelectionTool::OnEditProperties(DrawView& view)
{
    if (view.GetSelection().size() == 1)
        FirstSelected(view)->OnEditProperties();
}

// ---- shape tool (line, rectangle, round rectangle, ellipse, arrow)

class CShapeTool : public CDrawTool {
public:
    explicit CShapeTool(int kind) : CDrawTool(kind) {}

    void OnLButtonDown(DrawView& view, int flags, QPoint point) override
    {
        CDrawTool::OnLButtonDown(view, flags, point);
        CDI_RptDoc* doc = view.GetDocument();
        if (doc == nullptr)
            return;
        QPoint local = ToolDocPoint(view, point);
        local.setY(SnapY(local.y()));
        auto obj = std::make_unique<CDrawRect>(&view, DocRect(local, local));
        switch (m_kind) {
        case kShapeLine:
            obj->shape = CDrawRect::arrow;
            obj->arrowStyle = 0;
            break;
        case kShapeRect: obj->shape = CDrawRect::rectangle; break;
        case kShapeRoundRect: obj->shape = CDrawRect::roundRectangle; break;
        case kShapeEllipse: obj->shape = CDrawRect::ellipse; break;
        default: obj->shape = CDrawRect::arrow; break; // the arrow keeps its default head
        }
        CDrawObj* added = doc->AddNoUndo(std::move(obj));
        view.Select(added, false);
        g_toolMode = kModeSize;
        g_dragHandle = 1;
        g_lastDocPoint = local;
        view.SetBand({BandOverlay::FocusRect, point, point});
    }

    void OnMouseMove(DrawView& view, int flags, QPoint point) override;

    void OnLButtonUp(DrawView& view, int flags, QPoint point) override
    {
        view.SetBand({});
        CDrawObj* obj = FirstSelected(view);
        if (point == g_downPoint && obj != nullptr && g_dragHandle != 0) {
            // A click without a drag gives the default 50 x 50 size.
            QPoint p = ToolDocPoint(view, g_downPoint);
            p.setY(SnapY(p.y()));
            obj->MoveHandleTo(g_dragHandle, QPoint(p.x() + 50, p.y() - 50), CDrawObj::kMoveNoUndo, &view);
        }
        if (obj != nullptr) {
            SaveBefore(view, CDI_RptDoc::kUndoAdd, obj);
            SaveAfter(view, CDI_RptDoc::kUndoAdd, obj);
        }
        CDrawTool::OnLButtonUp(view, flags, point);
    }
};

// ---- band tools

enum class BandStyle { Plain, Snapped, ResultTable };

class CBandTool : public CDrawTool {
public:
    CBandTool(int kind, BandStyle style, bool focusAtDown) : CDrawTool(kind), m_style(style), m_focusAtDown(focusAtDown)
    {
    }

    void OnLButtonDown(DrawView& view, int flags, QPoint point) override
    {
        CDrawTool::OnLButtonDown(view, flags, point);
        g_toolMode = kModeSize;
        g_dragHandle = 1;
        QPoint local = ToolDocPoint(view, point);
        if (m_style != BandStyle::Plain)
            local.setY(SnapY(local.y()));
        g_lastDocPoint = local;
        if (m_focusAtDown)
            view.SetBand({BandOverlay::FocusRect, point, BandEnd(point)});
    }

    void OnMouseMove(DrawView& view, int flags, QPoint point) override
    {
        view.SetToolCursor(HandleCursor::Cross);
        if ((flags & MK_LBUTTON) == 0)
            return;
        g_lastClientPoint = point;
        view.SetBand({BandOverlay::FocusRect, g_downPoint, BandEnd(point)});
    }

    void OnLButtonUp(DrawView& view, int flags, QPoint point) override
    {
        (void)flags;
        view.SetBand({});
        view.ReleaseCapture();
        g_currentKind = kShapeSelect;
        CDI_RptDoc* doc = view.GetDocument();
        if (doc == nullptr || !HasToolObjectFactory(m_kind))
            return;
        QPoint a = ToolDocPoint(view, g_downPoint);
        QPoint b = ToolDocPoint(view, BandEnd(point));
        if (m_style == BandStyle::ResultTable) {
            // One line high: both edges move by the lower edge's remainder.
            const DocRect n = NormalRect(a, b);
            const int shift = n.top % 100; // the lower edge on a y-up page
            a.setY(a.y() - shift);
            b.setY(b.y() - shift);
            if (std::abs(point.x() - g_downPoint.x()) < 15)
                b.setX(ClampToInt(std::int64_t(a.x()) + 200));
        } else {
            a.setY(SnapY(a.y()));
            b.setY(SnapY(b.y()));
        }
        DocRect rect = NormalRect(a, b);
        if (m_kind == kShapeTable) {
            if (rect.Width() < 150)
                rect.right = ClampToInt(std::int64_t(rect.left) + 250);
            if (rect.Height() < 100)
                rect.top = ClampToInt(std::int64_t(rect.bottom) - 200);
            rect = rect.Normalized();
        } else if (m_kind == kShapeField && a == b) {
            rect = NormalRect(a, QPoint(ClampToInt(std::int64_t(b.x()) + 100), ClampToInt(std::int64_t(b.y()) + 100)));
        }
        std::unique_ptr<CDrawObj> obj = factories()[static_cast<std::size_t>(m_kind)](view, rect);
        if (obj == nullptr)
            return;
        if (m_kind == kShapeIRImage) {
            if (IRImageObject* image = AsIRImage(obj.get()))
                image->SetIRNumber(view.NextFreeIRNumber());
        }
        CDrawObj* added = doc->Add(std::move(obj));
        view.Select(added, false);
        // A new text box is edited at once: the keys typed next go into it.
        if (m_kind == kShapeText)
            added->PlaceEditor(&view);
        if (m_kind == kShapeIRImage) {
            view.InsertIRObject(added);
            const std::vector<CDrawObj*>& images = view.GetIRObjects();
            const auto at = std::find(images.begin(), images.end(), added) - images.begin();
            view.ShiftImageList(static_cast<int>(at), 1);
        }
    }

private:
    QPoint BandEnd(QPoint point) const
    {
        return m_style == BandStyle::ResultTable ? QPoint(point.x(), g_downPoint.y() + 20) : point;
    }

    BandStyle m_style;
    bool m_focusAtDown;
};

// ---- polygon tool

class CPolylineTool : public CDrawTool {
public:
    CPolylineTool() : CDrawTool(kShapePoly) {}

    void OnLButtonDown(DrawView& view, int flags, QPoint point) override
    {
        CDrawTool::OnLButtonDown(view, flags, point);
        CDI_RptDoc* doc = view.GetDocument();
        if (doc == nullptr)
            return;
        const QPoint local = ToolDocPoint(view, point);
        CDrawPoly* poly = Current(*doc);
        if (poly != nullptr && !poly->points.empty() && local == poly->points.front()) {
            Close(view, *doc, *poly);
            return;
        }
        if (poly == nullptr) {
            view.SetCapture();
            auto made = std::make_unique<CDrawPoly>(&view, DocRect(local, local));
            poly = static_cast<CDrawPoly*>(doc->Add(std::move(made)));
            view.Select(poly, false);
            poly->AddPoint(local, &view);
            m_pDrawObj = poly;
        }
        const QPoint rubber(ClampToInt(std::int64_t(local.x()) + 1), local.y());
        poly->AddPoint(rubber, &view);
        g_toolMode = kModeSize;
        g_dragHandle = poly->GetHandleCount();
        g_lastDocPoint = rubber;
    }

    void OnMouseMove(DrawView& view, int flags, QPoint point) override;

    void OnLButtonUp(DrawView& view, int flags, QPoint point) override
    {
        // The capture stays until the polygon ends.
        (void)view, (void)flags, (void)point;
    }

    void OnLButtonDblClk(DrawView& view, int flags, QPoint point) override
    {
        (void)flags, (void)point;
        CDI_RptDoc* doc = view.GetDocument();
        CDrawPoly* poly = doc != nullptr ? Current(*doc) : nullptr;
        SaveBefore(view, CDI_RptDoc::kUndoChange, poly);
        view.ReleaseCapture();
        if (poly != nullptr && !poly->points.empty()) {
            poly->points.pop_back();
            poly->RecalcBounds(&view);
            poly->Invalidate();
        }
        m_pDrawObj = nullptr;
        g_currentKind = kShapeSelect;
        SaveAfter(view, CDI_RptDoc::kUndoChange, poly);
    }

    void OnCancel() override
    {
        CDrawTool::OnCancel();
        m_pDrawObj = nullptr;
    }

    CDrawPoly* m_pDrawObj = nullptr;

private:
    // The polygon being drawn, when it is still in the document.
    CDrawPoly* Current(const CDI_RptDoc& doc)
    {
        if (m_pDrawObj != nullptr &&
            std::find(doc.GetObjects().begin(), doc.GetObjects().end(), m_pDrawObj) == doc.GetObjects().end())
            m_pDrawObj = nullptr;
        return m_pDrawObj;
    }

    void Close(DrawView& view, CDI_RptDoc& doc, CDrawPoly& poly)
    {
        view.ReleaseCapture();
        poly.points.pop_back(); // the rubber point
        if (poly.GetPointCount() >= 2) {
            poly.RecalcBounds(&view);
            poly.Invalidate();
        } else {
            // Too few points: the polygon goes, as a delete step of its own
            // so that undoing its add finds nothing of another polygon's.
            view.Select(&poly, false);
            doc.SaveRedoSnapshot(CDI_RptDoc::kUndoDelete, &poly, 1);
            doc.SaveUndoSnapshot(CDI_RptDoc::kUndoDelete, &poly, 1);
            view.RemoveFromSelection(&poly);
            doc.Remove(&poly);
            poly.Remove();
        }
        m_pDrawObj = nullptr;
        g_currentKind = kShapeSelect;
    }
};

// ---- analysis tool

class CAnalysisTool : public CDrawTool {
public:
    CAnalysisTool() : CDrawTool(kShapeAnalysis) {}

    void OnLButtonDown(DrawView& view, int flags, QPoint point) override;
    void OnLButtonUp(DrawView& view, int flags, QPoint point) override;
    void OnMouseMove(DrawView& view, int flags, QPoint point) override;

private:
    // The image under a page point, when the point lies in its rectangle.
    static CDrawObj* ImageAt(const CDI_RptDoc& doc, QPoint local)
    {
        CDrawObj* obj = doc.ObjectAt(local);
        if (AsIRImage(obj) == nullptr)
            return nullptr;
        const DocRect r = obj->position.Normalized();
        const bool inside = r.left <= local.x() && local.x() <= r.right && r.top <= local.y() && local.y() <= r.bottom;
        return inside ? obj : nullptr;
    }
    void ShowReadout(DrawView& view, float celsius);
    void SpotReadout(DrawView& view, QPoint local);
    void ScaleReadout(DrawView& view, QPoint local);
};

void CAnalysisTool::OnLButtonDown(DrawView& view, int flags, QPoint point)
{
    CDI_RptDoc* doc = view.GetDocument();
    if (doc == nullptr)
        return;
    const QPoint local = ToolDocPoint(view, point);
    CDrawObj* obj = ImageAt(*doc, local);
    if (obj == nullptr)
        return;
    if (!view.IsSelected(obj))
        view.Select(obj, (flags & MK_SHIFT) != 0);
    IRImageObject* image = AsIRImage(obj);
    switch (g_toolMode) {
    case kModePointAnalysis:
    case kModeSpotReadout:
        image->AddPointAnalysis(local);
        view.SetToolTipText({});
        break;
    case kModeLineAnalysis:
    case kModeAreaAnalysis:
    case kModeEllipseAnalysis:
    case kModeIsothermMark:
    case kModeScaleIsotherm:
        g_analysisAnchor = local;
        g_analysisBanding = true;
        break;
    default: break;
    }
    image->MarkChanged();
    CDrawTool::OnLButtonDown(view, flags, point);
}

void CAnalysisTool::OnLButtonUp(DrawView& view, int flags, QPoint point)
{
    CDI_RptDoc* doc = view.GetDocument();
    if (doc == nullptr)
        return;
    const QPoint local = ToolDocPoint(view, point);
    const QPoint anchor = g_analysisAnchor;
    CDrawObj* atAnchor = ImageAt(*doc, anchor);
    CDrawObj* atPoint = ImageAt(*doc, local);
    if (g_analysisBanding && atAnchor != nullptr && atAnchor == atPoint) {
        IRImageObject* image = AsIRImage(atPoint);
        switch (g_toolMode) {
        case kModeLineAnalysis:
            if (anchor != local)
                image->AddLineAnalysis(DocRect(anchor, local));
            break;
        case kModeAreaAnalysis:
            if (anchor.x() != local.x() && anchor.y() != local.y())
                image->AddAreaAnalysis(DocRect(anchor, local));
            break;
        case kModeEllipseAnalysis: {
            // Square from the horizontal extent, keeping the drag's vertical
            // direction.
            const std::int64_t ex = std::int64_t(anchor.x()) - local.x();
            const std::int64_t ey = std::int64_t(anchor.y()) - local.y();
            const bool sameSign = (ex > 0 && ey > 0) || (ex < 0 && ey < 0);
            const int y2 = ClampToInt(sameSign ? anchor.y() - ex : anchor.y() + ex);
            image->AddEllipseAnalysis(DocRect(anchor, QPoint(local.x(), y2)));
            break;
        }
        case kModeIsothermMark: image->DeleteHandleOwner(g_analysisHitHandle); break;
        case kModeScaleIsotherm: image->SetIsothermAtPoint(anchor.x(), anchor.y(), local.x(), local.y()); break;
        default: break;
        }
    }
    if (atAnchor != nullptr)
        atAnchor->Invalidate();
    if (atPoint != nullptr && atPoint != atAnchor)
        atPoint->Invalidate();
    g_analysisBanding = false;
    view.SetBand({});
    if ((flags & MK_CONTROL) != 0 || (g_toolMode >= kModePointAnalysis && g_toolMode <= kModeScaleIsotherm)) {
        view.ReleaseCapture();
        return;
    }
    g_toolMode = kModeNone;
    CDrawTool::OnLButtonUp(view, flags, point);
    view.SetToolTipText({});
}

void CAnalysisTool::OnMouseMove(DrawView& view, int flags, QPoint point)
{
    CDI_RptDoc* doc = view.GetDocument();
    if (doc == nullptr)
        return;
    const QPoint local = ToolDocPoint(view, point);
    switch (g_toolMode) {
    case kModePointAnalysis:
        view.SetToolCursor(HandleCursor::Cross);
        view.SetToolTipText({});
        break;
    case kModeLineAnalysis:
        if (g_analysisBanding) {
            view.SetBand({BandOverlay::Line, g_downPoint, point});
            CDrawTool::OnMouseMove(view, flags, point);
        }
        break;
    case kModeAreaAnalysis:
        if (g_analysisBanding) {
            view.SetBand({BandOverlay::FocusRect, g_downPoint, point});
            g_lastClientPoint = point;
        }
        break;
    case kModeEllipseAnalysis:
        if (g_analysisBanding) {
            // A circle: the box is made square from its horizontal extent.
            const int w = point.x() - g_downPoint.x();
            const int h = point.y() - g_downPoint.y();
            const int side = std::abs(w);
            const QPoint end(point.x(), g_downPoint.y() + (h < 0 ? -side : side));
            view.SetBand({BandOverlay::Ellipse, g_downPoint, end});
            g_lastClientPoint = end;
        }
        break;
    case kModeIsothermMark: {
        CDrawObj* obj = ImageAt(*doc, local);
        if (obj != nullptr && AsIRImage(obj)->HasPicture()) {
            g_analysisHitHandle = obj->HitTest(local, &view, true, 0);
            view.SetToolCursor(obj->GetHandleCursor(g_analysisHitHandle));
        } else {
            view.SetToolTipText({});
        }
        break;
    }
    case kModeSpotReadout:
        view.SetToolCursor(HandleCursor::Cross);
        SpotReadout(view, local);
        break;
    case kModeScaleIsotherm: ScaleReadout(view, local); break;
    default:
        view.SetToolCursor(HandleCursor::SizeAll);
        view.SetToolTipText({});
        break;
    }
}

void CAnalysisTool::ShowReadout(DrawView& view, float celsius)
{
    const int unit = view.GetDocument() != nullptr ? view.GetDocument()->Environment().TempUnit() : 0;
    double shown = celsius;
    if (unit == 1)
        shown = celsius * 1.8 + 32;
    else if (unit == 2)
        shown = celsius + 273.2;
    // The read-out's first field takes the temperature ("%4.1f", as the
    // temperature labels); a spot has no width, so the second field and its
    // label are left out.
    QString text = view.LoadString(doc_string::kTempReadout);
    const qsizetype at = text.indexOf(QLatin1String("%.1f"));
    if (at < 0)
        return view.SetToolTipText(QString::asprintf("%4.1f", shown));
    text.replace(at, 4, QString::asprintf("%4.1f", shown));
    const qsizetype second = text.indexOf(QLatin1String("%.1f"), at);
    if (second >= 0) {
        text.truncate(second);
        const qsizetype space = text.lastIndexOf(QLatin1Char(' '));
        if (space > at)
            text.truncate(space);
    }
    view.SetToolTipText(text.trimmed());
}

void CAnalysisTool::SpotReadout(DrawView& view, QPoint local)
{
    CDrawObj* obj = ImageAt(*view.GetDocument(), local);
    const IRImageObject* image = AsIRImage(obj);
    if (image == nullptr || !image->HasPicture()) {
        view.SetToolTipText({});
        return;
    }
    const DocRect r = obj->position.Normalized();
    const int px = TruncToInt((double(local.x()) - r.left) * image->PixelScaleX());
    const int py = TruncToInt((double(r.bottom) - local.y()) * image->PixelScaleY());
    const QSize size = image->ImageSize();
    const std::optional<float> t =
        px > 0 && px < size.width() && py > 0 && py < size.height() ? image->PointTemperature(px, py) : std::nullopt;
    if (!t) {
        view.SetToolTipText({});
        return;
    }
    ShowReadout(view, *t);
}

void CAnalysisTool::ScaleReadout(DrawView& view, QPoint local)
{
    CDrawObj* obj = ImageAt(*view.GetDocument(), local);
    const IRImageObject* image = AsIRImage(obj);
    if (image == nullptr) {
        view.SetToolTipText({});
        return;
    }
    const DocRect r = obj->position.Normalized();
    const double height = double(r.bottom) - r.top;
    const int left = TruncToInt(r.left + 1.33333 * height + 50);
    double lower = double(r.top) + 300;
    double upper = double(r.bottom) - 300;
    if (upper - lower < 800) {
        lower -= 250;
        upper += 250;
    }
    if (local.x() < left || local.x() > left + 260 || local.y() < lower || local.y() > upper || upper <= lower) {
        view.SetToolTipText({});
        return;
    }
    const auto [low, high] = image->ScaleRange();
    ShowReadout(view, float(low + (high - low) * (local.y() - lower) / (upper - lower)));
}

// The tools, in the order they have always been made.
CSelectionTool g_selectTool;
CShapeTool g_lineTool(kShapeLine);
CShapeTool g_rectTool(kShapeRect);
CShapeTool g_roundRectTool(kShapeRoundRect);
CShapeTool g_ellipseTool(kShapeEllipse);
CPolylineTool g_polyTool;
CBandTool g_textTool(kShapeText, BandStyle::Plain, true);
CBandTool g_irImageTool(kShapeIRImage, BandStyle::Plain, true);
CBandTool g_fieldTool(kShapeField, BandStyle::Plain, true);
CBandTool g_tableTool(kShapeTable, BandStyle::Plain, true);
CBandTool g_resultTableTool(kShapeResultTable, BandStyle::ResultTable, false);
CBandTool g_profileTool(kShapeProfile, BandStyle::Snapped, false);
CBandTool g_histogramTool(kShapeHistogram, BandStyle::Snapped, false);
CBandTool g_photoTool(kShapePhoto, BandStyle::Snapped, false);
CBandTool g_logoTool(kShapeLogo, BandStyle::Snapped, false);
CAnalysisTool g_analysisTool;
CBandTool g_mapTool(kShape3DMap, BandStyle::Snapped, false);
CBandTool g_timeProfileTool(kShapeTimeProfile, BandStyle::Snapped, true);
CShapeTool g_arrowTool(kShapeArrow);

void CShapeTool::OnMouseMove(DrawView& view, int flags, QPoint point)
{
    view.SetToolCursor(HandleCursor::Cross);
    g_selectTool.OnMouseMove(view, flags, point);
}

void CPolylineTool::OnMouseMove(DrawView& view, int flags, QPoint point)
{
    CDI_RptDoc* doc = view.GetDocument();
    CDrawPoly* poly = doc != nullptr ? Current(*doc) : nullptr;
    if (poly != nullptr && (flags & MK_LBUTTON) != 0) {
        const QPoint local = ToolDocPoint(view, point);
        poly->AddPoint(local, &view);
        g_dragHandle = poly->GetHandleCount();
        g_lastDocPoint = local;
        g_lastClientPoint = point;
        view.SetToolCursor(HandleCursor::Pencil);
        return;
    }
    view.SetToolCursor(HandleCursor::Cross);
    g_selectTool.OnMouseMove(view, flags, point);
}

} // namespace
