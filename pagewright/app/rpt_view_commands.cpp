// CDI_RptView: the tool commands, selection and editing commands, the
// context menu, colour styles, the logo and the in-place editor's
// formatting changes.
#include "rpt_view.h"

#include "frame_resources.h"
#include "main_frame.h"
#include "resource_ids.h"
#include "rpt_app.h"
#include "split_frame.h"

#include "content/draw_table.h"
#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "content/draw_time_profile.h"
#include "document/draw_photo.h"
#include "document/draw_rect.h"
#include "platform/dialog_folder.h"
#include "document/draw_tool.h"
#include "document/ir_image_object.h"
#include "document/rpt_doc.h"

#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "skin/file_filters.h"
#include "skin/skin_scroll_bar.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>

#include <algorithm>

namespace {

struct ToolCommand {
    int id;
    int kind;
};

constexpr ToolCommand kToolCommands[] = {
    {32770, kShapeSelect},      {32771, kShapeLine},    {32772, kShapeRect},      {32773, kShapeRoundRect},
    {32774, kShapeEllipse},     {32782, kShapePoly},    {32812, kShapeText},      {32815, kShapeIRImage},
    {32816, kShapeField},       {32820, kShapeTable},   {32966, kShapeResultTable}, {32813, kShapeProfile},
    {33086, kShapeHistogram},   {32804, kShapePhoto},   {32972, kShapeLogo},      {34020, kShape3DMap},
    {34007, kShapeTimeProfile}, {34023, kShapeArrow},
};

// Pen widths of the line-width commands 32985 to 32997.
constexpr int kLineWidths[] = {1, 2, 3, 4, 5, 6, 8, 10, 12, 0, 0, 0, 0};

using namespace res;

constexpr int ID_MOVE_TO_FRONT = 32777;
constexpr int ID_MOVE_TO_BACK = 32778;
constexpr int ID_MOVE_FORWARD = 32779;
constexpr int ID_MOVE_BACKWARD = 32780;
constexpr int ID_STYLE_FIRST = 34065;
constexpr int ID_STYLE_LAST = 34070;

// Whether embedded items draw their borders (shared by every view).
bool g_showOleItems = true;

bool IsTextObject(const CDrawObj* obj) { return IsKindOfName(obj, "CDrawText"); }

// The paragraph commands of the format bar.
constexpr int kAlignCenterCommand = 119;
constexpr int kAlignRightCommand = 121;

} // namespace

void CDI_RptView::SetupCommands()
{
    for (const ToolCommand& t : kToolCommands) {
        CCmdTarget::OnCommand(t.id, [this, kind = t.kind](int) { SetTool(kind); });
        CCmdTarget::OnUpdate(t.id, [kind = t.kind](CCmdUI& ui) {
            const bool band = kind == kShapeText || kind == kShapeIRImage || kind == kShapeField ||
                              kind == kShapeTable || (kind >= kShapeResultTable && kind <= kShapeTimeProfile);
            ui.Enable(!band || HasToolObjectFactory(kind));
            ui.SetRadio(g_currentKind == kind);
        });
    }
    // The number pane names the selection of this report as it is now: the
    // object selected last (the one clicked), or "None". A new report, or
    // another one brought to the front, shows its own; an image just made,
    // or a chart bound to another image, shows its number at once.
    CCmdTarget::OnUpdate(res::ID_INDICATOR_NONE, [this](CCmdUI& ui) {
        const int number = GetSelection().empty() ? 0 : ShownNumber(GetSelection().back());
        ui.SetText(number != 0 ? QStringLiteral("NO.%1").arg(number) : LoadString(doc_string::kNone));
    });
    // The lock pane shows this report's lock, not the last one changed.
    CCmdTarget::OnUpdate(res::ID_INDICATOR_LOCKED,
                         [this](CCmdUI& ui) { ui.Enable(GetDocument() != nullptr && GetDocument()->IsLocked()); });
    SetupEditCommands();
    SetupPageCommands();
    SetupIRCommands();
}

