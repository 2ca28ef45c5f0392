#include "volume/SuperSlider.h"
#include "platform/base/NilObjectException.h"
#include "platform/compat/ThemeTrackDrawInfo.h"
#include "platform/graphics/Graphics.h"
#include "tests/support/SliderPanel.h"
#include "tests/support/TestProgram.h"
#include "tests/support/ThumbPixels.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

using platform::Ref;
using testing_support::SliderPanel;
using testing_support::TestProgram;
using volume::SuperSlider;

namespace {

using Reports = std::vector<SliderPanel::Report>;
using Design = std::function<void(SuperSlider&)>;

// The volume-style panel on a small headless screen, with the pointer given in the slider's own
// coordinates and delivered through the dispatcher.
struct Fixture {
    TestProgram program{{.width = 400, .height = 300, .start = false}};
    Ref<SliderPanel> panel;
    SuperSlider& s;

    explicit Fixture(Design design = {})
        : panel(SliderPanel::open(std::move(design))), s(panel->slider()) {
        program.advance(0);
    }
    void press(int x, int y) { program.press(SliderPanel::screen_x(x), SliderPanel::screen_y(y)); }
    void drag(int x, int y) { program.move(SliderPanel::screen_x(x), SliderPanel::screen_y(y)); }
    void release(int x, int y) {
        program.release(SliderPanel::screen_x(x), SliderPanel::screen_y(y));
    }
    Reports take() { return panel->take_reports(); }

    // Whether the slider is painted and presented anew after action.
    template <class Action>
    bool redraws(Action action) {
        long presents = program.backend().present_count();
        action();
        program.advance(0);
        platform::Rect slider{SliderPanel::screen_x(0), SliderPanel::screen_y(0), s.Width(),
                              s.Height()};
        return program.backend().present_count() > presents &&
               program.backend().last_presented().bounds().contains(slider);
    }

    // What the panel shows once the slider is painted anew.
    std::vector<uint32_t> shot() {
        s.Refresh(true);
        program.advance(0);
        std::vector<uint32_t> out;
        platform::Rect r = panel->frame();
        for (int y = r.y; y < r.bottom(); ++y)
            for (int x = r.x; x < r.right(); ++x)
                out.push_back(program.backend().pixel(x, y));
        return out;
    }

    // The row of the round thumb's middle, down the vertical slider's middle column.
    int thumb_row() {
        std::vector<uint32_t> column;
        for (int y = 0; y < s.Height(); ++y)
            column.push_back(
                program.backend().pixel(SliderPanel::screen_x(8), SliderPanel::screen_y(y)));
        return testing_support::thumb_middle(column).value_or(-1);
    }
};

// The value a pointer at row y gives on the panel's slider: 140 high, 15-pixel thumb, 255 at
// the top; worked out by hand.
constexpr int kTopRow = 7;      // and above: 255
constexpr int kBottomRow = 132; // and below: 0
constexpr int kRow70 = 126;     // 255 - round(63 / 125 * 255)
constexpr int kRow71 = 124;
constexpr int kRow100 = 65;

} // namespace

TEST(SuperSlider, SetValueAndReleasesReportOnlyAChangeFromTheLastReport) {
    Fixture f;
    EXPECT_EQ(f.panel->opens, 1);
    // Right after open the design value counts as reported.
    f.s.handle_mouse_up(5, 5);
    f.s.SetValue(128);
    EXPECT_EQ(f.take(), Reports{});
    // Any value is stored, out of range too, and the slider always redraws.
    EXPECT_TRUE(f.redraws([&] { f.s.SetValue(300); }));
    EXPECT_EQ(f.s.value, 300);
    EXPECT_TRUE(f.redraws([&] { f.s.SetValue(300); }));
    f.s.SetValue(-7);
    EXPECT_EQ(f.take(), (Reports{{300, 128}, {-7, 300}}));
    // A holder may also assign the value directly; the release then reports it.
    f.s.value = 40;
    f.s.handle_mouse_up(0, 0);
    EXPECT_EQ(f.take(), (Reports{{40, -7}}));
}

