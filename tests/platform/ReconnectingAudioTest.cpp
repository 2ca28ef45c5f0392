#include "platform/sound/ReconnectingAudioDevice.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

using platform::AudioDeviceError;
using platform::AudioOutput;
using platform::Micros;
using platform::PcmSound;
using platform::ReconnectingAudioDevice;

namespace {

// An output at 48 kHz, as PipeWire's usually is, that counts its conversions and what it plays.
struct Outputs {
    bool present = true;
    bool lost = false;
    int conversions = 0;
    std::vector<Micros> attempts;
    std::vector<std::string> heard;
    // The gain each output was last given.
    std::vector<float> gains;
};

class FakeOutput : public AudioOutput {
public:
    explicit FakeOutput(Outputs& outputs) : m_outputs(outputs) { m_outputs.gains.push_back(-1); }
    VoiceId add_voice(std::shared_ptr<const PcmSound> sound, const std::string& label) override {
        EXPECT_EQ(sound->rate, 48000) << "voices are added in the output's form";
        m_labels.push_back(label);
        return static_cast<VoiceId>(m_labels.size() - 1);
    }
    void remove_voice(VoiceId) override {}
    void play(VoiceId voice, bool looping) override {
        m_outputs.heard.push_back((looping ? "loop " : "play ") + m_labels[voice]);
    }
    void stop(VoiceId voice) override { m_outputs.heard.push_back("stop " + m_labels[voice]); }
    bool is_playing(VoiceId) override { return false; }
    void beep() override { m_outputs.heard.push_back("beep"); }
    void set_gain(float gain) override { m_outputs.gains.back() = gain; }
    std::shared_ptr<const PcmSound> fit(std::shared_ptr<const PcmSound> sound) override {
        if (sound->rate == 48000)
            return sound;
        ++m_outputs.conversions;
        auto fitted = std::make_shared<PcmSound>(*sound);
        fitted->rate = 48000;
        return fitted;
    }
    void fade_in(VoiceId voice, bool, std::chrono::milliseconds fade) override {
        EXPECT_GT(fade.count(), 0);
        m_outputs.heard.push_back("fade in " + m_labels[voice]);
    }
    std::optional<std::string> lost() const override {
        if (m_outputs.lost)
            return "the server closed the stream";
        return std::nullopt;
    }

private:
    Outputs& m_outputs;
    std::vector<std::string> m_labels;
};

struct Rig {
    Micros now = 0;
    Outputs outputs;
    std::ostringstream messages;
    std::unique_ptr<ReconnectingAudioDevice> device;

    explicit Rig(bool present) {
        outputs.present = present;
        device = std::make_unique<ReconnectingAudioDevice>(
            [this] { return now; },
            [this]() -> std::unique_ptr<AudioOutput> {
                outputs.attempts.push_back(now);
                if (!outputs.present)
                    throw AudioDeviceError("no server");
                outputs.lost = false;
                return std::make_unique<FakeOutput>(outputs);
            },
            messages);
    }
    // Services the device every millisecond up to the time, as a loop that woke often would.
    void run_to(Micros end) {
        for (; now < end; now += 1000)
            device->service();
    }
};

std::shared_ptr<PcmSound> sound(double seconds) {
    auto pcm = std::make_shared<PcmSound>();
    pcm->rate = 44100;
    pcm->samples.assign(static_cast<size_t>(seconds * 44100) * 2, 0);
    return pcm;
}

} // namespace

TEST(ReconnectingAudioDevice, KeepsOnlyTheFormItsOutputPlaysAndConvertsItOnce) {
    Rig rig(true);
    std::shared_ptr<PcmSound> decoded = sound(1.0);
    std::weak_ptr<PcmSound> original = decoded;
    auto voice = rig.device->add_voice(std::move(decoded), "surf");
    EXPECT_TRUE(original.expired()) << "the decoded form went once converted";
    EXPECT_EQ(rig.outputs.conversions, 1);

    rig.device->play(voice, true);
    rig.device->set_gain(0.25f);
    rig.outputs.lost = true;
    rig.run_to(10'000);
    ASSERT_FALSE(rig.device->is_open());
    rig.device->set_gain(0.5f);
    rig.run_to(2'000'000);
    EXPECT_TRUE(rig.device->is_open());
    EXPECT_EQ(rig.outputs.conversions, 1) << "the kept form fits the new output as it is";
    EXPECT_EQ(rig.outputs.heard, (std::vector<std::string>{"loop surf", "fade in surf"}));
    // The program's gain reached the first output, and the new one starts at the gain asked
    // for while there was none, not at full.
    EXPECT_EQ(rig.outputs.gains, (std::vector<float>{0.25f, 0.5f}));
}

TEST(ReconnectingAudioDevice, AServerThatStartsAfterTheProgramIsLookedForLessAndLessOftenAndUsed) {
    Rig rig(false);
    EXPECT_FALSE(rig.device->is_open());
    auto surf = rig.device->add_voice(sound(30), "surf");
    auto walk = rig.device->add_voice(sound(7), "walk");
    rig.device->play(surf, true);
    rig.device->play(walk, false);
    rig.device->beep();
    EXPECT_TRUE(rig.device->is_playing(walk));

    rig.run_to(40'000'000);
    std::vector<Micros> pauses;
    for (size_t i = 1; i < rig.outputs.attempts.size(); ++i)
        pauses.push_back(rig.outputs.attempts[i] - rig.outputs.attempts[i - 1]);
    EXPECT_EQ(pauses, (std::vector<Micros>{250'000, 500'000, 1'000'000, 2'000'000, 4'000'000,
                                           8'000'000, 8'000'000, 8'000'000, 8'000'000}));
    EXPECT_EQ(rig.device->next_wakeup(), rig.outputs.attempts.back() + 8'000'000);
    EXPECT_TRUE(rig.device->is_playing(surf));
    EXPECT_FALSE(rig.device->is_playing(walk));

    rig.outputs.present = true;
    rig.run_to(50'000'000);
    EXPECT_TRUE(rig.device->is_open());
    EXPECT_EQ(rig.device->next_wakeup(), std::nullopt);
    // Only the loop: the walk and the beep are long over.
    EXPECT_EQ(rig.outputs.heard, (std::vector<std::string>{"fade in surf"}));
    EXPECT_EQ(rig.messages.str(), "quorvane: sound is off: no server; will try again\n"
                                  "quorvane: sound is on\n");

    // Lost again: said once, looked for soon, and the pause after a loss stays short.
    rig.outputs.present = false;
    rig.outputs.lost = true;
    size_t before = rig.outputs.attempts.size();
    rig.run_to(60'000'000);
    EXPECT_EQ(rig.outputs.attempts[before] - 50'000'000, 250'000);
    EXPECT_EQ(rig.outputs.attempts.back() - rig.outputs.attempts[rig.outputs.attempts.size() - 2],
              1'000'000);
    EXPECT_EQ(rig.messages.str(), "quorvane: sound is off: no server; will try again\n"
                                  "quorvane: sound is on\n"
                                  "quorvane: sound went away: the server closed the stream; will "
                                  "reconnect\n");
    rig.device->stop(surf);
    rig.outputs.present = true;
    rig.run_to(62'000'000);
    EXPECT_EQ(rig.outputs.heard.back(), "fade in surf") << "nothing new is played on the way back";
    EXPECT_FALSE(rig.device->is_playing(surf));
}
