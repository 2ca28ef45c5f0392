#pragma once

#include "GradientNoise.h"
#include "Image.h"
#include "PixelScale.h"
#include "StarField.h"

namespace media {

// The full-screen night sky behind everything: the plain gradient, tens of thousands of stars,
// and a faint Milky Way that keeps below the dome's rows so that the dome frames meet it
// cleanly. Every screen shows its top-left part, so it looks the same per pixel everywhere: the
// stars are as dense all over, and the band crosses the upper left of every screen but the
// smallest, which keep a plain starry sky. At twice the scale the picture has the same size in
// pixels and covers screens of half the logical size: its top-left quarter, drawn finer.
class Backdrop {
public:
    // Rows are made in bands of this many, each on its own; a multiple of the glow's grid step,
    // so that the bands join into the same picture as one piece would be.
    static constexpr int band_rows = 120;

    Backdrop();

    // The band of rows from `top`, the whole width, in linear light; rows and width in the
    // scale's pixels.
    Image render(int top, PixelScale scale) const;

private:
    GradientNoise m_noise;
    StarField m_field;
    StarField m_crowd;
};

} // namespace media
