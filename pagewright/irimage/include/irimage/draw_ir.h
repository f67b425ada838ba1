// CDrawIR: the report object that shows one infrared image.
//
// It holds the image holder (CIrImage) over the shown file, the rendered
// picture (a packed DIB), the scene parameters, the display range, ten
// isotherm bands, its analyses, the list of infrared files of the picture
// folder it was opened from (each with the file's bytes) and the objects
// bound to it by its number (dependents).
//
// Temperatures are held in degrees Celsius: m_fLimits [0..1] the histogram
// span, [2..3] the range found at opening, [4..5] the display range (high,
// low). Analysis statistics are in the display unit at measuring time.
// Humidity is a fraction of 1.
//
// Record (class "CDrawIR", schema 0), written at record version 6 and read
// for reports of format versions 0.0 to 6.0:
//
//     base record, image holder record, u8 record version, f32 scale x, y,
//     f32 display high, low, [rec > 1] f32 opening range high, low,
//     i32 number, u32 time, string file name, string folder,
//     f32 file min, max, 4 strings (model, serial, date, version),
//     u32 scale text colour, f32 emissivity, distance, ambient, background,
//     reference, humidity, string object type,
//     [doc > 4.0] 5 x u32 reference settings,
//     isotherms (10 when doc > 5.0, else 2) of u32 on, f32 centre, f32 width,
//     u32 colour,
//     [doc > 0.0] 3 x u32 show flags, i32 file count (at most 601), i32 index,
//     i32 sort mode, the entries (string key, string path, u32 length,
//     u32 time, the bytes, [doc > 1.0] u16 emissivity, i32 ambient,
//     u16 distance, u16 humidity, i32 reference, [doc > 2.0] f32 range high,
//     low, [doc > 3.0 or rec > 2] f32 atmosphere, atmosphere copy),
//     [doc > 1.0] u32 unit, i32 palette, u32 inverted, f32 transmittance,
//     the analyses (doc >= 4: 256-byte records; older: 128-byte records).
//
// An archive without a document reads as format version 6.0. Reading checks
// every length and count against the bytes left before allocating; any
// fault is a platform::ArchiveError.
//
// In the undo snapshots of a report the file bytes are not copied: each is
// put once into the document's shared store and the record holds its key.
#pragma once

#include "irimage/ir_analysis.h"
#include "irimage/ir_file_entry.h"
#include "irimage/ir_image.h"

#include "document/draw_obj.h"
#include "document/ir_image_object.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class IRImageDependent;
class CIRImagePage;
class CIRParamPage;
class CIRAnalysisPage;
class CIRPalettePage;
class PageDC;

struct IRIsotherm {
    float centre = 0;
    float width = 0;
    std::uint32_t enabled = 0;
    COLORREF color = 0;
};

class CDrawIR : public CDrawObj, public IRImageObject {
public:
    static const DrawClass kClass;
    static constexpr int kIsotherms = 10;
    static constexpr int kMaxAnalyses = 100;
    static constexpr std::array<COLORREF, kIsotherms> kIsoDefaultColors{
        0x0000FF, 0x0097FF, 0x00C890, 0x609830, 0xCFC830, 0xFF672F, 0x7F007F, 0x909790, 0xFFC800, 0x5F2F93};
    static constexpr std::uint8_t kRecordVersion = 6;

    // The serial factory's constructor (before a record is read).
    CDrawIR();
    // A new image on the view's document: the number from the view, the
    // dependents of that number collected.
    CDrawIR(DrawView* view, const DocRect& rect);
    ~CDrawIR() override;

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;

    // The program environment (the document's, else the headless one).
    DocumentEnvironment& Environment() const;

