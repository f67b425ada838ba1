// Repainting a report page that holds a 4000 x 3000 JPEG photo at zoom 1
// through the report view, after the first paint (which decodes and scales
// the picture once); the aim is at most 16 ms a page.
#include "rpt_view.h"

#include "document/draw_photo.h"
#include "document/rpt_doc.h"

#include "bench_fixture.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_ViewRepaintsAPageWithALargePhoto(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_photo_paint");
    QTemporaryDir dir;
    QImage picture(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            row[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    }
    const QString path = dir.filePath(QStringLiteral("large.jpg"));
    picture.save(path, "JPG", 85);

    auto doc = std::make_unique<CDI_RptDoc>();
    auto photo = std::make_unique<CDrawPhoto>(nullptr, DocRect(500, -6000, 7500, -500));
    if (!photo->LoadPicture(path)) {
        state.SkipWithError("the photo did not load");
        return;
    }
    doc->AddNoUndo(std::move(photo));
    CDI_RptView view(std::move(doc));
    view.resize(860, 1160);
    view.OnInitialUpdate();
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    view.render(&target); // the first paint scales the picture
    // The photo covers much of the window: most pixels carry its pattern.
    int patterned = 0;
    for (int y = 0; y < target.height(); y += 7)
        for (int x = 0; x < target.width(); x += 7)
            patterned += qBlue(target.pixel(x, y)) != qRed(target.pixel(x, y)) ? 1 : 0;
    if (patterned < target.width() * target.height() / 49 / 4) {
        state.SkipWithError("the photo was not painted");
        return;
    }
    for (auto _ : state) {
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ViewRepaintsAPageWithALargePhoto)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
