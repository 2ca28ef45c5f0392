#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace media {

// Writes 8-bit RGB or RGBA PNG files through zlib.
class PngWriter {
public:
    explicit PngWriter(int compression_level) : m_level(compression_level) {}

    // Throws std::runtime_error when the file cannot be written.
    void write(const std::string& path, int width, int height, int channels,
               const std::vector<std::uint8_t>& pixels) const;

private:
    int m_level;
};

} // namespace media
