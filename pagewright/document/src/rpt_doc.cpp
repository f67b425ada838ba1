// CDI_RptDoc: construction, objects, pages, drawing and commands. The file
// format is in rpt_doc_file.cpp, undo and redo in rpt_doc_undo.cpp.
#include "document/rpt_doc.h"

#include "document/draw_obj.h"
#include "document/draw_rect.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/summary_pages.h"

#include "platform/codepage.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

bool IsArrow(const CDrawObj* obj)
{
    const auto* rect = dynamic_cast<const CDrawRect*>(obj);
    return rect != nullptr && rect->shape == CDrawRect::arrow;
}

} // namespace

QByteArray PageTitleRecord::TitleBytes() const
{
    const void* nul = std::memchr(bytes.data(), 0, kMaxTitleBytes);
    const auto n = nul != nullptr ? static_cast<const char*>(nul) - bytes.data() : kMaxTitleBytes;
    return QByteArray(bytes.data(), n);
}

QString PageTitleRecord::Title() const
{
    return platform::fromGbk(TitleBytes());
}

void PageTitleRecord::SetTitle(const QString& title)
{
    SetTitleBytes(platform::toGbk(title, kMaxTitleBytes));
}

void PageTitleRecord::SetTitleBytes(QByteArrayView gbk)
{
    const QByteArray cut = platform::truncateGbk(gbk, kMaxTitleBytes);
    bytes.fill(0);
    std::memcpy(bytes.data(), cut.constData(), static_cast<std::size_t>(cut.size()));
}

CDI_RptDoc::CDI_RptDoc(DocumentEnvironment* env, const DrawClassRegistry* registry)
    : m_env(env != nullptr ? env : &DefaultDocumentEnvironment()),
      m_registry(registry != nullptr ? registry : &DrawClassRegistry::Standard()),
      m_pSummInfo(std::make_unique<platform::CSummaryInfo>())
{
    GetPrinterPageSize();
    m_env->SetLockIndicator(false);
    m_pages.resize(1);
    m_pages[0].SetTitle(DefaultPageTitle(0));
}

CDI_RptDoc::~CDI_RptDoc()
{
    RemoveWorkingCopy();
    if (m_pView != nullptr) {
        m_pView->m_selection.clear();
        m_pView->m_irObjects.clear();
        m_pView->m_document = nullptr;
    }
    for (CDrawObj* obj : m_objects) {
        obj->SetView(nullptr);
        delete obj;
    }
}

void CDI_RptDoc::SetView(DrawView* view)
{
    if (view == m_pView)
        return;
    if (m_pView != nullptr) {
        m_pView->m_selection.clear();
        m_pView->m_irObjects.clear();
        m_pView->m_document = nullptr;
        for (CDrawObj* obj : m_objects) {
            if (obj->GetView() == m_pView)
                obj->SetView(nullptr);
        }
    }
    m_pView = view;
    if (view == nullptr)
        return;
    if (view->m_document != nullptr)
        view->m_document->SetView(nullptr);
    view->m_document = this;
    for (CDrawObj* obj : m_objects)
        obj->SetView(view);
    view->SetPageSize(m_sizePage.width(), m_sizePage.height());
    view->RebuildIRObjects();
}

void CDI_RptDoc::UpdateAllViews(DrawView* sender, int hint, CDrawObj* obj, const std::vector<CDrawObj*>* list)
{
    if (m_pView != nullptr && m_pView != sender)
        m_pView->OnUpdate(sender, hint, obj, list);
}

// ---- objects

CDrawObj* CDI_RptDoc::InsertObject(std::size_t index, std::unique_ptr<CDrawObj> obj)
{
    CDrawObj* raw = obj.get();
    raw->SetDocument(this);
    index = std::min(index, m_objects.size());
    m_objects.insert(m_objects.begin() + static_cast<std::ptrdiff_t>(index), raw);
    obj.release();
    return raw;
}

bool CDI_RptDoc::MoveArrowsToTail(std::vector<CDrawObj*>& objects)
{
    const auto firstArrow = std::find_if(objects.begin(), objects.end(), IsArrow);
    if (std::find_if_not(firstArrow, objects.end(), IsArrow) == objects.end())
        return false;
    std::stable_partition(firstArrow, objects.end(), [](const CDrawObj* obj) { return !IsArrow(obj); });
    return true;
}

