#include "platform/desktop/PulseOutputVolume.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <thread>

namespace platform {

namespace {

// A server that went away is looked for again after a pause that starts short, for a server
// that restarts, and grows to a second: an attempt where there is none costs a fraction of a
// millisecond on this thread.
constexpr std::chrono::microseconds kFirstPause{250'000};
constexpr std::chrono::microseconds kLongestPause{1'000'000};
// How long quitting waits for the last level to reach the server.
constexpr auto kSettleOnExit = std::chrono::milliseconds(250);

bool is_left(pa_channel_position_t position) {
    return position == PA_CHANNEL_POSITION_FRONT_LEFT ||
           position == PA_CHANNEL_POSITION_REAR_LEFT ||
           position == PA_CHANNEL_POSITION_FRONT_LEFT_OF_CENTER ||
           position == PA_CHANNEL_POSITION_SIDE_LEFT ||
           position == PA_CHANNEL_POSITION_TOP_FRONT_LEFT ||
           position == PA_CHANNEL_POSITION_TOP_REAR_LEFT;
}

bool is_right(pa_channel_position_t position) {
    return position == PA_CHANNEL_POSITION_FRONT_RIGHT ||
           position == PA_CHANNEL_POSITION_REAR_RIGHT ||
           position == PA_CHANNEL_POSITION_FRONT_RIGHT_OF_CENTER ||
           position == PA_CHANNEL_POSITION_SIDE_RIGHT ||
           position == PA_CHANNEL_POSITION_TOP_FRONT_RIGHT ||
           position == PA_CHANNEL_POSITION_TOP_REAR_RIGHT;
}

class Lock {
public:
    explicit Lock(pa_threaded_mainloop* mainloop) : m_mainloop(mainloop) {
        pa_threaded_mainloop_lock(m_mainloop);
    }
    ~Lock() { pa_threaded_mainloop_unlock(m_mainloop); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    pa_threaded_mainloop* m_mainloop;
};

} // namespace

PulseOutputVolume::PulseOutputVolume(std::unique_ptr<OutputVolume> fallback,
                                     std::function<void()> changed)
    : m_fallback(std::move(fallback)), m_changed(std::move(changed)) {
    if (!start_thread())
        return;
    Lock lock(m_mainloop);
    // Made on the main loop's thread: reading the client configuration and opening the socket
    // can take milliseconds that the caller need not wait for.
    m_link = Link::Connecting;
    pa_mainloop_api_once(
        pa_threaded_mainloop_get_api(m_mainloop),
        [](pa_mainloop_api*, void* self) { static_cast<PulseOutputVolume*>(self)->connect(); },
        this);
}

PulseOutputVolume::~PulseOutputVolume() {
    if (!m_mainloop)
        return;
    settle(kSettleOnExit);
    {
        Lock lock(m_mainloop);
        m_closing = true;
        if (m_retry) {
            pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_mainloop);
            api->time_free(m_retry);
            m_retry = nullptr;
        }
        disconnect();
    }
    pa_threaded_mainloop_stop(m_mainloop);
    pa_threaded_mainloop_free(m_mainloop);
}

uint32_t PulseOutputVolume::server_volume(uint8_t level) {
    return static_cast<uint32_t>((uint64_t(level) * PA_VOLUME_NORM + 127) / 255);
}

uint8_t PulseOutputVolume::level(uint32_t server_volume) {
    uint64_t level = (uint64_t(server_volume) * 255 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM;
    return static_cast<uint8_t>(std::min<uint64_t>(level, 255));
}

bool PulseOutputVolume::start_thread() {
    m_mainloop = pa_threaded_mainloop_new();
    if (m_mainloop && pa_threaded_mainloop_start(m_mainloop) == 0)
        return true;
    if (m_mainloop)
        pa_threaded_mainloop_free(m_mainloop);
    m_mainloop = nullptr;
    return false;
}

void PulseOutputVolume::set(uint8_t left, uint8_t right) {
    if (!m_mainloop) {
        if (m_fallback)
            m_fallback->set(left, right);
        return;
    }
    Lock lock(m_mainloop);
    m_pending = Level{left, right};
    // What the server will read once it has the level: its echo is no news.
    const uint8_t louder = std::max(left, right);
    m_known = Reading{louder, louder == 0 && m_reading && m_reading->muted};
    kick();
}

std::optional<OutputVolume::Reading> PulseOutputVolume::read() {
    if (m_mainloop) {
        bool from_server = false;
        std::optional<Reading> reading;
        wait_until(kFirstAnswerWait, [&] {
            from_server = m_link == Link::Ready && m_has_answered;
            // A level of the program's own on its way reads as set.
            reading = is_busy() ? m_known : m_reading;
            return from_server || m_link == Link::Down;
        });
        if (from_server)
            return reading;
    }
    return m_fallback ? m_fallback->read() : std::nullopt;
}

// With the lock held, on either thread: moves the newest level on as far as it can go now.
void PulseOutputVolume::kick() {
    switch (m_link) {
    case Link::Ready:
        if (m_pending && !m_in_flight)
            send();
        break;
    case Link::Connecting:
        break; // sent when the connection is ready, or handed on when it fails
    case Link::Down:
        hand_to_fallback();
        break;
    }
}

void PulseOutputVolume::connect() {
    m_retry = nullptr;
    if (m_closing)
        return;
    m_link = Link::Connecting;
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_mainloop), "Quorvane");
    if (m_context) {
        pa_context_set_state_callback(m_context, &PulseOutputVolume::on_state, this);
        // Starting a sound server of our own would only hide that the desktop has none.
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0)
            return;
    }
    disconnect();
    hand_to_fallback();
}

