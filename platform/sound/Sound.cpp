#include "platform/sound/Sound.h"

#include "platform/sound/DesktopServices.h"

namespace platform {

namespace {

AudioDevice* device() {
    DesktopServices* services = Current<DesktopServices>::find();
    return services ? &services->audio() : nullptr;
}

} // namespace

Sound::Sound(std::shared_ptr<const PcmSound> pcm, const std::string& label) {
    if (AudioDevice* d = device())
        m_voice = d->add_voice(std::move(pcm), label);
}

Sound::~Sound() {
    if (AudioDevice* d = device(); d && m_voice >= 0)
        d->remove_voice(m_voice);
}

void Sound::Play() {
    if (AudioDevice* d = device(); d && m_voice >= 0)
        d->play(m_voice, false);
}

void Sound::PlayLooping() {
    if (AudioDevice* d = device(); d && m_voice >= 0)
        d->play(m_voice, true);
}

void Sound::Stop() {
    if (AudioDevice* d = device(); d && m_voice >= 0)
        d->stop(m_voice);
}

bool Sound::IsPlaying() {
    AudioDevice* d = device();
    return d && m_voice >= 0 && d->is_playing(m_voice);
}

} // namespace platform