CDrawObj* CDI_RptDoc::Add(std::unique_ptr<CDrawObj> obj)
{
    CDrawObj* raw = AddNoUndo(std::move(obj));
    if (m_pView != nullptr)
        m_pView->Select(raw, false);
    SaveRedoSnapshot(kUndoAdd, raw, 1);
    SaveUndoSnapshot(kUndoAdd, raw, 1);
    return raw;
}

CDrawObj* CDI_RptDoc::AddNoUndo(std::unique_ptr<CDrawObj> obj)
{
    CDrawObj* raw = InsertObject(m_objects.size(), std::move(obj));
    MoveArrowsToTail(m_objects);
    return raw;
}

bool CDI_RptDoc::Remove(CDrawObj* obj)
{
    const auto it = std::find(m_objects.begin(), m_objects.end(), obj);
    if (it == m_objects.end())
        return false;
    m_objects.erase(it);
    UpdateAllViews(nullptr, DrawView::kHintRemove, obj);
    return true;
}

void CDI_RptDoc::DeleteObject(CDrawObj* obj)
{
    Remove(obj);
    if (m_pView != nullptr)
        m_pView->RemoveIRObject(obj);
    obj->Remove();
}

void CDI_RptDoc::DeleteAllObjects()
{
    if (m_pView != nullptr) {
        m_pView->m_selection.clear();
        m_pView->m_irObjects.clear();
    }
    std::vector<CDrawObj*> objects;
    objects.swap(m_objects);
    for (CDrawObj* obj : objects)
        obj->Remove();
}

std::vector<CDrawObj*> CDI_RptDoc::PaintOrder() const
{
    std::vector<CDrawObj*> order;
    std::vector<CDrawObj*> arrows;
    const auto page = static_cast<std::uint32_t>(m_nCurPage);
    for (CDrawObj* obj : m_objects) {
        if (obj->page != page)
            continue;
        (IsArrow(obj) ? arrows : order).push_back(obj);
    }
    order.insert(order.end(), arrows.begin(), arrows.end());
    return order;
}

CDrawObj* CDI_RptDoc::ObjectAt(QPoint point) const
{
    const DocRect probe(point.x(), point.y(), ClampToInt(std::int64_t(point.x()) + 1),
                        ClampToInt(std::int64_t(point.y()) + 1));
    const std::vector<CDrawObj*> order = PaintOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if ((*it)->Intersects(probe))
            return *it;
    }
    return nullptr;
}

void CDI_RptDoc::Draw(PageDC& dc, DrawView* view)
{
    for (CDrawObj* obj : m_objects) {
        if (obj->GetView() == nullptr)
            obj->SetView(view);
    }
    MoveArrowsToTail(m_objects);
    const std::vector<CDrawObj*> order = PaintOrder();
    for (CDrawObj* obj : order)
        obj->Draw(dc);
    if (view == nullptr)
        return;
    if (!dc.IsPrinting()) {
        // The selection again, with its trackers, in the same order.
        for (CDrawObj* obj : order) {
            if (view->IsSelected(obj)) {
                obj->Draw(dc);
                obj->DrawTracker(dc, CDrawObj::selected);
            }
        }
    }
    if (view->IsTextEditorVisible())
        view->PlaceTextEditor();
}

bool CDI_RptDoc::Restack(CDrawObj* obj, int where)
{
    const auto it = std::find(m_objects.begin(), m_objects.end(), obj);
    if (it == m_objects.end())
        return false;
    const bool atHead = it == m_objects.begin();
    const bool atTail = it + 1 == m_objects.end();
    const bool towardsHead = where == kBackward || where == kToBack;
    if (towardsHead ? atHead : atTail)
        return false;
    // The new order is worked out aside: a non-arrow cannot pass an arrow,
    // and a move that comes to nothing is no step.
    std::vector<CDrawObj*> order = m_objects;
    const auto at = order.begin() + (it - m_objects.begin());
    switch (where) {
    case kBackward: std::iter_swap(at, at - 1); break;
    case kForward: std::iter_swap(at, at + 1); break;
    case kToBack: std::rotate(order.begin(), at, at + 1); break;
    default: std::rotate(at, at + 1, order.end()); break;
    }
    MoveArrowsToTail(order);
    if (order == m_objects)
        return false;
    SaveRedoSnapshot(kUndoRestack, obj, 1);
    m_objects = std::move(order);
    SaveUndoSnapshot(kUndoRestack, obj, 1);
    MarkChanged();
    obj->Invalidate();
    return true;
}

