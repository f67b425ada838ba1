// CDrawObj: the base of every object on a report page.
//
// It holds what all objects share: the position rectangle (logical units,
// y upwards, as drawn: not normalised), the owning document and page, pen and
// brush with their on/off flags, the rich-text store and the table-cell flag;
// the base record that starts every object's record; the eight resize
// handles with their cursors; hit testing, the selection tracker, moving and
// resizing with undo records.
//
// The document, the view and the tools drive every object through the 33
// virtual operations below, declared in their fixed order (0 GetRuntimeClass
// to 32 GetPopupMenuIndex). A derived class adds operations of its own only
// after the last of them. (The archive's archiveClass/store/load of
// platform::ArchiveObject forward to GetRuntimeClass and Serialize.)
//
// Base record (56 bytes, little-endian):
//
//     0  position: left, top, right, bottom (i32 each)
//    16  penOn (u16)
//    18  pen: style u32, width x i32, width y i32, colour u32
//    34  brushOn (u16)
//    36  brush: style u32, colour u32, hatch i32
//    48  page (u32)
//    52  tableCell (u32)
#pragma once

#include "document/draw_class.h"
#include "document/geometry.h"
#include "document/rtf_mem_file.h"

#include <QJsonObject>
#include <QPoint>
#include <QString>

class CDI_RptDoc;
class CWordExport;
class DrawView;
class PageDC;

// The handle being dragged by the drawing tools (0 = none); every draw
// object resets it when it is destroyed.
extern int g_dragHandle;

// The cursors that handles and tools show: the standard shapes and the
// program's own images (Pencil 107, Move 137, Drag 139; for the bands and
// analyses of infrared images: DeleteBand 168, BandEdge 308, ShapeEdge 316,
// MovePoint 330, MoveLine 331, MoveRect 332, MoveEllipse 333 and their
// delete forms DeletePoint 1502 ... DeleteEllipse 1505; for tables and
// charts: ColumnEdge 307 (a vertical border dragged sideways), ColumnStrip
// 313 and RowStrip 314 (picking a whole column or row).
enum class HandleCursor {
    Arrow,
    IBeam,
    SizeNWSE,
    SizeNESW,
    SizeWE,
    SizeNS,
    SizeAll,
    Cross,
    Pencil,
    Move,
    Drag,
    DeleteBand,
    BandEdge,
    ShapeEdge,
    MovePoint,
    MoveLine,
    MoveRect,
    MoveEllipse,
    DeletePoint,
    DeleteLine,
    DeleteRect,
    DeleteEllipse,
    ColumnEdge,
    ColumnStrip,
    RowStrip,
};

class CDrawObj : public platform::ArchiveObject {
public:
    enum TrackerState { normal = 0, selected = 1, active = 2 };
    // Bit 0 of MoveTo's and MoveHandleTo's flags: record no undo step.
    static constexpr int kMoveNoUndo = 1;
    // DoCommand's identifier for a formatting change sent by the view.
    static constexpr unsigned kFormatCommand = 1024;

    static const DrawClass kClass;

    CDrawObj();
    CDrawObj(DrawView* view, const DocRect& rect);
    CDrawObj(const CDrawObj&) = delete;
    CDrawObj& operator=(const CDrawObj&) = delete;

    // 0
    virtual const DrawClass& GetRuntimeClass() const { return kClass; }
    // 1
    ~CDrawObj() override;
    // 2: the record; loading sets document from the archive first.
    virtual void Serialize(platform::ArchiveWriter& ar) const;
    virtual void Serialize(platform::ArchiveReader& ar);
    // 3
    virtual void AssertValid() const {}
    // 4: the object's fields for diagnostics (class, page, rectangle, pen,
    // brush; derived classes add theirs).
    virtual void Dump(QJsonObject& out) const;
    // 5
    virtual int GetHandleCount() const;
    // 6
    virtual QPoint GetHandle(int handle) const;
    // 7
    virtual HandleCursor GetHandleCursor(int handle) const;
    // 8
    virtual void SetLineColor(COLORREF color);
    // 9
    virtual void SetFillColor(COLORREF color);
    // 10
    virtual void RecalcLayout() {}
    // 11
    virtual void PlaceEditor(DrawView* view) { (void)view; }
    // 12
    virtual void Draw(PageDC& dc) { (void)dc; }
    // 13
    virtual void DrawTracker(PageDC& dc, TrackerState state);
    // 14
    virtual void MoveTo(const DocRect& rect, int flags, DrawView* view);
    // 15
    virtual int HitTest(QPoint point, DrawView* view, bool selected, int flag);
    // 16
    virtual bool Intersects(const DocRect& rect);
    // 17
    virtual void MoveHandleTo(int handle, QPoint point, int flags, DrawView* view);
    // 18
    virtual void OnOpen(DrawView* view);
    // 19
    virtual void OnEditProperties() {}
    // 20: a copy added to document when one is given (then the document owns
    // it); null when the object cannot be copied.
    virtual CDrawObj* Clone(CDI_RptDoc* document);
    // 21: deletes the object.
    virtual void Remove();
    // 22
    virtual void BeginEdit(DrawView* view, int flag);
    // 23
    virtual void EndEdit(DrawView* view) { (void)view; }
    // 24
    virtual int DoCommand(unsigned id, const QString& text, int value);
    // 25
    virtual void ExportToWord(CWordExport& exporter) { (void)exporter; }
    // 26
    virtual void SetLineWidth(int width);
    // 27
    virtual COLORREF GetFillColor() const { return brush.color; }
    // 28
    virtual void StopEditing(DrawView* view) { (void)view; }
    // 29
    virtual void StartEditing(DrawView* view) { (void)view; }
    // 30
    virtual void CommitEditText() {}
    // 31
    virtual void InvertColorTable();
    // 32
    virtual int GetPopupMenuIndex() const { return 0; }

