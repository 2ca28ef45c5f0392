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
constexpr int sleep_id = media_items::item("sleep1").id;
constexpr int lit_sleep_id = media_items::item("sleep2").id;
constexpr int dome_width = 1170;
constexpr int top_strip = 25;
constexpr int bigsky_width = 7680;
constexpr int bigsky_height = 4320;
// Every picture comes at the logical size and at twice it, for screens of twice the density.
constexpr int scales[] = {1, 2};

// Bit depth and colour type straight from the PNG header.
std::pair<int, int> png_format(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> head(26);
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    return {static_cast<unsigned char>(head[24]), static_cast<unsigned char>(head[25])};
}

Picture const& picture(int id, int scale = 1) {
    return MediaFolder::instance().picture(id, scale);
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
    std::vector<Expected> expected = {{star_id, 16, 16, true},
                                      {dim_star_id, 16, 16, true},
                                      {sleep_id, 25, 21, true},
                                      {lit_sleep_id, 25, 21, true}};
    for (int id : speaker_ids) {
        expected.push_back({id, 25, 21, true});
    }
    for (int i = 0; i < frame_count; ++i) {
        expected.push_back({sky_id + i, dome_width, 0, false});
    }
    const int dome_height = picture(sky_id).height;
    EXPECT_GE(dome_height, 400);
    EXPECT_LE(dome_height, 600);
    for (int scale : scales) {
        // The backdrop has the same pixels at both scales: at twice the scale it covers screens
        // of half the logical size. Every other picture is twice as wide and high.
        std::vector<Expected> at_scale = {{bigsky_id, bigsky_width, bigsky_height, false}};
        for (const auto& e : expected) {
            at_scale.push_back(
                {e.id, e.width * scale, (e.height ? e.height : dome_height) * scale, e.alpha});
        }
        for (const auto& e : at_scale) {
            SCOPED_TRACE(MediaFolder::instance().picture_path(e.id, scale));
            const auto [depth, colour_type] =
                png_format(MediaFolder::instance().picture_path(e.id, scale));
            EXPECT_EQ(depth, 8);
            EXPECT_EQ(colour_type, e.alpha ? 6 : 2);
            const Picture& p = picture(e.id, scale);
            EXPECT_EQ(p.width, e.width);
            EXPECT_EQ(p.height, e.height);
            EXPECT_EQ(p.has_alpha, e.alpha);
        }
    }
}

TEST(Pictures, DomeFramesLoopWithoutAJump) {
    for (int scale : scales) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        std::vector<double> changes;
        for (int i = 0; i < frame_count; ++i) {
            changes.push_back(mean_frame_change(picture(sky_id + i, scale),
                                                picture(sky_id + (i + 1) % frame_count, scale)));
        }
        // The frames shimmer, so each differs from the next; the wrap from the last frame to the
        // first is a step like the steps beside it, not a jump.
        EXPECT_GT(*std::min_element(changes.begin(), changes.end()), 0.0);
        const double beside = std::max(changes[frame_count - 2], changes[0]);
        EXPECT_LT(changes[frame_count - 1], 1.25 * beside);
    }
}

