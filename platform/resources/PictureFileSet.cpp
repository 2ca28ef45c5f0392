#include "platform/resources/PictureFileSet.h"

#include "platform/graphics/Resampler.h"
#include "platform/resources/PictureFile.h"

#include <algorithm>
#include <iostream>

namespace platform {

namespace fs = std::filesystem;

namespace {

// The image of a part at the device size of its logical size, resized where it is not.
Image at_device_size(Image image, int width, int height, Scale scale) {
    const int w = scale.to_device_size(width), h = scale.to_device_size(height);
    if (image.width() == w && image.height() == h)
        return image;
    return Resampler::resized(image, w, h);
}

} // namespace

PictureFileSet::PictureFileSet(fs::path small, fs::path large)
    : m_small(std::move(small)), m_large(std::move(large)) {
}

PngDecoder::Part PictureFileSet::fitted(PngDecoder::Part part, Scale scale) {
    if (!scale.is_identity())
        part.image =
            at_device_size(std::move(part.image), part.image.width(), part.image.height(), scale);
    return part;
}

std::optional<PngDecoder::Part> PictureFileSet::decode_part(int width, int height, Scale scale,
                                                            std::string& error) const {
    if (scale.picture_set() == 2) {
        std::string why;
        std::optional<PngDecoder::Part> large =
            PictureFile(m_large).decode_part(std::min(2 * width, PngDecoder::kMaxSide),
                                             std::min(2 * height, PngDecoder::kMaxSide), why);
        if (large) {
            // Drawn at twice the size: its logical size is half its own.
            const int file_w = (large->file_width + 1) / 2, file_h = (large->file_height + 1) / 2;
            const int w = (large->image.width() + 1) / 2, h = (large->image.height() + 1) / 2;
            return PngDecoder::Part{at_device_size(std::move(large->image), w, h, scale), file_w,
                                    file_h};
        }
        if (!m_said_enlarged) {
            m_said_enlarged = true;
            std::cerr << "quorvane: " << why << "; the picture is drawn from "
                      << m_small.filename().string() << ", enlarged" << std::endl;
        }
    }
    std::optional<PngDecoder::Part> part = PictureFile(m_small).decode_part(width, height, error);
    if (!part)
        return std::nullopt;
    return fitted(std::move(*part), scale);
}

std::optional<Image> PictureFileSet::decode(int width, int height, Scale scale,
                                            std::string& error) const {
    std::optional<PngDecoder::Part> part = decode_part(width, height, scale, error);
    if (!part)
        return std::nullopt;
    return std::move(part->image);
}

} // namespace platform
