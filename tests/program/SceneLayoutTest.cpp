#include "app/MediaLibrary.h"
#include "platform/Canvas.h"
#include "platform/StaticText.h"
#include "platform/Timer.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

using platform::Canvas;
using platform::RectControl;
using platform::Ref;
using platform::StaticText;
using platform::Timer;
using testing_support::FakeMedia;
using testing_support::TestProgram;

TEST(SceneLayout, PlacementsFollowTheScreenWidth) {
    struct Case {
        int width, reso, hot_spot, speaker;
    };
    for (Case c : {Case{945, -225, 459, 898}, Case{1152, -18, 666, 898}, Case{1153, -17, 667, 953},
                   Case{1170, 0, 684, 970}, Case{1920, 750, 1434, 1720}}) {
        SCOPED_TRACE(c.width);
        TestProgram program(TestProgram::Options::screen(c.width));
        Ref<scene::Window1> w = Window1();
        EXPECT_EQ(w->reso, c.reso);
        EXPECT_EQ(w->control_as<Canvas>("Canvas2")->Left(), c.hot_spot);
        EXPECT_EQ(w->control_as<Canvas>("Canvas2")->Top(), 108);
        EXPECT_EQ(w->control_as<Canvas>("Canvas3")->Left(), c.speaker);
        EXPECT_EQ(w->control_as<Canvas>("Canvas3")->Top(), 3);
        // The strip keeps 4 pixels to each side of the screen.
        EXPECT_EQ(w->control_as<Canvas>("Canvas1")->Width(), c.width - 8);
        EXPECT_EQ(w->frame(), (platform::Rect{0, 0, c.width, 900}));
    }
}

TEST(SceneLayout, ControlsArePlacedAsDesignedWithTheirParentsAndPictures) {
    TestProgram program(TestProgram::Options::screen(1920));
    Ref<scene::Window1> w = Window1();
    std::vector<std::string> names;
    for (const auto& c : w->controls())
        names.push_back(c->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Canvas1", "StaticText1", "Canvas2", "StaticText2",
                                               "Timer1", "Timer2", "Timer3", "Canvas3", "starcan1",
                                               "starcan2", "starcan3", "timerxstars1", "starcan4",
                                               "timerxstars2", "starcan5"}));
    auto quit = w->control_as<StaticText>("StaticText1");
    auto about = w->control_as<StaticText>("StaticText2");
    auto strip = w->control_as<Canvas>("Canvas1");
    EXPECT_EQ(quit->Text(), "Quit");
    EXPECT_EQ(about->Text(), "About");
    EXPECT_EQ(quit->Parent(), strip.get());
    EXPECT_EQ(about->Parent(), strip.get());
    EXPECT_EQ(w->control_as<Canvas>("Canvas3")->Parent(), strip.get());
    EXPECT_FALSE(quit->Visible());
    EXPECT_FALSE(about->Visible());
    EXPECT_FALSE(w->control_as<Canvas>("Canvas3")->Visible());
    EXPECT_EQ(quit->TextSize(), 14);
    EXPECT_EQ(quit->TextColor(), platform::RGB(255, 255, 255));
    EXPECT_EQ(about->bounds(), (platform::Rect{76, 4, 45, 20}));
    EXPECT_EQ(w->control_as<Canvas>("Canvas3")->Backdrop(), speaker2());

    struct Star {
        const char* name;
        int left, top;
        bool bright;
    };
    for (Star s : {Star{"starcan1", 150, 108, false}, Star{"starcan2", 75, 425, false},
                   Star{"starcan3", 251, 960, true}, Star{"starcan4", 1590, 1005, true},
                   Star{"starcan5", 36, 900, false}}) {
        auto c = w->control_as<Canvas>(s.name);
        EXPECT_EQ(c->bounds(), (platform::Rect{s.left, s.top, 16, 16})) << s.name;
        EXPECT_EQ(c->Backdrop(), s.bright ? star1() : star1b()) << s.name;
    }
    struct TimerCase {
        const char* name;
        int mode, period;
    };
    for (TimerCase t :
         {TimerCase{"Timer1", 2, 75}, TimerCase{"Timer2", 0, 86000}, TimerCase{"Timer3", 0, 50000},
          TimerCase{"timerxstars1", 2, 250}, TimerCase{"timerxstars2", 2, 1000}}) {
        EXPECT_EQ(w->control_as<Timer>(t.name)->Mode(), t.mode) << t.name;
        EXPECT_EQ(w->control_as<Timer>(t.name)->Period(), t.period) << t.name;
    }
    EXPECT_FALSE(w->control("NoSuchControl"));
    EXPECT_THROW(w->control_as<Canvas>("NoSuchControl"), platform::NilObjectException);
}

TEST(SceneLayout, TheAccessorOpensOnceAndFillsTheDome) {
    auto media = platform::make_ref<FakeMedia>();
    TestProgram program(TestProgram::Options::screen(1920), media);
    Ref<scene::Window1> w = Window1();
    EXPECT_EQ(Window1(), w);
    EXPECT_EQ(media->picture_requests(183), 1);
    EXPECT_EQ(w->count, 0);
    EXPECT_EQ(w->dome[0], sky());
    EXPECT_EQ(w->dome[5], sky5());
    EXPECT_EQ(w->dome[11], sky11());
    EXPECT_TRUE(w->r);
    EXPECT_EQ(w->Backdrop(), bigsky());
    EXPECT_TRUE(w->FullScreen());
    EXPECT_FALSE(w->MenuBarVisible());
}

TEST(SceneLayout, TheSkyShowsOnBlackAndMissingPicturesLeaveTheirPlaceEmpty) {
    auto media = platform::make_ref<FakeMedia>();
    media->remove_picture(181); // speaker2
    media->remove_picture(184); // star1
    TestProgram program(TestProgram::Options::screen(3000, 1800), media);
    platform::HeadlessBackend& b = program.backend();
    EXPECT_EQ(b.pixel(10, 1000), FakeMedia::colour_of(183));
    // Beyond the backdrop's 2560x1600: black.
    EXPECT_EQ(b.pixel(2900, 1700), 0xFF000000u);
    EXPECT_EQ(b.pixel(255, 965), FakeMedia::colour_of(183)); // starcan3 has no picture
    EXPECT_EQ(b.pixel(155, 112), FakeMedia::colour_of(185));
    EXPECT_EQ(program.failure_count(), 0);
}
