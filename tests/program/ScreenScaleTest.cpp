#include "about/aboutWin.h"
#include "common/MediaItems.h"
#include "common/MediaLibrary.h"
#include "platform/graphics/Scale.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/StaticText.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"
#include "volume/SuperSlider.h"
#include "volume/loudnessWin.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using platform::Canvas;
using platform::Rect;
using platform::Ref;
using platform::Scale;
using testing_support::FakeMedia;
using testing_support::TestProgram;

namespace {

// The scales a desktop commonly runs at, on a 1920x1080 logical screen.
const Scale kScales[] = {Scale::from_120ths(120), Scale::from_120ths(180), Scale::from_120ths(240)};

TestProgram::Options at(Scale scale) {
    TestProgram::Options o;
    o.scale = scale;
    return o;
}

// The colour a picture is drawn in at a scale: its own set at 1, the large set above.
uint32_t drawn_colour(std::string_view picture, Scale scale) {
    return scale.is_identity() ? FakeMedia::colour_of(picture)
                               : FakeMedia::large_colour_of(picture);
}

// The device rectangle of r is in colour throughout, and the pixels just outside it are not.
::testing::AssertionResult fills_exactly(TestProgram& program, const Rect& device,
                                         uint32_t colour) {
    auto& b = program.backend();
    for (int y = device.y; y < device.bottom(); ++y)
        for (int x = device.x; x < device.right(); ++x)
            if (b.pixel(x, y) != colour)
                return ::testing::AssertionFailure() << "not filled at " << x << "," << y;
    Rect screen = b.screen().bounds();
    const int outside[][2] = {{device.x - 1, device.y + device.h / 2},
                              {device.right(), device.y + device.h / 2},
                              {device.x + device.w / 2, device.y - 1},
                              {device.x + device.w / 2, device.bottom()}};
    for (const auto& p : outside)
        if (screen.contains(p[0], p[1]) && b.pixel(p[0], p[1]) == colour)
            return ::testing::AssertionFailure() << "spills to " << p[0] << "," << p[1];
    return ::testing::AssertionSuccess();
}

// The rows of r (device pixels) that hold a pixel brighter than the sky: a word's height.
int lit_rows(TestProgram& program, const Rect& r) {
    int rows = 0;
    for (int y = r.y; y < r.bottom(); ++y)
        for (int x = r.x; x < r.right(); ++x)
            if ((program.backend().pixel(x, y) & 0xFF) > 0x80) {
                ++rows;
                break;
            }
    return rows;
}

} // namespace

TEST(ScreenScale, EveryControlIsDrawnAtItsLogicalRectangleTimesTheScale) {
    for (Scale scale : kScales) {
        SCOPED_TRACE(scale.factor());
        TestProgram program(at(scale));
        program.advance(100);
        ASSERT_EQ(program.backend().screen().width, scale.to_device(1920));
        ASSERT_EQ(program.runtime().desktop().screen_bounds(), (Rect{0, 0, 1920, 1080}));
        // The stars, each at its own place.
        for (const char* name : {"starcan1", "starcan2", "starcan3", "starcan4", "starcan5"}) {
            Ref<Canvas> star = Window1()->control_as<Canvas>(name);
            std::string picture = star->Backdrop() == star1() ? "star1" : "star1b";
            EXPECT_TRUE(fills_exactly(program, scale.to_device(star->bounds()),
                                      drawn_colour(picture, scale)))
                << name;
        }
        // The dome, drawn straight onto the screen at the screen's width less 1170, under the
        // strip that is repainted over it.
        std::string_view frame = media_items::kDomeFrames[(Window1()->count + 11) % 12];
        EXPECT_TRUE(fills_exactly(program, scale.to_device(Rect{1920 - 1170, 25, 1170, 425}),
                                  drawn_colour(frame, scale)));
        EXPECT_EQ(program.backend().pixel(scale.to_device(1920 - 1170) - 1, 100),
                  drawn_colour("bigsky", scale));
        // The speaker in the strip, once the pointer is there.
        program.move(600, 0);
        Ref<Canvas> speaker = Window1()->control_as<Canvas>("Canvas3");
        ASSERT_TRUE(speaker->Visible());
        std::string picture = speaker->Backdrop() == speaker1()   ? "speaker1"
                              : speaker->Backdrop() == speaker2() ? "speaker2"
                                                                  : "speaker3";
        EXPECT_TRUE(fills_exactly(program, scale.to_device(speaker->bounds()),
                                  drawn_colour(picture, scale)));
    }
}

TEST(ScreenScale, LabelsAreRenderedAtTheScaledFontSize) {
    int height_at_1 = 0;
    for (Scale scale : kScales) {
        SCOPED_TRACE(scale.factor());
        TestProgram program(at(scale));
        program.move(600, 0);
        auto quit = Window1()->control_as<platform::StaticText>("StaticText1");
        ASSERT_TRUE(quit->Visible());
        Rect strip = scale.to_device(Rect{0, 0, 200, 25});
        int height = lit_rows(program, strip);
        if (scale.is_identity())
            height_at_1 = height;
        ASSERT_GT(height_at_1, 6);
        // Drawn from a font of the device's size, not enlarged: the letters are as much taller
        // as the scale, to a pixel or two of hinting.
        EXPECT_NEAR(height, height_at_1 * scale.factor(), 2.0);
    }
}

