#include "SkyGradient.h"

#include "Ditherer.h"

#include <algorithm>
#include <cmath>

namespace media {

namespace {

std::array<float, 3> linear(float r, float g, float b) {
    return {Ditherer::from_srgb(r / 255.0f), Ditherer::from_srgb(g / 255.0f),
            Ditherer::from_srgb(b / 255.0f)};
}

} // namespace

SkyGradient::SkyGradient(int horizon_row) : m_horizon_row(horizon_row) {
}

std::array<float, 3> SkyGradient::at(float y) const {
    // Zenith ink-blue brightening towards a deep teal horizon; the curve rises fastest near the
    // top so that even a small screen sees most of the change. Past the horizon row the same
    // curve flattens out, so a taller screen sees the sky go on brightening a little, without
    // a bend where the row is passed.
    static const std::array<float, 3> zenith = linear(3, 5, 15);
    static const std::array<float, 3> middle = linear(9, 16, 38);
    static const std::array<float, 3> horizon = linear(20, 36, 64);
    const float t = std::max(y / static_cast<float>(m_horizon_row), 0.0f);
    const float rise = (1.0f - std::exp(-t * 2.6f)) / (1.0f - std::exp(-2.6f));
    std::array<float, 3> colour{};
    for (int c = 0; c < 3; ++c) {
        colour[c] = (1 - rise) * (1 - rise) * zenith[c] + 2 * rise * (1 - rise) * middle[c] +
                    rise * rise * horizon[c];
    }
    return colour;
}

} // namespace media
