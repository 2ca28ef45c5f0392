#pragma once

#include <array>
#include <cstdint>

namespace media {

// Seeded Perlin gradient noise in three dimensions. The third dimension wraps every
// `z_period` lattice cells, so walking once around it returns to the same field: that is how the
// dome frames loop without a jump.
class GradientNoise {
public:
    GradientNoise(std::uint64_t seed, int z_period);

    // Roughly in [-1, 1].
    float at(float x, float y, float z = 0.0f) const;
    // Sum of octaves, each twice the frequency and `gain` times the amplitude of the last.
    float fractal(float x, float y, float z, int octaves, float gain) const;

private:
    int hash(int x, int y, int z) const;

    std::array<int, 512> m_permutation;
    int m_z_period;
};

} // namespace media
