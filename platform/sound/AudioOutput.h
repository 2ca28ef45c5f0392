#pragma once

#include "platform/sound/AudioDevice.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// A real output that can go away under the program: a sound card, or a stream on a sound
// server that may restart. ReconnectingAudioDevice opens one, and a new one after a loss.
class AudioOutput : public AudioDevice {
public:
    // The sound in the form this output plays without converting: the same object when it has
    // that form already, else a converted copy, which the caller keeps instead of the original so
    // that only one form of each sound stays in memory.
    virtual std::shared_ptr<const PcmSound> fit(std::shared_ptr<const PcmSound> sound) = 0;
    // Plays a voice from its beginning, rising from silence over fade, so that a sound picked up
    // again in the middle of the scene does not click in.
    virtual void fade_in(VoiceId voice, bool looping, std::chrono::milliseconds fade) = 0;
    // Why the output has stopped playing for good (the device was removed, the server's
    // connection closed, the device failed); nothing while it plays.
    virtual std::optional<std::string> lost() const = 0;
};

} // namespace platform
