// The large set of pictures, for screens of twice the density: the same pictures as the small
// set at twice the coordinates, drawn at the finer pixels rather than enlarged.
#include "MediaFolder.h"
#include "common/MediaItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int sky_id = media_items::item("sky").id;
constexpr int frame_count = 12;
constexpr int strip_ids[] = {media_items::item("speaker1").id, media_items::item("speaker2").id,
                             media_items::item("speaker3").id, media_items::item("sleep1").id,
                             media_items::item("sleep2").id};

// A small picture and its large one, and the logical size the large one covers: the backdrop's
// large picture covers the top-left quarter of the small one, every other the whole.
struct Pair {
    int id;
    const Picture& small;
    const Picture& large;
    int width;
    int height;
};

Pair pair_of(int id) {
    const Picture& large = MediaFolder::instance().picture(id, 2);
    return {id, MediaFolder::instance().picture(id, 1), large, large.width / 2, large.height / 2};
}

std::vector<Pair> every_pair() {
    std::vector<Pair> pairs;
    for (const media_items::Item& item : media_items::kItems) {
        if (item.kind == media_items::Kind::Picture) {
            pairs.push_back(pair_of(item.id));
        }
    }
    return pairs;
}

double encode(double linear) {
    const double e =
        linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return 255.0 * e;
}

// A pixel as it lies over the sky: a picture with alpha blends its encoded colour by alpha.
std::array<double, 4> seen(const Picture& p, int x, int y) {
    const auto* v = p.at(x, y);
    const double a = v[3] / 255.0;
    return {v[0] * a, v[1] * a, v[2] * a, static_cast<double>(v[3])};
}

// The large picture's 2x2 block at a logical pixel, as it looks from twice as far: an opaque
// picture's light averaged, a picture with alpha averaged as it blends.
std::array<double, 4> block_average(const Picture& large, int x, int y) {
    std::array<double, 4> sum{};
    for (int d = 0; d < 4; ++d) {
        const int lx = 2 * x + d % 2;
        const int ly = 2 * y + d / 2;
        const auto s = seen(large, lx, ly);
        for (int c = 0; c < 4; ++c) {
            sum[c] += large.has_alpha || c == 3 ? s[c] : Picture::linear(large.at(lx, ly)[c]);
        }
    }
    for (int c = 0; c < 4; ++c) {
        sum[c] /= 4.0;
        if (!large.has_alpha && c < 3) {
            sum[c] = encode(sum[c]);
        }
    }
    return sum;
}

// How far the large picture, seen from twice as far, strays from the small one, in levels: over
// the whole picture, and in the worst block of 8x8 logical pixels.
struct Difference {
    double mean = 0.0;
    double worst_block = 0.0;
};

Difference difference(const Pair& pair) {
    constexpr int block = 8;
    Difference result;
    double total = 0.0;
    long values = 0;
    for (int top = 0; top < pair.height; top += block) {
        for (int left = 0; left < pair.width; left += block) {
            std::array<double, 4> block_sum{};
            int pixels = 0;
            for (int y = top; y < std::min(top + block, pair.height); ++y) {
                for (int x = left; x < std::min(left + block, pair.width); ++x) {
                    const auto small = seen(pair.small, x, y);
                    const auto large = block_average(pair.large, x, y);
                    for (int c = 0; c < 4; ++c) {
                        total += std::abs(small[c] - large[c]);
                        block_sum[c] += small[c] - large[c];
                    }
                    values += 4;
                    ++pixels;
                }
            }
            for (double sum : block_sum) {
                result.worst_block = std::max(result.worst_block, std::abs(sum) / pixels);
            }
        }
    }
    result.mean = total / static_cast<double>(values);
    return result;
}

TEST(LargeSet, ShowsTheSamePictureAsTheSmallSet) {
    // The dither alone makes a quarter of a level of difference on average. Where a shape is
    // sampled at points, the finer samples see a little more of it: at the rim of the moon's
    // halo, in the twinkling stars' cores and the sleep timer's glow, some three levels over a
    // block at most. A star, the moon or the sky's gradient out of place, or a star of the wrong
    // brightness, makes five to ten levels or more over the block it falls in.
    for (const Pair& pair : every_pair()) {
        const Difference d = difference(pair);
        EXPECT_LT(d.mean, 2.0) << "picture " << pair.id;
        EXPECT_LT(d.worst_block, 5.0) << "picture " << pair.id;
    }
}

// An enlargement of the small picture: each pixel repeated or, smoothly, interpolated between
// pixel centres. Neither may pass for the large set.
Picture enlarged(const Picture& small, bool smooth) {
    Picture p{small.width * 2, small.height * 2, small.has_alpha, {}};
    p.rgba.resize(static_cast<size_t>(p.width) * p.height * 4);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            std::uint8_t* out = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
            const double sx = std::clamp((x + 0.5) / 2 - 0.5, 0.0, small.width - 1.0);
            const double sy = std::clamp((y + 0.5) / 2 - 0.5, 0.0, small.height - 1.0);
            const int x0 = smooth ? static_cast<int>(sx) : x / 2;
            const int y0 = smooth ? static_cast<int>(sy) : y / 2;
            const int x1 = std::min(x0 + 1, small.width - 1);
            const int y1 = std::min(y0 + 1, small.height - 1);
            const double fx = smooth ? sx - x0 : 0.0;
            const double fy = smooth ? sy - y0 : 0.0;
            for (int c = 0; c < 4; ++c) {
                const double top = small.at(x0, y0)[c] * (1 - fx) + small.at(x1, y0)[c] * fx;
                const double bottom = small.at(x0, y1)[c] * (1 - fx) + small.at(x1, y1)[c] * fx;
                out[c] = static_cast<std::uint8_t>(std::lround(top * (1 - fy) + bottom * fy));
            }
        }
    }
    return p;
}

