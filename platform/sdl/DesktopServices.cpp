#include "platform/sdl/DesktopServices.h"

#include "platform/desktop/AlsaOutputVolume.h"
#include "platform/desktop/PulseOutputVolume.h"
#include "platform/sdl/MixerAudioDevice.h"
#include "platform/sdl/TtfTextRenderer.h"
#include "platform/sound/SilentAudioDevice.h"

#include <SDL.h>
#include <csignal>
#include <unistd.h>

#include <iostream>
#include <random>

namespace platform {

DesktopServices::DesktopServices(std::function<Micros()> clock) {
    open_audio(std::move(clock));
    m_volume = std::make_unique<PulseOutputVolume>(std::make_unique<AlsaOutputVolume>());
}

DesktopServices::~DesktopServices() = default;

void DesktopServices::open_audio(std::function<Micros()> clock) {
    // The one line below says all there is to say about a missing card.
    AlsaOutputVolume::quiet_library();
    try {
        m_audio = std::make_unique<MixerAudioDevice>();
    } catch (const AudioDeviceError& e) {
        // Sounds keep their timing without a device, so the program behaves the same.
        std::cerr << "quorvane: sound is off: " << e.what() << std::endl;
        m_audio = std::make_unique<SilentAudioDevice>(std::move(clock));
    }
}

TextRenderer& DesktopServices::text() {
    if (!m_text)
        m_text = std::make_unique<TtfTextRenderer>();
    return *m_text;
}

void DesktopServices::open_url(const std::string& url) {
    SDL_OpenURL(url.c_str());
}

uint64_t DesktopServices::random_seed() {
    std::random_device device;
    return (static_cast<uint64_t>(device()) << 32) ^ device();
}

void DesktopServices::exit_at_next_signal() {
    struct sigaction now {};
    now.sa_handler = [](int signal) {
        _exit(128 + signal);
    };
    sigemptyset(&now.sa_mask);
    sigaction(SIGINT, &now, nullptr);
    sigaction(SIGTERM, &now, nullptr);
}

} // namespace platform
