#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct pa_simple;

// A sink's monitor on the sound server, read on a thread of its own in small blocks of 16-bit
// stereo at 44.1 kHz: the time of the first loud sample after arm(), and the runs of digital
// silence (both channels exactly 0) while counting them.
class MonitorWatch {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kRate = 44100;

    // Raises std::runtime_error when the monitor cannot be recorded.
    explicit MonitorWatch(const std::string& monitor);
    ~MonitorWatch();
    MonitorWatch(const MonitorWatch&) = delete;
    MonitorWatch& operator=(const MonitorWatch&) = delete;

    void arm();
    // The time of the first loud sample since arm(), waiting for it up to patience.
    std::optional<Clock::time_point> wait(std::chrono::milliseconds patience);
    // Waits until the monitor has been silent (nothing loud) for quiet, up to patience.
    bool wait_quiet(std::chrono::milliseconds quiet, std::chrono::milliseconds patience);

    // From now on, every run of silence that lasts at least min_ms is kept.
    void count_silence(double min_ms);
    // The lengths of the runs kept so far, in ms, with one still going at the end if it is long
    // enough already.
    std::vector<double> silent_runs();
    // Seconds of sound read since count_silence.
    double counted_seconds() const { return double(m_counted_frames) / kRate; }

private:
    static constexpr int kBlockFrames = 64;
    static constexpr int kLoud = 1000;

    void run();
    void count(const int16_t* block);

    pa_simple* m_stream = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_running{true}, m_armed{false}, m_detected{false};
    std::atomic<Clock::rep> m_when{0};
    std::atomic<Clock::rep> m_last_loud{0};

    std::mutex m_mutex;
    std::atomic<bool> m_counting{false};
    long m_min_frames = 0;
    long m_run_frames = 0;
    std::atomic<long> m_counted_frames{0};
    std::vector<double> m_runs;
};
