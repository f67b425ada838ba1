// The line-profile and histogram charts on a report: records, sampling of
// the linked image, drawing rules, the cursor, commands and the export.
#include "chart_test_support.h"

#include "irimage/temperature_text.h"
#include "platform/archive_reader.h"

#include <array>

#include <QJsonDocument>
#include <QProcess>

using namespace chart_test;
using object_test::ReadFile;
using object_test::RecordOf;

namespace {

template <class T>
void ReadRecord(const QByteArray& bytes, T& obj)
{
    platform::ArchiveReader reader(bytes, Registry().ArchiveRegistry());
    obj.Serialize(reader);
}

class PictureExporter : public CWordExport {
public:
    void ExportImage(float left, float top, float width, float height, const QImage& picture, bool border) override
    {
        boxes.push_back({left, top, width, height});
        pictures.push_back(picture);
        (void)border;
    }
    std::vector<std::array<float, 4>> boxes;
    std::vector<QImage> pictures;
};

} // namespace

TEST(ChartRecords, ProfileEqualsTheGoldenBytesAndReadsBack)
{
    const QByteArray golden = ReadFile(QStringLiteral(CONTENT_GOLDEN "/profile.bin"));
    ASSERT_FALSE(golden.isEmpty());
    CDrawProfile read;
    ReadRecord(golden, read);
    EXPECT_EQ(read.position, DocRect(1000, -1000, 4000, -2500));
    EXPECT_EQ(read.page, 2u);
    EXPECT_EQ(read.m_nIRNumber, 3);
    EXPECT_EQ(read.m_bGrid, 0);
    EXPECT_EQ(read.m_nAlignment, 1);
    EXPECT_EQ(read.m_nScaleMode, 2);
    EXPECT_EQ(read.m_fCustomMax, 120.25f);
    EXPECT_EQ(read.m_fCustomMin, -5.5f);
    EXPECT_EQ(read.m_clrDivider, 0xFF0000u);
    EXPECT_EQ(read.m_fCursor, 0.25f);
    EXPECT_EQ(read.m_clrText, 0x0000FFu);
    EXPECT_EQ(read.m_lines[3].shown, 1);
    EXPECT_EQ(read.m_lines[2].shown, 0);
    EXPECT_EQ(read.m_clrLine[3], 0x800080u);
    EXPECT_EQ(read.m_fLineCursor[3], 0.75f);
    EXPECT_EQ(read.m_fLineCursor[1], -1.0f);
    EXPECT_EQ(RecordOf(read), golden);
}

TEST(ChartRecords, HistogramEqualsTheGoldenBytesAndReadsBack)
{
    const QByteArray golden = ReadFile(QStringLiteral(CONTENT_GOLDEN "/histogram.bin"));
    ASSERT_FALSE(golden.isEmpty());
    CDrawHistogram read;
    ReadRecord(golden, read);
    EXPECT_EQ(read.m_nIRNumber, 2);
    EXPECT_EQ(read.m_bLineMode, 0);
    EXPECT_EQ(read.m_nLineNumber, 4);
    EXPECT_EQ(read.m_nAreaNumber, 5);
    EXPECT_EQ(read.m_bLevelValues, 0);
    EXPECT_EQ(read.m_bGrid, 0);
    EXPECT_EQ(read.m_nBins, 32);
    EXPECT_EQ(read.m_clrBar, 0x00FF00u);
    EXPECT_EQ(read.m_bCustomScale, 1);
    EXPECT_EQ(read.m_fCustomMax, -10.0f);
    EXPECT_EQ(read.m_fCustomMin, 20.0f);
    EXPECT_EQ(read.m_clrText, 0xFF0000u);
    EXPECT_EQ(RecordOf(read), golden);
}

TEST(ChartRecords, NewChartsCarryTheirDefaults)
{
    const CDrawProfile p;
    EXPECT_EQ(p.m_nIRNumber, 1);
    EXPECT_EQ(p.m_nScaleMode, 1);
    EXPECT_EQ(p.m_clrDivider, 0x00FF00u);
    EXPECT_EQ(p.m_lines[0].shown, 1);
    EXPECT_EQ(p.m_lines[1].shown, 0);
    EXPECT_EQ(p.m_clrLine[9], 0x5F2F93u);
    EXPECT_EQ(p.m_fCustomMin, 15.0f);
    EXPECT_EQ(p.penOn, 1);
    EXPECT_EQ(p.brushOn, 0);
    const CDrawHistogram h;
    EXPECT_EQ(h.m_nBins, 20);
    EXPECT_EQ(h.m_bLineMode, 1);
    EXPECT_EQ(h.m_clrBar, 0x646464u);
    EXPECT_EQ(h.m_bOutOfRange, 1);
    EXPECT_EQ(h.m_bCustomScale, 0);
    EXPECT_EQ(h.brushOn, 0);
}

