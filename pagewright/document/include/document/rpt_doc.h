// CDI_RptDoc: the report document.
//
// It owns the report's draw objects (one list of all pages in drawing order,
// each object carrying its page number), the pages with their titles, the
// page size, the editing background colour, the lock and show-numbers
// switches, the logo picture, the summary information and the two undo
// rings. It reads and writes reports (.rpt) and report templates (.rpm): a
// compound file with the stream "Contents" (the archive below) and the
// summary information stream.
//
// Contents, little-endian:
//
//     u32 page count, f32 version, u32 background colour, i32 page width,
//     i32 page height (1/1008 inch), u32 locked, u32 show numbers (only when
//     the version is above 3.0), the object list (count, then each object's
//     class reference and record), the page records (count, then 41 bytes
//     each: the title, NUL-terminated).
//
// Reading tolerates: a page-record count that differs from the page count
// (padded with default titles or cut), a record without NUL (cut at byte 40),
// objects on pages past the last, bytes after the page records. It refuses,
// with one message and the document left as it was: a short or damaged
// archive, an unknown object class, a page count of 0 or above kMaxPages, a
// version above 6.0 (its layout is unknown) or not a number.
//
// Everything that changes the saved file sets the modified flag.
#pragma once

#include "document/document_environment.h"
#include "document/draw_class.h"
#include "document/geometry.h"
#include "document/rtf_mem_file.h"
#include "document/shared_byte_store.h"

#include "platform/archive.h"
#include "platform/dib_image.h"
#include "platform/summary_info.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class CDrawObj;
class CWordExport;
class DrawView;
class PageDC;

namespace platform {
class ArchiveReader;
class ArchiveWriter;
}

// One page's record: the title (GBK, at most 40 bytes) and its NUL in 41
// bytes. Bytes after the NUL are kept as read and carry no meaning.
struct PageTitleRecord {
    static constexpr int kSize = 41;
    static constexpr int kMaxTitleBytes = 40;

    std::array<char, kSize> bytes{};

    QByteArray TitleBytes() const;
    QString Title() const;
    // The title cut to 40 bytes at a character boundary; the rest zeroed.
    void SetTitle(const QString& title);
    void SetTitleBytes(QByteArrayView gbk);
};

// The state of a command for menus and toolbars.
struct DocCommandUI {
    bool enabled = true;
    std::optional<QString> text;
};

class CDI_RptDoc : public platform::ArchiveDocument {
public:
    static constexpr float kProgVersion = 6.0f;
    static constexpr int kUndoSlots = 30;
    static constexpr int kMaxPages = 65535;
    // Page size without a printer (A4).
    static constexpr int kDefaultPageWidth = 8330;
    static constexpr int kDefaultPageHeight = 11790;
    // Reports larger than this are not read.
    static constexpr std::uint64_t kMaxContentsBytes = std::uint64_t(1) << 30;

    // Kinds of undo steps. kUndoRestack (a stacking-order change of one
    // object) lives only in the memory snapshots: its undo and redo find the
    // object at its place in the other snapshot of the step and put it back
    // at the place this one recorded.
    enum UndoKind {
        kUndoAdd = 0,
        kUndoDelete = 1,
        kUndoChange = 2,
        kUndoPageInsert = 3,
        kUndoPageDelete = 4,
        kUndoDrop = 5,
        kUndoRestack = 6
    };

    // Command identifiers the document handles.
    enum Command {
        ID_BACKGROUND_COLOR = 32781,
        ID_FILE_SUMMARYINFO = 32792,
        ID_EDIT_UNDO = 32824,
        ID_EDIT_REDO = 32825,
        ID_FIRST_PAGE = 32829,
        ID_PREV_PAGE = 32830,
        ID_NEXT_PAGE = 32831,
        ID_LAST_PAGE = 32832,
        ID_EXPORT_WORD = 32817,
        ID_LOCK = 1500,
        ID_SAVE_AS_TEMPLATE = 34036,
        ID_SHOW_NUMBERS = 34049,
    };

    // env and registry must outlive the document; null takes the headless
    // environment and the standard registry.
    explicit CDI_RptDoc(DocumentEnvironment* env = nullptr, const DrawClassRegistry* registry = nullptr);
    ~CDI_RptDoc() override;
    CDI_RptDoc(const CDI_RptDoc&) = delete;
    CDI_RptDoc& operator=(const CDI_RptDoc&) = delete;

    DocumentEnvironment& Environment() const { return *m_env; }
    const DrawClassRegistry& Registry() const { return *m_registry; }

