// CDI_RptDoc: undo and redo.
//
// Each step is two snapshots: the "before" one (m_redo, read by undo) and
// the "after" one (m_undo, read by redo), in the same slot of two rings of 30.
// A snapshot holds, as u32 values: the page count, the current page, the
// kind; the page title (after a page insert, before a page delete); for object
// steps the number n of selected objects, n pairs (type code, ordinal), n
// places in the object list, and the objects' records (not before an add, not
// after a delete).
//
// Ordinals count objects of the same type code from the head of the list;
// they find the objects to remove or change. Every pair is resolved before
// anything is removed, and a record is read only into an object of the class
// its code stands for. Re-created objects go back to their places in the
// list, so the stacking order comes back too. A step that does not fit the
// report is abandoned, the history reset and the user told.
#include "document/rpt_doc.h"

#include "document/draw_obj.h"
#include "document/draw_view.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <algorithm>
#include <unordered_map>

std::vector<CDI_RptDoc::UndoPair> CDI_RptDoc::SelectionPairs() const
{
    if (m_pView == nullptr)
        return {};
    const std::vector<CDrawObj*>& selection = m_pView->GetSelection();
    return PairsOf(std::vector<const CDrawObj*>(selection.begin(), selection.end()));
}

std::vector<CDI_RptDoc::UndoPair> CDI_RptDoc::PairsOf(const std::vector<const CDrawObj*>& objects) const
{
    std::vector<UndoPair> pairs;
    std::array<std::uint32_t, kUndoTypeClassNames.size()> counters{};
    std::unordered_map<const CDrawObj*, std::uint32_t> ordinals;
    std::unordered_map<const CDrawObj*, std::uint32_t> places;
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        const CDrawObj* obj = m_objects[i];
        places[obj] = static_cast<std::uint32_t>(i);
        const int code = obj->UndoTypeCode();
        if (code != kUndoTypeNone)
            ordinals[obj] = ++counters[static_cast<std::size_t>(code)];
    }
    for (const CDrawObj* obj : objects) {
        UndoPair pair;
        pair.code = obj->UndoTypeCode();
        if (pair.code != kUndoTypeNone) {
            const auto it = ordinals.find(obj);
            pair.ordinal = it != ordinals.end() ? it->second : 0;
        }
        const auto at = places.find(obj);
        pair.index = at != places.end() ? at->second : static_cast<std::uint32_t>(m_objects.size());
        pairs.push_back(pair);
    }
    return pairs;
}

SharedByteStore::Key CDI_RptDoc::ShareSnapshotBytes(const QByteArray& bytes)
{
    const SharedByteStore::Key key = m_sharedBytes.Put(bytes);
    if (key != SharedByteStore::kEmpty) {
        if (m_snapshotKeys != nullptr)
            m_snapshotKeys->push_back(key);
        else
            m_sharedBytes.Release(key); // no slot to hold it
    }
    return key;
}

QByteArray CDI_RptDoc::SharedSnapshotBytes(SharedByteStore::Key key) const
{
    std::optional<QByteArray> bytes = m_sharedBytes.Get(key);
    if (!bytes)
        throw platform::ArchiveError(platform::ArchiveErrorCode::BadIndex, 0);
    return *bytes;
}

void CDI_RptDoc::ClearSlot(CRtfMemFile& file, SlotKeys& keys)
{
    file.Assign({});
    m_sharedBytes.Release(keys);
    keys.clear();
}