bool CDI_RptView::TakesTextFormat(int id) const
{
    // As OnTextFormatChange hands the change on: one text while its editor
    // is open, one field, table or result table (which aligns its text to
    // the left only); or, of several, any text or field.
    const std::vector<CDrawObj*>& selection = GetSelection();
    const auto textOrField = [](const CDrawObj* obj) { return IsTextObject(obj) || IsKindOfName(obj, "CDrawField"); };
    if (selection.size() != 1)
        return std::any_of(selection.begin(), selection.end(), textOrField);
    const CDrawObj* obj = selection.front();
    if (IsTextObject(obj))
        return IsTextEditorVisible();
    if (IsKindOfName(obj, "CDrawResultTable"))
        return id != kAlignCenterCommand && id != kAlignRightCommand;
    return IsKindOfName(obj, "CDrawField") || IsKindOfName(obj, "CDrawTable");
}

void CDI_RptView::SetTool(int kind)
{
    CDI_RptDoc* doc = GetDocument();
    if (kind != kShapeSelect && doc != nullptr && doc->IsLocked()) {
        g_currentKind = kShapeSelect;
        g_toolMode = kModeNone;
        return;
    }
    g_currentKind = kind;
    if (kind == kShapeSelect)
        g_toolMode = kModeNone;
}

bool CDI_RptView::VersionMismatch()
{
    CDI_RptDoc* doc = GetDocument();
    if (doc == nullptr || doc->GetVersion() == doc->GetProgVersion())
        return false;
    doc->Environment().MessageBox(doc_string::kVersionMismatch);
    return true;
}

namespace {
// The table commands of the cell menu.
constexpr int kAddRowColumnCommand = 32964;
constexpr int kDeleteRowCommand = 32977;
constexpr int kDeleteColumnCommand = 32978;
} // namespace