    // The one view (null to detach).
    void SetView(DrawView* view);
    DrawView* GetView() const { return m_pView; }
    // Tells the view (unless it is the sender) what changed (DrawView::Hint).
    void UpdateAllViews(DrawView* sender, int hint = 0, CDrawObj* obj = nullptr,
                        const std::vector<CDrawObj*>* list = nullptr);

    // ---- objects
    const std::vector<CDrawObj*>& GetObjects() const { return m_objects; }
    // Appends the object, makes it the only selected one and records undo
    // step 0 (add). The document owns it.
    CDrawObj* Add(std::unique_ptr<CDrawObj> obj);
    // Appends the object; no selection, no undo step.
    CDrawObj* AddNoUndo(std::unique_ptr<CDrawObj> obj);
    // Takes the object out of the list and the view's selection; ownership
    // passes to the caller, who deletes it (CDrawObj::Remove) or adds it
    // again. False when the object was not in the list.
    bool Remove(CDrawObj* obj);
    // The topmost object of the current page at a point: the one drawn last,
    // so arrows first (from the tail), then the others (from the tail).
    CDrawObj* ObjectAt(QPoint point) const;
    // The objects of the current page in drawing order: every object but the
    // arrows in list order, then the arrows in list order.
    std::vector<CDrawObj*> PaintOrder() const;
    // Draws the current page (and, on screen, the selection with its
    // trackers). Arrows stay at the tail of the list, in their own order, so
    // they are drawn over everything else: adding, restacking and loading
    // keep them there (before any undo snapshot is taken, so the places a
    // step records are the places it finds), and drawing moves any that are
    // not.
    void Draw(PageDC& dc, DrawView* view);
    // Stacking order of one object: one place towards the head (drawn
    // earlier) or the tail, or to the head or the tail; a move is an undo
    // step of its own. False when it did not move.
    bool MoveBackward(CDrawObj* obj) { return Restack(obj, kBackward); }
    bool MoveForward(CDrawObj* obj) { return Restack(obj, kForward); }
    bool MoveToBack(CDrawObj* obj) { return Restack(obj, kToBack); }
    bool MoveToFront(CDrawObj* obj) { return Restack(obj, kToFront); }

    // The clipboard form of objects: their list archived as in a report
    // (count, then each object by its class record).
    QByteArray ArchiveObjects(const std::vector<CDrawObj*>& objects);
    // Reads such a list into new objects of this document (not added);
    // false, with nothing made, when the bytes are not a whole list of known
    // objects.
    bool ReadArchivedObjects(QByteArrayView bytes, std::vector<std::unique_ptr<CDrawObj>>& out);

    // ---- pages
    int GetPageCount() const { return m_nPages; }
    int GetCurPage() const { return m_nCurPage; }
    // Clamped to the pages.
    void SetCurPage(int page);
    const std::vector<PageTitleRecord>& GetPageRecords() const { return m_pages; }
    QString GetPageTitle(int page) const;
    QStringList GetPageTitles() const;
    void SetPageTitle(int page, const QString& title);
    // Inserts a page titled title by placement: 0 at the end, 1 before page 0,
    // 2 before the current page, 3 after it; objects on later pages move with
    // their pages and the new page becomes current.
    void InsertPage(int placement, const QString& title);
    // Deletes the current page with its objects; later pages move down, the
    // page before becomes current (unless it was page 0). Records no undo.
    void DeleteCurrentPage();
    // Hands the page titles and the current page to the main frame's list.
    void FillPageTitles();

    // ---- page and report settings
    QSize GetPageSize() const { return m_sizePage; }
    // The page in page coordinates (normalised): x from 0 to the width, y
    // from the top edge at -105 down by the height.
    static constexpr int kPageTop = -105;
    DocRect PageArea() const
    {
        return DocRect(0, ClampToInt(std::int64_t(kPageTop) - m_sizePage.height()), m_sizePage.width(), kPageTop);
    }
    // Takes the page size from the default printer (A4 without one) and gives
    // it to the view when it changed.
    void GetPrinterPageSize();
    COLORREF GetBackColor() const { return m_crBack; }
    void SetBackColor(COLORREF color);
    bool IsLocked() const { return m_bLocked != 0; }
    void SetLocked(bool locked);
    bool GetShowNumbers() const { return m_bShowNumbers != 0; }
    void SetShowNumbers(bool show);
    bool IsTemplate() const { return m_bTemplate != 0; }
    float GetVersion() const { return m_fVersion; }
    float GetProgVersion() const { return m_fProgVersion; }
    platform::CDibImage& GetLogo() { return m_logo; }
    platform::CSummaryInfo& GetSummaryInfo() { return *m_pSummInfo; }