void CDI_RptDoc::WriteSnapshot(CRtfMemFile& file, SlotKeys& keys, int kind, bool after, const CDrawObj* only)
{
    SlotKeys written;
    struct Collecting {
        SlotKeys*& target;
        Collecting(SlotKeys*& t, SlotKeys* list) : target(t) { target = list; }
        ~Collecting() { target = nullptr; }
    } collecting(m_snapshotKeys, &written);
    platform::ArchiveWriter ar(this);
    ar.writeU32(static_cast<std::uint32_t>(m_nPages));
    ar.writeU32(static_cast<std::uint32_t>(m_nCurPage));
    ar.writeU32(static_cast<std::uint32_t>(kind));
    if ((after && kind == kUndoPageInsert) || (!after && kind == kUndoPageDelete))
        ar.writeStringBytes(m_pages[static_cast<std::size_t>(m_nCurPage)].TitleBytes());
    if (kind != kUndoPageInsert && !(after && kind == kUndoPageDelete)) {
        const std::vector<UndoPair> pairs = only != nullptr ? PairsOf({only}) : SelectionPairs();
        ar.writeU32(static_cast<std::uint32_t>(pairs.size()));
        for (const UndoPair& p : pairs) {
            ar.writeU32(static_cast<std::uint32_t>(p.code));
            ar.writeU32(p.ordinal);
        }
        for (const UndoPair& p : pairs)
            ar.writeU32(p.index);
        // A stacking-order step keeps only the places: no record changes.
        const bool records =
            kind != kUndoRestack && !((!after && kind == kUndoAdd) || (after && kind == kUndoDelete));
        if (records) {
            const std::vector<CDrawObj*>& selection = m_pView->GetSelection();
            for (std::size_t i = 0; i < pairs.size(); ++i) {
                // Objects without a type code are never restored: their
                // records are left out.
                if (pairs[i].code != kUndoTypeNone)
                    selection[i]->Serialize(ar);
            }
        }
    }
    file.Assign(ar.data());
    m_sharedBytes.Release(keys);
    keys = std::move(written);
}

void CDI_RptDoc::SaveRedoSnapshot(int kind, CDrawObj* obj, int mode)
{
    (void)mode;
    WriteSnapshot(m_staged, m_stagedKeys, kind, false, kind == kUndoRestack ? obj : nullptr);
    m_hasStaged = true;
}

void CDI_RptDoc::SaveUndoSnapshot(int kind, CDrawObj* obj, int mode)
{
    if (mode != 1) {
        ResetUndoHistory();
        SetModifiedFlag(mode != 0);
        return;
    }
    CRtfMemFile& before = m_redo[static_cast<std::size_t>(m_nUndoIndex)];
    SlotKeys& beforeKeys = m_redoKeys[static_cast<std::size_t>(m_nUndoIndex)];
    if (m_hasStaged) {
        std::swap(before, m_staged);
        std::swap(beforeKeys, m_stagedKeys);
        ClearSlot(m_staged, m_stagedKeys);
        m_hasStaged = false;
    } else {
        // A change recorded without its before snapshot: undoing it changes
        // nothing rather than reading what an older step left in the slot.
        platform::ArchiveWriter ar(this);
        ar.writeU32(static_cast<std::uint32_t>(m_nPages));
        ar.writeU32(static_cast<std::uint32_t>(m_nCurPage));
        ar.writeU32(kUndoDrop);
        ar.writeU32(0);
        ClearSlot(before, beforeKeys);
        before.Assign(ar.data());
    }
    m_nUndoIndex = (m_nUndoIndex + 1) % kUndoSlots;
    WriteSnapshot(m_undo[static_cast<std::size_t>(m_nUndoIndex)], m_undoKeys[static_cast<std::size_t>(m_nUndoIndex)],
                  kind, true, kind == kUndoRestack ? obj : nullptr);
    if (m_nUndoCount < kUndoSlots)
        ++m_nUndoCount;
    m_nRedoCount = 0;
    SetModifiedFlag(true);
}

void CDI_RptDoc::ResetUndoHistory()
{
    for (std::size_t i = 0; i < m_undo.size(); ++i) {
        ClearSlot(m_undo[i], m_undoKeys[i]);
        ClearSlot(m_redo[i], m_redoKeys[i]);
    }
    ClearSlot(m_staged, m_stagedKeys);
    m_hasStaged = false;
    m_nUndoCount = 0;
    m_nUndoIndex = 0;
    m_nRedoCount = 0;
    platform::ArchiveWriter ar(this);
    ar.writeU32(static_cast<std::uint32_t>(m_nPages));
    ar.writeU32(static_cast<std::uint32_t>(m_nCurPage));
    ar.writeU32(kUndoDrop);
    m_undo[0].Assign(ar.data());
}

