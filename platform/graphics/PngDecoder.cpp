#include "platform/graphics/PngDecoder.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <chrono>
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

bool is_known(const std::shared_future<Extent>& extent) {
    return extent.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

// The buffers a decode fills, on the heap and owned by the caller, as libpng may jump out of
// the function that fills them.
struct Buffers {
    Part part;
    // Rows decoded whole ahead of the part's size, one after another.
    std::vector<uint32_t> ahead;
    std::vector<uint32_t> whole_row;
};

// Sizes the part to extent and keeps what was decoded ahead of it.
void take_extent(Buffers& buffers, const Extent& extent, int rows_done) {
    Part& part = buffers.part;
    part.image.reset(std::clamp(extent.width, 0, part.file_width),
                     std::clamp(extent.height, 0, part.file_height));
    const size_t bytes = static_cast<size_t>(part.image.width()) * sizeof(uint32_t);
    const int kept = bytes > 0 ? std::min(rows_done, part.image.height()) : 0;
    for (int y = 0; y < kept; ++y)
        std::memcpy(part.image.row(y), &buffers.ahead[static_cast<size_t>(y) * part.file_width],
                    bytes);
    buffers.ahead = std::vector<uint32_t>();
}

// Everything libpng may jump out of lives in this function, which holds no C++ object that
// needs destroying: what it fills is the caller's.
bool read_png(Source& source, const std::shared_future<Extent>& extent, int rows_ahead,
              Buffers& buffers, bool& may_be_translucent) {
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
    Part& part = buffers.part;
    part.file_width = static_cast<int>(width);
    part.file_height = static_cast<int>(height);

    // Rows ahead of the part's size are kept whole. An interlaced file spreads every row over
    // all its passes, so it waits for the size instead.
    int y = 0;
    if (passes == 1 && !is_known(extent)) {
        const int rows = std::min(part.file_height, rows_ahead);
        buffers.ahead.reserve(static_cast<size_t>(width) * rows);
        for (; y < rows && !is_known(extent); ++y) {
            buffers.ahead.resize(buffers.ahead.size() + width);
            png_read_row(png,
                         reinterpret_cast<png_bytep>(&buffers.ahead[buffers.ahead.size() - width]),
                         nullptr);
        }
    }
    take_extent(buffers, extent.get(), y);

    // A PNG row is filtered and compressed whole, so every row read is inflated whole; only the
    // part's columns are kept. An interlaced file is read to its end; a plain one no further
    // than the part's last row.
    const int part_width = part.image.width();
    const int part_height = part.image.height();
    const bool whole_width = part_width == part.file_width;
    if (!whole_width)
        buffers.whole_row.resize(width);
    uint32_t* whole_row = buffers.whole_row.data();
    const size_t part_bytes = static_cast<size_t>(part_width) * sizeof(uint32_t);
    const int rows = part_width == 0 ? y : passes > 1 ? part.file_height : part_height;
    for (int pass = 0; pass < passes; ++pass) {
        for (int row_index = pass == 0 ? y : 0; row_index < rows; ++row_index) {
            if (row_index >= part_height) {
                png_read_row(png, nullptr, nullptr);
                continue;
            }
            uint32_t* row = part.image.row(row_index);
            if (whole_width) {
                png_read_row(png, reinterpret_cast<png_bytep>(row), nullptr);
                continue;
            }
            // A pass writes only its own pixels into the row: the part's earlier passes go in
            // with it.
            if (passes > 1)
                std::memcpy(whole_row, row, part_bytes);
            png_read_row(png, reinterpret_cast<png_bytep>(whole_row), nullptr);
            std::memcpy(row, whole_row, part_bytes);
        }
    }
    if (std::max(rows, y) == part.file_height)
        png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

std::optional<Part> decode_part(const Input& input, const std::shared_future<Extent>& extent,
                                int rows_ahead, std::string& error) {
    uint8_t signature[8];
    if (input.size < 8 || !input.read_at(0, signature) || png_sig_cmp(signature, 0, 8) != 0) {
        error = "not a PNG file";
        return std::nullopt;
    }
    Source source{input, 0, 8, {}};
    auto buffers = std::make_unique<Buffers>();
    bool may_be_translucent = false;
    if (!read_png(source, extent, rows_ahead, *buffers, may_be_translucent)) {
        error = "damaged PNG: " + source.error;
        return std::nullopt;
    }
    if (may_be_translucent)
        buffers->part.image.update_opacity();
    return std::move(buffers->part);
}

std::shared_future<Extent> known(int width, int height) {
    std::promise<Extent> extent;
    extent.set_value({width, height});
    return extent.get_future().share();
}

std::optional<Part> decode_part(const Input& input, int width, int height, std::string& error) {
    return decode_part(input, known(width, height), 0, error);
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
