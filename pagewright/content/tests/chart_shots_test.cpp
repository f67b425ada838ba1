// Pictures of the charts on a page, in Celsius and Fahrenheit, and their
// export pictures, left in the build tree for a look; the checks find the
// curves, the cursor and the bars in them.
#include "chart_test_support.h"

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
    r.doc.SetPageSize(QSize(8500, 11000));
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
    const auto [lo, hi] = std::minmax_element(h->m_samples.begin(), h->m_samples.end());
    h->m_bCustomScale = 1;
    h->m_fCustomMin = *lo + (*hi - *lo) / 4;
    h->m_fCustomMax = *hi - (*hi - *lo) / 4;

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
        EXPECT_EQ(h->m_fCustomMin, *lo + (*hi - *lo) / 4);

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
}
