// Pictures of the charts on a page, in Celsius and Fahrenheit, and their
// export pictures, left in the build tree for a look; the checks find the
// curves, the cursor and the bars in them.
#include "chart_test_support.h"

#include "content/draw_time_profile.h"
#include "document/page_render.h"

#include <QDir>

#include <algorithm>

using namespace chart_test;

namespace {

QString Artifact(const QString& name)
{
    QDir().mkpath(QStringLiteral(CONTENT_ARTIFACTS));
    return QStringLiteral(CONTENT_ARTIFACTS "/") + name;
}

int CountColour(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
    }
    return n;
}

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

} // namespace

TEST(ChartShots, ThreeLineProfileAndAreaHistogramInCelsiusAndFahrenheit)
{
    ChartReport r;
    r.doc.GetPrinterPageSize();
    CDrawIR* ir = r.AddImage(1, "k4_320.vni", DocRect(600, -600, 4600, -3600));
    r.AddLine(1, {20, 40, 300, 40});
    r.AddLine(2, {20, 120, 300, 200});
    r.AddLine(3, {160, 10, 160, 230});
    r.AddArea(1, {40, 40, 280, 200});
    ir->RecomputeAll();
    CDrawProfile* p = r.AddProfile(DocRect(600, -3900, 7800, -6900));
    p->m_lines[1].shown = 1;
    p->m_lines[2].shown = 1;
    p->m_fCursor = 0.4f;
    CDrawHistogram* h = r.AddHistogram(DocRect(600, -7200, 5600, -10200));
    h->m_bLineMode = 0;
    h->m_nBins = 8;
    // A custom range inside the area's spread: both out-of-range classes fill.
    DrawOnce(*h);
    ASSERT_GT(h->m_nSampleCount, 0);
    const auto [lowest, highest] = std::minmax_element(h->m_samples.begin(), h->m_samples.end());
    const float lo = *lowest;
    const float hi = *highest;
    h->m_bCustomScale = 1;
    h->m_fCustomMin = lo + (hi - lo) / 4;
    h->m_fCustomMax = hi - (hi - lo) / 4;

    for (int unit : {0, 1}) {
        r.env.SetTempUnit(unit);
        ir->m_analyses.RemoveAll();
        r.AddLine(1, {20, 40, 300, 40});
        r.AddLine(2, {20, 120, 300, 200});
        r.AddLine(3, {160, 10, 160, 230});
        r.AddArea(1, {40, 40, 280, 200});
        const QString suffix = unit == 0 ? QStringLiteral("c") : QStringLiteral("f");
        const QImage page = RenderPageImage(r.doc, 0, 1.0);
        ASSERT_FALSE(page.isNull());
        EXPECT_TRUE(page.save(Artifact(QStringLiteral("charts_page_") + suffix + QStringLiteral(".png"))));
        EXPECT_EQ(p->m_nShownCount, 3);
        EXPECT_GT(h->m_fBelow, 0.0f);
        EXPECT_GT(h->m_fAbove, 0.0f);
        EXPECT_EQ(p->m_strUnit, unit == 0 ? QStringLiteral("℃") : QStringLiteral("℉"));
        // The custom range stays in Celsius whatever the unit.
        EXPECT_EQ(h->m_fCustomMin, lo + (hi - lo) / 4);

        const QImage profile = p->RenderExportImage();
        const QImage histogram = h->RenderExportImage();
        EXPECT_TRUE(profile.save(Artifact(QStringLiteral("profile_export_") + suffix + QStringLiteral(".png"))));
        EXPECT_TRUE(histogram.save(Artifact(QStringLiteral("histogram_export_") + suffix + QStringLiteral(".png"))));
        // Three curves and the cursor line; the bars.
        for (int i = 0; i < 3; ++i)
            EXPECT_GT(CountColour(profile, Rgb(p->m_clrLine[std::size_t(i)])), 20) << i;
        EXPECT_GT(CountColour(profile, Rgb(p->m_clrDivider)), 20);
        EXPECT_GT(CountColour(histogram, Rgb(h->m_clrBar)), 200);
    }
    // The report itself, to open in the program.
    r.env.SetTempUnit(0);
    EXPECT_TRUE(r.doc.SaveToPath(Artifact(QStringLiteral("charts.rpt"))));
}

