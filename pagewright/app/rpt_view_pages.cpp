// CDI_RptView: pages, zoom, page navigation, printing and print preview.
#include "rpt_view.h"

#include "main_frame.h"
#include "new_page_dlg.h"
#include "page_title_dlg.h"
#include "resource_ids.h"
#include "rpt_app.h"

#include "document/page_render.h"
#include "document/rpt_doc.h"

#include <QComboBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <cmath>

namespace {

constexpr int ID_NEW_PAGE = 32826;
constexpr int ID_ZOOM_IN = 32833;
constexpr int ID_ZOOM_OUT = 32834;
constexpr int ID_WHOLE_PAGE = 32835;
constexpr int ID_ZOOM_200 = 32931;
constexpr int ID_ZOOM_50 = 32935;
constexpr int ID_DELETE_PAGE = 1499;
constexpr int ID_PAGE_TITLE = 1506;

// The zoom of the fixed-step commands 32931 (200 %) to 32935 (50 %).
constexpr float kZoomSteps[] = {2.0f, 1.5f, 1.0f, 0.75f, 0.5f};

std::function<bool(QPrinter&)>& printDialogHook()
{
    static std::function<bool(QPrinter&)> hook;
    return hook;
}

std::function<void(const std::function<void(QPrinter*)>&)>& previewHook()
{
    static std::function<void(const std::function<void(QPrinter*)>&)> hook;
    return hook;
}

} // namespace

void CDI_RptView::SetPrintDialogHook(std::function<bool(QPrinter&)> hook) { printDialogHook() = std::move(hook); }

void CDI_RptView::SetPreviewHook(std::function<void(const std::function<void(QPrinter*)>&)> hook)
{
    previewHook() = std::move(hook);
}

void CDI_RptView::SetupPageCommands()
{
    for (int id = ID_NEW_PAGE; id <= ID_WHOLE_PAGE; ++id) {
        if (id == 32827 || id == 32828)
            continue;
        CCmdTarget::OnCommand(id, [this](int cmd) { OnPageCommand(cmd); });
    }
    CCmdTarget::OnCommandRange(ID_ZOOM_200, ID_ZOOM_50, [this](int id) { OnPageCommand(id); });
    CCmdTarget::OnUpdateRange(ID_ZOOM_200, ID_ZOOM_50, [this](CCmdUI& ui) {
        ui.SetCheck(m_fZoom == kZoomSteps[ui.GetID() - ID_ZOOM_200] ? 1 : 0);
    });
    CCmdTarget::OnCommand(ID_DELETE_PAGE, [this](int id) { OnPageCommand(id); });
    CCmdTarget::OnUpdate(ID_DELETE_PAGE, [this](CCmdUI& ui) { ui.Enable(GetPageCount() >= 2); });
    CCmdTarget::OnCommand(ID_PAGE_TITLE, [this](int id) { OnPageCommand(id); });
    CCmdTarget::OnUpdate(ID_PAGE_TITLE, [](CCmdUI& ui) { ui.Enable(true); });
    CCmdTarget::OnCommand(res::ID_PAGE_COMBO, [this](int id) { OnPageCommand(id); });
    CCmdTarget::OnCommand(res::ID_FILE_PRINT, [this](int) { OnPrint(); });
    CCmdTarget::OnCommand(res::ID_FILE_PRINT_PREVIEW, [this](int) { OnPrintPreview(); });
}

void CDI_RptView::OnPageCommand(int id)
{
    CDI_RptDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    const int current = doc->GetCurPage();
    switch (id) {
    case ID_NEW_PAGE: OnNewPage(); break;
    case CDI_RptDoc::ID_FIRST_PAGE: doc->SetCurPage(0); break;
    case CDI_RptDoc::ID_PREV_PAGE:
        if (current > 0)
            doc->SetCurPage(current - 1);
        break;
    case CDI_RptDoc::ID_NEXT_PAGE:
        if (current < doc->GetPageCount() - 1)
            doc->SetCurPage(current + 1);
        break;
    case CDI_RptDoc::ID_LAST_PAGE: doc->SetCurPage(doc->GetPageCount() - 1); break;
    case ID_ZOOM_IN: OnZoomIn(); break;
    case ID_ZOOM_OUT: OnZoomOut(); break;
    case ID_WHOLE_PAGE: OnWholePage(); break;
    case ID_DELETE_PAGE: OnDeletePage(); break;
    case ID_PAGE_TITLE: OnPageTitle(); break;
    case res::ID_PAGE_COMBO: {
        const CDI_RptApp* app = theAppOrNull();
        const QComboBox* combo = app != nullptr && app->GetMainFrame() != nullptr ? app->GetMainFrame()->GetPageCombo()
                                                                                  : nullptr;
        if (combo != nullptr && combo->currentIndex() >= 0)
            doc->SetCurPage(combo->currentIndex());
        break;
    }
    default:
        if (id >= ID_ZOOM_200 && id <= ID_ZOOM_50) {
            m_fZoom = kZoomSteps[id - ID_ZOOM_200];
            SetPageSize(doc->GetPageSize().width(), doc->GetPageSize().height());
        }
        break;
    }
    if (id >= ID_ZOOM_IN && id <= ID_WHOLE_PAGE)
        SetPageSize(doc->GetPageSize().width(), doc->GetPageSize().height());
    if (doc->GetCurPage() != current)
        DrawView::ClearSelection();
    doc->FillPageTitles();
    HideTextEditor();
    InvalidateAll();
}

