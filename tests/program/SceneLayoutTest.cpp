#include "common/MediaLibrary.h"
#include "platform/windows/Canvas.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

using platform::Canvas;
using platform::RectControl;
using platform::Ref;
using testing_support::FakeMedia;
using testing_support::TestProgram;

// What is placed by the screen's width is checked with the screen changes, on a screen of each
// placement rule; the rest of the layout where it is used: the strip's labels by the pointer,
// the timers by what they do and when, the stars on the screen.
TEST(SceneLayout, TheStripHoldsItsLabelsAndSpeakerHiddenAndUnknownNamesAreNil) {
    TestProgram program(TestProgram::Options::screen(1920));
    Ref<scene::Window1> w = Window1();
    EXPECT_EQ(Window1(), w);
    auto strip = w->control_as<Canvas>("Canvas1");
    for (const char* name : {"StaticText1", "StaticText2", "Canvas3"}) {
        auto c = w->control_as<RectControl>(name);
        EXPECT_EQ(c->Parent(), strip.get()) << name;
        EXPECT_FALSE(c->Visible()) << name;
    }
    EXPECT_EQ(w->control_as<Canvas>("Canvas3")->Backdrop(), speaker2());
    EXPECT_FALSE(w->control("NoSuchControl"));
    EXPECT_THROW(w->control_as<Canvas>("NoSuchControl"), platform::NilObjectException);
}

TEST(SceneLayout, TheSkyAndItsStarsShowOnBlack) {
    TestProgram program(TestProgram::Options::screen(3000, 1800));
    platform::HeadlessBackend& b = program.backend();
    EXPECT_EQ(b.pixel(10, 1000), FakeMedia::colour_of("bigsky"));
    // Beyond the backdrop's 2560x1600: black.
    EXPECT_EQ(b.pixel(2900, 1700), 0xFF000000u);
    struct Star {
        int left, top;
        bool bright;
    };
    for (Star s : {Star{150, 108, false}, Star{75, 425, false}, Star{251, 960, true},
                   Star{1590, 1005, true}, Star{36, 900, false}}) {
        SCOPED_TRACE(s.left);
        EXPECT_EQ(b.pixel(s.left, s.top), FakeMedia::colour_of(s.bright ? "star1" : "star1b"));
        EXPECT_EQ(b.pixel(s.left + 15, s.top + 15),
                  FakeMedia::colour_of(s.bright ? "star1" : "star1b"));
        EXPECT_EQ(b.pixel(s.left + 16, s.top + 16), FakeMedia::colour_of("bigsky"));
    }
}

TEST(SceneLayout, MissingPicturesLeaveTheirPlaceEmpty) {
    auto media = platform::make_ref<FakeMedia>();
    media->remove("speaker2");
    media->remove("star1");
    TestProgram program(TestProgram::Options::screen(1920, 1080), media);
    program.move(600, 12); // the speaker shows, without its picture: the sky is seen there
    EXPECT_TRUE(Window1()->control_as<Canvas>("Canvas3")->Visible());
    EXPECT_EQ(program.backend().pixel(1725, 8), FakeMedia::colour_of("bigsky"));
    EXPECT_EQ(program.backend().pixel(255, 965), FakeMedia::colour_of("bigsky")); // starcan3
    EXPECT_EQ(program.backend().pixel(155, 112), FakeMedia::colour_of("star1b"));
    EXPECT_EQ(program.failure_count(), 0);
}

// The sleep timer's picture lies in the strip just left of the speaker, hidden with the strip,
// and clear of the speaker and both labels on every width down to 800 pixels.
TEST(SceneLayout, TheTimersPictureKeepsClearOfTheSpeakerAndTheLabels) {
    for (int width : {800, 945, 1152, 1153, 1920, 3840}) {
        SCOPED_TRACE(width);
        TestProgram program(TestProgram::Options::screen(width));
        Ref<scene::Window1> w = Window1();
        auto timer = w->control_as<Canvas>("Canvas4");
        EXPECT_EQ(timer->Parent(), w->control("Canvas1").get());
        EXPECT_FALSE(timer->Visible());
        EXPECT_EQ(timer->Width(), 25);
        EXPECT_EQ(timer->Height(), 21);
        platform::Rect at = timer->bounds();
        EXPECT_GE(at.x, 0);
        EXPECT_LE(at.x + at.w, width);
        auto speaker = w->control_as<RectControl>("Canvas3")->bounds();
        EXPECT_LT(at.x + at.w, speaker.x) << "left of the speaker, with room between";
        EXPECT_GT(at.x + at.w, speaker.x - 20) << "and beside it";
        // "About", the right one of the labels, ends 121 pixels in, whatever its locks stretch.
        EXPECT_GT(at.x, 121 + 100);
    }
}
