#pragma once

#include "platform/base/Rect.h"

#include <cstdint>

namespace platform {

// A view of 32-bit pixels (0xAARRGGBB) owned by someone else: the screen buffer or an Image.
struct Surface {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // in pixels

    Rect bounds() const { return {0, 0, width, height}; }
    uint32_t* row(int y) const { return pixels + static_cast<long>(y) * stride; }
    uint32_t at(int x, int y) const { return row(y)[x]; }
};

} // namespace platform
