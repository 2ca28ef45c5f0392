#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace media {

// Writes 8-bit RGB or RGBA PNG files through zlib. A large picture can be packed in bands of
// rows on several threads at once and joined into one file.
class PngWriter {
public:
    // A band of rows, compressed on its own.
    struct Band {
        std::vector<std::uint8_t> deflated;
        // Checksum and length of the rows as they were before compression.
        std::uint32_t adler = 1;
        std::size_t length = 0;
    };

    explicit PngWriter(int compression_level) : m_level(compression_level) {}

    // Throws std::runtime_error when the file cannot be written.
    void write(const std::string& path, int width, int height, int channels,
               const std::vector<std::uint8_t>& pixels) const;

    // Compresses rows of `width` pixels; `last` for the picture's last band.
    Band pack(const std::vector<std::uint8_t>& pixels, int width, int channels, bool last) const;
    // Writes the bands, top to bottom, as one picture.
    void write_bands(const std::string& path, int width, int height, int channels,
                     const std::vector<Band>& bands) const;

private:
    int m_level;
};

} // namespace media
