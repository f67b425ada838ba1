// Text and field objects: painting a page of 50 fields bound to one image
// (first paint, with every label looked up and laid out, and repeated
// paint), and opening the in-place editor on a 5 KB text (what a click on
// the text does: begin editing, place and show the editor filled).
//   build/release/bench/pagewright_content/bench_pagewright_text_objects
#include "content/draw_field.h"
#include "content/draw_text.h"
#include "content/text_edit_view.h"
#include "content/text_objects.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "irimage/draw_ir.h"

#include "bench_fixture.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const DrawClassRegistry& Registry()
{
    static const DrawClassRegistry registry = bench::BasicRegistryWith({&CDrawIR::Register, &RegisterTextObjects});
    return registry;
}

class BenchEnvironment : public DocumentEnvironment {
public:
    QString ProgramFolder() const override { return QStringLiteral(CONTENT_BENCH_DATA); }
    int PaletteCount() const override { return 10; }
};

const QByteArray kFieldFormat =
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
    "\\viewkind4\\uc1\\pard\\qc\\f0\\fs21\\par\r\n}\r\n";

// 50 fields in a 5 x 10 grid over the page, of every group.
struct FieldPage {
    BenchEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    DrawView view;
    FieldPage()
    {
        bench::EnsureApplication("bench_pagewright_text_objects");
        doc.SetView(&view);
        auto ir = std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4100, -3100));
        ir->SetNumber(1);
        auto* image = static_cast<CDrawIR*>(doc.AddNoUndo(std::move(ir)));
        image->LoadIRFile(QStringLiteral(CONTENT_BENCH_FIXTURES "/k8_640.vni"));
        view.RebuildIRObjects();
        static constexpr int kIds[] = {33200, 33202, 33300, 33304, 33400, 33402, 33500, 33601, 33703, 33800};
        for (int i = 0; i < 50; ++i) {
            const int col = i % 5;
            const int row = i / 5;
            const DocRect r(200 + col * 1500, -3300 - row * 420, 1600 + col * 1500, -3650 - row * 420);
            auto* field = static_cast<CDrawField*>(doc.AddNoUndo(std::make_unique<CDrawField>(&view, r)));
            field->SetBinding(1, 1, kIds[i % 10]);
            field->textStore.Assign(kFieldFormat);
        }
    }
    ~FieldPage() { doc.SetView(nullptr); }

    void Paint(QImage& target)
    {
        QPainter painter(&target);
        PageDC dc(painter, PageMapping::ForZoom(1.0));
        for (CDrawObj* obj : doc.GetObjects())
            if (obj->IsKindOf(CDrawField::kClass))
                obj->Draw(dc);
    }
};

void BM_FieldPageFirstPaint(benchmark::State& state)
{
    FieldPage page;
    QImage target(900, 1200, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        // Forget what the fields laid out: each re-reads its format.
        for (CDrawObj* obj : page.doc.GetObjects())
            if (obj->IsKindOf(CDrawField::kClass))
                CDrawField::AfterUndoRead(*obj, nullptr, false);
        target.fill(Qt::white);
        state.ResumeTiming();
        page.Paint(target);
    }
}
BENCHMARK(BM_FieldPageFirstPaint)->Unit(benchmark::kMillisecond);

void BM_FieldPageRepeatedPaint(benchmark::State& state)
{
    FieldPage page;
    QImage target(900, 1200, QImage::Format_RGB32);
    page.Paint(target);
    for (auto _ : state) {
        target.fill(Qt::white);
        page.Paint(target);
    }
}
BENCHMARK(BM_FieldPageRepeatedPaint)->Unit(benchmark::kMillisecond);

void BM_ClickToEditorOn5KText(benchmark::State& state)
{
    bench::EnsureApplication("bench_pagewright_text_objects");
    BenchEnvironment env;
    CDI_RptDoc doc(&env, &Registry());
    DrawView view;
    doc.SetView(&view);
    QWidget window;
    window.resize(1200, 900);
    window.show();
    CTextEditView editor(view, &window);
    view.SetTextEditor(&editor);
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
                     "\\viewkind4\\uc1\\pard\\f0\\fs21 ";
    while (rtf.size() < 5 * 1024)
        rtf += "\\'ba\\'ec\\'cd\\'e2 temperature report line \\b 36.5\\b0\\par\r\n";
    rtf += "}\r\n";
    auto* text = static_cast<CDrawText*>(doc.AddNoUndo(std::make_unique<CDrawText>(&view, DocRect(500, -500, 6500, -6500))));
    text->textStore.Assign(rtf);
    for (auto _ : state) {
        view.Select(text);          // the click: begin editing (the editor filled)
        text->PlaceEditor(&view);   // the text area: placed and shown
        QApplication::processEvents();
        benchmark::DoNotOptimize(editor.GetWindowText().size());
        state.PauseTiming();
        text->EndEdit(&view);
        view.ClearSelection();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    view.SetTextEditor(nullptr);
    doc.SetView(nullptr);
}
BENCHMARK(BM_ClickToEditorOn5KText)->Unit(benchmark::kMillisecond);

} // namespace
