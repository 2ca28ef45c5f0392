#pragma once

#include "platform/graphics/Image.h"

#include <cstdint>
#include <functional>
#include <future>
#include <optional>
#include <span>
#include <string>

namespace platform::PngDecoder {

// The largest picture accepted, so that a file that declares absurd dimensions is refused
// before anything is allocated for it.
constexpr int kMaxSide = 16384;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

// A file as the decoder reads it: its length, and a function that copies the bytes at an offset
// into out (false when they cannot be read). Only the bytes the decoder needs are asked for.
struct Input {
    uint64_t size = 0;
    std::function<bool(uint64_t offset, std::span<uint8_t> out)> read_at;
};

// What a decode gives: the pixels of the top-left part asked for, and the whole picture's size.
struct Part {
    Image image;
    int file_width = 0;
    int file_height = 0;
};

// The size of the top-left part to decode.
struct Extent {
    int width = kMaxSide;
    int height = kMaxSide;
};

// An extent known now.
std::shared_future<Extent> known(int width, int height);

// Decodes the top-left part of a PNG file, at most width x height pixels, into screen-layout
// pixels; the file is read no further than the last row of that part. On failure returns
// nothing and says why in error.
std::optional<Part> decode_part(const Input& input, int width, int height, std::string& error);

// The same for a part whose size may be known only later, as a screen's is once the display is
// open: until it is, up to rows_ahead rows are decoded whole, to be cut to the part when its
// size comes; decoding then goes on from there.
std::optional<Part> decode_part(const Input& input, const std::shared_future<Extent>& extent,
                                int rows_ahead, std::string& error);

// Decodes a whole PNG file held in memory.
std::optional<Image> decode(std::span<const uint8_t> bytes, std::string& error);

} // namespace platform::PngDecoder
