#pragma once

#include "platform/graphics/Surface.h"

#include <cstdint>
#include <vector>

namespace platform {

// Decoded pixels in the screen's own layout (0xAARRGGBB, straight alpha), so drawing a picture
// is a copy, never a conversion. Opaque images are copied; others are blended.
class Image {
public:
    Image() = default;
    Image(int width, int height, uint32_t fill = 0xFF000000u);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool is_empty() const { return m_width <= 0 || m_height <= 0; }
    bool is_opaque() const { return m_opaque; }
    // Makes the image width x height of opaque black, reusing the storage where it can.
    void reset(int width, int height);
    // Recomputes the opaque flag after the pixels were written directly.
    void update_opacity();

    Surface surface() { return {m_pixels.data(), m_width, m_height, m_width}; }
    Surface surface() const {
        return {const_cast<uint32_t*>(m_pixels.data()), m_width, m_height, m_width};
    }
    uint32_t at(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    uint32_t* row(int y) { return m_pixels.data() + static_cast<size_t>(y) * m_width; }

private:
    int m_width = 0;
    int m_height = 0;
    bool m_opaque = true;
    std::vector<uint32_t> m_pixels;
};

} // namespace platform
