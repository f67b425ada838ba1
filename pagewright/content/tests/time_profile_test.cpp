// The time-profile chart: its curves over a file list or over chosen images,
// the refresh rule, records of three report formats, drawing rules, the
// cursor and the image list's flags.
#include "chart_test_support.h"

#include "content/draw_time_profile.h"
#include "irimage/temperature_text.h"
#include "platform/archive_reader.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

using namespace chart_test;
using object_test::ReadFile;
using object_test::RecordOf;

namespace {

QString Fixture(const char* name) { return QStringLiteral(CONTENT_IR_FIXTURES "/") + QString::fromLatin1(name); }

QStringList FolderFiles()
{
    const QDir dir(QStringLiteral(CONTENT_TIME_FOLDER));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.vni")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

IRAnalysisItem Point(int number, int x, int y) { return Analysis(1, number, "点", {x, y, x, y}); }

struct TimeReport : ChartReport {
    CDrawTimeProfile* AddTimeProfile(const DocRect& rect = DocRect(500, -4000, 6000, -7000))
    {
        return Add(std::make_unique<CDrawTimeProfile>(&view, rect));
    }
    // An image showing path with a one-file list and no analyses.
    CDrawIR* AddImageOf(const QString& path, int number, const DocRect& rect = DocRect(500, -500, 4500, -3500))
    {
        auto image = std::make_unique<CDrawIR>(&view, rect);
        image->SetNumber(number);
        ir = Add(std::move(image));
        view.RebuildIRObjects();
        EXPECT_TRUE(ir->LoadIRFile(path));
        ir->m_analyses.RemoveAll();
        return ir;
    }
};

const IRAnalysisItem* Find(const CDrawIR& ir, int kind, int number)
{
    for (std::size_t i = 0; i < ir.m_analyses.GetSize(); ++i) {
        if (ir.m_analyses[i].kind == kind && ir.m_analyses[i].number == number)
            return &ir.m_analyses[i];
    }
    return nullptr;
}

} // namespace

TEST(TimeProfile, CurvesComeInPointLineAreaOrderUpToTwentyAndTakeRecordsOfTheirOwnKind)
{
    struct Case {
        const char* what;
        std::vector<IRAnalysisItem> analyses;
        QStringList names;
    };
    const std::vector<Case> cases{
        {"two lines and a point",
         {Analysis(2, 1, "线01", {10, 10, 200, 10}), Point(1, 50, 50), Analysis(2, 2, "线02", {10, 100, 200, 150})},
         {"01点", "01线最高", "01线最低", "01线平均", "01线温差", "02线最高", "02线最低", "02线平均", "02线温差"}},
        {"three points and five lines: the fifth line gives its maximum only",
         {Point(1, 5, 5), Point(2, 6, 6), Point(3, 7, 7), Analysis(2, 1, "l", {1, 1, 50, 1}),
          Analysis(2, 2, "l", {1, 2, 50, 2}), Analysis(2, 3, "l", {1, 3, 50, 3}), Analysis(2, 4, "l", {1, 4, 50, 4}),
          Analysis(2, 5, "l", {1, 5, 50, 5}), Analysis(3, 1, "a", {1, 1, 50, 50})},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TimeReport r;
        r.AddImageOf(Fixture("k4_320.vni"), 1);
        for (const IRAnalysisItem& item : c.analyses)
            r.ir->m_analyses.Add(item);
        r.ir->RecomputeAll();
        CDrawTimeProfile* tp = r.AddTimeProfile();
        tp->CollectCurves();
        if (!c.names.isEmpty()) {
            ASSERT_EQ(tp->m_nCurveCount, c.names.size());
            for (int i = 0; i < int(c.names.size()); ++i)
                EXPECT_EQ(tp->m_strCurveName[std::size_t(i)], c.names[i]) << i;
            EXPECT_EQ(tp->m_strCurveName[9], QStringLiteral("(无)"));
        } else {
            ASSERT_EQ(tp->m_nCurveCount, 20);
            EXPECT_EQ(tp->m_strCurveName[2], QStringLiteral("03点"));
            EXPECT_EQ(tp->m_strCurveName[18], QStringLiteral("04线温差"));
            EXPECT_EQ(tp->m_strCurveName[19], QStringLiteral("05线最高"));
            EXPECT_EQ(tp->Source(19).statistic, 0);
        }
        // One file: one sample per curve, each the statistic of the record
        // as measured at that file.
        r.ir->LoadFileForMeasure(0);
        for (int i = 0; i < tp->m_nCurveCount; ++i) {
            const CDrawTimeProfile::CurveSource& s = tp->Source(i);
            const IRAnalysisItem* item = Find(*r.ir, s.kind, s.number);
            ASSERT_NE(item, nullptr);
            const float expected = s.statistic == 0   ? item->maximum
                                   : s.statistic == 1 ? item->minimum
                                   : s.statistic == 2 ? item->average
                                                      : item->maximum - item->minimum;
            ASSERT_EQ(tp->Samples(i).size(), 1u);
            EXPECT_FLOAT_EQ(tp->Samples(i)[0], expected) << i;
        }
    }

    // An ellipse feeds the area curves of its number, never a point curve
    // of the same number.
    TimeReport r;
    CDrawIR* a = r.AddImageOf(Fixture("k4_320.vni"), 1);
    r.AddImageOf(Fixture("k4_320.vni"), 2);
    r.ir = a;
    a->m_analyses.Add(Point(3, 20, 20));
    a->m_analyses.Add(Analysis(4, 3, "椭圆03", {40, 40, 120, 120}));
    a->RecomputeAll();
    // Image 2 has the ellipse but not the point.
    CDrawIR* b = dynamic_cast<CDrawIR*>(r.view.FindIRObject(2));
    b->m_analyses.Add(Analysis(4, 3, "椭圆03", {10, 10, 200, 200}));
    b->RecomputeAll();
    CDrawTimeProfile* tp = r.AddTimeProfile();
    tp->m_bMultiObject = 1;
    tp->m_bTarget[0] = 1;
    tp->m_bTarget[1] = 1;
    tp->CollectCurves();
    ASSERT_EQ(tp->m_nCurveCount, 5);
    EXPECT_EQ(tp->m_strCurveName[0], QStringLiteral("03点"));
    EXPECT_EQ(tp->m_strCurveName[1], QStringLiteral("03区最高"));
    EXPECT_FLOAT_EQ(tp->Samples(0)[0], Find(*a, 1, 3)->maximum);
    EXPECT_EQ(tp->Samples(0)[1], 0.0f); // no point 3 on image 2
    EXPECT_FLOAT_EQ(tp->Samples(1)[1], Find(*b, 4, 3)->maximum);
    EXPECT_FLOAT_EQ(tp->Samples(4)[1], Find(*b, 4, 3)->maximum - Find(*b, 4, 3)->minimum);
}

TEST(TimeProfile, MultiObjectModeCountsTheFlagsItFindsAndStopsAtTheHundredthImage)
{
    TimeReport r;
    CDrawIR* first = r.AddImageOf(Fixture("k4_320.vni"), 1);
    first->m_analyses.Add(Point(1, 30, 30));
    first->RecomputeAll();
    // Images without pictures up to 101 in all.
    for (int n = 2; n <= 101; ++n) {
        auto image = std::make_unique<CDrawIR>(&r.view, DocRect(0, 0, 100, -100));
        image->SetNumber(n);
        r.Add(std::move(image));
    }
    r.view.RebuildIRObjects();
    ASSERT_EQ(r.view.GetIRObjects().size(), 101u);
    CDrawTimeProfile* tp = r.AddTimeProfile();
    tp->m_bMultiObject = 1;
    tp->m_nSelectedCount = 3; // stale: the flags decide
    tp->m_bTarget.fill(1);
    tp->CollectCurves();
    EXPECT_EQ(tp->TimePoints(), 100);
    ASSERT_EQ(tp->Samples(0).size(), 100u);
    EXPECT_FLOAT_EQ(tp->Samples(0)[0], first->m_analyses[0].maximum);
    EXPECT_EQ(tp->Samples(0)[99], 0.0f);

    // A forged count far above the flags sizes nothing by it.
    tp->m_bTarget.fill(0);
    tp->m_bTarget[0] = 1;
    tp->m_nSelectedCount = 1000000;
    tp->CollectCurves();
    EXPECT_EQ(tp->TimePoints(), 1);
    EXPECT_EQ(tp->Samples(0).size(), 1u);
}

TEST(TimeProfile, AFolderOfFilesGivesOneSamplePerFileAndTheShownImageComesBack)
{
    const QStringList files = FolderFiles();
    ASSERT_EQ(files.size(), 5);
    TimeReport r;
    CDrawIR* ir = r.AddImageOf(files[0], 1);
    ASSERT_EQ(ir->OpenFiles(files.mid(1), true), 1);
    ASSERT_EQ(ir->FileCount(), 5);
    ir->LoadFileAtIndex(2);
    ir->m_analyses.Add(Analysis(3, 1, "区域01", {20, 20, 200, 150}));
    ir->RecomputeAll();
    const float shownMax = ir->m_analyses[0].maximum;
    const QByteArray shownDib = ir->Dib();

    CDrawTimeProfile* tp = r.AddTimeProfile();
    tp->CollectCurves();
    ASSERT_EQ(tp->m_nCurveCount, 4);
    ASSERT_EQ(tp->Samples(0).size(), 5u);
    EXPECT_FLOAT_EQ(tp->Samples(0)[2], shownMax);
    // The files' temperatures differ.
    const auto [lo, hi] = std::minmax_element(tp->Samples(0).begin(), tp->Samples(0).end());
    EXPECT_GT(*hi - *lo, 1.0f);
    // The report shows the third file again, with its measurements.
    EXPECT_EQ(ir->FileIndex(), 2);
    EXPECT_FLOAT_EQ(ir->m_analyses[0].maximum, shownMax);
    EXPECT_EQ(ir->Dib(), shownDib);
    EXPECT_EQ(tp->m_curves[0].maximum, *hi);
    EXPECT_EQ(tp->m_curves[0].minimum, *lo);
    // Hidden curves keep 0 and 0.
    EXPECT_EQ(tp->m_curves[1].maximum, 0.0f);
}

TEST(TimeProfile, EveryChartOnAnImageCollectsAfterAChangeAndNoneWithoutOne)
{
    TimeReport r;
    CDrawIR* ir = r.AddImageOf(Fixture("k4_320.vni"), 1);
    ir->m_analyses.Add(Point(1, 30, 30));
    ir->RecomputeAll();
    CDrawTimeProfile* a = r.AddTimeProfile();
    CDrawTimeProfile* b = r.AddTimeProfile(DocRect(500, -7500, 6000, -10500));
    EXPECT_TRUE(a->NeedsCollecting());
    DrawOnce(*a);
    DrawOnce(*b);
    EXPECT_FALSE(a->NeedsCollecting());
    EXPECT_FALSE(b->NeedsCollecting());
    EXPECT_EQ(ir->m_bChanged, 0);
    // Repaints without a change: the collections' own loads count nothing.
    DrawOnce(*a);
    DrawOnce(*b);
    EXPECT_FALSE(a->NeedsCollecting());
    EXPECT_FALSE(b->NeedsCollecting());

    // A change: the first chart's draw does not hide it from the second.
    ir->m_analyses[0].shape = {60, 60, 60, 60};
    ir->RecomputeAll();
    ir->MarkChanged();
    EXPECT_TRUE(a->NeedsCollecting());
    EXPECT_TRUE(b->NeedsCollecting());
    DrawOnce(*a);
    EXPECT_FALSE(a->NeedsCollecting());
    EXPECT_TRUE(b->NeedsCollecting());
    DrawOnce(*b);
    EXPECT_FLOAT_EQ(b->Samples(0)[0], ir->m_analyses[0].maximum);

    // A new link, and the settings sheet, collect again.
    a->SetLinkedIRNumber(2);
    EXPECT_TRUE(a->NeedsCollecting());
    DrawOnce(*a);
    EXPECT_EQ(a->m_strCurveName[0], QStringLiteral("(无)"));
    r.env.onDialog = [](QDialog&) { return false; };
    b->EditSettings();
    EXPECT_TRUE(b->NeedsCollecting());
}

TEST(TimeProfile, RecordsOfThreeFormatsLoadAndTheCurrentOneWritesBackAsRead)
{
    struct Case {
        const char* file;
        int curvesRead;
        bool flagsRead;
        int selected;
    };
    for (const Case& c : {Case{"tp40.bin", 10, false, 0}, Case{"tp50.bin", 20, true, 4}, Case{"tp60.bin", 20, true, 5}}) {
        SCOPED_TRACE(c.file);
        TimeReport r;
        QString error;
        ASSERT_TRUE(r.doc.LoadContents(ReadFile(QStringLiteral(CONTENT_GOLDEN "/") + QLatin1String(c.file)), &error))
            << error.toStdString();
        ASSERT_EQ(r.doc.GetObjects().size(), 1u);
        auto* tp = dynamic_cast<CDrawTimeProfile*>(r.doc.GetObjects().front());
        ASSERT_NE(tp, nullptr);
        EXPECT_EQ(tp->m_nIRNumber, 2);
        EXPECT_EQ(tp->m_bGrid, 0);
        EXPECT_EQ(tp->m_bAxisTable, 1);
        EXPECT_EQ(tp->m_nAlignment, 1);
        EXPECT_EQ(tp->m_nScaleMode, 2);
        EXPECT_FLOAT_EQ(tp->m_fCustomMax, 80.5f);
        EXPECT_FLOAT_EQ(tp->m_fCustomMin, -5.5f);
        EXPECT_EQ(tp->m_clrDivider, 0xFF0000u);
        EXPECT_FLOAT_EQ(tp->m_fCursor, 0.25f);
        EXPECT_EQ(tp->m_clrText, 0x0000FFu);
        for (int i = 0; i < CDrawTimeProfile::kCurves; ++i) {
            const bool read = i < c.curvesRead;
            EXPECT_EQ(tp->m_clrCurve[std::size_t(i)], read ? 0x010101u * (i + 1) : CDrawTimeProfile::kDefaultColors[std::size_t(i)]) << i;
            EXPECT_EQ(tp->m_curves[std::size_t(i)].shown, read ? (i % 3 == 0 ? 1 : 0) : 0) << i;
            EXPECT_FLOAT_EQ(tp->m_fCurveCursor[std::size_t(i)], read ? 0.05f * (i + 1) : 0.5f) << i;
        }
        // Format 5.0 holds the first twenty flags only.
        EXPECT_EQ(tp->m_bTarget[7], c.flagsRead ? 1 : 0);
        EXPECT_EQ(tp->m_bTarget[19], c.flagsRead ? 1 : 0);
        EXPECT_EQ(tp->m_bTarget[99], std::string(c.file) == "tp60.bin" ? 1 : 0);
        EXPECT_EQ(tp->m_bMultiObject, c.flagsRead ? 1 : 0);
        EXPECT_EQ(tp->m_nSelectedCount, c.selected);
        EXPECT_EQ(tp->GetMaxSampleCount(), 0);
        if (std::string(c.file) == "tp60.bin") {
            EXPECT_EQ(RecordOf(*tp), ReadFile(QStringLiteral(CONTENT_GOLDEN "/tp60.record")));
        }
    }
}

TEST(TimeProfile, RptdumpPrintsTheSettings)
{
    TimeReport r;
    CDrawTimeProfile* tp = r.AddTimeProfile();
    tp->m_bTarget[4] = 1;
    tp->m_fCustomMax = 70.5f;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("time.rpt"));
    ASSERT_TRUE(r.doc.SaveToPath(path));
    QProcess dump;
    dump.start(QStringLiteral(CONTENT_RPTDUMP), {path});
    ASSERT_TRUE(dump.waitForFinished(60000));
    EXPECT_EQ(dump.exitCode(), 0) << dump.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(dump.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("CDrawTimeProfile"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\"customMax\": 70.5"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\"targets\": [\n"))) << out.toStdString();
}

