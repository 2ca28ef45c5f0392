#pragma once

#include "StereoBuffer.h"

#include <cstdint>

namespace media {

// Someone walking past on dry sand: each step a soft thump, the squash of the sand giving way
// and the crunch of grains, heel then toe; nearer and brighter as they pass.
class Footsteps {
public:
    Footsteps(double seconds, double pace, std::uint64_t seed)
        : m_seconds(seconds), m_pace(pace), m_seed(seed) {}

    StereoBuffer render() const;

private:
    void add_step(StereoBuffer& out, double at, double nearness, double pan,
                  std::uint64_t seed) const;

    double m_seconds;
    double m_pace;
    std::uint64_t m_seed;
};

} // namespace media
