#pragma once

#include "platform/base/Rect.h"
#include "platform/graphics/Scale.h"

#include <cstdint>

namespace platform {

// A view of 32-bit pixels (0xAARRGGBB) owned by someone else: the screen buffer or an Image.
//
// The screen buffer is the one drawing surface of the program: its pixels are the device's, its
// scale says how the windows' logical pixels map onto them, and its brightness is what everything
// drawn into it takes (the whole picture darkened evenly, by darkening only what is drawn).
struct Surface {
    // Full brightness: what is drawn lands unchanged.
    static constexpr uint32_t kFullBrightness = 256;

    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // in pixels
    Scale scale{};
    // 0 (black) to kFullBrightness.
    uint32_t brightness = kFullBrightness;

    Rect bounds() const { return {0, 0, width, height}; }
    uint32_t* row(int y) const { return pixels + static_cast<long>(y) * stride; }
    uint32_t at(int x, int y) const { return row(y)[x]; }
};

} // namespace platform