// A line profile of the least size (2000 x 1200) with three lines: its
// export picture holds the plot with every curve, and its legend, right of
// the plot, a stroke of every line's colour inside the picture.
TEST(ChartShots, ALeastSizeProfileExportsItsPlotAndEveryLegendRow)
{
    ChartReport r;
    r.AddImage(1, "k4_320.vni", DocRect(600, -600, 4600, -3600));
    r.AddLine(1, {20, 40, 300, 40});
    r.AddLine(2, {20, 120, 300, 200});
    r.AddLine(3, {160, 10, 160, 230});
    r.ir->RecomputeAll();
    CDrawProfile* p = r.AddProfile(DocRect(600, -3900, 2600, -5100));
    p->m_lines[1].shown = 1;
    p->m_lines[2].shown = 1;
    const QImage picture = p->RenderExportImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(Artifact(QStringLiteral("profile_least_size_export.png"))));
    ASSERT_EQ(p->m_nShownCount, 3);
    // The legend lies right of the plot: 50 to 700 units past its right end.
    const double scale = PageMapping::ForZoom(1.0).Scale();
    const int legendLeft = int((p->m_rcPlot.right - p->position.Normalized().left) * scale);
    ASSERT_GT(legendLeft, 0);
    ASSERT_LT(legendLeft, picture.width());
    const QImage plot = picture.copy(0, 0, legendLeft, picture.height());
    const QImage legend = picture.copy(legendLeft, 0, picture.width() - legendLeft, picture.height());
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(CountColour(plot, Rgb(p->m_clrLine[std::size_t(i)])), 20) << "curve " << i;
        EXPECT_GT(CountColour(legend, Rgb(p->m_clrLine[std::size_t(i)])), 5) << "legend row " << i;
    }
}

TEST(ChartShots, TimeProfilesOverAFolderAndOverImagesInCelsiusAndFahrenheit)
{
    const QDir folder(QStringLiteral(CONTENT_TIME_FOLDER));
    QStringList files;
    for (const QString& name : folder.entryList({QStringLiteral("*.vni")}, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    ASSERT_EQ(files.size(), 5);
    ChartReport r;
    r.doc.GetPrinterPageSize();
    // Image 1 over the folder (showing its second file); images 2 and 3 for
    // the multi-object chart.
    CDrawIR* ir = r.AddImage(1, "k4_320.vni", DocRect(600, -600, 3600, -2850));
    ASSERT_TRUE(ir->LoadIRFile(files[0]));
    ASSERT_EQ(ir->OpenFiles(files.mid(1), true), 1);
    ir->LoadFileAtIndex(1);
    CDrawIR* second = r.AddImage(2, "k4_320.vni", DocRect(3900, -600, 6900, -2850));
    ASSERT_TRUE(second->LoadIRFile(files[3]));
    const auto analyses = [](CDrawIR* image) {
        image->m_analyses.RemoveAll();
        image->m_analyses.Add(Analysis(1, 1, "点01", {160, 120, 160, 120}));
        image->m_analyses.Add(Analysis(2, 1, "线01", {20, 60, 300, 180}));
        image->m_analyses.Add(Analysis(3, 1, "区域01", {40, 40, 280, 200}));
        image->RecomputeAll();
    };
    analyses(ir);
    analyses(second);
    const QByteArray shown = ir->Dib();

    auto single = std::make_unique<CDrawTimeProfile>(&r.view, DocRect(600, -3100, 7800, -6600));
    single->m_bAxisTable = 1;
    for (int i : {0, 1, 2, 3, 5, 7})
        single->m_curves[std::size_t(i)].shown = 1;
    single->m_fCursor = 0.5f;
    CDrawTimeProfile* tp = r.Add(std::move(single));
    auto multi = std::make_unique<CDrawTimeProfile>(&r.view, DocRect(600, -6900, 7800, -10200));
    multi->m_bMultiObject = 1;
    multi->m_bTarget[0] = 1;
    multi->m_bTarget[1] = 1;
    multi->m_nScaleMode = 0;
    for (int i : {0, 1, 5, 9})
        multi->m_curves[std::size_t(i)].shown = 1;
    CDrawTimeProfile* tm = r.Add(std::move(multi));

    for (int unit : {0, 1}) {
        r.env.SetTempUnit(unit);
        analyses(ir);
        analyses(second);
        const QImage page = RenderPageImage(r.doc, 0, 1.0);
        ASSERT_FALSE(page.isNull());
        const QString suffix = unit == 0 ? QStringLiteral("c") : QStringLiteral("f");
        EXPECT_TRUE(page.save(Artifact(QStringLiteral("time_profile_page_") + suffix + QStringLiteral(".png"))));
        EXPECT_EQ(tp->TimePoints(), 5);
        EXPECT_EQ(tm->TimePoints(), 2);
        EXPECT_EQ(tp->m_strUnit, unit == 0 ? QStringLiteral("℃") : QStringLiteral("℉"));
        // The image shows its second file again, and every shown curve is
        // on the page.
        EXPECT_EQ(ir->FileIndex(), 1);
        EXPECT_EQ(ir->Dib(), shown);
        for (int i : {0, 1, 2, 3})
            EXPECT_GT(CountColour(page, Rgb(tp->m_clrCurve[std::size_t(i)])), 20) << i;
        const QImage picture = tp->RenderExportImage();
        EXPECT_TRUE(picture.save(Artifact(QStringLiteral("time_profile_export_") + suffix + QStringLiteral(".png"))));
    }
}
