#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace media {

// The 16x16 twinkling star, bright or dimmed: straight RGBA whose alpha carries the light, so it
// lies on any sky without a visible square.
class StarSprite {
public:
    static constexpr int size = 16;

    explicit StarSprite(float flux) : m_flux(flux) {}

    std::vector<std::uint8_t> render() const;

private:
    float m_flux;
};

} // namespace media
