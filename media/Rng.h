#pragma once

#include <cstdint>

namespace media {

// A small seeded generator (xoshiro256**) with our own distributions, so that the media come out
// byte for byte the same with any standard library.
class Rng {
public:
    explicit Rng(std::uint64_t seed);

    std::uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    // Uniform whole number in [0, count).
    int below(int count);

private:
    std::uint64_t m_state[4];
};

} // namespace media
