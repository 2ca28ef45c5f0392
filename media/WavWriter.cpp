#include "WavWriter.h"

#include "Rng.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace media {

namespace {

void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void put_tag(std::vector<std::uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

void WavWriter::write(const std::string& path, const StereoBuffer& sound) {
    const auto data_bytes = static_cast<std::uint32_t>(sound.frames() * 4);
    std::vector<std::uint8_t> out;
    out.reserve(44 + data_bytes);
    put_tag(out, "RIFF");
    put(out, 36 + data_bytes, 4);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put(out, 16, 4);
    put(out, 1, 2);
    put(out, 2, 2);
    put(out, StereoBuffer::rate, 4);
    put(out, StereoBuffer::rate * 4, 4);
    put(out, 4, 2);
    put(out, 16, 2);
    put_tag(out, "data");
    put(out, data_bytes, 4);

    Rng rng(0x77617621);
    for (size_t i = 0; i < sound.frames(); ++i) {
        for (int c = 0; c < 2; ++c) {
            const double dither = rng.uniform() - rng.uniform();
            const double value = std::round(sound.channel(c)[i] * 32767.0 + dither);
            const auto sample = static_cast<std::int16_t>(std::clamp(value, -32767.0, 32767.0));
            put(out, static_cast<std::uint16_t>(sample), 2);
        }
    }

    std::ofstream stream(path, std::ios::binary);
    stream.write(reinterpret_cast<const char*>(out.data()),
                 static_cast<std::streamsize>(out.size()));
    if (!stream) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace media
