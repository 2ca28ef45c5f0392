#include "Glyph.h"

namespace media {

Glyph::Glyph(int width, int height, PixelScale scale, const Shape& covers)
    : m_width(scale.pixels(width)), m_height(scale.pixels(height)) {
    constexpr int samples = 8;
    const auto factor = static_cast<float>(scale.factor());
    m_coverage.reserve(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    inside += covers((x + (sx + 0.5f) / samples) / factor,
                                     (y + (sy + 0.5f) / samples) / factor);
                }
            }
            m_coverage.push_back(static_cast<float>(inside) / (samples * samples));
        }
    }
}

std::vector<std::uint8_t> Glyph::paint(const std::array<std::uint8_t, 3>& colour,
                                       float opacity) const {
    std::vector<std::uint8_t> out;
    out.reserve(m_coverage.size() * 4);
    for (const float covered : m_coverage) {
        out.insert(out.end(), colour.begin(), colour.end());
        out.push_back(static_cast<std::uint8_t>(covered * opacity * 255.0f));
    }
    return out;
}

} // namespace media