    // Redraws the object in the document's view (update hint 1).
    void Invalidate();
    // The handle's box: 3 pixels around the handle point, in logical units.
    DocRect GetHandleRect(int handle, DrawView* view) const;
    DrawView* GetView() const { return view; }
    void SetView(DrawView* v) { view = v; }
    CDI_RptDoc* GetDocument() const { return document; }
    void SetDocument(CDI_RptDoc* doc) { document = doc; }
    LogPen GetLogPen() const { return pen; }
    LogBrush GetLogBrush() const { return brush; }
    // 0xFFFFFFFF also switches the pen off; no redraw.
    void SetLineColorRaw(COLORREF color);
    void SetFillColorRaw(COLORREF color) { brush.color = color; }
    void SetPenFlag(int on) { penOn = on; }
    void SetBrushFlag(int on) { brushOn = on; }
    int GetBrushFlag() const { return brushOn; }
    void InvertColors();
    CRtfMemFile* GetTextStore() { return &textStore; }

    // The class's undo type code (see draw_class.h).
    int UndoTypeCode() const { return UndoTypeCodeOf(GetRuntimeClass()); }
    bool IsKindOf(const DrawClass& cls) const { return GetRuntimeClass().IsDerivedFrom(cls); }

    // platform::ArchiveObject
    const platform::ArchiveClass& archiveClass() const final { return GetRuntimeClass().archive; }
    void store(platform::ArchiveWriter& ar) const final { Serialize(ar); }
    void load(platform::ArchiveReader& ar) final { Serialize(ar); }

    DocRect position;
    CDI_RptDoc* document = nullptr;
    int activeHandle = 1;
    int formatValue = 0;
    std::uint32_t page = 1;
    CRtfMemFile textStore;
    int penOn = 1; // BOOL: stored as 16 bits, widened as read
    LogPen pen{PS_INSIDEFRAME, 1, 1, 0};
    int brushOn = 1;
    LogBrush brush{BS_SOLID, 0xC0C0C0, 0};
    DrawView* view = nullptr;
    std::uint32_t tableCell = 0;

    // Selects the brush (or none while brushOn is clear) and drawPen (or none
    // while penOn is clear); false, selecting nothing, when the stored pen or
    // brush cannot be made.
    bool SelectPenAndBrush(PageDC& dc, const LogPen& drawPen) const;

protected:
    // Redraws through the view when one is given, else through the document.
    void InvalidateIn(DrawView* v);
    // Takes the document's before- or after-change snapshot (kind 2, mode 1).
    void SaveRedoSnapshot();
    void SaveUndoSnapshot();
};

// Where a colour-table rewrite puts a new table: just after the first "}}"
// (the font table's end; the object base), or between its two braces, as
// the last entry of the font table's group (text objects and text cells).
enum class NewColorTablePlace { kAfterFirstBraces, kInsideFirstBraces };
// The colour-table rewrite of InvertColorTable on RTF text (exposed for
// tests): an existing table has each entry's components XORed with 255; a
// text without one gains a white entry 1, and its first "\pard\" turns to
// colour 1. Null when there is neither a table nor both a "}}" and a
// "\pard\".
QByteArray InvertRtfColorTable(QByteArrayView rtf,
                               NewColorTablePlace place = NewColorTablePlace::kAfterFirstBraces);
// InvertColorTable on an object's store (the whole content up to its NUL),
// the store rewritten with a NUL after the text and rewound; an empty store
// or a text the rewrite refuses stays as it is.
void InvertStoreColorTable(CRtfMemFile& store, NewColorTablePlace place);
