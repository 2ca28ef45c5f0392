#include "common/MediaItems.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PixelOps.h"
#include "platform/graphics/Scale.h"
#include "platform/loop/InputEvent.h"
#include "platform/windows/Desktop.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

using platform::Image;
using platform::InputEvent;
using platform::Rect;
using platform::Scale;
using platform::Surface;
using testing_support::FakeMedia;
using testing_support::TestProgram;

namespace {

constexpr uint32_t kHalf = Surface::kFullBrightness / 2;

// Every pixel of r on the headless screen.
bool all_pixels(TestProgram& program, const Rect& r, uint32_t pixel) {
    for (int y = r.y; y < r.bottom(); ++y)
        for (int x = r.x; x < r.right(); ++x)
            if (program.backend().pixel(x, y) != pixel)
                return false;
    return true;
}

bool presented_whole_screen(TestProgram& program) {
    Rect screen = program.backend().screen().bounds();
    return program.backend().last_presented().bounds() == screen &&
           program.backend().last_presented().area() == screen.area();
}

// A point inside the dome, below the strip and clear of the moon's stars.
constexpr int kDomeX = 1920 - 1170 + 100;
constexpr int kDomeY = 300;
// A point of the bare backdrop, far from the dome and the stars.
constexpr int kSkyX = 400;
constexpr int kSkyY = 700;

uint32_t shown_frame_colour() {
    int shown = (::Window1()->count + 11) % 12;
    return FakeMedia::colour_of(media_items::kDomeFrames[static_cast<size_t>(shown)]);
}

} // namespace

TEST(Scale, RectanglesThatMeetInLogicalPixelsMeetOnTheDevice) {
    for (int n : {120, 150, 180, 210, 240}) {
        SCOPED_TRACE(n);
        Scale s = Scale::from_120ths(n);
        for (int x = -40; x < 400; ++x) {
            Rect left = s.to_device(Rect{x, x, 7, 3});
            Rect right = s.to_device(Rect{x + 7, x, 13, 3});
            ASSERT_EQ(left.right(), right.x) << x;
            ASSERT_EQ(left.w + right.w, s.to_device(Rect{x, x, 20, 3}).w) << x;
        }
        // Each device pixel goes back to the logical pixel whose device rectangle holds it, so
        // the pointer lands on what is drawn under it.
        for (int l = -40; l < 400; ++l)
            for (int d = s.to_device(l); d < s.to_device(l + 1); ++d)
                ASSERT_EQ(s.to_logical(d), l) << "device " << d;
        Rect device{13, 7, 101, 55};
        EXPECT_TRUE(s.to_device(s.to_logical_covering(device)).contains(device));
    }
    EXPECT_EQ(Scale::from_factor(1.5), Scale::from_120ths(180));
    EXPECT_TRUE(Scale::from_factor(0).is_identity());
    EXPECT_TRUE(Scale::from_120ths(-5).is_identity());
    EXPECT_EQ(Scale::from_120ths(120).picture_set(), 1);
    EXPECT_EQ(Scale::from_120ths(150).picture_set(), 2);
    EXPECT_EQ(Scale::from_120ths(240).picture_set(), 2);
}

TEST(DrawingSurface, WhatIsDrawnTakesTheSurfacesBrightness) {
    using namespace platform::PixelOps;
    Image screen(4, 1);
    Surface s = screen.surface();
    Image opaque(2, 1, 0xFFC86432u);

    draw_image(s, s.bounds(), 0, 0, opaque, {0, 0, 2, 1});
    EXPECT_EQ(screen.at(0, 0), 0xFFC86432u) << "at full brightness a copy is exact";

    s.brightness = kHalf;
    draw_image(s, s.bounds(), 0, 0, opaque, {0, 0, 2, 1});
    EXPECT_EQ(screen.at(1, 0), 0xFF643219u);

    // A row long enough to be darkened several pixels at a time, with a tail: every pixel as
    // one alone would be, alpha kept.
    Image row(11, 1);
    for (int x = 0; x < row.width(); ++x)
        row.row(0)[x] = 0xFF000000u | (0x0102FFu * static_cast<uint32_t>(x * 23 + 1));
    Image wide(11, 1);
    Surface ws = wide.surface();
    for (uint32_t level : {0u, 1u, 26u, kHalf, 255u}) {
        ws.brightness = level;
        draw_image(ws, ws.bounds(), 0, 0, row, {0, 0, 11, 1});
        for (int x = 0; x < row.width(); ++x)
            ASSERT_EQ(wide.at(x, 0), dimmed(row.at(x, 0), level)) << level << " at " << x;
    }

    // Half-covering red over black, darkened to half: a quarter of full red.
    Image translucent(1, 1, 0x80FF0000u);
    draw_image(s, s.bounds(), 2, 0, translucent, {0, 0, 1, 1});
    EXPECT_NEAR(static_cast<int>((screen.at(2, 0) >> 16) & 0xFF), 0x40, 1);
    EXPECT_EQ(screen.at(2, 0) & 0xFFFFu, 0u);

    fill(s, s.bounds(), {3, 0, 1, 1}, 0xFFFFFFFFu);
    EXPECT_EQ(screen.at(3, 0), 0xFF7F7F7Fu);

    s.brightness = 0;
    fill(s, s.bounds(), s.bounds(), 0xFFFFFFFFu);
    EXPECT_EQ(screen.at(0, 0), 0xFF000000u);
}

