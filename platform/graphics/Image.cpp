#include "platform/graphics/Image.h"

#include <algorithm>

namespace platform {

Image::Image(int width, int height, uint32_t fill)
    : m_width(std::max(0, width)), m_height(std::max(0, height)), m_opaque((fill >> 24) == 0xFF),
      m_pixels(static_cast<size_t>(m_width) * m_height, fill) {
}

void Image::reset(int width, int height) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    m_opaque = true;
    m_pixels.assign(static_cast<size_t>(m_width) * m_height, 0xFF000000u);
}

void Image::update_opacity() {
    m_opaque =
        std::all_of(m_pixels.begin(), m_pixels.end(), [](uint32_t p) { return (p >> 24) == 0xFF; });
}

} // namespace platform