void CDI_RptDoc::OnEditUndo()
{
    if (m_fVersion != m_fProgVersion) {
        m_env->MessageBox(doc_string::kVersionMismatch);
        return;
    }
    if (m_pView != nullptr && m_pView->IsTextEditorVisible() && m_pView->TextEditorCanUndo()) {
        m_pView->TextEditorUndo();
        return;
    }
    if (m_nUndoCount == 0)
        return;
    const auto after = static_cast<std::size_t>(m_nUndoIndex);
    m_nUndoIndex = (m_nUndoIndex + kUndoSlots - 1) % kUndoSlots;
    ApplySnapshot(m_redo[static_cast<std::size_t>(m_nUndoIndex)], true, m_undo[after]);
}

void CDI_RptDoc::OnEditRedo()
{
    if (m_nUndoCount >= kUndoSlots || m_nRedoCount == 0)
        return;
    const auto before = static_cast<std::size_t>(m_nUndoIndex);
    m_nUndoIndex = (m_nUndoIndex + 1) % kUndoSlots;
    ApplySnapshot(m_undo[static_cast<std::size_t>(m_nUndoIndex)], false, m_redo[before]);
}

void CDI_RptDoc::ApplySnapshot(const CRtfMemFile& file, bool undo, const CRtfMemFile& other)
{
    struct Reading {
        bool& flag;
        explicit Reading(bool& f) : flag(f) { flag = true; }
        ~Reading() { flag = false; }
    } reading(m_readingSnapshot);
    try {
        platform::ArchiveReader ar(file.Data(), m_registry->ArchiveRegistry(), this);
        const std::uint32_t pages = ar.readU32();
        const std::uint32_t current = ar.readU32();
        const std::uint32_t kind = ar.readU32();
        if (pages == 0 || pages > static_cast<std::uint32_t>(kMaxPages) || current >= pages || kind > kUndoRestack)
            throw UndoAbandoned{};
        const int insertKind = undo ? kUndoPageDelete : kUndoPageInsert; // steps that bring a page back
        const int deleteKind = undo ? kUndoPageInsert : kUndoPageDelete; // steps that take one away
        const int addKind = undo ? kUndoDelete : kUndoAdd;               // objects re-created
        const int removeKind = undo ? kUndoAdd : kUndoDelete;            // objects removed

        if (kind == kUndoRestack) {
            if (pages != static_cast<std::uint32_t>(m_nPages))
                throw UndoAbandoned{};
            ApplyRestack(ar, other);
            m_nCurPage = static_cast<int>(current);
        } else if (static_cast<int>(kind) == deleteKind) {
            if (pages < 2)
                throw UndoAbandoned{};
            m_nPages = static_cast<int>(pages);
            m_nCurPage = static_cast<int>(current);
            FitPageRecords();
            DeleteCurrentPage();
        } else if (static_cast<int>(kind) == insertKind) {
            const QByteArray title = ar.readStringBytes();
            Recreated objects;
            if (undo) // the page's objects come back with it
                objects = ReadRecreated(ar, ReadPairs(ar));
            m_nPages = static_cast<int>(pages) - 1;
            m_nCurPage = std::min(static_cast<int>(current), m_nPages);
            FitPageRecords();
            m_nCurPage = static_cast<int>(current);
            InsertPageRecord(title);
            InsertRecreated(std::move(objects));
        } else {
            const std::vector<UndoPair> pairs = ReadPairs(ar);
            if (static_cast<int>(kind) == addKind) {
                Recreated objects = ReadRecreated(ar, pairs);
                m_nPages = static_cast<int>(pages);
                m_nCurPage = static_cast<int>(current);
                InsertRecreated(std::move(objects));
            } else {
                m_nPages = static_cast<int>(pages);
                m_nCurPage = static_cast<int>(current);
                if (static_cast<int>(kind) == removeKind)
                    RemovePairs(pairs);
                else if (kind == kUndoChange)
                    ChangePairs(ar, pairs);
            }
            FitPageRecords();
        }
    } catch (const UndoAbandoned&) {
        ResetUndoHistory();
        FinishUndoStep();
        m_env->MessageBox(doc_string::kUndoReset);
        return;
    } catch (const platform::ArchiveError&) {
        ResetUndoHistory();
        FinishUndoStep();
        m_env->MessageBox(doc_string::kUndoReset);
        return;
    }
    if (undo) {
        --m_nUndoCount;
        ++m_nRedoCount;
    } else {
        ++m_nUndoCount;
        --m_nRedoCount;
    }
    FinishUndoStep();
}

