#include "platform/PngDecoder.h"

#include <png.h>

#include <bit>
#include <cstring>

namespace platform::PngDecoder {

static_assert(std::endian::native == std::endian::little, "pixels are laid out for little-endian");

std::optional<Image> decode(std::span<const uint8_t> bytes, std::string& error) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) {
        error = "not a PNG file";
        return std::nullopt;
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        error = std::string("unreadable PNG: ") + png.message;
        return std::nullopt;
    }
    if (png.width == 0 || png.height == 0 || png.width > kMaxSide || png.height > kMaxSide ||
        static_cast<long long>(png.width) * png.height > kMaxPixels) {
        error = "PNG of " + std::to_string(png.width) + "x" + std::to_string(png.height) +
                " pixels is larger than this program draws";
        png_image_free(&png);
        return std::nullopt;
    }
    // BGRA in memory is 0xAARRGGBB as a little-endian word: the screen's own layout.
    png.format = PNG_FORMAT_BGRA;
    Image image(static_cast<int>(png.width), static_cast<int>(png.height), 0);
    if (!png_image_finish_read(&png, nullptr, image.row(0), 0, nullptr)) {
        error = std::string("damaged PNG: ") + png.message;
        png_image_free(&png);
        return std::nullopt;
    }
    image.update_opacity();
    return image;
}

} // namespace platform::PngDecoder
