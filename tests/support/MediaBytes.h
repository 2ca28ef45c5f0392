#pragma once

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <vector>

namespace testing_support {

// Media files made in memory, for the tests that feed the loaders good and broken input.

// A w x h PNG with every pixel of one 0xAARRGGBB colour; without alpha, a plain RGB file.
inline std::vector<uint8_t> png_bytes(int w, int h, uint32_t argb, bool alpha = true) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    std::vector<uint8_t> pixels;
    for (int i = 0; i < w * h; ++i)
        for (int shift = 0; shift < (alpha ? 32 : 24); shift += 8)
            pixels.push_back(static_cast<uint8_t>(argb >> shift));
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error(image.message);
    out.resize(size);
    return out;
}

// Rewrites the size a PNG's header declares, leaving its pixel data as it was.
inline void declare_png_size(std::vector<uint8_t>& png, uint32_t w, uint32_t h) {
    for (int i = 0; i < 4; ++i) {
        png.at(16 + i) = static_cast<uint8_t>(w >> (24 - 8 * i));
        png.at(20 + i) = static_cast<uint8_t>(h >> (24 - 8 * i));
    }
}

// A WAV file of the given format holding data; its data chunk declares data's size unless told
// otherwise, as a broken file may.
inline std::vector<uint8_t> wav_bytes(uint16_t encoding, uint16_t channels, uint32_t rate,
                                      uint16_t bits, const std::vector<uint8_t>& data,
                                      std::optional<uint32_t> declared_bytes = {}) {
    uint32_t declared = declared_bytes.value_or(static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> v;
    auto put = [&v](uint32_t x, int bytes) {
        for (int i = 0; i < bytes; ++i)
            v.push_back(static_cast<uint8_t>(x >> (8 * i)));
    };
    auto tag = [&v](const char* four) {
        for (int i = 0; i < 4; ++i)
            v.push_back(static_cast<uint8_t>(four[i]));
    };
    tag("RIFF");
    put(36 + declared, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(encoding, 2);
    put(channels, 2);
    put(rate, 4);
    put(rate * channels * bits / 8, 4);
    put(static_cast<uint32_t>(channels * bits / 8), 2);
    put(bits, 2);
    tag("data");
    put(declared, 4);
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

inline void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

} // namespace testing_support
