#include "platform/sdl/DesktopBackend.h"

#include "platform/desktop/AlsaOutputVolume.h"
#include "platform/desktop/PulseOutputVolume.h"
#include "platform/sdl/MixerAudioDevice.h"
#include "platform/sdl/TtfTextRenderer.h"
#include "platform/sound/ReconnectingAudioDevice.h"

#include <SDL.h>
#include <csignal>
#include <unistd.h>

#include <iostream>
#include <random>

namespace platform {

DesktopBackend::DesktopBackend() = default;

DesktopBackend::~DesktopBackend() = default;

void DesktopBackend::start_services(std::function<void()> volume_changed) {
    // The lines about sound going and coming say all there is to say about a missing card.
    AlsaOutputVolume::quiet_library();
    // Sounds keep their timing without an output, so the program behaves the same while there
    // is none.
    m_audio = std::make_unique<ReconnectingAudioDevice>(
        [this] { return now(); }, [] { return std::make_unique<MixerAudioDevice>(); }, std::cerr);
    m_volume = std::make_unique<PulseOutputVolume>(std::make_unique<AlsaOutputVolume>(),
                                                   std::move(volume_changed));
}

void DesktopBackend::stop_services() {
    m_text.reset();
    m_audio.reset();
    m_volume.reset();
}

void DesktopBackend::service_sound() {
    m_audio->service();
}

std::optional<Micros> DesktopBackend::next_sound_wakeup() const {
    return m_audio->next_wakeup();
}

AudioDevice& DesktopBackend::audio() {
    return *m_audio;
}

OutputVolume& DesktopBackend::output_volume() {
    return *m_volume;
}

TextRenderer& DesktopBackend::text() {
    if (!m_text)
        m_text = std::make_unique<TtfTextRenderer>();
    return *m_text;
}

void DesktopBackend::open_url(const std::string& url) {
    SDL_OpenURL(url.c_str());
}

uint64_t DesktopBackend::random_seed() {
    std::random_device device;
    return (static_cast<uint64_t>(device()) << 32) ^ device();
}

void DesktopBackend::loop_ended() {
    struct sigaction now {};
    now.sa_handler = [](int signal) {
        _exit(128 + signal);
    };
    sigemptyset(&now.sa_mask);
    sigaction(SIGINT, &now, nullptr);
    sigaction(SIGTERM, &now, nullptr);
}

} // namespace platform