TEST(ScreenScale, APointerAtALogicalPointReachesTheSameControlAtEveryScale) {
    for (Scale scale : kScales) {
        SCOPED_TRACE(scale.factor());
        TestProgram program(at(scale));
        // The moon.
        program.click_moon();
        EXPECT_TRUE(surf()->IsPlaying());
        // The speaker in the strip opens the panel under it.
        int speaker_x = Window1()->control_as<Canvas>("Canvas3")->Left() + 12;
        program.move(speaker_x, 12);
        program.click(speaker_x, 12);
        EXPECT_TRUE(loudnessWin()->Visible());
        EXPECT_EQ(loudnessWin()->Left(), 1920 - 211);
        // The bare sky puts it away.
        program.click(400, 700);
        EXPECT_FALSE(loudnessWin()->Visible());
        // About opens the box; its names, centred in their labels by their device width, open
        // the credits page.
        program.move(90, 0);
        program.click(90, 12);
        Ref<about::aboutWin> about = ::aboutWin();
        ASSERT_TRUE(about->Visible());
        for (const char* link : {"StaticText3", "StaticText4"}) {
            Rect r = about->control_as<platform::RectControl>(link)->bounds().translated(
                about->Left(), about->Top());
            size_t before = program.backend().opened_urls().size();
            program.click(r.x + r.w / 2, r.y + r.h / 2);
            EXPECT_EQ(program.backend().opened_urls().size(), before + 1) << link;
            program.click(90, 12);
        }
    }
}

TEST(ScreenScale, ADragSetsTheSameVolumeAtEveryScale) {
    std::map<int, std::vector<int>> levels;
    for (Scale scale : kScales) {
        SCOPED_TRACE(scale.factor());
        TestProgram program(at(scale));
        int speaker_x = Window1()->control_as<Canvas>("Canvas3")->Left() + 12;
        program.move(speaker_x, 12);
        program.click(speaker_x, 12);
        Ref<volume::loudnessWin> panel = loudnessWin();
        auto& slider = *panel->control_as<volume::SuperSlider>("SuperSlider1");
        int x = panel->Left() + 13 + 10;
        auto y = [&](int along) {
            return panel->Top() + 31 + along;
        };
        program.move(x, y(70));
        program.press(x, y(70));
        std::vector<int>& seen = levels[scale.in_120ths()];
        for (int along : {60, 37, 21, 90, 133, 3}) {
            program.move(x, y(along));
            seen.push_back(slider.value);
        }
        program.release(x, y(3));
        seen.push_back(slider.value);
    }
    EXPECT_EQ(levels[180], levels[120]);
    EXPECT_EQ(levels[240], levels[120]);
}

TEST(ScreenScale, TheLargeSetIsLoadedOnceAndNeverResizedWhileDrawing) {
    for (Scale scale : kScales) {
        SCOPED_TRACE(scale.factor());
        TestProgram program(at(scale));
        program.advance(1000);
        const platform::FrameCycle& dome = *Window1()->dome;
        std::vector<int> remakes;
        for (int i = 0; i < dome.count(); ++i)
            remakes.push_back(dome.frame(i)->remakes());
        int star_remakes = star1()->remakes() + star1b()->remakes();
        // A minute of dome frames and twinkling stars, the strip shown and hidden.
        for (int i = 0; i < 20; ++i) {
            program.move(600, i % 2 ? 0 : 500);
            program.advance(3000);
        }
        for (int i = 0; i < dome.count(); ++i) {
            EXPECT_EQ(dome.frame(i)->remakes(), remakes[static_cast<size_t>(i)]) << i;
            EXPECT_EQ(dome.frame(i)->scale(), scale.is_identity() ? Scale{} : scale);
        }
        EXPECT_EQ(star1()->remakes() + star1b()->remakes(), star_remakes);
        EXPECT_LE(star_remakes, 2);
    }
}

TEST(ScreenScale, ANewScaleWhileRunningIsAScreenChange) {
    TestProgram program;
    program.advance(100);
    ASSERT_EQ(program.backend().pixel(1920 - 1170 + 5, 100),
              FakeMedia::colour_of(media_items::kDomeFrames[(Window1()->count + 11) % 12]));
    int count_before = Window1()->count;
    program.backend().set_scale(Scale::from_120ths(240));
    program.advance(0);
    Scale two = Scale::from_120ths(240);
    EXPECT_EQ(program.backend().screen().width, 3840);
    EXPECT_EQ(program.runtime().desktop().screen_bounds(), (Rect{0, 0, 1920, 1080}));
    // Laid out as before, drawn at once at the new scale from the large set.
    EXPECT_EQ(Window1()->reso, 1920 - 1170);
    EXPECT_EQ(Window1()->count, count_before);
    EXPECT_EQ(program.backend().pixel(two.to_device(1920 - 1170) + 5, 200),
              FakeMedia::large_colour_of(media_items::kDomeFrames[(Window1()->count + 11) % 12]));
    EXPECT_EQ(program.backend().pixel(two.to_device(400), two.to_device(700)),
              FakeMedia::large_colour_of("bigsky"));
    program.click_moon();
    EXPECT_TRUE(surf()->IsPlaying());
}
