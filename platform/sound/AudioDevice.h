#pragma once

#include "platform/sound/PcmSound.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

// Raised when there is no audio device to play on; the message says why.
class AudioDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Plays decoded sounds. Each voice is one sound object's own channel, so sounds mix freely and
// a voice restarts from the beginning when played again.
class AudioDevice {
public:
    using VoiceId = int;
    virtual ~AudioDevice() = default;

    // label names the sound in records and messages ("sound 170").
    virtual VoiceId add_voice(std::shared_ptr<const PcmSound> sound, const std::string& label) = 0;
    virtual void remove_voice(VoiceId voice) = 0;
    virtual void play(VoiceId voice, bool looping) = 0;
    virtual void stop(VoiceId voice) = 0;
    virtual bool is_playing(VoiceId voice) = 0;
    // The system alert: a short soft tone; a new beep cuts the one before.
    virtual void beep() = 0;
    // The program's own gain on everything it plays, after mixing: 0 (silence) to 1 (as the
    // sounds are). The desktop's volume is left as it is. A change is eased in over the next
    // few milliseconds of sound, so that it does not click.
    virtual void set_gain(float gain) = 0;
};

} // namespace platform