void CDI_RptView::SetupEditCommands()
{
    const auto hasSelection = [this](CCmdUI& ui) { ui.Enable(!GetSelection().empty()); };
    const auto editable = [this](CCmdUI& ui) { ui.Enable(!GetSelection().empty() && g_currentKind == kShapeSelect); };
    const auto oneSelected = [this](CCmdUI& ui) { ui.Enable(GetSelection().size() == 1); };

    // Selecting.
    const auto selectAllUpdate = [this](CCmdUI& ui) {
        ui.Enable(GetDocument() != nullptr && !GetDocument()->GetObjects().empty() && g_currentKind == kShapeSelect);
    };
    CCmdTarget::OnCommand(res::ID_EDIT_SELECT_ALL, [this](int) {
        for (CDrawObj* obj : std::vector<CDrawObj*>(GetDocument()->GetObjects()))
            Select(obj, true);
    });
    CCmdTarget::OnUpdate(res::ID_EDIT_SELECT_ALL, selectAllUpdate);
    CCmdTarget::OnCommand(ID_SELECT_PAGE, [this](int) {
        const auto page = static_cast<std::uint32_t>(GetDocument()->GetCurPage());
        for (CDrawObj* obj : std::vector<CDrawObj*>(GetDocument()->GetObjects())) {
            if (obj->page == page)
                Select(obj, true);
        }
    });
    CCmdTarget::OnUpdate(ID_SELECT_PAGE, selectAllUpdate);

    // The selected table's rows and columns: add or delete through its
    // dialog, delete the picked column or row.
    const auto selectedTable = [this]() -> CDrawTable* {
        return GetSelection().size() == 1 ? dynamic_cast<CDrawTable*>(GetSelection().front()) : nullptr;
    };
    const auto oneTable = [selectedTable](CCmdUI& ui) { ui.Enable(selectedTable() != nullptr); };
    CCmdTarget::OnCommand(kAddRowColumnCommand, [selectedTable](int) {
        if (CDrawTable* t = selectedTable())
            t->InsertRowsColumns();
    });
    CCmdTarget::OnUpdate(kAddRowColumnCommand, oneTable);
    CCmdTarget::OnCommand(kDeleteColumnCommand, [selectedTable](int) {
        if (CDrawTable* t = selectedTable())
            t->DeleteColumn();
    });
    // Deleting needs a picked column (row) and never takes the last one.
    CCmdTarget::OnUpdate(kDeleteColumnCommand, [selectedTable](CCmdUI& ui) {
        const CDrawTable* t = selectedTable();
        ui.Enable(t != nullptr && t->GetSelectedColumn() >= 0 && t->GetColumnCount() != 1);
    });
    CCmdTarget::OnCommand(kDeleteRowCommand, [selectedTable](int) {
        if (CDrawTable* t = selectedTable())
            t->DeleteRow();
    });
    CCmdTarget::OnUpdate(kDeleteRowCommand, [selectedTable](CCmdUI& ui) {
        const CDrawTable* t = selectedTable();
        ui.Enable(t != nullptr && t->GetSelectedRow() >= 0 && t->GetRowCount() != 1);
    });

    // Delete, cut, copy, paste.
    CCmdTarget::OnCommand(res::ID_EDIT_CLEAR, [this](int) { OnEditClear(); });
    CCmdTarget::OnUpdate(res::ID_EDIT_CLEAR, editable);
    CCmdTarget::OnCommand(res::ID_EDIT_CUT, [this](int) {
        if (VersionMismatch())
            return;
        OnEditCopy();
        OnEditClear();
    });
    CCmdTarget::OnUpdate(res::ID_EDIT_CUT, editable);
    CCmdTarget::OnCommand(res::ID_EDIT_COPY, [this](int) {
        if (!VersionMismatch())
            OnEditCopy();
    });
    CCmdTarget::OnUpdate(res::ID_EDIT_COPY, editable);
    CCmdTarget::OnCommand(res::ID_EDIT_PASTE, [this](int) {
        if (!VersionMismatch())
            OnEditPaste();
    });
    CCmdTarget::OnUpdate(res::ID_EDIT_PASTE, [](CCmdUI& ui) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        ui.Enable(data != nullptr && data->hasFormat(QString::fromLatin1(kClipboardFormat)) &&
                  g_currentKind == kShapeSelect);
    });

    // Stacking order of the first selected object.
    const auto restack = [this](int id) {
        CDrawObj* obj = GetSelection().empty() ? nullptr : GetSelection().front();
        CDI_RptDoc* doc = GetDocument();
        if (obj == nullptr)
            return;
        switch (id) {
        case ID_MOVE_BACKWARD: doc->MoveBackward(obj); break;
        case ID_MOVE_FORWARD: doc->MoveForward(obj); break;
        case ID_MOVE_TO_BACK: doc->MoveToBack(obj); break;
        default: doc->MoveToFront(obj); break;
        }
    };
    CCmdTarget::OnCommandRange(ID_MOVE_TO_FRONT, ID_MOVE_BACKWARD, restack);
    CCmdTarget::OnUpdateRange(ID_MOVE_TO_FRONT, ID_MOVE_BACKWARD, hasSelection);

    // Colours, line widths, arrowheads.
    CCmdTarget::OnCommand(ID_FILL_COLOR, [this](int) {
        const COLORREF initial = GetSelection().empty() ? 0xFFFFFF : GetSelection().front()->GetFillColor();
        if (const std::optional<COLORREF> c = GetDocument()->Environment().ChooseColor(initial))
            ApplyColor(true, c);
    });
    CCmdTarget::OnUpdate(ID_FILL_COLOR, hasSelection);
    CCmdTarget::OnCommand(ID_LINE_COLOR, [this](int) {
        const COLORREF initial = GetSelection().empty() ? 0 : GetSelection().front()->GetLogPen().color;
        if (const std::optional<COLORREF> c = GetDocument()->Environment().ChooseColor(initial))
            ApplyColor(false, c);
    });
    CCmdTarget::OnUpdate(ID_LINE_COLOR, hasSelection);
    const auto buttonColor = [](int id) -> COLORREF {
        const CDI_RptApp* app = theAppOrNull();
        const long c = app != nullptr && app->GetMainFrame() != nullptr ? app->GetMainFrame()->GetColorButton(id) : -1;
        return static_cast<COLORREF>(c);
    };
    CCmdTarget::OnCommand(res::ID_FILL_COLOR_BUTTON, [this, buttonColor](int id) {
        const COLORREF c = buttonColor(id);
        ApplyColor(true, c);
        if (IsTextEditorVisible())
            GetTextEditor()->SetBackground(c == 0xFFFFFFFF ? 0xFFFFFF : c);
    });
    CCmdTarget::OnUpdate(res::ID_FILL_COLOR_BUTTON, hasSelection);
    CCmdTarget::OnCommand(res::ID_LINE_COLOR_BUTTON, [this, buttonColor](int id) { ApplyColor(false, buttonColor(id)); });
    CCmdTarget::OnCommandRange(32985, 32997, [this](int id) {
        const int width = kLineWidths[id - 32985];
        for (CDrawObj* obj : std::vector<CDrawObj*>(GetSelection()))
            obj->SetLineWidth(width);
    });
    CCmdTarget::OnUpdateRange(32985, 32997, hasSelection);
    const auto arrowTarget = [this]() -> CDrawRect* {
        if (GetSelection().size() != 1)
            return nullptr;
        auto* rect = dynamic_cast<CDrawRect*>(GetSelection().front());
        return rect != nullptr && rect->IsLineShape() ? rect : nullptr;
    };
    CCmdTarget::OnCommandRange(34025, 34028, [this, arrowTarget](int id) {
        if (CDrawRect* rect = arrowTarget()) {
            rect->arrowStyle = id - 34025;
            GetDocument()->SetModifiedFlag(true);
            InvalidateAll();
        }
    });
    CCmdTarget::OnUpdateRange(34025, 34028, [arrowTarget](CCmdUI& ui) { ui.Enable(arrowTarget() != nullptr); });

    // Alignment.
    CCmdTarget::OnCommandRange(34002, 34005, [this](int id) { Align(id); });
    CCmdTarget::OnUpdateRange(34002, 34005, [this](CCmdUI& ui) { ui.Enable(GetSelection().size() >= 2); });

    // Guides, embedded items, properties, cancel.
    CCmdTarget::OnCommand(ID_GRID, [this](int) {
        m_bGrid = !m_bGrid;
        InvalidateAll();
    });
    CCmdTarget::OnUpdate(ID_GRID, [this](CCmdUI& ui) { ui.SetCheck(m_bGrid ? 1 : 0); });
    CCmdTarget::OnCommand(ID_SHOW_OBJECTS, [this](int) {
        g_showOleItems = !g_showOleItems;
        GetDocument()->UpdateAllViews(nullptr, kHintOleItems);
    });
    CCmdTarget::OnUpdate(ID_SHOW_OBJECTS, [](CCmdUI& ui) { ui.SetCheck(g_showOleItems ? 1 : 0); });
    CCmdTarget::OnCommand(ID_PROPERTIES, [this](int) {
        if (GetSelection().size() == 1 && g_currentKind == kShapeSelect)
            FindTool(kShapeSelect)->OnEditProperties(*this);
    });
    CCmdTarget::OnUpdate(ID_PROPERTIES, [this](CCmdUI& ui) {
        ui.Enable(GetSelection().size() == 1 && g_currentKind == kShapeSelect);
    });
    CCmdTarget::OnCommand(kCancelCommand, [this](int) {
        CloseInPlaceItem();
        ReleaseCapture();
        if (CDrawTool* tool = FindTool(g_currentKind))
            tool->OnCancel();
        g_currentKind = kShapeSelect;
        g_toolMode = kModeNone;
        SetBand({});
    });

    // Commands of the selected object.
    for (int id : {32984, 34021, 32971, 34055}) {
        CCmdTarget::OnCommand(id, [this](int cmd) {
            if (GetSelection().size() == 1)
                GetSelection().front()->DoCommand(static_cast<unsigned>(cmd), QString(), 0);
        });
        CCmdTarget::OnUpdate(id, oneSelected);
    }
    // The settings of the selected line profile or histogram.
    CCmdTarget::OnCommand(32969, [this](int) {
        if (GetSelection().size() == 1)
            if (auto* profile = dynamic_cast<CDrawProfile*>(GetSelection().front()))
                profile->EditSettings();
    });
    CCmdTarget::OnCommand(32970, [this](int) {
        if (GetSelection().size() == 1)
            if (auto* histogram = dynamic_cast<CDrawHistogram*>(GetSelection().front()))
                histogram->EditSettings();
    });
    CCmdTarget::OnCommand(32983, [this](int) {
        if (GetSelection().size() == 1)
            if (auto* timeProfile = dynamic_cast<CDrawTimeProfile*>(GetSelection().front()))
                timeProfile->EditSettings();
    });
    CCmdTarget::OnUpdate(32969, oneSelected);
    CCmdTarget::OnUpdate(32983, oneSelected);
    CCmdTarget::OnUpdate(32970, oneSelected);
    // The editor's format states, while the selection holds something the
    // change reaches (OnTextFormatChange); the remaining update-only
    // commands.
    for (int id : {104, 108, 111, 119, 117, 121}) {
        CCmdTarget::OnUpdate(id, [this](CCmdUI& ui) {
            bool enabled = false;
            bool checked = false;
            if (TakesTextFormat(ui.GetID()) && GetTextEditor() != nullptr &&
                GetTextEditor()->UpdateCommand(ui.GetID(), enabled, checked)) {
                ui.Enable(enabled);
                ui.SetCheck(checked ? 1 : 0);
                return;
            }
            ui.Enable(false);
        });
    }
    CCmdTarget::OnUpdateRange(32921, 32922, hasSelection);

    // Colour styles and the logo.
    CCmdTarget::OnCommandRange(ID_STYLE_FIRST, ID_STYLE_LAST, [this](int id) { OnColorStyle(id - ID_STYLE_FIRST); });
    CCmdTarget::OnUpdateRange(ID_STYLE_FIRST, ID_STYLE_LAST, [](CCmdUI& ui) {
        const CDI_RptApp* app = theAppOrNull();
        ui.SetRadio(app != nullptr && app->m_skin.m_nStyleNum == ui.GetID() - ID_STYLE_FIRST);
    });
    CCmdTarget::OnCommand(ID_LOGO, [this](int) { OnLogo(); });
}

