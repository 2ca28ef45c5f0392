#pragma once

#include "platform/base/Micros.h"
#include "platform/sound/AudioDevice.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace platform {

// Sounds that play silently with their true durations: IsPlaying and everything built on it
// behave as with a sound card. The state every voice keeps whether it is heard or not, on which
// ReconnectingAudioDevice builds.
class SilentAudioDevice : public AudioDevice {
public:
    explicit SilentAudioDevice(std::function<Micros()> clock);

    VoiceId add_voice(std::shared_ptr<const PcmSound> sound, const std::string& label) override;
    void remove_voice(VoiceId voice) override;
    void play(VoiceId voice, bool looping) override;
    void stop(VoiceId voice) override;
    bool is_playing(VoiceId voice) override;
    void beep() override {}
    void set_gain(float gain) override { m_gain = gain; }
    float gain() const { return m_gain; }

    const std::string& label(VoiceId voice) const;

protected:
    // What each voice is doing as the program sees it, heard or not.
    struct Voice {
        std::shared_ptr<const PcmSound> sound;
        std::string label;
        bool started = false;
        bool looping = false;
        Micros start = 0;
    };
    Micros now() const { return m_clock(); }
    std::map<VoiceId, Voice>& voices() { return m_voices; }

private:
    std::function<Micros()> m_clock;
    std::map<VoiceId, Voice> m_voices;
    VoiceId m_next = 1;
    float m_gain = 1;
};

} // namespace platform