TEST(DrawingSurface, ABrightnessChangeRepaintsTheWholeScreenWithTheDomeOnShow) {
    TestProgram program;
    program.advance(200);
    const uint32_t sky = program.backend().pixel(kSkyX, kSkyY);
    ASSERT_EQ(program.backend().pixel(kDomeX, kDomeY), shown_frame_colour() | 0xFF000000u);

    program.runtime().desktop().set_brightness(kHalf);
    program.advance(0);
    EXPECT_TRUE(presented_whole_screen(program));
    EXPECT_EQ(program.backend().pixel(kSkyX, kSkyY),
              platform::PixelOps::dimmed(sky, kHalf) | 0xFF000000u);
    // Not the bare backdrop until the next tick: the frame on show is drawn again at once.
    EXPECT_EQ(program.backend().pixel(kDomeX, kDomeY),
              platform::PixelOps::dimmed(shown_frame_colour(), kHalf) | 0xFF000000u);

    // The dome's next frames come darkened too.
    program.advance(75);
    EXPECT_EQ(program.backend().pixel(kDomeX, kDomeY),
              platform::PixelOps::dimmed(shown_frame_colour(), kHalf) | 0xFF000000u);

    program.runtime().desktop().set_brightness(Surface::kFullBrightness);
    program.advance(0);
    EXPECT_EQ(program.backend().pixel(kSkyX, kSkyY), sky);
    EXPECT_EQ(program.backend().pixel(kDomeX, kDomeY), shown_frame_colour() | 0xFF000000u);
}

TEST(DrawingSurface, AtBrightnessZeroTheScreenIsMadeBlackOnceThenNothingIsDrawn) {
    TestProgram program;
    program.advance(200);
    const uint32_t sky = program.backend().pixel(kSkyX, kSkyY);
    platform::Desktop& desktop = program.runtime().desktop();

    desktop.set_brightness(0);
    program.advance(0);
    Rect screen = program.backend().screen().bounds();
    EXPECT_TRUE(presented_whole_screen(program));
    EXPECT_TRUE(all_pixels(program, screen, 0xFF000000u));

    // An hour of the dome, the stars and the strip's repaints: nothing reaches the screen.
    long presents = program.backend().present_count();
    program.move(300, 10);
    program.advance(3600.0 * 1000);
    EXPECT_EQ(program.backend().present_count(), presents);
    EXPECT_TRUE(all_pixels(program, screen, 0xFF000000u));

    // Lost contents are made black again, once.
    program.deliver(InputEvent(InputEvent::Type::Exposed));
    EXPECT_EQ(program.backend().present_count(), presents + 1);
    program.advance(1000);
    EXPECT_EQ(program.backend().present_count(), presents + 1);

    desktop.set_brightness(Surface::kFullBrightness);
    program.advance(0);
    EXPECT_TRUE(presented_whole_screen(program));
    EXPECT_EQ(program.backend().pixel(kSkyX, kSkyY), sky);
    EXPECT_EQ(program.backend().pixel(kDomeX, kDomeY), shown_frame_colour() | 0xFF000000u);
}

TEST(DrawingSurface, AnUnseenScreenPresentsNothingThenOneWholeRepaintAtTheFrameOfTheMoment) {
    TestProgram program;
    program.advance(200);
    platform::Desktop& desktop = program.runtime().desktop();

    desktop.set_seen(false);
    long presents = program.backend().present_count();
    int count = ::Window1()->count;
    program.advance(60 * 1000 + 30);
    EXPECT_EQ(program.backend().present_count(), presents);
    // The dome goes on counting while nobody sees it.
    EXPECT_NE(::Window1()->count, count);

    desktop.set_seen(true);
    program.advance(0);
    EXPECT_EQ(program.backend().present_count(), presents + 1);
    EXPECT_TRUE(presented_whole_screen(program));
    EXPECT_EQ(program.backend().pixel(kDomeX, kDomeY), shown_frame_colour() | 0xFF000000u);
}

TEST(DrawingSurface, EachWitnessOfTheScreenCountsAndTheScreensRestIsHeldExactlyWhileItIsDrawn) {
    TestProgram program;
    program.click_moon();
    program.advance(200);
    platform::Desktop& desktop = program.runtime().desktop();
    platform::HeadlessBackend& backend = program.backend();
    using SeenBy = platform::Desktop::SeenBy;
    auto display_says = [&](bool seen) {
        program.deliver(InputEvent(InputEvent::Type::Seen, seen ? 1 : 0));
    };
    EXPECT_TRUE(backend.is_screen_held());

    // Covered, switched off or blanked, as the display tells: nothing reaches the screen, the
    // rest is let go, and the beach goes on.
    display_says(false);
    EXPECT_FALSE(backend.is_screen_held());
    long presents = backend.present_count();
    size_t sounds = backend.sound_events().size();
    program.advance(60 * 1000);
    EXPECT_EQ(backend.present_count(), presents);
    EXPECT_GT(backend.sound_events().size(), sounds) << "the beach's cues stopped";

    // Locked while covered: uncovering it is not enough.
    desktop.set_seen(false, SeenBy::Session);
    display_says(true);
    program.advance(1000);
    EXPECT_FALSE(desktop.is_seen());
    EXPECT_EQ(backend.present_count(), presents);
    EXPECT_FALSE(backend.is_screen_held());
    desktop.set_seen(true, SeenBy::Session);
    program.advance(0);
    EXPECT_EQ(backend.present_count(), presents + 1);
    EXPECT_TRUE(presented_whole_screen(program));
    EXPECT_EQ(backend.pixel(kDomeX, kDomeY), shown_frame_colour() | 0xFF000000u);
    EXPECT_TRUE(backend.is_screen_held());

    // Black, the screen may rest whatever the display says meanwhile; brighter, it is held
    // again. Each change is told once.
    desktop.set_brightness(0);
    display_says(false);
    display_says(true);
    desktop.set_brightness(kHalf);
    desktop.set_brightness(Surface::kFullBrightness);
    EXPECT_EQ(backend.screen_holds(), (std::vector<bool>{true, false, true, false, true}));
}
