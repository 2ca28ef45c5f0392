#pragma once

#include "StereoBuffer.h"

#include <cstdint>

namespace media {

// How one wave sounds, from the swell that brings it to the foam it leaves.
struct WaveShape {
    double build = 1.8;        // seconds of rising swell before the wave breaks
    double size = 1.0;         // overall strength, 0..1
    double crash_attack = 0.4; // seconds for the break to reach full roar
    double crash_decay = 1.4;  // seconds for the roar to fall by 1/e
    double boom = 0.5;         // weight of the low thump of the break
    double wash = 0.6;         // weight of the rush of water up the sand
    double wash_length = 2.5;  // seconds
    double fizz = 0.3;         // weight of the hiss of draining foam
    double fizz_length = 4.0;  // seconds
    double spray = 0.0;        // droplets per second just after the break
    double brightness = 1.0;   // scales every filter's cutoff
    double pan_from = -0.3;    // the break travels along the shore, left -1 to right 1
    double pan_to = 0.3;
    double width = 0.6; // 0 the same in both ears, 1 unrelated
};

// Synthesises one wave from filtered noise: a swell, the break's roar and thump, the wash,
// the foam's crackling hiss, and the spray's droplets.
class WaveVoice {
public:
    WaveVoice(const WaveShape& shape, std::uint64_t seed) : m_shape(shape), m_seed(seed) {}

    double seconds() const;
    // The moment of the break, from the start of the voice.
    double break_time() const { return m_shape.build; }
    StereoBuffer render() const;

private:
    void add_spray(StereoBuffer& out) const;

    WaveShape m_shape;
    std::uint64_t m_seed;
};

} // namespace media
