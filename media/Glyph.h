#pragma once

#include "PixelScale.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace media {

// The top strip's small pictures: a light shape on a clear ground, its edges antialiased by the
// share of each pixel it covers. The shape is given in logical pixels and drawn at any scale.
class Glyph {
public:
    // Light and crisp on the dark sky and on the black volume panel.
    static constexpr std::array<std::uint8_t, 3> ink = {234, 239, 248};

    using Shape = std::function<bool(float x, float y)>;

    Glyph(int width, int height, PixelScale scale, const Shape& covers);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // The share of the device pixel that the shape covers, 0 to 1, in 64ths.
    float coverage(int x, int y) const {
        return m_coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
                          static_cast<std::size_t>(x)];
    }

    // Straight RGBA: one colour, the coverage times the opacity as alpha.
    std::vector<std::uint8_t> paint(const std::array<std::uint8_t, 3>& colour, float opacity) const;

private:
    int m_width;
    int m_height;
    std::vector<float> m_coverage;
};

} // namespace media