void CDI_RptDoc::FinishUndoStep()
{
    FillPageTitles();
    if (m_pView != nullptr) {
        if (m_pView->HasTextEditor())
            m_pView->HideTextEditor();
        m_pView->ClearSelection();
        m_pView->RefreshIRObjects();
    }
    UpdateAllViews(nullptr, DrawView::kHintAll);
    SetModifiedFlag(true);
}

void CDI_RptDoc::ApplyRestack(platform::ArchiveReader& ar, const CRtfMemFile& other)
{
    // The places to go back to, and where the objects are now.
    const std::vector<UndoPair> target = ReadPairs(ar);
    platform::ArchiveReader now(other.Data(), m_registry->ArchiveRegistry(), this);
    now.readU32();
    now.readU32();
    if (now.readU32() != kUndoRestack)
        throw UndoAbandoned{};
    const std::vector<UndoPair> current = ReadPairs(now);
    if (current.size() != target.size())
        throw UndoAbandoned{};
    std::vector<std::pair<std::uint32_t, CDrawObj*>> moving;
    for (std::size_t i = 0; i < target.size(); ++i) {
        const std::uint32_t at = current[i].index;
        if (at >= m_objects.size() || m_objects[at]->UndoTypeCode() != target[i].code ||
            target[i].index >= m_objects.size())
            throw UndoAbandoned{};
        moving.emplace_back(target[i].index, m_objects[at]);
    }
    for (const auto& [place, obj] : moving)
        m_objects.erase(std::find(m_objects.begin(), m_objects.end(), obj));
    std::stable_sort(moving.begin(), moving.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [place, obj] : moving)
        m_objects.insert(m_objects.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(place, m_objects.size())),
                         obj);
}

std::vector<CDI_RptDoc::UndoPair> CDI_RptDoc::ReadPairs(platform::ArchiveReader& ar) const
{
    const std::uint32_t n = ar.readU32();
    if (std::uint64_t(n) * 12 > ar.remaining())
        throw UndoAbandoned{};
    std::vector<UndoPair> pairs(n);
    for (UndoPair& p : pairs) {
        const std::uint32_t code = ar.readU32();
        p.ordinal = ar.readU32();
        if (code >= kUndoTypeClassNames.size())
            throw UndoAbandoned{};
        p.code = static_cast<int>(code);
    }
    for (UndoPair& p : pairs)
        p.index = ar.readU32();
    return pairs;
}

const DrawClass& CDI_RptDoc::ClassForCode(int code) const
{
    const DrawClass* cls = m_registry->Find(kUndoTypeClassNames[static_cast<std::size_t>(code)]);
    if (cls == nullptr || UndoTypeCodeOf(*cls) != code)
        throw UndoAbandoned{};
    return *cls;
}

std::vector<CDrawObj*> CDI_RptDoc::ResolvePairs(const std::vector<UndoPair>& pairs) const
{
    std::array<std::vector<CDrawObj*>, kUndoTypeClassNames.size()> byCode;
    for (CDrawObj* obj : m_objects) {
        const int code = obj->UndoTypeCode();
        if (code != kUndoTypeNone)
            byCode[static_cast<std::size_t>(code)].push_back(obj);
    }
    std::vector<CDrawObj*> found;
    found.reserve(pairs.size());
    for (const UndoPair& p : pairs) {
        const std::vector<CDrawObj*>& list = byCode[static_cast<std::size_t>(p.code)];
        const bool known = p.code != kUndoTypeNone && p.ordinal >= 1 && p.ordinal <= list.size();
        found.push_back(known ? list[p.ordinal - 1] : nullptr);
    }
    return found;
}

void CDI_RptDoc::RemovePairs(const std::vector<UndoPair>& pairs)
{
    std::vector<CDrawObj*> found = ResolvePairs(pairs);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (CDrawObj* obj : found) {
        if (obj != nullptr)
            DeleteObject(obj);
    }
}

