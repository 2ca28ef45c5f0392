#pragma once

#include "StereoBuffer.h"

#include <string>

namespace media {

// Writes 16-bit stereo PCM WAV files at 44.1 kHz, with triangular dither.
class WavWriter {
public:
    // Throws std::runtime_error when the file cannot be written.
    static void write(const std::string& path, const StereoBuffer& sound);
};

} // namespace media
