#include "common/MediaLibrary.h"
#include "platform/resources/FolderResourceFork.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/ImplicitInstance.h"
#include "platform/windows/StaticText.h"
#include "platform/windows/Timer.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"
#include "tests/support/TextPixels.h"
#include "volume/SuperSlider.h"
#include "volume/loudnessWin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using platform::Canvas;
using platform::CursorShape;
using platform::Rect;
using platform::Ref;
using platform::StaticText;
using platform::Timer;
using testing_support::FakeMedia;
using testing_support::TestProgram;

namespace {

// What the scene places by the screen's width, worked out by hand from the placement rules:
// the dome's left edge (reso), the moon's hot spot, the speaker; the volume panel lies 11 pixels
// left of the speaker.
struct Places {
    int width, height, reso, moon, speaker;
};
constexpr Places kScreens[] = {
    {945, 573, -225, 459, 898},  {1152, 864, -18, 666, 898},    {1153, 864, -17, 667, 953},
    {1170, 900, 0, 684, 970},    {800, 600, -370, 314, 769},    {7680, 4320, 6510, 7194, 7480},
    {1080, 1920, -90, 594, 898}, {1920, 1080, 750, 1434, 1720},
};

void expect_placed_for(const Places& p) {
    Ref<scene::Window1> w = Window1();
    EXPECT_EQ(w->frame(), (Rect{0, 0, p.width, p.height}));
    EXPECT_EQ(w->reso, p.reso);
    EXPECT_EQ(w->control_as<Canvas>("Canvas2")->bounds(), (Rect{p.moon, 108, 142, 142}));
    EXPECT_EQ(w->control_as<Canvas>("Canvas3")->bounds(), (Rect{p.speaker, 3, 25, 21}));
    // The strip spans the screen but for 4 pixels each side; "Quit" stretches with it but never
    // below the width it was made.
    EXPECT_EQ(w->control_as<Canvas>("Canvas1")->Width(), p.width - 8);
    EXPECT_EQ(w->control_as<StaticText>("StaticText1")->Width(), std::max(35, p.width - 910));
}

struct Scene {
    TestProgram program;
    Ref<scene::Window1> w;
    explicit Scene(int width = 1920, int height = 1080)
        : program(TestProgram::Options::screen(width, height)), w(Window1()) {}

    void click_moon() {
        int x = w->control_as<Canvas>("Canvas2")->Left() + 71;
        program.click(x, 179);
    }
    void resize(int width, int height) {
        program.backend().resize_screen(width, height);
        program.advance(0);
    }
    uint32_t pixel(int x, int y) { return program.backend().pixel(x, y); }
};

} // namespace

// Every screen-dependent place is made again at widths across the placement rules, and the
// running scene goes on untouched: the beach keeps playing, the timers keep their beat, the
// panel keeps its value and moves with the speaker.
TEST(ScreenChange, EveryPlaceFollowsTheScreenAndTheRunningSceneGoesOn) {
    Scene s;
    s.click_moon();
    s.program.advance(300);
    const size_t sound_events = s.program.backend().sound_events().size();

    for (const Places& p : kScreens) {
        const int width = p.width, height = p.height;
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        Ref<volume::loudnessWin> panel = s.program.open_volume_panel();
        auto slider = panel->control_as<volume::SuperSlider>("SuperSlider1");
        slider->value = 200;
        const size_t volume_events = s.program.backend().volume_events().size();
        int count = s.w->count;
        s.resize(width, height);
        expect_placed_for(p);
        // The panel went with the speaker; the pointer, left where it was, may have left it.
        EXPECT_EQ(panel->frame(), (Rect{p.speaker - 11, 1, 42, 180}));
        EXPECT_EQ(s.w->showing, panel->Visible());
        EXPECT_EQ(slider->value, 200);
        EXPECT_EQ(s.program.backend().volume_events().size(), volume_events);
        EXPECT_TRUE(surf()->IsPlaying());
        EXPECT_EQ(s.w->count, count);

        // The whole screen is painted again: the backdrop where it reaches, black beyond it,
        // and the frame on show at its new place.
        auto [sky_w, sky_h] = s.program.media()->size_of("bigsky");
        EXPECT_EQ(s.pixel(std::min(width, sky_w) - 1, std::min(height, sky_h) - 1),
                  FakeMedia::colour_of("bigsky"));
        if (width > sky_w) {
            EXPECT_EQ(s.pixel(width - 1, height - 1), 0xFF000000u);
        }
        uint32_t shown = FakeMedia::colour_of(media_items::kDomeFrames[(count + 11) % 12]);
        EXPECT_EQ(s.pixel(std::max(0, s.w->reso) + 600, 300), shown);
        s.program.advance(75);
        EXPECT_EQ(s.w->count, (count + 1) % 12);
        s.program.click(width / 2, height - 100);
    }
    EXPECT_EQ(s.program.backend().sound_events().size(), sound_events);
    EXPECT_EQ(Window1()->control_as<Timer>("Timer2")->Mode(), Timer::ModeMultiple);
    EXPECT_EQ(s.program.failure_count(), 0);
}

