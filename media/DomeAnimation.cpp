#include "DomeAnimation.h"

#include "Moon.h"
#include "SceneLayout.h"
#include "SkyGradient.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace media {

namespace {

using namespace layout;

constexpr float two_pi = 2.0f * std::numbers::pi_v<float>;

// Lattice cells of noise that the haze's stirring passes through in one loop. One is too few:
// Perlin noise then only wobbles and returns to the same field halfway round.
constexpr int haze_cycle = 2;

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float distance_to_moon(float x, float y) {
    return std::hypot(x - moon_x, y - moon_y);
}

// Moonlight scattered by the air: a bright aureole at the limb, a wider corona, a broad
// glow, and a faint 22-degree ice halo, reddish inside.
std::array<float, 3> halo(float r, float breath) {
    const float limb = std::max(r - moon_radius, 0.0f);
    // Over the disc itself the scattered light would only wash out the maria.
    const float on_disc = r < moon_radius ? 0.25f : 1.0f;
    const float aureole = 0.16f * breath * on_disc * std::exp(-limb / 7.0f);
    const float corona = 0.05f * breath * on_disc * std::exp(-limb / 30.0f);
    const float broad = 0.016f * std::exp(-(r * r) / (150.0f * 150.0f));
    std::array<float, 3> light{};
    const std::array<float, 3> warm = {1.0f, 0.93f, 0.80f};
    const std::array<float, 3> cool = {0.80f, 0.88f, 1.0f};
    const std::array<float, 3> ring_radius = {114.0f, 117.0f, 120.0f};
    for (int c = 0; c < 3; ++c) {
        const float ring_d = (r - ring_radius[c]) / 5.0f;
        const float ring = 0.0035f * breath * std::exp(-ring_d * ring_d);
        light[c] = (aureole + corona) * warm[c] + broad * cool[c] + ring;
    }
    return light;
}

} // namespace

DomeAnimation::DomeAnimation(PixelScale scale)
    : m_scale(scale),
      m_stars(0x646f6d65, static_cast<float>(dome_width), static_cast<float>(dome_height), 780,
              0.006f, [](float, float) { return 1.0f; }),
      m_moon(scale.pixels(static_cast<int>(2 * moon_radius + 4)),
             scale.pixels(static_cast<int>(2 * moon_radius + 4)), 4),
      m_moon_left(scale.pixels(static_cast<int>(moon_x - moon_radius - 2))),
      m_moon_top(scale.pixels(static_cast<int>(moon_y - moon_radius - 2))),
      m_haze_noise(0x68617a65, haze_cycle),
      m_haze(static_cast<size_t>(width()) * static_cast<size_t>(height()), 0.0f) {
    const Moon moon(scale.to_device(moon_radius));
    moon.paint(m_moon, scale.to_device(moon_x) - static_cast<float>(m_moon_left),
               scale.to_device(moon_y) - static_cast<float>(m_moon_top), 1.0f);

    // Long thin streaks of cloud, seen only where the moon lights them.
    for (int y = 0; y < height(); ++y) {
        for (int x = 0; x < width(); ++x) {
            const float fx = scale.corner(x);
            const float fy = scale.corner(y);
            const float lit = std::exp(-std::pow(distance_to_moon(fx, fy) / 300.0f, 2.0f));
            if (lit < 0.01f) {
                continue;
            }
            // Wind-combed wisps: long streaks, bent by a slower field and thinned in patches.
            const float bend_x =
                m_haze_noise.fractal(fx / 320.0f, fy / 140.0f + 4.0f, 0.0f, 3, 0.5f);
            const float bend_y =
                m_haze_noise.fractal(fx / 320.0f + 7.0f, fy / 140.0f, 0.0f, 3, 0.5f);
            const float u = fx / 230.0f + 0.9f * bend_x;
            const float v = (fy + 0.12f * fx) / 42.0f + 1.1f * bend_y;
            const float streak = m_haze_noise.fractal(u, v, 0.0f, 5, 0.55f);
            const float patches =
                0.5f + 0.5f * m_haze_noise.fractal(fx / 420.0f + 2.0f, fy / 260.0f, 0.0f, 2, 0.5f);
            m_haze[static_cast<size_t>(y) * width() + x] = smoothstep(-0.1f, 0.5f, streak) *
                                                           smoothstep(0.2f, 0.75f, patches) * lit *
                                                           edge_fade(fx, fy);
        }
    }
}

// The scene's top strip repaints the backdrop over the frames' first rows, so haze and stars
// fade out before that line as they do at the left and bottom edges.
float DomeAnimation::edge_fade(float x, float y) const {
    return smoothstep(0.0f, 90.0f, x) * smoothstep(25.0f, 85.0f, y) *
           smoothstep(static_cast<float>(dome_height), dome_height - 120.0f, y);
}

Image DomeAnimation::frame(int index) const {
    const float phase = static_cast<float>(index) / dome_frames;
    Image image(width(), height(), 3);
    const SkyGradient gradient(horizon_row);
    for (int y = 0; y < height(); ++y) {
        const auto colour = gradient.at(m_scale.corner(y));
        for (int x = 0; x < width(); ++x) {
            float* p = image.pixel(x, y);
            p[0] = colour[0];
            p[1] = colour[1];
            p[2] = colour[2];
        }
    }

    m_stars.render(image, m_scale, 0.0f, 0.0f, [&](const Star& star) {
        // Each star flickers one to three times per loop, some hardly, some deeply.
        const int cycles = 1 + static_cast<int>(star.depth * 2.99f);
        const float depth = 0.1f + 0.45f * star.depth * star.depth;
        const float flicker = 1.0f + depth * std::sin(two_pi * (cycles * phase + star.phase));
        return flicker * edge_fade(star.x, star.y);
    });

    image.composite(m_moon, m_moon_left, m_moon_top);

    const float breath = 1.0f + 0.08f * std::sin(two_pi * phase);
    for (int y = 0; y < height(); ++y) {
        for (int x = 0; x < width(); ++x) {
            const float fx = m_scale.corner(x);
            const float fy = m_scale.corner(y);
            const float r = distance_to_moon(fx, fy);
            if (r > 420.0f) {
                continue;
            }
            const float fade = edge_fade(fx, fy);
            const auto light = halo(r, breath);
            float* p = image.pixel(x, y);
            float haze = m_haze[static_cast<size_t>(y) * width() + x];
            if (haze > 0.0f) {
                // The haze slowly stirs: its density is modulated by noise that comes back to
                // where it started after one loop.
                const float stir =
                    m_haze_noise.fractal(fx / 90.0f, fy / 26.0f, phase * haze_cycle, 3, 0.5f);
                haze *= 0.8f + 0.5f * stir;
                haze = std::max(haze, 0.0f);
            }
            const float scatter = 0.9f * std::exp(-std::max(r - moon_radius, 0.0f) / 60.0f) + 0.12f;
            for (int c = 0; c < 3; ++c) {
                p[c] = p[c] * (1.0f - 0.25f * haze) + fade * light[c] +
                       haze * scatter * 0.09f * (c == 2 ? 0.95f : 1.0f);
            }
        }
    }
    return image;
}

} // namespace media
