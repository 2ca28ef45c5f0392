#pragma once

#include "platform/base/Object.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PictureSource.h"
#include "platform/graphics/Scale.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {

// A drawable picture, sized in logical pixels and held at the device pixels of one scale at a
// time. Drawn at another scale, it takes that scale's pixels from its source once and keeps them
// in place of the old ones. A picture that holds only the top-left part of its file, as a
// backdrop decoded to the screen's size does, can be replaced by a larger part of the same file.
// Either way it stays the same object.
class Picture : public Object {
public:
    // Pixels at scale 1; other scales are made from them.
    explicit Picture(Image image);
    // The top-left width x height logical part of a picture of file_width x file_height logical
    // pixels, held at scale; source makes it at other sizes and scales.
    Picture(Image image, Scale scale, int width, int height, int file_width, int file_height,
            std::shared_ptr<const PictureSource> source);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The pixels held, at scale().
    const Image& image() const { return *m_image; }
    Scale scale() const { return m_scale; }
    // How often pixels were made for another size or scale after loading: never while nothing
    // changes.
    int remakes() const { return m_remakes; }

    // The pixels for a device at scale, made when the picture is first drawn at it. Where they
    // cannot be made the picture keeps those it has (said once on stderr), to be drawn scaled.
    const Image& image_at(Scale scale);

    // Lets the pixels go, for a holder that keeps them in a form of its own: drawn again, the
    // picture makes them anew from its source.
    void release_pixels();

    // Makes the picture cover at least width x height logical pixels, as far as its file reaches,
    // by decoding the larger part of its file; it never shrinks. False, with the reason in
    // error, when the file cannot be read again: the picture keeps the pixels it had.
    bool cover(int width, int height, std::string& error);

private:
    std::shared_ptr<const Image> m_image;
    Scale m_scale;
    int m_width;
    int m_height;
    int m_file_width;
    int m_file_height;
    std::shared_ptr<const PictureSource> m_source;
    // The scale whose pixels could not be made: not tried again on every draw.
    std::optional<Scale> m_failed_scale;
    int m_remakes = 0;
    bool m_released = false;
};

} // namespace platform