TEST(ChartRecords, ATruncatedRecordIsAnArchiveError)
{
    const QByteArray golden = ReadFile(QStringLiteral(CONTENT_GOLDEN "/profile.bin"));
    CDrawProfile read;
    EXPECT_THROW(ReadRecord(golden.left(golden.size() - 3), read), platform::ArchiveError);
}

TEST(LineProfile, SamplesShownLinesAndAReloadHasNoneButKeepsTheCursors)
{
    ChartReport r;
    r.AddImage();
    r.AddLine(1, {10, 10, 10, 110});
    r.AddLine(2, {20, 50, 220, 50});
    r.AddLine(3, {30, 30, 30, 30}); // no length
    CDrawProfile* p = r.AddProfile();
    p->m_lines[1].shown = 1;
    p->m_lines[2].shown = 1;
    p->m_lines[4].shown = 1; // no such line
    p->m_fCursor = 0.5f;
    DrawOnce(*p);
    // The end point is not walked.
    EXPECT_EQ(p->m_nSampleCount[0], 100);
    EXPECT_EQ(p->m_nSampleCount[1], 200);
    EXPECT_EQ(p->m_nSampleCount[2], 0);
    EXPECT_EQ(p->m_nSampleCount[4], 0);
    EXPECT_EQ(p->GetMaxSampleCount(), 200);
    EXPECT_EQ(p->m_strLineName[0], QStringLiteral("线01"));
    EXPECT_EQ(p->m_strLineName[4], QStringLiteral("(无)"));
    EXPECT_EQ(p->m_strLineName[5], QStringLiteral("(无)"));
    // Lines 1, 2 and the zero-length 3 are counted; the missing 5 is not.
    EXPECT_EQ(p->m_nShownCount, 3);
    EXPECT_LE(p->m_lines[0].minimum, p->m_lines[0].maximum);
    // Left-aligned: line 2 spans the plot, line 1 half of it.
    EXPECT_NEAR(double(p->m_lines[0].plottedWidth) / p->m_lines[1].plottedWidth, 99.0 / 199.0, 0.01);
    EXPECT_NEAR(p->m_fLineCursor[1], 0.5f, 0.01f);
    EXPECT_NEAR(p->m_fLineCursor[0], 1.0f, 0.02f);
    EXPECT_EQ(p->m_fLineCursor[3], -1.0f);

    CDrawProfile reloaded;
    ReadRecord(RecordOf(*p), reloaded);
    EXPECT_EQ(reloaded.GetMaxSampleCount(), 0);
    EXPECT_EQ(reloaded.m_fLineCursor, p->m_fLineCursor);
    EXPECT_EQ(reloaded.m_fCursor, 0.5f);
}

TEST(LineProfile, ResultRowsFormatAgainstTheMeasuringRangeAndShowNoCursorAtTheEnds)
{
    ChartReport r;
    r.AddImage();
    r.AddLine(1, {10, 10, 10, 110});
    r.AddLine(2, {30, 30, 30, 30});
    CDrawProfile* p = r.AddProfile();
    p->m_lines[1].shown = 1;
    DrawOnce(*p);
    ASSERT_GT(p->m_nSampleCount[0], 0);
    for (const float at : {0.0f, 1.0f}) {
        p->m_fLineCursor[0] = at;
        const QStringList rows = p->ResultRows();
        ASSERT_EQ(rows.size(), 2);
        EXPECT_TRUE(rows[0].endsWith(QStringLiteral("       - "))) << rows[0].toStdString();
        // The line of no length has no values at all.
        EXPECT_EQ(rows[1], QStringLiteral("  线02      -         -       - "));
    }
    p->m_fLineCursor[0] = 0.5f;
    const float sample = p->Samples(0)[50];
    const QString expected = FormatTempLabel(sample, p->m_lines[0].labelHigh, p->m_lines[0].labelLow);
    EXPECT_TRUE(p->ResultRows()[0].endsWith(QStringLiteral("       ") + expected + QStringLiteral(" ")));
}