void CDI_RptDoc::ChangePairs(platform::ArchiveReader& ar, const std::vector<UndoPair>& pairs)
{
    // Everything is checked before the first record is read.
    std::vector<CDrawObj*> found = ResolvePairs(pairs);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].code == kUndoTypeNone)
            continue;
        const DrawClass& cls = ClassForCode(pairs[i].code);
        CDrawObj* obj = found[i];
        if (obj != nullptr && &obj->GetRuntimeClass() != &cls)
            throw UndoAbandoned{};
        if ((obj == nullptr || cls.replaceOnUndoChange) && cls.createForUndo == nullptr)
            throw UndoAbandoned{};
    }
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].code == kUndoTypeNone)
            continue;
        const DrawClass& cls = ClassForCode(pairs[i].code);
        CDrawObj* obj = found[i];
        if (obj == nullptr || cls.replaceOnUndoChange) {
            // A missing object's record is still read, to stay in step with
            // the records after it; a replaced one takes the old one's place.
            std::unique_ptr<CDrawObj> fresh = cls.createForUndo(m_pView);
            fresh->SetDocument(this);
            fresh->Serialize(ar);
            if (obj == nullptr)
                continue;
            const auto at = static_cast<std::size_t>(std::find(m_objects.begin(), m_objects.end(), obj) -
                                                     m_objects.begin());
            DeleteObject(obj);
            CDrawObj* placed = InsertObject(at, std::move(fresh));
            placed->SetView(m_pView);
            for (std::size_t j = i + 1; j < found.size(); ++j) {
                if (found[j] == obj)
                    found[j] = placed;
            }
            if (cls.afterUndoRead != nullptr)
                cls.afterUndoRead(*placed, m_pView, true);
            continue;
        }
        obj->Serialize(ar);
        if (cls.afterUndoRead != nullptr)
            cls.afterUndoRead(*obj, m_pView, false);
    }
}

CDI_RptDoc::Recreated CDI_RptDoc::ReadRecreated(platform::ArchiveReader& ar, const std::vector<UndoPair>& pairs)
{
    Recreated objects;
    for (const UndoPair& p : pairs) {
        if (p.code == kUndoTypeNone)
            continue;
        const DrawClass& cls = ClassForCode(p.code);
        if (cls.createForUndo == nullptr)
            throw UndoAbandoned{};
        std::unique_ptr<CDrawObj> obj = cls.createForUndo(m_pView);
        obj->SetDocument(this);
        obj->Serialize(ar);
        objects.emplace_back(p, std::move(obj));
    }
    return objects;
}

void CDI_RptDoc::InsertRecreated(Recreated&& objects)
{
    // Inserted in ascending order of their places, each lands where it was.
    std::stable_sort(objects.begin(), objects.end(),
                     [](const auto& a, const auto& b) { return a.first.index < b.first.index; });
    std::vector<CDrawObj*> placed;
    for (auto& [pair, obj] : objects) {
        CDrawObj* raw = InsertObject(pair.index, std::move(obj));
        raw->SetView(m_pView);
        placed.push_back(raw);
    }
    for (CDrawObj* obj : placed) {
        const DrawClass& cls = obj->GetRuntimeClass();
        if (cls.afterUndoRead != nullptr)
            cls.afterUndoRead(*obj, m_pView, true);
    }
}

void CDI_RptDoc::InsertPageRecord(const QByteArray& title)
{
    PageTitleRecord record;
    record.SetTitleBytes(title);
    const auto at = static_cast<std::size_t>(m_nCurPage);
    if (m_pages.size() > at)
        m_pages.insert(m_pages.begin() + static_cast<std::ptrdiff_t>(at), record);
    else {
        m_pages.resize(at + 1);
        m_pages[at] = record;
    }
    const auto page = static_cast<std::uint32_t>(m_nCurPage);
    for (CDrawObj* obj : m_objects) {
        if (obj->page >= page && obj->page != std::uint32_t(-1))
            ++obj->page;
    }
    m_nPages = static_cast<int>(m_pages.size());
}