TEST(TimeProfileDrawing, ScalesTakeTheFloorOfTheirBoundsAndAChartWithoutImageShowsFifteenToFortyFive)
{
    TimeReport r;
    CDrawTimeProfile* tp = r.AddTimeProfile(DocRect(500, -4000, 1500, -4500));
    DrawOnce(*tp);
    // Grown to the least size, no image: the image scale 15..45.
    EXPECT_EQ(tp->position, DocRect(500, -5200, 2500, -4000));
    EXPECT_FALSE(r.doc.IsModified());
    EXPECT_EQ(tp->m_nImageMin, 15);
    EXPECT_EQ(tp->m_nImageMax, 45);
    EXPECT_EQ(tp->m_nAutoMin, 15);
    EXPECT_EQ(tp->m_nAutoMax, 46);
    EXPECT_EQ(tp->m_strCurveName[0], QStringLiteral("(无)"));

    // Negative samples: the automatic scale's bounds truncate toward zero.
    r.AddImageOf(Fixture("k4_320.vni"), 1);
    r.ir->m_analyses.Add(Point(1, 30, 30));
    r.ir->RecomputeAll();
    tp->CollectCurves();
    tp->m_curves[0].maximum = 12.5f;
    tp->m_curves[0].minimum = -5.5f;
    tp->ComputeAutoRange();
    EXPECT_EQ(tp->m_nAutoMin, -5);
    EXPECT_EQ(tp->m_nAutoMax, 13);
    EXPECT_EQ(chart::CustomScale(-5.5f, 12.5f, 0), (chart::IntRange{-5, 13}));
}

