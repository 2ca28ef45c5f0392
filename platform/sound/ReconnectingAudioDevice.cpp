#include "platform/sound/ReconnectingAudioDevice.h"

#include <algorithm>

namespace platform {

ReconnectingAudioDevice::ReconnectingAudioDevice(std::function<Micros()> clock, Opener open,
                                                 std::ostream& messages)
    : SilentAudioDevice(std::move(clock)), m_open(std::move(open)), m_messages(messages) {
    std::string why;
    if (!this->open(why)) {
        m_messages << "quorvane: sound is off: " << why << "; will try again" << std::endl;
        m_pause = kFirstPause;
        wait_before_next_attempt();
    }
}

// The output goes first, while the sounds it plays from are still held.
ReconnectingAudioDevice::~ReconnectingAudioDevice() {
    m_output.reset();
}

bool ReconnectingAudioDevice::open(std::string& why) {
    try {
        m_output = m_open();
    } catch (const AudioDeviceError& e) {
        why = e.what();
        return false;
    }
    m_ever_opened = true;
    m_output->set_gain(gain());
    for (auto& [voice, state] : voices()) {
        attach(voice, state);
        // Picked up again from the beginning; where the loop stood when the sound went is
        // not worth a click or a second copy of the sound.
        if (state.started && state.looping)
            m_output->fade_in(m_output_voices[voice], true, kFadeIn);
    }
    return true;
}

void ReconnectingAudioDevice::attach(VoiceId voice, Voice& state) {
    state.sound = m_output->fit(std::move(state.sound));
    m_output_voices[voice] = m_output->add_voice(state.sound, state.label);
}

void ReconnectingAudioDevice::wait_before_next_attempt() {
    m_next_attempt = now() + m_pause;
    m_pause = std::min(2 * m_pause, m_ever_opened ? kLongestPause : kLongestPauseNeverOpened);
}

void ReconnectingAudioDevice::service() {
    if (m_output) {
        if (std::optional<std::string> why = m_output->lost()) {
            m_output.reset();
            m_output_voices.clear();
            m_messages << "quorvane: sound went away: " << *why << "; will reconnect" << std::endl;
            m_pause = kFirstPause;
            wait_before_next_attempt();
        }
        return;
    }
    if (now() < m_next_attempt)
        return;
    const bool had_sound = m_ever_opened;
    std::string why;
    if (open(why))
        m_messages << "quorvane: sound is " << (had_sound ? "back" : "on") << std::endl;
    else
        wait_before_next_attempt();
}

std::optional<Micros> ReconnectingAudioDevice::next_wakeup() const {
    if (m_output)
        return std::nullopt;
    return m_next_attempt;
}

AudioDevice::VoiceId ReconnectingAudioDevice::add_voice(std::shared_ptr<const PcmSound> sound,
                                                        const std::string& label) {
    VoiceId voice = SilentAudioDevice::add_voice(std::move(sound), label);
    if (m_output)
        attach(voice, voices()[voice]);
    return voice;
}

void ReconnectingAudioDevice::remove_voice(VoiceId voice) {
    if (auto it = m_output_voices.find(voice); it != m_output_voices.end()) {
        m_output->remove_voice(it->second);
        m_output_voices.erase(it);
    }
    SilentAudioDevice::remove_voice(voice);
}

void ReconnectingAudioDevice::play(VoiceId voice, bool looping) {
    SilentAudioDevice::play(voice, looping);
    if (auto it = m_output_voices.find(voice); it != m_output_voices.end())
        m_output->play(it->second, looping);
}

void ReconnectingAudioDevice::stop(VoiceId voice) {
    SilentAudioDevice::stop(voice);
    if (auto it = m_output_voices.find(voice); it != m_output_voices.end())
        m_output->stop(it->second);
}

void ReconnectingAudioDevice::beep() {
    if (m_output)
        m_output->beep();
}

void ReconnectingAudioDevice::set_gain(float gain) {
    SilentAudioDevice::set_gain(gain);
    if (m_output)
        m_output->set_gain(gain);
}

} // namespace platform