void CDI_RptView::ApplyColor(bool fill, std::optional<COLORREF> color)
{
    CDI_RptDoc* doc = GetDocument();
    if (!color || GetSelection().empty())
        return;
    doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, GetSelection().front(), 1);
    for (CDrawObj* obj : std::vector<CDrawObj*>(GetSelection())) {
        if (fill)
            obj->SetFillColor(*color);
        else
            obj->SetLineColor(*color);
    }
    doc->SaveUndoSnapshot(CDI_RptDoc::kUndoChange, GetSelection().front(), 1);
}

void CDI_RptView::Align(int id)
{
    const std::vector<CDrawObj*> selection = GetSelection();
    if (selection.size() < 2)
        return;
    CDI_RptDoc* doc = GetDocument();
    doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, selection.front(), 1);
    const DocRect ref = selection.front()->position.Normalized();
    for (std::size_t i = 1; i < selection.size(); ++i) {
        CDrawObj* obj = selection[i];
        const DocRect n = obj->position.Normalized();
        std::int64_t dx = 0;
        std::int64_t dy = 0;
        switch (id) {
        case 34002: dx = std::int64_t(ref.left) - n.left; break;
        case 34003: dx = std::int64_t(ref.right) - n.right; break;
        case 34004: dy = std::int64_t(ref.top) - n.top; break;       // the lower edge
        default: dy = std::int64_t(ref.bottom) - n.bottom; break;    // the upper edge
        }
        obj->MoveTo(obj->position.Translated(dx, dy), CDrawObj::kMoveNoUndo, this);
        if (IsKindOfName(obj, "CDrawTable"))
            obj->RecalcLayout();
    }
    InvalidateAll();
    doc->SaveUndoSnapshot(CDI_RptDoc::kUndoChange, selection.front(), 1);
}