TEST(TimeProfileDrawing, OneFileGivesAMarkAtTheLeftEdgeAndTheCursorPinsAtTheEnds)
{
    TimeReport r;
    r.AddImageOf(Fixture("k4_320.vni"), 1);
    r.ir->m_analyses.Add(Point(1, 30, 30));
    r.ir->RecomputeAll();
    CDrawTimeProfile* tp = r.AddTimeProfile();
    const QImage image = DrawOnce(*tp);
    EXPECT_EQ(tp->TimePoints(), 1);
    EXPECT_EQ(tp->m_curves[0].plottedWidth, 0);
    EXPECT_EQ(tp->m_fCurveCursor[0], 0.0f);
    // The cursor shows "-" at a fraction of 0.
    ASSERT_EQ(tp->ResultRows().size(), 1);
    EXPECT_TRUE(tp->ResultRows()[0].trimmed().endsWith(QLatin1Char('-'))) << tp->ResultRows()[0].toStdString();

    const DocRect plot = tp->m_rcPlot;
    ASSERT_GT(plot.Width(), 0);
    tp->MoveHandleTo(CDrawTimeProfile::kCursorHandle, QPoint(plot.right + 500, 0), 0, &r.view);
    EXPECT_EQ(tp->m_fCursor, 1.0f);
    EXPECT_EQ(tp->m_rcCursorBar, DocRect(plot.right - 10, plot.top, plot.right + 10, plot.bottom));
    tp->MoveHandleTo(CDrawTimeProfile::kCursorHandle, QPoint(plot.left - 500, 0), 0, &r.view);
    EXPECT_EQ(tp->m_fCursor, 0.0f);
    EXPECT_EQ(tp->m_rcCursorBar, DocRect(plot.left - 10, plot.top, plot.left + 10, plot.bottom));
    // A plotted width of 0 leaves the curve's fraction alone.
    EXPECT_EQ(tp->m_fCurveCursor[0], 0.0f);
    tp->MoveHandleTo(CDrawTimeProfile::kCursorHandle, QPoint(plot.left + int(plot.Width() / 2), 0), 0, &r.view);
    EXPECT_NEAR(tp->m_fCursor, 0.5f, 0.001f);
    EXPECT_EQ(tp->HitTest(QPoint(tp->m_rcCursorBar.left + 5, (plot.top + plot.bottom) / 2), &r.view, false, 0),
              CDrawTimeProfile::kCursorHandle);
}

