#include "platform/graphics/FrameCycle.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PixelOps.h"
#include "platform/graphics/Scale.h"
#include "platform/windows/Desktop.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using platform::Desktop;
using platform::FrameCycle;
using platform::Graphics;
using platform::Image;
using platform::make_ref;
using platform::Picture;
using platform::Rect;
using platform::Ref;
using platform::Region;
using platform::Scale;
using platform::Surface;
using testing_support::TestProgram;

namespace {

constexpr int kWidth = 200, kHeight = 120, kFrames = 12;
// Where the frames differ from one another: a cloud drifting across part of the sky.
constexpr Rect kMoving{10, 30, 80, 40};

// A starry noise the same in every frame, and inside kMoving a drifting blob and speckles that
// come and go, as the dome's clouds do.
Image frame_image(int k, uint32_t alpha = 0xFF000000u) {
    Image image(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        uint32_t* row = image.row(y);
        for (int x = 0; x < kWidth; ++x) {
            uint32_t p = (static_cast<uint32_t>(x * 7919 + y * 104729) * 2654435761u) >> 8;
            if (kMoving.contains(x, y)) {
                int dx = x - (kMoving.x + 12 + 5 * k), dy = y - (kMoving.y + 20);
                if (dx * dx + dy * dy < 80 || (x * 3 + y + k) % 11 == 0)
                    p = 0xC0C0E0u + static_cast<uint32_t>(k);
            }
            row[x] = alpha | (p & 0xFFFFFFu);
        }
    }
    image.update_opacity();
    return image;
}

std::vector<Ref<Picture>> frame_pictures(uint32_t alpha = 0xFF000000u) {
    std::vector<Ref<Picture>> frames;
    for (int k = 0; k < kFrames; ++k)
        frames.push_back(make_ref<Picture>(frame_image(k, alpha)));
    return frames;
}

struct Screen {
    TestProgram program;
    Desktop& desktop = program.runtime().desktop();
    Graphics whole{desktop, {0, 0}, Region(Rect{0, 0, 320, 240})};

    explicit Screen(Scale scale)
        : program({.width = 320, .height = 240, .scale = scale, .start = false}) {}
    // Draws over part of the screen as another window would.
    void fill(const Rect& r, uint32_t colour) {
        whole.SetForeColor({static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                            static_cast<uint8_t>(colour)});
        whole.FillRect(r.x, r.y, r.w, r.h);
    }
    Image shot() {
        desktop.present();
        return program.backend().screen_image();
    }
};

// Draws frame k at (x, y) through g, one way or the other.
using Draw = std::function<void(Graphics& g, int k, int x, int y)>;

// The same night of drawing, with everything that can happen to what the frames were drawn over:
// the next frames, a strip repainted across them, the same frame again, a whole repaint, a
// jump ahead, a dimmed screen, the frames moved, a window over part of them. A screenshot after
// every step.
std::vector<Image> night(Scale scale, const Draw& draw) {
    Screen s(scale);
    std::vector<Image> shots;
    Graphics clipped(s.desktop, {0, 0}, Region(Rect{0, 0, 320, 240}));
    auto step = [&](int k, int x = 30, int y = 20) {
        draw(clipped, k, x, y);
        shots.push_back(s.shot());
    };
    for (int k = 0; k < 4; ++k)
        step(k);
    s.fill({0, 20, 320, 10}, 0x203040);
    step(4);
    s.fill({100, 60, 7, 90}, 0x405060);
    step(4);
    s.desktop.invalidate_all();
    step(5);
    step(9);
    s.desktop.set_brightness(Surface::kFullBrightness / 2);
    for (int k = 10; k < 14; ++k)
        step(k);
    s.desktop.set_brightness(Surface::kFullBrightness);
    step(2, 31, 20);
    step(3, 31, 20);
    Region clip(Rect{0, 0, 320, 240});
    clip.subtract({60, 40, 50, 50});
    clipped.set_clip(clip);
    s.fill({60, 40, 50, 50}, 0x605040);
    for (int k = 4; k < 7; ++k)
        step(k, 31, 20);
    return shots;
}

void expect_same_shots(const std::vector<Image>& got, const std::vector<Image>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        long wrong = 0;
        for (int y = 0; y < want[i].height(); ++y)
            for (int x = 0; x < want[i].width(); ++x)
                wrong += got[i].at(x, y) != want[i].at(x, y);
        EXPECT_EQ(wrong, 0) << "after step " << i;
    }
}

} // namespace