    // ---- drawing and editing on the page (draw_ir_draw.cpp, draw_ir_edit.cpp)
    // Background, picture, colour bar with scale and isotherm bands, board
    // rectangle, marks, profile markers, frame and "NO.n". Keeps the
    // rectangle at its legal size and 4:3 aspect first (by the last handle
    // moved) and sets the pixel scales.
    void Draw(PageDC& dc) override;
    // Handles 1-8 resize; 9 + 3i, 10 + 3i, 11 + 3i body, upper and lower edge
    // of isotherm band i on the colour bar; 40 onwards the analyses in array
    // order (a point 1, a line 3, a rectangle 9, an ellipse 2 handles).
    HandleCursor GetHandleCursor(int handle) const override;
    int HitTest(QPoint point, DrawView* view, bool selected, int flag) override;
    void MoveHandleTo(int handle, QPoint point, int flags, DrawView* view) override;
    // Refreshes the main frame's file combo.
    void BeginEdit(DrawView* view, int flag) override;
    // The image's submenu of context menu 110.
    int GetPopupMenuIndex() const override { return 1; }
    // A double-click opens one infrared file into the image (the open
    // command, its dialog taking a single file).
    void OnOpen(DrawView* view) override;
    // A line of fewer than two pixels, or a rectangle or ellipse side under
    // two pixels, made drawable: the lower coordinate - 2 when it is at least
    // 4, else the upper + 2 (a line: the second x + 1 when the first is below
    // 3, else the first - 1).
    static void TidyShape(IRAnalysisItem& item);
    // The scale's major and minor steps for a span per 400 units of bar.
    static std::pair<double, double> ScaleSteps(double perStep);
    // The colour bar's rectangle on the page (bar insets as drawn).
    DocRect ColorBarRect() const;
    // The first handle of analysis index (40 onwards), and the analysis that
    // owns a handle (-1 for none).
    int FirstAnalysisHandle(std::size_t index) const;
    int AnalysisOfHandle(int handle) const;
    // A page point as a picture pixel and back (the pixel scales).
    QPoint PageToPixel(QPoint page) const;
    QPoint PixelToPage(int px, int py) const;

    // ---- commands (draw_ir_commands.cpp, ir_temperature_export.cpp)
    // The commands of the image's context menu and of the infrared bar, and
    // the formatting key "7" (scale text colour) of 1024. 1 when the
    // command ran or was ignored, 0 when it stopped early, -1 when a chosen
    // file could not be opened. Next and previous palette also answer to
    // 512 and 768 (the view's palette buttons).
    int DoCommand(unsigned id, const QString& text, int value) override;
    // Opens files into the list: appended, or each replacing the current
    // entry. A file that cannot be read changes nothing and is named in a
    // message (-1); no file: 0. One undo step.
    int OpenFiles(const QStringList& paths, bool append);
    // What makes the text object of the remark command (the text objects
    // register it): a text object at rect (page units) holding text.
    using RemarkTextFactory =
        std::function<std::unique_ptr<CDrawObj>(DrawView* view, const DocRect& rect, const QString& text)>;
    static void SetRemarkTextFactory(RemarkTextFactory factory);
    static bool HasRemarkTextFactory();
    // Writes the temperatures of the whole image at step (1 to 4) or of
    // analysis target (step 0) as a workbook at path: through a scratch file
    // of the same folder renamed over path when complete, so a failure keeps
    // an existing file. False with the reason in *error.
    bool ExportTemperatures(const QString& path, int step, int target, QString* error);
    // The number of data columns the export of step or target writes.
    int ExportColumnCount(int step, int target) const;

    // ---- IRImageObject
    int GetIRNumber() const override { return m_nNumber; }
    void SetIRNumber(int number) override { SetNumber(number); }
    bool HasPicture() const override { return HasImage(); }
    QSize ImageSize() const override;
    double PixelScaleX() const override { return m_fScaleX; }
    double PixelScaleY() const override { return m_fScaleY; }
    std::optional<float> PointTemperature(int px, int py) const override;
    std::pair<float, float> ScaleRange() const override;
    // Without a picture they show 61461 and change nothing; a shape with a
    // coordinate below 1 or outside the picture is not added. Each add is one
    // undo step (snapshots before and after).
    void AddPointAnalysis(QPoint point) override;
    void AddLineAnalysis(const DocRect& ends) override;
    void AddAreaAnalysis(const DocRect& rect) override;
    void AddEllipseAnalysis(const DocRect& rect) override;
    void DeleteHandleOwner(int handle) override;
    void SetIsothermAtPoint(int x1, int y1, int x2, int y2) override;
    void MarkChanged() override { NoteChange(); }
    DocRect LabelArea() const override;
    // The loaded file's visible-light photo, written by the holder into a
    // unique file of folder: "photo-*.jpg" when the camera stored a JPEG
    // photo (sub-kind 8), else "photo-*.bmp"; empty, leaving nothing, when
    // there is no photo or nothing was written.
    QString WriteVisiblePhoto(const QString& folder) override;

