#pragma once

#include "platform/base/Object.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PictureSource.h"

#include <memory>
#include <string>

namespace platform {

// A drawable picture. Its pixels are shared and never change after loading, though a picture
// that holds only the top-left part of its file, as a backdrop decoded to the screen's size
// does, can be replaced by a larger part of the same file: it stays the same object.
class Picture : public Object {
public:
    explicit Picture(Image image);
    // The top-left part of a file of file_width x file_height pixels that source decodes again.
    Picture(Image image, int file_width, int file_height,
            std::shared_ptr<const PictureSource> source);

    int Width() const { return m_image->width(); }
    int Height() const { return m_image->height(); }
    const Image& image() const { return *m_image; }

    // Makes the picture cover at least width x height, as far as its file reaches, by decoding
    // the larger part of its file; it never shrinks. False, with the reason in error, when the
    // file cannot be read again: the picture keeps the pixels it had.
    bool cover(int width, int height, std::string& error);

private:
    std::shared_ptr<const Image> m_image;
    int m_file_width;
    int m_file_height;
    std::shared_ptr<const PictureSource> m_source;
};

} // namespace platform