void CDI_RptView::OnZoomIn()
{
    const int key = TruncToInt(double(m_fZoom) * 100) - 50;
    switch (key) {
    case 0: m_fZoom = 0.75f; break;
    case 25: m_fZoom = 1.0f; break;
    case 50: m_fZoom = 1.5f; break;
    case 100:
    case 150: m_fZoom = 2.0f; break;
    default:
        if (m_fZoom < 0.5f)
            m_fZoom = 0.5f;
        else if (m_fZoom <= 0.75f)
            m_fZoom = 0.75f;
        else
            m_fZoom = 1.0f;
        break;
    }
}

void CDI_RptView::OnZoomOut()
{
    const int key = TruncToInt(double(m_fZoom) * 100) - 50;
    switch (key) {
    case 0:
    case 25: m_fZoom = 0.5f; break;
    case 50: m_fZoom = 0.75f; break;
    case 100: m_fZoom = 1.0f; break;
    case 150: m_fZoom = 1.5f; break;
    default:
        if (m_fZoom > 0.75f)
            m_fZoom = 0.75f;
        else if (m_fZoom > 0.5f)
            m_fZoom = 0.5f;
        break;
    }
}

void CDI_RptView::OnWholePage()
{
    const QSize page = GetDocument()->GetPageSize();
    const std::int64_t w = width();
    const std::int64_t h = height();
    const std::int64_t pw = page.width();
    const std::int64_t ph = page.height();
    if (pw <= 0 || ph <= 0 || w <= 0 || h <= 0)
        return;
    // w / h < W / H without dividing: fit the width, else the height.
    const double zoom = w * ph < pw * h ? double(w - 20) * 10.5 / double(pw) : double(h - 20) * 10.5 / double(ph);
    m_fZoom = float(std::max(0.1, zoom));
}

void CDI_RptView::OnNewPage()
{
    CDI_RptDoc* doc = GetDocument();
    CNewPageDlg dlg(this);
    dlg.m_currentPage = doc->GetCurPage() + 1;
    if (dlg.DoModal() != res::IDOK)
        return; // a cancelled dialog records no step
    doc->InsertPage(dlg.m_position, dlg.m_title);
    doc->SaveRedoSnapshot(CDI_RptDoc::kUndoPageInsert, nullptr, 1);
    doc->SaveUndoSnapshot(CDI_RptDoc::kUndoPageInsert, nullptr, 1);
}

void CDI_RptView::OnDeletePage()
{
    CDI_RptDoc* doc = GetDocument();
    if (doc->GetPageCount() < 2)
        return;
    if (doc->Environment().MessageBox(doc_string::kDeletePage, DocumentEnvironment::kYesNo) !=
        DocumentEnvironment::kAnswerYes)
        return;
    ClearSelection();
    const auto page = static_cast<std::uint32_t>(doc->GetCurPage());
    for (CDrawObj* obj : std::vector<CDrawObj*>(doc->GetObjects())) {
        if (obj->page == page)
            Select(obj, true);
    }
    doc->SaveRedoSnapshot(CDI_RptDoc::kUndoPageDelete, nullptr, 1);
    doc->SaveUndoSnapshot(CDI_RptDoc::kUndoPageDelete, nullptr, 1);
    for (CDrawObj* obj : std::vector<CDrawObj*>(GetIRObjects())) {
        if (obj->page == page)
            RemoveImage(obj);
    }
    doc->DeleteCurrentPage();
    DrawView::ClearSelection();
}

void CDI_RptView::OnPageTitle()
{
    CDI_RptDoc* doc = GetDocument();
    CPageTitleDlg dlg(this);
    dlg.m_title = doc->GetPageTitle(doc->GetCurPage());
    if (dlg.DoModal() == res::IDOK)
        doc->SetPageTitle(doc->GetCurPage(), dlg.m_title);
}

void CDI_RptView::OnPrint()
{
    CDI_RptDoc* doc = GetDocument();
    ClearSelection();
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setFromTo(1, doc->GetPageCount());
    bool accepted = false;
    if (printDialogHook()) {
        accepted = printDialogHook()(printer);
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setMinMax(1, doc->GetPageCount());
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (accepted) {
        const bool range = printer.printRange() == QPrinter::PageRange;
        PrintPages(*doc, printer, false, this, range ? printer.fromPage() - 1 : 0, range ? printer.toPage() - 1 : -1);
    }
    if (CDI_RptApp* app = theAppOrNull())
        app->AskPrinter();
    doc->GetPrinterPageSize();
    InvalidateAll();
}

void CDI_RptView::OnPrintPreview()
{
    CDI_RptDoc* doc = GetDocument();
    const auto paint = [this, doc](QPrinter* printer) {
        printer->setFullPage(true);
        PrintPages(*doc, *printer, true, this);
    };
    if (previewHook()) {
        previewHook()(paint);
    } else {
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewDialog dialog(&printer, this);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, paint);
        dialog.exec();
    }
    InvalidateAll();
}
