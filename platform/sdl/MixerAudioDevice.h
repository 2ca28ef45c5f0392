#pragma once

#include "platform/sound/AudioDevice.h"

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct Mix_Chunk;

namespace platform {

// Raised when there is no audio device to play on; the message says why.
class AudioDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sounds through SDL2_mixer. Each voice has a mixer channel of its own and the alert tone one
// more, so every sound object mixes freely with the others and restarts only itself. Sounds are
// converted to the device's format once, when their voice is added.
class MixerAudioDevice : public AudioDevice {
public:
    // The mixer's buffer, in frames at 44.1 kHz: it sets how often the sound server wakes up
    // and the delay from Play to sound, about 1.25 buffers (the wait for the mixer's next round
    // plus one buffer queued in the server). Measured with bench/sound_server.sh on a null sink:
    // 2048 frames cost the server 1.6 % of a core at 56 ms, 3584 frames 1.1-1.2 % at 86 ms,
    // 4096 frames 0.7-1.0 % at 118 ms; an ambience can lag a little more.
    static constexpr int kBufferFrames = 4096;

    // Opens the default audio device; raises AudioDeviceError when there is none.
    explicit MixerAudioDevice(int buffer_frames = kBufferFrames);
    ~MixerAudioDevice() override;
    MixerAudioDevice(const MixerAudioDevice&) = delete;
    MixerAudioDevice& operator=(const MixerAudioDevice&) = delete;

    VoiceId add_voice(std::shared_ptr<const PcmSound> sound, const std::string& label) override;
    void remove_voice(VoiceId voice) override;
    void play(VoiceId voice, bool looping) override;
    void stop(VoiceId voice) override;
    bool is_playing(VoiceId voice) override;
    void beep() override;

    int rate() const { return m_rate; }

private:
    // One converted sound on its channel. The chunk points into pcm, which it does not own.
    struct Voice {
        int channel = -1;
        std::vector<uint8_t> pcm;
        Mix_Chunk* chunk = nullptr;
    };

    void load(Voice& voice, const PcmSound& sound);
    void unload(Voice& voice);
    int take_channel();
    void start(const Voice& voice, bool looping);

    int m_rate = 0;
    uint16_t m_format = 0;
    int m_channels = 0;
    int m_channel_count = 0;
    std::vector<int> m_free_channels;
    std::map<VoiceId, Voice> m_voices;
    VoiceId m_next = 1;
    Voice m_alert;
};

} // namespace platform
