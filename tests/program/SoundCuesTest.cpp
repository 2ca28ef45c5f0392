#include "about/aboutWin.h"
#include "app/Program.h"
#include "common/MediaLibrary.h"
#include "common/Plugins.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/StaticText.h"
#include "platform/windows/Timer.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"
#include "volume/loudnessWin.h"

#include <gtest/gtest.h>

#include <set>

using platform::Canvas;
using platform::Micros;
using platform::Ref;
using platform::StaticText;
using platform::Timer;
using testing_support::TestProgram;
using Kind = platform::HeadlessBackend::SoundEvent::Kind;

namespace {

// The moon: the middle of the invisible hot spot on a 1920-pixel screen.
constexpr int kMoonX = 1920 - 486 + 71;
constexpr int kMoonY = 179;

struct Step {
    Micros ms;
    std::string label;
    Kind kind;
    friend bool operator==(const Step&, const Step&) = default;
};

std::vector<Step> steps(TestProgram& program) {
    std::vector<Step> out;
    for (const auto& e : program.backend().sound_events())
        if (e.kind != Kind::Beep)
            out.push_back({e.time / 1000, e.label, e.kind});
    return out;
}

Ref<Timer> timer(const char* name) {
    return Window1()->control_as<Timer>(name);
}

std::ostream& operator<<(std::ostream& os, const Step& s) {
    return os << s.ms << " ms " << s.label << " " << static_cast<int>(s.kind);
}

} // namespace

TEST(SoundCues, TwoQuickClicksStopEverythingBeforeAnyCueSounds) {
    TestProgram program;
    program.click_moon();
    program.advance(300);
    program.click_moon();
    EXPECT_FALSE(surf()->IsPlaying());
    EXPECT_FALSE(walk()->IsPlaying());
    EXPECT_EQ(timer("Timer2")->Mode(), Timer::ModeOff);
    EXPECT_EQ(timer("Timer3")->Mode(), Timer::ModeOff);
    program.advance(400000);
    EXPECT_EQ(steps(program), (std::vector<Step>{{0, "surf", Kind::Loop},
                                                 {0, "walk", Kind::Play},
                                                 {300, "surf", Kind::Stop},
                                                 {300, "walk", Kind::Stop},
                                                 {300, "surf2", Kind::Stop}}));
}

TEST(SoundCues, ASplashSoundingAtTheStopPlaysToItsEnd) {
    TestProgram program;
    program.click_moon();
    program.advance(87000);
    EXPECT_TRUE(splash()->IsPlaying());
    program.click_moon();
    EXPECT_TRUE(splash()->IsPlaying());
    program.advance(4000); // the fake splash lasts 4 s from 86 s
    EXPECT_FALSE(splash()->IsPlaying());
}

TEST(SoundCues, ASurfStartedByTheAboutLinkCountsAsPlaying) {
    TestProgram program;
    Ref<about::aboutWin> about = aboutWin();
    about->control_as<StaticText>("StaticText3"); // the window exists; its link starts surf
    surf()->PlayLooping();
    program.click_moon();
    EXPECT_FALSE(surf()->IsPlaying());
    EXPECT_EQ(timer("Timer2")->Mode(), Timer::ModeOff);
    // walk and surf2 were never started, and are stopped all the same.
    auto s = steps(program);
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[1].label, "surf");
    EXPECT_EQ(s[1].kind, Kind::Stop);
}

TEST(SoundCues, TheHotSpotShowsAFingerAndTheClickHidesThePointerUntilItMoves) {
    TestProgram program;
    program.move(kMoonX, kMoonY);
    EXPECT_EQ(program.backend().cursor_shape(), platform::CursorShape::FingerPointer);
    program.press(kMoonX, kMoonY);
    program.release(kMoonX, kMoonY);
    EXPECT_FALSE(program.backend().is_cursor_visible());
    program.move(kMoonX + 1, kMoonY);
    EXPECT_TRUE(program.backend().is_cursor_visible());
    program.move(100, 700);
    EXPECT_EQ(program.backend().cursor_shape(), platform::CursorShape::StandardPointer);
}

// The moon starts the beach, hides the pointer and sets the cue timers going: the second surf
// at 50 s, the splashes at 86 s and every 86 s after; a click at 200 s stops the loops and the
// footsteps. A sound the media cannot give is a silent one in its place: the others sound on
// their timeline, and whether the beach plays is still the surf's own answer, with nothing
// reported.
TEST(SoundCues, TheMoonStartsTheBeachAndItsCuesAndAMissingSoundCostsOnlyItself) {
    const std::vector<Step> timeline{{1000, "surf", Kind::Loop},     {1000, "walk", Kind::Play},
                                     {51000, "surf2", Kind::Loop},   {87000, "splash", Kind::Play},
                                     {173000, "splash", Kind::Play}, {200000, "surf", Kind::Stop},
                                     {200000, "walk", Kind::Stop},   {200000, "surf2", Kind::Stop}};
    for (const char* missing : {"", "surf", "walk", "surf2", "splash"}) {
        SCOPED_TRACE(missing);
        TestProgram program;
        program.media()->remove(missing);
        program.advance(1000);
        program.click_moon();
        EXPECT_TRUE(surf()->IsPlaying());
        EXPECT_EQ(timer("Timer3")->Mode(), Timer::ModeSingle);
        EXPECT_EQ(timer("Timer2")->Mode(), Timer::ModeMultiple);
        EXPECT_TRUE(program.backend().is_cursor_obscured());
        program.advance(199000);
        EXPECT_EQ(timer("Timer3")->Mode(), Timer::ModeOff);
        EXPECT_TRUE(surf2()->IsPlaying());
        program.click_moon();
        EXPECT_FALSE(surf()->IsPlaying());
        EXPECT_FALSE(surf2()->IsPlaying());
        EXPECT_EQ(steps(program), timeline);
        EXPECT_EQ(program.failure_count(), 0) << program.reports();
        // The silent one is kept: the media is not asked again.
        if (*missing) {
            EXPECT_EQ(program.media()->requests(missing), 1);
        }
    }
}

