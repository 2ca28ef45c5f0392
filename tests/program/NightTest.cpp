#include "app/CommandLine.h"
#include "app/Program.h"
#include "common/MediaItems.h"
#include "common/MediaLibrary.h"
#include "platform/graphics/Surface.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/StaticText.h"
#include "platform/windows/Timer.h"
#include "scene/NoteWindow.h"
#include "scene/SleepTimer.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using app::NightOptions;
using platform::Canvas;
using platform::Micros;
using platform::Ref;
using platform::StaticText;
using platform::Timer;
using scene::SleepTimer;
using testing_support::FakeMedia;
using testing_support::TestProgram;

namespace {

constexpr double kSecond = 1000;
constexpr double kMinute = 60 * kSecond;
constexpr Micros kMinuteMicros = 60'000'000;
const double kQuarterTurn = std::cos(std::numbers::pi / 4);

// The whole program, with the night set up as a command line would.
class Night : public ::testing::Test {
protected:
    TestProgram program;

    void start(const NightOptions& night) {
        app::start_night(night);
        program.advance(0);
    }
    static NightOptions sleep(int minutes, int fade_seconds) {
        NightOptions night;
        night.sleep_minutes = minutes;
        night.fade_seconds = fade_seconds;
        return night;
    }
    uint32_t brightness() { return program.runtime().desktop().brightness(); }
    float gain() { return program.backend().gain(); }
    static std::string note() { return NoteWindow()->text(); }
    static Ref<platform::Picture> timer_picture() {
        return Window1()->control_as<Canvas>("Canvas4")->Backdrop();
    }
    static int minutes_set() { return Window1()->night().sleep().minutes(); }
    static int mode(const char* timer) { return Window1()->control_as<Timer>(timer)->Mode(); }
    // The beach as the moon leaves it: the surf and the waves' cue on, or every sound and cue
    // off.
    static void expect_beach(bool on) {
        EXPECT_EQ(surf()->IsPlaying(), on);
        EXPECT_EQ(mode("Timer2"), on ? Timer::ModeMultiple : Timer::ModeOff);
        if (!on) {
            EXPECT_FALSE(walk()->IsPlaying());
            EXPECT_FALSE(surf2()->IsPlaying());
            EXPECT_EQ(mode("Timer3"), Timer::ModeOff);
        }
    }
    static uint32_t full_at(double level) {
        return static_cast<uint32_t>(std::lround(platform::Surface::kFullBrightness * level));
    }
    // A pixel of the moon, on the dome frame drawn last.
    uint32_t moon_pixel() {
        return program.backend().pixel(program.backend().screen().width - 486 + 71, 179);
    }
    // That pixel as the frame on show has it at full brightness.
    static uint32_t full_moon_pixel() {
        return FakeMedia::colour_of(media_items::kDomeFrames[(Window1()->count + 11) % 12]);
    }
    bool is_strip_shown() {
        return Window1()->control_as<StaticText>("StaticText1")->Visible() &&
               Window1()->control_as<Canvas>("Canvas4")->Visible();
    }
};

} // namespace

