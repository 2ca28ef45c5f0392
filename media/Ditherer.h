#pragma once

#include "Image.h"

#include <cstdint>
#include <vector>

namespace media {

// Turns linear light into 8-bit sRGB with a blue-noise threshold tile, so that the dark, slow
// gradients of the night sky show no bands. The tile repeats, which also lets deflate find
// long matches along rows of plain sky.
class Ditherer {
public:
    static constexpr int tile_size = 64;

    explicit Ditherer(std::uint64_t seed);

    // The image's rows are those of a larger picture from `first_row` down, so that a picture
    // encoded in bands is dithered as it would be whole.
    std::vector<std::uint8_t> encode(const Image& image, int first_row = 0) const;

    static float to_srgb(float linear);
    static float from_srgb(float encoded);

private:
    // Threshold in [0, 1) at a pixel.
    float threshold(int x, int y) const {
        return m_tile[(y % tile_size) * tile_size + x % tile_size];
    }

    std::vector<float> m_tile;
};

} // namespace media
