#pragma once

#include "StereoBuffer.h"
#include "WaveVoice.h"

#include <cstdint>
#include <vector>

namespace media {

// What sets one surf apart from another.
struct SurfCharacter {
    std::vector<double> intervals; // seconds from each break to the next; the loop is their sum
    WaveShape typical;             // each wave departs from it at random
    double variety = 0.25;         // how far, as a fraction
    double bed_level = 0.15;       // the unbroken murmur of farther water
    double bed_cutoff = 300.0;     // Hz
    double hiss_level = 0.05;      // the far surf's steady hiss
    double hiss_cutoff = 3000.0;   // Hz
    std::uint64_t seed = 1;
};

// A seamless loop of surf: waves laid on a circle of time (a wave that runs past the end goes on
// at the start) over a murmur made periodic by running its filters once around first.
class SurfSynth {
public:
    explicit SurfSynth(SurfCharacter character) : m_character(std::move(character)) {}

    StereoBuffer render() const;

private:
    void add_bed(StereoBuffer& loop, const std::vector<double>& breaks) const;

    SurfCharacter m_character;
};

} // namespace media