TEST(TimeProfileDrawing, MarginsFollowTheTablesAndBothAlignmentsSpanTheWidth)
{
    const QStringList files = FolderFiles();
    TimeReport r;
    CDrawIR* ir = r.AddImageOf(files[0], 1);
    ir->OpenFiles(files.mid(1), true);
    ir->m_analyses.Add(Point(1, 30, 30));
    ir->RecomputeAll();
    CDrawTimeProfile* tp = r.AddTimeProfile(DocRect(0, 0, 8000, -5000));
    tp->penOn = 0;
    const int row = chart::RowHeight(760);
    struct Case {
        int resultTable, axisTable, legend, alignment;
    };
    for (const Case& c : {Case{1, 0, 1, 0}, Case{0, 1, 1, 1}, Case{1, 1, 0, 0}, Case{0, 0, 0, 1}}) {
        SCOPED_TRACE(testing::Message() << c.resultTable << c.axisTable << c.legend << c.alignment);
        tp->m_bResultTable = c.resultTable;
        tp->m_bAxisTable = c.axisTable;
        tp->m_bLegend = c.legend;
        tp->m_nAlignment = c.alignment;
        DrawOnce(*tp);
        const DocRect plot = tp->m_rcPlot;
        const int lines = int(tp->AxisTableLines(8000).size());
        const int axisHeight = c.axisTable != 0 ? lines * row + 50 : 0;
        const int resultHeight = c.resultTable != 0 ? (tp->m_nNamedCount + 1) * row : 0;
        EXPECT_EQ(plot.top, -5000 + 150 + axisHeight + resultHeight);
        EXPECT_EQ(plot.bottom, -100);
        EXPECT_EQ(plot.left, 300);
        EXPECT_EQ(plot.right, 8000 - (c.legend != 0 ? 1100 : 100));
        EXPECT_EQ(tp->m_curves[0].plottedWidth, plot.Width());
    }
    EXPECT_GE(tp->AxisTableLines(8000).size(), 1);
    EXPECT_TRUE(tp->AxisTableLines(8000)[0].startsWith(QStringLiteral(" 0: "))) << tp->AxisTableLines(8000)[0].toStdString();

    // Too small for the margins: only the frame (no plot).
    CDrawTimeProfile* small = r.AddTimeProfile(DocRect(0, -6000, 2000, -7200));
    small->m_bAxisTable = 1;
    small->m_nIRNumber = 1;
    for (int i = 0; i < 20; ++i)
        small->m_curves[std::size_t(i)].shown = 1;
    ir->m_analyses.Add(Analysis(2, 1, "线01", {10, 10, 200, 10}));
    ir->m_analyses.Add(Analysis(2, 2, "线02", {10, 20, 200, 20}));
    ir->RecomputeAll();
    DrawOnce(*small);
    EXPECT_EQ(small->m_rcPlot, DocRect());
}

