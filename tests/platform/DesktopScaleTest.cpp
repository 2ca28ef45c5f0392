#include "platform/native/DesktopScale.h"
#include "platform/graphics/Resampler.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using platform::DesktopScale;
using platform::Image;
using platform::Resampler;
using platform::Scale;

namespace {

Scale chosen(std::map<std::string, std::string> environment, const std::string& resources = "") {
    return DesktopScale::choose(
        [&](const char* name) -> const char* {
            auto it = environment.find(name);
            return it == environment.end() ? nullptr : it->second.c_str();
        },
        resources);
}

constexpr const char* kResources = "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n";

} // namespace

TEST(DesktopScale, TheResourcesDpiGivesTheScaleAndTheVariablesOverrideIt) {
    EXPECT_EQ(chosen({}), Scale{});
    EXPECT_EQ(chosen({}, "Xft.dpi: 96\n"), Scale{});
    EXPECT_EQ(chosen({}, "Xft.dpi:\t144"), Scale::from_120ths(180));
    EXPECT_EQ(chosen({}, kResources), Scale::from_120ths(240));
    EXPECT_EQ(chosen({}, "Xft.dpi: 120\n"), Scale::from_120ths(150));
    // The last line of a name counts, as in the resource database; small screens stay at 1.
    EXPECT_EQ(chosen({}, "Xft.dpi: 192\nXft.dpi: 144\n"), Scale::from_120ths(180));
    EXPECT_EQ(chosen({}, "Xft.dpi: 72\n"), Scale{});
    EXPECT_EQ(chosen({}, "Xft.dpi: 999\n"), Scale::from_120ths(480));
    EXPECT_EQ(chosen({}, "Xft.dpix: 192\nXft.dpi: lots\n"), Scale{});

    EXPECT_EQ(chosen({{"GDK_SCALE", "2"}}), Scale::from_120ths(240));
    EXPECT_EQ(chosen({{"GDK_SCALE", "1"}}, kResources), Scale{});
    EXPECT_EQ(chosen({{"QUORVANE_SCALE", "1.5"}, {"GDK_SCALE", "2"}}, kResources),
              Scale::from_120ths(180));
    EXPECT_EQ(chosen({{"QUORVANE_SCALE", ""}}, kResources), Scale::from_120ths(240));
}

TEST(DesktopScale, AVariableThatIsNoScaleIsSaidAndPassedOver) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(chosen({{"QUORVANE_SCALE", "big"}}, kResources), Scale::from_120ths(240));
    EXPECT_EQ(chosen({{"QUORVANE_SCALE", "0.5"}, {"GDK_SCALE", "2"}}), Scale::from_120ths(240));
    // GTK takes only whole factors from GDK_SCALE.
    EXPECT_EQ(chosen({{"GDK_SCALE", "1.5"}}), Scale{});
    EXPECT_EQ(chosen({{"QUORVANE_SCALE", "9"}}), Scale{});
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("QUORVANE_SCALE=big"), std::string::npos) << said;
    EXPECT_NE(said.find("QUORVANE_SCALE=0.5"), std::string::npos) << said;
    EXPECT_NE(said.find("GDK_SCALE=1.5"), std::string::npos) << said;
    ::testing::internal::CaptureStderr();
    chosen({{"QUORVANE_SCALE", "big"}});
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(Resampler, ShrinksByAveragingAndGrowsByBlendingWithoutDarkeningEdges) {
    // A fine checkerboard shrunk to half is an even grey.
    Image board(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            board.row(y)[x] = (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
    Image half = Resampler::resized(board, 2, 2);
    ASSERT_EQ(half.width(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(half.at(x, y), 0xFF808080u) << x << "," << y;
    EXPECT_TRUE(half.is_opaque());

    // Three quarters: each pixel the share of the source's area it covers.
    Image ramp(4, 1);
    for (int x = 0; x < 4; ++x)
        ramp.row(0)[x] = 0xFF000000u | static_cast<uint32_t>(x * 60);
    Image three = Resampler::resized(ramp, 3, 1);
    EXPECT_EQ(three.at(0, 0) & 0xFF, 15u);  // (0 + 60 / 3) * 3 / 4
    EXPECT_EQ(three.at(1, 0) & 0xFF, 90u);  // (60 * 2 / 3 + 120 * 2 / 3) * 3 / 4
    EXPECT_EQ(three.at(2, 0) & 0xFF, 165u); // (120 / 3 + 180) * 3 / 4

    // A white shape's edge over transparency stays white, half transparent, never grey.
    Image edge(2, 1, 0);
    edge.row(0)[1] = 0xFFFFFFFFu;
    edge.update_opacity();
    Image one = Resampler::resized(edge, 1, 1);
    EXPECT_EQ(one.at(0, 0), 0x80FFFFFFu);
    EXPECT_FALSE(one.is_opaque());

    // Grown to twice the size, the corners keep their pixels and the middle lies between.
    Image two = Resampler::resized(ramp, 8, 2);
    EXPECT_EQ(two.at(0, 0), ramp.at(0, 0));
    EXPECT_EQ(two.at(7, 1), ramp.at(3, 0));
    EXPECT_EQ(two.at(3, 0) & 0xFF, 75u); // a quarter of the way from 60 to 120
    EXPECT_TRUE(Resampler::resized(Image(), 3, 3).is_empty());
}
