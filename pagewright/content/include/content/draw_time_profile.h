// CDrawTimeProfile: the temperature-over-time chart. It is linked by number
// to one infrared image of its view and plots up to twenty curves, one per
// statistic of that image's analyses (a point one, a line or an area four:
// maximum, minimum, average, difference), over a time axis: the image's
// picture-folder file list (each file loaded in turn for measuring, the
// shown file restored at the end) or, in multi-object mode, the view's
// images whose selection flags are set (each image one point in time).
// Around the plot: a temperature axis, the time axis, a cursor line the user
// drags (handle 9), a result table, an axis caption table (which file is
// which index) and a legend. Command 32984 writes the shown curves to a
// workbook.
//
// Samples are taken as the analyses hold them (the display unit); the label
// limits are the measuring range converted to the display unit.
//
// The curves are collected again when the linked number changed, when the
// settings were edited, or when an image the last collection read changed
// since (each image's change counter, remembered per chart, so that several
// charts on one image all see a change and the collection's own loads make
// none).
//
// Record (class "CDrawTimeProfile", schema 0): the 56-byte base record of
// CDrawObj, then, every item 32 bits little-endian, floats IEEE single:
//
//     i32 image number, grid, legend, axis caption table, result table,
//     alignment, scale mode, f32 custom max, f32 custom min (Celsius),
//     u32 divider colour, f32 cursor position, u32 text colour,
//     20 x (u32 curve colour, i32 shown, f32 curve cursor fraction),
//     100 x i32 selection flag, i32 multi-object mode, i32 selected count
//
// Reports of format 4.0 and older hold ten curve settings and nothing after
// them; up to 5.0 twenty curve settings each followed by the selection flag
// of the same index, then the mode and the count. Names, samples and ranges
// are not stored.
#pragma once

#include "content/chart_curves.h"
#include "document/draw_rect.h"
#include "document/ir_image_object.h"

#include <QImage>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

class CDrawIR;
class CDI_RptDoc;
class DocumentEnvironment;

class CDrawTimeProfile : public CDrawRect, public IRLinkedObject {
public:
    static const DrawClass kClass;
    static constexpr int kCurves = 20;
    static constexpr int kOldCurves = 10; // reports of format 4.0 and older
    static constexpr int kTargets = 100;
    static constexpr int kCursorHandle = 9;
    static constexpr int kPopupMenu = 10;
    static constexpr unsigned kExportCommand = 32984;
    static constexpr int kMinWidth = 2000;
    static constexpr int kMinHeight = 1200;
    static constexpr std::array<COLORREF, kCurves> kDefaultColors{
        0x0000FF, 0x0097FF, 0x00C890, 0x609830, 0xCFC830, 0xFF672F, 0x7F007F, 0x909790, 0xFFC800, 0x5F2F93,
        0xFF00FF, 0xFF97FF, 0xFFC890, 0xC89830, 0x96C830, 0x64672F, 0x32007F, 0x009790, 0x00C800, 0xFF2F93};

    using CurveRecord = chart::CurveRecord;
    // Where a curve comes from: the analysis kind (1 point, 2 line, 3 area),
    // its number and the statistic (0 max, 1 min, 2 average, 3 max - min).
    struct CurveSource {
        int kind = 0;
        int number = 0;
        int statistic = 0;
    };

    CDrawTimeProfile();
    CDrawTimeProfile(DrawView* view, const DocRect& rect);

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;
    HandleCursor GetHandleCursor(int handle) const override;
    void Draw(PageDC& dc) override;
    int HitTest(QPoint point, DrawView* view, bool selected, int flag) override;
    bool Intersects(const DocRect& rect) override;
    void MoveHandleTo(int handle, QPoint point, int flags, DrawView* view) override;
    void OnEditProperties() override;
    int DoCommand(unsigned id, const QString& text, int value) override;
    void ExportToWord(CWordExport& exporter) override;
    int GetPopupMenuIndex() const override;

    // IRLinkedObject
    int GetLinkedIRNumber() const override { return m_nIRNumber; }
    void SetLinkedIRNumber(int number) override { m_nIRNumber = number; }

    // The property sheet (parameters, curves and images); OK changes the
    // chart as one undo step and makes the next draw collect again. True
    // when OK was pressed.
    bool EditSettings();

    // ---- collecting
    // Rebuilds names, curves and samples from the linked image (see above).
    void CollectCurves();
    // True when the next draw collects again.
    bool NeedsCollecting() const;
    void ComputeAutoRange();
    int GetMaxSampleCount() const;
    // The number of time points of the last collection.
    int TimePoints() const { return m_nTimePoints; }

