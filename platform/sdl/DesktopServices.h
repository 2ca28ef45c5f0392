#pragma once

#include "platform/Backend.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// The desktop's services, the same whichever display the program shows on: sounds through
// SDL_mixer (silent, with one line on stderr, where there is no device), the output volume
// through PulseAudio or else ALSA, label text, web addresses and random seeds.
class DesktopServices {
public:
    // clock keeps the time of silent sounds when there is no device.
    explicit DesktopServices(std::function<Micros()> clock);
    ~DesktopServices();
    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

    AudioDevice& audio() { return *m_audio; }
    OutputVolume& output_volume() { return *m_volume; }
    TextRenderer& text();
    void open_url(const std::string& url);
    uint64_t random_seed();

    // From now on an interrupt or termination request ends the process at once: the first one
    // already asked for the shutdown under way.
    static void exit_at_next_signal();

private:
    void open_audio(std::function<Micros()> clock);

    // Destroyed text first, then sound, then volume: closing the audio device lets its last
    // buffers play out, and a volume change just made may still be on its way.
    std::unique_ptr<OutputVolume> m_volume;
    std::unique_ptr<AudioDevice> m_audio;
    std::unique_ptr<TextRenderer> m_text;
};

} // namespace platform