TEST(LineProfile, AutomaticScaleWithoutSamplesIsFifteenToFortySix)
{
    ChartReport r;
    CDrawProfile* p = r.AddProfile(); // no image at all
    DrawOnce(*p);
    EXPECT_EQ(p->m_nAutoMin, 15);
    EXPECT_EQ(p->m_nAutoMax, 46);
    EXPECT_EQ(p->m_nImageMin, 15);
    EXPECT_EQ(p->m_nImageMax, 45);
}

TEST(ChartDrawing, TheMinimumSizeChangesTheRectangleWithoutMarkingTheReport)
{
    ChartReport r;
    CDrawProfile* p = r.AddProfile(DocRect(0, 0, 1000, -500));
    CDrawHistogram* h = r.AddHistogram(DocRect(0, -2000, 500, -2500));
    ASSERT_FALSE(r.doc.IsModified());
    DrawOnce(*p);
    DrawOnce(*h);
    EXPECT_EQ(p->position, DocRect(0, -1200, 2000, 0));
    EXPECT_EQ(h->position, DocRect(0, -3200, 1200, -2000));
    EXPECT_FALSE(r.doc.IsModified());
}

TEST(ChartDrawing, AReversedOrHugeCustomRangeDrawsWithoutFillingABin)
{
    ChartReport r;
    r.AddImage();
    r.AddArea(1, {10, 10, 60, 50});
    CDrawHistogram* h = r.AddHistogram();
    h->m_bLineMode = 0;
    h->m_bCustomScale = 1;
    for (const auto& [max, min] : {std::pair{20.0f, 20.0f}, std::pair{10.0f, 40.0f}, std::pair{3e38f, -3e38f}}) {
        h->m_fCustomMax = max;
        h->m_fCustomMin = min;
        const QImage image = DrawOnce(*h);
        EXPECT_FALSE(image.isNull());
        EXPECT_EQ(h->m_nSampleCount, 50 * 40);
        if (max <= min) {
            for (float f : h->m_frequencies)
                EXPECT_EQ(f, 0.0f);
            EXPECT_FLOAT_EQ(h->m_fBelow + h->m_fAbove, 1.0f);
        }
    }
    // A huge custom scale on the profile: the axis does not walk every degree.
    r.AddLine(1, {10, 10, 100, 10});
    CDrawProfile* p = r.AddProfile();
    p->m_nScaleMode = 2;
    p->m_fCustomMax = 3e38f;
    p->m_fCustomMin = -3e38f;
    DrawOnce(*p);
    EXPECT_EQ(p->m_nSampleCount[0], 90);
}

TEST(Histogram, LineModeSamplesBetweenTheEndPointsAsStored)
{
    ChartReport r;
    r.AddImage();
    // A line rising to the right: (10, 100) to (100, 10).
    r.AddLine(1, {10, 100, 100, 10});
    CDrawHistogram* h = r.AddHistogram();
    CDrawProfile* p = r.AddProfile();
    DrawOnce(*h);
    DrawOnce(*p);
    ASSERT_EQ(h->m_nSampleCount, 90);
    ASSERT_EQ(p->m_nSampleCount[0], 90);
    EXPECT_EQ(h->m_samples, p->Samples(0));
}

TEST(Histogram, AMissingImageOrAnalysisLeavesNoBars)
{
    ChartReport r;
    CDrawHistogram* h = r.AddHistogram();
    DrawOnce(*h);
    EXPECT_EQ(h->m_fPercentMax, 100.0f);
    EXPECT_EQ(h->m_nSampleCount, 0);
    r.AddImage();
    h->m_nLineNumber = 7;
    DrawOnce(*h);
    EXPECT_EQ(h->m_nSampleCount, 0);
    EXPECT_EQ(h->m_fPercentMax, 0.0f);
}

TEST(ChartCommands, KeySevenSetsTheTextColourAndRecordsTheChange)
{
    ChartReport r;
    CDrawProfile* p = r.AddProfile();
    CDrawHistogram* h = r.AddHistogram();
    EXPECT_EQ(p->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("7"), 0x00FF00), 1);
    EXPECT_EQ(h->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("7"), 0xFF0000), 1);
    EXPECT_EQ(p->m_clrText, 0x00FF00u);
    EXPECT_EQ(h->m_clrText, 0xFF0000u);
    EXPECT_TRUE(r.doc.IsModified());
    // Other keys leave the colour.
    p->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("1"), 0x123456);
    EXPECT_EQ(p->m_clrText, 0x00FF00u);

    EXPECT_EQ(p->GetPopupMenuIndex(), 4);
    EXPECT_EQ(h->GetPopupMenuIndex(), 5);
    r.view.Select(p);
    r.view.Select(h, true);
    EXPECT_EQ(p->GetPopupMenuIndex(), 0);
    EXPECT_EQ(h->GetPopupMenuIndex(), 0);
}

