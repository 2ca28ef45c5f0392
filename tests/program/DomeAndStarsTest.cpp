#include "common/MediaLibrary.h"
#include "platform/compat/Random.h"
#include "platform/graphics/Region.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/Timer.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using platform::Canvas;
using platform::HeadlessBackend;
using platform::make_ref;
using platform::Micros;
using platform::Picture;
using platform::Rect;
using platform::Ref;
using platform::Region;
using platform::Timer;
using testing_support::FakeMedia;
using testing_support::TestProgram;

namespace {

constexpr int kDomeWidth = 1170;
constexpr int kDomeHeight = 450;
constexpr int kStripHeight = 25;
const uint32_t kSky = FakeMedia::colour_of("bigsky");

uint32_t frame_colour(int frame) {
    return FakeMedia::colour_of(media_items::kDomeFrames[static_cast<size_t>(frame)]);
}

Ref<Picture> backdrop(const char* star) {
    return Window1()->control_as<Canvas>(star)->Backdrop();
}

Ref<Timer> timer(const char* name) {
    return Window1()->control_as<Timer>(name);
}

// Runs the loop to the next timer deadline, so that a test sees the state after every action.
void step(TestProgram& program) {
    Micros next = *program.runtime().loop().next_deadline();
    program.advance(static_cast<double>(next - program.backend().now()) / 1000);
}

// How many pixels of the dome's rectangle differ from frame k, with the strip along the top
// edge showing the sky again where Canvas1 lies (4 pixels in from each side of the screen).
long dome_mismatches(HeadlessBackend& b, int reso, int frame) {
    int width = b.screen_image().width();
    long wrong = 0;
    for (int y = 0; y < kDomeHeight; ++y)
        for (int x = std::max(0, reso); x < std::min(width, reso + kDomeWidth); ++x) {
            bool in_strip = y < kStripHeight && x >= 4 && x < width - 4;
            wrong += b.pixel(x, y) != (in_strip ? kSky : frame_colour(frame));
        }
    return wrong;
}

bool covers(const Region& region, const Rect& r) {
    Region rest(r);
    for (const Rect& p : region.rects())
        rest.subtract(p);
    return rest.is_empty();
}

// The star groups' rules, by identity: starcan1 and starcan5 show the same picture and
// starcan4 the other, starcan2 and starcan3 different ones.
void expect_group_rules() {
    EXPECT_EQ(backdrop("starcan5"), backdrop("starcan1"));
    EXPECT_NE(backdrop("starcan4"), backdrop("starcan1"));
    EXPECT_NE(backdrop("starcan3"), backdrop("starcan2"));
}

} // namespace

// Frame k, whole, after tick k + 1, and the count wrapping at 12; on a screen narrower than the
// dome the frame starts left of the edge.
TEST(DomeAnimation, EachTickLeavesTheNextFrameUnderTheRepaintedStrip) {
    for (int width : {945, 1169, 1920}) {
        SCOPED_TRACE(width);
        TestProgram program(TestProgram::Options::screen(width, 700));
        Ref<scene::Window1> w = Window1();
        // On narrow screens the frame covers starcan1 and starcan2, whose flips would repaint
        // them over it.
        timer("timerxstars1")->SetMode(Timer::ModeOff);
        timer("timerxstars2")->SetMode(Timer::ModeOff);
        HeadlessBackend& b = program.backend();
        EXPECT_EQ(w->reso, width - kDomeWidth);
        for (int tick = 0; tick < 25; ++tick) {
            SCOPED_TRACE(tick);
            program.advance(75);
            ASSERT_EQ(dome_mismatches(b, w->reso, tick % 12), 0);
            EXPECT_EQ(w->count, (tick + 1) % 12);
            // Nothing below the frame is drawn; the screen's last 4 columns lie outside the
            // strip, so the frame stays there.
            EXPECT_EQ(b.pixel(w->reso + 600, kDomeHeight), kSky);
            EXPECT_EQ(b.pixel(width - 3, 3), frame_colour(tick % 12));
        }
        if (w->reso > 0) {
            EXPECT_EQ(b.pixel(w->reso - 1, 200), kSky);
        }
        // The frame is not kept: a repaint of the window shows the sky until the next tick.
        program.runtime().desktop().invalidate_all();
        program.advance(0);
        EXPECT_EQ(b.pixel(width - 100, 200), kSky);
        program.advance(75);
        EXPECT_EQ(b.pixel(width - 100, 200), frame_colour(1));
        EXPECT_EQ(program.failure_count(), 0);
    }
}

