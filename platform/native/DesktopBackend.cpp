#include "platform/native/DesktopBackend.h"

#include "platform/desktop/AlsaOutputVolume.h"
#include "platform/desktop/PulseOutputVolume.h"
#include "platform/native/MixerAudioDevice.h"
#include "platform/native/TtfTextRenderer.h"
#include "platform/sound/ReconnectingAudioDevice.h"

#include <SDL.h>
#include <csignal>
#include <unistd.h>

#include <algorithm>
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

std::optional<InputEvent> DesktopBackend::wait_event(std::optional<Micros> deadline) {
    for (;;) {
        m_audio->service();
        std::optional<Micros> left;
        if (deadline) {
            left = *deadline - now();
            if (*left <= 0)
                return poll_event();
        }
        // The sound's next attempt to reopen wakes the loop too, without ending the wait.
        if (std::optional<Micros> retry = m_audio->next_wakeup()) {
            Micros until_retry = std::max<Micros>(0, *retry - now());
            left = left ? std::min(*left, until_retry) : until_retry;
        }
        if (std::optional<InputEvent> event = wait_for(left))
            return event;
    }
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
