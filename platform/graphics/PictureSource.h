#pragma once

#include "platform/graphics/Image.h"

#include <optional>
#include <string>

namespace platform {

// Where a picture that holds only the top-left part of its file gets more of it: the file is
// decoded again, as far as the larger part reaches.
class PictureSource {
public:
    virtual ~PictureSource() = default;

    // The top-left part of the picture, at most width x height pixels; nothing when the file
    // cannot be read now, with the reason in error.
    virtual std::optional<Image> decode(int width, int height, std::string& error) const = 0;
};

} // namespace platform