void CDI_RptView::RemoveImage(CDrawObj* obj)
{
    const std::vector<CDrawObj*>& images = GetIRObjects();
    const auto it = std::find(images.begin(), images.end(), obj);
    if (it == images.end())
        return;
    ShiftImageList(static_cast<int>(it - images.begin()), -1);
    RemoveIRObject(obj);
}

void CDI_RptView::OnEditClear()
{
    CDI_RptDoc* doc = GetDocument();
    const std::vector<CDrawObj*> selection = GetSelection();
    doc->UpdateAllViews(this, kHintRemove, nullptr, &selection);
    OnRedrawSelection();
    if (IsTextEditorVisible()) {
        GetTextEditor()->OnCommand(res::ID_EDIT_CLEAR);
        return;
    }
    if (selection.empty())
        return;
    doc->SaveRedoSnapshot(CDI_RptDoc::kUndoDelete, selection.front(), 1);
    doc->SaveUndoSnapshot(CDI_RptDoc::kUndoDelete, selection.front(), 1);
    for (CDrawObj* obj : selection) {
        if (AsIRImage(obj) != nullptr)
            RemoveImage(obj);
        doc->Remove(obj);
        obj->Remove();
    }
    DrawView::ClearSelection();
}

void CDI_RptView::OnEditCopy()
{
    CDI_RptDoc* doc = GetDocument();
    m_pasteOffset = QPoint(100, -100);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kClipboardFormat), doc->ArchiveObjects(GetSelection()));
    QGuiApplication::clipboard()->setMimeData(data);
    m_copyPage = doc->GetCurPage();
}

