#include "Ditherer.h"

#include "Rng.h"

#include <algorithm>
#include <cmath>

namespace media {

namespace {

constexpr int cells = Ditherer::tile_size * Ditherer::tile_size;

// Void-and-cluster: every step puts the next rank where the pattern so far leaves the largest
// gap, which spreads each threshold level evenly (blue noise).
std::vector<float> make_blue_noise(std::uint64_t seed) {
    constexpr int n = Ditherer::tile_size;
    constexpr double sigma = 1.5;
    std::vector<double> kernel(cells);
    for (int dy = 0; dy < n; ++dy) {
        for (int dx = 0; dx < n; ++dx) {
            const int ex = std::min(dx, n - dx);
            const int ey = std::min(dy, n - dy);
            kernel[dy * n + dx] = std::exp(-(ex * ex + ey * ey) / (2 * sigma * sigma));
        }
    }
    std::vector<double> energy(cells, 0.0);
    std::vector<char> set(cells, 0);
    auto toggle = [&](int index, double sign) {
        set[index] = sign > 0;
        const int px = index % n;
        const int py = index / n;
        for (int y = 0; y < n; ++y) {
            const int ky = ((y - py) % n + n) % n;
            for (int x = 0; x < n; ++x) {
                const int kx = ((x - px) % n + n) % n;
                energy[y * n + x] += sign * kernel[ky * n + kx];
            }
        }
    };
    auto extreme = [&](bool among_set, bool highest) {
        int best = -1;
        for (int i = 0; i < cells; ++i) {
            if (static_cast<bool>(set[i]) != among_set) {
                continue;
            }
            if (best < 0 || (highest ? energy[i] > energy[best] : energy[i] < energy[best])) {
                best = i;
            }
        }
        return best;
    };

    Rng rng(seed);
    const int initial = cells / 10;
    for (int placed = 0; placed < initial;) {
        const int index = rng.below(cells);
        if (!set[index]) {
            toggle(index, 1.0);
            ++placed;
        }
    }
    for (;;) {
        const int cluster = extreme(true, true);
        toggle(cluster, -1.0);
        const int gap = extreme(false, false);
        toggle(gap, 1.0);
        if (gap == cluster) {
            break;
        }
    }

    std::vector<int> rank(cells, 0);
    const auto start_energy = energy;
    const auto start_set = set;
    for (int r = initial - 1; r >= 0; --r) {
        const int cluster = extreme(true, true);
        toggle(cluster, -1.0);
        rank[cluster] = r;
    }
    energy = start_energy;
    set = start_set;
    for (int r = initial; r < cells; ++r) {
        const int gap = extreme(false, false);
        toggle(gap, 1.0);
        rank[gap] = r;
    }

    std::vector<float> tile(cells);
    for (int i = 0; i < cells; ++i) {
        tile[i] = (static_cast<float>(rank[i]) + 0.5f) / cells;
    }
    return tile;
}

constexpr int lut_size = 1 << 14;

const std::vector<float>& srgb_table() {
    static const std::vector<float> table = [] {
        std::vector<float> t(lut_size + 1);
        for (int i = 0; i <= lut_size; ++i) {
            const double v = static_cast<double>(i) / lut_size;
            t[i] = static_cast<float>(v <= 0.0031308 ? 12.92 * v
                                                     : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055);
        }
        return t;
    }();
    return table;
}

std::uint8_t quantize(float value, float threshold) {
    const float level = std::floor(value * 255.0f + threshold);
    return static_cast<std::uint8_t>(std::clamp(level, 0.0f, 255.0f));
}

} // namespace

Ditherer::Ditherer(std::uint64_t seed) : m_tile(make_blue_noise(seed)) {
}

float Ditherer::to_srgb(float linear) {
    const float position = std::clamp(linear, 0.0f, 1.0f) * lut_size;
    const int index = std::min(static_cast<int>(position), lut_size - 1);
    const float fraction = position - static_cast<float>(index);
    const auto& table = srgb_table();
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

float Ditherer::from_srgb(float encoded) {
    return encoded <= 0.04045f ? encoded / 12.92f : std::pow((encoded + 0.055f) / 1.055f, 2.4f);
}

std::vector<std::uint8_t> Ditherer::encode(const Image& image, int first_row) const {
    const int channels = image.channels();
    std::vector<std::uint8_t> out(static_cast<size_t>(image.width()) * image.height() * channels);
    size_t o = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const float t = threshold(x, first_row + y);
            const float* p = image.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                out[o++] = quantize(to_srgb(p[c]), t);
            }
            if (channels == 4) {
                out[o++] = quantize(std::clamp(p[3], 0.0f, 1.0f), t);
            }
        }
    }
    return out;
}

} // namespace media
