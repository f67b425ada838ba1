// Building the skin from a base colour, measuring and painting a menu of
// twenty items, painting a frame's caption and menu bar, re-skinning the
// seven toolbars of the main frame, and listing the installed fonts. Run
// offscreen:
//   QT_QPA_PLATFORM=offscreen build/release/bench/skin/bench_skin
#include "skin/caption.h"
#include "skin/font_combos.h"
#include "skin/format_bar_receiver.h"
#include "skin/icon_menu.h"
#include "skin/skin_colors.h"
#include "skin/skin_resources.h"
#include "skin/skin_style.h"
#include "skin/tool_bar_ex.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_skin";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

skin::SkinState& skinState()
{
    static skin::SkinState* s = [] {
        app();
        auto* st = new skin::SkinState;
        st->BuildSkinBitmaps(st->m_clrStylePresets[0]);
        skin::SetCurrentSkin(st);
        QApplication::setStyle(new skin::SkinStyle(st));
        skin::InstallMenuBorderHook();
        return st;
    }();
    return *s;
}

void BM_BuildSkinBitmaps(benchmark::State& state)
{
    skin::SkinState& s = skinState();
    int style = 0;
    for (auto _ : state) {
        s.BuildSkinBitmaps(s.m_clrStylePresets[std::size_t(style)]);
        style = (style + 1) % skin::SkinState::kStyleCount;
    }
}
BENCHMARK(BM_BuildSkinBitmaps)->Unit(benchmark::kMillisecond);

// Twenty items: commands with accelerators, separators, a check, a sub-menu.
void BM_MenuMeasureAndPaint(benchmark::State& state)
{
    skinState();
    QMenu menu;
    for (int i = 0; i < 20; ++i) {
        if (i % 6 == 5) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(QStringLiteral("菜单项目 %1\tCtrl+%2").arg(i).arg(i % 10));
        a->setData(40000 + i);
        a->setCheckable(i == 3);
        a->setChecked(i == 3);
    }
    menu.addMenu(QStringLiteral("子菜单"))->addAction(QStringLiteral("x"));
    CIconMenu icons;
    icons.SetImageSize(16, 15);
    icons.ConvertMenu(&menu, false);
    QAction* first = menu.actions().front();
    bool flip = false;
    for (auto _ : state) {
        // A changed action drops the measured item rectangles; the grab
        // measures and paints every item again.
        flip = !flip;
        first->setText(flip ? QStringLiteral("菜单项目 0\tCtrl+0") : QStringLiteral("菜单项目 O\tCtrl+0"));
        const QPixmap shot = menu.grab();
        benchmark::DoNotOptimize(shot.cacheKey());
    }
}
BENCHMARK(BM_MenuMeasureAndPaint)->Unit(benchmark::kMillisecond);

void BM_FrameCaptionAndMenuBar(benchmark::State& state)
{
    skin::SkinState& s = skinState();
    QMenuBar bar;
    for (const char* title : {"文件(&F)", "编辑(&E)", "查看(&V)", "设置(&S)", "窗口(&W)", "帮助(&H)"})
        bar.addMenu(QString::fromUtf8(title))->addAction(QStringLiteral("x"));
    bar.resize(1272, 22);
    CIconMenu icons;
    icons.LoadMenu(&bar, 0, 16, 15);
    skin::CaptionScene scene;
    scene.width = 1280;
    scene.title = QStringLiteral("红外热像报表软件");
    skin::CaptionButtons buttons;
    QImage target(1280, skin::CaptionBandHeight() + 22, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        skin::LayoutCaptionButtons(scene, buttons);
        skin::PaintCaption(p, scene, skin::SkinCaptionColors(s, true), s.m_ilSkinLarge, buttons);
        p.end();
        bar.render(&target, QPoint(4, skin::CaptionBandHeight()));
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_FrameCaptionAndMenuBar)->Unit(benchmark::kMillisecond);

// The main frame's seven bars as they are sized (buttons, separators, a
// combo on two of them): a style change gives each its new background,
// which rebuilds its three image lists, and repaints it.
void BM_ReskinSevenToolBars(benchmark::State& state)
{
    skin::SkinState& s = skinState();
    constexpr int S = skin::kSeparator;
    const std::vector<std::vector<int>> bars = {
        {1, 2, 3, S, 4, 5, 6, S, 7, 8, S, 9, 10, S, 11},
        {1, S, 2, 3, 4, 5, 6, 7, S, 8, 9, 10, S, 11, 12, 13},
        {1, S, 2, 3, 4, 5, 6, 7, S, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, S, 114, 32981, 32982, 20},
        {1, 2, 3, 4, S, 5, 6, 7, 8},
        {1, S, 2, 3, 4, 5, 6, S, 7, 8, 9},
        {1, 2, 3, 4, 5, 6, 7, 8, S, 9, S, 10, 11},
        {1, 2, S, 3, 4, 5, S, 6, 7, 8},
    };
    QMainWindow window;
    std::vector<CToolBarEx*> toolBars;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        skin::ToolBarResource res;
        res.id = 9000 + int(i);
        res.commands = bars[i];
        int images = 0;
        for (int c : bars[i])
            images += c != S ? 1 : 0;
        res.bitmap = QImage(16 * images, 16, QImage::Format_RGB32);
        res.bitmap.fill(qRgb(192, 192, 192));
        for (int x = 0; x < res.bitmap.width(); x += 3)
            res.bitmap.setPixel(x, 7, qRgb(x % 256, 40, 200));
        skin::RegisterToolBar(res);
        auto* bar = new CToolBarEx;
        bar->LoadToolBarEx(res.id);
        window.addToolBar(bar);
        toolBars.push_back(bar);
    }
    toolBars[2]->AddButtonCtrl(114);
    toolBars[2]->AddButtonCtrl(32981);
    toolBars[2]->AddButtonCtrl(32982);
    toolBars[4]->AddComboCtrl(5, 120, 200);
    toolBars[5]->AddComboCtrl(9, 120, 200);
    window.resize(1280, 200);
    window.show();
    QApplication::processEvents();
    QImage target(1280, 60, QImage::Format_ARGB32_Premultiplied);
    int style = 0;
    for (auto _ : state) {
        style = (style + 1) % skin::SkinState::kStyleCount;
        const COLORREF base = s.m_clrStylePresets[std::size_t(style)];
        state.PauseTiming();
        s.BuildSkinBitmaps(base);
        state.ResumeTiming();
        for (CToolBarEx* bar : toolBars) {
            bar->SetBackground(s.m_clrSkinBase, s.m_clrSkinLight);
            bar->render(&target);
        }
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ReskinSevenToolBars)->Unit(benchmark::kMillisecond);

void BM_FillFonts(benchmark::State& state)
{
    skinState();
    CFontNameCombo combo;
    for (auto _ : state) {
        combo.FillFonts(DEFAULT_CHARSET);
        benchmark::DoNotOptimize(combo.count());
    }
}
BENCHMARK(BM_FillFonts)->Unit(benchmark::kMillisecond);

} // namespace