void CDI_RptView::OnEditPaste()
{
    CDI_RptDoc* doc = GetDocument();
    OnRedrawSelection();
    ClearSelection();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString format = QString::fromLatin1(kClipboardFormat);
    if (data == nullptr || !data->hasFormat(format))
        return; // embedded items are not pasted
    std::vector<std::unique_ptr<CDrawObj>> objects;
    if (!doc->ReadArchivedObjects(data->data(format), objects) || objects.empty())
        return;
    const bool samePage = doc->GetCurPage() == m_copyPage;
    std::vector<CDrawObj*> pasted;
    for (std::unique_ptr<CDrawObj>& obj : objects) {
        obj->SetView(this);
        pasted.push_back(doc->AddNoUndo(std::move(obj)));
    }
    int firstImage = 0;
    for (CDrawObj* obj : pasted) {
        Select(obj, true);
        DocRect r = obj->position;
        if (samePage)
            r = r.Translated(m_pasteOffset.x(), m_pasteOffset.y());
        obj->MoveTo(r, CDrawObj::kMoveNoUndo, this);
        obj->page = static_cast<std::uint32_t>(doc->GetCurPage());
        if (IRImageObject* image = AsIRImage(obj)) {
            const int n = NextFreeIRNumber();
            image->SetIRNumber(n);
            if (firstImage == 0)
                firstImage = n;
            InsertIRObject(obj);
            const std::vector<CDrawObj*>& images = GetIRObjects();
            ShiftImageList(static_cast<int>(std::find(images.begin(), images.end(), obj) - images.begin()), 1);
        }
    }
    if (firstImage != 0) {
        for (CDrawObj* obj : pasted) {
            if (IRLinkedObject* linked = AsIRLinked(obj))
                linked->SetLinkedIRNumber(firstImage);
        }
    }
    if (samePage)
        m_pasteOffset += QPoint(100, -100);
    doc->SaveRedoSnapshot(CDI_RptDoc::kUndoAdd, nullptr, 1);
    doc->SaveUndoSnapshot(CDI_RptDoc::kUndoAdd, nullptr, 1);
    doc->UpdateAllViews(nullptr, kHintList);
}

QMenu* CDI_RptView::BuildContextMenu(QPoint client)
{
    CDI_RptDoc* doc = GetDocument();
    if (doc == nullptr || (g_toolMode >= kModePointAnalysis && g_toolMode <= kModeScaleIsotherm))
        return nullptr;
    if (g_currentKind == kShapePoly) {
        // A right click ends the polygon being drawn.
        CDrawTool* poly = FindTool(kShapePoly);
        poly->OnLButtonDown(*this, 0, client);
        poly->OnLButtonDblClk(*this, 0, client);
        return nullptr;
    }
    const CDI_RptApp* app = theAppOrNull();
    CMainFrame* frame = app != nullptr ? app->GetMainFrame() : nullptr;
    auto* menu = new QMenu(this);
    const auto action = [frame, menu](int id, const QString& text) -> QAction* {
        QAction* a = frame != nullptr ? frame->GetCommandAction(id) : new QAction(menu);
        if (frame == nullptr)
            a->setData(id);
        a->setText(text.section(QLatin1Char('\t'), 0, 0));
        return a;
    };
    const QPoint local = ToolDocPoint(*this, client);
    CDrawObj* obj = doc->ObjectAt(local);
    if (obj != nullptr) {
        if (!IsSelected(obj))
            Select(obj, false);
        UpdateWindow();
        const std::vector<MenuItem>& popups = MenuResource(res::IDR_CONTEXT_MENU);
        const int index = obj->GetPopupMenuIndex();
        if (index >= 0 && index < int(popups.size()))
            BuildMenu(menu, popups[std::size_t(index)].items, action);
        const bool oneTable = GetSelection().size() == 1 && IsKindOfName(obj, "CDrawTable");
        if (!oneTable) {
            for (QAction* a : menu->actions()) {
                if (a->data().toInt() == 32964)
                    menu->removeAction(a);
            }
        }
    } else {
        const std::vector<MenuItem>& top = MenuResource(res::IDR_REPORTTYPE);
        if (top.size() > 1) {
            std::vector<MenuItem> items = top[1].items;
            if (items.size() > 2)
                items.erase(items.begin() + 2);
            std::erase_if(items, [](const MenuItem& m) {
                return m.id == 32824 || m.id == 32825 || m.id == 57856 || m.id == 57857 || m.id == 57872 ||
                       m.id == 32785;
            });
            BuildMenu(menu, items, action);
        }
    }
    if (frame != nullptr)
        frame->UpdateCommandUI();
    return menu;
}

