#pragma once

#include <array>

namespace media {

// The colour of the plain night sky, a function of the row alone, so that the backdrop and the
// dome frames (placed at any horizontal offset) meet without a seam.
class SkyGradient {
public:
    // Row 0 is the top of the screen; the sky reaches its horizon colour at `horizon_row` and
    // goes on brightening a little below it.
    explicit SkyGradient(int horizon_row);

    std::array<float, 3> at(float y) const;

private:
    int m_horizon_row;
};

} // namespace media
