#include "MediaFolder.h"
#include "common/MediaItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <numeric>
#include <vector>

namespace {

constexpr int sky_id = media_items::item("sky").id;
constexpr int frame_count = 12;
constexpr int speaker_ids[] = {media_items::item("speaker1").id, media_items::item("speaker2").id,
                               media_items::item("speaker3").id};
constexpr int bigsky_id = media_items::item("bigsky").id;
constexpr int star_id = media_items::item("star1").id;
constexpr int dim_star_id = media_items::item("star1b").id;
constexpr int dome_width = 1170;
constexpr int top_strip = 25;
constexpr int bigsky_width = 7680;
constexpr int bigsky_height = 4320;

// Bit depth and colour type straight from the PNG header.
std::pair<int, int> png_format(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> head(26);
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    return {static_cast<unsigned char>(head[24]), static_cast<unsigned char>(head[25])};
}

Picture const& picture(int id) {
    return MediaFolder::instance().picture(id);
}

// Each channel's level over a rectangle, to a fraction of a step: the mean of the middle of
// the values, so that stars do not move it but the dither's fine shades still count.
std::array<double, 3> sky_colour(const Picture& p, int left, int top, int width, int height) {
    std::array<double, 3> colour{};
    for (int c = 0; c < 3; ++c) {
        std::vector<double> values;
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) {
                values.push_back(p.at(x, y)[c]);
            }
        }
        std::sort(values.begin(), values.end());
        const size_t from = values.size() / 10;
        const size_t to = values.size() * 8 / 10;
        double sum = 0.0;
        for (size_t i = from; i < to; ++i) {
            sum += values[i];
        }
        colour[c] = sum / static_cast<double>(to - from);
    }
    return colour;
}

double mean_frame_change(const Picture& a, const Picture& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.rgba.size(); ++i) {
        sum += std::abs(static_cast<int>(a.rgba[i]) - static_cast<int>(b.rgba[i]));
    }
    return sum / static_cast<double>(a.rgba.size());
}

TEST(Pictures, EveryPictureIsAnEightBitPngOfItsShape) {
    struct Expected {
        int id;
        int width;
        int height; // 0: any height of the dome's range
        bool alpha;
    };
    std::vector<Expected> expected = {{bigsky_id, bigsky_width, bigsky_height, false},
                                      {star_id, 16, 16, true},
                                      {dim_star_id, 16, 16, true}};
    for (int id : speaker_ids) {
        expected.push_back({id, 25, 21, true});
    }
    for (int i = 0; i < frame_count; ++i) {
        expected.push_back({sky_id + i, dome_width, 0, false});
    }
    const int dome_height = picture(sky_id).height;
    EXPECT_GE(dome_height, 400);
    EXPECT_LE(dome_height, 600);
    for (const auto& e : expected) {
        SCOPED_TRACE("picture " + std::to_string(e.id));
        const auto [depth, colour_type] = png_format(MediaFolder::instance().picture_path(e.id));
        EXPECT_EQ(depth, 8);
        EXPECT_EQ(colour_type, e.alpha ? 6 : 2);
        const Picture& p = picture(e.id);
        EXPECT_EQ(p.width, e.width);
        EXPECT_EQ(p.height, e.height ? e.height : dome_height);
        EXPECT_EQ(p.has_alpha, e.alpha);
    }
}

TEST(Pictures, DomeFramesLoopWithoutAJump) {
    std::vector<double> changes;
    for (int i = 0; i < frame_count; ++i) {
        changes.push_back(
            mean_frame_change(picture(sky_id + i), picture(sky_id + (i + 1) % frame_count)));
    }
    // The frames shimmer, so each differs from the next; the wrap from the last frame to the
    // first is a step like the steps beside it, not a jump.
    EXPECT_GT(*std::min_element(changes.begin(), changes.end()), 0.0);
    const double beside = std::max(changes[frame_count - 2], changes[0]);
    EXPECT_LT(changes[frame_count - 1], 1.25 * beside);
}