void CDI_RptView::OnColorStyle(int k)
{
    CDI_RptApp* app = theAppOrNull();
    if (app == nullptr || k < 0 || k >= skin::SkinState::kStyleCount)
        return;
    // The main frame follows the skin's changed() signal.
    app->m_skin.m_nStyleNum = k;
    app->m_skin.BuildSkinBitmaps(app->m_skin.m_clrStylePresets[std::size_t(k)]);
    if (CMainFrame* frame = app->GetMainFrame()) {
        for (QMdiSubWindow* w : frame->GetMdiClient()->subWindowList()) {
            if (auto* child = qobject_cast<CSplitFrame*>(w)) {
                for (int bar : {0, 1}) {
                    if (CSkinScrollBar* b = child->GetScrollBar(bar))
                        b->SetBitmap(app->m_skin.m_hSkinScrollBitmap);
                }
                child->update();
            }
        }
    }
    platform::IniFile(platform::ResolveProgramFile(app->GetAppDirectory(), QStringLiteral("field.ini")))
        .writeString(u"COMMON", u"StyleNum", QString::asprintf("%d", k));
    InvalidateAll();
}

void CDI_RptView::OnLogo()
{
    CDI_RptDoc* doc = GetDocument();
    const QString filter = skin::FileDialogFilter(QString::fromLatin1(CDrawPhoto::kPictureFilter));
    DocumentEnvironment& env = doc->Environment();
    const QString path = QFileDialog::getOpenFileName(this, QString(), platform::ProposedFolder(env.PicPath()), filter);
    if (path.isEmpty())
        return;
    env.SetPicPath(path);
    if (doc->GetLogo().Load(path)) {
        doc->SetModifiedFlag(true);
        InvalidateAll();
    }
}

void CDI_RptView::OnTextFormatChange(int code, std::intptr_t value)
{
    CDI_RptDoc* doc = GetDocument();
    const std::vector<CDrawObj*> selection = GetSelection();
    if (doc == nullptr || selection.empty())
        return;
    if (selection.size() == 1) {
        CDrawObj* obj = selection.front();
        if (IsTextObject(obj)) {
            if (!IsTextEditorVisible())
                return;
            obj->formatValue = static_cast<int>(value);
            obj->DoCommand(CDrawObj::kFormatCommand, QString::number(code), 0);
            return;
        }
        if (IsKindOfName(obj, "CDrawPhoto") || IsKindOfName(obj, "CDrawLogo") || IsKindOfName(obj, "CDraw3DMap") ||
            IsKindOfName(obj, "CDrawPoly"))
            return;
        doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, obj, 1);
        obj->formatValue = static_cast<int>(value);
        obj->DoCommand(CDrawObj::kFormatCommand, QString::number(code), static_cast<int>(value));
        return;
    }
    InPlaceTextEditor* editor = GetTextEditor();
    doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, selection.front(), 1);
    for (CDrawObj* obj : selection) {
        if (editor == nullptr || code < 0 || code > 7 || !(IsTextObject(obj) || IsKindOfName(obj, "CDrawField")))
            continue;
        CRtfMemFile* store = obj->GetTextStore();
        if (store->GetLength() == 0) {
            // An empty text takes the default text of the program folder.
            CRtfMemFile defaultText;
            QFile file(platform::ResolveProgramFile(doc->Environment().ProgramFolder(), QStringLiteral("wenben.dat")));
            if (file.open(QIODevice::ReadOnly) && file.size() < (16 << 20))
                defaultText.Assign(file.readAll());
            editor->StreamIn(defaultText);
        } else {
            store->Rewind();
            editor->StreamIn(*store);
        }
        editor->SetSel(0, -1);
        editor->ApplyFormat(code, value);
        store->SetLength(0);
        store->Rewind();
        editor->StreamOut(*store);
        store->Rewind();
    }
    doc->SaveUndoSnapshot(CDI_RptDoc::kUndoChange, selection.front(), 1);
    InvalidateAll();
}