// ---- pages

QString CDI_RptDoc::DefaultPageTitle(int page) const
{
    return m_env->LoadString(doc_string::kReport) + QString::number(page + 1);
}

void CDI_RptDoc::MarkChanged()
{
    SetModifiedFlag(true);
}

void CDI_RptDoc::FitPageRecords()
{
    const auto pages = static_cast<std::size_t>(m_nPages);
    const std::size_t had = m_pages.size();
    m_pages.resize(pages);
    if (had < pages) {
        const QByteArray prefix = platform::toGbk(m_env->LoadString(doc_string::kReport));
        for (std::size_t i = had; i < pages; ++i)
            m_pages[i].SetTitleBytes(prefix + QByteArray::number(qulonglong(i) + 1));
    }
    m_nCurPage = std::clamp(m_nCurPage, 0, m_nPages - 1);
}

void CDI_RptDoc::SetCurPage(int page)
{
    m_nCurPage = std::clamp(page, 0, m_nPages - 1);
}

QString CDI_RptDoc::GetPageTitle(int page) const
{
    if (page < 0 || page >= static_cast<int>(m_pages.size()))
        return {};
    return m_pages[static_cast<std::size_t>(page)].Title();
}

QStringList CDI_RptDoc::GetPageTitles() const
{
    QStringList titles;
    for (const PageTitleRecord& r : m_pages)
        titles << r.Title();
    return titles;
}

void CDI_RptDoc::SetPageTitle(int page, const QString& title)
{
    if (page < 0 || page >= static_cast<int>(m_pages.size()))
        return;
    PageTitleRecord& record = m_pages[static_cast<std::size_t>(page)];
    const QByteArray old = record.TitleBytes();
    record.SetTitle(title);
    if (record.TitleBytes() != old)
        MarkChanged();
    FillPageTitles();
}

void CDI_RptDoc::InsertPage(int placement, const QString& title)
{
    if (m_nPages >= kMaxPages)
        return;
    PageTitleRecord record;
    record.SetTitle(title);
    int at = m_nPages;
    std::uint32_t firstMoved = std::uint32_t(-1); // objects on this page or later move down
    switch (placement) {
    case 1:
        at = 0;
        firstMoved = 0;
        break;
    case 2:
        at = m_nCurPage;
        firstMoved = static_cast<std::uint32_t>(m_nCurPage);
        break;
    case 3:
        at = m_nCurPage + 1;
        firstMoved = static_cast<std::uint32_t>(m_nCurPage + 1);
        break;
    default:
        break;
    }
    for (CDrawObj* obj : m_objects) {
        if (obj->page >= firstMoved && obj->page != std::uint32_t(-1))
            ++obj->page;
    }
    m_pages.insert(m_pages.begin() + at, record);
    ++m_nPages;
    m_nCurPage = at;
    MarkChanged();
    FillPageTitles();
}

void CDI_RptDoc::DeleteCurrentPage()
{
    if (m_nPages <= 1)
        return;
    const auto current = static_cast<std::uint32_t>(m_nCurPage);
    const std::vector<CDrawObj*> objects = m_objects;
    for (CDrawObj* obj : objects) {
        if (obj->page > current)
            --obj->page;
        else if (obj->page == current)
            DeleteObject(obj);
    }
    if (static_cast<std::size_t>(m_nCurPage) < m_pages.size())
        m_pages.erase(m_pages.begin() + m_nCurPage);
    if (m_nCurPage > 0)
        --m_nCurPage;
    --m_nPages;
    FitPageRecords();
    MarkChanged();
    FillPageTitles();
}

void CDI_RptDoc::FillPageTitles()
{
    m_env->FillPageTitles(static_cast<int>(m_pages.size()), m_nCurPage);
}

// ---- page and report settings

void CDI_RptDoc::GetPrinterPageSize()
{
    // Lowered first, so that an unchanged printer still gives its size to the
    // views.
    m_sizePage = QSize(m_sizePage.width() - 1, m_sizePage.height() - 1);
    QSize size(kDefaultPageWidth, kDefaultPageHeight);
    if (const std::optional<QSize> mm = m_env->DefaultPrinterPageMm())
        size = QSize(ClampToInt(std::int64_t(MulDiv(mm->width(), 1008, 254)) * 10),
                     ClampToInt(std::int64_t(MulDiv(mm->height(), 1008, 254)) * 10));
    if (size == m_sizePage)
        return;
    m_sizePage = size;
    m_env->SetPageInches(float(size.width() * 0.000992063492063492), float(size.height() * 0.000992063492063492));
    if (m_pView != nullptr)
        m_pView->SetPageSize(size.width(), size.height());
}

