#pragma once

#include "GradientNoise.h"
#include "Image.h"
#include "PixelScale.h"
#include "SceneLayout.h"
#include "StarField.h"

#include <vector>

namespace media {

// The twelve frames of the sky dome, a 900 ms loop: the moon with its breathing halo, thin haze
// stirring in its light, and scintillating stars. Towards the left and bottom edges everything
// fades to the plain gradient that the backdrop has on the same rows. At twice the scale the
// frames are twice as wide and high, the moon at twice the coordinates.
class DomeAnimation {
public:
    explicit DomeAnimation(PixelScale scale);

    int width() const { return m_scale.pixels(layout::dome_width); }
    int height() const { return m_scale.pixels(layout::dome_height); }
    // Frame `index` in 0..11; safe to call from several threads at once.
    Image frame(int index) const;

private:
    float edge_fade(float x, float y) const;

    PixelScale m_scale;
    StarField m_stars;
    Image m_moon;
    int m_moon_left;
    int m_moon_top;
    GradientNoise m_haze_noise;
    std::vector<float> m_haze;
};

} // namespace media
