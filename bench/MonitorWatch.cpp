#include "bench/MonitorWatch.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>

MonitorWatch::MonitorWatch(const std::string& monitor) {
    pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 2};
    pa_buffer_attr attr{};
    // The server's own, largest queue: a reader that falls behind under load loses nothing.
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = kBlockFrames * 4;
    int error = 0;
    m_stream = pa_simple_new(nullptr, "monitor-watch", PA_STREAM_RECORD, monitor.c_str(), "watch",
                             &format, nullptr, &attr, &error);
    if (!m_stream)
        throw std::runtime_error(std::string("cannot record the monitor: ") + pa_strerror(error));
    m_last_loud = Clock::now().time_since_epoch().count();
    m_thread = std::thread([this] { run(); });
}

MonitorWatch::~MonitorWatch() {
    m_running = false;
    m_thread.join();
    pa_simple_free(m_stream);
}

void MonitorWatch::arm() {
    m_detected = false;
    m_armed = true;
}

std::optional<MonitorWatch::Clock::time_point>
MonitorWatch::wait(std::chrono::milliseconds patience) {
    auto give_up = Clock::now() + patience;
    while (!m_detected && Clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    m_armed = false;
    if (!m_detected)
        return std::nullopt;
    return Clock::time_point(Clock::duration(m_when.load()));
}

bool MonitorWatch::wait_quiet(std::chrono::milliseconds quiet, std::chrono::milliseconds patience) {
    auto give_up = Clock::now() + patience;
    while (Clock::now() < give_up) {
        if (Clock::now() - Clock::time_point(Clock::duration(m_last_loud.load())) >= quiet)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void MonitorWatch::count_silence(double min_ms) {
    std::lock_guard lock(m_mutex);
    m_min_frames = std::lround(min_ms * kRate / 1000);
    m_run_frames = 0;
    m_counted_frames = 0;
    m_runs.clear();
    m_counting = true;
}

std::vector<double> MonitorWatch::silent_runs() {
    std::lock_guard lock(m_mutex);
    std::vector<double> runs = m_runs;
    if (m_run_frames >= m_min_frames && m_run_frames > 0)
        runs.push_back(m_run_frames * 1000.0 / kRate);
    return runs;
}

void MonitorWatch::count(const int16_t* block) {
    std::lock_guard lock(m_mutex);
    for (int i = 0; i < kBlockFrames; ++i) {
        if (block[2 * i] == 0 && block[2 * i + 1] == 0) {
            ++m_run_frames;
            continue;
        }
        if (m_run_frames >= m_min_frames && m_run_frames > 0)
            m_runs.push_back(m_run_frames * 1000.0 / kRate);
        m_run_frames = 0;
    }
    m_counted_frames += kBlockFrames;
}

void MonitorWatch::run() {
    int16_t block[kBlockFrames * 2];
    while (m_running) {
        int error = 0;
        if (pa_simple_read(m_stream, block, sizeof block, &error) < 0)
            return;
        auto now = Clock::now();
        if (m_counting)
            count(block);
        for (int i = 0; i < kBlockFrames; ++i) {
            if (std::abs(block[2 * i]) <= kLoud)
                continue;
            // That sample came in this many frames before the end of the block.
            auto early = std::chrono::microseconds((kBlockFrames - i) * 1000000L / kRate);
            auto when = (now - early).time_since_epoch().count();
            m_last_loud = when;
            if (m_armed && !m_detected) {
                m_when = when;
                m_detected = true;
            }
            break;
        }
    }
}
