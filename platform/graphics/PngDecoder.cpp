#include "platform/graphics/PngDecoder.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

namespace platform::PngDecoder {

static_assert(std::endian::native == std::endian::little, "pixels are laid out for little-endian");

namespace {

struct Source {
    const Input& input;
    uint64_t pos = 0;
    // Where the next chunk begins: libpng reads each chunk's length and type there, 8 bytes at
    // once, before anything else of it.
    uint64_t next_chunk = 8;
    std::string error;
};

uint64_t big_endian_32(const uint8_t* p) {
    return (uint64_t(p[0]) << 24) | (uint64_t(p[1]) << 16) | (uint64_t(p[2]) << 8) | p[3];
}

void read_bytes(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    const uint64_t left = source->input.size - source->pos;
    if (count > left)
        png_error(png, "file ends early");
    if (!source->input.read_at(source->pos, std::span(out, count)))
        png_error(png, "cannot be read");
    // libpng allocates a chunk's buffer from its declared length before reading it; a file
    // cannot hold a chunk longer than itself, so a chunk must fit in the bytes that follow it,
    // which bounds what any chunk can cost by the file's size. Checked as each chunk is met, so
    // that the chunks past a part are not read.
    if (source->pos == source->next_chunk && count == 8) {
        const uint64_t length = big_endian_32(out);
        if (length + 4 > left - 8)
            png_error(png, "a chunk runs past the end of the file");
        source->next_chunk = source->pos + 12 + length;
    }
    source->pos += count;
}

void on_error(png_structp png, png_const_charp message) {
    static_cast<Source*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {
}

// Everything libpng may jump out of lives in this function, which holds no C++ object that
// needs destroying: the part and the row buffer are on the heap and owned by the caller.
bool read_png(Source& source, int width_limit, int height_limit, Part& part,
              std::vector<uint32_t>& whole_row, bool& may_be_translucent) {
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
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    part.file_width = static_cast<int>(width);
    part.file_height = static_cast<int>(height);
    const int part_width = std::min(part.file_width, width_limit);
    const int part_height = std::min(part.file_height, height_limit);
    part.image.reset(part_width, part_height);
    // A PNG row is filtered and compressed whole, so every row read is inflated whole; only the
    // part's columns are kept. An interlaced file spreads every row over all its passes, so it is
    // read to its end; a plain one is read no further than the part's last row.
    const bool whole_width = part_width == part.file_width;
    if (!whole_width)
        whole_row.resize(width);
    const size_t part_bytes = static_cast<size_t>(part_width) * sizeof(uint32_t);
    const png_uint_32 rows = part_width == 0 ? 0
                             : passes > 1    ? height
                                             : static_cast<png_uint_32>(part_height);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < rows; ++y) {
            if (y >= static_cast<png_uint_32>(part_height)) {
                png_read_row(png, nullptr, nullptr);
                continue;
            }
            uint32_t* row = part.image.row(static_cast<int>(y));
            if (whole_width) {
                png_read_row(png, reinterpret_cast<png_bytep>(row), nullptr);
                continue;
            }
            // A pass writes only its own pixels into the row: the part's earlier passes go in
            // with it.
            if (passes > 1)
                std::memcpy(whole_row.data(), row, part_bytes);
            png_read_row(png, reinterpret_cast<png_bytep>(whole_row.data()), nullptr);
            std::memcpy(row, whole_row.data(), part_bytes);
        }
    }
    if (rows == height)
        png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

std::optional<Part> decode_part(const Input& input, int width, int height, std::string& error) {
    uint8_t signature[8];
    if (input.size < 8 || !input.read_at(0, signature) || png_sig_cmp(signature, 0, 8) != 0) {
        error = "not a PNG file";
        return std::nullopt;
    }
    Source source{input, 0, 8, {}};
    auto part = std::make_unique<Part>();
    auto whole_row = std::make_unique<std::vector<uint32_t>>();
    bool may_be_translucent = false;
    if (!read_png(source, std::max(width, 0), std::max(height, 0), *part, *whole_row,
                  may_be_translucent)) {
        error = "damaged PNG: " + source.error;
        return std::nullopt;
    }
    if (may_be_translucent)
        part->image.update_opacity();
    return std::move(*part);
}

std::optional<Image> decode(std::span<const uint8_t> bytes, std::string& error) {
    Input input{bytes.size(), [bytes](uint64_t offset, std::span<uint8_t> out) {
                    std::memcpy(out.data(), bytes.data() + offset, out.size());
                    return true;
                }};
    std::optional<Part> part = decode_part(input, kMaxSide, kMaxSide, error);
    if (!part)
        return std::nullopt;
    return std::move(part->image);
}

} // namespace platform::PngDecoder
