#include "StarSprite.h"

#include "Ditherer.h"

#include <algorithm>
#include <cmath>

namespace media {

std::vector<std::uint8_t> StarSprite::render() const {
    // Centred on logical pixel (7, 7); the picture's last row and column stay empty.
    constexpr float centre = 7.5f;
    const std::array<float, 3> glow_tint = {0.78f, 0.88f, 1.0f};
    const int side = m_scale.pixels(size);
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<size_t>(side) * side * 4);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const float dx = m_scale.centre(x) - centre;
            const float dy = m_scale.centre(y) - centre;
            const float r2 = dx * dx + dy * dy;
            const float r = std::sqrt(r2);
            const float core = std::exp(-r2 / (2.0f * 0.7f * 0.7f));
            const float glow =
                0.22f * std::exp(-r2 / (2.0f * 1.8f * 1.8f)) + 0.05f * std::exp(-r / 2.5f);
            // Thin diffraction spikes along the axes.
            const float along = std::max(std::abs(dx), std::abs(dy));
            const float across = std::min(std::abs(dx), std::abs(dy));
            const float spike =
                0.45f * std::exp(-along / 2.2f) * std::exp(-across * across / 0.18f);
            const float light = m_flux * (core + glow + spike);
            // Blending happens on encoded values, so alpha is the encoded brightness and the
            // colour is the hue at full strength; the disc mask keeps the corners clear.
            const float mask = std::clamp((6.5f - r) / 2.0f, 0.0f, 1.0f);
            const float alpha = Ditherer::to_srgb(std::min(light, 1.0f)) * mask;
            const float whiteness = std::min(1.0f, m_flux * core * 1.5f);
            for (int c = 0; c < 3; ++c) {
                const float hue = glow_tint[c] + (1.0f - glow_tint[c]) * whiteness;
                out.push_back(
                    static_cast<std::uint8_t>(std::lround(255.0f * Ditherer::to_srgb(hue))));
            }
            out.push_back(static_cast<std::uint8_t>(std::lround(255.0f * alpha)));
        }
    }
    return out;
}

} // namespace media
