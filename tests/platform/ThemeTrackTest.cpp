#include "platform/ThemeTrack.h"
#include "platform/Graphics.h"
#include "platform/Runtime.h"
#include "platform/ThemeTrackDrawInfo.h"
#include "platform/TrackGeometry.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using platform::Rect;
using platform::ThemeTrackDrawInfo;
using testing_support::TestProgram;

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

bool is_thumb_grey(uint32_t p) {
    int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return r > 140 && std::abs(r - g) < 16 && std::abs(r - b) < 16;
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
        platform::Surface s = program.runtime().desktop().screen();
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

// The middle of the run of thumb pixels along a line, or nothing.
std::optional<int> thumb_middle(const std::vector<uint32_t>& line) {
    int first = -1, last = -1;
    for (int i = 0; i < static_cast<int>(line.size()); ++i)
        if (is_thumb_grey(line[i])) {
            if (first < 0)
                first = i;
            last = i;
        }
    if (first < 0)
        return std::nullopt;
    return (first + last) / 2;
}

} // namespace

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
            platform::TrackGeometry geo{140, 15, 0, 100, reversed};
            for (int value : {0, 30, 50, 100, -20, 250}) {
                SCOPED_TRACE(value);
                screen.draw(record(frame, value, reversed));
                std::optional<int> middle = thumb_middle(screen.line(horizontal, cross));
                ASSERT_TRUE(middle);
                EXPECT_EQ(*middle, start + geo.thumb_offset(value) + 7);
            }
            screen.draw(record(frame, 0, reversed));
            int at_minimum = *thumb_middle(screen.line(horizontal, cross));
            screen.draw(record(frame, 100, reversed));
            int at_maximum = *thumb_middle(screen.line(horizontal, cross));
            // Minimum at the left or top end unless reversed.
            EXPECT_EQ(at_minimum, reversed ? start + 132 : start + 7);
            EXPECT_EQ(at_maximum, reversed ? start + 7 : start + 132);
        }
}

TEST(ThemeTrack, TheFilledPartRunsFromTheMinimumsEndToTheThumb) {
    Screen screen;
    Rect frame{30, 20, 20, 140};
    for (bool reversed : {false, true}) {
        SCOPED_TRACE(reversed);
        screen.draw(record(frame, 40, reversed));
        std::vector<uint32_t> column = screen.line(false, frame.x + 8);
        int middle = *thumb_middle(column);
        int filled_before = 0, filled_after = 0;
        for (int y = frame.y; y < frame.bottom(); ++y)
            if (is_accent(column[y]))
                ++(y < middle ? filled_before : filled_after);
        EXPECT_EQ(reversed ? filled_before : filled_after, 0);
        EXPECT_GT(reversed ? filled_after : filled_before, 30);
    }
    // Nothing is filled at the minimum.
    screen.draw(record(frame, 0));
    for (uint32_t p : screen.line(false, frame.x + 8))
        EXPECT_FALSE(is_accent(p));
}

TEST(ThemeTrack, PressedAndDisabledThumbsLookDifferent) {
    Screen screen;
    Rect frame{20, 30, 140, 20};
    Info idle = record(frame, 50);
    Info pressed = idle;
    pressed.press_state = Info::kThumbPressed;
    Info disabled = idle;
    disabled.enable_state = Info::kDisabled;

    auto picture = [&](const Info& info) {
        screen.draw(info);
        std::vector<uint32_t> pixels;
        for (int y = frame.y; y < frame.bottom(); ++y)
            for (int x = frame.x; x < frame.right(); ++x)
                pixels.push_back(screen.at(x, y));
        return pixels;
    };
    std::vector<uint32_t> idle_pixels = picture(idle);
    EXPECT_NE(picture(pressed), idle_pixels);
    EXPECT_NE(picture(disabled), idle_pixels);

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

TEST(ThemeTrack, TheThumbIsHiddenOrSeeThroughAsTheAttributesSay) {
    Screen screen;
    Rect frame{20, 30, 140, 20};
    Info info = record(frame, 50);
    int mx = frame.x + 7 + 62, my = frame.y + 8;
    screen.draw(info);
    int opaque = luminance(screen.at(mx, my));
    info.attributes &= ~Info::kThumbOpaque;
    screen.draw(info);
    int ghost = luminance(screen.at(mx, my));
    EXPECT_LT(ghost, opaque - 100);
    EXPECT_GT(ghost, 100);
    info.attributes &= ~Info::kShowThumb;
    screen.draw(info);
    EXPECT_FALSE(thumb_middle(screen.line(true, my)));
}

TEST(ThemeTrack, APointedThumbPointsAsItsDirectionSays) {
    Screen screen;
    // How far the thumb reaches to each side of the groove's middle line, across the track, in
    // half pixels.
    auto reach = [&](bool horizontal, uint8_t direction) {
        Rect frame = horizontal ? Rect{20, 30, 140, 30} : Rect{30, 20, 30, 140};
        Info info = record(frame, 50);
        info.thumb_direction = direction;
        screen.draw(info);
        int along = (horizontal ? frame.x : frame.y) + 7 + 63;
        std::vector<int> thumb;
        for (int c = 0; c < 240; ++c)
            if (is_thumb_grey(horizontal ? screen.at(along, c) : screen.at(c, along)))
                thumb.push_back(c);
        // The groove's middle, measured away from the thumb; doubled to stay whole.
        std::vector<int> groove;
        int far_along = (horizontal ? frame.x : frame.y) + 30;
        for (int c = 0; c < 240; ++c)
            if (luminance(horizontal ? screen.at(far_along, c) : screen.at(c, far_along)) > 60)
                groove.push_back(c);
        int middle2 = groove.front() + groove.back();
        return std::pair{middle2 - 2 * thumb.front(), 2 * thumb.back() - middle2};
    };
    for (bool horizontal : {true, false}) {
        SCOPED_TRACE(horizontal);
        auto [up_before, up_after] = reach(horizontal, Info::kThumbUpward);
        EXPECT_GT(up_before, up_after + 8);
        auto [down_before, down_after] = reach(horizontal, Info::kThumbDownward);
        EXPECT_GT(down_after, down_before + 8);
    }
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