TEST(SleepTimer, StepsLikeATelevisionsSleepButtonAndFadesOnAnEqualPowerCurve) {
    SleepTimer timer;
    std::vector<int> steps;
    for (int i = 0; i < 6; ++i) {
        timer.set(timer.next(), 0);
        steps.push_back(timer.minutes());
    }
    EXPECT_EQ(steps, (std::vector<int>{15, 30, 45, 60, 90, 0}));
    // Set from the command line between the steps, the next one up.
    timer.set(20, 0);
    EXPECT_EQ(timer.next(), 30);
    timer.set(720, 0);
    EXPECT_EQ(timer.next(), 0);

    timer.set_fade(60'000'000);
    timer.set(2, 1'000);
    const Micros start = 1'000, fade = start + kMinuteMicros, end = start + 2 * kMinuteMicros;
    EXPECT_EQ(timer.fade_start(), fade);
    EXPECT_EQ(timer.end(), end);
    struct At {
        Micros time;
        SleepTimer::Phase phase;
        int minutes_left;
        double level;
    };
    for (At at :
         {At{start, SleepTimer::Phase::Counting, 2, 1},
          At{fade - 1, SleepTimer::Phase::Counting, 2, 1},
          At{fade, SleepTimer::Phase::Fading, 1, 1},
          At{fade + 30'000'000, SleepTimer::Phase::Fading, 1, kQuarterTurn},
          At{end - 1, SleepTimer::Phase::Fading, 1, 0}, At{end, SleepTimer::Phase::Ended, 0, 0},
          At{end + 3600 * 1'000'000LL, SleepTimer::Phase::Ended, 0, 0}}) {
        SCOPED_TRACE(at.time);
        EXPECT_EQ(timer.phase(at.time), at.phase);
        EXPECT_EQ(timer.minutes_left(at.time), at.minutes_left);
        EXPECT_NEAR(timer.level(at.time), at.level, 1e-4);
    }
    // Equal power: at the middle the sound has half its power, not half its amplitude.
    double middle = timer.level(fade + 30'000'000);
    EXPECT_NEAR(middle * middle, 0.5, 1e-9);
    // A fade longer than the timer starts when the timer does, from full.
    timer.set_fade(600'000'000);
    timer.set(1, 0);
    EXPECT_EQ(timer.fade_start(), 0);
    EXPECT_EQ(timer.level(0), 1);
    EXPECT_NEAR(timer.level(30'000'000), kQuarterTurn, 1e-9);
    timer.set(0, 5);
    EXPECT_EQ(timer.phase(10 * kMinuteMicros), SleepTimer::Phase::Off);
    EXPECT_EQ(timer.level(10 * kMinuteMicros), 1);
}

TEST_F(Night, TAndTheTimersPictureStepTheTimerEachWithANoteThatFades) {
    EXPECT_EQ(timer_picture(), sleep1());
    for (int minutes : {15, 30, 45, 60, 90}) {
        program.key("T", false);
        EXPECT_EQ(minutes_set(), minutes);
        EXPECT_EQ(note(), "Sleep in " + std::to_string(minutes) + " min");
        EXPECT_EQ(timer_picture(), sleep2());
    }
    program.key("T", false);
    EXPECT_EQ(minutes_set(), 0);
    EXPECT_EQ(note(), "Sleep timer off");
    EXPECT_EQ(timer_picture(), sleep1());
    // Ctrl+T is no key of the program's.
    program.key("T", true);
    EXPECT_EQ(minutes_set(), 0);

    // The note is a black box low in the middle with the words in white; it stays about three
    // seconds, fades, and goes, and the screen under it is the sky again.
    const platform::Rect box{(1920 - 240) / 2, 1080 - 150, 240, 30};
    EXPECT_EQ(NoteWindow()->frame(), box);
    auto brightest = [&] {
        uint32_t most = 0;
        for (int y = box.y; y < box.y + box.h; ++y)
            for (int x = box.x; x < box.x + box.w; ++x)
                most = std::max(most, program.backend().pixel(x, y) & 0xFFu);
        return most;
    };
    EXPECT_EQ(program.backend().pixel(box.x + 1, box.y + 1), 0xFF000000u);
    EXPECT_GT(brightest(), 200u) << "the words in white";
    program.advance(2900);
    EXPECT_EQ(note(), "Sleep timer off");
    program.advance(300);
    EXPECT_LT(brightest(), 200u) << "fading";
    program.advance(700);
    EXPECT_EQ(note(), "");
    EXPECT_NE(program.backend().pixel(box.x + 1, box.y + 1), 0xFF000000u) << "the sky again";

    // The picture in the strip, left of the speaker, does what T does; pointing at it while
    // the timer runs tells the minutes left.
    Ref<Canvas> picture = Window1()->control_as<Canvas>("Canvas4");
    int x = picture->Left() + 12, y = picture->Top() + 10;
    program.move(x, y);
    EXPECT_TRUE(picture->Visible());
    EXPECT_EQ(note(), "") << "nothing to tell while the timer is off";
    program.click(x, y);
    EXPECT_EQ(note(), "Sleep in 15 min");
    program.advance(2.5 * kMinute);
    program.move(x, 300);
    EXPECT_FALSE(picture->Visible());
    program.move(x, y);
    EXPECT_EQ(note(), "Sleep in 13 min");
    EXPECT_EQ(minutes_set(), 15);
    EXPECT_EQ(program.failure_count(), 0) << program.reports();
}

TEST_F(Night, TheLandingFadesSoundAndPictureTogetherThenStopsTheBeachAsTheMoonDoes) {
    start(sleep(2, 60));
    program.click_moon();
    expect_beach(true);
    program.advance(1 * kMinute - 1);
    EXPECT_EQ(gain(), 1);
    EXPECT_EQ(brightness(), platform::Surface::kFullBrightness);
    size_t gains_before_fade = program.backend().gain_events().size();

    program.advance(1);
    EXPECT_EQ(gain(), 1);
    program.advance(30 * kSecond);
    EXPECT_NEAR(gain(), kQuarterTurn, 0.01);
    EXPECT_NEAR(brightness(), full_at(kQuarterTurn), 2);
    program.advance(20 * kSecond);
    EXPECT_NEAR(gain(), std::cos(50.0 / 60 * std::numbers::pi / 2), 0.01);
    expect_beach(true);

    program.advance(10 * kSecond);
    EXPECT_EQ(gain(), 0);
    EXPECT_EQ(brightness(), 0u);
    expect_beach(false);
    // The gain fell step by step, never rising, at most ten times a second.
    const auto& gains = program.backend().gain_events();
    ASSERT_GT(gains.size(), gains_before_fade + 100);
    EXPECT_LE(gains.size(), gains_before_fade + 601);
    for (size_t i = gains_before_fade + 1; i < gains.size(); ++i) {
        EXPECT_LE(gains[i].gain, gains[i - 1].gain);
        EXPECT_GE(gains[i].time - gains[i - 1].time, 100'000);
    }

    // Black, and nothing drawn or presented for an hour, while the sky's timers go on.
    EXPECT_EQ(moon_pixel(), 0xFF000000u);
    long presents = program.backend().present_count();
    program.advance(60 * kMinute);
    EXPECT_EQ(program.backend().present_count(), presents);
    EXPECT_EQ(moon_pixel(), 0xFF000000u);
    EXPECT_EQ(mode("Timer4"), Timer::ModeOff) << "the landing's own tick is over";
    EXPECT_EQ(timer_picture(), sleep1());
    EXPECT_EQ(program.failure_count(), 0) << program.reports();
}

TEST_F(Night, SomeoneStillAwakeDuringTheFadeGetsEverythingBackAndFifteenMinutes) {
    struct Case {
        const char* name;
        std::function<void(TestProgram&)> stir;
    };
    for (const Case& c : {Case{"a key",
                               [](TestProgram& p) {
                                   p.key("T", false);
                               }},
                          Case{"a move", [](TestProgram& p) {
                                   p.move(400, 400);
                               }}}) {
        SCOPED_TRACE(c.name);
        if (!surf()->IsPlaying())
            program.click_moon();
        start(sleep(1, 60));
        program.advance(30 * kSecond);
        ASSERT_NEAR(gain(), kQuarterTurn, 0.01);
        c.stir(program);
        EXPECT_EQ(gain(), 1);
        EXPECT_EQ(brightness(), platform::Surface::kFullBrightness);
        EXPECT_EQ(minutes_set(), 15) << "the key that woke the night did no more";
        EXPECT_EQ(Window1()->night().sleep().minutes_left(program.backend().now()), 15);
        EXPECT_EQ(note(), "Sleep in 15 min");
        expect_beach(true);
        // Another key now is a key again; four more put the timer off for the next case.
        for (int minutes : {30, 45, 60, 90, 0}) {
            program.key("T", false);
            EXPECT_EQ(minutes_set(), minutes);
        }
    }
}

TEST_F(Night, AfterTheLandingAMoveBringsTheSkyBackAtItsDimmedLevelAndTheBeachStaysStopped) {
    NightOptions night = sleep(1, 10);
    night.dim_percent = 50;
    start(night);
    program.click_moon();
    program.advance(1 * kMinute + 5 * kSecond);
    EXPECT_EQ(brightness(), 0u);
    expect_beach(false);
    program.key("Space", false);
    // The key that wakes the sky does not start the beach.
    expect_beach(false);
    EXPECT_EQ(brightness(), full_at(0.5));
    EXPECT_EQ(minutes_set(), 0);
    EXPECT_EQ(timer_picture(), sleep1());
    // The moon starts it at its full loudness.
    program.click_moon();
    expect_beach(true);
    EXPECT_EQ(gain(), 1);
}

TEST_F(Night, SleepThenQuitEndsTheProgramAtTheEndOfTheLanding) {
    NightOptions night = sleep(1, 5);
    night.then = NightOptions::Then::Quit;
    start(night);
    program.click_moon();
    program.advance(1 * kMinute - 100);
    EXPECT_FALSE(program.runtime().loop().quit_requested());
    program.advance(200);
    EXPECT_TRUE(program.runtime().loop().quit_requested());
    expect_beach(false);
    EXPECT_EQ(program.shut_down(), 0);
}

TEST_F(Night, CtrlQQuitsInTheDarkToo) {
    start(sleep(1, 5));
    program.advance(2 * kMinute);
    ASSERT_EQ(brightness(), 0u);
    program.key("Q", true);
    EXPECT_TRUE(program.runtime().loop().quit_requested());
}

TEST_F(Night, DDimsTheWholePictureEvenlyInStepsAndAtZeroDrawsNothing) {
    program.advance(100);
    ASSERT_EQ(moon_pixel(), full_moon_pixel() | 0xFF000000u);
    for (int percent : {50, 25, 10, 0, 100}) {
        SCOPED_TRACE(percent);
        program.key("D", false);
        EXPECT_EQ(Window1()->night().dim_percent(), percent);
        EXPECT_EQ(brightness(), full_at(percent / 100.0));
        if (percent > 0) {
            EXPECT_EQ(note(), "Brightness " + std::to_string(percent) + " %");
        }
        program.advance(100);
        uint32_t pixel = moon_pixel();
        uint32_t full = full_moon_pixel();
        for (int shift : {0, 8, 16}) {
            double channel = (full >> shift) & 0xFF;
            EXPECT_NEAR((pixel >> shift) & 0xFF, channel * percent / 100, 1.0) << shift;
        }
        if (percent == 0) {
            program.click_moon();
            long presents = program.backend().present_count();
            program.advance(10 * kSecond);
            EXPECT_EQ(program.backend().present_count(), presents);
            // The sound goes on in the dark.
            expect_beach(true);
        }
    }
}

TEST_F(Night, PlayStartsTheBeachAsTheMoonDoesRisingFromSilenceOverTenSeconds) {
    NightOptions night;
    night.play = true;
    start(night);
    expect_beach(true);
    EXPECT_EQ(gain(), 0);
    program.advance(5 * kSecond);
    EXPECT_NEAR(gain(), kQuarterTurn, 0.01);
    program.advance(5 * kSecond);
    EXPECT_EQ(gain(), 1);
    EXPECT_EQ(mode("Timer4"), Timer::ModeOff) << "nothing ticks once nothing fades";
}

TEST_F(Night, SpaceEscapeUpAndDownDoWhatTheControlsDo) {
    program.key("Space", false);
    expect_beach(true);
    program.key("Space", false);
    expect_beach(false);

    // Escape shows the strip for five seconds, or until the pointer moves away.
    program.move(600, 600);
    program.key("Escape", false);
    EXPECT_TRUE(is_strip_shown());
    program.advance(4900);
    EXPECT_TRUE(is_strip_shown());
    program.advance(200);
    EXPECT_FALSE(is_strip_shown());
    program.key("Escape", false);
    program.move(610, 600);
    program.advance(1);
    EXPECT_FALSE(is_strip_shown());
    // Moved into the strip, it stays until the pointer leaves it.
    program.key("Escape", false);
    program.move(300, 10);
    program.advance(6 * kSecond);
    EXPECT_TRUE(is_strip_shown());
    program.move(300, 400);
    EXPECT_FALSE(is_strip_shown());
}

TEST(NightVolume, UpAndDownMoveTheVolumeFivePercentThroughThePanelsPath) {
    TestProgram program(
        TestProgram::Options::at_volume(platform::OutputVolume::Reading{128, false}));
    program.key("Up", false);
    ASSERT_FALSE(program.backend().volume_events().empty());
    EXPECT_EQ(program.backend().volume_events().back().left, 140);
    EXPECT_EQ(program.backend().volume_events().back().right, 140);
    EXPECT_EQ(NoteWindow()->text(), "Volume 55 %");
    EXPECT_EQ(Window1()->control_as<Canvas>("Canvas3")->Backdrop(), speaker2());
    EXPECT_EQ(program.backend().beep_count(), 1) << "heard while the beach is silent";
    for (int i = 0; i < 3; ++i)
        program.key("Down", false);
    EXPECT_EQ(program.backend().volume_events().back().left, 102);
    EXPECT_EQ(NoteWindow()->text(), "Volume 40 %");
    for (int i = 0; i < 20; ++i)
        program.key("Up", false);
    EXPECT_EQ(program.backend().volume_events().back().left, 255);
    EXPECT_EQ(NoteWindow()->text(), "Volume 100 %");
    EXPECT_EQ(Window1()->control_as<Canvas>("Canvas3")->Backdrop(), speaker3());
}
