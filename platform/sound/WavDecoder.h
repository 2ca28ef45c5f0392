#pragma once

#include "platform/sound/PcmSound.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform::WavDecoder {

// The longest sound accepted, so that a damaged header cannot ask for unbounded memory.
constexpr double kMaxSeconds = 600.0;

// Decodes a RIFF WAVE file (integer PCM of 8 to 32 bits or 32/64-bit float, any number of
// channels, 8 to 192 kHz) into 16-bit samples, mono or stereo. On failure returns nothing and
// says why in error.
std::optional<PcmSound> decode(std::span<const uint8_t> bytes, std::string& error);

} // namespace platform::WavDecoder
