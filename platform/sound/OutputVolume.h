#pragma once

#include <cstdint>

namespace platform {

// The desktop's default output volume.
class OutputVolume {
public:
    virtual ~OutputVolume() = default;
    // left and right run from 0 (silence) to 255 (full volume).
    virtual void set(uint8_t left, uint8_t right) = 0;
};

} // namespace platform