    // ---- drawing
    // The picture of the word-processor export: the chart collected afresh
    // and drawn on white into a 96-dpi image of the object's size, without
    // frame and number; the images' changed flags are left alone.
    QImage RenderExportImage();
    // The time axis below the plot: index 0 at its left edge, the last at
    // its right (the temperature axis is the shared one).
    void DrawTimeAxis(PageDC& dc, const DocRect& plot, int timePoints);
    void DrawResultTable(PageDC& dc, const DocRect& rect);
    // The lines of the last draw's axis caption table.
    void DrawAxisTable(PageDC& dc, const DocRect& rect);
    void DrawLegend(PageDC& dc, const DocRect& rect);
    // The result table's rows below its header: name and the three values.
    QStringList ResultRows() const;
    // The axis caption table's lines for a drawing width (page units).
    QStringList AxisTableLines(int drawingWidth) const;

    // ---- the spreadsheet export (command 32984)
    // Asks for the file, writes it with the wait notice up, offers to open
    // it; messages through the environment. 1 (also when cancelled).
    int ExportToExcel();
    // Writes the shown curves to path as a workbook; false with the reason
    // in *error (an existing file is then kept).
    bool WriteWorkbook(const QString& path, QString* error) const;
    // The destination: path with ".xlsx" unless it ends in ".xlsx"/".XLSX".
    static QString WorkbookPath(const QString& path);

    // The per-image selection flags follow an image inserted (delta 1) or
    // deleted (-1) at index of the view's image list.
    void ShiftTargets(int index, int delta);
    // Every time profile of doc shifts its flags (the view's image-list hook).
    static void ShiftTargetsOf(CDI_RptDoc& doc, int index, int delta);

    const std::vector<float>& Samples(int curve) const { return m_samples[std::size_t(curve)]; }
    // Gives curve (0..19) a name and samples as a collection would (the
    // curve count grows to include it); for series made elsewhere.
    void SetCurve(int curve, const QString& name, std::vector<float> samples);
    const CurveSource& Source(int curve) const { return m_sources[std::size_t(curve)]; }

    // ---- members
    std::int32_t m_nIRNumber = 1;
    std::int32_t m_nLastIRNumber = 0; // not stored
    std::int32_t m_bMultiObject = 0;
    std::int32_t m_nSelectedCount = 0;
    std::int32_t m_nCurveCount = 0;
    std::array<float, kCurves> m_fCurveCursor;
    COLORREF m_clrDivider = 0x00FF00;
    float m_fCursor = 0.5f;
    DocRect m_rcCursorBar;
    DocRect m_rcPlot;
    std::array<QString, kCurves> m_strCurveName;
    std::array<std::int32_t, kCurves> m_nSampleCount{};
    std::int32_t m_bGrid = 1;
    std::int32_t m_bLegend = 1;
    std::int32_t m_bAxisTable = 0;
    std::int32_t m_bResultTable = 1;
    std::int32_t m_nAlignment = 0; // 0 left-aligned, 1 stretched
    std::int32_t m_nScaleMode = 1; // 0 image, 1 automatic, 2 custom
    std::array<COLORREF, kCurves> m_clrCurve = kDefaultColors;
    std::array<std::int32_t, kTargets> m_bTarget{};
    COLORREF m_clrText = 0;
    std::int32_t m_nNamedCount = 1;
    std::array<CurveRecord, kCurves> m_curves{};
    std::int32_t m_nImageMax = 45;
    std::int32_t m_nImageMin = 15;
    std::int32_t m_nAutoMax = 46;
    std::int32_t m_nAutoMin = 15;
    float m_fCustomMax = 45.0f;
    float m_fCustomMin = 15.0f;
    QString m_strUnit;

private:
    // Steps from the refresh on; frame and number are the caller's.
    void DrawChart(PageDC& dc, DocRect& rect, bool exporting);
    CDrawIR* LinkedImage() const;
    DocumentEnvironment& Env() const;
    // The selected images of the view in list order (flags 0..99 only).
    std::vector<CDrawIR*> SelectedImages() const;
    std::array<chart::CurveSeries, kCurves> Series();
    void RememberChangeCounts(CDrawIR* linked);

    chart::CurveCursor m_cursor;
    std::array<std::vector<float>, kCurves> m_samples;
    std::array<CurveSource, kCurves> m_sources{};
    int m_nTimePoints = 0;
    bool m_hasImage = false;
    float m_fRangeLow = 0; // the label limits in the unit
    float m_fRangeHigh = 0;
    // The images the last collection read and their change counts then.
    struct Seen {
        const CDrawIR* image = nullptr;
        std::uint64_t count = 0;
    };
    std::vector<Seen> m_seen;
    QStringList m_axisLines; // the axis caption table of the last draw
    bool m_collected = false;
};
