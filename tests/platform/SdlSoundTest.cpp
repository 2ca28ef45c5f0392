// The real sound classes where no device is needed: the mixer on SDL's dummy audio driver (which
// consumes sound in real time without a card), and the server volume with no server to reach.
#include "platform/desktop/PulseOutputVolume.h"
#include "platform/native/MixerAudioDevice.h"
#include "tests/support/ScopedEnv.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using platform::PcmSound;
using testing_support::ScopedEnv;

namespace {

std::shared_ptr<PcmSound> tone(double seconds, int rate, int channels) {
    auto pcm = std::make_shared<PcmSound>();
    pcm->rate = rate;
    pcm->channels = channels;
    pcm->samples.assign(static_cast<size_t>(seconds * rate) * channels, 1000);
    return pcm;
}

// Asks until the sound has ended; the dummy driver plays in real time, so this is soon.
bool ends(platform::MixerAudioDevice& device, platform::AudioDevice::VoiceId voice) {
    for (int i = 0; i < 500; ++i) {
        if (!device.is_playing(voice))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class RecordingVolume : public platform::OutputVolume {
public:
    void set(uint8_t left, uint8_t right) override { levels.emplace_back(left, right); }
    std::optional<Reading> read() override { return Reading{42, true}; }
    std::vector<std::pair<int, int>> levels;
};

} // namespace

TEST(MixerAudioDevice, EachVoiceOnItsOwnChannelAnySampleFormat) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    platform::MixerAudioDevice device(1024);
    // Voices at other rates and channel counts are converted when added.
    auto a = device.add_voice(tone(0.2, 22050, 1), "a");
    auto b = device.add_voice(tone(0.2, 48000, 2), "b");
    auto empty = device.add_voice(tone(0, 44100, 2), "empty");
    EXPECT_FALSE(device.is_playing(a));

    device.play(a, false);
    device.play(b, true);
    EXPECT_TRUE(device.is_playing(a));
    EXPECT_TRUE(device.is_playing(b));
    EXPECT_TRUE(ends(device, a));
    EXPECT_TRUE(device.is_playing(b)) << "a looping voice goes on";

    device.play(a, false);
    device.stop(b);
    EXPECT_FALSE(device.is_playing(b));
    EXPECT_TRUE(device.is_playing(a)) << "stopping one voice leaves the others";

    // A sound with nothing in it never sounds.
    device.play(empty, true);
    EXPECT_FALSE(device.is_playing(empty));

    // The beep has a channel of its own.
    device.beep();
    EXPECT_TRUE(device.is_playing(a));

    // A removed voice's channel goes to the next voice, which starts silent.
    device.remove_voice(a);
    EXPECT_FALSE(device.is_playing(a));
    auto c = device.add_voice(tone(0.2, 44100, 2), "c");
    EXPECT_FALSE(device.is_playing(c));
    device.play(c, false);
    EXPECT_TRUE(device.is_playing(c));
    device.remove_voice(c);
    device.remove_voice(b);
    device.remove_voice(empty);
}

TEST(MixerAudioDevice, PlaysFromTheSoundItselfWhenItFitsAndKeepsOnlyTheConvertedFormElse) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    platform::MixerAudioDevice device(1024, 44100);
    ASSERT_EQ(device.rate(), 44100);
    ASSERT_EQ(device.channels(), 2);

    auto fitting = tone(0.2, 44100, 2);
    EXPECT_EQ(device.fit(fitting), fitting) << "a sound in the device's form is not copied";

    std::shared_ptr<const PcmSound> converted = device.fit(tone(0.5, 22050, 1));
    EXPECT_EQ(converted->rate, 44100);
    EXPECT_EQ(converted->channels, 2);
    EXPECT_EQ(converted->frames(), 22050) << "not a frame lost at the end";

    // The voice holds the samples it plays from: the caller may let go of them.
    std::weak_ptr<PcmSound> held = fitting;
    auto voice = device.add_voice(std::move(fitting), "fitting");
    EXPECT_FALSE(held.expired());
    device.play(voice, true);
    EXPECT_TRUE(device.is_playing(voice));
    device.remove_voice(voice);
    EXPECT_TRUE(held.expired());
}

TEST(MixerAudioDevice, KnowsWhenItsDeviceWentAway) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    platform::MixerAudioDevice device(1024);
    EXPECT_EQ(device.lost(), std::nullopt);
    // As SDL reports a device that was unplugged or whose server closed the stream.
    SDL_Event removed{};
    removed.adevice.type = SDL_AUDIODEVICEREMOVED;
    removed.adevice.iscapture = 1;
    SDL_PushEvent(&removed);
    EXPECT_EQ(device.lost(), std::nullopt) << "a microphone is none of its business";
    removed.adevice.iscapture = 0;
    SDL_PushEvent(&removed);
    ASSERT_TRUE(device.lost());
    EXPECT_NE(device.lost()->find("dummy"), std::string::npos) << *device.lost();
    SDL_FlushEvents(SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED);
}

TEST(MixerAudioDevice, WithoutADeviceSaysWhy) {
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    try {
        platform::MixerAudioDevice device;
        FAIL() << "opened a device that does not exist";
    } catch (const platform::AudioDeviceError& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
    }
}

TEST(PulseOutputVolume, WithoutAServerLevelsGoToTheFallbackAndSoDoReadings) {
    ScopedEnv server("PULSE_SERVER", "unix:/nonexistent/quorvane-test-socket");
    auto fallback = std::make_unique<RecordingVolume>();
    RecordingVolume& seen = *fallback;
    int changes = 0;
    platform::PulseOutputVolume volume(std::move(fallback), [&] { ++changes; });
    for (auto [left, right] : {std::pair{10, 20}, {30, 40}, {0, 255}}) {
        volume.set(static_cast<uint8_t>(left), static_cast<uint8_t>(right));
        ASSERT_TRUE(volume.settle(std::chrono::seconds(5)));
    }
    EXPECT_EQ(volume.applied_count(), 0);
    EXPECT_EQ(seen.levels, (std::vector<std::pair<int, int>>{{10, 20}, {30, 40}, {0, 255}}));
    EXPECT_EQ(volume.read(), (platform::OutputVolume::Reading{42, true}));
    EXPECT_EQ(changes, 0);
}

// Levels go onto the server's scale rising all the way, and come back rounded, louder than full
// as full; the program's own levels come back as themselves, so their echo is no change.
TEST(PulseOutputVolume, MapsLevelsOntoTheServersScaleAndBack) {
    using platform::PulseOutputVolume;
    EXPECT_EQ(PulseOutputVolume::server_volume(0), 0u);
    EXPECT_EQ(PulseOutputVolume::server_volume(255), 0x10000u);
    // 50 % as the server's own tools print it.
    EXPECT_EQ(PulseOutputVolume::server_volume(128) * 100 / 0x10000, 50u);
    EXPECT_EQ(PulseOutputVolume::level(0x10000 * 3 / 2), 255);
    EXPECT_EQ(PulseOutputVolume::level(0xFFFFFFFFu), 255);
    // Rounded to the nearest: 30 % as pactl sets it is 76.497, one step more 76.501.
    EXPECT_EQ(PulseOutputVolume::level(19660), 76);
    EXPECT_EQ(PulseOutputVolume::level(19661), 77);
    for (int level = 0; level < 256; ++level) {
        if (level > 0) {
            EXPECT_GT(PulseOutputVolume::server_volume(level),
                      PulseOutputVolume::server_volume(level - 1));
        }
        EXPECT_EQ(PulseOutputVolume::level(PulseOutputVolume::server_volume(level)), level);
    }
}
