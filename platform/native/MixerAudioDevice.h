#pragma once

#include "platform/sound/AudioOutput.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct Mix_Chunk;
union SDL_Event;

namespace platform {

// Sounds through SDL2_mixer. Each voice has a mixer channel of its own and the alert tone one
// more, so every sound object mixes freely with the others and restarts only itself. The mixer
// plays straight from a sound whose form matches the device's; any other sound is converted once,
// when its voice is added, and fit() hands the converted form back so that the caller can drop
// the original. SDL's mixing thread asks for itself the priority the desktop grants players:
// nice -20 where the user may set it, else the highest nice level that rtkit (or the desktop
// portal) grants through the bus, else none.
class MixerAudioDevice : public AudioOutput {
public:
    // The mixer's buffer, in frames: how much SDL mixes at a time. Measured with
    // bench/sound_server.sh on a null sink at 44.1 kHz, with nothing but it queued in the server:
    // 2048 frames cost the server 1.6 % of a core at 56 ms from Play to sound, 3584 frames
    // 1.1-1.2 % at 86 ms, 4096 frames 0.7-1.0 % at 118 ms.
    static constexpr int kBufferFrames = 4096;
    // What the sound server is asked to keep queued of the stream, in ms (PulseAudio, and
    // PipeWire's pulse server). With the mixer's buffer alone the server queued 66 ms, and with
    // both cores busy the beach had gaps of silence of up to 131 ms, which a player's longer
    // buffer rides out. Measured with bench/beach_under_load.sh, three 10-minute runs each with
    // both cores busy: gaps of 131, 54 and 38 ms before, none after. The server now reports
    // about 145 ms queued and 85 ms in its sink, against 66 and 15: a sound card plays every
    // sound (the beep too, so the cues keep their timing to each other) about 150 ms later,
    // some 230 ms after Play. The server's CPU falls from 1.0-1.1 % of a core to 0.3 %. The
    // user's own PULSE_LATENCY_MSEC wins.
    static constexpr int kServerBufferMs = 250;
    // Asks for the rate of the default output itself (where the driver tells it), so that the
    // sound server plays the stream without resampling it. Measured with bench/sound_server.sh,
    // the four sounds looping at 4096 frames: a 48 kHz PulseAudio sink costs its server 1.32-1.58
    // % of a core fed at 44.1 kHz and 1.10-1.15 % at 48 kHz; PipeWire (48 kHz) 1.48-1.65 % and
    // 1.35-1.48 %. The sounds are converted once instead, when first played.
    static constexpr int kOutputRate = 0;

    // Opens the default audio device; raises AudioDeviceError when there is none.
    explicit MixerAudioDevice(int buffer_frames = kBufferFrames, int rate = kOutputRate);
    ~MixerAudioDevice() override;
    MixerAudioDevice(const MixerAudioDevice&) = delete;
    MixerAudioDevice& operator=(const MixerAudioDevice&) = delete;

    VoiceId add_voice(std::shared_ptr<const PcmSound> sound, const std::string& label) override;
    void remove_voice(VoiceId voice) override;
    void play(VoiceId voice, bool looping) override;
    void stop(VoiceId voice) override;
    bool is_playing(VoiceId voice) override;
    void beep() override;
    void set_gain(float gain) override;
    std::shared_ptr<const PcmSound> fit(std::shared_ptr<const PcmSound> sound) override;
    void fade_in(VoiceId voice, bool looping, std::chrono::milliseconds fade) override;
    std::optional<std::string> lost() const override;

    int rate() const { return m_rate; }
    int channels() const { return m_channels; }

private:
    // One sound on its channel. The chunk points into the sound's samples, which it does not own.
    struct Voice {
        int channel = -1;
        std::shared_ptr<const PcmSound> sound;
        Mix_Chunk* chunk = nullptr;
    };

    void load(Voice& voice, std::shared_ptr<const PcmSound> sound);
    void unload(Voice& voice);
    int take_channel();
    static int on_event(void* self, SDL_Event* event);
    // SDL_mixer's post-mix hook, on its audio thread: the gain on the mixed samples.
    static void apply_gain(void* self, uint8_t* stream, int bytes);

    std::string m_driver;
    int m_rate = 0;
    int m_channels = 0;
    int m_channel_count = 0;
    std::vector<int> m_free_channels;
    std::map<VoiceId, Voice> m_voices;
    VoiceId m_next = 1;
    Voice m_alert;
    // Set on SDL's audio thread when the device is disconnected.
    std::atomic<bool> m_lost{false};
    // The gain asked for, and the one the last mixed buffer ended at (the audio thread's own).
    std::atomic<float> m_gain{1};
    float m_applied_gain = 1;
};

} // namespace platform