    // ---- field texts (field_texts.cpp)
    // The text of field id: plain, or labelled when text is "SPEC" on entry.
    // Groups 0 and 1 (33200-33309) and 2 (33400-33406); unknown ids leave
    // text as it came.
    void GetInfoText(int id, QString& text) const;
    void GetParamText(int id, QString& text) const;
    // Groups 3 (33500-33506), 4 (33600-33611) and 5 (33700-33714) of the
    // point, line or area (rectangle or ellipse) analysis with that number;
    // text is emptied first. withDelta adds " dt:" and the difference to the
    // analysis' reference temperature to the labelled temperature fields.
    void GetPointText(int number, int id, QString& text, bool withDelta) const;
    void GetLineText(int number, int id, QString& text, bool withDelta) const;
    void GetAreaText(int number, int id, QString& text, bool withDelta) const;
    // Group 6 (33800-33801) of isotherm index 0..9 while it is enabled;
    // otherwise text is left as it came.
    void GetIsothermText(int index, int id, QString& text) const;

    // ---- whole-object rendering and exports (draw_ir_render.cpp)
    // Draws the whole object into dc (picture, bar, marks, frame, and "NO.n"
    // inside the upper right, clear of the colour scale, unless
    // m_bHideNumberOnce, which it clears).
    void RenderFrame(PageDC& dc);
    // The whole object on white, the size of its rectangle on the view at
    // zoom (96 pixels per 1008 units x zoom); null without a picture.
    QImage RenderFrameImage(double zoom);
    // The word-processor export: that picture at the view's zoom (1 without
    // a view) in a borderless box at the object's place; nothing without a
    // picture.
    void ExportToWord(CWordExport& exporter) override;
    // That picture as a BMP file; false without a picture or when the file
    // cannot be written (an existing file is then kept).
    bool SaveFrameAsBmp(const QString& path, double zoom = 1.0);
    // The rendered picture alone as a BMP file; false without a picture or
    // when the file cannot be written.
    bool SavePictureAsBmp(const QString& path) const;
    // The batch step: opens irPath in the holder, renders it with palette,
    // writes the picture alone (wholeObject false) or the whole object to
    // bmpPath; the holder is closed at the end. False when nothing was
    // written.
    bool RenderFileToBitmap(bool wholeObject, const QString& irPath, const QString& bmpPath, int palette,
                            double zoom = 1.0);
    // Writes the loaded file's visible-light photo to path; false when there
    // is none or it could not be written.
    bool ExportVisibleImage(const QString& path);
    // The cursor positions of profile charts linked to this image (ten
    // slots), and their crosses on the line analyses.
    void CollectProfileLinks();
    void DrawProfileMarkers(PageDC& dc, const DocRect& picture);
    // Hides "NO.n" in the next RenderFrame only (not stored).
    bool m_bHideNumberOnce = false;

    // A profile chart's cursors as collected (ten slots; only ten charts can
    // be linked).
    struct ProfileLink {
        bool used = false;
        COLORREF colour = 0;
        std::array<float, 10> positions{};
    };
    static constexpr int kProfileLinks = 10;
    const std::array<ProfileLink, kProfileLinks>& ProfileLinks() const { return m_profileLinks; }

    // ---- picture
    bool HasImage() const { return !m_dib.isEmpty(); }
    const QByteArray& Dib() const { return m_dib; }
    CIrImage& Image() { return *m_image; }
    const CIrImage& Image() const { return *m_image; }
    int ImageWidth() const { return m_image->Width(); }
    int ImageHeight() const { return m_image->Height(); }
    // The changed byte (set by every change; readers clear it) and a counter
    // raised by every change but the loads of a chart's collection.
    std::uint8_t m_bChanged = 0;
    std::uint64_t ChangeCount() const { return m_changeCount; }

