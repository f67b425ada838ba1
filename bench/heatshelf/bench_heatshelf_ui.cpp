// The browser's theme and controls: a theme switch (shades, images, field.ini
// and the repaint of a window holding every control), ApplySkinColor alone,
// repainting that window, and one slider move from the mouse event to the
// repainted slider. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/release/bench/heatshelf/bench_heatshelf_ui
#include "gallery.h"

#include "heatshelf/range_slider.h"
#include "heatshelf/theme.h"

#include "skin/skin_style.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using heatshelf::Theme;

struct Setup {
    QTemporaryDir dir;
    std::unique_ptr<Theme> theme;
    std::unique_ptr<heatshelf::ControlGallery> gallery;

    Setup()
    {
        static int argc = 1;
        static char name[] = "bench_heatshelf_ui";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            new QApplication(argc, argv);
        theme = std::make_unique<Theme>();
        theme->ApplySkinColor(theme->ThemePresets()[0]);
        theme->SetIniPath(dir.filePath(QStringLiteral("field.ini")));
        skin::SetCurrentSkin(&theme->State());
        QApplication::setStyle(new skin::SkinStyle(&theme->State()));
        gallery = std::make_unique<heatshelf::ControlGallery>(*theme);
        gallery->show();
        // Shown and exposed, so that repaints reach the window.
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        gallery->Render();
    }
};

Setup& setup()
{
    static Setup s;
    return s;
}

void BM_ThemeSwitch(benchmark::State& state)
{
    Setup& s = setup();
    int i = 0;
    for (auto _ : state) {
        s.theme->OnTheme(Theme::kFirstThemeCommand + (i++ % 6));
        benchmark::DoNotOptimize(s.gallery->Render().constBits());
    }
}
BENCHMARK(BM_ThemeSwitch)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplySkinColor(benchmark::State& state)
{
    Setup& s = setup();
    int i = 0;
    for (auto _ : state)
        s.theme->ApplySkinColor(s.theme->ThemePresets()[std::size_t(i++ % 7)]);
}
BENCHMARK(BM_ApplySkinColor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RepaintGallery(benchmark::State& state)
{
    Setup& s = setup();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.gallery->Render().constBits());
}
BENCHMARK(BM_RepaintGallery)->Unit(benchmark::kMillisecond)->UseRealTime();

// A drag step of the low thumb: the move event, the signal and the
// repaint of the strip around the thumb, flushed.
void BM_SliderMove(benchmark::State& state)
{
    Setup& s = setup();
    heatshelf::CRangeSlider* slider = s.gallery->Slider();
    const int y = (heatshelf::CRangeSlider::kChannelTop + heatshelf::CRangeSlider::kChannelBottom) / 2;
    const QRect body = slider->Thumb(0)->body;
    const int x0 = body.left() + body.width() / 2;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x0, y), slider->mapToGlobal(QPointF(x0, y)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &press);
    int paints = 0;
    struct PaintCounter : QObject {
        int* count;
        explicit PaintCounter(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter(&paints);
    slider->installEventFilter(&counter);
    int moves = 0;
    QObject::connect(slider, &heatshelf::CRangeSlider::thumbMoved, [&moves] { ++moves; });
    int step = 0;
    for (auto _ : state) {
        const int x = x0 + (step++ % 2 == 0 ? 3 : 0);
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), slider->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x0, y), slider->mapToGlobal(QPointF(x0, y)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &release);
    slider->removeEventFilter(&counter);
    if (moves < int(state.iterations()) || paints < int(state.iterations()))
        state.SkipWithError("a move was refused or not repainted");
    QObject::disconnect(slider, &heatshelf::CRangeSlider::thumbMoved, nullptr, nullptr);
}
BENCHMARK(BM_SliderMove)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
