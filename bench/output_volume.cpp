// The cost of SetDefaultOutputVolume on a real sound server: the first call (right after the
// connection was started), then 1,000 calls back to back and 1,000 paced like a slider drag (one
// every 10 ms): median and worst time per call, and how many levels the server applied.
//   output-volume SINK
#include "platform/Runtime.h"
#include "platform/compat/SoundManager.h"
#include "platform/desktop/PulseOutputVolume.h"
#include "platform/headless/HeadlessBackend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The headless backend with the real output volume.
class PulseBackend : public platform::HeadlessBackend {
public:
    PulseBackend() : HeadlessBackend(16, 16), m_volume(nullptr, nullptr) {}
    platform::OutputVolume& output_volume() override { return m_volume; }
    platform::PulseOutputVolume& pulse() { return m_volume; }

private:
    platform::PulseOutputVolume m_volume;
};

double call_us(int32_t level) {
    auto start = Clock::now();
    platform::SetDefaultOutputVolume(level);
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

int32_t level_of(int v) {
    return v | (v << 16);
}

void report(const char* what, std::vector<double> times, long applied, double settle_ms) {
    std::sort(times.begin(), times.end());
    std::printf("%-24s median %6.1f us  99th %7.1f us  worst %7.1f us  applied %4ld of %zu, the "
                "last %.1f ms after the last call\n",
                what, times[times.size() / 2], times[times.size() * 99 / 100], times.back(),
                applied, times.size(), settle_ms);
}

double settle_ms(platform::PulseOutputVolume& pulse) {
    auto start = Clock::now();
    pulse.settle(std::chrono::seconds(5));
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main() {
    PulseBackend backend;
    platform::Runtime runtime(backend);
    platform::PulseOutputVolume& pulse = backend.pulse();

    double first = call_us(level_of(128));
    double first_settle = settle_ms(pulse);
    std::printf("first call (the connection just started): %.1f us, applied %.1f ms later\n", first,
                first_settle);

    std::vector<double> times;
    long before = pulse.applied_count();
    for (int i = 0; i < 1000; ++i)
        times.push_back(call_us(level_of(i % 256)));
    double burst_settle = settle_ms(pulse);
    report("1,000 back to back:", times, pulse.applied_count() - before, burst_settle);

    times.clear();
    before = pulse.applied_count();
    auto next = Clock::now();
    for (int i = 0; i < 1000; ++i) {
        next += std::chrono::milliseconds(10);
        times.push_back(call_us(level_of(255 - i % 256)));
        std::this_thread::sleep_until(next);
    }
    double drag_settle = settle_ms(pulse);
    report("1,000 at 100 a second:", times, pulse.applied_count() - before, drag_settle);
    return 0;
}
