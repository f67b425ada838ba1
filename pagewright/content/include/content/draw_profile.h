// CDrawProfile: the line-profile chart. It plots the temperature along up
// to ten line analyses (numbered 1 to 10) of the infrared image with its
// image number, found in its view at every draw and sampled afresh; around
// the plot a temperature axis, a legend, a result table (line, maximum,
// minimum, value at the cursor) and a cursor line that the user drags
// (handle 9). The image marks the cursor on its lines (IRProfileCursors).
//
// Record (class "CDrawProfile", schema 0): the 56-byte base record of
// CDrawObj, then, every item 32 bits little-endian, floats IEEE single:
//
//     i32 image number, grid, legend, axis caption table, result table,
//     alignment, scale mode, f32 custom max, f32 custom min (Celsius),
//     u32 divider colour, f32 cursor fraction, u32 text colour,
//     10 x (u32 line colour, i32 shown, f32 line cursor fraction)
//
// Names, samples and the image and automatic ranges are not stored; a
// loaded chart has no samples until its next draw.
#pragma once

#include "content/chart_curves.h"
#include "document/draw_rect.h"
#include "document/ir_image_object.h"
#include "irimage/ir_profile_link.h"

#include <QImage>
#include <QStringList>

#include <array>
#include <vector>

class CDrawIR;
class DocumentEnvironment;

class CDrawProfile : public CDrawRect, public IRProfileCursors, public IRLinkedObject {
public:
    static const DrawClass kClass;
    static constexpr int kLines = 10;
    static constexpr int kCursorHandle = 9;
    static constexpr int kPopupMenu = 4;
    static constexpr int kMinWidth = 2000;
    static constexpr int kMinHeight = 1200;
    static constexpr std::array<COLORREF, kLines> kDefaultColors{
        0x0000FF, 0x0097FF, 0x00C890, 0x609830, 0xCFC830, 0xFF672F, 0x7F007F, 0x909790, 0xFFC800, 0x5F2F93};

    using LineRecord = chart::CurveRecord;

    CDrawProfile();
    CDrawProfile(DrawView* view, const DocRect& rect);

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

    // The property sheet (parameters and lines); OK changes the chart as one
    // undo step. True when OK was pressed.
    bool EditSettings();

    // The picture of the word-processor export: the chart drawn on white
    // into a 96-dpi image of the object's size, without the minimum-size
    // rule and the object number.
    QImage RenderExportImage();

    // ---- the steps of a draw
    // Samples the shown lines of the linked image (no image: nothing).
    void ComputeProfiles();
    // The automatic scale from the samples.
    void ComputeAutoRange();
    int GetMaxSampleCount() const;
    // The legend in its box; rows may go on below the box down to lowest
    // (page y).
    void DrawLegend(PageDC& dc, const DocRect& rect, int lowest);
    void DrawResultTable(PageDC& dc, const DocRect& rect);
    // The lines of the result table below its header, as drawn.
    QStringList ResultRows() const;

    // The number of sample places for a line between two points:
    // max(|dx|, |dy|) + 10.
    static int SamplePlaces(int x1, int y1, int x2, int y2);

    // IRProfileCursors
    int ProfileImageNumber() const override { return m_nIRNumber; }
    COLORREF ProfileCursorColor() const override { return m_clrDivider; }
    float ProfileCursorPosition(int lineNumber) const override;
    // IRLinkedObject
    int GetLinkedIRNumber() const override { return m_nIRNumber; }
    void SetLinkedIRNumber(int number) override { m_nIRNumber = number; }

    const std::vector<float>& Samples(int slot) const { return m_samples[std::size_t(slot)]; }

    // ---- members
    std::int32_t m_nIRNumber = 1;
    std::array<float, kLines> m_fLineCursor;
    COLORREF m_clrDivider = 0x00FF00;
    float m_fCursor = 0.5f;
    DocRect m_rcCursorBar;
    DocRect m_rcPlot;
    std::array<QString, kLines> m_strLineName;
    std::array<std::int32_t, kLines> m_nSampleCount{};
    std::int32_t m_bGrid = 1;
    std::int32_t m_bLegend = 1;
    std::int32_t m_bAxisTable = 0;
    std::int32_t m_bResultTable = 1;
    std::int32_t m_nAlignment = 0; // 0 left-aligned, 1 stretched
    std::int32_t m_nScaleMode = 1; // 0 image, 1 automatic, 2 custom
    std::array<COLORREF, kLines> m_clrLine = kDefaultColors;
    COLORREF m_clrText = 0;
    std::int32_t m_nShownCount = 1;
    std::array<LineRecord, kLines> m_lines{};
    std::int32_t m_nImageMax = 46;
    std::int32_t m_nAutoMax = 46;
    float m_fCustomMax = 45.0f;
    std::int32_t m_nImageMin = 15;
    std::int32_t m_nAutoMin = 15;
    float m_fCustomMin = 15.0f;
    QString m_strUnit;

private:
    // Steps 2 to 9 of a draw into rect (the object's rectangle).
    void DrawChart(PageDC& dc, const DocRect& rect);
    CDrawIR* LinkedImage() const;
    DocumentEnvironment& Env() const;
    std::array<chart::CurveSeries, kLines> Series();
    chart::CurveCursor m_cursor;

    std::array<std::vector<float>, kLines> m_samples;
    bool m_hasImage = false;
    float m_fRangeLow = 0;  // measuring range in the unit, for the axis labels
    float m_fRangeHigh = 0;
};
