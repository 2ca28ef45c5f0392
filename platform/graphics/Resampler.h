#pragma once

#include "platform/graphics/Image.h"

namespace platform {

// Makes a picture of another size: each pixel the average of the source's area under it where
// the picture shrinks, a blend of the four nearest where it grows. Alpha is weighed in, so that
// the edge of a shape does not darken. Done once when a picture is loaded, never while drawing.
class Resampler {
public:
    static Image resized(const Image& source, int width, int height);
};

} // namespace platform