TEST(SuperSlider, APressMovesTheValueAtOnceAndLiveDragsReportEachNewValueOnce) {
    Fixture f;
    f.drag(8, kTopRow);
    f.press(8, kTopRow);
    EXPECT_EQ(f.s.value, 255);
    EXPECT_TRUE(f.s.ThumbPressed);
    // The holder sees the new value while prevValue still has the old one.
    EXPECT_EQ(f.take(), (Reports{{255, 128}}));
    EXPECT_EQ(f.s.prevValue, 255);

    f.drag(8, kTopRow);
    f.drag(3, kTopRow - 5);
    EXPECT_EQ(f.take(), Reports{});
    f.drag(8, 70);
    f.drag(8, 70);
    f.drag(8, 71);
    // Far outside it keeps tracking, to the end value.
    f.drag(300, 500);
    EXPECT_EQ(f.take(), (Reports{{kRow70, 255}, {kRow71, kRow70}, {0, kRow71}}));
    f.release(300, 500);
    EXPECT_EQ(f.take(), Reports{});
    EXPECT_FALSE(f.s.ThumbPressed);
    EXPECT_EQ(f.s.value, 0);
}

TEST(SuperSlider, WithoutLiveScrollTheThumbStaysAndOnlyTheReleaseReports) {
    Fixture f([](SuperSlider& s) { s.LiveScroll = false; });
    EXPECT_TRUE(f.redraws([&] { f.press(8, 30); }));
    EXPECT_EQ(f.thumb_row(), 30);
    EXPECT_FALSE(f.redraws([&] {
        f.drag(8, 70);
        f.drag(8, 100);
    }));
    EXPECT_EQ(f.thumb_row(), 30);
    EXPECT_EQ(f.take(), Reports{});
    EXPECT_EQ(f.s.value, kRow100);
    EXPECT_TRUE(f.redraws([&] { f.release(8, 100); }));
    EXPECT_EQ(f.thumb_row(), 100);
    EXPECT_EQ(f.take(), (Reports{{kRow100, 128}}));

    // A press that ends where the last report left it raises nothing.
    f.press(8, 30);
    f.drag(8, 100);
    f.release(8, 100);
    EXPECT_EQ(f.take(), Reports{});
}

TEST(SuperSlider, TheThumbIsDrawnWithItsMiddleUnderThePointer) {
    Fixture f;
    EXPECT_EQ(f.thumb_row(), 70 - 1); // 128 lies between the rows of 129 and 126
    for (int y = kTopRow; y <= kBottomRow; y += 5) {
        SCOPED_TRACE(y);
        f.press(8, y);
        f.program.advance(0);
        EXPECT_EQ(f.thumb_row(), y);
        f.release(8, y);
    }
}

