#pragma once

#include "platform/graphics/Image.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform::PngDecoder {

// The largest picture accepted, so that a file that declares absurd dimensions is refused
// before anything is allocated for it.
constexpr int kMaxSide = 16384;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

// Decodes a PNG file into screen-layout pixels; on failure returns nothing and says why in
// error.
std::optional<Image> decode(std::span<const uint8_t> bytes, std::string& error);

} // namespace platform::PngDecoder
