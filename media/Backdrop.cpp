#include "Backdrop.h"

#include "GradientNoise.h"
#include "SceneLayout.h"
#include "SkyGradient.h"
#include "StarField.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace media {

namespace {

using namespace layout;

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// The band runs from the left edge, below the dome's rows, down to the right: out through the
// bottom edge of a 3840 x 2160 screen, through the right edge of the whole picture.
constexpr float band_start_y = 800.0f;
constexpr float band_slope = 0.42f;
const float band_norm = std::sqrt(1.0f + band_slope * band_slope);

float band_across(float x, float y) {
    return (y - band_start_y - band_slope * x) / band_norm;
}
float band_along(float x, float y) {
    return (x + band_slope * (y - band_start_y)) / band_norm;
}

// Nothing of the band may reach the rows that the dome covers on any screen width.
float band_mask(float y) {
    return smoothstep(dome_height + 40.0f, dome_height + 420.0f, y);
}

// Strength of the glow, 0 to about 1: a soft core with a wide skirt, clumped into star clouds
// and split by a dark rift.
float band_strength(const GradientNoise& noise, float x, float y) {
    const float across = band_across(x, y);
    const float along = band_along(x, y);
    const float wobble = 60.0f * noise.at(along / 700.0f, 3.5f);
    const float d = across + wobble;
    const float core = std::exp(-d * d / (2.0f * 150.0f * 150.0f));
    const float skirt = std::exp(-d * d / (2.0f * 420.0f * 420.0f));
    const float clouds = 0.5f + 0.5f * noise.fractal(x / 260.0f, y / 260.0f, 0.5f, 5, 0.55f);
    const float rift_noise = noise.fractal(along / 300.0f, across / 120.0f + 9.0f, 0.3f, 4, 0.5f);
    const float rift_d = d - 15.0f - 40.0f * rift_noise;
    const float rift = std::exp(-rift_d * rift_d / (2.0f * 28.0f * 28.0f)) *
                       smoothstep(-0.2f, 0.4f, noise.at(along / 500.0f, 8.1f));
    const float along_swell = 0.75f + 0.25f * std::sin(along / 900.0f + 1.0f);
    const float glow = (0.65f * core * (0.25f + 1.1f * clouds * clouds) + 0.35f * skirt) *
                       (1.0f - 0.45f * rift) * along_swell;
    return glow * band_mask(y);
}

bool near_twinkle_spot(float x, float y) {
    constexpr float margin = 8.0f;
    for (const auto& spot : twinkle_spots) {
        if (x > spot[0] - margin && x < spot[0] + twinkle_size + margin && y > spot[1] - margin &&
            y < spot[1] + twinkle_size + margin) {
            return true;
        }
    }
    return false;
}

// Stars per million pixels, and the points tried per million pixels for the crowd of faint
// stars in the Milky Way, of which the band's strength keeps a share.
constexpr double stars_per_megapixel = 1930.0;
constexpr double crowd_tries_per_megapixel = 9965.0;

int per_megapixel(double density) {
    return static_cast<int>(density * sky_width * sky_height / 1e6);
}

} // namespace

Backdrop::Backdrop()
    : m_noise(0x62616e64, 256),
      m_field(0x73746172, static_cast<float>(sky_width), static_cast<float>(sky_height),
              per_megapixel(stars_per_megapixel), 0.006f,
              [](float x, float y) { return near_twinkle_spot(x, y) ? 0.0f : 1.0f; }),
      // The Milky Way is made of stars: many more faint ones crowd its clouds.
      m_crowd(0x6d696c6b, static_cast<float>(sky_width), static_cast<float>(sky_height),
              per_megapixel(crowd_tries_per_megapixel), 0.005f, [this](float x, float y) {
                  return near_twinkle_spot(x, y)
                             ? 0.0f
                             : std::min(1.0f, band_strength(m_noise, x, y) * 1.4f);
              }) {
}

Image Backdrop::render(int top, PixelScale scale) const {
    const int rows = std::min(band_rows, sky_height - top);
    Image image(sky_width, rows, 3);
    const SkyGradient gradient(horizon_row);
    for (int y = 0; y < rows; ++y) {
        const auto colour = gradient.at(scale.corner(top + y));
        for (int x = 0; x < sky_width; ++x) {
            float* p = image.pixel(x, y);
            p[0] = colour[0];
            p[1] = colour[1];
            p[2] = colour[2];
        }
    }

    // The glow changes slowly, nothing of it finer than some fifteen logical pixels, so it is
    // worked out on a grid four logical pixels apart at either scale and interpolated.
    constexpr int logical_step = 4;
    static_assert(band_rows % (2 * logical_step) == 0);
    const int step = scale.pixels(logical_step);
    const int grid_w = sky_width / step + 2;
    const int grid_h = rows / step + 2;
    std::vector<float> strength(static_cast<size_t>(grid_w) * grid_h);
    std::vector<float> warmth(strength.size());
    for (int gy = 0; gy < grid_h; ++gy) {
        for (int gx = 0; gx < grid_w; ++gx) {
            const float x = scale.corner(gx * step);
            const float y = scale.corner(top + gy * step);
            const size_t i = static_cast<size_t>(gy) * grid_w + gx;
            strength[i] = band_mask(y) > 0.0f ? band_strength(m_noise, x, y) : 0.0f;
            warmth[i] = 0.5f + 0.5f * m_noise.fractal(x / 500.0f, y / 500.0f, 4.2f, 3, 0.5f);
        }
    }
    const std::array<float, 3> warm = {0.021f, 0.021f, 0.022f};
    const std::array<float, 3> cool = {0.014f, 0.019f, 0.030f};
    for (int y = 0; y < rows; ++y) {
        const int gy = y / step;
        const float fy = static_cast<float>(y % step) / step;
        for (int x = 0; x < sky_width; ++x) {
            const int gx = x / step;
            const float fx = static_cast<float>(x % step) / step;
            auto sample = [&](const std::vector<float>& grid) {
                const size_t i = static_cast<size_t>(gy) * grid_w + gx;
                const float top_edge = grid[i] + (grid[i + 1] - grid[i]) * fx;
                const float bottom_edge =
                    grid[i + grid_w] + (grid[i + grid_w + 1] - grid[i + grid_w]) * fx;
                return top_edge + (bottom_edge - top_edge) * fy;
            };
            const float s = sample(strength);
            if (s <= 0.0f) {
                continue;
            }
            const float w = sample(warmth);
            float* p = image.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                p[c] += s * (warm[c] * w + cool[c] * (1.0f - w));
            }
        }
    }

    const float offset_y = -static_cast<float>(top);
    m_field.render(image, scale, 0.0f, offset_y, [](const Star&) { return 1.0f; });
    m_crowd.render(image, scale, 0.0f, offset_y,
                   [](const Star& star) { return std::min(star.flux, 0.14f) / star.flux; });
    return image;
}

} // namespace media
