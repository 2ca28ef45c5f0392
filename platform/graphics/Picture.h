#pragma once

#include "platform/base/Object.h"
#include "platform/graphics/Image.h"

#include <memory>

namespace platform {

// A drawable picture. Its pixels are shared and never change after loading.
class Picture : public Object {
public:
    explicit Picture(Image image) : m_image(std::make_shared<const Image>(std::move(image))) {}

    int Width() const { return m_image->width(); }
    int Height() const { return m_image->height(); }
    const Image& image() const { return *m_image; }

private:
    std::shared_ptr<const Image> m_image;
};

} // namespace platform