TEST(Pictures, MoonShinesInTheSoundHotSpot) {
    for (int i = 0; i < frame_count; ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const Picture& p = picture(sky_id + i);
        double sum_x = 0.0;
        double sum_y = 0.0;
        int bright = 0;
        int outside = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                if (p.luma(x, y) < 170.0) {
                    continue;
                }
                ++bright;
                sum_x += x;
                sum_y += y;
                outside += x < 684 || x > 826 || y < 108 || y > 250;
            }
        }
        ASSERT_GT(bright, 3000) << "the moon should be a disc some 80 pixels across";
        EXPECT_EQ(outside, 0);
        EXPECT_NEAR(sum_x / bright, 755.0, 4.0);
        EXPECT_NEAR(sum_y / bright, 179.0, 4.0);
    }
}

TEST(Pictures, DomeFramesMeetTheBackdropWithoutASeam) {
    const Picture& sky = picture(bigsky_id);
    for (int i = 0; i < frame_count; i += 5) {
        const Picture& frame = picture(sky_id + i);
        for (int screen : {1170, 1280, 1600, 1920, 2560, 3840, 5120, 7680}) {
            SCOPED_TRACE("frame " + std::to_string(i) + " on a screen " + std::to_string(screen) +
                         " wide");
            const int left = screen - dome_width;
            // Along the left edge: the frame's first columns against the backdrop just left of it.
            if (left >= 12) {
                for (int y = top_strip; y + 20 <= frame.height; y += 20) {
                    const auto inside = sky_colour(frame, 0, y, 12, 20);
                    const auto outside = sky_colour(sky, left - 12, y, 12, 20);
                    for (int c = 0; c < 3; ++c) {
                        ASSERT_NEAR(inside[c], outside[c], 0.5) << "row " << y << " channel " << c;
                    }
                }
            }
            // Along the bottom edge: the frame's last rows against the backdrop's rows below;
            // along the top strip's lower edge, where the backdrop is repainted over the frame.
            for (int x = 0; x + 30 <= dome_width; x += 30) {
                const auto inside = sky_colour(frame, x, frame.height - 8, 30, 8);
                const auto outside = sky_colour(sky, left + x, frame.height, 30, 8);
                const auto below_strip = sky_colour(frame, x, top_strip, 30, 8);
                const auto in_strip = sky_colour(sky, left + x, top_strip, 30, 8);
                for (int c = 0; c < 3; ++c) {
                    ASSERT_NEAR(inside[c], outside[c], 0.5) << "column " << x << " channel " << c;
                    ASSERT_NEAR(below_strip[c], in_strip[c], 0.5)
                        << "column " << x << " channel " << c << " under the strip";
                }
            }
        }
    }
}

TEST(Pictures, BackdropKeepsTheDomeRowsPlain) {
    // On any screen the dome covers the backdrop's top rows somewhere, so there they must be the
    // plain gradient: every stretch of a row has the same sky colour.
    const Picture& sky = picture(bigsky_id);
    const int rows = picture(sky_id).height + 20;
    for (int y = 0; y < rows; y += 4) {
        const auto whole = sky_colour(sky, 0, y, sky.width, 4);
        for (int x = 0; x + 240 <= sky.width; x += 240) {
            const auto part = sky_colour(sky, x, y, 240, 4);
            for (int c = 0; c < 3; ++c) {
                ASSERT_NEAR(part[c], whole[c], 1.0) << "row " << y << " column " << x;
            }
        }
    }
}

// The sky level over a rectangle: the mean luma of the middle of its values, stars and dither
// aside; every other column is enough.
double sky_level(const Picture& p, int left, int top, int width, int height) {
    std::vector<double> values;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; x += 2) {
            values.push_back(p.luma(x, y));
        }
    }
    std::sort(values.begin(), values.end());
    const auto from = values.begin() + static_cast<long>(values.size() / 10);
    const auto to = values.begin() + static_cast<long>(values.size() * 8 / 10);
    return std::accumulate(from, to, 0.0) / static_cast<double>(to - from);
}

TEST(Pictures, BackdropBrightensDownEveryScreenWithoutAStep) {
    // Every screen height shows the top rows, so the sky must change smoothly all the way down:
    // no step where the picture was made in parts, nor where a 3840 x 2160 screen ends.
    const Picture& sky = picture(bigsky_id);
    std::vector<double> levels;
    for (int y = 0; y < sky.height; ++y) {
        levels.push_back(sky_level(sky, 0, y, sky.width, 1));
    }
    double largest_step = 0.0;
    for (int y = 1; y < sky.height; ++y) {
        largest_step = std::max(largest_step, std::abs(levels[y] - levels[y - 1]));
    }
    EXPECT_LT(largest_step, 0.5);
    // Brighter at the foot of each common screen than at its top.
    for (int height : {600, 768, 1080, 1440, 2160, 4320}) {
        EXPECT_GT(levels[height - 1], levels[0] + 10.0) << height << " rows";
    }
}