    // ---- analyses
    int NextAnalysisNumber(int category) const;
    void ComputeAnalysis(std::size_t index);
    void RecomputeAll();
    void MeasureAnalysis(IRAnalysisItem& item);
    bool GetAnalysisName(int kind, int number, QString& name) const;
    bool FindLine(int number, IRShape& shape, float& emissivity, float& distance, float& background,
                  QString& name) const;
    bool FindArea(int number, IRShape& shape, float& emissivity, float& distance, float& background, int& kind,
                  QString& name) const;
    double GetReferenceTemp(std::size_t index) const;
    void CopyAnalysesTo(IRAnalysisArray& target) const;

    // ---- file list
    // Makes path the only file of the list and shows it; false when it could
    // not be opened (nothing changes then).
    bool LoadIRFile(const QString& path);
    // The list from the program's data-file table; shows the entry of path.
    bool LoadIRFileEx(const QString& path);
    // Shows entry i (also made the current index). countChange false: the
    // restoring load at the end of a chart's collection.
    bool LoadFileAtIndex(int i, bool countChange = true);
    // Loads entry i into the holder for measuring only.
    bool LoadFileForMeasure(int i);
    void BuildFileList();
    void SortFileList();
    bool CompareFileNames(const QString& a, const QString& b) const;
    void MakeUniqueKey(int i, int k);
    void RefreshFileCombo();
    void SelectFileInCombo();
    void ReadComboSelection();
    // Switches the palette and records it in the current entry's bytes.
    void SetPalette(int index);
    const std::vector<IRFileEntry>& Files() const { return m_files; }
    int FileCount() const { return static_cast<int>(m_files.size()); }
    int FileIndex() const { return m_nFileIndex; }
    void SetFileIndex(int i) { m_nFileIndex = i; }
    // Takes entry i out of the list (the later ones move down); the index
    // stays inside the list. The object is marked changed.
    void RemoveFileAt(int i);
    int SortMode() const { return m_nSortMode; }
    void SetSortMode(int mode) { m_nSortMode = mode; }

    static float AtmosphericTransmittance(float t, float rh, float d);

    // After undo or redo read a record: the range, isotherms, measurements
    // and picture again.
    void RefreshAfterUndo();

    // ---- the property sheet (draw_ir_properties.cpp)
    // The modal sheet of the image (command 32841, opening the object): on
    // OK the values go to the object, its holder and the current file's
    // bytes, and the file is shown again, as one undo step; Cancel restores
    // every analysis the analysis page changed.
    void OnEditProperties() override;

    // ---- dependents
    // The image number, as the creator sets it; the fields and tables of the
    // document bound to that number become dependents.
    void SetNumber(int number);
    void AddDependent(IRImageDependent* dependent);
    void RemoveDependent(IRImageDependent* dependent);
    const std::vector<IRImageDependent*>& Dependents() const { return m_dependents; }
    // Tells every dependent that the image changed, and repaints the
    // objects bound to its number (RepaintLinkedObjects).
    void NotifyDependents();
    void RepaintLinkedObjects();

    // Registers the class in a registry (with its undo re-render), the unit
    // observer that recomputes every image when the unit changes, and the
    // image tool's factory (tool kind 7).
    static void Register(DrawClassRegistry& registry);
    // Every live image object (for the unit observer and tests).
    static const std::vector<CDrawIR*>& LiveImages();

