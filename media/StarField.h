#pragma once

#include "Image.h"
#include "PixelScale.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace media {

struct Star {
    float x;
    float y;
    // Total light in linear units; the faintest stars are a few hundredths, the brightest a few.
    float flux;
    // Colour of unit luminance.
    std::array<float, 3> tint;
    // Random numbers in [0, 1) that the dome uses for each star's scintillation.
    float depth;
    float phase;
};

// A scattering of stars with a realistic spread of brightness (many faint, few bright) and
// colour (blue-white to orange), drawn as small soft points, the brightest with a glow and
// faint diffraction spikes.
class StarField {
public:
    // Places a star at each of `tries` random points, each kept with the chance
    // `acceptance(x, y)` in [0, 1]: so the stars per pixel are as many on a larger field, and
    // thinned where acceptance is low.
    StarField(std::uint64_t seed, float width, float height, int tries, float faintest,
              const std::function<float(float, float)>& acceptance);

    // Draws every star with its flux multiplied by `gain(star)`, at the scale's pixels, shifted
    // by the offset in those pixels.
    void render(Image& image, PixelScale scale, float offset_x, float offset_y,
                const std::function<float(const Star&)>& gain) const;

    // A star of a flux and a size in logical pixels at a device point: at twice the scale it
    // keeps its size and its light per logical pixel, drawn at the finer pixels.
    static void draw_star(Image& image, float x, float y, float flux,
                          const std::array<float, 3>& tint, PixelScale scale = PixelScale(1));

private:
    std::vector<Star> m_stars;
};

} // namespace media