void CDI_RptDoc::SetBackColor(COLORREF color)
{
    const bool changed = color != m_crBack;
    m_crBack = color;
    if (m_pView != nullptr)
        m_pView->SetTextEditorBackground(color);
    UpdateAllViews(nullptr, DrawView::kHintAll);
    if (changed)
        MarkChanged();
}

void CDI_RptDoc::SetLocked(bool locked)
{
    if (IsLocked() == locked)
        return;
    m_bLocked = locked ? 1 : 0;
    m_env->SetLockIndicator(locked);
    MarkChanged();
}

void CDI_RptDoc::SetShowNumbers(bool show)
{
    if (GetShowNumbers() == show)
        return;
    m_bShowNumbers = show ? 1 : 0;
    UpdateAllViews(nullptr, DrawView::kHintAll);
    MarkChanged();
}

void CDI_RptDoc::SetPathName(const QString& path, bool addToRecent)
{
    m_pathName = path;
    m_title = QFileInfo(path).completeBaseName(); // shown without the extension
    if (addToRecent && !path.isEmpty() && m_env != nullptr)
        m_env->AddToRecentFileList(path);
}

// ---- commands

void CDI_RptDoc::OnBackgroundColor()
{
    if (const std::optional<COLORREF> color = m_env->ChooseColor(m_crBack))
        SetBackColor(*color);
}

bool CDI_RptDoc::OnFileSummaryInfo()
{
    CSummarySheet sheet(*m_pSummInfo, m_env->LoadString(doc_string::kPropertiesTitle));
    if (!m_env->RunDialog(sheet))
        return false;
    if (sheet.Apply(*m_pSummInfo))
        MarkChanged();
    return true;
}

void CDI_RptDoc::OnLock()
{
    SetLocked(!IsLocked());
}

void CDI_RptDoc::OnShowNumbers()
{
    SetShowNumbers(!GetShowNumbers());
}

bool CDI_RptDoc::OnSaveAsTemplate()
{
    m_bSaveAsTemplate = 1;
    return DoSave(QString(), true);
}

bool CDI_RptDoc::OnCommand(int id)
{
    switch (id) {
    case ID_BACKGROUND_COLOR: OnBackgroundColor(); return true;
    case ID_FILE_SUMMARYINFO: OnFileSummaryInfo(); return true;
    case ID_EDIT_UNDO: OnEditUndo(); return true;
    case ID_EDIT_REDO: OnEditRedo(); return true;
    case ID_LOCK: OnLock(); return true;
    case ID_SAVE_AS_TEMPLATE: OnSaveAsTemplate(); return true;
    case ID_SHOW_NUMBERS: OnShowNumbers(); return true;
    case ID_EXPORT_WORD: OnExportToWord(); return true;
    default: return false;
    }
}

bool CDI_RptDoc::OnUpdateCommand(int id, DocCommandUI& ui) const
{
    switch (id) {
    case ID_BACKGROUND_COLOR:
    case ID_FILE_SUMMARYINFO:
    case ID_SAVE_AS_TEMPLATE:
    case ID_EXPORT_WORD:
        ui.enabled = true;
        return true;
    case ID_EDIT_UNDO:
        ui.enabled = CanUndo();
        return true;
    case ID_EDIT_REDO:
        ui.enabled = CanRedo();
        return true;
    case ID_LOCK:
        ui.enabled = true;
        ui.text = m_env->LoadString(IsLocked() ? doc_string::kUnlock : doc_string::kLock);
        return true;
    case ID_SHOW_NUMBERS:
        ui.enabled = true;
        ui.text = m_env->LoadString(GetShowNumbers() ? doc_string::kHideNumbers : doc_string::kShowNumbers);
        return true;
    case ID_FIRST_PAGE:
    case ID_PREV_PAGE:
        ui.enabled = m_nCurPage != 0;
        return true;
    case ID_NEXT_PAGE:
    case ID_LAST_PAGE:
        ui.enabled = m_nCurPage + 1 != m_nPages;
        return true;
    default:
        return false;
    }
}
