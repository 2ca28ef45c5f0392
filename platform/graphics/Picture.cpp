#include "platform/graphics/Picture.h"

#include "platform/graphics/Resampler.h"

#include <algorithm>
#include <iostream>

namespace platform {

namespace {

// A picture made in memory: other scales are its own pixels resized.
class OwnPixels : public PictureSource {
public:
    explicit OwnPixels(std::shared_ptr<const Image> image) : m_image(std::move(image)) {}

    std::optional<Image> decode(int width, int height, Scale scale, std::string&) const override {
        int w = std::min(width, m_image->width()), h = std::min(height, m_image->height());
        if (scale.is_identity() && w == m_image->width() && h == m_image->height())
            return *m_image;
        return Resampler::resized(*m_image, scale.to_device_size(w), scale.to_device_size(h));
    }

private:
    std::shared_ptr<const Image> m_image;
};

} // namespace

Picture::Picture(Image image)
    : m_image(std::make_shared<const Image>(std::move(image))), m_width(m_image->width()),
      m_height(m_image->height()), m_file_width(m_width), m_file_height(m_height),
      m_source(std::make_shared<OwnPixels>(m_image)) {
}

Picture::Picture(Image image, Scale scale, int width, int height, int file_width, int file_height,
                 std::shared_ptr<const PictureSource> source)
    : m_image(std::make_shared<const Image>(std::move(image))), m_scale(scale), m_width(width),
      m_height(height), m_file_width(file_width), m_file_height(file_height),
      m_source(std::move(source)) {
}

const Image& Picture::image_at(Scale scale) {
    if ((scale == m_scale && !m_released) || scale == m_failed_scale)
        return *m_image;
    std::string error;
    std::optional<Image> pixels = m_source->decode(m_width, m_height, scale, error);
    if (!pixels) {
        std::cerr << "quorvane: a picture is drawn stretched: " << error << std::endl;
        m_failed_scale = scale;
        return *m_image;
    }
    m_image = std::make_shared<const Image>(std::move(*pixels));
    m_scale = scale;
    m_released = false;
    m_failed_scale.reset();
    ++m_remakes;
    return *m_image;
}

void Picture::release_pixels() {
    m_image = std::make_shared<const Image>();
    m_released = true;
}

bool Picture::cover(int width, int height, std::string& error) {
    const int w = std::min(std::max(width, Width()), m_file_width);
    const int h = std::min(std::max(height, Height()), m_file_height);
    if (w <= Width() && h <= Height())
        return true;
    std::optional<Image> larger = m_source->decode(w, h, m_scale, error);
    if (!larger)
        return false;
    m_image = std::make_shared<const Image>(std::move(*larger));
    m_released = false;
    m_width = w;
    m_height = h;
    ++m_remakes;
    return true;
}

} // namespace platform
