#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// A decoded sound: interleaved signed 16-bit samples.
struct PcmSound {
    int rate = 44100;
    int channels = 2;
    std::vector<int16_t> samples;

    long frames() const { return channels > 0 ? static_cast<long>(samples.size()) / channels : 0; }
    double duration_seconds() const { return rate > 0 ? double(frames()) / rate : 0.0; }
};

} // namespace platform
