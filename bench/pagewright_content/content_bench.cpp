// Rich-text benchmarks: reading and writing a 1 MB RTF (beside unrtf --text on
// the same file, when installed), and painting 100 texts on one page through
// the drawing routine at zoom 1, first paint and cached repaint.
//   build/release/bench/pagewright_content/bench_pagewright_content
#include "content/rich_text_draw.h"
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"
#include "document/draw_obj.h"
#include "document/page_dc.h"

#include "bench_fixture.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

const QByteArray kHeader = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
                           "\\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}}\r\n"
                           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
                           "{\\*\\generator Riched20 5.50.99.2014;}\\viewkind4\\uc1";

// A report text of about `bytes` bytes in the editor's shape: paragraphs of
// Chinese and Latin text with colour, emphasis and alignment changes.
QByteArray ReportText(int bytes)
{
    QByteArray rtf = kHeader;
    int i = 0;
    while (rtf.size() < bytes) {
        rtf += (i % 3 == 0) ? "\\pard\\qc\\f0\\fs21 " : "\\pard\\f0\\fs18 ";
        rtf += "\\'ba\\'ec\\'cd\\'e2\\'bc\\'ec\\'b2\\'e2 ";
        rtf += "Spot " + QByteArray::number(i) + ":\\tab\\cf1\\b 36.5\\'a1\\'e6\\cf0\\b0  ";
        rtf += "\\f1\\i emissivity 0.95, distance 2.0 m\\i0\\f0  \\'d7\\'ee\\'b8\\'df\\'ce\\'c2\\'b6\\'c8 ";
        rtf += "\\cf2 minimum 21.7\\cf0\\par\r\n";
        ++i;
    }
    return rtf + "}\r\n";
}

const QByteArray& MegabyteText()
{
    static const QByteArray text = ReportText(1 << 20);
    return text;
}

void BM_ReadRtf1MB(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_content");
    const QByteArray& rtf = MegabyteText();
    for (auto _ : state) {
        QTextDocument doc;
        rich_text::ReadRtf(rtf, &doc, nullptr);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadRtf1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadRuns1MB(benchmark::State& state)
{
    const QByteArray& rtf = MegabyteText();
    for (auto _ : state) {
        TextRunList runs;
        rich_text::ReadRtf(rtf, nullptr, &runs);
        benchmark::DoNotOptimize(runs.runs.size());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadRuns1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteRtf1MB(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_content");
    QTextDocument doc;
    rich_text::ReadRtf(MegabyteText(), &doc, nullptr);
    for (auto _ : state) {
        const QByteArray out = rich_text::WriteRtf(doc);
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(BM_WriteRtf1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// unrtf --text on the same 1 MB file (the process start included).
void BM_UnrtfText1MB(benchmark::State& state)
{
    if (std::system("command -v unrtf >/dev/null 2>&1") != 0) {
        state.SkipWithError("unrtf is not installed");
        return;
    }
    const QString path = QDir::temp().filePath(QStringLiteral("bench_pagewright_content_1mb.rtf"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(MegabyteText()) != MegabyteText().size()) {
        state.SkipWithError("cannot write the temporary file");
        return;
    }
    f.close();
    const QByteArray command = "unrtf --text '" + path.toLocal8Bit() + "' >/dev/null 2>&1";
    for (auto _ : state)
        benchmark::DoNotOptimize(std::system(command.constData()));
    QFile::remove(path);
}
BENCHMARK(BM_UnrtfText1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 texts of a few lines each, 10 x 10 on an A4 page at zoom 1.
struct Page {
    std::vector<std::unique_ptr<CDrawObj>> objects;
    std::vector<RichTextCache> caches{100};
    QImage image{800, 1130, QImage::Format_RGB32};

    Page()
    {
        for (int i = 0; i < 100; ++i) {
            auto obj = std::make_unique<CDrawObj>();
            const int x = (i % 10) * 820 + 50;
            const int y = -((i / 10) * 1150 + 50);
            obj->position = DocRect{x, y, x + 780, y - 1100};
            obj->penOn = 0;
            obj->textStore.Assign(ReportText(600));
            objects.push_back(std::move(obj));
        }
    }
    void Paint()
    {
        image.fill(Qt::white);
        QPainter painter(&image);
        PageDC dc(painter, PageMapping::ForZoom(1.0));
        for (std::size_t i = 0; i < objects.size(); ++i)
            DrawRichText(dc, *objects[i], caches[i]);
    }
};

void BM_PaintHundredTextsFirst(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_content");
    for (auto _ : state) {
        state.PauseTiming();
        Page page;
        state.ResumeTiming();
        page.Paint();
    }
}
BENCHMARK(BM_PaintHundredTextsFirst)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PaintHundredTextsCached(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_content");
    Page page;
    page.Paint();
    for (auto _ : state)
        page.Paint();
}
BENCHMARK(BM_PaintHundredTextsCached)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
