// CDrawHistogram: the histogram chart. It shows how the temperatures of one
// line or one area analysis of the infrared image with its image number
// spread over equal temperature classes (bins), as bars of relative
// frequency in percent: classes stacked up the object's height, bars
// growing across its width. With out-of-range levels shown, one class below
// the first edge and one at or above the last are counted and drawn too.
//
// Record (class "CDrawHistogram", schema 0): the 56-byte base record of
// CDrawObj, then, every item 32 bits little-endian, floats IEEE single:
//
//     i32 image number, line mode, line number, area number, out-of-range
//     levels, level values, level ranges, title, grid, bin count,
//     u32 bar colour, i32 custom scale, f32 custom max, f32 custom min
//     (Celsius), u32 text colour
#pragma once

#include "document/draw_rect.h"
#include "document/ir_image_object.h"

#include <QImage>

#include <span>
#include <vector>

class CDrawIR;
class DocumentEnvironment;

class CDrawHistogram : public CDrawRect, public IRLinkedObject {
public:
    static const DrawClass kClass;
    static constexpr int kPopupMenu = 5;
    static constexpr int kMinSize = 1200;
    static constexpr int kMinBins = 2;
    static constexpr int kMaxBins = 64;

    CDrawHistogram();
    CDrawHistogram(DrawView* view, const DocRect& rect);
    ~CDrawHistogram() override;

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;
    void Draw(PageDC& dc) override;
    bool Intersects(const DocRect& rect) override;
    void OnEditProperties() override;
    int DoCommand(unsigned id, const QString& text, int value) override;
    void ExportToWord(CWordExport& exporter) override;
    int GetPopupMenuIndex() const override;

    // The settings page alone (the view's histogram settings command);
    // true when OK was pressed.
    bool EditSettings();

    // The word-processor export's picture: empty without the linked image,
    // only the frame below 600 x 550 units.
    QImage RenderExportImage();

    // ---- pure steps
    // n + 1 edges: e[0] = min, each next one (max - min) / n higher, summed
    // in single precision, e[n] = max exactly. n below 1 gives no edges.
    static std::vector<float> ComputeEdges(int n, float max, float min);
    struct Bins {
        std::vector<int> counts; // per bin
        int below = 0;           // v < e[0]
        int above = 0;           // v >= e[n]
        int tallest = 0;         // the largest count (with below and above when counted)
    };
    // Samples into the bins of the edges: below the first edge, at or above
    // the last, else the first bin whose upper edge is above the value (a
    // value on an inner edge goes up). Not-a-number values count nowhere.
    static Bins CountBins(std::span<const float> samples, std::span<const float> edges, bool outOfRange);

    // ---- the steps of a draw
    void ComputeEdges(float max, float min);
    // Samples the linked line or area (no image: percent maximum 100).
    void ComputeSamples();
    void ComputeBins();
    void DrawChart(PageDC& dc, const DocRect& rect);

    // IRLinkedObject
    int GetLinkedIRNumber() const override { return m_nIRNumber; }
    void SetLinkedIRNumber(int number) override { m_nIRNumber = number; }

    // ---- members
    std::int32_t m_nIRNumber = 1;
    COLORREF m_clrText = 0;
    std::vector<float> m_edges;
    std::vector<float> m_frequencies;
    std::vector<float> m_samples;
    std::int32_t m_nSampleCount = 0;
    std::int32_t m_nBins = 20;
    QString m_strAnalysisName;
    float m_fBelow = 0;
    float m_fAbove = 0;
    std::int32_t m_bOutOfRange = 1;
    std::int32_t m_bLevelValues = 1;
    std::int32_t m_bLevelRanges = 1;
    std::int32_t m_bTitle = 1;
    std::int32_t m_bGrid = 1;
    std::int32_t m_bCustomScale = 0;
    COLORREF m_clrBar = 0x646464;
    float m_fPercentMax = 100.0f;
    float m_fRangeMin = 15.0f;
    float m_fRangeMax = 45.0f;
    float m_fCustomMin = 15.0f;
    float m_fCustomMax = 45.0f;
    std::int32_t m_bLineMode = 1;
    QString m_strUnit;
    std::int32_t m_nLineNumber = 1;
    std::int32_t m_nAreaNumber = 1;

private:
    CDrawIR* LinkedImage() const;
    DocumentEnvironment& Env() const;
    // Reads the linked line or area into the samples; false when missing or
    // failed.
    bool SampleAnalysis(CDrawIR& image);
    // Steps 2 and 4 to 7 of a draw into rect (the object's rectangle).
    void DrawContents(PageDC& dc, const DocRect& rect);
    bool m_hasImage = false;
    float m_fMeasureLow = 0; // measuring range in the unit: which labels show
    float m_fMeasureHigh = 0;
};
