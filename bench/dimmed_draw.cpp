// What darkening the picture costs where it is drawn: one dome frame (1170 x 460, opaque) copied
// onto the screen at full brightness and at half, and a label-sized translucent picture blended at
// both. Run with --benchmark_repetitions=N for medians; the ratio of the two dome figures is what
// a dimmed scene adds to each tick's drawing.
#include "platform/graphics/Image.h"
#include "platform/graphics/PixelOps.h"

#include <benchmark/benchmark.h>

namespace {

using platform::Image;
using platform::Surface;

void draw(benchmark::State& state, const Image& picture) {
    Image screen(1920, 1080);
    Surface s = screen.surface();
    s.brightness = static_cast<uint32_t>(state.range(0));
    const platform::Rect whole{0, 0, picture.width(), picture.height()};
    for (auto _ : state) {
        platform::PixelOps::draw_image(s, s.bounds(), 750, 0, picture, whole);
        benchmark::DoNotOptimize(screen.at(750, 0));
    }
    state.SetItemsProcessed(state.iterations() * whole.area());
}

void dome_frame(benchmark::State& state) {
    draw(state, Image(1170, 460, 0xFF203040u));
}

void label(benchmark::State& state) {
    draw(state, Image(40, 18, 0x80FFFFFFu));
}

} // namespace

BENCHMARK(dome_frame)->Arg(Surface::kFullBrightness)->Arg(Surface::kFullBrightness / 2);
BENCHMARK(label)->Arg(Surface::kFullBrightness)->Arg(Surface::kFullBrightness / 2);
