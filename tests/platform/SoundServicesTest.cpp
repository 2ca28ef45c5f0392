#include "platform/compat/Functions.h"
#include "platform/compat/MemoryBlock.h"
#include "platform/compat/SoundManager.h"
#include "platform/sound/AlertTone.h"
#include "platform/sound/Sound.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

using platform::Micros;
using testing_support::TestProgram;

namespace {

// The level as the loudness window builds it: two 16-bit stores into a 4-byte block.
int32_t level(int left, int right) {
    platform::MemoryBlock block(4);
    block.Short(0, static_cast<int16_t>(left));
    block.Short(2, static_cast<int16_t>(right));
    return block.Long(0);
}

platform::Ref<platform::Sound> silence(double seconds) {
    auto pcm = std::make_shared<platform::PcmSound>();
    pcm->rate = 44100;
    pcm->channels = 2;
    pcm->samples.assign(static_cast<size_t>(std::lround(seconds * 44100)) * 2, 0);
    return platform::make_ref<platform::Sound>(pcm, "test");
}

} // namespace

TEST(SetDefaultOutputVolume, TakesLeftFromTheFirstHalfAndRightFromTheSecondClamped) {
    TestProgram program(TestProgram::Options::runtime_only());
    struct Case {
        int left, right;
        uint8_t want_left, want_right;
    } cases[] = {
        {128, 128, 128, 128}, {0, 255, 0, 255}, {255, 0, 255, 0},        {7, 200, 7, 200},
        {256, 300, 255, 255}, {-1, -300, 0, 0}, {32767, -32768, 255, 0},
    };
    for (const Case& c : cases) {
        platform::SetDefaultOutputVolume(level(c.left, c.right));
        const auto& set = program.backend().volume_events().back();
        EXPECT_EQ(set.left, c.want_left) << c.left << "/" << c.right;
        EXPECT_EQ(set.right, c.want_right) << c.left << "/" << c.right;
    }
    EXPECT_EQ(program.backend().volume_events().size(), std::size(cases));
}

TEST(SilentSound, PlaysForItsTrueDurationLoopsUntilStoppedAndRestartsWhenPlayedAgain) {
    TestProgram program(TestProgram::Options::runtime_only());
    auto& backend = program.backend();
    auto at = [&](double seconds) {
        backend.set_now(static_cast<Micros>(seconds * 1e6));
    };
    auto sound = silence(2.0);
    EXPECT_FALSE(sound->IsPlaying());

    sound->Play();
    at(1.999);
    EXPECT_TRUE(sound->IsPlaying());
    at(2.0);
    EXPECT_FALSE(sound->IsPlaying());

    // Played again while playing: from the beginning, so it ends two seconds later.
    at(10.0);
    sound->Play();
    at(11.5);
    sound->Play();
    at(13.4);
    EXPECT_TRUE(sound->IsPlaying());
    at(13.5);
    EXPECT_FALSE(sound->IsPlaying());

    sound->PlayLooping();
    at(100.0);
    EXPECT_TRUE(sound->IsPlaying());
    sound->Stop();
    EXPECT_FALSE(sound->IsPlaying());

    // A looping sound played once more plays once.
    sound->PlayLooping();
    sound->Play();
    at(102.0);
    EXPECT_FALSE(sound->IsPlaying());

    // Sounds do not share a channel: stopping one leaves the other.
    auto other = silence(5.0);
    sound->Play();
    other->Play();
    sound->Stop();
    EXPECT_TRUE(other->IsPlaying());
}

TEST(AlertTone, IsShortSoftAndStartsAndEndsWithoutAClick) {
    for (int rate : {22050, 44100, 48000}) {
        SCOPED_TRACE(rate);
        platform::PcmSound tone = platform::AlertTone::make(rate);
        ASSERT_EQ(tone.channels, 1);
        ASSERT_EQ(tone.rate, rate);
        EXPECT_LE(tone.duration_seconds(), 0.150);
        EXPECT_GE(tone.duration_seconds(), 0.060);

        int peak = 0;
        for (int16_t s : tone.samples)
            peak = std::max(peak, std::abs(int(s)));
        // Moderate: clearly there, well below full scale.
        EXPECT_LE(peak, std::lround(platform::AlertTone::kPeak * 32767));
        EXPECT_GE(peak, std::lround(0.6 * platform::AlertTone::kPeak * 32767));

        // Fades in and out: the first and last millisecond are near silence.
        const size_t ms = static_cast<size_t>(rate / 1000);
        for (size_t i = 0; i < ms; ++i) {
            EXPECT_LE(std::abs(tone.samples[i]), peak / 20) << "sample " << i;
            EXPECT_LE(std::abs(tone.samples[tone.samples.size() - 1 - i]), peak / 20)
                << "sample " << tone.samples.size() - 1 - i;
        }
        EXPECT_LE(std::abs(tone.samples.front()), 1);
        EXPECT_LE(std::abs(tone.samples.back()), 1);

        // No click anywhere: no step between neighbouring samples beyond what the tone's own
        // partials can make (a pure sine of twice its pitch at its peak).
        const double fastest = platform::AlertTone::kPeak * 32767 * 2 * std::numbers::pi * 2 *
                               platform::AlertTone::kPitch / rate;
        int step = 0;
        for (size_t i = 1; i < tone.samples.size(); ++i)
            step = std::max(step, std::abs(tone.samples[i] - tone.samples[i - 1]));
        EXPECT_LE(step, fastest);
    }
}