// Closes the connection and looks for the server again after the pause.
void PulseOutputVolume::disconnect() {
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    m_link = Link::Down;
    // What was on its way when the connection broke has not been applied.
    if (m_in_flight && !m_pending)
        m_pending = m_in_flight;
    m_in_flight.reset();
    m_volume_sent = false;
    m_reading.reset();
    m_has_answered = false;
    m_answer_had_sink = false;
    m_read_again = false;
    if (m_closing || m_retry)
        return;
    m_pause = std::clamp(2 * m_pause, kFirstPause, kLongestPause);
    timeval when;
    pa_timeval_add(pa_gettimeofday(&when), static_cast<pa_usec_t>(m_pause.count()));
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_mainloop);
    m_retry = api->time_new(
        api, &when,
        [](pa_mainloop_api* api, pa_time_event* event, const timeval*, void* self) {
            api->time_free(event);
            static_cast<PulseOutputVolume*>(self)->connect();
        },
        this);
}

void PulseOutputVolume::on_state(pa_context* context, void* self_ptr) {
    auto* self = static_cast<PulseOutputVolume*>(self_ptr);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
        self->m_link = Link::Ready;
        self->m_pause = std::chrono::microseconds(0);
        // The default output's volume and mute, and which output is the default, as they change.
        pa_context_set_subscribe_callback(
            context,
            [](pa_context*, pa_subscription_event_type_t type, uint32_t, void* self) {
                auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
                if (facility == PA_SUBSCRIPTION_EVENT_SINK ||
                    facility == PA_SUBSCRIPTION_EVENT_SERVER)
                    static_cast<PulseOutputVolume*>(self)->ask_reading();
            },
            self);
        auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK |
                                                        PA_SUBSCRIPTION_MASK_SERVER);
        if (pa_operation* op = pa_context_subscribe(context, mask, nullptr, nullptr))
            pa_operation_unref(op);
        self->ask_reading();
        self->kick();
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        self->disconnect();
        self->hand_to_fallback();
        break;
    default:
        break;
    }
}

void PulseOutputVolume::ask_reading() {
    pa_operation* op = pa_context_get_sink_info_by_name(m_context, "@DEFAULT_SINK@",
                                                        &PulseOutputVolume::on_reading, this);
    if (op)
        pa_operation_unref(op);
}

