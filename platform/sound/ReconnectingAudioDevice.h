#pragma once

#include "platform/sound/AudioOutput.h"
#include "platform/sound/SilentAudioDevice.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>

namespace platform {

// Sounds that survive their output going away. Every voice keeps its state as the program sees
// it (playing, looping, since when) whether an output is open or not, so IsPlaying, the timers
// and everything built on them go on as if nothing happened. When the output is lost (a sound
// server restarting, a device unplugged) it says so once, and tries to open a new one after a
// pause that grows while none answers; with a new output the loops that are still playing fade
// in again from their beginning, while one-shots that were cut stay silent. A backend drives it
// from its wait: service() whenever it wakes, and it wakes by next_wakeup() at the latest.
class ReconnectingAudioDevice : public SilentAudioDevice {
public:
    // Opens an output; raises AudioDeviceError with the reason when there is none.
    using Opener = std::function<std::unique_ptr<AudioOutput>()>;

    // The pause after a loss, and the longest it grows to: a restarting server is back within
    // a second or so, and a failed attempt on a known driver costs a fraction of a millisecond.
    static constexpr Micros kFirstPause = 250'000;
    static constexpr Micros kLongestPause = 1'000'000;
    // Where no output has ever opened there is likely none to come, and an attempt that goes
    // through every driver costs milliseconds: it is looked for less often.
    static constexpr Micros kLongestPauseNeverOpened = 8'000'000;
    // Long enough to take the edge off a loop that comes back mid-scene.
    static constexpr std::chrono::milliseconds kFadeIn{150};

    // Opens the first output at once. messages takes the lines about sound going and coming.
    ReconnectingAudioDevice(std::function<Micros()> clock, Opener open, std::ostream& messages);
    ~ReconnectingAudioDevice() override;

    VoiceId add_voice(std::shared_ptr<const PcmSound> sound, const std::string& label) override;
    void remove_voice(VoiceId voice) override;
    void play(VoiceId voice, bool looping) override;
    void stop(VoiceId voice) override;
    void beep() override;
    void set_gain(float gain) override;

    // Notices a lost output and, once the pause is over, tries to open a new one.
    void service();
    // When service has something to do next; nothing while an output plays.
    std::optional<Micros> next_wakeup() const;
    bool is_open() const { return m_output != nullptr; }

private:
    bool open(std::string& why);
    void attach(VoiceId voice, Voice& state);
    void wait_before_next_attempt();

    Opener m_open;
    std::ostream& m_messages;
    std::unique_ptr<AudioOutput> m_output;
    // Each voice's voice on the open output.
    std::map<VoiceId, VoiceId> m_output_voices;
    bool m_ever_opened = false;
    Micros m_pause = 0;
    Micros m_next_attempt = 0;
};

} // namespace platform
