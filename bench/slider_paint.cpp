// What one drag step on the volume slider costs: the renderer alone, the slider's paint (its
// record, then the renderer), a repaint of the slider through the desktop (the panel's
// background under it, then the slider), and a whole live drag step (the new
// value, its report, the repaint and the present), each with the heap allocations it makes per
// step. Run with --benchmark_repetitions=N for medians.
#include "platform/Runtime.h"
#include "platform/compat/ThemeTrack.h"
#include "platform/graphics/Graphics.h"
#include "tests/support/SliderPanel.h"
#include "tests/support/TestProgram.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>

namespace {

long g_allocations = 0;

} // namespace

// Counts every allocation of the process; the program is single-threaded. Kept out of line:
// inlined, the compiler takes the free() below for a mismatch with a new-expression.
[[gnu::noinline]] void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using testing_support::SliderPanel;
using testing_support::TestProgram;

struct Stage {
    TestProgram program{{.width = 400, .height = 300, .start = false}};
    platform::Ref<SliderPanel> panel = SliderPanel::open();
    volume::SuperSlider& slider = panel->slider();

    Stage() {
        // A holder that does nothing with the value, so the figures are the slider's own.
        slider.bind(platform::Event::ValueChanged,
                    [](const platform::EventArgs&) { return false; });
        program.advance(0);
    }
    platform::Desktop& desktop() { return program.runtime().desktop(); }
};

// Runs step for each iteration and reports the allocations it made on average.
template <class Step>
void measure(benchmark::State& state, Step step) {
    long before = g_allocations;
    for (auto _ : state)
        step();
    state.counters["allocations"] = benchmark::Counter(static_cast<double>(g_allocations - before),
                                                       benchmark::Counter::kAvgIterations);
}

void DrawThemeTrack(benchmark::State& state) {
    Stage stage;
    platform::Rect frame = stage.panel->frame();
    platform::Graphics g(stage.desktop(), {frame.x, frame.y}, platform::Region(frame));
    measure(state, [&] {
        platform::DrawThemeTrack(g, stage.slider.DrawInfo->address());
        benchmark::ClobberMemory();
    });
}
BENCHMARK(DrawThemeTrack);

// The slider's own paint: the record refilled, then the renderer.
void PaintSlider(benchmark::State& state) {
    Stage stage;
    platform::Rect frame = stage.panel->frame();
    platform::Rect on_screen = stage.slider.bounds().translated(frame.x, frame.y);
    platform::Graphics g(stage.desktop(), {on_screen.x, on_screen.y}, platform::Region(on_screen));
    measure(state, [&] { stage.slider.paint(g); });
}
BENCHMARK(PaintSlider);

void RepaintSlider(benchmark::State& state) {
    Stage stage;
    measure(state, [&] {
        stage.slider.Refresh(true);
        stage.desktop().paint_pending();
    });
}
BENCHMARK(RepaintSlider);

void LiveDragStep(benchmark::State& state) {
    Stage stage;
    stage.slider.handle_mouse_down(8, 70);
    int y = 70;
    measure(state, [&] {
        y = y == 70 ? 71 : 70;
        stage.slider.handle_mouse_drag(8, y);
        stage.desktop().present();
    });
    stage.slider.handle_mouse_up(8, y);
}
BENCHMARK(LiveDragStep);

} // namespace
