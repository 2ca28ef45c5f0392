#pragma once

#include "PixelScale.h"

#include <cstdint>
#include <vector>

namespace media {

// The 25x21 loudness icon: a speaker with one, two or three sound waves, light and crisp on the
// dark sky and on the black volume panel.
class SpeakerIcon {
public:
    static constexpr int width = 25;
    static constexpr int height = 21;

    SpeakerIcon(int waves, PixelScale scale) : m_waves(waves), m_scale(scale) {}

    std::vector<std::uint8_t> render() const;

private:
    bool covers(float x, float y) const;

    int m_waves;
    PixelScale m_scale;
};

} // namespace media