TEST(Pictures, MoonShinesInTheSoundHotSpot) {
    // The hot spot is laid out in logical pixels: at twice the scale the moon is at twice the
    // coordinates, so that either set of frames lies under the same hot spot.
    for (int i = 0; i < frame_count; ++i) {
        std::array<double, 2> centre_x{};
        std::array<double, 2> centre_y{};
        for (int scale : scales) {
            SCOPED_TRACE("frame " + std::to_string(i) + " at scale " + std::to_string(scale));
            const Picture& p = picture(sky_id + i, scale);
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
                    // The pixel's centre in logical pixels.
                    const double logical_x = (x + 0.5) / scale;
                    const double logical_y = (y + 0.5) / scale;
                    sum_x += logical_x;
                    sum_y += logical_y;
                    outside +=
                        logical_x < 684 || logical_x > 827 || logical_y < 108 || logical_y > 251;
                }
            }
            ASSERT_GT(bright, 3000 * scale * scale)
                << "the moon should be a disc some 80 logical pixels across";
            EXPECT_EQ(outside, 0);
            centre_x[scale - 1] = sum_x / bright;
            centre_y[scale - 1] = sum_y / bright;
            EXPECT_NEAR(centre_x[scale - 1], 755.0, 4.0);
            EXPECT_NEAR(centre_y[scale - 1], 179.0, 4.0);
        }
        // A quarter of a logical pixel is half a pixel of the large set.
        EXPECT_NEAR(centre_x[1], centre_x[0], 0.25) << "frame " << i;
        EXPECT_NEAR(centre_y[1], centre_y[0], 0.25) << "frame " << i;
    }
}

TEST(Pictures, DomeFramesMeetTheBackdropWithoutASeam) {
    for (int scale : scales) {
        const Picture& sky = picture(bigsky_id, scale);
        // Sizes in the scale's pixels.
        const int stripe = 12 * scale;
        const int step = 20 * scale;
        const int strip = top_strip * scale;
        for (int i = 0; i < frame_count; i += 5) {
            const Picture& frame = picture(sky_id + i, scale);
            for (int screen : {1170, 1280, 1600, 1920, 2560, 3840, 5120, 7680}) {
                if (screen * scale > sky.width) {
                    continue;
                }
                SCOPED_TRACE("frame " + std::to_string(i) + " at scale " + std::to_string(scale) +
                             " on a screen " + std::to_string(screen) + " wide");
                const int left = (screen - dome_width) * scale;
                // Along the left edge: the frame's first columns against the backdrop just left
                // of it.
                if (left >= stripe) {
                    for (int y = strip; y + step <= frame.height; y += step) {
                        const auto inside = sky_colour(frame, 0, y, stripe, step);
                        const auto outside = sky_colour(sky, left - stripe, y, stripe, step);
                        for (int c = 0; c < 3; ++c) {
                            ASSERT_NEAR(inside[c], outside[c], 0.5)
                                << "row " << y << " channel " << c;
                        }
                    }
                }
                // Along the bottom edge: the frame's last rows against the backdrop's rows
                // below; along the top strip's lower edge, where the backdrop is repainted over
                // the frame.
                const int width = 30 * scale;
                const int rows = 8 * scale;
                for (int x = 0; x + width <= frame.width; x += width) {
                    const auto inside = sky_colour(frame, x, frame.height - rows, width, rows);
                    const auto outside = sky_colour(sky, left + x, frame.height, width, rows);
                    const auto below_strip = sky_colour(frame, x, strip, width, rows);
                    const auto in_strip = sky_colour(sky, left + x, strip, width, rows);
                    for (int c = 0; c < 3; ++c) {
                        ASSERT_NEAR(inside[c], outside[c], 0.5)
                            << "column " << x << " channel " << c;
                        ASSERT_NEAR(below_strip[c], in_strip[c], 0.5)
                            << "column " << x << " channel " << c << " under the strip";
                    }
                }
            }
        }
    }
}