void PulseOutputVolume::on_reading(pa_context*, const pa_sink_info* info, int eol, void* self_ptr) {
    auto* self = static_cast<PulseOutputVolume*>(self_ptr);
    if (info) {
        self->m_answer_had_sink = true;
        self->take_reading(Reading{level(pa_cvolume_max(&info->volume)), info->mute != 0});
    } else if (eol != 0) {
        // A server without a default output has no volume to read.
        if (!self->m_answer_had_sink)
            self->take_reading(std::nullopt);
        self->m_answer_had_sink = false;
        self->m_has_answered = true;
    }
}

void PulseOutputVolume::take_reading(std::optional<Reading> reading) {
    m_reading = reading;
    if (!reading)
        return;
    if (is_busy()) {
        // Somewhere between the program's own levels: looked at again when they are through.
        m_read_again = true;
        return;
    }
    if (reading != m_known) {
        m_known = reading;
        if (m_changed)
            m_changed();
    }
}

// Asks for the default output's channels; on_sink then sets its volume.
void PulseOutputVolume::send() {
    m_in_flight = m_pending;
    m_pending.reset();
    m_volume_sent = false;
    pa_operation* op = pa_context_get_sink_info_by_name(m_context, "@DEFAULT_SINK@",
                                                        &PulseOutputVolume::on_sink, this);
    if (op)
        pa_operation_unref(op);
    else
        finish_round();
}

void PulseOutputVolume::on_sink(pa_context* context, const pa_sink_info* info, int eol,
                                void* self_ptr) {
    auto* self = static_cast<PulseOutputVolume*>(self_ptr);
    if (!self->m_in_flight)
        return;
    if (info && !self->m_volume_sent) {
        const Level level = *self->m_in_flight;
        const uint8_t louder = std::max(level.left, level.right);
        pa_cvolume volume;
        volume.channels = info->channel_map.channels;
        for (int i = 0; i < volume.channels; ++i) {
            pa_channel_position_t position = info->channel_map.map[i];
            uint8_t value = is_left(position)    ? level.left
                            : is_right(position) ? level.right
                                                 : louder;
            volume.values[i] = server_volume(value);
        }
        if (info->mute && louder > 0) {
            if (pa_operation* op =
                    pa_context_set_sink_mute_by_index(context, info->index, 0, nullptr, nullptr))
                pa_operation_unref(op);
        }
        pa_operation* op = pa_context_set_sink_volume_by_index(
            context, info->index, &volume, &PulseOutputVolume::on_applied, self);
        if (op) {
            self->m_volume_sent = true;
            pa_operation_unref(op);
        }
        return;
    }
    // The end of the answer: with no default output (or no answer) this level is done with.
    if (eol != 0 && !self->m_volume_sent)
        self->finish_round();
}

void PulseOutputVolume::on_applied(pa_context*, int success, void* self_ptr) {
    auto* self = static_cast<PulseOutputVolume*>(self_ptr);
    if (success)
        ++self->m_applied;
    self->finish_round();
}

void PulseOutputVolume::finish_round() {
    m_in_flight.reset();
    m_volume_sent = false;
    kick();
    if (!is_busy() && m_read_again) {
        m_read_again = false;
        ask_reading();
    }
}

void PulseOutputVolume::hand_to_fallback() {
    if (m_pending && m_fallback)
        m_fallback->set(m_pending->left, m_pending->right);
    m_pending.reset();
}

bool PulseOutputVolume::is_busy() const {
    return m_pending || m_in_flight;
}

bool PulseOutputVolume::wait_until(std::chrono::milliseconds timeout,
                                   const std::function<bool()>& done) const {
    // The threaded main loop has no timed wait; a short poll is fine for the rare caller.
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        {
            Lock lock(m_mainloop);
            if (done())
                return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool PulseOutputVolume::settle(std::chrono::milliseconds timeout) {
    if (!m_mainloop)
        return true;
    return wait_until(timeout, [this] { return !is_busy() && m_link != Link::Connecting; });
}

long PulseOutputVolume::applied_count() const {
    if (!m_mainloop)
        return 0;
    Lock lock(m_mainloop);
    return m_applied;
}

} // namespace platform
