#include "platform/headless/HeadlessBackend.h"

#include <stdexcept>

namespace platform {

class HeadlessBackend::RecordingAudio : public SilentAudioDevice {
public:
    explicit RecordingAudio(HeadlessBackend& backend)
        : SilentAudioDevice([&backend] { return backend.now(); }) {}

    void play(VoiceId voice, bool looping) override {
        SilentAudioDevice::play(voice, looping);
        record(voice, looping ? SoundEvent::Kind::Loop : SoundEvent::Kind::Play);
    }
    void stop(VoiceId voice) override {
        SilentAudioDevice::stop(voice);
        record(voice, SoundEvent::Kind::Stop);
    }
    void beep() override {
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

class HeadlessBackend::RecordingVolume : public OutputVolume {
public:
    explicit RecordingVolume(HeadlessBackend& backend) : m_backend(backend) {}
    void set(uint8_t left, uint8_t right) override {
        events.push_back({m_backend.now(), left, right});
    }
    std::vector<VolumeEvent> events;

private:
    HeadlessBackend& m_backend;
};

HeadlessBackend::HeadlessBackend(int width, int height, std::unique_ptr<TextRenderer> text)
    : m_screen(width, height, 0xFF000000u), m_audio(std::make_unique<RecordingAudio>(*this)),
      m_volume(std::make_unique<RecordingVolume>(*this)), m_text(std::move(text)) {
}

HeadlessBackend::~HeadlessBackend() = default;

std::optional<InputEvent> HeadlessBackend::take() {
    if (m_queue.empty())
        return std::nullopt;
    InputEvent e = m_queue.front();
    m_queue.pop_front();
    if (e.type == InputEvent::Type::PointerMove)
        m_obscured = false;
    return e;
}

std::optional<InputEvent> HeadlessBackend::wait_event(std::optional<Micros> deadline) {
    if (std::optional<InputEvent> e = take())
        return e;
    if (!deadline)
        return InputEvent{InputEvent::Type::QuitRequest}; // nothing could ever happen
    if (*deadline > m_now)
        m_now = *deadline;
    return std::nullopt;
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
    m_screen = Image(width, height, 0xFF000000u);
    push(InputEvent(InputEvent::Type::ScreenResized));
}

void HeadlessBackend::set_cursor_visible(bool visible) {
    m_visible = visible;
    if (visible)
        m_obscured = false;
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

OutputVolume& HeadlessBackend::output_volume() {
    return *m_volume;
}

const std::vector<HeadlessBackend::VolumeEvent>& HeadlessBackend::volume_events() const {
    return m_volume->events;
}

TextRenderer& HeadlessBackend::text() {
    if (!m_text)
        throw std::logic_error("this headless backend was made without a text renderer");
    return *m_text;
}

} // namespace platform