TEST(LineProfile, TheCursorBarIsHandleNineAndDraggingItMovesTheImageMarkers)
{
    ChartReport r;
    r.AddImage();
    r.AddLine(1, {10, 10, 210, 10});
    CDrawProfile* p = r.AddProfile();
    DrawOnce(*p);
    const DocRect bar = p->m_rcCursorBar;
    const QPoint onBar(bar.left + 10, (bar.top + bar.bottom) / 2);
    EXPECT_EQ(p->HitTest(onBar, &r.view, false, 0), CDrawProfile::kCursorHandle);
    EXPECT_NE(p->HitTest(QPoint(bar.left - 200, onBar.y()), &r.view, false, 0), CDrawProfile::kCursorHandle);

    const DocRect plot = p->m_rcPlot;
    p->MoveHandleTo(9, QPoint(plot.left + int(plot.Width() / 4), 0), 0, &r.view);
    EXPECT_NEAR(p->m_fCursor, 0.25f, 0.001f);
    EXPECT_NEAR(p->ProfileCursorPosition(1), 0.25f, 0.01f);
    r.ir->CollectProfileLinks();
    EXPECT_TRUE(r.ir->ProfileLinks()[0].used);
    EXPECT_NEAR(r.ir->ProfileLinks()[0].positions[0], 0.25f, 0.01f);
    p->MoveHandleTo(9, QPoint(plot.left - 1000, 0), 0, &r.view);
    EXPECT_EQ(p->m_fCursor, 0.0f);
    p->MoveHandleTo(9, QPoint(plot.right + 1000, 0), 0, &r.view);
    EXPECT_EQ(p->m_fCursor, 1.0f);
    EXPECT_EQ(p->ProfileCursorPosition(0), -1.0f);
    EXPECT_EQ(p->ProfileCursorPosition(11), -1.0f);
}

TEST(ChartExport, PicturesOfTheObjectSizeWithoutTheNumberAndTheHistogramRules)
{
    ChartReport r;
    r.AddImage();
    r.AddLine(1, {10, 10, 210, 10});
    CDrawProfile* p = r.AddProfile(DocRect(1008, -1008, 2016, -1512)); // below the least size
    PictureExporter exporter;
    p->ExportToWord(exporter);
    ASSERT_EQ(exporter.pictures.size(), 1u);
    EXPECT_EQ(exporter.pictures[0].size(), QSize(96, 48));
    // No least size for the export.
    EXPECT_EQ(p->position, DocRect(1008, -1008, 2016, -1512));
    EXPECT_FLOAT_EQ(exporter.boxes[0][0], 1008.0f);
    EXPECT_FLOAT_EQ(exporter.boxes[0][1], -1008.0f);

    CDrawHistogram* h = r.AddHistogram(DocRect(0, 0, 500, -1000));
    const QImage frame = h->RenderExportImage();
    ASSERT_FALSE(frame.isNull());
    // Only the frame: the middle is white.
    EXPECT_EQ(frame.pixel(frame.width() / 2, frame.height() / 2), qRgb(255, 255, 255));
    h->SetLinkedIRNumber(9);
    EXPECT_TRUE(h->RenderExportImage().isNull());
}

TEST(ChartDump, RptdumpPrintsTheChartSettings)
{
    ChartReport r;
    CDrawProfile* p = r.AddProfile();
    p->m_nScaleMode = 2;
    p->m_fCustomMax = 80.5f;
    CDrawHistogram* h = r.AddHistogram();
    h->m_nBins = 33;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("charts.rpt"));
    ASSERT_TRUE(r.doc.SaveToPath(path));
    QProcess dump;
    dump.start(QStringLiteral(CONTENT_RPTDUMP), {path});
    ASSERT_TRUE(dump.waitForFinished(60000));
    EXPECT_EQ(dump.exitCode(), 0) << dump.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(dump.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("CDrawProfile"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\"customMax\": 80.5"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("CDrawHistogram")));
    EXPECT_TRUE(out.contains(QStringLiteral("\"bins\": 33")));
}
