#include "AppIcon.h"

#include "Ditherer.h"
#include "GradientNoise.h"
#include "Image.h"
#include "Moon.h"
#include "StarField.h"

#include <algorithm>
#include <cmath>

namespace media {

namespace {

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

std::array<float, 3> mix(const std::array<float, 3>& a, const std::array<float, 3>& b, float t) {
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

std::array<float, 3> linear(float r, float g, float b) {
    return {Ditherer::from_srgb(r / 255.0f), Ditherer::from_srgb(g / 255.0f),
            Ditherer::from_srgb(b / 255.0f)};
}

// Coverage of a square of rounded corners filling the icon, with a margin as icon themes use.
float tile_coverage(float x, float y, float size) {
    const float margin = size * 0.04f;
    const float radius = size * 0.2f;
    const float half = size / 2.0f - margin;
    const float qx = std::max(std::abs(x - size / 2.0f) - (half - radius), 0.0f);
    const float qy = std::max(std::abs(y - size / 2.0f) - (half - radius), 0.0f);
    const float outside = std::hypot(qx, qy) - radius;
    return std::clamp(0.5f - outside, 0.0f, 1.0f);
}

} // namespace

std::vector<std::uint8_t> AppIcon::render() const {
    const auto s = static_cast<float>(m_size);
    const float horizon = 0.70f * s;
    const float moon_x = 0.5f * s;
    const float moon_y = 0.36f * s;
    const float moon_r = 0.19f * s;
    const GradientNoise noise(0x69636f6e, 256);
    const auto sky_top = linear(10, 16, 44);
    const auto sky_low = linear(44, 70, 120);
    const auto sea_top = linear(14, 26, 54);
    const auto sea_low = linear(4, 8, 22);

    Image image(m_size, m_size, 4);
    for (int y = 0; y < m_size; ++y) {
        for (int x = 0; x < m_size; ++x) {
            const float fx = x + 0.5f;
            const float fy = y + 0.5f;
            float* p = image.pixel(x, y);
            const float r = std::hypot(fx - moon_x, fy - moon_y) / moon_r;
            std::array<float, 3> colour;
            if (fy < horizon) {
                colour = mix(sky_top, sky_low, std::pow(fy / horizon, 1.6f));
                const float glow =
                    0.35f * std::exp(-(r - 1.0f) * 2.2f) + 0.05f * std::exp(-r * r / 6.0f);
                for (int c = 0; c < 3; ++c) {
                    colour[c] += glow * (c == 2 ? 0.85f : 1.0f);
                }
            } else {
                const float depth = (fy - horizon) / (s - horizon);
                colour = mix(sea_top, sea_low, depth);
                // The moon's glitter path: broken horizontal flecks under the moon, widening
                // towards the viewer.
                const float across = (fx - moon_x) / (moon_r * (0.55f + 0.9f * depth));
                const float ripple = noise.at(fx / s * 4.0f, fy / s * 40.0f);
                const float glitter =
                    std::exp(-across * across * 2.0f) * smoothstep(0.0f, 0.45f, ripple);
                for (int c = 0; c < 3; ++c) {
                    colour[c] += 0.55f * glitter * (c == 2 ? 0.8f : 1.0f);
                }
            }
            p[0] = colour[0];
            p[1] = colour[1];
            p[2] = colour[2];
            p[3] = 1.0f;
        }
    }

    const float stars[][3] = {{0.17f, 0.17f, 0.9f},  {0.30f, 0.10f, 0.4f}, {0.80f, 0.15f, 1.0f},
                              {0.86f, 0.42f, 0.45f}, {0.12f, 0.47f, 0.5f}, {0.68f, 0.07f, 0.3f}};
    for (const auto& star : stars) {
        StarField::draw_star(image, star[0] * s, star[1] * s, star[2] * s / 40.0f,
                             {1.0f, 1.0f, 1.0f});
    }
    const Moon moon(moon_r);
    moon.paint(image, moon_x, moon_y, 1.15f);

    for (int y = 0; y < m_size; ++y) {
        for (int x = 0; x < m_size; ++x) {
            image.pixel(x, y)[3] = tile_coverage(x + 0.5f, y + 0.5f, s);
        }
    }
    return Ditherer(0x69636f6e).encode(image);
}

} // namespace media