TEST(FrameCycle, EveryStepShowsWhatDrawingTheWholeFrameShows) {
    for (Scale scale : {Scale{}, Scale::from_120ths(180), Scale::from_120ths(240)}) {
        SCOPED_TRACE(scale.factor());
        std::vector<Ref<Picture>> pictures = frame_pictures();
        std::vector<Image> whole = night(scale, [&](Graphics& g, int k, int x, int y) {
            g.DrawPicture(pictures[static_cast<size_t>(k % kFrames)], x, y);
        });
        Ref<FrameCycle> cycle = make_ref<FrameCycle>(frame_pictures());
        std::vector<Image> cycled =
            night(scale, [&](Graphics& g, int k, int x, int y) { g.DrawFrame(*cycle, k, x, y); });
        expect_same_shots(cycled, whole);
    }
}

TEST(FrameCycle, HoldsOneFrameAndTheChangesAndPresentsOnlyWhatChanged) {
    Screen s(Scale{});
    Ref<FrameCycle> cycle = make_ref<FrameCycle>(frame_pictures());
    const size_t frame_bytes = kWidth * kHeight * sizeof(uint32_t);
    EXPECT_GE(cycle->held_bytes(), frame_bytes * kFrames);
    s.whole.DrawFrame(*cycle, 0, 30, 20);
    s.desktop.present();
    // Twelve frames in the room of three; the pictures let theirs go.
    EXPECT_LT(cycle->held_bytes(), frame_bytes * 3);
    for (int k = 0; k < kFrames; ++k)
        EXPECT_TRUE(cycle->frame(k)->image().is_empty()) << k;

    for (int k = 1; k <= kFrames; ++k) {
        SCOPED_TRACE(k);
        s.whole.DrawFrame(*cycle, k, 30, 20);
        s.desktop.present();
        const Region& presented = s.program.backend().last_presented();
        EXPECT_TRUE(kMoving.translated(30, 20).contains(presented.bounds()));
        EXPECT_GT(presented.area(), 0);
        // Its own drawing is not taken for someone else's, to be drawn whole next time.
        EXPECT_TRUE(cycle->shown().touched.is_empty());
    }
    // What others drew over the frame is drawn again with the changes, and no more.
    const Rect strip{0, 100, 320, 4};
    s.fill(strip, 0x102030);
    s.desktop.present();
    s.whole.DrawFrame(*cycle, 1, 30, 20);
    s.desktop.present();
    const Region& presented = s.program.backend().last_presented();
    const Rect over_frame = strip.intersected({30, 20, kWidth, kHeight});
    EXPECT_TRUE(presented.bounds().contains(over_frame));
    EXPECT_LE(presented.area(), kMoving.area() + over_frame.area());
    EXPECT_EQ(s.program.backend().pixel(40, 101), frame_image(1).at(10, 81) | 0xFF000000u);

    // A frame drawn on its own makes its pixels again.
    s.whole.DrawPicture(cycle->frame(7), 0, 0);
    EXPECT_EQ(s.program.backend().pixel(kMoving.x + 12 + 35, kMoving.y + 20), 0xFFC0C0E7u);
}

TEST(FrameCycle, FramesThatAreNotAllOpaqueAndOfOneSizeAreDrawnWholeAsPictures) {
    std::vector<std::vector<Ref<Picture>>> cases;
    cases.push_back(frame_pictures(0x80000000u));
    cases.push_back(frame_pictures());
    cases.back()[5] = make_ref<Picture>(Image(kWidth, kHeight - 1));
    cases.push_back(frame_pictures());
    cases.back()[3] = nullptr;
    for (size_t c = 0; c < cases.size(); ++c) {
        SCOPED_TRACE(c);
        Screen s(Scale{});
        Ref<FrameCycle> cycle = make_ref<FrameCycle>(cases[c]);
        for (int k = 0; k < kFrames; ++k) {
            s.fill({0, 0, 320, 240}, 0x000080);
            s.whole.DrawFrame(*cycle, k, 0, 0);
            const Ref<Picture>& p = cycle->frame(k);
            if (!p) {
                EXPECT_EQ(s.program.backend().pixel(5, 5), 0xFF000080u);
                continue;
            }
            EXPECT_FALSE(p->image().is_empty());
            uint32_t want = p->image().at(5, 5);
            if (!p->image().is_opaque()) {
                want = 0xFF000080u;
                platform::PixelOps::blend(want, p->image().at(5, 5), 255);
            }
            EXPECT_EQ(s.program.backend().pixel(5, 5), want | 0xFF000000u) << k;
        }
    }
}
