#include "SpeakerIcon.h"

#include "Glyph.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace media {

namespace {

constexpr float centre_y = SpeakerIcon::height / 2.0f;
constexpr float wave_x = 11.0f;
constexpr float wave_half_width = 0.85f;
constexpr float wave_spread = 45.0f * std::numbers::pi_v<float> / 180.0f;

// Distance from a point to a circular arc with round ends.
float distance_to_arc(float x, float y, float radius) {
    const float dx = x - wave_x;
    const float dy = y - centre_y;
    const float angle = std::atan2(dy, dx);
    if (std::abs(angle) <= wave_spread) {
        return std::abs(std::hypot(dx, dy) - radius);
    }
    const float end_x = wave_x + radius * std::cos(wave_spread);
    const float end_y = centre_y + radius * std::sin(wave_spread) * (angle < 0 ? -1.0f : 1.0f);
    return std::hypot(x - end_x, y - end_y);
}

} // namespace

bool SpeakerIcon::covers(float x, float y) const {
    const float off = std::abs(y - centre_y);
    if (x >= 2.0f && x < 7.0f && off < 3.5f) {
        return true;
    }
    if (x >= 7.0f && x < 11.0f && off < 3.5f + (x - 7.0f)) {
        return true;
    }
    for (int i = 0; i < m_waves; ++i) {
        if (distance_to_arc(x, y, 5.0f + 3.3f * static_cast<float>(i)) < wave_half_width) {
            return true;
        }
    }
    return false;
}

std::vector<std::uint8_t> SpeakerIcon::render() const {
    return Glyph(width, height, m_scale, [this](float x, float y) { return covers(x, y); })
        .paint(Glyph::ink, 1.0f);
}

} // namespace media