// The alpha of a picture's most opaque pixel.
int opacity(const Picture& p) {
    int most = 0;
    for (size_t i = 3; i < p.rgba.size(); i += 4) {
        most = std::max<int>(most, p.rgba[i]);
    }
    return most;
}

// Of the small picture's pixels with detail (a neighbour 8 levels or more away; with alpha, only
// where the shape covers part of the pixel), the share whose 2x2 block in the large one has one
// colour throughout.
double uniform_share(const Picture& small, const Picture& large, int width, int height) {
    const int most = opacity(small);
    long detailed = 0;
    long uniform = 0;
    for (int y = 1; y + 1 < height; ++y) {
        for (int x = 1; x + 1 < width; ++x) {
            const auto* p = small.at(x, y);
            if (small.has_alpha && (p[3] == 0 || p[3] == most)) {
                continue;
            }
            int contrast = 0;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                for (int c = 0; c < 4; ++c) {
                    contrast = std::max(contrast, std::abs(p[c] - small.at(x + dx, y + dy)[c]));
                }
            }
            if (contrast < 8) {
                continue;
            }
            ++detailed;
            const auto* first = large.at(2 * x, 2 * y);
            bool same = true;
            for (int d = 1; d < 4; ++d) {
                same = same && std::equal(first, first + 4, large.at(2 * x + d % 2, 2 * y + d / 2));
            }
            uniform += same;
        }
    }
    return static_cast<double>(uniform) / static_cast<double>(std::max(detailed, 1L));
}

// Pixels on a glyph's edge: part way between clear and the glyph's own opacity, short of any
// glow around it.
long edge_pixels(const Picture& p) {
    const int most = opacity(p);
    long count = 0;
    for (size_t i = 3; i < p.rgba.size(); i += 4) {
        count += p.rgba[i] > 0.35 * most && p.rgba[i] < 0.9 * most;
    }
    return count;
}

// Along rays out of the moon's centre across its limb, the largest step between neighbouring
// pixels as a share of the whole change across the limb; the median of the rays. A limb drawn
// at the pixels of the large picture changes mostly within one of them.
double limb_sharpness(const Picture& frame) {
    constexpr double moon_x = 755.0;
    constexpr double moon_y = 179.0;
    std::vector<double> shares;
    for (int ray = 0; ray < 72; ++ray) {
        const double angle = ray * std::numbers::pi / 36;
        std::vector<double> profile;
        for (double r = 36.0; r <= 44.0; r += 0.5) {
            profile.push_back(frame.luma(static_cast<int>(2 * (moon_x + r * std::cos(angle))),
                                         static_cast<int>(2 * (moon_y + r * std::sin(angle)))));
        }
        double largest = 0.0;
        for (size_t i = 1; i < profile.size(); ++i) {
            largest = std::max(largest, std::abs(profile[i] - profile[i - 1]));
        }
        const auto [low, high] = std::minmax_element(profile.begin(), profile.end());
        shares.push_back(largest / (*high - *low));
    }
    std::nth_element(shares.begin(), shares.begin() + 36, shares.end());
    return shares[36];
}

TEST(LargeSet, IsDrawnAtItsOwnPixelsNotEnlarged) {
    // Where the small picture has detail, the large one's 2x2 blocks are not one colour: it was
    // not made by repeating pixels.
    for (const Pair& pair : every_pair()) {
        EXPECT_LT(uniform_share(pair.small, pair.large, pair.width, pair.height), 0.1)
            << "picture " << pair.id;
    }
    // Its edges are as crisp at its pixels as the small one's: a glyph's edge is twice as long in
    // pixels and as thin; enlarged it would be twice as thick too. The moon's limb is crisp.
    for (int id : strip_ids) {
        const Pair pair = pair_of(id);
        EXPECT_LT(edge_pixels(pair.large), 3 * edge_pixels(pair.small)) << "picture " << id;
    }
    for (int i = 0; i < frame_count; ++i) {
        EXPECT_GT(limb_sharpness(pair_of(sky_id + i).large), 0.55) << "frame " << i;
    }

    // The measures tell: enlargements of the small set fail them.
    const Pair speaker = pair_of(strip_ids[2]);
    const Pair frame = pair_of(sky_id);
    for (const Pair& pair : {speaker, frame}) {
        EXPECT_GT(uniform_share(pair.small, enlarged(pair.small, false), pair.width, pair.height),
                  0.9);
    }
    EXPECT_GT(edge_pixels(enlarged(speaker.small, true)), 3 * edge_pixels(speaker.small));
    EXPECT_LT(limb_sharpness(enlarged(frame.small, true)), 0.55);
}

} // namespace