TEST(DomeAnimation, OnlyTheFrameAndTheStripArePresented) {
    long long per_tick[2] = {0, 0};
    int sizes[2][2] = {{1920, 1080}, {3840, 2160}};
    for (int i = 0; i < 2; ++i) {
        auto [width, height] = sizes[i];
        SCOPED_TRACE(width);
        TestProgram program(TestProgram::Options::screen(width, height));
        Ref<scene::Window1> w = Window1();
        // The stars would add their own small rectangles.
        timer("timerxstars1")->SetMode(Timer::ModeOff);
        timer("timerxstars2")->SetMode(Timer::ModeOff);
        HeadlessBackend& b = program.backend();
        Rect dome{w->reso, 0, kDomeWidth, kDomeHeight};
        Rect strip{4, 0, width - 8, kStripHeight};
        long long changed = dome.area() + strip.area() - dome.intersected(strip).area();
        program.advance(150);
        for (int tick = 0; tick < 24; ++tick) {
            long long before = b.presented_pixels();
            long presents = b.present_count();
            program.advance(75);
            EXPECT_EQ(b.present_count(), presents + 1);
            long long presented = b.presented_pixels() - before;
            EXPECT_TRUE(covers(b.last_presented(), dome));
            EXPECT_TRUE(covers(b.last_presented(), strip));
            // A little more may go when rectangles are merged, never the screen.
            EXPECT_GE(presented, changed);
            EXPECT_LE(presented, changed * 5 / 4);
            per_tick[i] = presented;
        }
    }
    // Four times the screen, about the same pixels: the frame and a strip that is longer.
    EXPECT_LT(per_tick[1], per_tick[0] * 5 / 4);
}

TEST(TwinklingStars, GroupRulesHoldAfterEveryTickOfALongRun) {
    for (uint64_t seed : {1u, 77u, 2024u}) {
        SCOPED_TRACE(seed);
        TestProgram program;
        Ref<scene::Window1> w = Window1();
        w->r = make_ref<platform::Random>(seed);
        HeadlessBackend& b = program.backend();
        // Each group's flips, and the period its timer drew at the previous one.
        struct Group {
            const char* first_star;
            const char* timer;
            Ref<Picture> shown;
            Micros last_flip = 0;
            int period = 0;
            int flips = 0;
        } groups[2] = {{"starcan1", "timerxstars1", backdrop("starcan1"), 0, 250},
                       {"starcan2", "timerxstars2", backdrop("starcan2"), 0, 1000}};
        while (b.now() < 120'000'000 && !testing::Test::HasFailure()) {
            step(program);
            expect_group_rules();
            for (Group& g : groups) {
                if (backdrop(g.first_star) == g.shown)
                    continue;
                EXPECT_EQ(b.now() - g.last_flip, Micros{g.period} * 1000) << g.timer;
                g.shown = backdrop(g.first_star);
                g.last_flip = b.now();
                g.period = timer(g.timer)->Period();
                ++g.flips;
            }
            // Each star shows one of the two pictures, on the screen.
            for (const char* star : {"starcan1", "starcan2", "starcan3", "starcan4", "starcan5"}) {
                Ref<Canvas> c = w->control_as<Canvas>(star);
                uint32_t expected =
                    FakeMedia::colour_of(c->Backdrop() == star1() ? "star1" : "star1b");
                EXPECT_EQ(b.pixel(c->Left() + 8, c->Top() + 8), expected) << star;
            }
        }
        // About 400 and 530 flips on average.
        EXPECT_GT(groups[0].flips, 250);
        EXPECT_GT(groups[1].flips, 350);
        EXPECT_EQ(program.failure_count(), 0);
    }
}

TEST(TwinklingStars, DrawnPeriodsStayInTheirRangesAndReachBothEnds) {
    TestProgram program;
    Ref<scene::Window1> w = Window1();
    std::set<int> drawn1, drawn2;
    for (int i = 0; i < 6000; ++i) {
        w->timerxstars1_Action();
        w->timerxstars2_Action();
        drawn1.insert(timer("timerxstars1")->Period());
        drawn2.insert(timer("timerxstars2")->Period());
    }
    EXPECT_EQ(std::pair(*drawn1.begin(), *drawn1.rbegin()), std::pair(100, 500));
    EXPECT_EQ(std::pair(*drawn2.begin(), *drawn2.rbegin()), std::pair(50, 400));
}

TEST(TwinklingStars, IdentityNotContentDecides) {
    TestProgram program;
    Ref<scene::Window1> w = Window1();
    Ref<Picture> lookalike = make_ref<Picture>(star1b()->image());
    w->control_as<Canvas>("starcan1")->SetBackdrop(lookalike);
    w->control_as<Canvas>("starcan2")->SetBackdrop(lookalike);
    program.advance(250);
    EXPECT_EQ(backdrop("starcan1"), star1b());
    EXPECT_EQ(backdrop("starcan5"), star1b());
    EXPECT_EQ(backdrop("starcan4"), star1());
    program.advance(750);
    EXPECT_EQ(backdrop("starcan2"), star1b());
    EXPECT_EQ(backdrop("starcan3"), star1());
}