// What reached the device from a time on.
std::vector<Step> heard_since(TestProgram& program, Micros from) {
    std::vector<Step> out;
    for (const auto& e : program.backend().heard_events())
        if (e.time >= from)
            out.push_back({e.time / 1000, e.label, e.kind});
    return out;
}

TEST(SoundComesBack, TheBeachGoesOnUnheardWhileTheDeviceIsGoneAndItsLoopsAreHeardAgain) {
    TestProgram program;
    auto& backend = program.backend();
    program.advance(1000);
    program.click_moon();
    program.advance(2000);
    backend.take_audio_device_away();
    program.advance(0);
    EXPECT_FALSE(backend.is_audio_open());
    EXPECT_EQ(backend.audio_messages(),
              "quorvane: sound went away: the test took the device away; will reconnect\n");

    // The scene runs on as with a device: the second surf starts at 51 s, walk ends at 8 s.
    program.advance(60000);
    EXPECT_TRUE(surf()->IsPlaying());
    EXPECT_TRUE(surf2()->IsPlaying());
    EXPECT_FALSE(walk()->IsPlaying());
    EXPECT_TRUE(heard_since(program, 3'000'000).empty()) << "nothing reaches a missing device";
    // How often it is looked for meanwhile is the reconnecting device's own test.
    EXPECT_GE(backend.audio_open_attempts().size(), 5u);

    backend.give_audio_device_back();
    const Micros back = backend.now();
    program.advance(1000);
    EXPECT_TRUE(backend.is_audio_open());
    // Both loops, and not walk, which ended meanwhile.
    std::vector<Step> heard = heard_since(program, back);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_LE(heard[0].ms * 1000 - back, 1'000'000);
    EXPECT_EQ(heard[0].kind, Kind::FadeIn);
    EXPECT_EQ(heard[1].kind, Kind::FadeIn);
    EXPECT_EQ((std::set<std::string>{heard[0].label, heard[1].label}),
              (std::set<std::string>{"surf", "surf2"}));
    EXPECT_EQ(backend.audio_messages(),
              "quorvane: sound went away: the test took the device away; will reconnect\n"
              "quorvane: sound is back\n");

    // The splash at 87 s is heard as ever.
    program.advance(25000);
    EXPECT_EQ(heard_since(program, back).back(), (Step{87000, "splash", Kind::Play}));
}

TEST(SoundComesBack, WithoutADeviceTheMoonTogglesAndACutOneShotIsNotPlayedAgain) {
    TestProgram program;
    auto& backend = program.backend();
    backend.take_audio_device_away();
    program.advance(0);
    program.click_moon();
    EXPECT_TRUE(surf()->IsPlaying());
    program.click_moon();
    EXPECT_FALSE(surf()->IsPlaying());
    EXPECT_EQ(timer("Timer2")->Mode(), Timer::ModeOff);
    program.click_moon();
    EXPECT_TRUE(walk()->IsPlaying());

    const Micros back = backend.now();
    backend.give_audio_device_back();
    program.advance(1000);
    EXPECT_TRUE(walk()->IsPlaying()) << "its seven seconds run on";
    EXPECT_EQ(heard_since(program, back),
              (std::vector<Step>{{heard_since(program, back).at(0).ms, "surf", Kind::FadeIn}}));
}

TEST(TopStrip, RevealsQuitAboutAndTheSpeakerAndHidesThemByTheRules) {
    TestProgram program;
    auto quit = Window1()->control_as<StaticText>("StaticText1");
    auto about = Window1()->control_as<StaticText>("StaticText2");
    auto speaker = Window1()->control_as<Canvas>("Canvas3");
    program.move(600, 12);
    EXPECT_TRUE(quit->Visible() && about->Visible() && speaker->Visible());
    // While the volume panel is active the speaker stays: the panel's own test. A click in the
    // strip shows the speaker: the Quit label's test.
    program.move(600, 300);
    EXPECT_FALSE(quit->Visible() || about->Visible() || speaker->Visible());

    // A click on the bare sky hides the speaker again and shows the pointer.
    program.move(20, 12); // the strip's own ground, left of the Quit label
    EXPECT_TRUE(speaker->Visible());
    ObscureCursorMBS();
    program.backend().set_cursor_visible(false);
    program.press(600, 500);
    program.release(600, 500);
    EXPECT_FALSE(speaker->Visible());
    EXPECT_TRUE(program.backend().is_cursor_visible());
    EXPECT_FALSE(loudnessWin()->Visible());
}
