#pragma once

#include "platform/base/Rect.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Surface.h"

#include <cstdint>

namespace platform {

// Pixel work shared by the compositor, Graphics and the renderers. Every operation clips to
// the destination's bounds and to the given clip rectangle.
namespace PixelOps {

// Draws src_rect of src with its top-left at (dx, dy): a row copy for opaque images, a blend
// otherwise.
void draw_image(const Surface& dst, const Rect& clip, int dx, int dy, const Image& src,
                const Rect& src_rect);
void fill(const Surface& dst, const Rect& clip, const Rect& r, uint32_t pixel);
// Blends colour over one pixel with coverage 0..255 (straight alpha); the result is opaque.
void blend(uint32_t& dst, uint32_t colour, uint32_t coverage);

} // namespace PixelOps

} // namespace platform