    // ---- document framework
    const QString& GetPathName() const { return m_pathName; }
    // Sets the path and the title (the file name without its extension);
    // addToRecent puts the path into the program's recent-file list.
    void SetPathName(const QString& path, bool addToRecent = true);
    const QString& GetTitle() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }
    // The message of the last failed open or save.
    const QString& GetLastError() const { return m_lastError; }
    // The working copy of a template this document opened (deleted with it).
    const QString& GetWorkingCopy() const { return m_workingCopy; }

    // Empties the document: no objects, one page "Report1", page 0, version
    // 6.0, white, unlocked, numbers shown, undo history and redo count reset.
    void DeleteContents();
    bool OnNewDocument();
    bool OnOpenDocument(const QString& path);
    bool OnSaveDocument(const QString& path);
    // Save with a prompt: path empty asks for a name (Save As); replace makes
    // the chosen name the document's path.
    bool DoSave(const QString& path, bool replace = true);
    // Saves to path without prompting and without changing the path name.
    bool SaveToPath(const QString& path);
    bool OnFileSave() { return DoSave(m_pathName, true); }
    bool OnFileSaveAs() { return DoSave(QString(), true); }
    // Asks to save a modified document before it closes: false when the user
    // cancelled or the save failed.
    bool SaveModified();

    // The Contents archive.
    QByteArray StoreContents();
    // Reads a Contents archive; on failure the document is unchanged and
    // false is returned with the message in *error.
    bool LoadContents(QByteArrayView bytes, QString* error = nullptr);
    void Serialize(platform::ArchiveWriter& ar);
    // Reads into the document (throws platform::ArchiveError, or
    // std::runtime_error for a refused version); prefer LoadContents.
    void Serialize(platform::ArchiveReader& ar);

    // ---- undo and redo
    // The before snapshot (read by undo). It is held aside until the after
    // snapshot of its step arrives, so it never replaces a slot that undo
    // still needs.
    void SaveRedoSnapshot(int kind, CDrawObj* obj = nullptr, int mode = 1);
    // Mode 1: the after snapshot (read by redo); the step is recorded. Any
    // other mode resets the history. The modified flag takes the mode.
    void SaveUndoSnapshot(int kind, CDrawObj* obj = nullptr, int mode = 1);
    void OnEditUndo();
    void OnEditRedo();
    bool CanUndo() const { return m_nUndoCount >= 1; }
    bool CanRedo() const { return m_nUndoCount < kUndoSlots && m_nRedoCount != 0; }
    int GetUndoCount() const { return m_nUndoCount; }
    int GetRedoCount() const { return m_nRedoCount; }
    int GetUndoIndex() const { return m_nUndoIndex; }
    // Large blocks of bytes (infrared files) in snapshots: while a snapshot
    // is written or read, objects put such a block into the document's
    // shared store once and write its key instead of the bytes.
    bool InSnapshot() const { return m_snapshotKeys != nullptr || m_readingSnapshot; }
    SharedByteStore::Key ShareSnapshotBytes(const QByteArray& bytes);
    // The block of a key; platform::ArchiveError for a key not held.
    QByteArray SharedSnapshotBytes(SharedByteStore::Key key) const;
    const SharedByteStore& SnapshotStore() const { return m_sharedBytes; }
    // The snapshot memory files (for inspection).
    const CRtfMemFile& UndoSlot(int i) const { return m_undo[static_cast<std::size_t>(i)]; }
    const CRtfMemFile& RedoSlot(int i) const { return m_redo[static_cast<std::size_t>(i)]; }

    // ---- commands
    void OnBackgroundColor();
    // The summary property sheet; true when it was closed with OK.
    bool OnFileSummaryInfo();
    void OnLock();
    void OnShowNumbers();
    bool OnSaveAsTemplate();
    // Export to a word-processor document (.docx): asks for the file, writes
    // every page with its objects, offers to open the result. False when
    // cancelled or the file could not be written (message 61502).
    bool OnExportToWord();
    // The file type of that export.
    static constexpr char kWordFileFilter[] = "Microsoft Word (*.docx)";
    // Every page in order (a break before each page after the first) and
    // every object of the list, in list order, on its page, through its own
    // export. Objects on pages past the last are left out.
    void ExportPages(CWordExport& exporter);

    // Runs a command of the table above; false for another id.
    bool OnCommand(int id);
    // The state of a command; false for an id the document does not handle.
    bool OnUpdateCommand(int id, DocCommandUI& ui) const;