// After a change the pointer rules hold at the new places: the hand over the moon where it now
// is, the strip's labels under the pointer, and a panel opened afterwards lies under the
// speaker, whole on the screen.
TEST(ScreenChange, ThePointerFindsEverythingAtItsNewPlace) {
    Scene s;
    s.resize(1280, 720);
    s.program.move(1280 - 486 + 71, 179);
    EXPECT_EQ(s.program.backend().cursor_shape(), CursorShape::FingerPointer);
    s.program.move(1920 - 486 + 71, 179);
    EXPECT_EQ(s.program.backend().cursor_shape(), CursorShape::StandardPointer);

    s.resize(800, 600);
    s.program.move(30, 12);
    EXPECT_TRUE(s.w->control_as<StaticText>("StaticText1")->Visible());
    s.program.click(30, 12);
    EXPECT_TRUE(s.program.runtime().loop().quit_requested()) << "Quit is there to click";
}

// Started on a screen narrower than the scene was designed for, nothing the user needs is lost:
// the labels keep their width and the speaker and its panel come in to stay whole on the screen.
TEST(ScreenChange, ASmallScreenKeepsTheLabelsAndTheSpeakerWholeFromTheStart) {
    Scene s(800, 600);
    expect_placed_for(kScreens[4]);
    Ref<volume::loudnessWin> panel = s.program.open_volume_panel();
    EXPECT_TRUE(panel->Visible());
    EXPECT_EQ(panel->frame(), (Rect{800 - 42, 1, 42, 180}));
    EXPECT_EQ(s.program.failure_count(), 0);
}

// A label answers where its text is: the blank part of the stretched "Quit" label belongs to
// the strip, so a click there shows the speaker and the program goes on; the word still quits.
TEST(ScreenChange, TheQuitLabelAnswersOnlyWhereItsWordIs) {
    Scene s;
    auto quit = s.w->control_as<StaticText>("StaticText1");
    ASSERT_GT(quit->Width(), 900);
    s.program.move(600, 12);
    EXPECT_TRUE(quit->Visible());
    s.w->control_as<Canvas>("Canvas3")->SetVisible(false);
    s.program.click(600, 12);
    EXPECT_TRUE(s.program.is_running());
    EXPECT_FALSE(s.program.runtime().loop().quit_requested());
    EXPECT_TRUE(s.w->control_as<Canvas>("Canvas3")->Visible());

    s.program.click(quit->Left() + 10, 12);
    EXPECT_TRUE(s.program.runtime().loop().quit_requested());
}

// At the width the scene was made for, "Quit" and "About" answer over their whole labels, to
// their last pixel column and the last pixel of their words; stretched across a wide screen,
// "Quit" answers to the last pixel of its word.
TEST(ScreenChange, TheLabelsAnswerToTheLastPixelOfTheirWords) {
    // Where the label's word ends, and its last pixel column, on a screen of that width.
    auto ends = [](int width, const char* name) {
        Scene s(width, 573);
        s.program.move(300, 12);
        Rect r = s.w->control_as<StaticText>(name)->bounds();
        // Stretched, "Quit" reaches under "About": its word is in the part it was made with.
        Rect made{r.x, r.y, std::min(r.w, 50), r.h};
        std::optional<platform::Point> word =
            testing_support::last_text_pixel(s.program.backend(), made, {255, 255, 255});
        EXPECT_TRUE(word) << name << " at " << width;
        std::vector<platform::Point> points{word.value_or(platform::Point{})};
        if (width == 945)
            points.push_back({r.right() - 1, r.bottom() - 1});
        return points;
    };
    for (int width : {945, 1920})
        for (platform::Point p : ends(width, "StaticText1")) {
            SCOPED_TRACE(std::to_string(width) + ": Quit at " + std::to_string(p.x));
            Scene s(width, 573);
            s.program.move(300, 12);
            s.program.move(p.x, p.y);
            s.program.click(p.x, p.y);
            EXPECT_TRUE(s.program.runtime().loop().quit_requested());
        }
    for (platform::Point p : ends(945, "StaticText2")) {
        SCOPED_TRACE("About at " + std::to_string(p.x));
        Scene s(945, 573);
        s.program.move(300, 12);
        s.program.move(p.x, p.y);
        s.program.click(p.x, p.y);
        Ref<platform::Window> about = platform::RuntimeGetImplicitWindow("aboutWin.aboutWin");
        EXPECT_TRUE(about && about->Visible());
    }
}

// A backdrop read as the program reads it is decoded only as far as the screen reaches, and
// covers a larger screen when it grows, as the very same picture.
TEST(ScreenChange, TheBackdropCoversAScreenThatGrows) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("quorvane-screenchange-" + std::to_string(::getpid()));
    FakeMedia().write_folder(dir);
    {
        auto folder = platform::make_ref<platform::FolderResourceFork>(dir);
        folder->fit_to_screen({media_items::item("bigsky").id});
        TestProgram program(TestProgram::Options::screen(1280, 800), folder);
        Ref<platform::Picture> sky = bigsky();
        EXPECT_EQ(sky->Width(), 1280);
        program.backend().resize_screen(2400, 1500);
        program.advance(0);
        EXPECT_EQ(bigsky(), sky);
        EXPECT_EQ(Window1()->Backdrop(), sky);
        EXPECT_EQ(sky->Width(), 2400);
        EXPECT_EQ(sky->Height(), 1500);
        EXPECT_EQ(program.backend().pixel(2399, 1499), FakeMedia::colour_of("bigsky"));
    }
    std::filesystem::remove_all(dir);
}
