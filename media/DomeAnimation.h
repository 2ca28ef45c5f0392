#pragma once

#include "GradientNoise.h"
#include "Image.h"
#include "StarField.h"

#include <vector>

namespace media {

// The twelve frames of the sky dome, a 900 ms loop: the moon with its breathing halo, thin haze
// stirring in its light, and scintillating stars. Towards the left and bottom edges everything
// fades to the plain gradient that the backdrop has on the same rows.
class DomeAnimation {
public:
    DomeAnimation();

    // Frame `index` in 0..11; safe to call from several threads at once.
    Image frame(int index) const;

private:
    float edge_fade(float x, float y) const;

    StarField m_stars;
    Image m_moon;
    int m_moon_left;
    int m_moon_top;
    GradientNoise m_haze_noise;
    std::vector<float> m_haze;
};

} // namespace media