TEST(Pictures, BackdropKeepsTheDomeRowsPlain) {
    // On any screen the dome covers the backdrop's top rows somewhere, so there they must be the
    // plain gradient: every stretch of a row has the same sky colour.
    for (int scale : scales) {
        const Picture& sky = picture(bigsky_id, scale);
        const int rows = picture(sky_id, scale).height + 20 * scale;
        for (int y = 0; y < rows; y += 4) {
            const auto whole = sky_colour(sky, 0, y, sky.width, 4);
            for (int x = 0; x + 240 <= sky.width; x += 240) {
                const auto part = sky_colour(sky, x, y, 240, 4);
                for (int c = 0; c < 3; ++c) {
                    ASSERT_NEAR(part[c], whole[c], 1.0)
                        << "row " << y << " column " << x << " at scale " << scale;
                }
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
    for (int scale : scales) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        const Picture& sky = picture(bigsky_id, scale);
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
            if (height * scale <= sky.height) {
                EXPECT_GT(levels[height * scale - 1], levels[0] + 10.0) << height << " rows";
            }
        }
    }
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
                    const double v = sky.light(x, y);
                    const double around = std::max({sky.light(x - 3, y), sky.light(x + 3, y),
                                                    sky.light(x, y - 3), sky.light(x, y + 3)});
                    if (v < around + 0.004) {
                        continue;
                    }
                    bool peak = true;
                    for (int dy = -1; dy <= 1 && peak; ++dy) {
                        for (int dx = -1; dx <= 1 && peak; ++dx) {
                            const double n = sky.light(x + dx, y + dy);
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

// The light a picture with alpha lays over the sky: its colours' luminance times alpha.
double laid_light(const Picture& p) {
    double light = 0.0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            light += p.light(x, y) * p.at(x, y)[3] / 255.0;
        }
    }
    return light;
}

// Pixels closer than `edge` to the picture's sides that are not clear: a small picture lies on
// the sky without a visible square only if there are none.
int uncleared_edge_pixels(const Picture& p, int edge) {
    int count = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const bool near_side =
                x < edge || y < edge || x >= p.width - edge || y >= p.height - edge;
            count += near_side && p.at(x, y)[3] != 0;
        }
    }
    return count;
}

TEST(Pictures, TwinklingStarsLieOnTheSkyWithoutASquare) {
    const int spots[5][2] = {{150, 108}, {75, 425}, {251, 960}, {1590, 1005}, {36, 900}};
    for (int scale : scales) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        const Picture& bright = picture(star_id, scale);
        const Picture& dim = picture(dim_star_id, scale);
        EXPECT_EQ(uncleared_edge_pixels(bright, scale), 0);
        EXPECT_EQ(uncleared_edge_pixels(dim, scale), 0);
        // The middle of logical pixel (7, 7).
        const int middle = 7 * scale + scale / 2;
        EXPECT_GE(bright.at(middle, middle)[3], 230);
        EXPECT_GT(laid_light(bright), 1.5 * laid_light(dim));
        EXPECT_GT(laid_light(dim), 0.0);

        // The backdrop leaves the five places where they twinkle free of its own stars.
        const Picture& sky = picture(bigsky_id, scale);
        const int size = 16 * scale;
        for (const auto& spot : spots) {
            const int left = spot[0] * scale;
            const int top = spot[1] * scale;
            const auto around = sky_colour(sky, left - size, top, 3 * size, size);
            for (int y = top; y < top + size; ++y) {
                for (int x = left; x < left + size; ++x) {
                    for (int c = 0; c < 3; ++c) {
                        ASSERT_NEAR(sky.at(x, y)[c], around[c], 6.0) << "at " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(Pictures, SleepTimerLightsUpBesideTheSpeakers) {
    for (int scale : scales) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        const Picture& off = picture(sleep_id, scale);
        const Picture& lit = picture(lit_sleep_id, scale);
        // Clear all round, as the speakers are: on the top strip none of them shows its square.
        for (int id : {speaker_ids[0], speaker_ids[1], speaker_ids[2], sleep_id, lit_sleep_id}) {
            EXPECT_EQ(uncleared_edge_pixels(picture(id, scale), scale), 0) << "picture " << id;
        }
        EXPECT_EQ(off.height, picture(speaker_ids[0], scale).height);
        // Lit it is plainly brighter; off it is still there to be found.
        const double speaker_light = laid_light(picture(speaker_ids[1], scale));
        EXPECT_GT(laid_light(lit), 1.5 * laid_light(off));
        EXPECT_GT(laid_light(off), 0.25 * speaker_light);
    }
}

} // namespace
