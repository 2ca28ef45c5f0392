#include "platform/desktop/PulseOutputVolume.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <thread>

namespace platform {

namespace {

// A server that went away is asked again at most this often, so that a slider dragged while
// there is none does not open a connection for every level.
constexpr auto kRetryInterval = std::chrono::seconds(1);
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

PulseOutputVolume::PulseOutputVolume(std::unique_ptr<OutputVolume> fallback)
    : m_fallback(std::move(fallback)) {
}

PulseOutputVolume::~PulseOutputVolume() {
    if (!m_mainloop)
        return;
    settle(kSettleOnExit);
    {
        Lock lock(m_mainloop);
        m_closing = true;
        disconnect();
    }
    pa_threaded_mainloop_stop(m_mainloop);
    pa_threaded_mainloop_free(m_mainloop);
}

uint32_t PulseOutputVolume::server_volume(uint8_t level) {
    return static_cast<uint32_t>((uint64_t(level) * PA_VOLUME_NORM + 127) / 255);
}

bool PulseOutputVolume::start_thread() {
    if (m_mainloop)
        return true;
    if (m_thread_failed)
        return false;
    m_mainloop = pa_threaded_mainloop_new();
    if (m_mainloop && pa_threaded_mainloop_start(m_mainloop) == 0)
        return true;
    if (m_mainloop)
        pa_threaded_mainloop_free(m_mainloop);
    m_mainloop = nullptr;
    m_thread_failed = true;
    return false;
}

void PulseOutputVolume::set(uint8_t left, uint8_t right) {
    if (!start_thread()) {
        if (m_fallback)
            m_fallback->set(left, right);
        return;
    }
    Lock lock(m_mainloop);
    m_pending = Level{left, right};
    kick();
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
    case Link::Never:
    case Link::Down:
        if (m_link == Link::Never ||
            std::chrono::steady_clock::now() - m_last_attempt >= kRetryInterval) {
            // Made on the main loop's thread: reading the client configuration and opening the
            // socket can take milliseconds that the caller need not wait for.
            m_link = Link::Connecting;
            m_last_attempt = std::chrono::steady_clock::now();
            pa_mainloop_api_once(
                pa_threaded_mainloop_get_api(m_mainloop),
                [](pa_mainloop_api*, void* self) {
                    static_cast<PulseOutputVolume*>(self)->connect();
                },
                this);
        } else {
            hand_to_fallback();
        }
        break;
    }
}

void PulseOutputVolume::connect() {
    if (m_closing)
        return;
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_mainloop), "Quorvane");
    if (!m_context) {
        m_link = Link::Down;
        hand_to_fallback();
        return;
    }
    pa_context_set_state_callback(m_context, &PulseOutputVolume::on_state, this);
    // Starting a sound server of our own would only hide that the desktop has none.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        disconnect();
        hand_to_fallback();
    }
}

void PulseOutputVolume::disconnect() {
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
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
}

void PulseOutputVolume::on_state(pa_context* context, void* self_ptr) {
    auto* self = static_cast<PulseOutputVolume*>(self_ptr);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        self->m_link = Link::Ready;
        self->kick();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        self->disconnect();
        self->hand_to_fallback();
        break;
    default:
        break;
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
        pa_cvolume volume;
        volume.channels = info->channel_map.channels;
        for (int i = 0; i < volume.channels; ++i) {
            pa_channel_position_t position = info->channel_map.map[i];
            uint8_t value = is_left(position)    ? level.left
                            : is_right(position) ? level.right
                                                 : std::max(level.left, level.right);
            volume.values[i] = server_volume(value);
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
}

void PulseOutputVolume::hand_to_fallback() {
    if (m_pending && m_fallback)
        m_fallback->set(m_pending->left, m_pending->right);
    m_pending.reset();
}

bool PulseOutputVolume::is_settled() const {
    return !m_pending && !m_in_flight && m_link != Link::Connecting;
}

bool PulseOutputVolume::settle(std::chrono::milliseconds timeout) {
    if (!m_mainloop)
        return true;
    // The threaded main loop has no timed wait; a short poll is fine for the rare caller.
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        {
            Lock lock(m_mainloop);
            if (is_settled())
                return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

long PulseOutputVolume::applied_count() const {
    if (!m_mainloop)
        return 0;
    Lock lock(m_mainloop);
    return m_applied;
}

} // namespace platform
