#include "platform/graphics/PngDecoder.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstring>
#include <memory>

namespace platform::PngDecoder {

static_assert(std::endian::native == std::endian::little, "pixels are laid out for little-endian");

namespace {

struct Source {
    std::span<const uint8_t> bytes;
    size_t pos = 0;
    std::string error;
};

void read_bytes(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->bytes.size() - source->pos)
        png_error(png, "file ends early");
    std::memcpy(out, source->bytes.data() + source->pos, count);
    source->pos += count;
}

void on_error(png_structp png, png_const_charp message) {
    static_cast<Source*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {
}

// Whether every chunk fits in the bytes that follow it. libpng allocates a chunk's buffer from
// its declared length before reading it; a file cannot hold a chunk longer than itself, so this
// bounds what any chunk can cost by the file's size.
bool chunks_fit(std::span<const uint8_t> bytes) {
    size_t pos = 8;
    while (bytes.size() - pos >= 8) {
        const uint8_t* p = bytes.data() + pos;
        size_t length = (size_t(p[0]) << 24) | (size_t(p[1]) << 16) | (size_t(p[2]) << 8) | p[3];
        if (length + 4 > bytes.size() - pos - 8)
            return false;
        if (std::memcmp(p + 4, "IEND", 4) == 0)
            return true;
        pos += 12 + length;
    }
    return true;
}

// Everything libpng may jump out of lives in this function, which holds no C++ object that
// needs destroying: the image is on the heap and owned by the caller.
bool read_png(Source& source, std::unique_ptr<Image>& image, bool& may_be_translucent) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, on_error, on_warning);
    if (!png) {
        source.error = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, read_bytes);
    // Refused in the header, before anything is allocated for the pixels; and no chunk, however
    // long it claims to be, gets more than a few megabytes.
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(png, 8u << 20);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (static_cast<long long>(width) * height > kMaxPixels)
        png_error(png, "larger than this program draws");
    int colour = png_get_color_type(png, info);
    may_be_translucent =
        (colour & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    // Whatever the file holds becomes 8-bit B, G, R, A in memory: 0xAARRGGBB as a word.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    image->reset(static_cast<int>(width), static_cast<int>(height));
    for (int pass = png_set_interlace_handling(png); pass > 0; --pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, reinterpret_cast<png_bytep>(image->row(static_cast<int>(y))),
                         nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

std::optional<Image> decode(std::span<const uint8_t> bytes, std::string& error) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        error = "not a PNG file";
        return std::nullopt;
    }
    if (!chunks_fit(bytes)) {
        error = "damaged PNG: a chunk runs past the end of the file";
        return std::nullopt;
    }
    Source source{bytes, 0, {}};
    auto image = std::make_unique<Image>();
    bool may_be_translucent = false;
    if (!read_png(source, image, may_be_translucent)) {
        error = "damaged PNG: " + source.error;
        return std::nullopt;
    }
    if (may_be_translucent)
        image->update_opacity();
    return std::move(*image);
}

} // namespace platform::PngDecoder
