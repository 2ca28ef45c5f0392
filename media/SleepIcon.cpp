#include "SleepIcon.h"

#include "Glyph.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace media {

namespace {

struct Point {
    float x;
    float y;
};

// The crescent is the disc of the moon less a disc towards the upper right, where the "z" sits.
// With its glow it keeps a clear pixel all round, as the speaker does.
constexpr Point moon_centre = {10.6f, 10.6f};
constexpr float moon_radius = 7.4f;
constexpr Point shadow_centre = {14.4f, 6.9f};
constexpr float shadow_radius = 6.3f;
// As thick as the speaker's waves.
constexpr float stroke_half_width = 0.85f;
constexpr std::array<Point, 4> z_path = {
    {{17.6f, 2.4f}, {21.4f, 2.4f}, {17.6f, 6.8f}, {21.4f, 6.8f}}};
// Warm, as the moon is: lit, the icon stands apart from the cool speaker beside it.
constexpr std::array<std::uint8_t, 3> moonlight = {255, 233, 184};
constexpr float glow_strength = 0.30f;
constexpr float glow_reach = 1.0f;
constexpr float glow_end = 2.0f;

// Signed distance to the crescent's edge, negative inside.
float crescent_distance(float x, float y) {
    const float to_moon = std::hypot(x - moon_centre.x, y - moon_centre.y) - moon_radius;
    const float to_shadow = std::hypot(x - shadow_centre.x, y - shadow_centre.y) - shadow_radius;
    return std::max(to_moon, -to_shadow);
}

float distance_to_segment(float x, float y, Point a, Point b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

bool on_z(float x, float y) {
    for (size_t i = 0; i + 1 < z_path.size(); ++i) {
        if (distance_to_segment(x, y, z_path[i], z_path[i + 1]) < stroke_half_width) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<std::uint8_t> SleepIcon::render() const {
    if (m_lit == Lit::No) {
        const Glyph outline(width, height, m_scale, [](float x, float y) {
            return std::abs(crescent_distance(x, y) + stroke_half_width) < stroke_half_width ||
                   on_z(x, y);
        });
        return outline.paint(Glyph::ink, 0.6f);
    }
    const Glyph full(width, height, m_scale,
                     [](float x, float y) { return crescent_distance(x, y) < 0.0f || on_z(x, y); });
    std::vector<std::uint8_t> out = full.paint(moonlight, 1.0f);
    // A faint glow around the crescent, gone well before the picture's edge; the glow is the
    // moonlight's colour too, so only alpha changes.
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) {
            const float outside = crescent_distance(m_scale.centre(x), m_scale.centre(y));
            if (outside <= 0.0f) {
                continue;
            }
            const float glow = glow_strength * std::exp(-outside / glow_reach) *
                               std::clamp(1.0f - outside / glow_end, 0.0f, 1.0f);
            const float covered = full.coverage(x, y);
            std::uint8_t& alpha = out[(static_cast<size_t>(y) * full.width() + x) * 4 + 3];
            alpha = static_cast<std::uint8_t>(
                std::lround(255.0f * (covered + glow * (1.0f - covered))));
        }
    }
    return out;
}

} // namespace media
