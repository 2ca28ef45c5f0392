#include "platform/headless/HeadlessBackend.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace platform {

// What reaches the device, which the test may take away and give back.
class HeadlessBackend::RecordingOutput : public AudioOutput {
public:
    explicit RecordingOutput(HeadlessBackend& backend) : m_backend(backend) {}

    VoiceId add_voice(std::shared_ptr<const PcmSound>, const std::string& label) override {
        m_labels[m_next] = label;
        return m_next++;
    }
    void remove_voice(VoiceId voice) override { m_labels.erase(voice); }
    void play(VoiceId voice, bool looping) override {
        record(voice, looping ? SoundEvent::Kind::Loop : SoundEvent::Kind::Play);
    }
    void stop(VoiceId voice) override { record(voice, SoundEvent::Kind::Stop); }
    bool is_playing(VoiceId) override { return false; }
    void beep() override {
        m_backend.m_heard.push_back({m_backend.now(), "beep", SoundEvent::Kind::Beep});
    }
    std::shared_ptr<const PcmSound> fit(std::shared_ptr<const PcmSound> sound) override {
        return sound;
    }
    void set_gain(float gain) override { m_backend.m_gains.push_back({m_backend.now(), gain}); }
    void fade_in(VoiceId voice, bool, std::chrono::milliseconds) override {
        record(voice, SoundEvent::Kind::FadeIn);
    }
    std::optional<std::string> lost() const override {
        if (m_backend.m_audio_away)
            return "the test took the device away";
        return std::nullopt;
    }

private:
    void record(VoiceId voice, SoundEvent::Kind kind) {
        m_backend.m_heard.push_back({m_backend.now(), m_labels[voice], kind});
    }

    HeadlessBackend& m_backend;
    std::map<VoiceId, std::string> m_labels;
    VoiceId m_next = 1;
};

// What the program asks of its sounds, heard or not.
class HeadlessBackend::RecordingAudio : public ReconnectingAudioDevice {
public:
    explicit RecordingAudio(HeadlessBackend& backend)
        : ReconnectingAudioDevice([&backend] { return backend.now(); },
                                  [&backend] { return backend.open_output(); },
                                  backend.m_audio_messages) {}

    void play(VoiceId voice, bool looping) override {
        ReconnectingAudioDevice::play(voice, looping);
        record(voice, looping ? SoundEvent::Kind::Loop : SoundEvent::Kind::Play);
    }
    void stop(VoiceId voice) override {
        ReconnectingAudioDevice::stop(voice);
        record(voice, SoundEvent::Kind::Stop);
    }
    void beep() override {
        ReconnectingAudioDevice::beep();
        ++beeps;
        events.push_back({now(), "beep", SoundEvent::Kind::Beep});
    }

    std::vector<SoundEvent> events;
    int beeps = 0;

private:
    void record(VoiceId voice, SoundEvent::Kind kind) {
        events.push_back({now(), label(voice), kind});
    }
};

// The desktop's volume as a test sets it; the program's own levels are recorded.
class HeadlessBackend::RecordingVolume : public OutputVolume {
public:
    explicit RecordingVolume(HeadlessBackend& backend) : m_backend(backend) {}
    void set(uint8_t left, uint8_t right) override {
        events.push_back({m_backend.now(), left, right});
        if (system) {
            const uint8_t louder = std::max(left, right);
            system = Reading{louder, louder == 0 && system->muted};
        }
    }
    std::optional<Reading> read() override { return system; }

    std::vector<VolumeEvent> events;
    std::optional<Reading> system;

private:
    HeadlessBackend& m_backend;
};

HeadlessBackend::HeadlessBackend(int width, int height, std::unique_ptr<TextRenderer> text,
                                 Scale scale)
    : m_screen(scale.to_device(width), scale.to_device(height), 0xFF000000u), m_scale(scale),
      m_width(width), m_height(height), m_audio(std::make_unique<RecordingAudio>(*this)),
      m_volume(std::make_unique<RecordingVolume>(*this)), m_text(std::move(text)) {
}

HeadlessBackend::~HeadlessBackend() = default;

std::optional<InputEvent> HeadlessBackend::take() {
    if (m_queue.empty())
        return std::nullopt;
    InputEvent e = m_queue.front();
    m_queue.pop_front();
    if (e.type == InputEvent::Type::PointerMove)
        m_pointer.moved();
    return e;
}

std::optional<InputEvent> HeadlessBackend::wait_event(std::optional<Micros> deadline) {
    for (;;) {
        m_audio->service();
        if (std::optional<InputEvent> e = take())
            return e;
        if (!deadline)
            return InputEvent{InputEvent::Type::QuitRequest}; // nothing could ever happen
        // The clock stops at the audio's next attempt on the way, as a real wait wakes there.
        Micros wake = std::min(*deadline, m_audio->next_wakeup().value_or(*deadline));
        if (wake > m_now)
            m_now = wake == *deadline ? wake + m_lateness : wake;
        if (m_now >= *deadline) {
            m_audio->service();
            return std::nullopt;
        }
    }
}

void HeadlessBackend::watch(int fd, short events) {
    if (events)
        m_watched[fd] = events;
    else
        m_watched.erase(fd);
}

std::optional<InputEvent> HeadlessBackend::poll_event() {
    return take();
}

void HeadlessBackend::present(const Region& region) {
    ++m_present_count;
    m_presented_pixels += region.area();
    m_last_presented = region;
}

void HeadlessBackend::resize_screen(int width, int height) {
    m_width = width;
    m_height = height;
    m_screen = Image(m_scale.to_device(width), m_scale.to_device(height), 0xFF000000u);
    push(InputEvent(InputEvent::Type::ScreenResized));
}

void HeadlessBackend::set_scale(Scale scale) {
    m_scale = scale;
    resize_screen(m_width, m_height);
}

void HeadlessBackend::set_cursor_visible(bool visible) {
    m_pointer.set_visible(visible);
}

AudioDevice& HeadlessBackend::audio() {
    return *m_audio;
}

const std::vector<HeadlessBackend::SoundEvent>& HeadlessBackend::sound_events() const {
    return m_audio->events;
}

int HeadlessBackend::beep_count() const {
    return m_audio->beeps;
}

float HeadlessBackend::gain() const {
    return m_audio->gain();
}

std::unique_ptr<AudioOutput> HeadlessBackend::open_output() {
    m_audio_attempts.push_back(m_now);
    if (m_audio_away)
        throw AudioDeviceError("the test took the device away");
    return std::make_unique<RecordingOutput>(*this);
}

bool HeadlessBackend::is_audio_open() const {
    return m_audio->is_open();
}

OutputVolume& HeadlessBackend::output_volume() {
    return *m_volume;
}

const std::vector<HeadlessBackend::VolumeEvent>& HeadlessBackend::volume_events() const {
    return m_volume->events;
}

void HeadlessBackend::set_system_volume(std::optional<OutputVolume::Reading> volume) {
    if (volume == m_volume->system)
        return;
    m_volume->system = volume;
    // A server tells of a new volume, not of losing the way to read it.
    if (volume)
        push(InputEvent{InputEvent::Type::OutputVolumeChanged});
}

TextRenderer& HeadlessBackend::text() {
    if (!m_text)
        throw std::logic_error("this headless backend was made without a text renderer");
    return *m_text;
}

} // namespace platform
