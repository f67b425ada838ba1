// Painting one report page of 500 shapes at zoom 1 through the report
// view's paint (page background, guides, every object), and through the
// document's drawing alone; the aim is at most 16 ms a page.
#include "rpt_view.h"

#include "document/draw_poly.h"
#include "document/draw_rect.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"

#include "bench_fixture.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// 500 shapes of every kind spread over one page.
std::unique_ptr<CDI_RptDoc> PageOf500Shapes()
{
    auto doc = std::make_unique<CDI_RptDoc>();
    for (int i = 0; i < 500; ++i) {
        const int x = 300 + (i % 20) * 390;
        const int y = -300 - (i / 20) * 450;
        if (i % 6 == 5) {
            auto poly = std::make_unique<CDrawPoly>(nullptr, DocRect());
            for (QPoint p : {QPoint(x, y), QPoint(x + 300, y), QPoint(x + 150, y - 350)})
                poly->AddPoint(p, nullptr);
            poly->brush.color = RGB(200, 0, 200);
            doc->AddNoUndo(std::move(poly));
            continue;
        }
        auto rect = std::make_unique<CDrawRect>(nullptr, DocRect(x, y, x + 300, y - 350));
        rect->shape = i % 6 == 4 ? CDrawRect::arrow : i % 6;
        rect->brushOn = 1;
        rect->brush.color = RGB((i * 37) & 0xFF, (i * 91) & 0xFF, 120);
        rect->pen.widthX = rect->pen.widthY = 1 + i % 3;
        doc->AddNoUndo(std::move(rect));
    }
    return doc;
}

void BM_ViewPaintsAPageOf500Shapes(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_paint");
    CDI_RptView view(PageOf500Shapes());
    view.resize(860, 1160);
    view.OnInitialUpdate();
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ViewPaintsAPageOf500Shapes)->Unit(benchmark::kMillisecond);

void BM_DocumentDrawsAPageOf500Shapes(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_paint");
    std::unique_ptr<CDI_RptDoc> doc = PageOf500Shapes();
    QImage target(830, 1200, QImage::Format_ARGB32_Premultiplied);
    PageMapping mapping = PageMapping::ForZoom(1.0);
    mapping.windowOrigin = QPoint(0, -105);
    for (auto _ : state) {
        QPainter painter(&target);
        PageDC dc(painter, mapping);
        doc->Draw(dc, nullptr);
    }
}
BENCHMARK(BM_DocumentDrawsAPageOf500Shapes)->Unit(benchmark::kMillisecond);

} // namespace

