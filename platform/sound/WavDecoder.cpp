#include "platform/sound/WavDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::WavDecoder {

namespace {

uint32_t read_u32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint16_t read_u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

struct Format {
    int encoding = 0; // 1 integer PCM, 3 float
    int channels = 0;
    int rate = 0;
    int bits = 0;
    int block_align = 0;
};

// One sample as a value in -1..1.
double sample_at(const uint8_t* p, const Format& f) {
    switch (f.bits) {
    case 8:
        return (p[0] - 128) / 128.0;
    case 16:
        return static_cast<int16_t>(read_u16(p)) / 32768.0;
    case 24: {
        int32_t v = static_cast<int32_t>((p[0] << 8) | (p[1] << 16) | (uint32_t(p[2]) << 24)) >> 8;
        return v / 8388608.0;
    }
    case 32:
        if (f.encoding == 3) {
            float v;
            std::memcpy(&v, p, 4);
            return std::isfinite(v) ? v : 0.0;
        }
        return static_cast<int32_t>(read_u32(p)) / 2147483648.0;
    case 64: {
        double v;
        std::memcpy(&v, p, 8);
        return std::isfinite(v) ? v : 0.0;
    }
    }
    return 0.0;
}

int16_t to_int16(double v) {
    return static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 32767.0 / 32768.0) * 32768.0));
}

bool valid_format(const Format& f, std::string& error) {
    bool int_ok = f.encoding == 1 && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    bool float_ok = f.encoding == 3 && (f.bits == 32 || f.bits == 64);
    if (!int_ok && !float_ok) {
        error = "unsupported WAV encoding (format " + std::to_string(f.encoding) + ", " +
                std::to_string(f.bits) + " bits)";
        return false;
    }
    if (f.channels < 1 || f.channels > 32) {
        error = "WAV with " + std::to_string(f.channels) + " channels";
        return false;
    }
    if (f.rate < 8000 || f.rate > 192000) {
        error = "WAV at " + std::to_string(f.rate) + " Hz";
        return false;
    }
    if (f.block_align != f.channels * f.bits / 8) {
        error = "WAV with an inconsistent block size";
        return false;
    }
    return true;
}

} // namespace

std::optional<PcmSound> decode(std::span<const uint8_t> bytes, std::string& error) {
    const uint8_t* data = bytes.data();
    size_t size = bytes.size();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        error = "not a WAV file";
        return std::nullopt;
    }
    Format format;
    bool have_format = false;
    const uint8_t* samples = nullptr;
    size_t sample_bytes = 0;
    size_t pos = 12;
    while (pos + 8 <= size) {
        const uint8_t* chunk = data + pos;
        size_t length = read_u32(chunk + 4);
        size_t available = size - pos - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || length > available) {
                error = "damaged WAV format chunk";
                return std::nullopt;
            }
            format.encoding = read_u16(chunk + 8);
            format.channels = read_u16(chunk + 10);
            format.rate = static_cast<int>(std::min<uint32_t>(read_u32(chunk + 12), 1u << 30));
            format.block_align = read_u16(chunk + 20);
            format.bits = read_u16(chunk + 22);
            if (format.encoding == 0xFFFE && length >= 40)
                format.encoding = read_u16(chunk + 8 + 24); // the sub-format's tag
            have_format = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            samples = chunk + 8;
            // A truncated file keeps what it has.
            sample_bytes = std::min(length, available);
            break;
        }
        pos += 8 + length + (length & 1);
    }
    if (!have_format || !samples) {
        error = have_format ? "WAV without sound data" : "WAV without a format chunk";
        return std::nullopt;
    }
    if (!valid_format(format, error))
        return std::nullopt;
    size_t frames = sample_bytes / static_cast<size_t>(format.block_align);
    if (frames == 0) {
        error = "WAV without samples";
        return std::nullopt;
    }
    if (static_cast<double>(frames) / format.rate > kMaxSeconds) {
        error = "WAV longer than " + std::to_string(static_cast<int>(kMaxSeconds)) + " s";
        return std::nullopt;
    }
    PcmSound pcm;
    pcm.rate = format.rate;
    pcm.channels = format.channels == 1 ? 1 : 2;
    pcm.samples.resize(frames * static_cast<size_t>(pcm.channels));
    int width = format.bits / 8;
    for (size_t i = 0; i < frames; ++i) {
        const uint8_t* frame = samples + i * static_cast<size_t>(format.block_align);
        for (int c = 0; c < pcm.channels; ++c)
            pcm.samples[i * static_cast<size_t>(pcm.channels) + static_cast<size_t>(c)] =
                to_int16(sample_at(frame + c * width, format));
    }
    return pcm;
}

} // namespace platform::WavDecoder
