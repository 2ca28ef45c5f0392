#pragma once

#include "platform/Backend.h"
#include "platform/graphics/Image.h"
#include "platform/loop/PointerVisibility.h"
#include "platform/sound/AudioOutput.h"
#include "platform/sound/ReconnectingAudioDevice.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace platform {

// A backend for tests: a virtual clock that jumps to the next deadline instead of sleeping, an
// in-memory screen of any size, input events queued by the test, and a record of every effect
// the program has on the desktop. Its audio device can be taken away and given back, and the
// desktop's volume set as if from outside.
class HeadlessBackend : public Backend {
public:
    // A screen of width x height logical pixels at scale, its buffer that size times the scale.
    // text draws the labels; tests that look at no label may leave it out.
    HeadlessBackend(int width, int height, std::unique_ptr<TextRenderer> text = nullptr,
                    Scale scale = {});
    ~HeadlessBackend() override;

    struct SoundEvent {
        Micros time;
        std::string label; // "sound 170", or "beep"
        // FadeIn: a loop picked up again on a new device.
        enum class Kind { Play, Loop, Stop, Beep, FadeIn } kind;
    };
    struct GainEvent {
        Micros time;
        float gain;
    };
    struct VolumeEvent {
        Micros time;
        uint8_t left, right;
    };

    // Clock.
    Micros now() override { return m_now; }
    void set_now(Micros t) { m_now = t; }
    // How late the clock lands after each deadline it jumps to, as a real wait wakes a little
    // (or, on a stalled machine, a lot) after the time it asked for. None unless set.
    void set_lateness(Micros lateness) { m_lateness = lateness; }

    // Input.
    void push(const InputEvent& event) { m_queue.push_back(event); }
    std::optional<InputEvent> wait_event(std::optional<Micros> deadline) override;
    std::optional<InputEvent> poll_event() override;

    // Screen. Its pixels are the device's; pointer positions are logical, as a compositor gives
    // them.
    Surface screen() override {
        Surface s = m_screen.surface();
        s.scale = m_scale;
        return s;
    }
    // The screen takes another logical size, or another scale, as a display does when its
    // resolution or its scale changes; the loop hears of it with the next events. What was on it
    // is lost.
    void resize_screen(int width, int height);
    void set_scale(Scale scale);
    void present(const Region& region) override;
    const Image& screen_image() const { return m_screen; }
    uint32_t pixel(int x, int y) const { return m_screen.at(x, y) | 0xFF000000u; }
    long present_count() const { return m_present_count; }
    long long presented_pixels() const { return m_presented_pixels; }
    const Region& last_presented() const { return m_last_presented; }

    // Pointer.
    void set_cursor_shape(CursorShape shape) override { m_shape = shape; }
    void set_cursor_visible(bool visible) override;
    void obscure_cursor() override { m_pointer.obscure(); }
    CursorShape cursor_shape() const { return m_shape; }
    // Shown unless hidden, or obscured and not moved since.
    bool is_cursor_visible() const { return m_pointer.is_shown(); }
    bool is_cursor_obscured() const { return m_pointer.is_obscured(); }

    // Services.
    void open_url(const std::string& url) override { m_urls.push_back(url); }
    const std::vector<std::string>& opened_urls() const { return m_urls; }
    AudioDevice& audio() override;
    // What the program asked of its sounds, and what reached the device.
    const std::vector<SoundEvent>& sound_events() const;
    const std::vector<SoundEvent>& heard_events() const { return m_heard; }
    int beep_count() const;
    // The program's own gain on its sounds as asked for now, and each gain that reached the
    // device (a device opened again is given the gain at once).
    float gain() const;
    const std::vector<GainEvent>& gain_events() const { return m_gains; }
    // The device stops playing (noticed at the next wait) and cannot be opened until given
    // back; a device given back opens at the next attempt.
    void take_audio_device_away() { m_audio_away = true; }
    void give_audio_device_back() { m_audio_away = false; }
    bool is_audio_open() const;
    // When the device was asked to open, the first time included.
    const std::vector<Micros>& audio_open_attempts() const { return m_audio_attempts; }
    // What the audio said about sound going and coming, as it would on stderr.
    std::string audio_messages() const { return m_audio_messages.str(); }
    OutputVolume& output_volume() override;
    const std::vector<VolumeEvent>& volume_events() const;
    // The desktop's volume as read, changed as if with the volume keys: the loop hears of a new
    // one as it would from a sound server. Unreadable (as at the start) with nothing.
    void set_system_volume(std::optional<OutputVolume::Reading> volume);
    TextRenderer& text() override;

    // What the loop watches, by descriptor (a SourceReady event is the test's to push), and the
    // tokens of every raise.
    void watch(int fd, short events) override;
    const std::map<int, short>& watched() const { return m_watched; }
    void raise(const std::string& token) override { m_raises.push_back(token); }
    const std::vector<std::string>& raises() const { return m_raises; }
    // Whether the screen's rest is held off now, and every change of it, oldest first.
    void hold_screen(bool held) override { m_screen_holds.push_back(held); }
    bool is_screen_held() const { return !m_screen_holds.empty() && m_screen_holds.back(); }
    const std::vector<bool>& screen_holds() const { return m_screen_holds; }

    uint64_t random_seed() override { return m_seed++; }
    void set_random_seed(uint64_t seed) { m_seed = seed; }

    // The document types declared now, by name.
    void declare_document_type(const DocumentType& type) override {
        m_document_types[type.name] = type;
    }
    void withdraw_document_type(const std::string& name) override { m_document_types.erase(name); }
    const std::map<std::string, DocumentType>& document_types() const { return m_document_types; }

private:
    class RecordingOutput;
    class RecordingAudio;
    class RecordingVolume;

    std::optional<InputEvent> take();
    std::unique_ptr<AudioOutput> open_output();

    Micros m_now = 0;
    Micros m_lateness = 0;
    std::deque<InputEvent> m_queue;
    Image m_screen;
    Scale m_scale;
    int m_width;
    int m_height;
    long m_present_count = 0;
    long long m_presented_pixels = 0;
    Region m_last_presented;
    CursorShape m_shape = CursorShape::StandardPointer;
    PointerVisibility m_pointer;
    std::vector<std::string> m_urls;
    // Before the audio, which uses them from its start.
    bool m_audio_away = false;
    std::vector<Micros> m_audio_attempts;
    std::vector<SoundEvent> m_heard;
    std::vector<GainEvent> m_gains;
    std::ostringstream m_audio_messages;
    std::unique_ptr<RecordingAudio> m_audio;
    std::unique_ptr<RecordingVolume> m_volume;
    std::unique_ptr<TextRenderer> m_text;
    std::map<int, short> m_watched;
    std::vector<std::string> m_raises;
    std::vector<bool> m_screen_holds;
    uint64_t m_seed = 1;
    std::map<std::string, DocumentType> m_document_types;
};

} // namespace platform