TEST(TimeProfile, FlagsFollowAnInsertedAndADeletedImage)
{
    TimeReport r;
    CDrawTimeProfile* tp = r.AddTimeProfile();
    tp->m_bTarget[0] = 1;
    tp->m_bTarget[2] = 1;
    tp->m_bTarget[99] = 1;
    // The view's hook (registered with the charts): an image inserted at 1.
    r.view.ShiftImageList(1, 1);
    EXPECT_EQ(tp->m_bTarget[0], 1);
    EXPECT_EQ(tp->m_bTarget[1], 0);
    EXPECT_EQ(tp->m_bTarget[3], 1);
    EXPECT_EQ(tp->m_bTarget[99], 0); // pushed past the hundredth
    EXPECT_EQ(tp->m_nSelectedCount, 2);
    // The second image deleted: the later flags move down again.
    r.view.ShiftImageList(1, -1);
    EXPECT_EQ(tp->m_bTarget[2], 1);
    EXPECT_EQ(tp->m_bTarget[3], 0);
    r.view.ShiftImageList(0, -1);
    EXPECT_EQ(tp->m_bTarget[0], 0);
    EXPECT_EQ(tp->m_bTarget[1], 1);
    EXPECT_EQ(tp->m_nSelectedCount, 1);
    tp->ShiftTargets(100, 1); // past the flags: nothing
    EXPECT_EQ(tp->m_nSelectedCount, 1);
}

