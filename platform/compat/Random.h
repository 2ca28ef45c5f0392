#pragma once

#include "platform/base/Object.h"

#include <cstdint>
#include <random>

namespace platform {

// Stand-in: the framework's random number generator, seeded by the runtime (the backend's seed).
class Random : public Object {
public:
    Random();
    explicit Random(uint64_t seed) : m_engine(seed) {}

    // A whole number from low to high, both included.
    int32_t InRange(int32_t low, int32_t high);

private:
    std::mt19937_64 m_engine;
};

} // namespace platform
