#include "platform/graphics/Resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace platform {

namespace {

// How the source pixels along one axis make each pixel of the result: taps[first[i] ..
// first[i + 1]) are its (source index, weight) pairs, the weights summing to one.
struct Taps {
    std::vector<size_t> first;
    std::vector<std::pair<int, float>> taps;

    Taps(int from, int to) {
        first.reserve(static_cast<size_t>(to) + 1);
        const double ratio = static_cast<double>(from) / to;
        for (int i = 0; i < to; ++i) {
            first.push_back(taps.size());
            if (ratio > 1) {
                double start = i * ratio, end = (i + 1) * ratio;
                for (int s = static_cast<int>(start); s < end && s < from; ++s) {
                    double cover = std::min<double>(s + 1, end) - std::max<double>(s, start);
                    if (cover > 0)
                        taps.emplace_back(s, static_cast<float>(cover / ratio));
                }
            } else {
                double centre = (i + 0.5) * ratio - 0.5;
                int s = static_cast<int>(std::floor(centre));
                auto f = static_cast<float>(centre - s);
                taps.emplace_back(std::clamp(s, 0, from - 1), 1 - f);
                taps.emplace_back(std::clamp(s + 1, 0, from - 1), f);
            }
        }
        first.push_back(taps.size());
    }
};

using Premultiplied = std::array<float, 4>; // b, g, r, a

Premultiplied premultiplied(uint32_t pixel) {
    float a = static_cast<float>(pixel >> 24) / 255.0f;
    return {static_cast<float>(pixel & 0xFF) * a, static_cast<float>((pixel >> 8) & 0xFF) * a,
            static_cast<float>((pixel >> 16) & 0xFF) * a, a};
}

uint32_t straight(const Premultiplied& p) {
    float a = std::clamp(p[3], 0.0f, 1.0f);
    if (a <= 0)
        return 0;
    auto channel = [a](float v) {
        return static_cast<uint32_t>(std::clamp(std::lround(v / a), 0L, 255L));
    };
    return static_cast<uint32_t>(std::lround(a * 255)) << 24 | channel(p[2]) << 16 |
           channel(p[1]) << 8 | channel(p[0]);
}

} // namespace

Image Resampler::resized(const Image& source, int width, int height) {
    if (source.is_empty() || width <= 0 || height <= 0)
        return {};
    const Taps across(source.width(), width), down(source.height(), height);
    Image out(width, height, 0);
    // One row of the result is built at a time from the source rows under it, each taken across
    // first: the memory is a row, whatever the picture's size.
    std::vector<Premultiplied> row(static_cast<size_t>(width));
    std::vector<Premultiplied> sum(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::fill(sum.begin(), sum.end(), Premultiplied{});
        for (size_t t = down.first[y]; t < down.first[y + 1]; ++t) {
            auto [sy, wy] = down.taps[t];
            for (int x = 0; x < width; ++x) {
                Premultiplied p{};
                for (size_t u = across.first[x]; u < across.first[x + 1]; ++u) {
                    auto [sx, wx] = across.taps[u];
                    Premultiplied s = premultiplied(source.at(sx, sy));
                    for (int c = 0; c < 4; ++c)
                        p[c] += s[c] * wx;
                }
                row[x] = p;
            }
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 4; ++c)
                    sum[x][c] += row[x][c] * wy;
        }
        uint32_t* pixels = out.row(y);
        for (int x = 0; x < width; ++x)
            pixels[x] = straight(sum[x]);
    }
    out.update_opacity();
    return out;
}

} // namespace platform
