// The .docx export of a 10-page report, each page holding an infrared image,
// a photo and ten shapes: the document's export over every page and object
// and the package written to a file. The aim is at most 1 s.
#include "irimage/draw_ir.h"

#include "document/docx_export.h"
#include "document/draw_photo.h"
#include "document/draw_rect.h"
#include "document/rpt_doc.h"

#include "bench_fixture.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A 640 x 480 photo file.
QString PhotoFile(const QTemporaryDir& dir)
{
    QImage image(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7 + y * 3) & 0xFF, (x * y) & 0xFF, (y * 5) & 0xFF));
    const QString path = dir.filePath(QStringLiteral("photo.bmp"));
    return image.save(path, "BMP") ? path : QString();
}

std::unique_ptr<CDI_RptDoc> TenPageReport(const QTemporaryDir& dir)
{
    auto doc = std::make_unique<CDI_RptDoc>();
    for (int p = 1; p < 10; ++p)
        doc->InsertPage(0, QStringLiteral("Report%1").arg(p + 1));
    const QString photoFile = PhotoFile(dir);
    for (int p = 0; p < 10; ++p) {
        // A 320 x 240 infrared file in an image object of 6000 x 4500 units.
        auto image = std::make_unique<CDrawIR>(nullptr, DocRect(700, -700, 6700, -5200));
        image->page = std::uint32_t(p);
        if (!image->LoadIRFile(QStringLiteral(DOCX_BENCH_FIXTURES "/k4_320.vni")))
            return nullptr;
        doc->AddNoUndo(std::move(image));
        auto photo = std::make_unique<CDrawPhoto>(nullptr, DocRect(700, -5500, 4700, -8500));
        photo->page = std::uint32_t(p);
        if (!photo->LoadPicture(photoFile))
            return nullptr;
        doc->AddNoUndo(std::move(photo));
        for (int i = 0; i < 10; ++i) {
            auto shape = std::make_unique<CDrawRect>(nullptr, DocRect(5000, -5500 - i * 500, 7500, -5800 - i * 500));
            shape->shape = i % 3 == 0 ? CDrawRect::rectangle : i % 3 == 1 ? CDrawRect::line : CDrawRect::arrow;
            shape->arrowStyle = 1 + i % 3;
            shape->page = std::uint32_t(p);
            doc->AddNoUndo(std::move(shape));
        }
    }
    return doc;
}

void BM_DocxExportOfTenPages(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_docx_export");
    QTemporaryDir dir;
    const std::unique_ptr<CDI_RptDoc> doc = TenPageReport(dir);
    if (doc == nullptr) {
        state.SkipWithError("the infrared fixture or the photo did not load");
        return;
    }
    const QString path = dir.filePath(QStringLiteral("report.docx"));
    for (auto _ : state) {
        DocxExport exporter;
        doc->ExportPages(exporter);
        if (!exporter.SaveAs(path))
            state.SkipWithError("the export was not written");
    }
    state.counters["file_bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_DocxExportOfTenPages)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
