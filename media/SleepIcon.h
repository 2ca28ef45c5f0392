#pragma once

#include "PixelScale.h"

#include <cstdint>
#include <vector>

namespace media {

// The sleep timer's icon, beside the speaker and in its manner: a crescent moon with a small "z".
// Unlit it is a dim outline, there to be found; lit, while a timer runs, it is a full crescent
// in warm moonlight with a faint glow.
class SleepIcon {
public:
    static constexpr int width = 25;
    static constexpr int height = 21;

    enum class Lit { No, Yes };

    SleepIcon(Lit lit, PixelScale scale) : m_lit(lit), m_scale(scale) {}

    std::vector<std::uint8_t> render() const;

private:
    Lit m_lit;
    PixelScale m_scale;
};

} // namespace media
