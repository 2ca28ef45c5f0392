#include "platform/graphics/Picture.h"

#include <algorithm>

namespace platform {

Picture::Picture(Image image)
    : m_image(std::make_shared<const Image>(std::move(image))), m_file_width(m_image->width()),
      m_file_height(m_image->height()) {
}

Picture::Picture(Image image, int file_width, int file_height,
                 std::shared_ptr<const PictureSource> source)
    : m_image(std::make_shared<const Image>(std::move(image))), m_file_width(file_width),
      m_file_height(file_height), m_source(std::move(source)) {
}

bool Picture::cover(int width, int height, std::string& error) {
    const int w = std::min(std::max(width, Width()), m_file_width);
    const int h = std::min(std::max(height, Height()), m_file_height);
    if ((w <= Width() && h <= Height()) || !m_source)
        return true;
    std::optional<Image> larger = m_source->decode(w, h, error);
    if (!larger)
        return false;
    m_image = std::make_shared<const Image>(std::move(*larger));
    return true;
}

} // namespace platform
