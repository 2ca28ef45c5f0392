#pragma once

#include "platform/base/Rect.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Surface.h"

#include <cstdint>

namespace platform {

// Pixel work shared by the compositor, Graphics and the renderers. Every operation clips to
// the destination's bounds and to the given clip rectangle, and what it writes takes the
// destination's brightness.
namespace PixelOps {

// Draws src_rect of src with its top-left at (dx, dy): a row copy for opaque images, a blend
// otherwise.
void draw_image(const Surface& dst, const Rect& clip, int dx, int dy, const Image& src,
                const Rect& src_rect);
void fill(const Surface& dst, const Rect& clip, const Rect& r, uint32_t colour);
// Copies count opaque pixels at a brightness of 0 to Surface::kFullBrightness.
void copy_row(uint32_t* out, const uint32_t* in, int count, uint32_t brightness);
// Blends colour over one pixel with coverage 0..255 (straight alpha); the result is opaque. The
// pixel is written as it comes: a renderer that blends into a surface darkens its colour first.
void blend(uint32_t& dst, uint32_t colour, uint32_t coverage);
// The pixel at a brightness of 0 to Surface::kFullBrightness; its alpha is kept.
inline uint32_t dimmed(uint32_t pixel, uint32_t brightness) {
    uint32_t rb = (((pixel & 0x00FF00FFu) * brightness) >> 8) & 0x00FF00FFu;
    uint32_t g = (((pixel & 0x0000FF00u) * brightness) >> 8) & 0x0000FF00u;
    return (pixel & 0xFF000000u) | rb | g;
}

} // namespace PixelOps

} // namespace platform
