#pragma once

#include "GradientNoise.h"
#include "Image.h"

#include <array>

namespace media {

// The full moon seen from the northern hemisphere: a sphere in orthographic view with the
// familiar dark maria, a few bright ray craters and faint mottling.
class Moon {
public:
    explicit Moon(float radius);

    // Draws the disc over the picture, antialiased at the limb; `light` scales its brightness.
    // On a picture with alpha the disc's coverage goes into alpha too, so that painting into an
    // empty layer gives a premultiplied layer to lay over other pictures.
    void paint(Image& image, float centre_x, float centre_y, float light) const;
    // Linear colour of the surface at a point of the disc, offsets in radii (y down).
    std::array<float, 3> surface(float dx, float dy) const;

private:
    float albedo(float nx, float ny, float nz) const;

    float m_radius;
    GradientNoise m_noise;
};

} // namespace media