TEST(SuperSlider, DraggingOutPutsTheStartValueBackOncePerStayOutside) {
    Fixture f([](SuperSlider& s) {
        s.LiveScroll = false;
        s.AbortOnDragOut = true;
    });
    f.press(8, 70);
    EXPECT_EQ(f.s.value, kRow70);
    EXPECT_EQ(f.s.startValue, 128);
    // Inside is strictly inside: the first and last pixels count, the edges beyond do not.
    for (auto [x, y] : {std::pair{1, 70}, {19, 70}, {8, 1}, {8, 139}}) {
        f.drag(x, y);
        EXPECT_TRUE(f.s.ThumbPressed);
    }
    EXPECT_EQ(f.take(), Reports{});

    for (auto [x, y] : {std::pair{0, 70}, {20, 70}, {8, 0}, {8, 140}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        f.drag(8, 70);
        EXPECT_FALSE(f.s.refreshed);
        f.drag(x, y);
        // Reported even with live reporting off and the value unchanged; prevValue stays.
        EXPECT_EQ(f.take(), (Reports{{128, 128}}));
        EXPECT_EQ(f.s.value, 128);
        EXPECT_FALSE(f.s.ThumbPressed);
        EXPECT_TRUE(f.s.refreshed);
        f.drag(x, y);
        f.drag(-40, -40);
        EXPECT_EQ(f.take(), Reports{});
    }
    f.release(-40, -40);
    EXPECT_EQ(f.take(), Reports{});

    // A later press puts the value back on its own drag out, whatever the last one left.
    f.press(8, 100);
    f.drag(30, 100);
    EXPECT_EQ(f.s.value, 128);
    EXPECT_EQ(f.take(), (Reports{{128, 128}}));
}

TEST(SuperSlider, DraggingOutWithLiveScrollReportsThePutBackValueAgainAtTheRelease) {
    Fixture f([](SuperSlider& s) { s.AbortOnDragOut = true; });
    f.press(8, 70);
    f.drag(-1, 70);
    EXPECT_EQ(f.take(), (Reports{{kRow70, 128}, {128, kRow70}}));
    EXPECT_EQ(f.s.prevValue, kRow70);
    f.release(-1, 70);
    EXPECT_EQ(f.take(), (Reports{{128, kRow70}}));
    EXPECT_EQ(f.s.prevValue, 128);
}

TEST(SuperSlider, ADisabledSliderTakesThePressButOnlyItsReleaseActs) {
    Fixture f;
    f.s.SetEnabled(false);
    f.program.advance(0);
    EXPECT_TRUE(f.s.handle_mouse_down(8, kTopRow));
    EXPECT_FALSE(f.redraws([&] {
        f.press(8, kTopRow);
        f.drag(8, 100);
    }));
    EXPECT_EQ(f.s.value, 128);
    EXPECT_FALSE(f.s.ThumbPressed);
    EXPECT_EQ(f.take(), Reports{});

    // The press was taken, so the release comes here: it clears the pressed thumb, reports a
    // difference left pending and redraws.
    f.s.value = 200;
    f.s.ThumbPressed = true;
    EXPECT_TRUE(f.redraws([&] { f.release(8, 100); }));
    EXPECT_FALSE(f.s.ThumbPressed);
    EXPECT_EQ(f.take(), (Reports{{200, 128}}));
}

TEST(SuperSlider, PositionsPastTheEndsGiveExactlyTheEndValues) {
    Fixture f;
    for (int y : {INT_MIN, -1000, -1, 0, kTopRow})
        EXPECT_EQ(f.s.GetValueFromCoords(8, y), 255) << y;
    for (int y : {kBottomRow, 139, 140, 1000, INT_MAX})
        EXPECT_EQ(f.s.GetValueFromCoords(8, y), 0) << y;
    EXPECT_EQ(f.s.GetValueFromCoords(8, kTopRow + 1), 253);
    EXPECT_EQ(f.s.GetValueFromCoords(8, kBottomRow - 1), 2);

    f.s.reverseDirection = false;
    EXPECT_EQ(f.s.GetValueFromCoords(8, 0), 0);
    EXPECT_EQ(f.s.GetValueFromCoords(8, 139), 255);
}

TEST(SuperSlider, ReversedWithANonzeroMinimumStaysInItsRange) {
    Fixture f([](SuperSlider& s) {
        s.SetBounds(0, 0, 140, 20);
        s.Minimum = 10;
        s.Maximum = 20;
        s.value = 15;
    });
    EXPECT_EQ(f.s.GetValueFromCoords(0, 10), 20);
    EXPECT_EQ(f.s.GetValueFromCoords(139, 10), 10);
    int previous = 20;
    for (int x = -20; x < 160; ++x) {
        int v = f.s.GetValueFromCoords(x, 10);
        EXPECT_GE(v, 10);
        EXPECT_LE(v, previous) << x;
        previous = v;
    }
    // Halves round away from zero: the middle, 62.5 of 125 pixels in, is 15 exactly, and
    // 69 pixels in is 15.52 reversed to 14.48.
    EXPECT_EQ(f.s.GetValueFromCoords(7 + 62, 10), 15);
    EXPECT_EQ(f.s.GetValueFromCoords(7 + 69, 10), 14);
}

TEST(SuperSlider, ASquareSliderIsDrawnHorizontalButMapsAlongItsHeight) {
    Fixture f([](SuperSlider& s) {
        s.SetBounds(13, 31, 40, 40);
        s.reverseDirection = false;
    });
    EXPECT_EQ(f.s.GetValueFromCoords(0, 39), 255);
    EXPECT_EQ(f.s.GetValueFromCoords(39, 0), 0);
    EXPECT_EQ(f.s.DrawInfo->Short(26) & platform::ThemeTrackDrawInfo::kHorizontal,
              platform::ThemeTrackDrawInfo::kHorizontal);
    f.s.SetBounds(13, 31, 41, 40);
    EXPECT_EQ(f.s.GetValueFromCoords(40, 0), 255);
}

TEST(SuperSlider, ASliderNoLongerThanItsThumbGivesItsStartValue) {
    for (int height : {15, 12, 0}) {
        SCOPED_TRACE(height);
        Fixture f([height](SuperSlider& s) {
            s.SetBounds(13, 31, 10, height);
            s.Minimum = 3;
            s.Maximum = 9;
            s.value = 5;
        });
        for (int y = -5; y < 20; ++y)
            EXPECT_EQ(f.s.GetValueFromCoords(4, y), 9);
        f.s.reverseDirection = false;
        EXPECT_EQ(f.s.GetValueFromCoords(4, 7), 3);
        // Pressing and painting such a slider works too.
        f.s.handle_mouse_down(4, 7);
        f.s.handle_mouse_up(4, 7);
        f.program.advance(0);
        EXPECT_EQ(f.take(), (Reports{{3, 5}}));
        EXPECT_EQ(f.program.failure_count(), 0);
    }
}

namespace {

// A slider whose system may be older than 10.0, and that counts how often it asks.
class AskingSlider : public SuperSlider {
public:
    bool system_ten = true;
    int asked = 0;
    bool IsOSX() override {
        ++asked;
        return system_ten;
    }
};

} // namespace

TEST(SuperSlider, EveryPaintDrawsItsOwnStateWhateverItsTrackRecordHeld) {
    Fixture f;
    const std::vector<uint32_t> idle = f.shot();
    // The record is filled anew at every paint: what it held before does not show.
    for (size_t i = 0; i < f.s.DrawInfo->Size(); ++i)
        f.s.DrawInfo->Byte(i, 0xAB);
    EXPECT_EQ(f.shot(), idle);
    // Pressed and disabled show, each in its own way, and go again.
    f.s.ThumbPressed = true;
    const std::vector<uint32_t> pressed = f.shot();
    EXPECT_NE(pressed, idle);
    f.s.ThumbPressed = false;
    f.s.SetEnabled(false);
    const std::vector<uint32_t> disabled = f.shot();
    EXPECT_NE(disabled, idle);
    EXPECT_NE(disabled, pressed);
    f.s.SetEnabled(true);
    EXPECT_EQ(f.shot(), idle);
    // Values past the ends put the thumb at the ends.
    f.s.value = 100000;
    f.shot();
    EXPECT_EQ(f.thumb_row(), kTopRow);
    f.s.value = -100000;
    f.shot();
    EXPECT_EQ(f.thumb_row(), kBottomRow);
    EXPECT_EQ(f.program.failure_count(), 0);
}

TEST(SuperSlider, TheSmallTrackIsDrawnOnlyOnSystemTenAndTheThumbStaysSmall) {
    TestProgram program({.width = 200, .height = 200, .start = false});
    platform::Graphics g(program.runtime().desktop(), {0, 0}, platform::Region());
    Ref<AskingSlider> s = platform::make_ref<AskingSlider>();
    s->SetBounds(0, 0, 20, 140);
    // Its track record is made at open.
    EXPECT_THROW(s->paint(g), platform::NilObjectException);
    s->handle_open();
    s->paint(g);
    EXPECT_EQ(s->asked, 0);
    EXPECT_EQ(s->DrawInfo->Short(0), 2);

    s->small = true;
    s->paint(g);
    EXPECT_EQ(s->DrawInfo->Short(0), 6);
    s->system_ten = false;
    s->paint(g);
    EXPECT_EQ(s->DrawInfo->Short(0), 2);
    EXPECT_EQ(s->GetThumbWidth(), 12);
    EXPECT_EQ(s->asked, 2);

    // This system reports a version past 10.0.
    EXPECT_TRUE(platform::make_ref<SuperSlider>()->IsOSX());
}

TEST(SuperSlider, TickMarksAreNeverDrawnWithARoundThumb) {
    auto pixels = [](Design design) {
        return Fixture(std::move(design)).shot();
    };
    auto ticks = [](bool round, bool ticks) {
        return [=](SuperSlider& s) {
            // Wide enough for a pointed thumb and its marks.
            s.SetBounds(6, 31, 30, 140);
            s.Round = round;
            s.TickMarks = ticks;
            s.NumTickMarks = 6;
        };
    };
    EXPECT_EQ(pixels(ticks(true, true)), pixels(ticks(true, false)));
    EXPECT_NE(pixels(ticks(false, true)), pixels(ticks(false, false)));
}
