#pragma once

#include "PixelScale.h"

#include <array>
#include <cstdint>
#include <vector>

namespace media {

// The 16x16 twinkling star, bright or dimmed: straight RGBA whose alpha carries the light, so it
// lies on any sky without a visible square. Its size is in logical pixels.
class StarSprite {
public:
    static constexpr int size = 16;

    StarSprite(float flux, PixelScale scale) : m_flux(flux), m_scale(scale) {}

    std::vector<std::uint8_t> render() const;

private:
    float m_flux;
    PixelScale m_scale;
};

} // namespace media