    // ---- members (names of the object's record)
    COLORREF m_clrScaleText = 0;
    std::uint32_t m_nHolderFlag = 0;
    IRAnalysisArray m_analyses;
    CIRItemArray m_oldItems;
    float m_fScaleX = 0;
    float m_fScaleY = 0;
    std::uint32_t m_timeCreated = 0;
    std::uint32_t m_bShowBar = 1;
    std::uint32_t m_bShowMarks = 1;
    std::uint32_t m_b3DEffect = 0;
    std::uint32_t m_bLiveUpdate = 1;
    std::uint32_t m_bReadAnalyses = 1;
    float m_fEmissivity = 0.9f;
    QString m_strObjectType;
    float m_fDistance = 10.0f;
    float m_fAmbient = 20.0f;
    float m_fBackground = 20.0f;
    float m_fTransmittance = 1.0f;
    float m_fHumidity = 0.8f;
    float m_fReference = 20.0f;
    std::int32_t m_bUseRefTarget = 0;
    std::int32_t m_bUseRefTemp = 1;
    std::int32_t m_nRefKind = 1;
    std::int32_t m_nRefNumber = 1;
    std::int32_t m_nRefIndex = 1;
    std::uint32_t m_bInverted = 0;
    std::array<float, 6> m_fLimits{};
    float m_fFileLow = 0;
    float m_fFileHigh = 0;
    std::int32_t m_nNumber = 0;
    std::array<IRIsotherm, kIsotherms> m_isotherms{};
    QString m_strFolder;
    QString m_strFileName;
    std::uint8_t m_bListFlag = 1;
    std::int32_t m_nPrevSortMode = 1;
    std::uint8_t m_bFlagA = 1;
    std::uint8_t m_bFlagB = 0;
    std::uint32_t m_nReserved = 0;
    float m_fFileMin = 0;
    float m_fFileMax = 0;
    std::uint32_t m_nHolderByte = 0;
    std::array<QString, 4> m_strInfo;

private:
    // Commands (draw_ir_commands.cpp, draw_ir_command_dialogs.cpp).
    int OnOpenCommand();
    // The holder's display range, isotherms and (withPalette) palette
    // applied again, the picture rendered and redrawn.
    void Rerender(bool withPalette);
    int OnRangeCommand();
    int OnSaveAs();
    int OnSaveWithBar();
    int OnPlayVoice();
    int OnSaveVoice();
    int OnShowRemark();
    int OnShowVisiblePhoto();
    int OnDeleteAnalyses();
    int StepPalette(int delta);
    int OnExportCommand(int step);
    // The range dialog, run modally; false when there is none to run. The
    // four values are read back whatever the answer.
    bool RunRangeDialog();
    // The target dialog: the chosen analysis index, -1 for none.
    int ChooseExportTarget();
    // The wait notice while the workbook is written (closed when dropped).
    std::unique_ptr<QObject> ShowExportWait();

    void NoteChange(bool count = true);
    // Groups 3 to 5 of the field texts.
    void AnalysisFieldText(int number, int id, QString& text, bool withDelta, int group) const;
    // The holder reads the unit, palettes and program folder of this
    // object's environment.
    void SyncHolderEnvironment();
    // The first line (area false) or rectangle or ellipse with the number.
    const IRAnalysisItem* FindAnalysis(int number, bool area) const;
    void ReadRecord(platform::ArchiveReader& ar);
    void ReadEntries(platform::ArchiveReader& ar, float docVersion, int recordVersion);
    QByteArray ReadFileBytes(platform::ArchiveReader& ar, std::uint32_t length);
    void WriteFileBytes(platform::ArchiveWriter& ar, const QByteArray& bytes) const;
    void WriteImageBlock(platform::ArchiveWriter& ar) const;
    void ReadImageBlock(platform::ArchiveReader& ar);
    static IRFileEntry EntryFromHolder(const CIrImage& holder, const QString& path);
    bool ShowCurrentEntry(int oldWidth, bool keepRange, bool countChange);
    void AllocateDib();
    void ReadDisplayRange();
    void ApplyIsotherms();
    // Renders the holder's image into m_dib; false (m_dib kept, or blank
    // when it was written over) when there is nothing to render or the
    // render failed.
    bool Render();
    void TakeHolderParameters(const IRFileEntry& referenceEntry);
    // Takes every analysis from the picture width oldWidth to the shown
    // one. An analysis keeps where it was placed (drawn, edited or read, and
    // on which width) while it is only carried from file to file, and its
    // shape on each file comes from there: back on a file of the width it
    // was placed on it has that shape again, whatever widths came between.
    void RescaleAnalyses(int oldWidth);
    void RefreshAnalyses();
    // Shows the list's entry of path (else the first): opened, when given,
    // is a holder already open on that entry; else the entry is loaded.
    bool FinishListLoad(const QString& path, int oldWidth, std::unique_ptr<CIrImage> opened = {});
    // Loads an entry into a new holder that replaces the current one only
    // when the load succeeded: a failed load leaves the shown image as it
    // was, still measurable.
    bool LoadEntry(const IRFileEntry& entry);
    void CollectDependents();
    void RecomputeForUnit();
    struct SheetPages {
        CIRImagePage* image;
        CIRParamPage* param;
        CIRAnalysisPage* analysis;
        CIRPalettePage* palette;
    };
    void FillSheetPages(const SheetPages& pages);
    void ApplySheetPages(const SheetPages& pages, const IRAnalysisArray& saved);

