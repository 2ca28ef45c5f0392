#pragma once

#include "platform/base/Object.h"
#include "platform/sound/AudioDevice.h"
#include "platform/sound/PcmSound.h"

#include <memory>
#include <string>

namespace platform {

// A playable sound with a channel of its own. The samples belong to the audio device, which may
// keep them in the form its output plays.
class Sound : public Object {
public:
    Sound(std::shared_ptr<const PcmSound> pcm, const std::string& label);
    ~Sound() override;

    // Plays once from the beginning, also when it is playing already.
    void Play();
    // Repeats without a gap until Stop.
    void PlayLooping();
    void Stop();
    // True exactly while it sounds.
    bool IsPlaying();

private:
    AudioDevice::VoiceId m_voice = -1;
};

} // namespace platform
