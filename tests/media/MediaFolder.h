#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// A decoded picture: 8-bit RGBA whatever the file held, and whether the file had alpha.
struct Picture {
    int width = 0;
    int height = 0;
    bool has_alpha = false;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* at(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
    // Luma of the encoded values, 0..255.
    double luma(int x, int y) const {
        const auto* p = at(x, y);
        return 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
    }
    // Linear luminance, 0..1: the light a star adds is the same over any sky.
    double light(int x, int y) const {
        const auto* p = at(x, y);
        return 0.2126 * linear(p[0]) + 0.7152 * linear(p[1]) + 0.0722 * linear(p[2]);
    }

    // The linear light of an 8-bit sRGB value, 0..1.
    static double linear(std::uint8_t encoded);
};

// A decoded sound, interleaved 16-bit samples.
struct Sound {
    int rate = 0;
    int channels = 0;
    int bits = 0;
    std::vector<std::int16_t> samples;

    size_t frames() const { return channels ? samples.size() / channels : 0; }
    double seconds() const { return rate ? static_cast<double>(frames()) / rate : 0.0; }
    double at(size_t frame, int channel) const {
        return samples[frame * channels + channel] / 32768.0;
    }
};

// The generated media folder, read with SDL as the program reads it; each file decoded once.
// Pictures come at scale 1 and, drawn at twice the size, at scale 2.
class MediaFolder {
public:
    static MediaFolder& instance();

    std::string picture_path(int id, int scale = 1) const;
    std::string sound_path(int id) const;
    const Picture& picture(int id, int scale = 1);
    const Sound& sound(int id);

private:
    MediaFolder();

    std::string m_root;
    std::map<std::pair<int, int>, Picture> m_pictures;
    std::map<int, Sound> m_sounds;
};