// Linear luminance of a pixel: the light a star adds is the same over any sky.
double light(const Picture& p, int x, int y) {
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> table{};
        for (int i = 0; i < 256; ++i) {
            const double e = i / 255.0;
            table[i] = e <= 0.04045 ? e / 12.92 : std::pow((e + 0.055) / 1.055, 2.4);
        }
        return table;
    }();
    const auto* v = p.at(x, y);
    return 0.2126 * linear[v[0]] + 0.7152 * linear[v[1]] + 0.0722 * linear[v[2]];
}

TEST(Pictures, StarsCoverTheWholeBackdrop) {
    // Each screen shows a different part, so every part has its stars: in each tile of the
    // picture the count of clear points of light is near the typical tile's.
    const Picture& sky = picture(bigsky_id);
    constexpr int tile_w = 960;
    constexpr int tile_h = 540;
    std::vector<int> counts;
    for (int top = 0; top + tile_h <= sky.height; top += tile_h) {
        for (int left = 0; left + tile_w <= sky.width; left += tile_w) {
            int count = 0;
            for (int y = top + 3; y < top + tile_h - 3; ++y) {
                for (int x = left + 3; x < left + tile_w - 3; ++x) {
                    // A peak of light well above the pixels three away on each side.
                    const double v = light(sky, x, y);
                    const double around = std::max({light(sky, x - 3, y), light(sky, x + 3, y),
                                                    light(sky, x, y - 3), light(sky, x, y + 3)});
                    if (v < around + 0.004) {
                        continue;
                    }
                    bool peak = true;
                    for (int dy = -1; dy <= 1 && peak; ++dy) {
                        for (int dx = -1; dx <= 1 && peak; ++dx) {
                            const double n = light(sky, x + dx, y + dy);
                            peak = (dx == 0 && dy == 0) || n < v ||
                                   (n == v && (dy > 0 || (dy == 0 && dx > 0)));
                        }
                    }
                    count += peak;
                }
            }
            counts.push_back(count);
        }
    }
    // The Milky Way's tiles hold many more; the others hold about as many as each other.
    std::vector<int> sorted = counts;
    std::sort(sorted.begin(), sorted.end());
    const int typical = sorted[sorted.size() / 2];
    EXPECT_GT(typical, 200);
    for (size_t i = 0; i < counts.size(); ++i) {
        EXPECT_GT(counts[i], typical * 2 / 3) << "tile " << i;
    }
}

TEST(Pictures, TwinklingStarsLieOnTheSkyWithoutASquare) {
    const Picture& bright = picture(star_id);
    const Picture& dim = picture(dim_star_id);
    double bright_light = 0.0;
    double dim_light = 0.0;
    for (const Picture* star : {&bright, &dim}) {
        double light = 0.0;
        for (int y = 0; y < star->height; ++y) {
            for (int x = 0; x < star->width; ++x) {
                const bool border =
                    x == 0 || y == 0 || x == star->width - 1 || y == star->height - 1;
                if (border) {
                    ASSERT_EQ(star->at(x, y)[3], 0) << "at " << x << "," << y;
                }
                light += star->at(x, y)[3];
            }
        }
        (star == &bright ? bright_light : dim_light) = light;
    }
    EXPECT_GE(bright.at(7, 7)[3], 230);
    EXPECT_GT(bright_light, 1.5 * dim_light);
    EXPECT_GT(dim_light, 0.0);

    // The backdrop leaves the five places where they twinkle free of its own stars.
    const Picture& sky = picture(bigsky_id);
    const int spots[5][2] = {{150, 108}, {75, 425}, {251, 960}, {1590, 1005}, {36, 900}};
    for (const auto& spot : spots) {
        const auto around = sky_colour(sky, spot[0] - 16, spot[1], 48, 16);
        for (int y = spot[1]; y < spot[1] + 16; ++y) {
            for (int x = spot[0]; x < spot[0] + 16; ++x) {
                for (int c = 0; c < 3; ++c) {
                    ASSERT_NEAR(sky.at(x, y)[c], around[c], 6.0) << "at " << x << "," << y;
                }
            }
        }
    }
}

} // namespace