    // Drawing (draw_ir_draw.cpp): the size and aspect rules, and everything
    // inside the rectangle but the frame and number.
    // The areas (normalised) of the colour scale's top and bottom values as
    // drawn; empty when no scale is drawn.
    struct ScaleEnds {
        DocRect top;
        DocRect bottom;
    };
    void EnforceSizeAndAspect();
    ScaleEnds DrawContents(PageDC& dc, const DocRect& rect);
    ScaleEnds DrawColorBar(PageDC& dc, const DocRect& rect);
    ScaleEnds DrawScale(PageDC& dc, const DocRect& bar);
    void DrawBoardRect(PageDC& dc, const DocRect& rect);
    void DrawMarks(PageDC& dc, const DocRect& rect);
    void DrawFrameAndNumber(PageDC& dc, const DocRect& rect, QPoint numberAt, bool number);
    // The upper left corner of "NO.n" in the whole-object picture: inside
    // its upper right corner, else its lower right corner, whichever keeps
    // clear of the scale's values (the upper one when neither does).
    QPoint PictureNumberCorner(PageDC& dc, const DocRect& rect, const ScaleEnds& scale) const;
    // The picture as an image, converted again only when the DIB changed.
    const QImage& Picture() const;
    // Analysis adds and band edits (draw_ir_edit.cpp).
    bool RefuseWithoutImage();
    void AppendAnalysis(IRAnalysisItem item, int category, int nameId);
    void ApplyDisplayAfterBandChange();
    // Takes band i out: the later bands move down one place and the last
    // place is left off, keeping the removed band's colour.
    void ShiftOutBand(std::size_t i);

    // Where each analysis of the array (by index) was placed: its kind,
    // number and shape on a picture of that width. Not stored.
    struct AnalysisPlacement {
        std::int32_t kind = 0;
        std::int32_t number = 0;
        IRShape shape;
        int width = 0;
    };
    std::vector<AnalysisPlacement> m_placements;

    std::unique_ptr<CIrImage> m_image; // replaced whole by each successful load
    mutable QImage m_picture;
    mutable QByteArray m_pictureDib; // the DIB m_picture was made from
    std::array<ProfileLink, kProfileLinks> m_profileLinks{};
    std::array<int, 4> m_dragOffset{}; // mouse to the dragged shape's left, top, right, bottom (page units)
    QByteArray m_dib;
    std::int32_t m_nSortMode = 2;
    std::int32_t m_nFileIndex = 0;
    std::vector<IRFileEntry> m_files;
    std::vector<IRImageDependent*> m_dependents;
    std::uint64_t m_changeCount = 0;
    bool m_reading = false;
    bool m_measuringOnly = false; // a chart's collection: no change counted
    std::array<IRIsotherm, kIsotherms> m_isothermsBeforeRead{};
    float m_fCameraHigh = 0; // the camera's range in whole degrees
    float m_fCameraLow = 0;
    std::uint8_t m_workingRange = 0;
    std::uint8_t m_lensCode = 0;

    friend class IRImageDependent;
    static void OnTempUnitChanged(DocumentEnvironment& env);
};
