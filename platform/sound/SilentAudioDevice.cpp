#include "platform/sound/SilentAudioDevice.h"

namespace platform {

SilentAudioDevice::SilentAudioDevice(std::function<Micros()> clock) : m_clock(std::move(clock)) {
}

AudioDevice::VoiceId SilentAudioDevice::add_voice(std::shared_ptr<const PcmSound> sound,
                                                  const std::string& label) {
    VoiceId id = m_next++;
    m_voices[id] = {std::move(sound), label};
    return id;
}

void SilentAudioDevice::remove_voice(VoiceId voice) {
    m_voices.erase(voice);
}

void SilentAudioDevice::play(VoiceId voice, bool looping) {
    auto it = m_voices.find(voice);
    if (it == m_voices.end())
        return;
    it->second.started = true;
    it->second.looping = looping;
    it->second.start = now();
}

void SilentAudioDevice::stop(VoiceId voice) {
    auto it = m_voices.find(voice);
    if (it != m_voices.end())
        it->second.started = false;
}

bool SilentAudioDevice::is_playing(VoiceId voice) {
    auto it = m_voices.find(voice);
    if (it == m_voices.end() || !it->second.started)
        return false;
    const Voice& v = it->second;
    if (v.looping)
        return true;
    auto length = static_cast<Micros>(v.sound->duration_seconds() * 1e6);
    return now() < v.start + length;
}

const std::string& SilentAudioDevice::label(VoiceId voice) const {
    static const std::string none;
    auto it = m_voices.find(voice);
    return it == m_voices.end() ? none : it->second.label;
}

} // namespace platform
