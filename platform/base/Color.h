#pragma once

#include <cstdint>

namespace platform {

// An RGB colour, one byte per channel.
struct Color {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    uint32_t to_pixel() const { return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b; }
    static Color from_pixel(uint32_t p) { return {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)}; }
    friend bool operator==(const Color&, const Color&) = default;
};

inline Color RGB(int r, int g, int b) {
    return {uint8_t(r), uint8_t(g), uint8_t(b)};
}

} // namespace platform
