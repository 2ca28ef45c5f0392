#include "Moon.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace media {

namespace {

struct Feature {
    float latitude;
    float longitude;
    float radius;
    float weight;
};

constexpr float degrees = std::numbers::pi_v<float> / 180.0f;

// The near-side maria, in selenographic degrees, east to the viewer's right; the large ones
// are made of a few overlapping patches.
constexpr Feature maria[] = {
    {30, -55, 14, 0.8f},  {12, -55, 15, 0.85f}, {-2, -42, 12, 0.75f}, {42, -45, 9, 0.6f},
    {33, -16, 17, 1.0f},  {28, 17, 11, 1.0f},   {8, 31, 13, 1.0f},    {14, 24, 7, 0.9f},
    {17, 59, 8.5f, 1.1f}, {-8, 51, 11, 0.85f},  {-15, 35, 6, 0.8f},   {-21, -17, 11, 0.75f},
    {-10, -23, 6, 0.6f},  {-24, -39, 6, 0.85f}, {13, 4, 5, 0.7f},     {2, 2, 3.5f, 0.5f},
    {7, -31, 8, 0.65f},   {56, -20, 6, 0.55f},  {57, 0, 6, 0.55f},    {58, 20, 6, 0.5f},
    {13, 86, 5, 0.5f},    {0, 87, 5, 0.45f},    {-40, 74, 4, 0.35f},
};

// Young craters whose bright rays splash across the full moon.
constexpr Feature ray_craters[] = {
    {-43, -11, 1.6f, 1.0f}, {10, -20, 1.4f, 0.6f}, {8, -38, 1.0f, 0.45f},
    {24, -47, 0.9f, 0.7f},  {-5, 60, 0.8f, 0.35f},
};

std::array<float, 3> direction(float latitude, float longitude) {
    const float la = latitude * degrees;
    const float lo = longitude * degrees;
    return {std::cos(la) * std::sin(lo), std::sin(la), std::cos(la) * std::cos(lo)};
}

float angle_between(const std::array<float, 3>& a, float nx, float ny, float nz) {
    const float dot = std::clamp(a[0] * nx + a[1] * ny + a[2] * nz, -1.0f, 1.0f);
    return std::acos(dot) / degrees;
}

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

Moon::Moon(float radius) : m_radius(radius), m_noise(0x6d6f6f6e, 256) {
}

float Moon::albedo(float nx, float ny, float nz) const {
    // Warping the point before measuring distances bends the maria out of round.
    constexpr float warp = 0.16f;
    const float wx = nx + warp * m_noise.fractal(nx * 2.5f, ny * 2.5f, nz * 2.5f + 3.0f, 3, 0.5f);
    const float wy = ny + warp * m_noise.fractal(nx * 2.5f + 5.0f, ny * 2.5f, nz * 2.5f, 3, 0.5f);
    const float wz = nz + warp * m_noise.fractal(nx * 2.5f, ny * 2.5f + 9.0f, nz * 2.5f, 3, 0.5f);
    const float norm = std::sqrt(wx * wx + wy * wy + wz * wz);
    const float ragged = m_noise.fractal(nx * 7.0f + 11.0f, ny * 7.0f, nz * 7.0f, 3, 0.55f);
    float dark = 0.0f;
    for (const Feature& mare : maria) {
        const float angle = angle_between(direction(mare.latitude, mare.longitude), wx / norm,
                                          wy / norm, wz / norm);
        const float stretched = angle * (1.0f + 0.3f * ragged);
        dark +=
            mare.weight * (1.0f - smoothstep(mare.radius * 0.35f, mare.radius * 1.3f, stretched));
    }
    dark = 1.0f - std::exp(-1.8f * dark);
    const float mottle = m_noise.fractal(nx * 9.0f, ny * 9.0f + 7.0f, nz * 9.0f, 4, 0.6f);
    float value = (1.0f - 0.40f * dark) * (1.0f + 0.06f * mottle);
    for (const Feature& crater : ray_craters) {
        const auto centre = direction(crater.latitude, crater.longitude);
        const float angle = angle_between(centre, nx, ny, nz);
        value += crater.weight * 0.5f * std::exp(-angle * angle / (crater.radius * crater.radius));
        // Rays: bright streaks along a few great circles out of the crater, fading with distance.
        const float bearing = std::atan2(ny - centre[1], nx - centre[0]);
        const float streaks = std::pow(std::abs(std::sin(bearing * 7.0f + crater.latitude)), 12.0f);
        value += crater.weight * 0.10f * streaks * std::exp(-angle / 14.0f) *
                 smoothstep(1.0f, 4.0f, angle);
    }
    return value;
}

std::array<float, 3> Moon::surface(float dx, float dy) const {
    const float nx = dx;
    const float ny = -dy;
    const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
    // Full moon: lit from behind us, so the disc is nearly flat, only a little softer at the limb.
    const float limb = 0.84f + 0.16f * std::sqrt(nz);
    const float v = albedo(nx, ny, nz) * limb;
    return {0.86f * v, 0.82f * v, 0.70f * v};
}

void Moon::paint(Image& image, float centre_x, float centre_y, float light) const {
    const int left = static_cast<int>(std::floor(centre_x - m_radius - 1));
    const int top = static_cast<int>(std::floor(centre_y - m_radius - 1));
    const int span = static_cast<int>(std::ceil(2 * m_radius + 3));
    constexpr int samples = 4;
    for (int py = top; py < top + span; ++py) {
        for (int px = left; px < left + span; ++px) {
            if (px < 0 || py < 0 || px >= image.width() || py >= image.height()) {
                continue;
            }
            std::array<float, 3> sum{};
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const float dx = (px + (sx + 0.5f) / samples - centre_x) / m_radius;
                    const float dy = (py + (sy + 0.5f) / samples - centre_y) / m_radius;
                    if (dx * dx + dy * dy >= 1.0f) {
                        continue;
                    }
                    const auto colour = surface(dx, dy);
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += colour[c];
                    }
                    ++inside;
                }
            }
            if (inside == 0) {
                continue;
            }
            const float coverage = static_cast<float>(inside) / (samples * samples);
            float* p = image.pixel(px, py);
            for (int c = 0; c < 3; ++c) {
                p[c] = p[c] * (1.0f - coverage) + light * sum[c] / (samples * samples);
            }
            if (image.channels() == 4) {
                p[3] = p[3] * (1.0f - coverage) + coverage;
            }
        }
    }
}

} // namespace media
