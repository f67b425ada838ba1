// Building the skin from a base colour, measuring and painting a menu of
// twenty items, and painting a frame's caption and menu bar. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/release/bench/skin/bench_skin
#include "skin/caption.h"
#include "skin/icon_menu.h"
#include "skin/skin_colors.h"
#include "skin/skin_style.h"

#include <QAction>
#include <QApplication>
#include <QImage>
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

} // namespace
