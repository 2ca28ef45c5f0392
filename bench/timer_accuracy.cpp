// How closely the real event loop keeps Timer1's 75 ms beat: starts the whole program on the
// SDL backend (run it on an X server, e.g. Xvfb), times every dome tick for a while after a
// warm-up, then quits and prints the intervals' median, percentiles and spread, how late each
// tick ran after its deadline, and the drift over the whole run. Prints figures; asserts
// nothing.
//
// Usage: timer-accuracy [SECONDS] [MEDIA_DIR]   (default 180 s; media beside the program)
#include "app/Program.h"
#include "platform/compat/Functions.h"
#include "platform/resources/FolderResourceFork.h"
#include "platform/sdl/SdlBackend.h"
#include "platform/windows/Control.h"
#include "platform/windows/Timer.h"
#include "scene/Window1.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;
using platform::Micros;

namespace {

constexpr Micros kPeriod = 75'000;
// Start-up and the first paint delay the first ticks; the beat is measured after them.
constexpr size_t kWarmupTicks = 27;

struct Tick {
    Micros at;       // when the action ran
    Micros deadline; // when it was due
};

double percentile(std::vector<Micros> sorted, double p) {
    std::sort(sorted.begin(), sorted.end());
    size_t i = static_cast<size_t>(p / 100 * static_cast<double>(sorted.size() - 1) + 0.5);
    return static_cast<double>(sorted[i]) / 1000;
}

double share_within(const std::vector<Micros>& values, Micros target, Micros tolerance) {
    long n = std::count_if(values.begin(), values.end(),
                           [&](Micros v) { return std::llabs(v - target) <= tolerance; });
    return 100.0 * static_cast<double>(n) / static_cast<double>(values.size());
}

void report(const std::vector<Tick>& ticks) {
    std::vector<Micros> intervals, lateness;
    for (size_t i = 1; i < ticks.size(); ++i)
        intervals.push_back(ticks[i].at - ticks[i - 1].at);
    for (const Tick& t : ticks)
        lateness.push_back(t.at - t.deadline);
    Micros span = ticks.back().at - ticks.front().at;
    Micros drift = span - static_cast<Micros>(intervals.size()) * kPeriod;
    // A creeping beat would show as later ticks in the second half of the run.
    size_t half = lateness.size() / 2;
    double first_half = 0, second_half = 0;
    for (size_t i = 0; i < lateness.size(); ++i)
        (i < half ? first_half : second_half) += static_cast<double>(lateness[i]) / 1000;
    first_half /= static_cast<double>(half);
    second_half /= static_cast<double>(lateness.size() - half);

    std::printf("ticks=%zu span_s=%.3f period_ms=75 (after %zu warm-up ticks)\n", ticks.size(),
                static_cast<double>(span) / 1e6, kWarmupTicks);
    std::printf("interval_ms median=%.3f p1=%.3f p99=%.3f min=%.3f max=%.3f\n",
                percentile(intervals, 50), percentile(intervals, 1), percentile(intervals, 99),
                percentile(intervals, 0), percentile(intervals, 100));
    std::printf("interval_within_pct 0.5ms=%.2f 1ms=%.2f 3ms=%.2f\n",
                share_within(intervals, kPeriod, 500), share_within(intervals, kPeriod, 1000),
                share_within(intervals, kPeriod, 3000));
    std::printf("lateness_after_deadline_ms median=%.3f p99=%.3f max=%.3f mean_first_half=%.3f "
                "mean_second_half=%.3f\n",
                percentile(lateness, 50), percentile(lateness, 99), percentile(lateness, 100),
                first_half, second_half);
    std::printf("drift_ms=%.3f (last tick - first tick - n*75 ms)\n",
                static_cast<double>(drift) / 1000);
}

} // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 180;
    fs::path executable = fs::read_symlink("/proc/self/exe");
    std::optional<fs::path> media;
    if (argc > 2)
        media = fs::path(argv[2]);
    else
        media = platform::FolderResourceFork::locate(executable.parent_path().parent_path() /
                                                     "quorvane");
    if (!media) {
        std::fprintf(stderr, "timer-accuracy: no media folder; give one after the seconds\n");
        return 2;
    }
    std::unique_ptr<platform::SdlBackend> backend;
    try {
        backend = std::make_unique<platform::SdlBackend>();
    } catch (const platform::BackendError& e) {
        std::fprintf(stderr, "timer-accuracy: %s\n", e.what());
        return 1;
    }
    platform::RuntimeInit(*backend);
    platform::Runtime::current().set_resource_fork(
        platform::make_ref<platform::FolderResourceFork>(*media));
    app::initialize();
    app::start_up();

    // Timer1 keeps drawing the dome; the tick's time is taken first.
    size_t wanted = static_cast<size_t>(seconds * 1000 / 75) + 1;
    size_t warmup = kWarmupTicks;
    std::vector<Tick> ticks;
    ticks.reserve(wanted);
    platform::Ref<scene::Window1> scene = Window1();
    platform::Ref<platform::Timer> timer1 = scene->control_as<platform::Timer>("Timer1");
    timer1->bind(platform::Event::Action, [&](const platform::EventArgs&) {
        Micros now = backend->now();
        if (warmup > 0)
            --warmup;
        else
            ticks.push_back({now, timer1->deadline()});
        scene->Timer1_Action();
        if (ticks.size() >= wanted)
            platform::Quit(0);
        return false;
    });
    platform::Runtime::current().loop().run();
    scene = nullptr;
    timer1 = nullptr;
    app::finalize();
    int status = platform::RuntimeExit();
    if (ticks.size() < 3) {
        std::fprintf(stderr, "timer-accuracy: too few ticks\n");
        return 1;
    }
    report(ticks);
    return status;
}
