#pragma once

#include "platform/sound/OutputVolume.h"

#include <chrono>
#include <optional>
#include <string>

struct _snd_mixer;
struct _snd_mixer_elem;

namespace platform {

// The default output's volume through the ALSA mixer, where no sound server runs: the device's
// main playback control ("Master", else "PCM", else the first with a playback volume). Level 0
// also switches the control off, so that it means silence; levels map linearly onto the
// control's own range. Without a mixer it does nothing, and looks again at most every few
// seconds, so that a card plugged in later is found.
class AlsaOutputVolume : public OutputVolume {
public:
    explicit AlsaOutputVolume(std::string device = "default");
    ~AlsaOutputVolume() override;
    AlsaOutputVolume(const AlsaOutputVolume&) = delete;
    AlsaOutputVolume& operator=(const AlsaOutputVolume&) = delete;

    void set(uint8_t left, uint8_t right) override;
    // The loudest channel, mapped back the way set maps; muted when the control is switched off.
    std::optional<Reading> read() override;

    // The ALSA library writes its complaints to stderr itself; an absent card is no news here.
    static void quiet_library();

private:
    bool open();
    void close();

    std::string m_device;
    _snd_mixer* m_mixer = nullptr;
    _snd_mixer_elem* m_control = nullptr;
    bool m_tried = false;
    std::chrono::steady_clock::time_point m_last_attempt;
};

} // namespace platform
