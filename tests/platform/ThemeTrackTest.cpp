#include "platform/compat/ThemeTrack.h"
#include "platform/Runtime.h"
#include "platform/compat/ThemeTrackDrawInfo.h"
#include "platform/graphics/Graphics.h"
#include "tests/support/TestProgram.h"
#include "tests/support/ThumbPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using platform::Rect;
using platform::ThemeTrackDrawInfo;
using testing_support::TestProgram;
using testing_support::thumb_middle;

namespace {

using Info = ThemeTrackDrawInfo;

// A record for a control with the given frame, as a slider fills it: medium, 0 to 100, round
// thumb, idle, enabled, oriented by its proportions.
Info record(Rect frame, int value, bool reversed = false) {
    Info info{};
    info.kind = Info::kMediumSlider;
    info.top = static_cast<int16_t>(frame.y + Info::kInsetTopLeft);
    info.left = static_cast<int16_t>(frame.x + Info::kInsetTopLeft);
    info.bottom = static_cast<int16_t>(frame.bottom() - Info::kInsetBottomRight);
    info.right = static_cast<int16_t>(frame.right() - Info::kInsetBottomRight);
    info.min = 0;
    info.max = 100;
    info.value = value;
    info.attributes = Info::kShowThumb | Info::kThumbOpaque |
                      (frame.h <= frame.w ? Info::kHorizontal : 0) |
                      (reversed ? Info::kRightToLeft : 0);
    return info;
}

bool is_accent(uint32_t p) {
    int r = (p >> 16) & 0xFF, b = p & 0xFF;
    return b > 150 && b - r > 80;
}

int luminance(uint32_t p) {
    return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
}

// A black headless screen and a Graphics over all of it, with the window at the screen's
// top-left.
struct Screen {
    TestProgram program{{.width = 240, .height = 240, .start = false}};
    platform::Graphics g{
        program.runtime().desktop(), {0, 0}, platform::Region(Rect{0, 0, 240, 240})};

    Screen() { clear(); }
    void clear() {
        platform::Surface s = program.runtime().desktop().surface();
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                s.row(y)[x] = 0xFF000000u;
    }
    uint32_t at(int x, int y) { return program.backend().pixel(x, y); }
    void draw(const Info& info) {
        clear();
        platform::DrawThemeTrack(g, &info);
    }

    // The pixels along a line across the screen: a row (horizontal) or a column.
    std::vector<uint32_t> line(bool horizontal, int at_cross) {
        std::vector<uint32_t> out;
        for (int i = 0; i < 240; ++i)
            out.push_back(horizontal ? at(i, at_cross) : at(at_cross, i));
        return out;
    }
};

} // namespace

// Every place between the ends is checked through the slider (the thumb's middle under the
// pointer); here each orientation and direction at the ends, past them and in the middle.
TEST(ThemeTrack, TheThumbFollowsTheValueInEachOrientationAndDirection) {
    Screen screen;
    for (bool horizontal : {true, false})
        for (bool reversed : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "horizontal " << horizontal << " reversed " << reversed);
            Rect frame = horizontal ? Rect{20, 30, 140, 20} : Rect{30, 20, 20, 140};
            // The thumb's middle line across the track: the 15-pixel thumb is centred in the
            // 14-pixel inset bounds, one pixel before the frame's own middle.
            int cross = (horizontal ? frame.y : frame.x) + 8;
            int start = horizontal ? frame.x : frame.y;
            auto middle = [&](int value) {
                screen.draw(record(frame, value, reversed));
                return thumb_middle(screen.line(horizontal, cross));
            };
            // Minimum at the left or top end unless reversed.
            int minimum_end = reversed ? start + 132 : start + 7;
            int maximum_end = reversed ? start + 7 : start + 132;
            EXPECT_EQ(middle(0), minimum_end);
            EXPECT_EQ(middle(-20), minimum_end);
            EXPECT_EQ(middle(100), maximum_end);
            EXPECT_EQ(middle(250), maximum_end);
            EXPECT_EQ(middle(50), start + 70);
            // The accent fills the track from the minimum's end to the thumb.
            std::vector<uint32_t> line = screen.line(horizontal, cross);
            int filled_before = 0, filled_after = 0;
            for (int i = start; i < start + 140; ++i)
                if (is_accent(line[i]))
                    ++(i < start + 70 ? filled_before : filled_after);
            EXPECT_EQ(reversed ? filled_before : filled_after, 0);
            EXPECT_GT(reversed ? filled_after : filled_before, 30);
            middle(0);
            line = screen.line(horizontal, cross);
            EXPECT_EQ(std::count_if(line.begin(), line.end(), is_accent), 0);
        }
}