private:
    // m_logo := "logo.jpg" of the program folder (any case), empty without one.
    void LoadProgramLogo();
    struct Contents;
    struct UndoPair {
        int code = 0;
        std::uint32_t ordinal = 0;
        std::uint32_t index = 0; // place in the object list
    };
    struct UndoAbandoned {};

    enum Restacking { kBackward, kForward, kToBack, kToFront };
    bool Restack(CDrawObj* obj, int where);
    // Moves the arrows of the list to its tail, keeping the order within
    // both groups; true when anything moved.
    static bool MoveArrowsToTail(std::vector<CDrawObj*>& objects);
    CDrawObj* InsertObject(std::size_t index, std::unique_ptr<CDrawObj> obj);
    void DeleteObject(CDrawObj* obj);
    void DeleteAllObjects();
    QString DefaultPageTitle(int page) const;
    void MarkChanged();
    void FitPageRecords();
    bool ReadReport(const QString& path, platform::CSummaryInfo& summary);
    void AdoptContents(Contents&& contents);
    QString MessageForArchiveError(int code) const;
    void ReportOpenFailure(const QString& path, const QString& reason);
    bool CopyToWorkingCopy(const QString& source);
    void RemoveWorkingCopy();

    // Snapshots.
    std::vector<UndoPair> SelectionPairs() const;
    std::vector<UndoPair> PairsOf(const std::vector<const CDrawObj*>& objects) const;
    using SlotKeys = std::vector<SharedByteStore::Key>;
    // Writes a snapshot into a slot; keys: the slot's shared blocks, released
    // and replaced by those the new snapshot holds. only: the one object of a
    // stacking-order step (else the view's selection).
    void WriteSnapshot(CRtfMemFile& file, SlotKeys& keys, int kind, bool after, const CDrawObj* only = nullptr);
    void ClearSlot(CRtfMemFile& file, SlotKeys& keys);
    // The object each pair names (null where none has that ordinal).
    std::vector<CDrawObj*> ResolvePairs(const std::vector<UndoPair>& pairs) const;
    using Recreated = std::vector<std::pair<UndoPair, std::unique_ptr<CDrawObj>>>;
    // other: the step's other snapshot, which describes the current state.
    void ApplySnapshot(const CRtfMemFile& file, bool undo, const CRtfMemFile& other);
    void ApplyRestack(platform::ArchiveReader& ar, const CRtfMemFile& other);
    std::vector<UndoPair> ReadPairs(platform::ArchiveReader& ar) const;
    const DrawClass& ClassForCode(int code) const;
    void RemovePairs(const std::vector<UndoPair>& pairs);
    void ChangePairs(platform::ArchiveReader& ar, const std::vector<UndoPair>& pairs);
    Recreated ReadRecreated(platform::ArchiveReader& ar, const std::vector<UndoPair>& pairs);
    void InsertRecreated(Recreated&& objects);
    void InsertPageRecord(const QByteArray& title);
    void FinishUndoStep();
    void ResetUndoHistory();

    DocumentEnvironment* m_env;
    const DrawClassRegistry* m_registry;
    DrawView* m_pView = nullptr;

    std::unique_ptr<platform::CSummaryInfo> m_pSummInfo;
    int m_bTemplate = 0;
    int m_nPages = 1;
    platform::CDibImage m_logo;
    int m_bSaveAsTemplate = 0;
    std::uint32_t m_bLocked = 0;
    std::uint32_t m_bShowNumbers = 1;
    int m_nCurPage = 0;
    float m_fVersion = kProgVersion;
    float m_fProgVersion = kProgVersion;
    std::vector<CDrawObj*> m_objects; // owned
    std::vector<PageTitleRecord> m_pages;
    QSize m_sizePage;
    COLORREF m_crBack = 0xFFFFFF;

    std::array<CRtfMemFile, kUndoSlots> m_undo; // after snapshots, read by redo
    std::array<CRtfMemFile, kUndoSlots> m_redo; // before snapshots, read by undo
    CRtfMemFile m_staged;                       // a before snapshot waiting for its after
    SharedByteStore m_sharedBytes;              // blocks the snapshots share
    std::array<SlotKeys, kUndoSlots> m_undoKeys;
    std::array<SlotKeys, kUndoSlots> m_redoKeys;
    SlotKeys m_stagedKeys;
    SlotKeys* m_snapshotKeys = nullptr;         // set while a snapshot is written
    bool m_readingSnapshot = false;
    bool m_hasStaged = false;
    int m_nUndoIndex = 0;
    int m_nUndoCount = 0;
    int m_nRedoCount = 0;

    QString m_pathName;
    QString m_title;
    bool m_modified = false;
    QString m_lastError;
    QString m_workingCopy;
};

// True when the file exists and cannot be deleted; false when it did not
// exist or was deleted.
bool DeleteFileIfExists(const QString& path);
