#pragma once

#include "platform/base/Color.h"
#include "platform/graphics/Image.h"

#include <string>

namespace platform {

struct TextStyle {
    std::string font = "System"; // "System" is the desktop's sans-serif font
    int size = 12;               // pixels per em
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Color colour{255, 255, 255};
};

// Turns one line of UTF-8 text into an anti-aliased image with alpha.
class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    virtual Image render_line(const std::string& text, const TextStyle& style) = 0;
    // Distance between baselines of two lines of this style, in pixels.
    virtual int line_height(const TextStyle& style) = 0;
};

} // namespace platform