TEST(TimeProfile, CommandsPopupAndTheWordPictureLeaveTheImageFlagAlone)
{
    TimeReport r;
    r.AddImageOf(Fixture("k4_320.vni"), 1);
    r.ir->m_analyses.Add(Point(1, 30, 30));
    r.ir->RecomputeAll();
    CDrawTimeProfile* tp = r.AddTimeProfile(DocRect(1008, -1008, 4032, -2520));
    EXPECT_EQ(tp->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("7"), 0x00FF00), 1);
    EXPECT_EQ(tp->m_clrText, 0x00FF00u);
    EXPECT_TRUE(r.doc.IsModified());
    EXPECT_EQ(tp->GetPopupMenuIndex(), 10);
    r.view.Select(tp);
    r.view.Select(r.ir, true);
    EXPECT_EQ(tp->GetPopupMenuIndex(), 0);
    // Cancelling the export's file dialog ends it.
    r.env.onDialog = [](QDialog&) { return false; };
    const int dialogs = r.env.dialogs;
    EXPECT_EQ(tp->DoCommand(CDrawTimeProfile::kExportCommand, QString(), 0), 1);
    EXPECT_EQ(r.env.dialogs, dialogs + 1);

    r.ir->m_bChanged = 1;
    DrawOnce(*tp);
    EXPECT_EQ(r.ir->m_bChanged, 0);
    r.ir->m_bChanged = 7;
    struct Exporter : CWordExport {
        void ExportImage(float l, float t, float w, float h, const QImage& picture, bool) override
        {
            box = {l, t, w, h};
            image = picture;
        }
        std::array<float, 4> box{};
        QImage image;
    } exporter;
    tp->ExportToWord(exporter);
    EXPECT_EQ(r.ir->m_bChanged, 7);
    EXPECT_EQ(exporter.image.size(), QSize(288, 144));
    EXPECT_EQ(exporter.box, (std::array<float, 4>{1008, -1008, 3024, 1512}));
}
