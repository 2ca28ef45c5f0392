#pragma once

#include "platform/graphics/Image.h"
#include "platform/graphics/Scale.h"

#include <optional>
#include <string>

namespace platform {

// Where a picture gets its pixels again: for a larger part of its file, or for another scale
// than the one it holds.
class PictureSource {
public:
    virtual ~PictureSource() = default;

    // The top-left part of the picture that covers width x height logical pixels (as far as the
    // picture reaches), at the device pixels of scale: Scale::to_device_size of each side.
    // Nothing when it cannot be made now, with the reason in error.
    virtual std::optional<Image> decode(int width, int height, Scale scale,
                                        std::string& error) const = 0;
};

} // namespace platform