TEST(TwinklingStars, WithoutTheirPicturesTheStarsStillAlternate) {
    auto media = make_ref<FakeMedia>();
    media->remove("star1b");
    TestProgram program(TestProgram::Options::screen(1920, 1080), media);
    EXPECT_FALSE(backdrop("starcan1"));
    program.advance(250);
    // A nil backdrop is the same object as a nil star1b.
    EXPECT_EQ(backdrop("starcan1"), star1());
    EXPECT_FALSE(backdrop("starcan4"));
    EXPECT_EQ(backdrop("starcan5"), star1());
    // Where a star has no picture the sky shows.
    EXPECT_EQ(program.backend().pixel(1598, 1013), kSky);
    program.advance(timer("timerxstars1")->Period());
    EXPECT_FALSE(backdrop("starcan1"));
    EXPECT_FALSE(backdrop("starcan5"));
    EXPECT_EQ(backdrop("starcan4"), star1());
    EXPECT_EQ(program.failure_count(), 0);
}

TEST(SceneFailures, AMissingDomeFrameIsSkippedAndTheCountGoesOn) {
    auto media = make_ref<FakeMedia>();
    media->remove("sky2");
    TestProgram program(TestProgram::Options::screen(1920, 1080), media);
    Ref<scene::Window1> w = Window1();
    program.advance(150);
    program.advance(75);
    EXPECT_EQ(w->count, 3);
    EXPECT_EQ(dome_mismatches(program.backend(), w->reso, 1), 0);
    program.advance(75);
    EXPECT_EQ(dome_mismatches(program.backend(), w->reso, 3), 0);
    EXPECT_EQ(program.failure_count(), 0);
}

TEST(SceneFailures, AFailingTickIsReportedAndTheLoopGoesOn) {
    {
        SCOPED_TRACE("Canvas1 missing: the frame is drawn and counted first");
        TestProgram program;
        Ref<scene::Window1> w = Window1();
        w->remove_control("Canvas1");
        program.advance(75);
        EXPECT_EQ(w->count, 1);
        // Nothing repaints the strip over the frame.
        EXPECT_EQ(program.backend().pixel(w->reso + 100, 5), frame_colour(0));
        EXPECT_EQ(program.failure_count(), 1);
        EXPECT_NE(program.reports().find("Window1.Timer1_Action"), std::string::npos);
        program.advance(75 * 12);
        EXPECT_EQ(w->count, 1);
        EXPECT_EQ(program.failure_count(), 13);
        EXPECT_TRUE(program.is_running());
    }
    {
        SCOPED_TRACE("starcan5 missing: each branch sets the stars before it, the period stays");
        TestProgram program;
        Window1()->remove_control("starcan5");
        program.advance(250);
        EXPECT_EQ(backdrop("starcan1"), star1());
        EXPECT_EQ(backdrop("starcan4"), star1b());
        EXPECT_EQ(timer("timerxstars1")->Period(), 250);
        // The other branch sets starcan5 before starcan4.
        program.advance(250);
        EXPECT_EQ(backdrop("starcan1"), star1b());
        EXPECT_EQ(backdrop("starcan4"), star1b());
        EXPECT_EQ(program.failure_count(), 2);
    }
    {
        SCOPED_TRACE("starcan3 missing: starcan2 is set first, the period stays");
        TestProgram program;
        Window1()->remove_control("starcan3");
        program.advance(1000);
        EXPECT_EQ(backdrop("starcan2"), star1());
        EXPECT_EQ(timer("timerxstars2")->Period(), 1000);
        program.advance(1000);
        EXPECT_EQ(backdrop("starcan2"), star1b());
    }
    {
        SCOPED_TRACE("r nil: the stars swap, the periods stay");
        TestProgram program;
        Ref<scene::Window1> w = Window1();
        w->r = nullptr;
        program.advance(1000);
        EXPECT_EQ(backdrop("starcan2"), star1());
        EXPECT_EQ(backdrop("starcan3"), star1b());
        EXPECT_EQ(timer("timerxstars1")->Period(), 250);
        EXPECT_EQ(timer("timerxstars2")->Period(), 1000);
        // Four ticks of the first group, one of the second.
        EXPECT_EQ(program.failure_count(), 5);
        EXPECT_EQ(backdrop("starcan1"), star1b());
        // The dome goes on.
        EXPECT_EQ(w->count, 1000 / 75 % 12);
    }
}
