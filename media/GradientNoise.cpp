#include "GradientNoise.h"

#include "Rng.h"

#include <cmath>

namespace media {

namespace {

float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

float gradient(int hash, float x, float y, float z) {
    const int h = hash & 15;
    const float u = h < 8 ? x : y;
    const float v = h < 4 ? y : (h == 12 || h == 14 ? x : z);
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}

} // namespace

GradientNoise::GradientNoise(std::uint64_t seed, int z_period) : m_z_period(z_period) {
    Rng rng(seed);
    for (int i = 0; i < 256; ++i) {
        m_permutation[i] = i;
    }
    for (int i = 255; i > 0; --i) {
        std::swap(m_permutation[i], m_permutation[rng.below(i + 1)]);
    }
    for (int i = 0; i < 256; ++i) {
        m_permutation[256 + i] = m_permutation[i];
    }
}

int GradientNoise::hash(int x, int y, int z) const {
    const int wrapped_z = ((z % m_z_period) + m_z_period) % m_z_period;
    return m_permutation[m_permutation[m_permutation[x & 255] + (y & 255)] + (wrapped_z & 255)];
}

float GradientNoise::at(float x, float y, float z) const {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const float fz = std::floor(z);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const int iz = static_cast<int>(fz);
    x -= fx;
    y -= fy;
    z -= fz;
    const float u = fade(x);
    const float v = fade(y);
    const float w = fade(z);
    auto corner = [&](int dx, int dy, int dz) {
        return gradient(hash(ix + dx, iy + dy, iz + dz), x - dx, y - dy, z - dz);
    };
    return lerp(lerp(lerp(corner(0, 0, 0), corner(1, 0, 0), u),
                     lerp(corner(0, 1, 0), corner(1, 1, 0), u), v),
                lerp(lerp(corner(0, 0, 1), corner(1, 0, 1), u),
                     lerp(corner(0, 1, 1), corner(1, 1, 1), u), v),
                w);
}

float GradientNoise::fractal(float x, float y, float z, int octaves, float gain) const {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * at(x, y, z);
        norm += amplitude;
        amplitude *= gain;
        x *= 2.0f;
        y *= 2.0f;
        // Octaves keep the same z so the wrap period of the loop holds for all of them.
        x += 17.31f;
        y += 5.77f;
    }
    return sum / norm;
}

} // namespace media
