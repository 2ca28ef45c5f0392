#pragma once

#include "platform/sound/OutputVolume.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_sink_info;

namespace platform {

// The default output's volume through the sound server (PulseAudio, or PipeWire's pulse
// server). One connection, made on first use on a thread of its own, so that set never waits
// for the server: it leaves the level for that thread and returns. Levels that come faster than
// the server answers are coalesced, only the newest is sent. While no server answers, levels go
// to the fallback; a lost server is asked again, at most once a second, when a level comes.
class PulseOutputVolume : public OutputVolume {
public:
    // fallback (may be null) takes the levels while there is no sound server.
    explicit PulseOutputVolume(std::unique_ptr<OutputVolume> fallback);
    // Waits a little for the last level to reach the server, so that a change made just before
    // quitting is not lost.
    ~PulseOutputVolume() override;
    PulseOutputVolume(const PulseOutputVolume&) = delete;
    PulseOutputVolume& operator=(const PulseOutputVolume&) = delete;

    void set(uint8_t left, uint8_t right) override;

    // Waits until the last level set has been applied or handed to the fallback, at most
    // timeout. Returns whether it was.
    bool settle(std::chrono::milliseconds timeout);
    // How many levels the server has applied, for measurements.
    long applied_count() const;

    // The server's volume for a level: 0 is silence, 255 is 100 %.
    static uint32_t server_volume(uint8_t level);

private:
    struct Level {
        uint8_t left, right;
    };
    enum class Link { Never, Connecting, Ready, Down };

    bool start_thread();
    void kick();
    void connect();
    void disconnect();
    void send();
    void finish_round();
    void hand_to_fallback();
    bool is_settled() const;

    static void on_state(pa_context* context, void* self);
    static void on_sink(pa_context* context, const pa_sink_info* info, int eol, void* self);
    static void on_applied(pa_context* context, int success, void* self);

    std::unique_ptr<OutputVolume> m_fallback;
    pa_threaded_mainloop* m_mainloop = nullptr;
    bool m_thread_failed = false;
    // Below: touched only with the main loop's lock held.
    pa_context* m_context = nullptr;
    Link m_link = Link::Never;
    std::chrono::steady_clock::time_point m_last_attempt;
    std::optional<Level> m_pending;
    std::optional<Level> m_in_flight;
    bool m_volume_sent = false;
    long m_applied = 0;
    bool m_closing = false;
};

} // namespace platform
