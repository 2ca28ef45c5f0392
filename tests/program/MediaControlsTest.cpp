#include "app/BeachPlayer.h"
#include "app/DesktopSession.h"
#include "common/MediaLibrary.h"
#include "platform/windows/ImplicitInstance.h"
#include "platform/windows/Timer.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <functional>

using app::BeachPlayer;
using platform::InputEvent;
using platform::Timer;
using testing_support::TestProgram;
using Kind = platform::HeadlessBackend::SoundEvent::Kind;

namespace {

int mode(const char* timer) {
    return Window1()->control_as<Timer>(timer)->Mode();
}

// The whole program with the beach's media player watching it after every batch of work, as the
// desktop session has it, counting what it tells.
class MediaControls : public ::testing::Test {
protected:
    TestProgram program;
    int told = 0;
    BeachPlayer player{[this] {
        ++told;
    }};

    MediaControls() {
        program.runtime().loop().set_batch_observer([this] { player.check(); });
    }
    ~MediaControls() override {
        if (program.is_running())
            program.runtime().loop().set_batch_observer(nullptr);
    }

    // The beach as the moon leaves it: every sound and cue on, or every one off.
    void expect_beach(bool on) {
        EXPECT_EQ(player.playing(), on);
        EXPECT_EQ(surf()->IsPlaying(), on);
        EXPECT_EQ(walk()->IsPlaying(), on);
        EXPECT_EQ(mode("Timer2"), on ? Timer::ModeMultiple : Timer::ModeOff);
        EXPECT_EQ(mode("Timer3"), on ? Timer::ModeSingle : Timer::ModeOff);
    }
    // Asks the player as the bus would, between two batches of the loop's work.
    void ask(void (BeachPlayer::*verb)()) {
        (player.*verb)();
        program.advance(0);
    }
};

} // namespace

TEST_F(MediaControls, EachVerbDoesWhatTheMoonDoesWhenItChangesSomethingAndNothingElse) {
    struct Case {
        const char* name;
        void (BeachPlayer::*verb)();
        bool from, to;
    };
    const Case cases[] = {
        {"PlayPause", &BeachPlayer::play_pause, false, true},
        {"PlayPause", &BeachPlayer::play_pause, true, false},
        {"Play", &BeachPlayer::play, false, true},
        {"Play", &BeachPlayer::play, true, true},
        {"Pause", &BeachPlayer::pause, false, false},
        {"Pause", &BeachPlayer::pause, true, false},
        {"Stop", &BeachPlayer::stop, false, false},
        {"Stop", &BeachPlayer::stop, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.from ? " while playing" : " while stopped"));
        if (player.playing() != c.from)
            program.click_moon();
        expect_beach(c.from);
        size_t sounds = program.backend().sound_events().size();
        int before = told;
        ask(c.verb);
        expect_beach(c.to);
        EXPECT_EQ(told - before, c.from != c.to ? 1 : 0);
        if (c.from == c.to) {
            EXPECT_EQ(program.backend().sound_events().size(), sounds);
        }
    }
    // Started from the controls, the cues come as they do after a click.
    program.advance(51000);
    EXPECT_FALSE(surf2()->IsPlaying());
    ask(&BeachPlayer::play);
    program.advance(50000);
    EXPECT_TRUE(surf2()->IsPlaying());
    EXPECT_EQ(program.failure_count(), 0);
}

TEST_F(MediaControls, EveryStartAndStopIsToldOnceWhateverMadeIt) {
    program.click_moon();
    EXPECT_EQ(told, 1);
    program.advance(3000);
    EXPECT_EQ(told, 1);
    program.click_moon();
    EXPECT_EQ(told, 2);

    // The about box's own link starts the surf alone: the beach plays.
    program.click(98, 14);
    platform::Ref<platform::Window> about = platform::RuntimeGetImplicitWindow("aboutWin.aboutWin");
    ASSERT_TRUE(about);
    auto link = about->control_as<platform::RectControl>("StaticText3")->bounds();
    program.click(about->Left() + link.x + link.w / 2, about->Top() + link.y + link.h / 2);
    ASSERT_TRUE(surf()->IsPlaying());
    EXPECT_TRUE(player.playing());
    EXPECT_EQ(told, 3);
    // Stopped from the controls, the moon's next click starts it again.
    ask(&BeachPlayer::stop);
    EXPECT_EQ(told, 4);
    EXPECT_FALSE(surf()->IsPlaying());

    // A start and a stop within one batch leave nothing to tell.
    player.play_pause();
    player.play_pause();
    program.advance(0);
    EXPECT_EQ(told, 4);
}

TEST_F(MediaControls, RaiseAsksTheDesktopAndQuitEndsTheLoopForTheOrderedShutdown) {
    player.raise();
    EXPECT_EQ(program.backend().raises(), std::vector<std::string>{""});
    program.click_moon();
    player.quit();
    EXPECT_TRUE(program.runtime().loop().quit_requested());
    EXPECT_EQ(program.shut_down(), 0);
}

// Without the surf's file the beach starts and stops silently as ever, and is told so.
TEST_F(MediaControls, AMissingSurfStillTellsPlayingAndStopped) {
    program.media()->remove("surf");
    program.click_moon();
    program.advance(0);
    expect_beach(true);
    EXPECT_EQ(told, 1);
    ask(&BeachPlayer::play_pause);
    expect_beach(false);
    EXPECT_EQ(told, 2);
    EXPECT_EQ(program.failure_count(), 0) << program.reports();
}

TEST(DesktopSessionTest, MediaKeysDriveTheBeachAndAFailingOneEndsOnlyItself) {
    TestProgram program;
    app::DesktopSession session({});
    EXPECT_FALSE(session.on_bus());
    auto key = [&](const char* name) {
        InputEvent e(InputEvent::Type::MediaKey);
        e.key = name;
        program.deliver(e);
    };
    // The media cannot be reached: starting the beach fails inside the key's handler.
    platform::Ref<platform::ResourceFork> media(program.media());
    program.runtime().set_resource_fork(nullptr);
    key("PlayPause");
    EXPECT_EQ(program.failure_count(), 1);
    EXPECT_NE(program.reports().find("media key PlayPause"), std::string::npos)
        << program.reports();
    program.runtime().set_resource_fork(media);
    for (auto [name, playing] : {std::pair{"PlayPause", true},
                                 {"Play", true},
                                 {"Rewind", true},
                                 {"Stop", false},
                                 {"Pause", false}}) {
        key(name);
        EXPECT_EQ(surf()->IsPlaying(), playing) << name;
    }
    EXPECT_EQ(program.failure_count(), 1);
}
