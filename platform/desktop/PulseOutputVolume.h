#pragma once

#include "platform/sound/OutputVolume.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_sink_info;
struct pa_time_event;

namespace platform {

// The default output's volume through the sound server (PulseAudio, or PipeWire's pulse
// server). One connection, made at once on a thread of its own, so that set never waits for
// the server: it leaves the level for that thread and returns. Levels that come faster than the
// server answers are coalesced, only the newest is sent. The connection follows the default
// output's volume as the server reports it, so that read answers at once, and tells of changes
// made elsewhere (volume keys, the desktop's mixer); the echo of the program's own levels is
// not told. While no server answers, levels go to the fallback, and the server is looked for
// again after a pause that grows to a second.
class PulseOutputVolume : public OutputVolume {
public:
    // How long read waits for a server that is still answering the first time.
    static constexpr std::chrono::milliseconds kFirstAnswerWait{200};

    // fallback (may be null) takes the levels while there is no sound server. changed runs on
    // the connection's thread after a change made outside the program: it should wake the main
    // loop, which then calls report_change.
    PulseOutputVolume(std::unique_ptr<OutputVolume> fallback, std::function<void()> changed);
    // Waits a little for the last level to reach the server, so that a change made just before
    // quitting is not lost.
    ~PulseOutputVolume() override;
    PulseOutputVolume(const PulseOutputVolume&) = delete;
    PulseOutputVolume& operator=(const PulseOutputVolume&) = delete;

    void set(uint8_t left, uint8_t right) override;
    std::optional<Reading> read() override;

    // Waits until the last level set has been applied or handed to the fallback, at most
    // timeout. Returns whether it was.
    bool settle(std::chrono::milliseconds timeout);
    // How many levels the server has applied, for measurements.
    long applied_count() const;

    // The server's volume for a level: 0 is silence, 255 is 100 %.
    static uint32_t server_volume(uint8_t level);
    // The level for a server volume, rounded; beyond 100 % reads 255.
    static uint8_t level(uint32_t server_volume);

private:
    struct Level {
        uint8_t left, right;
    };
    enum class Link { Connecting, Ready, Down };

    bool start_thread();
    // Waits, at most timeout, until done holds; done runs with the lock held.
    bool wait_until(std::chrono::milliseconds timeout, const std::function<bool()>& done) const;
    void kick();
    void connect();
    void disconnect();
    void send();
    void finish_round();
    void hand_to_fallback();
    bool is_busy() const;
    void ask_reading();
    void take_reading(std::optional<Reading> reading);

    static void on_state(pa_context* context, void* self);
    static void on_sink(pa_context* context, const pa_sink_info* info, int eol, void* self);
    static void on_applied(pa_context* context, int success, void* self);
    static void on_reading(pa_context* context, const pa_sink_info* info, int eol, void* self);

    std::unique_ptr<OutputVolume> m_fallback;
    std::function<void()> m_changed;
    pa_threaded_mainloop* m_mainloop = nullptr;
    // Below: touched only with the main loop's lock held.
    pa_context* m_context = nullptr;
    Link m_link = Link::Down;
    pa_time_event* m_retry = nullptr;
    std::chrono::microseconds m_pause{0};
    std::optional<Level> m_pending;
    std::optional<Level> m_in_flight;
    bool m_volume_sent = false;
    long m_applied = 0;
    bool m_closing = false;
    // The default output's volume as the server last told it, and whether it has answered
    // since the connection was made.
    std::optional<Reading> m_reading;
    bool m_has_answered = false;
    bool m_answer_had_sink = false;
    // The volume the program knows of: the last one it set, or was told of.
    std::optional<Reading> m_known;
    // A reading came while levels of the program's own were on their way: read again after.
    bool m_read_again = false;
};

} // namespace platform