TEST(ThemeTrack, PressedAndDisabledThumbsLookDifferent) {
    Screen screen;
    Rect frame{20, 30, 140, 20};
    Info idle = record(frame, 50);
    Info pressed = idle;
    pressed.press_state = Info::kThumbPressed;
    Info disabled = idle;
    disabled.enable_state = Info::kDisabled;
    // The thumb's middle: darker pressed, dimmer still disabled, and a disabled track has no
    // accent colour.
    int mx = frame.x + 7 + 62, my = frame.y + 8;
    screen.draw(idle);
    int idle_face = luminance(screen.at(mx, my));
    screen.draw(pressed);
    int pressed_face = luminance(screen.at(mx, my));
    EXPECT_LT(pressed_face, idle_face - 60);
    screen.draw(disabled);
    EXPECT_LT(luminance(screen.at(mx, my)), pressed_face);
    for (uint32_t p : screen.line(true, my))
        EXPECT_FALSE(is_accent(p));
}

TEST(ThemeTrack, TickMarksAreEvenlySpacedOnTheSideThePointerPointsTo) {
    Screen screen;
    Rect frame{20, 30, 140, 30};
    Info info = record(frame, 50);
    // Where the marks start along a row: runs of lit pixels.
    auto marks = [&](int row) {
        std::vector<int> starts;
        bool lit = false;
        for (int x = 0; x < 240; ++x) {
            bool now = luminance(screen.at(x, row)) > 100;
            if (now && !lit)
                starts.push_back(x);
            lit = now;
        }
        return starts;
    };
    // Draws the marks alone; the first row that has any.
    auto draw_marks = [&](uint8_t direction, int count) {
        info.thumb_direction = direction;
        screen.clear();
        platform::DrawThemeTrackTickMarks(screen.g, &info, count);
        for (int y = 0; y < 240; ++y)
            if (!marks(y).empty())
                return y;
        return -1;
    };
    // The pointed thumb is 14 pixels: marks two pixels wide under its middle, from end to end
    // of its travel (126 pixels); below the track for a thumb that points down.
    int below = draw_marks(Info::kThumbDownward, 5);
    EXPECT_GT(below, frame.y + frame.h / 2);
    EXPECT_EQ(marks(below),
              (std::vector<int>{20 + 6, 20 + 6 + 32, 20 + 6 + 63, 20 + 6 + 95, 20 + 6 + 126}));
    int above = draw_marks(Info::kThumbUpward, 5);
    EXPECT_GT(above, frame.y);
    EXPECT_LT(above, frame.y + frame.h / 2);

    // None for a count of zero or less; a count past the thumb's positions draws each one once,
    // which makes one line.
    EXPECT_EQ(draw_marks(Info::kThumbUpward, 0), -1);
    EXPECT_EQ(draw_marks(Info::kThumbUpward, -3), -1);
    EXPECT_EQ(draw_marks(Info::kThumbUpward, 2000000000), above);
    EXPECT_EQ(marks(above), std::vector<int>{26});
}

TEST(ThemeTrack, DrawingStaysInsideTheClipAndIsPresented) {
    Screen screen;
    Rect frame{20, 30, 140, 20};
    // A window at (10, 5) on the screen, of which only the left half of the slider may be
    // drawn.
    Rect clip{30, 35, 70, 20};
    platform::Graphics g(screen.program.runtime().desktop(), {10, 5}, platform::Region(clip));
    for (int value : {0, 100}) {
        screen.clear();
        Info info = record(frame, value);
        platform::DrawThemeTrack(g, &info);
        int lit_inside = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 240; ++x) {
                bool lit = luminance(screen.at(x, y)) > 0;
                if (clip.contains(x, y)) {
                    lit_inside += lit;
                } else {
                    ASSERT_FALSE(lit) << x << "," << y;
                }
            }
        EXPECT_GT(lit_inside, 100);
    }
    screen.program.runtime().desktop().present();
    EXPECT_TRUE(screen.program.backend().last_presented().bounds().contains(clip));
}

TEST(ThemeTrack, AThumbWithNowhereToTravelSitsAtTheStart) {
    Screen screen;
    for (int length : {15, 10, 6}) {
        SCOPED_TRACE(length);
        Rect frame{20, 30, length, 20};
        Info info = record(frame, 70);
        info.attributes |= Info::kHorizontal;
        screen.draw(info);
        platform::DrawThemeTrackTickMarks(screen.g, &info, 3);
        EXPECT_EQ(thumb_middle(screen.line(true, frame.y + 8)), std::optional<int>(20 + 7));
    }
}
